// Helpers for the asset checks: read a built pack with the programs' own
// reader and look inside its BMP and WAV images.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

// Every entry of the pack, in file order (empty if it cannot be opened).
std::vector<Bytes> ReadPackEntries(const std::string& path);

// A decoded 24-bit BMP: pixels 0x00BBGGRR, row 0 at the top.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;
  uint32_t At(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
};
constexpr uint32_t MAGENTA = 0x00FF00FF;

// False unless `bytes` is an uncompressed 24-bit BMP the checks can read.
bool DecodeBmp24(const Bytes& bytes, Image& image);

// A 16-bit PCM RIFF/WAVE image with the 44-byte header.
struct Wave {
  int channels = 0;
  int rate = 0;
  std::vector<int16_t> samples;
};
bool DecodeWav16(const Bytes& bytes, Wave& wave);

// Rec. 601 luma, 0..255.
double Luma(uint32_t pixel);
