// Terrain sheets (slots 0..6), the shot and the backdrop tile.
//
// A terrain frame is 80 x 80 but a cell is 40 x 40 and collisions are pixel
// exact, so each cell's art lies in the frame's top-left quarter and the rest
// stays transparent.
#include <algorithm>
#include <cmath>

#include "game_art.h"

namespace {

constexpr int CELL = 40;
constexpr int FRAME = 80;

// Rock texture: stones of a Voronoi pattern whose feature points repeat every
// 40 pixels in both directions, so that neighbouring wall cells join without a
// seam. Each stone is a low dome lit from the top left.
struct Stones {
  double f1, f2;  // distances to the nearest and second-nearest feature point
  int nearest;
};

Stones StonesAt(double x, double y) {
  const int count = 7;
  Stones s{1e9, 1e9, 0};
  for (int i = 0; i < count; ++i) {
    double px = (Hash2(i, 0, 211) % 4000) / 100.0, py = (Hash2(i, 1, 211) % 4000) / 100.0;
    double dx = std::fabs(x - px), dy = std::fabs(y - py);
    dx = std::min(dx, CELL - dx);
    dy = std::min(dy, CELL - dy);
    double d = std::hypot(dx, dy);
    if (d < s.f1) {
      s.f2 = s.f1;
      s.f1 = d;
      s.nearest = i;
    } else if (d < s.f2) {
      s.f2 = d;
    }
  }
  return s;
}

double RockHeight(double x, double y) {
  Stones s = StonesAt(x, y);
  double edge = std::min((s.f2 - s.f1) / 7.0, 1.0);
  return std::sqrt(edge) + 0.15 * Fractal(x / 8.0, y / 8.0, 5, 2, 17);
}

uint32_t StoneColour(int x, int y) {
  Stones s = StonesAt(x, y);
  double h = RockHeight(x, y);
  double light = RockHeight(x + 1, y + 1) - RockHeight(x - 1, y - 1);
  double tone = (Hash2(s.nearest, 2, 211) % 100) / 100.0;
  uint32_t c = Mix(Rgb(66, 66, 86), Rgb(100, 95, 110), tone);
  c = Mix(Darken(c, 0.45), c, std::min(h * 1.4, 1.0));
  c = light > 0 ? Lighten(c, std::min(light * 1.1, 0.4)) : Darken(c, std::min(-light * 1.3, 0.5));
  if (s.f2 - s.f1 < 1.1) c = Rgb(20, 18, 28);  // the gaps between stones
  c = Scale(c, 0.82 + 0.3 * SmoothNoise(x / 5.0, y / 5.0, 8, 23));
  return Scale(c, 0.94 + 0.12 * Noise01(x, y, 7));
}

// Crystals embedded in the rock: position in the cell and how they glint.
struct Crystal {
  int x, y, size, frame;
};
const Crystal CRYSTALS[] = {{11, 12, 2, 1}, {28, 30, 2, 6}};

void DrawSparkle(Canvas& cv, int x, int y, int len, uint32_t c) {
  for (int i = -len; i <= len; ++i) {
    double a = 1.0 - std::fabs(i) / (len + 1.0);
    BlendPixel(cv, x + i, y, c, a);
    BlendPixel(cv, x, y + i, c, a);
  }
  SetPixel(cv, x, y, Rgb(255, 255, 255));
}

void DrawWall(Canvas& cv, int ox, int frame) {
  for (int y = 0; y < CELL; ++y)
    for (int x = 0; x < CELL; ++x) SetPixel(cv, ox + x, y, StoneColour(x, y));
  for (const Crystal& k : CRYSTALS) {
    uint32_t base = Rgb(40, 150, 170);
    FillPolygon(cv, {{ox + k.x + 0.0, k.y - k.size - 0.5}, {ox + k.x + k.size + 0.5, k.y + 0.5},
                     {ox + k.x + 0.0, k.y + k.size + 1.5}, {ox + k.x - k.size + 0.0, k.y + 0.5}},
                base);
    SetPixel(cv, ox + k.x, k.y - k.size + 1, Rgb(150, 240, 250));
    SetPixel(cv, ox + k.x - 1, k.y, Rgb(110, 220, 235));
    // A crystal glints in its own frame and fades over the next one.
    int age = (frame - k.frame + FRAMES) % FRAMES;
    if (age == 0) DrawSparkle(cv, ox + k.x, k.y, k.size + 1, Rgb(200, 250, 255));
    if (age == 1) DrawSparkle(cv, ox + k.x, k.y, k.size - 1, Rgb(160, 230, 240));
  }
}

// A platform deck across the top of the cell on a steel truss tower.
void DrawTower(Canvas& cv, int ox, uint32_t strut, uint32_t strutDark) {
  // Legs and cross braces; the gaps between them stay transparent.
  FillRect(cv, ox + 4, 8, 4, 32, strut);
  FillRect(cv, ox + 32, 8, 4, 32, strut);
  FillRect(cv, ox + 4, 8, 1, 32, Lighten(strut, 0.35));
  FillRect(cv, ox + 32, 8, 1, 32, Lighten(strut, 0.35));
  FillRect(cv, ox + 7, 8, 1, 32, strutDark);
  FillRect(cv, ox + 35, 8, 1, 32, strutDark);
  for (int seg = 0; seg < 2; ++seg) {
    int y0 = 9 + seg * 15;
    DrawLine(cv, ox + 8, y0, ox + 31, y0 + 14, strutDark, 2.2);
    DrawLine(cv, ox + 31, y0, ox + 8, y0 + 14, strut, 2.2);
  }
  FillRect(cv, ox + 2, 36, 36, 4, strutDark);
  FillRect(cv, ox + 2, 36, 36, 1, strut);
}

void DrawDeck(Canvas& cv, int ox, uint32_t top, uint32_t bottom, bool hazard) {
  GradientV(cv, ox, 0, CELL, 9, top, bottom);
  FillRect(cv, ox, 0, CELL, 1, Lighten(top, 0.5));
  FillRect(cv, ox, 8, CELL, 1, pal::OUTLINE);
  if (!hazard) return;
  for (int x = 0; x < CELL; ++x)
    for (int y = 5; y < 8; ++y) {
      bool stripe = ((x + y) / 3) % 2 == 0;
      SetPixel(cv, ox + x, y, stripe ? Darken(pal::HAZARD, (y - 5) * 0.12) : Rgb(30, 30, 34));
    }
}

void DrawLamp(Canvas& cv, int x, int y, uint32_t on, bool lit) {
  FillRect(cv, x - 1, y - 1, 5, 4, pal::OUTLINE);
  FillRect(cv, x, y, 3, 2, lit ? on : Darken(on, 0.72));
  if (lit) {
    FillRect(cv, x, y, 3, 1, Lighten(on, 0.6));
    Glow(cv, x + 1.5, y + 1, 6, on, 0.5);
  }
}

void DrawPad(Canvas& cv, int ox, int frame) {
  DrawTower(cv, ox, Rgb(120, 128, 140), Rgb(60, 64, 76));
  DrawDeck(cv, ox, Rgb(170, 178, 190), Rgb(100, 106, 120), true);
  // Landing lights run from the edges to the middle and back.
  int step = frame % 5;
  const int xs[] = {1, 8, 15, 22, 29, 36};
  for (int i = 0; i < 3; ++i) {
    bool lit = (frame < 5 ? step : 4 - step) / 2 == i || (frame % 2 == 0 && i == 0);
    DrawLamp(cv, ox + xs[i], 2, pal::GREEN, lit);
    DrawLamp(cv, ox + xs[5 - i], 2, pal::GREEN, lit);
  }
}

void DrawTarget(Canvas& cv, int ox, int frame) {
  DrawTower(cv, ox, Rgb(70, 100, 180), Rgb(30, 44, 96));
  // Deck: a gold rim over a chequered finish band.
  GradientV(cv, ox, 0, CELL, 3, Rgb(255, 240, 150), Rgb(220, 150, 30));
  for (int y = 3; y < 9; ++y)
    for (int x = 0; x < CELL; ++x) {
      bool light = ((x / 4) + (y - 3) / 3) % 2 == 0;
      SetPixel(cv, ox + x, y, light ? Rgb(235, 240, 255) : Rgb(30, 50, 140));
    }
  FillRect(cv, ox, 9, CELL, 1, pal::OUTLINE);
  // The beacon hangs under the deck and turns: its light sweeps from side to side.
  FillRect(cv, ox + 17, 10, 6, 3, Rgb(40, 50, 80));
  double phase = frame * 2 * M_PI / FRAMES;
  double bright = 0.5 + 0.5 * std::cos(phase);
  double bx = std::sin(phase) * 12;
  // Beams as solid wedges of light, drawn behind the lamp.
  uint32_t beam = Mix(Rgb(60, 110, 220), Rgb(150, 210, 255), bright);
  FillPolygon(cv, {{ox + 20.0, 18}, {ox + 20 + bx - 3, 30}, {ox + 20 + bx + 3, 30}}, beam);
  FillPolygon(cv, {{ox + 20.0, 18}, {ox + 20 - bx - 2, 29}, {ox + 20 - bx + 2, 29}}, Darken(beam, 0.35));
  FillEllipse(cv, ox + 20, 18, 6.5, 6, pal::OUTLINE);
  FillEllipse(cv, ox + 20, 18, 5.5, 5, Mix(Rgb(40, 90, 200), Rgb(170, 230, 255), bright));
  FillEllipse(cv, ox + 18.5, 16.5, 2, 1.6, Rgb(255, 255, 255));
  Glow(cv, ox + 20, 18, 12, Rgb(90, 160, 255), 0.25 + 0.4 * bright);
  // A letter Z for Ziel on the tower's foot plate.
  FillRect(cv, ox + 2, 31, 36, 9, Rgb(30, 44, 96));
  FillRect(cv, ox + 2, 31, 36, 1, Rgb(90, 120, 200));
  DrawText(cv, ox + 16, 30, "Z", 9, Rgb(255, 220, 80), FONT_SANS_BOLD, true);
}

void DrawBlock(Canvas& cv, int ox, int frame) {
  double pulse = 0.5 + 0.5 * std::sin(frame * 2 * M_PI / FRAMES);
  uint32_t glow = Mix(Rgb(200, 70, 10), Rgb(255, 200, 60), pulse);
  for (int y = 0; y < CELL; ++y)
    for (int x = 0; x < CELL; ++x) {
      double n = Fractal(x / 8.0, y / 8.0, 5, 3, 53);
      uint32_t c = Mix(Rgb(70, 52, 44), Rgb(138, 110, 90), n);
      c = Scale(c, 0.9 + 0.2 * Noise01(x, y, 61));
      SetPixel(cv, ox + x, y, c);
    }
  // Bevel: light on the top and left, shade on the bottom and right.
  for (int i = 0; i < 3; ++i) {
    for (int k = i; k < CELL - i; ++k) {
      BlendPixel(cv, ox + k, i, Rgb(255, 230, 200), 0.45 - i * 0.12);
      BlendPixel(cv, ox + i, k, Rgb(255, 230, 200), 0.35 - i * 0.1);
      BlendPixel(cv, ox + k, CELL - 1 - i, Rgb(0, 0, 0), 0.55 - i * 0.15);
      BlendPixel(cv, ox + CELL - 1 - i, k, Rgb(0, 0, 0), 0.5 - i * 0.15);
    }
  }
  // Glowing cracks from the core to the edges.
  const PointF core{20, 21};
  const PointF ends[][2] = {{{12, 14}, {4, 6}},   {{27, 13}, {35, 3}},  {{28, 26}, {37, 33}},
                            {{14, 28}, {6, 36}},  {{20, 11}, {18, 2}},  {{10, 21}, {2, 22}}};
  for (const auto& e : ends) {
    DrawLine(cv, ox + core.x, core.y, ox + e[0].x, e[0].y, Rgb(40, 16, 8), 2.6);
    DrawLine(cv, ox + e[0].x, e[0].y, ox + e[1].x, e[1].y, Rgb(40, 16, 8), 2.0);
  }
  for (const auto& e : ends) {
    DrawLine(cv, ox + core.x, core.y, ox + e[0].x, e[0].y, glow, 1);
    DrawLine(cv, ox + e[0].x, e[0].y, ox + e[1].x, e[1].y, Darken(glow, 0.3), 1);
  }
  FillEllipse(cv, ox + 20.5, 21.5, 4, 3.5, Rgb(40, 16, 8));
  FillEllipse(cv, ox + 20.5, 21.5, 3, 2.5, glow);
  SetPixel(cv, ox + 20, 21, Rgb(255, 250, 220));
  Glow(cv, ox + 20.5, 21.5, 9 + 4 * pulse, Rgb(255, 120, 20), 0.55);
  // Corner bolts.
  const int bolts[][2] = {{5, 5}, {34, 5}, {5, 34}, {34, 34}};
  for (const auto& b : bolts) {
    FillRect(cv, ox + b[0] - 1, b[1] - 1, 3, 3, Rgb(40, 30, 26));
    SetPixel(cv, ox + b[0] - 1, b[1] - 1, Rgb(190, 170, 150));
  }
}

// A gun turret on a base plate; `right` mirrors it so the barrel points up-right.
void DrawLauncher(Canvas& cv, int ox, int frame, bool right) {
  Canvas cell = MakeCanvas(CELL, CELL, KEY_COLOUR);
  // Base plate and armoured housing.
  GradientV(cell, 1, 31, 38, 9, Rgb(110, 116, 128), Rgb(50, 54, 64));
  FillRect(cell, 1, 31, 38, 1, Rgb(170, 176, 188));
  for (int x = 3; x < 38; x += 6) FillRect(cell, x, 35, 2, 2, Rgb(40, 40, 48));
  // The barrel recoils in the firing frames 0 and 1.
  double recoil = frame == 0 ? 3 : frame == 1 ? 1.5 : 0;
  Xform barrel;
  barrel.ox = 24;
  barrel.oy = 25;
  barrel.angle = -3 * M_PI / 4;  // up and to the left
  std::vector<PointF> tube = {{-3 + recoil, -3.2}, {22 + recoil, -3.2}, {22 + recoil, 3.2}, {-3 + recoil, 3.2}};
  FillPolyX(cell, barrel, tube, Rgb(60, 64, 74));
  std::vector<PointF> tubeLight = {{-3 + recoil, -3.2}, {22 + recoil, -3.2}, {22 + recoil, -1}, {-3 + recoil, -1}};
  FillPolyX(cell, barrel, tubeLight, Rgb(150, 156, 170));
  std::vector<PointF> muzzle = {{18 + recoil, -4.2}, {23 + recoil, -4.2}, {23 + recoil, 4.2}, {18 + recoil, 4.2}};
  FillPolyX(cell, barrel, muzzle, Rgb(170, 40, 30));
  // Dome.
  FillEllipse(cell, 20.5, 31.5, 13, 12, Rgb(90, 96, 110));
  FillEllipse(cell, 18.5, 28.5, 9, 7.5, Rgb(130, 138, 152));
  FillEllipse(cell, 16.5, 26.5, 4, 3, Rgb(190, 196, 210));
  FillRect(cell, 6, 31, 29, 1, Rgb(50, 54, 64));
  // Warning light on the dome, bright while the gun fires.
  bool fire = frame <= 1;
  FillEllipse(cell, 26.5, 28.5, 2.5, 2, fire ? Rgb(255, 230, 120) : Rgb(150, 30, 20));
  if (fire) Glow(cell, 26.5, 28.5, 5, pal::RED, 0.6);
  OutlineSprite(cell, 0, 0, CELL, CELL, pal::OUTLINE);
  // Muzzle flash in front of the barrel's tip (solid, as in a real shot).
  if (frame <= 1) {
    PointF tip = barrel.Apply({24 + recoil, 0});
    double r = frame == 0 ? 4.5 : 3;
    FillCircle(cell, tip.x, tip.y, r, Rgb(255, 170, 40));
    FillCircle(cell, tip.x, tip.y, r * 0.6, Rgb(255, 250, 200));
  }
  if (right) {
    // Mirrored about the cell's centre.
    for (int y = 0; y < CELL; ++y)
      for (int x = 0; x < CELL; ++x) {
        uint32_t c = GetPixel(cell, CELL - 1 - x, y);
        if (c != KEY_COLOUR) SetPixel(cv, ox + x, y, c);
      }
  } else {
    BlitKeyed(cv, cell, ox, 0);
  }
}

}  // namespace

uint32_t RockColour(int x, int y) { return StoneColour(((x % CELL) + CELL) % CELL, ((y % CELL) + CELL) % CELL); }

Canvas MakeTerrainSheet(int code) {
  Canvas sheet = MakeCanvas(FRAME * FRAMES, FRAME, KEY_COLOUR);
  for (int f = 0; f < FRAMES; ++f) {
    int ox = f * FRAME;
    switch (code) {
      case 1: DrawWall(sheet, ox, f); break;
      case 2: DrawPad(sheet, ox, f); break;
      case 3: DrawBlock(sheet, ox, f); break;
      case 4: DrawLauncher(sheet, ox, f, false); break;
      case 5: DrawLauncher(sheet, ox, f, true); break;
      case 6: DrawTarget(sheet, ox, f); break;
      default: break;  // code 0: empty, entirely transparent
    }
  }
  return sheet;
}

Canvas MakeShot() {
  // Bright on black: black pixels do not count when shots collide.
  Canvas shot = MakeCanvas(8, 8, Rgb(0, 0, 0));
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) {
      double d = std::hypot(x + 0.5 - 4, y + 0.5 - 4);
      if (d < 1.6) SetPixel(shot, x, y, Rgb(255, 255, 240));
      else if (d < 2.6) SetPixel(shot, x, y, Rgb(255, 235, 110));
      else if (d < 3.5) SetPixel(shot, x, y, Rgb(255, 140, 30));
      else if (d < 4.3) SetPixel(shot, x, y, Rgb(150, 40, 10));
    }
  return shot;
}

Canvas MakeBackdropTile() {
  // Soft and low in contrast: the tile repeats every 40 pixels, and anything
  // sharp in it would show as a grid.
  Canvas tile = MakeCanvas(CELL, CELL, Rgb(0, 0, 0));
  for (int y = 0; y < CELL; ++y)
    for (int x = 0; x < CELL; ++x) {
      double n = Fractal(x / 20.0, y / 20.0, 2, 3, 71);
      SetPixel(tile, x, y, Mix(Rgb(9, 9, 20), Rgb(26, 22, 44), n));
    }
  // A few faint specks of distant crystal.
  const int specks[][3] = {{7, 9, 90}, {30, 4, 60}, {22, 31, 75}};
  for (const auto& s : specks) SetPixel(tile, s[0], s[1], Rgb(s[2] / 2, s[2], s[2] + 20));
  return tile;
}
