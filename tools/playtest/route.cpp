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
constexpr float NEAR_WALL_COST = 1;  // keeps the way off the walls where there is room
constexpr int CRAFT_TEST_FRAME = 20;  // flying vertically

enum Place : uint8_t { FREE, NEAR_WALL, BLOCK, WALL };

int NodeIndex(int i, int j) { return j * NODE_COLUMNS + i; }

void SetTestSections() {
  SetPictureSection(PICTURE_CRAFT, CRAFT_TEST_FRAME % 5 * 80, CRAFT_TEST_FRAME / 5 * 40, 80, 40);
  for (int code = 1; code <= 6; code++) SetPictureSection(PICTURE_TERRAIN + code, 0, 0, 80, 80);
  SetPictureSection(PICTURE_PRISONER, 0, 0, 40, 40);
}

// Whether the craft at world (x, y) touches a terrain cell of this code.
bool CraftTouchesCode(const MapLayer& terrain, int x, int y, int code) {
  for (int cx = std::max(0, (x - 79) / TILE_SIZE); cx <= std::min(MAP_WIDTH - 1, (x + 79) / TILE_SIZE); cx++)
    for (int cy = std::max(0, (y - 79) / TILE_SIZE); cy <= std::min(MAP_HEIGHT - 1, (y + 39) / TILE_SIZE); cy++)
      if (terrain.at(cx, cy) == code &&
          PicturesCollide(PICTURE_CRAFT, x, y, PICTURE_TERRAIN + code, cx * TILE_SIZE, cy * TILE_SIZE))
        return true;
  return false;
}

std::vector<Place> ClassifyNodes(const MapLayer& terrain) {
  std::vector<Place> places(NODE_COLUMNS * NODE_ROWS, FREE);
  for (int i = 0; i < NODE_COLUMNS; i++)
    for (int j = 0; j < NODE_ROWS; j++) {
      const int x = i * NODE_STEP, y = j * NODE_STEP;
      if (CraftTouchesCode(terrain, x, y, TERRAIN_WALL))
        places[NodeIndex(i, j)] = WALL;
      else if (CraftTouchesCode(terrain, x, y, TERRAIN_BLOCK))
        places[NodeIndex(i, j)] = BLOCK;
    }
  std::vector<Place> marked = places;
  for (int i = 0; i < NODE_COLUMNS; i++)
    for (int j = 0; j < NODE_ROWS; j++) {
      if (places[NodeIndex(i, j)] != FREE) continue;
      for (int di = -2; di <= 2; di++)
        for (int dj = -2; dj <= 2; dj++) {
          const int a = i + di, b = j + dj;
          if (a >= 0 && b >= 0 && a < NODE_COLUMNS && b < NODE_ROWS && places[NodeIndex(a, b)] == WALL)
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
  std::vector<const std::vector<int>*> goalNodes;
  for (int p : VisitingOrder(prisoners, startNode, target.distance)) {
    route.goals.push_back(Goal{prisoners[size_t(p)].x, prisoners[size_t(p)].y, prisoners[size_t(p)].field});
    goalNodes.push_back(&prisoners[size_t(p)].nodes);
  }
  route.goals.push_back(std::move(target));
  route.legAfter.assign(route.goals.size(), 0);
  for (int g = int(route.goals.size()) - 2; g >= 0; g--)
    route.legAfter[size_t(g)] =
        route.legAfter[size_t(g) + 1] + Nearest(route.goals[size_t(g) + 1].distance, *goalNodes[size_t(g)]);
  route.complete = std::isfinite(route.goals[0].distance[startNode] + route.legAfter[0]);
  for (Place place : places) route.blocked.push_back(place == BLOCK ? 1 : place == WALL ? 2 : 0);
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

bool PrisonerStillThere(const GameState& state, const Goal& goal) {
  for (int i = 0; i < state.objectList.Size(); i++) {
    const WorldItem& o = state.objectList[i];
    if (o.code == OBJECT_PRISONER && o.x == goal.cellX * TILE_SIZE && o.y == goal.cellY * TILE_SIZE) return true;
  }
  return false;
}

}  // namespace

bool TouchesBlock(const Route& route, int x, int y) {
  const int i = std::clamp((x + NODE_STEP / 2) / NODE_STEP, 0, NODE_COLUMNS - 1);
  const int j = std::clamp((y + NODE_STEP / 2) / NODE_STEP, 0, NODE_ROWS - 1);
  return route.blocked[size_t(NodeIndex(i, j))] == 1;
}

float StepsToGo(const Route& route, const GameState& state) {
  return StepsToGoFrom(route, state, state.craftX + state.scrollX, state.craftY + state.scrollY);
}

float StepsToGoFrom(const Route& route, const GameState& state, int x, int y) {
  size_t g = 0;
  while (g + 1 < route.goals.size() && !PrisonerStillThere(state, route.goals[g])) g++;
  return FieldAt(route.goals[g].distance, x, y) + route.legAfter[g];
}
