// Route planning on the grid of craft positions. A position is blocked when
// the craft (flying vertically) touches a wall there, by the game's pixel
// test on the animation's first frame; positions that touch a block can be
// passed at a cost, since a shot removes the block. Launchers do not harm
// the craft. Each goal gets a distance field (Dijkstra from the goal's
// positions outwards), and the prisoners are visited in the order with the
// shortest total way.
#include "tools/playtest/route.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <queue>

#include "media/media.h"

namespace {

constexpr float UNREACHABLE = std::numeric_limits<float>::infinity();
constexpr float BLOCK_COST = 30;     // steps' worth of time to shoot a block away
constexpr float PAD_COST = 100;     // far more than a way round; the start is on a pad
constexpr float NEAR_WALL_COST = 1;  // keeps the way off the walls where there is room
// The first frame of each heading: hovering and flying either way, and
// flying vertically (the goal tests use the last).
constexpr int CRAFT_TEST_FRAMES[] = {0, 5, 10, 15, 20};

void SetCraftFrame(int frame) { SetPictureSection(PICTURE_CRAFT, frame % 5 * 80, frame / 5 * 40, 80, 40); }

// A pad stops the craft where it touches it (only the climb moves it on),
// so the way goes round pads; the target platform's own places are goals.
enum Place : uint8_t { FREE, NEAR_WALL, BLOCK, PAD, WALL };

int NodeIndex(int i, int j) { return j * NODE_COLUMNS + i; }

void SetTestSections() {
  SetCraftFrame(CRAFT_TEST_FRAMES[4]);
  for (int code = 1; code <= 6; code++) SetPictureSection(PICTURE_TERRAIN + code, 0, 0, 80, 80);
  SetPictureSection(PICTURE_PRISONER, 0, 0, 40, 40);
}

// Whether the craft at world (x, y) touches a terrain cell of this code,
// in the frame last set.
bool CraftTouchesCode(const MapLayer& terrain, int x, int y, int code) {
  for (int cx = std::max(0, (x - 79) / TILE_SIZE); cx <= std::min(MAP_WIDTH - 1, (x + 79) / TILE_SIZE); cx++)
    for (int cy = std::max(0, (y - 79) / TILE_SIZE); cy <= std::min(MAP_HEIGHT - 1, (y + 39) / TILE_SIZE); cy++)
      if (terrain.at(cx, cy) == code &&
          PicturesCollide(PICTURE_CRAFT, x, y, PICTURE_TERRAIN + code, cx * TILE_SIZE, cy * TILE_SIZE))
        return true;
  return false;
}

// Each place gets the worst of what the craft touches there in any
// heading, since it turns as it flies.
std::vector<Place> ClassifyNodes(const MapLayer& terrain) {
  std::vector<Place> places(NODE_COLUMNS * NODE_ROWS, FREE);
  for (int frame : CRAFT_TEST_FRAMES) {
    SetCraftFrame(frame);
    for (int i = 0; i < NODE_COLUMNS; i++)
      for (int j = 0; j < NODE_ROWS; j++) {
        const int x = i * NODE_STEP, y = j * NODE_STEP;
        Place& place = places[NodeIndex(i, j)];
        if (place < WALL && CraftTouchesCode(terrain, x, y, TERRAIN_WALL))
          place = WALL;
        else if (place < PAD && (CraftTouchesCode(terrain, x, y, TERRAIN_LANDING_PAD) ||
                                 CraftTouchesCode(terrain, x, y, TERRAIN_TARGET_PLATFORM)))
          place = PAD;
        else if (place < BLOCK && CraftTouchesCode(terrain, x, y, TERRAIN_BLOCK))
          place = BLOCK;
      }
  }
  std::vector<Place> marked = places;
  for (int i = 0; i < NODE_COLUMNS; i++)
    for (int j = 0; j < NODE_ROWS; j++) {
      if (places[NodeIndex(i, j)] != FREE) continue;
      for (int di = -2; di <= 2; di++)
        for (int dj = -2; dj <= 2; dj++) {
          const int a = i + di, b = j + dj;
          if (a >= 0 && b >= 0 && a < NODE_COLUMNS && b < NODE_ROWS && places[NodeIndex(a, b)] >= PAD)
            marked[NodeIndex(i, j)] = NEAR_WALL;
        }
    }
  return marked;
}

float EntryCost(Place place) {
  switch (place) {
    case FREE: return 0;
    case NEAR_WALL: return NEAR_WALL_COST;
    case BLOCK: return BLOCK_COST;
    case PAD: return PAD_COST;
    default: return UNREACHABLE;
  }
}

// Dijkstra over the eight neighbours; diagonal steps cost as much as
// straight ones, since the craft moves along both axes at once.
std::vector<float> DistanceField(const std::vector<Place>& places, const std::vector<int>& sources) {
  std::vector<float> distance(places.size(), UNREACHABLE);
  using Entry = std::pair<float, int>;
  std::priority_queue<Entry, std::vector<Entry>, std::greater<Entry>> open;
  for (int s : sources) {
    distance[s] = 0;
    open.push({0.f, s});
  }
  while (!open.empty()) {
    auto [d, n] = open.top();
    open.pop();
    if (d > distance[n]) continue;
    const int i = n % NODE_COLUMNS, j = n / NODE_COLUMNS;
    for (int di = -1; di <= 1; di++)
      for (int dj = -1; dj <= 1; dj++) {
        const int a = i + di, b = j + dj;
        if ((di == 0 && dj == 0) || a < 0 || b < 0 || a >= NODE_COLUMNS || b >= NODE_ROWS) continue;
        const int m = NodeIndex(a, b);
        const float next = d + 1 + EntryCost(places[m]);
        if (next < distance[m]) {
          distance[m] = next;
          open.push({next, m});
        }
      }
  }
  return distance;
}

// The positions from which the craft touches the goal without touching a wall.
std::vector<int> GoalNodes(const std::vector<Place>& places, int picture, int cellX, int cellY) {
  std::vector<int> nodes;
  for (int i = 0; i < NODE_COLUMNS; i++)
    for (int j = 0; j < NODE_ROWS; j++)
      if (places[NodeIndex(i, j)] != WALL &&
          PicturesCollide(PICTURE_CRAFT, i * NODE_STEP, j * NODE_STEP, picture, cellX * TILE_SIZE, cellY * TILE_SIZE))
        nodes.push_back(NodeIndex(i, j));
  return nodes;
}

float Nearest(const std::vector<float>& field, const std::vector<int>& nodes) {
  float best = UNREACHABLE;
  for (int n : nodes) best = std::min(best, field[n]);
  return best;
}

struct Prisoner {
  int x, y;
  std::vector<int> nodes;
  std::vector<float> field;
};

// The visiting order with the shortest total: every order for a few
// prisoners, the nearest next one for many.
std::vector<int> VisitingOrder(const std::vector<Prisoner>& prisoners, int startNode,
                               const std::vector<float>& targetField) {
  const int n = int(prisoners.size());
  auto leg = [&](int from, int to) {  // from -1: the start
    const std::vector<float>& field = to < 0 ? targetField : prisoners[size_t(to)].field;
    return from < 0 ? field[startNode] : Nearest(field, prisoners[size_t(from)].nodes);
  };
  std::vector<int> order(static_cast<size_t>(n));
  std::iota(order.begin(), order.end(), 0);
  if (n > 8) {
    std::vector<int> greedy;
    std::vector<bool> taken(size_t(n), false);
    int at = -1;
    for (int k = 0; k < n; k++) {
      int best = -1;
      for (int p = 0; p < n; p++)
        if (!taken[size_t(p)] && (best < 0 || leg(at, p) < leg(at, best))) best = p;
      taken[size_t(best)] = true;
      greedy.push_back(best);
      at = best;
    }
    return greedy;
  }
  std::vector<int> best = order;
  float bestTotal = UNREACHABLE;
  do {
    float total = 0;
    int at = -1;
    for (int p : order) {
      total += leg(at, p);
      at = p;
    }
    total += leg(at, -1);
    if (total < bestTotal) {
      bestTotal = total;
      best = order;
    }
  } while (std::next_permutation(order.begin(), order.end()));
  return best;
}

// The path a craft following the field takes from `from` to the goal.
std::vector<int> PathAlong(const std::vector<float>& field, int from) {
  std::vector<int> path{from};
  int n = from;
  while (std::isfinite(field[n]) && field[n] > 0 && path.size() < 10000) {
    const int i = n % NODE_COLUMNS, j = n / NODE_COLUMNS;
    int next = n;
    for (int di = -1; di <= 1; di++)
      for (int dj = -1; dj <= 1; dj++) {
        const int a = i + di, b = j + dj;
        if (a >= 0 && b >= 0 && a < NODE_COLUMNS && b < NODE_ROWS && field[NodeIndex(a, b)] < field[next])
          next = NodeIndex(a, b);
      }
    if (next == n) break;
    path.push_back(n = next);
  }
  return path;
}

bool WallCell(const MapLayer& terrain, int x, int y) {
  if (x < 0 || y < 0 || x >= MAP_WIDTH * TILE_SIZE || y >= MAP_HEIGHT * TILE_SIZE) return true;
  return terrain.at(x / TILE_SIZE, y / TILE_SIZE) == TERRAIN_WALL;
}

// Per node: whether the craft there (with a margin) meets the rockets of
// the launcher in cell (cx, cy) on their way up to the first wall.
constexpr int LANE_MARGIN = 20;
std::vector<bool> Lane(const MapLayer& terrain, int cx, int cy) {
  std::vector<bool> lane(NODE_COLUMNS * NODE_ROWS, false);
  const int dir = terrain.at(cx, cy) == TERRAIN_LAUNCHER_LEFT ? -1 : 1;
  int x = cx * TILE_SIZE + (dir < 0 ? 20 : 60), y = cy * TILE_SIZE;
  for (int t = 0; t < 200; t++, x += 10 * dir, y -= 10) {
    if (t > 0 && (WallCell(terrain, x, y) || WallCell(terrain, x + 7, y) || WallCell(terrain, x, y + 7) ||
                  WallCell(terrain, x + 7, y + 7)))
      break;
    // Craft corners (i, j) whose 80 x 40 box, grown by the margin, holds the rocket.
    for (int i = std::max(0, (x - 80 - LANE_MARGIN) / NODE_STEP); i <= std::min(NODE_COLUMNS - 1, (x + 8 + LANE_MARGIN) / NODE_STEP); i++)
      for (int j = std::max(0, (y - 40 - LANE_MARGIN) / NODE_STEP); j <= std::min(NODE_ROWS - 1, (y + 8 + LANE_MARGIN) / NODE_STEP); j++)
        lane[NodeIndex(i, j)] = true;
  }
  return lane;
}

// Whether a shot dropped from the middle of the craft at (x, y) falls on
// the picture at (lx, ly) before it meets a wall.
bool DroppedShotHits(const MapLayer& terrain, int x, int y, int picture, int lx, int ly) {
  const int shotX = x + 40;
  for (int shotY = y; shotY <= ly + TILE_SIZE; shotY += 20) {
    if (PicturesCollide(PICTURE_SHOT, shotX, shotY, picture, lx, ly)) return true;
    if (WallCell(terrain, shotX, shotY) || WallCell(terrain, shotX + 7, shotY + 7)) return false;
  }
  return false;
}

// The places, outside every lane, from which a shot dropped from the craft's
// middle falls on the launcher before it meets a wall.
std::vector<int> ShootingSpots(const MapLayer& terrain, const std::vector<Place>& places,
                               const std::vector<bool>& anyLane, int cx, int cy) {
  std::vector<int> spots;
  const int picture = PICTURE_TERRAIN + terrain.at(cx, cy);
  const int lx = cx * TILE_SIZE, ly = cy * TILE_SIZE;
  for (int i = std::max(0, (lx - 80) / NODE_STEP); i <= std::min(NODE_COLUMNS - 1, (lx + 40) / NODE_STEP); i++)
    for (int j = std::max(0, (ly - 400) / NODE_STEP); j < std::min(NODE_ROWS, ly / NODE_STEP); j++) {
      const int n = NodeIndex(i, j);
      if (places[n] >= PAD || anyLane[n]) continue;
      if (DroppedShotHits(terrain, i * NODE_STEP, j * NODE_STEP, picture, lx, ly)) spots.push_back(n);
    }
  return spots;
}

struct Launcher {
  int cx, cy;
  std::vector<bool> lane;
};

// Puts a goal for every launcher whose lane the way crosses just before the
// goal whose leg crosses it first, in the order the way meets the lanes.
void AddLauncherGoals(Route& route, std::vector<std::vector<int>>& goalNodes, const MapLayer& terrain,
                      const std::vector<Place>& places, int startNode) {
  std::vector<Launcher> launchers;
  std::vector<bool> anyLane(places.size(), false);
  for (int x = 0; x < MAP_WIDTH; x++)
    for (int y = 0; y < MAP_HEIGHT; y++)
      if (terrain.at(x, y) == TERRAIN_LAUNCHER_LEFT || terrain.at(x, y) == TERRAIN_LAUNCHER_RIGHT) {
        launchers.push_back({x, y, Lane(terrain, x, y)});
        for (size_t n = 0; n < places.size(); n++) anyLane[n] = anyLane[n] || launchers.back().lane[n];
      }
  // Where along the way (goal, node index on its leg) each lane is first met.
  std::vector<std::pair<std::pair<size_t, size_t>, size_t>> met;
  int from = startNode;
  for (size_t g = 0; g < route.goals.size(); g++) {
    const std::vector<int> path = PathAlong(route.goals[g].distance, from);
    for (size_t l = 0; l < launchers.size(); l++) {
      bool already = false;
      for (const auto& m : met) already = already || m.second == l;
      for (size_t k = 0; k < path.size() && !already; k++)
        if (launchers[l].lane[size_t(path[k])]) {
          met.push_back({{g, k}, l});
          already = true;
        }
    }
    from = path.back();
  }
  std::sort(met.begin(), met.end());
  std::vector<Goal> goals;
  std::vector<std::vector<int>> nodes;
  size_t next = 0;
  for (size_t g = 0; g < route.goals.size(); g++) {
    for (; next < met.size() && met[next].first.first == g; next++) {
      const Launcher& l = launchers[met[next].second];
      std::vector<int> spots = ShootingSpots(terrain, places, anyLane, l.cx, l.cy);
      if (spots.empty()) continue;
      goals.push_back(Goal{GOAL_LAUNCHER, l.cx, l.cy, DistanceField(places, spots)});
      nodes.push_back(std::move(spots));
    }
    goals.push_back(std::move(route.goals[g]));
    nodes.push_back(std::move(goalNodes[g]));
  }
  route.goals = std::move(goals);
  goalNodes = std::move(nodes);
}

}  // namespace

Route PlanRoute(const MapLayer& terrain, const MapLayer& objects, int startX, int startY) {
  SetTestSections();
  const std::vector<Place> places = ClassifyNodes(terrain);
  std::vector<Prisoner> prisoners;
  for (int x = 0; x < MAP_WIDTH; x++)
    for (int y = 0; y < MAP_HEIGHT; y++)
      if (objects.at(x, y) == OBJECT_PRISONER) {
        Prisoner p{x, y, GoalNodes(places, PICTURE_PRISONER, x, y), {}};
        p.field = DistanceField(places, p.nodes);
        prisoners.push_back(std::move(p));
      }
  std::vector<int> targetNodes;
  for (int x = 0; x < MAP_WIDTH; x++)
    for (int y = 0; y < MAP_HEIGHT; y++)
      if (terrain.at(x, y) == TERRAIN_TARGET_PLATFORM) {
        std::vector<int> nodes = GoalNodes(places, PICTURE_TERRAIN + TERRAIN_TARGET_PLATFORM, x, y);
        targetNodes.insert(targetNodes.end(), nodes.begin(), nodes.end());
      }
  Goal target;
  target.distance = DistanceField(places, targetNodes);
  const int startNode = NodeIndex(std::clamp(startX / NODE_STEP, 0, NODE_COLUMNS - 1),
                                  std::clamp(startY / NODE_STEP, 0, NODE_ROWS - 1));

  Route route;
  std::vector<std::vector<int>> goalNodes;
  for (int p : VisitingOrder(prisoners, startNode, target.distance)) {
    route.goals.push_back(Goal{GOAL_PRISONER, prisoners[size_t(p)].x, prisoners[size_t(p)].y, prisoners[size_t(p)].field});
    goalNodes.push_back(prisoners[size_t(p)].nodes);
  }
  route.goals.push_back(std::move(target));
  goalNodes.push_back(targetNodes);
  AddLauncherGoals(route, goalNodes, terrain, places, startNode);
  route.legAfter.assign(route.goals.size(), 0);
  for (int g = int(route.goals.size()) - 2; g >= 0; g--)
    route.legAfter[size_t(g)] =
        route.legAfter[size_t(g) + 1] + Nearest(route.goals[size_t(g) + 1].distance, goalNodes[size_t(g)]);
  route.wall.resize(places.size());
  for (size_t n = 0; n < places.size(); n++) route.wall[n] = places[n] == WALL;
  route.complete = std::isfinite(route.goals[0].distance[startNode] + route.legAfter[0]);
  return route;
}

namespace {

// The field between the four grid positions around (x, y); unreachable
// corners count as a little more than the worst reachable one.
float FieldAt(const std::vector<float>& field, int x, int y) {
  const float fx = std::clamp(x / float(NODE_STEP), 0.f, float(NODE_COLUMNS - 1));
  const float fy = std::clamp(y / float(NODE_STEP), 0.f, float(NODE_ROWS - 1));
  const int i = std::min(int(fx), NODE_COLUMNS - 2), j = std::min(int(fy), NODE_ROWS - 2);
  const float u = fx - i, v = fy - j;
  float corner[4] = {field[NodeIndex(i, j)], field[NodeIndex(i + 1, j)], field[NodeIndex(i, j + 1)],
                     field[NodeIndex(i + 1, j + 1)]};
  float worst = -1;
  for (float c : corner)
    if (std::isfinite(c)) worst = std::max(worst, c);
  if (worst < 0) return 1e6f;
  for (float& c : corner)
    if (!std::isfinite(c)) c = worst + 5;
  return (corner[0] * (1 - u) + corner[1] * u) * (1 - v) + (corner[2] * (1 - u) + corner[3] * u) * v;
}

bool StillThere(const GameState& state, const Goal& goal) {
  const WorldList& list = goal.kind == GOAL_PRISONER ? state.objectList : state.terrainList;
  const int code = goal.kind == GOAL_PRISONER ? OBJECT_PRISONER : -1;
  for (int i = 0; i < list.Size(); i++) {
    const WorldItem& o = list[i];
    const bool kind = code >= 0 ? o.code == code : o.code == TERRAIN_LAUNCHER_LEFT || o.code == TERRAIN_LAUNCHER_RIGHT;
    if (kind && o.x == goal.cellX * TILE_SIZE && o.y == goal.cellY * TILE_SIZE) return true;
  }
  return false;
}

size_t GoalIndex(const Route& route, const GameState& state) {
  size_t g = 0;
  while (g + 1 < route.goals.size() && !StillThere(state, route.goals[g])) g++;
  return g;
}

}  // namespace

bool CraftFits(const Route& route, int x, int y) {
  if (x < 0 || y < 0) return false;
  const int i = x / NODE_STEP, j = y / NODE_STEP;
  for (int a = i; a <= i + 1; a++)
    for (int b = j; b <= j + 1; b++)
      if (a >= NODE_COLUMNS || b >= NODE_ROWS || route.wall[size_t(NodeIndex(a, b))]) return false;
  return true;
}

float StepsToGo(const Route& route, const GameState& state) {
  return StepsToGoFrom(route, state, state.craftX + state.scrollX, state.craftY + state.scrollY);
}

const Goal& CurrentGoal(const Route& route, const GameState& state) { return route.goals[GoalIndex(route, state)]; }

bool AtShootingSpot(const Route& route, const GameState& state) {
  const Goal& goal = CurrentGoal(route, state);
  const MapLayer& terrain = state.terrainGrid;
  return goal.kind == GOAL_LAUNCHER &&
         DroppedShotHits(terrain, state.craftX + state.scrollX, state.craftY + state.scrollY,
                         PICTURE_TERRAIN + terrain.at(goal.cellX, goal.cellY), goal.cellX * TILE_SIZE,
                         goal.cellY * TILE_SIZE);
}

float StepsToGoFrom(const Route& route, const GameState& state, int x, int y) {
  const size_t g = GoalIndex(route, state);
  return FieldAt(route.goals[g].distance, x, y) + route.legAfter[g];
}
