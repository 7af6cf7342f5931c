// Level loading: a map file becomes the two layers, the terrain, object and
// backdrop lists, the prisoner count and the craft's start with its view.
#include "game/game.h"
#include "media/media.h"

void AddTerrainItem(int x, int y, int code) { game.terrainList.Add(x, y, code); }
void AddObjectItem(int x, int y, int code) { game.objectList.Add(x, y, code); }
void AddBackdropItem(int x, int y, int code) { game.backdropList.Add(x, y, code); }
void AddShot(int x, int y, int kind) { game.shotList.Add(x, y, kind); }
void AddRocket(int x, int y, int kind) { game.rocketList.Add(x, y, kind); }

void ReadLevelFile(const char* path) {
  if (!ReadMapFile(path, game.terrainGrid, game.objectGrid)) {
    ShowMessageBox("Fehler", "Kann Datei nicht öffnen", 0);
    ProgramEnd();
  }
  // Column 50 and row 40 count too, although they never become part of the
  // world: a prisoner there can never be freed.
  for (int x = 0; x < MAP_FILE_COLUMNS; x++)
    for (int y = 0; y < MAP_FILE_ROWS; y++)
      if (game.objectGrid.at(x, y) == OBJECT_PRISONER) game.prisonersLeft++;
}

void BuildWorld() {
  game.terrainList.Clear();
  for (int x = 0; x < MAP_WIDTH; x++)
    for (int y = 0; y < MAP_HEIGHT; y++) AddTerrainItem(x * TILE_SIZE, y * TILE_SIZE, game.terrainGrid.at(x, y));
  game.objectList.Clear();
  for (int x = 0; x < MAP_WIDTH; x++)
    for (int y = 0; y < MAP_HEIGHT; y++) AddObjectItem(x * TILE_SIZE, y * TILE_SIZE, game.objectGrid.at(x, y));
  game.backdropList.Clear();
  for (int x = 0; x < BACKDROP_COLUMNS; x++)
    for (int y = 0; y < BACKDROP_ROWS; y++)
      AddBackdropItem(x * TILE_SIZE, y * TILE_SIZE, game.backdropGrid.at(x, y));
  // Shots and rockets in flight carry over into the new map.
}

// The start cell's corner lands at screen (300, 200) unless the view would
// pass the world's left or top edge or scroll below 1160. Several start
// cells: the last in scan order wins; none: everything keeps its value.
void PlaceAtStart() {
  for (int x = 0; x < MAP_WIDTH; x++) {
    for (int y = 0; y < MAP_HEIGHT; y++) {
      if (game.objectGrid.at(x, y) != OBJECT_START) continue;
      game.scrollX = x * TILE_SIZE - 300;
      game.scrollY = y * TILE_SIZE - 200;
      if (game.scrollY >= 1160) game.scrollY = 1160;
      if (game.scrollX <= 0) game.scrollX = 0;
      if (game.scrollY <= 0) game.scrollY = 0;
      game.craftX = x * TILE_SIZE - game.scrollX;
      game.craftY = y * TILE_SIZE - game.scrollY;
      game.startCraftX = game.craftX;
      game.startCraftY = game.craftY;
      game.startScrollX = game.scrollX;
      game.startScrollY = game.scrollY;
    }
  }
}

void LoadLevel(const char* path) {
  ReadLevelFile(path);
  BuildWorld();
  PlaceAtStart();
}
