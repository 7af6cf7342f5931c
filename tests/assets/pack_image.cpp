#include "pack_image.h"

#include <cstring>

#include "formats/assetpack.h"

namespace {

uint32_t Le(const Bytes& b, size_t at, int count) {
  uint32_t v = 0;
  for (int i = count - 1; i >= 0; --i) v = v << 8 | b[at + size_t(i)];
  return v;
}

bool TagAt(const Bytes& b, size_t at, const char* tag) {
  return b.size() >= at + 4 && std::memcmp(b.data() + at, tag, 4) == 0;
}

}  // namespace

std::vector<Bytes> ReadPackEntries(const std::string& path) {
  std::vector<Bytes> entries;
  if (!OpenAssetPack(path.c_str())) return entries;
  uint32_t size = 0;
  while (const uint8_t* entry = NextPackEntry(&size)) entries.emplace_back(entry, entry + size);
  CloseAssetPack();
  return entries;
}

bool DecodeBmp24(const Bytes& b, Image& image) {
  if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') return false;
  const uint32_t offset = Le(b, 10, 4);
  const int width = int(Le(b, 18, 4));
  const int height = int(Le(b, 22, 4));  // positive: bottom-up
  if (Le(b, 28, 2) != 24 || Le(b, 30, 4) != 0 || width <= 0 || height <= 0) return false;
  const size_t stride = (size_t(width) * 3 + 3) / 4 * 4;
  if (b.size() < offset + stride * size_t(height)) return false;
  image.width = width;
  image.height = height;
  image.pixels.assign(size_t(width) * size_t(height), 0);
  for (int y = 0; y < height; ++y) {
    const uint8_t* row = b.data() + offset + stride * size_t(height - 1 - y);
    for (int x = 0; x < width; ++x) {
      const uint8_t* p = row + 3 * x;  // blue, green, red
      image.pixels[size_t(y) * size_t(width) + size_t(x)] = uint32_t(p[2]) | uint32_t(p[1]) << 8 | uint32_t(p[0]) << 16;
    }
  }
  return true;
}

bool DecodeWav16(const Bytes& b, Wave& wave) {
  if (b.size() < 44 || !TagAt(b, 0, "RIFF") || !TagAt(b, 8, "WAVE") || !TagAt(b, 12, "fmt ") ||
      !TagAt(b, 36, "data"))
    return false;
  if (Le(b, 4, 4) != b.size() - 8 || Le(b, 16, 4) != 16 || Le(b, 20, 2) != 1 || Le(b, 34, 2) != 16)
    return false;
  wave.channels = int(Le(b, 22, 2));
  wave.rate = int(Le(b, 24, 4));
  const uint32_t dataBytes = Le(b, 40, 4);
  if (wave.channels < 1 || dataBytes != b.size() - 44 || dataBytes % (2 * uint32_t(wave.channels)))
    return false;
  if (Le(b, 28, 4) != uint32_t(wave.rate * wave.channels * 2) || Le(b, 32, 2) != uint32_t(wave.channels * 2))
    return false;
  wave.samples.resize(dataBytes / 2);
  for (size_t i = 0; i < wave.samples.size(); ++i) wave.samples[i] = int16_t(Le(b, 44 + 2 * i, 2));
  return true;
}

double Luma(uint32_t p) {
  return 0.299 * (p & 0xFF) + 0.587 * (p >> 8 & 0xFF) + 0.114 * (p >> 16 & 0xFF);
}
