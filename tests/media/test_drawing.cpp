// The drawing pass: colours, boxes, points, lines and text.
#include <SDL_ttf.h>
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "media/glyphs.h"
#include "media/headless.h"
#include "media/internal.h"
#include "media/media.h"
#include "support/screen_pixels.h"

namespace {

using namespace testsupport;

class Drawing : public HeadlessScreen {
 protected:
  void SetUp() override {
    HeadlessScreen::SetUp();
    ASSERT_NE(BeginDrawing(ScreenCanvas()), 0);
  }
  void TearDown() override { EndDrawing(); }

  // Draws text at 10, 10 in red on a green screen and returns the pixels of
  // the 400 x 20 area under it.
  static std::vector<uint32_t> Text(const char* text, int mode = 1, int* end = nullptr) {
    Clear(GREEN);
    SetDrawingMode(mode);
    SetDrawingColor(RED);
    int x = DrawString(10, 10, text);
    if (end) *end = x;
    return Area(0, 0, 400, 40);
  }
};

TEST_F(Drawing, PackColorPutsRedInTheLowByte) {
  EXPECT_EQ(PackColor(255, 0, 255), 0x00FF00FFu);
  EXPECT_EQ(PackColor(0, 0, 255), 0x00FF0000u);
  EXPECT_EQ(PackColor(1, 2, 3), 0x030201u);
}

TEST_F(Drawing, NothingIsDrawnOutsideAPass) {
  EndDrawing();
  DrawBox(0, 0, 10, 10, RED);
  PlotPixel(1, 1, RED);
  DrawLine(0, 0, 9, 9, RED);
  EXPECT_EQ(DrawString(5, 5, "Text"), 5);
  EXPECT_EQ(CountNot(0), 0);
  EXPECT_EQ(BeginDrawing(ScreenCanvas() + 1), 0);
  DrawBox(0, 0, 10, 10, RED);
  EXPECT_EQ(CountNot(0), 0);
  CloseDisplay();
  EXPECT_EQ(BeginDrawing(ScreenCanvas()), 0);
}

TEST_F(Drawing, BeginDrawingRestoresTheStartValues) {
  SetDrawingMode(7);
  SetDrawingColor(RED);
  ASSERT_NE(BeginDrawing(ScreenCanvas()), 0);  // ends the open pass first
  Clear(GREEN);
  DrawLine(0, 0, 3, 0, DRAW_COLOR);  // black, painted (not inverted)
  EXPECT_EQ(At(3, 0), 0u);
  DrawString(10, 10, "x");  // on a white box
  EXPECT_EQ(At(10, 10), WHITE);
}

TEST_F(Drawing, BoxesFillOutlineInvertAndClip) {
  DrawBox(10, 10, 1, 1, RED);
  EXPECT_EQ(CountNot(0), 1);
  EXPECT_EQ(At(10, 10), RED);

  Clear();
  DrawBox(10, 10, 2, 2, RED);
  EXPECT_EQ(CountNot(0), 4);
  EXPECT_EQ(At(11, 11), RED);

  Clear();
  SetDrawingMode(4);
  DrawBox(10, 10, 5, 4, RED);
  EXPECT_EQ(CountNot(0), 2 * 5 + 2 * 2);
  EXPECT_EQ(At(12, 11), 0u);
  EXPECT_EQ(At(14, 13), RED);

  // Inverting: every pixel of the outline exactly once, corners included.
  Clear(GREEN);
  SetDrawingMode(2 | 4);
  DrawBox(10, 10, 5, 4, RED);
  EXPECT_EQ(At(10, 10), GREEN ^ WHITE);
  EXPECT_EQ(At(14, 13), GREEN ^ WHITE);
  EXPECT_EQ(At(12, 11), GREEN);
  EXPECT_EQ(CountNot(GREEN), 14);
  SetDrawingMode(2);
  DrawBox(10, 10, 5, 4, RED);
  EXPECT_EQ(At(10, 10), GREEN);
  EXPECT_EQ(At(12, 11), GREEN ^ WHITE);

  Clear();
  SetDrawingMode(0);
  DrawBox(-5, -5, 10, 10, RED);
  DrawBox(W - 2, H - 3, 10, 10, RED);
  DrawBox(0, 0, 0, 5, RED);
  DrawBox(0, 0, 5, -1, RED);
  EXPECT_EQ(CountNot(0), 25 + 6);
  DrawBox(-2000000000, -2000000000, 2100000000, 2100000000, BLUE);  // covers the screen
  EXPECT_EQ(CountNot(BLUE), 0);
}

TEST_F(Drawing, PlotPixelSetsOnlyPointsOnTheScreen) {
  PlotPixel(0, 0, RED);
  PlotPixel(W - 1, H - 1, GREEN);
  PlotPixel(-1, 0, RED);
  PlotPixel(W, 0, RED);
  PlotPixel(0, H, RED);
  SetDrawingMode(2);  // inverting concerns lines and boxes only
  PlotPixel(5, 5, RED);
  EXPECT_EQ(CountNot(0), 3);
  EXPECT_EQ(At(W - 1, H - 1), GREEN);
  EXPECT_EQ(At(5, 5), RED);
}

TEST_F(Drawing, LinesIncludeBothEndsAndAreConnected) {
  DrawLine(5, 5, 5, 5, RED);
  EXPECT_EQ(CountNot(0), 1);

  Clear();
  DrawLine(3, 7, 12, 7, RED);
  EXPECT_EQ(CountNot(0), 10);
  Clear();
  DrawLine(4, 20, 4, 11, RED);
  EXPECT_EQ(CountNot(0), 10);
  EXPECT_EQ(At(4, 11), RED);

  // Slanted lines in all directions: one pixel per step of the longer axis,
  // both ends set, each step moving the other coordinate by at most one.
  const int ends[][4] = {{10, 10, 30, 17}, {30, 17, 10, 10}, {50, 10, 43, 40}, {50, 40, 60, 31}, {0, 0, 9, 9}};
  for (const auto& e : ends) {
    SCOPED_TRACE(testing::Message() << e[0] << "," << e[1] << " to " << e[2] << "," << e[3]);
    Clear();
    DrawLine(e[0], e[1], e[2], e[3], RED);
    EXPECT_EQ(At(e[0], e[1]), RED);
    EXPECT_EQ(At(e[2], e[3]), RED);
    const int steps = std::max(std::abs(e[2] - e[0]), std::abs(e[3] - e[1]));
    EXPECT_EQ(CountNot(0), steps + 1);
  }

  Clear(GREEN);
  SetDrawingColor(BLUE);
  DrawLine(0, 0, 3, 0, DRAW_COLOR);
  EXPECT_EQ(At(3, 0), BLUE);
  SetDrawingMode(2);
  DrawLine(0, 1, 3, 1, RED);
  EXPECT_EQ(At(2, 1), GREEN ^ WHITE);
}

TEST_F(Drawing, LinesAreClippedPerPixel) {
  DrawLine(-10, 5, 10, 5, RED);
  EXPECT_EQ(CountNot(0), 11);
  Clear();
  DrawLine(W - 3, H - 3, W + 3, H + 3, RED);
  EXPECT_EQ(CountNot(0), 3);
  // Far-reaching lines cost no more than the screen: these must finish at once.
  Clear();
  DrawLine(-2000000000, 300, 2000000000, 300, RED);
  EXPECT_EQ(CountNot(0), W);
  Clear();
  DrawLine(-2147483647 - 1, -2147483647 - 1, 2147483647, 2147483647, RED);
  EXPECT_EQ(CountNot(0), H);  // the diagonal through 0, 0
  EXPECT_EQ(At(599, 599), RED);
}

// ---- Text ---------------------------------------------------------------------

TEST_F(Drawing, TextModeOneDrawsOnlyLetters) {
  int end = 0;
  std::vector<uint32_t> pixels = Text("Hallo Welt", 1, &end);
  EXPECT_GT(end, 10 + 40);
  std::set<uint32_t> colours(pixels.begin(), pixels.end());
  EXPECT_EQ(colours, (std::set<uint32_t>{GREEN, RED}));
  // Letters lie inside the cell: from x to the returned end, 20 rows at most.
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 400; ++x)
      if (pixels[y * 400 + x] == RED) {
        EXPECT_GE(x, 10);
        EXPECT_LT(x, end + 2);
        EXPECT_GE(y, 10);
        EXPECT_LT(y, 30);
      }
}

TEST_F(Drawing, TextModeZeroFillsAWhiteBoxBehindTheText) {
  int end = 0;
  std::vector<uint32_t> pixels = Text("Hallo Welt", 0, &end);
  int reds = 0, whites = 0, lastRow = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 400; ++x) {
      uint32_t p = pixels[y * 400 + x];
      bool inBox = x >= 10 && x < end && y >= 10 && y < 30;
      if (!inBox) {
        EXPECT_TRUE(p == GREEN || (p == RED && y < 30)) << x << "," << y;
        continue;
      }
      reds += p == RED;
      whites += p == WHITE;
      if (p != GREEN) lastRow = y;
    }
  EXPECT_GT(reds, 20);
  EXPECT_GT(whites, reds);
  EXPECT_GE(lastRow, 20);  // the box is a full line high
  EXPECT_EQ(pixels[10 * 400 + 10], WHITE);
  EXPECT_EQ(pixels[10 * 400 + end - 1], WHITE);
}

TEST_F(Drawing, ReturnedXGrowsWithTheText) {
  SetDrawingMode(1);
  int a = DrawString(100, 100, "i");
  int b = DrawString(100, 100, "ii");
  int c = DrawString(100, 100, "Wirklich beenden (j/n) ?");
  EXPECT_GT(a, 100);
  EXPECT_GT(b, a);
  EXPECT_GT(c, b + 100);
  EXPECT_EQ(DrawString(100, 100, ""), 100);
  EXPECT_EQ(DrawString(100, 100, nullptr), 100);
  int x = DrawString(0, 0, "X");
  EXPECT_EQ(DrawString(-50, 5, "X"), -50 + x);
}

TEST_F(Drawing, UmlautsRenderAsUtf8OrWindows1252) {
  std::vector<uint32_t> plain = Text("oeffnen");
  std::vector<uint32_t> o = Text("o");
  std::vector<uint32_t> utf8 = Text("\xC3\xB6");     // ö
  std::vector<uint32_t> cp1252 = Text("\xF6");       // ö in Windows-1252
  EXPECT_NE(utf8, o);
  EXPECT_EQ(utf8, cp1252);
  EXPECT_EQ(Text("Kann Datei nicht \xC3\xB6" "ffnen"), Text("Kann Datei nicht \xF6" "ffnen"));
  EXPECT_EQ(Text("F1 f\xC3\xBCr Hilfe"), Text("F1 f\xFCr Hilfe"));
  EXPECT_NE(Text("F1 f\xC3\xBCr Hilfe"), Text("F1 fur Hilfe"));
  EXPECT_NE(plain, o);
}

TEST_F(Drawing, CachedTextTakesTheCurrentColourAndPlace) {
  Text("Karte gespeichert");
  Clear();
  SetDrawingColor(BLUE);
  DrawString(10, 10, "Karte gespeichert");
  std::set<uint32_t> colours;
  for (uint32_t p : Screen().hidden) colours.insert(p);
  EXPECT_EQ(colours, (std::set<uint32_t>{0, BLUE}));
}

TEST_F(Drawing, TextIsClippedAtTheScreenEdges) {
  SetDrawingMode(0);
  DrawString(W - 5, H - 5, "Taste !");
  DrawString(-30, -8, "Taste !");
  EXPECT_GT(CountNot(0), 0);
  EXPECT_EQ(At(W - 6, H - 1), 0u);
  EXPECT_EQ(At(W - 1, H - 5), WHITE);  // the cell's top row lies above the letters
}

// The prebuilt glyphs draw each text exactly as SDL2_ttf renders it from the
// font they were made from, and return its width as SDL2_ttf measures it.
TEST_F(Drawing, TextMatchesTheFontEngine) {
  ASSERT_EQ(TTF_Init(), 0);
  TTF_Font* font = nullptr;
  for (int points = 14; points >= 6 && !font; --points) {
    font = TTF_OpenFont(VANTOR_FONT, points);
    if (font && TTF_FontLineSkip(font) > 20) {
      TTF_CloseFont(font);
      font = nullptr;
    }
  }
  ASSERT_NE(font, nullptr) << TTF_GetError();
  TTF_SetFontHinting(font, TTF_HINTING_MONO);
  const char* const texts[] = {
      // What the programs draw.
      "Taste !", "RADAR:", "LEVEL : 3", "12", "Noch 17 Gefangene zu befreien",
      "Wirklich beenden (j/n) ?", "Nicht gespeicherte Daten gehen verloren !", "F2 zum speichern",
      "F3 zum laden", "ESC zum beenden", "Cusortasten zum scrollen ",
      "LMT um Icons ausw\xC3\xA4hlen und zu setzen", "Startpunkt, Zielplattform oder Gefangene fehlen",
      "Karte gespeichert", "X: 49", "Y-Offset: 1400", "F1 f\xC3\xBCr Hilfe",
      // Pairs fonts often kern, umlauts, accents reaching above the line,
      // letters reaching left of the pen, and the Windows-1252 extras.
      "AVATAR Tour Wald LT Yo ff fi", "\xC3\x84\xC3\x96\xC3\x9C \xC3\xA4\xC3\xB6\xC3\xBC \xC3\x9F",
      "\xC3\x85\xC3\x89\xC3\x8A \xC5\xB8 \xC3\xBF", "jaja _j",
      "\xE2\x82\xAC \xE2\x80\x9E" "Anf\xC3\xBChrung\xE2\x80\x9C \xE2\x80\x93 \xE2\x80\xA6 \xE2\x84\xA2 \xEF\xBF\xBD",
  };
  for (const char* text : texts) {
    SCOPED_TRACE(text);
    Clear();
    SetDrawingMode(1);
    SetDrawingColor(RED);
    const int end = DrawString(20, 20, text);
    int w = 0, h = 0;
    ASSERT_EQ(TTF_SizeUTF8(font, text, &w, &h), 0);
    EXPECT_EQ(end, 20 + w);
    SDL_Surface* s = TTF_RenderUTF8_Solid(font, text, SDL_Color{255, 255, 255, 255});
    ASSERT_NE(s, nullptr);
    std::vector<uint32_t> expected(size_t(W) * H, 0);
    for (int y = 0; y < s->h; ++y)
      for (int x = 0; x < s->w; ++x)
        if (static_cast<const uint8_t*>(s->pixels)[y * s->pitch + x]) expected[size_t(20 + y) * W + 20 + x] = RED;
    SDL_FreeSurface(s);
    int differing = 0;
    for (size_t i = 0; i < expected.size(); ++i) differing += expected[i] != Screen().hidden[i];
    EXPECT_EQ(differing, 0);
  }
  TTF_CloseFont(font);
  TTF_Quit();
}

// Layout in 1/64 pixel on a made-up font: kerning moves the pen before the
// next glyph, fractions add up before a glyph is put on a whole pixel, and a
// glyph reaching left of the start moves the whole text right.
TEST(TextLayout, KerningAndFractionsAddUpBeforeRounding) {
  constexpr uint32_t ROWS[] = {1};
  constexpr Glyph GLYPHS[] = {{'A', 5 * 64 + 32, 0, 1, 1, 1, 0},
                              {'V', 5 * 64 + 32, 0, 1, 1, 1, 0},
                              {'j', 3 * 64, -2, 1, 1, 1, 0},
                              {0xFFFD, 7 * 64, 1, 1, 1, 1, 0}};
  constexpr KerningPair KERNING[] = {{0, 1, -40}};
  const GlyphFont font{17, 13, 17, GLYPHS, 4, ROWS, KERNING, 1};
  const struct {
    std::vector<uint32_t> text;
    std::vector<int> columns;
    int advance;
  } cases[] = {
      {{'A', 'V', 'A'}, {0, 4, 10}, 15},  // 5.5 - 0.625, then 5.5 twice more
      {{'V', 'V', 'A'}, {0, 5, 11}, 16},  // no kerning: 5.5 each
      {{'j', 'A'}, {0, 5}, 10},            // shifted right by 2
      {{'A', 0x3A9}, {0, 6}, 12},          // a character the font lacks is U+FFFD
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.text.size() << " glyphs from " << char(c.text[0]));
    const RenderedText r = LayOutText(font, c.text);
    std::vector<int> columns;
    for (const TextSpan& s : r.spans) columns.push_back(s.x);
    EXPECT_EQ(columns, c.columns);
    EXPECT_EQ(r.advance, c.advance);
  }
}

TEST_F(Drawing, NothingIsDrawnWhileTheScreenIsNotActive) {
  Screen().screenActive = false;
  DrawBox(0, 0, 5, 5, RED);
  DrawString(0, 0, "Hallo");
  Screen().screenActive = true;
  EXPECT_EQ(CountNot(0), 0);
}

}  // namespace
