"""Textures and sounds that every level directory carries, in the level's own colours
and voices. Synthesis results are memoised, since levels share some of them."""

import functools
from dataclasses import dataclass

from . import music, sounds, synth, textures


@dataclass(frozen=True)
class Voice:
    """The sound character of a level."""
    engines: tuple          # engine hum base frequency (Hz, whole) of each ship
    whine: tuple            # low and high whine frequency
    fanfare_root: int       # semitones from A4
    chords: tuple           # one chord per bar, semitones from A4
    bpm: int
    seed: int


@functools.lru_cache(maxsize=None)
def _wav(kind, *args):
    return synth.wav_bytes(getattr(sounds, kind)(*args))


@functools.lru_cache(maxsize=None)
def music_file(chords, bpm, seed):
    return music.encode_ogg(music.loop([list(c) for c in chords], bpm, seed))


@functools.lru_cache(maxsize=None)
def _sprite(kind):
    return textures.sprite(64, kind)


SPRITES = {'glow': 'texture/glow.bmp', 'spark': 'texture/spark.bmp', 'smoke': 'texture/smoke.bmp'}


def put_sprites(tree, directory):
    for kind, path in SPRITES.items():
        tree.put('%s/%s' % (directory, path), _sprite(kind))


def put_sounds(tree, directory, voice):
    """The effect and music files of a level; returns the per-ship sound tables that
    the ship scripts name (paths relative to the level directory)."""
    files = {
        'sounds/whine_up.wav': _wav('whine', True, *voice.whine),
        'sounds/whine_down.wav': _wav('whine', False, *voice.whine),
        'sounds/shot.wav': _wav('shot', 11),
        'sounds/reload.wav': _wav('reload_click', 12),
        'sounds/explosion.wav': _wav('explosion', 13),
        'sounds/bump.wav': _wav('bump', 14),
        'sounds/hiss.wav': _wav('trail_hiss', 15),
        'sounds/fanfare.wav': _wav('fanfare', voice.fanfare_root),
        'sounds/music.ogg': music_file(voice.chords, voice.bpm, voice.seed),
    }
    for index, hz in enumerate(voice.engines):
        files['sounds/engine%d.wav' % index] = _wav('engine_loop', hz, 20 + index)
    for path, data in files.items():
        tree.put('%s/%s' % (directory, path), data)
    tables = []
    for index in range(len(voice.engines)):
        tables.append({'engine': 'sounds/engine%d.wav' % index, 'whine_up': 'sounds/whine_up.wav',
                       'whine_down': 'sounds/whine_down.wav', 'shot': 'sounds/shot.wav',
                       'reload': 'sounds/reload.wav', 'explosion': 'sounds/explosion.wav',
                       'bump': 'sounds/bump.wav', 'hiss': 'sounds/hiss.wav'})
    return tables


@functools.lru_cache(maxsize=None)
def hull_texture():
    return textures.hull(128, 3)


@functools.lru_cache(maxsize=None)
def track_texture(colour):
    return textures.track(64, colour)
