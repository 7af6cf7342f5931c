// PNG images of the menu icons: 8-bit RGBA, no interlacing, every row with
// filter 0 and the whole image deflated by zlib.
#include <zlib.h>

#include <stdexcept>

#include "assets.h"

namespace {

void PutBe32(std::vector<uint8_t>& out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

// A chunk: length, type, data, and the CRC of type and data.
void PutChunk(std::vector<uint8_t>& out, const char type[4], const std::vector<uint8_t>& data) {
  PutBe32(out, static_cast<uint32_t>(data.size()));
  const size_t typeAt = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  uLong crc = crc32(0L, out.data() + typeAt, static_cast<uInt>(4 + data.size()));
  PutBe32(out, static_cast<uint32_t>(crc));
}

}  // namespace

std::vector<uint8_t> EncodePng(const RgbaPicture& picture) {
  const size_t rowBytes = static_cast<size_t>(picture.width) * 4;
  if (picture.rgba.size() != rowBytes * picture.height) throw std::invalid_argument("EncodePng: wrong pixel count");
  std::vector<uint8_t> rows;
  rows.reserve((rowBytes + 1) * picture.height);
  for (int y = 0; y < picture.height; ++y) {
    rows.push_back(0);  // filter type: none
    auto row = picture.rgba.begin() + static_cast<std::ptrdiff_t>(rowBytes * y);
    rows.insert(rows.end(), row, row + static_cast<std::ptrdiff_t>(rowBytes));
  }
  uLongf packedSize = compressBound(static_cast<uLong>(rows.size()));
  std::vector<uint8_t> packed(packedSize);
  if (compress2(packed.data(), &packedSize, rows.data(), static_cast<uLong>(rows.size()), 9) != Z_OK)
    throw std::runtime_error("EncodePng: zlib failed");
  packed.resize(packedSize);

  std::vector<uint8_t> header;
  PutBe32(header, static_cast<uint32_t>(picture.width));
  PutBe32(header, static_cast<uint32_t>(picture.height));
  header.insert(header.end(), {8, 6, 0, 0, 0});  // 8 bits, RGBA, deflate, filter set 0, no interlace

  std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  PutChunk(out, "IHDR", header);
  PutChunk(out, "IDAT", packed);
  PutChunk(out, "IEND", {});
  return out;
}
