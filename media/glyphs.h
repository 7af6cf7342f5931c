// The drawing font as prebuilt glyphs: one proportional font, rendered once
// at build time without anti-aliasing, so that text needs no font engine at
// run time. Distances in 1/64 pixel are kept as the font engine gives them,
// so that a line adds up exactly as the engine would lay it out.
#pragma once

#include <cstdint>

struct Glyph {
  uint32_t codePoint;
  int16_t advance;   // pen advance, 1/64 pixel
  int8_t left;       // bitmap's left column relative to the pen
  int8_t top;        // bitmap's top row above the baseline
  uint8_t width, rows;
  uint16_t firstRow;  // its rows in GlyphFont::rows, one 32-bit mask each, bit i = column i
};

// An adjustment of the pen between two glyphs (indices into GlyphFont::glyphs).
struct KerningPair {
  uint16_t first, second;
  int16_t amount;  // 1/64 pixel
};

struct GlyphFont {
  int lineHeight;  // distance between lines
  int ascent;      // baseline below the top of a line
  int height;      // ascent plus descent
  const Glyph* glyphs;  // sorted by code point; the last one is U+FFFD
  int glyphCount;
  const uint32_t* rows;
  const KerningPair* kerning;  // sorted by first, then second
  int kerningCount;
};

extern const GlyphFont GLYPH_FONT;
