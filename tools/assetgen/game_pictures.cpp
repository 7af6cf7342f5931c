// The game's pictures, slots 0..17 of vantor.pak, and the drawing helpers
// their makers share.
#include <algorithm>
#include <cmath>

#include "game_art.h"

Canvas NewMask(int w, int h) { return MakeCanvas(w, h, 0); }

void PaintShaded(Canvas& dst, const Canvas& mask, int x, int y, const std::function<uint32_t(int, int)>& shade) {
  for (int my = 0; my < mask.height; ++my)
    for (int mx = 0; mx < mask.width; ++mx)
      if (mask.pixels[my * mask.width + mx] != 0) SetPixel(dst, x + mx, y + my, shade(mx, my));
}

void OutlineSprite(Canvas& cv, int x, int y, int w, int h, uint32_t outline, uint32_t key) {
  Canvas src = CopyRegion(cv, x, y, w, h);
  auto solid = [&](int px, int py) {
    uint32_t c = GetPixel(src, px, py);
    return c != key && !(px < 0 || py < 0 || px >= w || py >= h);
  };
  for (int py = 0; py < h; ++py)
    for (int px = 0; px < w; ++px)
      if (GetPixel(src, px, py) == key &&
          (solid(px - 1, py) || solid(px + 1, py) || solid(px, py - 1) || solid(px, py + 1)))
        SetPixel(cv, x + px, y + py, outline);
}

PointF Xform::Apply(PointF p) const {
  double px = (flip ? -p.x : p.x) * scale, py = p.y * scale;
  double c = std::cos(angle), s = std::sin(angle);
  return {ox + px * c - py * s, oy + px * s + py * c};
}

void FillPolyX(Canvas& cv, const Xform& xf, const std::vector<PointF>& pts, uint32_t c) {
  std::vector<PointF> out;
  out.reserve(pts.size());
  for (const PointF& p : pts) out.push_back(xf.Apply(p));
  FillPolygon(cv, out, c);
}

void ShadePolyX(Canvas& cv, const Xform& xf, const std::vector<PointF>& pts, uint32_t top, uint32_t bottom) {
  Canvas mask = NewMask(cv.width, cv.height);
  FillPolyX(mask, xf, pts, 1);
  int y0 = cv.height, y1 = -1;
  for (int y = 0; y < cv.height; ++y)
    for (int x = 0; x < cv.width; ++x)
      if (mask.pixels[y * cv.width + x]) {
        y0 = std::min(y0, y);
        y1 = std::max(y1, y);
      }
  PaintShaded(cv, mask, 0, 0, [&](int, int y) {
    return Mix(top, bottom, y1 > y0 ? static_cast<double>(y - y0) / (y1 - y0) : 0);
  });
}

void FillEllipseX(Canvas& cv, const Xform& xf, double cx, double cy, double rx, double ry, uint32_t c) {
  std::vector<PointF> pts;
  const int n = 32;
  for (int i = 0; i < n; ++i) {
    double a = 2 * M_PI * i / n;
    pts.push_back({cx + rx * std::cos(a), cy + ry * std::sin(a)});
  }
  FillPolyX(cv, xf, pts, c);
}

void DrawLineX(Canvas& cv, const Xform& xf, PointF a, PointF b, uint32_t c, double thick) {
  PointF p = xf.Apply(a), q = xf.Apply(b);
  DrawLine(cv, p.x, p.y, q.x, q.y, c, thick * xf.scale);
}

void Glow(Canvas& cv, double cx, double cy, double r, uint32_t c, double strength, uint32_t skipKey) {
  for (int y = static_cast<int>(cy - r - 1); y <= static_cast<int>(cy + r + 1); ++y)
    for (int x = static_cast<int>(cx - r - 1); x <= static_cast<int>(cx + r + 1); ++x) {
      uint32_t p = GetPixel(cv, x, y);
      if (p == skipKey || x < 0 || y < 0 || x >= cv.width || y >= cv.height) continue;
      double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy) / r;
      if (d >= 1) continue;
      double a = strength * (1 - d) * (1 - d);
      SetPixel(cv, x, y,
               Rgb(ColR(p) + static_cast<int>(ColR(c) * a), ColG(p) + static_cast<int>(ColG(c) * a),
                   ColB(p) + static_cast<int>(ColB(c) * a)));
    }
}

Canvas ScaleUp(const Canvas& src, int factor) {
  Canvas out = MakeCanvas(src.width * factor, src.height * factor, KEY_COLOUR);
  for (int y = 0; y < out.height; ++y)
    for (int x = 0; x < out.width; ++x) out.pixels[y * out.width + x] = src.pixels[(y / factor) * src.width + x / factor];
  return out;
}

Canvas SheetFrame(const Canvas& sheet, int w, int h, int perRow, int frame) {
  return CopyRegion(sheet, (frame % perRow) * w, (frame / perRow) * h, w, h);
}

std::vector<Canvas> MakeGamePictures() {
  std::vector<Canvas> pics;
  for (int code = 0; code <= 6; ++code) pics.push_back(MakeTerrainSheet(code));
  pics.push_back(MakeShot());
  pics.push_back(MakeCraftSheet());
  pics.push_back(MakeBackdropTile());
  pics.push_back(MakeObjectSheet(0));
  pics.push_back(MakeObjectSheet(1));
  pics.push_back(MakeObjectSheet(3));
  pics.push_back(MakeStatusPanel());
  pics.push_back(MakeTitleScreen());
  pics.push_back(MakeEndPicture());
  pics.push_back(MakeHelpScreen());
  pics.push_back(MakeLogo());
  return pics;
}
