"""Music loops: chords, an arpeggio, a bass line and a beat, mixed into a buffer that
wraps around, then encoded as Ogg Vorbis with a fixed stream serial number."""

import os
import subprocess
import tempfile

from . import synth as s
from .noise import Random

SERIAL = 20061
QUALITY = '2'


def _add(buffer, start, samples, gain):
    size = len(buffer)
    for i, x in enumerate(samples):
        buffer[(start + i) % size] += gain * x


def _pluck(freq, seconds, shape):
    return s.envelope(s.tone(freq, seconds, shape), 0.003, 7.0, 0.02)


def _pad(freq, seconds):
    voice = s.mix((1.0, s.tone(freq, seconds, 'saw')), (1.0, s.tone(freq * 1.004, seconds, 'saw')))
    return s.envelope(s.lowpass(voice, 1200), seconds * 0.25, 0.3, seconds * 0.3)


def loop(chords, bpm, seed, arp_shape='triangle'):
    """chords: one per bar, each a list of semitones from A4 (lowest first)."""
    beat = 60.0 / bpm
    bar = 4 * beat
    total = s.count(bar * len(chords))
    buffer = [0.0] * total
    rng = Random(seed)
    hat = s.highpass(s.noise(0.05, seed), 5000)
    for index, chord in enumerate(chords):
        start = s.count(index * bar)
        for note in chord:
            _add(buffer, start, _pad(s.note_frequency(note), bar), 0.12)
        bass = s.note_frequency(chord[0] - 24)
        for step in range(4):
            _add(buffer, start + s.count(step * beat), _pluck(bass, beat * 0.9, 'sine'), 0.5)
        for step in range(16):
            note = chord[step % len(chord)] + (12 if (step // len(chord)) % 2 else 0)
            _add(buffer, start + s.count(step * beat / 4), _pluck(s.note_frequency(note), beat / 2, arp_shape), 0.16)
        for step in range(8):
            gain = 0.12 if step % 2 else 0.06 + 0.02 * rng.uniform()
            _add(buffer, start + s.count(step * beat / 2), s.envelope(hat, 0.0005, 80.0), gain)
    return s.normalise(buffer, 0.85)


def encode_ogg(samples):
    """Ogg Vorbis bytes of a sample list, made by oggenc with a fixed serial number so
    that the same samples always give the same file."""
    with tempfile.TemporaryDirectory() as work:
        wav = os.path.join(work, 'music.wav')
        ogg = os.path.join(work, 'music.ogg')
        with open(wav, 'wb') as handle:
            handle.write(s.wav_bytes(samples))
        subprocess.run(['oggenc', '-Q', '-s', str(SERIAL), '-q', QUALITY, '-o', ogg, wav],
                       check=True)
        with open(ogg, 'rb') as handle:
            return handle.read()
