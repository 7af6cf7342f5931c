#include "tools/playtest/run.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "formats/mapfile.h"
#include "media/headless.h"

namespace {

struct RunOver {};

std::string ScriptOf(int wait, const std::vector<Keys>& passes) {
  std::string script = "# playtest run: the title, F2 for the own map, then the bot's keys\n";
  script += std::to_string(wait) + "\n1 F2\n";
  for (size_t p = 0; p < passes.size();) {
    size_t q = p;
    while (q < passes.size() && passes[q] == passes[p]) q++;
    script += std::to_string(q - p) + KeyWords(passes[p]) + "\n";
    p = q;
  }
  return script;
}

bool Overlaps(int ax, int ay, int aw, int ah, int bx, int by, int bw, int bh) {
  return ax < bx + bw && bx < ax + aw && ay < by + bh && by < ay + ah;
}

// What destroyed the craft in the pass just played, judged from the state
// after it and the enemies before it.
std::string CrashCause(const std::vector<WorldItem>& enemiesBefore) {
  const int cx = game.craftX + game.scrollX, cy = game.craftY + game.scrollY;
  for (int i = 0; i < game.rocketList.Size(); i++) {
    const WorldItem& r = game.rocketList[i];
    if (Overlaps(game.craftX, game.craftY, 80, 40, r.x, r.y - game.scrollY, 8, 8)) return "rocket";
  }
  for (const WorldItem& e : enemiesBefore) {
    bool gone = true;
    for (int i = 0; i < game.objectList.Size() && gone; i++)
      gone = !(game.objectList[i].code == OBJECT_ENEMY && game.objectList[i].y == e.y &&
               std::abs(game.objectList[i].x - e.x) <= 4);
    if (gone && Overlaps(cx, cy, 80, 40, e.x - 4, e.y, 48, 40)) return "enemy";
  }
  for (int i = 0; i < game.terrainList.Size(); i++) {
    const WorldItem& t = game.terrainList[i];
    if (t.code == TERRAIN_BLOCK && Overlaps(cx, cy, 80, 40, t.x, t.y, TILE_SIZE, TILE_SIZE)) return "block";
  }
  return "wall";
}

std::vector<WorldItem> Enemies() {
  std::vector<WorldItem> enemies;
  for (int i = 0; i < game.objectList.Size(); i++)
    if (game.objectList[i].code == OBJECT_ENEMY) enemies.push_back(game.objectList[i]);
  return enemies;
}

class Runner {
 public:
  Runner(int run, const Limits& limits, std::optional<Route>& route)
      : wait_(TitleWait(run)), limits_(limits), route_(route), seed_(uint32_t(run) * 7919u + 17u) {}

  void OnFrame(int frame) {
    headless::ReleaseAllKeys();
    if (frame < wait_) return;
    if (frame == wait_) {
      headless::HoldKey(KEY_F2, true);
      return;
    }
    const int playFrame = frame - wait_ - 1;
    if (playFrame == 0) Start();
    result_.playFrames = playFrame;
    if (game.lives == 0) throw RunOver{};  // the end screen: no lives left
    NoteCrash();
    if (game.levelComplete == 1) {
      result_.finished = true;
      throw RunOver{};
    }
    if (playFrame >= MAX_PLAY_FRAMES) throw RunOver{};
    Moment moment{playFrame, frame, game, SaveKeyboard()};
    const Keys keys = bot_->AfterPass(moment);
    passes_.push_back(keys);
    for (int i = 0; i < 5; i++) headless::HoldKey(KEY_CODES[i], keys >> i & 1);
  }

  RunResult Finish() {
    result_.livesLost = startLives_ - game.lives;
    result_.endCellX = (game.craftX + game.scrollX + 40) / TILE_SIZE;
    result_.endCellY = (game.craftY + game.scrollY + 20) / TILE_SIZE;
    result_.prisonersLeft = game.prisonersLeft;
    result_.script = ScriptOf(wait_, std::vector<Keys>(passes_.begin(), passes_.begin() + result_.playFrames));
    if (bot_) result_.decisions = bot_->Decisions();
    return result_;
  }

 private:
  void Start() {
    if (!route_) route_ = PlanRoute(game.terrainGrid, game.objectGrid, game.craftX + game.scrollX,
                                    game.craftY + game.scrollY);
    bot_ = std::make_unique<Bot>(*route_, limits_, seed_);
    startLives_ = game.lives;
    enemies_ = Enemies();
  }

  void NoteCrash() {
    if (game.craftDestroyed && !destroyed_) {
      const int cx = game.craftX + game.scrollX + 40, cy = game.craftY + game.scrollY + 20;
      result_.crashes.push_back({cx / TILE_SIZE, cy / TILE_SIZE, CrashCause(enemies_)});
    }
    destroyed_ = game.craftDestroyed != 0;
    enemies_ = Enemies();
  }

  int wait_;
  Limits limits_;
  std::optional<Route>& route_;
  uint32_t seed_;
  std::unique_ptr<Bot> bot_;
  std::vector<Keys> passes_;
  std::vector<WorldItem> enemies_;
  bool destroyed_ = false;
  int startLives_ = 3;
  RunResult result_;
};

}  // namespace

std::string MakePlayerFolder(const std::string& packDir, const std::string& map) {
  namespace fs = std::filesystem;
  char pattern[] = "/tmp/playtest-XXXXXX";
  if (!mkdtemp(pattern)) return "";
  const std::string folder = pattern;
  std::error_code error;
  fs::create_directories(folder + "/maps", error);
  if (!error) fs::create_symlink(fs::absolute(packDir + "/vantor.pak"), folder + "/vantor.pak", error);
  if (!error) fs::copy_file(map, folder + "/" + OWN_MAP_PATH_GAME, error);
  return error ? "" : folder;
}

RunResult PlayRun(int run, const Limits& limits, std::optional<Route>& route) {
  headless::Use();
  headless::QueueAnswer(7);  // "Sound aktivieren ?": No
  Runner runner(run, limits, route);
  headless::OnFrame([&runner](int frame) { runner.OnFrame(frame); });
  try {
    RunGame();
  } catch (const RunOver&) {
  }
  headless::OnFrame(nullptr);
  return runner.Finish();
}
