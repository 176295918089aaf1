// The screen's two Japanese bitmap fonts: one line of Shift-JIS text drawn opaque into a
// PICTURE_WIDTH x PICTURE_HEIGHT pixel buffer, its width, and whether the fonts cover it.
#pragma once
#include <cstddef>
#include <cstdint>

enum class FontSize { small, large }; // 12 px and 16 px

// Draws one line of Shift-JIS text, opaque: every pixel of each character cell gets ink or
// paper (pixel values, 0x00RRGGBB). Starts at pixel (x, y) of a PICTURE_WIDTH x
// PICTURE_HEIGHT buffer, clipped to the buffer (any x, y, even negative or past the edge, is
// safe). A half-width character advances 8 (large) or 6 (small) pixels, a double-byte one 16
// or 12. A missing glyph is drawn as a hollow box; a lead byte with no valid trail byte after
// it (including at the end) is drawn as a blank half-width cell. Returns the width advanced.
// Does not lock: the caller holds g_picture.lock when drawing into the picture.
int font_draw_text(uint32_t* pixels, int x, int y, FontSize size, const char* text, size_t length,
                   uint32_t ink, uint32_t paper);
// Width in pixels the text would take.
int font_text_width(FontSize size, const char* text, size_t length);
// True when every character of the text has a glyph; otherwise false and the byte offset of
// the first character without one in *bad_offset (may be null). A lead byte without a valid
// trail byte counts as a character without a glyph.
bool font_covers(FontSize size, const char* text, size_t length, size_t* bad_offset);
// Cell height in pixels: 12 or 16.
int font_height(FontSize size);
