"""The game's sound effects, synthesised. Loops are built from whole cycles (integer
frequencies over whole seconds) or wrap-around filters, so they repeat without a click."""

import math

from . import synth as s


def engine_loop(base_hz, seed):
    """A ship's engine hum: a one-second loop of a throbbing harmonic drone."""
    seconds = 1.0
    drone = s.mix((1.0, s.tone(base_hz, seconds, 'saw')),
                  (0.6, s.tone(base_hz * 2, seconds, 'square')),
                  (0.3, s.tone(base_hz * 3, seconds, 'sine')))
    drone = s.circular_lowpass(drone, base_hz * 6)
    throb = s.tone(6, seconds, 'sine')
    rumble = s.circular_lowpass(s.noise(seconds, seed), 300)
    samples = [d * (0.75 + 0.25 * t) + 1.5 * r for d, t, r in zip(drone, throb, rumble)]
    return s.normalise(samples, 0.5)


def whine(rising, low_hz, high_hz):
    """Turbine whine that rises when speeding up and falls when slowing down."""
    seconds = 0.8
    def freq(t):
        k = t / seconds
        k = k if rising else 1.0 - k
        return low_hz + (high_hz - low_hz) * (k * k * (3 - 2 * k))
    samples = s.mix((1.0, s.tone(freq, seconds, 'sine')),
                    (0.35, s.tone(lambda t: 2.01 * freq(t), seconds, 'triangle')))
    return s.normalise(s.envelope(samples, 0.06, 0.0, 0.35), 0.55)


def shot(seed):
    """A laser-like shot: a falling square chirp over a crack of noise."""
    seconds = 0.28
    chirp = s.tone(lambda t: 180.0 + 1500.0 * math.exp(-t * 18.0), seconds, 'square')
    crack = s.highpass(s.noise(seconds, seed), 1500)
    samples = s.mix((0.6, s.envelope(chirp, 0.002, 9.0)), (0.8, s.envelope(crack, 0.001, 40.0)))
    return s.normalise(s.fade_edges(s.lowpass(samples, 5000)), 0.8)


def reload_click(seed):
    """Two mechanical clicks and a small ping: the bullet is back in its cradle."""
    seconds = 0.2
    click = s.highpass(s.envelope(s.noise(0.012, seed), 0.0005, 300.0), 2000)
    gap = [0.0] * s.count(0.07)
    clicks = click + gap + click
    ping = s.envelope(s.tone(2350.0, seconds, 'sine'), 0.001, 25.0)
    return s.normalise(s.fade_edges(s.mix((1.0, clicks), (0.4, [0.0] * s.count(0.075) + ping))), 0.7)


def explosion(seed):
    """A heavy blast: darkening noise over a falling thump."""
    seconds = 1.5
    total = s.count(seconds)
    blast = s.lowpass(s.noise(seconds, seed),
                      lambda i: 200.0 + 3500.0 * math.exp(-6.0 * i / total), passes=2)
    thump = s.tone(lambda t: 25.0 + 60.0 * math.exp(-t * 5.0), seconds, 'sine')
    samples = s.mix((2.5, s.envelope(blast, 0.004, 2.5)), (0.9, s.envelope(thump, 0.004, 3.5)))
    return s.normalise(s.fade_edges(samples, 0.02), 0.9)


def bump(seed):
    """Hulls knocking together: a short dull thud."""
    seconds = 0.3
    thud = s.tone(lambda t: 60.0 + 110.0 * math.exp(-t * 20.0), seconds, 'sine')
    knock = s.lowpass(s.noise(seconds, seed), 900)
    samples = s.mix((1.0, s.envelope(thud, 0.002, 12.0)), (1.5, s.envelope(knock, 0.001, 30.0)))
    return s.normalise(s.fade_edges(samples), 0.8)


def trail_hiss(seed):
    """The hiss of a flying bullet: a one-second loop of band-limited noise."""
    seconds = 1.0
    raw = s.noise(seconds, seed)
    band = [a - b for a, b in zip(s.circular_lowpass(raw, 4000), s.circular_lowpass(raw, 900))]
    flutter = s.tone(8, seconds, 'sine')
    return s.normalise([x * (0.8 + 0.2 * f) for x, f in zip(band, flutter)], 0.35)


def ui_over():
    """Mouse-over blip: a soft, short high note."""
    samples = s.mix((1.0, s.tone(1320.0, 0.07, 'sine')), (0.2, s.tone(2640.0, 0.07, 'sine')))
    return s.normalise(s.envelope(samples, 0.003, 45.0, 0.01), 0.4)


def ui_click():
    """Click confirmation: two quick rising notes."""
    first = s.envelope(s.tone(880.0, 0.045, 'triangle'), 0.002, 20.0, 0.006)
    second = s.envelope(s.tone(1320.0, 0.07, 'triangle'), 0.002, 30.0, 0.01)
    return s.normalise(first + second, 0.5)


def fanfare(root):
    """A short victory call: a rising arpeggio into a held major chord (root in
    semitones from A4)."""
    def brass(semitones, seconds):
        f = s.note_frequency(root + semitones)
        voice = s.mix((1.0, s.tone(f, seconds, 'saw')), (0.5, s.tone(f * 1.003, seconds, 'saw')))
        voice = s.lowpass(voice, 2200)
        return s.envelope(voice, 0.02, 1.2, 0.06)
    line = brass(-5, 0.16) + brass(0, 0.16) + brass(4, 0.16) + brass(7, 0.32)
    chord = s.mix((1.0, brass(0, 1.6)), (0.8, brass(4, 1.6)), (0.8, brass(7, 1.6)), (0.6, brass(12, 1.6)))
    return s.normalise(line + chord, 0.8)
