"""Little-endian byte building shared by the binary writers."""

import struct


class ByteWriter:
    """Appends little-endian scalars to a growing byte buffer."""

    def __init__(self):
        self._parts = []

    def raw(self, data):
        self._parts.append(bytes(data))

    def u8(self, value):
        self._parts.append(struct.pack('<B', value))

    def i8(self, value):
        self._parts.append(struct.pack('<b', value))

    def u16(self, value):
        self._parts.append(struct.pack('<H', value))

    def i16(self, value):
        self._parts.append(struct.pack('<h', value))

    def u32(self, value):
        self._parts.append(struct.pack('<I', value))

    def i32(self, value):
        self._parts.append(struct.pack('<i', value))

    def f32(self, *values):
        for value in values:
            self._parts.append(struct.pack('<f', value))

    def fixed_text(self, text, width):
        """Text padded with zero bytes to a fixed width (always zero-terminated)."""
        data = text.encode('ascii')
        if len(data) >= width:
            raise ValueError('text %r does not fit in %d bytes' % (text, width))
        self._parts.append(data + b'\0' * (width - len(data)))

    def bytes(self):
        return b''.join(self._parts)

    def __len__(self):
        return sum(len(part) for part in self._parts)
