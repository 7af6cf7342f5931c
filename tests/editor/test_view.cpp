// What a pass of the frame loop shows: scrolling with its limits, the map
// view, the overview map with its square, the status texts, and the quit
// question.
#include <gtest/gtest.h>

#include "editor_fixture.h"
#include "support/program_run.h"

namespace {

using namespace testsupport;

using EditorScroll = EditorTest;

// The offsets never show a number below 0 or beyond the last cells.
TEST_F(EditorScroll, CursorKeysMoveACellPerFrameAndStopAtTheEdges) {
  const uint32_t green = PackColor(0, 200, 0);
  Point(700, 300);  // over the panel, clear of the texts
  Hold(KEY_LEFT);
  Hold(KEY_UP);
  Pass(2);
  ExpectText(605, 50, "X-Offset: 0", green);
  ExpectText(605, 70, "Y-Offset: 0", green);
  Hold(KEY_LEFT, false);
  Hold(KEY_UP, false);
  Hold(KEY_RIGHT);
  Pass(3);
  EXPECT_EQ(editor.scrollX, 120);
  Pass(37);
  EXPECT_EQ(editor.scrollX, SCROLL_X_MAX);
  EXPECT_EQ(editor.firstVisibleColumn, 35);
  ExpectText(605, 50, "X-Offset: 1400", green);
  Hold(KEY_RIGHT, false);
  Hold(KEY_DOWN);
  Pass(30);
  ExpectText(605, 70, "Y-Offset: 1000", green);
  // Opposite keys cancel.
  Hold(KEY_UP);
  Pass();
  EXPECT_EQ(editor.scrollY, SCROLL_Y_MAX);
}

using EditorView = EditorTest;

// The same content at the map's far corner, seen at the largest scroll, looks
// exactly as at the near corner seen unscrolled: the view shows columns
// 35..49 and rows 25..39.
TEST_F(EditorView, TheLargestScrollShowsTheLastFifteenColumnsAndRows) {
  LoadPack();
  Point(599, 599);
  auto place = [](int dx, int dy) {
    editor = EditorState{};
    editor.terrainGrid.at(dx, dy) = TERRAIN_WALL;
    editor.terrainGrid.at(dx + 14, dy + 14) = TERRAIN_LANDING_PAD;
    editor.objectGrid.at(dx + 14, dy + 14) = OBJECT_PRISONER;
    editor.terrainGrid.at(dx + 7, dy) = TERRAIN_TARGET_PLATFORM;
  };
  place(0, 0);
  Pass();
  const std::vector<uint32_t> nearCorner = Area(0, 0, 599, 599);
  place(35, 25);
  editor.scrollX = SCROLL_X_MAX;
  editor.scrollY = SCROLL_Y_MAX;
  Pass();
  EXPECT_EQ(Area(0, 0, 599, 599), nearCorner);
  // Neither the column before nor the one after shows.
  editor.terrainGrid.at(34, 25) = TERRAIN_WALL;
  editor.terrainGrid.at(50, 39) = TERRAIN_WALL;
  Pass();
  EXPECT_EQ(Area(0, 0, 599, 599), nearCorner);
}

// One pixel per cell at (659 + column, 1 + row); launchers, the target
// platform and the start point leave the panel's pixel.
TEST_F(EditorView, OverviewMapColoursEachCellByItsCodes) {
  LoadPack();
  Point(700, 300);
  editor.scrollY = 400;  // the square on rows 10..23, away from the cells looked at
  DrawPicture(PICTURE_PANEL, PANEL_X, 0);
  const std::vector<uint32_t> panel = Area(OVERVIEW_X, OVERVIEW_Y, 52, 42);
  auto bare = [&panel](int c, int r) { return panel[size_t(r) * 52 + c]; };
  auto overview = [](int c, int r) { return At(OVERVIEW_X + c, OVERVIEW_Y + r); };
  const uint32_t grey = PackColor(100, 100, 100), red = PackColor(255, 0, 0);
  editor.terrainGrid.at(1, 0) = TERRAIN_WALL;
  editor.terrainGrid.at(2, 0) = TERRAIN_LANDING_PAD;
  editor.terrainGrid.at(3, 0) = TERRAIN_BLOCK;
  editor.terrainGrid.at(40, 4) = TERRAIN_LAUNCHER_LEFT;
  editor.terrainGrid.at(41, 4) = TERRAIN_LAUNCHER_RIGHT;
  editor.terrainGrid.at(42, 4) = TERRAIN_TARGET_PLATFORM;
  editor.objectGrid.at(5, 7) = OBJECT_ENEMY;
  editor.terrainGrid.at(6, 7) = TERRAIN_LANDING_PAD;
  editor.objectGrid.at(6, 7) = OBJECT_PRISONER;
  editor.terrainGrid.at(7, 7) = TERRAIN_WALL;
  editor.objectGrid.at(7, 7) = OBJECT_START;
  editor.terrainGrid.at(49, 39) = TERRAIN_WALL;
  editor.terrainGrid.at(50, 40) = TERRAIN_WALL;  // stored, but not part of the used area
  Pass();
  EXPECT_EQ(overview(20, 30), grey);
  EXPECT_EQ(overview(1, 0), red);
  EXPECT_EQ(overview(2, 0), PackColor(0, 200, 0));
  EXPECT_EQ(overview(3, 0), PackColor(100, 0, 0));
  for (int c = 40; c <= 42; c++) {
    EXPECT_EQ(overview(c, 4), bare(c, 4)) << c;
    EXPECT_NE(bare(c, 4), grey) << c;
  }
  EXPECT_EQ(overview(5, 7), PackColor(255, 255, 255));
  EXPECT_EQ(overview(6, 7), PackColor(255, 255, 0));
  EXPECT_EQ(overview(7, 7), red);  // the start point is not shown
  EXPECT_EQ(overview(49, 39), red);
  EXPECT_EQ(overview(50, 40), bare(50, 40));
  EXPECT_EQ(overview(50, 0), bare(50, 0));
  EXPECT_EQ(overview(0, 40), bare(0, 40));
}

// The white square's corners are the view's first cell and 13 cells on.
TEST_F(EditorView, OverviewSquareFollowsTheScroll) {
  Point(700, 300);
  const uint32_t white = PackColor(255, 255, 255), grey = PackColor(100, 100, 100);
  struct Case {
    int scrollX, scrollY, left, top;
  };
  for (const Case c : {Case{0, 0, 659, 1}, Case{SCROLL_X_MAX, SCROLL_Y_MAX, 694, 26}, Case{400, 80, 669, 3}}) {
    SCOPED_TRACE(c.left);
    editor.scrollX = c.scrollX;
    editor.scrollY = c.scrollY;
    Pass();
    const int right = c.left + 13, bottom = c.top + 13;
    for (int i = 0; i <= 13; i++) {
      EXPECT_EQ(At(c.left + i, c.top), white);
      EXPECT_EQ(At(c.left + i, bottom), white);
      EXPECT_EQ(At(c.left, c.top + i), white);
      EXPECT_EQ(At(right, c.top + i), white);
    }
    EXPECT_EQ(At(c.left + 1, c.top + 1), grey);
    EXPECT_EQ(At(right - 1, bottom - 1), grey);
    if (c.left > 659) {
      EXPECT_EQ(At(c.left - 1, c.top), grey);
    }
    if (right < 708) {
      EXPECT_EQ(At(right + 1, bottom), grey);
    }
    if (bottom < 40) {
      EXPECT_EQ(At(c.left, bottom + 1), grey);
    }
  }
}

TEST_F(EditorView, StatusTextsShowTheCursorCellAndOffsets) {
  editor.scrollX = 400;
  editor.scrollY = 80;
  Point(599, 10);
  Pass();
  EXPECT_EQ(editor.cursorCellX, 24);
  EXPECT_EQ(editor.cursorCellY, 2);
  const uint32_t green = PackColor(0, 200, 0);
  ExpectText(605, 10, "X: 24", green);
  ExpectText(605, 30, "Y: 2", green);
  ExpectText(605, 50, "X-Offset: 400", green);
  ExpectText(605, 70, "Y-Offset: 80", green);
  ExpectText(605, 540, "F1 für Hilfe", green);
  // Over the panel the cell stays as it was.
  Point(650, 580);
  Pass();
  EXPECT_EQ(editor.cursorCellX, 24);
  EXPECT_EQ(editor.cursorCellY, 2);
}

// The preview under the pointer is the chosen icon as it would be set,
// drawn even where it would be refused; with no icon chosen there is none.
TEST_F(EditorView, PreviewShowsTheChosenIconWithoutSettingIt) {
  LoadPack();
  PointAtCell(3, 3);
  const std::vector<uint32_t> emptyCell = Area(120, 120, 39, 39);
  EXPECT_EQ(emptyCell, Area(0, 0, 39, 39));  // as any empty cell
  ChooseIconAt(1);  // wall
  PointAtCell(3, 3);
  const std::vector<uint32_t> preview = Area(120, 120, 39, 39);
  EXPECT_NE(preview, emptyCell);
  EXPECT_EQ(editor.terrainGrid.at(3, 3), TERRAIN_EMPTY);
  Button(true);
  Pass();
  Button(false);
  PointAtCell(6, 6);
  EXPECT_EQ(Area(120, 120, 39, 39), preview);
  // A prisoner would be refused on the wall; its preview still shows there.
  ChooseIconAt(5);
  PointAtCell(3, 3);
  EXPECT_NE(Area(120, 120, 39, 39), preview);
  EXPECT_EQ(editor.objectGrid.at(3, 3), OBJECT_NONE);
}

using EditorQuit = EditorTest;

// While the question stands the screen shows its two lines on black; N goes
// on with the same map and scroll.
TEST_F(EditorQuit, EscapeAsksAndNGoesOnWithMapAndScrollUnchanged) {
  LoadPack();
  editor.terrainGrid.at(4, 4) = TERRAIN_WALL;
  editor.scrollX = 200;
  Point(700, 300);
  Pass();
  Hold(KEY_ESCAPE);
  int flips = 0;
  std::vector<uint32_t> question;
  headless::OnFrame([&](int) {
    if (++flips == 2) question = headless::LastFrame();
    if (flips == 5) {
      Hold(KEY_ESCAPE, false);
      Hold(KEY_N);
    }
  });
  Pass();
  EXPECT_EQ(flips, 6);  // the pass's own flip, then the question until N is read
  EXPECT_EQ(editor.quitDeclined, 0);
  EXPECT_EQ(editor.scrollX, 200);
  EXPECT_EQ(editor.terrainGrid.at(4, 4), TERRAIN_WALL);
  const uint32_t red = PackColor(255, 0, 0);
  Screen().hidden = question;
  ExpectText(320, 290, "Wirklich beenden (j/n) ?", red);
  ExpectText(270, 310, "Nicht gespeicherte Daten gehen verloren !", red);
  EXPECT_TRUE(std::all_of(question.begin(), question.end(), [red](uint32_t p) { return p == BLACK || p == red; }));
}

TEST_F(EditorQuit, JEndsAtOnceEvenWithNHeldAndSavesNothing) {
  editor.objectGrid.at(1, 1) = OBJECT_START;
  Hold(KEY_ESCAPE);
  Hold(KEY_J);
  Hold(KEY_N);
  EXPECT_EQ(RunToEnd(EditorFramePass), 0);
  EXPECT_FALSE(Exists("maps/own .map"));
  EXPECT_TRUE(headless::MessageBoxes().empty());
}

}  // namespace
