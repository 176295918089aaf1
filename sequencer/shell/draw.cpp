// The drawing calls on the shared picture: each takes the picture lock, draws through the
// canvas rules and marks the picture changed.
#include "sequencer/shell/draw.h"

#include "platform/picture.h"
#include "sequencer/shell/canvas.h"

#include <mutex>

DrawState g_draw;

namespace {

Canvas picture_canvas() {
    return Canvas{g_picture.pixels, PICTURE_WIDTH, PICTURE_HEIGHT};
}

} // namespace

void draw_reset() {
    std::lock_guard<std::mutex> hold(g_picture.lock);
    g_draw = DrawState{};
}

void draw_line(int x1, int y1, int x2, int y2, uint32_t colour, int width) {
    std::lock_guard<std::mutex> hold(g_picture.lock);
    canvas_line(picture_canvas(), x1, y1, x2, y2, colour, width);
    picture_changed();
}

void fill_rect(int x1, int y1, int x2, int y2, uint32_t fill_colour, uint32_t border_colour,
               int border_width) {
    std::lock_guard<std::mutex> hold(g_picture.lock);
    canvas_rect(picture_canvas(), x1, y1, x2, y2, fill_colour, border_colour, border_width);
    picture_changed();
}

void clear_rect(int x1, int y1, int x2, int y2) {
    std::lock_guard<std::mutex> hold(g_picture.lock);
    canvas_rect(picture_canvas(), x1, y1, x2, y2, g_draw.base_colour, g_draw.base_colour, 1);
    picture_changed();
}

void bevel_frame(int x1, int y1, int x2, int y2, int style) {
    std::lock_guard<std::mutex> hold(g_picture.lock);
    canvas_bevel(picture_canvas(), x1, y1, x2, y2, style);
    picture_changed();
}
