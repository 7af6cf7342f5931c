// Fuzzes the block decoder with the input as a block, and the encoder with
// the input as data that must come back unchanged.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "formats/blockcodec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // As a block, into a buffer sized by its own header (bounded).
  uint32_t decodedSize = 0;
  ReadBlockHeader(data, size, &decodedSize, nullptr);
  size_t capacity = decodedSize % (1u << 20);
  std::vector<uint8_t> out(capacity);
  size_t produced = 0;
  size_t report = DecodeBlock(data, size, out.data(), capacity, &produced);
  if (produced > capacity || (report != 0 && report != produced)) abort();

  // As data: encode, decode, compare.
  std::vector<uint8_t> block = EncodeBlock(data, size);
  std::vector<uint8_t> back(size);
  report = DecodeBlock(block.data(), block.size(), back.data(), size, &produced);
  if (produced != size || report != size || memcmp(back.data(), data, size) != 0) abort();
  return 0;
}
