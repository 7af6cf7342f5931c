// BMP decoding: 1-bit (black and white), 4- and 8-bit through the palette
// (uncompressed or run-length coded), 16-bit 5-5-5 or with bit-field masks,
// 24-bit, and 32-bit with or without bit-field masks; information headers of
// 40 bytes or more (V4 and V5 included) and the old 12-byte core header.
// Images come from files the programs did not write themselves, so every
// size and offset is checked against the buffer before it is used.
#include "media/bmp.h"

#include <bit>
#include <initializer_list>

namespace {

constexpr uint32_t COMPRESSION_NONE = 0;
constexpr uint32_t COMPRESSION_RLE8 = 1;
constexpr uint32_t COMPRESSION_RLE4 = 2;
constexpr uint32_t COMPRESSION_BITFIELDS = 3;

constexpr size_t FILE_HEADER_SIZE = 14;
constexpr uint32_t CORE_HEADER_SIZE = 12;
constexpr uint32_t INFO_HEADER_SIZE = 40;
// Red, green and blue masks, 4 bytes each, right after a 40-byte header; the
// larger headers hold them in the same place.
constexpr size_t MASKS_AT = FILE_HEADER_SIZE + INFO_HEADER_SIZE;
constexpr size_t MASKS_END = MASKS_AT + 12;

// Why an image is refused; nullptr while it is acceptable.
using Refusal = const char*;

uint16_t U16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
uint32_t U32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

uint32_t Rgb(uint32_t red, uint32_t green, uint32_t blue) { return red | green << 8 | blue << 16; }

// One colour channel of a 16- or 32-bit pixel, widened to 8 bits by shifting
// the mask's top bit to bit 7: narrow channels get no low-bit fill, wide ones
// keep their top 8 bits.
struct Channel {
  uint32_t mask = 0;
  int shiftRight = 0;  // negative: shift left
};

Channel ChannelOf(uint32_t mask) { return {mask, int(std::bit_width(mask)) - 1 - 7}; }

uint32_t Widen(uint32_t pixel, Channel c) {
  uint32_t bits = pixel & c.mask;
  return c.shiftRight >= 0 ? bits >> c.shiftRight : bits << -c.shiftRight;
}

struct Masks {
  Channel red, green, blue;
};

uint32_t MaskedColor(uint32_t pixel, const Masks& m) {
  return Rgb(Widen(pixel, m.red), Widen(pixel, m.green), Widen(pixel, m.blue));
}

// The layouts that uncompressed 16- and 32-bit images have.
Masks DefaultMasks(int bitsPerPixel) {
  if (bitsPerPixel == 16) return {ChannelOf(0x7C00), ChannelOf(0x03E0), ChannelOf(0x001F)};
  return {ChannelOf(0xFF0000), ChannelOf(0x00FF00), ChannelOf(0x0000FF)};
}

struct BmpHeader {
  uint32_t pixelOffset = 0;
  uint32_t infoSize = 0;
  int width = 0;
  int height = 0;        // always positive
  bool topDown = false;  // stored top row first (negative height in the file)
  int bitsPerPixel = 0;
  uint32_t compression = COMPRESSION_NONE;
  uint32_t colorsUsed = 0;  // 0: as many as the depth allows
  int paletteEntrySize = 4;  // blue, green, red and a reserved byte; 3 in the core header
  Masks masks;
};

bool IsCoreHeader(const BmpHeader& h) { return h.infoSize == CORE_HEADER_SIZE; }

// The core header has 16-bit unsigned sizes, no compression and no colour count.
Refusal ReadCoreFields(const uint8_t* d, BmpHeader& h) {
  h.width = U16(d + 18);
  h.height = U16(d + 20);
  h.bitsPerPixel = U16(d + 24);
  h.paletteEntrySize = 3;
  if (h.width == 0 || h.height == 0) return "width or height is 0";
  if (h.width > MAX_PICTURE_SIDE || h.height > MAX_PICTURE_SIDE) return "width or height above 32767";
  return nullptr;
}

Refusal ReadInfoFields(const uint8_t* d, BmpHeader& h) {
  int64_t width = int32_t(U32(d + 18));
  int64_t height = int32_t(U32(d + 22));
  h.bitsPerPixel = U16(d + 28);
  h.compression = U32(d + 30);
  h.colorsUsed = U32(d + 46);
  if (width <= 0 || height == 0) return "width or height is 0 or negative";
  if (width > MAX_PICTURE_SIDE || height < -MAX_PICTURE_SIDE || height > MAX_PICTURE_SIDE)
    return "width or height above 32767";
  h.width = int(width);
  h.topDown = height < 0;
  h.height = int(height < 0 ? -height : height);
  return nullptr;
}

Refusal ReadHeader(const uint8_t* d, size_t size, BmpHeader& h) {
  if (size < 2 || d[0] != 'B' || d[1] != 'M') return "not a BMP (no \"BM\" at the start)";
  if (size < FILE_HEADER_SIZE + 4) return "headers cut short";
  h.pixelOffset = U32(d + 10);
  h.infoSize = U32(d + 14);
  if (h.infoSize != CORE_HEADER_SIZE && h.infoSize < INFO_HEADER_SIZE) return "unknown information header size";
  if (h.infoSize > size - FILE_HEADER_SIZE) return "headers cut short";
  Refusal refusal = IsCoreHeader(h) ? ReadCoreFields(d, h) : ReadInfoFields(d, h);
  if (refusal) return refusal;
  if (size_t(h.width) * size_t(h.height) > MAX_PICTURE_PIXELS) return "too many pixels";
  if (h.pixelOffset < FILE_HEADER_SIZE + h.infoSize || h.pixelOffset >= size)
    return "pixel data offset outside the file or inside the headers";
  return nullptr;
}

bool IsOneRunOfBits(uint32_t mask) {
  uint64_t shifted = mask >> std::countr_zero(mask);
  return (shifted & (shifted + 1)) == 0;
}

Refusal CheckMask(uint32_t mask, int bitsPerPixel) {
  if (mask == 0) return "empty bit-field mask";
  if (!IsOneRunOfBits(mask)) return "bit-field mask is not one run of bits";
  if (bitsPerPixel < 32 && mask >> bitsPerPixel != 0) return "bit-field mask wider than the pixel";
  return nullptr;
}

// Alpha masks, where a header has them, are not read: alpha is ignored.
Refusal ReadMasks(const uint8_t* d, BmpHeader& h) {
  if (h.pixelOffset < MASKS_END) return "bit-field masks overlap the pixel data";
  uint32_t red = U32(d + MASKS_AT), green = U32(d + MASKS_AT + 4), blue = U32(d + MASKS_AT + 8);
  for (uint32_t mask : {red, green, blue}) {
    if (Refusal refusal = CheckMask(mask, h.bitsPerPixel)) return refusal;
  }
  if ((red & green) | (red & blue) | (green & blue)) return "bit-field masks overlap";
  h.masks = {ChannelOf(red), ChannelOf(green), ChannelOf(blue)};
  return nullptr;
}

bool DepthIn(int bitsPerPixel, std::initializer_list<int> depths) {
  for (int depth : depths)
    if (bitsPerPixel == depth) return true;
  return false;
}

Refusal CheckFormat(const uint8_t* d, BmpHeader& h) {
  h.masks = DefaultMasks(h.bitsPerPixel);
  switch (h.compression) {
    case COMPRESSION_NONE:
      if (IsCoreHeader(h) ? DepthIn(h.bitsPerPixel, {1, 4, 8, 24}) : DepthIn(h.bitsPerPixel, {1, 4, 8, 16, 24, 32}))
        return nullptr;
      return "unsupported bits per pixel";
    case COMPRESSION_RLE8:
    case COMPRESSION_RLE4:
      if (h.bitsPerPixel != (h.compression == COMPRESSION_RLE8 ? 8 : 4))
        return "run-length coding does not match the bits per pixel";
      if (h.topDown) return "run-length coded image stored top row first";
      return nullptr;
    case COMPRESSION_BITFIELDS:
      if (!DepthIn(h.bitsPerPixel, {16, 32})) return "bit-field masks on a depth other than 16 or 32 bits";
      return ReadMasks(d, h);
    default:
      return "unsupported compression";
  }
}

// Colours beyond the palette's length stay black, so a stray index is harmless.
// The core header has no colour count: its palette fills the room before the
// pixel data, up to the depth's number of colours.
Refusal ReadPalette(const uint8_t* d, size_t size, const BmpHeader& h, uint32_t palette[256]) {
  for (int i = 0; i < 256; ++i) palette[i] = 0;
  uint32_t maxColors = 1u << h.bitsPerPixel;
  size_t start = FILE_HEADER_SIZE + h.infoSize;
  size_t entry = size_t(h.paletteEntrySize);
  uint32_t count = h.colorsUsed == 0 ? maxColors : h.colorsUsed;
  if (IsCoreHeader(h) && (h.pixelOffset - start) / entry < count) count = uint32_t((h.pixelOffset - start) / entry);
  if (count > maxColors) return "palette longer than the bits per pixel allow";
  if ((size - start) / entry < count) return "palette cut short";
  for (uint32_t i = 0; i < count; ++i) {
    const uint8_t* c = d + start + entry * i;
    palette[i] = Rgb(c[2], c[1], c[0]);
  }
  return nullptr;
}

// Palette index of pixel i in bytes of packed 4- or 8-bit indices (high half first).
uint8_t PackedIndex(const uint8_t* bytes, int i, int bitsPerPixel) {
  if (bitsPerPixel == 8) return bytes[i];
  return (i & 1) ? bytes[i >> 1] & 15 : bytes[i >> 1] >> 4;
}

void DecodeRow(const uint8_t* src, const BmpHeader& h, const uint32_t* palette, uint32_t* out) {
  const int width = h.width;
  switch (h.bitsPerPixel) {
    case 1:
      for (int x = 0; x < width; ++x) out[x] = (src[x >> 3] >> (7 - (x & 7))) & 1 ? 0xFFFFFFu : 0u;
      break;
    case 4:
    case 8:
      for (int x = 0; x < width; ++x) out[x] = palette[PackedIndex(src, x, h.bitsPerPixel)];
      break;
    case 16:
      for (int x = 0; x < width; ++x) out[x] = MaskedColor(U16(src + 2 * x), h.masks);
      break;
    case 24:
      for (int x = 0; x < width; ++x) out[x] = Rgb(src[3 * x + 2], src[3 * x + 1], src[3 * x]);
      break;
    case 32:
      for (int x = 0; x < width; ++x) out[x] = MaskedColor(U32(src + 4 * x), h.masks);
      break;
  }
}

Refusal DecodeUncompressed(const uint8_t* d, size_t size, const BmpHeader& h, const uint32_t* palette,
                           DecodedImage& image) {
  uint64_t rowBits = uint64_t(h.width) * uint64_t(h.bitsPerPixel);
  uint64_t stride = (rowBits + 31) / 32 * 4;
  uint64_t rowBytes = (rowBits + 7) / 8;
  // The last row need not carry its padding.
  uint64_t needed = uint64_t(h.pixelOffset) + stride * uint64_t(h.height - 1) + rowBytes;
  if (needed > size) return "pixel data cut short";
  image.pixels.assign(size_t(h.width) * size_t(h.height), 0);
  for (int r = 0; r < h.height; ++r) {
    int row = h.topDown ? r : h.height - 1 - r;
    DecodeRow(d + h.pixelOffset + stride * uint64_t(r), h, palette, &image.pixels[size_t(row) * size_t(h.width)]);
  }
  return nullptr;
}

// Run-length coded 4- and 8-bit: a run or literal block that would pass the
// end of its row, and any pixel below the last row, make the image invalid
// (it is refused rather than wrapped or cut). Pixels the stream skips stay
// black. The stream must end with the end-of-image code or, having ended
// every row, with the data. A 4-bit run alternates the two halves of its
// byte, high half first.
Refusal DecodeRunLength(const uint8_t* d, size_t size, const BmpHeader& h, const uint32_t* palette,
                        DecodedImage& image) {
  const int bits = h.bitsPerPixel;
  const uint8_t* p = d + h.pixelOffset;
  const uint8_t* end = d + size;
  int x = 0, y = 0;  // y counts stored rows, bottom row first
  image.pixels.assign(size_t(h.width) * size_t(h.height), 0);
  auto at = [&](int column) -> uint32_t& {
    return image.pixels[size_t(h.height - 1 - y) * size_t(h.width) + size_t(column)];
  };
  const Refusal broken = "run-length data inconsistent with the image size";
  for (;;) {
    if (end - p < 2) return p == end && y >= h.height ? nullptr : "run-length data cut short";
    int count = p[0], code = p[1];
    p += 2;
    if (count > 0) {
      if (y >= h.height || x + count > h.width) return broken;
      uint32_t even = palette[bits == 4 ? code >> 4 : code];
      uint32_t odd = palette[bits == 4 ? code & 15 : code];
      for (int i = 0; i < count; ++i) at(x + i) = (i & 1) ? odd : even;
      x += count;
    } else if (code == 0) {  // end of row
      x = 0;
      if (++y > h.height) return broken;
    } else if (code == 1) {  // end of image
      return nullptr;
    } else if (code == 2) {  // move right and up
      if (end - p < 2) return "run-length data cut short";
      x += p[0];
      y += p[1];
      p += 2;
      if (x > h.width || y > h.height) return broken;
    } else {  // literal block of `code` indices, padded to an even number of bytes
      int bytes = bits == 4 ? (code + 1) / 2 : code;
      int padded = bytes + (bytes & 1);
      if (y >= h.height || x + code > h.width) return broken;
      if (end - p < padded) return "run-length data cut short";
      for (int i = 0; i < code; ++i) at(x + i) = palette[PackedIndex(p, i, bits)];
      x += code;
      p += padded;
    }
  }
}

Refusal Decode(const uint8_t* data, size_t size, DecodedImage& image) {
  if (!data) return "no data";
  BmpHeader h;
  if (Refusal refusal = ReadHeader(data, size, h)) return refusal;
  if (Refusal refusal = CheckFormat(data, h)) return refusal;
  uint32_t palette[256] = {};
  if (h.bitsPerPixel == 4 || h.bitsPerPixel == 8) {
    if (Refusal refusal = ReadPalette(data, size, h, palette)) return refusal;
  }
  image.width = h.width;
  image.height = h.height;
  if (h.compression == COMPRESSION_RLE8 || h.compression == COMPRESSION_RLE4)
    return DecodeRunLength(data, size, h, palette, image);
  return DecodeUncompressed(data, size, h, palette, image);
}

}  // namespace

bool DecodeBmp(const uint8_t* data, size_t size, DecodedImage& image, const char** whyRefused) {
  Refusal refusal = Decode(data, size, image);
  if (whyRefused) *whyRefused = refusal;
  return refusal == nullptr;
}
