// Fuzzes the asset pack reader: the input is a whole pack file.
//
// The reader opens packs by name, so each input is written to an in-memory
// file and opened through its /proc/self/fd name: nothing is left behind in
// the temporary folder, not even when a run ends in a crash.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <string>

#include "formats/assetpack.h"

namespace {

bool WriteAll(int fd, const uint8_t* data, size_t size) {
  if (ftruncate(fd, 0) != 0) return false;
  size_t done = 0;
  while (done < size) {
    ssize_t n = pwrite(fd, data + done, size - done, off_t(done));
    if (n <= 0) return false;
    done += size_t(n);
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const int fd = memfd_create("fuzz_pack", MFD_CLOEXEC);
  static const std::string path = "/proc/self/fd/" + std::to_string(fd);
  if (fd < 0 || !WriteAll(fd, data, size)) return 0;
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
