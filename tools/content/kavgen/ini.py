"""INI text in the game's syntax: [section] lines, key=value lines, no blanks around '='."""


def fmt(value):
    """Numbers as the game prints them: %g, vectors joined by commas."""
    if isinstance(value, (tuple, list)):
        return ','.join(fmt(v) for v in value)
    if isinstance(value, float):
        return '%g' % value
    return str(value)


def ini_text(sections):
    """sections: list of (name, list of (key, value))."""
    lines = []
    for name, entries in sections:
        lines.append('[%s]' % name)
        for key, value in entries:
            lines.append('%s=%s' % (key, fmt(value)))
        lines.append('')
    return '\n'.join(lines) + '\n'
