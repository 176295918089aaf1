// Text and number drawing over the glyph tables, into the picture.
#include "sequencer/shell/draw_text.h"

#include "platform/picture.h"
#include "sequencer/shell/draw.h"
#include "sequencer/shell/font.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr int PALETTE_SIZE = 17;
const uint32_t TEXT_PALETTE[PALETTE_SIZE] = {
    0x000000, 0xC00000, 0x0000C0, 0x000000, 0x000000, 0x000000, 0x000000, 0xC0C0C0, 0x000000,
    0xFF0000, 0x0000FF, 0x000000, 0x007F00, 0xFFFF00, 0x000000, 0x000000, 0x000000,
};
const uint32_t INVERSE_INK = 0xFFFFFF;
const uint32_t INVERSE_PAPER = 0x7F7F7F;

// The colour and inverse choice for the next text. Frames (window or playback thread) and
// the window timer's refresher both draw text, so each thread keeps its own choice.
thread_local int t_text_colour = 0;
thread_local bool t_text_inverse = false;

void text_draw(int x, int y, FontSize size, const char* text) {
    if (t_text_colour >= PALETTE_SIZE || t_text_colour < 0) {
        return; // nothing drawn, and the choice stays for the next call
    }
    uint32_t ink = t_text_inverse ? INVERSE_INK : TEXT_PALETTE[t_text_colour];
    uint32_t paper = t_text_inverse ? INVERSE_PAPER : g_draw.base_colour;
    {
        std::lock_guard<std::mutex> hold(g_picture.lock);
        int width = font_draw_text(g_picture.pixels, x, y, size, text, strlen(text),
                                   pixel_from_colour(ink), pixel_from_colour(paper));
        picture_guard_repair(x, y, x + width, y + font_height(size));
    }
    picture_changed();
    t_text_colour = 0;
    t_text_inverse = false;
}

void large_at(int col, int row, const char* text) {
    text_draw(8 * col - 1, 16 * row, FontSize::large, text);
}

void number_draw(int col, int row, const char* pattern, int width, int32_t value, bool inverse) {
    char format[16];
    char text[48];
    snprintf(format, sizeof format, pattern, width < 0 ? 0 : (width > 32 ? 32 : width));
    snprintf(text, sizeof text, format, value);
    t_text_inverse = t_text_inverse || inverse;
    large_at(col, row, text);
}

} // namespace

void text_choice_reset() {
    t_text_colour = 0;
    t_text_inverse = false;
}

void set_text_colour(int index) {
    t_text_colour = index;
}

void text_at(int col, int row, const char* text) {
    large_at(col, row, text);
}

void small_text_at(int col, int row, const char* text) {
    text_draw(8 * col + 1, 16 * row + 1, FontSize::small, text);
}

void text_inverse_at(int col, int row, const char* text) {
    t_text_inverse = true;
    large_at(col, row, text);
}

void small_text_inverse_at(int col, int row, const char* text) {
    t_text_inverse = true;
    small_text_at(col, row, text);
}

void number_at(int col, int row, int width, int32_t value) {
    number_draw(col, row, "%%%dd", width, value, false);
}

void zero_number_at(int col, int row, int width, int32_t value) {
    number_draw(col, row, "%%0%dd", width, value, false);
}

void hex_at(int col, int row, int width, int32_t value) {
    number_draw(col, row, "%%0%dX", width, value, false);
}

void number_inverse_at(int col, int row, int width, int32_t value) {
    number_draw(col, row, "%%%dd", width, value, true);
}

void zero_number_inverse_at(int col, int row, int width, int32_t value) {
    number_draw(col, row, "%%0%dd", width, value, true);
}
