// Shift-JIS text drawn with the generated glyph tables: decoding into cells, clipping and
// painting each cell opaque.
#include "sequencer/shell/font.h"

#include "common/text_sjis.h"
#include "platform/picture.h"
#include "sequencer/shell/font_tables.h"

#include <climits>

namespace {

// One decoded character: how many bytes it took, its cell width and its bitmap (null when
// the font has no glyph for it).
struct FontChar {
    size_t bytes;
    int width;
    const uint8_t* bitmap;
    bool blank; // a lead byte without its trail byte
};

const FontGlyphs& glyphs_of(FontSize size) {
    return size == FontSize::small ? FONT_GLYPHS_SMALL : FONT_GLYPHS_LARGE;
}

bool is_trail_byte(uint8_t byte) {
    return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFC);
}

// Shift-JIS lead and trail bytes to the JIS X 0208 index (row - 0x21) * 94 + (cell - 0x21);
// -1 for lead bytes past row 0x7E (user-defined and vendor areas).
int jis_index(uint8_t lead, uint8_t trail) {
    int row_pair = lead <= 0x9F ? lead - 0x81 : lead - 0xC1; // two JIS rows per lead byte
    int row = row_pair * 2;
    int cell;
    if (trail >= 0x9F) {
        row += 1;
        cell = trail - 0x9F;
    } else {
        cell = trail - (trail >= 0x80 ? 0x41 : 0x40);
    }
    if (row >= FONT_JIS_SIDE) {
        return -1;
    }
    return row * FONT_JIS_SIDE + cell;
}

const uint8_t* glyph_at(const uint8_t* bitmaps, uint16_t number, int width, int height) {
    if (number == FONT_NO_GLYPH) {
        return nullptr;
    }
    return bitmaps + static_cast<size_t>(number) * font_row_bytes(width) * height;
}

FontChar decode_char(const FontGlyphs& f, const uint8_t* text, size_t remaining) {
    const uint8_t lead = text[0];
    if (!sjis_is_lead_byte(lead)) {
        return {1, f.half_width,
                glyph_at(f.half_bitmaps, f.half_index[lead], f.half_width, f.height), false};
    }
    if (remaining < 2 || !is_trail_byte(text[1])) {
        return {1, f.half_width, nullptr, true};
    }
    const int index = jis_index(lead, text[1]);
    const uint16_t number = index < 0 ? FONT_NO_GLYPH : f.full_index[index];
    return {2, f.full_width, glyph_at(f.full_bitmaps, number, f.full_width, f.height), false};
}

// Ink of the hollow box drawn for a missing glyph: an outline one pixel inside the cell.
bool box_ink(int col, int row, int width, int height) {
    const bool inside_cols = col >= 1 && col <= width - 2;
    const bool inside_rows = row >= 1 && row <= height - 2;
    return (inside_rows && (col == 1 || col == width - 2)) ||
           (inside_cols && (row == 1 || row == height - 2));
}

// Paints the part of one cell at (x, y) that lies inside the picture.
void draw_cell(uint32_t* pixels, long long x, int y, const FontChar& c, int height, uint32_t ink,
               uint32_t paper) {
    const int col_begin = x < 0 ? static_cast<int>(-x) : 0;
    const int col_end = x + c.width > PICTURE_WIDTH ? static_cast<int>(PICTURE_WIDTH - x) : c.width;
    const int row_begin = y < 0 ? -y : 0;
    const int row_end = y > PICTURE_HEIGHT - height ? PICTURE_HEIGHT - y : height;
    const int row_bytes = font_row_bytes(c.width);
    for (int row = row_begin; row < row_end; ++row) {
        // Starts at the first visible column, so no pointer leaves the picture.
        uint32_t* out = pixels + static_cast<long long>(y + row) * PICTURE_WIDTH + x + col_begin;
        if (c.blank) {
            for (int col = col_begin; col < col_end; ++col) {
                *out++ = paper;
            }
        } else if (c.bitmap == nullptr) {
            for (int col = col_begin; col < col_end; ++col) {
                *out++ = box_ink(col, row, c.width, height) ? ink : paper;
            }
        } else {
            const uint8_t* bits = c.bitmap + row * row_bytes;
            for (int col = col_begin; col < col_end; ++col) {
                *out++ = (bits[col >> 3] << (col & 7)) & 0x80 ? ink : paper;
            }
        }
    }
}

int clamp_width(long long width) {
    return width > INT_MAX ? INT_MAX : static_cast<int>(width);
}

} // namespace

int font_draw_text(uint32_t* pixels, int x, int y, FontSize size, const char* text, size_t length,
                   uint32_t ink, uint32_t paper) {
    const FontGlyphs& f = glyphs_of(size);
    const auto* bytes = reinterpret_cast<const uint8_t*>(text);
    const bool rows_visible = y > -f.height && y < PICTURE_HEIGHT;
    long long pen = x; // wide enough that no text length or start overflows it
    for (size_t at = 0; text != nullptr && at < length;) {
        const FontChar c = decode_char(f, bytes + at, length - at);
        if (rows_visible && pen < PICTURE_WIDTH && pen + c.width > 0) {
            draw_cell(pixels, pen, y, c, f.height, ink, paper);
        }
        pen += c.width;
        at += c.bytes;
    }
    return clamp_width(pen - x);
}

int font_text_width(FontSize size, const char* text, size_t length) {
    const FontGlyphs& f = glyphs_of(size);
    const auto* bytes = reinterpret_cast<const uint8_t*>(text);
    long long width = 0;
    for (size_t at = 0; text != nullptr && at < length;) {
        const FontChar c = decode_char(f, bytes + at, length - at);
        width += c.width;
        at += c.bytes;
    }
    return clamp_width(width);
}

bool font_covers(FontSize size, const char* text, size_t length, size_t* bad_offset) {
    const FontGlyphs& f = glyphs_of(size);
    const auto* bytes = reinterpret_cast<const uint8_t*>(text);
    for (size_t at = 0; text != nullptr && at < length;) {
        const FontChar c = decode_char(f, bytes + at, length - at);
        if (c.bitmap == nullptr) {
            if (bad_offset != nullptr) {
                *bad_offset = at;
            }
            return false;
        }
        at += c.bytes;
    }
    return true;
}

int font_height(FontSize size) {
    return glyphs_of(size).height;
}
