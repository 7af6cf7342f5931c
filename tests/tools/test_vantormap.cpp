// Runs the built vantormap program on files in a temporary folder.

#include <gtest/gtest.h>

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
