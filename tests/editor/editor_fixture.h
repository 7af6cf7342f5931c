// A started editor on the headless backend, working in a fresh folder with
// an empty maps/ folder, driven pass by pass; and checks for what a pass drew.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "editor/editor.h"
#include "media/headless.h"
#include "media/internal.h"
#include "media/media.h"
#include "support/test_support.h"

namespace testsupport {

constexpr uint32_t BLACK = 0x000000;

// The working folder is a fresh one with an empty maps/ folder, as a
// player's folder without a saved map.
class EditorFolderTest : public TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    previousDir = std::filesystem::current_path();
    std::filesystem::current_path(dir);
    std::filesystem::create_directory("maps");
    headless::Use();
    editor = EditorState{};
  }
  void TearDown() override {
    std::filesystem::current_path(previousDir);
    TempDirTest::TearDown();
  }

  static void LinkPack() { ASSERT_EQ(symlink(VANTOR_RUN_DIR "/vantoredit.pak", "vantoredit.pak"), 0); }

  // Input as the next ReadMouse and ReadKeyboard see it.
  void Point(int x, int y) {
    headless::MoveMouse(x - pointerX, y - pointerY);
    pointerX = x;
    pointerY = y;
  }
  void Button(bool down) {
    if (down != buttonDown) headless::SetMouseButton(1, down);
    buttonDown = down;
  }
  static void Hold(int key, bool held = true) { headless::HoldKey(key, held); }
  int pointerX = 0, pointerY = 0;
  bool buttonDown = false;

 private:
  std::filesystem::path previousDir;
};

// The editor started, its screen open, no pictures yet.
class EditorTest : public EditorFolderTest {
 protected:
  void SetUp() override {
    EditorFolderTest::SetUp();
    StartEditor();
  }

  // The pictures of the built pack; without this every picture slot is
  // empty and a frame shows only the overview map and the texts on black.
  void LoadPack() {
    LinkPack();
    LoadEditorPictures();
  }

  // For calling a single step on its own.
  static void ReadInput() {
    ReadKeyboard();
    ReadMouse();
  }
  // Passes of the frame loop; afterwards the screen buffer holds what the
  // last of them drew.
  static void Pass(int passes = 1) {
    for (int i = 0; i < passes; i++) EditorFramePass();
  }
  // Moves the pointer to a visible cell and lets one pass take it as the
  // cursor cell; the next pass with the button down sets it. The pointer's
  // tip is on the cell's last pixel, so the pointer hides no other pixel of
  // the cell.
  void PointAtCell(int column, int row) {
    Point(column * TILE_SIZE - editor.scrollX + 39, row * TILE_SIZE - editor.scrollY + 39);
    Pass();
  }
  // Chooses palette icon `index` with a click (the button is up afterwards).
  void ChooseIconAt(int index) {
    Point(PALETTE_X + 20, PALETTE_Y + index * TILE_SIZE + 20);
    Button(true);
    Pass();
    Button(false);
  }
  // Sets the chosen icon into a cell with one press.
  void PaintCell(int column, int row) {
    PointAtCell(column, row);
    Button(true);
    Pass();
    Button(false);
  }

  static uint32_t At(int x, int y) { return Screen().hidden[size_t(y) * 800 + x]; }
  // Pixels of the rectangle, row by row.
  static std::vector<uint32_t> Area(int x, int y, int w, int h) {
    std::vector<uint32_t> out;
    for (int r = y; r < y + h; r++)
      for (int c = x; c < x + w; c++) out.push_back(At(c, r));
    return out;
  }

  // The screen shows `text` as a DrawString with this mode and colour at
  // (x, y) draws it: every pixel such a call changes has the same value.
  static void ExpectText(int x, int y, const char* text, uint32_t colour, int mode = 1) {
    std::vector<uint32_t>& screen = Screen().hidden;
    const std::vector<uint32_t> frame = screen;
    const uint32_t sentinel = 0x123456;
    std::fill(screen.begin(), screen.end(), sentinel);
    BeginDrawing(ScreenCanvas());
    SetDrawingMode(mode);
    SetDrawingColor(colour);
    DrawString(x, y, text);
    EndDrawing();
    const std::vector<uint32_t> alone = screen;
    screen = frame;
    int drawn = 0, differing = 0;
    for (size_t i = 0; i < alone.size(); i++) {
      if (alone[i] == sentinel) continue;
      drawn++;
      differing += frame[i] != alone[i];
    }
    EXPECT_GT(drawn, 0) << text;
    EXPECT_EQ(differing, 0) << "\"" << text << "\" at (" << x << ", " << y << ")";
  }
};

}  // namespace testsupport
