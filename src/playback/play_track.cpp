// The one place a track starts: choose the entry, close the old track,
// open the new one on its back-end, and bring the face up to date. An entry
// that cannot be played leaves the playlist and the next one is tried.
#include "playback/play_track.h"

#include "core/current_directory.h"
#include "core/paths.h"
#include "core/player_state.h"
#include "playback/mci.h"
#include "playback/mp3_engine.h"
#include "playback/mp4_boxes.h"
#include "playback/reports.h"
#include "playback/transport.h"
#include "playlist/device_name.h"
#include "playlist/store.h"

#include <cstdlib>
#include <string>

// Sets currentIndex: the given entry, the same one in repeat mode, or a
// random one that differs from the last if one redraw allows it.
static void ChooseEntry(int index)
{
    uint32_t count = static_cast<uint32_t>(PlaylistCount());
    if (index >= 0) {
        player.currentIndex = static_cast<uint32_t>(index);
        return;
    }
    if (player.currentIndex >= count)
        player.currentIndex = 0;
    if (player.repeatMode)
        return;
    uint32_t previous = player.currentIndex;
    player.currentIndex = static_cast<uint32_t>(std::rand()) % count;
    if (player.currentIndex == previous)
        player.currentIndex = static_cast<uint32_t>(std::rand()) % count;
}

// The endings MCI gives to its sequencer.
static bool IsMidiFile(const std::string &path)
{
    return EndsWith(path.c_str(), ".mid") || EndsWith(path.c_str(), ".midi") || EndsWith(path.c_str(), ".rmi");
}

// An entry of the wrong length cannot name a file, and one with a double
// quote would end the quoted path of the open command early and let the
// rest of the entry be read as command words. 0x22 is never a trail byte
// of a double-byte character, so the byte-wise search is exact. A device
// name would have the back-end wait on the device for ever, and a MIDI
// file with no MIDI output to play on would open and never be heard.
static bool IsUsableEntry(const std::string &path)
{
    return path.size() >= 4 && path.size() <= MAX_PATH && path.find('"') == std::string::npos &&
           !NamesADevice(path.c_str()) && !(IsMidiFile(path) && !HasMidiOutput());
}

static unsigned long ReadEntryAttributes(const char *path) { return GetFileAttributesA(path); }

EntryAttributesReader entryAttributesReader = ReadEntryAttributes;

// Only a file is handed to a back-end. A path that names nothing is not
// even tried: the platform's media player (Wine's, for one) leaves a
// thread and a megabyte behind for every open of a file that is not there.
static bool IsFile(const std::string &path)
{
    DWORD attributes = entryAttributesReader(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) == 0;
}

// The engine plays MP3, FLAC, Ogg Vorbis and Opus; everything else, and
// these too when the engine is not there, goes to MCI.
static bool UsesEngine(const std::string &path)
{
    const char *name = path.c_str();
    bool engineKind = EndsWith(name, ".mp3") || EndsWith(name, ".flac") || EndsWith(name, ".ogg") ||
                      EndsWith(name, ".opus");
    return engineKind && Mp3EngineReady();
}

static void ShowStartedTrack(const std::string &title)
{
    player.title = title;
    playbackReports.trackOpened(player.totalSeconds);
    player.elapsedSeconds = 0;
    SetTransport(Transport::Playing);
}

// Nothing is left to play; the length and back-end of the last try stay.
void ShowIdle()
{
    player.title.clear();
    player.elapsedSeconds = 0;
    SetTransport(Transport::Idle);
}

// What became of one entry's try.
enum class Outcome { Started, OpenFailed, Refused };

static Outcome TryToStart(const std::string &path)
{
    if (!IsUsableEntry(path))
        return Outcome::Refused;
    // A dialog makes the folder it shows the current one, and a track may
    // end while it is open: relative entries still mean the folder the
    // player started in.
    CurrentDirectoryKept kept;
    if (!player.startFolder.empty())
        SetCurrentDirectoryW(player.startFolder.c_str());
    if (!IsFile(path) || (EndsWith(path.c_str(), ".m4a") && HoldsNoMediaData(path)))
        return Outcome::Refused;
    bool started = OpenTrack(path, UsesEngine(path));
    player.midiTrack = started && player.backEnd == Mci && IsMidiFile(path);
    return started ? Outcome::Started : Outcome::OpenFailed;
}

void PlayTrack(int index)
{
    if (PlaylistCount() == 0)
        return;

    // Each failed entry is removed before the next try, so this loop ends
    // after at most as many tries as there are entries, however many that is.
    for (;;) {
        ChooseEntry(index);
        CloseTrackBeforeOpen();

        // A copy: the window procedures that run during the repaints must
        // not pull the path from under us.
        std::string path = PlaylistEntry(static_cast<int>(player.currentIndex));
        std::string title = EntryTitle(static_cast<int>(player.currentIndex));
        Outcome outcome = TryToStart(path);
        if (outcome == Outcome::Started) {
            ShowStartedTrack(title);
            return;
        }
        if (outcome == Outcome::OpenFailed)
            CloseTrack();

        RemoveEntry(static_cast<int>(player.currentIndex));
        if (PlaylistCount() == 0) {
            ShowIdle();
            return;
        }
        index = -1;
    }
}
