// Undo and redo follow the keyboard layout: on a German keyboard the key
// labelled Z sits where an English one has Y, and the other way round.
// (Whole strokes, loads, the redo and the limit: test_replay.cpp.)
#include <gtest/gtest.h>

#include "editor_fixture.h"

namespace {

using namespace testsupport;

using EditorUndo = EditorTest;

TEST_F(EditorUndo, CtrlWithTheKeysLabelledZAndYOnAGermanKeyboard) {
  constexpr int US_Y = 0x15, US_Z = 0x2C;
  headless::SetLetterKey('Z', US_Y);
  headless::SetLetterKey('Y', US_Z);
  auto pressWithCtrl = [](int key) {
    Hold(KEY_LEFT_CTRL);
    Hold(key);
    Pass();
    headless::ReleaseAllKeys();
    Pass();
  };
  ChooseIconAt(1);
  PaintCell(3, 3);
  Pass();
  pressWithCtrl(US_Z);  // German Y: nothing to redo
  EXPECT_EQ(editor.terrainGrid.at(3, 3), TERRAIN_WALL);
  pressWithCtrl(US_Y);  // German Z
  EXPECT_EQ(editor.terrainGrid.at(3, 3), TERRAIN_EMPTY);
  pressWithCtrl(US_Z);
  EXPECT_EQ(editor.terrainGrid.at(3, 3), TERRAIN_WALL);
}

}  // namespace
