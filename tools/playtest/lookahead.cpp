// The pass as FramePass runs it, without the screen, the sound, the quit
// question and the panel: the phases advance after a tick, the keys are
// read, the world steps. The animation tick follows the clock that the
// headless backend would show at that frame (1000/60 ms per frame).
#include "tools/playtest/lookahead.h"

#include <utility>

namespace {

uint32_t ClockAtPass(int presented) { return uint32_t(uint64_t(presented - 1) * 1000 / 60); }

// AnimationTick on the clock of the frame played ahead.
void TickAt(int presented) {
  const uint32_t now = ClockAtPass(presented);
  if (now - uint32_t(game.lastTick) > uint32_t(game.tickInterval)) {
    game.tickDue = 1;
    game.lastTick = int32_t(now);
  } else {
    game.tickDue = 0;
  }
}

// Swaps the branch in for the live game and back out, with the keyboard,
// the random source and the drawing.
class PlayingAhead {
 public:
  PlayingAhead(Branch& branch, const LaunchDraws& draws) : branch_(branch), live_(SaveKeyboard()) {
    std::swap(game, branch_.state);
    SuppressDrawing(true);
    SetRandomSource([this, &draws](int max) {
      const size_t i = size_t(branch_.played);
      return i < draws.size() ? draws[i] % (max + 1) : 0;
    });
  }
  ~PlayingAhead() {
    SetRandomSource(nullptr);
    SuppressDrawing(false);
    RestoreKeyboard(live_);
    std::swap(game, branch_.state);
  }

 private:
  Branch& branch_;
  KeyboardMemory live_;
};

}  // namespace

void PlayAhead(Branch& branch, Keys keys, int frames, const LaunchDraws& draws) {
  PlayingAhead ahead(branch, draws);
  for (int f = 0; f < frames && !branch.crashed && !branch.complete; f++) {
    branch.presented++;
    if (game.tickDue == 1) AdvancePhases();
    HoldKeys(branch.keyboard, keys);
    RestoreKeyboard(branch.keyboard);
    const bool wasDestroyed = game.craftDestroyed != 0;
    StepWorld();
    branch.keyboard = SaveKeyboard();
    TickAt(branch.presented);
    branch.played++;
    branch.crashed = !wasDestroyed && game.craftDestroyed != 0;
    branch.complete = game.levelComplete != 0;
  }
}
