#!/usr/bin/env python3
"""Writes the input-method modules' event sounds as WAVE files.

    make_sounds.py [OUTPUT_FOLDER]      (default: resources/sounds)

512 to 517 are PCM 8-bit mono 11025 Hz, shared by both modules; the start
sound 768 is GSM 6.10 (made with sox), one for each module:
768_vexa.wav and 768_ruda.wav. The output is the same, byte for byte, on
every run, so the committed files can be checked against the script.
"""

import math
import os
import struct
import subprocess
import sys
import tempfile
import wave

RATE = 11025
FADE = 0.004  # seconds of fade in and out, so that no tone clicks


def samples(seconds):
    return int(round(seconds * RATE))


def tone(freq, seconds, volume=0.7, decay=0.0):
    """A sine of freq Hz with short fades, as floats in -1..1; decay > 0
    lets it die away like a struck bell."""
    count = samples(seconds)
    fade = max(1, samples(FADE))
    out = []
    for i in range(count):
        level = min(1.0, i / fade, (count - 1 - i) / fade)
        if decay:
            level *= math.exp(-decay * i / RATE)
        out.append(volume * level * math.sin(2 * math.pi * freq * i / RATE))
    return out


def silence(seconds):
    return [0.0] * samples(seconds)


def pcm8(signal):
    return bytes(max(0, min(255, 128 + int(round(127 * s)))) for s in signal)


def pcm16(signal):
    return b"".join(struct.pack("<h", int(round(32000 * s))) for s in signal)


def write_wave(path, frames, width):
    with wave.open(path, "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(width)
        out.setframerate(RATE)
        out.writeframes(frames)


def event_sounds():
    """The PCM sounds by id: their character is what tells events apart."""
    high = tone(1800, 0.0655)
    low = tone(900, 0.0655)
    return {
        512: tone(2400, 0.044) + tone(3200, 0.044),  # a wrap-around: short, high
        513: tone(950, 0.136),  # nothing matches
        514: tone(500, 0.073),  # a refused move
        515: tone(850, 0.060) + silence(0.046) + tone(850, 0.060),  # closing
        516: high + low,  # Cantonese input on
        517: low + high,  # Cantonese input off
    }


def chime(freqs, seconds):
    """Notes struck one after another, each ringing out, in one signal."""
    note = seconds / len(freqs)
    out = []
    for freq in freqs:
        out += tone(freq, note, volume=0.8, decay=4.0)
    return out


START_SOUNDS = {
    "vexa": chime([523.25, 659.25, 783.99], 0.94),  # rising
    "ruda": chime([783.99, 659.25, 523.25], 1.21),  # falling
}


def write_gsm(path, signal):
    with tempfile.TemporaryDirectory() as work:
        source = os.path.join(work, "source.wav")
        write_wave(source, pcm16(signal), 2)
        subprocess.run(["sox", "-D", source, "-e", "gsm-full-rate", path], check=True)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    default = os.path.join(here, "..", "..", "resources", "sounds")
    folder = sys.argv[1] if len(sys.argv) > 1 else default
    os.makedirs(folder, exist_ok=True)
    for number, signal in event_sounds().items():
        write_wave(os.path.join(folder, "%d.wav" % number), pcm8(signal), 1)
    for module, signal in START_SOUNDS.items():
        write_gsm(os.path.join(folder, "768_%s.wav" % module), signal)


if __name__ == "__main__":
    main()
