// The palette and the placement rules: which icon a click chooses, where the
// chosen icon is set, what is refused, and the marker counts.
#include <gtest/gtest.h>

#include "editor_fixture.h"

namespace {

using namespace testsupport;

using EditorPalette = EditorTest;

// Each icon's top and bottom rows choose it. The hit area is x 620..660 and
// y 100..500, where y 500 chooses nothing.
TEST_F(EditorPalette, EachIconChoosesItsLayerAndCodeWithinTheHitArea) {
  struct Icon {
    int layer, code;
  };
  // Top to bottom; the block comes before the landing pad.
  const Icon icons[PALETTE_ICONS] = {{1, 0}, {1, 1}, {1, 3}, {1, 2}, {1, 6}, {2, 3}, {2, 2}, {1, 4}, {1, 5}, {2, 1}};
  Button(true);
  for (int i = 0; i < PALETTE_ICONS; i++) {
    for (int y : {100 + 40 * i, 139 + 40 * i}) {
      SCOPED_TRACE(y);
      editor.selectedLayer = editor.selectedCode = -1;
      Point(620, y);
      ReadInput();
      ChooseIcon();
      EXPECT_EQ(editor.selectedLayer, icons[i].layer);
      EXPECT_EQ(editor.selectedCode, icons[i].code);
    }
  }
  Point(660, 100);
  Pass();
  EXPECT_EQ(editor.selectedLayer, LAYER_TERRAIN);  // the eraser
  EXPECT_EQ(editor.selectedCode, TERRAIN_EMPTY);
  ChooseIconAt(9);  // the enemy
  for (auto [x, y] : {std::pair{640, 500}, {661, 300}, {619, 300}, {640, 99}}) {
    SCOPED_TRACE(testing::Message() << x << ", " << y);
    Point(x, y);
    Button(true);
    Pass();
    EXPECT_EQ(editor.selectedCode, OBJECT_ENEMY);
  }
  // Without the button nothing is chosen.
  Button(false);
  Point(640, 120);
  Pass();
  EXPECT_EQ(editor.selectedCode, OBJECT_ENEMY);
}

using EditorPlacement = EditorTest;

TEST_F(EditorPlacement, NothingIsSetBeforeAnIconIsChosen) {
  PointAtCell(2, 2);
  Button(true);
  Pass(3);
  for (int16_t c : editor.terrainGrid.cells) ASSERT_EQ(c, 0);
  for (int16_t c : editor.objectGrid.cells) ASSERT_EQ(c, 0);
}

// With the scroll and the pointer's pixel both taken into account.
TEST_F(EditorPlacement, TheCellUnderThePointerIsSetInTheNextPass) {
  ChooseIconAt(1);
  editor.scrollX = 1400;
  editor.scrollY = 1000;
  Point(599, 0);
  Pass();
  EXPECT_EQ(editor.cursorCellX, 49);
  EXPECT_EQ(editor.cursorCellY, 25);
  // Moving and pressing in one frame sets the cell of the previous pass.
  Point(0, 599);
  Button(true);
  Pass();
  EXPECT_EQ(editor.terrainGrid.at(49, 25), TERRAIN_WALL);
  EXPECT_EQ(editor.terrainGrid.at(35, 39), TERRAIN_EMPTY);
  Pass();
  EXPECT_EQ(editor.terrainGrid.at(35, 39), TERRAIN_WALL);
  // The button held over the panel sets nothing; the first pass back over
  // the view still sets the cell refreshed before the pointer left.
  editor.terrainGrid.at(35, 39) = TERRAIN_EMPTY;
  Point(700, 550);
  Pass();
  EXPECT_EQ(editor.terrainGrid.at(35, 39), TERRAIN_EMPTY);
  Point(300, 300);
  Pass();
  EXPECT_EQ(editor.terrainGrid.at(35, 39), TERRAIN_WALL);
  EXPECT_EQ(editor.terrainGrid.at(42, 32), TERRAIN_EMPTY);
}

// Dragging sets one cell per frame: a pointer faster than a cell per frame
// leaves gaps.
TEST_F(EditorPlacement, DraggingPaintsOneCellPerFrame) {
  ChooseIconAt(2);  // block
  PointAtCell(0, 5);
  Button(true);
  for (int x = 0; x < 600; x += 80) {
    Point(x + 10, 5 * 40 + 10);
    Pass();
  }
  Pass();
  for (int c = 0; c < 15; c++) EXPECT_EQ(editor.terrainGrid.at(c, 5), c % 2 == 0 ? TERRAIN_BLOCK : TERRAIN_EMPTY) << c;
}

TEST_F(EditorPlacement, EnemiesAndPrisonersStandOnlyOnEmptyCellsAndLandingPads) {
  for (int terrain = 0; terrain <= 6; terrain++) {
    editor.terrainGrid.at(terrain, 0) = int16_t(terrain);
    editor.terrainGrid.at(terrain, 1) = int16_t(terrain);
  }
  ChooseIconAt(5);  // prisoner
  for (int terrain = 0; terrain <= 6; terrain++) PaintCell(terrain, 0);
  ChooseIconAt(9);  // enemy
  for (int terrain = 0; terrain <= 6; terrain++) PaintCell(terrain, 1);
  for (int terrain = 0; terrain <= 6; terrain++) {
    SCOPED_TRACE(terrain);
    const bool allowed = terrain == TERRAIN_EMPTY || terrain == TERRAIN_LANDING_PAD;
    EXPECT_EQ(editor.objectGrid.at(terrain, 0), allowed ? OBJECT_PRISONER : OBJECT_NONE);
    EXPECT_EQ(editor.objectGrid.at(terrain, 1), allowed ? OBJECT_ENEMY : OBJECT_NONE);
    EXPECT_EQ(editor.terrainGrid.at(terrain, 0), terrain);
  }
  EXPECT_EQ(editor.prisonerCount, 2);
}

TEST_F(EditorPlacement, TerrainStaysUnderAnObjectAndTheEraserClearsBoth) {
  editor.terrainGrid.at(3, 3) = TERRAIN_LANDING_PAD;
  editor.objectGrid.at(3, 3) = OBJECT_PRISONER;
  ChooseIconAt(1);  // wall
  PaintCell(3, 3);
  EXPECT_EQ(editor.terrainGrid.at(3, 3), TERRAIN_LANDING_PAD);
  EXPECT_EQ(editor.objectGrid.at(3, 3), OBJECT_PRISONER);
  PaintCell(4, 3);
  EXPECT_EQ(editor.terrainGrid.at(4, 3), TERRAIN_WALL);
  ChooseIconAt(0);  // eraser
  PaintCell(3, 3);
  PaintCell(4, 3);
  EXPECT_EQ(editor.terrainGrid.at(3, 3), TERRAIN_EMPTY);
  EXPECT_EQ(editor.objectGrid.at(3, 3), OBJECT_NONE);
  EXPECT_EQ(editor.terrainGrid.at(4, 3), TERRAIN_EMPTY);
}

TEST_F(EditorPlacement, OneStartPointAtMostAndANewOneAfterErasing) {
  editor.terrainGrid.at(2, 2) = TERRAIN_BLOCK;
  ChooseIconAt(6);  // start point
  PaintCell(2, 2);  // on any terrain
  EXPECT_EQ(editor.objectGrid.at(2, 2), OBJECT_START);
  // Dragging over the map with the button held sets no second one.
  PointAtCell(5, 5);
  Button(true);
  for (int c = 5; c < 12; c++) {
    Point(c * 40 + 5, 5 * 40 + 5);
    Pass();
  }
  Button(false);
  Pass();
  EXPECT_EQ(editor.startCount, 1);
  ChooseIconAt(0);
  PaintCell(2, 2);
  EXPECT_EQ(editor.terrainGrid.at(2, 2), TERRAIN_EMPTY);
  EXPECT_EQ(editor.startCount, 0);
  ChooseIconAt(6);
  PaintCell(7, 8);
  EXPECT_EQ(editor.objectGrid.at(7, 8), OBJECT_START);
  EXPECT_EQ(editor.startCount, 1);
}

TEST_F(EditorPlacement, StartPointAndPrisonerReplaceEachOther) {
  editor.terrainGrid.at(1, 1) = TERRAIN_LANDING_PAD;
  editor.objectGrid.at(1, 1) = OBJECT_PRISONER;
  ChooseIconAt(6);
  PaintCell(1, 1);
  EXPECT_EQ(editor.objectGrid.at(1, 1), OBJECT_START);
  ChooseIconAt(5);
  PaintCell(1, 1);
  EXPECT_EQ(editor.objectGrid.at(1, 1), OBJECT_PRISONER);
  EXPECT_EQ(editor.startCount, 0);
  EXPECT_EQ(editor.prisonerCount, 1);
}

// A map that already holds two start points (as a loaded one may) keeps both, and
// takes a new one only when both are gone.
TEST_F(EditorPlacement, ALoadedMapWithTwoStartPointsKeepsBoth) {
  editor.objectGrid.at(1, 1) = OBJECT_START;
  editor.objectGrid.at(9, 9) = OBJECT_START;
  Pass();
  EXPECT_EQ(editor.startCount, 2);
  ChooseIconAt(6);
  PaintCell(4, 4);
  EXPECT_EQ(editor.objectGrid.at(4, 4), OBJECT_NONE);
  ChooseIconAt(0);
  PaintCell(1, 1);
  ChooseIconAt(6);
  PaintCell(4, 4);
  EXPECT_EQ(editor.objectGrid.at(4, 4), OBJECT_NONE);
  ChooseIconAt(0);
  PaintCell(9, 9);
  ChooseIconAt(6);
  PaintCell(4, 4);
  EXPECT_EQ(editor.objectGrid.at(4, 4), OBJECT_START);
}

// Every cell of both layers counts, column 50 and row 40 included, and the
// counts are taken anew in every pass.
TEST_F(EditorPlacement, CountsCoverAllCellsInEveryPass) {
  editor.terrainGrid.at(50, 0) = TERRAIN_TARGET_PLATFORM;
  editor.terrainGrid.at(0, 40) = TERRAIN_TARGET_PLATFORM;
  editor.objectGrid.at(50, 40) = OBJECT_PRISONER;
  editor.objectGrid.at(0, 0) = OBJECT_PRISONER;
  editor.objectGrid.at(25, 40) = OBJECT_START;
  editor.objectGrid.at(26, 40) = OBJECT_ENEMY;
  Pass();
  EXPECT_EQ(editor.targetCount, 2);
  EXPECT_EQ(editor.prisonerCount, 2);
  EXPECT_EQ(editor.startCount, 1);
  editor.objectGrid.at(50, 40) = OBJECT_NONE;
  editor.terrainGrid.at(50, 0) = TERRAIN_EMPTY;
  Pass();
  EXPECT_EQ(editor.targetCount, 1);
  EXPECT_EQ(editor.prisonerCount, 1);
}

}  // namespace
