// The full-screen display: a visible and a hidden buffer, the flip that shows
// the hidden one, and the protocol for losing and regaining the display.
#include <algorithm>

#include "media/internal.h"
#include "media/media.h"
#include "media/platform.h"

namespace {

ScreenState screen;

// Focus lost or Alt/Tab released: the display may go, so the pictures are
// backed up (once until the program is in front again).
void NoteDisplayLoss(const PlatformEvents& events) {
  if ((events.focusLost || events.switchKeyReleased) && !screen.displayLost) {
    BackupPictures();
    screen.displayLost = true;
  }
  if (events.focusLost) screen.screenActive = false;
}

void RestoreDisplay() {
  RestorePictures();
  screen.displayLost = false;
  screen.screenActive = true;
}

}  // namespace

ScreenState& Screen() { return screen; }

int OpenDisplay(int width, int height, int depth, const char* title) {
  if (screen.open) CloseDisplay();
  if (width <= 0 || height <= 0 || depth != 32) return 0;
  if (!CurrentPlatform().OpenWindow(width, height, title ? title : "")) return 0;
  screen.open = true;
  screen.screenActive = true;
  screen.displayLost = false;
  screen.screenWidth = width;
  screen.screenHeight = height;
  screen.screenDepth = depth;
  screen.visible.assign(size_t(width) * size_t(height), 0);
  screen.hidden.assign(size_t(width) * size_t(height), 0);
  return 1;
}

void FlipScreen() {
  Platform& platform = CurrentPlatform();
  PlatformEvents events;
  platform.PumpEvents(events);
  if (!screen.open) return;
  NoteDisplayLoss(events);
  if (screen.displayLost && platform.InFront()) RestoreDisplay();
  if (!screen.screenActive) {
    // Nothing is shown, but the frame still takes its time: the programs
    // count all movement in frames and would otherwise race on unseen.
    platform.Sleep(1000 / 60);
    return;
  }
  platform.Present(screen.hidden.data(), screen.screenWidth, screen.screenHeight);
  std::swap(screen.visible, screen.hidden);
}

void FillScreen(uint32_t color) {
  if (!screen.open || !screen.screenActive) return;
  // Screen pixels keep their fourth byte 0 whatever the colour value holds.
  std::fill(screen.hidden.begin(), screen.hidden.end(), color & 0xFFFFFFu);
}

void CloseDisplay() {
  FreeAllPictures();
  if (!screen.open) return;
  CurrentPlatform().CloseWindow();
  uint32_t defaultKey = screen.defaultKey;
  screen = ScreenState{};
  screen.defaultKey = defaultKey;
}

void ResetScreenState() { screen = ScreenState{}; }
