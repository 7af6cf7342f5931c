// Level loading: the layers, the three cell lists in column order, the
// prisoner count over every stored cell, and where the craft and the view
// start.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "game/game.h"
#include "game_fixture.h"
#include "media/headless.h"
#include "support/program_run.h"
#include "support/test_support.h"

namespace {

using namespace gametest;

class Level : public GameTest {
 protected:
  std::string dir;
  void SetUp() override {
    GameTest::SetUp();
    dir = testsupport::MakeTempFolder();
    ASSERT_FALSE(dir.empty());
    ClearWorld();
  }
  void TearDown() override { testsupport::RemoveTempFolder(dir); }
  std::string Path(const std::string& name) const { return dir + "/" + name; }

  // Writes a map with these objects (x, y, code) and loads it.
  void LoadObjects(std::initializer_list<std::array<int, 3>> objects) {
    MapLayer terrain, objectGrid;
    for (auto [x, y, code] : objects) objectGrid.at(x, y) = int16_t(code);
    std::string path = Path("level.map");
    ASSERT_TRUE(WriteMapFile(path.c_str(), terrain, objectGrid));
    LoadLevel(path.c_str());
  }
};

TEST_F(Level, StartCellPlacesTheCraftAndTheView) {
  struct Case {
    int column, row;
    int scrollX, scrollY, craftX, craftY;
  };
  const Case cases[] = {
      {20, 15, 500, 400, 300, 200},   // the start cell's corner at screen (300, 200)
      {7, 10, 0, 200, 280, 200},      // near the left edge the view stops at 0
      {3, 2, 0, 0, 120, 80},          // and near the top
      {10, 34, 100, 1160, 300, 200},  // the view scrolls no lower than 1160
      {10, 39, 100, 1160, 300, 400},
      {49, 10, 1660, 200, 300, 200},  // no right limit yet
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "cell " << c.column << ", " << c.row);
    LoadObjects({{c.column, c.row, OBJECT_START}});
    EXPECT_EQ(game.scrollX, c.scrollX);
    EXPECT_EQ(game.scrollY, c.scrollY);
    EXPECT_EQ(game.craftX, c.craftX);
    EXPECT_EQ(game.craftY, c.craftY);
    EXPECT_EQ(game.startCraftX, c.craftX);
    EXPECT_EQ(game.startCraftY, c.craftY);
    EXPECT_EQ(game.startScrollX, c.scrollX);
    EXPECT_EQ(game.startScrollY, c.scrollY);
  }
}

TEST_F(Level, AStartFarRightIsLimitedByTheFirstFrameWithoutMovingTheCraft) {
  LoadObjects({{49, 10, OBJECT_START}});
  LimitPositions();
  EXPECT_EQ(game.scrollX, 1240);
  EXPECT_EQ(game.craftX, 300);  // 420 pixels left of its start cell
}

TEST_F(Level, TheLastStartCellInColumnOrderWins) {
  LoadObjects({{12, 3, OBJECT_START}, {10, 20, OBJECT_START}});
  EXPECT_EQ(game.craftX + game.scrollX, 12 * 40);
  LoadObjects({{12, 8, OBJECT_START}, {12, 3, OBJECT_START}});
  EXPECT_EQ(game.craftY + game.scrollY, 8 * 40);
}

TEST_F(Level, WithoutAStartCellThePositionsStayAsTheyWere) {
  game.craftX = 11;
  game.scrollY = 22;
  game.startScrollX = 33;
  LoadObjects({});
  EXPECT_EQ(game.craftX, 11);
  EXPECT_EQ(game.scrollY, 22);
  EXPECT_EQ(game.startScrollX, 33);
}

TEST_F(Level, PrisonersAreCountedOverEveryStoredCellAndAddedToTheCount) {
  game.prisonersLeft = 2;
  LoadObjects({{0, 0, OBJECT_PRISONER}, {50, 7, OBJECT_PRISONER}, {9, 40, OBJECT_PRISONER}});
  EXPECT_EQ(game.prisonersLeft, 5);
  // The ones outside the world have no item: that map can never be completed.
  int items = 0;
  for (int i = 0; i < game.objectList.Size(); i++) items += game.objectList[i].code == OBJECT_PRISONER;
  EXPECT_EQ(items, 1);
}

TEST_F(Level, BuildsOneItemPerCellInColumnOrderAndKeepsProjectiles) {
  MapLayer terrain, objects;
  terrain.at(0, 1) = TERRAIN_WALL;
  terrain.at(49, 39) = TERRAIN_BLOCK;
  objects.at(1, 0) = OBJECT_ENEMY;
  terrain.at(50, 0) = TERRAIN_WALL;  // stored, but outside the world
  std::string path = Path("level.map");
  ASSERT_TRUE(WriteMapFile(path.c_str(), terrain, objects));
  AddShot(1, 2, 0);
  AddRocket(3, 4, 1);
  LoadLevel(path.c_str());
  ASSERT_EQ(game.terrainList.Size(), 2000);
  ASSERT_EQ(game.objectList.Size(), 2000);
  ASSERT_EQ(game.backdropList.Size(), 36 * 26);
  for (int i = 0; i < 2000; i++) {
    EXPECT_EQ(game.terrainList[i].x, i / 40 * 40);
    EXPECT_EQ(game.terrainList[i].y, i % 40 * 40);
    EXPECT_EQ(game.terrainList[i].code, terrain.at(i / 40, i % 40));
    EXPECT_EQ(game.objectList[i].code, objects.at(i / 40, i % 40));
  }
  EXPECT_EQ(game.backdropList[935].x, 35 * 40);
  EXPECT_EQ(game.backdropList[935].y, 25 * 40);
  EXPECT_EQ(game.shotList.Size(), 1);
  EXPECT_EQ(game.rocketList.Size(), 1);
  // Loading again rebuilds the lists instead of adding to them.
  LoadLevel(path.c_str());
  EXPECT_EQ(game.terrainList.Size(), 2000);
}

TEST_F(Level, HighBytesReadAsNegativeCodesAndAShortFileReadsAsZeros) {
  testsupport::Bytes bytes = {0x81, 0xFF, 1, 3};  // cells (0, 0) and (0, 1)
  std::string path = Path("short.map");
  ASSERT_TRUE(testsupport::WriteFileBytes(path, bytes));
  LoadLevel(path.c_str());
  EXPECT_EQ(game.terrainGrid.at(0, 0), -127);
  EXPECT_EQ(game.objectGrid.at(0, 0), -1);
  EXPECT_EQ(game.terrainGrid.at(0, 1), 1);
  EXPECT_EQ(game.objectGrid.at(0, 1), 3);
  EXPECT_EQ(game.terrainGrid.at(0, 2), 0);
  EXPECT_EQ(game.prisonersLeft, 1);
}

TEST_F(Level, AMissingFileIsCreatedEmptyAndGivesAnEmptyWorld) {
  game.terrainGrid.at(3, 3) = TERRAIN_WALL;
  LoadLevel(Path("none.map").c_str());
  EXPECT_TRUE(std::filesystem::exists(Path("none.map")));
  EXPECT_EQ(testsupport::ReadFileBytes(Path("none.map")).size(), 0u);
  EXPECT_EQ(game.terrainGrid.at(3, 3), 0);
  EXPECT_EQ(game.terrainList.Size(), 2000);
  EXPECT_TRUE(headless::MessageBoxes().empty());
}

TEST_F(Level, AFileThatCannotBeOpenedEndsTheProgramWithItsMessage) {
  std::string path = Path("no folder/level.map");
  EXPECT_THROW(LoadLevel(path.c_str()), headless::ProgramEnded);
  testsupport::ExpectLastError("Kann Datei nicht öffnen");
}

}  // namespace
