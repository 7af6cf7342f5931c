// One playtest run: the real game, headless and in this process, from
// program start. The bot waits on the title for a number of frames that
// depends on the run (so that every run meets other launches), presses F2
// for the own map and plays until the map is completed, the lives are used
// up or the time is over.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "tools/playtest/bot.h"
#include "tools/playtest/route.h"

struct Crash {
  int cellX, cellY;   // the cell under the craft's middle
  std::string cause;  // rocket, enemy, block or wall
};

struct RunResult {
  bool finished = false;  // completed with lives left
  int livesLost = 0;
  int playFrames = 0;     // passes of play
  std::vector<Crash> crashes;
  int endCellX = 0, endCellY = 0;  // where the craft's middle was at the end
  int prisonersLeft = 0;
  std::string script;     // the keys as a vantorreplay script
  std::vector<std::pair<int, int>> decisions;  // Bot::Decisions
};

constexpr int INTRO_FRAMES = 554;  // the logo intro and the title's first frame
constexpr int MAX_PLAY_FRAMES = 4 * 60 * 60;

inline int TitleWait(int run) { return INTRO_FRAMES + 5 * run; }

// A new folder in /tmp holding the pack (linked from packDir) and the map as
// "maps/own .map"; empty on failure.
std::string MakePlayerFolder(const std::string& packDir, const std::string& map);

// Plays run `run` in the player's folder that is the working directory (it
// holds vantor.pak and "maps/own .map"). The route is planned in the first
// run of a map and kept in `route` for the others.
RunResult PlayRun(int run, const Limits& limits, std::optional<Route>& route);
