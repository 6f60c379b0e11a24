#!/usr/bin/env bash
# Runs the engine benchmark by hand under Wine, with the sound going to the
# null device: builds the benchmark (a target of the project's build)
# against build/VBMP3.dll, makes a 60 s 128 kbit/s MP3, the same minute as a
# 16-bit FLAC and a one-hour VBR MP3 (once), and prints the numbers. ROUNDS=N sets the interleaved rounds
# (at least 5; 7 by default).
set -u
SCRIPT_NAME=bench/run.sh
source "$(dirname "$0")/../scripts/common.sh"
[ -f "$BUILD/CMakeCache.txt" ] || fail "build first (scripts/build.sh)"

OUT="$BUILD/bench"
mkdir -p "$OUT"
cmake --build "$BUILD" --target engine_bench vbmp3 >"$OUT/build.log" 2>&1 \
  || { grep -E "error|Error" "$OUT/build.log" | head -n 20 >&2; fail "could not build the benchmark (see $OUT/build.log)"; }

if [ ! -f "$OUT/tone60.mp3" ]; then
  sox -R -n -r 44100 -c 2 -b 16 "$OUT/tone60.wav" synth 60 sine 440 vol 0.5
  lame --quiet -b 128 "$OUT/tone60.wav" "$OUT/tone60.mp3"
  rm -f "$OUT/tone60.wav"
fi
if [ ! -f "$OUT/tone60.flac" ]; then
  # Noise with a sweep, not a pure tone: the frames come out about as large
  # as a recording's, and so does the work of decoding them.
  sox -R -n -r 44100 -c 2 -b 16 "$OUT/noise60.wav" synth 60 pinknoise pinknoise synth 60 sine mix 220-880 vol 0.3
  flac --silent -f -o "$OUT/tone60.flac" "$OUT/noise60.wav"
  rm -f "$OUT/noise60.wav"
fi
if [ ! -f "$OUT/vbr60min.mp3" ]; then
  # Sixty copies of one VBR minute without an information frame: the
  # engine must scan every frame to know the length.
  sox -R -n -r 44100 -c 2 -b 16 "$OUT/minute.wav" synth 20 pinknoise vol 0.3 : synth 20 sine 220-2000 vol 0.5 : synth 20 sine 440 vol 0.5
  lame --quiet -V 2 -t "$OUT/minute.wav" "$OUT/minute.mp3"
  for _ in $(seq 1 60); do cat "$OUT/minute.mp3"; done >"$OUT/vbr60min.mp3"
  rm -f "$OUT/minute.wav" "$OUT/minute.mp3"
fi

wine_home "$BUILD/wine/bench-home" /dev/null
trap '[ -n "${WINEPREFIX:-}" ] && wineserver -k >/dev/null 2>&1' EXIT
wine_env "$BUILD/wine/bench-prefix"
win() { winepath -w "$1" 2>/dev/null; }
wine "$OUT/engine_bench.exe" "$(win "$BUILD/VBMP3.dll")" "$(win "$OUT/tone60.mp3")" \
  "$(win "$OUT/vbr60min.mp3")" "$(win "$OUT/scratch.wav")" "${ROUNDS:-7}" \
  "$(win "$OUT/tone60.flac")"
