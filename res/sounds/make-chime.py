#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 Chimewell developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes chime.wav, Chimewell's alarm sound: a soft two-note bell chime of two seconds.

Each note is a few bell-like partials that die away at their own pace; the second, lower
note follows the first after 0.45 s. Only the standard library is needed:
    python3 make-chime.py [OUT.wav]
"""
import math
import struct
import sys
import wave

RATE = 22050
LENGTH_S = 2.0
# (frequency ratio, loudness, decay time constant in seconds) of one bell note
PARTIALS = [(1.0, 1.0, 0.9), (2.0, 0.45, 0.5), (2.76, 0.22, 0.32), (4.07, 0.10, 0.2)]
NOTES = [(0.0, 659.26), (0.45, 523.25)]  # (start in seconds, fundamental in Hz): E5, C5
ATTACK_S = 0.004
FADE_S = 0.15
PEAK = 0.55


def sample(t):
    value = 0.0
    for start, fundamental in NOTES:
        local = t - start
        if local < 0:
            continue
        attack = min(1.0, local / ATTACK_S)
        for ratio, loudness, decay in PARTIALS:
            value += (attack * loudness * math.exp(-local / decay)
                      * math.sin(2 * math.pi * fundamental * ratio * local))
    return value


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "chime.wav"
    count = int(RATE * LENGTH_S)
    raw = [sample(i / RATE) for i in range(count)]
    scale = PEAK / max(abs(v) for v in raw)
    fade_from = count - int(RATE * FADE_S)
    frames = bytearray()
    for i, v in enumerate(raw):
        if i >= fade_from:
            v *= (count - i) / (count - fade_from)
        frames += struct.pack("<h", int(round(v * scale * 32767)))
    with wave.open(out, "wb") as wav:
        wav.setnchannels(1)
        wav.setsampwidth(2)
        wav.setframerate(RATE)
        wav.writeframes(bytes(frames))


if __name__ == "__main__":
    main()
