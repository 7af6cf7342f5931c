// Pictures: BMP decoding of every depth, hostile images, clipping, sections,
// keyed drawing, collisions and blend pictures.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "media/headless.h"
#include "media/internal.h"
#include "media/media.h"
#include "support/screen_pixels.h"
#include "support/test_support.h"

namespace {

using namespace testsupport;

constexpr uint32_t MAGENTA = 0xFF00FF;

// How a BMP file is laid out beyond its size and pixel data.
struct BmpLayout {
  int bpp = 24;
  uint32_t compression = 0;
  std::vector<uint32_t> palette;  // 0x00RRGGBB words, stored B, G, R, 0
  std::vector<uint32_t> masks;    // bit-field masks red, green, blue (, alpha)
  uint32_t infoSize = 40;         // 108 or 124: a V4 or V5 header, which holds the masks
};

// A BMP file: headers, masks (after a 40-byte header, inside a larger one),
// palette and the given pixel data, stored as is.
Bytes BmpOf(int width, int height, const BmpLayout& f, const Bytes& data) {
  size_t masksAfterHeader = f.infoSize == 40 ? 4 * f.masks.size() : 0;
  size_t paletteAt = 14 + f.infoSize + masksAfterHeader;
  size_t offset = paletteAt + 4 * f.palette.size();
  Bytes b(offset);
  b[0] = 'B';
  b[1] = 'M';
  Set32(b, 2, uint32_t(offset + data.size()));
  Set32(b, 10, uint32_t(offset));
  Set32(b, 14, f.infoSize);
  Set32(b, 18, uint32_t(width));
  Set32(b, 22, uint32_t(height));
  Set16(b, 26, 1);
  Set16(b, 28, uint32_t(f.bpp));
  Set32(b, 30, f.compression);
  Set32(b, 34, uint32_t(data.size()));
  Set32(b, 46, uint32_t(f.palette.size()));
  for (size_t i = 0; i < f.masks.size(); ++i) Set32(b, 54 + 4 * i, f.masks[i]);
  for (size_t i = 0; i < f.palette.size(); ++i) Set32(b, paletteAt + 4 * i, f.palette[i]);
  b.insert(b.end(), data.begin(), data.end());
  return b;
}

Bytes Bmp(int width, int height, int bpp, const Bytes& data, const std::vector<uint32_t>& palette = {},
          uint32_t compression = 0) {
  BmpLayout layout;
  layout.bpp = bpp;
  layout.compression = compression;
  layout.palette = palette;
  return BmpOf(width, height, layout, data);
}

// Bit-field masks of a `bpp`-bit image in a header of `infoSize` bytes.
BmpLayout Masked(int bpp, const std::vector<uint32_t>& masks, uint32_t infoSize = 40) {
  BmpLayout layout;
  layout.bpp = bpp;
  layout.compression = 3;
  layout.masks = masks;
  layout.infoSize = infoSize;
  return layout;
}

// A BMP with the old 12-byte core header: 16-bit sizes, no compression and
// palette entries of 3 bytes (B, G, R).
Bytes CoreBmp(int width, int height, int bpp, const Bytes& data, const std::vector<uint32_t>& palette = {}) {
  size_t offset = 14 + 12 + 3 * palette.size();
  Bytes b(offset);
  b[0] = 'B';
  b[1] = 'M';
  Set32(b, 2, uint32_t(offset + data.size()));
  Set32(b, 10, uint32_t(offset));
  Set32(b, 14, 12);
  Set16(b, 18, uint32_t(width));
  Set16(b, 20, uint32_t(height));
  Set16(b, 22, 1);
  Set16(b, 24, uint32_t(bpp));
  for (size_t i = 0; i < palette.size(); ++i)
    for (int c = 0; c < 3; ++c) b[26 + 3 * i + c] = uint8_t(palette[i] >> (8 * c));
  b.insert(b.end(), data.begin(), data.end());
  return b;
}

// Rows of `bpp`-bit values (top row first) as a BMP stores them: bottom row
// first, 1- and 4-bit values packed high bits first, wider ones
// little-endian. The unused bits of a row's last byte are set and its padding
// holds junk, so that a decoder reading either shows it.
Bytes Rows(int w, int h, int bpp, const std::vector<uint32_t>& values) {
  const size_t rowBits = size_t(w) * bpp, rowBytes = (rowBits + 7) / 8, stride = (rowBytes + 3) / 4 * 4;
  Bytes data;
  for (int r = h - 1; r >= 0; --r) {
    Bytes row(stride, 0xA5);
    std::fill(row.begin(), row.begin() + rowBytes, 0);
    for (int x = 0; x < w; ++x) {
      uint32_t v = values[size_t(r) * w + x];
      size_t bit = size_t(x) * bpp;
      if (bpp < 8) row[bit / 8] |= uint8_t(v << (8 - bpp - bit % 8));
      for (int i = 0; i < bpp / 8; ++i) row[bit / 8 + i] = uint8_t(v >> (8 * i));
    }
    for (size_t bit = rowBits; bit < rowBytes * 8; ++bit) row[bit / 8] |= uint8_t(0x80 >> bit % 8);
    data.insert(data.end(), row.begin(), row.end());
  }
  return data;
}

// Screen colour 0x00BBGGRR to the palette word 0x00RRGGBB and back.
uint32_t PaletteWord(uint32_t c) { return (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF); }

// A 24-bit BMP of the given pixels (top row first), stored bottom row first
// with rows padded to 4 bytes.
Bytes Bmp24(int w, int h, const std::vector<uint32_t>& pixels, bool topDown = false) {
  size_t stride = (size_t(w) * 3 + 3) / 4 * 4;
  Bytes data(stride * h, 0);
  for (int r = 0; r < h; ++r) {
    int row = topDown ? r : h - 1 - r;
    for (int x = 0; x < w; ++x) {
      uint32_t c = pixels[size_t(row) * w + x];
      data[r * stride + 3 * x] = uint8_t(c >> 16);
      data[r * stride + 3 * x + 1] = uint8_t(c >> 8);
      data[r * stride + 3 * x + 2] = uint8_t(c);
    }
  }
  return Bmp(w, topDown ? -h : h, 24, data);
}

Bytes Solid(int w, int h, uint32_t color) { return Bmp24(w, h, std::vector<uint32_t>(size_t(w) * h, color)); }

// Distinct colours per pixel so that every drawn pixel tells where it came from.
uint32_t Tag(int x, int y) { return uint32_t(0x100000 + (y << 8) + x + 1); }
std::vector<uint32_t> Tagged(int w, int h) {
  std::vector<uint32_t> p(size_t(w) * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) p[size_t(y) * w + x] = Tag(x, y);
  return p;
}

class Pictures : public HeadlessScreen {
 protected:
  static int Make(int n, const Bytes& b, int mode = 0) { return MakePictureAs(n, b.data(), b.size(), mode); }
  // Decodes b as picture 0 and reads its pixels back from the screen.
  static std::vector<uint32_t> Decode(const Bytes& b, int w, int h) {
    Clear();
    EXPECT_NE(Make(0, b), 0);
    DrawPicture(0, 0, 0);
    return Area(0, 0, w, h);
  }
};

// ---- Decoding -----------------------------------------------------------------

TEST_F(Pictures, Decodes24BitWithRowPaddingBottomRowFirst) {
  std::vector<uint32_t> px = {RED, GREEN, BLUE, 0x123456, 0xABCDEF, WHITE};
  Bytes b = Bmp24(3, 2, px);
  EXPECT_EQ(b.size(), 54u + 2 * 12);  // 9 bytes of pixels and 3 of padding per row
  EXPECT_EQ(Decode(b, 3, 2), px);
}

TEST_F(Pictures, DecodesTopDownImagesUpright) {
  std::vector<uint32_t> px = Tagged(3, 4);
  EXPECT_EQ(Decode(Bmp24(3, 4, px, true), 3, 4), px);
  EXPECT_EQ(Decode(Bmp24(3, 4, px, false), 3, 4), px);
}

TEST_F(Pictures, Decodes32BitAndClearsTheFourthByte) {
  // Stored bottom row first: B, G, R, X.
  Bytes data = {0x30, 0x20, 0x10, 0xFF, 0x00, 0x00, 0xFF, 0x80,   // bottom: (10,20,30) red
                0xFF, 0x00, 0x00, 0x01, 0x00, 0xFF, 0x00, 0xFF};  // top: blue green
  EXPECT_EQ(Decode(Bmp(2, 2, 32, data), 2, 2), (std::vector<uint32_t>{BLUE, GREEN, 0x302010, RED}));
}

TEST_F(Pictures, Decodes16BitAs555ShiftedLeftBy3) {
  // Three pixels of 2 bytes: 6 bytes, padded to 8.
  Bytes data = {0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x00, 0xEE, 0xEE,
                0x10, 0x42, 0xFF, 0x7F, 0x00, 0x00, 0xEE, 0xEE};
  EXPECT_EQ(Decode(Bmp(3, 2, 16, data), 3, 2),
            (std::vector<uint32_t>{0x808080, 0xF8F8F8, 0, 0x0000F8, 0x00F800, 0xF80000}));
}

// Each channel is shifted so that its mask's top bit becomes bit 7: narrow
// channels get no low-bit fill, wide ones keep their top 8 bits; alpha is ignored.
TEST_F(Pictures, DecodesBitFieldMasksOfAnyChannelLayout) {
  struct Case {
    const char* name;
    BmpLayout layout;
    std::vector<uint32_t> pixels;  // 3 x 2, top row first
    std::vector<uint32_t> expected;
  };
  const BmpLayout rgb565 = Masked(16, {0xF800, 0x07E0, 0x001F});
  BmpLayout rgb565WithPalette = rgb565;
  rgb565WithPalette.palette = {0x123456, 0x654321};
  const std::vector<uint32_t> pixels565 = {0xF800, 0x07E0, 0x001F, 0x0821, 0xFFFF, 0x8410};
  const std::vector<uint32_t> colors565 = {0x0000F8, 0x00FC00, 0xF80000, 0x080408, 0xF8FCF8, 0x808080};
  BmpLayout uncompressed = Masked(32, {0xFF, 0xFF00, 0xFF0000, 0}, 124);
  uncompressed.compression = 0;
  const Case cases[] = {
      {"16-bit 5-6-5", rgb565, pixels565, colors565},
      {"16-bit 5-6-5 with a palette beside", rgb565WithPalette, pixels565, colors565},
      {"16-bit 5-5-5 stated",
       Masked(16, {0x7C00, 0x03E0, 0x001F}),
       {0x7C00, 0x03E0, 0x001F, 0x4210, 0xFFFF, 0x8000},
       {0x0000F8, 0x00F800, 0xF80000, 0x808080, 0xF8F8F8, 0}},
      {"16-bit 4-4-4 with alpha, V4 header",
       Masked(16, {0x0F00, 0x00F0, 0x000F, 0xF000}, 108),
       {0xF123, 0x0F00, 0x00F0, 0x000F, 0xFFFF, 0xF000},
       {0x302010, 0x0000F0, 0x00F000, 0xF00000, 0xF0F0F0, 0}},
      {"16-bit 3-3-2",
       Masked(16, {0xE0, 0x1C, 0x03}),
       {0xFF, 0xE0, 0x1C, 0x03, 0x49, 0xFF00},
       {0xC0E0E0, 0x0000E0, 0x00E000, 0xC00000, 0x404040, 0}},
      {"32-bit with alpha, V5 header",
       Masked(32, {0xFF0000, 0xFF00, 0xFF, 0xFF000000}, 124),
       {0x80112233, 0x00FF0000, 0xFF00FF00, 0x000000FF, 0xFFFFFFFF, 0xFF000000},
       {0x332211, RED, GREEN, BLUE, WHITE, 0}},
      {"32-bit red in the low byte, V4 header",
       Masked(32, {0xFF, 0xFF00, 0xFF0000, 0xFF000000}, 108),
       {0x00332211, 0x000000FF, 0x0000FF00, 0x00FF0000, 0x00FFFFFF, 0xFF000000},
       {0x332211, RED, GREEN, BLUE, WHITE, 0}},
      {"32-bit alpha in the low byte",
       Masked(32, {0xFF000000, 0xFF0000, 0xFF00}),
       {0x112233AA, 0xFF000000, 0x00FF0000, 0x0000FF00, 0xFFFFFF00, 0x000000FF},
       {0x332211, RED, GREEN, BLUE, WHITE, 0}},
      {"32-bit 10-10-10",
       Masked(32, {0x3FF00000, 0x000FFC00, 0x000003FF}),
       {0x3FF00000, 0x000FFC00, 0x000003FF, 0x201554FF, 0xFFFFFFFF, 0xC0000000},
       {RED, GREEN, BLUE, 0x3F5580, WHITE, 0}},
      {"32-bit without masks, V5 header stating others",
       uncompressed,
       {0x00112233, 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFFFFFFFF, 0xFF000000},
       {0x332211, RED, GREEN, BLUE, WHITE, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Decode(BmpOf(3, 2, c.layout, Rows(3, 2, c.layout.bpp, c.pixels)), 3, 2), c.expected);
  }
}

TEST_F(Pictures, DecodesTheCoreHeaderWithThreeBytePaletteEntries) {
  struct Case {
    const char* name;
    int bpp;
    std::vector<uint32_t> palette;  // 0x00RRGGBB
    std::vector<uint32_t> values;   // 3 x 2, top row first
    std::vector<uint32_t> expected;
  };
  const std::vector<uint32_t> pal16 = {0xFF0000, 0x00FF00, 0x0000FF, 0x102030, 0, 0, 0, 0,
                                       0,        0,        0,        0,        0, 0, 0, 0x302010};
  const Case cases[] = {
      {"24-bit", 24, {}, {0xFF0000, 0x00FF00, 0x0000FF, 0x123456, 0xFFFFFF, 0}, {RED, GREEN, BLUE, 0x563412, WHITE, 0}},
      {"8-bit", 8, std::vector<uint32_t>(pal16.begin(), pal16.begin() + 4), {0, 1, 2, 3, 2, 1},
       {RED, GREEN, BLUE, 0x302010, BLUE, GREEN}},
      // Only 3 entries fit before the pixel data: index 3 stays black.
      {"8-bit, short palette", 8, {0xFF0000, 0x00FF00, 0x0000FF}, {0, 1, 2, 3, 3, 0}, {RED, GREEN, BLUE, 0, 0, RED}},
      {"4-bit", 4, pal16, {0, 1, 2, 3, 15, 0}, {RED, GREEN, BLUE, 0x302010, 0x102030, RED}},
      {"1-bit", 1, {0xFF0000, 0x00FF00}, {1, 0, 1, 0, 0, 1}, {WHITE, 0, WHITE, 0, 0, WHITE}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Decode(CoreBmp(3, 2, c.bpp, Rows(3, 2, c.bpp, c.values), c.palette), 3, 2), c.expected);
  }
}

// The rows end in a byte of which only the high bits are pixels; those low
// bits and the padding hold junk.
TEST_F(Pictures, Decodes1And4BitRowsEndingInAPartlyUsedByte) {
  std::vector<uint32_t> palette(16);
  for (int i = 0; i < 15; ++i) palette[i] = PaletteWord(Tag(i, 0));
  palette[15] = PaletteWord(MAGENTA);  // the junk nibble; no pixel uses it
  struct Case {
    int bpp, width;
    size_t stride;
  };
  for (const Case& c : {Case{4, 9, 8}, Case{1, 33, 8}}) {
    SCOPED_TRACE(testing::Message() << c.bpp << "-bit");
    const int h = 3;
    std::vector<uint32_t> values(size_t(c.width) * h), expected;
    for (size_t i = 0; i < values.size(); ++i) {
      values[i] = c.bpp == 4 ? i * 7 % 15 : (i * 5 + i / 3) % 2;
      expected.push_back(c.bpp == 4 ? Tag(int(values[i]), 0) : values[i] ? WHITE : 0);
    }
    Bytes data = Rows(c.width, h, c.bpp, values);
    ASSERT_EQ(data.size(), c.stride * h);
    EXPECT_EQ(Decode(Bmp(c.width, h, c.bpp, data, c.bpp == 4 ? palette : std::vector<uint32_t>{}), c.width, h),
              expected);
  }
}

TEST_F(Pictures, Decodes8BitThroughThePalette) {
  std::vector<uint32_t> palette = {PaletteWord(RED), PaletteWord(GREEN), PaletteWord(BLUE), PaletteWord(0x654321)};
  // 5 pixels a row: 5 bytes padded to 8.
  Bytes data = {3, 2, 1, 0, 3, 9, 9, 9, 0, 1, 2, 3, 0, 9, 9, 9};
  EXPECT_EQ(Decode(Bmp(5, 2, 8, data, palette), 5, 2),
            (std::vector<uint32_t>{RED, GREEN, BLUE, 0x654321, RED, 0x654321, BLUE, GREEN, RED, 0x654321}));
}

TEST_F(Pictures, Decodes4BitHighHalfFirst) {
  std::vector<uint32_t> palette(16, 0);
  palette[1] = PaletteWord(RED);
  palette[2] = PaletteWord(GREEN);
  palette[15] = PaletteWord(BLUE);
  // 3 pixels: 2 bytes padded to 4.
  Bytes data = {0x12, 0xF0, 0xEE, 0xEE, 0xF1, 0x20, 0xEE, 0xEE};
  EXPECT_EQ(Decode(Bmp(3, 2, 4, data, palette), 3, 2), (std::vector<uint32_t>{BLUE, RED, GREEN, RED, GREEN, BLUE}));
}

TEST_F(Pictures, Decodes1BitAsBlackAndWhiteIgnoringThePalette) {
  // 10 pixels: 2 bytes padded to 4; the palette would say red and green.
  Bytes data = {0b10100000, 0b01000000, 0xFF, 0xFF};
  std::vector<uint32_t> px = Decode(Bmp(10, 1, 1, data, {PaletteWord(RED), PaletteWord(GREEN)}), 10, 1);
  EXPECT_EQ(px, (std::vector<uint32_t>{WHITE, 0, WHITE, 0, 0, 0, 0, 0, 0, WHITE}));
}

TEST_F(Pictures, DecodesRunLength8BitWithLiteralsDeltasAndSkippedPixelsBlack) {
  std::vector<uint32_t> palette = {PaletteWord(RED), PaletteWord(GREEN), PaletteWord(BLUE)};
  Bytes rle = {
      3, 1, 0, 3, 2, 0, 1, 0,  // bottom row: 3 green, literal (2 0 1) + pad byte
      0, 0,                    // end of row
      0, 2, 1, 1,              // delta: one right, one up, into the top row
      2, 2,                    // two blue at columns 1 and 2
      0, 0,                    // end of row
      0, 1};                   // end of image
  Bytes b = Bmp(6, 3, 8, rle, palette, 1);
  EXPECT_EQ(Decode(b, 6, 3), (std::vector<uint32_t>{0, BLUE, BLUE, 0, 0, 0,  // top
                                                   0, 0, 0, 0, 0, 0,        // middle: skipped
                                                   GREEN, GREEN, GREEN, BLUE, RED, GREEN}));
}

// 4-bit runs alternate the two halves of their byte from the run's start,
// literals are padded to an even number of bytes.
TEST_F(Pictures, DecodesRunLength4BitWithOddLiteralsDeltasAndSkippedPixelsBlack) {
  std::vector<uint32_t> palette(16);
  // Greys, so palette words and screen colours agree; none is black.
  for (int i = 0; i < 16; ++i) palette[i] = uint32_t(0x0F0F0F * (i + 1));
  auto color = [&](int i) { return palette[i]; };
  Bytes rle = {
      0, 3, 0x12, 0x30,              // bottom row: literal 1 2 3 (two bytes, even already)
      4, 0x45,                       // run 4 5 4 5 from column 3
      0, 0,                          // end of row
      0, 5, 0x54, 0x32, 0x10, 0xEE,  // middle row: literal 5 4 3 2 1 + pad byte
      0, 2, 1, 1,                    // delta: one right, one up, to column 6 of the top row
      1, 0x6F,                       // one pixel: 6
      0, 1};                         // end of image
  EXPECT_EQ(Decode(Bmp(7, 3, 4, rle, palette, 2), 7, 3),
            (std::vector<uint32_t>{0, 0, 0, 0, 0, 0, color(6),
                                   color(5), color(4), color(3), color(2), color(1), 0, 0,
                                   color(1), color(2), color(3), color(4), color(5), color(4), color(5)}));
}

// ---- Hostile images -------------------------------------------------------------

TEST_F(Pictures, RefusesMalformedImagesAndLeavesNoPicture) {
  const Bytes good = Solid(3, 2, RED);
  const std::vector<uint32_t> pal4 = {0, 0, 0, 0};
  auto patched = [&](size_t at, uint32_t v) {
    Bytes b = good;
    Set32(b, at, v);
    return b;
  };
  auto rle = [](int w, int h, const Bytes& stream) { return Bmp(w, h, 8, stream, {0xFF0000, 0x00FF00}, 1); };
  auto rle4 = [](int w, int h, const Bytes& stream) { return Bmp(w, h, 4, stream, {0xFF0000, 0x00FF00}, 2); };
  auto masked = [](int bpp, const std::vector<uint32_t>& masks) {
    return BmpOf(1, 1, Masked(bpp, masks), Bytes(4, 0));
  };
  const Bytes masked16 = masked(16, {0xF800, 0x07E0, 0x001F});
  const Bytes core = CoreBmp(3, 2, 24, Bytes(24, 0));
  struct Case {
    const char* name;
    Bytes bytes;
  };
  std::vector<Case> cases = {
      {"empty", {}},
      {"only BM", {'B', 'M'}},
      {"not BM", [&] { Bytes b = good; b[0] = 'X'; return b; }()},
      {"headers cut", Bytes(good.begin(), good.begin() + 40)},
      {"pixels cut", Bytes(good.begin(), good.end() - 4)},
      {"width 0", patched(18, 0)},
      {"width negative", patched(18, uint32_t(-3))},
      {"height 0", patched(22, 0)},
      {"width 32768", patched(18, 32768)},
      {"height -32768", patched(22, uint32_t(-32768))},
      {"height INT_MIN", patched(22, 0x80000000u)},
      {"huge sizes", [&] { Bytes b = patched(18, 30000); Set32(b, 22, 30000); return b; }()},
      {"offset past end", patched(10, uint32_t(good.size()))},
      {"offset huge", patched(10, 0xFFFFFFF0u)},
      {"offset inside headers", patched(10, 20)},
      {"info header size 12", patched(14, 12)},
      {"info header past end", patched(14, 0x7FFFFFFF)},
      {"depth 2", [&] { Bytes b = good; Set16(b, 28, 2); return b; }()},
      {"depth 0", [&] { Bytes b = good; Set16(b, 28, 0); return b; }()},
      {"unknown compression", patched(30, 7)},
      {"palette too long", [&] { Bytes b = Bmp(2, 1, 8, {0, 1, 0, 0}, pal4); Set32(b, 46, 257); return b; }()},
      {"palette past end", [&] { Bytes b = Bmp(2, 1, 8, {0, 1, 0, 0}, pal4); Set32(b, 46, 200); return b; }()},
      {"8-bit pixels cut", Bmp(5, 2, 8, {0, 0, 0, 0, 0, 0, 0, 0}, pal4)},
      {"1-bit pixels cut", Bmp(40, 3, 1, Bytes(20, 0))},
      {"32-bit pixels cut", Bmp(2, 2, 32, Bytes(12, 0))},
      {"rle top-down", Bmp(2, -1, 8, {2, 1, 0, 1}, {0, 0}, 1)},
      {"rle run past row end", rle(4, 2, {5, 1, 0, 0, 0, 1})},
      {"rle run after row end", rle(4, 2, {4, 1, 1, 1, 0, 1})},
      {"rle literal past row end", rle(4, 2, {0, 5, 1, 1, 1, 1, 1, 0, 0, 1})},
      {"rle pixels below last row", rle(2, 1, {0, 0, 2, 1, 0, 1})},
      {"rle delta past right edge", rle(4, 2, {0, 2, 5, 0, 0, 1})},
      {"rle delta past last row", rle(4, 2, {0, 2, 0, 3, 0, 1})},
      {"rle literal cut", rle(4, 1, {0, 4, 1, 1})},
      {"rle delta cut", rle(4, 1, {0, 2, 1})},
      {"rle stream ends mid image", rle(4, 2, {4, 1, 0, 0})},
      {"rle no end code, odd byte", rle(4, 1, {4, 1, 0, 0, 7})},
      {"rle claims 32767 x 32767", rle(32767, 32767, {0, 1})},
      {"rle4 run past row end", rle4(4, 2, {5, 0x12, 0, 1})},
      {"rle4 literal past row end", rle4(4, 2, {0, 5, 0x12, 0x34, 0x50, 0, 0, 1})},
      {"rle4 literal cut before its pad byte", rle4(6, 1, {0, 5, 0x12, 0x34, 0x50})},
      {"rle4 top-down", Bmp(2, -1, 4, {2, 0x12, 0, 1}, pal4, 2)},
      {"rle4 coding on 8 bits", Bmp(2, 1, 8, {2, 1, 0, 1}, pal4, 2)},
      {"rle8 coding on 4 bits", Bmp(2, 1, 4, {2, 1, 0, 1}, pal4, 1)},
      {"masks: red empty", masked(16, {0, 0x07E0, 0x001F})},
      {"masks: red and green overlap", masked(16, {0xFC00, 0x07E0, 0x001F})},
      {"masks: green not one run", masked(16, {0xF800, 0x0560, 0x001F})},
      {"masks: full word overlaps", masked(32, {0xFFFFFFFF, 0xFF00, 0xFF})},
      {"masks: blue beyond 16 bits", masked(16, {0xF800, 0x07E0, 0x1F0000})},
      {"masks: on 24-bit", masked(24, {0xFF0000, 0xFF00, 0xFF})},
      {"masks: on 8-bit", masked(8, {0xE0, 0x1C, 0x03})},
      {"masks: cut", Bytes(masked16.begin(), masked16.begin() + 60)},
      {"masks: over the pixel data", [&] { Bytes b = masked16; Set32(b, 10, 54); return b; }()},
      {"core: 16-bit", CoreBmp(2, 1, 16, Bytes(4, 0))},
      {"core: width 0", CoreBmp(0, 1, 24, Bytes(4, 0))},
      {"core: height 40000", CoreBmp(1, 40000, 24, Bytes(4, 0))},
      {"core: header cut", Bytes(core.begin(), core.begin() + 20)},
      {"core: pixels cut", Bytes(core.begin(), core.end() - 4)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_NE(Make(5, good), 0);
    EXPECT_EQ(Make(5, c.bytes), 0);
    Clear();
    DrawPicture(5, 0, 0);  // the old picture 5 is gone too
    EXPECT_EQ(CountNot(0), 0);
  }
  EXPECT_EQ(MakePicture(5, nullptr, 100), 0);
  EXPECT_EQ(MakePicture(-1, good.data(), good.size()), 0);
  // Sanity: the unpatched images of the table's kinds are accepted.
  EXPECT_NE(Make(6, rle(4, 2, {4, 1, 0, 0, 2, 0, 0, 1})), 0);
  EXPECT_NE(Make(6, rle(4, 2, {4, 1, 0, 0, 2, 0, 0, 0})), 0);  // every row ended: no end code needed
  EXPECT_NE(Make(6, Bmp(40, 3, 1, Bytes(21, 0))), 0);  // the last row's padding may be missing
  EXPECT_NE(Make(6, rle4(4, 2, {4, 0x12, 0, 0, 3, 0x12, 0, 1})), 0);
  EXPECT_NE(Make(6, masked16), 0);
  EXPECT_NE(Make(6, core), 0);
}

// ---- Replacing, clipping, sections --------------------------------------------------

TEST_F(Pictures, MakingUnderAUsedNumberKeepsNoTraceOfTheOldPicture) {
  ASSERT_NE(Make(3, Solid(128, 32, MAGENTA)), 0);
  SetPictureKey(3, MAGENTA);
  SetPictureSection(3, 32, 0, 32, 32);
  ASSERT_NE(Make(3, Solid(64, 16, MAGENTA)), 0);
  DrawPictureKeyed(3, 0, 0);  // the default key (black) now: magenta is drawn
  EXPECT_EQ(CountNot(0), 64 * 16);
  EXPECT_EQ(At(63, 15), MAGENTA);
}

TEST_F(Pictures, ClipsAtAllFourEdges) {
  const int w = 4, h = 3;
  ASSERT_NE(Make(1, Bmp24(w, h, Tagged(w, h))), 0);
  struct Case {
    int x, y, count;
    int sx, sy, dx, dy;  // one source pixel and where it must land
  };
  const Case cases[] = {
      {-w, 0, 0, 0, 0, 0, 0},         {-w + 1, 0, h, w - 1, 0, 0, 0},    {W - 1, 0, h, 0, 2, W - 1, 2},
      {W, 0, 0, 0, 0, 0, 0},          {0, -h, 0, 0, 0, 0, 0},            {0, -h + 1, w, 3, h - 1, 3, 0},
      {0, H - 1, w, 2, 0, 2, H - 1},  {0, H, 0, 0, 0, 0, 0},             {-2, -1, 4, 2, 1, 0, 0},
      {W - 2, H - 1, 2, 1, 0, W - 1, H - 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "at " << c.x << "," << c.y);
    for (int keyed = 0; keyed < 2; ++keyed) {
      Clear();
      keyed ? DrawPictureKeyed(1, c.x, c.y) : DrawPicture(1, c.x, c.y);
      EXPECT_EQ(CountNot(0), c.count);
      if (c.count) {
        EXPECT_EQ(At(c.dx, c.dy), Tag(c.sx, c.sy));
      }
    }
  }
}

TEST_F(Pictures, SectionsPickAFrameAndAreCutAtThePictureEdge) {
  std::vector<uint32_t> sheet(128 * 32);
  const uint32_t frames[4] = {RED, GREEN, BLUE, WHITE};
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 128; ++x) sheet[y * 128 + x] = frames[x / 32];
  ASSERT_NE(Make(2, Bmp24(128, 32, sheet)), 0);
  ASSERT_NE(Make(3, Solid(1, 1, RED)), 0);

  SetPictureSection(2, 32, 0, 32, 32);
  DrawPicture(2, 10, 10);
  EXPECT_EQ(CountNot(0), 32 * 32);
  EXPECT_EQ(At(10, 10), GREEN);
  EXPECT_EQ(At(41, 41), GREEN);
  EXPECT_EQ(PicturesCollide(2, 0, 0, 3, 31, 31), 1);
  EXPECT_EQ(PicturesCollide(2, 0, 0, 3, 32, 0), 0);  // the sheet's second frame lies outside

  Clear();
  SetPictureSection(2, 100, 0, 50, 32);
  EXPECT_EQ(PictureWidth(2), 28);
  EXPECT_EQ(PictureHeight(2), 32);
  DrawPicture(2, 10, 0);
  EXPECT_EQ(CountNot(0), 28 * 32);
  EXPECT_EQ(At(10, 0), WHITE);
  EXPECT_EQ(At(37, 31), WHITE);
  EXPECT_EQ(At(38, 0), 0u);

  Clear();
  SetPictureSection(2, -1, -1, -1, -1);
  EXPECT_EQ(PictureWidth(2), 128);
  DrawPicture(2, 0, 0);
  EXPECT_EQ(CountNot(0), 128 * 32);
  EXPECT_EQ(At(0, 0), RED);

  // Out-of-range sections are cut to the picture; an empty one draws nothing.
  Clear();
  SetPictureSection(2, 200, 0, 10, 10);
  DrawPicture(2, 0, 0);
  EXPECT_EQ(CountNot(0), 0);
  EXPECT_EQ(PicturesCollide(2, 0, 0, 2, 0, 0), 0);
  EXPECT_EQ(PictureWidth(2), 0);
  EXPECT_EQ(PictureHeight(9), 0);  // no picture
}

// ---- Keyed drawing ----------------------------------------------------------------

TEST_F(Pictures, KeyedDrawingSkipsKeyPixelsAndFollowsKeyChanges) {
  // Row: key, red, key, key, green, green, key.
  std::vector<uint32_t> px = {MAGENTA, RED, MAGENTA, MAGENTA, GREEN, GREEN, MAGENTA};
  ASSERT_NE(Make(1, Bmp24(7, 1, px)), 0);
  SetPictureKey(1, MAGENTA);
  Clear(BLUE);
  DrawPictureKeyed(1, 0, 0);
  EXPECT_EQ(At(0, 0), BLUE);
  EXPECT_EQ(At(1, 0), RED);
  EXPECT_EQ(At(2, 0), BLUE);
  EXPECT_EQ(At(4, 0), GREEN);
  EXPECT_EQ(At(5, 0), GREEN);
  EXPECT_EQ(At(6, 0), BLUE);

  SetPictureKey(1, GREEN);  // after a draw: the change must take effect
  Clear(BLUE);
  DrawPictureKeyed(1, -1, 0);  // a run split by the left edge
  EXPECT_EQ(At(0, 0), RED);
  EXPECT_EQ(At(1, 0), MAGENTA);
  EXPECT_EQ(At(3, 0), BLUE);
  EXPECT_EQ(At(5, 0), MAGENTA);

  // The default key applies to pictures made afterwards only.
  SetPictureKey(-1, RED);
  ASSERT_NE(Make(2, Bmp24(2, 1, {RED, GREEN})), 0);
  Clear(BLUE);
  DrawPictureKeyed(2, 0, 0);
  DrawPictureKeyed(1, 0, 1);
  EXPECT_EQ(At(0, 0), BLUE);
  EXPECT_EQ(At(1, 0), GREEN);
  EXPECT_EQ(At(2, 1), MAGENTA);  // picture 1 still keys green
  EXPECT_EQ(At(4, 1), BLUE);
}

// Only red, green and blue make up a colour; the fourth byte of a key is not part of it.
TEST_F(Pictures, KeyWithTheFourthByteSetStillKeysOutItsColour) {
  ASSERT_NE(Make(2, Solid(3, 1, GREEN)), 0);
  for (int viaDefault = 0; viaDefault < 2; ++viaDefault) {
    SCOPED_TRACE(viaDefault ? "default key" : "picture key");
    if (viaDefault) SetPictureKey(-1, 0xFF000000 | MAGENTA);
    ASSERT_NE(Make(1, Bmp24(3, 1, {MAGENTA, RED, MAGENTA})), 0);
    if (!viaDefault) SetPictureKey(1, 0xFF000000 | MAGENTA);
    Clear(BLUE);
    DrawPictureKeyed(1, 0, 0);
    EXPECT_EQ(Area(0, 0, 3, 1), (std::vector<uint32_t>{BLUE, RED, BLUE}));
    EXPECT_EQ(PicturesCollide(1, 0, 0, 2, 2, 0), 0);
    EXPECT_EQ(PicturesCollide(2, -2, 0, 1, 0, 0), 0);
    EXPECT_EQ(PicturesCollide(1, 0, 0, 2, 1, 0), 1);
  }
}

// Random sprites drawn keyed at random places, against a pixel-by-pixel rendering.
TEST_F(Pictures, KeyedDrawingMatchesAPixelByPixelReference) {
  std::mt19937 rng(7);
  for (int round = 0; round < 60; ++round) {
    int w = 1 + int(rng() % 50), h = 1 + int(rng() % 30);
    std::vector<uint32_t> px(size_t(w) * h);
    for (uint32_t& p : px) p = rng() % 3 ? MAGENTA : (rng() & 0xFFFFFF);
    ASSERT_NE(Make(4, Bmp24(w, h, px)), 0);
    SetPictureKey(4, MAGENTA);
    int sx = int(rng() % w), sy = int(rng() % h);
    int sw = 1 + int(rng() % w), sh = 1 + int(rng() % h);
    SetPictureSection(4, sx, sy, sw, sh);
    sw = std::min(sw, w - sx);
    sh = std::min(sh, h - sy);
    int x = int(rng() % (W + 2 * 50)) - 50, y = int(rng() % (H + 2 * 30)) - 30;
    if (rng() % 4 == 0) x = W - 1 - int(rng() % 3);
    Clear(1);
    DrawPictureKeyed(4, x, y);
    std::vector<uint32_t> expected(size_t(W) * H, 1);
    for (int r = 0; r < sh; ++r)
      for (int c = 0; c < sw; ++c) {
        uint32_t p = px[size_t(sy + r) * w + sx + c];
        if (p != MAGENTA && x + c >= 0 && x + c < W && y + r >= 0 && y + r < H)
          expected[size_t(y + r) * W + x + c] = p;
      }
    ASSERT_TRUE(Screen().hidden == expected) << "round " << round;
  }
}

TEST_F(Pictures, NothingIsDrawnWhileTheScreenIsNotActive) {
  ASSERT_NE(Make(1, Solid(4, 4, RED)), 0);
  Screen().screenActive = false;
  DrawPicture(1, 0, 0);
  DrawPictureKeyed(1, 0, 0);
  Screen().screenActive = true;
  EXPECT_EQ(CountNot(0), 0);
  DrawPicture(7, 0, 0);  // no picture 7
  DrawPicture(-1, 0, 0);
  EXPECT_EQ(CountNot(0), 0);
}

TEST_F(Pictures, PicturesKeepTheirPixelsThroughDisplayLoss) {
  ASSERT_NE(Make(1, Bmp24(3, 2, Tagged(3, 2))), 0);
  BackupPictures();
  RestorePictures();
  DrawPicture(1, 0, 0);
  EXPECT_EQ(At(2, 1), Tag(2, 1));
  FreeAllPictures();
  Clear();
  DrawPicture(1, 0, 0);
  EXPECT_EQ(CountNot(0), 0);
}

// ---- Collisions ---------------------------------------------------------------------

TEST_F(Pictures, CollisionNeedsOverlappingSolidPixels) {
  ASSERT_NE(Make(1, Solid(10, 10, RED)), 0);
  ASSERT_NE(Make(2, Solid(5, 5, GREEN)), 0);
  // Touching rectangles on each side.
  EXPECT_EQ(PicturesCollide(1, 0, 0, 2, 10, 0), 0);
  EXPECT_EQ(PicturesCollide(1, 0, 0, 2, -5, 0), 0);
  EXPECT_EQ(PicturesCollide(1, 0, 0, 2, 0, 10), 0);
  EXPECT_EQ(PicturesCollide(1, 0, 0, 2, 0, -5), 0);
  // One pixel of overlap at each corner.
  EXPECT_EQ(PicturesCollide(1, 0, 0, 2, 9, 9), 1);
  EXPECT_EQ(PicturesCollide(1, 0, 0, 2, -4, -4), 1);
  EXPECT_EQ(PicturesCollide(1, 0, 0, 2, 9, -4), 1);
  EXPECT_EQ(PicturesCollide(2, 9, 9, 1, 0, 0), 1);
  EXPECT_EQ(PicturesCollide(1, 0, 0, 1, 0, 0), 1);  // itself
  EXPECT_EQ(PicturesCollide(1, 0, 0, 1, 9, 9), 1);
  EXPECT_EQ(PicturesCollide(1, 0, 0, 3, 0, 0), 0);  // no picture 3
  EXPECT_EQ(PicturesCollide(1, 2147483600, 0, 2, -2147483600, 0), 0);

  // Left half solid, right half key: an overlap only with the key half is no hit.
  std::vector<uint32_t> half(10 * 10, RED);
  for (int y = 0; y < 10; ++y)
    for (int x = 5; x < 10; ++x) half[y * 10 + x] = MAGENTA;
  ASSERT_NE(Make(3, Bmp24(10, 10, half)), 0);
  SetPictureKey(3, MAGENTA);
  EXPECT_EQ(PicturesCollide(3, 0, 0, 2, 5, 0), 0);
  EXPECT_EQ(PicturesCollide(2, 5, 5, 3, 0, 0), 0);
  EXPECT_EQ(PicturesCollide(3, 0, 0, 2, 4, 5), 1);
  EXPECT_EQ(PicturesCollide(3, 0, 0, 3, 5, 0), 0);  // itself, solid half over key half
  EXPECT_EQ(PicturesCollide(3, 0, 0, 3, 4, 0), 1);
}

// Random keyed pictures and positions, against a pixel-by-pixel test.
TEST_F(Pictures, CollisionMatchesAPixelByPixelReference) {
  std::mt19937 rng(11);
  auto sprite = [&](int n, int& w, int& h, std::vector<uint32_t>& px) {
    w = 1 + int(rng() % 24);
    h = 1 + int(rng() % 24);
    px.assign(size_t(w) * h, MAGENTA);
    int density = 1 + int(rng() % 40);
    for (uint32_t& p : px)
      if (int(rng() % 64) < density) p = RED;
    ASSERT_NE(Make(n, Bmp24(w, h, px)), 0);
    SetPictureKey(n, MAGENTA);
  };
  int hits = 0;
  for (int round = 0; round < 400; ++round) {
    int pw, ph, qw, qh;
    std::vector<uint32_t> p, q;
    sprite(1, pw, ph, p);
    sprite(2, qw, qh, q);
    int px = int(rng() % 24), py = int(rng() % 24), qx = int(rng() % 24), qy = int(rng() % 24);
    int expected = 0;
    for (int y = 0; y < ph && !expected; ++y)
      for (int x = 0; x < pw; ++x) {
        int u = px + x - qx, v = py + y - qy;
        if (p[y * pw + x] != MAGENTA && u >= 0 && u < qw && v >= 0 && v < qh && q[v * qw + u] != MAGENTA) {
          expected = 1;
          break;
        }
      }
    hits += expected;
    ASSERT_EQ(PicturesCollide(1, px, py, 2, qx, qy), expected) << "round " << round;
  }
  EXPECT_GT(hits, 20);
  EXPECT_LT(hits, 380);
}

// ---- Blend pictures -------------------------------------------------------------------

TEST_F(Pictures, BlendPicturesNeedABlendSource) {
  ASSERT_NE(Make(1, Solid(2, 2, RED)), 0);
  ASSERT_NE(Make(2, Solid(2, 2, RED), PICTURE_MODE_BLEND_SOURCE), 0);
  EXPECT_EQ(MakeBlendPicture(0, 1), 0);
  EXPECT_EQ(MakeBlendPicture(0, 9), 0);
  EXPECT_EQ(MakeBlendPicture(-1, 2), 0);
  EXPECT_NE(MakeBlendPicture(0, 2), 0);

  // Outside Begin/EndBlendDrawing nothing is drawn.
  DrawBlendPicture(0, 0, 0, 255);
  EXPECT_EQ(CountNot(0), 0);
  ASSERT_NE(BeginBlendDrawing(), 0);
  DrawBlendPicture(0, 0, 0, 255);
  EndBlendDrawing();
  EXPECT_EQ(CountNot(0), 4);

  FreeBlendPictures();
  Clear();
  ASSERT_NE(BeginBlendDrawing(), 0);
  DrawBlendPicture(0, 0, 0, 255);
  EndBlendDrawing();
  EXPECT_EQ(CountNot(0), 0);
}

TEST_F(Pictures, BlendPicturesMixStretchAndClip) {
  // 2 x 2 source: red, key (black by default) / green, blue.
  ASSERT_NE(Make(1, Bmp24(2, 2, {RED, 0, GREEN, BLUE}), PICTURE_MODE_BLEND_SOURCE), 0);
  ASSERT_NE(MakeBlendPicture(4, 1), 0);
  const uint32_t back = 0x404040;
  ASSERT_NE(BeginBlendDrawing(), 0);

  Clear(back);
  DrawBlendPicture(4, 10, 10, 0);
  EXPECT_EQ(CountNot(back), 0);

  DrawBlendPicture(4, 10, 10, 255);
  EXPECT_EQ(At(10, 10), RED);
  EXPECT_EQ(At(11, 10), back);  // key
  EXPECT_EQ(At(10, 11), GREEN);
  EXPECT_EQ(At(11, 11), BLUE);
  EXPECT_EQ(CountNot(back), 3);

  Clear(back);
  DrawBlendPicture(4, 0, 0, 128);  // (128 * 255 + 127 * 64) / 255 = 159 = 0x9F; 127 * 64 / 255 = 31 = 0x1F
  EXPECT_EQ(At(0, 0), 0x1F1F9Fu);
  EXPECT_EQ(At(1, 1), 0x9F1F1Fu);

  Clear(back);
  SetBlendPictureSize(4, 4, 6);  // each source pixel becomes 2 x 3
  DrawBlendPicture(4, 0, 0, 255);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 4; ++x) {
      const uint32_t src[2][2] = {{RED, back}, {GREEN, BLUE}};
      EXPECT_EQ(At(x, y), src[y / 3][x / 2]) << x << "," << y;
    }
  EXPECT_EQ(CountNot(back), 18);

  Clear(back);
  SetBlendPictureSize(4, 1, 1);  // shrunk: one source pixel
  DrawBlendPicture(4, 5, 5, 255);
  EXPECT_EQ(CountNot(back), 1);

  // Larger than the screen and partly off it: only screen pixels are written.
  Clear(back);
  SetBlendPictureSize(4, 2000, 2000);
  DrawBlendPicture(4, -700, -1300, 255);
  // Screen column c shows source column (700 + c) / 1000, every row source row 1.
  EXPECT_EQ(At(0, 0), GREEN);
  EXPECT_EQ(At(299, 599), GREEN);
  EXPECT_EQ(At(300, 0), BLUE);
  EXPECT_EQ(At(799, 599), BLUE);
  EndBlendDrawing();
}

}  // namespace
