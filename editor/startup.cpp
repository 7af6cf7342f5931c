// The editor's entry: device checks in a fixed order and the screen.
#include "editor/editor.h"
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

void RunEditor() {
  editor = EditorState{};
  StartEditor();
  // Start-up is done: from here the editing session runs (placeholder in
  // editor/session.cpp until the pictures, title and frame loop exist).
  EditMap();
}
