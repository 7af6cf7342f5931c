# A model of one game of vantor, frame by frame, for planning replays.
#
# It follows the game's frame pass step by step (craft control, sinking,
# launcher fire with the game's own random numbers, limits, explosion and
# respawn, moving shots and rockets, the collision pass in list order) and
# tests touches pixel by pixel with the pictures of the built vantor.pak. It
# is a planning aid: vantorreplay running the real game has the last word.
import os
import struct
import subprocess
import tempfile

MASK32 = 0xFFFFFFFF

# Keys by their names in replay scripts.
LEFT, RIGHT, UP, DOWN, CTRL = 'Left', 'Right', 'Up', 'Down', 'Ctrl'

# Frames presented before the first frame of play: the 553 of the intro and
# two of the title, the second with F1 held (routefinder's TITLE_LINES).
INTRO_AND_TITLE_FRAMES = 555
# vantorreplay's clock counts sixtieths of a millisecond, a frame at a time.
UNITS_PER_MS = 60
UNITS_PER_FRAME = 1000

TERRAIN_WALL, TERRAIN_PAD, TERRAIN_BLOCK = 1, 2, 3
TERRAIN_LAUNCHER_LEFT, TERRAIN_LAUNCHER_RIGHT, TERRAIN_TARGET = 4, 5, 6
OBJECT_ENEMY, OBJECT_START, OBJECT_PRISONER = 1, 2, 3

# Map text characters: (terrain, object); see formats/maptext.cpp.
CELL_CHARS = [".ESP", "#F1Q", "=esp", "BG3R", "<H4U", ">I5V", "TJ6W"]
CHAR_CODES = {ch: (t, o) for t, row in enumerate(CELL_CHARS) for o, ch in enumerate(row)}


# ---- Pictures ------------------------------------------------------------------

def _read_bmp(path):
    d = open(path, 'rb').read()
    off = struct.unpack_from('<I', d, 10)[0]
    w, h = struct.unpack_from('<ii', d, 18)
    assert struct.unpack_from('<H', d, 28)[0] == 24, path
    rb = (w * 3 + 3) & ~3
    rows = []
    for y in range(abs(h)):
        at = off + rb * (abs(h) - 1 - y if h > 0 else y)
        rows.append([tuple(d[at + 3 * x + 2 - i] for i in range(3)) for x in range(w)])
    return rows


def _frames(pixels, fw, fh, per_row, count, key):
    """Masks of a sheet's frames: per frame a list of row bit masks."""
    out = []
    for f in range(count):
        x0, y0 = (f % per_row) * fw, (f // per_row) * fh
        mask = []
        for y in range(fh):
            bits = 0
            row = pixels[y0 + y]
            for x in range(fw):
                if row[x0 + x] != key:
                    bits |= 1 << x
            mask.append(bits)
        out.append((fw, mask))
    return out


class Pictures:
    MAGENTA = (255, 0, 255)
    BLACK = (0, 0, 0)

    def __init__(self, pack, vantorpak):
        with tempfile.TemporaryDirectory() as tmp:
            subprocess.run([vantorpak, 'extract', pack, tmp],
                           check=True, stdout=subprocess.DEVNULL)
            entry = lambda slot: _read_bmp(os.path.join(tmp, '%02d.bmp' % (slot + 1)))
            self.terrain = {c: _frames(entry(c), 80, 80, 10, 10, self.MAGENTA) for c in range(1, 7)}
            self.shot = _frames(entry(7), 8, 8, 1, 1, self.BLACK)[0]
            self.craft = _frames(entry(8), 80, 40, 5, 30, self.MAGENTA)
            self.enemy = _frames(entry(11), 40, 40, 10, 10, self.MAGENTA)
            self.prisoner = _frames(entry(12), 40, 40, 10, 10, self.MAGENTA)


def collide(a, ax, ay, b, bx, by):
    (aw, am), (bw, bm) = a, b
    if bx >= ax + aw or bx + bw <= ax:
        return False
    y0, y1 = max(ay, by), min(ay + len(am), by + len(bm))
    if ax <= bx:
        s = bx - ax
        for y in range(y0, y1):
            if (am[y - ay] >> s) & bm[y - by]:
                return True
    else:
        s = ax - bx
        for y in range(y0, y1):
            if am[y - ay] & (bm[y - by] >> s):
                return True
    return False


# ---- Maps ------------------------------------------------------------------------

def read_map_text(path):
    """The 41 rows of 51 (terrain, object) pairs of a vantormap text (one
    character per cell; the {terrain,object} escapes are not needed here)."""
    rows = []
    for line in open(path):
        s = line.split(';', 1)[0].strip()
        if not s:
            continue
        cells = [CHAR_CODES[ch] for ch in s.replace('|', '')]
        assert len(cells) == 51, (path, len(rows), len(cells))
        rows.append(cells)
    assert len(rows) == 41, path
    return rows


# ---- Random numbers (as the media layer draws them) --------------------------------

class Random:
    def __init__(self):
        self.seeded = False

    def _rot(self, v, b):
        return ((v << b) | (v >> (32 - b))) & MASK32

    def _step(self):
        t, a, b = self.t, 2 * self.pa, 2 * self.pb
        low = (self._rot(t[a + 1], 27) + t[b + 1]) & MASK32
        high = (self._rot(t[a], 19) + t[b]) & MASK32
        t[a], t[a + 1] = low, high
        self.pa = 16 if self.pa == 0 else self.pa - 1
        self.pb = 16 if self.pb == 0 else self.pb - 1
        return (high << 32) | low

    def seed(self, ms):
        s = ms
        self.t = []
        for _ in range(34):
            s = (s * 0xAC564B05 + 1) & MASK32
            self.t.append(s)
        self.pa, self.pb = 0, 10
        for _ in range(31):
            self._step()
        self.seeded = True

    def up_to(self, top, ms):
        if not self.seeded:
            self.seed(ms)
        return (self._step() * (top + 1)) >> 64

    def copy(self):
        r = Random()
        r.seeded = self.seeded
        if self.seeded:
            r.t, r.pa, r.pb = list(self.t), self.pa, self.pb
        return r


# ---- The game -----------------------------------------------------------------------

CRAFT_FIRST = {3: 0, 2: 5, 4: 10, 0: 15, 1: 20}
SHOT_STEP = {0: (20, 0), 1: (20, 20), 2: (0, 20), 3: (-20, 20), 4: (-20, 0)}
ROCKET_STEP = {1: (-10, -10), 2: (0, -10), 3: (10, -10)}
PROJECTILE_BOTTOM = 1380 + 440


class Game:
    """The state of one game from the first frame of play of map 1."""

    def __init__(self, pictures, maps):
        self.pics = pictures
        self.maps = maps  # map number -> rows of read_map_text
        self.clock = INTRO_AND_TITLE_FRAMES * UNITS_PER_FRAME
        self.frame = INTRO_AND_TITLE_FRAMES  # frames presented
        self.rng = Random()
        self.lastTick = self.tickDue = self.tileFrame = self.craftPhase = 0
        self.lives, self.mapNumber, self.levelComplete, self.prisonersLeft = 3, 1, 0, 0
        self.craftHeading, self.craftFrame, self.fireLatch = 1, 0, 0
        self.onPlatform = self.craftDestroyed = self.explosionTimer = 0
        self.checkpoint = (0, 0, 0, 0)
        self.latch = {RIGHT: False, LEFT: False, CTRL: False}
        self.shots, self.shotCur = [], -1
        self.rockets = []
        self.statusMessage = ''
        self.gameOver = False
        self.events = []  # (frame, text) of what happened, for reports
        self.load(1)

    def copy(self):
        g = Game.__new__(Game)
        g.__dict__.update(self.__dict__)
        g.rng = self.rng.copy()
        g.latch = dict(self.latch)
        g.shots = [list(s) for s in self.shots]
        g.rockets = [list(r) for r in self.rockets]
        g.terrain = dict(self.terrain)
        g.objects = [list(o) for o in self.objects]
        g.events = list(self.events)
        return g

    # -- level loading
    def load(self, number):
        rows = self.maps[number]
        self.prisonersLeft += sum(1 for r in rows for t, o in r if o == OBJECT_PRISONER)
        self.terrain = {}
        self.objects = []
        for c in range(50):
            for r in range(40):
                t, o = rows[r][c]
                if t:
                    self.terrain[(c, r)] = t
                if o in (OBJECT_ENEMY, OBJECT_PRISONER):
                    self.objects.append([c * 40, r * 40, o])
        for c in range(50):
            for r in range(40):
                if rows[r][c][1] == OBJECT_START:
                    self.scrollX, self.scrollY = c * 40 - 300, r * 40 - 200
                    if self.scrollY >= 1160:
                        self.scrollY = 1160
                    self.scrollX = max(self.scrollX, 0)
                    self.scrollY = max(self.scrollY, 0)
                    self.craftX, self.craftY = c * 40 - self.scrollX, r * 40 - self.scrollY
                    self.start = (self.craftX, self.craftY, self.scrollX, self.scrollY)

    # -- positions
    @property
    def wx(self):
        return self.craftX + self.scrollX

    @property
    def wy(self):
        return self.craftY + self.scrollY

    def ms(self):
        return self.clock // UNITS_PER_MS

    # -- one frame of play with `keys` held
    def step(self, keys):
        if self.levelComplete:
            self.clock += 2000 * UNITS_PER_MS
            self.checkpoint = (0, 0, 0, 0)
            self.mapNumber = self.mapNumber % 3 + 1
            self.load(self.mapNumber)
            self.levelComplete = 0
            self.events.append((self.frame + 1, 'map %d' % self.mapNumber))
        if self.tickDue:
            self.tileFrame = (self.tileFrame + 1) % 10
            self.craftPhase = (self.craftPhase + 1) % 5
        self._control(keys)
        if not self.craftDestroyed and UP not in keys and not self.onPlatform:
            self.craftY += 1
            if self.craftY >= 200 and self.scrollY < 1120:
                self.craftY, self.scrollY = 200, self.scrollY + 1
        self._fire_launchers()
        self.scrollX = min(max(self.scrollX, 0), 1240)
        self.scrollY = min(max(self.scrollY, 0), 1380)
        self.craftX = min(max(self.craftX, 0), 760)
        self.craftY = min(max(self.craftY, 0), 400)
        self._explode_and_respawn()
        self.shots, self.shotCur = self._move(self.shots, SHOT_STEP)
        self.rockets, _ = self._move(self.rockets, ROCKET_STEP)
        self._collide()
        if self.lives == 0:
            self.gameOver = True
        ms = self.ms()
        if (ms - self.lastTick) & MASK32 > 100:
            self.tickDue, self.lastTick = 1, ms
        else:
            self.tickDue = 0
        self.frame += 1
        self.clock += UNITS_PER_FRAME

    def _released(self, key, keys):
        if key in keys:
            self.latch[key] = True
            return False
        if self.latch[key]:
            self.latch[key] = False
            return True
        return False

    def _add_shot(self, x, y, kind):
        self.shotCur += 1
        self.shots.insert(self.shotCur, [x, y, kind])

    def _take_fire(self, keys):
        if CTRL not in keys or self.fireLatch:
            return False
        self.fireLatch = 1
        return True

    def _control(self, keys):
        if not self.craftDestroyed:
            if self._released(RIGHT, keys):
                self.craftHeading = 3
            if self._released(LEFT, keys):
                self.craftHeading = 4
            if self._released(CTRL, keys):
                self.fireLatch = 0
            if LEFT in keys and not self.onPlatform:
                self.craftHeading = 0
                self.craftX -= 4
                if self.craftX <= 400 and self.scrollX > 0:
                    self.craftX, self.scrollX = 400, self.scrollX - 4
                if self._take_fire(keys):
                    self._add_shot(self.craftX, self.craftY + self.scrollY + 30, 3)
            if RIGHT in keys and not self.onPlatform:
                self.craftHeading = 2
                self.craftX += 4
                if self.craftX >= 400 and self.scrollX < 1240:
                    self.craftX, self.scrollX = 400, self.scrollX + 4
                if self._take_fire(keys):
                    self._add_shot(self.craftX + 70, self.craftY + self.scrollY + 30, 1)
            sideways = RIGHT in keys or LEFT in keys
            if UP in keys:
                if not sideways:
                    self.craftHeading = 1
                self.craftY -= 4
                if self.craftY <= 200 and self.scrollY > 0:
                    self.craftY, self.scrollY = 200, self.scrollY - 4
                if self._take_fire(keys):
                    self._add_shot(self.craftX + 40, self.craftY + self.scrollY, 2)
            if DOWN in keys and not self.onPlatform:
                if not sideways:
                    self.craftHeading = 1
                self.craftY += 4
                if self.craftY >= 200 and self.scrollY < 1160:
                    self.craftY, self.scrollY = 200, self.scrollY + 4
                if self._take_fire(keys):
                    self._add_shot(self.craftX + 40, self.craftY + self.scrollY, 2)
            if self._take_fire(keys):
                h = self.craftHeading
                if h == 1:
                    self._add_shot(self.craftX + 40, self.craftY + self.scrollY, 2)
                elif h == 3:
                    self._add_shot(self.craftX, self.craftY + self.scrollY + 20, 0)
                elif h == 4:
                    self._add_shot(self.craftX, self.craftY + self.scrollY + 20, 4)
        self.craftFrame = CRAFT_FIRST[self.craftHeading] + self.craftPhase

    def _fire_launchers(self):
        if self.rng.up_to(10, self.ms()) != 5:
            return
        for (c, r) in sorted(self.terrain):
            code = self.terrain[(c, r)]
            if code == TERRAIN_LAUNCHER_LEFT:
                self.rockets.append([c * 40 - self.scrollX + 20, r * 40, 1])
            elif code == TERRAIN_LAUNCHER_RIGHT:
                self.rockets.append([c * 40 - self.scrollX + 60, r * 40, 3])

    def _explode_and_respawn(self):
        if self.craftDestroyed and self.explosionTimer < 25:
            self.craftFrame = 25 + self.craftPhase
            self.explosionTimer += 1
            self.craftHeading = 1
        else:
            self.craftDestroyed = self.explosionTimer = 0
        if self.explosionTimer != 25:
            return
        if any(self.checkpoint):
            self.craftX, self.craftY, self.scrollX, self.scrollY = self.checkpoint
            self.craftY -= 5
        else:
            self.craftX, self.craftY, self.scrollX, self.scrollY = self.start
        self.craftHeading = 1
        self.lives -= 1
        self.events.append((self.frame + 1, 'respawn, %d lives' % self.lives))

    def _move(self, items, steps):
        out = []
        for p in items:
            dx, dy = steps.get(p[2], (0, 0))
            p[0] += dx
            p[1] += dy
            if not (p[0] > 800 or p[0] < 0 or p[1] > PROJECTILE_BOTTOM):
                out.append(p)
        return out, len(out) - 1

    # -- the collision pass
    def _destroy(self, why):
        if not self.craftDestroyed:
            self.events.append((self.frame + 1, 'destroyed: ' + why))
        self.craftDestroyed = 1

    def _craft_pic(self):
        return self.pics.craft[self.craftFrame]

    def _take_hit(self, pic, x, y):
        """Removes the first shot touching the picture at (x, y)."""
        shot = self.pics.shot
        for i, s in enumerate(self.shots):
            if collide(shot, s[0] + self.scrollX, s[1], pic, x, y):
                del self.shots[i]
                self.shotCur = i - 1
                return True
        self.shotCur = len(self.shots) - 1
        return False

    def _near_cells(self, x, y, w, h, into):
        for c in range(max(0, x // 40), min(49, (x + w - 1) // 40) + 1):
            for r in range(max(0, y // 40), min(39, (y + h - 1) // 40) + 1):
                if (c, r) in self.terrain:
                    into.add((c, r))

    def _collide(self):
        self.onPlatform = 0
        self.statusMessage = ''
        craft = self._craft_pic()
        cx, cy = self.wx, self.wy
        shot = self.pics.shot
        cells = set()
        self._near_cells(cx, cy, 80, 40, cells)
        for s in self.shots:
            self._near_cells(s[0] + self.scrollX, s[1], 8, 8, cells)
        for r in self.rockets:
            self._near_cells(r[0] + self.scrollX, r[1], 8, 8, cells)
        tf = self.tileFrame
        for cell in sorted(cells):
            code = self.terrain[cell]
            tx, ty = cell[0] * 40, cell[1] * 40
            pic = self.pics.terrain[code][tf]
            touches = collide(craft, cx, cy, pic, tx, ty)
            if code in (TERRAIN_PAD, TERRAIN_TARGET) and touches:
                self.onPlatform = 1
                self.checkpoint = (self.craftX, self.craftY, self.scrollX, self.scrollY)
                if code == TERRAIN_TARGET:
                    if self.prisonersLeft > 0:
                        self.statusMessage = 'Noch %d Gefangene zu befreien' % self.prisonersLeft
                    else:
                        if not self.levelComplete:
                            self.events.append((self.frame + 1, 'map %d complete' % self.mapNumber))
                        self.levelComplete = 1
            if code in (TERRAIN_WALL, TERRAIN_BLOCK) and touches:
                self._destroy('wall' if code == TERRAIN_WALL else 'block')
            if code == TERRAIN_WALL:
                self.shots = [s for s in self.shots if not collide(shot, s[0] + self.scrollX, s[1], pic, tx, ty)]
                self.shotCur = len(self.shots) - 1
                self.rockets = [r for r in self.rockets if not collide(shot, r[0] + self.scrollX, r[1], pic, tx, ty)]
            if code in (TERRAIN_BLOCK, TERRAIN_LAUNCHER_LEFT, TERRAIN_LAUNCHER_RIGHT) and self._take_hit(pic, tx, ty):
                del self.terrain[cell]
                self.events.append((self.frame + 1, 'shot %s at %d,%d' % (('block' if code == 3 else 'launcher',) + cell)))
        # The walk ends at the border wall in the corner, which walks the
        # whole shot list: new shots are appended again.
        self.shotCur = len(self.shots) - 1
        keep = []
        for o in self.objects:
            if o[2] == OBJECT_ENEMY:
                pic = self.pics.enemy[tf]
                if self._take_hit(pic, o[0], o[1]):
                    self.events.append((self.frame + 1, 'shot enemy at %d,%d' % (o[0], o[1])))
                    continue
                if collide(craft, cx, cy, pic, o[0], o[1]):
                    self._destroy('enemy')
                    continue
                middle = cy + 20
                level = o[1] <= middle <= o[1] + 40
                if level and o[0] <= cx <= o[0] + 300:
                    o[0] += 2
                if level and o[0] - 300 <= cx <= o[0]:
                    o[0] -= 2
            elif o[2] == OBJECT_PRISONER:
                if collide(craft, cx, cy, self.pics.prisoner[tf], o[0], o[1]):
                    self.prisonersLeft -= 1
                    self.events.append((self.frame + 1, 'prisoner at %d,%d' % (o[0] // 40, o[1] // 40)))
                    continue
            keep.append(o)
        self.objects = keep
        for r in self.rockets:
            if collide(craft, self.craftX, self.craftY, shot, r[0], r[1] - self.scrollY):
                self._destroy('rocket')
