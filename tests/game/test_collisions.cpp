// Collisions: landing and the checkpoint, the target platform, crashes,
// shots against walls, blocks, launchers and enemies, rockets, the enemies'
// pursuit, prisoners, and the launchers' fire. The test pictures are solid
// squares, so touching means overlapping rectangles.
#include <gtest/gtest.h>

#include "game/game.h"
#include "game_fixture.h"
#include "media/headless.h"

namespace {

using namespace gametest;

constexpr int STILL = 9;  // a projectile kind that does not move

class Collisions : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    ClearWorld();
    BuildWorld();
    PlaceCraft(100, 100);
  }

  // The craft's top-left corner at world (x, y), with the view at (0, 0).
  static void PlaceCraft(int x, int y) {
    game.scrollX = 0;
    game.scrollY = 0;
    game.craftX = x;
    game.craftY = y;
  }
  static void SetCell(int x, int y, int terrain, int object = OBJECT_NONE) {
    game.terrainGrid.at(x, y) = int16_t(terrain);
    game.objectGrid.at(x, y) = int16_t(object);
    BuildWorld();
  }
  // Drawing sets every sheet's frame; then the collision pass.
  static void Pass() {
    DrawWorld();
    DrawCraft();
    ResolveCollisions();
  }
  static int TerrainAt(int x, int y) {
    for (int i = 0; i < game.terrainList.Size(); i++)
      if (game.terrainList[i].x == x * 40 && game.terrainList[i].y == y * 40) return game.terrainList[i].code;
    return -1;  // no item
  }
  static const WorldItem* ObjectAt(int x, int y) {
    for (int i = 0; i < game.objectList.Size(); i++)
      if (game.objectList[i].x == x * 40 && game.objectList[i].y == y * 40) return &game.objectList[i];
    return nullptr;
  }
};

TEST_F(Collisions, LandingOnAPadRestsTheCraftAndRecordsTheCheckpoint) {
  SetCell(5, 5, TERRAIN_LANDING_PAD);
  game.scrollX = 40;
  game.scrollY = 80;
  game.craftX = 150;  // world (190, 201): its bottom row overlaps the pad's top
  game.craftY = 81;
  Pass();
  EXPECT_EQ(game.onPlatform, 1);
  EXPECT_EQ(game.checkpointCraftX, 150);
  EXPECT_EQ(game.checkpointCraftY, 81);
  EXPECT_EQ(game.checkpointScrollX, 40);
  EXPECT_EQ(game.checkpointScrollY, 80);
  EXPECT_EQ(game.craftDestroyed, 0);
  game.craftY = 80;  // one pixel higher: no contact
  Pass();
  EXPECT_EQ(game.onPlatform, 0);
  EXPECT_EQ(game.checkpointCraftY, 81);  // the last landing stays recorded
}

TEST_F(Collisions, TheTargetPlatformRemindsOfPrisonersOnlyWhileTouched) {
  SetCell(5, 4, TERRAIN_TARGET_PLATFORM);
  game.prisonersLeft = 2;
  PlaceCraft(190, 121);
  Pass();
  EXPECT_EQ(game.statusMessage, "Noch 2 Gefangene zu befreien");
  EXPECT_EQ(game.onPlatform, 1);
  EXPECT_EQ(game.levelComplete, 0);
  EXPECT_EQ(game.checkpointCraftX, 190);
  PlaceCraft(190, 120);
  Pass();
  EXPECT_EQ(game.statusMessage, "");
  EXPECT_EQ(game.onPlatform, 0);
}

TEST_F(Collisions, TheTargetPlatformCompletesAMapWithoutPrisonersLeft) {
  SetCell(5, 4, TERRAIN_TARGET_PLATFORM);
  PlaceCraft(190, 121);
  Pass();
  EXPECT_EQ(game.levelComplete, 1);
  EXPECT_EQ(game.statusMessage, "");
}

TEST_F(Collisions, WallsAndBlocksDestroyTheCraftLaunchersAndPlatformsDoNot) {
  EnableSound();
  struct Case {
    int terrain;
    bool destroys;
  };
  for (Case c : {Case{TERRAIN_WALL, true}, Case{TERRAIN_BLOCK, true}, Case{TERRAIN_LAUNCHER_LEFT, false},
                 Case{TERRAIN_LAUNCHER_RIGHT, false}, Case{TERRAIN_EMPTY, false}}) {
    SCOPED_TRACE(c.terrain);
    SetCell(3, 3, c.terrain);
    game.craftDestroyed = 0;
    headless::ClearSoundEvents();
    PlaceCraft(100, 100);  // over the middle of cell (3, 3)
    Pass();
    EXPECT_EQ(game.craftDestroyed, c.destroys ? 1 : 0);
    EXPECT_EQ(SoundStarts(SOUND_EXPLOSION), c.destroys ? 1 : 0);
    EXPECT_EQ(TerrainAt(3, 3), c.terrain);  // the craft destroys no terrain
  }
}

TEST_F(Collisions, OneShotDestroysOnlyTheFirstOfTwoBlocksItTouches) {
  SetCell(10, 5, TERRAIN_BLOCK);
  SetCell(10, 6, TERRAIN_BLOCK);
  AddShot(410, 236, STILL);  // over both blocks
  Pass();
  EXPECT_EQ(TerrainAt(10, 5), -1);
  EXPECT_EQ(TerrainAt(10, 6), TERRAIN_BLOCK);
  EXPECT_EQ(game.shotList.Size(), 0);
  // Two shots on one block: the second one flies on.
  AddShot(410, 250, STILL);
  AddShot(420, 250, STILL);
  Pass();
  EXPECT_EQ(TerrainAt(10, 6), -1);
  ASSERT_EQ(game.shotList.Size(), 1);
  EXPECT_EQ(game.shotList[0].x, 420);
}

TEST_F(Collisions, AShotFiredAfterAHitIsAddedAtTheEnd) {
  SetCell(10, 5, TERRAIN_BLOCK);
  AddShot(410, 210, STILL);  // hits the block
  AddShot(600, 100, STILL);
  AddShot(700, 100, STILL);
  Pass();
  AddShot(100, 100, STILL);
  ASSERT_EQ(game.shotList.Size(), 3);
  EXPECT_EQ(game.shotList[0].x, 600);
  EXPECT_EQ(game.shotList[2].x, 100);
}

TEST_F(Collisions, ShotsDestroyLaunchersAndEnemiesButNotPrisonersOrPlatforms) {
  EnableSound();
  SetCell(2, 8, TERRAIN_LAUNCHER_LEFT);
  SetCell(4, 8, TERRAIN_LAUNCHER_RIGHT);
  SetCell(6, 8, TERRAIN_LANDING_PAD);
  SetCell(8, 8, TERRAIN_TARGET_PLATFORM);
  SetCell(10, 8, TERRAIN_EMPTY, OBJECT_ENEMY);
  SetCell(12, 8, TERRAIN_EMPTY, OBJECT_PRISONER);
  for (int x = 2; x <= 12; x += 2) AddShot(x * 40 + 10, 330, STILL);
  Pass();
  EXPECT_EQ(TerrainAt(2, 8), -1);
  EXPECT_EQ(TerrainAt(4, 8), -1);
  EXPECT_EQ(TerrainAt(6, 8), TERRAIN_LANDING_PAD);
  EXPECT_EQ(TerrainAt(8, 8), TERRAIN_TARGET_PLATFORM);
  EXPECT_EQ(ObjectAt(10, 8), nullptr);
  EXPECT_NE(ObjectAt(12, 8), nullptr);
  EXPECT_EQ(game.shotList.Size(), 3);  // those over the pad, the platform and the prisoner
  EXPECT_EQ(SoundStarts(SOUND_EXPLOSION), 3);
}

TEST_F(Collisions, AWallStopsEveryShotAndRocketThatTouchesIt) {
  SetCell(10, 5, TERRAIN_WALL);
  SetCell(12, 5, TERRAIN_BLOCK);
  for (int dx : {0, 10, 20, 32}) AddShot(400 + dx, 210, STILL);
  AddShot(441, 210, STILL);  // just beside the wall
  AddRocket(405, 220, STILL);
  AddRocket(485, 220, STILL);  // over the block: rockets pass blocks
  Pass();
  ASSERT_EQ(game.shotList.Size(), 1);
  EXPECT_EQ(game.shotList[0].x, 441);
  ASSERT_EQ(game.rocketList.Size(), 1);
  EXPECT_EQ(game.rocketList[0].x, 485);
  EXPECT_EQ(TerrainAt(12, 5), TERRAIN_BLOCK);
}

TEST_F(Collisions, RemovingTheFirstItemOfAListLetsTheWalkGoOn) {
  SetCell(0, 0, TERRAIN_BLOCK);
  SetCell(0, 1, TERRAIN_BLOCK);
  AddShot(10, 10, STILL);
  AddShot(10, 50, STILL);
  Pass();
  EXPECT_EQ(TerrainAt(0, 0), -1);
  EXPECT_EQ(TerrainAt(0, 1), -1);
  EXPECT_EQ(game.terrainList.Size(), 1998);
  EXPECT_EQ(game.shotList.Size(), 0);
}

TEST_F(Collisions, TouchingAnEnemyDestroysBoth) {
  SetCell(3, 3, TERRAIN_EMPTY, OBJECT_ENEMY);
  Pass();
  EXPECT_EQ(game.craftDestroyed, 1);
  EXPECT_EQ(ObjectAt(3, 3), nullptr);
}

TEST_F(Collisions, PrisonersArePickedUpAlsoByAnExplodingCraft) {
  SetCell(3, 3, TERRAIN_EMPTY, OBJECT_PRISONER);
  game.prisonersLeft = 1;
  game.craftDestroyed = 1;
  Pass();
  EXPECT_EQ(game.prisonersLeft, 0);
  EXPECT_EQ(ObjectAt(3, 3), nullptr);
  Pass();
  EXPECT_EQ(game.prisonersLeft, 0);  // once only
}

TEST_F(Collisions, EnemiesCloseInOnTheCraftsRow) {
  // A craft without solid pixels, so that only the pursuit acts.
  MakeTestPicture(PICTURE_CRAFT, 400, 240, [](int, int) { return KEY_COLOUR; });
  SetPictureKey(PICTURE_CRAFT, KEY_COLOUR);
  struct Case {
    const char* name;
    int enemyX;
    int craftMiddleAboveRow;  // craft mid-height above the enemy's top row
    int movedBy;
  };
  const Case cases[] = {
      {"300 pixels left of the craft", 500 - 300, 0, 2},
      {"301 pixels left", 500 - 301, 0, 0},
      {"300 pixels right", 500 + 300, 0, -2},
      {"301 pixels right", 500 + 301, 0, 0},
      {"at the craft's x", 500, 0, 0},
      {"one pixel left: both steps", 499, 0, 0},
      {"two pixels left: both steps", 498, 0, 0},
      {"three pixels left", 497, 0, 2},
      {"mid-height one pixel above its row", 400, 1, 0},
      {"mid-height on its bottom row", 400, -40, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ClearWorld();
    AddObjectItem(c.enemyX, 400, OBJECT_ENEMY);
    PlaceCraft(500, 400 - 20 - c.craftMiddleAboveRow);
    Pass();
    EXPECT_EQ(game.objectList[0].x, c.enemyX + c.movedBy);
    EXPECT_EQ(game.objectList[0].y, 400);
  }
}

TEST_F(Collisions, RocketsHitTheCraftWhereTheyAreDrawnAndFlyOn) {
  EnableSound();
  game.scrollX = 600;  // rockets keep their screen column
  game.scrollY = 400;
  game.craftX = 300;
  game.craftY = 200;
  AddRocket(320, 610, STILL);  // drawn at screen (320, 210)
  Pass();
  EXPECT_EQ(game.craftDestroyed, 1);
  EXPECT_EQ(game.rocketList.Size(), 1);
  // After a respawn it still overlaps and hits again.
  game.craftDestroyed = 0;
  Pass();
  EXPECT_EQ(game.craftDestroyed, 1);
  EXPECT_EQ(SoundStarts(SOUND_EXPLOSION), 2);
  game.craftDestroyed = 0;
  game.scrollY = 300;  // now drawn at (320, 310)
  Pass();
  EXPECT_EQ(game.craftDestroyed, 0);
}

TEST_F(Collisions, LaunchersAllFireTogetherInAboutOneFrameOfEleven) {
  SetCell(2, 10, TERRAIN_LAUNCHER_LEFT);
  SetCell(30, 39, TERRAIN_LAUNCHER_RIGHT);
  game.scrollX = 40;
  int firingFrames = 0;
  for (int frame = 0; frame < 11000; frame++) {
    game.rocketList.Clear();
    FireLaunchers();
    if (game.rocketList.Size() == 0) continue;
    firingFrames++;
    ASSERT_EQ(game.rocketList.Size(), 2);
    EXPECT_EQ(game.rocketList[0].x, 80 - 40 + 20);
    EXPECT_EQ(game.rocketList[0].y, 400);
    EXPECT_EQ(game.rocketList[0].code, 1);
    EXPECT_EQ(game.rocketList[1].x, 1200 - 40 + 60);
    EXPECT_EQ(game.rocketList[1].y, 1560);
    EXPECT_EQ(game.rocketList[1].code, 3);
  }
  EXPECT_GT(firingFrames, 850);
  EXPECT_LT(firingFrames, 1150);
}

}  // namespace
