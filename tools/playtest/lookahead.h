// Playing ahead: frames of the real game's code run on a copy of an observed
// state, with keys of the bot's choosing and rocket launches drawn from the
// bot's own random numbers, never from the game's. The live game, its
// keyboard and its random generator are left exactly as they were.
#pragma once

#include <cstdint>
#include <vector>

#include "game/game.h"
#include "media/media.h"
#include "tools/playtest/keys.h"

struct Branch {
  GameState state;
  KeyboardMemory keyboard{};
  int presented = 0;  // frames presented since program start, for the animation tick
  int played = 0;     // frames played ahead since the observation
  bool crashed = false;
  bool complete = false;
};

// Draws for RandomUpTo, one per frame played ahead (index `played`); each
// value is uniform over 0..10, as the launchers draw.
using LaunchDraws = std::vector<uint8_t>;

// Plays up to `frames` passes of the world with `keys` held; stops early at
// a crash or a completed map.
void PlayAhead(Branch& branch, Keys keys, int frames, const LaunchDraws& draws);
