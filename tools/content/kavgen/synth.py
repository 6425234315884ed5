"""Sample-level synthesis and the WAV writer (mono, 16-bit PCM)."""

import math

from .binio import ByteWriter
from .noise import Random

RATE = 22050


def wav_bytes(samples, rate=RATE):
    """A RIFF WAVE file of 16-bit mono PCM; samples are floats in -1..1."""
    data = ByteWriter()
    for sample in samples:
        data.i16(int(round(max(-1.0, min(1.0, sample)) * 32767.0)))
    body = data.bytes()
    out = ByteWriter()
    out.raw(b'RIFF')
    out.u32(36 + len(body))
    out.raw(b'WAVEfmt ')
    out.u32(16)
    out.u16(1)          # PCM
    out.u16(1)          # mono
    out.u32(rate)
    out.u32(rate * 2)   # bytes per second
    out.u16(2)          # block align
    out.u16(16)
    out.raw(b'data')
    out.u32(len(body))
    out.raw(body)
    return out.bytes()


def count(seconds):
    return int(round(seconds * RATE))


def tone(freq, seconds, shape='sine', phase=0.0):
    """An oscillator; freq is a number or a function of time in seconds."""
    samples = []
    step = 1.0 / RATE
    for i in range(count(seconds)):
        f = freq(i * step) if callable(freq) else freq
        phase += f * step
        p = phase % 1.0
        if shape == 'sine':
            samples.append(math.sin(2.0 * math.pi * p))
        elif shape == 'saw':
            samples.append(2.0 * p - 1.0)
        elif shape == 'square':
            samples.append(1.0 if p < 0.5 else -1.0)
        else:  # triangle
            samples.append(4.0 * abs(p - 0.5) - 1.0)
    return samples


def noise(seconds, seed):
    rng = Random(seed)
    return [rng.signed() for _ in range(count(seconds))]


def lowpass(samples, cutoff, passes=1):
    """One-pole low-pass; cutoff in Hz (a number or a function of the sample index)."""
    out = list(samples)
    for _ in range(passes):
        state = 0.0
        for i, x in enumerate(out):
            c = cutoff(i) if callable(cutoff) else cutoff
            alpha = 1.0 - math.exp(-2.0 * math.pi * c / RATE)
            state += alpha * (x - state)
            out[i] = state
    return out


def highpass(samples, cutoff):
    low = lowpass(samples, cutoff)
    return [x - y for x, y in zip(samples, low)]


def circular_lowpass(samples, cutoff):
    """Low-pass that wraps around, so a loop joins without a click."""
    doubled = lowpass(samples + samples, cutoff)
    return doubled[len(samples):]


def envelope(samples, attack, decay_rate=0.0, release=0.0):
    """Linear attack (s), exponential decay (per second) and linear release (s) at the end."""
    total = len(samples)
    a, r = count(attack), count(release)
    out = []
    for i, x in enumerate(samples):
        gain = math.exp(-decay_rate * i / RATE)
        if a and i < a:
            gain *= i / float(a)
        if r and i >= total - r:
            gain *= (total - i) / float(r)
        out.append(x * gain)
    return out


def mix(*tracks):
    """Sum of (gain, samples) pairs, as long as the longest."""
    total = max(len(samples) for _, samples in tracks)
    out = [0.0] * total
    for gain, samples in tracks:
        for i, x in enumerate(samples):
            out[i] += gain * x
    return out


def normalise(samples, peak=0.8):
    top = max(abs(x) for x in samples) or 1.0
    return [x * peak / top for x in samples]


def fade_edges(samples, seconds=0.005):
    """Short fades at both ends so one-shot sounds start and stop without clicks."""
    return envelope(samples, seconds, 0.0, seconds)


def note_frequency(semitones_from_a4):
    return 440.0 * 2.0 ** (semitones_from_a4 / 12.0)
