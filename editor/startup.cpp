// The editor's entry: device checks in a fixed order, the screen, the six
// pictures and the title picture; then the frame loop.
#include "editor/editor.h"
#include "formats/assetpack.h"
#include "formats/map_argument.h"
#include "media/media.h"

EditorState editor;

namespace {

[[noreturn]] void FailStartup(const char* text) {
  ShowMessageBox("Fehler", text, 0);
  ProgramEnd();
}

}  // namespace

void StartEditor() {
  if (!InitPictureSupport() || !InitDisplaySupport() || !InitKeyboardSupport() || !InitBlendSupport())
    FailStartup("DirectX 7 oder höher nicht installiert");
  if (!InitMouseSupport()) FailStartup("Keine Maus gefunden");
  // The editor plays no sound.
  if (!OpenDisplay(800, 600, 32, "Edit")) FailStartup("Kann Grafikbildschirm nicht öffnen");
}

// A missing or short pack leaves slots empty; an empty slot draws nothing.
void LoadEditorPictures() {
  OpenAssetPack("vantoredit.pak");
  uint32_t size = 0;
  for (int n = 0; n < EDITOR_PICTURES; n++) {
    if (const uint8_t* entry = NextPackEntry(&size)) MakePicture(n, entry, size);
  }
  CloseAssetPack();
  const uint32_t transparentColour = PackColor(255, 0, 255);
  for (int n : {PICTURE_POINTER, PICTURE_TERRAIN_TILES, PICTURE_OBJECT_SPRITES, PICTURE_PALETTE})
    SetPictureKey(n, transparentColour);
}

// The frame in which the button was seen is still shown.
void ShowTitle() {
  bool clicked = false;
  while (!clicked) {
    FillScreen(PackColor(0, 0, 0));
    ReadKeyboard();
    ReadMouse();
    // Nothing has been edited yet: a close request ends the program.
    if (TakeCloseRequest()) ProgramEnd();
    clicked = MouseButtonDown(1) != 0;
    DrawPicture(PICTURE_TITLE, 0, 0);
    DrawPictureKeyed(PICTURE_POINTER, MousePosX(), MousePosY());
    FlipScreen();
  }
}

namespace {

// As if F3 had been pressed once, but the load is where editing starts:
// undo does not take it back.
void LoadStartingMap() {
  LoadMap();
  editor.history.terrain = editor.terrainGrid;
  editor.history.objects = editor.objectGrid;
}

}  // namespace

void RunEditor(const std::string& mapFile) {
  // Both layers start all 0 and are kept for the whole run.
  editor = EditorState{};
  editor.mapFile = mapFile;
  // A missing file is a new map, which F2 creates.
  if (!mapFile.empty()) AcceptMapFileArgument(mapFile, true);
  StartEditor();
  LoadEditorPictures();
  if (!mapFile.empty()) LoadStartingMap();
  ShowTitle();
  EditMap();
}
