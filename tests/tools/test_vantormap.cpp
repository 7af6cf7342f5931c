// Runs the built vantormap program on files in a temporary folder.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "formats/mapfile.h"
#include "support/test_support.h"

namespace {

using testsupport::ToolRun;

class VantorMap : public testsupport::TempDirTest {
 protected:
  ToolRun Run(const std::vector<std::string>& args) {
    std::string words;
    for (const std::string& a : args) {
      words += ' ';
      words += testsupport::Quote(a);
    }
    return testsupport::RunTool("vantormap", words, dir);
  }
};

std::string RandomBytes(size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = char(random());
  return bytes;
}

// A readable map: row 0 as given, the other 40 rows empty.
std::string TextWithFirstRow(const std::string& row0) {
  std::string text = "; test map\n" + row0 + "\n";
  for (int y = 1; y < MAP_FILE_ROWS; y++) text += std::string(50, '.') + "|.\n";
  return text;
}

std::string BuiltInMap(const std::string& path) { return testsupport::Text(testsupport::ReadFileBytes(path)); }

}  // namespace

TEST_F(VantorMap, DumpThenCompileGivesTheSameFile) {
  for (size_t size : {size_t(MAP_FILE_SIZE), size_t(10), size_t(0)}) {
    std::string original = RandomBytes(size, unsigned(size));
    WriteText("in.map", original);
    ToolRun dump = Run({"dump", Path("in.map")});
    ASSERT_EQ(dump.exitCode, 0) << dump.err;
    WriteText("map.txt", dump.out);
    // An old, longer file in the way must not leave its tail behind.
    WriteText("out.map", std::string(5000, 'x'));
    ToolRun compile = Run({"compile", Path("map.txt"), Path("out.map")});
    ASSERT_EQ(compile.exitCode, 0) << compile.err;
    original.resize(MAP_FILE_SIZE, '\0');
    EXPECT_EQ(ReadText("out.map"), original) << "size " << size;
  }
}

TEST_F(VantorMap, CompileWritesCellsWhereTheTextPutsThem) {
  WriteText("map.txt", TextWithFirstRow("S.P" + std::string(46, '.') + "T|{5,-2}"));
  ToolRun r = Run({"compile", Path("map.txt"), Path("new.map")});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const std::string bytes = ReadText("new.map");
  ASSERT_EQ(bytes.size(), size_t(MAP_FILE_SIZE));
  auto record = [](int x, int y) { return size_t(2 * (x * MAP_FILE_ROWS + y)); };
  EXPECT_EQ(bytes[record(0, 0) + 1], OBJECT_START);
  EXPECT_EQ(bytes[record(2, 0) + 1], OBJECT_PRISONER);
  EXPECT_EQ(bytes[record(49, 0)], TERRAIN_TARGET_PLATFORM);
  EXPECT_EQ(bytes[record(50, 0)], 5);
  EXPECT_EQ(bytes[record(50, 0) + 1], char(-2));
}

TEST_F(VantorMap, CheckCountsMarkersAndReportsCompleteness) {
  WriteText("full.txt", TextWithFirstRow("S.PP" + std::string(45, '.') + "T|."));
  ASSERT_EQ(Run({"compile", Path("full.txt"), Path("full.map")}).exitCode, 0);
  ToolRun full = Run({"check", Path("full.map")});
  EXPECT_EQ(full.exitCode, 0);
  EXPECT_NE(full.out.find("start points: 1\n"), std::string::npos) << full.out;
  EXPECT_NE(full.out.find("target platforms: 1\n"), std::string::npos);
  EXPECT_NE(full.out.find("prisoners: 2\n"), std::string::npos);

  // The only prisoner stands in column 50: counted, complete, but warned about.
  WriteText("edge.txt", TextWithFirstRow("S" + std::string(48, '.') + "T|P"));
  ASSERT_EQ(Run({"compile", Path("edge.txt"), Path("edge.map")}).exitCode, 0);
  ToolRun edge = Run({"check", Path("edge.map")});
  EXPECT_EQ(edge.exitCode, 0);
  EXPECT_NE(edge.out.find("can never be freed"), std::string::npos) << edge.out;

  WriteText("nostart.txt", TextWithFirstRow("P" + std::string(48, '.') + "T|."));
  ASSERT_EQ(Run({"compile", Path("nostart.txt"), Path("nostart.map")}).exitCode, 0);
  ToolRun incomplete = Run({"check", Path("nostart.map")});
  EXPECT_EQ(incomplete.exitCode, 1);
  EXPECT_NE(incomplete.out.find("start points: 0\n"), std::string::npos);
  EXPECT_NE(incomplete.out.find("not complete"), std::string::npos);

  WriteText("empty.map", "");
  EXPECT_EQ(Run({"check", Path("empty.map")}).exitCode, 1);
}

TEST_F(VantorMap, TextErrorsNameFileLineAndColumn) {
  WriteText("bad.txt", TextWithFirstRow("S.P" + std::string(46, '.') + "x|."));
  WriteText("keep.map", "old");
  ToolRun r = Run({"compile", Path("bad.txt"), Path("keep.map")});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find(Path("bad.txt") + ":2:50: bad character 'x'"), std::string::npos) << r.err;
  EXPECT_EQ(ReadText("keep.map"), "old");  // nothing written on an error

  WriteText("short.txt", "; only a comment\n" + std::string(50, '.') + "|.\n");
  r = Run({"compile", Path("short.txt"), Path("x.map")});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find(Path("short.txt") + ":3:1: too few rows"), std::string::npos) << r.err;
  EXPECT_FALSE(Exists("x.map"));
}

TEST_F(VantorMap, MissingFilesAndBadArgumentsFail) {
  ToolRun r = Run({"dump", Path("missing.map")});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("cannot read"), std::string::npos);
  EXPECT_EQ(Run({"check", Path("missing.map")}).exitCode, 1);
  EXPECT_FALSE(Exists("missing.map"));  // not created, unlike the game's reading
  EXPECT_EQ(Run({"dump", dir}).exitCode, 1);  // a folder is no map
  EXPECT_EQ(Run({"compile", Path("missing.txt"), Path("a.map")}).exitCode, 1);

  WriteText("ok.txt", TextWithFirstRow(std::string(50, '.') + "|."));
  r = Run({"compile", Path("ok.txt"), Path("no/such/folder/a.map")});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("cannot write"), std::string::npos);

  const std::vector<std::vector<std::string>> bad = {
      {}, {"dump"}, {"check"}, {"compile", Path("ok.txt")}, {"frobnicate", Path("ok.txt")},
      {"dump", Path("ok.txt"), "extra"}};
  for (const auto& args : bad) {
    r = Run(args);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("usage: vantormap"), std::string::npos);
  }
}

// Random maps (every code, column 50 and row 40 included), a nearly empty
// one and the built-in maps go out as links and come back byte for byte.
TEST_F(VantorMap, LinkAndUnlinkGiveTheSameMap) {
  std::vector<std::string> maps = {RandomBytes(MAP_FILE_SIZE, 1), RandomBytes(MAP_FILE_SIZE, 2)};
  std::string edge(MAP_FILE_SIZE, '\0');
  edge[2 * (MAP_WIDTH * MAP_FILE_ROWS + MAP_HEIGHT)] = char(-7);
  edge[2 * (MAP_WIDTH * MAP_FILE_ROWS + MAP_HEIGHT) + 1] = char(OBJECT_PRISONER);
  maps.push_back(edge);
  for (int n = 1; n <= 3; n++)
    maps.push_back(BuiltInMap(std::string(VANTOR_RUN_DIR) + "/maps/map " + std::to_string(n) + ".map"));
  for (size_t i = 0; i < maps.size(); i++) {
    WriteText("in.map", maps[i]);
    ToolRun link = Run({"link", Path("in.map"), "https://example.org/spiel/vantor.html"});
    ASSERT_EQ(link.exitCode, 0) << link.err;
    ASSERT_EQ(link.out.rfind("https://example.org/spiel/vantor.html#karte=", 0), 0u) << link.out;
    ToolRun unlink = Run({"unlink", link.out.substr(0, link.out.size() - 1), Path("out.map")});
    ASSERT_EQ(unlink.exitCode, 0) << unlink.err;
    EXPECT_EQ(ReadText("out.map"), maps[i]) << "map " << i;
    // The built-in maps travel in links that chat programs and QR codes keep.
    if (i >= 3) {
      EXPECT_LT(Run({"link", Path("in.map")}).out.size(), 1000u) << "map " << i - 2;
    }
  }
}

TEST_F(VantorMap, UnlinkRefusesCutAlteredAndOversizedLinks) {
  WriteText("in.map", BuiltInMap(std::string(VANTOR_RUN_DIR) + "/maps/map 1.map"));
  std::string link = Run({"link", Path("in.map")}).out;
  link.pop_back();
  const size_t text = link.find('=') + 1;
  auto altered = [&](size_t at) {
    std::string changed = link;
    changed[at] = changed[at] == 'A' ? 'B' : 'A';
    return changed;
  };
  const std::vector<std::string> bad = {
      link.substr(0, link.size() - 1), link.substr(0, link.size() - 9), link.substr(0, text + 20),
      altered(text), altered(text + 3), altered(text + 40), altered(link.size() / 2), altered(link.size() - 1),
      link + "A", link + "AAAA", link + "!", "vantor.html#karte=", "vantor.html#karte=SGFsbG8gV2VsdA",
      "vantor.html#karte=" + std::string(20000, 'A')};
  for (const std::string& l : bad) {
    ToolRun r = Run({"unlink", l, Path("out.map")});
    EXPECT_EQ(r.exitCode, 1) << l;
    EXPECT_NE(r.err.find("no valid map"), std::string::npos) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_FALSE(Exists("out.map")) << l;
  }
  WriteText("short.map", "not a map");
  EXPECT_EQ(Run({"link", Path("short.map")}).exitCode, 1);
}
