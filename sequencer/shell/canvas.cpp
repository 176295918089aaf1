// Lines, rectangles, bevels and copies following the window system's pixel rules, so that
// coordinates written for it land on the same pixels here.
#include "sequencer/shell/canvas.h"

#include "platform/picture.h"

#include <algorithm>

namespace {

// Coordinates are pulled in to this bound first, so the line arithmetic below stays inside
// 64 bits. Only absurd coordinates are affected, and they are only promised to be harmless.
constexpr int64_t COORD_LIMIT = int64_t{1} << 28;

int64_t clamp_coord(int value) {
    return std::clamp<int64_t>(value, -COORD_LIMIT, COORD_LIMIT);
}

// Fills columns x1..x2 of row y (inclusive), clipped.
void fill_span(const Canvas& canvas, int64_t y, int64_t x1, int64_t x2, uint32_t pixel) {
    if (y < 0 || y >= canvas.height) {
        return;
    }
    x1 = std::max<int64_t>(x1, 0);
    x2 = std::min<int64_t>(x2, canvas.width - 1);
    uint32_t* row = canvas.pixels + y * canvas.width;
    for (int64_t x = x1; x <= x2; x++) {
        row[x] = pixel;
    }
}

// Fills the inclusive block x1..x2, y1..y2, clipped.
void fill_block(const Canvas& canvas, int64_t x1, int64_t y1, int64_t x2, int64_t y2,
                uint32_t pixel) {
    y1 = std::max<int64_t>(y1, 0);
    y2 = std::min<int64_t>(y2, canvas.height - 1);
    for (int64_t y = y1; y <= y2; y++) {
        fill_span(canvas, y, x1, x2, pixel);
    }
}

// One line as steps along its major axis: step i is at major a_major + s_major * i and at
// minor the coordinate nearest the true line, ties going away from the start point (the
// usual midpoint rule).
struct LineWalk {
    int64_t a_major, a_minor; // start point
    int64_t s_major, s_minor; // +1 or -1
    int64_t d_major, d_minor; // absolute extents, d_major >= d_minor
};

int64_t minor_at(const LineWalk& walk, int64_t i) {
    if (walk.d_major == 0) {
        return walk.a_minor;
    }
    return walk.a_minor +
           walk.s_minor * ((2 * i * walk.d_minor + walk.d_major) / (2 * walk.d_major));
}

} // namespace

// A 1-pixel pen draws steps 0 to d_major - 1: the end point is left out, as LineTo does,
// and a line from a point to itself draws nothing. A wider pen of width w is a w by w
// square (offsets -w/2 to w - 1 - w/2 from the path pixel) swept along every step including
// the end point, standing in for the round caps of a wide solid pen.
void canvas_line(const Canvas& canvas, int x1, int y1, int x2, int y2, uint32_t colour, int width) {
    // Wider than the canvas covers nothing more; the bound keeps the spans small.
    int pen = std::clamp(width, 1, 2 * (canvas.width + canvas.height) + 1);
    int64_t lo = -(pen / 2);
    int64_t hi = pen - 1 - pen / 2;
    int64_t ax = clamp_coord(x1);
    int64_t ay = clamp_coord(y1);
    int64_t bx = clamp_coord(x2);
    int64_t by = clamp_coord(y2);
    int64_t adx = bx >= ax ? bx - ax : ax - bx;
    int64_t ady = by >= ay ? by - ay : ay - by;
    bool x_major = adx >= ady;
    LineWalk walk;
    if (x_major) {
        walk = {ax, ay, bx >= ax ? 1 : -1, by >= ay ? 1 : -1, adx, ady};
    } else {
        walk = {ay, ax, by >= ay ? 1 : -1, bx >= ax ? 1 : -1, ady, adx};
    }
    int64_t last = pen == 1 ? walk.d_major - 1 : walk.d_major;
    if (last < 0) {
        return;
    }
    uint32_t pixel = pixel_from_colour(colour);
    int major_count = x_major ? canvas.width : canvas.height;
    // Each major line c of the canvas is covered by the steps whose stamp reaches it; the
    // minor coordinate moves monotonically, so they cover one run along the minor axis.
    int64_t end_major = walk.a_major + walk.s_major * last;
    int64_t c_from = std::max<int64_t>(std::min(walk.a_major, end_major) + lo, 0);
    int64_t c_to = std::min<int64_t>(std::max(walk.a_major, end_major) + hi, major_count - 1);
    for (int64_t c = c_from; c <= c_to; c++) {
        int64_t first;
        int64_t end;
        if (walk.s_major > 0) {
            first = c - hi - walk.a_major;
            end = c - lo - walk.a_major;
        } else {
            first = walk.a_major - c + lo;
            end = walk.a_major - c + hi;
        }
        first = std::max<int64_t>(first, 0);
        end = std::min(end, last);
        if (first > end) {
            continue;
        }
        int64_t m1 = minor_at(walk, first);
        int64_t m2 = minor_at(walk, end);
        int64_t from = std::min(m1, m2) + lo;
        int64_t to = std::max(m1, m2) + hi;
        if (x_major) {
            from = std::max<int64_t>(from, 0);
            to = std::min<int64_t>(to, canvas.height - 1);
            for (int64_t y = from; y <= to; y++) {
                canvas.pixels[y * canvas.width + c] = pixel;
            }
        } else {
            fill_span(canvas, c, from, to, pixel);
        }
    }
}

// Covers x1..x2 - 1 and y1..y2 - 1 (corners in either order); the border lies inside that,
// border_width pixels thick, and the fill inside the border.
void canvas_rect(const Canvas& canvas, int x1, int y1, int x2, int y2, uint32_t fill_colour,
                 uint32_t border_colour, int border_width) {
    int64_t left = std::min(x1, x2);
    int64_t right = int64_t{std::max(x1, x2)} - 1;
    int64_t top = std::min(y1, y2);
    int64_t bottom = int64_t{std::max(y1, y2)} - 1;
    if (left > right || top > bottom) {
        return;
    }
    int64_t border = std::max(border_width, 1);
    uint32_t fill = pixel_from_colour(fill_colour);
    uint32_t edge = pixel_from_colour(border_colour);
    int64_t inner_left = left + border;
    int64_t inner_right = right - border;
    int64_t inner_top = top + border;
    int64_t inner_bottom = bottom - border;
    if (inner_left > inner_right || inner_top > inner_bottom) {
        fill_block(canvas, left, top, right, bottom, edge);
        return;
    }
    fill_block(canvas, left, top, right, inner_top - 1, edge);
    fill_block(canvas, left, inner_bottom + 1, right, bottom, edge);
    fill_block(canvas, left, inner_top, inner_left - 1, inner_bottom, edge);
    fill_block(canvas, inner_right + 1, inner_top, right, inner_bottom, edge);
    fill_block(canvas, inner_left, inner_top, inner_right, inner_bottom, fill);
}

// Rings of 1-pixel lines, top, bottom, left and right for each ring in turn, so the corners
// come out as the lines' left-out end points leave them.
void canvas_bevel(const Canvas& canvas, int x1, int y1, int x2, int y2, int style) {
    const uint32_t light = colour_rgb(255, 255, 255);
    const uint32_t dark = colour_rgb(127, 127, 127);
    uint32_t top_left = 0;
    uint32_t bottom_right = 0;
    int thickness = 3;
    if (style == BEVEL_RAISED) {
        top_left = light;
        bottom_right = dark;
    } else if (style == BEVEL_SUNKEN_THIN || style == BEVEL_PRESSED) {
        top_left = dark;
        bottom_right = light;
        thickness = style == BEVEL_SUNKEN_THIN ? 2 : 3;
    }
    // Far-off coordinates are pulled in so x2 - 1 - i cannot overflow.
    int left = static_cast<int>(clamp_coord(x1));
    int top = static_cast<int>(clamp_coord(y1));
    int right = static_cast<int>(clamp_coord(x2));
    int bottom = static_cast<int>(clamp_coord(y2));
    for (int i = 0; i < thickness; i++) {
        canvas_line(canvas, left, top + i, right - 1 - i, top + i, top_left, 1);
        canvas_line(canvas, left + i, bottom - 1 - i, right - 1, bottom - 1 - i, bottom_right, 1);
        canvas_line(canvas, left + i, top, left + i, bottom - 1 - i, top_left, 1);
        canvas_line(canvas, right - 1 - i, top + i, right - 1 - i, bottom, bottom_right, 1);
    }
}

// A plain source copy of (sx2 - sx1) by (sy2 - sy1) pixels; nothing when either is not
// positive.
void canvas_copy(const Canvas& canvas, int x, int y, const uint32_t* source, int source_width,
                 int source_height, int sx1, int sy1, int sx2, int sy2) {
    int64_t w = int64_t{sx2} - sx1;
    int64_t h = int64_t{sy2} - sy1;
    if (w <= 0 || h <= 0 || source == nullptr) {
        return;
    }
    // Offsets i, j of the copied block that land inside both pictures.
    int64_t i_from = std::max({int64_t{0}, -int64_t{sx1}, -int64_t{x}});
    int64_t i_to = std::min({w, int64_t{source_width} - sx1, int64_t{canvas.width} - x});
    int64_t j_from = std::max({int64_t{0}, -int64_t{sy1}, -int64_t{y}});
    int64_t j_to = std::min({h, int64_t{source_height} - sy1, int64_t{canvas.height} - y});
    if (i_from >= i_to) {
        return;
    }
    for (int64_t j = j_from; j < j_to; j++) {
        const uint32_t* from = source + (sy1 + j) * source_width + sx1 + i_from;
        uint32_t* to = canvas.pixels + (y + j) * canvas.width + x + i_from;
        std::copy(from, from + (i_to - i_from), to);
    }
}
