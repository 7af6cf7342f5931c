// The frame rate's running deadline, shared by the backends that pace
// frames with a timer of their own.
#include <cstdint>

#include "media/internal.h"

int64_t FrameClock::NextDeadline(int64_t now) {
  if (index == 0 || now > Deadline(index) + frequency / 10) {
    base = now;
    index = 0;
  }
  index++;
  return Deadline(index);
}

int64_t FrameClock::Deadline(int64_t k) const {
  return base + k / FRAMES_PER_SECOND * frequency + (k % FRAMES_PER_SECOND) * frequency / FRAMES_PER_SECOND;
}
