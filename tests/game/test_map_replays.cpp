// The three maps of the sequence as built into the player's folder, and the
// replays in tests/replays that prove them: one game from program start that
// frees every prisoner of map 1, 2 and 3 and lands on each target platform
// without losing a life. Each map's part ends with the frame that loads the
// next map, so the state after the first N parts shows map N + 1 just loaded.
// tools/routefinder makes the replays again when a map or the game changes.
#include <gtest/gtest.h>

#include <filesystem>
#include <future>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "formats/mapfile.h"
#include "formats/maptext.h"
#include "support/replay_run.h"
#include "support/test_support.h"

namespace {

using testsupport::ReplayRun;

std::string BuiltMap(int number) { return VANTOR_RUN_DIR "/maps/map " + std::to_string(number) + ".map"; }

std::string ReplayPart(int number) {
  const std::string path = VANTOR_SOURCE_DIR "/tests/replays/map" + std::to_string(number) + ".replay";
  testsupport::Bytes bytes = testsupport::ReadFileBytes(path);
  EXPECT_FALSE(bytes.empty()) << "cannot read " << path;
  return testsupport::Text(bytes);
}

// Frames the script holds keys for: the first number of each line.
int ScriptFrames(const std::string& script) {
  std::istringstream lines(script);
  std::string line;
  int frames = 0;
  while (std::getline(lines, line)) {
    std::istringstream words(line.substr(0, line.find('#')));
    int n = 0;
    if (words >> n) frames += n;
  }
  return frames;
}

struct Layers {
  MapLayer terrain, objects;
  // Cells of the layer holding `code`, column 50 and row 40 included.
  static int Count(const MapLayer& layer, int code) {
    int n = 0;
    for (int x = 0; x < MAP_FILE_COLUMNS; x++)
      for (int y = 0; y < MAP_FILE_ROWS; y++) n += layer.at(x, y) == code;
    return n;
  }
  int Prisoners() const { return CountMapMarkers(terrain, objects).prisonerCount; }
};

// Read without the game's habit of creating a missing file.
Layers ReadBuiltMap(int number) {
  Layers map;
  const testsupport::Bytes bytes = testsupport::ReadFileBytes(BuiltMap(number));
  EXPECT_EQ(bytes.size(), size_t(MAP_FILE_SIZE)) << BuiltMap(number);
  MapFromBytes(bytes.data(), bytes.size(), map.terrain, map.objects);
  return map;
}

class MapReplays : public testsupport::TempDirTest {
 protected:
  // A player's folder of its own: the pack and a copy of the built maps (the
  // game opens its maps for writing as well).
  std::string PlayerFolder(const std::string& name) {
    const std::string folder = Path(name);
    std::filesystem::create_directories(folder + "/maps");
    std::filesystem::create_symlink(VANTOR_RUN_DIR "/vantor.pak", folder + "/vantor.pak");
    for (int n = 1; n <= 3; n++)
      std::filesystem::copy_file(BuiltMap(n), folder + "/maps/map " + std::to_string(n) + ".map");
    return folder;
  }
};

TEST_F(MapReplays, EachMapUsesTheWholeWorldWithEveryKindOfCell) {
  for (int n = 1; n <= 3; n++) {
    SCOPED_TRACE("map " + std::to_string(n));
    const Layers map = ReadBuiltMap(n);
    EXPECT_EQ(CountMapMarkers(map.terrain, map.objects).startCount, 1);
    for (int code : {TERRAIN_LANDING_PAD, TERRAIN_BLOCK, TERRAIN_LAUNCHER_LEFT, TERRAIN_LAUNCHER_RIGHT,
                     TERRAIN_TARGET_PLATFORM})
      EXPECT_GT(map.Count(map.terrain, code), 0) << "terrain " << code;
    for (int code : {OBJECT_ENEMY, OBJECT_PRISONER}) EXPECT_GT(map.Count(map.objects, code), 0) << "object " << code;
    // Walled in all round; nothing in the stored column 50 and row 40.
    for (int x = 0; x < MAP_FILE_COLUMNS; x++)
      for (int y = 0; y < MAP_FILE_ROWS; y++) {
        const bool outside = x == MAP_WIDTH || y == MAP_HEIGHT;
        const bool border = !outside && (x == 0 || y == 0 || x == MAP_WIDTH - 1 || y == MAP_HEIGHT - 1);
        if (outside) {
          EXPECT_EQ(map.terrain.at(x, y), 0) << x << "," << y;
          EXPECT_EQ(map.objects.at(x, y), 0) << x << "," << y;
        } else if (border) {
          EXPECT_EQ(map.terrain.at(x, y), TERRAIN_WALL) << x << "," << y;
        }
      }
  }
}

TEST_F(MapReplays, OneGameCompletesMapsOneTwoAndThreeWithoutLosingALife) {
  const std::vector<std::string> parts = {ReplayPart(1), ReplayPart(2), ReplayPart(3)};
  // The game up to the end of map 1, of map 2 and of map 3: three runs of the
  // same deterministic game, side by side.
  std::vector<std::string> scripts;
  std::vector<std::future<ReplayRun>> runs;
  for (size_t n = 1; n <= parts.size(); n++) {
    scripts.push_back(scripts.empty() ? parts[0] : scripts.back() + parts[n - 1]);
    const std::string folder = PlayerFolder("game" + std::to_string(n));
    runs.push_back(std::async(std::launch::async, [folder, script = scripts.back()] {
      return testsupport::RunReplay(folder, "--no-sound", script);
    }));
  }
  for (size_t n = 1; n <= parts.size(); n++) {
    SCOPED_TRACE("after the part of map " + std::to_string(n));
    const ReplayRun run = runs[n - 1].get();
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.All("ended"), std::vector<std::string>{"no"});
    EXPECT_EQ(run.Int("frames"), ScriptFrames(scripts[n - 1]));
    const int next = int(n) % 3 + 1;
    const Layers nextMap = ReadBuiltMap(next);
    EXPECT_EQ(run.Int("mapNumber"), next);
    EXPECT_EQ(run.Int("levelComplete"), 0);
    EXPECT_EQ(run.Int("prisonersLeft"), nextMap.Prisoners());
    EXPECT_EQ(run.Int("lives"), 3);
    EXPECT_EQ(run.Int("craftDestroyed"), 0);
    EXPECT_EQ(run.All("messagebox"), std::vector<std::string>{"\"Soundkarte gefunden\" \"Sound aktivieren ?\""});
  }
}

// The same script with each key replaced by the pad button that stands for
// it, word by word; comments go with their lines.
std::string OnThePad(const std::string& script) {
  const std::map<std::string, std::string> padFor = {{"Left", "PadLeft"}, {"Right", "PadRight"},
                                                     {"Up", "PadUp"},     {"Down", "PadDown"},
                                                     {"Ctrl", "PadA"},    {"F1", "PadA"}};
  std::istringstream lines(script);
  std::string line, pad;
  while (std::getline(lines, line)) {
    std::istringstream words(line.substr(0, line.find('#')));
    std::string word;
    while (words >> word) {
      auto it = padFor.find(word);
      pad += (it == padFor.end() ? word : it->second) + " ";
    }
    pad += "\n";
  }
  return pad;
}

TEST_F(MapReplays, ThePadPlaysMap1ToTheSameEndAsTheKeys) {
  const std::string keys = ReplayPart(1);
  const std::string pad = OnThePad(keys);
  ASSERT_EQ(pad.find(" Right "), std::string::npos);
  const std::string keyFolder = PlayerFolder("keys"), padFolder = PlayerFolder("pad");
  auto keyRun = std::async(std::launch::async, [&] { return testsupport::RunReplay(keyFolder, "--no-sound", keys); });
  const ReplayRun padRun = testsupport::RunReplay(padFolder, "--no-sound", pad);
  const ReplayRun keyRunDone = keyRun.get();
  ASSERT_EQ(padRun.exitCode, 0) << padRun.err;
  EXPECT_EQ(padRun.Int("mapNumber"), 2);
  EXPECT_EQ(padRun.out, keyRunDone.out);
}

}  // namespace
