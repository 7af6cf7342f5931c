// Feeds arbitrary text to the map text reader; whatever is accepted must
// come back as the same map when written as text and read again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "formats/maptext.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  MapLayer terrain, object;
  MapTextError error;
  if (!MapFromText(std::string(reinterpret_cast<const char*>(data), size), terrain, object, error)) {
    if (error.line < 1 || error.column < 1 || error.message.empty()) std::abort();
    return 0;
  }
  MapLayer terrain2, object2;
  if (!MapFromText(MapToText(terrain, object), terrain2, object2, error)) std::abort();
  if (MapToBytes(terrain, object) != MapToBytes(terrain2, object2)) std::abort();
  return 0;
}
