// Sprite sheets: the 100 ms animation tick and drawing frame N of a sheet.
#include "game/game.h"
#include "media/media.h"

namespace {

struct Sheet {
  int picture;  // -1: the kind draws nothing
  int frameWidth, frameHeight;
  int framesPerRow;
};

Sheet SheetOfKind(int kind) {
  if (kind >= 0 && kind <= 6) return {PICTURE_TERRAIN + kind, 80, 80, 10};
  switch (kind) {
    case SHEET_CRAFT: return {PICTURE_CRAFT, 80, 40, 5};
    case SHEET_OBJECTS + OBJECT_NONE: return {PICTURE_OBJECT_NONE, 40, 40, 10};
    case SHEET_OBJECTS + OBJECT_ENEMY: return {PICTURE_ENEMY, 40, 40, 10};
    case SHEET_PRISONER: return {PICTURE_PRISONER, 40, 40, 10};
    default: return {-1, 0, 0, 1};
  }
}

}  // namespace

// Ticks when more than tickInterval has passed: at an exact 60 frames per
// second that is every 7th frame. lastTick starts at 0, so the first call
// ticks. The difference is taken unsigned so that the clock's wrap after 49
// days does not stop the animation.
void AnimationTick() {
  if (MillisecondClock() - uint32_t(game.lastTick) > uint32_t(game.tickInterval)) {
    game.tickDue = 1;
    game.lastTick = int32_t(MillisecondClock());
  } else {
    game.tickDue = 0;
  }
}

void AdvancePhases() {
  game.tileFrame = (game.tileFrame + 1) % 10;
  game.craftPhase = (game.craftPhase + 1) % 5;
}

// Leaves the picture's section on the frame drawn: the collision tests use
// the frame each sheet showed last.
void DrawSheetFrame(int frame, int x, int y, int kind) {
  Sheet sheet = SheetOfKind(kind);
  if (sheet.picture < 0) return;
  int row = TruncateToInt(double(frame) / sheet.framesPerRow);
  int column = frame - row * sheet.framesPerRow;
  SetPictureSection(sheet.picture, column * sheet.frameWidth, row * sheet.frameHeight, sheet.frameWidth,
                    sheet.frameHeight);
  DrawPictureKeyed(sheet.picture, x, y);
}
