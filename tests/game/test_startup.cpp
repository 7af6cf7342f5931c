// The game's start-up: the checks in their order with each failure, the
// sound question, and the hand-over to the game, ended here by F4 on the
// title, which the game reads after its 553-frame intro.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/game.h"
#include "media/headless.h"
#include "media/media.h"
#include "support/program_run.h"

namespace {

using namespace testsupport;

struct GraphicsFailure {
  const char* name;
  bool headless::Failures::*failure;
  Log log;  // everything opened, tried and closed
};

TEST(GameStartup, EachGraphicsOrInputFailureEndsBeforeTheNextCheck) {
  const GraphicsFailure cases[] = {
      {"video", &headless::Failures::video, {"video failed"}},
      {"display object", &headless::Failures::displayObject, {"video", "display object failed"}},
      {"keyboard",
       &headless::Failures::keyboard,
       {"video", "display object", "keyboard failed", "close display object"}},
      {"renderer",
       &headless::Failures::renderer,
       {"video", "display object", "keyboard", "renderer failed", "close display object", "close keyboard"}},
  };
  for (const GraphicsFailure& c : cases) {
    SCOPED_TRACE(c.name);
    ExpectFailedStart(RunGame, c.failure, "DirectX 7 oder höher nicht installiert", c.log);
  }
}

TEST(GameStartup, NoMouseEndsBeforeSoundAndScreen) {
  Log expected = {"video", "display object", "keyboard", "renderer", "mouse failed",
                  "close display object", "close keyboard"};
  ExpectFailedStart(RunGame, &headless::Failures::mouse, "Keine Maus gefunden", expected);
}

TEST(GameStartup, NoScreenEndsAfterTheSoundQuestionAndClosesSound) {
  headless::Use();
  InjectFailure(&headless::Failures::window);
  EXPECT_EQ(RunToEnd(RunGame), 0);
  ASSERT_EQ(headless::MessageBoxes().size(), 2u);
  EXPECT_EQ(headless::MessageBoxes()[0].title, "Soundkarte gefunden");
  ExpectLastError("Kann Grafikbildschirm nicht öffnen");
  EXPECT_TRUE(Logged("window failed"));
  EXPECT_TRUE(Logged("close audio"));
  EXPECT_FALSE(Logged("close window"));
}

TEST(GameStartup, SoundQuestionDecidesSoundOff) {
  struct Case {
    bool device;
    int answer;  // 0: nothing queued (the first button)
    int soundOff;
  };
  const Case cases[] = {{true, 6, 0}, {true, 0, 0}, {true, 7, 1}, {false, 0, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "device " << c.device << " answer " << c.answer);
    headless::Use();
    if (!c.device) InjectFailure(&headless::Failures::sound);
    if (c.answer) headless::QueueAnswer(c.answer);
    HoldKeyFromFrame(KEY_F4, 1);
    EXPECT_EQ(RunToEnd(RunGame), 0);
    EXPECT_EQ(game.soundOff, c.soundOff);
    const auto& boxes = headless::MessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    if (c.device) {
      EXPECT_EQ(boxes[0].title, "Soundkarte gefunden");
      EXPECT_EQ(boxes[0].text, "Sound aktivieren ?");
      EXPECT_EQ(boxes[0].flags, 4);
    } else {
      EXPECT_EQ(boxes[0].title, "Keine Soundkarte gefunden");
      EXPECT_EQ(boxes[0].text, "Spiel startet ohne Sound");
      EXPECT_EQ(boxes[0].flags, 0);
    }
  }
}

TEST(GameStartup, ASoundBoxClosedWithoutAnAnswerEndsBeforeTheScreenOpens) {
  for (bool device : {true, false}) {
    SCOPED_TRACE(testing::Message() << "device " << device);
    headless::Use();
    if (!device) InjectFailure(&headless::Failures::sound);
    headless::QueueAnswer(0);  // the box's close button
    EXPECT_EQ(RunToEnd(RunGame), 0);
    EXPECT_EQ(headless::MessageBoxes().size(), 1u);
    EXPECT_FALSE(Logged("window"));
  }
}

TEST(GameStartup, OpensTheScreenAndEndsThroughTheTitleMenu) {
  headless::Use();
  HoldKeyFromFrame(KEY_F4, 1);
  EXPECT_EQ(RunToEnd(RunGame), 0);
  // No pack in the test's folder: the intro shows nothing.
  ExpectBlackFrames(553);
  Log expected = {"video",        "display object", "keyboard",   "renderer",
                  "mouse",        "audio",          "window",     "close audio",
                  "close display object", "close mouse", "close window", "close keyboard"};
  EXPECT_EQ(headless::PlatformLog(), expected);
}

TEST(GameStartup, StartsFromZeroedStateEveryRun) {
  headless::Use();
  headless::QueueAnswer(7);
  HoldKeyFromFrame(KEY_F4, 1);
  RunToEnd(RunGame);
  ASSERT_EQ(game.soundOff, 1);
  headless::Use();
  InjectFailure(&headless::Failures::video);
  RunToEnd(RunGame);
  EXPECT_EQ(game.soundOff, 0);  // cleared before the first check
}

}  // namespace
