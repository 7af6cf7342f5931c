// The drawing kit of the asset generator: file image, clipping, fills that
// meet without gaps, seamless noise and text for keyed pictures.
#include <gtest/gtest.h>

#include "pack_image.h"
// The kit belongs to the build-time generator, not to a library; its one
// source is compiled into this test directly.
#include "../../tools/assetgen/canvas.cpp"

namespace {

int CountColour(const Canvas& cv, uint32_t c) {
  int n = 0;
  for (uint32_t p : cv.pixels) n += p == c;
  return n;
}

// Rows of 3 pixels take 9 bytes and are padded to 12; rows are stored bottom-up in BGR.
TEST(Canvas, Bmp24PadsRowsAndStoresThemBottomUp) {
  Canvas cv = MakeCanvas(3, 2, Rgb(1, 2, 3));
  SetPixel(cv, 0, 0, Rgb(10, 20, 30));
  SetPixel(cv, 2, 1, Rgb(40, 50, 60));
  std::vector<uint8_t> bmp = EncodeBmp24(cv);
  ASSERT_EQ(bmp.size(), 54u + 2 * 12);
  EXPECT_EQ(bmp[0], 'B');
  EXPECT_EQ(bmp[1], 'M');
  EXPECT_EQ(bmp[2] | bmp[3] << 8, 54 + 24);
  EXPECT_EQ(bmp[10], 54);
  EXPECT_EQ(bmp[28], 24);
  // First stored row is the bottom one: its last pixel is (40, 50, 60).
  EXPECT_EQ(bmp[54 + 6], 60);
  EXPECT_EQ(bmp[54 + 7], 50);
  EXPECT_EQ(bmp[54 + 8], 40);
  for (int pad = 9; pad < 12; ++pad) EXPECT_EQ(bmp[54 + pad], 0);
  EXPECT_EQ(bmp[54 + 12], 30);  // top row, first pixel, blue first
  Image image;
  ASSERT_TRUE(DecodeBmp24(bmp, image));
  EXPECT_EQ(image.pixels, cv.pixels);
}

TEST(Canvas, DrawingIsClippedAtTheEdges) {
  Canvas cv = MakeCanvas(10, 10, KEY_COLOUR);
  FillRect(cv, -5, -5, 8, 8, Rgb(255, 0, 0));
  EXPECT_EQ(CountColour(cv, Rgb(255, 0, 0)), 9);
  FillCircle(cv, 10, 10, 4, Rgb(0, 255, 0));
  DrawLine(cv, -20, 5, 30, 5, Rgb(0, 0, 255), 3);
  FillPolygon(cv, {{-10, -10}, {40, 0}, {0, 40}}, Rgb(1, 1, 1));
  EXPECT_EQ(GetPixel(cv, -1, 0), KEY_COLOUR);
  EXPECT_EQ(GetPixel(cv, 10, 3), KEY_COLOUR);
  Canvas part = CopyRegion(cv, 8, 8, 4, 4);
  EXPECT_EQ(GetPixel(part, 3, 3), KEY_COLOUR);  // outside the source
}

// Polygons sharing an edge neither overlap nor leave a gap, so shapes built
// from pieces have no holes through which the background shows.
TEST(Canvas, PolygonsSharingAnEdgeTileExactly) {
  Canvas cv = MakeCanvas(20, 20, 0);
  FillPolygon(cv, {{2, 2}, {17, 2}, {2, 17}}, 1);
  FillPolygon(cv, {{17, 2}, {17, 17}, {2, 17}}, 2);
  EXPECT_EQ(CountColour(cv, 1) + CountColour(cv, 2), 15 * 15);
  Canvas overlap = MakeCanvas(20, 20, 0);
  FillPolygon(overlap, {{2, 2}, {17, 2}, {2, 17}}, 1);
  FillPolygon(overlap, {{17, 2}, {17, 17}, {2, 17}}, 1);
  EXPECT_EQ(CountColour(overlap, 1), 15 * 15);
}

// Textures built on the noise repeat with their period: the wall and backdrop
// tiles depend on it to join without seams.
TEST(Canvas, NoiseRepeatsWithItsPeriod) {
  for (double y = 0; y < 4; y += 0.37)
    for (double x = 0; x < 4; x += 0.29) {
      EXPECT_NEAR(SmoothNoise(x, y, 4, 9), SmoothNoise(x + 4, y, 4, 9), 1e-9);
      EXPECT_NEAR(SmoothNoise(x, y, 4, 9), SmoothNoise(x, y - 4, 4, 9), 1e-9);
      EXPECT_NEAR(Fractal(x, y, 4, 3, 9), Fractal(x + 4, y + 8, 4, 3, 9), 1e-9);
      double n = Fractal(x, y, 4, 3, 9);
      EXPECT_GE(n, 0.0);
      EXPECT_LE(n, 1.0);
    }
  EXPECT_NE(Hash2(1, 2, 3), Hash2(2, 1, 3));
}

// Solid text writes only its exact colour, so it can go on a keyed picture;
// blended text mixes with what lies below.
TEST(Canvas, TextSolidAndBlended) {
  Canvas solid = MakeCanvas(120, 40, KEY_COLOUR);
  int w = DrawText(solid, 5, 5, "Höhle", 20, Rgb(0, 0, 255), FONT_SANS_BOLD, true);
  EXPECT_EQ(w, TextWidth("Höhle", 20, FONT_SANS_BOLD));
  EXPECT_GT(w, 40);
  int ink = CountColour(solid, Rgb(0, 0, 255));
  EXPECT_GT(ink, 60);
  EXPECT_EQ(ink + CountColour(solid, KEY_COLOUR), 120 * 40);

  Canvas blended = MakeCanvas(120, 40, Rgb(0, 0, 0));
  DrawText(blended, 5, 5, "Höhle", 20, Rgb(255, 255, 255), FONT_SANS);
  int grey = 0;
  for (uint32_t p : blended.pixels) grey += p != 0 && p != Rgb(255, 255, 255) && ColR(p) == ColB(p);
  EXPECT_GT(grey, 10) << "anti-aliased edges";

  Mask m = RenderTextMask("V", 30, FONT_SANS_BOLD);
  Mask grown = GrowMask(m, 3);
  EXPECT_EQ(grown.width, m.width + 6);
  EXPECT_EQ(grown.height, m.height + 6);
}

TEST(Canvas, ColourHelpers) {
  EXPECT_EQ(Rgb(255, 0, 255), KEY_COLOUR);
  EXPECT_EQ(Rgb(300, -4, 10), Rgb(255, 0, 10));
  EXPECT_EQ(Mix(Rgb(0, 0, 0), Rgb(200, 100, 50), 0.5), Rgb(100, 50, 25));
  EXPECT_EQ(Lighten(Rgb(0, 0, 0), 1), Rgb(255, 255, 255));
  EXPECT_EQ(Darken(Rgb(200, 200, 200), 1), Rgb(0, 0, 0));
  Canvas cv = MakeCanvas(2, 1, Rgb(0, 0, 0));
  BlendPixel(cv, 0, 0, Rgb(200, 0, 0), 0.25);
  EXPECT_EQ(GetPixel(cv, 0, 0), Rgb(50, 0, 0));
}

}  // namespace
