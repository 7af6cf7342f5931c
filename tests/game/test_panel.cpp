// The status panel and the radar: texts at their places and colours, the
// drawing order, and the radar's pixels and view frame.
#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "game/game.h"
#include "game_fixture.h"
#include "media/headless.h"

namespace {

using namespace gametest;

using Pixels = std::set<std::pair<int, int>>;

class Panel : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    ClearWorld();
    BuildWorld();
  }
  // The pixels of `colour` within the rectangle.
  static Pixels PixelsOf(uint32_t colour, int x0, int y0, int x1, int y1) {
    Pixels found;
    for (int y = y0; y < y1; y++)
      for (int x = x0; x < x1; x++)
        if (At(x, y) == colour) found.insert({x, y});
    return found;
  }
  // The pixels a text alone makes at (x, y) in `colour`.
  static Pixels TextAlone(int x, int y, const char* text, uint32_t colour) {
    Clear();
    BeginDrawing(ScreenCanvas());
    SetDrawingMode(1);
    SetDrawingColor(colour);
    DrawString(x, y, text);
    EndDrawing();
    return PixelsOf(colour, 0, 0, 800, 600);
  }
  static void ClipTo(Pixels& pixels, int x0, int y0, int x1, int y1) {
    for (auto it = pixels.begin(); it != pixels.end();)
      it = (it->first >= x0 && it->first < x1 && it->second >= y0 && it->second < y1) ? std::next(it)
                                                                                        : pixels.erase(it);
  }
};

const uint32_t BLUE = PackColor(0, 0, 255);
const uint32_t RED = PackColor(255, 0, 0);

TEST_F(Panel, TextsStandAtTheirPlaces) {
  game.mapNumber = 3;
  game.statusMessage = "Noch 2 Gefangene zu befreien";
  const Pixels level = TextAlone(370, 450, "LEVEL : 3", BLUE);
  const Pixels radar = TextAlone(370, 470, "RADAR:", BLUE);
  const Pixels message = TextAlone(0, 10, "Noch 2 Gefangene zu befreien", RED);
  ASSERT_FALSE(level.empty());
  Clear();
  DrawStatusPanel();
  EXPECT_EQ(PixelsOf(BLUE, 360, 445, 560, 470), level);
  EXPECT_EQ(PixelsOf(BLUE, 360, 470, 560, 490), radar);
  EXPECT_EQ(PixelsOf(RED, 0, 0, 800, 440), message);
  EXPECT_EQ(At(0, 440), PackColor(200, 200, 200));  // the panel picture
}

TEST_F(Panel, TheLivesIconCoversTheStartOfTheLivesNumber) {
  game.lives = 888;
  game.prisonersLeft = 88;
  Pixels lives = TextAlone(450, 560, "888", BLUE);
  Pixels prisoners = TextAlone(365, 560, "88", BLUE);
  Clear();
  DrawStatusPanel();
  // The icon, frame 20 of the craft sheet, covers x 380..459 of rows 550..589.
  const uint32_t icon = FrameColour(PICTURE_CRAFT, 20);
  EXPECT_EQ(At(380, 550), icon);
  EXPECT_EQ(At(459, 589), icon);
  ClipTo(lives, 460, 0, 800, 600);
  ASSERT_FALSE(lives.empty());
  EXPECT_EQ(PixelsOf(BLUE, 440, 550, 520, 600), lives);
  // The prisoner count lies over the prisoner icon (x 330..369) and under the lives icon.
  ClipTo(prisoners, 0, 0, 380, 600);
  EXPECT_EQ(PixelsOf(BLUE, 330, 550, 380, 600), prisoners);
  EXPECT_EQ(At(330, 550), FrameColour(PICTURE_PRISONER, 3));
}

TEST_F(Panel, TheRadarShowsTheLiveListsOnePixelPerCell) {
  struct Cell {
    int x, y, terrain, object;
    uint32_t colour;  // at (370 + x, 490 + y)
  };
  const Cell cells[] = {
      {0, 0, TERRAIN_WALL, OBJECT_NONE, PackColor(150, 0, 0)},
      {1, 0, TERRAIN_LANDING_PAD, OBJECT_NONE, PackColor(0, 150, 10)},
      {2, 0, TERRAIN_BLOCK, OBJECT_NONE, PackColor(150, 150, 150)},
      {3, 5, TERRAIN_LAUNCHER_LEFT, OBJECT_NONE, PackColor(255, 255, 0)},
      {4, 5, TERRAIN_LAUNCHER_RIGHT, OBJECT_NONE, PackColor(255, 255, 0)},
      {49, 39, TERRAIN_TARGET_PLATFORM, OBJECT_NONE, PackColor(0, 0, 255)},
      {20, 20, TERRAIN_WALL, OBJECT_ENEMY, PackColor(255, 255, 255)},  // objects cover terrain
      {21, 20, TERRAIN_EMPTY, OBJECT_START, PackColor(50, 50, 50)},    // no pixel
  };
  for (const Cell& c : cells) {
    game.terrainGrid.at(c.x, c.y) = int16_t(c.terrain);
    game.objectGrid.at(c.x, c.y) = int16_t(c.object);
  }
  game.objectGrid.at(10, 0) = OBJECT_PRISONER;
  game.objectGrid.at(30, 30) = OBJECT_PRISONER;
  BuildWorld();
  game.scrollX = 1240;
  game.scrollY = 1160;
  Clear();
  DrawRadar(370, 490, 1);
  for (const Cell& c : cells) EXPECT_EQ(At(370 + c.x, 490 + c.y), c.colour) << c.x << ", " << c.y;
  // Prisoners one pixel above their cell, even above the radar.
  EXPECT_EQ(At(380, 489), PackColor(255, 150, 0));
  EXPECT_EQ(At(400, 519), PackColor(255, 150, 0));
  EXPECT_EQ(At(400, 520), PackColor(50, 50, 50));
  // The view's frame: 21 by 12 pixels from (x + 31, y + 29).
  for (int i = 0; i <= 20; i++) {
    EXPECT_EQ(At(401 + i, 519), 0u);
    EXPECT_EQ(At(401 + i, 530), 0u);
  }
  for (int i = 0; i <= 11; i++) {
    EXPECT_EQ(At(401, 519 + i), 0u);
    EXPECT_EQ(At(421, 519 + i), 0u);
  }
  EXPECT_EQ(At(402, 520), PackColor(50, 50, 50));
  EXPECT_EQ(At(419, 489), 0u);  // nothing outside the box but the prisoners
}

TEST_F(Panel, AnEnemyThatMovedIsPlottedWhereItIsNow) {
  AddObjectItem(10 * 40 + 40, 5 * 40, OBJECT_ENEMY);
  Clear();
  DrawRadar(370, 490, 0);
  EXPECT_EQ(At(381, 495), PackColor(255, 255, 255));
  EXPECT_EQ(At(370, 490), PackColor(50, 50, 50));  // no view frame
}

TEST_F(Panel, ABlockDestroyedInThisFramesCollisionsIsGoneFromItsRadar) {
  game.terrainGrid.at(2, 3) = TERRAIN_BLOCK;
  BuildWorld();
  game.craftX = 300;
  game.craftY = 200;
  AddShot(80 + 5, 120 + 5, 9);  // over the block, not moving
  ASSERT_TRUE(FramePass());
  EXPECT_EQ(game.terrainList.Size(), 1999);
  const std::vector<uint32_t>& frame = headless::LastFrame();
  EXPECT_EQ(frame[size_t(490 + 3) * 800 + 370 + 2], PackColor(50, 50, 50));
}

}  // namespace
