// Sheets and world drawing: which frame a sheet kind draws, the animation
// tick, the backdrop's parallax, and how shots and rockets move and leave.
#include <gtest/gtest.h>

#include "game/game.h"
#include "game_fixture.h"
#include "media/headless.h"

namespace {

using namespace gametest;

using Drawing = GameTest;

TEST_F(Drawing, SheetFramesAreCutByKind) {
  struct Case {
    int frame, kind, picture;
    int w, h;  // the frame's solid part in the test pictures
  };
  const Case cases[] = {
      {7, SHEET_CRAFT, PICTURE_CRAFT, 80, 40},  // row 1, column 2
      {29, SHEET_CRAFT, PICTURE_CRAFT, 80, 40},
      {9, TERRAIN_BLOCK, PICTURE_TERRAIN + TERRAIN_BLOCK, 40, 40},  // the last frame of the sheet
      {0, TERRAIN_WALL, PICTURE_TERRAIN + TERRAIN_WALL, 40, 40},
      {4, SHEET_OBJECTS + OBJECT_ENEMY, PICTURE_ENEMY, 40, 40},
      {3, SHEET_PRISONER, PICTURE_PRISONER, 40, 40},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "frame " << c.frame << " of kind " << c.kind);
    Clear();
    DrawSheetFrame(c.frame, 100, 200, c.kind);
    const uint32_t colour = FrameColour(c.picture, c.frame);
    EXPECT_EQ(At(100, 200), colour);
    EXPECT_EQ(At(100 + c.w - 1, 200 + c.h - 1), colour);
    EXPECT_EQ(At(100 + c.w, 200), 0u);
    EXPECT_EQ(At(100, 200 + c.h), 0u);
    EXPECT_EQ(CountNot(0), c.w * c.h);
  }
}

TEST_F(Drawing, KindsWithoutASheetDrawNothing) {
  Clear();
  for (int kind : {-1, 7, 9, 11, SHEET_OBJECTS + OBJECT_START, 16, 17, 100}) DrawSheetFrame(0, 100, 100, kind);
  DrawSheetFrame(5, 100, 100, TERRAIN_EMPTY);  // transparent all over
  EXPECT_EQ(CountNot(0), 0);
}

TEST_F(Drawing, TheAnimationTicksAtOnceThenEveryTenthOfASecondAndMore) {
  headless::SetClock(9000);
  std::vector<int> ticks;
  for (int frame = 0; frame < 30; frame++) {
    AnimationTick();
    if (game.tickDue) ticks.push_back(frame);
    FlipScreen();  // 1000/60 ms on the virtual clock
  }
  // Six frames are exactly 100 ms, which is not more than the interval.
  EXPECT_EQ(ticks, (std::vector<int>{0, 7, 14, 21, 28}));
}

TEST_F(Drawing, PhasesAdvanceAndWrap) {
  game.tileFrame = 9;
  game.craftPhase = 4;
  AdvancePhases();
  EXPECT_EQ(game.tileFrame, 0);
  EXPECT_EQ(game.craftPhase, 0);
  AdvancePhases();
  EXPECT_EQ(game.tileFrame, 1);
  EXPECT_EQ(game.craftPhase, 1);
}

TEST_F(Drawing, TheBackdropScrollsAtHalfTheTerrainsSpeed) {
  MakeTestPicture(PICTURE_BACKDROP, 40, 40, [](int x, int) { return x == 0 ? 0x0000FFu : 0x202020u; });
  ClearWorld();
  for (int x = 0; x < BACKDROP_COLUMNS; x++)
    for (int y = 0; y < BACKDROP_ROWS; y++) AddBackdropItem(x * 40, y * 40, 0);
  for (int x = 0; x < 50; x++)
    for (int y = 0; y < 40; y++) AddTerrainItem(x * 40, y * 40, x == 13 && y == 0 ? TERRAIN_WALL : 0);
  game.scrollX = 501;
  DrawWorld();
  // Backdrop tiles start at 40k - 250, the wall at 520 - 501.
  EXPECT_EQ(At(30, 300), 0x0000FFu);
  EXPECT_EQ(At(31, 300), 0x202020u);
  EXPECT_EQ(At(19, 0), FrameColour(PICTURE_TERRAIN + TERRAIN_WALL, 0));
  EXPECT_EQ(At(58, 39), FrameColour(PICTURE_TERRAIN + TERRAIN_WALL, 0));
  EXPECT_NE(At(59, 39), FrameColour(PICTURE_TERRAIN + TERRAIN_WALL, 0));
}

TEST_F(Drawing, ProjectilesMoveBeforeTheyAreDrawnAndLeaveAtTheSides) {
  struct Case {
    const char* name;
    bool rocket;
    int x, y, kind;
    bool stays;
    int movedX, movedY;
  };
  const Case cases[] = {
      {"right beyond 800", false, 790, 100, 0, false, 810, 100},
      {"right to 800", false, 780, 100, 0, true, 800, 100},
      {"left to -1", false, 19, 100, 4, false, -1, 100},
      {"left to 0", false, 20, 100, 4, true, 0, 100},
      {"down-right", false, 100, 100, 1, true, 120, 120},
      {"down-left", false, 100, 100, 3, true, 80, 120},
      {"down", false, 100, 100, 2, true, 100, 120},
      {"rocket up-left", true, 100, 100, 1, true, 90, 90},
      {"rocket up", true, 100, 100, 2, true, 100, 90},
      {"rocket up-right", true, 795, 100, 3, false, 805, 90},
      {"rocket of no kind", true, 100, 100, 7, true, 100, 100},
      // A shot falling straight down leaves once no view can show it again.
      {"down to the last row", false, 100, 1800, 2, true, 100, 1820},
      {"down below every view", false, 100, 1810, 2, false, 100, 1830},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ClearWorld();
    WorldList& list = c.rocket ? game.rocketList : game.shotList;
    list.Add(c.x, c.y, c.kind);
    DrawWorld();
    ASSERT_EQ(list.Size(), c.stays ? 1 : 0);
    if (c.stays) {
      EXPECT_EQ(list[0].x, c.movedX);
      EXPECT_EQ(list[0].y, c.movedY);
    }
  }
}

TEST_F(Drawing, ProjectilesKeepTheirScreenColumnAndFollowTheViewVertically) {
  ClearWorld();
  AddShot(300, 500, 5);  // a kind that does not move
  game.scrollX = 0;
  game.scrollY = 400;
  Clear();
  DrawWorld();
  EXPECT_EQ(At(300, 100), 0xFFFFFFu);
  game.scrollX = 640;
  game.scrollY = 404;
  Clear();
  DrawWorld();
  EXPECT_EQ(At(300, 96), 0xFFFFFFu);
  EXPECT_EQ(At(300, 104), 0u);
}

}  // namespace
