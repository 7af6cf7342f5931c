// Keyboard and mouse, read by polling: one snapshot per frame, then
// questions about single keys and buttons.
#include <algorithm>
#include <cstring>
#include <vector>

#include "media/internal.h"
#include "media/media.h"
#include "media/platform.h"

namespace {

struct KeyboardState {
  bool open = false;      // InitKeyboardSupport succeeded
  bool acquired = false;  // the last snapshot succeeded
  uint8_t keySnapshot[256] = {};
  bool releaseLatch[256] = {};
};

struct MouseState {
  bool open = false;
  bool acquired = false;
  int mouseX = 0, mouseY = 0;
  int deltaX = 0, deltaY = 0;
  int wheel = 0;
  int button1 = 0, button2 = 0, button3 = 0;
  // Pressed during the last read, even if released again in it: a touchpad
  // tap sends both at once, and reads as held for that one read.
  bool pressed1 = false, pressed2 = false, pressed3 = false;
};

KeyboardState keyboard;
MouseState mouse;

bool ValidCode(int scanCode) { return scanCode >= 0 && scanCode < 256; }

int JustReleased(int k) {
  if (keyboard.keySnapshot[k] & 0x80) {
    keyboard.releaseLatch[k] = true;
    return 0;
  }
  if (keyboard.releaseLatch[k]) {
    keyboard.releaseLatch[k] = false;
    return 1;
  }
  return 0;
}

void SetButton(int& button, bool& pressed, int down) {
  button = down;
  if (down) pressed = true;
}

void ApplyMouseEvent(const MouseEvent& e) {
  switch (e.kind) {
    case MouseEvent::MOTION_X: mouse.deltaX += e.value; break;
    case MouseEvent::MOTION_Y: mouse.deltaY += e.value; break;
    case MouseEvent::WHEEL: mouse.wheel += e.value; break;
    case MouseEvent::BUTTON: {
      const int down = (e.value & 0x80) ? 1 : 0;
      if (e.button == 1) SetButton(mouse.button1, mouse.pressed1, down);
      if (e.button == 2) SetButton(mouse.button2, mouse.pressed2, down);
      if (e.button == 3) SetButton(mouse.button3, mouse.pressed3, down);
      break;
    }
  }
}

void ReleaseMouseDevice() {
  if (mouse.acquired) CurrentPlatform().ReleaseMouse();
  mouse.acquired = false;
}

// Appends motion to the last event of that kind unless a button event lies
// between them, so the order of motion and clicks is kept.
void MergeOrAppend(MouseQueue& queue, MouseEvent::Kind kind, int value) {
  for (auto it = queue.events.rbegin(); it != queue.events.rend(); ++it) {
    if (it->kind == MouseEvent::BUTTON) break;
    if (it->kind == kind) {
      it->value += value;
      return;
    }
  }
  if (int(queue.events.size()) >= MOUSE_BUFFER_EVENTS) {
    queue.overflow = true;
    return;
  }
  queue.events.push_back(MouseEvent{kind, value});
}

}  // namespace

// ---- Keyboard ----------------------------------------------------------------

int InitKeyboardSupport() {
  if (!keyboard.open) keyboard.open = CurrentPlatform().InitKeyboard();
  return keyboard.open ? 1 : 0;
}

void CloseKeyboard() {
  if (!keyboard.open) return;
  CurrentPlatform().CloseKeyboard();
  keyboard = KeyboardState{};
}

int ReadKeyboard() {
  if (!keyboard.open) return 0;
  keyboard.acquired = true;
  Platform& platform = CurrentPlatform();
  uint8_t keys[256];
  if (!platform.ReadKeys(keys)) {
    // Not in front: everything reads as up until a snapshot succeeds again.
    keyboard.acquired = false;
    std::memset(keyboard.keySnapshot, 0, sizeof keyboard.keySnapshot);
    return 0;
  }
  // A game controller plays through the keys it stands for.
  PadState pad;
  if (platform.ReadPad(pad)) AddPadKeys(pad, keys);
  std::memcpy(keyboard.keySnapshot, keys, sizeof keys);
  return 1;
}

int KeyDown(int scanCode) {
  if (!keyboard.acquired) return 0;
  if (scanCode == ANY_KEY) {
    for (uint8_t k : keyboard.keySnapshot)
      if (k & 0x80) return 1;
    return 0;
  }
  if (!ValidCode(scanCode)) return 0;
  return keyboard.keySnapshot[scanCode] & 0x80;
}

int KeyJustReleased(int scanCode) {
  if (!keyboard.acquired) return 0;
  if (scanCode == ANY_KEY) {
    int any = 0;
    for (int k = 0; k < 256; k++) any |= JustReleased(k);
    return any;
  }
  if (!ValidCode(scanCode)) return 0;
  return JustReleased(scanCode);
}

KeyboardMemory SaveKeyboard() {
  KeyboardMemory memory;
  std::memcpy(memory.keys, keyboard.keySnapshot, sizeof memory.keys);
  std::memcpy(memory.releaseLatch, keyboard.releaseLatch, sizeof memory.releaseLatch);
  memory.acquired = keyboard.acquired;
  return memory;
}

void RestoreKeyboard(const KeyboardMemory& memory) {
  std::memcpy(keyboard.keySnapshot, memory.keys, sizeof memory.keys);
  std::memcpy(keyboard.releaseLatch, memory.releaseLatch, sizeof memory.releaseLatch);
  keyboard.acquired = memory.acquired;
}

int KeyOfLetter(char letter) {
  if (!keyboard.open || letter < 'A' || letter > 'Z') return 0;
  return CurrentPlatform().ScanCodeOfLetter(letter);
}

// ---- Mouse -------------------------------------------------------------------

int InitMouseSupport() {
  if (!mouse.open) mouse.open = CurrentPlatform().InitMouse();
  return mouse.open ? 1 : 0;
}

void CloseMouse() {
  if (!mouse.open) return;
  ReleaseMouseDevice();
  CurrentPlatform().CloseMouse();
  mouse = MouseState{};
}

int ReadMouse() {
  mouse.deltaX = mouse.deltaY = mouse.wheel = 0;
  mouse.pressed1 = mouse.pressed2 = mouse.pressed3 = false;
  if (!mouse.open) return 0;
  Platform& platform = CurrentPlatform();
  if (!platform.InFront() || !Screen().screenActive) {
    ReleaseMouseDevice();
    return 0;
  }
  mouse.acquired = true;
  std::vector<MouseEvent> events;
  bool overflow = false;
  if (!platform.ReadMouse(events, overflow)) {
    mouse.acquired = false;  // taken again at the next read in front
    return 0;
  }
  if (overflow) {
    mouse.button1 = mouse.button2 = 0;
    return 0;
  }
  for (const MouseEvent& e : events) ApplyMouseEvent(e);
  const ScreenState& s = Screen();
  mouse.mouseX = std::clamp(mouse.mouseX + mouse.deltaX, 0, std::max(s.screenWidth - 1, 0));
  mouse.mouseY = std::clamp(mouse.mouseY + mouse.deltaY, 0, std::max(s.screenHeight - 1, 0));
  return 1;
}

int MouseButtonDown(int button) {
  if (button == 1) return mouse.button1 | mouse.pressed1;
  if (button == 2) return mouse.button2 | mouse.pressed2;
  if (button == 3) return mouse.button3 | mouse.pressed3;
  return 0;
}

int MousePosX() { return mouse.mouseX; }
int MousePosY() { return mouse.mouseY; }

void ResetInputState() {
  keyboard = KeyboardState{};
  mouse = MouseState{};
}

// ---- The device buffer shared by both backends ---------------------------------

void QueueMouseMotion(MouseQueue& queue, int dx, int dy) {
  if (dx) MergeOrAppend(queue, MouseEvent::MOTION_X, dx);
  if (dy) MergeOrAppend(queue, MouseEvent::MOTION_Y, dy);
}

void QueueMouseWheel(MouseQueue& queue, int amount) {
  if (amount) MergeOrAppend(queue, MouseEvent::WHEEL, amount);
}

void QueueMouseButton(MouseQueue& queue, int button, bool down) {
  if (int(queue.events.size()) >= MOUSE_BUFFER_EVENTS) {
    queue.overflow = true;
    return;
  }
  queue.events.push_back(MouseEvent{MouseEvent::BUTTON, down ? 0x80 : 0, button});
}

void TakeMouseEvents(MouseQueue& queue, std::vector<MouseEvent>& out, bool& overflow) {
  overflow = queue.overflow;
  if (!overflow) out.insert(out.end(), queue.events.begin(), queue.events.end());
  queue = MouseQueue{};
}
