// The status panel, title screen, end picture, help screen and logo (slots 13..17).
#include <algorithm>
#include <cmath>
#include <utility>

#include "game_art.h"

namespace {

constexpr uint32_t WHITE = Rgb(255, 255, 255);
constexpr uint32_t GOLD_TOP = Rgb(255, 240, 112);
constexpr uint32_t GOLD_BOTTOM = Rgb(240, 112, 16);

// ---------------------------------------------------------------- helpers

// Brushed metal: fine horizontal streaks over a vertical gradient.
void BrushedMetal(Canvas& cv, int x, int y, int w, int h, uint32_t top, uint32_t bottom, uint32_t seed) {
  for (int py = y; py < y + h; ++py) {
    uint32_t base = Mix(top, bottom, h > 1 ? static_cast<double>(py - y) / (h - 1) : 0);
    for (int px = x; px < x + w; ++px) {
      double streak = SmoothNoise(px / 23.0, py * 1.0, 1 << 20, seed) * 0.6 + Noise01(px, py, seed + 1) * 0.4;
      SetPixel(cv, px, py, Scale(base, 0.93 + 0.12 * streak));
    }
  }
}

// A raised (or, with sunk, pressed-in) bevel of `size` pixels around a box.
void Bevel(Canvas& cv, int x, int y, int w, int h, int size, bool sunk, double strength = 0.45) {
  for (int i = 0; i < size; ++i) {
    double a = strength * (1 - static_cast<double>(i) / size);
    uint32_t lite = WHITE, dark = 0;
    if (sunk) std::swap(lite, dark);
    for (int k = x + i; k < x + w - i; ++k) {
      BlendPixel(cv, k, y + i, lite, a);
      BlendPixel(cv, k, y + h - 1 - i, dark, a);
    }
    for (int k = y + i + 1; k < y + h - i - 1; ++k) {
      BlendPixel(cv, x + i, k, lite, a);
      BlendPixel(cv, x + w - 1 - i, k, dark, a);
    }
  }
}

void Rivet(Canvas& cv, int x, int y) {
  FillCircle(cv, x + 0.5, y + 0.5, 2.5, Rgb(30, 32, 40));
  FillCircle(cv, x + 0.5, y + 0.5, 1.8, Rgb(150, 156, 170));
  SetPixel(cv, x - 1, y - 1, Rgb(230, 236, 245));
}

// Darkens a box like tinted glass, with a thin light border.
void GlassPanel(Canvas& cv, int x, int y, int w, int h, uint32_t tint, double alpha, uint32_t border) {
  for (int py = y; py < y + h; ++py)
    for (int px = x; px < x + w; ++px) BlendPixel(cv, px, py, tint, alpha);
  DrawRect(cv, x, y, w, h, border, 2);
  DrawRect(cv, x + 2, y + 2, w - 4, h - 4, Darken(border, 0.6), 1);
}

// Slants a mask to the right toward its top (italic).
Mask Slant(const Mask& m, double shear) {
  int extra = static_cast<int>(std::ceil(m.height * shear));
  Mask out;
  out.width = m.width + extra;
  out.height = m.height;
  out.alpha.assign(static_cast<size_t>(out.width) * out.height, 0);
  for (int y = 0; y < m.height; ++y) {
    double shift = (m.height - 1 - y) * shear;
    int s0 = static_cast<int>(std::floor(shift));
    double f = shift - s0;
    for (int x = 0; x < m.width; ++x) {
      int a = m.alpha[y * m.width + x];
      if (!a) continue;
      int tx = x + s0;
      out.alpha[y * out.width + tx] = std::min(255, out.alpha[y * out.width + tx] + static_cast<int>(a * (1 - f)));
      if (tx + 1 < out.width)
        out.alpha[y * out.width + tx + 1] = std::min(255, out.alpha[y * out.width + tx + 1] + static_cast<int>(a * f));
    }
  }
  return out;
}

// Big headline: shadow, dark outline, light rim and a vertical gradient fill.
// On a keyed picture (keyed) the outline has hard edges, so that no soft
// pixel mixes with the transparent colour; the fill lies inside it.
void Headline(Canvas& cv, int cx, int y, const std::string& text, int size, uint32_t top, uint32_t bottom,
              double shear, int outline, bool keyed = false) {
  Mask m = Slant(RenderTextMask(text, size, FONT_SANS_BOLD), shear);
  int x = cx - m.width / 2;
  Mask thick = GrowMask(m, outline);
  // The drop shadow falls only on what is already drawn: on a keyed picture
  // it must not tint the transparent colour.
  Canvas before = cv;
  PaintMask(cv, GrowMask(m, outline + 2), x - outline - 2 + 5, y - outline - 2 + 6, Rgb(0, 0, 0));
  for (size_t i = 0; i < cv.pixels.size(); ++i)
    if (before.pixels[i] == KEY_COLOUR) cv.pixels[i] = KEY_COLOUR;
  PaintMask(cv, thick, x - outline, y - outline, Rgb(20, 12, 30), keyed);
  PaintMask(cv, GrowMask(m, 1), x - 1, y - 1, Lighten(top, 0.6));
  PaintMaskGradient(cv, m, x, y, top, bottom);
  // A shine across the upper half of the letters.
  Mask shine = m;
  for (int py = 0; py < shine.height; ++py)
    for (int px = 0; px < shine.width; ++px)
      if (py > shine.height * 0.48 || py < shine.height * 0.3) shine.alpha[py * shine.width + px] = 0;
      else shine.alpha[py * shine.width + px] = shine.alpha[py * shine.width + px] / 3;
  PaintMask(cv, shine, x, y, WHITE);
}

// A keyboard key cap with its label; returns its width.
int KeyCap(Canvas& cv, int x, int y, const std::string& label, int size = 15, int minWidth = 30) {
  int tw = TextWidth(label, size, FONT_SANS_BOLD);
  int w = std::max(minWidth, tw + 14), h = size + 13;
  FillRect(cv, x + 1, y + 2, w, h, Rgb(0, 0, 0));
  FillRect(cv, x, y, w, h, Rgb(30, 30, 40));
  GradientV(cv, x + 1, y + 1, w - 2, h - 2, Rgb(236, 238, 244), Rgb(168, 172, 186));
  GradientV(cv, x + 3, y + 2, w - 6, h - 7, Rgb(250, 250, 252), Rgb(206, 210, 220));
  DrawText(cv, x + (w - tw) / 2, y + 3, label, size, Rgb(30, 34, 50), FONT_SANS_BOLD);
  return w;
}

// Cave scenery: irregular rock masses with the wall's stone texture, lit rims.
void CaveRock(Canvas& cv, const std::function<bool(int, int)>& inside, double shade) {
  Canvas mask = NewMask(cv.width, cv.height);
  for (int y = 0; y < cv.height; ++y)
    for (int x = 0; x < cv.width; ++x)
      if (inside(x, y)) SetPixel(mask, x, y, 1);
  auto in = [&](int x, int y) { return GetPixel(mask, x, y) == 1; };
  for (int y = 0; y < cv.height; ++y)
    for (int x = 0; x < cv.width; ++x) {
      if (!in(x, y)) continue;
      uint32_t c = Scale(RockColour(x, y), shade);
      // Rim light on edges facing up or left, a dark seam on every edge.
      bool edge = !in(x - 1, y) || !in(x + 1, y) || !in(x, y - 1) || !in(x, y + 1);
      if (edge) c = Rgb(14, 12, 22);
      else if (!in(x, y - 2) || !in(x - 2, y)) c = Lighten(c, 0.35);
      else if (!in(x, y - 3)) c = Lighten(c, 0.15);
      SetPixel(cv, x, y, c);
    }
}

void Crystal(Canvas& cv, double x, double y, double size, uint32_t colour) {
  Glow(cv, x, y - size, size * 3, colour, 0.35, 0xFFFFFFFF);
  FillPolygon(cv, {{x - size * 0.5, y}, {x, y - size * 2}, {x + size * 0.5, y}}, Darken(colour, 0.3));
  FillPolygon(cv, {{x - size * 0.5, y}, {x, y - size * 2}, {x, y}}, Lighten(colour, 0.3));
  FillPolygon(cv, {{x + size * 0.2, y}, {x + size * 0.9, y - size * 1.2}, {x + size * 1.1, y}}, colour);
}

void StarField(Canvas& cv, int x, int y, int w, int h, int count, uint32_t seed) {
  for (int i = 0; i < count; ++i) {
    int sx = x + Hash2(i, 0, seed) % w, sy = y + Hash2(i, 1, seed) % h;
    int b = 80 + Hash2(i, 2, seed) % 150;
    uint32_t c = Rgb(b, b, std::min(255, b + 30));
    SetPixel(cv, sx, sy, c);
    if (b > 200) {
      BlendPixel(cv, sx + 1, sy, c, 0.4);
      BlendPixel(cv, sx - 1, sy, c, 0.4);
      BlendPixel(cv, sx, sy + 1, c, 0.4);
      BlendPixel(cv, sx, sy - 1, c, 0.4);
    }
  }
}

// The deep background of the full screens: a dark cave hall with a glow.
void CaveHall(Canvas& cv) {
  GradientV(cv, 0, 0, cv.width, cv.height / 2, Rgb(10, 10, 30), Rgb(34, 24, 58));
  GradientV(cv, 0, cv.height / 2, cv.width, cv.height - cv.height / 2, Rgb(34, 24, 58), Rgb(8, 6, 16));
  for (int y = 0; y < cv.height; ++y)
    for (int x = 0; x < cv.width; ++x) {
      double n = Fractal(x / 60.0, y / 60.0, 64, 4, 91);
      BlendPixel(cv, x, y, Rgb(60, 40, 90), std::max(0.0, n - 0.45) * 0.9);
    }
  StarField(cv, 0, 0, cv.width, cv.height, 160, 5);
}

}  // namespace

// ---------------------------------------------------------------- panel

Canvas MakeStatusPanel() {
  const int W = 800, H = 160;
  Canvas cv = MakeCanvas(W, H, 0);
  BrushedMetal(cv, 0, 0, W, H, Rgb(92, 100, 118), Rgb(44, 48, 62), 3);
  // Top rim where the panel meets the view.
  GradientV(cv, 0, 0, W, 6, Rgb(200, 206, 220), Rgb(70, 76, 92));
  FillRect(cv, 0, 6, W, 1, Rgb(16, 16, 24));
  // Hazard stripes along the bottom edge.
  for (int y = H - 8; y < H; ++y)
    for (int x = 0; x < W; ++x)
      SetPixel(cv, x, y, ((x + y) / 8) % 2 ? Rgb(30, 30, 34) : Darken(pal::HAZARD, 0.1 + (y - H + 8) * 0.04));
  FillRect(cv, 0, H - 9, W, 1, Rgb(16, 16, 24));

  // Side consoles: recessed plates with screws.
  const int plates[][4] = {{12, 14, 292, 128}, {536, 14, 252, 128}};
  for (const auto& p : plates) {
    BrushedMetal(cv, p[0], p[1], p[2], p[3], Rgb(70, 76, 92), Rgb(50, 54, 68), 11);
    Bevel(cv, p[0], p[1], p[2], p[3], 3, true);
    Rivet(cv, p[0] + 7, p[1] + 7);
    Rivet(cv, p[0] + p[2] - 8, p[1] + 7);
    Rivet(cv, p[0] + 7, p[1] + p[3] - 8);
    Rivet(cv, p[0] + p[2] - 8, p[1] + p[3] - 8);
  }
  // Left: name plate and a row of indicator lamps.
  GradientV(cv, 30, 28, 256, 52, Rgb(24, 26, 38), Rgb(10, 12, 20));
  Bevel(cv, 30, 28, 256, 52, 2, true, 0.6);
  Headline(cv, 158, 30, "VANTOR", 36, GOLD_TOP, GOLD_BOTTOM, 0.18, 2);
  const uint32_t lamps[] = {pal::GREEN, pal::GREEN, pal::HAZARD, pal::CYAN, pal::RED, pal::GREEN};
  for (int i = 0; i < 6; ++i) {
    int lx = 46 + i * 40, ly = 102;
    FillCircle(cv, lx + 0.5, ly + 0.5, 8, Rgb(20, 20, 28));
    GradientRadial(cv, lx - 1.5, ly - 1.5, 8, Lighten(lamps[i], 0.6), Darken(lamps[i], 0.45));
    FillCircle(cv, lx - 2.0, ly - 2.0, 2, Rgb(255, 255, 255));
    DrawCircle(cv, lx + 0.5, ly + 0.5, 9, Rgb(150, 156, 170), 1.5);
  }
  for (int i = 0; i < 6; ++i) FillRect(cv, 40 + i * 40, 118, 13, 3, Rgb(28, 30, 40));
  // Right: two dials and a speaker grille.
  for (int i = 0; i < 2; ++i) {
    double dx = 585 + i * 74, dy = 62;
    FillCircle(cv, dx, dy, 30, Rgb(20, 20, 28));
    FillCircle(cv, dx, dy, 27, Rgb(170, 176, 188));
    GradientRadial(cv, dx - 4, dy - 6, 26, Rgb(250, 250, 240), Rgb(190, 190, 180));
    for (int t = 0; t <= 10; ++t) {
      double a = M_PI * (0.8 + 1.4 * t / 10.0);
      DrawLine(cv, dx + std::cos(a) * 19, dy + std::sin(a) * 19, dx + std::cos(a) * 24, dy + std::sin(a) * 24,
               t >= 8 ? Rgb(200, 30, 30) : Rgb(40, 40, 50), t % 5 ? 1 : 2);
    }
    double needle = M_PI * (0.8 + 1.4 * (i ? 0.35 : 0.62));
    DrawLine(cv, dx, dy, dx + std::cos(needle) * 21, dy + std::sin(needle) * 21, Rgb(210, 40, 30), 2);
    FillCircle(cv, dx, dy, 3.5, Rgb(40, 40, 50));
  }
  for (int row = 0; row < 4; ++row)
    for (int col = 0; col < 10; ++col) {
      int gx = 556 + col * 13 + (row % 2) * 6, gy = 104 + row * 8;
      if (gx > 770) continue;
      FillRect(cv, gx, gy, 9, 4, Rgb(16, 16, 24));
      FillRect(cv, gx, gy + 4, 9, 1, Rgb(120, 126, 140));
    }
  for (int i = 0; i < 3; ++i) {
    FillRect(cv, 712, 100 + i * 12, 56, 7, Rgb(20, 22, 30));
    FillRect(cv, 714, 102 + i * 12, 18 + i * 14, 3, i == 2 ? pal::RED : pal::GREEN);
  }

  // Centre: the light display on which the game writes level, radar,
  // prisoners and lives in blue; it must stay light for that text.
  const int dx = 316, dy = 8, dw = 208, dh = 142;
  FillRect(cv, dx - 6, dy - 4, dw + 12, dh + 8, Rgb(24, 26, 36));
  Bevel(cv, dx - 6, dy - 4, dw + 12, dh + 8, 3, false, 0.35);
  GradientV(cv, dx, dy, dw, dh, Rgb(232, 238, 244), Rgb(200, 210, 222));
  Bevel(cv, dx, dy, dw, dh, 3, true, 0.35);
  // Faint ruling behind the items.
  for (int y = dy + 8; y < dy + dh - 4; y += 8) FillRect(cv, dx + 6, y, dw - 12, 1, Rgb(218, 226, 236));
  // Frame of the radar (drawn by the game at 370, 50 on the panel, 50 x 40,
  // plus a row above it for prisoners).
  DrawRect(cv, 364, 44, 62, 52, Rgb(120, 134, 156), 1);
  DrawRect(cv, 365, 45, 60, 50, Rgb(246, 248, 252), 1);
  FillRect(cv, 366, 46, 58, 48, Rgb(226, 232, 240));
  // A divider above the icons, and a small decorative strip on the right.
  FillRect(cv, dx + 10, 101, dw - 20, 1, Rgb(160, 172, 190));
  FillRect(cv, dx + 10, 102, dw - 20, 1, Rgb(250, 252, 255));
  for (int i = 0; i < 4; ++i) {
    FillRect(cv, 446, 54 + i * 10, 60, 5, Rgb(190, 200, 214));
    FillRect(cv, 446, 54 + i * 10, 12 + i * 13, 5, Rgb(150, 170, 200));
  }
  Rivet(cv, dx - 1, dy + 1);
  Rivet(cv, dx + dw, dy + 1);
  Rivet(cv, dx - 1, dy + dh - 2);
  Rivet(cv, dx + dw, dy + dh - 2);
  return cv;
}

// ---------------------------------------------------------------- title

Canvas MakeTitleScreen() {
  const int W = 800, H = 600;
  Canvas cv = MakeCanvas(W, H, 0);
  CaveHall(cv);
  // Far rock: a dim ceiling and floor.
  CaveRock(cv, [](int x, int y) {
    double ceil = 70 + 60 * Fractal(x / 90.0, 0.5, 64, 3, 7) + 40 * std::sin(x / 70.0);
    double floor = 500 - 70 * Fractal(x / 80.0, 3.5, 64, 3, 8);
    return y < ceil || y > floor;
  }, 0.45);
  // Near rock: stalactites, side walls and the floor the pad stands on.
  CaveRock(cv, [](int x, int y) {
    double top = 30 + 40 * Fractal(x / 40.0, 1.5, 64, 3, 11);
    double spike = std::pow(std::max(0.0, std::sin(x / 23.0 + 1.0)), 8) * 70 * Fractal(x / 30.0, 2.0, 64, 2, 12);
    double floor = 548 - 30 * Fractal(x / 50.0, 4.5, 64, 3, 13);
    if (x < 170) floor = std::min(floor, 520.0);  // the ledge of the landing pad
    double side = 70 * Fractal(y / 50.0, 6.5, 64, 3, 14);
    return y < top + spike || y > floor || x < side - 20 || x > W - side + 10;
  }, 0.85);
  for (int i = 0; i < 9; ++i) {
    double x = 40 + Hash2(i, 0, 33) % 720;
    double y = 528 + Hash2(i, 1, 33) % 40;
    Crystal(cv, x, y, 5 + Hash2(i, 2, 33) % 5, i % 3 ? pal::CYAN : Rgb(200, 120, 255));
  }

  // The landing pad on its ledge, prisoners waiting and an enemy.
  Canvas pad = ScaleUp(SheetFrame(MakeTerrainSheet(2), 80, 80, 10, 2), 2);
  BlitKeyed(cv, pad, 40, 440);
  Canvas prisoner = ScaleUp(SheetFrame(MakeObjectSheet(3), 40, 40, 10, 3), 2);
  BlitKeyed(cv, prisoner, 676, 460);
  Canvas prisoner2 = ScaleUp(SheetFrame(MakeObjectSheet(3), 40, 40, 10, 7), 2);
  BlitKeyed(cv, prisoner2, 620, 462);
  Canvas enemy = ScaleUp(SheetFrame(MakeObjectSheet(1), 40, 40, 10, 2), 2);
  BlitKeyed(cv, enemy, 650, 170);
  // The craft, large, climbing to the right with a shot ahead of it.
  Canvas craft = RenderCraftSide(3.0, false, -0.12, 22);
  OutlineSprite(craft, 0, 0, craft.width, craft.height, pal::OUTLINE);
  BlitKeyed(cv, craft, 8, 196);
  for (int i = 0; i < 3; ++i) {
    double sx = 360 + i * 46, sy = 214 - i * 6;
    Glow(cv, sx, sy, 14, Rgb(255, 160, 40), 0.5, 0xFFFFFFFF);
    FillCircle(cv, sx, sy, 5 - i, Rgb(255, 200, 80));
    FillCircle(cv, sx, sy, 2.5 - i * 0.5, Rgb(255, 255, 230));
  }

  // Title.
  Glow(cv, 400, 100, 260, Rgb(120, 60, 20), 0.35, 0xFFFFFFFF);
  Headline(cv, 400, 14, "VANTOR", 128, GOLD_TOP, GOLD_BOTTOM, 0.2, 6);
  Mask sub = RenderTextMask("Rettungsflug durch die Höhlen", 24, FONT_SANS_BOLD);
  PaintMask(cv, GrowMask(sub, 2), 400 - sub.width / 2 - 2, 168, Rgb(10, 8, 20));
  PaintMask(cv, sub, 400 - sub.width / 2, 170, Rgb(170, 230, 255));

  // Menu.
  const int mx = 230, my = 300, mw = 340, mh = 204;
  GlassPanel(cv, mx, my, mw, mh, Rgb(6, 8, 20), 0.72, Rgb(120, 150, 200));
  const char* items[][2] = {{"F1", "Spiel starten"}, {"F2", "Eigene Karte spielen"}, {"F3", "Hilfe"}, {"F4", "Beenden"}};
  for (int i = 0; i < 4; ++i) {
    int y = my + 22 + i * 45;
    KeyCap(cv, mx + 30, y, items[i][0], 17, 44);
    DrawText(cv, mx + 92, y + 3, items[i][1], 22, Rgb(0, 0, 0), FONT_SANS_BOLD);
    DrawText(cv, mx + 90, y + 1, items[i][1], 22, i == 0 ? Rgb(255, 226, 120) : WHITE, FONT_SANS_BOLD);
  }
  for (int y = 564; y < 596; ++y)
    for (int x = 150; x < 650; ++x) BlendPixel(cv, x, y, Rgb(4, 6, 16), 0.7);
  DrawTextCentered(cv, 400, 571, "Pfeiltasten: steuern   \xC2\xB7   Strg links: feuern   \xC2\xB7   Esc: beenden", 15,
                   Rgb(150, 160, 190), FONT_SANS);
  return cv;
}

// ---------------------------------------------------------------- end picture

Canvas MakeEndPicture() {
  const int W = 550, H = 300;
  Canvas cv = MakeCanvas(W, H, KEY_COLOUR);
  const double cx = 275, cy = 130;
  // A burst of fire behind the words, jagged and opaque (the rest stays transparent).
  std::vector<PointF> outer, inner;
  const int rays = 22;
  for (int i = 0; i < rays * 2; ++i) {
    double a = i * M_PI / rays;
    double r = i % 2 ? 0.62 : 0.9 + 0.1 * ((Hash2(i, 0, 77) % 100) / 100.0);
    outer.push_back({cx + std::cos(a) * 268 * r, cy + std::sin(a) * 125 * r});
    inner.push_back({cx + std::cos(a) * 230 * r, cy + std::sin(a) * 104 * r});
  }
  FillPolygon(cv, outer, Rgb(120, 20, 10));
  Canvas mask = NewMask(W, H);
  FillPolygon(mask, inner, 1);
  PaintShaded(cv, mask, 0, 0, [&](int x, int y) {
    double d = std::hypot((x - cx) / 230, (y - cy) / 104);
    double n = Fractal(x / 20.0, y / 20.0, 64, 3, 55);
    double heat = 1 - d + 0.35 * (n - 0.5);
    if (heat > 0.7) return Rgb(255, 240, 170);
    if (heat > 0.45) return Mix(Rgb(255, 140, 30), Rgb(255, 240, 170), (heat - 0.45) / 0.25);
    return Mix(Rgb(170, 30, 10), Rgb(255, 140, 30), std::max(0.0, heat) / 0.45);
  });
  OutlineSprite(cv, 0, 0, W, H, Rgb(30, 6, 6));
  // Flying debris of the craft.
  for (int i = 0; i < 7; ++i) {
    Xform xf;
    double a = i * 0.9 + 0.3;
    xf.ox = cx + std::cos(a) * 250;
    xf.oy = cy + std::sin(a) * 120 + 20;
    if (xf.oy < 8 || xf.oy > H - 8) continue;
    xf.angle = i * 1.3;
    xf.scale = 2;
    FillPolyX(cv, xf, {{-4, -2}, {4, -3}, {3, 2}, {-3, 3}}, i % 2 ? Rgb(230, 236, 242) : Rgb(240, 120, 30));
    OutlineSprite(cv, static_cast<int>(xf.ox) - 14, static_cast<int>(xf.oy) - 14, 29, 29, pal::OUTLINE);
  }
  // The words, over opaque fire only, so their soft edges never meet the key colour.
  Headline(cv, static_cast<int>(cx), 62, "SPIEL", 76, Rgb(255, 255, 255), Rgb(200, 210, 230), 0.15, 5, true);
  Headline(cv, static_cast<int>(cx), 132, "VORBEI", 76, Rgb(255, 255, 255), Rgb(200, 210, 230), 0.15, 5, true);
  Mask hint = RenderTextMask("Eine Taste drücken für ein neues Spiel", 16, FONT_SANS_BOLD);
  int hx = static_cast<int>(cx) - hint.width / 2, hy = 228;
  FillRect(cv, hx - 10, hy - 4, hint.width + 20, hint.height + 8, Rgb(20, 8, 12));
  DrawRect(cv, hx - 10, hy - 4, hint.width + 20, hint.height + 8, Rgb(255, 170, 60), 1);
  PaintMask(cv, hint, hx, hy, Rgb(255, 230, 170));
  return cv;
}

// ---------------------------------------------------------------- help

namespace {

void HelpHeading(Canvas& cv, int x, int y, const std::string& text) {
  DrawText(cv, x + 1, y + 1, text, 20, Rgb(0, 0, 0), FONT_SANS_BOLD);
  int w = DrawText(cv, x, y, text, 20, Rgb(255, 214, 90), FONT_SANS_BOLD);
  GradientH(cv, x, y + 27, w + 120, 2, Rgb(255, 170, 40), Rgb(40, 30, 60));
}

void HelpLine(Canvas& cv, int x, int y, const std::string& text, uint32_t c = Rgb(220, 230, 240)) {
  DrawText(cv, x + 1, y + 1, text, 15, Rgb(0, 0, 0));
  DrawText(cv, x, y, text, 15, c);
}

// Word-wrapped text within `width` pixels; returns the y below it.
int HelpParagraph(Canvas& cv, int x, int y, int width, const std::string& text, uint32_t c) {
  std::string line, word;
  auto flush = [&] {
    if (!line.empty()) HelpLine(cv, x, y, line, c);
    y += 20;
    line.clear();
  };
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i < text.size() && text[i] != ' ') {
      word += text[i];
      continue;
    }
    std::string candidate = line.empty() ? word : line + " " + word;
    if (!line.empty() && TextWidth(candidate, 15, FONT_SANS) > width) {
      flush();
      candidate = word;
    }
    line = candidate;
    word.clear();
  }
  flush();
  return y;
}

// An icon from a sheet on a small dark tile.
void IconTile(Canvas& cv, int x, int y, const Canvas& frame, int w = 40, int h = 40) {
  FillRect(cv, x - 3, y - 3, w + 6, h + 6, Rgb(60, 70, 100));
  GradientV(cv, x - 2, y - 2, w + 4, h + 4, Rgb(30, 30, 56), Rgb(12, 12, 26));
  BlitKeyed(cv, frame, x, y);
}

}  // namespace

Canvas MakeHelpScreen() {
  const int W = 800, H = 600;
  Canvas cv = MakeCanvas(W, H, 0);
  CaveHall(cv);
  GlassPanel(cv, 16, 78, W - 32, 480, Rgb(4, 6, 16), 0.78, Rgb(110, 140, 200));
  Headline(cv, 400, 6, "HILFE", 54, GOLD_TOP, GOLD_BOTTOM, 0.2, 4);

  // Left column: the keys.
  const int lx = 40;
  HelpHeading(cv, lx, 92, "Steuerung");
  int x = lx;
  for (const char* arrow : {"\xE2\x86\x90", "\xE2\x86\x92", "\xE2\x86\x91", "\xE2\x86\x93"}) x += KeyCap(cv, x, 134, arrow, 15, 30) + 4;
  HelpLine(cv, x + 8, 138, "Schiff steuern");
  int w = KeyCap(cv, lx, 176, "Strg links", 15);
  HelpLine(cv, lx + w + 12, 180, "feuern");
  int y = HelpParagraph(cv, lx, 210, 340,
                        "Im Seitwärtsflug fliegen die Schüsse schräg nach unten, beim Schweben geradeaus, "
                        "sonst senkrecht nach unten.",
                        Rgb(180, 186, 210));
  w = KeyCap(cv, lx, y + 8, "Esc", 15);
  HelpLine(cv, lx + w + 12, y + 12, "Spiel beenden, mit Rückfrage:");
  HelpLine(cv, lx + w + 12, y + 32, "J = ja,  N = nein");

  y += 66;
  HelpHeading(cv, lx, y, "Menü");
  const char* menu[][2] = {{"F1", "Spiel starten"}, {"F2", "Eigene Karte spielen"}, {"F3", "Hilfe"}, {"F4", "Beenden"}};
  for (int i = 0; i < 4; ++i) {
    KeyCap(cv, lx, y + 40 + i * 37, menu[i][0], 15, 40);
    HelpLine(cv, lx + 54, y + 44 + i * 37, menu[i][1]);
  }
  HelpLine(cv, lx, 526, "Die eigene Karte entsteht im Editor.", Rgb(180, 186, 210));

  // Right column: the goal, with the pictures of the things.
  const int rx = 400;
  HelpHeading(cv, rx, 92, "Ziel des Spiels");
  Canvas prisoner = SheetFrame(MakeObjectSheet(3), 40, 40, 10, 3);
  Canvas target = CopyRegion(MakeTerrainSheet(6), 0, 0, 40, 40);
  Canvas pad = CopyRegion(MakeTerrainSheet(2), 0, 0, 40, 40);
  Canvas wall = CopyRegion(MakeTerrainSheet(1), 0, 0, 40, 40);
  Canvas block = CopyRegion(MakeTerrainSheet(3), 0, 0, 40, 40);
  Canvas launcher = CopyRegion(MakeTerrainSheet(4), 0, 0, 40, 40);
  Canvas enemy = SheetFrame(MakeObjectSheet(1), 40, 40, 10, 0);
  Canvas craft = SheetFrame(MakeCraftSheet(), 80, 40, 5, 20);
  y = 134;
  IconTile(cv, rx, y, prisoner);
  HelpLine(cv, rx + 54, y + 2, "Befreie alle Gefangenen:");
  HelpLine(cv, rx + 54, y + 21, "einfach mit dem Schiff berühren.");
  y += 58;
  IconTile(cv, rx, y, target);
  HelpLine(cv, rx + 54, y + 2, "Dann auf der Zielplattform landen:");
  HelpLine(cv, rx + 54, y + 21, "die Karte ist geschafft.");
  y += 58;
  IconTile(cv, rx, y, pad);
  HelpLine(cv, rx + 54, y + 2, "Landeplattformen sind Kontrollpunkte:");
  HelpLine(cv, rx + 54, y + 21, "dort geht es nach einem Absturz weiter.");
  y += 58;
  int ix = rx;
  for (const Canvas* c : {&wall, &block, &launcher, &enemy}) {
    IconTile(cv, ix, y, *c);
    ix += 48;
  }
  FillRect(cv, ix - 3, y - 3, 46, 46, Rgb(60, 70, 100));
  GradientV(cv, ix - 2, y - 2, 44, 44, Rgb(30, 30, 56), Rgb(12, 12, 26));
  Canvas shot = MakeShot();
  for (int i = 0; i < 2; ++i) Blit(cv, shot, ix + 8 + i * 14, y + 24 - i * 14);
  HelpLine(cv, rx, y + 52, "Meide Wände, Blöcke, Raketen und Feinde!");
  HelpLine(cv, rx, y + 72, "Blöcke, Raketenwerfer und Feinde lassen", Rgb(180, 186, 210));
  HelpLine(cv, rx, y + 92, "sich abschießen.", Rgb(180, 186, 210));
  y += 128;
  IconTile(cv, rx, y, craft, 80, 40);
  HelpLine(cv, rx + 94, y + 2, "Du hast drei Leben.");
  HelpLine(cv, rx + 94, y + 21, "Viel Glück, Pilot!");

  Headline(cv, 400, 562, "Esc \xE2\x80\x93 zurück zum Titel", 22, Rgb(255, 255, 255), Rgb(190, 200, 230), 0, 2);
  return cv;
}

// ---------------------------------------------------------------- logo

Canvas MakeLogo() {
  const int S = 256;
  Canvas cv = MakeCanvas(S, S, 0);
  const double c = S / 2.0;
  // Ring: dark rims around a gold band, a deep blue disc inside (black
  // would be skipped when the logo is blended, so only the corners are black).
  const uint32_t rim = Rgb(24, 14, 6);
  for (int y = 0; y < S; ++y)
    for (int x = 0; x < S; ++x) {
      double d = std::hypot(x + 0.5 - c, y + 0.5 - c);
      uint32_t col = 0;
      if (d > 124) continue;
      if (d > 121 || (d > 101 && d <= 104)) {
        col = rim;
      } else if (d > 104) {
        double t = (x + y) / (2.0 * S);
        col = Mix(Rgb(255, 236, 140), Rgb(200, 90, 10), t);
        if (d > 117) col = Darken(col, 0.2);
        if (d < 108) col = Lighten(col, 0.25);
      } else {
        col = Mix(Rgb(46, 80, 165), Rgb(8, 14, 44), std::hypot(x + 0.5 - c, y + 0.5 - (c - 30)) / 132);
      }
      SetPixel(cv, x, y, col);
    }
  for (int i = 0; i < 40; ++i) {
    int sx = 40 + Hash2(i, 0, 9) % 176, sy = 40 + Hash2(i, 1, 9) % 110;
    if (std::hypot(sx - c, sy - c) < 96) SetPixel(cv, sx, sy, Rgb(200, 210, 255));
  }
  // The V: two swept wings meeting in a point, outlined.
  std::vector<PointF> v = {{52, 58}, {94, 58}, {128, 146}, {162, 58}, {204, 58}, {142, 182}, {114, 182}};
  std::vector<PointF> vOut;
  for (const PointF& p : v) vOut.push_back({c + (p.x - c) * 1.08, 118 + (p.y - 118) * 1.08});
  FillPolygon(cv, vOut, Rgb(24, 14, 6));
  Canvas vMask = NewMask(S, S);
  FillPolygon(vMask, v, 1);
  PaintShaded(cv, vMask, 0, 0, [&](int x, int y) {
    double t = (y - 58) / 124.0;
    uint32_t col = Mix(Rgb(255, 250, 200), Rgb(240, 110, 20), t);
    return x < c ? col : Darken(col, 0.18);
  });
  // Engine flame under the point.
  FillPolygon(cv, {{116, 186}, {140, 186}, {128, 206}}, Rgb(255, 140, 30));
  FillPolygon(cv, {{121, 186}, {135, 186}, {128, 198}}, Rgb(255, 240, 170));
  Mask name = RenderTextMask("VANTOR", 34, FONT_SANS_BOLD);
  PaintMask(cv, GrowMask(name, 2), static_cast<int>(c) - name.width / 2 - 2, 204 - 2, Rgb(24, 14, 6));
  PaintMaskGradient(cv, name, static_cast<int>(c) - name.width / 2, 204, WHITE, Rgb(170, 220, 255));
  return cv;
}
