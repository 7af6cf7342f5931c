#include "formats/maptext.h"

#include <cstdio>

namespace {

constexpr int TERRAIN_KINDS = 7;
constexpr int OBJECT_KINDS = 4;

// Rows by terrain code, columns by object code. Objects on empty ground and on
// landing pads are the ones the editor places: upper case on empty ground,
// lower case on a pad. A start point on other terrain is the terrain's code as
// a digit; enemies and prisoners there run on from 'F' and 'Q'.
constexpr char CELL_CHARS[TERRAIN_KINDS][OBJECT_KINDS + 1] = {
    ".ESP",  // empty
    "#F1Q",  // wall
    "=esp",  // landing pad
    "BG3R",  // block
    "<H4U",  // launcher firing left
    ">I5V",  // launcher firing right
    "TJ6W",  // target platform
};

constexpr const char* TERRAIN_NAMES[TERRAIN_KINDS] = {
    "empty", "wall", "landing pad", "block", "launcher left", "launcher right", "target platform",
};

constexpr char COLUMN_50_MARK = '|';

const char* LEGEND =
    "; vantor map: 41 rows of 51 cells, one character per cell for its terrain and object.\n"
    "; Lines starting with ';' are comments, blank lines are ignored, and so are\n"
    "; spaces before a row and a ';' comment after it.\n"
    ";\n"
    "; Column 50 (after the '|') and row 40 (the last row) are stored in the file but\n"
    "; lie outside the playing area: the game builds nothing there (it still counts\n"
    "; prisoners there, so a prisoner there makes the map impossible to finish) and the\n"
    "; editor does not show them.\n"
    ";\n";

int8_t Low8(int16_t cell) { return int8_t(uint8_t(cell & 0xFF)); }

void AppendCell(std::string& out, int terrain, int object) {
  if (char c = MapCellChar(terrain, object)) {
    out += c;
    return;
  }
  char escape[16];
  std::snprintf(escape, sizeof escape, "{%d,%d}", terrain, object);
  out += escape;
}

void AppendLegendTable(std::string& out) {
  out += ";                        object: none   enemy  start  prisoner\n";
  for (int t = 0; t < TERRAIN_KINDS; t++) {
    char line[96];
    std::snprintf(line, sizeof line, "; terrain %-22s %c      %c      %c      %c\n",
                  TERRAIN_NAMES[t], CELL_CHARS[t][0], CELL_CHARS[t][1], CELL_CHARS[t][2],
                  CELL_CHARS[t][3]);
    out += line;
  }
  out +=
      ";\n"
      "; Any other pair of codes is written {terrain,object}, both in decimal from -128\n"
      "; to 127, for example {7,0} or {0,-1}; such a cell makes its row longer.\n"
      ";\n";
}

// Two comment lines numbering the columns, aligned with the rows below.
void AppendRuler(std::string& out) {
  std::string tens = ";  ", units = ";  ";
  for (int x = 0; x < MAP_FILE_COLUMNS; x++) {
    if (x == MAP_WIDTH) {
      tens += COLUMN_50_MARK;
      units += COLUMN_50_MARK;
    }
    tens += x % 10 == 0 ? char('0' + x / 10) : ' ';
    units += char('0' + x % 10);
  }
  out += tens + "\n" + units + "\n";
}

// ---- Reading ---------------------------------------------------------------

struct LineReader {
  const std::string& line;
  size_t pos = 0;
  int lineNumber;
  MapTextError& error;

  bool AtEnd() const { return pos >= line.size(); }
  char Peek() const { return line[pos]; }
  void SkipBlanks() {
    while (!AtEnd() && (Peek() == ' ' || Peek() == '\t')) pos++;
  }
  bool Fail(size_t at, const std::string& message) {
    error.line = lineNumber;
    error.column = int(at) + 1;
    error.message = message;
    return false;
  }
};

std::string Describe(char c) {
  if (c >= 0x21 && c <= 0x7E) return std::string("'") + c + "'";
  char hex[8];
  std::snprintf(hex, sizeof hex, "0x%02X", unsigned(uint8_t(c)));
  return hex;
}

bool ReadEscapeNumber(LineReader& r, int& value) {
  const size_t start = r.pos;
  bool negative = false;
  if (!r.AtEnd() && r.Peek() == '-') {
    negative = true;
    r.pos++;
  }
  int magnitude = 0, digits = 0;
  while (!r.AtEnd() && r.Peek() >= '0' && r.Peek() <= '9') {
    if (magnitude < 1000) magnitude = magnitude * 10 + (r.Peek() - '0');
    digits++;
    r.pos++;
  }
  if (digits == 0) return r.Fail(r.pos, "bad escape: expected a number in {terrain,object}");
  value = negative ? -magnitude : magnitude;
  if (value < -128 || value > 127)
    return r.Fail(start, "bad escape: codes range from -128 to 127");
  return true;
}

bool ReadEscape(LineReader& r, int& terrain, int& object) {
  r.pos++;  // '{'
  if (!ReadEscapeNumber(r, terrain)) return false;
  if (r.AtEnd() || r.Peek() != ',') return r.Fail(r.pos, "bad escape: expected ',' in {terrain,object}");
  r.pos++;
  if (!ReadEscapeNumber(r, object)) return false;
  if (r.AtEnd() || r.Peek() != '}') return r.Fail(r.pos, "bad escape: expected '}' to close {terrain,object}");
  r.pos++;
  return true;
}

// True when only blanks and perhaps a comment are left on the line.
bool AtRowEnd(const LineReader& r) {
  size_t p = r.pos;
  while (p < r.line.size() && (r.line[p] == ' ' || r.line[p] == '\t')) p++;
  return p == r.line.size() || r.line[p] == ';';
}

bool FailMissingCell(LineReader& r, int x) {
  if (AtRowEnd(r))
    return r.Fail(r.pos, "too few cells: the row ends after " + std::to_string(x) +
                             " cells, a row has 51");
  return r.Fail(r.pos, "blank inside a row");
}

bool ReadCell(LineReader& r, int x, int& terrain, int& object) {
  if (r.AtEnd() || r.Peek() == ';' || r.Peek() == ' ' || r.Peek() == '\t')
    return FailMissingCell(r, x);
  if (r.Peek() == '{') return ReadEscape(r, terrain, object);
  if (r.Peek() == COLUMN_50_MARK)
    return r.Fail(r.pos, "'|' after " + std::to_string(x) + " cells: it belongs after 50");
  if (!MapCellCodes(r.Peek(), terrain, object))
    return r.Fail(r.pos, "bad character " + Describe(r.Peek()));
  r.pos++;
  return true;
}

bool ReadRow(LineReader& r, int y, MapLayer& terrainGrid, MapLayer& objectGrid) {
  for (int x = 0; x < MAP_FILE_COLUMNS; x++) {
    if (x == MAP_WIDTH) {
      if (r.AtEnd() || r.Peek() == ';' || r.Peek() == ' ' || r.Peek() == '\t')
        return FailMissingCell(r, x);
      if (r.Peek() != COLUMN_50_MARK)
        return r.Fail(r.pos, "expected '|' between column 49 and column 50");
      r.pos++;
    }
    int terrain = 0, object = 0;
    if (!ReadCell(r, x, terrain, object)) return false;
    terrainGrid.at(x, y) = int16_t(terrain);
    objectGrid.at(x, y) = int16_t(object);
  }
  r.SkipBlanks();
  if (!r.AtEnd() && r.Peek() != ';') return r.Fail(r.pos, "too many cells: a row has 51");
  return true;
}

}  // namespace

char MapCellChar(int terrain, int object) {
  if (terrain < 0 || terrain >= TERRAIN_KINDS || object < 0 || object >= OBJECT_KINDS) return 0;
  return CELL_CHARS[terrain][object];
}

bool MapCellCodes(char c, int& terrain, int& object) {
  for (int t = 0; t < TERRAIN_KINDS; t++)
    for (int o = 0; o < OBJECT_KINDS; o++)
      if (CELL_CHARS[t][o] == c) {
        terrain = t;
        object = o;
        return true;
      }
  return false;
}

std::string MapToText(const MapLayer& terrainGrid, const MapLayer& objectGrid) {
  std::string out = LEGEND;
  AppendLegendTable(out);
  AppendRuler(out);
  for (int y = 0; y < MAP_FILE_ROWS; y++) {
    if (y == MAP_HEIGHT) out += "; row 40, outside the playing area:\n";
    out += "   ";
    for (int x = 0; x < MAP_FILE_COLUMNS; x++) {
      if (x == MAP_WIDTH) out += COLUMN_50_MARK;
      AppendCell(out, Low8(terrainGrid.at(x, y)), Low8(objectGrid.at(x, y)));
    }
    out += "  ; " + std::to_string(y) + "\n";
  }
  return out;
}

bool MapFromText(const std::string& text, MapLayer& terrainGrid, MapLayer& objectGrid,
                 MapTextError& error) {
  int rows = 0, lineNumber = 0;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    start = end + 1;
    lineNumber++;

    LineReader r{line, 0, lineNumber, error};
    r.SkipBlanks();
    if (r.AtEnd() || r.Peek() == ';') continue;
    if (rows == MAP_FILE_ROWS) return r.Fail(r.pos, "too many rows: a map has 41");
    if (!ReadRow(r, rows, terrainGrid, objectGrid)) return false;
    rows++;
  }
  if (rows < MAP_FILE_ROWS) {
    error.line = lineNumber + 1;
    error.column = 1;
    error.message = "too few rows: the text has " + std::to_string(rows) + ", a map has 41";
    return false;
  }
  return true;
}

void MapFromBytes(const uint8_t* bytes, size_t size, MapLayer& terrainGrid, MapLayer& objectGrid) {
  auto byteAt = [&](size_t i) { return int16_t(int8_t(i < size ? bytes[i] : 0)); };
  for (int i = 0; i < MAP_FILE_COLUMNS * MAP_FILE_ROWS; i++) {
    terrainGrid.cells[i] = byteAt(2 * size_t(i));
    objectGrid.cells[i] = byteAt(2 * size_t(i) + 1);
  }
}

std::vector<uint8_t> MapToBytes(const MapLayer& terrainGrid, const MapLayer& objectGrid) {
  std::vector<uint8_t> bytes(MAP_FILE_SIZE);
  for (int i = 0; i < MAP_FILE_COLUMNS * MAP_FILE_ROWS; i++) {
    bytes[2 * i] = uint8_t(terrainGrid.cells[i] & 0xFF);
    bytes[2 * i + 1] = uint8_t(objectGrid.cells[i] & 0xFF);
  }
  return bytes;
}
