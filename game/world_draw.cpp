// World drawing: the backdrop at half scroll speed, terrain, objects, then the
// shots and rockets, which are moved as they are drawn.
#include "game/game.h"
#include "media/media.h"

namespace {

struct Step {
  int dx, dy;
};

Step ShotStep(int kind) {
  switch (kind) {
    case 0: return {20, 0};
    case 1: return {20, 20};
    case 2: return {0, 20};
    case 3: return {-20, 20};
    case 4: return {-20, 0};
    default: return {0, 0};
  }
}

Step RocketStep(int kind) {
  switch (kind) {
    case 1: return {-10, -10};
    case 2: return {0, -10};
    case 3: return {10, -10};
    default: return {0, 0};
  }
}

// Projectiles keep a screen column and a world row. One that leaves the
// screen sideways is gone; so is one that has fallen below every row the
// view can show, which could otherwise fall for ever.
void MoveAndDrawProjectiles(WorldList& list, Step (*stepOf)(int kind)) {
  for (WorldItem* p = list.First(); p; p = list.Next()) {
    Step step = stepOf(p->code);
    p->x += step.dx;
    p->y += step.dy;
    DrawPicture(PICTURE_SHOT, p->x, p->y - game.scrollY);
    if (p->x > VIEW_WIDTH || p->x < 0 || p->y > PROJECTILE_BOTTOM) list.RemoveCurrent();
  }
}

}  // namespace

// Every item is handed to the drawing operations, visible or not: their
// clipping skips what lies outside, and each sheet keeps the frame it drew
// last for the collision pass.
void DrawWorld() {
  const WorldList& backdrop = game.backdropList;
  for (int i = 0; i < backdrop.Size(); i++)
    DrawPicture(PICTURE_BACKDROP, backdrop[i].x - game.scrollX / 2, backdrop[i].y - game.scrollY / 2);
  const WorldList& terrain = game.terrainList;
  for (int i = 0; i < terrain.Size(); i++)
    DrawSheetFrame(game.tileFrame, terrain[i].x - game.scrollX, terrain[i].y - game.scrollY, terrain[i].code);
  const WorldList& objects = game.objectList;
  for (int i = 0; i < objects.Size(); i++)
    DrawSheetFrame(game.tileFrame, objects[i].x - game.scrollX, objects[i].y - game.scrollY,
                   objects[i].code + SHEET_OBJECTS);
  MoveAndDrawProjectiles(game.shotList, ShotStep);
  MoveAndDrawProjectiles(game.rocketList, RocketStep);
}
