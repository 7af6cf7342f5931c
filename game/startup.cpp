// The game's entry: device checks in a fixed order, the sound question and
// the screen.
#include "game/game.h"
#include "media/media.h"

GameState game;

namespace {

[[noreturn]] void FailStartup(const char* text) {
  ShowMessageBox("Fehler", text, 0);
  ProgramEnd();
}

}  // namespace

void StartGame() {
  if (!InitPictureSupport() || !InitDisplaySupport() || !InitKeyboardSupport() || !InitBlendSupport())
    FailStartup("DirectX 7 oder höher nicht installiert");
  // The game never reads the mouse, but requires one.
  if (!InitMouseSupport()) FailStartup("Keine Maus gefunden");
  if (!InitSoundSupport()) {
    ShowMessageBox("Keine Soundkarte gefunden", "Spiel startet ohne Sound", 0);
    game.soundOff = 1;
  } else {
    game.soundOff = ShowMessageBox("Soundkarte gefunden", "Sound aktivieren ?", 4) == 6 ? 0 : 1;
  }
  if (!OpenDisplay(800, 600, 32, "NoName")) FailStartup("Kann Grafikbildschirm nicht öffnen");
}

void RunGame() {
  game = GameState{};
  StartGame();
  // Start-up is done and never repeated: from here the game reset runs the
  // game (placeholder in game/reset.cpp until the game reset exists).
  GameReset();
}
