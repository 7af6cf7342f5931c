// Launchers and collisions: rockets fired at random, then once per frame
// every touch between the craft, the terrain, the objects, the shots and the
// rockets, each through a pixel-exact picture test with the frame each
// sheet drew last.
#include <string>

#include "game/game.h"
#include "media/media.h"

namespace {

// The size of each picture's section, read at the start of the pass: nothing
// is drawn during the pass, so the sections stay as the drawing left them.
struct Size {
  int w, h;
};
Size sectionSize[PICTURE_PRISONER + 1];

void ReadSectionSizes() {
  for (int n = 0; n <= PICTURE_PRISONER; n++) sectionSize[n] = {PictureWidth(n), PictureHeight(n)};
}

// The pixel test, answered at once for pictures whose rectangles do not meet:
// a pass tests tens of thousands of pairs, and nearly all of them lie apart.
bool Touch(int p, int px, int py, int q, int qx, int qy) {
  const Size a = sectionSize[p], b = sectionSize[q];
  if (qx >= px + a.w || qx + b.w <= px || qy >= py + a.h || qy + b.h <= py) return false;
  return PicturesCollide(p, px, py, q, qx, qy) != 0;
}

int CraftWorldX() { return game.craftX + game.scrollX; }
int CraftWorldY() { return game.craftY + game.scrollY; }

bool CraftTouches(int picture, int x, int y) { return Touch(PICTURE_CRAFT, CraftWorldX(), CraftWorldY(), picture, x, y); }

// Shots and rockets keep a screen column and a world row.
bool ProjectileTouches(const WorldItem& p, int picture, int x, int y) {
  return Touch(PICTURE_SHOT, p.x + game.scrollX, p.y, picture, x, y);
}

void DestroyCraft() {
  game.craftDestroyed = 1;
  StartGameSound(SOUND_EXPLOSION, 0);
}

void SetCheckpoint() {
  game.onPlatform = 1;
  game.checkpointCraftX = game.craftX;
  game.checkpointCraftY = game.craftY;
  game.checkpointScrollX = game.scrollX;
  game.checkpointScrollY = game.scrollY;
}

// Removes every projectile of the list that touches the item.
void StopProjectiles(WorldList& list, int picture, const WorldItem& item) {
  for (WorldItem* p = list.First(); p; p = list.Next())
    if (ProjectileTouches(*p, picture, item.x, item.y)) list.RemoveCurrent();
}

// Removes the first shot that touches the item; true if there was one. The
// walk goes on to the end, so that the next shot fired is added at the end.
bool TakeHit(int picture, const WorldItem& item) {
  WorldList& shots = game.shotList;
  bool hit = false;
  for (WorldItem* s = shots.First(); s; s = shots.Next()) {
    if (!hit && ProjectileTouches(*s, picture, item.x, item.y)) {
      shots.RemoveCurrent();
      hit = true;
    }
  }
  return hit;
}

void TerrainWalk() {
  WorldList& terrain = game.terrainList;
  for (WorldItem* t = terrain.First(); t; t = terrain.Next()) {
    const int code = t->code;
    const int picture = PICTURE_TERRAIN + code;
    if (code == TERRAIN_LANDING_PAD && CraftTouches(picture, t->x, t->y)) SetCheckpoint();
    if (code == TERRAIN_TARGET_PLATFORM && CraftTouches(picture, t->x, t->y)) {
      SetCheckpoint();
      if (game.prisonersLeft > 0)
        game.statusMessage = "Noch " + std::to_string(game.prisonersLeft) + " Gefangene zu befreien";
      else
        game.levelComplete = 1;
    }
    if ((code == TERRAIN_WALL || code == TERRAIN_BLOCK) && CraftTouches(picture, t->x, t->y)) DestroyCraft();
    if (code == TERRAIN_WALL) {
      StopProjectiles(game.shotList, picture, *t);
      StopProjectiles(game.rocketList, picture, *t);
    }
    if ((code == TERRAIN_BLOCK || code == TERRAIN_LAUNCHER_LEFT || code == TERRAIN_LAUNCHER_RIGHT) &&
        TakeHit(picture, *t)) {
      terrain.RemoveCurrent();
      StartGameSound(SOUND_EXPLOSION, 0);
    }
  }
}

// An enemy level with the craft's mid-height closes in by 2 pixels a frame
// while the craft's left edge is within 300 pixels; right above it, both
// steps apply and it stays.
void Pursue(WorldItem& enemy) {
  const int cx = CraftWorldX();
  const int middle = CraftWorldY() + 20;
  const bool level = enemy.y <= middle && middle <= enemy.y + 40;
  if (level && enemy.x <= cx && cx <= enemy.x + 300) enemy.x += 2;
  if (level && enemy.x - 300 <= cx && cx <= enemy.x) enemy.x -= 2;
}

void ObjectWalk() {
  WorldList& objects = game.objectList;
  for (WorldItem* o = objects.First(); o; o = objects.Next()) {
    if (o->code == OBJECT_ENEMY && TakeHit(PICTURE_ENEMY, *o)) {
      objects.RemoveCurrent();
      StartGameSound(SOUND_EXPLOSION, 0);
      continue;
    }
    if (o->code == OBJECT_ENEMY && CraftTouches(PICTURE_ENEMY, o->x, o->y)) {
      objects.RemoveCurrent();
      DestroyCraft();
      continue;
    }
    if (o->code == OBJECT_PRISONER && CraftTouches(PICTURE_PRISONER, o->x, o->y)) {
      objects.RemoveCurrent();
      game.prisonersLeft--;
      continue;
    }
    if (o->code == OBJECT_ENEMY) Pursue(*o);
  }
}

// Rockets are tested where they are drawn and fly on after a hit.
void RocketWalk() {
  WorldList& rockets = game.rocketList;
  for (WorldItem* r = rockets.First(); r; r = rockets.Next())
    if (Touch(PICTURE_CRAFT, game.craftX, game.craftY, PICTURE_SHOT, r->x, r->y - game.scrollY))
      DestroyCraft();
}

}  // namespace

// Launchers fire in one frame out of eleven on average, all of them at once,
// on screen or not, from their cell's top edge.
void FireLaunchers() {
  if (RandomUpTo(10) != 5) return;
  WorldList& terrain = game.terrainList;
  for (WorldItem* t = terrain.First(); t; t = terrain.Next()) {
    if (t->code == TERRAIN_LAUNCHER_LEFT) AddRocket(t->x - game.scrollX + 20, t->y, 1);
    if (t->code == TERRAIN_LAUNCHER_RIGHT) AddRocket(t->x - game.scrollX + 60, t->y, 3);
  }
}

void ResolveCollisions() {
  game.onPlatform = 0;
  game.statusMessage.clear();
  ReadSectionSizes();
  TerrainWalk();
  ObjectWalk();
  RocketWalk();
}
