// The status panel below the view, with the radar, and the message line at
// the top of the screen.
#include <string>

#include "game/game.h"
#include "media/media.h"

namespace {

// Radar colour of a terrain or object code; false for codes without a pixel.
bool TerrainRadarColour(int code, uint32_t& colour) {
  switch (code) {
    case TERRAIN_WALL: colour = PackColor(150, 0, 0); return true;
    case TERRAIN_LANDING_PAD: colour = PackColor(0, 150, 10); return true;
    case TERRAIN_BLOCK: colour = PackColor(150, 150, 150); return true;
    case TERRAIN_LAUNCHER_LEFT:
    case TERRAIN_LAUNCHER_RIGHT: colour = PackColor(255, 255, 0); return true;
    case TERRAIN_TARGET_PLATFORM: colour = PackColor(0, 0, 255); return true;
    default: return false;
  }
}

}  // namespace

// Later items lie over earlier ones: the prisoner count over the prisoner
// icon, the lives icon over the first pixels of the lives count.
void DrawStatusPanel() {
  const uint32_t blue = PackColor(0, 0, 255);
  DrawPicture(PICTURE_STATUS_PANEL, 0, 440);
  BeginDrawing(ScreenCanvas());
  SetDrawingMode(1);
  SetDrawingColor(blue);
  DrawString(370, 470, "RADAR:");
  EndDrawing();
  DrawRadar(370, 490, 1);
  DrawSheetFrame(3, 330, 550, SHEET_PRISONER);
  BeginDrawing(ScreenCanvas());
  SetDrawingMode(1);
  SetDrawingColor(blue);
  DrawString(365, 560, std::to_string(game.prisonersLeft).c_str());
  DrawString(370, 450, ("LEVEL : " + std::to_string(game.mapNumber)).c_str());
  DrawString(450, 560, std::to_string(game.lives).c_str());
  SetDrawingColor(PackColor(255, 0, 0));
  DrawString(0, 10, game.statusMessage.c_str());
  EndDrawing();
  DrawSheetFrame(20, 380, 550, SHEET_CRAFT);
}

// One pixel per world cell; the live lists, so what was destroyed or moved
// this frame shows at once. Prisoners stand one pixel above their cell.
void DrawRadar(int x, int y, int showView) {
  BeginDrawing(ScreenCanvas());
  DrawBox(x, y, 50, 40, PackColor(50, 50, 50));
  const WorldList& terrain = game.terrainList;
  uint32_t colour;
  for (int i = 0; i < terrain.Size(); i++)
    if (TerrainRadarColour(terrain[i].code, colour))
      PlotPixel(x + terrain[i].x / TILE_SIZE, y + terrain[i].y / TILE_SIZE, colour);
  const WorldList& objects = game.objectList;
  for (int i = 0; i < objects.Size(); i++) {
    const WorldItem& o = objects[i];
    if (o.code == OBJECT_ENEMY) PlotPixel(x + o.x / TILE_SIZE, y + o.y / TILE_SIZE, PackColor(255, 255, 255));
    if (o.code == OBJECT_PRISONER)
      PlotPixel(x + o.x / TILE_SIZE, y + o.y / TILE_SIZE - 1, PackColor(255, 150, 0));
  }
  if (showView == 1) {
    const int vx = x + game.scrollX / TILE_SIZE, vy = y + game.scrollY / TILE_SIZE;
    const uint32_t black = PackColor(0, 0, 0);
    DrawLine(vx, vy, vx + 20, vy, black);
    DrawLine(vx, vy, vx, vy + 11, black);
    DrawLine(vx + 20, vy + 11, vx + 20, vy, black);
    DrawLine(vx + 20, vy + 11, vx, vy + 11, black);
  }
  EndDrawing();
}
