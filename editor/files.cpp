// F1, F2 and F3: the help lines, saving the map to its file (only a
// complete map) and loading it back. The file is the own map unless the
// editor was started with one.
#include <filesystem>
#include <system_error>

#include "editor/editor.h"
#include "media/command_line.h"
#include "media/media.h"

namespace {

const char* const HELP_LINES[] = {
    "F2 zum speichern",
    "F3 zum laden",
    "ESC zum beenden",
    "Cusortasten zum scrollen ",
    "LMT um Icons auszuwählen und zu setzen",
    "Strg+Z zum rückgängig machen, Strg+Y zum wiederholen",
};

void DrawNotice(int x, int y, int mode, uint32_t colour, const char* text) {
  BeginDrawing(ScreenCanvas());
  SetDrawingMode(mode);
  SetDrawingColor(colour);
  DrawString(x, y, text);
  EndDrawing();
}

const char* MapFileName() { return editor.mapFile.empty() ? OWN_MAP_PATH_EDITOR : editor.mapFile.c_str(); }

bool MapFileExists() {
  std::error_code error;
  return std::filesystem::exists(PathFromUtf8(MapFileName()), error);
}

// The map that a save replaces stays beside it with ".bak" added ("own
// .map.bak"), a map file like any other. Without a saved map there is
// nothing to keep; a copy that fails keeps nothing and stops no save.
void KeepPreviousMap() {
  if (!MapFileExists()) return;
  const std::filesystem::path file = PathFromUtf8(MapFileName());
  std::filesystem::path backup = file;
  backup += ".bak";
  std::error_code error;
  std::filesystem::copy_file(file, backup, std::filesystem::copy_options::overwrite_existing, error);
}

}  // namespace

// Over the top left of the view while F1 is held; editing goes on underneath.
void ShowHelp() {
  BeginDrawing(ScreenCanvas());
  SetDrawingMode(1);
  SetDrawingColor(PackColor(255, 255, 255));
  int y = 10;
  for (const char* line : HELP_LINES) {
    DrawString(0, y, line);
    y += 20;
  }
  EndDrawing();
}

// In every frame while F2 is held. An incomplete map is refused in red on a
// white text background. The first write of a press keeps the map it
// replaces; the writes after it in the same press would only keep this one.
// A file that cannot be written is reported and editing goes on with the
// map as it is; only a save that worked is confirmed.
void SaveMap() {
  if (editor.startCount == 0 || editor.targetCount == 0 || editor.prisonerCount == 0) {
    DrawNotice(10, 10, 0, PackColor(255, 0, 0), "Startpunkt, Zielplattform oder Gefangene fehlen");
    return;
  }
  if (editor.savedThisPress == 0) KeepPreviousMap();
  editor.savedThisPress = 1;
  if (!WriteMapFile(MapFileName(), editor.terrainGrid, editor.objectGrid)) {
    ShowMessageBox("Fehler", "Kann Datei nicht anlegen", 0);
    return;
  }
  DrawNotice(605, 520, 1, PackColor(0, 255, 0), "Karte gespeichert");
}

// Once per release of F3. Without a saved map nothing happens: reading would
// create an empty file and wipe the map. The file is read aside, so a file
// that cannot be opened leaves the map as it is. Icon, scroll and cursor
// cell stay; the counts follow in the next pass.
void LoadMap() {
  if (!MapFileExists()) return;
  MapLayer terrain, objects;
  if (!ReadMapFile(MapFileName(), terrain, objects)) {
    ShowMessageBox("Fehler", "Kann Datei nicht öffnen", 0);
    return;
  }
  editor.terrainGrid = terrain;
  editor.objectGrid = objects;
}
