// Decisions: each candidate set of keys is held for one decision period and
// then followed by following the route, letting go, or a stop to shoot, for
// the rest of the look-ahead; the best of those counts, averaged over a few
// samples of launches (one when nothing on the screen or nearby can reach
// the craft). A crash costs far more than any way round; otherwise the way
// still to go along the route decides, with something for every prisoner
// picked up and every block, launcher or enemy shot away. When nothing
// threatens and nothing shows that could be shot, the route's own keys are
// taken unless the look-ahead along the route meets a wall.
#include "tools/playtest/bot.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr Keys MOVES[] = {KEYS_NONE,
                          KEYS_LEFT,
                          KEYS_RIGHT,
                          KEYS_UP,
                          KEYS_DOWN,
                          KEYS_LEFT | KEYS_UP,
                          KEYS_RIGHT | KEYS_UP,
                          KEYS_LEFT | KEYS_DOWN,
                          KEYS_RIGHT | KEYS_DOWN};
constexpr float CRASH = 10000;
constexpr float FRAMES_PER_STEP = NODE_STEP / 4.f;  // the craft flies 4 pixels a frame
constexpr int CALM_SAMPLES = 1;
constexpr int DANGER_SAMPLES = 3;
constexpr int ROCKET_STEP = 10;
// What shooting away a block, a launcher or an enemy is worth, in frames:
// the route counts a block in the way as that much time.
constexpr float SHOT_AWAY = 40;
// A prisoner picked up is worth more than any way round it: the route may
// lead back the way it came.
constexpr float PICKED_UP = 200;
constexpr float SOONER = 0.25f;
constexpr float ROUTE_MARGIN = 40;  // frames
// Waiting for a lane to be safe: after PATIENCE decisions (10 s) without
// progress a crash counts less and less, down to BOLD (about what a few
// cells of way are worth) after twice that.
constexpr int PATIENCE = 100;
constexpr float BOLD = 150;
constexpr float PROGRESS = 2 * FRAMES_PER_STEP;  // frames of way that count as progress
constexpr float SET_BACK = 300;  // frames: the way grew by this much, the craft started again

// What is left to shoot, in frames: blocks and enemies count SHOT_AWAY,
// launchers as much as a prisoner, since one shot away makes its lane safe
// for good.
float ShotValue(const GameState& s) {
  float value = 0;
  for (int i = 0; i < s.terrainList.Size(); i++) {
    const int code = s.terrainList[i].code;
    if (code == TERRAIN_BLOCK) value += SHOT_AWAY;
    if (code == TERRAIN_LAUNCHER_LEFT || code == TERRAIN_LAUNCHER_RIGHT) value += PICKED_UP;
  }
  for (int i = 0; i < s.objectList.Size(); i++)
    if (s.objectList[i].code == OBJECT_ENEMY) value += SHOT_AWAY;
  return value;
}

// Whether a rocket from this launcher could come near the craft within the
// look-ahead, walls aside.
bool LauncherReaches(const WorldItem& launcher, int craftX, int craftY, int frames) {
  const int dir = launcher.code == TERRAIN_LAUNCHER_LEFT ? -1 : 1;
  const int sx = launcher.x + (dir < 0 ? 20 : 60), sy = launcher.y;
  const int reach = 4 * frames + 40;  // the craft's own way plus a margin
  const int left = craftX - reach, right = craftX + 80 + reach, top = craftY - reach, bottom = craftY + 40 + reach;
  for (int t = 0; t <= frames; t++) {
    const int x = sx + dir * ROCKET_STEP * t, y = sy - ROCKET_STEP * t;
    if (x >= left && x <= right && y >= top && y <= bottom) return true;
  }
  return false;
}

// The blocks of the state that the craft at (x, y) would touch there or a
// little further on, nearest to the craft first.
constexpr int BLOCK_MARGIN = 50;
std::vector<const WorldItem*> BlocksInTheWay(const GameState& s, int x, int y) {
  std::vector<std::pair<int, const WorldItem*>> found;
  for (int i = 0; i < s.terrainList.Size(); i++) {
    const WorldItem& t = s.terrainList[i];
    if (t.code != TERRAIN_BLOCK || t.x >= x + 80 + BLOCK_MARGIN || x >= t.x + TILE_SIZE + BLOCK_MARGIN ||
        t.y >= y + 40 + BLOCK_MARGIN || y >= t.y + TILE_SIZE + BLOCK_MARGIN)
      continue;
    const int distance = std::abs(t.x + 20 - (s.craftX + s.scrollX + 40)) + std::abs(t.y + 20 - (s.craftY + s.scrollY + 20));
    found.push_back({distance, &t});
  }
  std::stable_sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<const WorldItem*> blocks;
  for (const auto& f : found) blocks.push_back(f.second);
  return blocks;
}

// The keys that shoot the block away: from above by climbing with the fire
// key (the shot falls from the craft's middle), from the side by facing it
// (let go of the arrow towards it) and firing. Nothing when the craft has
// no room to line up with it from where it is.
std::optional<Keys> ShootAt(const Route& route, const GameState& s, const WorldItem& block, int frames) {
  const int cx = s.craftX + s.scrollX, cy = s.craftY + s.scrollY;
  const int step = 4 * frames;
  auto room = [&](Keys keys, int dx, int dy) -> std::optional<Keys> {
    if (!CraftFits(route, cx + dx, cy + dy)) return std::nullopt;
    return keys;
  };
  if (block.y >= cy + 30) {
    const int shotX = cx + 40;
    if (shotX < block.x) return room(KEYS_RIGHT, step, 0);
    if (shotX > block.x + 32) return room(KEYS_LEFT, -step, 0);
    return Keys(KEYS_UP | KEYS_FIRE);
  }
  // Side shots leave at the craft's mid-height: line up with the block first.
  const int shotMiddle = cy + 24;
  const bool aside = block.x >= cx + 40 || block.x + TILE_SIZE <= cx + 40;
  if (aside && shotMiddle < block.y + 4) return room(KEYS_DOWN, 0, step);
  if (aside && shotMiddle > block.y + TILE_SIZE - 4) return room(KEYS_UP, 0, -step);
  if (block.x >= cx + 40) {
    if (s.craftHeading == 3 || s.craftHeading == 2) return KEYS_FIRE;
    return block.x - (cx + 80) > 30 ? room(KEYS_RIGHT, step, 0) : room(KEYS_LEFT, -step, 0);
  }
  if (block.x + TILE_SIZE <= cx + 40) {
    if (s.craftHeading == 4 || s.craftHeading == 0) return KEYS_FIRE;
    return cx - (block.x + TILE_SIZE) > 30 ? room(KEYS_LEFT, -step, 0) : room(KEYS_RIGHT, step, 0);
  }
  return std::nullopt;  // a block overhead cannot be shot
}

bool Calm(const Observation& o, int frames) {
  const GameState& s = o.seen;
  if (s.rocketList.Size() > 0) return false;
  for (int i = 0; i < s.objectList.Size(); i++)
    if (s.objectList[i].code == OBJECT_ENEMY) return false;
  const int cx = s.craftX + s.scrollX, cy = s.craftY + s.scrollY;
  for (int i = 0; i < s.terrainList.Size(); i++) {
    const WorldItem& t = s.terrainList[i];
    if ((t.code == TERRAIN_LAUNCHER_LEFT || t.code == TERRAIN_LAUNCHER_RIGHT) && LauncherReaches(t, cx, cy, frames))
      return false;
  }
  return true;
}

// Whether a block, a launcher or an enemy shows in the view: with none,
// there is nothing to shoot and the fire key is not worth trying.
bool TargetInView(const GameState& s) {
  for (int i = 0; i < s.objectList.Size(); i++)
    if (s.objectList[i].code == OBJECT_ENEMY) return true;  // the observation keeps only those in view
  for (int i = 0; i < s.terrainList.Size(); i++) {
    const WorldItem& t = s.terrainList[i];
    const bool target = t.code == TERRAIN_BLOCK || t.code == TERRAIN_LAUNCHER_LEFT || t.code == TERRAIN_LAUNCHER_RIGHT;
    if (target && t.x + TILE_SIZE > s.scrollX && t.x < s.scrollX + 800 && t.y + TILE_SIZE > s.scrollY && t.y < s.scrollY + 440)
      return true;
  }
  return false;
}

}  // namespace

// The arrows that bring the craft furthest along the route in one decision
// period, judged on the map's distances alone: how a player who knows the
// way goes on when nothing threatens. Where that way leads into a block, the
// player stops and shoots instead (the craft faces the way it last flew),
// and so it does at a spot above a launcher it has come to shoot.
Keys FollowRoute(const Route& route, const GameState& s, int frames) {
  if (AtShootingSpot(route, s)) return Keys(KEYS_UP | KEYS_FIRE);
  const int x = s.craftX + s.scrollX, y = s.craftY + s.scrollY;
  Keys best = KEYS_NONE;
  float bestSteps = 0;
  int bestX = x, bestY = y;
  for (Keys m : MOVES) {
    const int dx = (m & KEYS_RIGHT ? 4 : 0) - (m & KEYS_LEFT ? 4 : 0);
    const int dy = (m & KEYS_DOWN ? 4 : 0) - (m & KEYS_UP ? 4 : 1);
    const int nx = x + dx * frames, ny = y + dy * frames;
    if (m != KEYS_NONE && !CraftFits(route, nx, ny)) continue;
    const float steps = StepsToGoFrom(route, s, nx, ny);
    if (m == KEYS_NONE || steps < bestSteps) {
      best = m;
      bestSteps = steps;
      bestX = nx;
      bestY = ny;
    }
  }
  const std::vector<const WorldItem*> blocks = BlocksInTheWay(s, bestX, bestY);
  for (const WorldItem* block : blocks)
    if (const auto keys = ShootAt(route, s, *block, frames)) return *keys;
  if (!blocks.empty()) return KEYS_UP;  // no room to line up here: back off
  // Resting on a pad, only the climb moves the craft: lift off on the way
  // (a way down through the pad goes round it).
  if (s.onPlatform && best != KEYS_NONE) return Keys((best & ~KEYS_DOWN) | KEYS_UP);
  return best;
}

// Plays the rest of the look-ahead as FollowRoute would, a decision period
// at a time, tapping the fire key (it must be let go between shots).
// It ends at the goal it was on its way to: what comes after is judged by
// later decisions.
void PlayAlongRoute(Branch& branch, const Route& route, int frames, int period, const LaunchDraws& draws) {
  Keys last = KEYS_NONE;
  const Goal* goal = &CurrentGoal(route, branch.state);
  for (int f = 0; f < frames && !branch.crashed && !branch.complete && goal == &CurrentGoal(route, branch.state);
       f += period) {
    Keys keys = FollowRoute(route, branch.state, period);
    if (last & KEYS_FIRE) keys = Keys(keys & ~KEYS_FIRE);
    PlayAhead(branch, keys, std::min(period, frames - f), draws);
    last = keys;
  }
}

LaunchDraws Decider::Draws() {
  std::uniform_int_distribution<int> draw(0, 10);
  LaunchDraws draws(size_t(limits_.horizonFrames));
  for (uint8_t& d : draws) d = uint8_t(draw(random_));
  return draws;
}

void Decider::NoteProgress(const GameState& seen) {
  const float toGo = StepsToGo(route_, seen) * FRAMES_PER_STEP + ShotValue(seen);
  if (stalled_ == 0 || toGo < bestToGo_ - PROGRESS || toGo > bestToGo_ + SET_BACK) {
    bestToGo_ = toGo;
    stalled_ = 1;
  } else {
    stalled_++;
  }
  const float late = std::clamp(float(stalled_ - PATIENCE) / float(PATIENCE), 0.f, 1.f);
  crashCost_ = CRASH + (BOLD - CRASH) * late;
}

float Decider::Judge(const Branch& end, const GameState& before) const {
  // A crash costs the way still to go from the moment seen and more.
  if (end.crashed) return -crashCost_ - StepsToGo(route_, before) * FRAMES_PER_STEP + float(end.played);
  if (end.complete) return CRASH - float(end.played);
  return ShotValue(before) - ShotValue(end.state) +
         PICKED_UP * float(before.prisonersLeft - end.state.prisonersLeft) -
         StepsToGo(route_, end.state) * FRAMES_PER_STEP;
}

std::optional<Keys> Decider::SafeRouteKeys(const Observation& seen, Keys previous, int own, int rest) {
  const LaunchDraws draws = Draws();
  Branch branch{seen.seen, seen.keyboard, seen.presented};
  for (Keys keys : seen.keysSince) PlayAhead(branch, keys, 1, draws);
  Keys keys = FollowRoute(route_, branch.state, own);
  if (previous & KEYS_FIRE) keys = Keys(keys & ~KEYS_FIRE);
  PlayAhead(branch, keys, own, draws);
  PlayAlongRoute(branch, route_, rest, own, draws);
  if (branch.crashed) return std::nullopt;
  return keys;
}

Keys Decider::Decide(const Observation& seen, Keys previous) {
  const int known = int(seen.keysSince.size());
  const int own = limits_.decisionFrames;
  const int rest = std::max(0, limits_.horizonFrames - known - own);
  const bool calm = Calm(seen, limits_.horizonFrames);
  const bool target = TargetInView(seen.seen);
  const int samples = calm ? CALM_SAMPLES : DANGER_SAMPLES;
  NoteProgress(seen.seen);
  if (calm && !target) {
    // Nothing threatens and nothing can be shot: the way the route leads
    // is taken unless it runs into a wall within the look-ahead.
    if (const auto keys = SafeRouteKeys(seen, previous, own, rest)) return *keys;
  }
  // A shot needs the fire key let go in between: it can be pressed only
  // when it was up in the last decision.
  std::vector<Keys> candidates(std::begin(MOVES), std::end(MOVES));
  if (!(previous & KEYS_FIRE) && target)
    for (Keys m : MOVES) candidates.push_back(Keys(m | KEYS_FIRE));

  std::vector<float> value(candidates.size(), 0);
  Keys routeKeys = KEYS_NONE;
  for (int k = 0; k < samples; k++) {
    const LaunchDraws draws = Draws();
    Branch base{seen.seen, seen.keyboard, seen.presented};
    for (Keys keys : seen.keysSince) PlayAhead(base, keys, 1, draws);
    if (k == 0) {
      routeKeys = FollowRoute(route_, base.state, own);
      if (previous & KEYS_FIRE) routeKeys = Keys(routeKeys & ~KEYS_FIRE);
    }
    for (size_t c = 0; c < candidates.size(); c++) {
      Branch first = base;
      PlayAhead(first, candidates[c], own, draws);
      float best = Judge(first, seen.seen);
      if (!first.crashed && !first.complete) {
        // Following the route, letting go, or (with the fire key up now)
        // stopping to shoot the way the craft faces.
        Branch along = first;
        PlayAlongRoute(along, route_, rest, own, draws);
        best = Judge(along, seen.seen);
        for (Keys then : {KEYS_NONE, KEYS_FIRE}) {
          if (then == KEYS_FIRE && (!target || (candidates[c] & KEYS_FIRE))) continue;
          Branch next = first;
          PlayAhead(next, then, rest, draws);
          best = std::max(best, Judge(next, seen.seen));
        }
      }
      // Progress now counts a little on its own, so that a move is not put
      // off because the route could still catch up later.
      // (A crash is charged as if it made none.)
      best -= SOONER * StepsToGo(route_, first.crashed ? seen.seen : first.state) * FRAMES_PER_STEP;
      value[c] += best;
    }
  }
  // The way the route leads is taken unless the look-ahead finds it worse
  // than another choice by more than a little: a player who knows the way
  // follows it and turns aside for danger.
  size_t best = 0;
  for (size_t c = 0; c < candidates.size(); c++)
    if (value[c] > value[best]) best = c;
  const auto routeChoice = std::find(candidates.begin(), candidates.end(), routeKeys);
  if (routeChoice != candidates.end() && value[size_t(routeChoice - candidates.begin())] >= value[best] - ROUTE_MARGIN * float(samples))
    return routeKeys;
  return candidates[best];
}

Keys Bot::AfterPass(const Moment& moment) {
  const int n = moment.playFrame;
  delay_.push_back(moment);
  while (int(delay_.size()) > limits_.reactionFrames + 1) delay_.pop_front();
  const int since = n - limits_.reactionFrames;
  if (since >= 0 && since % limits_.decisionFrames == 0) {
    const Moment& old = delay_.front();
    if (old.playFrame != since) std::abort();  // the delay line lost a frame
    std::vector<Keys> keysSince(played_.begin() + since, played_.end());
    held_ = decider_.Decide(Observe(old, std::move(keysSince)), held_);
    decisions_.push_back({n, old.playFrame});
  }
  played_.push_back(held_);
  return held_;
}
