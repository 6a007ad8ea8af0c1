#!/bin/bash
# The committed event sounds are exactly what tools/sounds/make_sounds.py
# writes, in the formats, lengths and pitches the modules rely on.
set -u
root=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

python3 "$root/tools/sounds/make_sounds.py" "$work" || fail "make_sounds.py failed"
for name in 512 513 514 515 516 517 768_vexa 768_ruda; do
    cmp -s "$work/$name.wav" "$root/resources/sounds/$name.wav" ||
        fail "$name.wav differs from what the script writes"
done

python3 - "$root/resources/sounds" <<'PYTHON' || failures=$((failures + 1))
import struct, sys, wave

folder = sys.argv[1]
problems = []

def pcm(number):
    with wave.open("%s/%d.wav" % (folder, number)) as sound:
        form = (sound.getnchannels(), sound.getsampwidth(), sound.getframerate())
        if form != (1, 1, 11025):
            problems.append("%d: not PCM 8-bit mono 11025 Hz: %s" % (number, form))
        return sound.readframes(sound.getnframes())

def pitch(frames):
    """Hz, from the crossings of the middle line."""
    above = [b >= 128 for b in frames]
    crossings = sum(1 for a, b in zip(above, above[1:]) if a != b)
    return crossings / 2 / (len(frames) / 11025)

lengths = {512: 0.088, 513: 0.136, 514: 0.073, 515: 0.166, 516: 0.131, 517: 0.131}
sounds = {number: pcm(number) for number in lengths}
for number, seconds in lengths.items():
    if abs(len(sounds[number]) / 11025 - seconds) > 0.003:
        problems.append("%d lasts %.3f s" % (number, len(sounds[number]) / 11025))

half = len(sounds[516]) // 2
if sounds[517] != sounds[516][half:] + sounds[516][:half]:
    problems.append("517 is not 516 with its halves exchanged")
for name, frames, low, high in [("513", sounds[513], 880, 1020), ("514", sounds[514], 440, 560),
                                ("516 first half", sounds[516][:half], 1700, 1900),
                                ("516 second half", sounds[516][half:], 840, 960),
                                ("512", sounds[512], 2000, 4000)]:
    if not low <= pitch(frames) <= high:
        problems.append("%s has a pitch of %d Hz" % (name, pitch(frames)))

def gsm_seconds(path):
    """The length of a GSM 6.10 WAVE, checking its format."""
    data = open(path, "rb").read()
    if data[:4] != b"RIFF" or data[8:12] != b"WAVE":
        problems.append(path + ": not a WAVE file")
        return 0
    chunks, at = {}, 12
    while at + 8 <= len(data):
        tag, size = data[at:at + 4], struct.unpack("<I", data[at + 4:at + 8])[0]
        chunks[tag] = data[at + 8:at + 8 + size]
        at += 8 + size + size % 2
    tag, channels, rate = struct.unpack("<HHI", chunks.get(b"fmt ", bytes(8))[:8])
    if (tag, channels, rate) != (0x31, 1, 11025):
        problems.append("%s: not GSM 6.10 mono 11025 Hz" % path)
    return struct.unpack("<I", chunks.get(b"fact", bytes(4))[:4])[0] / 11025

starts = {}
for module, seconds in [("vexa", 0.94), ("ruda", 1.21)]:
    path = "%s/768_%s.wav" % (folder, module)
    starts[module] = open(path, "rb").read()
    if abs(gsm_seconds(path) - seconds) > 0.01:
        problems.append("768 of %s lasts %.3f s" % (module, gsm_seconds(path)))
if starts["vexa"][44:] == starts["ruda"][44:]:
    problems.append("the modules have the same start sound")

for problem in problems:
    print("FAIL:", problem, file=sys.stderr)
sys.exit(1 if problems else 0)
PYTHON

exit $((failures > 0))
