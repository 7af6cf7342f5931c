// The editor page's test hook: window.vantorState() returns these lines.
#include <emscripten.h>

#include <string>

#include "editor/editor.h"

extern "C" EMSCRIPTEN_KEEPALIVE const char* vantor_state() {
  static std::string lines;
  lines = EditorStateLines();
  return lines.c_str();
}
