// What the Windows backend reads, in the media layer's terms: a key
// message's lParam as a set-1 scan code, and an XInput pad's state as a
// PadState. Plain arithmetic without windows.h, so that the Linux tests
// check it too.
#include <cstdint>

#include "media/internal.h"
#include "media/platform.h"

namespace {

constexpr int NUM_LOCK = 0x45;
constexpr int PAUSE = 0xC5;
constexpr int FAKE_LEFT_SHIFT = 0x2A | 0x80;
constexpr int FAKE_RIGHT_SHIFT = 0x36 | 0x80;

}  // namespace

int ScanCodeFromWin32(uint32_t lParam) {
  const int scan = int(lParam >> 16) & 0xFF;
  const bool extended = (lParam >> 24) & 1;
  if (scan == 0) return 0;
  // Windows reports Pause as 0x45 and Num Lock as extended 0x45, the other
  // way round from the keyboard itself.
  if (scan == NUM_LOCK) return extended ? NUM_LOCK : PAUSE;
  const int code = extended ? scan | 0x80 : scan;
  // The shift presses a keyboard adds around the cursor keys while Num
  // Lock is on are no keys of their own.
  if (code == FAKE_LEFT_SHIFT || code == FAKE_RIGHT_SHIFT) return 0;
  return code;
}

void PadFromXInput(const XInputPad& x, PadState& pad) {
  struct Bit {
    uint16_t mask;
    PadState::Button button;
  };
  static constexpr Bit BITS[] = {
      {0x0001, PadState::UP},    {0x0002, PadState::DOWN}, {0x0004, PadState::LEFT},
      {0x0008, PadState::RIGHT}, {0x0010, PadState::START}, {0x0020, PadState::BACK},
      {0x1000, PadState::A},     {0x2000, PadState::B},     {0x4000, PadState::X},
      {0x8000, PadState::Y},
  };
  for (const Bit& b : BITS)
    if (x.buttons & b.mask) pad.held[b.button] = true;
  // XInput's stick points up for positive y; PadState's down. -32768 up
  // becomes 32767 down, the far end either way.
  const int y = x.thumbLY == -32768 ? 32767 : -int(x.thumbLY);
  if (x.thumbLX * x.thumbLX > pad.stickX * pad.stickX) pad.stickX = x.thumbLX;
  if (y * y > pad.stickY * pad.stickY) pad.stickY = y;
}
