// Tells what a file holds from its first bytes, never from its name: a
// FLAC stream ("fLaC"), an Ogg stream whose first packet is a Vorbis or
// an Opus header, or else what may be MPEG audio. ID3v2 tags in front of
// the audio are passed over, as taggers put them before any kind. Plain
// C++ without the platform's headers, so it also builds natively for
// sanitizers and fuzzing.
#pragma once

#include "mp3_stream.h"

enum ContainerKind {
    ContainerMpegAudio, // or nothing playable: the MP3 parser decides
    ContainerFlac,
    ContainerOggVorbis,
    ContainerOggOpus,
    ContainerOggOther,  // an Ogg stream of a codec the engine does not play
};

// `audioStart` receives the offset of the first byte after the tags.
ContainerKind DetectContainer(const ByteSource &source, uint64_t *audioStart);
