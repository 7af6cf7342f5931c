// Internal to the game's pictures: the makers of each picture and the few
// drawing helpers and colours they share, so every sheet uses one palette.
#pragma once

#include <functional>

#include "canvas.h"

// Shared palette.
namespace pal {
constexpr uint32_t OUTLINE = Rgb(10, 12, 20);  // sprite outlines: near-black, a little blue
constexpr uint32_t HAZARD = Rgb(240, 190, 30);
constexpr uint32_t CYAN = Rgb(90, 230, 255);
constexpr uint32_t GREEN = Rgb(60, 240, 110);
constexpr uint32_t RED = Rgb(255, 60, 50);
}  // namespace pal

constexpr int FRAMES = 10;  // frames of a terrain or object sheet

// A shape mask: a canvas whose non-zero pixels are inside.
Canvas NewMask(int w, int h);
// Paints every inside pixel of `mask` (placed at x, y) with shade(mx, my).
void PaintShaded(Canvas& dst, const Canvas& mask, int x, int y, const std::function<uint32_t(int, int)>& shade);
// Sets every `key` pixel that touches (4-neighbourhood) a non-key pixel to `outline`,
// inside the box (x, y, w, h).
void OutlineSprite(Canvas& cv, int x, int y, int w, int h, uint32_t outline, uint32_t key = KEY_COLOUR);
// Transformed polygon: points scaled, mirrored (flip), rotated by `angle`
// radians about the origin, then moved to (ox, oy).
struct Xform {
  double ox = 0, oy = 0;
  double angle = 0;
  double scale = 1;
  bool flip = false;
  PointF Apply(PointF p) const;
};
void FillPolyX(Canvas& cv, const Xform& xf, const std::vector<PointF>& pts, uint32_t c);
// Transformed polygon shaded from `top` at its highest pixel to `bottom` at its lowest.
void ShadePolyX(Canvas& cv, const Xform& xf, const std::vector<PointF>& pts, uint32_t top, uint32_t bottom);
void FillEllipseX(Canvas& cv, const Xform& xf, double cx, double cy, double rx, double ry, uint32_t c);
void DrawLineX(Canvas& cv, const Xform& xf, PointF a, PointF b, uint32_t c, double thick);
// A soft glow: adds light around (cx, cy), fading out at radius r.
void Glow(Canvas& cv, double cx, double cy, double r, uint32_t c, double strength, uint32_t skipKey = KEY_COLOUR);

// Nearest-neighbour enlargement by a whole factor.
Canvas ScaleUp(const Canvas& src, int factor);
// Frame `frame` of a sheet of w x h frames, `perRow` to a row.
Canvas SheetFrame(const Canvas& sheet, int w, int h, int perRow, int frame);
// The wall's stone texture at (x, y); repeats every 40 pixels.
uint32_t RockColour(int x, int y);

// Sprite pieces shared by several pictures.
// The craft at (x, y) in its 80 x 40 frame: heading as in the sheet's rows
// (0 hover right, 1 fly right, 2 hover left, 3 fly left, 4 vertical), phase 0..4.
void DrawCraft(Canvas& cv, int x, int y, int row, int phase);
// The craft's side view at any scale into a canvas of its own (magenta
// background), flying right (flip: left), tilted by `tilt` radians.
Canvas RenderCraftSide(double scale, bool flip, double tilt, double flame);
void DrawExplosion(Canvas& cv, int x, int y, int phase);

// The pictures, in the pack's slot order.
Canvas MakeTerrainSheet(int code);
Canvas MakeShot();
Canvas MakeCraftSheet();
Canvas MakeBackdropTile();
Canvas MakeObjectSheet(int code);
Canvas MakeStatusPanel();
Canvas MakeTitleScreen();
Canvas MakeEndPicture();
Canvas MakeHelpScreen();
Canvas MakeLogo();
