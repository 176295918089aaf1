// The drawing calls on the shared picture: each takes the picture lock, draws through the
// canvas rules, keeps out of an open dialog and marks the picture changed.
#include "sequencer/shell/draw.h"

#include "platform/picture.h"
#include "sequencer/shell/canvas.h"

#include <algorithm>
#include <mutex>

DrawState g_draw;

namespace {

Canvas picture_canvas() {
    return Canvas{g_picture.pixels, PICTURE_WIDTH, PICTURE_HEIGHT};
}

// Any coordinates reach the drawing calls, so the box handed to the guard is clamped first.
void keep_out_of_dialogs(int64_t x1, int64_t y1, int64_t x2, int64_t y2) {
    auto clamp_x = [](int64_t v) {
        return static_cast<int>(std::clamp<int64_t>(v, 0, PICTURE_WIDTH));
    };
    auto clamp_y = [](int64_t v) {
        return static_cast<int>(std::clamp<int64_t>(v, 0, PICTURE_HEIGHT));
    };
    picture_guard_repair(clamp_x(x1), clamp_y(y1), clamp_x(x2), clamp_y(y2));
}

} // namespace

void draw_reset() {
    std::lock_guard<std::mutex> hold(g_picture.lock);
    g_draw = DrawState{};
}

void draw_line(int x1, int y1, int x2, int y2, uint32_t colour, int width) {
    std::lock_guard<std::mutex> hold(g_picture.lock);
    canvas_line(picture_canvas(), x1, y1, x2, y2, colour, width);
    int64_t reach = width < 1 ? 1 : width;
    keep_out_of_dialogs(int64_t{std::min(x1, x2)} - reach, int64_t{std::min(y1, y2)} - reach,
                        int64_t{std::max(x1, x2)} + reach + 1,
                        int64_t{std::max(y1, y2)} + reach + 1);
    picture_changed();
}

void fill_rect(int x1, int y1, int x2, int y2, uint32_t fill_colour, uint32_t border_colour,
               int border_width) {
    std::lock_guard<std::mutex> hold(g_picture.lock);
    canvas_rect(picture_canvas(), x1, y1, x2, y2, fill_colour, border_colour, border_width);
    keep_out_of_dialogs(std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2));
    picture_changed();
}

void clear_rect(int x1, int y1, int x2, int y2) {
    std::lock_guard<std::mutex> hold(g_picture.lock);
    canvas_rect(picture_canvas(), x1, y1, x2, y2, g_draw.base_colour, g_draw.base_colour, 1);
    keep_out_of_dialogs(std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2));
    picture_changed();
}

void bevel_frame(int x1, int y1, int x2, int y2, int style) {
    std::lock_guard<std::mutex> hold(g_picture.lock);
    canvas_bevel(picture_canvas(), x1, y1, x2, y2, style);
    keep_out_of_dialogs(int64_t{std::min(x1, x2)} - 1, int64_t{std::min(y1, y2)} - 1,
                        int64_t{std::max(x1, x2)} + 2, int64_t{std::max(y1, y2)} + 2);
    picture_changed();
}
