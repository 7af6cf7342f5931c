// The map editor program: its one state record and its entry points.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

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
  X(quitDeclined)        /* 1 once N was answered in the quit question */ \
  X(savedThisPress)      /* 1 once the held F2 has written the map */

// One cell as an undo step found it and left it.
struct CellChange {
  int16_t cell;  // index into MapLayer::cells
  int16_t terrainBefore, objectBefore;
  int16_t terrainAfter, objectAfter;
};

// Undo and redo, in memory only. A step is what one stroke of the left
// button or one load changed; the oldest steps beyond UNDO_STEPS are
// forgotten.
struct UndoHistory {
  std::deque<std::vector<CellChange>> steps;
  size_t applied = 0;  // steps[0, applied) are in the map; the rest can be redone
  // The map as the last recorded, undone or redone step left it; what the
  // map holds beyond this belongs to the step still open.
  MapLayer terrain, objects;
  bool zWasDown = false, yWasDown = false;
};

// Every field of the editor, all zero at program start.
struct EditorState {
  MapLayer terrainGrid, objectGrid;
#define EDITOR_INT_FIELD(name) int32_t name;
  EDITOR_INT_FIELDS(EDITOR_INT_FIELD)
#undef EDITOR_INT_FIELD
  UndoHistory history;
  std::string mapFile;  // the map F2 saves and F3 loads, named on the command line; empty: the own map
};

extern EditorState editor;

// ---- Constants ----------------------------------------------------------------

constexpr int VIEW_SIZE = 600;  // the map view: screen x and y 0..599, 15 x 15 cells
constexpr int VIEW_CELLS = VIEW_SIZE / TILE_SIZE;
constexpr int SCROLL_STEP = 40;
constexpr int SCROLL_X_MAX = 1400;  // the view then shows columns 35..49
constexpr int SCROLL_Y_MAX = 1000;  // and rows 25..39

// Picture slots, filled from the pack's first six entries in this order.
constexpr int PICTURE_POINTER = 0;
constexpr int PICTURE_TERRAIN_TILES = 1;   // frames of 40 x 40, 10 per row; frame v shows terrain code v
constexpr int PICTURE_OBJECT_SPRITES = 2;  // frames of 40 x 40, 4 per row; frame v shows object code v
constexpr int PICTURE_PANEL = 3;
constexpr int PICTURE_PALETTE = 4;
constexpr int PICTURE_TITLE = 5;
constexpr int EDITOR_PICTURES = 6;

constexpr int PANEL_X = 600;
constexpr int PALETTE_X = 620;
constexpr int PALETTE_Y = 100;
constexpr int PALETTE_ICONS = 10;
constexpr int OVERVIEW_X = 659;
constexpr int OVERVIEW_Y = 1;
constexpr int UNDO_STEPS = 1000;

// The layer a chosen icon writes (selectedLayer), also DrawCell's layer.
constexpr int LAYER_NONE = 0;
constexpr int LAYER_TERRAIN = 1;
constexpr int LAYER_OBJECT = 2;

// One icon of the palette, top to bottom.
struct PaletteEntry {
  int index;
  int layer;
  int code;
};
extern const PaletteEntry PALETTE[PALETTE_ICONS];

// ---- The program --------------------------------------------------------------

// Start-up, the title picture, then editing; ends only through ProgramEnd.
// A map file named on the command line (UTF-8, absolute) is checked first
// and loaded, and F2 and F3 then save and load it in place of the own map.
[[noreturn]] void RunEditor(const std::string& mapFile);
[[noreturn]] inline void RunEditor() { RunEditor(std::string()); }

// Starts and checks the media services and opens the screen; a failure ends
// the program.
void StartEditor();
// The six pictures from "vantoredit.pak", unchecked, with their keys.
void LoadEditorPictures();
// The title picture with the pointer until the left button is seen down.
void ShowTitle();

// The frame loop: one pass per frame, for ever.
[[noreturn]] void EditMap();
void EditorFramePass();
void ScrollView();
void ClampScroll();
void ConfirmEditorQuit();

// Drawing: map view with the panel, one cell, the overview map, status texts.
void DrawMapView();
void DrawCell(int code, int x, int y, int layer);
void DrawOverviewMap(int x, int y, int withFrame);
void DrawStatusTexts();

// The palette and placement.
void ChooseIcon();
void RefreshCursorCell();
void PlaceIcon();
void CountMarkers();
void DrawCursorPreview();

// F1, F2 and F3.
void ShowHelp();
void SaveMap();
void LoadMap();

// Ctrl+Z and Ctrl+Y (or Ctrl+Shift+Z), after everything that changes the map
// in a pass: closes the open step when the left button is up, then undoes
// or redoes one step on the press of the letter.
void UndoRedo();

// The state as "name value" lines (vantorreplay's report, the page's test hook).
std::string EditorStateLines();
