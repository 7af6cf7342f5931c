// The game controller: what a pad's buttons and left stick stand for on the
// keyboard. The programs know only keys, so a pad plays them unchanged.
#include <cstdint>

#include "media/internal.h"
#include "media/media.h"
#include "media/platform.h"

namespace {

// A third of the stick's travel: a resting stick that drifts a little, or
// a thumb leaning on it, is not a steer.
constexpr int STICK_DEAD_ZONE = 32767 / 3;

struct ButtonKeys {
  PadState::Button button;
  int keys[3];  // 0 = none
};

// A fires in play, starts the map sequence on the title and answers yes to
// the quit question; B answers no; Start asks to quit in play and leaves the
// help picture; X, Y and Back are the title's own map, help and end.
constexpr ButtonKeys BUTTON_KEYS[] = {
    {PadState::UP, {KEY_UP}},
    {PadState::DOWN, {KEY_DOWN}},
    {PadState::LEFT, {KEY_LEFT}},
    {PadState::RIGHT, {KEY_RIGHT}},
    {PadState::A, {KEY_LEFT_CTRL, KEY_F1, KEY_J}},
    {PadState::B, {KEY_N}},
    {PadState::X, {KEY_F2}},
    {PadState::Y, {KEY_F3}},
    {PadState::START, {KEY_ESCAPE}},
    {PadState::BACK, {KEY_F4}},
};

void Hold(uint8_t keys[256], int key) { keys[key] = 0x80; }

}  // namespace

void AddPadKeys(const PadState& pad, uint8_t keys[256]) {
  for (const ButtonKeys& b : BUTTON_KEYS) {
    if (!pad.held[b.button]) continue;
    for (int key : b.keys)
      if (key) Hold(keys, key);
  }
  if (pad.stickX < -STICK_DEAD_ZONE) Hold(keys, KEY_LEFT);
  if (pad.stickX > STICK_DEAD_ZONE) Hold(keys, KEY_RIGHT);
  if (pad.stickY < -STICK_DEAD_ZONE) Hold(keys, KEY_UP);
  if (pad.stickY > STICK_DEAD_ZONE) Hold(keys, KEY_DOWN);
}
