// The asset pack reader: entries of (unpackedSize, packedSize, data), read
// strictly front to back, one pack open at a time.
#include "formats/assetpack.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "formats/blockcodec.h"
#include "media/media.h"

namespace {

struct PackState {
  int handle = -1;
  uint64_t fileLeft = 0;  // bytes of the file not yet read
  bool ended = false;     // the end or a damaged entry was reached
  uint8_t* entry = nullptr;
};

PackState pack;

bool ReadExactly(int handle, uint8_t* bytes, size_t count, size_t* got) {
  *got = 0;
  while (*got < count) {
    ssize_t done = read(handle, bytes + *got, count - *got);
    if (done <= 0) return false;
    *got += size_t(done);
  }
  return true;
}

uint32_t Le32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

void FreeEntry() {
  free(pack.entry);
  pack.entry = nullptr;
}

}  // namespace

int OpenAssetPack(const char* fileName) {
  CloseAssetPack();
  SetAssetPackCloser(CloseAssetPack);
  if (fileName == nullptr) return 0;
  int handle = open(fileName, O_RDONLY | O_CLOEXEC);
  if (handle < 0) return 0;
  struct stat info;
  if (fstat(handle, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(handle);
    return 0;
  }
  posix_fadvise(handle, 0, 0, POSIX_FADV_SEQUENTIAL);
  pack.handle = handle;
  pack.fileLeft = uint64_t(info.st_size);
  pack.ended = false;
  return 1;
}

const uint8_t* NextPackEntry(uint32_t* size) {
  if (size) *size = 0;
  if (pack.handle < 0 || pack.ended) return nullptr;
  uint8_t header[8];
  size_t got;
  // A header cut short by the end of the file is the end of the pack.
  bool whole = ReadExactly(pack.handle, header, sizeof header, &got);
  pack.fileLeft -= got < pack.fileLeft ? got : pack.fileLeft;
  if (!whole) {
    pack.ended = true;
    return nullptr;
  }
  uint32_t unpackedSize = Le32(header);
  uint32_t packedSize = Le32(header + 4);
  // Sizes that cannot be right (data past the end of the file, or a
  // compressed entry claiming more than its stream can make) end the pack
  // before anything is allocated; the previous entry stays valid.
  if (!PackEntrySizesAcceptable(unpackedSize, packedSize, pack.fileLeft)) {
    pack.ended = true;
    return nullptr;
  }

  FreeEntry();
  // One byte at least, so that an empty entry is not taken for the end.
  uint8_t* entry = static_cast<uint8_t*>(calloc(unpackedSize ? unpackedSize : 1, 1));
  uint8_t* scratch = static_cast<uint8_t*>(malloc(packedSize ? packedSize : 1));
  if (entry == nullptr || scratch == nullptr) {
    free(entry);
    free(scratch);
    pack.ended = true;
    return nullptr;
  }
  bool read = ReadExactly(pack.handle, scratch, packedSize, &got);
  pack.fileLeft -= got < pack.fileLeft ? got : pack.fileLeft;
  if (!read) {
    free(entry);
    free(scratch);
    pack.ended = true;
    return nullptr;
  }
  if (packedSize == unpackedSize) {
    memcpy(entry, scratch, packedSize);
  } else {
    // The decoder's report is not acted on: a damaged block still gives its
    // entry, holding what was decoded and zeros after it.
    DecodeBlock(scratch, packedSize, entry, unpackedSize);
  }
  free(scratch);
  pack.entry = entry;
  if (size) *size = unpackedSize;
  return entry;
}

void CloseAssetPack() {
  if (pack.handle >= 0) close(pack.handle);
  pack.handle = -1;
  pack.fileLeft = 0;
  pack.ended = false;
  FreeEntry();
}
