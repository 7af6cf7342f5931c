// The editor's start-up: the checks in their order with each failure, no
// sound, the "Edit" screen, and the hand-over that ends on Escape.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/editor.h"
#include "media/headless.h"
#include "media/media.h"
#include "support/program_run.h"

namespace {

using namespace testsupport;

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
    ExpectFailedStart(RunEditor, c.failure, c.message, c.log);
    EXPECT_EQ(headless::FramesPresented(), 0);
  }
}

TEST(EditorStartup, NeverStartsSoundAndEndsOnEscapeAfterBlackFrames) {
  headless::Use();
  EndWithEscapeAtFrame(12);
  EXPECT_EQ(RunToEnd(RunEditor), 0);
  EXPECT_TRUE(headless::MessageBoxes().empty());
  ExpectBlackFrames(12);
  Log expected = {"video",       "display object",       "keyboard",    "renderer",     "mouse",
                  "window",      "close display object", "close mouse", "close window", "close keyboard"};
  EXPECT_EQ(headless::PlatformLog(), expected);
  EXPECT_TRUE(headless::SoundEvents().empty());
}

}  // namespace
