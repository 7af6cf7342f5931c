// The game reset. Placeholder until the game reset, title menu and frame
// loop exist: black frames until Escape is held, then the program ends.
#include "game/game.h"
#include "media/media.h"

void GameReset() {
  for (;;) {
    FillScreen(PackColor(0, 0, 0));
    ReadKeyboard();
    if (KeyDown(KEY_ESCAPE)) ProgramEnd();
    FlipScreen();
  }
}
