// Fuzzes the asset pack reader: the input is a whole pack file.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "formats/assetpack.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = "/tmp/fuzz_pack_" + std::to_string(getpid()) + ".pak";
  FILE* f = fopen(path.c_str(), "wb");
  if (f == nullptr) return 0;
  fwrite(data, 1, size, f);
  fclose(f);
  if (OpenAssetPack(path.c_str())) {
    uint32_t entrySize;
    volatile uint8_t sink = 0;
    while (const uint8_t* entry = NextPackEntry(&entrySize)) {
      // Touch every byte so that a short buffer shows up.
      for (uint32_t i = 0; i < entrySize; i++) sink = sink ^ entry[i];
    }
  }
  CloseAssetPack();
  return 0;
}
