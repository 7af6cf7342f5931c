// BMP decoding: 1-bit (black and white), 4- and 8-bit through the palette
// (8-bit also run-length coded), 16-bit 5-5-5, 24- and 32-bit. Images come
// from files the programs did not write themselves, so every size and offset
// is checked against the buffer before it is used.
#include "media/bmp.h"

namespace {

constexpr uint32_t COMPRESSION_NONE = 0;
constexpr uint32_t COMPRESSION_RLE8 = 1;
constexpr uint32_t COMPRESSION_BITFIELDS = 3;

constexpr size_t FILE_HEADER_SIZE = 14;
constexpr uint32_t MIN_INFO_HEADER_SIZE = 40;

uint16_t U16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
uint32_t U32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

uint32_t Rgb(uint32_t red, uint32_t green, uint32_t blue) { return red | green << 8 | blue << 16; }

struct BmpHeader {
  uint32_t pixelOffset = 0;
  uint32_t infoSize = 0;
  int width = 0;
  int height = 0;      // always positive
  bool topDown = false;  // stored top row first (negative height in the file)
  int bitsPerPixel = 0;
  uint32_t compression = 0;
  uint32_t colorsUsed = 0;
};

bool ReadHeader(const uint8_t* d, size_t size, BmpHeader& h) {
  if (size < FILE_HEADER_SIZE + MIN_INFO_HEADER_SIZE || d[0] != 'B' || d[1] != 'M') return false;
  h.pixelOffset = U32(d + 10);
  h.infoSize = U32(d + 14);
  // Older 12-byte headers have a different layout and 3-byte palettes; refused.
  if (h.infoSize < MIN_INFO_HEADER_SIZE || h.infoSize > size - FILE_HEADER_SIZE) return false;
  int64_t width = int32_t(U32(d + 18));
  int64_t height = int32_t(U32(d + 22));
  h.bitsPerPixel = U16(d + 28);
  h.compression = U32(d + 30);
  h.colorsUsed = U32(d + 46);
  if (width <= 0 || width > MAX_PICTURE_SIDE) return false;
  if (height == 0 || height < -MAX_PICTURE_SIDE || height > MAX_PICTURE_SIDE) return false;
  h.width = int(width);
  h.topDown = height < 0;
  h.height = int(height < 0 ? -height : height);
  if (size_t(h.width) * size_t(h.height) > MAX_PICTURE_PIXELS) return false;
  return h.pixelOffset >= FILE_HEADER_SIZE + h.infoSize && h.pixelOffset < size;
}

// Bit-field images are accepted only with the standard masks, which mean the
// same as the uncompressed layout.
bool HasStandardMasks(const uint8_t* d, size_t size, int bitsPerPixel) {
  if (size < 66) return false;
  uint32_t red = U32(d + 54), green = U32(d + 58), blue = U32(d + 62);
  if (bitsPerPixel == 16) return red == 0x7C00 && green == 0x03E0 && blue == 0x001F;
  return red == 0xFF0000 && green == 0xFF00 && blue == 0xFF;
}

bool FormatSupported(const uint8_t* d, size_t size, const BmpHeader& h) {
  switch (h.compression) {
    case COMPRESSION_NONE:
      return h.bitsPerPixel == 1 || h.bitsPerPixel == 4 || h.bitsPerPixel == 8 ||
             h.bitsPerPixel == 16 || h.bitsPerPixel == 24 || h.bitsPerPixel == 32;
    case COMPRESSION_RLE8:
      return h.bitsPerPixel == 8 && !h.topDown;
    case COMPRESSION_BITFIELDS:
      return (h.bitsPerPixel == 16 || h.bitsPerPixel == 32) && HasStandardMasks(d, size, h.bitsPerPixel);
    default:  // run-length coded 4-bit and anything else
      return false;
  }
}

// Colours beyond the palette's length stay black, so a stray index is harmless.
bool ReadPalette(const uint8_t* d, size_t size, const BmpHeader& h, uint32_t palette[256]) {
  for (int i = 0; i < 256; ++i) palette[i] = 0;
  uint32_t maxColors = 1u << h.bitsPerPixel;
  uint32_t count = h.colorsUsed == 0 ? maxColors : h.colorsUsed;
  if (count > maxColors) return false;
  size_t start = FILE_HEADER_SIZE + h.infoSize;
  if (start > size || (size - start) / 4 < count) return false;
  for (uint32_t i = 0; i < count; ++i) {
    const uint8_t* c = d + start + 4 * i;
    palette[i] = Rgb(c[2], c[1], c[0]);
  }
  return true;
}

void DecodeRow(const uint8_t* src, int width, int bitsPerPixel, const uint32_t* palette, uint32_t* out) {
  switch (bitsPerPixel) {
    case 1:
      for (int x = 0; x < width; ++x) out[x] = (src[x >> 3] >> (7 - (x & 7))) & 1 ? 0xFFFFFFu : 0u;
      break;
    case 4:
      for (int x = 0; x < width; ++x) out[x] = palette[(x & 1) ? src[x >> 1] & 15 : src[x >> 1] >> 4];
      break;
    case 8:
      for (int x = 0; x < width; ++x) out[x] = palette[src[x]];
      break;
    case 16:
      for (int x = 0; x < width; ++x) {
        uint32_t v = U16(src + 2 * x);
        out[x] = Rgb((v >> 10 & 31) << 3, (v >> 5 & 31) << 3, (v & 31) << 3);
      }
      break;
    case 24:
      for (int x = 0; x < width; ++x) out[x] = Rgb(src[3 * x + 2], src[3 * x + 1], src[3 * x]);
      break;
    case 32:
      for (int x = 0; x < width; ++x) out[x] = Rgb(src[4 * x + 2], src[4 * x + 1], src[4 * x]);
      break;
  }
}

bool DecodeUncompressed(const uint8_t* d, size_t size, const BmpHeader& h, const uint32_t* palette,
                        DecodedImage& image) {
  uint64_t rowBits = uint64_t(h.width) * uint64_t(h.bitsPerPixel);
  uint64_t stride = (rowBits + 31) / 32 * 4;
  uint64_t rowBytes = (rowBits + 7) / 8;
  // The last row need not carry its padding.
  uint64_t needed = uint64_t(h.pixelOffset) + stride * uint64_t(h.height - 1) + rowBytes;
  if (needed > size) return false;
  image.pixels.assign(size_t(h.width) * size_t(h.height), 0);
  for (int r = 0; r < h.height; ++r) {
    int row = h.topDown ? r : h.height - 1 - r;
    DecodeRow(d + h.pixelOffset + stride * uint64_t(r), h.width, h.bitsPerPixel, palette,
              &image.pixels[size_t(row) * size_t(h.width)]);
  }
  return true;
}

// Run-length coded 8-bit: a run or literal block that would pass the end of
// its row, and any pixel below the last row, make the image invalid (it is
// refused rather than wrapped or cut). Pixels the stream skips stay black.
// The stream must end with the end-of-image code or, having ended every row,
// with the data.
bool DecodeRle8(const uint8_t* d, size_t size, const BmpHeader& h, const uint32_t* palette,
                DecodedImage& image) {
  const uint8_t* p = d + h.pixelOffset;
  const uint8_t* end = d + size;
  int x = 0, y = 0;  // y counts stored rows, bottom row first
  image.pixels.assign(size_t(h.width) * size_t(h.height), 0);
  auto at = [&](int column) -> uint32_t& {
    return image.pixels[size_t(h.height - 1 - y) * size_t(h.width) + size_t(column)];
  };
  for (;;) {
    if (end - p < 2) return p == end && y >= h.height;
    int count = p[0], code = p[1];
    p += 2;
    if (count > 0) {
      if (y >= h.height || x + count > h.width) return false;
      uint32_t color = palette[code];
      for (int i = 0; i < count; ++i) at(x + i) = color;
      x += count;
    } else if (code == 0) {  // end of row
      x = 0;
      if (++y > h.height) return false;
    } else if (code == 1) {  // end of image
      return true;
    } else if (code == 2) {  // move right and up
      if (end - p < 2) return false;
      x += p[0];
      y += p[1];
      p += 2;
      if (x > h.width || y > h.height) return false;
    } else {  // literal block of `code` indices, padded to an even length
      int padded = code + (code & 1);
      if (y >= h.height || x + code > h.width || end - p < padded) return false;
      for (int i = 0; i < code; ++i) at(x + i) = palette[p[i]];
      x += code;
      p += padded;
    }
  }
}

}  // namespace

bool DecodeBmp(const uint8_t* data, size_t size, DecodedImage& image) {
  BmpHeader h;
  if (!data || !ReadHeader(data, size, h) || !FormatSupported(data, size, h)) return false;
  uint32_t palette[256] = {};
  if ((h.bitsPerPixel == 4 || h.bitsPerPixel == 8) && !ReadPalette(data, size, h, palette)) return false;
  image.width = h.width;
  image.height = h.height;
  if (h.compression == COMPRESSION_RLE8) return DecodeRle8(data, size, h, palette, image);
  return DecodeUncompressed(data, size, h, palette, image);
}
