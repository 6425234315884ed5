"""Script text (sound, pts and action blocks) and the particle effects the scripts use."""

from .ini import fmt


class Script:
    def __init__(self, title):
        self._lines = ['// ' + title]

    def block(self, kind, name, statements):
        self._lines.append('%s = %s' % (kind, name))
        self._lines.append('{')
        for key, value in statements:
            self._lines.append('    %s = %s;' % (key, fmt(value)))
        self._lines.append('}')

    def sound(self, name, path):
        self.block('sound', name, [('file', path)])

    def pts(self, name, keys):
        self.block('pts', name, keys)

    def action(self, event, statements):
        self.block('action', event, statements)

    def text(self):
        return '\n'.join(self._lines) + '\n'


def _rgb(colour, fade_to=None):
    """Colour keys: constant, or fading linearly over a particle's life."""
    keys = []
    for name, value, end in zip(('red', 'green', 'blue'), colour, fade_to or colour):
        keys.append((name, (value, end, 0)))
    return keys


def point(x, y, z):
    return ('surf_loc_rot', (x, y, z, 0, 0, 0))


def exhaust(colour, texture):
    return [('type', 'moving'), ('surf_type', -1), point(0, 0.55, 0), ('texture', texture),
            ('live', (250, 450, 1)), ('gen_rate', (0.06, 0.06, 0)), ('size', (0.22, 0.03, 0))] + \
        _rgb(colour, (colour[0] * 0.4, colour[1] * 0.2, colour[2] * 0.4)) + [
            ('alpha', (0.9, 0.1, 0)), ('x_vel', (-0.0003, 0.0003, 1)), ('y_vel', (0.0015, 0.0025, 1)),
            ('z_vel', (-0.0002, 0.0002, 1)), ('regenerate', 1), ('particles', 40)]


def boost(colour, texture):
    return [('type', 'circular'), ('surf_type', 1), point(0, 0.5, 0), ('circ_rad_incs', '0.2,12'),
            ('texture', texture), ('live', (350, 350, 0)), ('gen_rate', (0.3, 0.3, 0)),
            ('size', (0.18, 0.02, 0))] + _rgb(colour, (1, 1, 1)) + [
            ('alpha', (1, 0, 0)), ('x_vel', (0.002, 0.002, 0)), ('y_vel', (0.002, 0.002, 0)),
            ('z_vel', (0, 0, 0)), ('regenerate', 0), ('particles', 24)]


def sparks(where_y, forward, texture, count=16):
    speed = (-0.004, -0.0015, 1) if forward else (-0.003, 0.003, 1)
    return [('type', 'moving'), ('surf_type', -1), point(0, where_y, 0), ('texture', texture),
            ('live', (150, 350, 1)), ('gen_rate', (0.4, 0.4, 0)), ('size', (0.12, 0.02, 0)),
            ('red', (1, 1, 0)), ('green', (0.9, 0.4, 0)), ('blue', (0.5, 0.1, 0)), ('alpha', (1, 0.2, 0)),
            ('x_vel', (-0.002, 0.002, 1)), ('y_vel', speed), ('z_vel', (-0.001, 0.002, 1)),
            ('z_grv', (-0.00001, -0.00001, 0)), ('regenerate', 0), ('particles', count)]


def reload_glow(colour, texture):
    return [('type', 'follower'), ('surf_type', -1), point(0, -0.3, 0.12), ('texture', texture),
            ('live', (350, 350, 0)), ('gen_rate', (0.01, 0.01, 0)), ('size', (0.1, 0.6, 0))] + \
        _rgb(colour) + [('alpha', (1, 0, 0)), ('regenerate', 0), ('particles', 1)]


def blast(texture):
    return [('type', 'circular'), ('surf_type', 1), point(0, 0, 0), ('circ_rad_incs', '0.1,16'),
            ('texture', texture), ('live', (500, 900, 1)), ('gen_rate', (1, 1, 0)),
            ('size', (0.45, 0.05, 0)), ('red', (1, 0.8, 0)), ('green', (0.9, 0.2, 0)),
            ('blue', (0.4, 0, 0)), ('alpha', (1, 0, 0)), ('x_vel', (0.002, 0.004, 1)),
            ('y_vel', (0.002, 0.004, 1)), ('z_vel', (-0.001, 0.002, 1)), ('regenerate', 0),
            ('particles', 48)]


def smoke(texture):
    return [('type', 'moving'), ('surf_type', 0), point(0, 0, 0), ('volume_surf', '0.6,0.6,0.3'),
            ('texture', texture), ('live', (900, 1500, 1)), ('gen_rate', (0.05, 0.05, 0)),
            ('size', (0.2, 0.7, 0)), ('red', (0.5, 0.2, 0)), ('green', (0.45, 0.2, 0)),
            ('blue', (0.4, 0.2, 0)), ('alpha', (0.6, 0, 0)), ('x_vel', (-0.0004, 0.0004, 1)),
            ('y_vel', (-0.0004, 0.0004, 1)), ('z_vel', (0.0005, 0.0012, 1)), ('regenerate', 0),
            ('particles', 20)]


def trail(colour, texture):
    return [('type', 'marking'), ('surf_type', -1), point(0, 0, 0), ('texture', texture),
            ('live', (400, 600, 1)), ('gen_rate', (0.08, 0.08, 0)), ('size', (0.14, 0.01, 0))] + \
        _rgb(colour, (colour[0] * 0.3, colour[1] * 0.3, colour[2] * 0.3)) + [
            ('alpha', (1, 0, 0)), ('x_vel', (-0.0001, 0.0001, 1)), ('y_vel', (-0.0001, 0.0001, 1)),
            ('z_vel', (0, 0.0002, 1)), ('regenerate', 1), ('particles', 50)]


def motes(centre, size, colour, texture, count=80):
    """Drifting specks over a whole level or scene."""
    return [('type', 'moving'), ('surf_type', 0), ('surf_loc_rot', tuple(centre) + (0, 0, 0)),
            ('volume_surf', '%g,%g,%g' % tuple(size)), ('texture', texture),
            ('live', (3000, 5000, 1)), ('gen_rate', (0.02, 0.02, 0)), ('size', (0.08, 0.08, 0))] + \
        _rgb(colour) + [('alpha', (0, 0.9, 0)), ('x_vel', (-0.0002, 0.0002, 1)),
                        ('y_vel', (-0.0002, 0.0002, 1)), ('z_vel', (0.0001, 0.0005, 1)),
                        ('regenerate', 1), ('particles', count)]


def ship_script(title, colour, sounds, textures):
    """A ship's script: every ship event bound to its sound and particle effect.
    sounds: event-sound name -> file; textures: 'glow', 'spark', 'smoke' -> file."""
    script = Script(title)
    for name in ('engine', 'whine_up', 'whine_down', 'shot', 'reload', 'explosion', 'bump', 'hiss'):
        script.sound(name, sounds[name])
    script.pts('exhaust', exhaust(colour, textures['glow']))
    script.pts('boost', boost(colour, textures['glow']))
    script.pts('brake', sparks(-0.6, True, textures['spark']))
    script.pts('muzzle', sparks(-0.7, True, textures['spark'], 10))
    script.pts('reload_glow', reload_glow(colour, textures['glow']))
    script.pts('blast', blast(textures['glow']))
    script.pts('smoke', smoke(textures['smoke']))
    script.pts('sparks', sparks(-0.5, False, textures['spark'], 20))
    script.pts('trail', trail(colour, textures['glow']))
    script.action('fire', [('PlaySound', 'shot'), ('StartPts', 'muzzle')])
    script.action('loaded', [('PlaySound', 'reload'), ('StartPts', 'reload_glow')])
    script.action('moving', [('LoopSound', 'engine'), ('StartPts', 'exhaust')])
    script.action('hit', [('PlaySound', 'explosion'), ('StartPts', 'blast'), ('StartPts', 'smoke')])
    script.action('accelerate', [('PlaySound', 'whine_up'), ('StartPts', 'boost')])
    script.action('slowdown', [('PlaySound', 'whine_down'), ('StartPts', 'brake')])
    script.action('collision', [('PlaySound', 'bump'), ('StartPts', 'sparks')])
    script.action('bul_moving', [('LoopSound', 'hiss'), ('StartPts', 'trail')])
    return script.text()


def level_script(title, music, fanfare, ambient):
    """A level's script: music and drifting specks from the start, a fanfare at the end."""
    script = Script(title)
    script.sound('music', music)
    script.sound('fanfare', fanfare)
    script.pts('ambient', ambient)
    script.action('start', [('LoopSound', 'music'), ('StartPts', 'ambient')])
    script.action('finish', [('StopSound', 'music'), ('PlaySound', 'fanfare')])
    return script.text()
