#!/usr/bin/env python3
"""Looks at screenshots of the game the way a player does.

Screenshots are binary PPM files (P6, 8 bits a channel: `import -window W -depth 8 shot.ppm`).
Places come from the game's own files: cell centres from a board file by the board's placement
rule, panels and text colours from menu files. Screen units are fractions of the window's width.

  e2e_look.py cells BOARD SHOT
      The board's plain cells are textured: the median cell shows more than a handful of
      distinct colours around its centre (a flat fill shows one).
  e2e_look.py starts BOARD SHOT...
      Every start cell is on screen in the shots, taken in this order over a turn: its place
      never shows the background in two shots in a row (then the second line printed names a
      shot that misses it).
  e2e_look.py text SHOT MENU [BEHIND...]
      No pixel in one of the text colours of MENU lies outside the panels, buttons and lists of
      MENU and of the menus drawn behind it (BEHIND).
  e2e_look.py where MENU SECTION [VALUE]
      "X Y R,G,B": the middle of the widget of that section in screen units and its fill
      colour; with a value, the middle of the list's row holding that value.
  e2e_look.py pixel SHOT X Y
      The colour of the pixel at (X, Y) in screen units, as "r,g,b".
Exit code 0 when the check holds, 1 when it fails (with a line saying why), 2 on bad use.
"""
import math
import re
import sys

# The game's colours (0 grey, 1-7 the playable colours, 8 black); a cell shows one of them times
# the grey of the cell texture.
PLAYER_COLOURS = [
    (0.5, 0.5, 0.5), (1, 0, 0), (0, 1, 0), (0, 0, 1), (1, 1, 0),
    (1, 0, 1), (0, 1, 1), (0.9, 0.9, 0.9), (0.2, 0.2, 0.2),
]
# Widgets that fill their rectangle; a text box draws only its text.
FILLED = {"panel", "playerpanel", "newmapbutton", "quitbutton", "playerturnbutton", "listbox",
          "image", "hintbutton", "undobutton"}
BUTTONS = {"newmapbutton", "quitbutton", "hintbutton", "undobutton"}
TEXT_WIDGETS = {"textbox", "listbox"} | BUTTONS


class Shot:
    def __init__(self, path):
        with open(path, "rb") as f:
            data = f.read()
        header = re.match(rb"P6\s+(\d+)\s+(\d+)\s+(\d+)\s", data)
        if not header or header.group(3) != b"255":
            raise ValueError(f"{path}: not an 8-bit binary PPM")
        self.path = path
        self.width = int(header.group(1))
        self.height = int(header.group(2))
        self.pixels = data[header.end():]

    def pixel(self, x, y):
        i = 3 * (y * self.width + x)
        return tuple(self.pixels[i:i + 3])


def read_ini(path):
    """Sections in file order as (name, {lower-case key: value}); quotes around values dropped."""
    sections = []
    with open(path, encoding="latin-1") as f:
        for line in f:
            line = line.strip()
            if not line or line[0] in ";#":
                continue
            if line.startswith("[") and "]" in line:
                sections.append((line[1:line.index("]")], {}))
            elif "=" in line and sections:
                key, value = line.split("=", 1)
                value = value.strip()
                if len(value) >= 2 and value[0] == value[-1] == '"':
                    value = value[1:-1]
                sections[-1][1][key.strip().lower()] = value
    return sections


def number(keys, key, default=0.0):
    try:
        return float(keys.get(key.lower(), default))
    except ValueError:
        return default


class Board:
    """Cell places of a board file: centres in screen units and the cell width."""

    def __init__(self, path):
        sections = read_ini(path)
        general = next((k for n, k in sections if n.lower() == "general"), {})
        self.rows = int(number(general, "NumRows"))
        self.cols = int(number(general, "NumCols"))
        a = 16 / (15 * self.cols + 5)
        b = 4 * math.sqrt(3) / (10 * self.rows + 5)
        self.size = min(a, b)
        if a < b:
            self.x0 = 0.1
            self.y0 = 0.35 - math.sqrt(3) / 4 * (self.rows + 0.5) * self.size
        else:
            self.x0 = 0.5 - (3 * self.cols + 1) * self.size / 8
            self.y0 = 0.05
        self.plain = []
        self.starts = []
        row, col = 0, 0
        for name, keys in sections:
            if name.lower() == "general":
                continue
            r, c = int(number(keys, "Row", -1)), int(number(keys, "Col", -1))
            if r == -1 or c == -1:
                r, c = row, col
            row, col = r, c + 1
            if col >= self.cols:
                row, col = row + 1, 0
            is_start = keys.get("type", "").lower() == "playerstart"
            (self.starts if is_start else self.plain).append((name, r, c))

    def centre(self, r, c):
        s = self.size
        return (self.x0 + (3 * c + 2) * s / 4,
                self.y0 + math.sqrt(3) / 2 * (r + (0.5 if c % 2 == 0 else 1.0)) * s)


def distinct_colours_around(shot, x, y, radius):
    seen = set()
    r = int(radius) + 1
    for py in range(max(0, int(y) - r), min(shot.height, int(y) + r + 1)):
        for px in range(max(0, int(x) - r), min(shot.width, int(x) + r + 1)):
            if (px - x) ** 2 + (py - y) ** 2 <= radius * radius:
                seen.add(shot.pixel(px, py))
    return len(seen)


def check_cells(board_path, shot_path):
    board, shot = Board(board_path), Shot(shot_path)
    # Inside the hexagon's inscribed circle (0.43 of its width), clear of the neighbours' rims.
    radius = 0.35 * board.size * shot.width
    counts = sorted(distinct_colours_around(shot, x * shot.width, y * shot.width, radius)
                    for x, y in (board.centre(r, c) for _, r, c in board.plain))
    median = counts[len(counts) // 2] if counts else 0
    if median <= 5:
        print(f"the cells are flat: the median cell shows {median} colours in its middle")
        return 1
    print(f"the median cell shows {median} colours in its middle")
    return 0


def check_starts(board_path, shot_paths):
    board = Board(board_path)
    misses = {}  # start cell -> numbers (from 1) of the shots that miss it
    for number, path in enumerate(shot_paths, 1):
        shot = Shot(path)
        background = shot.pixel(2, 2)  # the clear colour, away from the board and the HUD
        for name, r, c in board.starts:
            x, y = board.centre(r, c)
            cx, cy = int(x * shot.width), int(y * shot.width)
            # A cell seen nearly edge-on is a thin line through its centre: the pixels around
            # the centre count too.
            block = []
            if 1 <= cx < shot.width - 1 and 1 <= cy < shot.height - 1:
                block = [shot.pixel(px, py)
                         for px in range(cx - 1, cx + 2) for py in range(cy - 1, cy + 2)]
            if all(max(abs(p[k] - background[k]) for k in range(3)) <= 3 for p in block):
                misses.setdefault(f"{name} at ({cx}, {cy})", []).append(number)
    # Exactly edge-on, for one frame, a cell covers no pixel at all; two shots in a row never
    # see the same frame.
    gone = {cell: shots for cell, shots in misses.items()
            if any(b == a + 1 for a, b in zip(shots, shots[1:]))}
    if gone:
        print("a start cell is gone from its place in screenshots of one turn: " + "; ".join(
            f"{cell} in {len(shots)} of {len(shot_paths)} ({' '.join(map(str, shots))})"
            for cell, shots in gone.items()))
        print(shot_paths[next(iter(gone.values()))[0] - 1])
        return 1
    edge_on = sum(len(shots) for shots in misses.values())
    print(f"every start cell is on screen in {len(shot_paths)} screenshots of a turn "
          f"({edge_on} seen edge-on)")
    return 0


def to_byte(v):
    return max(0, min(255, int(v * 255 + 0.5)))


def text_colours(sections):
    """The colours the widgets of a menu draw text in, as byte triples."""
    colours = set()
    for _, keys in sections:
        kind = keys.get("type", "").lower()
        if kind not in TEXT_WIDGETS:
            continue
        if kind == "textbox" and not keys.get("text"):
            continue
        if kind in BUTTONS and not keys.get("text"):
            continue
        rgb = tuple(number(keys, "textCol" + c) for c in ("Red", "Green", "Blue"))
        colours.add(rgb)
        if kind == "listbox":
            colours.add(tuple(1 - v for v in rgb))        # the selected item
            colours.add(tuple((v + 1) / 2 for v in rgb))  # a disabled list
    return {tuple(to_byte(v) for v in rgb) for rgb in colours}


def a_cell_can_show(colour):
    """A cell shows a player colour times the texture's grey: such text colours prove nothing."""
    for p in PLAYER_COLOURS:
        for step in range(10, 101):
            t = step / 100
            if all(abs(colour[k] - p[k] * t * 255) <= 1.5 for k in range(3)):
                return True
    return False


def check_text(shot_path, menu_path, behind_paths):
    shot = Shot(shot_path)
    menu = read_ini(menu_path)
    rects = []
    for sections in [menu] + [read_ini(path) for path in behind_paths]:
        for _, keys in sections:
            if keys.get("type", "").lower() in FILLED:
                # Two pixels of slack for frames and edges that round outwards.
                rects.append((number(keys, "Left") * shot.width - 2,
                              number(keys, "Right") * shot.width + 2,
                              number(keys, "Top") * shot.width - 2,
                              number(keys, "Bottom") * shot.width + 2))
    colours = sorted(c for c in text_colours(menu) if not a_cell_can_show(c))
    if not colours:
        print("no text colour to look for")
        return 0
    # The driver rounds a channel either way: one step of slack. The pattern steps from pixel to
    # pixel, so only whole pixels match.
    pattern = re.compile(b"(?s)(?:...)*?(?:" + b"|".join(
        b"".join(b"[" + re.escape(bytes([max(0, v - 1)])) + b"-" +
                 re.escape(bytes([min(255, v + 1)])) + b"]" for v in colour)
        for colour in colours) + b")")
    outside = []
    for y in range(shot.height):
        covered = sorted((max(0, math.ceil(l)), min(shot.width - 1, math.floor(r)))
                         for l, r, t, b in rects if t <= y <= b and l <= r)
        x = 0
        for first, last in covered + [(shot.width, shot.width)]:
            if first > x:  # pixels x .. first-1 lie outside every panel
                at, end = 3 * (y * shot.width + x), 3 * (y * shot.width + first)
                while (m := pattern.match(shot.pixels, at, end)) is not None:
                    at = m.end()
                    i = at // 3 - 1 - y * shot.width
                    outside.append((i, y, shot.pixel(i, y)))
            x = max(x, last + 1)
    if outside:
        xs = [p[0] for p in outside]
        ys = [p[1] for p in outside]
        print(f"{len(outside)} pixels of text outside the panels, in x {min(xs)}..{max(xs)}, "
              f"y {min(ys)}..{max(ys)} (colours {sorted(set(p[2] for p in outside))})")
        return 1
    print(f"no text outside the panels (text colours {colours})")
    return 0


def where(menu_path, section, value=None):
    """Prints the middle of a widget in screen units and the colour it is filled with; for a list
    and a value, the middle of the list's row with that value."""
    keys = next((k for n, k in read_ini(menu_path) if n == section), None)
    if keys is None:
        print(f"no [{section}] in {menu_path}", file=sys.stderr)
        return 2
    left, right = number(keys, "Left"), number(keys, "Right")
    top, bottom = number(keys, "Top"), number(keys, "Bottom")
    x, y = (left + right) / 2, (top + bottom) / 2
    if keys.get("type", "").lower() == "playerturnbutton":
        rgb = PLAYER_COLOURS[int(number(keys, "Colour"))]
    else:
        rgb = tuple(number(keys, "col" + c) for c in ("Red", "Green", "Blue"))
    if value is not None:
        values = []
        while keys.get(f"item{len(values)}") or keys.get(f"value{len(values)}"):
            values.append(keys.get(f"value{len(values)}", ""))
        if value not in values:
            print(f"no value {value} in [{section}] of {menu_path}", file=sys.stderr)
            return 2
        row = values.index(value)
        gap, height = number(keys, "itemGap", 0.002), number(keys, "itemHeight", 0.05)
        y = top + gap / 2 + (row + 0.5) * height
    print(f"{x:.4f} {y:.4f} {','.join(str(to_byte(v)) for v in rgb)}")
    return 0


def main(argv):
    if len(argv) in (3, 4) and argv[0] == "where":
        return where(*argv[1:])
    if len(argv) == 4 and argv[0] == "pixel":
        shot = Shot(argv[1])
        x, y = (int(float(v) * shot.width) for v in argv[2:])
        print(",".join(map(str, shot.pixel(x, y))) if x < shot.width and y < shot.height else "")
        return 0
    if len(argv) >= 3 and argv[0] == "cells":
        return check_cells(argv[1], argv[2])
    if len(argv) >= 3 and argv[0] == "starts":
        return check_starts(argv[1], argv[2:])
    if len(argv) >= 3 and argv[0] == "text":
        return check_text(argv[1], argv[2], argv[3:])
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
