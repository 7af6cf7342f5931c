// The icon palette and placement: choosing an icon, the cell under the
// pointer, setting the chosen icon under the placement rules, the marker
// counts and the preview under the pointer.
#include "editor/editor.h"
#include "media/media.h"

// Not in the codes' numeric order: the block comes before the landing pad.
const PaletteEntry PALETTE[PALETTE_ICONS] = {
    {0, LAYER_TERRAIN, TERRAIN_EMPTY},  // the eraser: clears the object too
    {1, LAYER_TERRAIN, TERRAIN_WALL},
    {2, LAYER_TERRAIN, TERRAIN_BLOCK},
    {3, LAYER_TERRAIN, TERRAIN_LANDING_PAD},
    {4, LAYER_TERRAIN, TERRAIN_TARGET_PLATFORM},
    {5, LAYER_OBJECT, OBJECT_PRISONER},
    {6, LAYER_OBJECT, OBJECT_START},
    {7, LAYER_TERRAIN, TERRAIN_LAUNCHER_LEFT},
    {8, LAYER_TERRAIN, TERRAIN_LAUNCHER_RIGHT},
    {9, LAYER_OBJECT, OBJECT_ENEMY},
};

namespace {

// Terrain under an object stays; the eraser clears both layers whatever
// they hold.
void PlaceTerrain(int x, int y) {
  if (editor.objectGrid.at(x, y) == OBJECT_NONE) editor.terrainGrid.at(x, y) = int16_t(editor.selectedCode);
  if (editor.selectedCode == TERRAIN_EMPTY) {
    editor.terrainGrid.at(x, y) = TERRAIN_EMPTY;
    editor.objectGrid.at(x, y) = OBJECT_NONE;
  }
}

// The start point goes on any terrain while the map has none (as counted in
// the previous pass); the other objects only on empty cells and landing
// pads. Either replaces what the cell held.
void PlaceObject(int x, int y) {
  if (editor.selectedCode == OBJECT_START) {
    if (editor.startCount == 0) editor.objectGrid.at(x, y) = OBJECT_START;
    return;
  }
  const int terrain = editor.terrainGrid.at(x, y);
  if (terrain == TERRAIN_EMPTY || terrain == TERRAIN_LANDING_PAD)
    editor.objectGrid.at(x, y) = int16_t(editor.selectedCode);
}

}  // namespace

// The hit area reaches one pixel past the icons on the right (x 660) and at
// the bottom (y 500), where index 10 chooses nothing.
void ChooseIcon() {
  const int x = MousePosX(), y = MousePosY();
  if (MouseButtonDown(1) == 0 || x < PALETTE_X || x > PALETTE_X + TILE_SIZE) return;
  if (y < PALETTE_Y || y > PALETTE_Y + PALETTE_ICONS * TILE_SIZE) return;
  const int index = (y - PALETTE_Y) / TILE_SIZE;
  if (index >= PALETTE_ICONS) return;
  editor.selectedLayer = PALETTE[index].layer;
  editor.selectedCode = PALETTE[index].code;
}

// Called only while the pointer is over the view; the scroll is clamped, so
// the cell lies in the used area.
void RefreshCursorCell() {
  editor.cursorCellX = editor.scrollX / TILE_SIZE + (MousePosX() + editor.scrollX % TILE_SIZE) / TILE_SIZE;
  editor.cursorCellY = editor.scrollY / TILE_SIZE + (MousePosY() + editor.scrollY % TILE_SIZE) / TILE_SIZE;
}

// Sets the chosen icon at the cursor cell of the previous pass.
void PlaceIcon() {
  if (MouseButtonDown(1) == 0 || MousePosX() >= VIEW_SIZE) return;
  if (editor.selectedLayer == LAYER_TERRAIN) PlaceTerrain(editor.cursorCellX, editor.cursorCellY);
  if (editor.selectedLayer == LAYER_OBJECT) PlaceObject(editor.cursorCellX, editor.cursorCellY);
}

// Over all 51 x 41 cells, column 50 and row 40 included, in every pass.
void CountMarkers() {
  const MapMarkerCounts counts = CountMapMarkers(editor.terrainGrid, editor.objectGrid);
  editor.startCount = counts.startCount;
  editor.targetCount = counts.targetCount;
  editor.prisonerCount = counts.prisonerCount;
}

// Drawn whether or not the icon would be accepted there.
void DrawCursorPreview() {
  if (MousePosX() >= VIEW_SIZE || editor.selectedLayer == LAYER_NONE) return;
  DrawCell(editor.selectedCode, editor.cursorCellX * TILE_SIZE - editor.scrollX,
           editor.cursorCellY * TILE_SIZE - editor.scrollY, editor.selectedLayer);
}
