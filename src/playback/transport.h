// The open track's transport: pause, resume, restart, stop, seek, close and
// the position. This is the one place that knows which back-end plays the
// open track, and the one place that writes the four transport flags.
#pragma once

#include <string>

// The four states the transport flags can be in (trackOpen, playing,
// paused, stopped): Idle 0000, Playing 1100, Paused 1010, Stopped 1001.
enum class Transport { Idle, Playing, Paused, Stopped };

// Sets the four flags for `state` and reports the change, which the face
// shows before this returns.
void SetTransport(Transport state);

// Opens the file and starts it playing: on the MP3 engine when
// `mp3Engine` and it can, otherwise on MCI. Its length is then in
// player.totalSeconds and player.backEnd names the back-end that holds it
// (the last one tried, when neither could).
bool OpenTrack(const std::string &path, bool mp3Engine);

// Pauses a playing track where it is.
void PauseTrack();
// Plays a paused track on from where it was; on MCI the play that started
// it goes on, and with it its end-of-track notice.
void ResumeTrack();
// Plays a paused or stopped track again from its beginning.
void RestartTrack();
// Stops the track and rewinds it; the time shown keeps the position reached.
void StopTrack();
// Moves a playing track to `seconds` and plays on from there.
void SeekTrack(int seconds);

// Reads the second being played into `seconds`. False when the track has
// ended: the engine says so (it has no end-of-track notice), or a MIDI
// track on MCI has not moved for 3 s while playing.
bool ReadTrackPosition(int &seconds);

// Closes the device whatever the flags say: a stopped or failed track is
// closed as well.
void CloseTrack();
// Closes an open track before the next open, and waits until it is closed.
void CloseTrackBeforeOpen();
// As the player ends: stops and closes an open track, then lets the MP3
// engine library go.
void EndPlayback();
