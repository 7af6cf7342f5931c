// glyphgen FONT OUTPUT.cpp: renders the drawing font's glyphs once and writes
// them as a C++ source for the media library (see media/glyphs.h).
//
// The font is opened with SDL2_ttf exactly as the programs used it: the
// largest size up to 14 points whose lines stand at most 20 pixels apart,
// monochrome hinting, solid rendering. Bitmaps and their boxes come from
// SDL2_ttf. SDL2_ttf lays a line out with HarfBuzz on a FreeType face, and
// keeps pen positions in 1/64 pixel; it does not say what HarfBuzz answered,
// so the advances and kerning are asked of HarfBuzz here, on a face set up
// the way SDL2_ttf sets up its own.
#include <SDL.h>
#include <SDL_ttf.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include <hb-ft.h>
#include <hb.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int FONT_POINTS = 14;
constexpr int MAX_LINE_HEIGHT = 20;
constexpr uint32_t REPLACEMENT = 0xFFFD;

// Windows-1252 characters 0x80 .. 0x9F; 0 where the code page has none.
constexpr uint32_t CP1252_HIGH[32] = {
    0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0, 0x017D, 0, 0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178};

struct Bitmap {
  uint32_t codePoint = 0;
  int advance = 0;  // 1/64 pixel
  int left = 0, top = 0, width = 0, rows = 0;
  std::vector<uint32_t> bits;
  unsigned glyphIndex = 0;  // the font's, to recognise it in shaped pairs
};

struct Kern {
  int first, second, amount;
};

[[noreturn]] void Fail(const std::string& what) {
  std::fprintf(stderr, "glyphgen: %s\n", what.c_str());
  std::exit(1);
}

// Every printable Windows-1252 character by its Unicode code point, in
// ascending order, and U+FFFD last.
std::vector<uint32_t> CodePoints() {
  std::vector<uint32_t> out;
  for (uint32_t c = 0x20; c <= 0x7E; ++c) out.push_back(c);
  for (uint32_t c : CP1252_HIGH)
    if (c) out.push_back(c);
  for (uint32_t c = 0xA0; c <= 0xFF; ++c) out.push_back(c);
  std::sort(out.begin(), out.end());
  out.push_back(REPLACEMENT);
  return out;
}

std::string Utf8(uint32_t c) {
  std::string s;
  if (c < 0x80) {
    s += char(c);
  } else if (c < 0x800) {
    s += char(0xC0 | c >> 6);
    s += char(0x80 | (c & 0x3F));
  } else {
    s += char(0xE0 | c >> 12);
    s += char(0x80 | (c >> 6 & 0x3F));
    s += char(0x80 | (c & 0x3F));
  }
  return s;
}

TTF_Font* OpenTtfFont(const char* path, int& points) {
  if (TTF_Init() != 0) Fail(std::string("TTF_Init: ") + TTF_GetError());
  for (points = FONT_POINTS; points >= 6; --points) {
    TTF_Font* font = TTF_OpenFont(path, points);
    if (!font) Fail(std::string("cannot open ") + path + ": " + TTF_GetError());
    if (TTF_FontLineSkip(font) <= MAX_LINE_HEIGHT) {
      TTF_SetFontHinting(font, TTF_HINTING_MONO);
      return font;
    }
    TTF_CloseFont(font);
  }
  Fail("no size of the font has lines of at most 20 pixels");
}

// The HarfBuzz font SDL2_ttf shapes with: the face's Unicode character map
// (UCS-4 preferred), the point size at 72 dpi, FreeType's advances with
// monochrome hinting.
hb_font_t* OpenShapingFont(const char* path, int points, FT_Library& library, FT_Face& face) {
  if (FT_Init_FreeType(&library) || FT_New_Face(library, path, 0, &face)) Fail("FreeType cannot open the font");
  FT_CharMap unicode = nullptr;
  for (int i = 0; i < face->num_charmaps && !unicode; ++i) {
    FT_CharMap m = face->charmaps[i];
    if (m->platform_id == 3 && m->encoding_id == 10) unicode = m;
  }
  for (int i = 0; i < face->num_charmaps && !unicode; ++i) {
    FT_CharMap m = face->charmaps[i];
    if ((m->platform_id == 3 && (m->encoding_id == 1 || m->encoding_id == 0)) ||
        (m->platform_id == 2 && m->encoding_id == 1) || m->platform_id == 0)
      unicode = m;
  }
  if (unicode) FT_Set_Charmap(face, unicode);
  if (FT_Set_Char_Size(face, 0, points * 64, 0, 0)) Fail("FreeType cannot size the font");
  hb_font_t* font = hb_ft_font_create(face, nullptr);
  hb_ft_font_set_load_flags(font, FT_LOAD_DEFAULT | FT_LOAD_TARGET_MONO);
  hb_ft_font_changed(font);
  return font;
}

struct Shaped {
  std::vector<hb_glyph_info_t> info;
  std::vector<hb_glyph_position_t> pos;
};

Shaped Shape(hb_font_t* font, const std::vector<uint32_t>& text) {
  hb_buffer_t* buffer = hb_buffer_create();
  hb_buffer_set_direction(buffer, HB_DIRECTION_LTR);
  hb_buffer_set_script(buffer, HB_SCRIPT_UNKNOWN);
  hb_buffer_add_codepoints(buffer, text.data(), int(text.size()), 0, -1);
  hb_shape(font, buffer, nullptr, 0);
  unsigned count = 0;
  hb_glyph_info_t* info = hb_buffer_get_glyph_infos(buffer, &count);
  hb_glyph_position_t* pos = hb_buffer_get_glyph_positions(buffer, &count);
  Shaped s{{info, info + count}, {pos, pos + count}};
  hb_buffer_destroy(buffer);
  return s;
}

// The glyph's box from SDL2_ttf's metrics and its pixels from rendering it
// alone, where it stands at the line's ascent and, when its box reaches left
// of the pen or above the line, shifted by that much.
Bitmap RenderGlyph(TTF_Font* font, hb_font_t* shaping, uint32_t c) {
  Bitmap g;
  g.codePoint = c;
  Shaped s = Shape(shaping, {c});
  if (s.info.size() != 1 || s.pos[0].x_offset || s.pos[0].y_offset || s.pos[0].y_advance)
    Fail("U+" + std::to_string(c) + " does not shape as one plain glyph");
  g.glyphIndex = s.info[0].codepoint;
  g.advance = s.pos[0].x_advance;
  int minx = 0, maxx = 0, miny = 0, maxy = 0, advance = 0;
  if (TTF_GlyphMetrics32(font, c, &minx, &maxx, &miny, &maxy, &advance) != 0) Fail("no metrics");
  g.left = minx;
  g.top = maxy;
  g.width = maxx - minx;
  g.rows = maxy - miny;
  if (g.width > 32) Fail("a glyph wider than 32 pixels");
  g.bits.assign(size_t(g.rows), 0);

  SDL_Surface* surface = TTF_RenderUTF8_Solid(font, Utf8(c).c_str(), SDL_Color{255, 255, 255, 255});
  if (!surface) return g;  // nothing to draw, e.g. a space
  const int ascent = TTF_FontAscent(font);
  const int xstart = std::max(0, -g.left), ystart = std::max(0, g.top - ascent);
  const int x0 = xstart + g.left, y0 = ystart + ascent - g.top;
  SDL_LockSurface(surface);
  for (int y = 0; y < surface->h; ++y) {
    const uint8_t* row = static_cast<const uint8_t*>(surface->pixels) + size_t(y) * surface->pitch;
    for (int x = 0; x < surface->w; ++x) {
      if (!row[x]) continue;
      const int bx = x - x0, by = y - y0;
      if (bx < 0 || by < 0 || bx >= g.width || by >= g.rows) Fail("U+" + std::to_string(c) + " draws outside its box");
      g.bits[size_t(by)] |= uint32_t(1) << bx;
    }
  }
  SDL_UnlockSurface(surface);
  SDL_FreeSurface(surface);
  return g;
}

// Shapes every pair; a pair whose first advance differs from the glyph's own
// is a kerning pair. Pairs that shape into anything but their two glyphs at
// their plain offsets cannot be laid out from single glyphs: they are named.
std::vector<Kern> FindKerning(hb_font_t* shaping, const std::vector<Bitmap>& glyphs) {
  std::vector<Kern> out;
  int odd = 0;
  for (size_t a = 0; a < glyphs.size(); ++a)
    for (size_t b = 0; b < glyphs.size(); ++b) {
      Shaped s = Shape(shaping, {glyphs[a].codePoint, glyphs[b].codePoint});
      const bool plain = s.info.size() == 2 && s.info[0].codepoint == glyphs[a].glyphIndex &&
                         s.info[1].codepoint == glyphs[b].glyphIndex && !s.pos[0].x_offset &&
                         !s.pos[1].x_offset && !s.pos[0].y_offset && !s.pos[1].y_offset &&
                         s.pos[1].x_advance == glyphs[b].advance;
      if (!plain) {
        std::fprintf(stderr, "glyphgen: U+%04X U+%04X is not a plain pair\n", glyphs[a].codePoint,
                     glyphs[b].codePoint);
        ++odd;
        continue;
      }
      const int amount = s.pos[0].x_advance - glyphs[a].advance;
      if (amount) out.push_back({int(a), int(b), amount});
    }
  if (odd) Fail(std::to_string(odd) + " pairs are not plain pairs");
  return out;
}

void Write(const char* path, TTF_Font* font, int points, const std::vector<Bitmap>& glyphs,
           const std::vector<Kern>& kerning) {
  std::ofstream out(path);
  out << "// Generated by glyphgen from DejaVu Sans at " << points
      << " points with monochrome hinting; do not edit.\n"
         "#include \"media/glyphs.h\"\n\nnamespace {\n\nconstexpr uint32_t ROWS[] = {\n";
  size_t rowCount = 0;
  for (const Bitmap& g : glyphs)
    for (uint32_t r : g.bits) {
      out << (rowCount % 8 ? " " : "    ") << "0x" << std::hex << r << std::dec << "u,";
      if (++rowCount % 8 == 0) out << "\n";
    }
  if (rowCount == 0) out << "    0";
  out << "\n};\n\nconstexpr Glyph GLYPHS[] = {\n";
  size_t first = 0;
  for (const Bitmap& g : glyphs) {
    out << "    {0x" << std::hex << g.codePoint << std::dec << ", " << g.advance << ", " << g.left << ", " << g.top
        << ", " << g.width << ", " << g.rows << ", " << first << "},\n";
    first += g.bits.size();
  }
  out << "};\n\nconstexpr KerningPair KERNING[] = {\n";
  for (const Kern& k : kerning) out << "    {" << k.first << ", " << k.second << ", " << k.amount << "},\n";
  if (kerning.empty()) out << "    {0, 0, 0},\n";
  out << "};\n\n}  // namespace\n\nconst GlyphFont GLYPH_FONT = {" << TTF_FontLineSkip(font) << ", "
      << TTF_FontAscent(font) << ", " << TTF_FontHeight(font) << ", GLYPHS, " << glyphs.size()
      << ", ROWS, KERNING, " << kerning.size() << "};\n";
  if (!out) Fail(std::string("cannot write ") + path);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: glyphgen FONT OUTPUT.cpp\n");
    return 2;
  }
  int points = 0;
  TTF_Font* font = OpenTtfFont(argv[1], points);
  FT_Library library = nullptr;
  FT_Face face = nullptr;
  hb_font_t* shaping = OpenShapingFont(argv[1], points, library, face);

  std::vector<Bitmap> glyphs;
  for (uint32_t c : CodePoints()) glyphs.push_back(RenderGlyph(font, shaping, c));
  const std::vector<Kern> kerning = FindKerning(shaping, glyphs);
  Write(argv[2], font, points, glyphs, kerning);

  hb_font_destroy(shaping);
  FT_Done_Face(face);
  FT_Done_FreeType(library);
  TTF_CloseFont(font);
  TTF_Quit();
  return 0;
}
