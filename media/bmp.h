// BMP decoding for the picture module and the pack tool. Not for the programs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Picture sizes are held in 16-bit fields; the pixel count is capped as well
// so that a small hostile file (run-length coded, say) cannot claim gigabytes.
constexpr int MAX_PICTURE_SIDE = 32767;
constexpr size_t MAX_PICTURE_PIXELS = size_t(1) << 24;

struct DecodedImage {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;  // top row first, 0x00BBGGRR
};

// Decodes the BMP image of `size` bytes at `data`. False (and `image` left
// unspecified) when the data is not a BMP this decoder accepts, is truncated
// or is inconsistent; then `whyRefused`, if given, points to a short reason.
// Never reads outside data[0 .. size).
bool DecodeBmp(const uint8_t* data, size_t size, DecodedImage& image, const char** whyRefused = nullptr);
