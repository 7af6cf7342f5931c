// The editor page's hooks: the page asks before it is left (or before
// another level is opened) while the map holds unsaved work, opens a level
// in the editor, and window.vantorState() returns the state lines with the
// unsaved answer as mapUnsaved.
#include <emscripten.h>

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <string>
#include <system_error>

#include "editor/editor.h"
#include "formats/maptext.h"

namespace {

bool SameMap(const MapLayer& terrainA, const MapLayer& objectsA, const MapLayer& terrainB,
             const MapLayer& objectsB) {
  return std::equal(std::begin(terrainA.cells), std::end(terrainA.cells), std::begin(terrainB.cells)) &&
         std::equal(std::begin(objectsA.cells), std::end(objectsA.cells), std::begin(objectsB.cells));
}

}  // namespace

// The editor writes the own map file on F2 and reads it on F3, so work is
// lost only when the map is neither empty (as at start) nor the same as
// that file. The file is looked for first: reading a missing one would
// create it.
extern "C" EMSCRIPTEN_KEEPALIVE int vantor_map_unsaved() {
  const MapLayer empty;
  if (SameMap(editor.terrainGrid, editor.objectGrid, empty, empty)) return 0;
  std::string path = OWN_MAP_PATH_EDITOR;
  std::replace(path.begin(), path.end(), '\\', '/');
  std::error_code error;
  if (!std::filesystem::exists(path, error)) return 1;
  MapLayer terrain, objects;
  if (!ReadMapFile(OWN_MAP_PATH_EDITOR, terrain, objects)) return 1;
  return SameMap(editor.terrainGrid, editor.objectGrid, terrain, objects) ? 0 : 1;
}

// The map of a level chosen in the page, in place of the one being edited,
// as F3 puts the own map there.
extern "C" EMSCRIPTEN_KEEPALIVE void vantor_edit_map(const uint8_t* bytes) {
  MapFromBytes(bytes, MAP_FILE_SIZE, editor.terrainGrid, editor.objectGrid);
}

extern "C" EMSCRIPTEN_KEEPALIVE const char* vantor_state() {
  static std::string lines;
  lines = EditorStateLines() + "mapUnsaved " + std::to_string(vantor_map_unsaved()) + "\n";
  return lines.c_str();
}
