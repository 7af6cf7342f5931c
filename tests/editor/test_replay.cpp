// Whole runs of the real editor through vantorreplay --editor in a player's
// folder of its own, and a map built in the editor played through in the game.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
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

// Pressing the button over one cell and moving down to another, then letting
// go: one stroke over every cell between them.
std::string DragDown(int column, int fromRow, int toRow) {
  std::string lines;
  char line[48];
  const int x = column * 40 + 20;
  for (int row = fromRow - 1; row <= toRow; row++) {
    snprintf(line, sizeof line, "1 @%d,%d%s\n", x, std::max(row, fromRow) * 40 + 20, row < fromRow ? "" : " LMB");
    lines += line;
  }
  snprintf(line, sizeof line, "1 @%d,%d LMB\n1 @%d,%d\n", x, toRow * 40 + 20, x, toRow * 40 + 20);
  return lines + line;
}

// Ctrl with the US keys of Z and Y, as the headless keyboard has them; the
// frame after each recounts the markers. Saving is pressing and letting go.
const std::string UNDO = "1 Ctrl 0x2C\n1\n";
const std::string REDO = "1 Ctrl 0x15\n1\n";
const std::string SAVE = "1 F2\n1\n";

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

// The small map is five strokes. Each row's values are those of the report.
TEST_F(EditorReplay, UndoAndRedoTakeBackAndBringBackWholeStrokesAndLoads) {
  struct Case {
    const char* what;
    std::string script;
    std::map<std::string, int> expected;
  };
  const std::string map = BuildSmallMap();
  const std::string eraseStart = map + ClickIcon(0) + DragDown(5, 4, 6);
  // The load's counts come a pass after it.
  const std::string loadOverSecondTarget = map + SAVE + ClickIcon(4) + PaintCell(8, 8) + "1 F3\n2\n";
  const Case cases[] = {
      {"the small map", map, {{"undoSteps", 5}, {"redoSteps", 0}, {"startCount", 1}}},
      {"an eraser stroke over start point and prisoner", eraseStart,
       {{"undoSteps", 6}, {"startCount", 0}, {"prisonerCount", 0}}},
      {"the eraser stroke undone", eraseStart + UNDO,
       {{"undoSteps", 5}, {"redoSteps", 1}, {"startCount", 1}, {"prisonerCount", 1}}},
      {"and redone", eraseStart + UNDO + REDO, {{"undoSteps", 6}, {"redoSteps", 0}, {"startCount", 0}}},
      {"and redone with Ctrl+Shift+Z", eraseStart + UNDO + "1 Ctrl 0x2A 0x2C\n1\n", {{"startCount", 0}}},
      {"with the right Ctrl", eraseStart + "1 0x9D 0x2C\n1\n", {{"startCount", 1}}},
      {"a load over a second target platform", loadOverSecondTarget, {{"undoSteps", 7}, {"targetCount", 1}}},
      {"the load undone", loadOverSecondTarget + UNDO,
       {{"undoSteps", 6}, {"targetCount", 2}, {"selectedCode", TERRAIN_TARGET_PLATFORM}, {"cursorCellX", 8}}},
      {"a new stroke after an undo drops the redo", map + UNDO + ClickIcon(1) + PaintCell(10, 10) + REDO,
       {{"undoSteps", 5}, {"redoSteps", 0}, {"startCount", 0}}},
      {"Z or Y without Ctrl", map + "1 0x2C\n1\n", {{"undoSteps", 5}, {"startCount", 1}}},
      {"held keys do not repeat", map + "10 Ctrl 0x2C\n1\n",
       {{"undoSteps", 4}, {"startCount", 0}, {"prisonerCount", 1}}},
      {"nor does a held redo", map + "2 Ctrl 0x2C\n1\n2 Ctrl 0x2C\n10 Ctrl 0x15\n1\n",
       {{"undoSteps", 4}, {"redoSteps", 1}, {"prisonerCount", 1}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove(Path("maps/own .map"));
    ReplayRun run = Editor(c.script);
    for (const auto& [name, value] : c.expected) EXPECT_EQ(run.Int(name), value) << name;
  }
}

// One tap after another would be one held button, so every tap is
// followed by a frame without it.
TEST_F(EditorReplay, ATapLeavesTheTitleChoosesAnIconAndSetsOneCell) {
  ReplayRun run = Editor("1 @300,300 Tap\n1 @640,260 Tap\n1 @20,20\n1 @20,20 Tap\n1 @20,20\n");
  EXPECT_EQ(run.Int("selectedCode"), TERRAIN_TARGET_PLATFORM);
  EXPECT_EQ(run.Int("targetCount"), 1);
  EXPECT_EQ(run.Int("undoSteps"), 1);
}

// The stroke undone and redone, each saved: the first save is the small
// map exactly (kept as the backup by the second), the second has the stroke.
TEST_F(EditorReplay, AStrokeUndoneAndRedoneIsSavedByteForByte) {
  MapLayer terrain, objects;
  terrain.at(5, 7) = TERRAIN_TARGET_PLATFORM;
  terrain.at(5, 8) = terrain.at(6, 8) = TERRAIN_WALL;
  objects.at(5, 6) = OBJECT_PRISONER;
  objects.at(5, 5) = OBJECT_START;
  ASSERT_TRUE(WriteMapFile(Path("without.map").c_str(), terrain, objects));
  for (int row = 2; row <= 6; row++) terrain.at(9, row) = TERRAIN_BLOCK;
  ASSERT_TRUE(WriteMapFile(Path("with.map").c_str(), terrain, objects));
  ReplayRun run = Editor(BuildSmallMap() + ClickIcon(2) + DragDown(9, 2, 6) + UNDO + SAVE + REDO + SAVE);
  EXPECT_EQ(run.Int("undoSteps"), 6);
  EXPECT_EQ(ReadBytes("maps/own .map.bak"), ReadBytes("without.map"));
  EXPECT_EQ(ReadBytes("maps/own .map"), ReadBytes("with.map"));
}

// A thousand steps are kept; the oldest beyond them are forgotten, so the
// first three (the markers) cannot be undone. Walls, then blocks over them,
// then walls again, one cell per tap.
TEST_F(EditorReplay, TheHistoryKeepsTheLastThousandSteps) {
  std::string script = TITLE_CLICK + ClickIcon(4) + PaintCell(5, 7) + ClickIcon(5) + PaintCell(5, 6) + ClickIcon(6) +
                       PaintCell(5, 5);
  char lines[64];
  for (int step = 0; step < 1000; step++) {
    const int cell = step % 100;  // in rows 8..14, below the markers
    if (cell == 0) script += ClickIcon(step / 100 % 2 == 0 ? 1 : 2);
    const int x = cell % 15 * 40 + 20, y = (8 + cell / 15) * 40 + 20;
    snprintf(lines, sizeof lines, "1 @%d,%d\n1 @%d,%d Tap\n", x, y, x, y);
    script += lines;
  }
  for (int undo = 0; undo < 1001; undo++) script += "1 Ctrl 0x2C\n1 Ctrl\n";
  ReplayRun run = Editor(script + "1\n");
  EXPECT_EQ(run.Int("undoSteps"), 0);
  EXPECT_EQ(run.Int("redoSteps"), 1000);
  EXPECT_EQ(run.Int("startCount") + run.Int("targetCount") + run.Int("prisonerCount"), 3);
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

// ---- A map file named on the command line ---------------------------------------

// The tool starts in the folder "work" beside the packs and names the map
// relative to it, as a level maker does from a folder of their own; the
// programs play in the player's folder.
class MapFileArgument : public EditorReplay {
 protected:
  void SetUp() override {
    EditorReplay::SetUp();
    std::filesystem::create_directories(Path("work/ä b"));
  }

  ReplayRun Run(const std::string& args, const std::string& script, const std::string& file) {
    WriteText("work/replay-script.txt", script);
    ReplayRun run = RunReplayArgs(dir, args + " replay-script.txt " + Quote(file), Path("work"));
    EXPECT_EQ(run.exitCode, 0) << run.err;
    return run;
  }
};

const std::string LEVEL = "ä b/ü level.map";

// A new file: the editor starts empty and F2 creates it. Started on it
// again, the editor has it loaded; a wall added and saved keeps the first
// save as the backup. The own map is never touched.
TEST_F(MapFileArgument, TheEditorCreatesLoadsAndSavesTheFileItIsGiven) {
  Run("--editor", BuildSmallMap() + SAVE, LEVEL);
  const Bytes first = ReadBytes("work/" + LEVEL);
  ASSERT_EQ(first.size(), size_t(MAP_FILE_SIZE));
  EXPECT_FALSE(Exists("work/" + LEVEL + ".bak"));
  ReplayRun second = Run("--editor", TITLE_CLICK + ClickIcon(1) + PaintCell(9, 9) + SAVE, LEVEL);
  EXPECT_EQ(second.Int("startCount") + second.Int("targetCount") + second.Int("prisonerCount"), 3);
  EXPECT_TRUE(second.All("messagebox").empty());
  EXPECT_EQ(ReadBytes("work/ä b/ü level.map.bak"), first);
  const Bytes saved = ReadBytes("work/" + LEVEL);
  ASSERT_EQ(saved.size(), size_t(MAP_FILE_SIZE));
  EXPECT_EQ(saved[2 * (9 * MAP_FILE_ROWS + 9)], TERRAIN_WALL);
  EXPECT_FALSE(Exists("maps/own .map"));
}

// F2 on the title plays the file: map 1's prisoners, not an own map's.
TEST_F(MapFileArgument, TheGamePlaysTheFileItIsGivenWithF2) {
  std::filesystem::copy_file(VANTOR_RUN_DIR "/maps/map 1.map", Path("work/" + LEVEL));
  MapLayer terrain, objects;
  ASSERT_TRUE(ReadMapFile((VANTOR_RUN_DIR "/maps/map 1.map"), terrain, objects));
  ReplayRun play = Run("--no-sound", "560\n1 F2\n1\n", LEVEL);
  EXPECT_EQ(play.Int("ownMapMode"), 1);
  EXPECT_EQ(play.Int("prisonersLeft"), CountMapMarkers(terrain, objects).prisonerCount);
  EXPECT_FALSE(Exists("maps/own .map"));
}

// What is not a map is refused by both programs alike, before the window
// opens, and left as it was; a missing file only by the game.
TEST_F(MapFileArgument, WhatIsNotAMapIsRefusedAndLeftAsItWas) {
  const Bytes picture(10240, 0x5a);
  WriteBytes("work/bild.map", picture);
  struct Case {
    const char *args, *file, *text;
  };
  const Case cases[] = {
      {"", "bild.map", "Datei ist keine Karte"},       {"--editor", "bild.map", "Datei ist keine Karte"},
      {"", "ä b", "Datei ist keine Karte"},            {"--editor", "ä b", "Datei ist keine Karte"},
      {"", "fehlt.map", "Kann Datei nicht öffnen"},
  };
  for (const Case& c : cases) {
    ReplayRun run = Run(c.args, "10\n", c.file);
    EXPECT_EQ(run.values["ended"], "yes") << c.args << " " << c.file;
    EXPECT_EQ(run.Int("frames"), 0);
    const std::string box = "\"Fehler\" \"" + std::string(c.text) + "\\n" + Path("work/") + c.file + "\"";
    EXPECT_EQ(run.All("messagebox"), std::vector<std::string>{box});
  }
  EXPECT_EQ(ReadBytes("work/bild.map"), picture);
  EXPECT_TRUE(std::filesystem::is_empty(Path("work/ä b")));
  EXPECT_FALSE(Exists("work/fehlt.map"));
}

}  // namespace
