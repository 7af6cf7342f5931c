// The craft: steering with the view following, firing with its latch,
// sinking, the limits, and the explosion with the respawn.
#include <gtest/gtest.h>

#include "game/game.h"
#include "game_fixture.h"
#include "media/headless.h"

namespace {

using namespace gametest;

class Craft : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    ClearWorld();
    game.craftX = 300;
    game.craftY = 200;
    game.scrollX = 400;
    game.scrollY = 400;
  }
  static void Control(std::initializer_list<int> keys) {
    HoldKeys(keys);
    ControlCraft();
  }
  static void ExpectShot(int index, int x, int y, int kind) {
    ASSERT_GT(game.shotList.Size(), index);
    EXPECT_EQ(game.shotList[index].x, x);
    EXPECT_EQ(game.shotList[index].y, y);
    EXPECT_EQ(game.shotList[index].code, kind);
  }
};

TEST_F(Craft, ArrowKeysMoveTheCraftUntilTheMiddleThenTheView) {
  game.craftX = 392;
  Control({KEY_RIGHT});
  EXPECT_EQ(game.craftX, 396);
  EXPECT_EQ(game.scrollX, 400);
  Control({KEY_RIGHT});
  EXPECT_EQ(game.craftX, 400);
  EXPECT_EQ(game.scrollX, 404);
  EXPECT_EQ(game.craftHeading, 2);
  // Flying left from right of the middle crosses the screen first.
  game.craftX = 408;
  Control({KEY_LEFT});
  EXPECT_EQ(game.craftX, 404);
  EXPECT_EQ(game.scrollX, 404);
  Control({KEY_LEFT});
  EXPECT_EQ(game.craftX, 400);
  EXPECT_EQ(game.scrollX, 400);
  EXPECT_EQ(game.craftHeading, 0);
  Control({KEY_UP});
  EXPECT_EQ(game.craftY, 200);
  EXPECT_EQ(game.scrollY, 396);
  EXPECT_EQ(game.craftHeading, 1);
  Control({KEY_DOWN, KEY_RIGHT});
  EXPECT_EQ(game.scrollY, 400);
  EXPECT_EQ(game.craftHeading, 2);  // sideways wins
}

TEST_F(Craft, OppositeKeysCancelAndLeaveTheHeadingRight) {
  game.scrollX = 0;  // no scrolling in between
  Control({KEY_LEFT, KEY_RIGHT});
  EXPECT_EQ(game.craftX, 300);
  EXPECT_EQ(game.craftHeading, 2);
  Control({KEY_UP, KEY_DOWN});
  EXPECT_EQ(game.craftY, 200);
  EXPECT_EQ(game.scrollY, 400);
}

TEST_F(Craft, FlyingLeftFromLeftOfTheMiddleJumpsToTheMiddleWhileTheViewCanScroll) {
  Control({KEY_LEFT});
  EXPECT_EQ(game.craftX, 400);
  EXPECT_EQ(game.scrollX, 396);
}

TEST_F(Craft, TheViewStopsAtTheRightEndAndTheCraftMovesOnTo760) {
  game.craftX = 400;
  game.scrollX = 1236;
  Control({KEY_RIGHT});
  EXPECT_EQ(game.scrollX, 1240);
  EXPECT_EQ(game.craftX, 400);
  for (int i = 0; i < 100; i++) {
    Control({KEY_RIGHT});
    LimitPositions();
  }
  EXPECT_EQ(game.scrollX, 1240);
  EXPECT_EQ(game.craftX, 760);
}

TEST_F(Craft, CursorDownScrollsTo1163AfterSinkingAndSinkingOnlyTo1120) {
  game.scrollY = 1118;
  HoldKeys({});
  for (int i = 0; i < 5; i++) SinkCraft();
  EXPECT_EQ(game.scrollY, 1120);
  EXPECT_EQ(game.craftY, 203);
  game.craftY = 200;
  game.scrollY = 1159;
  Control({KEY_DOWN});
  EXPECT_EQ(game.scrollY, 1163);
  Control({KEY_DOWN});
  EXPECT_EQ(game.scrollY, 1163);
  EXPECT_EQ(game.craftY, 204);
  LimitPositions();
  EXPECT_EQ(game.scrollY, 1163);
}

TEST_F(Craft, NoSinkingWhileClimbingRestingOrExploding) {
  HoldKeys({KEY_UP});
  SinkCraft();
  HoldKeys({});
  game.onPlatform = 1;
  SinkCraft();
  game.onPlatform = 0;
  game.craftDestroyed = 1;
  SinkCraft();
  EXPECT_EQ(game.craftY, 200);
  EXPECT_EQ(game.scrollY, 400);
}

TEST_F(Craft, LimitsApplyToViewAndCraft) {
  game.scrollX = -5;
  game.scrollY = 1400;
  game.craftX = 900;
  game.craftY = -3;
  LimitPositions();
  EXPECT_EQ(game.scrollX, 0);
  EXPECT_EQ(game.scrollY, 1380);
  EXPECT_EQ(game.craftX, 760);
  EXPECT_EQ(game.craftY, 0);
}

TEST_F(Craft, ShotsLeaveFromWhereThisFramesMovementLeftTheCraft) {
  game.craftX = 400;
  Control({KEY_UP, KEY_FIRE});  // the view scrolls up by 4 first
  ExpectShot(0, 440, 200 + 396, 2);
  Control({});
  Control({KEY_LEFT, KEY_FIRE});
  ExpectShot(1, 400, 200 + 396 + 30, 3);
  Control({});
  Control({KEY_RIGHT, KEY_FIRE});
  ExpectShot(2, 400 + 70, 626, 1);
  Control({});
  Control({KEY_DOWN, KEY_FIRE});
  ExpectShot(3, 440, 200 + 400, 2);
  Control({});
  game.craftHeading = 1;
  Control({KEY_FIRE});
  ExpectShot(4, 440, 600, 2);
  EXPECT_EQ(game.shotList.Size(), 5);
}

TEST_F(Craft, OnePressGivesOneShot) {
  for (int i = 0; i < 10; i++) Control({KEY_FIRE});
  EXPECT_EQ(game.shotList.Size(), 1);
  EXPECT_EQ(game.fireLatch, 1);
  Control({});
  EXPECT_EQ(game.fireLatch, 0);
  Control({KEY_FIRE});
  EXPECT_EQ(game.shotList.Size(), 2);
}

TEST_F(Craft, ReleasingRightTurnsTheCraftToShootRightFromItsLeftEdge) {
  Control({KEY_RIGHT});
  Control({});
  EXPECT_EQ(game.craftHeading, 3);
  EXPECT_EQ(game.craftFrame, 0 + game.craftPhase);
  Control({KEY_FIRE});
  ExpectShot(0, 304, 620, 0);
  Control({KEY_LEFT});  // to the middle, the view scrolling left
  Control({});
  EXPECT_EQ(game.craftHeading, 4);
  Control({KEY_FIRE});
  ExpectShot(1, 400, 620, 4);
}

TEST_F(Craft, RestingAfterSidewaysFlightFiresOnlyAfterBothReleases) {
  Control({KEY_RIGHT});
  game.onPlatform = 1;
  Control({KEY_RIGHT, KEY_FIRE});  // resting: no sideways move, heading 2 gives no shot
  EXPECT_EQ(game.craftX, 304);
  EXPECT_EQ(game.shotList.Size(), 0);
  EXPECT_EQ(game.fireLatch, 1);
  Control({KEY_RIGHT});  // fire released
  Control({KEY_RIGHT, KEY_FIRE});
  EXPECT_EQ(game.shotList.Size(), 0);
  Control({});  // both released: hovering facing right
  Control({KEY_FIRE});
  ExpectShot(0, 304, 620, 0);
  // Only cursor Up works on a platform.
  Control({KEY_DOWN, KEY_LEFT});
  EXPECT_EQ(game.craftX, 304);
  EXPECT_EQ(game.craftY, 200);
  Control({KEY_UP});
  EXPECT_EQ(game.scrollY, 396);
}

TEST_F(Craft, TheFireSoundPlaysOnReleaseWithOrWithoutAShot) {
  EnableSound();
  Control({KEY_FIRE});
  EXPECT_EQ(SoundStarts(SOUND_FIRE), 0);
  Control({});
  EXPECT_EQ(SoundStarts(SOUND_FIRE), 1);
  game.craftHeading = 2;  // flying sideways: the press gives no shot
  Control({KEY_FIRE});
  Control({});
  EXPECT_EQ(SoundStarts(SOUND_FIRE), 2);
  EXPECT_EQ(game.shotList.Size(), 1);
}

TEST_F(Craft, AnExplodingCraftIsNotSteeredButShowsTheExplosion) {
  game.craftDestroyed = 1;
  game.craftPhase = 3;
  Control({KEY_LEFT, KEY_FIRE});
  EXPECT_EQ(game.craftX, 300);
  EXPECT_EQ(game.shotList.Size(), 0);
  ExplodeAndRespawn();
  EXPECT_EQ(game.craftFrame, 28);
  EXPECT_EQ(game.explosionTimer, 1);
  EXPECT_EQ(game.craftHeading, 1);
}

TEST_F(Craft, RespawnAfterTheTwentyFifthExplosionFrame) {
  struct Case {
    const char* name;
    int checkpoint[4];  // craft x, craft y, scroll x, scroll y
    int craftX, craftY, scrollX, scrollY;
  };
  const Case cases[] = {
      {"no checkpoint: the start", {0, 0, 0, 0}, 120, 80, 0, 40},
      {"five pixels above the checkpoint", {360, 210, 800, 900}, 360, 205, 800, 900},
      // One craft coordinate 0 is still a checkpoint.
      {"checkpoint at the left edge", {0, 300, 0, 1000}, 0, 295, 0, 1000},
      {"checkpoint at the top edge", {500, 0, 1240, 0}, 500, -5, 1240, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    game.startCraftX = 120;
    game.startCraftY = 80;
    game.startScrollX = 0;
    game.startScrollY = 40;
    game.checkpointCraftX = c.checkpoint[0];
    game.checkpointCraftY = c.checkpoint[1];
    game.checkpointScrollX = c.checkpoint[2];
    game.checkpointScrollY = c.checkpoint[3];
    game.craftX = 700;
    game.craftY = 300;
    game.scrollX = 1000;
    game.scrollY = 1100;
    game.lives = 3;
    game.craftDestroyed = 1;
    game.explosionTimer = 0;
    for (int frame = 1; frame <= 24; frame++) ExplodeAndRespawn();
    EXPECT_EQ(game.craftX, 700);
    EXPECT_EQ(game.lives, 3);
    ExplodeAndRespawn();  // the 25th
    EXPECT_EQ(game.explosionTimer, 25);
    EXPECT_EQ(game.craftFrame, 25 + game.craftPhase);
    EXPECT_EQ(game.craftX, c.craftX);
    EXPECT_EQ(game.craftY, c.craftY);
    EXPECT_EQ(game.scrollX, c.scrollX);
    EXPECT_EQ(game.scrollY, c.scrollY);
    EXPECT_EQ(game.lives, 2);
    EXPECT_EQ(game.craftHeading, 1);
    ExplodeAndRespawn();  // control returns
    EXPECT_EQ(game.craftDestroyed, 0);
    EXPECT_EQ(game.explosionTimer, 0);
    EXPECT_EQ(game.lives, 2);
  }
}

}  // namespace
