// The editing session. Placeholder until the pictures, title and frame loop
// exist: black frames until Escape is held, then the program ends.
#include "editor/editor.h"
#include "media/media.h"

void EditMap() {
  for (;;) {
    FillScreen(PackColor(0, 0, 0));
    ReadKeyboard();
    if (KeyDown(KEY_ESCAPE)) ProgramEnd();
    FlipScreen();
  }
}
