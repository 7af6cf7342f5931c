// The full-screen display: a visible and a hidden buffer, the flip that shows
// the hidden one, and the protocol for losing and regaining the display.
#include <algorithm>
#include <cstdint>

#include "media/internal.h"
#include "media/media.h"
#include "media/platform.h"

namespace {

ScreenState screen;
// Noted while window messages are handled; kept apart from the screen, since
// a message box before the screen opens can be closed too.
int closeRequests = 0;

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
  closeRequests += events.closeRequests;
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

PictureRect FitPicture(int outW, int outH, int width, int height) {
  PictureRect r;
  if (outW <= 0 || outH <= 0 || width <= 0 || height <= 0) return r;
  if (outW >= 2 * width && outH >= 2 * height) {
    const int scale = std::min(outW / width, outH / height);
    r.width = width * scale;
    r.height = height * scale;
  } else if (int64_t(outW) * height <= int64_t(outH) * width) {
    r.width = outW;  // the width decides
    r.height = int(int64_t(outW) * height / width);
  } else {
    r.height = outH;
    r.width = int(int64_t(outH) * width / height);
  }
  r.x = (outW - r.width) / 2;
  r.y = (outH - r.height) / 2;
  return r;
}

void NoteCloseRequest() { closeRequests++; }

int TakeCloseRequest() {
  if (closeRequests == 0) return 0;
  closeRequests--;
  return 1;
}

void ResetScreenState() {
  screen = ScreenState{};
  closeRequests = 0;
}
