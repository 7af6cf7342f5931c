// Drawing kit for the built-in pictures; see canvas.h for the list of functions.
#include "canvas.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_ttf.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <stdexcept>
#include <utility>

namespace {

int Clamp255(double v) {
  if (v <= 0) return 0;
  if (v >= 255) return 255;
  return static_cast<int>(std::lround(v));
}

bool Inside(const Canvas& cv, int x, int y) {
  return x >= 0 && y >= 0 && x < cv.width && y < cv.height;
}

// Visits every pixel of the box [x0, x1) x [y0, y1) clipped to the canvas.
template <typename F>
void ForBox(const Canvas& cv, int x0, int y0, int x1, int y1, F f) {
  x0 = std::max(x0, 0);
  y0 = std::max(y0, 0);
  x1 = std::min(x1, cv.width);
  y1 = std::min(y1, cv.height);
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) f(x, y);
}

double Smooth(double t) { return t * t * (3 - 2 * t); }

int Wrap(int v, int period) {
  int m = v % period;
  return m < 0 ? m + period : m;
}

const char* FontPath(Font font) {
  switch (font) {
    case FONT_SANS_BOLD: return "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
    case FONT_SERIF: return "/usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf";
    case FONT_MONO: return "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";
    default: return "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
  }
}

// Fonts stay open for the whole run of the generator; a missing font is an
// error, so a pack is never built with its texts silently left out.
TTF_Font* OpenFont(Font font, int size) {
  // Never destroyed: the fonts stay reachable until the process ends.
  static auto& cache = *new std::map<std::pair<int, int>, TTF_Font*>;
  auto key = std::make_pair(static_cast<int>(font), size);
  auto it = cache.find(key);
  if (it != cache.end()) return it->second;
  if (!TTF_WasInit() && TTF_Init() != 0)
    throw std::runtime_error(std::string("TTF_Init: ") + TTF_GetError());
  TTF_Font* f = TTF_OpenFont(FontPath(font), size);
  if (!f) throw std::runtime_error(std::string("cannot open font ") + FontPath(font));
  TTF_SetFontHinting(f, TTF_HINTING_NORMAL);
  cache[key] = f;
  return f;
}

void PaintMaskWith(Canvas& cv, const Mask& mask, int x, int y, bool solid,
                   uint32_t top, uint32_t bottom) {
  for (int my = 0; my < mask.height; ++my) {
    double t = mask.height > 1 ? static_cast<double>(my) / (mask.height - 1) : 0;
    uint32_t c = Mix(top, bottom, t);
    for (int mx = 0; mx < mask.width; ++mx) {
      int a = mask.alpha[my * mask.width + mx];
      if (solid) {
        if (a >= 128) SetPixel(cv, x + mx, y + my, c);
      } else if (a > 0) {
        BlendPixel(cv, x + mx, y + my, c, a / 255.0);
      }
    }
  }
}

void PutLe16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(v & 0xFF);
  out.push_back((v >> 8) & 0xFF);
}

void PutLe32(std::vector<uint8_t>& out, uint32_t v) {
  PutLe16(out, v & 0xFFFF);
  PutLe16(out, v >> 16);
}

}  // namespace

int ColR(uint32_t c) { return c & 0xFF; }
int ColG(uint32_t c) { return (c >> 8) & 0xFF; }
int ColB(uint32_t c) { return (c >> 16) & 0xFF; }

uint32_t Mix(uint32_t a, uint32_t b, double t) {
  t = std::clamp(t, 0.0, 1.0);
  return Rgb(Clamp255(ColR(a) + (ColR(b) - ColR(a)) * t), Clamp255(ColG(a) + (ColG(b) - ColG(a)) * t),
             Clamp255(ColB(a) + (ColB(b) - ColB(a)) * t));
}

uint32_t Lighten(uint32_t c, double t) { return Mix(c, Rgb(255, 255, 255), t); }
uint32_t Darken(uint32_t c, double t) { return Mix(c, Rgb(0, 0, 0), t); }

uint32_t Scale(uint32_t c, double f) {
  return Rgb(Clamp255(ColR(c) * f), Clamp255(ColG(c) * f), Clamp255(ColB(c) * f));
}

Canvas MakeCanvas(int width, int height, uint32_t fill) {
  Canvas cv;
  cv.width = std::max(width, 0);
  cv.height = std::max(height, 0);
  cv.pixels.assign(static_cast<size_t>(cv.width) * cv.height, fill);
  return cv;
}

void SetPixel(Canvas& cv, int x, int y, uint32_t c) {
  if (Inside(cv, x, y)) cv.pixels[static_cast<size_t>(y) * cv.width + x] = c;
}

uint32_t GetPixel(const Canvas& cv, int x, int y) {
  return Inside(cv, x, y) ? cv.pixels[static_cast<size_t>(y) * cv.width + x] : KEY_COLOUR;
}

void BlendPixel(Canvas& cv, int x, int y, uint32_t c, double alpha) {
  if (!Inside(cv, x, y)) return;
  uint32_t& p = cv.pixels[static_cast<size_t>(y) * cv.width + x];
  p = Mix(p, c, alpha);
}

void FillRect(Canvas& cv, int x, int y, int w, int h, uint32_t c) {
  ForBox(cv, x, y, x + w, y + h, [&](int px, int py) { SetPixel(cv, px, py, c); });
}

void DrawRect(Canvas& cv, int x, int y, int w, int h, uint32_t c, int thick) {
  FillRect(cv, x, y, w, thick, c);
  FillRect(cv, x, y + h - thick, w, thick, c);
  FillRect(cv, x, y, thick, h, c);
  FillRect(cv, x + w - thick, y, thick, h, c);
}

void DrawLine(Canvas& cv, double x0, double y0, double x1, double y1, uint32_t c, double thick) {
  if (thick <= 1) {
    // Bresenham between the rounded end points: one pixel wide, no gaps.
    int ax = static_cast<int>(std::lround(x0)), ay = static_cast<int>(std::lround(y0));
    int bx = static_cast<int>(std::lround(x1)), by = static_cast<int>(std::lround(y1));
    int dx = std::abs(bx - ax), dy = -std::abs(by - ay);
    int sx = ax < bx ? 1 : -1, sy = ay < by ? 1 : -1;
    int err = dx + dy;
    for (;;) {
      SetPixel(cv, ax, ay, c);
      if (ax == bx && ay == by) break;
      int e2 = 2 * err;
      if (e2 >= dy) { err += dy; ax += sx; }
      if (e2 <= dx) { err += dx; ay += sy; }
    }
    return;
  }
  // Thick: every pixel whose centre lies within thick/2 of the segment
  // between the pixel centres of the end points (round ends).
  double r = thick / 2;
  double dx = x1 - x0, dy = y1 - y0;
  double len2 = dx * dx + dy * dy;
  ForBox(cv, static_cast<int>(std::floor(std::min(x0, x1) - r - 1)), static_cast<int>(std::floor(std::min(y0, y1) - r - 1)),
         static_cast<int>(std::ceil(std::max(x0, x1) + r + 2)), static_cast<int>(std::ceil(std::max(y0, y1) + r + 2)),
         [&](int px, int py) {
           double t = len2 > 0 ? ((px - x0) * dx + (py - y0) * dy) / len2 : 0;
           t = std::clamp(t, 0.0, 1.0);
           double ex = x0 + t * dx - px, ey = y0 + t * dy - py;
           if (ex * ex + ey * ey <= r * r) SetPixel(cv, px, py, c);
         });
}

void FillEllipse(Canvas& cv, double cx, double cy, double rx, double ry, uint32_t c) {
  if (rx <= 0 || ry <= 0) return;
  ForBox(cv, static_cast<int>(cx - rx - 1), static_cast<int>(cy - ry - 1), static_cast<int>(cx + rx + 2),
         static_cast<int>(cy + ry + 2), [&](int px, int py) {
           double ux = (px + 0.5 - cx) / rx, uy = (py + 0.5 - cy) / ry;
           if (ux * ux + uy * uy <= 1.0) SetPixel(cv, px, py, c);
         });
}

void DrawEllipse(Canvas& cv, double cx, double cy, double rx, double ry, uint32_t c, double thick) {
  if (rx <= 0 || ry <= 0) return;
  double irx = rx - thick, iry = ry - thick;
  ForBox(cv, static_cast<int>(cx - rx - 1), static_cast<int>(cy - ry - 1), static_cast<int>(cx + rx + 2),
         static_cast<int>(cy + ry + 2), [&](int px, int py) {
           double ux = (px + 0.5 - cx) / rx, uy = (py + 0.5 - cy) / ry;
           if (ux * ux + uy * uy > 1.0) return;
           if (irx > 0 && iry > 0) {
             double vx = (px + 0.5 - cx) / irx, vy = (py + 0.5 - cy) / iry;
             if (vx * vx + vy * vy < 1.0) return;
           }
           SetPixel(cv, px, py, c);
         });
}

void FillCircle(Canvas& cv, double cx, double cy, double r, uint32_t c) { FillEllipse(cv, cx, cy, r, r, c); }

void DrawCircle(Canvas& cv, double cx, double cy, double r, uint32_t c, double thick) {
  DrawEllipse(cv, cx, cy, r, r, c, thick);
}

void FillPolygon(Canvas& cv, const std::vector<PointF>& points, uint32_t c) {
  if (points.size() < 3) return;
  double minY = points[0].y, maxY = points[0].y;
  for (const PointF& p : points) {
    minY = std::min(minY, p.y);
    maxY = std::max(maxY, p.y);
  }
  int y0 = std::max(0, static_cast<int>(std::floor(minY)));
  int y1 = std::min(cv.height - 1, static_cast<int>(std::ceil(maxY)));
  std::vector<double> xs;
  for (int y = y0; y <= y1; ++y) {
    double sy = y + 0.5;
    xs.clear();
    for (size_t i = 0; i < points.size(); ++i) {
      const PointF& a = points[i];
      const PointF& b = points[(i + 1) % points.size()];
      if ((a.y <= sy && b.y > sy) || (b.y <= sy && a.y > sy))
        xs.push_back(a.x + (sy - a.y) / (b.y - a.y) * (b.x - a.x));
    }
    std::sort(xs.begin(), xs.end());
    for (size_t i = 0; i + 1 < xs.size(); i += 2) {
      int xa = static_cast<int>(std::ceil(xs[i] - 0.5));
      int xb = static_cast<int>(std::ceil(xs[i + 1] - 0.5));
      for (int x = xa; x < xb; ++x) SetPixel(cv, x, y, c);
    }
  }
}

void GradientV(Canvas& cv, int x, int y, int w, int h, uint32_t top, uint32_t bottom) {
  ForBox(cv, x, y, x + w, y + h, [&](int px, int py) {
    SetPixel(cv, px, py, Mix(top, bottom, h > 1 ? static_cast<double>(py - y) / (h - 1) : 0));
  });
}

void GradientH(Canvas& cv, int x, int y, int w, int h, uint32_t left, uint32_t right) {
  ForBox(cv, x, y, x + w, y + h, [&](int px, int py) {
    SetPixel(cv, px, py, Mix(left, right, w > 1 ? static_cast<double>(px - x) / (w - 1) : 0));
  });
}

void GradientRadial(Canvas& cv, double cx, double cy, double r, uint32_t inner, uint32_t outer) {
  if (r <= 0) return;
  ForBox(cv, static_cast<int>(cx - r - 1), static_cast<int>(cy - r - 1), static_cast<int>(cx + r + 2),
         static_cast<int>(cy + r + 2), [&](int px, int py) {
           double d = std::hypot(px + 0.5 - cx, py + 0.5 - cy) / r;
           if (d <= 1.0) SetPixel(cv, px, py, Mix(inner, outer, d));
         });
}

void Blit(Canvas& dst, const Canvas& src, int x, int y) {
  for (int sy = 0; sy < src.height; ++sy)
    for (int sx = 0; sx < src.width; ++sx) SetPixel(dst, x + sx, y + sy, src.pixels[sy * src.width + sx]);
}

void BlitKeyed(Canvas& dst, const Canvas& src, int x, int y, uint32_t key) {
  for (int sy = 0; sy < src.height; ++sy)
    for (int sx = 0; sx < src.width; ++sx) {
      uint32_t c = src.pixels[sy * src.width + sx];
      if (c != key) SetPixel(dst, x + sx, y + sy, c);
    }
}

Canvas CopyRegion(const Canvas& src, int x, int y, int w, int h) {
  Canvas out = MakeCanvas(w, h, KEY_COLOUR);
  for (int py = 0; py < h; ++py)
    for (int px = 0; px < w; ++px) out.pixels[py * w + px] = GetPixel(src, x + px, y + py);
  return out;
}

void ReplaceColour(Canvas& cv, uint32_t from, uint32_t to) {
  std::replace(cv.pixels.begin(), cv.pixels.end(), from, to);
}

uint32_t Hash2(int x, int y, uint32_t seed) {
  uint32_t h = seed * 0x9E3779B9u ^ static_cast<uint32_t>(x) * 0x85EBCA6Bu ^ static_cast<uint32_t>(y) * 0xC2B2AE35u;
  h ^= h >> 16;
  h *= 0x7FEB352Du;
  h ^= h >> 15;
  h *= 0x846CA68Bu;
  h ^= h >> 16;
  return h;
}

double Noise01(int x, int y, uint32_t seed) { return (Hash2(x, y, seed) & 0xFFFFFF) / 16777215.0; }

double SmoothNoise(double x, double y, int period, uint32_t seed) {
  period = std::max(period, 1);
  int ix = static_cast<int>(std::floor(x)), iy = static_cast<int>(std::floor(y));
  double fx = Smooth(x - ix), fy = Smooth(y - iy);
  int x0 = Wrap(ix, period), x1 = Wrap(ix + 1, period);
  int y0 = Wrap(iy, period), y1 = Wrap(iy + 1, period);
  double a = Noise01(x0, y0, seed), b = Noise01(x1, y0, seed);
  double c = Noise01(x0, y1, seed), d = Noise01(x1, y1, seed);
  return (a + (b - a) * fx) * (1 - fy) + (c + (d - c) * fx) * fy;
}

double Fractal(double x, double y, int period, int octaves, uint32_t seed) {
  double sum = 0, weight = 1, total = 0;
  for (int i = 0; i < octaves; ++i) {
    double f = 1 << i;
    sum += SmoothNoise(x * f, y * f, period << i, seed + i * 101) * weight;
    total += weight;
    weight /= 2;
  }
  return total > 0 ? sum / total : 0;
}

Mask RenderTextMask(const std::string& text, int size, Font font) {
  Mask mask;
  if (text.empty()) return mask;
  SDL_Color white{255, 255, 255, 255};
  SDL_Surface* s = TTF_RenderUTF8_Blended(OpenFont(font, size), text.c_str(), white);
  if (!s) throw std::runtime_error(std::string("TTF_RenderUTF8_Blended: ") + TTF_GetError());
  SDL_Surface* argb = SDL_ConvertSurfaceFormat(s, SDL_PIXELFORMAT_ARGB8888, 0);
  SDL_FreeSurface(s);
  if (!argb) throw std::runtime_error("cannot convert text surface");
  mask.width = argb->w;
  mask.height = argb->h;
  mask.alpha.resize(static_cast<size_t>(mask.width) * mask.height);
  SDL_LockSurface(argb);
  for (int y = 0; y < argb->h; ++y) {
    const uint32_t* row = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(argb->pixels) + y * argb->pitch);
    for (int x = 0; x < argb->w; ++x) mask.alpha[y * mask.width + x] = row[x] >> 24;
  }
  SDL_UnlockSurface(argb);
  SDL_FreeSurface(argb);
  return mask;
}

int TextWidth(const std::string& text, int size, Font font) {
  int w = 0, h = 0;
  if (text.empty()) return 0;
  TTF_SizeUTF8(OpenFont(font, size), text.c_str(), &w, &h);
  return w;
}

void PaintMask(Canvas& cv, const Mask& mask, int x, int y, uint32_t c, bool solid) {
  PaintMaskWith(cv, mask, x, y, solid, c, c);
}

void PaintMaskGradient(Canvas& cv, const Mask& mask, int x, int y, uint32_t top, uint32_t bottom, bool solid) {
  PaintMaskWith(cv, mask, x, y, solid, top, bottom);
}

Mask GrowMask(const Mask& mask, int r) {
  Mask out;
  out.width = mask.width + 2 * r;
  out.height = mask.height + 2 * r;
  out.alpha.assign(static_cast<size_t>(out.width) * out.height, 0);
  for (int y = 0; y < out.height; ++y)
    for (int x = 0; x < out.width; ++x) {
      int best = 0;
      for (int dy = -r; dy <= r && best < 255; ++dy)
        for (int dx = -r; dx <= r; ++dx) {
          if (dx * dx + dy * dy > r * r + r) continue;
          int sx = x - r + dx, sy = y - r + dy;
          if (sx < 0 || sy < 0 || sx >= mask.width || sy >= mask.height) continue;
          best = std::max(best, static_cast<int>(mask.alpha[sy * mask.width + sx]));
        }
      out.alpha[y * out.width + x] = static_cast<uint8_t>(best);
    }
  return out;
}

int DrawText(Canvas& cv, int x, int y, const std::string& text, int size, uint32_t c, Font font, bool solid) {
  Mask m = RenderTextMask(text, size, font);
  PaintMask(cv, m, x, y, c, solid);
  return m.width;
}

int DrawTextCentered(Canvas& cv, int cx, int y, const std::string& text, int size, uint32_t c, Font font,
                     bool solid) {
  Mask m = RenderTextMask(text, size, font);
  PaintMask(cv, m, cx - m.width / 2, y, c, solid);
  return m.width;
}

int DrawTextOutlined(Canvas& cv, int x, int y, const std::string& text, int size, uint32_t fill,
                     uint32_t outline, int r, Font font, bool solid) {
  Mask m = RenderTextMask(text, size, font);
  PaintMask(cv, GrowMask(m, r), x - r, y - r, outline, solid);
  PaintMask(cv, m, x, y, fill, solid);
  return m.width;
}

std::vector<uint8_t> EncodeBmp24(const Canvas& canvas) {
  const int w = canvas.width, h = canvas.height;
  const uint32_t rowBytes = (static_cast<uint32_t>(w) * 3 + 3) & ~3u;
  const uint32_t imageBytes = rowBytes * static_cast<uint32_t>(h);
  std::vector<uint8_t> out;
  out.reserve(54 + imageBytes);
  out.push_back('B');
  out.push_back('M');
  PutLe32(out, 54 + imageBytes);  // file size
  PutLe32(out, 0);                // reserved
  PutLe32(out, 54);               // offset of the pixels
  PutLe32(out, 40);               // BITMAPINFOHEADER
  PutLe32(out, static_cast<uint32_t>(w));
  PutLe32(out, static_cast<uint32_t>(h));  // positive: rows stored bottom-up
  PutLe16(out, 1);                         // planes
  PutLe16(out, 24);                        // bits per pixel
  PutLe32(out, 0);                         // no compression
  PutLe32(out, imageBytes);
  PutLe32(out, 2835);  // 72 dpi
  PutLe32(out, 2835);
  PutLe32(out, 0);
  PutLe32(out, 0);
  for (int y = h - 1; y >= 0; --y) {
    for (int x = 0; x < w; ++x) {
      uint32_t c = canvas.pixels[static_cast<size_t>(y) * w + x];
      out.push_back(static_cast<uint8_t>(ColB(c)));
      out.push_back(static_cast<uint8_t>(ColG(c)));
      out.push_back(static_cast<uint8_t>(ColR(c)));
    }
    for (uint32_t pad = static_cast<uint32_t>(w) * 3; pad < rowBytes; ++pad) out.push_back(0);
  }
  return out;
}
