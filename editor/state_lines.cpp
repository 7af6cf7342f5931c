// The editor's state as "name value" lines, one per line: every whole-number
// field. What vantorreplay --editor prints and what the browser page's test
// hook returns.
#include <string>

#include "editor/editor.h"

std::string EditorStateLines() {
  std::string out;
#define ADD_FIELD(name) out += #name " " + std::to_string(editor.name) + "\n";
  EDITOR_INT_FIELDS(ADD_FIELD)
#undef ADD_FIELD
  return out;
}
