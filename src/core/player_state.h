// The one record of everything the player shares between its windows,
// its playlist and its two audio back-ends. There is exactly one instance,
// `player`; every part of the program reads and writes its fields directly.
#pragma once

#include "vbmp3.h"

#include <windows.h>
#include <commdlg.h>

#include <cstdint>
#include <string>
#include <vector>

// Which back-end plays the open track; every transport command goes there.
enum BackEnd : int32_t { Mci = 0, Mp3Engine = 3 };

// Paths travel in buffers of 260 characters and the terminating zero.
const int PathBufferSize = MAX_PATH + 1;

struct PlayerState {
    // The containers come first so that they are built before, and
    // released after, everything else in the record.
    std::string title;                     // file name of the open track
    std::vector<std::string> filePatterns; // what a folder scan looks for
    std::vector<std::string> playlist;     // full paths, in play order
    // Beside each entry: what the title and the menu show for it, when that
    // is not the path's own file name (a short 8.3 path stands in for a
    // name code page 932 cannot hold). Empty: the path's own name.
    std::vector<std::string> entryTitles;
    // The folder the player started in: relative entries are opened against
    // it, whatever folder a dialog has made current meanwhile. Empty until
    // start-up reads it.
    std::wstring startFolder;

    // Selection
    uint32_t currentIndex;                 // compared unsigned
    int32_t repeatMode;

    // Transport: Idle 0000, Playing 1100, Paused 1010, Stopped 1001;
    // written only by SetTransport
    int32_t trackOpen;
    int32_t playing;
    int32_t paused;
    int32_t stopped;
    BackEnd backEnd;
    int32_t mp3EngineAvailable;
    // Whether the engine library has been looked for and asked if it can
    // play: done once, when first needed, never during start-up.
    int32_t mp3EngineAsked;
    InfoRecord mp3Info;
    uint32_t totalSeconds;
    uint32_t elapsedSeconds;
    // The open track is a MIDI file on MCI, and how many position polls in
    // a row have found it where it was while playing: a sequencer with no
    // synthesiser behind it opens the file and then never moves.
    int32_t midiTrack;
    int32_t stillPolls;
    int32_t lastPositionMs;

    // Windows
    HWND mainWindow;
    HWND labelWindow;
    HWND trackBar;
    HWND closeButton;
    HWND playButton;
    HWND pauseButton;
    HWND stopButton;

    // Face
    RECT clientRect;
    HDC frameDC;
    HBITMAP frameBitmap;
    HGDIOBJ frameFirstBitmap;      // what frameDC held before frameBitmap
    HDC backgroundDC;
    HBITMAP backgroundBitmap;
    HGDIOBJ backgroundFirstBitmap; // what backgroundDC held before backgroundBitmap
    RECT timeRect;
    HFONT titleFont;
    HFONT timeFont;
    HFONT counterFont;

    // Drawing resources, in the order they are made
    HBRUSH backgroundBrush;
    HPEN lightPen;
    HPEN darkPen;
    HBRUSH labelBrush;
    HBRUSH closeBrush;
    HBRUSH frameBrush;
    HBRUSH faceBrush;
    HBRUSH activeBrush;
    HBRUSH idleBrush;

    // Menus and dialogs
    HMENU contextMenu;
    HMENU playlistMenu;
    char pathBuffer[PathBufferSize];
    char fileTitleBuffer[256];
    OPENFILENAMEA openDialog;
    OPENFILENAMEA saveDialog;

    // Moving the window
    int32_t dragging;
    POINT dragAnchor;

    // MP3 engine binding
    HMODULE mp3Module;
    Vbmp3Entries vbmp3;
};

extern PlayerState player;
