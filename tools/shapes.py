"""Window outlines as unions of rounded rectangles minus circles, tested at pixel centres."""
import math


class Outline:
    def __init__(self, rects, holes=()):
        """rects: (x0, y0, x1, y1, radius) added; holes: (cx, cy, radius) cut away."""
        self.rects = list(rects)
        self.holes = list(holes)

    @staticmethod
    def _in_rounded(px, py, rect, inset):
        x0, y0, x1, y1, r = rect
        x0, y0, x1, y1 = x0 + inset, y0 + inset, x1 - inset, y1 - inset
        r = max(0.0, r - inset)
        if not (x0 <= px < x1 and y0 <= py < y1):
            return False
        cx = min(max(px, x0 + r), x1 - r)
        cy = min(max(py, y0 + r), y1 - r)
        return (px - cx) ** 2 + (py - cy) ** 2 <= r * r

    def contains(self, x, y, inset=0):
        """Whether pixel (x, y) lies inside, at least `inset` pixels from the edge (roughly)."""
        px, py = x + 0.5, y + 0.5
        if not any(self._in_rounded(px, py, r, inset) for r in self.rects):
            return False
        return all(math.hypot(px - cx, py - cy) > r + inset for cx, cy, r in self.holes)

    def depth_map(self, width, height, limit=3):
        """Per pixel, row by row: 0 outside, else how many pixels deep it lies (8-neighbour steps
        to the outside or the picture's border), capped at `limit`."""
        key = (width, height, limit)
        if getattr(self, "_cached", (None,))[0] == key:
            return self._cached[1]
        depth = [limit if self.contains(x, y) else 0 for y in range(height) for x in range(width)]
        for level in range(1, limit):
            marks = []
            for y in range(height):
                for x in range(width):
                    if depth[y * width + x] != limit:
                        continue
                    if x in (0, width - 1) or y in (0, height - 1):
                        marks.append(y * width + x)
                        continue
                    for ny in (y - 1, y, y + 1):
                        row = ny * width
                        if depth[row + x - 1] < level or depth[row + x] < level or depth[row + x + 1] < level:
                            marks.append(y * width + x)
                            break
            for i in marks:
                depth[i] = level
        self._cached = (key, depth)
        return depth
