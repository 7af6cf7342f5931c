// The route through a map, worked out from the map alone: where the craft can
// be, how far every place is from each prisoner and from the target
// platform, and the order in which to visit them.
#pragma once

#include <vector>

#include "formats/mapfile.h"
#include "game/game.h"

// Craft positions (world pixels of its top-left corner) on a grid of
// NODE_STEP pixels.
constexpr int NODE_STEP = 10;
constexpr int NODE_COLUMNS = (MAP_WIDTH * TILE_SIZE - 80) / NODE_STEP + 1;
constexpr int NODE_ROWS = (MAP_HEIGHT * TILE_SIZE - 40) / NODE_STEP + 1;

enum GoalKind { GOAL_PRISONER, GOAL_LAUNCHER, GOAL_TARGET };

// A prisoner to pick up, a launcher to shoot from above before its rockets
// cross the way, or the target platform.
struct Goal {
  GoalKind kind = GOAL_TARGET;
  int cellX = -1, cellY = -1;  // the prisoner's or the launcher's cell
  std::vector<float> distance;  // per node: grid steps to reach the goal
};

struct Route {
  // The prisoners in visiting order, each launcher whose rockets cross the
  // way to a goal just before that goal, then the target platform.
  std::vector<Goal> goals;
  std::vector<float> legAfter;  // per goal: the steps from it to the end of the route
  bool complete = false;      // every goal can be reached from the start
  std::vector<bool> wall;     // per node: the craft touches a wall there in some heading
};

// Needs the game's pictures loaded (the craft and the terrain are tested
// with the game's own pixel test) and the level loaded into `game`.
Route PlanRoute(const MapLayer& terrain, const MapLayer& objects, int startX, int startY);

// The goal the craft is on its way to: the first one whose prisoner or
// launcher is still in the state.
const Goal& CurrentGoal(const Route& route, const GameState& state);
// Whether the craft is where a shot dropped now falls on the launcher it
// is on its way to shoot.
bool AtShootingSpot(const Route& route, const GameState& state);

// Grid steps still to go from the state's craft position along the route,
// counting only the goals still in the state.
float StepsToGo(const Route& route, const GameState& state);
// Whether the craft's top-left corner can be at world (x, y) without
// touching a wall: no grid position around it does.
bool CraftFits(const Route& route, int x, int y);
// The same with the craft's top-left corner at world (x, y).
float StepsToGoFrom(const Route& route, const GameState& state, int x, int y);
