// The editor's start-up: the checks in their order with each failure, no
// sound, the "Edit" screen, and the hand-over that ends on Escape.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "editor/editor.h"
#include "media/headless.h"
#include "media/media.h"

namespace {

using Log = std::vector<std::string>;

int RunToEnd() {
  try {
    RunEditor();
  } catch (const headless::ProgramEnded& end) {
    return end.exitCode;
  }
  return -1;
}

struct Failure {
  const char* name;
  bool headless::Failures::*failure;
  const char* message;
  Log log;
};

TEST(EditorStartup, EachFailureShowsItsMessageAndClosesOnlyWhatWasOpened) {
  const Failure cases[] = {
      {"video", &headless::Failures::video, "DirectX 7 oder höher nicht installiert", {"video failed"}},
      {"display object",
       &headless::Failures::displayObject,
       "DirectX 7 oder höher nicht installiert",
       {"video", "display object failed"}},
      {"keyboard",
       &headless::Failures::keyboard,
       "DirectX 7 oder höher nicht installiert",
       {"video", "display object", "keyboard failed", "close display object"}},
      {"renderer",
       &headless::Failures::renderer,
       "DirectX 7 oder höher nicht installiert",
       {"video", "display object", "keyboard", "renderer failed", "close display object", "close keyboard"}},
      {"mouse",
       &headless::Failures::mouse,
       "Keine Maus gefunden",
       {"video", "display object", "keyboard", "renderer", "mouse failed", "close display object",
        "close keyboard"}},
      {"window",
       &headless::Failures::window,
       "Kann Grafikbildschirm nicht öffnen",
       {"video", "display object", "keyboard", "renderer", "mouse", "window failed", "close display object",
        "close mouse", "close keyboard"}},
  };
  for (const Failure& c : cases) {
    SCOPED_TRACE(c.name);
    headless::Use();
    headless::Failures failures;
    failures.*c.failure = true;
    headless::SetFailures(failures);
    EXPECT_EQ(RunToEnd(), 0);
    const auto& boxes = headless::MessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].title, "Fehler");
    EXPECT_EQ(boxes[0].text, c.message);
    EXPECT_EQ(boxes[0].flags, 0);
    EXPECT_EQ(headless::PlatformLog(), c.log);
    EXPECT_EQ(headless::FramesPresented(), 0);
  }
}

TEST(EditorStartup, NeverStartsSoundAndEndsOnEscapeAfterBlackFrames) {
  headless::Use();
  headless::OnFrame([](int frame) {
    if (frame == 12) headless::HoldKey(KEY_ESCAPE, true);
  });
  EXPECT_EQ(RunToEnd(), 0);
  EXPECT_TRUE(headless::MessageBoxes().empty());
  EXPECT_EQ(headless::FramesPresented(), 12);
  EXPECT_EQ(headless::FrameWidth(), 800);
  EXPECT_EQ(headless::FrameHeight(), 600);
  const auto& frame = headless::LastFrame();
  EXPECT_TRUE(std::all_of(frame.begin(), frame.end(), [](uint32_t p) { return p == 0; }));
  Log expected = {"video",       "display object",       "keyboard",    "renderer",     "mouse",
                  "window",      "close display object", "close mouse", "close window", "close keyboard"};
  EXPECT_EQ(headless::PlatformLog(), expected);
  EXPECT_TRUE(headless::SoundEvents().empty());
}

}  // namespace
