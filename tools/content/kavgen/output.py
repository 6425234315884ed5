"""The output tree: files are collected in memory and written in one go, so a level's
checksum can cover everything in its directory."""

import os
import zlib


class OutputTree:
    def __init__(self):
        self.files = {}

    def put(self, path, data):
        if isinstance(data, str):
            data = data.encode('ascii')
        if path in self.files and self.files[path] != data:
            raise ValueError('two different files for %s' % path)
        self.files[path] = data

    def checksum(self, directory):
        """A positive 32-bit checksum of every file under a directory, in name order."""
        crc = 0
        prefix = directory.rstrip('/') + '/'
        for path in sorted(p for p in self.files if p.startswith(prefix)):
            crc = zlib.crc32(path[len(prefix):].encode('ascii'), crc)
            crc = zlib.crc32(self.files[path], crc)
        return crc & 0x7FFFFFFF

    def write(self, root):
        for path in sorted(self.files):
            target = os.path.join(root, path)
            os.makedirs(os.path.dirname(target), exist_ok=True)
            with open(target, 'wb') as handle:
                handle.write(self.files[path])
