#!/usr/bin/env python3
"""routefinder: turns a route through the three built-in maps into the replay
scripts that prove them (tests/replays/map1.replay .. map3.replay).

A route file (tools/routefinder/mapN.route) lists what the pilot does, one
command per line ("#" starts a comment); positions are the craft's top-left
corner in world pixels:

    to X Y           fly there: diagonally first, then straight on (X a multiple of 4)
    land             let the craft sink until it rests on a pad or platform
    hover N          hold the height for N frames
    keys N [KEY...]  hold KEYs (Left Right Up Down Ctrl) for N frames
    fire [KEY...]    one frame of Ctrl with KEYs, then none with Ctrl
    face right|left  tap the arrow key and let go (the next fire shoots sideways)
    shoot X Y HOW    fire from near (X, Y) so that the shot destroys something:
                     HOW is down, right, left, downright or downleft; the place
                     nearest to (X, Y) from which the shot hits is searched
    wait             a place to wait: the commands up to the next mark are
                     played after hovering here for 0, 1, 2, ... frames until
                     the craft gets through them unharmed (launchers fire at
                     random, so crossing their rockets is a matter of timing)

Every command is played in a model of the game (vsim.py) that follows the
frame pass, the launchers' random numbers and the pixel-exact collisions.
The finished scripts are then run by the real game (build/bin/vantorreplay)
and each map's end state is checked; the model only plans, the real game
decides.

Regenerate the replays after changing a map, a route or the game:

    cmake --build build --target vantorreplay vantormap packs
    python3 tools/routefinder/routefinder.py --build build

Options: --build DIR (default: build), --only N (plan maps 1..N only),
--no-verify (skip the real game), --out DIR (default: tests/replays),
--events (list the model's prisoners, hits and crashes). A command that
cannot be played, or a segment that no wait gets through, is reported with
its line and where the craft came to grief: move the route's points, or
the map's rock, and run again.
"""
import argparse
import os
import subprocess
import sys
import tempfile

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import vsim  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.normpath(os.path.join(HERE, '..', '..'))
KEY_NAMES = {'Left', 'Right', 'Up', 'Down', 'Ctrl'}
TITLE_LINES = '# The logo intro, the title menu, F1: the map sequence starts.\n554\n1 F1\n'
MAX_WAIT = 400
SETTLE = 30  # frames a segment must stay unharmed after its last command


class RouteError(Exception):
    pass


class Crashed(Exception):
    pass


# ---- Commands ---------------------------------------------------------------------

class Pilot:
    """Plays commands in the model, recording the keys of every frame."""

    def __init__(self, game):
        self.game = game
        self.frames = []  # keys per frame

    def press(self, keys):
        lives = self.game.lives
        self.frames.append(frozenset(keys))
        self.game.step(keys)
        if self.game.craftDestroyed or self.game.lives != lives:
            raise Crashed(self.game.events[-1][1])

    def hover(self, frames):
        """Holds the height: between 3 pixels above it and 1 below."""
        y = self.game.wy
        for _ in range(frames):
            self.press({'Up'} if self.game.wy > y else set())

    def fly_to(self, x, y):
        """Diagonally while both coordinates are off, then straight on."""
        if x % 4:
            raise RouteError('x must be a multiple of 4')
        g = self.game
        for _ in range(2000):
            dx, dy = x - g.wx, y - g.wy
            if abs(dx) < 4 and dy == 0:
                return
            keys = set()
            if dx >= 4:
                keys.add('Right')
            elif dx <= -4:
                keys.add('Left')
            if dy < 0:
                keys.add('Up')
            elif dy >= 5:
                keys.add('Down')  # and the sinking: 5 pixels a frame
            self.press(keys)
        raise RouteError('cannot reach %d %d' % (x, y))

    def shoot(self, x, y, how):
        """Fires from the place nearest to (x, y) whose shot destroys something."""
        if how not in SHOTS:
            raise RouteError('shoot: HOW is one of ' + ', '.join(SHOTS))
        places = [(x + dx, y + dy) for dx in range(-AIM_X, AIM_X + 1, 4) for dy in range(-AIM_Y, AIM_Y + 1)]
        places.sort(key=lambda p: (abs(p[0] - x) + abs(p[1] - y), p))
        for px, py in places:
            done = try_shot(self.game, px, py, how)
            if done:
                self.frames += done.frames
                self.game = done.game
                return
        raise RouteError('no shot from near %d %d hits anything' % (x, y))

    def run(self, cmd):
        op, args = cmd[0], cmd[1:]
        g = self.game
        if op == 'to':
            self.fly_to(int(args[0]), int(args[1]))
        elif op == 'land':
            for _ in range(600):
                self.press(set())
                if g.onPlatform:
                    return
            raise RouteError('no landing')
        elif op == 'hover':
            self.hover(int(args[0]))
        elif op == 'keys':
            keys = set(args[1:])  # none: the craft sinks
            if not keys <= KEY_NAMES:
                raise RouteError('unknown key in %s' % ' '.join(args))
            for _ in range(int(args[0])):
                self.press(keys)
        elif op == 'fire':
            keys = set(args) | {'Ctrl'}
            if not keys <= KEY_NAMES:
                raise RouteError('unknown key in %s' % ' '.join(args))
            self.press(keys)
            self.press(set())
        elif op == 'face':
            if args != ['right'] and args != ['left']:
                raise RouteError('face right or face left')
            self.press({args[0].capitalize()})
        elif op == 'shoot':
            self.shoot(int(args[0]), int(args[1]), args[2])
        else:
            raise RouteError('unknown command ' + op)


# What a "shoot" does: the keys of each kind of shot.
SHOTS = {
    'down': [['fire', 'Up']],
    'right': [['face', 'right'], ['fire']],
    'left': [['face', 'left'], ['fire']],
    'downright': [['fire', 'Right']],
    'downleft': [['fire', 'Left']],
}
AIM_X, AIM_Y, AIM_FRAMES = 32, 24, 40  # how far "shoot" looks, how long a shot may fly


def hits(game):
    return sum(1 for _, what in game.events if what.startswith('shot '))


def try_shot(game, x, y, how):
    """The pilot after flying to (x, y) and firing, if the shot destroys something."""
    pilot = Pilot(game.copy())
    before = hits(game)
    try:
        pilot.run(['to', str(x), str(y)])
        for words in SHOTS[how]:
            pilot.run(words)
        for _ in range(AIM_FRAMES):
            if hits(pilot.game) > before:
                return pilot
            pilot.hover(1)
    except (Crashed, RouteError):
        pass
    return None


def parse_route(path):
    cmds = []
    for number, line in enumerate(open(path), 1):
        words = line.split('#', 1)[0].split()
        if words:
            cmds.append((number, words, line.split('#', 1)[1].strip() if '#' in line else ''))
    return cmds


def segments(cmds):
    """Commands split at the "wait" marks."""
    out, cur = [], []
    for c in cmds:
        if c[1][0] == 'wait':
            out.append(cur)
            cur = []
        else:
            cur.append(c)
    out.append(cur)
    return [s for s in out if s]


def play_segment(game, seg, wait, last):
    """The pilot after hovering `wait` frames and playing `seg`, with the frame
    at which each command began; None when the craft crashes."""
    pilot = Pilot(game.copy())
    marks = []
    try:
        pilot.hover(wait)
        for number, words, comment in seg:
            marks.append((len(pilot.frames), number, words, comment))
            try:
                pilot.run(words)
            except RouteError as e:
                raise RouteError('line %d: %s; the craft is at %d %d' % (number, e, pilot.game.wx, pilot.game.wy))
        if not last:
            Pilot(pilot.game.copy()).hover(SETTLE)
    except Crashed:
        return None
    return pilot, marks


def crash_report(game, seg, wait=0):
    """Where the segment crashes after hovering `wait` frames."""
    pilot = Pilot(game.copy())
    number = seg[0][0]
    try:
        pilot.hover(wait)
        for number, words, _ in seg:
            pilot.run(words)
        pilot.hover(SETTLE)
    except Crashed as e:
        return 'line %d: %s at %d %d' % (number, e, pilot.game.wx, pilot.game.wy)
    except RouteError as e:
        return 'line %d: %s' % (number, e)
    return 'no crash'


def plan_map(game, route):
    """Plans one map's route from `game`; returns (frames, notes, game)."""
    frames, notes = [], []
    segs = segments(parse_route(route))
    number = game.mapNumber
    for i, seg in enumerate(segs):
        for wait in range(MAX_WAIT + 1):
            try:
                done = play_segment(game, seg, wait, last=(i == len(segs) - 1))
            except RouteError as e:
                raise RouteError('%s: %s' % (route, e))
            if done:
                break
            if wait == 0:
                print('  the commands from line %d need a wait: %s' % (seg[0][0], crash_report(game, seg)))
        else:
            counts = {}
            for wait in range(0, MAX_WAIT + 1, 10):
                where = crash_report(game, seg, wait).split(' at ')[0]
                counts[where] = counts.get(where, 0) + 1
            for where, n in sorted(counts.items()):
                print('  %3d x %s' % (n, where))
            raise RouteError('%s: no hover up to %d frames gets through' % (route, MAX_WAIT))
        pilot, marks = done
        if wait:
            notes.append((len(frames), 'hover %d frames' % wait))
        for at, line, words, comment in marks:
            notes.append((len(frames) + at, comment or ' '.join(words)))
        frames += pilot.frames
        game = pilot.game
    if game.levelComplete != 1 or game.mapNumber != number:
        raise RouteError('%s: the route does not complete map %d (prisoners left %d)' %
                         (route, number, game.prisonersLeft))
    # One more frame: the next map is loaded at its start.
    frames.append(frozenset())
    game.step(set())
    return frames, notes, game


def script_text(frames, notes):
    """Replay lines: runs of equal keys, with the notes as comments."""
    out = []
    notes = dict(notes)
    i = 0
    while i < len(frames):
        if i in notes:
            out.append('# ' + notes[i])
        j = i + 1
        while j < len(frames) and frames[j] == frames[i] and j not in notes:
            j += 1
        keys = ' '.join(k for k in ('Left', 'Right', 'Up', 'Down', 'Ctrl') if k in frames[i])
        out.append(('%d %s' % (j - i, keys)).rstrip())
        i = j
    return '\n'.join(out) + '\n'


# ---- The real game ----------------------------------------------------------------

def run_replay(build, work, text):
    path = os.path.join(work, 'game.replay')
    with open(path, 'w') as f:
        f.write(text)
    out = subprocess.run([os.path.join(build, 'bin', 'vantorreplay'), '--no-sound', '--dir', work, path],
                         check=True, capture_output=True, text=True).stdout
    state = {}
    for line in out.splitlines():
        name, _, value = line.partition(' ')
        state.setdefault(name, value)
    return state


def main():
    ap = argparse.ArgumentParser(description='Plans and checks the replays of the built-in maps.')
    ap.add_argument('--build', default=os.path.join(SOURCE, 'build'))
    ap.add_argument('--out', default=os.path.join(SOURCE, 'tests', 'replays'))
    ap.add_argument('--only', type=int, default=3)
    ap.add_argument('--no-verify', action='store_true')
    ap.add_argument('--events', action='store_true', help='list what happens in the model')
    args = ap.parse_args()
    build = os.path.abspath(args.build)

    texts = {n: os.path.join(SOURCE, 'maps', 'map%d.txt' % n) for n in (1, 2, 3)}
    pics = vsim.Pictures(os.path.join(build, 'run', 'vantor.pak'), os.path.join(build, 'bin', 'vantorpak'))
    game = vsim.Game(pics, {n: vsim.read_map_text(p) for n, p in texts.items()})
    scripts = []
    shown = 0
    for n in range(1, args.only + 1):
        lives = game.lives
        frames, notes, game = plan_map(game, os.path.join(HERE, 'map%d.route' % n))
        head = TITLE_LINES if n == 1 else ''
        text = ('# Map %d: every prisoner, then the target platform; the last frame loads the next map.\n' % n +
                head + script_text(frames, notes))
        scripts.append(text)
        print('map %d: %d frames, %d lives lost' % (n, len(frames), lives - game.lives))
        if args.events:
            for frame, what in game.events[shown:]:
                print('  frame %d: %s' % (frame, what))
        shown = len(game.events)
        os.makedirs(args.out, exist_ok=True)
        with open(os.path.join(args.out, 'map%d.replay' % n), 'w') as f:
            f.write(text)
    if args.no_verify:
        return 0
    with tempfile.TemporaryDirectory() as work:
        os.symlink(os.path.join(build, 'run', 'vantor.pak'), os.path.join(work, 'vantor.pak'))
        os.mkdir(os.path.join(work, 'maps'))
        for n, p in texts.items():
            subprocess.run([os.path.join(build, 'bin', 'vantormap'), 'compile', p,
                            os.path.join(work, 'maps', 'map %d.map' % n)], check=True)
        failed = False
        for n in range(1, len(scripts) + 1):
            state = run_replay(build, work, ''.join(scripts[:n]))
            want = n % 3 + 1
            ok = state.get('mapNumber') == str(want) and state.get('levelComplete') == '0'
            print('real game after map %d: mapNumber %s, lives %s, prisonersLeft %s, frames %s: %s' %
                  (n, state.get('mapNumber'), state.get('lives'), state.get('prisonersLeft'), state.get('frames'),
                   'ok' if ok else 'FAILED'))
            failed |= not ok
    return 1 if failed else 0


if __name__ == '__main__':
    try:
        sys.exit(main())
    except RouteError as e:
        print('routefinder: %s' % e, file=sys.stderr)
        sys.exit(1)
