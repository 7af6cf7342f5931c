// F1, F2 and F3: the help lines, saving (refused for an incomplete map,
// confirmed only when written) and loading (once per release of F3), with
// the failures that keep the map and go on editing.
#include <gtest/gtest.h>

#include <filesystem>

#include "editor_fixture.h"

namespace {

using namespace testsupport;

const uint32_t WHITE_TEXT = 0xFFFFFF;
const char* const OWN_MAP = "maps/own .map";
const char* const REFUSAL = "Startpunkt, Zielplattform oder Gefangene fehlen";

// A complete map with codes in column 50 and row 40 and odd values, which
// the file carries through as they are.
void MakeCompleteMap() {
  editor.objectGrid.at(5, 5) = OBJECT_START;
  editor.objectGrid.at(5, 6) = OBJECT_PRISONER;
  editor.terrainGrid.at(5, 7) = TERRAIN_TARGET_PLATFORM;
  editor.terrainGrid.at(50, 3) = TERRAIN_WALL;
  editor.objectGrid.at(7, 40) = OBJECT_ENEMY;
  editor.terrainGrid.at(50, 40) = -3;
  editor.objectGrid.at(49, 39) = 100;
}

bool SameMap(const MapLayer& terrainA, const MapLayer& objectsA, const MapLayer& terrainB,
             const MapLayer& objectsB) {
  return std::equal(std::begin(terrainA.cells), std::end(terrainA.cells), std::begin(terrainB.cells)) &&
         std::equal(std::begin(objectsA.cells), std::end(objectsA.cells), std::begin(objectsB.cells));
}

bool EditorHolds(const MapLayer& terrain, const MapLayer& objects) {
  return SameMap(editor.terrainGrid, editor.objectGrid, terrain, objects);
}

using EditorHelp = EditorTest;

// The help lines show while F1 is held; with F2 the refusal is drawn later
// and covers the first of them.
TEST_F(EditorHelp, F1ShowsTheHelpLinesWhileHeldUnderTheSaveRefusal) {
  Point(700, 300);
  Hold(KEY_F1);
  Pass();
  ExpectText(0, 10, "F2 zum speichern", WHITE_TEXT);
  ExpectText(0, 30, "F3 zum laden", WHITE_TEXT);
  ExpectText(0, 50, "ESC zum beenden", WHITE_TEXT);
  ExpectText(0, 70, "Cusortasten zum scrollen ", WHITE_TEXT);
  ExpectText(0, 90, "LMT um Icons auszuwählen und zu setzen", WHITE_TEXT);
  ExpectText(0, 110, "Strg+Z zum rückgängig machen, Strg+Y zum wiederholen", WHITE_TEXT);
  Hold(KEY_F2);
  Pass();
  ExpectText(10, 10, REFUSAL, PackColor(255, 0, 0), 0);
  ExpectText(0, 30, "F3 zum laden", WHITE_TEXT);
  Hold(KEY_F1, false);
  Hold(KEY_F2, false);
  Pass();
  for (uint32_t p : Area(0, 0, 300, 120)) ASSERT_EQ(p, BLACK);
}

using EditorSave = EditorTest;

TEST_F(EditorSave, AnIncompleteMapIsRefusedAndTheFileStaysAsItWas) {
  Point(700, 300);
  Hold(KEY_F2);
  Pass();
  ExpectText(10, 10, REFUSAL, PackColor(255, 0, 0), 0);
  EXPECT_FALSE(Exists(OWN_MAP));
  // Two of the three markers are not enough either; an older file is kept.
  WriteText(OWN_MAP, "older map");
  editor.objectGrid.at(1, 1) = OBJECT_START;
  editor.terrainGrid.at(2, 2) = TERRAIN_TARGET_PLATFORM;
  Pass(2);
  ExpectText(10, 10, REFUSAL, PackColor(255, 0, 0), 0);
  EXPECT_EQ(ReadText(OWN_MAP), "older map");
  EXPECT_TRUE(headless::MessageBoxes().empty());
}

TEST_F(EditorSave, ACompleteMapIsWrittenAndConfirmedWhileF2IsHeld) {
  MakeCompleteMap();
  Point(700, 300);
  Hold(KEY_F2);
  Pass();
  ExpectText(605, 520, "Karte gespeichert", PackColor(0, 255, 0));
  ASSERT_EQ(ReadBytes(OWN_MAP).size(), size_t(MAP_FILE_SIZE));
  MapLayer terrain, objects;
  ASSERT_TRUE(ReadMapFile(OWN_MAP, terrain, objects));
  EXPECT_TRUE(EditorHolds(terrain, objects));
  Hold(KEY_F2, false);
  Pass();
  for (uint32_t p : Area(605, 520, 190, 18)) ASSERT_EQ(p, BLACK);
}

// Mended: a map file that cannot be created is reported, nothing is
// confirmed, and editing goes on with the map as it was.
TEST_F(EditorSave, AFailedSaveIsReportedAndEditingGoesOn) {
  std::filesystem::remove("maps");
  MakeCompleteMap();
  const MapLayer terrain = editor.terrainGrid, objects = editor.objectGrid;
  Point(700, 300);
  Hold(KEY_F2);
  Pass();
  ASSERT_EQ(headless::MessageBoxes().size(), 1u);
  EXPECT_EQ(headless::MessageBoxes()[0].title, "Fehler");
  EXPECT_EQ(headless::MessageBoxes()[0].text, "Kann Datei nicht anlegen");
  EXPECT_EQ(headless::MessageBoxes()[0].flags, 0);
  for (uint32_t p : Area(605, 520, 190, 18)) ASSERT_NE(p, PackColor(0, 255, 0));
  EXPECT_TRUE(EditorHolds(terrain, objects));
  Hold(KEY_F2, false);
  Hold(KEY_RIGHT);
  Pass();
  EXPECT_EQ(editor.scrollX, 40);
  EXPECT_EQ(headless::MessageBoxes().size(), 1u);
  EXPECT_FALSE(Exists("maps"));
}

// Each press of F2 first keeps the map it replaces; holding F2 keeps nothing
// more, a refused save touches neither file, and a backup that cannot be
// made stops no save.
TEST_F(EditorSave, EachSaveKeepsTheMapItReplacesBesideIt) {
  const char* const BACKUP = "maps/own .map.bak";
  auto save = [](int passes) {
    Hold(KEY_F2);
    Pass(passes);
    Hold(KEY_F2, false);
    Pass();
  };
  MakeCompleteMap();
  Point(700, 300);
  save(1);
  const Bytes first = ReadBytes(OWN_MAP);
  EXPECT_FALSE(Exists(BACKUP));
  editor.terrainGrid.at(20, 20) = TERRAIN_BLOCK;
  save(3);
  const Bytes second = ReadBytes(OWN_MAP);
  ASSERT_NE(first, second);
  EXPECT_EQ(ReadBytes(BACKUP), first);
  editor.objectGrid.at(5, 5) = OBJECT_NONE;  // no start point: refused
  save(2);
  EXPECT_EQ(ReadBytes(OWN_MAP), second);
  EXPECT_EQ(ReadBytes(BACKUP), first);
  std::filesystem::remove(BACKUP);
  std::filesystem::create_directory(BACKUP);
  editor.objectGrid.at(5, 5) = OBJECT_START;
  editor.terrainGrid.at(20, 20) = TERRAIN_WALL;
  save(1);
  EXPECT_NE(ReadBytes(OWN_MAP), second);
  EXPECT_TRUE(std::filesystem::is_directory(BACKUP));
  EXPECT_TRUE(headless::MessageBoxes().empty());
}

using EditorLoad = EditorTest;

// F3 held loads nothing; its release loads once; icon, scroll and cursor
// cell stay, the counts follow in the next pass.
TEST_F(EditorLoad, F3LoadsOncePerRelease) {
  MapLayer terrain, objects;
  terrain.at(3, 4) = TERRAIN_WALL;
  objects.at(6, 6) = OBJECT_PRISONER;
  ASSERT_TRUE(WriteMapFile(OWN_MAP, terrain, objects));
  ChooseIconAt(3);
  editor.scrollX = 80;
  PointAtCell(9, 9);
  editor.objectGrid.at(1, 1) = OBJECT_ENEMY;
  Hold(KEY_F3);
  Pass(3);
  EXPECT_EQ(editor.objectGrid.at(1, 1), OBJECT_ENEMY);
  Hold(KEY_F3, false);
  Pass();
  EXPECT_TRUE(EditorHolds(terrain, objects));
  EXPECT_EQ(editor.prisonerCount, 0);
  EXPECT_EQ(editor.selectedCode, TERRAIN_LANDING_PAD);
  EXPECT_EQ(editor.scrollX, 80);
  EXPECT_EQ(editor.cursorCellX, 9);
  Pass();
  EXPECT_EQ(editor.prisonerCount, 1);
  // No second load without a second press.
  editor.objectGrid.at(1, 1) = OBJECT_ENEMY;
  Pass(3);
  EXPECT_EQ(editor.objectGrid.at(1, 1), OBJECT_ENEMY);
}

// Everything comes back, column 50, row 40 and odd codes included.
TEST_F(EditorLoad, SaveThenLoadGivesBackTheSameMap) {
  MakeCompleteMap();
  const MapLayer terrain = editor.terrainGrid, objects = editor.objectGrid;
  Point(700, 300);
  Hold(KEY_F2);
  Pass();
  Hold(KEY_F2, false);
  editor.terrainGrid = MapLayer{};
  editor.objectGrid = MapLayer{};
  Hold(KEY_F3);
  Pass();
  Hold(KEY_F3, false);
  Pass();
  EXPECT_TRUE(EditorHolds(terrain, objects));
  EXPECT_EQ(editor.terrainGrid.at(50, 40), -3);
}

// Mended: without a saved map F3 keeps the map and makes no file.
TEST_F(EditorLoad, WithoutASavedMapF3KeepsTheMapAndMakesNoFile) {
  MakeCompleteMap();
  const MapLayer terrain = editor.terrainGrid, objects = editor.objectGrid;
  Hold(KEY_F3);
  Pass();
  Hold(KEY_F3, false);
  Pass(2);
  EXPECT_TRUE(EditorHolds(terrain, objects));
  EXPECT_FALSE(Exists(OWN_MAP));
  EXPECT_TRUE(headless::MessageBoxes().empty());
  // Nor does it without a maps folder.
  std::filesystem::remove("maps");
  Hold(KEY_F3);
  Pass();
  Hold(KEY_F3, false);
  Pass();
  EXPECT_TRUE(EditorHolds(terrain, objects));
  EXPECT_FALSE(Exists("maps"));
}

// Mended: a map file that exists but cannot be opened is reported, and
// editing goes on with the map as it was.
TEST_F(EditorLoad, AFailedLoadIsReportedAndKeepsTheMap) {
  std::filesystem::create_directory(OWN_MAP);  // exists, but no file to open
  MakeCompleteMap();
  const MapLayer terrain = editor.terrainGrid, objects = editor.objectGrid;
  Hold(KEY_F3);
  Pass();
  Hold(KEY_F3, false);
  Pass();
  ASSERT_EQ(headless::MessageBoxes().size(), 1u);
  EXPECT_EQ(headless::MessageBoxes()[0].title, "Fehler");
  EXPECT_EQ(headless::MessageBoxes()[0].text, "Kann Datei nicht öffnen");
  EXPECT_TRUE(EditorHolds(terrain, objects));
  Hold(KEY_DOWN);
  Pass();
  EXPECT_EQ(editor.scrollY, 40);
  EXPECT_EQ(editor.startCount, 1);
}

}  // namespace
