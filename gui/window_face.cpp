// A plain window face: the client area of a small program window, with its one text wrapped
// at spaces (or inside a word too long for a line) and never split inside a character.
#include "gui/window_face.h"
#include "gui/gui_colours.h"

#include "common/text_sjis.h"
#include "platform/picture.h"
#include "sequencer/shell/canvas.h"
#include "sequencer/shell/font.h"

#include <algorithm>
#include <cstring>
#include <mutex>

namespace {

const uint32_t DESKTOP = colour_rgb(58, 110, 165);
constexpr int MARGIN = 8;

// Bytes of text from `start` that fit `width` pixels, ending after a space when one does.
size_t line_length(const char* text, size_t start, size_t length, int width) {
    size_t end = start;
    size_t last_break = 0;
    while (end < length) {
        size_t step = sjis_is_lead_byte(static_cast<uint8_t>(text[end])) ? 2 : 1;
        step = std::min(step, length - end);
        if (font_text_width(FontSize::small, text + start, end + step - start) > width) {
            break;
        }
        end += step;
        if (text[end - 1] == ' ') {
            last_break = end;
        }
    }
    if (end < length && last_break > start) {
        return last_break - start;
    }
    return end > start ? end - start : std::min<size_t>(1, length - start);
}

} // namespace

void window_face_draw(int width, int height, const char* sjis_text) {
    {
        std::lock_guard<std::mutex> hold(g_picture.lock);
        Canvas canvas{g_picture.pixels, PICTURE_WIDTH, PICTURE_HEIGHT};
        canvas_rect(canvas, 0, 0, PICTURE_WIDTH, PICTURE_HEIGHT, DESKTOP, DESKTOP, 1);
        canvas_rect(canvas, 0, 0, width, height, GUI_FACE, GUI_FACE, 1);
        size_t length = strlen(sjis_text);
        int line_height = font_height(FontSize::small) + 2;
        size_t at = 0;
        for (int y = MARGIN; at < length && y + line_height <= height; y += line_height) {
            size_t n = line_length(sjis_text, at, length, width - 2 * MARGIN);
            font_draw_text(canvas.pixels, MARGIN, y, FontSize::small, sjis_text + at, n,
                           pixel_from_colour(GUI_INK), pixel_from_colour(GUI_FACE));
            at += n;
            while (at < length && sjis_text[at] == ' ') {
                at++;
            }
        }
    }
    picture_changed();
}
