// The craft: steering and firing, sinking, the limits of craft and view, the
// explosion with the respawn, and drawing it.
#include "game/game.h"
#include "media/media.h"

namespace {

// First frame of the craft sheet's group for each heading.
int CraftFirstFrame(int heading) {
  switch (heading) {
    case 3: return 0;   // hovering facing right
    case 2: return 5;   // flying right
    case 4: return 10;  // hovering facing left
    case 0: return 15;  // flying left
    default: return 20;  // 1, flying vertically
  }
}
constexpr int EXPLOSION_FIRST_FRAME = 25;

bool Held(int key) { return KeyDown(key) != 0; }

// One press of the fire key gives at most one shot.
bool TakeFire() {
  if (!Held(KEY_FIRE) || game.fireLatch != 0) return false;
  game.fireLatch = 1;
  return true;
}

void SteerAndFire() {
  if (KeyJustReleased(KEY_RIGHT)) game.craftHeading = 3;
  if (KeyJustReleased(KEY_LEFT)) game.craftHeading = 4;
  if (KeyJustReleased(KEY_FIRE)) {
    game.fireLatch = 0;
    StartGameSound(SOUND_FIRE, 0);
  }
  const int speed = game.craftSpeed;
  if (Held(KEY_LEFT) && game.onPlatform == 0) {
    game.craftHeading = 0;
    game.craftX -= speed;
    if (game.craftX <= 400 && game.scrollX > 0) {
      game.craftX = 400;
      game.scrollX -= speed;
    }
    if (TakeFire()) AddShot(game.craftX, game.craftY + game.scrollY + 30, 3);
  }
  if (Held(KEY_RIGHT) && game.onPlatform == 0) {
    game.craftHeading = 2;
    game.craftX += speed;
    if (game.craftX >= 400 && game.scrollX < 1240) {
      game.craftX = 400;
      game.scrollX += speed;
    }
    if (TakeFire()) AddShot(game.craftX + 70, game.craftY + game.scrollY + 30, 1);
  }
  const bool sideways = Held(KEY_RIGHT) || Held(KEY_LEFT);
  if (Held(KEY_UP)) {  // also lifts off a platform
    if (!sideways) game.craftHeading = 1;
    game.craftY -= speed;
    if (game.craftY <= 200 && game.scrollY > 0) {
      game.craftY = 200;
      game.scrollY -= speed;
    }
    if (TakeFire()) AddShot(game.craftX + 40, game.craftY + game.scrollY, 2);
  }
  if (Held(KEY_DOWN) && game.onPlatform == 0) {
    if (!sideways) game.craftHeading = 1;
    game.craftY += speed;
    if (game.craftY >= 200 && game.scrollY < 1160) {
      game.craftY = 200;
      game.scrollY += speed;
    }
    if (TakeFire()) AddShot(game.craftX + 40, game.craftY + game.scrollY, 2);
  }
  // Fire without movement, by heading; flying sideways it only sets the latch.
  if (TakeFire()) {
    if (game.craftHeading == 1) AddShot(game.craftX + 40, game.craftY + game.scrollY, 2);
    if (game.craftHeading == 3) AddShot(game.craftX, game.craftY + game.scrollY + 20, 0);
    if (game.craftHeading == 4) AddShot(game.craftX, game.craftY + game.scrollY + 20, 4);
  }
}

bool CheckpointSet() {
  return game.checkpointCraftX != 0 || game.checkpointCraftY != 0 || game.checkpointScrollX != 0 ||
         game.checkpointScrollY != 0;
}

}  // namespace

void ControlCraft() {
  if (game.craftDestroyed == 0) SteerAndFire();
  game.craftFrame = CraftFirstFrame(game.craftHeading) + game.craftPhase;
}

// One pixel a frame unless climbing or resting; the sinking scrolls the view
// only down to 1120.
void SinkCraft() {
  if (game.craftDestroyed != 0 || Held(KEY_UP) || game.onPlatform != 0) return;
  game.craftY += 1;
  if (game.craftY >= 200 && game.scrollY < 1120) {
    game.craftY = 200;
    game.scrollY += 1;
  }
}

void LimitPositions() {
  if (game.scrollX < 0) game.scrollX = 0;
  if (game.scrollY < 0) game.scrollY = 0;
  if (game.scrollX > SCROLL_X_LIMIT) game.scrollX = SCROLL_X_LIMIT;
  if (game.scrollY > SCROLL_Y_LIMIT) game.scrollY = SCROLL_Y_LIMIT;
  if (game.craftX < 0) game.craftX = 0;
  if (game.craftY < 0) game.craftY = 0;
  if (game.craftX > 760) game.craftX = 760;
  if (game.craftY > 400) game.craftY = 400;
}

// 25 explosion frames; in the 25th the craft already stands at the
// checkpoint (five pixels above it) or at the start, one life less.
void ExplodeAndRespawn() {
  if (game.craftDestroyed == 1 && game.explosionTimer < EXPLOSION_FRAMES) {
    game.craftFrame = EXPLOSION_FIRST_FRAME + game.craftPhase;
    game.explosionTimer++;
    game.craftHeading = 1;
  } else {
    game.craftDestroyed = 0;
    game.explosionTimer = 0;
  }
  if (game.explosionTimer != EXPLOSION_FRAMES) return;
  // A checkpoint counts as set when any of its values is not 0: one recorded
  // with the craft at the screen's left or top edge is still a checkpoint.
  if (CheckpointSet()) {
    game.scrollX = game.checkpointScrollX;
    game.scrollY = game.checkpointScrollY;
    game.craftX = game.checkpointCraftX;
    game.craftY = game.checkpointCraftY - 5;
  } else {
    game.craftX = game.startCraftX;
    game.craftY = game.startCraftY;
    game.scrollX = game.startScrollX;
    game.scrollY = game.startScrollY;
  }
  game.craftHeading = 1;
  game.lives--;
}

void DrawCraft() { DrawSheetFrame(game.craftFrame, game.craftX, game.craftY, SHEET_CRAFT); }
