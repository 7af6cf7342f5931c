// What the editor draws of the map: the panel with the palette, the map
// view cell by cell, the overview map with the view's square, and the
// status texts.
#include <string>

#include "editor/editor.h"
#include "media/media.h"

namespace {

// Overview colour of a code; false for codes that leave the pixel alone.
bool TerrainOverviewColour(int code, uint32_t& colour) {
  switch (code) {
    case TERRAIN_EMPTY: colour = PackColor(100, 100, 100); return true;
    case TERRAIN_WALL: colour = PackColor(255, 0, 0); return true;
    case TERRAIN_LANDING_PAD: colour = PackColor(0, 200, 0); return true;
    case TERRAIN_BLOCK: colour = PackColor(100, 0, 0); return true;
    default: return false;
  }
}

bool ObjectOverviewColour(int code, uint32_t& colour) {
  switch (code) {
    case OBJECT_ENEMY: colour = PackColor(255, 255, 255); return true;
    case OBJECT_PRISONER: colour = PackColor(255, 255, 0); return true;
    default: return false;
  }
}

// One text with its number, as "X-Offset: 1400".
void DrawNumbered(int x, int y, const char* label, int value) {
  DrawString(x, y, (label + std::to_string(value)).c_str());
}

}  // namespace

// The cursor cell is refreshed here, after the scroll has been clamped; the
// pointer over the panel keeps the last cell.
void DrawMapView() {
  DrawPicture(PICTURE_PANEL, PANEL_X, 0);
  DrawPictureKeyed(PICTURE_PALETTE, PALETTE_X, PALETTE_Y);
  editor.firstVisibleColumn = editor.scrollX / TILE_SIZE;
  editor.firstVisibleRow = editor.scrollY / TILE_SIZE;
  if (MousePosX() < VIEW_SIZE) RefreshCursorCell();
  for (int c = editor.firstVisibleColumn; c < editor.firstVisibleColumn + VIEW_CELLS; c++) {
    for (int r = editor.firstVisibleRow; r < editor.firstVisibleRow + VIEW_CELLS; r++) {
      const int x = c * TILE_SIZE - editor.scrollX, y = r * TILE_SIZE - editor.scrollY;
      DrawCell(editor.terrainGrid.at(c, r), x, y, LAYER_TERRAIN);
      DrawCell(editor.objectGrid.at(c, r), x, y, LAYER_OBJECT);
    }
  }
}

// Code 0 has a frame of its own and is drawn like every other code.
void DrawCell(int code, int x, int y, int layer) {
  const int picture = layer == LAYER_TERRAIN ? PICTURE_TERRAIN_TILES : PICTURE_OBJECT_SPRITES;
  const int framesPerRow = layer == LAYER_TERRAIN ? 10 : 4;
  const int row = TruncateToInt(double(code) / framesPerRow);
  const int column = code - row * framesPerRow;
  SetPictureSection(picture, column * TILE_SIZE, row * TILE_SIZE, TILE_SIZE, TILE_SIZE);
  DrawPictureKeyed(picture, x, y);
}

// One pixel per cell of the used area; launchers, the target platform and
// the start point have no colour, so the panel shows through there.
void DrawOverviewMap(int x, int y, int withFrame) {
  if (x >= 799) x = 799;
  if (y >= 599) y = 599;
  BeginDrawing(ScreenCanvas());
  uint32_t colour;
  for (int c = 0; c < MAP_WIDTH; c++) {
    for (int r = 0; r < MAP_HEIGHT; r++) {
      if (TerrainOverviewColour(editor.terrainGrid.at(c, r), colour)) PlotPixel(x + c, y + r, colour);
      if (ObjectOverviewColour(editor.objectGrid.at(c, r), colour)) PlotPixel(x + c, y + r, colour);
    }
  }
  if (withFrame == 1) {
    // The square marks the part of the map that the view shows.
    const uint32_t white = PackColor(255, 255, 255);
    const int left = x + editor.firstVisibleColumn, top = y + editor.firstVisibleRow;
    const int right = left + 13, bottom = top + 13;
    SetDrawingColor(white);
    DrawLine(left, top, right, top, white);
    DrawLine(left, top, left, bottom, white);
    DrawLine(right, bottom, right, top, white);
    DrawLine(right, bottom, left, bottom, white);
  }
  EndDrawing();
}

void DrawStatusTexts() {
  BeginDrawing(ScreenCanvas());
  SetDrawingMode(1);
  SetDrawingColor(PackColor(0, 200, 0));
  DrawNumbered(605, 10, "X: ", editor.cursorCellX);
  DrawNumbered(605, 30, "Y: ", editor.cursorCellY);
  DrawNumbered(605, 50, "X-Offset: ", editor.scrollX);
  DrawNumbered(605, 70, "Y-Offset: ", editor.scrollY);
  DrawString(605, 540, "F1 für Hilfe");
  EndDrawing();
}
