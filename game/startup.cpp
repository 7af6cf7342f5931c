// The game's entry: device checks in a fixed order, the sound question and
// the screen, then game after game.
#include "formats/map_argument.h"
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
  // The box closed by its window's close button: the player wants out.
  if (TakeCloseRequest()) ProgramEnd();
  if (!OpenDisplay(800, 600, 32, "NoName")) FailStartup("Kann Grafikbildschirm nicht öffnen");
}

void StartGameSound(int sound, int flags) {
  if (game.soundOff == 0) StartSound(sound, flags);
}

void HaltGameSound(int sound) {
  if (game.soundOff == 0) HaltSound(sound);
}

void RunGame(const std::string& mapFile) {
  game = GameState{};
  game.mapFile = mapFile;
  // A file the game cannot play is refused before the sound question.
  if (!mapFile.empty()) AcceptMapFileArgument(mapFile, false);
  StartGame();
  // Start-up is never repeated. Each game begins with the game reset and the
  // title menu, and its frame loop returns once the game is over and the end
  // screen has been left; the program ends only through ProgramEnd (J in the
  // quit question or a close request there, F4 or a close request on the
  // screens around play, a map file that cannot be opened).
  for (;;) {
    GameReset();
    TitleMenu();
    FrameLoop();
  }
}
