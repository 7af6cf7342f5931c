// The craft sheet (slot 8) and the object sheets (slots 10..12).
#include <cmath>

#include "game_art.h"

namespace {

constexpr int CRAFT_W = 80;
constexpr int CRAFT_H = 40;
constexpr int OBJ = 40;
constexpr int CRAFT_SKID_ROW = 36;  // lowest row of the craft in every flight frame

constexpr uint32_t HULL_LIGHT = Rgb(230, 236, 242);
constexpr uint32_t HULL_DARK = Rgb(94, 108, 128);

uint32_t FlameColour(double t) {  // t 0 at the nozzle .. 1 at the tip
  if (t < 0.25) return Mix(Rgb(255, 255, 235), Rgb(255, 235, 120), t / 0.25);
  if (t < 0.6) return Mix(Rgb(255, 235, 120), Rgb(255, 140, 30), (t - 0.25) / 0.35);
  return Mix(Rgb(255, 140, 30), Rgb(200, 40, 20), (t - 0.6) / 0.4);
}

// A flame from `base` along direction (dx, dy), `len` long and `width` wide at its root.
void DrawFlame(Canvas& cv, PointF base, double dx, double dy, double len, double width) {
  if (len <= 0) return;
  double nx = -dy, ny = dx;
  for (int layer = 0; layer < 3; ++layer) {
    double l = len * (1.0 - layer * 0.3), w = width * (1.0 - layer * 0.3);
    std::vector<PointF> pts = {{base.x + nx * w / 2, base.y + ny * w / 2},
                               {base.x + dx * l * 0.45 + nx * w * 0.35, base.y + dy * l * 0.45 + ny * w * 0.35},
                               {base.x + dx * l, base.y + dy * l},
                               {base.x + dx * l * 0.45 - nx * w * 0.35, base.y + dy * l * 0.45 - ny * w * 0.35},
                               {base.x - nx * w / 2, base.y - ny * w / 2}};
    FillPolygon(cv, pts, FlameColour(1.0 - (layer + 1) / 3.5));
  }
}

// Side view, facing right before `xf` mirrors it; origin at the craft's centre.
void DrawCraftSide(Canvas& cv, const Xform& xf, double rearFlame, double jetFlame) {
  // Tail fin and engine behind the hull.
  ShadePolyX(cv, xf, {{-29, -6}, {-19, -6}, {-28, -16}, {-33, -16}}, Rgb(255, 160, 60), Rgb(190, 70, 20));
  ShadePolyX(cv, xf, {{-35, -6}, {-24, -7}, {-24, 6}, {-35, 5}}, Rgb(120, 126, 140), Rgb(40, 44, 56));
  FillPolyX(cv, xf, {{-37, -4}, {-34, -5}, {-34, 4}, {-37, 3}}, Rgb(30, 32, 40));
  // Landing legs with skids: the lowest pixels of the craft.
  uint32_t leg = Rgb(90, 96, 110);
  DrawLineX(cv, xf, {-13, 5}, {-18, 14}, leg, 2.2);
  DrawLineX(cv, xf, {13, 5}, {18, 14}, leg, 2.2);
  FillPolyX(cv, xf, {{-24, 14}, {-11, 14}, {-11, 16}, {-24, 16}}, Rgb(60, 64, 76));
  FillPolyX(cv, xf, {{11, 14}, {25, 14}, {25, 16}, {11, 16}}, Rgb(60, 64, 76));
  // Hull.
  std::vector<PointF> hull = {{-30, -7}, {-12, -10}, {6, -10}, {22, -6}, {32, 0},
                              {24, 5},   {6, 8},     {-16, 8}, {-30, 6}};
  ShadePolyX(cv, xf, hull, HULL_LIGHT, HULL_DARK);
  FillPolyX(cv, xf, {{-30, -7}, {-12, -10}, {6, -10}, {10, -9}, {-12, -8}, {-30, -5}}, Rgb(255, 255, 255));
  // Accent stripe and a dark belly.
  FillPolyX(cv, xf, {{-30, 0}, {26, 0}, {28, 2}, {-30, 3}}, Rgb(240, 120, 30));
  FillPolyX(cv, xf, {{-29, 4}, {20, 4}, {6, 8}, {-16, 8}, {-29, 6}}, Rgb(70, 78, 96));
  // Cockpit canopy.
  std::vector<PointF> canopy = {{0, -9}, {6, -15}, {14, -15}, {21, -8}, {20, -6}, {2, -6}};
  ShadePolyX(cv, xf, canopy, Rgb(170, 250, 255), Rgb(20, 90, 150));
  FillPolyX(cv, xf, {{6, -14}, {11, -14}, {7, -10}, {4, -10}}, Rgb(240, 255, 255));
  // Window row and panel line.
  for (int i = 0; i < 3; ++i) {
    FillEllipseX(cv, xf, -21 + i * 6, -3.5, 1.7, 1.7, Rgb(40, 70, 110));
  }
  DrawLineX(cv, xf, {-8, -9}, {-8, -1}, Rgb(150, 160, 176), 1);
  OutlineSprite(cv, 0, 0, cv.width, cv.height, pal::OUTLINE);
  // Flames come after the outline so they stay soft.
  PointF nozzle = xf.Apply({-37, -0.5});
  PointF back = xf.Apply({-38, -0.5});
  DrawFlame(cv, nozzle, (back.x - nozzle.x) / xf.scale, (back.y - nozzle.y) / xf.scale, rearFlame * xf.scale,
            6 * xf.scale);
  if (jetFlame > 0) {
    for (int side = -1; side <= 1; side += 2) {
      PointF root = xf.Apply({side * 5.0, 8.5});
      PointF down = xf.Apply({side * 5.0, 9.5});
      DrawFlame(cv, root, (down.x - root.x) / xf.scale, (down.y - root.y) / xf.scale, jetFlame * xf.scale,
                3.5 * xf.scale);
    }
  }
}

// Front view for vertical flight: symmetric, engines under both pods.
void DrawCraftFront(Canvas& cv, double ox, double oy, int phase) {
  Xform xf;
  xf.ox = ox;
  xf.oy = oy;
  xf.scale = 0.95;
  uint32_t leg = Rgb(90, 96, 110);
  for (int s = -1; s <= 1; s += 2) {
    // Legs, feet at the very bottom.
    DrawLineX(cv, xf, {s * 20.0, 4}, {s * 27.0, 14}, leg, 2.2);
    FillPolyX(cv, xf, {{s * 23.0, 14}, {s * 31.0, 14}, {s * 31.0, 16}, {s * 23.0, 16}}, Rgb(60, 64, 76));
    // Wing and engine pod.
    ShadePolyX(cv, xf, {{s * 8.0, -4}, {s * 22.0, -2}, {s * 22.0, 3}, {s * 8.0, 4}}, Rgb(200, 206, 216), HULL_DARK);
    std::vector<PointF> pod = {{s * 18.0, -8}, {s * 26.0, -8}, {s * 27.0, 5}, {s * 17.0, 5}};
    ShadePolyX(cv, xf, pod, Rgb(255, 160, 60), Rgb(170, 60, 20));
    FillPolyX(cv, xf, {{s * 18.0, 5}, {s * 26.0, 5}, {s * 25.0, 8}, {s * 19.0, 8}}, Rgb(40, 44, 56));
  }
  // Tail fin seen edge-on behind the body.
  FillPolyX(cv, xf, {{-1.5, -17}, {1.5, -17}, {2, -8}, {-2, -8}}, Rgb(230, 120, 40));
  FillEllipseX(cv, xf, 0, 0, 14, 9, HULL_DARK);
  ShadePolyX(cv, xf, {{-13, -3}, {-8, -8}, {8, -8}, {13, -3}, {12, 4}, {6, 8}, {-6, 8}, {-12, 4}}, HULL_LIGHT,
             HULL_DARK);
  FillPolyX(cv, xf, {{-13, 0}, {13, 0}, {13, 2}, {-13, 2}}, Rgb(240, 120, 30));
  // Canopy dome.
  ShadePolyX(cv, xf, {{-8, -7}, {-5, -13}, {5, -13}, {8, -7}}, Rgb(170, 250, 255), Rgb(20, 90, 150));
  FillPolyX(cv, xf, {{-4, -12}, {0, -12}, {-3, -9}, {-5, -9}}, Rgb(240, 255, 255));
  FillEllipseX(cv, xf, 0, 5, 3, 1.5, Rgb(40, 44, 56));
  OutlineSprite(cv, 0, 0, cv.width, cv.height, pal::OUTLINE);
  const double flick[] = {6, 4.5, 7, 5, 6.5};
  for (int s = -1; s <= 1; s += 2) DrawFlame(cv, xf.Apply({s * 22.0, 8}), 0, 1, flick[phase], 6);
  DrawFlame(cv, xf.Apply({0, 9}), 0, 1, flick[(phase + 2) % 5] - 2, 4);
}

}  // namespace

void DrawCraft(Canvas& cv, int x, int y, int row, int phase) {
  Canvas frame = MakeCanvas(CRAFT_W, CRAFT_H, KEY_COLOUR);
  const double flicker[] = {0, 1.5, 0.5, 2, 1};
  if (row == 4) {
    DrawCraftFront(frame, 40, 21, phase);
  } else {
    Xform xf;
    xf.ox = row >= 2 ? 37 : 43;  // room for the exhaust flame behind the craft
    xf.oy = 22;
    xf.scale = 0.9;
    xf.flip = row >= 2;
    bool flying = row == 1 || row == 3;
    double tilt = flying ? 0.1 + 0.02 * std::sin(phase * 2 * M_PI / 5) : 0;
    xf.angle = xf.flip ? -tilt : tilt;
    double rear = flying ? 8.5 + flicker[phase] * 1.6 : 1.5 + flicker[phase] * 0.5;
    double jets = flying ? 0 : 3 + flicker[(phase + 1) % 5];
    DrawCraftSide(frame, xf, rear, jets);
  }
  // The lowest pixels (the skids) sit on the same row in every frame, so a
  // craft resting on a platform keeps its contact whatever frame it shows.
  int lowest = -1;
  for (int py = 0; py < CRAFT_H && lowest < 0; ++py)
    for (int px = 0; px < CRAFT_W; ++px)
      if (GetPixel(frame, px, CRAFT_H - 1 - py) != KEY_COLOUR) {
        lowest = CRAFT_H - 1 - py;
        break;
      }
  BlitKeyed(cv, CopyRegion(frame, 0, lowest - CRAFT_SKID_ROW, CRAFT_W, CRAFT_H), x, y);
}

Canvas RenderCraftSide(double scale, bool flip, double tilt, double flame) {
  int w = static_cast<int>(100 * scale), h = static_cast<int>(44 * scale);
  Canvas cv = MakeCanvas(w, h, KEY_COLOUR);
  Xform xf;
  xf.scale = scale;
  xf.flip = flip;
  xf.angle = flip ? -tilt : tilt;
  xf.ox = flip ? w - 62 * scale : 62 * scale;
  xf.oy = h / 2.0;
  DrawCraftSide(cv, xf, flame, 0);
  return cv;
}

void DrawExplosion(Canvas& cv, int x, int y, int phase) {
  Canvas frame = MakeCanvas(CRAFT_W, CRAFT_H, KEY_COLOUR);
  const double cx = 40, cy = 21;
  const double rx[] = {17, 26, 33, 37, 39}, ry[] = {11, 15, 18, 19, 20};
  const double cool = phase * 0.2;
  // A ragged fireball that grows, cools from white to red and smoke, and
  // from the fourth phase on breaks up into separate clouds.
  for (int py = 0; py < CRAFT_H; ++py)
    for (int px = 0; px < CRAFT_W; ++px) {
      double d = std::hypot((px + 0.5 - cx) / rx[phase], (py + 0.5 - cy) / ry[phase]);
      double n = Fractal(px / 9.0, py / 9.0, 64, 3, 300 + phase);
      double edge = 1 - 0.55 * n;
      if (d >= edge) continue;
      if (phase >= 3 && Fractal(px / 6.0, py / 6.0, 64, 2, 400 + phase) < 0.25 + (phase - 3) * 0.2) continue;
      double t = d / edge;
      double heat = (1 - t) * (1.2 - cool) + 0.6 * (n - 0.5);
      uint32_t c;
      if (heat > 0.8) c = Rgb(255, 255, 220);
      else if (heat > 0.6) c = Mix(Rgb(255, 170, 40), Rgb(255, 240, 140), (heat - 0.6) / 0.2);
      else if (heat > 0.38) c = Mix(Rgb(200, 50, 20), Rgb(255, 170, 40), (heat - 0.38) / 0.22);
      else if (heat > 0.22) c = Mix(Rgb(90, 40, 40), Rgb(200, 50, 20), (heat - 0.22) / 0.16);
      else c = Mix(Rgb(50, 46, 56), Rgb(110, 100, 110), n);
      SetPixel(frame, px, py, c);
    }
  // Hull fragments fly outward and tumble.
  for (int i = 0; i < 6; ++i) {
    double a = i * M_PI / 3 + 0.4;
    double d = 5 + phase * 5.5;
    Xform xf;
    xf.ox = cx + std::cos(a) * d * 1.4;
    xf.oy = cy + std::sin(a) * d * 0.55;
    xf.angle = a + phase * 0.9 + i;
    FillPolyX(frame, xf, {{-3, -1.5}, {3, -2}, {2, 2}, {-2, 1.5}}, i % 2 ? HULL_LIGHT : Rgb(240, 120, 30));
    OutlineSprite(frame, static_cast<int>(xf.ox) - 5, static_cast<int>(xf.oy) - 5, 11, 11, pal::OUTLINE, KEY_COLOUR);
  }
  // Sparks.
  for (int i = 0; i < 16; ++i) {
    double a = (Hash2(i, phase, 9) % 628) / 100.0;
    double d = 8 + phase * 6 + Hash2(i, 3, 9) % 8;
    int sx = static_cast<int>(cx + std::cos(a) * d * 1.5), sy = static_cast<int>(cy + std::sin(a) * d * 0.6);
    SetPixel(frame, sx, sy, Rgb(255, 240, 160));
    if (phase < 3) SetPixel(frame, sx + 1, sy, Rgb(255, 170, 60));
  }
  BlitKeyed(cv, frame, x, y);
}

Canvas MakeCraftSheet() {
  Canvas sheet = MakeCanvas(5 * CRAFT_W, 6 * CRAFT_H, KEY_COLOUR);
  for (int row = 0; row < 6; ++row)
    for (int phase = 0; phase < 5; ++phase) {
      if (row < 5) DrawCraft(sheet, phase * CRAFT_W, row * CRAFT_H, row, phase);
      else DrawExplosion(sheet, phase * CRAFT_W, row * CRAFT_H, phase);
    }
  return sheet;
}

namespace {

void DrawEnemy(Canvas& cv, int ox, int frame) {
  Canvas f = MakeCanvas(OBJ, OBJ, KEY_COLOUR);
  double t = frame * 2 * M_PI / FRAMES;
  double cx = 20, cy = 20 + std::sin(t) * 1.2;
  // Spikes turn by one eighth of a turn over the ten frames, so the loop is seamless.
  for (int i = 0; i < 8; ++i) {
    Xform xf;
    xf.ox = cx;
    xf.oy = cy;
    xf.angle = i * M_PI / 4 + frame * (M_PI / 4) / FRAMES;
    ShadePolyX(f, xf, {{9, -3.5}, {18.5, 0}, {9, 3.5}}, Rgb(220, 220, 230), Rgb(90, 90, 110));
  }
  // Armoured body, lit from the top left.
  Canvas body = NewMask(OBJ, OBJ);
  FillCircle(body, cx, cy, 12, 1);
  PaintShaded(f, body, 0, 0, [&](int x, int y) {
    double d = std::hypot(x + 0.5 - (cx - 4), y + 0.5 - (cy - 5)) / 19;
    return Mix(Rgb(240, 70, 90), Rgb(70, 6, 24), d);
  });
  // Armour plate seam.
  DrawCircle(f, cx, cy, 12, Rgb(60, 6, 20), 1);
  // Eye: white with a pupil that looks from side to side, and a frowning lid.
  FillEllipse(f, cx, cy + 1, 7, 6, Rgb(30, 4, 10));
  FillEllipse(f, cx, cy + 1, 6, 5, Rgb(255, 240, 160));
  double look = std::sin(t) * 2.5;
  FillCircle(f, cx + look, cy + 1.5, 3, Rgb(230, 30, 20));
  FillCircle(f, cx + look, cy + 1.5, 1.5, Rgb(20, 0, 0));
  SetPixel(f, static_cast<int>(cx + look - 1), static_cast<int>(cy), Rgb(255, 255, 255));
  FillPolygon(f, {{cx - 8, cy - 6}, {cx + 8, cy - 6}, {cx + 7, cy - 2}, {cx, cy - 0.5}, {cx - 7, cy - 2}},
              Rgb(60, 6, 20));
  FillPolygon(f, {{cx - 8, cy - 6}, {cx + 8, cy - 6}, {cx + 8, cy - 5}, {cx - 8, cy - 5}}, Rgb(150, 30, 50));
  OutlineSprite(f, 0, 0, OBJ, OBJ, pal::OUTLINE);
  // Pulsing glow of the eye.
  double pulse = 0.5 + 0.5 * std::cos(t * 2);
  Glow(f, cx + look, cy + 1.5, 6, Rgb(255, 80, 40), 0.3 + 0.4 * pulse);
  BlitKeyed(cv, f, ox, 0);
}

void DrawPrisoner(Canvas& cv, int ox, int frame) {
  Canvas f = MakeCanvas(OBJ, OBJ, KEY_COLOUR);
  double t = frame * 2 * M_PI / FRAMES;
  const uint32_t suit = Rgb(255, 150, 20), suitDark = Rgb(190, 90, 10);
  const uint32_t skin = Rgb(250, 200, 160);
  double cx = 18;
  // Legs and boots.
  FillRect(f, static_cast<int>(cx) - 5, 29, 4, 8, suitDark);
  FillRect(f, static_cast<int>(cx) + 1, 29, 4, 8, suitDark);
  FillRect(f, static_cast<int>(cx) - 6, 36, 5, 3, Rgb(60, 50, 50));
  FillRect(f, static_cast<int>(cx) + 1, 36, 5, 3, Rgb(60, 50, 50));
  // Body with a belt.
  ShadePolyX(f, Xform{}, {{cx - 6, 18}, {cx + 6, 18}, {cx + 6, 30}, {cx - 6, 30}}, suit, suitDark);
  FillRect(f, static_cast<int>(cx) - 6, 26, 12, 2, Rgb(90, 60, 40));
  FillRect(f, static_cast<int>(cx) - 2, 19, 4, 2, Rgb(255, 230, 190));
  // Arms: the right one waves overhead all the time, the left joins in frames 2..4.
  double waveR = -0.85 + 0.4 * std::sin(t);
  bool leftUp = frame >= 2 && frame <= 4;
  double waveL = leftUp ? -2.25 - 0.3 * std::sin(t) : M_PI / 2 + 0.3;
  PointF shoulderR{cx + 5, 20}, shoulderL{cx - 5, 20};
  PointF handR{shoulderR.x + std::cos(waveR) * 9, shoulderR.y + std::sin(waveR) * 9};
  PointF handL{shoulderL.x + std::cos(waveL) * 9, shoulderL.y + std::sin(waveL) * 9};
  DrawLine(f, shoulderR.x, shoulderR.y, handR.x, handR.y, Darken(suit, 0.6), 5);
  DrawLine(f, shoulderL.x, shoulderL.y, handL.x, handL.y, Darken(suit, 0.6), 5);
  DrawLine(f, shoulderR.x, shoulderR.y, handR.x, handR.y, suit, 3.2);
  DrawLine(f, shoulderL.x, shoulderL.y, handL.x, handL.y, suit, 3.2);
  FillCircle(f, handR.x + 0.5, handR.y + 0.5, 2, skin);
  FillCircle(f, handL.x + 0.5, handL.y + 0.5, 2, skin);
  // Head: face, hair and an open mouth calling for help.
  FillCircle(f, cx + 0.5, 13, 5.5, skin);
  FillPolygon(f, {{cx - 5, 12}, {cx - 5, 9}, {cx - 2, 7}, {cx + 3, 7}, {cx + 6, 9}, {cx + 6, 11}, {cx + 2, 9}, {cx - 3, 10}},
              Rgb(110, 60, 30));
  SetPixel(f, static_cast<int>(cx) - 2, 13, Rgb(30, 20, 20));
  SetPixel(f, static_cast<int>(cx) + 2, 13, Rgb(30, 20, 20));
  FillEllipse(f, cx + 0.5, 16.5, 1.5, frame % 2 ? 1.0 : 1.6, Rgb(120, 30, 30));
  OutlineSprite(f, 0, 0, OBJ, OBJ, pal::OUTLINE);
  // A speech bubble with "!" while both arms are up.
  if (leftUp || frame == 5) {
    FillEllipse(f, 33, 6, 6, 5.5, pal::OUTLINE);
    FillEllipse(f, 33, 6, 5, 4.5, Rgb(255, 255, 255));
    FillPolygon(f, {{28, 8}, {31, 10}, {26, 13}}, Rgb(255, 255, 255));
    FillRect(f, 32, 2, 2, 5, Rgb(220, 30, 30));
    FillRect(f, 32, 8, 2, 2, Rgb(220, 30, 30));
  }
  BlitKeyed(cv, f, ox, 0);
}

}  // namespace

Canvas MakeObjectSheet(int code) {
  Canvas sheet = MakeCanvas(OBJ * FRAMES, OBJ, KEY_COLOUR);
  for (int frame = 0; frame < FRAMES; ++frame) {
    if (code == 1) DrawEnemy(sheet, frame * OBJ, frame);
    if (code == 3) DrawPrisoner(sheet, frame * OBJ, frame);
  }
  return sheet;  // code 0 ("nothing") stays entirely transparent
}
