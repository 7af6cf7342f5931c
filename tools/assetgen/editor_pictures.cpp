// The editor's pictures, slots 0..5 of vantoredit.pak: pointer, terrain tiles,
// object sprites, panel, palette and title. Tiles and sprites are cut from the
// game's own sheets, so the editor shows the map as the game will.
#include <algorithm>
#include <string>

#include "canvas.h"

namespace {

constexpr int TILE = 40;

// Editor colours: a dark console with green readouts.
const uint32_t INK = Rgb(0, 0, 0);
const uint32_t PANEL_TOP = Rgb(24, 30, 36);
const uint32_t PANEL_BOTTOM = Rgb(14, 18, 22);
const uint32_t DISPLAY = Rgb(6, 10, 8);
const uint32_t EDGE_LIGHT = Rgb(78, 92, 104);
const uint32_t EDGE_DARK = Rgb(4, 6, 8);
const uint32_t LABEL = Rgb(120, 150, 130);
const uint32_t EMPTY_CELL = Rgb(16, 19, 26);
const uint32_t EMPTY_GRID = Rgb(38, 44, 58);

// The game's slots used here.
constexpr int GAME_TERRAIN = 0;  // + terrain code
constexpr int GAME_ENEMY = 11;
constexpr int GAME_PRISONER = 12;

// Frame 0 of a game sheet, cut to one 40 x 40 cell (the top-left quarter of a
// terrain frame); an absent sheet gives a transparent cell.
Canvas GameCell(const std::vector<Canvas>& game, int slot) {
  if (slot >= int(game.size())) return MakeCanvas(TILE, TILE, KEY_COLOUR);
  return CopyRegion(game[slot], 0, 0, TILE, TILE);
}

// A raised (or, with `sunken`, recessed) frame of one pixel inside the box.
void DrawBevel(Canvas& cv, int x, int y, int w, int h, bool sunken) {
  uint32_t topLeft = sunken ? EDGE_DARK : EDGE_LIGHT;
  uint32_t bottomRight = sunken ? EDGE_LIGHT : EDGE_DARK;
  FillRect(cv, x, y, w, 1, topLeft);
  FillRect(cv, x, y, 1, h, topLeft);
  FillRect(cv, x, y + h - 1, w, 1, bottomRight);
  FillRect(cv, x + w - 1, y, 1, h, bottomRight);
}

// Shrinks a keyed picture: each target pixel averages the opaque source
// pixels under it, and stays transparent when most of them are transparent.
Canvas ShrinkKeyed(const Canvas& src, int w, int h) {
  Canvas out = MakeCanvas(w, h, KEY_COLOUR);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      int x0 = x * src.width / w, x1 = std::max(x0 + 1, (x + 1) * src.width / w);
      int y0 = y * src.height / h, y1 = std::max(y0 + 1, (y + 1) * src.height / h);
      int r = 0, g = 0, b = 0, opaque = 0, all = 0;
      for (int sy = y0; sy < y1; ++sy) {
        for (int sx = x0; sx < x1; ++sx) {
          uint32_t c = GetPixel(src, sx, sy);
          ++all;
          if (c == KEY_COLOUR) continue;
          r += ColR(c);
          g += ColG(c);
          b += ColB(c);
          ++opaque;
        }
      }
      if (opaque * 2 > all) SetPixel(out, x, y, Rgb(r / opaque, g / opaque, b / opaque));
    }
  }
  return out;
}

// ---- 0: pointer ---------------------------------------------------------------

Canvas MakePointer() {
  // '#' outline, '+' body; the tip is pixel (0, 0).
  static const char* const ART[] = {
      "#",
      "##",
      "#+#",
      "#++#",
      "#+++#",
      "#++++#",
      "#+++++#",
      "#++++++#",
      "#+++++++#",
      "#++++++++#",
      "#+++++++++#",
      "#++++++#####",
      "#+++#++#",
      "#++# #++#",
      "#+#  #++#",
      "##    #++#",
      "#     #++#",
      "       #++#",
      "       #++#",
      "        ##",
  };
  Canvas cv = MakeCanvas(16, 24, KEY_COLOUR);
  int rows = int(sizeof ART / sizeof ART[0]);
  for (int y = 0; y < rows; ++y) {
    for (int x = 0; ART[y][x]; ++x) {
      char c = ART[y][x];
      if (c == '#') SetPixel(cv, x, y, INK);
      if (c == '+') SetPixel(cv, x, y, Mix(Rgb(250, 255, 250), Rgb(170, 225, 185), y / 19.0));
    }
  }
  return cv;
}

// ---- 1: terrain tiles -------------------------------------------------------

// An empty cell: dark, with a faint grid line on its top and left edges so
// that a map view of empty cells shows the cell grid.
Canvas EmptyCell(const std::vector<Canvas>& game) {
  Canvas cell = MakeCanvas(TILE, TILE, EMPTY_CELL);
  FillRect(cell, 0, 0, TILE, 1, EMPTY_GRID);
  FillRect(cell, 0, 0, 1, TILE, EMPTY_GRID);
  for (int i = 4; i < TILE; i += 4) SetPixel(cell, i, 20, Mix(EMPTY_CELL, EMPTY_GRID, 0.5));
  for (int i = 4; i < TILE; i += 4) SetPixel(cell, 20, i, Mix(EMPTY_CELL, EMPTY_GRID, 0.5));
  BlitKeyed(cell, GameCell(game, GAME_TERRAIN + 0), 0, 0);
  return cell;
}

// Every tile stands on the empty cell, so the grid shows through the open
// parts of launchers and platforms as it does around them.
Canvas MakeTerrainTiles(const std::vector<Canvas>& game) {
  Canvas sheet = MakeCanvas(10 * TILE, TILE, KEY_COLOUR);
  const Canvas empty = EmptyCell(game);
  for (int code = 0; code <= 6; ++code) {
    Blit(sheet, empty, code * TILE, 0);
    if (code) BlitKeyed(sheet, GameCell(game, GAME_TERRAIN + code), code * TILE, 0);
  }
  return sheet;
}

// ---- 2: object sprites -------------------------------------------------------

// The start point, which the game never draws: a green flag marked "S".
Canvas StartMarker() {
  Canvas cell = MakeCanvas(TILE, TILE, KEY_COLOUR);
  FillEllipse(cell, 13.5, 36.5, 9, 2.5, Rgb(20, 60, 30));  // foot
  FillRect(cell, 11, 4, 3, 33, Rgb(40, 40, 44));          // pole
  FillRect(cell, 12, 4, 1, 33, Rgb(170, 175, 180));
  FillCircle(cell, 12.5, 4.0, 2.5, Rgb(230, 200, 60));
  FillPolygon(cell, {{14, 6}, {36, 9}, {34, 15}, {36, 22}, {14, 24}}, Rgb(0, 110, 30));
  FillPolygon(cell, {{14, 7}, {34.5, 10}, {32.5, 15}, {34.5, 21}, {14, 23}}, Rgb(30, 200, 70));
  int w = TextWidth("S", 15, FONT_SANS_BOLD);
  DrawText(cell, 24 - w / 2, 6, "S", 15, Rgb(250, 255, 250), FONT_SANS_BOLD, true);
  return cell;
}

Canvas MakeObjectSprites(const std::vector<Canvas>& game) {
  Canvas sheet = MakeCanvas(4 * TILE, TILE, KEY_COLOUR);
  Blit(sheet, GameCell(game, GAME_ENEMY), 1 * TILE, 0);
  Blit(sheet, StartMarker(), 2 * TILE, 0);
  Blit(sheet, GameCell(game, GAME_PRISONER), 3 * TILE, 0);
  return sheet;
}

// ---- 4: palette --------------------------------------------------------------

// The eraser icon: a tilted rubber with a blue sleeve, over a swept trail.
Canvas EraserArt() {
  Canvas art = MakeCanvas(TILE, TILE, KEY_COLOUR);
  for (int i = 0; i < 3; ++i) DrawLine(art, 6, 33 - i * 3, 20 - i * 4, 33 - i * 3, Rgb(110, 120, 130), 1);
  // The block, tilted 45 degrees: rubber at the lower left, sleeve above.
  FillPolygon(art, {{9, 27}, {21, 15}, {29, 23}, {17, 35}}, Rgb(240, 120, 140));
  FillPolygon(art, {{9, 27}, {17, 35}, {17, 37}, {9, 29}}, Rgb(170, 70, 90));
  FillPolygon(art, {{21, 15}, {30, 6}, {38, 14}, {29, 23}}, Rgb(60, 110, 220));
  FillPolygon(art, {{29, 23}, {38, 14}, {38, 16}, {29, 25}}, Rgb(30, 60, 140));
  DrawLine(art, 21, 15, 29, 23, Rgb(240, 240, 250), 1);
  DrawLine(art, 9, 27, 21, 15, Rgb(255, 190, 200), 1);
  return art;
}

// A palette button: dark face, raised edge, the art shrunk to sit inside.
Canvas PaletteButton(const Canvas& art) {
  Canvas button = MakeCanvas(TILE, TILE, Rgb(30, 36, 44));
  GradientV(button, 1, 1, TILE - 2, TILE - 2, Rgb(40, 48, 58), Rgb(22, 26, 32));
  DrawBevel(button, 0, 0, TILE, TILE, false);
  BlitKeyed(button, ShrinkKeyed(art, TILE - 6, TILE - 6), 3, 3);
  return button;
}

Canvas MakePalette(const std::vector<Canvas>& game, const Canvas& sprites) {
  auto terrain = [&](int code) { return GameCell(game, GAME_TERRAIN + code); };
  auto sprite = [&](int code) { return CopyRegion(sprites, code * TILE, 0, TILE, TILE); };
  // Palette order: eraser, wall, block, landing pad, target platform,
  // prisoner, start point, launcher left, launcher right, enemy.
  const Canvas icons[10] = {EraserArt(), terrain(1), terrain(3), terrain(2), terrain(6),
                            sprite(3),   sprite(2),  terrain(4), terrain(5), sprite(1)};
  Canvas palette = MakeCanvas(TILE, 10 * TILE, KEY_COLOUR);
  for (int i = 0; i < 10; ++i) Blit(palette, PaletteButton(icons[i]), 0, i * TILE);
  return palette;
}

// ---- 3: panel ----------------------------------------------------------------

const char* const PALETTE_NAMES[10] = {"Radierer",     "Wand",       "Block",        "Landeplatz",
                                       "Zielplattform", "Gefangener", "Startpunkt",   "Werfer links",
                                       "Werfer rechts", "Gegner"};

// Drawn opaque right of the map view. The editor writes its readouts in green
// at x 5: the cursor and scroll lines (y 10..90), "Karte gespeichert" (y 520)
// and "F1 für Hilfe" (y 540); those areas are plain dark display glass. The
// overview map is plotted at x 59..108, y 1..40 and the palette at x 20..59,
// y 100..499.
Canvas MakePanel() {
  Canvas cv = MakeCanvas(200, 600, PANEL_BOTTOM);
  GradientV(cv, 0, 0, 200, 600, PANEL_TOP, PANEL_BOTTOM);
  // Brushed texture, faint.
  for (int y = 0; y < 600; ++y)
    for (int x = 0; x < 200; ++x)
      if (Noise01(x / 3, y, 77) > 0.82) SetPixel(cv, x, y, Scale(GetPixel(cv, x, y), 1.12));
  // The seam to the map view.
  FillRect(cv, 0, 0, 3, 600, Rgb(8, 10, 12));
  FillRect(cv, 3, 0, 1, 600, Rgb(60, 72, 84));

  // Top display: the readouts and the overview map.
  FillRect(cv, 4, 0, 194, 96, DISPLAY);
  DrawBevel(cv, 4, 0, 194, 96, true);
  // The overview map's backdrop and frame (terrain codes 4..6 leave it showing).
  FillRect(cv, 57, 0, 54, 43, Rgb(46, 56, 64));
  FillRect(cv, 58, 0, 52, 42, Rgb(10, 14, 18));
  FillRect(cv, 59, 1, 50, 40, Rgb(18, 26, 30));
  DrawText(cv, 115, 4, "Karte", 11, LABEL);
  DrawText(cv, 115, 18, "50 x 40", 10, Darken(LABEL, 0.3));

  // Palette slot with the icon names beside it.
  FillRect(cv, 15, 96, 170, 408, Rgb(12, 15, 19));
  DrawBevel(cv, 15, 96, 170, 408, true);
  FillRect(cv, 18, 98, 44, 404, Rgb(4, 6, 8));
  for (int i = 0; i < 10; ++i) {
    int y = 100 + i * TILE;
    if (i) FillRect(cv, 66, y, 116, 1, Rgb(26, 32, 40));
    DrawText(cv, 70, y + 12, PALETTE_NAMES[i], 12, LABEL);
  }

  // Bottom display for the save notice and the help hint.
  FillRect(cv, 4, 512, 194, 50, DISPLAY);
  DrawBevel(cv, 4, 512, 194, 50, true);

  // Maker's plate.
  DrawTextCentered(cv, 102, 572, "VANTOR EDIT", 14, Rgb(150, 118, 52), FONT_SANS_BOLD);
  return cv;
}

// ---- 5: title ------------------------------------------------------------------

// A strip of cave built from the editor's own tiles, under the texts.
void DrawSampleLevel(Canvas& cv, const Canvas& tiles, const Canvas& sprites) {
  // Terrain codes; 's' start point, 'p' prisoner and 'e' enemy on empty cells.
  static const char* const LEVEL[] = {
      "11111000000000011111",
      "15000000e00000000041",
      "10s000003300000p0001",
      "11222111111111166661",
  };
  const int top = 600 - 4 * TILE;
  for (int r = 0; r < 4; ++r) {
    for (int c = 0; c < 20; ++c) {
      char ch = LEVEL[r][c];
      int x = c * TILE, y = top + r * TILE;
      int code = (ch >= '0' && ch <= '6') ? ch - '0' : 0;
      if (code) Blit(cv, CopyRegion(tiles, code * TILE, 0, TILE, TILE), x, y);
      int object = ch == 'e' ? 1 : ch == 's' ? 2 : ch == 'p' ? 3 : 0;
      if (object) BlitKeyed(cv, CopyRegion(sprites, object * TILE, 0, TILE, TILE), x, y);
    }
  }
  // Dim it, more towards the top, so that it stays a backdrop.
  for (int y = top; y < 600; ++y)
    for (int x = 0; x < 800; ++x)
      SetPixel(cv, x, y, Mix(GetPixel(cv, x, y), Rgb(6, 10, 20), 0.25 + 0.35 * (600 - y) / (600.0 - top)));
}

// A key cap with its label, as on the game's title; returns its width.
int KeyCap(Canvas& cv, int x, int y, const std::string& label) {
  const int size = 15, h = size + 13;
  int tw = TextWidth(label, size, FONT_SANS_BOLD);
  int w = std::max(34, tw + 16);
  FillRect(cv, x + 1, y + 2, w, h, INK);
  FillRect(cv, x, y, w, h, Rgb(30, 30, 40));
  GradientV(cv, x + 1, y + 1, w - 2, h - 2, Rgb(236, 238, 244), Rgb(168, 172, 186));
  GradientV(cv, x + 3, y + 2, w - 6, h - 7, Rgb(250, 250, 252), Rgb(206, 210, 220));
  DrawText(cv, x + (w - tw) / 2, y + 3, label, size, Rgb(30, 34, 50), FONT_SANS_BOLD);
  return w;
}

// The name in the game's gold, with a dark rim and a drop shadow.
void GoldTitle(Canvas& cv, int cx, int y, const std::string& text, int size) {
  Mask m = RenderTextMask(text, size, FONT_SANS_BOLD);
  int x = cx - m.width / 2;
  PaintMask(cv, GrowMask(m, 7), x - 7 + 5, y - 7 + 6, INK);
  PaintMask(cv, GrowMask(m, 5), x - 5, y - 5, Rgb(20, 12, 30));
  PaintMask(cv, GrowMask(m, 1), x - 1, y - 1, Rgb(255, 250, 210));
  PaintMaskGradient(cv, m, x, y, Rgb(255, 240, 112), Rgb(240, 112, 16));
}

Canvas MakeTitle(const Canvas& tiles, const Canvas& sprites) {
  Canvas cv = MakeCanvas(800, 600, 0);
  GradientV(cv, 0, 0, 800, 600, Rgb(14, 10, 34), Rgb(24, 18, 48));
  GradientRadial(cv, 400, 250, 420, Rgb(44, 32, 80), Rgb(16, 12, 36));
  // Drafting grid of 40-pixel cells: the map being planned.
  for (int x = 0; x < 800; x += TILE) FillRect(cv, x, 0, 1, 600, Rgb(40, 44, 86));
  for (int y = 0; y < 600; y += TILE) FillRect(cv, 0, y, 800, 1, Rgb(40, 44, 86));
  DrawSampleLevel(cv, tiles, sprites);

  GoldTitle(cv, 400, 18, "VANTOR", 108);
  DrawTextCentered(cv, 400, 150, "Karteneditor", 32, Rgb(150, 210, 255), FONT_SANS_BOLD);

  // The keys on a dark plate.
  FillRect(cv, 160, 206, 480, 188, Rgb(10, 12, 30));
  DrawRect(cv, 160, 206, 480, 188, Rgb(90, 110, 150), 2);
  static const char* const KEYS[][2] = {
      {"Cursortasten", "Karte scrollen"}, {"Linke Maustaste", "Symbol wählen und setzen"},
      {"F1", "Hilfe"},                    {"F2", "Karte speichern"},
      {"F3", "Karte laden"},              {"Esc", "Editor beenden"},
  };
  for (int i = 0; i < 6; ++i) {
    int y = 218 + i * 29;
    KeyCap(cv, 180, y, KEYS[i][0]);
    DrawText(cv, 356, y + 3, KEYS[i][1], 18, Rgb(235, 238, 245));
  }
  DrawTextCentered(cv, 400, 404, "Klicken zum Beginnen", 26, Rgb(255, 224, 110), FONT_SANS_BOLD);
  return cv;
}

}  // namespace

std::vector<Canvas> MakeEditorPictures() {
  const std::vector<Canvas> game = MakeGamePictures();
  Canvas tiles = MakeTerrainTiles(game);
  Canvas sprites = MakeObjectSprites(game);
  return {MakePointer(), tiles, sprites, MakePanel(), MakePalette(game, sprites), MakeTitle(tiles, sprites)};
}
