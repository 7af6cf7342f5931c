// Map files: 2091 records of (terrain byte, object byte), x outer, y inner,
// read and written one byte per call through data file 1.
#include "formats/mapfile.h"

#include "media/media.h"

namespace {
constexpr int MAP_FILE_NUMBER = 1;
}

bool WriteMapFile(const char* path, const MapLayer& terrainGrid, const MapLayer& objectGrid) {
  if (!OpenDataFile(MAP_FILE_NUMBER, path)) return false;
  for (int x = 0; x < MAP_FILE_COLUMNS; x++) {
    for (int y = 0; y < MAP_FILE_ROWS; y++) {
      WriteFileByte(MAP_FILE_NUMBER, terrainGrid.at(x, y) & 0xFF);
      WriteFileByte(MAP_FILE_NUMBER, objectGrid.at(x, y) & 0xFF);
    }
  }
  CloseDataFile(MAP_FILE_NUMBER);
  return true;
}

bool ReadMapFile(const char* path, MapLayer& terrainGrid, MapLayer& objectGrid) {
  if (!OpenDataFile(MAP_FILE_NUMBER, path)) return false;
  for (int x = 0; x < MAP_FILE_COLUMNS; x++) {
    for (int y = 0; y < MAP_FILE_ROWS; y++) {
      terrainGrid.at(x, y) = static_cast<int16_t>(ReadFileByte(MAP_FILE_NUMBER));
      objectGrid.at(x, y) = static_cast<int16_t>(ReadFileByte(MAP_FILE_NUMBER));
    }
  }
  CloseDataFile(MAP_FILE_NUMBER);
  return true;
}

MapMarkerCounts CountMapMarkers(const MapLayer& terrainGrid, const MapLayer& objectGrid) {
  MapMarkerCounts counts;
  for (int i = 0; i < MAP_FILE_COLUMNS * MAP_FILE_ROWS; i++) {
    if (objectGrid.cells[i] == OBJECT_START) counts.startCount++;
    if (terrainGrid.cells[i] == TERRAIN_TARGET_PLATFORM) counts.targetCount++;
    if (objectGrid.cells[i] == OBJECT_PRISONER) counts.prisonerCount++;
  }
  return counts;
}

bool MapIsComplete(const MapMarkerCounts& counts) {
  return counts.startCount >= 1 && counts.targetCount >= 1 && counts.prisonerCount >= 1;
}
