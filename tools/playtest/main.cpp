// playtest: plays maps with the bot, headless and in this process, and
// reports how often a careful person with these limits finishes each one.
// A measuring program: it prints figures, it checks nothing.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "formats/mapfile.h"
#include "tools/playtest/run.h"

namespace fs = std::filesystem;

namespace {

const char* USAGE =
    "usage: playtest MAP... [--runs N] [--reaction MS] [--first RUN] [--script DIR] [--dir DIR]\n"
    "  MAP          a map file (\"maps/own .map\", a built map); each is played as the own map\n"
    "  --runs N     runs per map, each with other rocket launches (default 20)\n"
    "  --reaction   the reaction time in milliseconds (default 200)\n"
    "  --first RUN  number of the first run (default 0); run i waits 5 i frames longer on the title\n"
    "  --script DIR writes each run's keys as a vantorreplay script into DIR\n"
    "  --dir DIR    the folder with vantor.pak (default the build's player folder)";

struct Options {
  std::vector<std::string> maps;
  int runs = 20;
  int reactionMs = 200;
  int first = 0;
  std::string scriptDir;
  std::string packDir = VANTOR_RUN_DIR;
};

[[noreturn]] void Fail(const std::string& message) {
  fprintf(stderr, "playtest: %s\n", message.c_str());
  exit(1);
}

int Number(const char* text, int min, int max) {
  char* end = nullptr;
  const long value = strtol(text, &end, 10);
  if (*text == '\0' || *end != '\0' || value < min || value > max)
    Fail(std::string("not a number in ") + std::to_string(min) + ".." + std::to_string(max) + ": " + text);
  return int(value);
}

Options ParseOptions(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; i++) {
    const std::string a = argv[i];
    auto value = [&]() -> const char* {
      if (i + 1 >= argc) Fail(a + " needs a value\n" + USAGE);
      return argv[++i];
    };
    if (a == "--runs") o.runs = Number(value(), 1, 100000);
    else if (a == "--reaction") o.reactionMs = Number(value(), 0, 2000);
    else if (a == "--first") o.first = Number(value(), 0, 1000000);
    else if (a == "--script") o.scriptDir = fs::absolute(value()).string();
    else if (a == "--dir") o.packDir = fs::absolute(value()).string();
    else if (a.size() > 1 && a[0] == '-') Fail("unknown option " + a + "\n" + USAGE);
    else o.maps.push_back(fs::absolute(a).string());
  }
  if (o.maps.empty()) Fail(USAGE);
  return o;
}

std::string ScriptName(const std::string& map, int run) {
  std::string stem = fs::path(map).stem().string();
  std::replace(stem.begin(), stem.end(), ' ', '_');
  return stem + "-run" + std::to_string(run) + ".replay";
}

void Report(const std::string& map, const Options& o, const std::vector<RunResult>& runs, double seconds) {
  int finished = 0, lives = 0;
  std::vector<double> times;
  std::map<std::string, int> causes, places;
  for (const RunResult& r : runs) {
    finished += r.finished;
    lives += r.livesLost;
    if (r.finished) times.push_back(r.playFrames / 60.0);
    for (const Crash& c : r.crashes) {
      causes[c.cause]++;
      char cell[32];
      snprintf(cell, sizeof cell, "(%d, %d) ", c.cellX, c.cellY);
      places[cell + c.cause]++;
    }
  }
  std::sort(times.begin(), times.end());
  const int n = int(runs.size());
  printf("%s\n", map.c_str());
  printf("  runs         %d (reaction %d ms)\n", n, o.reactionMs);
  printf("  finished     %d (%.0f %%)\n", finished, 100.0 * finished / n);
  printf("  lives lost   %d (%.2f per run)\n", lives, double(lives) / n);
  if (times.empty())
    printf("  median time  -\n");
  else
    printf("  median time  %.1f s\n", times[times.size() / 2]);
  std::string summary;
  for (const auto& [cause, count] : causes) summary += " " + cause + " " + std::to_string(count);
  printf("  crashes     %s\n", summary.empty() ? " none" : summary.c_str());
  std::vector<std::pair<int, std::string>> sorted;
  for (const auto& [place, count] : places) sorted.push_back({-count, place});
  std::sort(sorted.begin(), sorted.end());
  for (const auto& [count, place] : sorted) printf("    %3d  %s\n", -count, place.c_str());
  printf("  run time     %.0f s\n", seconds);
  fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  const Options o = ParseOptions(argc, argv);
  Limits limits;
  limits.reactionFrames = (o.reactionMs * 60 + 500) / 1000;
  if (!o.scriptDir.empty()) fs::create_directories(o.scriptDir);
  for (const std::string& map : o.maps) {
    if (!fs::exists(o.packDir + "/vantor.pak")) Fail("no vantor.pak in " + o.packDir);
    std::error_code sizeError;
    if (fs::file_size(map, sizeError) != size_t(MAP_FILE_SIZE)) Fail("not a map file: " + map);
    const std::string folder = MakePlayerFolder(o.packDir, map);
    if (folder.empty()) Fail("cannot make a player's folder in /tmp");
    if (chdir(folder.c_str()) != 0) Fail("cannot enter " + folder);
    const auto start = std::chrono::steady_clock::now();
    std::optional<Route> route;
    std::vector<RunResult> runs;
    for (int run = o.first; run < o.first + o.runs; run++) {
      runs.push_back(PlayRun(run, limits, route));
      const RunResult& r = runs.back();
      if (r.finished)
        fprintf(stderr, "run %d: finished, %d lives lost, %.1f s\n", run, r.livesLost, r.playFrames / 60.0);
      else
        fprintf(stderr, "run %d: not finished, %d lives lost, %.1f s, ended at (%d, %d) with %d prisoners left\n",
                run, r.livesLost, r.playFrames / 60.0, r.endCellX, r.endCellY, r.prisonersLeft);
      if (!o.scriptDir.empty()) std::ofstream(o.scriptDir + "/" + ScriptName(map, run)) << runs.back().script;
    }
    if (route && !route->complete) printf("warning: the route finds no way to every prisoner and the target\n");
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    Report(map, o, runs, seconds);
    fs::remove_all(folder);
  }
  return 0;
}
