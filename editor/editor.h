// The map editor program: its one state record and its entry points.
#pragma once

#include <cstdint>

// Every variable of the editor, all zero at program start.
struct EditorState {
  int32_t selectedLayer;  // 0 no icon chosen, 1 terrain, 2 object
  int32_t selectedCode;
  int32_t cursorCellX, cursorCellY;
  int32_t scrollX, scrollY;
  int32_t firstVisibleColumn, firstVisibleRow;
  int32_t startCount, targetCount, prisonerCount;
  int32_t quitDeclined;
};

extern EditorState editor;

// The program: start-up, then editing; ends only through ProgramEnd.
[[noreturn]] void RunEditor();

// Starts and checks the media services and opens the screen; a failure ends
// the program.
void StartEditor();

// The editing session after start-up; does not return.
[[noreturn]] void EditMap();
