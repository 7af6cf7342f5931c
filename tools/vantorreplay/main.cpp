// vantorreplay: runs the real game (or, with --editor, the real editor) on
// the headless backend, frame by frame from a script, as fast as the machine
// allows, and prints the program's state at the end. A thin driver: the
// program's own code does everything; this only holds keys and the mouse,
// counts frames and reports.
#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <psapi.h>
#undef MessageBox  // the media layer's own name
#else
#include <sys/resource.h>
#endif

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "editor/editor.h"
#include "game/game.h"
#include "media/command_line.h"
#include "media/headless.h"
#include "media/media.h"
#include "tools/vantorreplay/script.h"

namespace {

const char* USAGE =
    "usage: vantorreplay [--editor] [--dir DIR] [--no-sound] [--shot FILE.bmp] [--shot-at N FILE.bmp]...\n"
    "                    SCRIPT [MAP]\n"
    "       vantorreplay [--dir DIR] [--no-sound] --random SEED --frames N\n"
    "       vantorreplay --version";

struct Options {
  bool editor = false;
  std::string dir = VANTOR_RUN_DIR;
  bool sound = true;
  std::string shot;
  std::map<int64_t, std::string> shotsAt;
  std::string scriptPath;
  std::string mapFile;  // handed to the program as its command line's FILE
  bool random = false;
  uint32_t seed = 0;
  int64_t randomFrames = 0;
};

// Thrown from the frame callback when the script's frames are used up.
struct ScriptDone {};

[[noreturn]] void Fail(const std::string& message) {
  fprintf(stderr, "vantorreplay: %s\n", message.c_str());
  exit(1);
}

Options ParseOptions(const std::vector<std::string>& args) {
  Options o;
  const int argc = int(args.size());
  auto next = [&](int& i) -> const char* {
    if (i + 1 >= argc) Fail(args[i] + " needs a value\n" + USAGE);
    return args[++i].c_str();
  };
  int64_t number = 0;
  for (int i = 0; i < argc; i++) {
    const std::string& a = args[i];
    if (a == "--version") {
      PrintVersion("vantorreplay");
      exit(0);
    } else if (a == "--editor") {
      o.editor = true;
    } else if (a == "--dir") {
      o.dir = next(i);
    } else if (a == "--no-sound") {
      o.sound = false;
    } else if (a == "--shot") {
      o.shot = next(i);
    } else if (a == "--shot-at") {
      if (!ParseNumber(next(i), 10, 1, INT32_MAX, number)) Fail("--shot-at takes a frame number from 1");
      o.shotsAt[number] = next(i);
    } else if (a == "--random") {
      if (!ParseNumber(next(i), 10, 0, UINT32_MAX, number)) Fail("--random takes a seed 0..4294967295");
      o.random = true;
      o.seed = uint32_t(number);
    } else if (a == "--frames") {
      if (!ParseNumber(next(i), 10, 0, INT64_MAX, number)) Fail("--frames takes a number of frames");
      o.randomFrames = number;
    } else if (a.size() > 1 && a[0] == '-') {
      Fail("unknown option " + a + "\n" + USAGE);
    } else if (o.scriptPath.empty()) {
      o.scriptPath = a;
    } else if (o.mapFile.empty()) {
      o.mapFile = a;
    } else {
      Fail(std::string("more than a script and a map\n") + USAGE);
    }
  }
  if (o.random && !o.scriptPath.empty()) Fail("--random plays without a script");
  if (!o.random && o.scriptPath.empty()) Fail(USAGE);
  if (o.random && o.editor) Fail("--random plays the game only");
  // The map is named from where the tool was started, as the program's own
  // command line would name it; the program checks it.
  if (!o.mapFile.empty()) o.mapFile = TakeMapFileArgument(o.editor ? "vantoredit" : "vantor", {"--", o.mapFile});
  // Screenshots are named from where the tool was started, not from DIR.
  if (!o.shot.empty()) o.shot = std::filesystem::absolute(o.shot).string();
  for (auto& shot : o.shotsAt) shot.second = std::filesystem::absolute(shot.second).string();
  return o;
}

Script LoadScript(const Options& o) {
  if (o.random) return RandomScript(o.seed, o.randomFrames);
  std::ifstream in(PathFromUtf8(o.scriptPath), std::ios::binary);
  if (!in) Fail("cannot read " + o.scriptPath);
  std::stringstream text;
  text << in.rdbuf();
  Script script;
  std::string error;
  if (!ParseScript(text.str(), o.scriptPath, script, error)) Fail(error);
  return script;
}

// ---- Input, frame by frame --------------------------------------------------

struct Player {
  const Script* script = nullptr;
  size_t step = 0;
  int framesLeftInStep = 0;
  int pointerX = 0, pointerY = 0;  // where the pointer was last put
  bool leftButton = false;
};

Player player;

// Sets up what the keyboard and mouse show until the next frame is
// presented; false when the script has no more frames.
bool ScriptNextFrame() {
  while (player.framesLeftInStep == 0) {
    if (player.step >= player.script->steps.size()) return false;
    const ScriptStep& next = player.script->steps[player.step++];
    player.framesLeftInStep = next.frames;
    for (int n = 0; n < next.closeRequests; n++) headless::RequestClose();
  }
  const ScriptStep& s = player.script->steps[player.step - 1];
  player.framesLeftInStep--;
  headless::ReleaseAllKeys();
  for (int key : s.keys) headless::HoldKey(key, true);
  headless::SetPad(s.pad);
  if (s.movesPointer && (s.pointerX != player.pointerX || s.pointerY != player.pointerY)) {
    headless::MoveMouse(s.pointerX - player.pointerX, s.pointerY - player.pointerY);
    player.pointerX = s.pointerX;
    player.pointerY = s.pointerY;
  }
  if (s.leftButton != player.leftButton) {
    headless::SetMouseButton(1, s.leftButton);
    player.leftButton = s.leftButton;
  }
  if (s.tap) {
    headless::SetMouseButton(1, true);
    headless::SetMouseButton(1, false);
    player.leftButton = false;
  }
  return true;
}

// ---- What a soak went through ---------------------------------------------------

// Counted at every presented frame of a random run, so that a soak can show
// that it crossed deaths, completed maps and ended games.
struct SoakCounts {
  int explosions = 0, mapsCompleted = 0, gamesOver = 0;
  bool destroyed = false, complete = false, over = false;

  void Observe() {
    if (game.craftDestroyed && !destroyed) explosions++;
    if (game.levelComplete && !complete) mapsCompleted++;
    if (game.lives == 0 && !over) gamesOver++;
    destroyed = game.craftDestroyed;
    complete = game.levelComplete;
    over = game.lives == 0;
  }
};

SoakCounts soak;

// ---- Screenshots and the report ----------------------------------------------

// The frame as a 24-bit BMP, bottom row first, rows padded to 4 bytes.
void WriteShot(const std::string& path) {
  const std::vector<uint32_t>& pixels = headless::LastFrame();
  const int w = headless::FrameWidth(), h = headless::FrameHeight();
  const int rowBytes = (w * 3 + 3) & ~3;
  std::vector<uint8_t> bmp(54 + size_t(rowBytes) * h, 0);
  auto put32 = [&bmp](size_t at, uint32_t v) {
    for (int i = 0; i < 4; i++) bmp[at + i] = uint8_t(v >> (8 * i));
  };
  bmp[0] = 'B';
  bmp[1] = 'M';
  put32(2, uint32_t(bmp.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, uint32_t(w));
  put32(22, uint32_t(h));
  put32(26, 1 | 24 << 16);  // one plane, 24 bits
  put32(34, uint32_t(rowBytes) * h);
  for (int y = 0; y < h; y++) {
    uint8_t* row = &bmp[54 + size_t(h - 1 - y) * rowBytes];
    for (int x = 0; x < w; x++) {
      uint32_t p = pixels.empty() ? 0 : pixels[size_t(y) * w + x];  // 0x00BBGGRR
      row[3 * x] = uint8_t(p >> 16);
      row[3 * x + 1] = uint8_t(p >> 8);
      row[3 * x + 2] = uint8_t(p);
    }
  }
  FILE* f = fopen(path.c_str(), "wb");
  if (!f || fwrite(bmp.data(), 1, bmp.size(), f) != bmp.size()) Fail("cannot write " + path);
  fclose(f);
}

// The most memory the process has held in RAM.
long PeakMemoryKiB() {
#ifdef _WIN32
  PROCESS_MEMORY_COUNTERS counters{};
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return long(counters.PeakWorkingSetSize / 1024);
#else
  struct rusage usage;
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
#endif
}

void PrintReport(const Options& o, bool ended) {
  fputs((o.editor ? EditorStateLines() : GameStateLines()).c_str(), stdout);
  printf("frames %d\n", headless::FramesPresented());
  printf("ended %s\n", ended ? "yes" : "no");
  for (const headless::MessageBoxCall& box : headless::MessageBoxes())
    printf("messagebox %s %s\n", QuotedText(box.title).c_str(), QuotedText(box.text).c_str());
  if (o.random) {
    printf("explosions %d\nmapsCompleted %d\ngamesOver %d\n", soak.explosions, soak.mapsCompleted, soak.gamesOver);
    printf("maxRssKiB %ld\n", PeakMemoryKiB());
  }
}

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
  _setmode(_fileno(stdout), _O_BINARY);  // the report's lines end as on Linux
#endif
  Options o = ParseOptions(ProgramArguments(argc, argv));
  Script script = LoadScript(o);
  std::error_code entered;
  std::filesystem::current_path(o.dir, entered);
  if (entered) Fail("cannot enter " + o.dir);

  headless::Use();
  if (!o.sound) headless::QueueAnswer(7);  // "Sound aktivieren ?": No
  player.script = &script;
  const int64_t total = script.TotalFrames();
  ScriptNextFrame();
  // The editor reads its input and then shows the previous pass's drawing:
  // the pass of the last scripted frame has done its work and is shown only
  // at the flip after it, which ends the run.
  const int64_t lastFrame = o.editor ? total + 1 : total;
  headless::OnFrame([&o, lastFrame](int frame) {
    auto shot = o.shotsAt.find(frame);
    if (shot != o.shotsAt.end()) WriteShot(shot->second);
    if (o.random) soak.Observe();
    if (frame >= lastFrame) throw ScriptDone{};
    ScriptNextFrame();
  });

  bool ended = false;
  if (total > 0) {
    try {
      if (o.editor)
        RunEditor(o.mapFile);
      else
        RunGame(o.mapFile);
    } catch (const ScriptDone&) {
    } catch (const headless::ProgramEnded&) {
      ended = true;
    }
  }
  if (!o.shot.empty()) WriteShot(o.shot);
  PrintReport(o, ended);
  return 0;
}
