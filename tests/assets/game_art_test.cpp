// The game's pictures as the collision rules see them: collisions are pixel
// exact against everything that is not the transparent colour, so the shapes
// decide where the craft lands, crashes and hits.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "pack_image.h"

namespace {

std::vector<Image> GamePictures() {
  std::vector<Bytes> entries = ReadPackEntries(VANTOR_RUN_DIR "/vantor.pak");
  std::vector<Image> images;
  if (entries.size() < 18) return images;
  images.resize(18);
  for (size_t i = 0; i < 18; ++i)
    if (!DecodeBmp24(entries[i], images[i])) return {};
  return images;
}

bool Solid(const Image& image, int x, int y) { return image.At(x, y) != MAGENTA; }

int LowestSolidRow(const Image& image, int x0, int y0, int w, int h) {
  for (int y = h - 1; y >= 0; --y)
    for (int x = 0; x < w; ++x)
      if (Solid(image, x0 + x, y0 + y)) return y;
  return -1;
}

// Walls fill their cell so that neighbouring walls join into one cave wall;
// blocks fill it so that a shot anywhere on the cell hits.
TEST(GameArt, WallsAndBlocksFillTheirCell) {
  std::vector<Image> p = GamePictures();
  ASSERT_EQ(p.size(), 18u);
  for (int slot : {1, 3})
    for (int f = 0; f < 10; ++f)
      for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
          ASSERT_TRUE(Solid(p[slot], f * 80 + x, y)) << "terrain " << slot << " frame " << f << " " << x << "," << y;
}

// Neighbouring wall cells show the same frame side by side: the right edge
// continues into the left one and the bottom into the top no more abruptly
// than neighbouring columns inside the cell do.
TEST(GameArt, WallsJoinWithoutSeams) {
  std::vector<Image> p = GamePictures();
  ASSERT_EQ(p.size(), 18u);
  const Image& wall = p[1];
  auto step = [&](int x0, int y0, int x1, int y1) { return std::abs(Luma(wall.At(x0, y0)) - Luma(wall.At(x1, y1))); };
  double seam = 0, inner = 0;
  for (int i = 0; i < 40; ++i) {
    seam += step(39, i, 0, i) + step(i, 39, i, 0);
    for (int k = 0; k < 39; ++k) inner += step(k, i, k + 1, i) + step(i, k, i, k + 1);
  }
  EXPECT_LT(seam, inner / 39);
}

// The craft settles on the first pixel it touches: pads and the target
// platform are solid across the whole top edge of their cell.
TEST(GameArt, PlatformsAreSolidOnTop) {
  std::vector<Image> p = GamePictures();
  ASSERT_EQ(p.size(), 18u);
  for (int slot : {2, 6})
    for (int f = 0; f < 10; ++f)
      for (int x = 0; x < 40; ++x) EXPECT_TRUE(Solid(p[slot], f * 80 + x, 0)) << slot << " frame " << f << " x " << x;
}

// While the craft rests on a platform its frames change (engine flicker, a
// turn); its lowest pixels stay on one row so that it neither lifts off nor
// sinks in. The explosion frames are free.
TEST(GameArt, CraftStandsOnOneRowInEveryFlightFrame) {
  std::vector<Image> p = GamePictures();
  ASSERT_EQ(p.size(), 18u);
  int bottom = LowestSolidRow(p[8], 0, 0, 80, 40);
  EXPECT_GT(bottom, 30);
  EXPECT_LT(bottom, 39) << "a row of space below the skids";
  for (int f = 1; f < 25; ++f)
    EXPECT_EQ(LowestSolidRow(p[8], f % 5 * 80, f / 5 * 40, 80, 40), bottom) << "craft frame " << f;
}

// Soft edges toward the transparent colour would leave pink seams around the
// sprites; keyed pictures have hard edges.
TEST(GameArt, KeyedPicturesHaveNoPinkFringes) {
  std::vector<Image> p = GamePictures();
  ASSERT_EQ(p.size(), 18u);
  for (int slot : {1, 2, 3, 4, 5, 6, 8, 11, 12, 15})
    for (uint32_t c : p[slot].pixels) {
      int r = c & 0xFF, g = c >> 8 & 0xFF, b = c >> 16 & 0xFF;
      bool pinkish = r - g > 50 && b - g > 50 && std::abs(r - b) < 50;
      ASSERT_FALSE(c != MAGENTA && pinkish) << "slot " << slot << " colour " << std::hex << c;
    }
}

// The shot is drawn opaque but collides with its non-black pixels only: a
// bright shape on black.
TEST(GameArt, ShotIsBrightOnBlack) {
  std::vector<Image> p = GamePictures();
  ASSERT_EQ(p.size(), 18u);
  const Image& shot = p[7];
  EXPECT_LE(shot.width, 12);
  EXPECT_LE(shot.height, 12);
  EXPECT_EQ(shot.At(0, 0), 0u);
  EXPECT_GT(Luma(shot.At(shot.width / 2, shot.height / 2)), 200);
}

// The backdrop repeats every 40 pixels at half speed behind the terrain: it
// is dark, and its opposite edges meet without a visible seam.
TEST(GameArt, BackdropIsDarkAndSeamless) {
  std::vector<Image> p = GamePictures();
  ASSERT_EQ(p.size(), 18u);
  const Image& tile = p[9];
  ASSERT_EQ(tile.width, 40);
  ASSERT_EQ(tile.height, 40);
  double sum = 0, seam = 0, inner = 0;
  for (int i = 0; i < 40; ++i) {
    seam += std::abs(Luma(tile.At(39, i)) - Luma(tile.At(0, i))) + std::abs(Luma(tile.At(i, 39)) - Luma(tile.At(i, 0)));
    inner += std::abs(Luma(tile.At(19, i)) - Luma(tile.At(20, i))) + std::abs(Luma(tile.At(i, 19)) - Luma(tile.At(i, 20)));
    for (int j = 0; j < 40; ++j) sum += Luma(tile.At(i, j));
  }
  EXPECT_LT(sum / 1600, 40);
  EXPECT_LT(seam, inner * 2 + 40);
}

}  // namespace
