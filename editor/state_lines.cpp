// The editor's state as "name value" lines, one per line: every whole-number
// field and the steps that can be undone and redone. What vantorreplay
// --editor prints and what the browser page's test hook returns.
#include <string>

#include "editor/editor.h"

std::string EditorStateLines() {
  std::string out;
#define ADD_FIELD(name) out += #name " " + std::to_string(editor.name) + "\n";
  EDITOR_INT_FIELDS(ADD_FIELD)
#undef ADD_FIELD
  const UndoHistory& h = editor.history;
  out += "undoSteps " + std::to_string(h.applied) + "\n";
  out += "redoSteps " + std::to_string(h.steps.size() - h.applied) + "\n";
  return out;
}
