// The screens around play: the title menu with the help picture, the logo
// intro once per run, and the end screen.
#include "game/game.h"
#include "media/media.h"

namespace {

constexpr int SOUND_LOOP = 1;

void SwitchMusic(int start, int halt) {
  StartGameSound(start, SOUND_LOOP);
  HaltGameSound(halt);
}

// Around play a close request ends the program at once: there is nothing
// to lose.
void EndOnCloseRequest() {
  if (TakeCloseRequest()) ProgramEnd();
}

// Shown until Escape is held; the menu frame then goes on with the keys of
// the help picture's last frame.
void ShowHelpPicture() {
  SwitchMusic(SOUND_HELP_MUSIC, SOUND_TITLE_MUSIC);
  do {
    FillScreen(PackColor(0, 0, 0));
    ReadKeyboard();
    ReadMouse();
    EndOnCloseRequest();
    DrawPicture(PICTURE_HELP, 0, 0);
    FlipScreen();
  } while (!KeyDown(KEY_ESCAPE));
  SwitchMusic(SOUND_TITLE_MUSIC, SOUND_HELP_MUSIC);
}

void ResetForNewGame() {
  game.craftSpeed = 4;
  game.checkpointScrollX = 0;
  game.checkpointScrollY = 0;
  game.checkpointCraftX = 0;
  game.checkpointCraftY = 0;
  game.craftHeading = 1;
  game.prisonersLeft = 0;
}

}  // namespace

void TitleMenu() {
  SwitchMusic(SOUND_TITLE_MUSIC, SOUND_HELP_MUSIC);
  bool levelLoaded = false;
  while (!levelLoaded) {
    FillScreen(PackColor(0, 0, 0));
    ReadKeyboard();
    ReadMouse();
    EndOnCloseRequest();
    ResetForNewGame();
    if (game.introShown == 0) {
      PlayIntro();
      game.introShown = 1;
    }
    if (KeyDown(KEY_F3)) ShowHelpPicture();
    if (KeyDown(KEY_F2)) {
      HaltGameSound(SOUND_TITLE_MUSIC);
      game.ownMapMode = 1;
      LoadLevel(game.mapFile.empty() ? OWN_MAP_PATH_GAME : game.mapFile.c_str());
      levelLoaded = true;
    }
    if (KeyDown(KEY_F1)) {
      HaltGameSound(SOUND_TITLE_MUSIC);
      game.ownMapMode = 0;
      // With F2 in the same frame the own map's layers are played in sequence mode.
      if (levelLoaded) {
        BuildWorld();
        PlaceAtStart();
      } else {
        LoadLevel("maps/map 1.map");
      }
      levelLoaded = true;
    }
    if (KeyDown(KEY_F4)) ProgramEnd();
    DrawPicture(PICTURE_TITLE_SCREEN, 0, 0);
    FlipScreen();
  }
}

// The logo grows by 2 pixels a frame about the screen's centre, then fades
// one step a frame at full size: 553 frames, whatever keys are held.
void PlayIntro() {
  int size = 0;
  int opacity = 255;
  do {
    FillScreen(PackColor(0, 0, 0));
    ReadKeyboard();
    EndOnCloseRequest();
    if (size < 600) SetBlendPictureSize(SPRITE_LOGO, size, size);
    if (size >= 600) size = 600;
    size += 2;
    if (size >= 600) opacity -= 1;
    if (opacity <= 1) opacity = 1;
    BeginBlendDrawing();
    DrawBlendPicture(SPRITE_LOGO, 400 - size / 2, 300 - size / 2, opacity);
    EndBlendDrawing();
    FlipScreen();
  } while (opacity > 1);
}

// Shown until any key is held, then a pause; the caller starts a new game.
void EndScreen() {
  do {
    ReadKeyboard();
    ReadMouse();
    EndOnCloseRequest();
    FillScreen(PackColor(0, 0, 0));
    DrawPictureKeyed(PICTURE_END, 250, 300);
    BeginDrawing(ScreenCanvas());
    SetDrawingMode(1);
    SetDrawingColor(PackColor(0, 0, 255));
    DrawString(10, 580, "Taste !");
    EndDrawing();
    FlipScreen();
  } while (!KeyDown(ANY_KEY));
  PauseMs(2000);
}
