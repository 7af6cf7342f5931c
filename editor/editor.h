// The map editor program: its one state record and its entry points.
#pragma once

#include <cstdint>

#include "formats/mapfile.h"

// The editor's whole-number fields, listed once so that the state record and
// its printed form (vantorreplay --editor) cannot drift apart.
#define EDITOR_INT_FIELDS(X)                                                  \
  X(selectedLayer)       /* 0 no icon chosen, 1 terrain, 2 object */         \
  X(selectedCode)        /* the code the chosen icon writes */               \
  X(cursorCellX)         /* the map cell under the pointer */                \
  X(cursorCellY)                                                              \
  X(scrollX)             /* world pixel at the view's top-left corner */     \
  X(scrollY)                                                                  \
  X(firstVisibleColumn)  /* the cell at the view's top-left corner */        \
  X(firstVisibleRow)                                                          \
  X(startCount)          /* this frame's counts of the map's markers */      \
  X(targetCount)                                                              \
  X(prisonerCount)                                                            \
  X(quitDeclined)        /* 1 once N was answered in the quit question */

// Every field of the editor, all zero at program start.
struct EditorState {
  MapLayer terrainGrid, objectGrid;
#define EDITOR_INT_FIELD(name) int32_t name;
  EDITOR_INT_FIELDS(EDITOR_INT_FIELD)
#undef EDITOR_INT_FIELD
};

extern EditorState editor;

// The program: start-up, then editing; ends only through ProgramEnd.
[[noreturn]] void RunEditor();

// Starts and checks the media services and opens the screen; a failure ends
// the program.
void StartEditor();

// The editing session after start-up; does not return.
[[noreturn]] void EditMap();
