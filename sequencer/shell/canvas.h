// Pixel rules of the drawing calls over any block of 0x00RRGGBB pixels: lines, framed
// rectangles, bevels and copies, clipped to the block. No locking here (see draw.h).
#pragma once

#include <cstdint>

struct Canvas {
    uint32_t* pixels; // row by row from the top left
    int width;
    int height;
};

// Bevel styles of bevel_frame.
constexpr int BEVEL_RAISED = 0;
constexpr int BEVEL_SUNKEN_THIN = 1;
constexpr int BEVEL_PRESSED = 2;

// Colours are red | green << 8 | blue << 16. A pen or border width below 1 counts as 1.
void canvas_line(const Canvas& canvas, int x1, int y1, int x2, int y2, uint32_t colour, int width);
void canvas_rect(const Canvas& canvas, int x1, int y1, int x2, int y2, uint32_t fill_colour,
                 uint32_t border_colour, int border_width);
void canvas_bevel(const Canvas& canvas, int x1, int y1, int x2, int y2, int style);
// Copies the source rectangle (sx1, sy1) to (sx2, sy2), right and bottom exclusive, to (x, y);
// only pixels inside both the source and the canvas are copied.
void canvas_copy(const Canvas& canvas, int x, int y, const uint32_t* source, int source_width,
                 int source_height, int sx1, int sy1, int sx2, int sy2);
