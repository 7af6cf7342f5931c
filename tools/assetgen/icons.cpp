// The desktop menu's icons of the game and the editor. Each is drawn on a
// canvas four times as large as asked, in units of 1/64 of its side, and then
// reduced, so that its round corners and slanted edges get soft alpha.
#include <algorithm>
#include <cmath>

#include "game_art.h"

namespace {

constexpr int SUPERSAMPLE = 4;

// Signed distance, in units, from the edge of the rounded square that every
// icon is drawn on (negative inside). The square leaves a small margin, as
// desktop icons do.
double TileDistance(double ux, double uy) {
  const double half = 29, radius = 11;
  double qx = std::abs(ux - 32) - (half - radius), qy = std::abs(uy - 32) - (half - radius);
  double outside = std::hypot(std::max(qx, 0.0), std::max(qy, 0.0));
  return outside + std::min(std::max(qx, qy), 0.0) - radius;
}

std::vector<PointF> InPixels(const std::vector<PointF>& units, double u) {
  std::vector<PointF> points;
  for (PointF p : units) points.push_back({p.x * u, p.y * u});
  return points;
}

// Stone in the walls' texture, its stones about as large as in play beside a
// 40-pixel craft.
void FillRock(Canvas& cv, const std::vector<PointF>& units, double u) {
  Canvas mask = NewMask(cv.width, cv.height);
  FillPolygon(mask, InPixels(units, u), 1);
  const double texel = 0.45 * u;
  PaintShaded(cv, mask, 0, 0, [&](int x, int y) { return RockColour(int(x / texel), int(y / texel)); });
}

// The yellow and black edge of a landing pad, `w` units wide.
void PadStripes(Canvas& cv, double ux, double uy, double w, double u) {
  FillRect(cv, int(ux * u), int(uy * u), int(w * u), int(3 * u), Rgb(40, 40, 48));
  for (double sx = ux; sx < ux + w; sx += 4)
    FillPolygon(cv, InPixels({{sx, uy}, {sx + 2, uy}, {sx + 1, uy + 3}, {sx - 1, uy + 3}}, u), pal::HAZARD);
  FillRect(cv, int(ux * u), int((uy + 3) * u), int(w * u), int(u), Rgb(20, 20, 26));
}

// Clears everything outside the rounded square and darkens a thin rim inside
// it, so that the icon stands out on light and dark menus alike.
void CutToTile(Canvas& cv, double u) {
  for (int y = 0; y < cv.height; ++y)
    for (int x = 0; x < cv.width; ++x) {
      double d = TileDistance((x + 0.5) / u, (y + 0.5) / u);
      if (d >= 0) SetPixel(cv, x, y, KEY_COLOUR);
      else if (d > -1.2) SetPixel(cv, x, y, Darken(GetPixel(cv, x, y), 0.55));
    }
}

// The craft, flying right and climbing a little, centred on (ux, uy).
void Craft(Canvas& cv, double ux, double uy, double widthUnits, double u) {
  Canvas craft = RenderCraftSide(widthUnits * u / 100, false, -0.14, 22);
  OutlineSprite(craft, 0, 0, craft.width, craft.height, pal::OUTLINE);
  BlitKeyed(cv, craft, int(ux * u - craft.width / 2.0), int(uy * u - craft.height / 2.0));
}

// The game: the craft in a cave between a stone ceiling and a floor with a
// landing pad.
Canvas DrawGameIcon(int side) {
  const double u = side / 64.0;
  Canvas cv = MakeCanvas(side, side, 0);
  GradientV(cv, 0, 0, side, side, Rgb(40, 46, 92), Rgb(8, 10, 24));
  FillRock(cv, {{0, 0}, {64, 0}, {64, 15}, {55, 19}, {47, 13}, {37, 18}, {27, 12}, {16, 17}, {8, 12}, {0, 15}}, u);
  FillRock(cv, {{0, 64}, {64, 64}, {64, 47}, {54, 44}, {46, 50}, {37, 50}, {37, 51}, {14, 51}, {10, 46}, {0, 49}},
           u);
  PadStripes(cv, 15, 47, 21, u);
  Glow(cv, 18 * u, 35 * u, 14 * u, Rgb(255, 150, 40), 0.45, KEY_COLOUR);
  Craft(cv, 34, 33, 46, u);
  CutToTile(cv, u);
  return cv;
}

// The editor: cells of a map under construction on a grid, and the editor's
// mouse pointer setting one of them.
Canvas DrawEditorIcon(int side) {
  const double u = side / 64.0;
  Canvas cv = MakeCanvas(side, side, 0);
  GradientV(cv, 0, 0, side, side, Rgb(22, 44, 84), Rgb(10, 20, 44));
  const double cell = 9.5, origin = 3.5;
  auto cellBox = [&](int cx, int cy) {
    double x = origin + cx * cell, y = origin + cy * cell;
    return std::vector<PointF>{{x, y}, {x + cell, y}, {x + cell, y + cell}, {x, y + cell}};
  };
  for (int cx = 0; cx < 6; ++cx) FillRock(cv, cellBox(cx, 5), u);
  for (int cy = 0; cy < 5; ++cy) FillRock(cv, cellBox(0, cy), u);
  FillRock(cv, cellBox(1, 0), u);
  FillRock(cv, cellBox(4, 4), u);
  PadStripes(cv, origin + 2 * cell, origin + 5 * cell - 4, cell, u);
  for (int i = 0; i <= 6; ++i) {
    const double at = (origin + i * cell) * u;
    DrawLine(cv, at, 0, at, side - 1, Rgb(120, 170, 230), std::max(1.0, 0.5 * u));
    DrawLine(cv, 0, at, side - 1, at, Rgb(120, 170, 230), std::max(1.0, 0.5 * u));
  }
  Craft(cv, 38, 26, 30, u);
  // The editor's own pointer picture, enlarged without smoothing.
  const Canvas pointer = MakeEditorPictures()[0];
  const int factor = std::max(1, int(24 * u / pointer.height));
  BlitKeyed(cv, ScaleUp(pointer, factor), int(36 * u), int(34 * u));
  CutToTile(cv, u);
  return cv;
}

// Each output pixel takes the mean colour of the drawn pixels under it and
// their share as its alpha; transparent pixels come out black.
RgbaPicture Reduce(const Canvas& cv, int factor) {
  RgbaPicture out;
  out.width = cv.width / factor;
  out.height = cv.height / factor;
  out.rgba.reserve(size_t(out.width) * out.height * 4);
  for (int y = 0; y < out.height; ++y)
    for (int x = 0; x < out.width; ++x) {
      int r = 0, g = 0, b = 0, drawn = 0;
      for (int sy = y * factor; sy < (y + 1) * factor; ++sy)
        for (int sx = x * factor; sx < (x + 1) * factor; ++sx) {
          uint32_t c = GetPixel(cv, sx, sy);
          if (c == KEY_COLOUR) continue;
          r += ColR(c);
          g += ColG(c);
          b += ColB(c);
          ++drawn;
        }
      const int samples = factor * factor, half = drawn / 2;
      out.rgba.push_back(uint8_t(drawn ? (r + half) / drawn : 0));
      out.rgba.push_back(uint8_t(drawn ? (g + half) / drawn : 0));
      out.rgba.push_back(uint8_t(drawn ? (b + half) / drawn : 0));
      out.rgba.push_back(uint8_t((drawn * 255 + samples / 2) / samples));
    }
  return out;
}

}  // namespace

RgbaPicture MakeIcon(Icon icon, int size) {
  const int side = size * SUPERSAMPLE;
  return Reduce(icon == Icon::GAME ? DrawGameIcon(side) : DrawEditorIcon(side), SUPERSAMPLE);
}
