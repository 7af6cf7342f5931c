// The editor's start-up: the checks in their order with each failure, the
// six pictures in their slots, the title until a click, and a whole run
// ended with Escape and J.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/editor.h"
#include "media/headless.h"
#include "media/media.h"
#include "editor_fixture.h"
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

// The bounding box of what drawing picture `n` at (0, 0) changes.
struct Extent {
  int width, height;
};
Extent DrawnExtent(int n) {
  std::vector<uint32_t>& screen = Screen().hidden;
  const uint32_t sentinel = 0x123456;
  std::fill(screen.begin(), screen.end(), sentinel);
  DrawPictureKeyed(n, 0, 0);
  Extent e{0, 0};
  for (int y = 0; y < 600; y++)
    for (int x = 0; x < 800; x++)
      if (screen[size_t(y) * 800 + x] != sentinel) e = {std::max(e.width, x + 1), std::max(e.height, y + 1)};
  return e;
}

bool HasMagenta() {
  const std::vector<uint32_t>& screen = Screen().hidden;
  return std::find(screen.begin(), screen.end(), PackColor(255, 0, 255)) != screen.end();
}

using EditorPictures = EditorTest;

// The pack's entries fill slots 0..5 in order, told apart by their sizes;
// the four pictures drawn over others never show their transparent colour,
// the panel and title are opaque.
TEST_F(EditorPictures, EachEntryFillsItsSlotAndTheOverlaysAreKeyed) {
  LoadPack();
  struct Case {
    int slot, minWidth, width, height;
  };
  const Case cases[] = {
      {PICTURE_POINTER, 1, 16, 24},          {PICTURE_TERRAIN_TILES, 7 * 40, 400, 40},
      {PICTURE_OBJECT_SPRITES, 3 * 40 + 1, 160, 40}, {PICTURE_PANEL, 200, 200, 600},
      {PICTURE_PALETTE, 40, 40, 400},        {PICTURE_TITLE, 800, 800, 600},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.slot);
    const Extent e = DrawnExtent(c.slot);
    EXPECT_GE(e.width, c.minWidth);
    EXPECT_LE(e.width, c.width);
    EXPECT_LE(e.height, c.height);
    EXPECT_GT(e.height, c.height / 2);
    EXPECT_FALSE(HasMagenta());
  }
}

using EditorRun = EditorFolderTest;

uint64_t Hash(const std::vector<uint32_t>& pixels) {
  uint64_t h = 1469598103934665603ull;
  for (uint32_t p : pixels) h = (h ^ p) * 1099511628211ull;
  return h;
}

// Title until the click, editing with the button still held (nothing is
// chosen, so nothing is set), Escape asks, J ends without saving.
TEST_F(EditorRun, TitleUntilAClickThenEditingUntilEscapeAndJ) {
  LinkPack();
  Point(300, 300);
  std::vector<uint64_t> frames;
  std::vector<uint32_t> question;
  headless::OnFrame([&](int frame) {
    frames.push_back(Hash(headless::LastFrame()));
    if (frame == 3) Button(true);  // seen by the fourth title pass
    if (frame == 10) Hold(KEY_ESCAPE);
    if (frame == 13) question = headless::LastFrame();
    if (frame == 14) Hold(KEY_J);
  });
  EXPECT_EQ(RunToEnd(RunEditor), 0);
  // The flip at the start of each pass shows the buffer drawn before the
  // last one: the title once more, then the editor.
  ASSERT_EQ(frames.size(), 14u);
  for (int f = 1; f <= 4; f++) EXPECT_EQ(frames[f], frames[0]) << "frame " << f + 1;
  EXPECT_NE(frames[5], frames[0]);
  EXPECT_EQ(editor.selectedLayer, LAYER_NONE);
  EXPECT_EQ(editor.cursorCellX, 7);
  EXPECT_EQ(CountMapMarkers(editor.terrainGrid, editor.objectGrid).startCount, 0);
  EXPECT_TRUE(std::all_of(std::begin(editor.terrainGrid.cells), std::end(editor.terrainGrid.cells),
                          [](int16_t c) { return c == 0; }));
  // The question alone on black, in red.
  int red = 0;
  for (uint32_t p : question) {
    ASSERT_TRUE(p == BLACK || p == PackColor(255, 0, 0));
    red += p != BLACK;
  }
  EXPECT_GT(red, 0);
  EXPECT_FALSE(Exists("maps/own .map"));
  EXPECT_TRUE(headless::MessageBoxes().empty());
  EXPECT_TRUE(headless::SoundEvents().empty());
  Log expected = {"video",       "display object",       "keyboard",    "renderer",     "mouse",
                  "window",      "close display object", "close mouse", "close window", "close keyboard"};
  EXPECT_EQ(headless::PlatformLog(), expected);
}

// Without a pack every slot stays empty: the title is black, and editing
// shows only what is drawn without pictures.
TEST_F(EditorRun, WithoutAPackStartsAndDrawsNoPicture) {
  std::vector<uint32_t> title, editing;
  headless::OnFrame([&](int frame) {
    if (frame == 1) title = headless::LastFrame();
    if (frame == 2) Button(true);
    if (frame == 6) {
      editing = headless::LastFrame();
      Hold(KEY_ESCAPE);
      Hold(KEY_J);
    }
  });
  EXPECT_EQ(RunToEnd(RunEditor), 0);
  EXPECT_TRUE(std::all_of(title.begin(), title.end(), [](uint32_t p) { return p == BLACK; }));
  ASSERT_EQ(editing.size(), 800u * 600u);
  EXPECT_EQ(editing[0], BLACK);                    // no cell, no pointer
  EXPECT_EQ(editing[300 * 800 + 640], BLACK);      // no palette
  EXPECT_EQ(editing[580 * 800 + 790], BLACK);      // no panel
  EXPECT_EQ(editing[20 * 800 + 680], PackColor(100, 100, 100));  // the overview map of empty cells
}

}  // namespace
