// Painting a running dialog into the modal canvas with the program's bevels and its 12 px
// font: frame and caption bar, texts, edits with their caret and any text an input method is
// composing, buttons (sunken while held), radio buttons, check boxes, group boxes, and a
// dotted mark on the focused control.
#include "gui/dialog_state.h"
#include "gui/gui_colours.h"
#include "gui/modal.h"

#include "common/text_sjis.h"
#include "platform/picture.h"
#include "platform/window.h"
#include "sequencer/shell/canvas.h"
#include "sequencer/shell/font.h"

#include <cstring>

namespace {

const uint32_t GREY_INK = colour_rgb(64, 64, 64);
constexpr int MARK_SIZE = 12; // radio and check marks

int text_draw(const Canvas& canvas, int x, int y, const char* text, size_t length, uint32_t ink,
              uint32_t paper) {
    return font_draw_text(canvas.pixels, x, y, FontSize::small, text, length,
                          pixel_from_colour(ink), pixel_from_colour(paper));
}

int text_width(const char* text) {
    return font_text_width(FontSize::small, text, strlen(text));
}

void pixel(const Canvas& canvas, int x, int y, uint32_t colour) {
    if (x >= 0 && y >= 0 && x < canvas.width && y < canvas.height) {
        canvas.pixels[y * canvas.width + x] = pixel_from_colour(colour);
    }
}

void dotted_frame(const Canvas& canvas, int x1, int y1, int x2, int y2) {
    for (int x = x1; x < x2; x += 2) {
        pixel(canvas, x, y1, GUI_INK);
        pixel(canvas, x, y2 - 1, GUI_INK);
    }
    for (int y = y1; y < y2; y += 2) {
        pixel(canvas, x1, y, GUI_INK);
        pixel(canvas, x2 - 1, y, GUI_INK);
    }
}

int text_top(const PixelRect& r) {
    return r.y1 + (r.y2 - r.y1 - font_height(FontSize::small)) / 2;
}

void frame_draw(const Canvas& canvas, const DialogRun& run) {
    const PixelRect& f = run.frame;
    canvas_rect(canvas, f.x1, f.y1, f.x2, f.y2, GUI_FACE, GUI_FACE, 1);
    canvas_bevel(canvas, f.x1, f.y1, f.x2, f.y2, BEVEL_RAISED);
    int left = f.x1 + DIALOG_FRAME;
    int top = f.y1 + DIALOG_FRAME;
    canvas_rect(canvas, left, top, f.x2 - DIALOG_FRAME, top + DIALOG_CAPTION_HEIGHT - 2,
                GUI_CAPTION, GUI_CAPTION, 1);
    const char* caption = run.dialog->caption;
    text_draw(canvas, left + 4, top + (DIALOG_CAPTION_HEIGHT - 2 - 12) / 2, caption,
              strlen(caption), GUI_WHITE, GUI_CAPTION);
}

void static_draw(const Canvas& canvas, const DialogControl& c, const PixelRect& r) {
    int x = r.x1;
    if (c.flags & CONTROL_CENTRED) {
        x = r.x1 + (r.x2 - r.x1 - text_width(c.text)) / 2;
    }
    text_draw(canvas, x, r.y1, c.text, strlen(c.text), GUI_INK, GUI_FACE);
}

void group_draw(const Canvas& canvas, const DialogControl& c, const PixelRect& r) {
    int top = r.y1 + 6;
    canvas_line(canvas, r.x1, top, r.x2 - 2, top, GUI_SHADOW, 1);
    canvas_line(canvas, r.x1, top, r.x1, r.y2 - 2, GUI_SHADOW, 1);
    canvas_line(canvas, r.x1, r.y2 - 2, r.x2 - 2, r.y2 - 2, GUI_SHADOW, 1);
    canvas_line(canvas, r.x2 - 2, top, r.x2 - 2, r.y2 - 2, GUI_SHADOW, 1);
    canvas_line(canvas, r.x1 + 1, top + 1, r.x2 - 3, top + 1, GUI_WHITE, 1);
    canvas_line(canvas, r.x1 + 1, top + 1, r.x1 + 1, r.y2 - 3, GUI_WHITE, 1);
    canvas_line(canvas, r.x1, r.y2 - 1, r.x2 - 1, r.y2 - 1, GUI_WHITE, 1);
    canvas_line(canvas, r.x2 - 1, top, r.x2 - 1, r.y2 - 1, GUI_WHITE, 1);
    int x = r.x1 + 8;
    x += text_draw(canvas, x, r.y1, " ", 1, GUI_INK, GUI_FACE);
    x += text_draw(canvas, x, r.y1, c.text, strlen(c.text), GUI_INK, GUI_FACE);
    text_draw(canvas, x, r.y1, " ", 1, GUI_INK, GUI_FACE);
}

void button_draw(const Canvas& canvas, const DialogRun& run, int index, const PixelRect& r) {
    const DialogControl& c = run.dialog->controls[index];
    bool pressed = run.pressed == index;
    bool focused = run.focus == index;
    PixelRect face = r;
    if ((c.flags & CONTROL_DEFAULT) || focused) {
        canvas_rect(canvas, r.x1, r.y1, r.x2, r.y2, GUI_FACE, GUI_INK, 1);
        face = PixelRect{r.x1 + 1, r.y1 + 1, r.x2 - 1, r.y2 - 1};
    } else {
        canvas_rect(canvas, r.x1, r.y1, r.x2, r.y2, GUI_FACE, GUI_FACE, 1);
    }
    canvas_bevel(canvas, face.x1, face.y1, face.x2, face.y2,
                 pressed ? BEVEL_PRESSED : BEVEL_RAISED);
    int shift = pressed ? 1 : 0;
    int x = face.x1 + (face.x2 - face.x1 - text_width(c.text)) / 2 + shift;
    text_draw(canvas, x, text_top(face) + shift, c.text, strlen(c.text), GUI_INK, GUI_FACE);
    if (focused) {
        dotted_frame(canvas, face.x1 + 4, face.y1 + 4, face.x2 - 4, face.y2 - 4);
    }
}

void radio_mark(const Canvas& canvas, int left, int top, bool selected) {
    // A ring shaded like a sunken bevel, white inside, a dot when selected.
    for (int y = 0; y < MARK_SIZE; y++) {
        for (int x = 0; x < MARK_SIZE; x++) {
            int dx = 2 * x + 1 - MARK_SIZE;
            int dy = 2 * y + 1 - MARK_SIZE;
            int d2 = dx * dx + dy * dy; // four times the squared distance from the centre
            if (d2 > MARK_SIZE * MARK_SIZE) {
                continue;
            }
            uint32_t colour = GUI_WHITE;
            if (d2 > (MARK_SIZE - 3) * (MARK_SIZE - 3)) {
                colour = dx + dy < 0 ? GUI_SHADOW : GUI_WHITE;
                if (dx + dy >= 0) {
                    colour = GUI_FACE;
                }
            } else if (selected && d2 <= 16) {
                colour = GUI_INK;
            }
            pixel(canvas, left + x, top + y, colour);
        }
    }
}

void check_mark(const Canvas& canvas, int left, int top, bool checked) {
    canvas_rect(canvas, left, top, left + MARK_SIZE, top + MARK_SIZE, GUI_WHITE, GUI_WHITE, 1);
    canvas_bevel(canvas, left, top, left + MARK_SIZE, top + MARK_SIZE, BEVEL_SUNKEN_THIN);
    if (checked) {
        canvas_line(canvas, left + 3, top + 6, left + 5, top + 8, GUI_INK, 1);
        canvas_line(canvas, left + 5, top + 8, left + 9, top + 3, GUI_INK, 1);
    }
}

void choice_draw(const Canvas& canvas, const DialogRun& run, int index, const PixelRect& r) {
    const DialogControl& c = run.dialog->controls[index];
    canvas_rect(canvas, r.x1, r.y1, r.x2, r.y2, GUI_FACE, GUI_FACE, 1);
    int top = r.y1 + (r.y2 - r.y1 - MARK_SIZE) / 2;
    bool on = run.controls[index].checked;
    if (c.kind == ControlKind::radio) {
        radio_mark(canvas, r.x1, top, on);
    } else {
        check_mark(canvas, r.x1, top, on);
    }
    int x = r.x1 + MARK_SIZE + 3;
    int width = text_draw(canvas, x, text_top(r), c.text, strlen(c.text), GUI_INK, GUI_FACE);
    if (run.focus == index) {
        dotted_frame(canvas, x - 1, text_top(r) - 1, x + width + 1, text_top(r) + 13);
    }
}

// Draws text[from..) character by character while it fits before `right`; returns the x
// after the last character drawn.
int clipped_text(const Canvas& canvas, int x, int y, int right, const std::string& text,
                 size_t from, size_t to, uint32_t ink) {
    size_t at = from;
    while (at < to) {
        size_t next = text_edit_next(text, at);
        int width = font_text_width(FontSize::small, text.data() + at, next - at);
        if (x + width > right) {
            break;
        }
        text_draw(canvas, x, y, text.data() + at, next - at, ink, GUI_WHITE);
        x += width;
        at = next;
    }
    return x;
}

// Keeps the caret inside the field: the text scrolls by whole characters.
void scroll_to_caret(ControlState& s, int inner_width, int composed_width) {
    const std::string& text = s.edit.text;
    if (s.edit.caret < s.scroll) {
        s.scroll = s.edit.caret;
    }
    s.scroll = text_edit_boundary(text, s.scroll);
    while (s.scroll < s.edit.caret &&
           font_text_width(FontSize::small, text.data() + s.scroll, s.edit.caret - s.scroll) +
                   composed_width >
               inner_width) {
        s.scroll = text_edit_next(text, s.scroll);
    }
}

void edit_draw(const Canvas& canvas, DialogRun& run, int index, const PixelRect& r) {
    ControlState& s = run.controls[index];
    bool focused = run.focus == index;
    canvas_rect(canvas, r.x1, r.y1, r.x2, r.y2, GUI_WHITE, GUI_WHITE, 1);
    canvas_bevel(canvas, r.x1, r.y1, r.x2, r.y2, BEVEL_SUNKEN_THIN);
    std::string composed = focused ? utf8_to_sjis(run.composition.c_str()) : std::string();
    int composed_width = font_text_width(FontSize::small, composed.data(), composed.size());
    int left = r.x1 + EDIT_MARGIN;
    int right = r.x2 - EDIT_MARGIN;
    scroll_to_caret(s, right - left, composed_width);
    int y = text_top(r);
    const std::string& text = s.edit.text;
    int x = clipped_text(canvas, left, y, right, text, s.scroll, s.edit.caret, GUI_INK);
    int caret_x = x;
    if (!composed.empty()) {
        int end = clipped_text(canvas, x, y, right, composed, 0, composed.size(), GREY_INK);
        canvas_line(canvas, x, y + 12, end - 1, y + 12, GUI_INK, 1);
        caret_x = end;
        x = end;
    }
    clipped_text(canvas, x, y, right, text, s.edit.caret, text.size(), GUI_INK);
    if (focused) {
        canvas_line(canvas, caret_x, y - 1, caret_x, y + 12, GUI_INK, 1);
        // An input method shows its window beside the caret.
        if (caret_x != run.text_area_x || r.y1 != run.text_area_y) {
            run.text_area_x = caret_x;
            run.text_area_y = r.y1;
            platform_text_input_area(caret_x, r.y1, r.x2 - caret_x, r.y2 - r.y1);
        }
    }
}

} // namespace

void dialog_draw(DialogRun& run) {
    Canvas canvas = modal_canvas();
    frame_draw(canvas, run);
    const DialogTemplate& d = *run.dialog;
    for (int i = 0; i < d.control_count; i++) {
        PixelRect r = dialog_control_rect(d, i);
        switch (d.controls[i].kind) {
        case ControlKind::static_text:
            static_draw(canvas, d.controls[i], r);
            break;
        case ControlKind::group_box:
            group_draw(canvas, d.controls[i], r);
            break;
        case ControlKind::button:
            button_draw(canvas, run, i, r);
            break;
        case ControlKind::radio:
        case ControlKind::check_box:
            choice_draw(canvas, run, i, r);
            break;
        case ControlKind::edit:
            edit_draw(canvas, run, i, r);
            break;
        }
    }
}
