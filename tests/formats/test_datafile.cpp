// Data files (opening mode, buffer rules, signed bytes) and the map file
// built on them.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "formats/mapfile.h"
#include "media/media.h"
#include "support/test_support.h"

namespace {

using testsupport::Bytes;

class Files : public testsupport::TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    mkdir(Path("maps").c_str(), 0777);
  }
  void TearDown() override {
    CloseAllFiles();
    TempDirTest::TearDown();
  }
};

}  // namespace

TEST_F(Files, OpeningCreatesButNeverShortens) {
  // A missing file is created empty and reads as zeros.
  ASSERT_NE(OpenDataFile(3, Path("maps/own .map").c_str()), 0);
  EXPECT_TRUE(Exists("maps/own .map"));
  for (int i = 0; i < 4182; i++) ASSERT_EQ(ReadFileByte(3), 0);
  CloseDataFile(3);
  EXPECT_EQ(ReadBytes("maps/own .map").size(), 0u);

  // Ten bytes over twenty: the last ten stay.
  Bytes old(20);
  for (int i = 0; i < 20; i++) old[i] = uint8_t(100 + i);
  WriteBytes("twenty", old);
  ASSERT_NE(OpenDataFile(1, Path("twenty").c_str()), 0);
  for (int i = 0; i < 10; i++) EXPECT_EQ(WriteFileByte(1, i), 1);
  CloseDataFile(1);
  Bytes expect = old;
  for (int i = 0; i < 10; i++) expect[i] = uint8_t(i);
  EXPECT_EQ(ReadBytes("twenty"), expect);

  // No folder: neither opened nor created.
  EXPECT_EQ(OpenDataFile(1, Path("nofolder/x.map").c_str()), 0);
  EXPECT_EQ(OpenDataFile(1, dir.c_str()), 0);
  EXPECT_EQ(OpenDataFile(-1, Path("x").c_str()), 0);
}

TEST_F(Files, BackslashSeparatesFolders) {
  std::string editorPath = dir + "\\maps\\own .map";
  ASSERT_NE(OpenDataFile(2, editorPath.c_str()), 0);
  WriteFileByte(2, 'e');
  CloseDataFile(2);
  EXPECT_EQ(ReadBytes("maps/own .map"), Bytes{'e'});
}

TEST_F(Files, WriteBufferHoldsAtMost4095Bytes) {
  ASSERT_NE(OpenDataFile(7, Path("big").c_str()), 0);
  for (int i = 0; i < 4095; i++) WriteFileByte(7, i);
  EXPECT_EQ(ReadBytes("big").size(), 0u);
  for (int i = 4095; i < 5000; i++) WriteFileByte(7, i);
  Bytes before = ReadBytes("big");
  ASSERT_EQ(before.size(), 4095u);
  CloseDataFile(7);
  Bytes after = ReadBytes("big");
  ASSERT_EQ(after.size(), 5000u);
  for (int i = 0; i < 5000; i++) ASSERT_EQ(after[i], uint8_t(i)) << i;
}

TEST_F(Files, BytesReadSignedAcrossRefills) {
  Bytes bytes(9000);
  for (size_t i = 0; i < bytes.size(); i++) bytes[i] = uint8_t(i * 7);
  bytes[0] = 0xFF;
  bytes[1] = 0x7F;
  bytes[2] = 0x80;
  WriteBytes("signed", bytes);
  ASSERT_NE(OpenDataFile(0, Path("signed").c_str()), 0);
  EXPECT_EQ(ReadFileByte(0), -1);
  EXPECT_EQ(ReadFileByte(0), 127);
  EXPECT_EQ(ReadFileByte(0), -128);
  for (size_t i = 3; i < bytes.size(); i++) ASSERT_EQ(ReadFileByte(0), int8_t(bytes[i])) << i;
  EXPECT_EQ(ReadFileByte(0), 0);  // at the end
  EXPECT_EQ(ReadFileByte(0), 0);
}

TEST_F(Files, NumbersAndMixedUse) {
  // Nothing open under a number: reads 0, writes refused, close ignored.
  EXPECT_EQ(ReadFileByte(5), 0);
  EXPECT_EQ(WriteFileByte(5, 1), 0);
  CloseDataFile(5);
  CloseDataFile(-3);
  // Opening a number in use closes (and flushes) the file open under it.
  ASSERT_NE(OpenDataFile(4, Path("first").c_str()), 0);
  WriteFileByte(4, 'a');
  ASSERT_NE(OpenDataFile(4, Path("second").c_str()), 0);
  EXPECT_EQ(ReadBytes("first"), Bytes{'a'});
  // Reading flushes pending writes; writing after reading continues where
  // the reader stands.
  WriteBytes("mixed", {1, 2, 3, 4, 5, 6});
  ASSERT_NE(OpenDataFile(6, Path("mixed").c_str()), 0);
  WriteFileByte(6, 9);
  EXPECT_EQ(ReadFileByte(6), 2);
  WriteFileByte(6, 8);
  CloseDataFile(6);
  EXPECT_EQ(ReadBytes("mixed"), (Bytes{9, 2, 8, 4, 5, 6}));
  // CloseAllFiles writes out every file.
  ASSERT_NE(OpenDataFile(10, Path("x").c_str()), 0);
  ASSERT_NE(OpenDataFile(11, Path("y").c_str()), 0);
  WriteFileByte(10, 'x');
  WriteFileByte(11, 'y');
  CloseAllFiles();
  EXPECT_EQ(ReadBytes("x"), Bytes{'x'});
  EXPECT_EQ(ReadBytes("y"), Bytes{'y'});
  EXPECT_EQ(ReadFileByte(10), 0);
}

// ---- Map files ------------------------------------------------------------------

TEST_F(Files, MapFileLayoutAndSigns) {
  MapLayer terrain, objects;
  terrain.at(1, 0) = TERRAIN_WALL;
  objects.at(1, 0) = OBJECT_PRISONER;
  terrain.at(0, 1) = TERRAIN_LANDING_PAD;
  terrain.at(50, 40) = 255;  // written as 0xFF, read back as -1
  objects.at(50, 40) = -1;
  objects.at(50, 0) = 0x1234;  // low 8 bits
  terrain.at(3, 40) = -128;
  ASSERT_TRUE(WriteMapFile(Path("maps/own .map").c_str(), terrain, objects));
  Bytes file = ReadBytes("maps/own .map");
  ASSERT_EQ(file.size(), size_t(MAP_FILE_SIZE));
  EXPECT_EQ(file[82], TERRAIN_WALL);
  EXPECT_EQ(file[83], OBJECT_PRISONER);
  EXPECT_EQ(file[2], TERRAIN_LANDING_PAD);
  EXPECT_EQ(file[4180], 0xFF);
  EXPECT_EQ(file[4181], 0xFF);
  EXPECT_EQ(file[2 * (50 * 41 + 0) + 1], 0x34);
  MapLayer t2, o2;
  t2.at(7, 7) = 9;  // every cell is overwritten
  ASSERT_TRUE(ReadMapFile(Path("maps\\own .map").c_str(), t2, o2));
  EXPECT_EQ(t2.at(1, 0), TERRAIN_WALL);
  EXPECT_EQ(o2.at(1, 0), OBJECT_PRISONER);
  EXPECT_EQ(t2.at(0, 1), TERRAIN_LANDING_PAD);
  EXPECT_EQ(t2.at(50, 40), -1);
  EXPECT_EQ(o2.at(50, 40), -1);
  EXPECT_EQ(o2.at(50, 0), 0x34);
  EXPECT_EQ(t2.at(3, 40), -128);
  EXPECT_EQ(t2.at(7, 7), 0);
  // Saved again: byte-identical.
  ASSERT_TRUE(WriteMapFile(Path("maps/again.map").c_str(), t2, o2));
  EXPECT_EQ(ReadBytes("maps/again.map"), file);
}

TEST_F(Files, MapFilesOfOtherLengths) {
  MapLayer terrain, objects;
  for (int i = 0; i < MAP_FILE_COLUMNS * MAP_FILE_ROWS; i++) terrain.cells[i] = objects.cells[i] = 5;
  WriteBytes("maps/empty.map", {});
  ASSERT_TRUE(ReadMapFile(Path("maps/empty.map").c_str(), terrain, objects));
  for (int i = 0; i < MAP_FILE_COLUMNS * MAP_FILE_ROWS; i++) ASSERT_EQ(terrain.cells[i] | objects.cells[i], 0);

  WriteBytes("maps/two.map", {3, 2});
  for (int i = 0; i < MAP_FILE_COLUMNS * MAP_FILE_ROWS; i++) terrain.cells[i] = objects.cells[i] = 5;
  ASSERT_TRUE(ReadMapFile(Path("maps/two.map").c_str(), terrain, objects));
  EXPECT_EQ(terrain.at(0, 0), 3);
  EXPECT_EQ(objects.at(0, 0), 2);
  for (int i = 1; i < MAP_FILE_COLUMNS * MAP_FILE_ROWS; i++) ASSERT_EQ(terrain.cells[i] | objects.cells[i], 0);

  // A missing map is created empty and loads as zeros.
  ASSERT_TRUE(ReadMapFile(Path("maps/new.map").c_str(), terrain, objects));
  EXPECT_TRUE(Exists("maps/new.map"));
  EXPECT_FALSE(ReadMapFile(Path("nomaps/x.map").c_str(), terrain, objects));
  EXPECT_FALSE(WriteMapFile(Path("nomaps/x.map").c_str(), terrain, objects));

  // A longer file: its tail stays after a save, and is ignored on load.
  Bytes longer(MAP_FILE_SIZE + 100, 0x11);
  WriteBytes("maps/long.map", longer);
  ASSERT_TRUE(ReadMapFile(Path("maps/long.map").c_str(), terrain, objects));
  EXPECT_EQ(terrain.at(50, 40), 0x11);
  terrain = MapLayer();
  ASSERT_TRUE(WriteMapFile(Path("maps/long.map").c_str(), terrain, objects));
  Bytes after = ReadBytes("maps/long.map");
  ASSERT_EQ(after.size(), longer.size());
  EXPECT_EQ(after[0], 0);
  EXPECT_EQ(after[1], 0x11);
  EXPECT_EQ(after[MAP_FILE_SIZE], 0x11);
}

TEST(MapMarkers, CountsOverAllCells) {
  MapLayer terrain, objects;
  EXPECT_FALSE(MapIsComplete(CountMapMarkers(terrain, objects)));
  objects.at(50, 40) = OBJECT_START;  // outside the used area still counts
  terrain.at(2, 2) = TERRAIN_TARGET_PLATFORM;
  terrain.at(3, 2) = TERRAIN_TARGET_PLATFORM;
  MapMarkerCounts counts = CountMapMarkers(terrain, objects);
  EXPECT_EQ(counts.startCount, 1);
  EXPECT_EQ(counts.targetCount, 2);
  EXPECT_EQ(counts.prisonerCount, 0);
  EXPECT_FALSE(MapIsComplete(counts));
  objects.at(0, 40) = OBJECT_PRISONER;
  objects.at(10, 10) = OBJECT_PRISONER;
  counts = CountMapMarkers(terrain, objects);
  EXPECT_EQ(counts.prisonerCount, 2);
  EXPECT_TRUE(MapIsComplete(counts));
  terrain.at(2, 2) = terrain.at(3, 2) = TERRAIN_WALL;
  EXPECT_FALSE(MapIsComplete(CountMapMarkers(terrain, objects)));
}
