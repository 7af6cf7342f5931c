// Pauses, the millisecond clock, random numbers and the integer part of a
// floating-point value.
#include <climits>
#include <cmath>
#include <functional>
#include <utility>

#include "media/internal.h"
#include "media/media.h"
#include "media/platform.h"

namespace {

// A lagged-Fibonacci-style source over 17 pairs of 32-bit words, seeded from
// the clock at its first use so that every run gives other numbers.
struct RandomState {
  uint32_t t[34] = {};
  int pairA = 0;
  int pairB = 0;
  bool seeded = false;
};

RandomState rng;
std::function<int(int)> randomSource;

uint32_t RotateLeft(uint32_t v, int bits) { return (v << bits) | (v >> (32 - bits)); }

uint64_t RandomStep() {
  uint32_t* a = &rng.t[2 * rng.pairA];
  const uint32_t* b = &rng.t[2 * rng.pairB];
  uint32_t low = RotateLeft(a[1], 27) + b[1];
  uint32_t high = RotateLeft(a[0], 19) + b[0];
  a[0] = low;
  a[1] = high;
  rng.pairA = rng.pairA == 0 ? 16 : rng.pairA - 1;
  rng.pairB = rng.pairB == 0 ? 16 : rng.pairB - 1;
  return (uint64_t(high) << 32) | low;
}

void SeedRandom() {
  uint32_t s = MillisecondClock();
  for (uint32_t& word : rng.t) {
    s = s * 0xAC564B05u + 1u;
    word = s;
  }
  rng.pairA = 0;
  rng.pairB = 10;
  for (int i = 0; i < 31; ++i) RandomStep();
  rng.seeded = true;
}

}  // namespace

void PauseMs(int milliseconds) {
  if (milliseconds > 0) CurrentPlatform().Sleep(milliseconds);
}

uint32_t MillisecondClock() { return CurrentPlatform().Ticks(); }

int RandomUpTo(int max) {
  if (max < 0) return INT_MIN;
  if (randomSource) return randomSource(max);
  if (!rng.seeded) SeedRandom();
  // The range is 64-bit so that max = INT_MAX does not overflow; the 128-bit
  // product scales the 64-bit step onto 0..max without bias towards low values.
  uint64_t range = uint64_t(max) + 1;
  unsigned __int128 product = (unsigned __int128)RandomStep() * range;
  return int(uint64_t(product >> 64));
}

int TruncateToInt(double value) {
  // Values outside the int range are clamped; NaN has no integer part and gives 0.
  if (std::isnan(value)) return 0;
  if (value >= 2147483647.0) return INT_MAX;
  if (value <= -2147483648.0) return INT_MIN;
  return int(std::trunc(value));
}

void SetRandomSource(std::function<int(int max)> source) { randomSource = std::move(source); }

void ResetRandomState() {
  rng = RandomState{};
  randomSource = nullptr;
}
