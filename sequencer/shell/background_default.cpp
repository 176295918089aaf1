// Paints the built-in background: every control sits on the pixels the click areas of the
// main screen expect, and every text field is left plain base colour in a sunken well, since
// text is drawn opaque on the base colour.
#include "sequencer/shell/background_default.h"

#include "platform/picture.h"
#include "sequencer/shell/canvas.h"

namespace {

const uint32_t BASE = colour_rgb(212, 208, 200);
const uint32_t LIGHT = colour_rgb(255, 255, 255);
const uint32_t DARK = colour_rgb(127, 127, 127);
const uint32_t INK = colour_rgb(64, 64, 64);
const uint32_t RECORD_RED = colour_rgb(192, 0, 0);
const uint32_t WHITE_KEY = colour_rgb(255, 255, 255);
const uint32_t KEY_EDGE = colour_rgb(96, 96, 96);
const uint32_t BLACK_KEY = colour_rgb(32, 32, 32);

// Inclusive block of one colour.
void block(const Canvas& c, int x1, int y1, int x2, int y2, uint32_t colour) {
    canvas_rect(c, x1, y1, x2 + 1, y2 + 1, colour, colour, 1);
}

// A 1-pixel sunken outline around text cells (col, row) to (col + cols - 1, row + rows - 1).
// Large text starts one pixel left of its cell, so the left edge keeps two pixels away.
void field_well(const Canvas& c, int col, int row, int cols, int rows) {
    int left = 8 * col - 2;
    int right = 8 * (col + cols) - 1;
    int top = 16 * row - 1;
    int bottom = 16 * (row + rows);
    block(c, left, top, right, top, DARK);
    block(c, left, top, left, bottom, DARK);
    block(c, left + 1, bottom, right, bottom, LIGHT);
    block(c, right, top + 1, right, bottom, LIGHT);
}

// Triangles filled line by line: the tip at (tip_x, mid_y) pointing left (dir -1) or right
// (dir +1), `depth` pixels long and 2 * depth + 1 high at its base.
void triangle_horizontal(const Canvas& c, int tip_x, int mid_y, int depth, int dir,
                         uint32_t colour) {
    for (int d = 0; d < depth; d++) {
        int x = tip_x - dir * d;
        block(c, x, mid_y - d, x, mid_y + d, colour);
    }
}

// The tip at (mid_x, tip_y) pointing up (dir -1) or down (dir +1).
void triangle_vertical(const Canvas& c, int mid_x, int tip_y, int depth, int dir, uint32_t colour) {
    for (int d = 0; d < depth; d++) {
        int y = tip_y - dir * d;
        block(c, mid_x - d, y, mid_x + d, y, colour);
    }
}

void disc(const Canvas& c, int cx, int cy, int radius, uint32_t colour) {
    for (int dy = -radius; dy <= radius; dy++) {
        int half = 0;
        while ((half + 1) * (half + 1) + dy * dy <= radius * radius) {
            half++;
        }
        block(c, cx - half, cy + dy, cx + half, cy + dy, colour);
    }
}

// Top rows: version, step length, position, time signature, tempo, status line and title.
void paint_top_fields(const Canvas& c) {
    field_well(c, 16, 1, 6, 1);  // version
    field_well(c, 43, 1, 11, 2); // step length over position and hold marker
    field_well(c, 60, 1, 19, 2); // status line or elapsed time over time signature and tempo
    field_well(c, 3, 3, 34, 1);  // song title
}

// Menu column and the right panel, each framed just outside the area that is cleared
// before it is drawn.
void paint_panels(const Canvas& c) {
    canvas_bevel(c, 7, 76, 294, 295, BEVEL_SUNKEN_THIN);
    canvas_bevel(c, 297, 57, 628, 357, BEVEL_SUNKEN_THIN);
}

void paint_tabs(const Canvas& c) {
    for (int n = 0; n < 6; n++) {
        canvas_bevel(c, 8 + 48 * n, 297, 54 + 48 * n, 327, BEVEL_RAISED);
    }
}

// Record, song top, rewind, stop, play and fast forward, each symbol centred on its face.
void paint_transport(const Canvas& c) {
    for (int n = 0; n < 6; n++) {
        canvas_bevel(c, 8 + 48 * n, 329, 54 + 48 * n, 359, BEVEL_RAISED);
        int cx = 31 + 48 * n;
        int cy = 344;
        switch (n) {
        case 0:
            disc(c, cx, cy, 6, RECORD_RED);
            break;
        case 1:
            block(c, cx - 9, cy - 6, cx - 8, cy + 6, INK);
            triangle_horizontal(c, cx - 6, cy, 7, -1, INK);
            triangle_horizontal(c, cx + 1, cy, 7, -1, INK);
            break;
        case 2:
            triangle_horizontal(c, cx - 7, cy, 7, -1, INK);
            triangle_horizontal(c, cx, cy, 7, -1, INK);
            break;
        case 3:
            block(c, cx - 5, cy - 5, cx + 5, cy + 5, INK);
            break;
        case 4:
            triangle_horizontal(c, cx + 5, cy, 9, 1, INK);
            break;
        default:
            triangle_horizontal(c, cx, cy, 7, 1, INK);
            triangle_horizontal(c, cx + 7, cy, 7, 1, INK);
            break;
        }
    }
}

// 14 white keys 32 pixels wide from x 6, with separators on x 6 + 32k; black keys above
// y 406, 20 pixels wide, centred on the boundaries that carry one.
void paint_keyboard(const Canvas& c) {
    canvas_rect(c, 6, 360, 455, 454, WHITE_KEY, KEY_EDGE, 1);
    for (int k = 1; k < 14; k++) {
        block(c, 6 + 32 * k, 360, 6 + 32 * k, 453, KEY_EDGE);
    }
    // Boundary after white key k: 1 when a black key sits on it.
    const bool has_black[14] = {1, 1, 0, 1, 1, 1, 0, 1, 1, 0, 1, 1, 1, 0};
    for (int k = 0; k < 14; k++) {
        if (has_black[k]) {
            int middle = 38 + 32 * k;
            block(c, middle - 10, 360, middle + 9, 405, BLACK_KEY);
        }
    }
}

// Octave up over octave down, split at y 425/426, with arrows; the octave field above them.
void paint_octave(const Canvas& c) {
    canvas_bevel(c, 456, 394, 487, 426, BEVEL_RAISED);
    canvas_bevel(c, 456, 426, 487, 456, BEVEL_RAISED);
    triangle_vertical(c, 471, 405, 6, -1, INK);
    triangle_vertical(c, 471, 445, 6, 1, INK);
    field_well(c, 58, 23, 2, 1);
}

// Bank, mute markers, channel, track and port fields, then the slider panel's tempo mode:
// tempo down on cells 0 to 3, the mode button on 4 to 10, tempo up on 11 to 14 (cells of 8
// pixels from x 496), button row y 433 to 447.
void paint_lower_right(const Canvas& c) {
    field_well(c, 73, 23, 4, 4);
    canvas_bevel(c, 496, 433, 528, 448, BEVEL_RAISED);
    canvas_bevel(c, 528, 433, 584, 448, BEVEL_RAISED);
    canvas_bevel(c, 584, 433, 616, 448, BEVEL_RAISED);
    block(c, 508, 440, 515, 440, INK); // minus
    block(c, 596, 440, 603, 440, INK); // plus
    block(c, 599, 437, 600, 443, INK);
}

} // namespace

void background_default_paint(uint32_t* pixels) {
    Canvas c{pixels, PICTURE_WIDTH, PICTURE_HEIGHT};
    block(c, 0, 0, PICTURE_WIDTH - 1, PICTURE_HEIGHT - 1, BASE);
    paint_top_fields(c);
    paint_panels(c);
    paint_tabs(c);
    paint_transport(c);
    paint_keyboard(c);
    paint_octave(c);
    paint_lower_right(c);
    background_labels_paint(pixels);
}
