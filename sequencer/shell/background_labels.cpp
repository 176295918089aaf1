// The captions of the built-in background: page tabs, the field names beside the wells and
// the separators inside them. They belong to the picture, so copying the background back
// over a panel restores them too.
#include "sequencer/shell/background_default.h"

#include "platform/picture.h"
#include "sequencer/shell/font.h"

#include <cstring>

namespace {

const uint32_t CAPTION_INK = pixel_from_colour(colour_rgb(64, 64, 64));
const uint32_t CAPTION_PAPER = pixel_from_colour(colour_rgb(212, 208, 200));

void caption(uint32_t* pixels, int x, int y, FontSize size, const char* text) {
    font_draw_text(pixels, x, y, size, text, strlen(text), CAPTION_INK, CAPTION_PAPER);
}

// Small text centred on a button face from left to right (exclusive).
void caption_centred(uint32_t* pixels, int left, int right, int y, const char* text) {
    int width = font_text_width(FontSize::small, text, strlen(text));
    caption(pixels, left + (right - left - width) / 2, y, FontSize::small, text);
}

// Small text in a text cell, as small texts of the screen sit.
void caption_at(uint32_t* pixels, int col, int row, const char* text) {
    caption(pixels, 8 * col + 1, 16 * row + 1, FontSize::small, text);
}

// Large text in a text cell.
void separator_at(uint32_t* pixels, int col, int row, const char* text) {
    caption(pixels, 8 * col - 1, 16 * row, FontSize::large, text);
}

} // namespace

void background_labels_paint(uint32_t* pixels) {
    // The tabs of pages 0 to 5; page 6 is reached by the record button.
    const char* const TABS[6] = {"SYSTEM", "FILE", "MIDI", "SOUND", "EDIT", "EVENT"};
    for (int n = 0; n < 6; n++) {
        caption_centred(pixels, 11 + 48 * n, 51 + 48 * n, 306, TABS[n]);
    }
    caption_centred(pixels, 528, 584, 435, "TEMPO");
    // Position "MEAS:bt:cl" and the step length over it; time signature and tempo.
    caption_at(pixels, 43, 1, "STEP");
    separator_at(pixels, 49, 1, ":");
    separator_at(pixels, 46, 2, ":");
    separator_at(pixels, 49, 2, ":");
    separator_at(pixels, 62, 2, "/");
    caption_at(pixels, 66, 2, "TEMPO");
    // Octave, then bank, channel, track and port beside their wells.
    caption_at(pixels, 60, 23, "OCT");
    caption_at(pixels, 68, 23, "BANK");
    caption_at(pixels, 68, 24, "CH");
    caption_at(pixels, 68, 25, "TRACK");
    caption_at(pixels, 68, 26, "PORT");
}
