// The drawing pass: text, boxes, lines and points on the screen's back
// buffer, and colour values.
//
// Text is drawn from the prebuilt glyphs of media/glyphs.h, without
// anti-aliasing (every pixel is either the drawing colour or untouched), and
// laid out the way the font engine that rendered them lays out a line. A laid
// out text is kept as spans of letter pixels, so the few lines a frame draws
// cost a cache look-up and some short fills.
#include <algorithm>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "media/glyphs.h"
#include "media/internal.h"
#include "media/media.h"

namespace {

constexpr int SCREEN_CANVAS = 1;
constexpr uint32_t RGB_MASK = 0xFFFFFF;
constexpr uint32_t WHITE = 0xFFFFFF;
constexpr int MODE_NO_TEXT_BACKGROUND = 1;
constexpr int MODE_INVERT = 2;
constexpr int MODE_OUTLINE = 4;
constexpr size_t MAX_CACHED_TEXTS = 256;

struct DrawingState {
  bool passOpen = false;
  uint32_t drawColor = 0;
  uint32_t textBackground = WHITE;
  int drawingMode = 0;
  int penX = 0, penY = 0;
};

DrawingState drawing;

std::unordered_map<std::string, RenderedText> textCache;

// ---- Pixels -----------------------------------------------------------------

// The back buffer while a pass is open on a screen that is shown, else null.
uint32_t* PassTarget() {
  if (!drawing.passOpen || !Screen().screenActive) return nullptr;
  return TargetPixels();
}

// Fills columns x0 .. x1 - 1 of rows y0 .. y1 - 1, clipped to the target.
void FillRect(uint32_t* target, int64_t x0, int64_t y0, int64_t x1, int64_t y1, uint32_t color,
              bool invert) {
  const int W = Screen().screenWidth, H = Screen().screenHeight;
  x0 = std::max<int64_t>(x0, 0);
  y0 = std::max<int64_t>(y0, 0);
  x1 = std::min<int64_t>(x1, W);
  y1 = std::min<int64_t>(y1, H);
  color &= RGB_MASK;
  for (int64_t y = y0; y < y1; ++y) {
    uint32_t* row = target + y * W;
    if (invert)
      for (int64_t x = x0; x < x1; ++x) row[x] ^= RGB_MASK;
    else
      std::fill(row + x0, row + std::max(x0, x1), color);
  }
}

void PaintPixel(uint32_t* target, int64_t x, int64_t y, uint32_t color, bool invert) {
  const int W = Screen().screenWidth, H = Screen().screenHeight;
  if (x < 0 || y < 0 || x >= W || y >= H) return;
  uint32_t& pixel = target[y * W + x];
  pixel = invert ? pixel ^ RGB_MASK : color & RGB_MASK;
}

// ---- Text -------------------------------------------------------------------

// Windows-1252 characters 0x80 .. 0x9F; the five unassigned ones show U+FFFD.
constexpr uint16_t CP1252_HIGH[32] = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

// Length of the well-formed UTF-8 sequence at s (0 if there is none).
int Utf8Length(const unsigned char* s) {
  auto cont = [](unsigned char c, unsigned char lo = 0x80, unsigned char hi = 0xBF) {
    return c >= lo && c <= hi;
  };
  unsigned char b = s[0];
  if (b < 0x80) return 1;
  if (b >= 0xC2 && b <= 0xDF) return cont(s[1]) ? 2 : 0;
  if (b >= 0xE0 && b <= 0xEF) {
    unsigned char lo = b == 0xE0 ? 0xA0 : 0x80, hi = b == 0xED ? 0x9F : 0xBF;
    return cont(s[1], lo, hi) && cont(s[2]) ? 3 : 0;
  }
  if (b >= 0xF0 && b <= 0xF4) {
    unsigned char lo = b == 0xF0 ? 0x90 : 0x80, hi = b == 0xF4 ? 0x8F : 0xBF;
    return cont(s[1], lo, hi) && cont(s[2]) && cont(s[3]) ? 4 : 0;
  }
  return 0;
}

uint32_t DecodeUtf8(const unsigned char* s, int length) {
  if (length == 1) return s[0];
  uint32_t c = s[0] & (0x7F >> length);
  for (int i = 1; i < length; ++i) c = c << 6 | (s[i] & 0x3F);
  return c;
}

// Texts are UTF-8; a byte that does not start a well-formed sequence is taken
// as Windows-1252, so "ö" shows as ö whether written as C3 B6 or as F6.
std::vector<uint32_t> CodePoints(const char* text) {
  std::vector<uint32_t> out;
  const auto* s = reinterpret_cast<const unsigned char*>(text);
  while (*s) {
    int n = Utf8Length(s);
    if (n > 0) {
      out.push_back(DecodeUtf8(s, n));
      s += n;
    } else {
      out.push_back(*s >= 0x80 && *s < 0xA0 ? CP1252_HIGH[*s - 0x80] : *s);
      ++s;
    }
  }
  return out;
}

// The glyph of a character; U+FFFD (the last glyph) for one the font lacks.
int GlyphIndex(const GlyphFont& font, uint32_t c) {
  const Glyph* end = font.glyphs + font.glyphCount;
  const Glyph* g = std::lower_bound(font.glyphs, end, c,
                                    [](const Glyph& glyph, uint32_t cp) { return glyph.codePoint < cp; });
  return g != end && g->codePoint == c ? int(g - font.glyphs) : font.glyphCount - 1;
}

int Kerning(const GlyphFont& font, int first, int second) {
  const KerningPair* end = font.kerning + font.kerningCount;
  const KerningPair* k = std::lower_bound(font.kerning, end, std::pair(first, second),
                                          [](const KerningPair& p, std::pair<int, int> key) {
                                            return std::pair<int, int>(p.first, p.second) < key;
                                          });
  return k != end && k->first == first && k->second == second ? k->amount : 0;
}

int FloorPixels(int64_t subpixels) { return int(subpixels >> 6); }

}  // namespace

// The pen moves in 1/64 pixel by each glyph's advance and the kerning to the
// next; a glyph stands at the whole pixel left of its pen position. The text
// occupies the union of the glyph boxes, the line (ascent plus descent) and
// the pen's end; when a glyph reaches left of the start or above the line,
// the whole text moves right or down by that much, as the engine does.
RenderedText LayOutText(const GlyphFont& font, const std::vector<uint32_t>& text) {
  struct Placed {
    int glyph, x, y;
  };
  std::vector<Placed> placed;
  int64_t pen = 0;
  int minX = 0, maxX = 0, minY = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const int index = GlyphIndex(font, text[i]);
    const Glyph& g = font.glyphs[index];
    const int x = FloorPixels(pen) + g.left, y = font.ascent - g.top;
    placed.push_back({index, x, y});
    minX = std::min(minX, x);
    maxX = std::max(maxX, x + g.width);
    minY = std::min(minY, y);
    pen += g.advance;
    if (i + 1 < text.size()) pen += Kerning(font, index, GlyphIndex(font, text[i + 1]));
  }
  maxX = std::max(maxX, FloorPixels(pen));

  RenderedText r;
  r.advance = maxX - minX;
  for (const Placed& p : placed) {
    const Glyph& g = font.glyphs[p.glyph];
    for (int row = 0; row < g.rows; ++row) {
      const uint32_t bits = font.rows[g.firstRow + row];
      for (int x = 0; x < g.width;) {
        if (!(bits >> x & 1)) {
          ++x;
          continue;
        }
        const int start = x;
        while (x < g.width && (bits >> x & 1)) ++x;
        r.spans.push_back({int16_t(p.x - minX + start), int16_t(p.y - minY + row), int16_t(x - start)});
      }
    }
  }
  return r;
}

namespace {

const RenderedText* CachedText(const char* text) {
  auto it = textCache.find(text);
  if (it != textCache.end()) return &it->second;
  if (textCache.size() >= MAX_CACHED_TEXTS) textCache.clear();
  return &textCache.emplace(text, LayOutText(GLYPH_FONT, CodePoints(text))).first->second;
}

}  // namespace

uint32_t PackColor(int red, int green, int blue) {
  return uint32_t(red) + uint32_t(green) * 256u + uint32_t(blue) * 65536u;
}

int ScreenCanvas() { return SCREEN_CANVAS; }

int BeginDrawing(int canvas) {
  EndDrawing();
  if (canvas != SCREEN_CANVAS || !TargetPixels() || !Screen().screenActive) return 0;
  drawing = DrawingState{};
  drawing.passOpen = true;
  return 1;
}

void SetDrawingMode(int mode) {
  if (drawing.passOpen) drawing.drawingMode = mode;
}

void SetDrawingColor(uint32_t color) {
  if (drawing.passOpen) drawing.drawColor = color & RGB_MASK;
}

int DrawString(int x, int y, const char* str) {
  if (!drawing.passOpen || !str || !*str) return x;
  const RenderedText* r = CachedText(str);
  if (uint32_t* target = PassTarget()) {
    if (!(drawing.drawingMode & MODE_NO_TEXT_BACKGROUND))
      FillRect(target, x, y, int64_t(x) + r->advance, int64_t(y) + GLYPH_FONT.lineHeight, drawing.textBackground,
               false);
    for (const TextSpan& s : r->spans) {
      int64_t sx = int64_t(x) + s.x, sy = int64_t(y) + s.y;
      FillRect(target, sx, sy, sx + s.length, sy + 1, drawing.drawColor, false);
    }
  }
  drawing.penX = int(std::min<int64_t>(int64_t(x) + r->advance, INT32_MAX));
  drawing.penY = y;
  return drawing.penX;
}

void DrawBox(int x, int y, int w, int h, uint32_t color) {
  uint32_t* target = PassTarget();
  if (!target || w <= 0 || h <= 0) return;
  // A one-pixel box is a point: it takes the colour even in invert mode.
  if (w == 1 && h == 1) {
    PaintPixel(target, x, y, color, false);
    return;
  }
  const bool invert = drawing.drawingMode & MODE_INVERT;
  const int64_t x1 = int64_t(x) + w, y1 = int64_t(y) + h;
  if (!(drawing.drawingMode & MODE_OUTLINE) || w <= 2 || h <= 2) {
    FillRect(target, x, y, x1, y1, color, invert);
    return;
  }
  // Each border pixel exactly once, so inverting twice cannot cancel out.
  FillRect(target, x, y, x1, int64_t(y) + 1, color, invert);
  FillRect(target, x, y1 - 1, x1, y1, color, invert);
  FillRect(target, x, int64_t(y) + 1, int64_t(x) + 1, y1 - 1, color, invert);
  FillRect(target, x1 - 1, int64_t(y) + 1, x1, y1 - 1, color, invert);
}

void PlotPixel(int x, int y, uint32_t color) {
  if (uint32_t* target = PassTarget()) PaintPixel(target, x, y, color, false);
}

// Steps along the longer axis; the other coordinate is the exact rounded
// value, as Bresenham's algorithm gives. Only steps whose major coordinate
// lies on the target are walked, so a far-reaching line costs no more than
// one across the screen.
void DrawLine(int x1, int y1, int x2, int y2, uint32_t color) {
  uint32_t* target = PassTarget();
  if (!target) return;
  if (color == DRAW_COLOR) color = drawing.drawColor;
  const bool invert = drawing.drawingMode & MODE_INVERT;
  const int64_t dx = int64_t(x2) - x1, dy = int64_t(y2) - y1;
  const bool xMajor = std::abs(dx) >= std::abs(dy);
  const int64_t steps = std::max(std::abs(dx), std::abs(dy));
  if (steps == 0) {
    PaintPixel(target, x1, y1, color, invert);
    return;
  }
  const int64_t major0 = xMajor ? x1 : y1, minor0 = xMajor ? y1 : x1;
  const int64_t majorSign = (xMajor ? dx : dy) < 0 ? -1 : 1;
  const int64_t minorDelta = xMajor ? dy : dx;
  const int64_t minorSign = minorDelta < 0 ? -1 : 1, minorLength = std::abs(minorDelta);
  const int64_t limit = xMajor ? Screen().screenWidth : Screen().screenHeight;
  int64_t first = majorSign > 0 ? -major0 : major0 - (limit - 1);
  int64_t last = majorSign > 0 ? limit - 1 - major0 : major0;
  first = std::max<int64_t>(first, 0);
  last = std::min(last, steps);
  for (int64_t i = first; i <= last; ++i) {
    __int128 offset = (__int128(2) * i * minorLength + steps) / (2 * steps);
    int64_t major = major0 + majorSign * i, minor = minor0 + minorSign * int64_t(offset);
    if (xMajor)
      PaintPixel(target, major, minor, color, invert);
    else
      PaintPixel(target, minor, major, color, invert);
  }
}

void EndDrawing() { drawing.passOpen = false; }

void ResetDrawingState() {
  drawing = DrawingState{};
  textCache.clear();
}
