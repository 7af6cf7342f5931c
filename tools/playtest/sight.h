// What a person at the screen has to go on: the game as it was shown, with
// the rockets, shots and enemies outside the 800 x 440 view taken out. The
// map's own cells (terrain, prisoners) are known and stay.
#pragma once

#include <vector>

#include "game/game.h"
#include "media/media.h"
#include "tools/playtest/keys.h"

// One presented frame of play: the state after the pass and the keyboard
// as that pass left it.
struct Moment {
  int playFrame = 0;  // passes of play before it; 0 is the level just loaded
  int presented = 0;  // frames presented since program start
  GameState state;
  KeyboardMemory keyboard{};
};

// What the decision code is given: a moment at least the reaction time old,
// as seen on the screen, and the keys the bot itself has pressed since.
struct Observation {
  int playFrame = 0;
  int presented = 0;
  GameState seen;
  KeyboardMemory keyboard{};
  std::vector<Keys> keysSince;  // for the passes after the moment, oldest first
};

Observation Observe(const Moment& moment, std::vector<Keys> keysSince);

// Whether a projectile or an enemy shows in the view of `state`.
bool ProjectileOnScreen(const GameState& state, const WorldItem& p);
bool EnemyOnScreen(const GameState& state, const WorldItem& enemy);
