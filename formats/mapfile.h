// The map file: two layers of 51 x 41 cells, one signed byte per code, 4182
// bytes with no header. Shared by the game, the editor and the map tool.
#pragma once

#include <cstdint>

constexpr int MAP_FILE_COLUMNS = 51;
constexpr int MAP_FILE_ROWS = 41;
constexpr int MAP_WIDTH = 50;    // used columns
constexpr int MAP_HEIGHT = 40;   // used rows
constexpr int TILE_SIZE = 40;
constexpr int MAP_FILE_SIZE = 2 * MAP_FILE_COLUMNS * MAP_FILE_ROWS;  // 4182

constexpr int TERRAIN_EMPTY = 0;
constexpr int TERRAIN_WALL = 1;
constexpr int TERRAIN_LANDING_PAD = 2;
constexpr int TERRAIN_BLOCK = 3;
constexpr int TERRAIN_LAUNCHER_LEFT = 4;
constexpr int TERRAIN_LAUNCHER_RIGHT = 5;
constexpr int TERRAIN_TARGET_PLATFORM = 6;

constexpr int OBJECT_NONE = 0;
constexpr int OBJECT_ENEMY = 1;
constexpr int OBJECT_START = 2;
constexpr int OBJECT_PRISONER = 3;

// The game spells the own map with "/", the editor with "\"; the data files
// take both as a folder separator.
constexpr const char* OWN_MAP_PATH_GAME = "maps/own .map";
constexpr const char* OWN_MAP_PATH_EDITOR = "maps\\own .map";

// A grid of signed 16-bit cells addressed (x, y), held x-major: cell (x, y)
// is element x * 41 + y. A new layer is all zero.
struct MapLayer {
  int16_t cells[MAP_FILE_COLUMNS * MAP_FILE_ROWS] = {};

  int16_t& at(int x, int y) { return cells[x * MAP_FILE_ROWS + y]; }
  int16_t at(int x, int y) const { return cells[x * MAP_FILE_ROWS + y]; }
};

// Both open the file as data file 1, in the mode that creates a missing file
// and never shortens an existing one; false when it can be neither opened
// nor created.
bool WriteMapFile(const char* path, const MapLayer& terrainGrid, const MapLayer& objectGrid);
bool ReadMapFile(const char* path, MapLayer& terrainGrid, MapLayer& objectGrid);

// Counts over all 51 x 41 cells, as the editor's save check and the tools use them.
struct MapMarkerCounts {
  int startCount = 0;
  int targetCount = 0;
  int prisonerCount = 0;
};
MapMarkerCounts CountMapMarkers(const MapLayer& terrainGrid, const MapLayer& objectGrid);
// Complete: at least one start point, one target platform and one prisoner.
bool MapIsComplete(const MapMarkerCounts& counts);
