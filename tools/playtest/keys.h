// The keys the bot plays with: a set of the four arrows and the fire key.
#pragma once

#include <cstdint>
#include <string>

#include "media/media.h"

using Keys = uint8_t;
constexpr Keys KEYS_NONE = 0;
constexpr Keys KEYS_LEFT = 1, KEYS_RIGHT = 2, KEYS_UP = 4, KEYS_DOWN = 8, KEYS_FIRE = 16;

// The scan code of each key of the set, in the order of the bits above.
constexpr int KEY_CODES[] = {KEY_LEFT, KEY_RIGHT, KEY_UP, KEY_DOWN, KEY_LEFT_CTRL};
constexpr const char* KEY_NAMES[] = {"Left", "Right", "Up", "Down", "Ctrl"};

// A keyboard memory whose snapshot holds exactly these keys; the release
// marks stay as they were.
inline void HoldKeys(KeyboardMemory& keyboard, Keys keys) {
  for (int i = 0; i < 5; i++) keyboard.keys[KEY_CODES[i]] = (keys >> i & 1) ? 0x80 : 0;
}

// The key names as a script line's tokens ("Left Ctrl").
inline std::string KeyWords(Keys keys) {
  std::string words;
  for (int i = 0; i < 5; i++)
    if (keys >> i & 1) words += std::string(" ") + KEY_NAMES[i];
  return words;
}
