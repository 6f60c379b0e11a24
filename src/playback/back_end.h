// The two back-ends a track plays on, the MP3 engine library and the MCI
// device "music", behind one record of operations. Only the transport
// calls them; player.backEnd says which one holds the open track.
#pragma once

#include "core/player_state.h"

#include <string>

struct BackEndOperations {
    // Opens the file and starts it playing, its length in
    // player.totalSeconds; false when this back-end cannot play it.
    bool (*open)(const std::string &path);
    void (*pause)();
    // Plays a paused track on from where it was.
    void (*resume)();
    // Plays a paused or stopped track again from its beginning.
    void (*restart)();
    // Stops and rewinds.
    void (*stop)();
    // Moves a playing track and plays on from there.
    void (*seek)(int seconds);
    // The second being played; false once the track has ended.
    bool (*position)(int &seconds);
    void (*close)();
    // Closes and waits until the device is closed, before another open.
    void (*closeBeforeOpen)();
    // Stops and closes as the player ends.
    void (*shutDown)();
};

extern const BackEndOperations MciBackEnd;
extern const BackEndOperations EngineBackEnd;

const BackEndOperations &BackEndOf(BackEnd backEnd);

// A track whose position stands still while it plays is looked at afresh
// from now on: after a start, a resume or a seek.
void WatchPositionAfresh();
