// Drawing kit for the built-in pictures: plain functions on a Canvas.
// Everything is deterministic (no clock, no unseeded randomness), so the same
// sources always give byte-identical pictures.
//
// Colours (0x00BBGGRR, red in the low byte):
//   Rgb(r, g, b)                    make a colour; KEY_COLOUR = magenta (255, 0, 255)
//   ColR / ColG / ColB (c)          channels
//   Mix(a, b, t)                    a..b, t 0..1; Lighten(c, t) / Darken(c, t) toward white / black
//   Scale(c, f)                     multiply channels by f (clamped)
// Canvas:
//   MakeCanvas(w, h, fill)          new canvas filled with one colour
//   SetPixel / GetPixel             clipped; GetPixel outside returns KEY_COLOUR
//   BlendPixel(cv, x, y, c, a)      mix c over the pixel with opacity a (0..1)
//   FillRect / DrawRect(.., thick)  filled box / outline of `thick` pixels inside the box
//   DrawLine(cv, x0, y0, x1, y1, c, thick)   end points are pixel indices; thick 1 = Bresenham,
//                                            thicker = round-ended
//   FillCircle / DrawCircle, FillEllipse / DrawEllipse (centre, radii, doubles)
//   FillPolygon(cv, {{x, y}, ...}, c)        even-odd scanline fill
//     (circles, ellipses and polygons use continuous coordinates: pixel (x, y) covers
//      [x, x+1) x [y, y+1), so a circle centred on pixel 5 has cx = 5.5; a pixel is set
//      when its centre is inside; no anti-aliasing, so edges stay clean on magenta)
//   GradientV / GradientH (box, from, to), GradientRadial(cx, cy, r, inner, outer)
//   Blit(dst, src, x, y)            opaque copy; BlitKeyed(dst, src, x, y, key) skips key pixels
//   CopyRegion(src, x, y, w, h)     cut out a part (outside pixels become KEY_COLOUR)
//   ReplaceColour(cv, from, to)
// Texture helpers:
//   Hash2(x, y, seed)               32-bit hash; Noise01(x, y, seed) in 0..1
//   SmoothNoise(x, y, period, seed) value noise 0..1, tiles with `period` (cells of 1 unit)
//   Fractal(x, y, period, octaves, seed)  sum of SmoothNoise octaves, 0..1, tiles with period
// Text (SDL2_ttf, DejaVu fonts of fonts-dejavu-core):
//   RenderTextMask(text, size, font)         alpha mask of UTF-8 text
//   TextWidth(text, size, font)
//   PaintMask(cv, mask, x, y, c)             blend a mask in a colour (solid=true: threshold, no blending)
//   PaintMaskGradient(cv, mask, x, y, top, bottom)
//   GrowMask(mask, r)                        mask dilated by r pixels (for outlines); bigger by r each side
//   DrawText(cv, x, y, text, size, c, font, solid)  -> width drawn
//   DrawTextCentered(cv, cx, y, text, size, c, font, solid)
//   DrawTextOutlined(cv, x, y, text, size, fill, outline, r, font, solid)
// Files:
//   EncodeBmp24 (declared in assets.h): 24-bit bottom-up BMP, rows padded to 4 bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "assets.h"

constexpr uint32_t KEY_COLOUR = 0x00FF00FF;

enum Font { FONT_SANS, FONT_SANS_BOLD, FONT_SERIF, FONT_MONO };

struct PointF {
  double x;
  double y;
};

struct Mask {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> alpha;
};

constexpr uint32_t Rgb(int r, int g, int b) {
  auto clamp = [](int v) { return static_cast<uint32_t>(v < 0 ? 0 : v > 255 ? 255 : v); };
  return clamp(r) | clamp(g) << 8 | clamp(b) << 16;
}
int ColR(uint32_t c);
int ColG(uint32_t c);
int ColB(uint32_t c);
uint32_t Mix(uint32_t a, uint32_t b, double t);
uint32_t Lighten(uint32_t c, double t);
uint32_t Darken(uint32_t c, double t);
uint32_t Scale(uint32_t c, double f);

Canvas MakeCanvas(int width, int height, uint32_t fill);
void SetPixel(Canvas& cv, int x, int y, uint32_t c);
uint32_t GetPixel(const Canvas& cv, int x, int y);
void BlendPixel(Canvas& cv, int x, int y, uint32_t c, double alpha);
void FillRect(Canvas& cv, int x, int y, int w, int h, uint32_t c);
void DrawRect(Canvas& cv, int x, int y, int w, int h, uint32_t c, int thick = 1);
void DrawLine(Canvas& cv, double x0, double y0, double x1, double y1, uint32_t c, double thick = 1);
void FillCircle(Canvas& cv, double cx, double cy, double r, uint32_t c);
void DrawCircle(Canvas& cv, double cx, double cy, double r, uint32_t c, double thick = 1);
void FillEllipse(Canvas& cv, double cx, double cy, double rx, double ry, uint32_t c);
void DrawEllipse(Canvas& cv, double cx, double cy, double rx, double ry, uint32_t c, double thick = 1);
void FillPolygon(Canvas& cv, const std::vector<PointF>& points, uint32_t c);
void GradientV(Canvas& cv, int x, int y, int w, int h, uint32_t top, uint32_t bottom);
void GradientH(Canvas& cv, int x, int y, int w, int h, uint32_t left, uint32_t right);
void GradientRadial(Canvas& cv, double cx, double cy, double r, uint32_t inner, uint32_t outer);
void Blit(Canvas& dst, const Canvas& src, int x, int y);
void BlitKeyed(Canvas& dst, const Canvas& src, int x, int y, uint32_t key = KEY_COLOUR);
Canvas CopyRegion(const Canvas& src, int x, int y, int w, int h);
void ReplaceColour(Canvas& cv, uint32_t from, uint32_t to);

uint32_t Hash2(int x, int y, uint32_t seed);
double Noise01(int x, int y, uint32_t seed);
double SmoothNoise(double x, double y, int period, uint32_t seed);
double Fractal(double x, double y, int period, int octaves, uint32_t seed);

Mask RenderTextMask(const std::string& text, int size, Font font);
int TextWidth(const std::string& text, int size, Font font);
void PaintMask(Canvas& cv, const Mask& mask, int x, int y, uint32_t c, bool solid = false);
void PaintMaskGradient(Canvas& cv, const Mask& mask, int x, int y, uint32_t top, uint32_t bottom,
                       bool solid = false);
Mask GrowMask(const Mask& mask, int r);
int DrawText(Canvas& cv, int x, int y, const std::string& text, int size, uint32_t c,
             Font font = FONT_SANS, bool solid = false);
int DrawTextCentered(Canvas& cv, int cx, int y, const std::string& text, int size, uint32_t c,
                     Font font = FONT_SANS, bool solid = false);
int DrawTextOutlined(Canvas& cv, int x, int y, const std::string& text, int size, uint32_t fill,
                     uint32_t outline, int r, Font font = FONT_SANS_BOLD, bool solid = false);
