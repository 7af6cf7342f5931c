// Whole runs of the real editor through vantorreplay --editor in a player's
// folder of its own, and a map built in the editor played through in the game.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "formats/mapfile.h"
#include "support/replay_run.h"

namespace {

using namespace testsupport;

// Script lines. The editor takes a pointer position as the cursor cell in
// one frame and sets the chosen icon there while the button is down in a
// later one; so every click is: point, press, release.
std::string Click(int x, int y) {
  char lines[64];
  snprintf(lines, sizeof lines, "1 @%d,%d\n1 @%d,%d LMB\n1 @%d,%d\n", x, y, x, y, x, y);
  return lines;
}
std::string ClickIcon(int index) { return Click(640, 120 + 40 * index); }
// A cell of the view while it is not scrolled.
std::string PaintCell(int column, int row) { return Click(column * 40 + 20, row * 40 + 20); }

const std::string TITLE_CLICK = "1 @300,300 LMB\n1 @300,300\n";

// Start point over a prisoner over the target platform on a floor of wall:
// the craft sinks from its start through the prisoner onto the platform.
std::string BuildSmallMap() {
  return TITLE_CLICK + ClickIcon(4) + PaintCell(5, 7) + ClickIcon(1) + PaintCell(5, 8) + PaintCell(6, 8) +
         ClickIcon(5) + PaintCell(5, 6) + ClickIcon(6) + PaintCell(5, 5);
}

class EditorReplay : public TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    for (const char* pack : {"vantoredit.pak", "vantor.pak"})
      ASSERT_EQ(symlink((std::string(VANTOR_RUN_DIR) + "/" + pack).c_str(), Path(pack).c_str()), 0);
    std::filesystem::create_directory(Path("maps"));
  }

  ReplayRun Editor(const std::string& script, const std::string& args = "") {
    ReplayRun run = RunReplay(dir, "--editor " + args, script);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    return run;
  }
};

// Each pass acts on the input of its own frame; the report follows the last
// scripted pass, shown one frame later.
TEST_F(EditorReplay, TheTitleClickSetsNothingAndScrollingStopsAt1400) {
  ReplayRun run = Editor("1 @300,300 LMB\n5 @300,300 LMB\n40 Right\n");
  EXPECT_EQ(run.Int("frames"), 47);
  EXPECT_EQ(run.values["ended"], "no");
  EXPECT_EQ(run.Int("scrollX"), 1400);
  EXPECT_EQ(run.Int("firstVisibleColumn"), 35);
  EXPECT_EQ(run.Int("selectedLayer"), 0);
  EXPECT_EQ(run.Int("cursorCellX"), 42);  // 35 + 300 / 40
  EXPECT_EQ(run.Int("startCount") + run.Int("targetCount") + run.Int("prisonerCount"), 0);
  // No offset below 0; Escape with N goes on editing.
  run = Editor(TITLE_CLICK + "3 Left Up\n2 Esc\n2 N\n2 Down\n");
  EXPECT_EQ(run.values["ended"], "no");
  EXPECT_EQ(run.Int("scrollX"), 0);
  EXPECT_EQ(run.Int("scrollY"), 80);
}

// A close request ends the title at once; while editing it asks as Escape
// does, and a second one while the question shows ends the editor.
TEST_F(EditorReplay, ACloseRequestEndsTheTitleAndAsksWhileEditing) {
  struct Case {
    const char* where;
    std::string script;
    bool ends;
  };
  const Case cases[] = {
      {"title", "5 Close\n5\n", true},
      {"editing, then N", TITLE_CLICK + "2 Down\n1 Close\n3 Down\n1 N\n1 Down\n", false},
      {"editing, again while asking", TITLE_CLICK + "1 Close\n3\n1 Close\n3\n", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.where);
    ReplayRun run = Editor(c.script);
    EXPECT_EQ(run.values["ended"], c.ends ? "yes" : "no");
    if (!c.ends) {
      EXPECT_EQ(run.Int("scrollY"), 120);  // nothing scrolls while asking
    }
  }
}

// The shot is the game's end screen: "Taste !" in blue at the bottom left,
// and black where the status panel would be during play.
bool ShowsEndScreen(const Bytes& bmp) {
  const size_t rowBytes = 800 * 3;
  if (bmp.size() != 54 + rowBytes * 600) return false;
  auto pixel = [&](int x, int y) {
    const uint8_t* p = &bmp[54 + size_t(599 - y) * rowBytes + size_t(x) * 3];  // bottom row first, B G R
    return uint32_t(p[2]) | uint32_t(p[1]) << 8 | uint32_t(p[0]) << 16;
  };
  int blue = 0;
  for (int y = 580; y < 600; y++)
    for (int x = 10; x < 80; x++) blue += pixel(x, y) == 0xFF0000;
  for (int y = 440; y < 575; y++)
    for (int x = 0; x < 240; x++)
      if (pixel(x, y) != 0) return false;
  return blue > 20;
}

TEST_F(EditorReplay, AMapBuiltInTheEditorIsPlayedToTheEndInTheGame) {
  ReplayRun edit = Editor(BuildSmallMap() + "1 F2\n1 Esc\n1 Esc J\n");
  ASSERT_EQ(edit.values["ended"], "yes");
  EXPECT_EQ(edit.Int("startCount") + edit.Int("targetCount") + edit.Int("prisonerCount"), 3);
  EXPECT_TRUE(edit.All("messagebox").empty());
  ASSERT_EQ(ReadBytes("maps/own .map").size(), size_t(MAP_FILE_SIZE));
  // The intro takes 553 frames; F2 on the title plays the own map; the craft
  // sinks onto the platform with the prisoner freed on its way.
  ReplayRun play = RunReplay(dir, "--no-sound --shot end.bmp", "560\n1 F2\n300\n");
  ASSERT_EQ(play.exitCode, 0) << play.err;
  EXPECT_EQ(play.Int("ownMapMode"), 1);
  EXPECT_EQ(play.Int("prisonersLeft"), 0);
  EXPECT_EQ(play.Int("lives"), 3);
  EXPECT_TRUE(ShowsEndScreen(ReadBytes("end.bmp")));
  EXPECT_EQ(play.All("messagebox"), std::vector<std::string>{"\"Soundkarte gefunden\" \"Sound aktivieren ?\""});
}

}  // namespace
