"""Path grids: axis-parallel lanes on integer grid points, their neighbour lists, the
walk that one path curve takes through all of them, and the track drawn under them."""

from . import mesh as geo

# Neighbour directions, clockwise from Up (towards larger y).
UP, RIGHT, DOWN, LEFT = 0, 1, 2, 3
STEPS = {UP: (0, 1), RIGHT: (1, 0), DOWN: (0, -1), LEFT: (-1, 0)}


class PathGrid:
    """Lanes given as grid segments; every grid point on a lane is a path point."""

    def __init__(self, segments, spacing, origin=(0, 0), height=0):
        self.spacing = spacing
        self.origin = origin
        self.height = height
        self.links = {}
        for (x0, y0), (x1, y1) in segments:
            if x0 != x1 and y0 != y1:
                raise ValueError('lanes run along x or y only')
            length = abs(x1 - x0) + abs(y1 - y0)
            dx, dy = (x1 - x0) // length, (y1 - y0) // length
            for k in range(length):
                self._link((x0 + k * dx, y0 + k * dy), (x0 + (k + 1) * dx, y0 + (k + 1) * dy))
        # Points in reading order: bottom row first, left to right.
        self.nodes = sorted(self.links, key=lambda n: (n[1], n[0]))
        self.index = {node: i for i, node in enumerate(self.nodes)}

    def _link(self, a, b):
        self.links.setdefault(a, set()).add(b)
        self.links.setdefault(b, set()).add(a)

    def neighbour(self, node, direction):
        step = STEPS[direction]
        other = (node[0] + step[0], node[1] + step[1])
        return other if other in self.links.get(node, ()) else None

    def world(self, node):
        return (self.origin[0] + node[0] * self.spacing, self.origin[1] + node[1] * self.spacing,
                self.height)

    def degree(self, node):
        return len(self.links[node])

    def ini_entries(self):
        """point%d and point%d_nb keys: position, then neighbours Up, Right, Down, Left."""
        positions, neighbours = [], []
        for i, node in enumerate(self.nodes):
            positions.append(('point%d' % i, tuple(float(c) for c in self.world(node))))
            nb = []
            for direction in (UP, RIGHT, DOWN, LEFT):
                other = self.neighbour(node, direction)
                nb.append(self.index[other] if other is not None else -1)
            neighbours.append(('point%d_nb' % i, tuple(nb)))
        return positions + neighbours

    def walk(self, start):
        """A tour that runs along every lane piece (each one out and back), so a single
        curve through these points links exactly the lanes of the grid."""
        visited = set()
        tour = [start]

        def visit(node):
            for direction in (UP, RIGHT, DOWN, LEFT):
                other = self.neighbour(node, direction)
                if other is None or frozenset((node, other)) in visited:
                    continue
                visited.add(frozenset((node, other)))
                tour.append(other)
                visit(other)
                tour.append(node)
        visit(start)
        return [self.world(node) for node in tour]

    def track_mesh(self, name, lane_material, pad_material, z, lane_width=0.5, pad=0.8):
        """Flat lanes between the points and a square pad on every point."""
        track = geo.Mesh(name)
        half_pad = pad / 2.0
        for node in self.nodes:
            x, y, _ = self.world(node)
            corners = [(x - half_pad, y - half_pad, z + 0.01), (x + half_pad, y - half_pad, z + 0.01),
                       (x + half_pad, y + half_pad, z + 0.01), (x - half_pad, y + half_pad, z + 0.01)]
            geo.add_polygon(track, corners, pad_material,
                            uvs=[(0.0, 0.0), (1.0, 0.0), (1.0, 1.0), (0.0, 1.0)])
            for direction in (UP, RIGHT):
                other = self.neighbour(node, direction)
                if other is None:
                    continue
                ox, oy, _ = self.world(other)
                h = lane_width / 2.0
                reach = self.spacing - pad
                v = reach / 2.0
                if direction == UP:
                    quad = [(x - h, y + half_pad, z), (x + h, y + half_pad, z),
                            (ox + h, oy - half_pad, z), (ox - h, oy - half_pad, z)]
                else:
                    quad = [(x + half_pad, y + h, z), (x + half_pad, y - h, z),
                            (ox - half_pad, oy - h, z), (ox - half_pad, oy + h, z)]
                geo.add_polygon(track, quad, lane_material,
                                uvs=[(0.0, 0.0), (1.0, 0.0), (1.0, v), (0.0, v)])
        return track
