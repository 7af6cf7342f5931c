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

struct Goal {
  int cellX = -1, cellY = -1;  // the prisoner's cell; -1 for the target platform
  std::vector<float> distance;  // per node: grid steps to reach the goal
};

struct Route {
  std::vector<Goal> goals;    // the prisoners in visiting order, then the target platform
  std::vector<float> legAfter;  // per goal: the steps from it to the end of the route
  bool complete = false;      // every goal can be reached from the start
  std::vector<uint8_t> blocked;  // per node: 1 where the craft touches a block, 2 a wall
};

// Whether the craft at world (x, y) touches a block of the map (as planned:
// blocks already shot away still count).
bool TouchesBlock(const Route& route, int x, int y);

// Needs the game's pictures loaded (the craft and the terrain are tested
// with the game's own pixel test) and the level loaded into `game`.
Route PlanRoute(const MapLayer& terrain, const MapLayer& objects, int startX, int startY);

// Grid steps still to go from the state's craft position along the route,
// counting only the prisoners still in the state's object list.
float StepsToGo(const Route& route, const GameState& state);
// The same with the craft's top-left corner at world (x, y).
float StepsToGoFrom(const Route& route, const GameState& state, int x, int y);
