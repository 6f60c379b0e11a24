#!/usr/bin/env bash
# make_fixtures.sh OUT: makes the tones that the program tests play, from
# tones that sox synthesises: WMA, MPEG Layer II and AAC encoded by ffmpeg,
# MP3 by lame, FLAC, Ogg Vorbis and Opus by their own encoders.
set -eu
out=$1
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

tone() { # tone FILE SECONDS FREQUENCY RATE CHANNELS
  sox -R -n -r "$4" -c "$5" -b 16 "$1" synth "$2" sine "$3" vol 0.5
}
wma() { # wma WAV WMA
  ffmpeg -nostdin -v error -y -i "$1" -c:a wmav2 -b:a 128k "$2"
}

# Long enough that none ends while a test listens.
tone "$work/a.wav" 20 440 44100 2
wma "$work/a.wav" "$out/tone440.wma"
tone "$work/b.wav" 20 660 44100 2
lame --quiet --noreplaygain -b 128 "$work/b.wav" "$out/tone660.mp3"
# MPEG Layer II under an .mp3 name, as old rips and broadcasts have it:
# the engine refuses it, the platform's media services play it.
tone "$work/e.wav" 20 770 44100 2
ffmpeg -nostdin -v error -y -i "$work/e.wav" -c:a mp2 -b:a 192k -f mp2 "$out/layer2.mp3"
# Short, so that its end comes soon.
tone "$work/c.wav" 2 550 44100 2
wma "$work/c.wav" "$out/short550.wma"
# 22.05 kHz mono, as the engine plays it: 16-bit, at the file's own rate.
tone "$work/d.wav" 6 1000 22050 1
lame --quiet --noreplaygain -b 64 "$work/d.wav" "$out/mono1000.mp3"
# Today's formats, each its own tone and length, long enough that none ends
# while a test listens: FLAC, Ogg Vorbis and Opus for the engine, M4A
# (AAC) for the platform's media services.
tone "$work/f.wav" 300 440 11025 1
flac --silent --force -o "$out/tone440.flac" "$work/f.wav"
tone "$work/g.wav" 310 660 11025 1
oggenc --quiet -q 2 -o "$out/tone660.ogg" "$work/g.wav"
tone "$work/h.wav" 320 880 48000 1
opusenc --quiet --bitrate 32 "$work/h.wav" "$out/tone880.opus"
tone "$work/i.wav" 330 1100 44100 2
ffmpeg -nostdin -v error -y -i "$work/i.wav" -c:a aac -b:a 96k "$out/tone1100.m4a"
# A FLAC file for the media services, when the engine is not beside the program.
tone "$work/j.wav" 20 990 44100 2
flac --silent --force -o "$out/tone990.flac" "$work/j.wav"
echo "make_fixtures: made $(ls "$out" | wc -l) files in $out"
