// The game's start-up: the checks in their order with each failure, the
// sound question, and the hand-over that ends on Escape.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "game/game.h"
#include "media/headless.h"
#include "media/media.h"

namespace {

using Log = std::vector<std::string>;

// Runs the game until it ends; returns its exit code.
int RunToEnd() {
  try {
    RunGame();
  } catch (const headless::ProgramEnded& end) {
    return end.exitCode;
  }
  return -1;
}

void EndWithEscapeAtFrame(int frame) {
  headless::OnFrame([frame](int f) {
    if (f == frame) headless::HoldKey(KEY_ESCAPE, true);
  });
}

bool Logged(const std::string& what) {
  const Log& log = headless::PlatformLog();
  return std::find(log.begin(), log.end(), what) != log.end();
}

void ExpectOneError(const char* text) {
  const auto& boxes = headless::MessageBoxes();
  ASSERT_FALSE(boxes.empty());
  EXPECT_EQ(boxes.back().title, "Fehler");
  EXPECT_EQ(boxes.back().text, text);
  EXPECT_EQ(boxes.back().flags, 0);
}

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
    headless::Use();
    headless::Failures failures;
    failures.*c.failure = true;
    headless::SetFailures(failures);
    EXPECT_EQ(RunToEnd(), 0);
    ASSERT_EQ(headless::MessageBoxes().size(), 1u);
    ExpectOneError("DirectX 7 oder höher nicht installiert");
    EXPECT_EQ(headless::PlatformLog(), c.log);
  }
}

TEST(GameStartup, NoMouseEndsBeforeSoundAndScreen) {
  headless::Use();
  headless::Failures failures;
  failures.mouse = true;
  headless::SetFailures(failures);
  EXPECT_EQ(RunToEnd(), 0);
  ASSERT_EQ(headless::MessageBoxes().size(), 1u);
  ExpectOneError("Keine Maus gefunden");
  Log expected = {"video", "display object", "keyboard", "renderer", "mouse failed",
                  "close display object", "close keyboard"};
  EXPECT_EQ(headless::PlatformLog(), expected);
}

TEST(GameStartup, NoScreenEndsAfterTheSoundQuestionAndClosesSound) {
  headless::Use();
  headless::Failures failures;
  failures.window = true;
  headless::SetFailures(failures);
  EXPECT_EQ(RunToEnd(), 0);
  ASSERT_EQ(headless::MessageBoxes().size(), 2u);
  EXPECT_EQ(headless::MessageBoxes()[0].title, "Soundkarte gefunden");
  ExpectOneError("Kann Grafikbildschirm nicht öffnen");
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
    headless::Failures failures;
    failures.sound = !c.device;
    headless::SetFailures(failures);
    if (c.answer) headless::QueueAnswer(c.answer);
    EndWithEscapeAtFrame(1);
    EXPECT_EQ(RunToEnd(), 0);
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

TEST(GameStartup, OpensTheScreenAndEndsOnEscapeAfterBlackFrames) {
  headless::Use();
  EndWithEscapeAtFrame(30);
  EXPECT_EQ(RunToEnd(), 0);
  EXPECT_EQ(headless::FramesPresented(), 30);
  EXPECT_EQ(headless::FrameWidth(), 800);
  EXPECT_EQ(headless::FrameHeight(), 600);
  const auto& frame = headless::LastFrame();
  EXPECT_TRUE(std::all_of(frame.begin(), frame.end(), [](uint32_t p) { return p == 0; }));
  Log expected = {"video",        "display object", "keyboard",   "renderer",
                  "mouse",        "audio",          "window",     "close audio",
                  "close display object", "close mouse", "close window", "close keyboard"};
  EXPECT_EQ(headless::PlatformLog(), expected);
}

TEST(GameStartup, StartsFromZeroedStateEveryRun) {
  headless::Use();
  headless::QueueAnswer(7);
  EndWithEscapeAtFrame(1);
  RunToEnd();
  ASSERT_EQ(game.soundOff, 1);
  headless::Use();
  headless::Failures failures;
  failures.video = true;
  headless::SetFailures(failures);
  RunToEnd();
  EXPECT_EQ(game.soundOff, 0);  // cleared before the first check
}

}  // namespace
