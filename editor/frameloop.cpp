// The frame loop: one pass per frame, the scrolling with its clamp and the
// quit question. A pass shows what the previous pass drew at its start.
#include "editor/editor.h"
#include "media/media.h"

void EditMap() {
  for (;;) EditorFramePass();
}

// Later drawing lies over earlier: map view, preview, overview map, pointer,
// texts, help lines and save messages.
void EditorFramePass() {
  ReadKeyboard();
  ReadMouse();
  FlipScreen();
  FillScreen(PackColor(0, 0, 0));
  // Placement uses the cursor cell of the previous pass.
  PlaceIcon();
  ChooseIcon();
  ScrollView();
  // A close request asks as Escape does: unsaved work is not lost unasked.
  const bool closeRequested = TakeCloseRequest() != 0;
  if (KeyDown(KEY_ESCAPE) || closeRequested) ConfirmEditorQuit();
  editor.quitDeclined = 0;
  CountMarkers();
  ClampScroll();
  DrawMapView();
  DrawCursorPreview();
  DrawOverviewMap(OVERVIEW_X, OVERVIEW_Y, 1);
  DrawPictureKeyed(PICTURE_POINTER, MousePosX(), MousePosY());
  DrawStatusTexts();
  if (KeyDown(KEY_F1)) ShowHelp();
  if (KeyDown(KEY_F2))
    SaveMap();
  else
    editor.savedThisPress = 0;
  if (KeyJustReleased(KEY_F3)) LoadMap();
  UndoRedo();
}

// Opposite keys held together cancel.
void ScrollView() {
  if (KeyDown(KEY_LEFT)) editor.scrollX -= SCROLL_STEP;
  if (KeyDown(KEY_RIGHT)) editor.scrollX += SCROLL_STEP;
  if (KeyDown(KEY_UP)) editor.scrollY -= SCROLL_STEP;
  if (KeyDown(KEY_DOWN)) editor.scrollY += SCROLL_STEP;
}

void ClampScroll() {
  if (editor.scrollX <= 0) editor.scrollX = 0;
  if (editor.scrollY <= 0) editor.scrollY = 0;
  if (editor.scrollX >= SCROLL_X_MAX) editor.scrollX = SCROLL_X_MAX;
  if (editor.scrollY >= SCROLL_Y_MAX) editor.scrollY = SCROLL_Y_MAX;
}

// Asks until N is held; J ends the program at once, unsaved map and all (J
// wins when both are held), and so does a close request made while the
// question shows. After N the pass goes on with the keys read here.
void ConfirmEditorQuit() {
  while (editor.quitDeclined != 1) {
    FillScreen(PackColor(0, 0, 0));
    ReadKeyboard();
    ReadMouse();
    if (KeyDown(KEY_J) || TakeCloseRequest()) ProgramEnd();
    if (KeyDown(KEY_N)) editor.quitDeclined = 1;
    BeginDrawing(ScreenCanvas());
    SetDrawingMode(1);
    SetDrawingColor(PackColor(255, 0, 0));
    DrawString(320, 290, "Wirklich beenden (j/n) ?");
    DrawString(270, 310, "Nicht gespeicherte Daten gehen verloren !");
    EndDrawing();
    FlipScreen();
  }
}
