// The pictures of the built packs: sizes and frame layouts per slot,
// transparency, where terrain may draw, and the panels behind the texts.
#include <gtest/gtest.h>

#include "pack_image.h"

namespace {

const std::string GAME_PACK = VANTOR_RUN_DIR "/vantor.pak";
const std::string EDITOR_PACK = VANTOR_RUN_DIR "/vantoredit.pak";

std::vector<Image> Pictures(const std::string& pack, size_t count) {
  std::vector<Bytes> entries = ReadPackEntries(pack);
  std::vector<Image> images(count);
  if (entries.size() < count) {
    ADD_FAILURE() << pack << " has " << entries.size() << " entries";
    return {};
  }
  for (size_t i = 0; i < count; ++i) EXPECT_TRUE(DecodeBmp24(entries[i], images[i])) << "entry " << i + 1;
  return images;
}

// Share of transparent pixels in the box.
double MagentaShare(const Image& image, int x0, int y0, int w, int h) {
  int magenta = 0;
  for (int y = y0; y < y0 + h; ++y)
    for (int x = x0; x < x0 + w; ++x) magenta += image.At(x, y) == MAGENTA;
  return double(magenta) / (w * h);
}

bool AllMagenta(const Image& image) { return MagentaShare(image, 0, 0, image.width, image.height) == 1.0; }

struct Area {
  int x, y, w, h;
};

double MeanLuma(const Image& image, Area a) {
  double sum = 0;
  for (int y = a.y; y < a.y + a.h; ++y)
    for (int x = a.x; x < a.x + a.w; ++x) sum += Luma(image.At(x, y));
  return sum / (a.w * a.h);
}

double BrightestLuma(const Image& image, Area a) {
  double most = 0;
  for (int y = a.y; y < a.y + a.h; ++y)
    for (int x = a.x; x < a.x + a.w; ++x) most = std::max(most, Luma(image.At(x, y)));
  return most;
}

TEST(GamePictures, SlotSizesAndSheetLayouts) {
  std::vector<Image> p = Pictures(GAME_PACK, 18);
  ASSERT_EQ(p.size(), 18u);
  for (int slot = 0; slot <= 6; ++slot) {
    EXPECT_EQ(p[slot].width, 800) << "terrain sheet " << slot;  // 10 frames of 80 x 80
    EXPECT_EQ(p[slot].height, 80) << "terrain sheet " << slot;
  }
  EXPECT_EQ(p[8].width, 400);  // craft: 5 x 6 frames of 80 x 40
  EXPECT_EQ(p[8].height, 240);
  for (int slot : {10, 11, 12}) {
    EXPECT_EQ(p[slot].width, 400) << slot;  // 10 frames of 40 x 40
    EXPECT_EQ(p[slot].height, 40) << slot;
  }
  EXPECT_EQ(p[13].width, 800);  // status panel below the 440-pixel view
  EXPECT_EQ(p[13].height, 160);
  for (int slot : {14, 16}) {
    EXPECT_EQ(p[slot].width, 800) << slot;
    EXPECT_EQ(p[slot].height, 600) << slot;
  }
  // The end picture is drawn at (250, 300) and must stay on the screen.
  EXPECT_LE(p[15].width, 550);
  EXPECT_LE(p[15].height, 300);
  // The logo is zoomed as a square.
  EXPECT_EQ(p[17].width, p[17].height);
  for (int slot : {7, 9}) EXPECT_GT(p[slot].width * p[slot].height, 0) << slot;
}

TEST(GamePictures, KeyedSheetsHaveTransparentBackgrounds) {
  std::vector<Image> p = Pictures(GAME_PACK, 18);
  ASSERT_EQ(p.size(), 18u);
  EXPECT_TRUE(AllMagenta(p[0])) << "empty terrain draws nothing";
  EXPECT_TRUE(AllMagenta(p[10])) << "object code 0 draws nothing";
  // Each frame of the other keyed sheets shows something and keeps a background.
  for (int slot = 1; slot <= 6; ++slot)
    for (int f = 0; f < 10; ++f) {
      double share = MagentaShare(p[slot], f * 80, 0, 80, 80);
      EXPECT_GT(share, 0.5) << "terrain " << slot << " frame " << f;
      EXPECT_LT(share, 1.0) << "terrain " << slot << " frame " << f;
    }
  for (int slot : {11, 12})
    for (int f = 0; f < 10; ++f) {
      double share = MagentaShare(p[slot], f * 40, 0, 40, 40);
      EXPECT_GT(share, 0.1) << "sheet " << slot << " frame " << f;
      EXPECT_LT(share, 1.0) << "sheet " << slot << " frame " << f;
    }
  for (int f = 0; f < 30; ++f) {
    double share = MagentaShare(p[8], f % 5 * 80, f / 5 * 40, 80, 40);
    EXPECT_GT(share, 0.1) << "craft frame " << f;
    EXPECT_LT(share, 1.0) << "craft frame " << f;
  }
  EXPECT_GT(MagentaShare(p[15], 0, 0, p[15].width, p[15].height), 0.05) << "end picture";
}

// A terrain frame covers its own cell; the rest of the 80 x 80 frame reaches
// into the neighbours and may hold only a small overhang.
TEST(GamePictures, TerrainStaysInItsCell) {
  std::vector<Image> p = Pictures(GAME_PACK, 18);
  ASSERT_EQ(p.size(), 18u);
  const int reach = 40 + 4;
  for (int slot = 1; slot <= 6; ++slot)
    for (int f = 0; f < 10; ++f)
      for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 80; ++x)
          if (x >= reach || y >= reach) {
            ASSERT_EQ(p[slot].At(f * 80 + x, y), MAGENTA)
                << "terrain " << slot << " frame " << f << " pixel " << x << "," << y;
          }
}

// The status texts are blue (0, 0, 255): the panel must be light behind them.
TEST(GamePictures, StatusPanelIsLightBehindItsTexts) {
  std::vector<Image> p = Pictures(GAME_PACK, 18);
  ASSERT_EQ(p.size(), 18u);
  const Area texts[] = {
      {370, 10, 70, 16},   // "LEVEL : n" at (370, 450)
      {370, 30, 55, 16},   // "RADAR:" at (370, 470)
      {370, 120, 16, 16},  // prisoners left at (365, 560), right of the icon
      {460, 120, 16, 16},  // lives at (450, 560), right of the icon
  };
  for (const Area& a : texts) EXPECT_GT(MeanLuma(p[13], a), 110) << a.x << "," << a.y;
}

TEST(EditorPictures, SlotSizesAndSheetLayouts) {
  std::vector<Image> p = Pictures(EDITOR_PACK, 6);
  ASSERT_EQ(p.size(), 6u);
  EXPECT_LE(p[0].width, 64);
  EXPECT_LE(p[0].height, 64);
  EXPECT_EQ(p[1].width, 400);  // terrain tiles, 10 per row
  EXPECT_EQ(p[1].height, 40);
  EXPECT_EQ(p[2].width, 160);  // object sprites, 4 per row
  EXPECT_EQ(p[2].height, 40);
  EXPECT_EQ(p[3].width, 200);  // panel right of the 600-pixel view
  EXPECT_EQ(p[3].height, 600);
  EXPECT_EQ(p[4].width, 40);  // palette, one column of ten icons
  EXPECT_EQ(p[4].height, 400);
  EXPECT_EQ(p[5].width, 800);
  EXPECT_EQ(p[5].height, 600);
}

TEST(EditorPictures, KeyedPicturesShowWhatTheyMust) {
  std::vector<Image> p = Pictures(EDITOR_PACK, 6);
  ASSERT_EQ(p.size(), 6u);
  // The pointer's tip is its top-left pixel; the rest around the arrow is clear.
  EXPECT_NE(p[0].At(0, 0), MAGENTA);
  EXPECT_EQ(p[0].At(p[0].width - 1, 0), MAGENTA);
  EXPECT_GT(MagentaShare(p[0], 0, 0, p[0].width, p[0].height), 0.3);
  // Terrain codes 0..6 are visible, the empty cell too (it is drawn as a grid cell).
  for (int code = 0; code <= 6; ++code) EXPECT_LT(MagentaShare(p[1], code * 40, 0, 40, 40), 1.0) << code;
  // Object code 0 is nothing; enemy, start point and prisoner stand on a clear background.
  EXPECT_EQ(MagentaShare(p[2], 0, 0, 40, 40), 1.0);
  for (int code = 1; code <= 3; ++code) {
    double share = MagentaShare(p[2], code * 40, 0, 40, 40);
    EXPECT_GT(share, 0.1) << code;
    EXPECT_LT(share, 1.0) << code;
  }
  // Ten palette icons, each with something to see, and no two alike.
  for (int i = 0; i < 10; ++i) {
    EXPECT_LT(MagentaShare(p[4], 0, i * 40, 40, 40), 0.5) << "icon " << i;
    for (int j = 0; j < i; ++j) {
      bool same = true;
      for (int y = 0; y < 40 && same; ++y)
        for (int x = 0; x < 40 && same; ++x) same = p[4].At(x, i * 40 + y) == p[4].At(x, j * 40 + y);
      EXPECT_FALSE(same) << "icons " << j << " and " << i;
    }
  }
}

// Green texts stand on the panel at x 5 (screen 605): it must be dark there.
TEST(EditorPictures, PanelIsDarkBehindItsTexts) {
  std::vector<Image> p = Pictures(EDITOR_PACK, 6);
  ASSERT_EQ(p.size(), 6u);
  const Area texts[] = {
      {5, 10, 45, 16},   // "X: " and the column
      {5, 30, 45, 16},   // "Y: " and the row
      {5, 50, 110, 16},  // "X-Offset: 1400"
      {5, 70, 110, 16},  // "Y-Offset: 1000"
      {5, 520, 125, 16}, // "Karte gespeichert"
      {5, 540, 90, 16},  // "F1 für Hilfe"
  };
  for (const Area& a : texts) {
    EXPECT_LT(MeanLuma(p[3], a), 40) << a.x << "," << a.y;
    EXPECT_LT(BrightestLuma(p[3], a), 90) << a.x << "," << a.y;
  }
}

}  // namespace
