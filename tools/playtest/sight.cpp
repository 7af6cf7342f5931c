// The observation handed to the decision code. Besides what is off the
// screen, it leaves out what takes part in nothing but the drawing (empty
// cells, the backdrop, start marks, codes without a meaning and walls
// buried in rock, and cells too far from the craft to take part within the
// look-ahead, except launchers, which the route keeps track of), which makes the frames played ahead on it cheaper without
// changing how they play.
#include "tools/playtest/sight.h"

#include <algorithm>
#include <utility>

namespace {

constexpr int PROJECTILE_SIZE = 8;

bool BuriedWall(const MapLayer& terrain, int cellX, int cellY) {
  if (terrain.at(cellX, cellY) != TERRAIN_WALL) return false;
  for (int x = std::max(0, cellX - 2); x <= std::min(MAP_WIDTH - 1, cellX + 2); x++)
    for (int y = std::max(0, cellY - 2); y <= std::min(MAP_HEIGHT - 1, cellY + 2); y++)
      if (terrain.at(x, y) != TERRAIN_WALL) return false;
  return true;
}

// Within the look-ahead the view scrolls at most 4 pixels a frame, shots and
// rockets live in its columns, and a rocket climbs 10 pixels a frame: a cell
// further away than this cannot meet the craft, a shot or a rocket that can.
constexpr int REACH_X = 60 * 4 + 40, REACH_Y = 60 * 10 + 80;

bool WithinReach(const GameState& s, const WorldItem& t) {
  const int craftY = s.craftY + s.scrollY;
  return t.x + TILE_SIZE > s.scrollX - REACH_X && t.x < s.scrollX + VIEW_WIDTH + REACH_X &&
         t.y + TILE_SIZE > craftY - REACH_Y && t.y < craftY + 40 + REACH_Y;
}

void KeepOnly(WorldList& list, auto keep) {
  WorldList kept;
  for (int i = 0; i < list.Size(); i++)
    if (keep(list[i])) kept.Add(list[i].x, list[i].y, list[i].code);
  list = std::move(kept);
}

}  // namespace

bool ProjectileOnScreen(const GameState& state, const WorldItem& p) {
  const int y = p.y - state.scrollY;
  return p.x + PROJECTILE_SIZE > 0 && p.x < VIEW_WIDTH && y + PROJECTILE_SIZE > 0 && y < VIEW_HEIGHT;
}

bool EnemyOnScreen(const GameState& state, const WorldItem& enemy) {
  const int x = enemy.x - state.scrollX, y = enemy.y - state.scrollY;
  return x + TILE_SIZE > 0 && x < VIEW_WIDTH && y + TILE_SIZE > 0 && y < VIEW_HEIGHT;
}

Observation Observe(const Moment& moment, std::vector<Keys> keysSince) {
  Observation o;
  o.playFrame = moment.playFrame;
  o.presented = moment.presented;
  o.keyboard = moment.keyboard;
  o.keysSince = std::move(keysSince);
  o.seen = moment.state;
  GameState& s = o.seen;
  KeepOnly(s.rocketList, [&](const WorldItem& r) { return ProjectileOnScreen(s, r); });
  KeepOnly(s.shotList, [&](const WorldItem& shot) { return ProjectileOnScreen(s, shot); });
  KeepOnly(s.objectList, [&](const WorldItem& item) {
    return item.code == OBJECT_PRISONER || (item.code == OBJECT_ENEMY && EnemyOnScreen(s, item));
  });
  KeepOnly(s.terrainList, [&](const WorldItem& t) {
    return t.code >= TERRAIN_WALL && t.code <= TERRAIN_TARGET_PLATFORM &&
           !BuriedWall(s.terrainGrid, t.x / TILE_SIZE, t.y / TILE_SIZE) &&
           (WithinReach(s, t) || t.code == TERRAIN_LAUNCHER_LEFT || t.code == TERRAIN_LAUNCHER_RIGHT);
  });
  s.backdropList.Clear();
  return o;
}
