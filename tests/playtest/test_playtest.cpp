// The playtest bot: its limits hold by construction, a few fixed rocket
// sequences finish the built-in maps, and the scripts it writes play the
// same in vantorreplay.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "media/headless.h"
#include "support/replay_run.h"
#include "support/test_support.h"
#include "tools/playtest/run.h"

namespace {

// Runs of the built maps (map number, run number) that finish. The maps
// decide which runs finish: when a map changes, this table changes with it.
const struct {
  int map, run;
} FINISHING_RUNS[] = {{1, 0}, {2, 0}, {3, 1}};

// The keys of each pass of play, from a script's lines after the title's two.
std::vector<std::string> PassKeys(const std::string& script) {
  std::vector<std::string> passes;
  std::istringstream lines(script);
  std::string line;
  int titleLines = 2;
  while (std::getline(lines, line)) {
    if (line.empty() || line[0] == '#') continue;
    if (titleLines-- > 0) continue;
    std::istringstream words(line);
    int frames = 0;
    words >> frames;
    std::string keys, word;
    while (words >> word) keys += word + " ";
    passes.insert(passes.end(), size_t(frames), keys);
  }
  return passes;
}

// Keys are pressed only after the first reaction time and change only at
// decisions a decision period apart: the keys of pass p + 1 are chosen
// after pass p.
void ExpectKeysChangeOnlyAtDecisions(const RunResult& result) {
  const Limits limits;
  const std::vector<std::string> passes = PassKeys(result.script);
  ASSERT_EQ(int(passes.size()), result.playFrames);
  EXPECT_EQ(passes.front(), "");
  for (int p = 1; p < int(passes.size()); p++) {
    if (passes[size_t(p)] == passes[size_t(p) - 1]) continue;
    EXPECT_GE(p, limits.reactionFrames) << "pass " << p + 1;
    EXPECT_EQ((p - limits.reactionFrames) % limits.decisionFrames, 0) << "pass " << p + 1;
  }
  ASSERT_FALSE(result.decisions.empty());
  for (const auto& [decidedAfter, seen] : result.decisions) EXPECT_EQ(decidedAfter - seen, limits.reactionFrames);
}

// Each run of the table, played once (a run takes seconds): it finishes, its
// keys keep the limits, and its script plays the same in vantorreplay.
TEST(Playtest, FixedRunsFinishWithinTheLimitsAndReplayTheSame) {
  const std::string here = std::filesystem::current_path().string();
  for (const auto& entry : FINISHING_RUNS) {
    SCOPED_TRACE("map " + std::to_string(entry.map) + " run " + std::to_string(entry.run));
    const std::string map = VANTOR_RUN_DIR "/maps/map " + std::to_string(entry.map) + ".map";
    const std::string folder = MakePlayerFolder(VANTOR_RUN_DIR, map);
    ASSERT_FALSE(folder.empty());
    ASSERT_EQ(chdir(folder.c_str()), 0);
    std::optional<Route> route;
    const RunResult result = PlayRun(entry.run, Limits{}, route);
    ASSERT_EQ(chdir(here.c_str()), 0);

    EXPECT_TRUE(result.finished);
    ExpectKeysChangeOnlyAtDecisions(result);
    const testsupport::ReplayRun replay = testsupport::RunReplay(folder, "--no-sound", result.script);
    ASSERT_EQ(replay.exitCode, 0) << replay.err;
    EXPECT_EQ(replay.Int("levelComplete"), result.finished ? 1 : 0);
    EXPECT_EQ(replay.Int("lives"), 3 - result.livesLost);
    EXPECT_EQ(replay.Int("frames"), TitleWait(entry.run) + 1 + result.playFrames);
    testsupport::RemoveTempFolder(folder);
  }
}

// The bot given two games that are the same until a rocket appears in one of
// them at frame `appears` chooses the same keys in both for the passes up to
// `appears` + the reaction time: what it has not yet seen cannot steer it.
TEST(PlaytestBot, ARocketCannotChangeKeysBeforeTheReactionTime) {
  // The game's pictures, for the collisions of the frames played ahead.
  const std::string here = std::filesystem::current_path().string();
  ASSERT_EQ(chdir(VANTOR_RUN_DIR), 0);
  headless::Use();
  headless::QueueAnswer(7);
  game = GameState{};
  StartGame();
  GameReset();
  ASSERT_EQ(chdir(here.c_str()), 0);

  GameState level{};
  for (int x = 0; x < MAP_WIDTH; x++)
    for (int y = 0; y < MAP_HEIGHT; y++)
      level.terrainList.Add(x * TILE_SIZE, y * TILE_SIZE, x == 0 || y == 0 || y == MAP_HEIGHT - 1 ? TERRAIN_WALL : 0);
  level.craftSpeed = 4;
  level.lives = 3;
  level.craftX = 400;
  level.craftY = 50;
  level.scrollX = 400;
  level.scrollY = 400;
  level.soundOff = 1;
  Route route;
  Goal target;
  for (int n = 0; n < NODE_COLUMNS * NODE_ROWS; n++) target.distance.push_back(float(n % NODE_COLUMNS));
  route.goals.push_back(target);
  route.legAfter = {0};
  route.wall.assign(size_t(NODE_COLUMNS * NODE_ROWS), false);

  const Limits limits;
  const int appears = 30;
  KeyboardMemory keyboard{};
  keyboard.acquired = true;
  Bot calm(route, limits, 5), threatened(route, limits, 5);
  bool differs = false;
  for (int frame = 0; frame <= appears + 4 * limits.reactionFrames; frame++) {
    GameState withRocket = level;
    // On its way into the craft's middle, 36 frames after it appears.
    if (frame >= appears) withRocket.rocketList.Add(80 + 10 * (frame - appears), 830 - 10 * (frame - appears), 3);
    const Keys a = calm.AfterPass(Moment{frame, frame + 600, level, keyboard});
    const Keys b = threatened.AfterPass(Moment{frame, frame + 600, withRocket, keyboard});
    if (frame < appears + limits.reactionFrames) {
      EXPECT_EQ(a, b) << "keys for pass " << frame + 1;
    }
    differs = differs || a != b;
  }
  EXPECT_TRUE(differs) << "the rocket should matter once it has been seen";
}

}  // namespace
