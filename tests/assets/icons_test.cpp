// The menu icons that the build draws for the Debian package: valid PNG files
// of the sizes the icon theme is given, on a tile with soft round corners;
// and the Windows icons, which hold the same drawings.
#include <gtest/gtest.h>
#include <zlib.h>

#include <string>

#include "support/test_support.h"

namespace {

using testsupport::Bytes;

uint32_t Be32(const Bytes& b, size_t at) {
  return uint32_t(b[at]) << 24 | uint32_t(b[at + 1]) << 16 | uint32_t(b[at + 2]) << 8 | b[at + 3];
}

struct Png {
  uint32_t width = 0, height = 0;
  Bytes rgba;
};

// Reads a PNG file as the icon writer makes it: 8-bit RGBA, rows with filter 0.
// Every chunk's CRC is checked; an error is reported as a test failure.
Png ReadPng(const Bytes& file, const std::string& name) {
  Png png;
  const Bytes signature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (file.size() < 8 || !std::equal(signature.begin(), signature.end(), file.begin())) {
    ADD_FAILURE() << name << ": no PNG signature";
    return png;
  }
  Bytes packed;
  std::string last;
  for (size_t at = 8; at + 12 <= file.size();) {
    const uint32_t length = Be32(file, at);
    if (at + 12 + length > file.size()) break;
    const std::string type(file.begin() + at + 4, file.begin() + at + 8);
    const uint32_t crc = uint32_t(crc32(0, file.data() + at + 4, 4 + length));
    EXPECT_EQ(Be32(file, at + 8 + length), crc) << name << ": CRC of " << type;
    const auto data = file.begin() + at + 8;
    if (type == "IHDR") {
      png.width = Be32(file, at + 8);
      png.height = Be32(file, at + 12);
      EXPECT_EQ(Bytes(data + 8, data + 13), (Bytes{8, 6, 0, 0, 0})) << name << ": not 8-bit RGBA";
    }
    if (type == "IDAT") packed.insert(packed.end(), data, data + length);
    last = type;
    at += 12 + length;
  }
  EXPECT_EQ(last, "IEND") << name;
  const size_t rowBytes = size_t(png.width) * 4 + 1;
  Bytes rows(rowBytes * png.height);
  uLongf size = rows.size();
  if (uncompress(rows.data(), &size, packed.data(), packed.size()) != Z_OK || size != rows.size()) {
    ADD_FAILURE() << name << ": the image data does not inflate to " << png.width << "x" << png.height;
    return png;
  }
  for (uint32_t y = 0; y < png.height; ++y) {
    EXPECT_EQ(rows[y * rowBytes], 0) << name << ": filter of row " << y;
    png.rgba.insert(png.rgba.end(), rows.begin() + y * rowBytes + 1, rows.begin() + (y + 1) * rowBytes);
  }
  return png;
}

uint8_t Alpha(const Png& png, uint32_t x, uint32_t y) { return png.rgba[(size_t(y) * png.width + x) * 4 + 3]; }

TEST(MenuIcons, EverySizeIsAnRgbaTileWithRoundCorners) {
  for (int size : {48, 64, 128, 256}) {
    Bytes pixels[2];
    for (int i = 0; i < 2; ++i) {
      const std::string name = std::to_string(size) + (i ? "/editor.png" : "/game.png");
      Png png = ReadPng(testsupport::ReadFileBytes(VANTOR_ICON_DIR "/" + name), name);
      ASSERT_EQ(png.width, uint32_t(size)) << name;
      ASSERT_EQ(png.height, uint32_t(size)) << name;
      ASSERT_EQ(png.rgba.size(), size_t(size) * size * 4) << name;
      const uint32_t last = size - 1, mid = size / 2, corner = size / 16;
      for (uint32_t x : {0u, corner, last - corner, last}) {
        EXPECT_EQ(Alpha(png, x, x), 0) << name << " corner at " << x;
        EXPECT_EQ(Alpha(png, x, last - x), 0) << name << " corner at " << x;
      }
      EXPECT_EQ(Alpha(png, mid, mid), 255) << name << " centre";
      // The rounded edge is soft: some pixels are neither clear nor solid.
      int soft = 0;
      for (size_t at = 3; at < png.rgba.size(); at += 4) soft += png.rgba[at] > 0 && png.rgba[at] < 255;
      EXPECT_GT(soft, 0) << name << ": hard corners";
      pixels[i] = png.rgba;
    }
    EXPECT_NE(pixels[0], pixels[1]) << size << ": the game and the editor have the same icon";
  }
}

uint32_t Le(const Bytes& b, size_t at, int bytes) {
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = v << 8 | b[at + i];
  return v;
}

// Each .ico holds 16, 32, 48 and 256 pixels as 32-bit PNG entries (256 is
// written as 0 in the directory); its 48-pixel entry is the menu's 48-pixel PNG.
TEST(MenuIcons, TheWindowsIconsHoldFourSizesOfTheSameDrawing) {
  for (const std::string program : {"game", "editor"}) {
    const std::string name = program + ".ico";
    const Bytes ico = testsupport::ReadFileBytes(VANTOR_ICON_DIR "/" + name);
    ASSERT_GE(ico.size(), 6u) << name;
    EXPECT_EQ(Le(ico, 0, 2), 0u) << name;
    EXPECT_EQ(Le(ico, 2, 2), 1u) << name << ": not an icon";
    ASSERT_EQ(Le(ico, 4, 2), 4u) << name;
    ASSERT_GE(ico.size(), 6u + 4 * 16) << name;
    const uint32_t sizes[] = {16, 32, 48, 256};
    for (size_t i = 0; i < 4; ++i) {
      const size_t entry = 6 + 16 * i;
      const std::string what = name + " entry " + std::to_string(sizes[i]);
      EXPECT_EQ(ico[entry], sizes[i] % 256) << what;
      EXPECT_EQ(ico[entry + 1], sizes[i] % 256) << what;
      EXPECT_EQ(Le(ico, entry + 4, 2), 1u) << what << ": planes";
      EXPECT_EQ(Le(ico, entry + 6, 2), 32u) << what << ": bits per pixel";
      const uint32_t length = Le(ico, entry + 8, 4), offset = Le(ico, entry + 12, 4);
      ASSERT_LE(size_t(offset) + length, ico.size()) << what;
      const Bytes image(ico.begin() + offset, ico.begin() + offset + length);
      const Png png = ReadPng(image, what);
      EXPECT_EQ(png.width, sizes[i]) << what;
      EXPECT_EQ(png.height, sizes[i]) << what;
      if (sizes[i] == 48) {
        EXPECT_EQ(image, testsupport::ReadFileBytes(VANTOR_ICON_DIR "/48/" + program + ".png")) << what;
      }
    }
  }
}

}  // namespace
