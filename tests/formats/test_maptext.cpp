#include "formats/maptext.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "formats/mapfile.h"
#include "support/test_support.h"

namespace {

struct Layers {
  MapLayer terrain, object;
};

Layers FromBytes(const std::vector<uint8_t>& bytes) {
  Layers l;
  MapFromBytes(bytes.data(), bytes.size(), l.terrain, l.object);
  return l;
}

// Bytes -> text -> bytes.
std::vector<uint8_t> ThroughText(const std::vector<uint8_t>& bytes) {
  Layers in = FromBytes(bytes);
  const std::string text = MapToText(in.terrain, in.object);
  Layers out;
  MapTextError error;
  EXPECT_TRUE(MapFromText(text, out.terrain, out.object, error))
      << error.line << ":" << error.column << ": " << error.message;
  return MapToBytes(out.terrain, out.object);
}

// The lines of the text that hold map rows, without the blanks in front.
std::vector<std::string> RowLines(const std::string& text) {
  std::vector<std::string> rows;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    std::string line = text.substr(start, end - start);
    start = end == std::string::npos ? text.size() : end + 1;
    line.erase(0, line.find_first_not_of(' '));
    if (!line.empty() && line[0] != ';') rows.push_back(line);
  }
  return rows;
}

// A plain hand-written map of 41 empty rows.
std::vector<std::string> PlainRows() {
  std::vector<std::string> rows(MAP_FILE_ROWS, std::string(50, '.') + "|.");
  return rows;
}

std::string Join(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& l : lines) text += l + "\n";
  return text;
}

MapTextError ErrorOf(const std::string& text) {
  Layers l;
  MapTextError error;
  EXPECT_FALSE(MapFromText(text, l.terrain, l.object, error));
  EXPECT_FALSE(error.message.empty());
  return error;
}

}  // namespace

TEST(MapText, EveryByteValueSurvivesInEveryCellPosition) {
  const int cells[][2] = {{0, 0}, {17, 23}, {50, 0}, {50, 21}, {0, 40}, {33, 40}, {50, 40}};
  for (const auto& cell : cells) {
    const int record = 2 * (cell[0] * MAP_FILE_ROWS + cell[1]);
    for (int layer = 0; layer < 2; layer++) {
      for (int v = -128; v <= 127; v++) {
        std::vector<uint8_t> bytes(MAP_FILE_SIZE, 0);
        bytes[record + layer] = uint8_t(v);
        bytes[record + 1 - layer] = uint8_t(v * 7);  // the cell's other code varies too
        ASSERT_EQ(ThroughText(bytes), bytes)
            << "cell (" << cell[0] << "," << cell[1] << ") layer " << layer << " value " << v;
      }
    }
  }
}

TEST(MapText, RandomFilesSurviveUnchanged) {
  std::mt19937 random(7);
  for (int round = 0; round < 20; round++) {
    std::vector<uint8_t> bytes(MAP_FILE_SIZE);
    // Half the rounds use only known codes, half any byte at all.
    for (size_t i = 0; i < bytes.size(); i++)
      bytes[i] = round % 2 ? uint8_t(random()) : uint8_t(random() % (i % 2 ? 4 : 7));
    ASSERT_EQ(ThroughText(bytes), bytes) << "round " << round;
  }
}

TEST(MapText, ShortAndLongFilesReadAsTheGameReadsThem) {
  for (size_t size : {size_t(0), size_t(1), size_t(2), size_t(83), size_t(4181)}) {
    std::vector<uint8_t> bytes(size, 0x85);
    std::vector<uint8_t> expected(MAP_FILE_SIZE, 0);
    std::copy(bytes.begin(), bytes.end(), expected.begin());
    EXPECT_EQ(ThroughText(bytes), expected) << "size " << size;
  }
  std::vector<uint8_t> longer(5000, 0x03);
  EXPECT_EQ(ThroughText(longer), std::vector<uint8_t>(MAP_FILE_SIZE, 0x03));
  Layers l = FromBytes({0xFF, 0x80});
  EXPECT_EQ(l.terrain.at(0, 0), -1);
  EXPECT_EQ(l.object.at(0, 0), -128);
  EXPECT_EQ(l.terrain.at(0, 1), 0);
}

TEST(MapText, BytesMatchTheMapFileFunctions) {
  std::mt19937 random(3);
  std::vector<uint8_t> bytes(MAP_FILE_SIZE);
  for (uint8_t& b : bytes) b = uint8_t(random());
  Layers l = FromBytes(bytes);
  const std::string path =
      (std::filesystem::temp_directory_path() / ("vantor_maptext_" + std::to_string(getpid()) + ".map"))
          .string();
  std::filesystem::remove(path);
  ASSERT_TRUE(WriteMapFile(path.c_str(), l.terrain, l.object));
  EXPECT_EQ(testsupport::ReadFileBytes(path), MapToBytes(l.terrain, l.object));

  // A short file: ReadMapFile and MapFromBytes agree cell for cell.
  testsupport::WriteFileBytes(path, {0x01, 0x02, 0xFE});
  Layers read;
  ASSERT_TRUE(ReadMapFile(path.c_str(), read.terrain, read.object));
  Layers fromBytes = FromBytes({0x01, 0x02, 0xFE});
  EXPECT_EQ(MapToBytes(read.terrain, read.object), MapToBytes(fromBytes.terrain, fromBytes.object));
  std::filesystem::remove(path);
}

TEST(MapText, KnownCombinationsHaveTheirOwnCharacters) {
  const struct {
    int terrain, object;
    char c;
  } named[] = {{0, 0, '.'}, {1, 0, '#'}, {2, 0, '='}, {3, 0, 'B'}, {4, 0, '<'}, {5, 0, '>'},
               {6, 0, 'T'}, {0, 1, 'E'}, {0, 3, 'P'}, {0, 2, 'S'}};
  for (const auto& n : named) EXPECT_EQ(MapCellChar(n.terrain, n.object), n.c);

  std::set<char> used;
  for (int t = 0; t < 7; t++)
    for (int o = 0; o < 4; o++) {
      const char c = MapCellChar(t, o);
      ASSERT_TRUE(c > ' ' && c < 127 && c != ';' && c != '{' && c != '|') << t << "," << o;
      used.insert(c);
      int t2 = -1, o2 = -1;
      ASSERT_TRUE(MapCellCodes(c, t2, o2));
      EXPECT_EQ(t2, t);
      EXPECT_EQ(o2, o);
    }
  EXPECT_EQ(used.size(), 28u);
  EXPECT_EQ(MapCellChar(7, 0), 0);
  EXPECT_EQ(MapCellChar(0, -1), 0);

  // In the text: a prisoner at (3, 0), a wall at (49, 1), a target platform in
  // column 50 of row 2, an enemy on a pad at (0, 40) and an unknown pair at (1, 40).
  Layers l;
  l.object.at(3, 0) = OBJECT_PRISONER;
  l.terrain.at(49, 1) = TERRAIN_WALL;
  l.terrain.at(50, 2) = TERRAIN_TARGET_PLATFORM;
  l.terrain.at(0, 40) = TERRAIN_LANDING_PAD;
  l.object.at(0, 40) = OBJECT_ENEMY;
  l.terrain.at(1, 40) = 255;  // stored as the byte 0xFF
  l.object.at(1, 40) = 9;
  const std::vector<std::string> rows = RowLines(MapToText(l.terrain, l.object));
  ASSERT_EQ(rows.size(), 41u);
  EXPECT_EQ(rows[0].substr(0, 52), "...P" + std::string(46, '.') + "|.");
  EXPECT_EQ(rows[1].substr(0, 52), std::string(49, '.') + "#|.");
  EXPECT_EQ(rows[2].substr(0, 52), std::string(50, '.') + "|T");
  EXPECT_EQ(rows[40].substr(0, 8), "e{-1,9}.");

  // The legend explains the characters, the escape and the cells outside the play area.
  const std::string text = MapToText(l.terrain, l.object);
  for (const char* words : {"Column 50", "row 40", "{terrain,object}", "; terrain target platform"})
    EXPECT_NE(text.find(words), std::string::npos) << words;
}

TEST(MapText, HandWrittenTextIsRead) {
  std::vector<std::string> rows = PlainRows();
  rows[0] = "S" + std::string(48, '.') + "T|P  ; start here";
  rows[5] = "\t  #{3,2}" + std::string(48, '=') + "|{-128,127}";
  std::string text = "; my map\n\n" + Join(rows);
  // Windows line ends too.
  std::string crlf;
  for (char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  for (const std::string& t : {text, crlf}) {
    Layers l;
    MapTextError error;
    ASSERT_TRUE(MapFromText(t, l.terrain, l.object, error)) << error.message;
    EXPECT_EQ(l.object.at(0, 0), OBJECT_START);
    EXPECT_EQ(l.terrain.at(49, 0), TERRAIN_TARGET_PLATFORM);
    EXPECT_EQ(l.object.at(50, 0), OBJECT_PRISONER);
    EXPECT_EQ(l.terrain.at(0, 5), TERRAIN_WALL);
    EXPECT_EQ(l.terrain.at(1, 5), TERRAIN_BLOCK);
    EXPECT_EQ(l.object.at(1, 5), OBJECT_START);
    EXPECT_EQ(l.terrain.at(2, 5), TERRAIN_LANDING_PAD);
    EXPECT_EQ(l.terrain.at(50, 5), -128);
    EXPECT_EQ(l.object.at(50, 5), 127);
  }
}

TEST(MapText, ErrorsNameLineAndColumn) {
  struct Case {
    int row;            // row line to replace (it is line row + 2: one comment line first)
    std::string line;
    int column;
    std::string words;  // part of the message
  } cases[] = {
      {3, "..x" + std::string(47, '.') + "|.", 3, "bad character 'x'"},
      {3, std::string(50, '.') + "|\x01", 52, "bad character 0x01"},
      {4, std::string(20, '.'), 21, "too few cells"},
      {4, std::string(20, '.') + " ; note", 21, "too few cells"},
      {4, std::string(20, '.') + " " + std::string(30, '.') + "|.", 21, "blank inside a row"},
      {4, std::string(50, '.') + "|", 52, "too few cells"},
      {4, std::string(50, '.'), 51, "too few cells"},
      {5, std::string(50, '.') + "|..", 53, "too many cells"},
      {5, std::string(51, '.') + "|.", 51, "expected '|'"},
      {5, std::string(10, '.') + "|" + std::string(40, '.'), 11, "'|' after 10 cells"},
      {6, "{1,}" + std::string(49, '.') + "|.", 4, "bad escape"},
      {6, "{1;2}" + std::string(49, '.') + "|.", 3, "bad escape"},
      {6, "{1,2" + std::string(49, '.') + "|.", 5, "bad escape"},
      {6, "." + std::string("{128,0}") + std::string(48, '.') + "|.", 3, "-128 to 127"},
      {6, "{0,-129}" + std::string(49, '.') + "|.", 4, "-128 to 127"},
      {6, "{99999999999999999999,0}" + std::string(49, '.') + "|.", 2, "-128 to 127"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> rows = PlainRows();
    rows[c.row] = c.line;
    const MapTextError error = ErrorOf("; header\n" + Join(rows));
    EXPECT_EQ(error.line, c.row + 2) << c.line;
    EXPECT_EQ(error.column, c.column) << c.line;
    EXPECT_NE(error.message.find(c.words), std::string::npos) << error.message;
  }

  std::vector<std::string> rows = PlainRows();
  rows.pop_back();
  MapTextError error = ErrorOf(Join(rows) + "; end\n");
  EXPECT_EQ(error.line, 42);
  EXPECT_NE(error.message.find("too few rows"), std::string::npos);

  rows = PlainRows();
  rows.push_back(rows.back());
  error = ErrorOf(Join(rows));
  EXPECT_EQ(error.line, 42);
  EXPECT_NE(error.message.find("too many rows"), std::string::npos);

  error = ErrorOf("");
  EXPECT_EQ(error.line, 1);
}
