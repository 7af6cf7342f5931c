// The game's life through vantorreplay: the intro, the title menu with its
// keys and the help picture, the map sequence and the own map, the quit
// question, the end screen and the next game. The maps here are one small
// shaft: the craft sinks from its start onto a prisoner standing on the
// target platform and completes the map after about 165 frames.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "formats/mapfile.h"
#include "game_fixture.h"
#include "support/replay_run.h"
#include "support/test_support.h"

namespace {

using testsupport::ReplayRun;
using testsupport::RunReplay;

// Frames of the logo intro; the title's first frame acts on the keys held in
// the intro's last frame. With F1 held there, frame 554 shows the title and
// play starts with frame 555.
constexpr int INTRO = 553;

class Flow : public ::testing::Test {
 protected:
  std::string dir;

  void SetUp() override {
    dir = testsupport::MakeTempFolder();
    ASSERT_FALSE(dir.empty());
    std::filesystem::create_symlink(VANTOR_RUN_DIR "/vantor.pak", dir + "/vantor.pak");
    std::filesystem::create_directory(dir + "/maps");
  }
  void TearDown() override { testsupport::RemoveTempFolder(dir); }

  // The shaft: start (10, 5), a prisoner on the target platform below.
  void WriteShaftMap(const std::string& name, int startColumn = 10) {
    MapLayer terrain, objects;
    objects.at(startColumn, 5) = OBJECT_START;
    objects.at(11, 9) = OBJECT_PRISONER;
    terrain.at(10, 10) = TERRAIN_TARGET_PLATFORM;
    terrain.at(11, 10) = TERRAIN_TARGET_PLATFORM;
    for (int x = 8; x <= 13; x++) terrain.at(x, 11) = TERRAIN_WALL;
    ASSERT_TRUE(WriteMapFile((dir + "/maps/" + name).c_str(), terrain, objects));
  }
  void WriteSequence() {
    for (const char* name : {"map 1.map", "map 2.map", "map 3.map"}) WriteShaftMap(name);
  }
  ReplayRun Run(const std::string& script, const std::string& args = "") {
    ReplayRun run = RunReplay(dir, args, script);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    return run;
  }
  std::string Shot(const std::string& name) const { return dir + "/" + name; }
  testsupport::Bytes ShotBytes(const std::string& name) const { return testsupport::ReadFileBytes(Shot(name)); }
};

std::string Frames(int n, const std::string& keys = "") { return std::to_string(n) + " " + keys + "\n"; }

TEST_F(Flow, TheIntroRunsToItsEndWhateverKeysAreHeld) {
  WriteSequence();
  ReplayRun held = Run(Frames(INTRO - 1, "F4 J Esc F1 F2 Space") + Frames(1) + Frames(1));
  EXPECT_EQ(held.values["ended"], "no");
  EXPECT_EQ(held.Int("frames"), INTRO + 1);
  EXPECT_EQ(held.Int("introShown"), 1);
  // The title's first frame acts on the keys of the intro's last frame.
  ReplayRun last = Run(Frames(INTRO, "F4") + Frames(5));
  EXPECT_EQ(last.values["ended"], "yes");
  EXPECT_EQ(last.Int("frames"), INTRO);
}

TEST_F(Flow, TheHelpPictureShowsUntilEscapeAndAgainWhileF3IsHeld) {
  WriteSequence();
  // Frames 554 and 555 show the title; F3 from 556 shows the help; Escape
  // with F3 in 559 leaves it, 560 shows the title and 561 the help again.
  std::string script = Frames(INTRO + 2) + Frames(3, "F3") + Frames(1, "F3 Esc") + Frames(2, "F3");
  ReplayRun run = Run(script, "--shot-at 555 title.bmp --shot-at 558 help.bmp --shot-at 560 again.bmp "
                              "--shot-at 561 help2.bmp");
  EXPECT_EQ(run.values["ended"], "no");
  EXPECT_EQ(run.Int("ownMapMode"), 0);
  EXPECT_EQ(run.Int("terrainItems"), 0);  // no game started
  EXPECT_NE(ShotBytes("title.bmp"), ShotBytes("help.bmp"));
  EXPECT_EQ(ShotBytes("title.bmp"), ShotBytes("again.bmp"));
  EXPECT_EQ(ShotBytes("help.bmp"), ShotBytes("help2.bmp"));
}

TEST_F(Flow, F1AndF2TogetherPlayTheOwnMapInSequenceMode) {
  WriteSequence();
  WriteShaftMap("own .map", 20);
  ReplayRun run = Run(Frames(INTRO - 1) + Frames(1, "F1 F2") + Frames(1));
  EXPECT_EQ(run.Int("ownMapMode"), 0);
  EXPECT_EQ(run.Int("startScrollX"), 20 * 40 - 300);  // the own map's start
  EXPECT_EQ(run.Int("prisonersLeft"), 1);              // counted once
  EXPECT_EQ(run.Int("mapNumber"), 1);
}

TEST_F(Flow, F2WithoutAnOwnMapCreatesItEmptyAndPlaysAnEmptyWorld) {
  WriteSequence();
  ReplayRun run = Run(Frames(INTRO - 1) + Frames(1, "F2") + Frames(1) + Frames(10));
  EXPECT_TRUE(std::filesystem::exists(dir + "/maps/own .map"));
  EXPECT_EQ(std::filesystem::file_size(dir + "/maps/own .map"), 0u);
  EXPECT_EQ(run.Int("ownMapMode"), 1);
  EXPECT_EQ(run.Int("terrainItems"), 2000);
  EXPECT_EQ(run.Int("prisonersLeft"), 0);
  // The first game of a run: the craft starts at the screen's top left.
  EXPECT_EQ(run.Int("craftX"), 0);
  EXPECT_EQ(run.Int("scrollX"), 0);
  EXPECT_EQ(run.Int("levelComplete"), 0);
}

TEST_F(Flow, TheSequenceGoesOnFromMap3ToMap1WithTheLivesKept) {
  WriteSequence();
  const std::string start = Frames(INTRO - 1) + Frames(1, "F1");
  // One map takes about 165 frames from its start to the landing.
  EXPECT_EQ(Run(start + Frames(100)).Int("mapNumber"), 1);
  ReplayRun second = Run(start + Frames(200));
  EXPECT_EQ(second.Int("mapNumber"), 2);
  EXPECT_EQ(second.Int("prisonersLeft"), 1);  // counted from 0 again
  EXPECT_EQ(second.Int("checkpointCraftX"), 0);
  EXPECT_EQ(Run(start + Frames(370)).Int("mapNumber"), 3);
  ReplayRun back = Run(start + Frames(540));
  EXPECT_EQ(back.Int("mapNumber"), 1);
  EXPECT_EQ(back.Int("lives"), 3);
  EXPECT_EQ(back.Int("ownMapMode"), 0);
  EXPECT_EQ(back.All("messagebox").size(), 1u);  // the sound question only
}

TEST_F(Flow, ACompletedOwnMapEndsTheGameAndANewOneStartsWithoutTheIntro) {
  WriteSequence();
  WriteShaftMap("own .map");
  // Landing after about 165 frames, then the end screen until a key, the
  // pause and a new game on the title.
  const std::string script = Frames(INTRO - 1) + Frames(1, "F2") + Frames(250) + Frames(1, "Space") + Frames(5);
  ReplayRun run = Run(script, "--shot-at 700 play.bmp --shot-at 790 end.bmp --shot-at 554 title.bmp");
  EXPECT_EQ(run.values["ended"], "no");
  EXPECT_EQ(run.Int("frames"), INTRO + 256);
  EXPECT_EQ(run.Int("lives"), 3);
  EXPECT_EQ(run.Int("mapNumber"), 1);
  EXPECT_EQ(run.Int("levelComplete"), 0);
  EXPECT_EQ(run.Int("shots"), 0);
  // The last frames show the title again, the intro is not repeated.
  ReplayRun title = Run(script, "--shot last.bmp");
  EXPECT_EQ(ShotBytes("last.bmp"), ShotBytes("title.bmp"));
  EXPECT_NE(ShotBytes("end.bmp"), ShotBytes("play.bmp"));
}

TEST_F(Flow, TheQuitQuestionEndsWithJAndGoesOnWithN) {
  WriteSequence();
  // The title, then 8 frames of sinking.
  const std::string play = Frames(INTRO - 1) + Frames(1, "F1") + Frames(9);
  // N: the pass that asked goes on with the craft, presenting its frame after
  // the question's last one; the question's frames do not count.
  ReplayRun goOn = Run(play + Frames(1, "Esc") + Frames(5) + Frames(1, "N") + Frames(4));
  EXPECT_EQ(goOn.values["ended"], "no");
  EXPECT_EQ(goOn.Int("craftY") + goOn.Int("scrollY"), 200 + 8 + 1 + 3);
  struct Case {
    const char* keys;
    bool ends;
  };
  for (Case c : {Case{"J", true}, Case{"J N", true}, Case{"Esc", false}}) {
    SCOPED_TRACE(c.keys);
    ReplayRun run = Run(play + Frames(1, "Esc") + Frames(3) + Frames(1, c.keys) + Frames(3));
    EXPECT_EQ(run.values["ended"], c.ends ? "yes" : "no");
    if (c.ends) {
      EXPECT_EQ(run.Int("frames"), INTRO - 1 + 1 + 9 + 1 + 3);  // J is read before its frame is shown
    }
    EXPECT_EQ(run.Int("craftY") + run.Int("scrollY"), 200 + 8);  // no play while asking
  }
}

TEST_F(Flow, ACloseRequestAsksInPlayAndEndsTheProgramAroundIt) {
  WriteSequence();
  WriteShaftMap("own .map");
  const std::string play = Frames(INTRO - 1) + Frames(1, "F1") + Frames(9);
  // A close request is noticed at the flip of its line's first frame and
  // acted on in the next frame.
  struct Case {
    const char* where;
    std::string script;
    bool ends;
    int frames;  // presented
  };
  const Case cases[] = {
      {"intro", Frames(10) + Frames(1, "Close") + Frames(20), true, 11},
      {"title", Frames(INTRO + 5) + Frames(1, "Close") + Frames(20), true, INTRO + 6},
      {"help", Frames(INTRO - 1) + Frames(5, "F3") + Frames(1, "Close") + Frames(20), true, INTRO + 5},
      // The own map is complete after about 165 frames, then the end screen.
      {"end screen", Frames(INTRO - 1) + Frames(1, "F2") + Frames(250) + Frames(1, "Close") + Frames(20), true,
       INTRO + 251},
      {"play, then N", play + Frames(1, "Close") + Frames(5) + Frames(1, "N") + Frames(4), false, INTRO + 20},
      {"play, again while asking", play + Frames(1, "Close") + Frames(5) + Frames(1, "Close") + Frames(20), true,
       INTRO + 16},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.where);
    ReplayRun run = Run(c.script);
    EXPECT_EQ(run.values["ended"], c.ends ? "yes" : "no");
    EXPECT_EQ(run.Int("frames"), c.frames);
    // As after Escape and N: the asking pass goes on with the craft, and the
    // question's frames do not count.
    if (!c.ends) {
      EXPECT_EQ(run.Int("craftY") + run.Int("scrollY"), 200 + 8 + 1 + 1 + 3);
    }
  }
}

TEST_F(Flow, AMapThatCannotBeOpenedEndsTheProgramWithItsMessage) {
  std::filesystem::remove(dir + "/maps");  // no folder: map 1 can be neither opened nor created
  ReplayRun run = Run(Frames(INTRO - 1) + Frames(1, "F1") + Frames(5));
  EXPECT_EQ(run.values["ended"], "yes");
  ASSERT_EQ(run.All("messagebox").size(), 2u);
  EXPECT_EQ(run.All("messagebox")[1], "\"Fehler\" \"Kann Datei nicht öffnen\"");
}

TEST_F(Flow, WithoutSoundTheQuestionIsAnsweredNo) {
  WriteSequence();
  ReplayRun run = Run(Frames(10), "--no-sound");
  EXPECT_EQ(run.Int("soundOff"), 1);
  EXPECT_EQ(run.Int("frames"), 10);
}

// ---- Single passes ------------------------------------------------------------

using Pass = gametest::GameTest;

TEST_F(Pass, TheLastLifeEndsTheGameInTheRespawnFrameWithoutPresentingIt) {
  ClearWorld();
  BuildWorld();
  game.lives = 1;
  game.craftDestroyed = 1;
  game.explosionTimer = 24;
  headless::HoldKey(KEY_UP, true);  // still held: the end screen ends after its first frame
  const int before = headless::FramesPresented();
  EXPECT_FALSE(FramePass());
  EXPECT_EQ(game.lives, 0);
  EXPECT_EQ(headless::FramesPresented(), before + 1);  // the end screen's one frame
  // That frame shows the end screen's text, not the panel.
  EXPECT_NE(headless::LastFrame()[size_t(500) * 800 + 5], PackColor(200, 200, 200));
}

TEST_F(Pass, AMapCompletedInTheLastFrameIsActedOnFirst) {
  ClearWorld();
  BuildWorld();
  game.levelComplete = 1;
  game.ownMapMode = 1;
  headless::HoldKey(KEY_UP, true);
  EXPECT_FALSE(FramePass());
  EXPECT_EQ(game.levelComplete, 0);
}

TEST_F(Pass, AMapChangePausesTwoSecondsShowingNothingAndKeepsWhatFlies) {
  const std::string dir = testsupport::MakeTempFolder();
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::create_directory(dir + "/maps");
  MapLayer terrain, objects;
  objects.at(20, 15) = OBJECT_START;
  ASSERT_TRUE(WriteMapFile((dir + "/maps/map 2.map").c_str(), terrain, objects));
  std::filesystem::current_path(dir);
  ClearWorld();
  game.levelComplete = 1;
  game.checkpointCraftX = 300;
  game.craftHeading = 3;
  AddShot(100, 100, 9);
  const uint32_t clock = MillisecondClock();
  const int frames = headless::FramesPresented();
  EXPECT_TRUE(FramePass());
  std::filesystem::current_path(before);
  testsupport::RemoveTempFolder(dir);
  EXPECT_EQ(headless::FramesPresented(), frames + 1);  // the pass's own frame only
  EXPECT_EQ(MillisecondClock() - clock, 2000u + 16u);  // the pause, then one frame
  EXPECT_EQ(game.mapNumber, 2);
  EXPECT_EQ(game.levelComplete, 0);
  EXPECT_EQ(game.checkpointCraftX, 0);
  EXPECT_EQ(game.startScrollX, 500);
  EXPECT_EQ(game.craftHeading, 3);
  EXPECT_EQ(game.shotList.Size(), 1);
}

TEST_F(Pass, ANewGameHasThreeLivesMap1AndNothingInFlight) {
  game.lives = 0;
  game.mapNumber = 3;
  game.craftHeading = 4;
  game.introShown = 1;
  game.soundOff = 1;
  AddShot(1, 2, 0);
  AddRocket(1, 2, 1);
  GameReset();
  EXPECT_EQ(game.lives, 3);
  EXPECT_EQ(game.mapNumber, 1);
  EXPECT_EQ(game.craftHeading, 1);
  EXPECT_EQ(game.tickInterval, 100);
  EXPECT_EQ(game.shotList.Size(), 0);
  EXPECT_EQ(game.rocketList.Size(), 0);
  EXPECT_EQ(game.introShown, 1);
  EXPECT_EQ(game.soundOff, 1);
}

}  // namespace
