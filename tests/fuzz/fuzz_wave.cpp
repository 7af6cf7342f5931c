// Feeds arbitrary bytes to MakeSound as a RIFF/WAVE image; whatever is
// accepted is started, looped and halted.
#include <cstddef>
#include <cstdint>

#include "media/headless.h"
#include "media/media.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool ready = [] {
    headless::Use();
    return InitSoundSupport() != 0;
  }();
  if (!ready || !MakeSound(1, data, size)) return 0;
  StartSound(1, 1);
  StartSound(1, 0);
  HaltSound(1);
  HaltSound(-1);
  return 0;
}
