#include "tools/vantorreplay/script.h"

#include <cerrno>
#include <cstdlib>
#include <random>
#include <sstream>

#include "media/media.h"

namespace {

struct KeyName {
  const char* name;
  int scanCode;
};

const KeyName KEY_NAMES[] = {
    {"Left", KEY_LEFT}, {"Right", KEY_RIGHT}, {"Up", KEY_UP},     {"Down", KEY_DOWN},
    {"Ctrl", KEY_LEFT_CTRL}, {"Esc", KEY_ESCAPE}, {"J", KEY_J},   {"N", KEY_N},
    {"F1", KEY_F1},     {"F2", KEY_F2},       {"F3", KEY_F3},     {"F4", KEY_F4},
    {"Space", 0x39},    {"Return", 0x1C},
};

struct PadName {
  const char* name;
  PadState::Button button;
};

const PadName PAD_NAMES[] = {
    {"PadUp", PadState::UP}, {"PadDown", PadState::DOWN}, {"PadLeft", PadState::LEFT},
    {"PadRight", PadState::RIGHT}, {"PadA", PadState::A}, {"PadB", PadState::B},
    {"PadX", PadState::X}, {"PadY", PadState::Y}, {"PadStart", PadState::START},
    {"PadBack", PadState::BACK},
};

bool ParseToken(const std::string& token, ScriptStep& step) {
  for (const PadName& p : PAD_NAMES) {
    if (token == p.name) {
      step.pad.held[p.button] = true;
      return true;
    }
  }
  if (token == "Close") {
    step.closeRequests++;
    return true;
  }
  for (const KeyName& k : KEY_NAMES) {
    if (token == k.name) {
      step.keys.push_back(k.scanCode);
      return true;
    }
  }
  int64_t value = 0;
  if (token.size() == 4 && token.compare(0, 2, "0x") == 0) {
    if (!ParseNumber(token.substr(2), 16, 1, 255, value)) return false;
    step.keys.push_back(int(value));
    return true;
  }
  if (token == "LMB") {
    step.leftButton = true;
    return true;
  }
  if (token == "Tap") {
    step.tap = true;
    return true;
  }
  if (token[0] == '@') {
    size_t comma = token.find(',');
    int64_t x = 0, y = 0;
    if (comma == std::string::npos || !ParseNumber(token.substr(1, comma - 1), 10, 0, 799, x) ||
        !ParseNumber(token.substr(comma + 1), 10, 0, 599, y))
      return false;
    step.movesPointer = true;
    step.pointerX = int(x);
    step.pointerY = int(y);
    return true;
  }
  return false;
}

}  // namespace

bool ParseNumber(const std::string& text, int base, int64_t min, int64_t max, int64_t& value) {
  if (text.empty() || text[0] == '-' || text[0] == '+') return false;
  char* end = nullptr;
  errno = 0;
  value = std::strtoll(text.c_str(), &end, base);
  return *end == '\0' && errno == 0 && value >= min && value <= max;
}

int64_t Script::TotalFrames() const {
  int64_t total = 0;
  for (const ScriptStep& s : steps) total += s.frames;
  return total;
}

bool ParseScript(const std::string& text, const std::string& fileName, Script& script, std::string& error) {
  std::istringstream lines(text);
  std::string line;
  for (int number = 1; std::getline(lines, line); number++) {
    line = line.substr(0, line.find('#'));
    std::istringstream words(line);
    std::string word;
    if (!(words >> word)) continue;
    ScriptStep step;
    int64_t frames = 0;
    bool ok = ParseNumber(word, 10, 1, 100000000, frames);
    step.frames = int(frames);
    std::string bad = ok ? "" : word;
    while (ok && words >> word) {
      if (!ParseToken(word, step)) {
        ok = false;
        bad = word;
      }
    }
    if (!ok) {
      error = fileName + ":" + std::to_string(number) + ": cannot read \"" + bad +
              "\" (expected: FRAMES [KEY|0xNN|@X,Y|LMB|Tap|PadBUTTON|Close ...])";
      return false;
    }
    script.steps.push_back(step);
  }
  return true;
}

Script RandomScript(uint32_t seed, int64_t frames) {
  // Steering and firing most of the time; now and then a key that starts a
  // game, opens the help, asks to quit, answers No or leaves a screen.
  const int common[] = {KEY_LEFT, KEY_RIGHT, KEY_UP, KEY_DOWN, KEY_LEFT_CTRL};
  const int rare[] = {KEY_F1, KEY_F2, KEY_F3, KEY_ESCAPE, KEY_N, 0x39, 0x1C};
  std::mt19937 random(seed);
  auto below = [&random](int n) { return int(random() % uint32_t(n)); };
  Script script;
  for (int64_t done = 0; done < frames;) {
    ScriptStep step;
    step.frames = int(std::min<int64_t>(1 + below(40), frames - done));
    for (int k = below(3); k > 0; k--) step.keys.push_back(common[below(5)]);
    if (below(8) == 0) step.keys.push_back(rare[below(7)]);
    script.steps.push_back(step);
    done += step.frames;
  }
  return script;
}
