// The playtest bot: a player with a person's limits. It sees the game only
// through a delay line (each decision gets the moment `reaction` frames old,
// with what is off the screen taken out), decides every `decision` frames
// and holds its keys in between, and judges its choices by playing at most
// `horizon` frames ahead of the moment it saw, with launches of its own.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <random>
#include <utility>
#include <vector>

#include "tools/playtest/keys.h"
#include "tools/playtest/lookahead.h"
#include "tools/playtest/route.h"
#include "tools/playtest/sight.h"

struct Limits {
  int reactionFrames = 12;  // 200 ms at 60 frames a second
  int decisionFrames = 6;   // 100 ms
  int horizonFrames = 60;   // 1 s from the moment seen
};

// Chooses keys from an observation alone.
class Decider {
 public:
  Decider(const Route& route, const Limits& limits, uint32_t seed) : route_(route), limits_(limits), random_(seed) {}
  Keys Decide(const Observation& seen, Keys previous);

 private:
  float Judge(const Branch& end, const GameState& before) const;
  LaunchDraws Draws();
  std::optional<Keys> SafeRouteKeys(const Observation& seen, Keys previous, int own, int rest);
  void NoteProgress(const GameState& seen);

  // Impatience: the decisions since the way still to go last shrank, and
  // the shortest it has been. A person held up too long by a danger takes
  // the chance in the end.
  int stalled_ = 0;
  float bestToGo_ = 0;
  float crashCost_ = 0;

  const Route& route_;
  Limits limits_;
  std::mt19937 random_;
};

class Bot {
 public:
  Bot(const Route& route, const Limits& limits, uint32_t seed) : limits_(limits), decider_(route, limits, seed) {}

  // Called after every pass of play (and once for the level just loaded,
  // play frame 0); gives the keys for the next pass.
  Keys AfterPass(const Moment& moment);

  // For each decision: the play frame it was made after and the play frame
  // of the moment it was given.
  const std::vector<std::pair<int, int>>& Decisions() const { return decisions_; }

 private:
  Limits limits_;
  Decider decider_;
  std::deque<Moment> delay_;  // the last reactionFrames + 1 moments
  std::vector<Keys> played_;  // played_[p - 1]: the keys of pass p
  Keys held_ = KEYS_NONE;
  std::vector<std::pair<int, int>> decisions_;
};
