// Play: one pass of the frame loop per presented frame, the change to the
// next map of the sequence and the quit question.
#include <string>

#include "game/game.h"
#include "media/media.h"

namespace {

// Acts on a map completed in the previous frame. False when that ended the
// game (an own map is a single level).
bool CompleteMap() {
  if (game.levelComplete != 1) return true;
  if (game.ownMapMode == 0) {
    AdvanceMap();
    return true;
  }
  game.levelComplete = 0;
  EndScreen();
  return false;
}

}  // namespace

bool FramePass() {
  FillScreen(PackColor(0, 0, 0));
  StartGameSound(SOUND_INGAME, 0);
  if (!CompleteMap()) return false;
  if (game.tickDue == 1) AdvancePhases();
  ReadKeyboard();
  ReadMouse();
  // A close request (the window's close button, Alt+F4) asks as Escape does.
  const bool closeRequested = TakeCloseRequest() != 0;
  if (KeyDown(KEY_ESCAPE) || closeRequested) ConfirmQuit();
  StepWorld();
  DrawStatusPanel();
  if (game.lives == 0) {
    // The panel showing 0 lives is never presented.
    EndScreen();
    return false;
  }
  AnimationTick();
  FlipScreen();
  return true;
}

void StepWorld() {
  ControlCraft();
  SinkCraft();
  FireLaunchers();
  LimitPositions();
  ExplodeAndRespawn();
  DrawWorld();
  DrawCraft();
  // After the drawing: the collision tests use the frame each sheet drew last.
  ResolveCollisions();
}

void FrameLoop() {
  while (FramePass()) {
  }
}

// The screen keeps the last presented frame during the pause; no input is read.
void AdvanceMap() {
  PauseMs(LEVEL_PAUSE_MS);
  game.checkpointScrollX = 0;
  game.checkpointScrollY = 0;
  game.checkpointCraftX = 0;
  game.checkpointCraftY = 0;
  game.mapNumber++;
  if (game.mapNumber > MAP_SEQUENCE_LENGTH) game.mapNumber = 1;
  std::string path = "maps/map " + std::to_string(game.mapNumber) + ".map";
  // prisonersLeft is 0 after a completed map, so the new map counts from 0.
  LoadLevel(path.c_str());
  game.levelComplete = 0;
}

// Asks until N is held; J ends the program (J wins when both are held), and
// so does a close request made while the question shows. The game does not
// advance meanwhile, and the pass goes on with the keys read here.
void ConfirmQuit() {
  bool goOn = false;
  while (!goOn) {
    FillScreen(PackColor(0, 0, 0));
    ReadKeyboard();
    ReadMouse();
    if (KeyDown(KEY_J) || TakeCloseRequest()) ProgramEnd();
    if (KeyDown(KEY_N)) goOn = true;
    BeginDrawing(ScreenCanvas());
    SetDrawingMode(1);
    SetDrawingColor(PackColor(255, 0, 0));
    DrawString(320, 290, "Wirklich beenden (j/n) ?");
    EndDrawing();
    FlipScreen();
  }
}
