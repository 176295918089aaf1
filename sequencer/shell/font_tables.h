// Layout of the glyph tables that tools/gen/font_table_gen writes at build time from the
// installed bitmap fonts; read only by the text drawing in font.cpp.
#pragma once
#include <cstdint>

// Marks a code that has no glyph in an index.
constexpr uint16_t FONT_NO_GLYPH = 0xFFFF;
// JIS X 0208 rows and cells both run 0x21..0x7E.
constexpr int FONT_JIS_SIDE = 94;

// One font size. Glyph bitmaps are 1 bit per pixel, each row padded to whole bytes, the
// leftmost pixel in the top bit; a glyph covers its whole cell (half_width or full_width by
// height), so drawing it paints every pixel of the cell.
struct FontGlyphs {
    int height;     // cell height in pixels
    int half_width; // cell width of a single-byte character
    int full_width; // cell width of a double-byte character
    // Single bytes (JIS X 0201 codes) to glyph numbers in half_bitmaps.
    const uint16_t* half_index; // 256 entries
    const uint8_t* half_bitmaps;
    // JIS X 0208 codes to glyph numbers in full_bitmaps, at (row - 0x21) * 94 + cell - 0x21.
    const uint16_t* full_index; // FONT_JIS_SIDE * FONT_JIS_SIDE entries
    const uint8_t* full_bitmaps;
};

inline int font_row_bytes(int width) {
    return (width + 7) / 8;
}

extern const FontGlyphs FONT_GLYPHS_SMALL; // 12 px
extern const FontGlyphs FONT_GLYPHS_LARGE; // 16 px
