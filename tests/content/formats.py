"""Readers of the shipped file formats, written from the game's reading rules and
independent of the generator, so a format slip in the generator shows up here. Each
reader raises FormatError naming the first rule a file breaks."""

import math
import struct


class FormatError(Exception):
    pass


class Reader:
    """Bounded little-endian reader: reading past the end is a FormatError."""

    def __init__(self, data, what):
        self.data = data
        self.pos = 0
        self.what = what

    def take(self, count):
        if count < 0 or self.pos + count > len(self.data):
            raise FormatError('%s: read of %d bytes at %d runs past the end (%d)'
                              % (self.what, count, self.pos, len(self.data)))
        chunk = self.data[self.pos:self.pos + count]
        self.pos += count
        return chunk

    def unpack(self, fmt):
        return struct.unpack('<' + fmt, self.take(struct.calcsize('<' + fmt)))

    def one(self, fmt):
        return self.unpack(fmt)[0]

    def floats(self, count):
        return list(self.unpack('%df' % count))

    def name(self):
        return self.take(self.one('h')).decode('ascii')

    def left(self):
        return len(self.data) - self.pos


# ---------------------------------------------------------------- COB scenes

COB_ACCEPTED = {'END ': (1, 0), 'PolH': (0, 8), 'Mat1': (0, 6), 'NCur': (0, 2), 'Came': (0, 2),
                'Lght': (0, 12), 'Grou': (0, 1), 'ShBx': (0, 4), 'Note': (0, 1)}
PARAM_SIZES = {1: 4, 2: 4, 3: 4, 5: 4, 6: 4, 4: 8, 7: 12, 8: 12, 9: 12, 33: 2, 34: 2, 45: 1, 49: 16}


def _accepted(kind, major, minor):
    if kind == 'END ':
        return major in (0, 1) and minor == 0
    return kind in COB_ACCEPTED and major == 0 and 0 <= minor <= COB_ACCEPTED[kind][1]


def _transform(r, record):
    record['axes'] = [r.floats(3) for _ in range(4)]   # centre, x, y, z axes
    record['matrix'] = r.floats(12)


def _polh(r, record, minor):
    record['name'] = (r.one('h'), r.name())[1]
    _transform(r, record)
    count = r.one('i')
    if count < 0:
        raise FormatError('negative vertex count')
    record['vertices'] = [r.floats(3) for _ in range(count)]
    count = r.one('i')
    record['uvs'] = [r.floats(2) for _ in range(count)]
    faces = []
    for _ in range(r.one('i')):
        flags = r.one('B')
        n = r.one('h')
        material = None if flags & 0x08 else r.one('h')
        pairs = [r.unpack('ii') for _ in range(n)]
        faces.append({'flags': flags, 'material': material, 'corners': pairs})
    record['faces'] = faces
    if minor >= 5:
        r.one('i')
    if minor in (6, 7):
        r.one('h')


def _mat1(r, record):
    record['number'] = r.one('h')
    r.unpack('BBB')
    values = r.floats(8)
    record.update(zip(('r', 'g', 'b', 'alpha', 'ka', 'ks', 'exp', 'ior'), values))
    record['texture'] = None
    while r.left() and chr(r.data[r.pos]) in 'etb':
        tag = r.take(2).decode('ascii')
        r.one('B')
        file_name = r.name()
        if tag[0] == 't':
            record['texture'] = file_name
            record['repeat'] = r.floats(4)[2:]
        else:
            r.floats(5 if tag[0] == 'b' else 0)


def _shbx(r, record):
    shaders = []
    for _ in range(4):
        r.one('B')
        name = r.name()
        count = r.one('B')
        r.take(3)
        params = {}
        for _ in range(count):
            param = r.name()
            code = r.one('i')
            if code == 10:
                params[param] = r.name()
            elif code == 11:
                if r.one('B') == 1:
                    raise FormatError('shader value 1 of type 11 is refused')
            elif code in PARAM_SIZES:
                params[param] = r.take(PARAM_SIZES[code])
            else:
                raise FormatError('unknown shader parameter type %d' % code)
        r.take(2)
        shaders.append((name, params))
    record['shaders'] = shaders


def _ncur(r, record):
    record['name'] = (r.one('h'), r.name())[1]
    _transform(r, record)
    flags, order, count = r.unpack('iii')
    if not flags & 3:
        raise FormatError('curve should be closed or rational')
    record['controls'] = [r.floats(3) + ([r.one('f')] if flags & 2 else []) for _ in range(count)]
    record['knots'] = r.floats(count + order) if count >= order else []
    r.take(4)


def _lght(r, record, minor):
    record['name'] = (r.one('h'), r.name())[1]
    _transform(r, record)
    record['type'], shadow = r.unpack('hh')
    if shadow & 1:
        r.take(4 + 2 * (minor >= 4) + 2 * (minor >= 7) + 2 * (minor >= 8))
    record['colour'] = r.floats(3)
    record['cone'] = r.floats(2)[0]
    r.one('h')
    if minor >= 5:
        r.name()
    if minor >= 7:
        r.one('h')
    if minor >= 9:
        r.one('h'), r.name(), r.one('i'), r.name(), r.take(28)
    if minor >= 10:
        r.one('i')
    if minor >= 11:
        r.take(6)


def read_cob(data, what='COB file'):
    """Records of a COB file by kind, each with id, parent and the fields read.
    Also checks that every record reader used exactly its chunk's size."""
    r = Reader(data, what)
    head = r.take(32)
    if head[0:9] != b'Caligari ' or head[9:15] != b'V00.01':
        raise FormatError('%s: not a COB header' % what)
    if head[15:16] != b'B':
        raise FormatError('%s: not a binary COB file' % what)
    records = {kind: [] for kind in COB_ACCEPTED}
    ended = False
    while r.left():
        kind = r.take(4).decode('ascii')
        major, minor, chunk_id, parent, size = r.unpack('hhiii')
        if not _accepted(kind, major, minor):
            raise FormatError('%s: chunk %s version %d.%d would be skipped' % (what, kind, major, minor))
        if kind == 'END ':
            ended = True
            if r.left():
                raise FormatError('%s: bytes after END' % what)
            break
        body = Reader(r.take(size), '%s %s %d' % (what, kind, chunk_id))
        record = {'id': chunk_id, 'parent': parent, 'minor': minor}
        if kind == 'PolH':
            _polh(body, record, minor)
        elif kind == 'Mat1':
            _mat1(body, record)
        elif kind == 'ShBx':
            _shbx(body, record)
        elif kind == 'NCur':
            _ncur(body, record)
        elif kind == 'Came':
            record['name'] = (body.one('h'), body.name())[1]
            _transform(body, record)
            if body.one('h') != 8:
                raise FormatError('only standard cameras load')
        elif kind == 'Lght':
            _lght(body, record, minor)
        elif kind == 'Grou':
            record['name'] = (body.one('h'), body.name())[1]
            _transform(body, record)
        elif kind == 'Note':
            record['text'] = body.name()
        if body.left():
            raise FormatError('%s: %s chunk %d has %d bytes its reader leaves unread'
                              % (what, kind, chunk_id, body.left()))
        records[kind].append(record)
    if not ended:
        raise FormatError('%s: no END chunk' % what)
    ids = [rec['id'] for kind in records for rec in records[kind]]
    if len(ids) != len(set(ids)):
        raise FormatError('%s: chunk ids repeat' % what)
    for kind in records:
        for rec in records[kind]:
            if rec['parent'] and rec['parent'] not in ids:
                raise FormatError('%s: %s %d names a missing parent' % (what, kind, rec['id']))
    return records


def decompose(m):
    """Location, rotation and scale the game takes from a position matrix."""
    deg = 57.2957795131
    location = (m[3], m[7], m[11])
    a = math.asin(max(-1.0, min(1.0, m[2])))
    c = math.cos(a)
    y = a * deg
    if abs(c) > 0.005:
        t = -m[6] / c
        u = m[1] / c
        x = math.atan2(t, m[10] / c) * deg
        z = math.atan2(-m[1] / c, m[0] / c) * deg
        st = math.sin(math.asin(max(-1.0, min(1.0, t))))
        cu = math.cos(math.asin(max(-1.0, min(1.0, u))))
    else:
        x, z = 0.0, math.atan2(m[4], -m[8]) * deg
        t = u = st = cu = 0.0
    s = cu * c
    sx = m[0] if abs(s) < 1e-7 else m[0] / s
    if abs(sx) < 1e-7:
        sx = -m[4]
    d = st * cu - t * u * a
    sy = (m[5] if abs(m[5]) >= 1e-7 else m[1]) if d == 0 else m[5] / d
    e = st * c
    sz = m[10] if abs(e) < 1e-7 else m[10] / e
    rotation = []
    for angle in (-x, -y, -z):
        if angle < 0:
            angle += 360.0
        if angle in (360.0, -360.0):
            angle = 0.0
        rotation.append(angle)
    rotation[2] = -rotation[2]
    return location, tuple(rotation), (sx, sy, sz)


def cob_face_normals(poly, face):
    """Normals the game gives the fan triangles of one face."""
    p = [poly['vertices'][v] for v, _ in face['corners']]
    normals = []
    for i in range(2, len(p)):
        a = [p[i - 1][k] - p[i][k] for k in range(3)]
        b = [p[0][k] - p[i - 1][k] for k in range(3)]
        normals.append((a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]))
    return normals


# ---------------------------------------------------------------- MS3D models

def read_ms3d(data, what='model'):
    r = Reader(data, what)
    if r.take(10) != b'MS3D000000':
        raise FormatError('%s: bad magic' % what)
    if r.one('i') < 3:
        raise FormatError('%s: version below 3' % what)
    vertices = []
    for _ in range(r.one('H')):
        r.one('B')
        vertices.append(r.floats(3))
        r.unpack('bB')
    triangles = []
    for _ in range(r.one('H')):
        r.one('H')
        indices = r.unpack('HHH')
        normals = [r.floats(3) for _ in range(3)]
        s, t = r.floats(3), r.floats(3)
        r.unpack('BB')
        triangles.append({'indices': indices, 'normals': normals, 's': s, 't': t})
    groups = []
    for _ in range(r.one('H')):
        r.one('B')
        r.take(32)
        members = [r.one('H') for _ in range(r.one('H'))]
        groups.append({'triangles': members, 'material': r.one('b')})
    materials = []
    for _ in range(r.one('H')):
        r.take(32)
        colours = [r.floats(4) for _ in range(4)]
        shininess, _ = r.floats(2)
        r.one('B')
        texture = r.take(128).split(b'\0')[0].decode('ascii')
        r.take(128)
        materials.append({'colours': colours, 'shininess': shininess, 'texture': texture})
    for tri in triangles:
        if any(i >= len(vertices) for i in tri['indices']):
            raise FormatError('%s: triangle names a missing vertex' % what)
    for group in groups:
        if any(i >= len(triangles) for i in group['triangles']):
            raise FormatError('%s: group names a missing triangle' % what)
        if group['material'] >= len(materials):
            raise FormatError('%s: group names a missing material' % what)
    return {'vertices': vertices, 'triangles': triangles, 'groups': groups,
            'materials': materials, 'tail': r.left()}


# ---------------------------------------------------------------- BMP pictures

def read_bmp(data, what='picture'):
    r = Reader(data, what)
    if r.take(2) != b'BM':
        raise FormatError('%s: no BM' % what)
    file_size, _, _, offset = r.unpack('IHHI')
    if file_size != len(data):
        raise FormatError('%s: size field %d, file %d' % (what, file_size, len(data)))
    header, width, height, planes, bits, compression, image_size, _, _, used, _ = r.unpack('IiiHHIIiiII')
    if header != 40 or planes != 1 or compression != 0:
        raise FormatError('%s: not an uncompressed 40-byte-header picture' % what)
    if bits not in (8, 24):
        raise FormatError('%s: %d bits per pixel' % (what, bits))
    colours = (used or 256) if bits == 8 else 0
    if offset != 54 + 4 * colours:
        raise FormatError('%s: pixel data not right after the colour table' % what)
    row = (width * bits // 8 + 3) & ~3
    if image_size not in (0, row * abs(height)) or offset + row * abs(height) != len(data):
        raise FormatError('%s: pixel data size does not match %dx%d' % (what, width, height))
    return {'width': width, 'height': height, 'bits': bits, 'colours': colours}


# ---------------------------------------------------------------- WAV sounds

def read_wav(data, what='sound'):
    r = Reader(data, what)
    if r.take(4) != b'RIFF' or r.one('I') != len(data) - 8 or r.take(4) != b'WAVE':
        raise FormatError('%s: not a RIFF WAVE file' % what)
    fmt = None
    frames = None
    while r.left():
        tag = r.take(4)
        size = r.one('I')
        body = r.take(size)
        if tag == b'fmt ':
            fmt = struct.unpack('<HHIIHH', body[:16])
        elif tag == b'data':
            frames = body
    if fmt is None or frames is None:
        raise FormatError('%s: fmt or data chunk missing' % what)
    code, channels, rate, byte_rate, align, bits = fmt
    if code != 1 or bits not in (8, 16) or byte_rate != rate * align or align != channels * bits // 8:
        raise FormatError('%s: not consistent PCM' % what)
    return {'channels': channels, 'rate': rate, 'bits': bits,
            'seconds': len(frames) / float(byte_rate), 'frames': frames}


# ---------------------------------------------------------------- INI files

def read_ini(text):
    """Sections in file order as (name, [(key, value)]), by the game's INI rules."""
    sections = []
    current = None
    for line in text.split('\n'):
        if line.endswith('\r'):
            line = line[:-1]
        if not line or line[0] == ';':
            continue
        if line[0] == '[' and line[-1] == ']':
            current = (line[1:-1], [])
            if current[0]:
                sections.append(current)
            continue
        if '=' in line and current is not None and current[0]:
            key, value = line.split('=', 1)
            current[1].append((key, value))
    return sections


class Ini:
    def __init__(self, text):
        self.sections = read_ini(text)

    def has(self, section, key=None):
        for name, entries in self.sections:
            if name == section:
                return key is None or any(k == key for k, _ in entries)
        return False

    def get(self, section, key):
        for name, entries in self.sections:
            if name == section:
                for k, v in entries:
                    if k == key:
                        return v
                return ''
        return ''


def numbers(text, count, kind=float):
    """Parses "a,b,c" strictly; a wrong count is a FormatError."""
    parts = text.split(',')
    if len(parts) != count:
        raise FormatError('%r does not hold %d numbers' % (text, count))
    try:
        return [kind(p) for p in parts]
    except ValueError:
        raise FormatError('%r is not numeric' % text)


# ---------------------------------------------------------------- scripts

def _script_token(text, pos):
    end = len(text)
    for i in range(pos, len(text)):
        if text[i] in ';={}':
            end = i
            break
    delimiter = text[end] if end < len(text) else ' '
    return text[pos:end].strip(' '), delimiter, end + 1


def read_script(text):
    """Blocks of a script as (type, name, [(key, value)]), by the script grammar."""
    lines = []
    for line in text.split('\n'):
        lines.append(line.split('//', 1)[0])
    text = ' '.join(lines)
    text = ''.join(' ' if ord(c) < 32 or ord(c) > 127 else c for c in text)
    blocks = []
    pos = 0
    while text[pos:].strip(' '):
        kind, delimiter, pos = _script_token(text, pos)
        if delimiter != '=':
            raise FormatError('Missing = after %s' % kind)
        name, delimiter, pos = _script_token(text, pos)
        if delimiter != '{':
            raise FormatError('Missing { after %s' % kind)
        statements = []
        while True:
            key, delimiter, pos = _script_token(text, pos)
            if delimiter == '}':
                break
            if delimiter != '=':
                raise FormatError('Missign = after %s (block %d)' % (key, len(blocks) + 1))
            value, delimiter, pos = _script_token(text, pos)
            if delimiter != ';':
                raise FormatError('Missing ; after %s (block %d)' % (value, len(blocks) + 1))
            statements.append((key, value))
        blocks.append((kind, name, statements))
    return blocks
