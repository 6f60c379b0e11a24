// The MP3 engine library, through the entry points bound to player.vbmp3.
// It has no end-of-track notice: its state says when a track has ended.
#include "playback/back_end.h"

static int OpenAndPlay(const std::string &path)
{
    player.vbmp3.open(path.c_str(), &player.mp3Info);
    player.totalSeconds = static_cast<uint32_t>(player.mp3Info.totalSeconds);
    player.backEnd = Mp3Engine;
    return player.vbmp3.play();
}

static bool OpenOnEngine(const std::string &path)
{
    Sleep(5);
    int started = OpenAndPlay(path);
    if (!started) {
        // The engine gets one more chance, with a fresh open, before the
        // entry is given up.
        player.vbmp3.close();
        Sleep(5);
        started = OpenAndPlay(path);
    }
    return started != 0;
}

static void PauseOnEngine() { player.vbmp3.pause(); }

static void ResumeOnEngine() { player.vbmp3.restart(); }

static void RestartOnEngine()
{
    // A stopped engine track is rewound and restarted like a paused one;
    // left alone, the engine would report "not playing" at the next tick
    // and the player would skip to another entry.
    player.vbmp3.seek(0);
    player.vbmp3.restart();
}

static void StopOnEngine()
{
    player.vbmp3.stop();
    player.vbmp3.seek(0);
}

static void SeekOnEngine(int seconds) { player.vbmp3.seek(seconds); }

static bool PositionOnEngine(int &seconds)
{
    // Any state but playing means the track has ended.
    return player.vbmp3.getState(&seconds) == StatePlaying;
}

static void CloseOnEngine() { player.vbmp3.close(); }

const BackEndOperations EngineBackEnd = {
    OpenOnEngine, PauseOnEngine,    ResumeOnEngine, RestartOnEngine, StopOnEngine,
    SeekOnEngine, PositionOnEngine, CloseOnEngine,  CloseOnEngine,   CloseOnEngine,
};
