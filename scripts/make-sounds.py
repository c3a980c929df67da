#!/usr/bin/env python3
"""Makes the three exchange sounds (16-bit mono WAV, 22,050 Hz) from scratch, deterministically:
a wooden click after receiving, a soft pop after sending, a metallic clang after a failure.
Usage: scripts/make-sounds.py [folder]   (default: resources/sounds)"""
import math, os, random, struct, sys, wave

RATE = 22050


def write(path, samples):
    with wave.open(path, "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(b"".join(struct.pack("<h", int(max(-1.0, min(1.0, s)) * 30000)) for s in samples))


def tone(partials, seconds, decay):
    n = int(RATE * seconds)
    return [sum(a * math.sin(2 * math.pi * f * i / RATE) for f, a in partials) * math.exp(-decay * i / RATE)
            for i in range(n)]


def claves():  # two short wooden knocks
    knock = tone([(2500, 0.6), (1250, 0.3), (3900, 0.1)], 0.09, 60)
    return knock + [0.0] * int(RATE * 0.07) + knock


def cork_pop():  # a falling chirp with a burst of noise
    rng = random.Random(7)
    n = int(RATE * 0.12)
    out, phase = [], 0.0
    for i in range(n):
        phase += 2 * math.pi * (900 - 5000 * i / RATE) / RATE
        envelope = math.exp(-40 * i / RATE)
        out.append(envelope * (0.7 * math.sin(phase) + 0.3 * (rng.random() * 2 - 1) * math.exp(-200 * i / RATE)))
    return out


def metal_clang():  # inharmonic partials ringing down
    return tone([(523, 0.35), (1387, 0.25), (2213, 0.2), (3011, 0.12), (4430, 0.08)], 0.9, 5)


folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "resources", "sounds")
os.makedirs(folder, exist_ok=True)
for name, samples in (("claves.wav", claves()), ("cork_pop.wav", cork_pop()), ("metal_clang.wav", metal_clang())):
    write(os.path.join(folder, name), samples)
