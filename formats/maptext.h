// A text form of a map file that people can read and edit in any text editor,
// used by the vantormap tool. Every map file converts to text and back
// without a change.
//
// The text is a commented legend followed by the 41 rows of the map, one line
// per row and one character per cell. Column 50 comes after a '|' on each row
// and row 40 is the last row; both are stored cells outside the playing area.
// A cell whose codes have no character is written {terrain,object} with both
// codes in decimal (-128..127). Lines starting with ';' are comments, blank
// lines are ignored, spaces before a row and after its last cell are ignored,
// and a row may end in a ';' comment.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "formats/mapfile.h"

// The character for a terrain/object pair, or 0 when the pair has none.
char MapCellChar(int terrain, int object);
// The codes a cell character stands for; false for a character that is none.
bool MapCellCodes(char c, int& terrain, int& object);

// The layers are written as the file holds them: the low 8 bits of each cell.
std::string MapToText(const MapLayer& terrainGrid, const MapLayer& objectGrid);

struct MapTextError {
  int line = 0;    // 1-based
  int column = 0;  // 1-based, in characters of the line
  std::string message;
};

// Fills both layers from text; on failure returns false, says where in
// `error` and leaves the layers in an unspecified state.
bool MapFromText(const std::string& text, MapLayer& terrainGrid, MapLayer& objectGrid,
                 MapTextError& error);

// The layers the game gets from a file holding these bytes: bytes past the end
// read as 0, bytes after the first 4182 are ignored, each byte is signed.
void MapFromBytes(const uint8_t* bytes, size_t size, MapLayer& terrainGrid, MapLayer& objectGrid);
// The 4182 bytes WriteMapFile stores for these layers.
std::vector<uint8_t> MapToBytes(const MapLayer& terrainGrid, const MapLayer& objectGrid);
