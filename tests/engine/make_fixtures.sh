#!/usr/bin/env bash
# make_fixtures.sh OUT CORPUS: makes the engine tests' files in OUT from
# tones that sox synthesises, encoded with lame, flac, oggenc and opusenc,
# and copies the small ones
# into the parser fuzzer's seed corpus CORPUS. NAME.raw beside NAME.mp3 is
# the sound it was encoded from (16-bit PCM), for the tests that compare
# what is heard with what was encoded.
set -eu
out=$1 corpus=$2
mkdir -p "$out" "$corpus"
cd "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

tone() { # tone FILE SECONDS FREQUENCY RATE CHANNELS
  sox -R -n -r "$4" -c "$5" -b 16 "$1" synth "$2" sine "$3" vol 0.5
}
encode() { # encode WAV MP3 LAME-OPTIONS...
  local wav=$1 mp3=$2; shift 2
  lame --quiet --noreplaygain "$@" "$wav" "$mp3"
}
keep_source() { # keep_source WAV NAME: NAME.raw, the WAV's samples
  sox "$1" -t raw -e signed -b 16 "$2.raw"
}

tone "$work/t5.wav" 5 440 44100 2
encode "$work/t5.wav" cbr128.mp3 -b 128
encode "$work/t5.wav" notag.mp3 -b 128 -t
encode "$work/t5.wav" crc.mp3 -b 128 -p
encode "$work/t5.wav" id3v1.mp3 -b 128 --tt Tone --ta Tunewell --id3v1-only

tone "$work/t10.wav" 10 440 44100 2
encode "$work/t10.wav" cbr10.mp3 -b 128

# Silence, noise and a tone make the bitrate swing; the first frame's
# bitrate says nothing about the length.
sox -R -n -r 44100 -c 2 -b 16 "$work/quiet.wav" trim 0 2
sox -R -n -r 44100 -c 2 -b 16 "$work/noise.wav" synth 2 pinknoise vol 0.5
tone "$work/t25.wav" 2.5 440 44100 2
sox "$work/quiet.wav" "$work/noise.wav" "$work/t25.wav" "$work/vbr.wav"
encode "$work/vbr.wav" vbr.mp3 -V 2
keep_source "$work/vbr.wav" vbr

# Sweeps: unlike a steady tone, they line up with their source at one
# offset only. Stereo MPEG-1 with an ID3v2 tag, and mono MPEG-2.
sox -R -n -r 44100 -c 2 -b 16 "$work/sweep.wav" synth 3 sine 200-6000 sine 300-5000 vol 0.5
encode "$work/sweep.wav" sweep.mp3 -b 160 --id3v2-only --tt Sweep --ta Tunewell
keep_source "$work/sweep.wav" sweep
# Free format: no bitrate in the headers, the frame length found only from
# the distance between them (200 kbit/s: 653 bytes, 654 padded).
encode "$work/sweep.wav" free.mp3 -b 200 --freeformat
cp sweep.raw free.raw
sox -R -n -r 22050 -c 1 -b 16 "$work/sweep22.wav" synth 3 sine 100-4000 vol 0.5
encode "$work/sweep22.wav" sweep22.mp3 -b 64
keep_source "$work/sweep22.wav" sweep22

# Two minutes: long enough to be cut while it plays.
tone "$work/long.wav" 120 440 22050 1
encode "$work/long.wav" long.mp3 -b 64

# 22.05 kHz mono is MPEG-2; 8 kHz is MPEG-2.5.
tone "$work/m22.wav" 4.5 1000 22050 1
encode "$work/m22.wav" mono22.mp3 -b 64
for rate in 8000 11025 12000 16000 22050 24000 32000 44100 48000; do
  tone "$work/r$rate.wav" 2 500 "$rate" 2
  kbits=32; [ "$rate" -ge 16000 ] && kbits=64; [ "$rate" -ge 32000 ] && kbits=128
  encode "$work/r$rate.wav" "rate$rate.mp3" -b $kbits --resample "$(awk "BEGIN { print $rate / 1000 }")"
done

# An ID3v2.4 tag with a footer, whose body holds sync patterns.
tag_size=2000
{
  printf 'ID3\x04\x00\x10\x00\x00\x0f\x50'          # 2000 = 0x0F 0x50 syncsafe
  for _ in $(seq 1 250); do printf '\xff\xfb\x90\x64\x00\x00\x00\x00'; done
  printf '3DI\x04\x00\x10\x00\x00\x0f\x50'
} >"$work/tag.bin"
[ "$(stat -c %s "$work/tag.bin")" -eq $((tag_size + 20)) ]
cat "$work/tag.bin" cbr128.mp3 >id3v2.mp3

# An ID3 header that claims far more bytes than the file has.
{ printf 'ID3\x03\x00\x00\x7f\x7f\x7f\x7f'; cat cbr128.mp3; } >id3huge.mp3

# An APE tag (header, one item, footer) after the audio.
{
  cat cbr128.mp3
  printf 'APETAGEX\xd0\x07\x00\x00\x2c\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\xa0\x00\x00\x00\x00\x00\x00\x00\x00'
  printf '\x04\x00\x00\x00\x00\x00\x00\x00Title\x00\xff\xfb\x90\x64'
  printf 'APETAGEX\xd0\x07\x00\x00\x2c\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x80\x00\x00\x00\x00\x00\x00\x00\x00'
} >ape.mp3

# 3 KB of noise in the middle of a 10 s file.
cp cbr10.mp3 damaged.mp3
sox -R -n -t raw -r 8000 -e signed -b 8 -c 1 "$work/noise.raw" synth 0.375 whitenoise
dd if="$work/noise.raw" of=damaged.mp3 bs=1 seek=80000 conv=notrunc status=none

# The last frame cut short.
size=$(stat -c %s cbr128.mp3)
head -c $((size - 200)) cbr128.mp3 >truncated.mp3

: >empty.mp3
sox -R -n -t raw -r 8000 -e signed -b 8 -c 1 random.mp3 synth 2.5 whitenoise
head -c 3 cbr128.mp3 >tiny.mp3

# ---- FLAC, Ogg Vorbis and Opus ---------------------------------------------
# NAME.ref beside each is what the format's own command-line decoder makes
# of it (16-bit PCM): what the engine must play, sample for sample.
flac_ref() { flac --silent --force -d --force-raw-format --endian=little --sign=signed -o "$2" "$1"; }

# Stereo 44.1 kHz at the default and at the smallest and largest common
# block sizes; lossless, so each decodes to its source.
flac --silent --force -o sweep.flac "$work/sweep.wav"
flac --silent --force -b 192 -o blocks192.flac "$work/sweep.wav"
flac --silent --force --lax -b 16384 -o blocks16384.flac "$work/sweep.wav"
for name in sweep blocks192 blocks16384; do flac_ref $name.flac $name.ref; done
# Mono 22.05 kHz, and 8-bit mono 48 kHz (scaled up to 16 bits exactly).
flac --silent --force -o sweep22.flac "$work/sweep22.wav"
flac_ref sweep22.flac sweep22.ref
sox -R -n -r 48000 -c 1 -b 8 "$work/m8.wav" synth 2 sine 300-3000 vol 0.5
flac --silent --force -o mono8.flac "$work/m8.wav"
sox "$work/m8.wav" -t raw -e signed -b 16 mono8.ref
# 24 bits at 96 kHz: played as they are (hd24.ref holds 24-bit samples)
# where the device takes them, else as 16 bits with dither.
sox -R -n -r 96000 -c 2 -b 24 "$work/hd.wav" synth 2 sine 880 vol 0.5
flac --silent --force -o hd24.flac "$work/hd.wav" 2>/dev/null
flac_ref hd24.flac hd24.ref
# Six channels, each its own tone, mixed down to stereo.
sox -R -n -r 48000 -c 6 -b 16 "$work/six.wav" synth 2 sine 300 sine 500 sine 700 sine 900 sine 1100 sine 1300 vol 0.3
flac --silent --force -o six.flac "$work/six.wav" 2>/dev/null
# A stream that does not say its length, as one written while it was
# encoded; one with a large picture first; one behind an ID3v2 tag.
cp sweep.flac nolength.flac && metaflac --set-total-samples=0 nolength.flac 2>/dev/null
cp sweep.ref nolength.ref
head -c 3000000 /dev/urandom >"$work/cover.png"
cp sweep.flac picture.flac && metaflac --import-picture-from="3|image/png||1000x1000x24|$work/cover.png" picture.flac
cp sweep.ref picture.ref
cat "$work/tag.bin" sweep.flac >id3.flac
cp sweep.ref id3.ref
# Damage in the middle, and the end cut off.
cp sweep.flac damaged.flac
dd if="$work/noise.raw" of=damaged.flac bs=1 seek=120000 count=1500 conv=notrunc status=none
head -c $(($(stat -c %s sweep.flac) * 2 / 3)) sweep.flac >truncated.flac

# Ogg Vorbis and Opus: lossy, so the reference is the encoder's decoder.
oggenc --quiet -q 4 -o sweep.ogg "$work/sweep.wav"
oggdec --quiet -R -o sweep-ogg.ref sweep.ogg
oggenc --quiet -q 2 -o sweep22.ogg "$work/sweep22.wav"
oggdec --quiet -R -o sweep22-ogg.ref sweep22.ogg
oggenc --quiet -q 2 -o six.ogg "$work/six.wav"
opusenc --quiet --bitrate 128 "$work/sweep.wav" sweep.opus
opusdec --quiet --rate 48000 --no-dither sweep.opus "$work/opus.wav"
sox "$work/opus.wav" -t raw -e signed -b 16 sweep-opus.ref
opusenc --quiet --bitrate 48 "$work/sweep22.wav" sweep22.opus
opusdec --quiet --rate 48000 --no-dither sweep22.opus "$work/opus22.wav"
sox "$work/opus22.wav" -t raw -e signed -b 16 sweep22-opus.ref
opusenc --quiet --bitrate 192 "$work/six.wav" six.opus 2>/dev/null
# An Ogg stream of a codec the engine does not play: FLAC in Ogg.
flac --silent --force --ogg -o ogg-flac.ogg "$work/sweep.wav"

head -c 5000 free.mp3 >"$corpus/free-start.mp3"
cp cbr128.mp3 crc.mp3 notag.mp3 mono22.mp3 rate8000.mp3 id3v2.mp3 ape.mp3 truncated.mp3 tiny.mp3 "$corpus/"
head -c 6000 vbr.mp3 >"$corpus/vbr-start.mp3"
head -c 90000 damaged.mp3 | tail -c 12000 >"$corpus/damaged-middle.mp3"
echo "make_fixtures: made $(ls "$out" | wc -l) files in $out"
