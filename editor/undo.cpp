// Undo and redo of whole strokes and loads. The history keeps a copy of the
// map as its last step left it; whatever differs from that copy when the
// left button is up is one new step, so a drag of many frames is one step
// and so is a load (one made while the button is held over the map joins
// that stroke). Undo and redo touch only the two layers: icon, scroll and
// cursor stay, and the next pass's CountMarkers follows the map.
#include "editor/editor.h"
#include "media/media.h"

namespace {

constexpr int KEY_RIGHT_CTRL = 0x9D;
constexpr int KEY_LEFT_SHIFT = 0x2A;
constexpr int KEY_RIGHT_SHIFT = 0x36;

// By the letter on the key, so that a German keyboard undoes with the key
// labelled Z, where an English one has Y.
bool LetterHeld(char letter) {
  const int key = KeyOfLetter(letter);
  return key != 0 && KeyDown(key) != 0;
}

void SetCell(int cell, int16_t terrain, int16_t object) {
  UndoHistory& h = editor.history;
  editor.terrainGrid.cells[cell] = h.terrain.cells[cell] = terrain;
  editor.objectGrid.cells[cell] = h.objects.cells[cell] = object;
}

// A new step drops the steps that could have been redone.
void RecordStep() {
  UndoHistory& h = editor.history;
  std::vector<CellChange> changes;
  for (int cell = 0; cell < MAP_FILE_COLUMNS * MAP_FILE_ROWS; cell++) {
    const int16_t terrain = editor.terrainGrid.cells[cell], object = editor.objectGrid.cells[cell];
    if (terrain == h.terrain.cells[cell] && object == h.objects.cells[cell]) continue;
    changes.push_back(CellChange{int16_t(cell), h.terrain.cells[cell], h.objects.cells[cell], terrain, object});
    h.terrain.cells[cell] = terrain;
    h.objects.cells[cell] = object;
  }
  if (changes.empty()) return;
  h.steps.resize(h.applied);
  h.steps.push_back(std::move(changes));
  if (h.steps.size() > size_t(UNDO_STEPS)) h.steps.pop_front();
  h.applied = h.steps.size();
}

void Undo() {
  UndoHistory& h = editor.history;
  if (h.applied == 0) return;
  h.applied--;
  for (const CellChange& c : h.steps[h.applied]) SetCell(c.cell, c.terrainBefore, c.objectBefore);
}

void Redo() {
  UndoHistory& h = editor.history;
  if (h.applied == h.steps.size()) return;
  for (const CellChange& c : h.steps[h.applied]) SetCell(c.cell, c.terrainAfter, c.objectAfter);
  h.applied++;
}

}  // namespace

void UndoRedo() {
  UndoHistory& h = editor.history;
  const bool ctrl = KeyDown(KEY_LEFT_CTRL) || KeyDown(KEY_RIGHT_CTRL);
  const bool shift = KeyDown(KEY_LEFT_SHIFT) || KeyDown(KEY_RIGHT_SHIFT);
  const bool z = LetterHeld('Z'), y = LetterHeld('Y');
  // Once per press of the letter; holding it does not repeat.
  const bool zPressed = z && !h.zWasDown, yPressed = y && !h.yWasDown;
  h.zWasDown = z;
  h.yWasDown = y;
  const bool undo = ctrl && zPressed && !shift;
  const bool redo = ctrl && (yPressed || (zPressed && shift));
  // A stroke still held is closed by an undo, so that the undo takes back
  // what it has painted so far.
  if (MouseButtonDown(1) == 0 || undo || redo) RecordStep();
  if (undo) Undo();
  if (redo) Redo();
}
