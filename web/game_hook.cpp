// The game page's test hook: window.vantorState() returns these lines.
#include <emscripten.h>

#include <string>

#include "game/game.h"

extern "C" EMSCRIPTEN_KEEPALIVE const char* vantor_state() {
  static std::string lines;
  lines = GameStateLines();
  return lines.c_str();
}
