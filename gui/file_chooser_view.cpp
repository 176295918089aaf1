// The file chooser on screen: its layout, drawing (only the rows in view) and what a point
// of the picture hits.
#include "gui/file_chooser_view.h"
#include "common/text_sjis.h"
#include "gui/gui_colours.h"
#include "platform/picture.h"
#include "sequencer/shell/canvas.h"
#include "sequencer/shell/font.h"

#include <algorithm>
#include <cstring>

namespace {

const uint32_t STATUS_INK = colour_rgb(160, 0, 0);

constexpr int ROW_HEIGHT = 14;
constexpr int SCROLL_WIDTH = 16;

// Every rectangle as x1, y1, x2, y2 (exclusive) in picture pixels.
struct Box {
    int x1, y1, x2, y2;
    bool holds(int x, int y) const { return x >= x1 && x < x2 && y >= y1 && y < y2; }
};

constexpr int BOX_X = CHOOSER_X;
constexpr int BOX_Y = CHOOSER_Y;
constexpr Box LIST = {BOX_X + 10, BOX_Y + 46, BOX_X + 354,
                      BOX_Y + 46 + CHOOSER_VISIBLE_ROWS* ROW_HEIGHT + 4};
constexpr Box SCROLL_UP = {LIST.x2 - 2 - SCROLL_WIDTH, LIST.y1 + 2, LIST.x2 - 2, LIST.y1 + 18};
constexpr Box SCROLL_DOWN = {LIST.x2 - 2 - SCROLL_WIDTH, LIST.y2 - 18, LIST.x2 - 2, LIST.y2 - 2};
constexpr Box SCROLL_TRACK = {SCROLL_UP.x1, SCROLL_UP.y2, SCROLL_UP.x2, SCROLL_DOWN.y1};
constexpr Box NAME_FIELD = {BOX_X + 80, BOX_Y + 280, BOX_X + 354, BOX_Y + 298};

struct ButtonPlace {
    ChooserButton button;
    Box box;
    const char* japanese;
    const char* english;
};

const ButtonPlace BUTTONS[] = {
    {ChooserButton::parent,
     {BOX_X + 366, BOX_Y + 46, BOX_X + 470, BOX_Y + 70},
     "上のフォルダー",
     "Up one level"},
    {ChooserButton::home, {BOX_X + 366, BOX_Y + 76, BOX_X + 470, BOX_Y + 100}, "ホーム", "Home"},
    {ChooserButton::program,
     {BOX_X + 366, BOX_Y + 106, BOX_X + 470, BOX_Y + 130},
     "プログラム",
     "Program"},
    {ChooserButton::filter, {BOX_X + 80, BOX_Y + 304, BOX_X + 354, BOX_Y + 322}, nullptr, nullptr},
    {ChooserButton::ok, {BOX_X + 366, BOX_Y + 278, BOX_X + 470, BOX_Y + 300}, nullptr, nullptr},
    {ChooserButton::cancel,
     {BOX_X + 366, BOX_Y + 304, BOX_X + 470, BOX_Y + 326},
     "キャンセル",
     "Cancel"},
};

std::string text_of(const char* japanese, const char* english) {
    return utf8_to_sjis(g_file_chooser.japanese ? japanese : english);
}

// One line of small text, cut (never mid-character) to end before max_x.
void text_draw(const Canvas& canvas, int x, int y, const std::string& sjis, uint32_t ink,
               uint32_t paper, int max_x) {
    size_t length = 0;
    int width = 0;
    while (length < sjis.size()) {
        size_t step = sjis_is_lead_byte(static_cast<uint8_t>(sjis[length])) ? 2 : 1;
        step = std::min(step, sjis.size() - length);
        int w = font_text_width(FontSize::small, sjis.c_str() + length, step);
        if (x + width + w > max_x) {
            break;
        }
        width += w;
        length += step;
    }
    font_draw_text(canvas.pixels, x, y, FontSize::small, sjis.c_str(), length,
                   pixel_from_colour(ink), pixel_from_colour(paper));
}

// A long folder path keeps its end, which names where the user is.
std::string tail_to_fit(const std::string& sjis, int max_width) {
    if (font_text_width(FontSize::small, sjis.c_str(), sjis.size()) <= max_width) {
        return sjis;
    }
    size_t start = 0;
    while (start < sjis.size()) {
        start += sjis_is_lead_byte(static_cast<uint8_t>(sjis[start])) ? 2 : 1;
        std::string rest = "..." + sjis.substr(std::min(start, sjis.size()));
        if (font_text_width(FontSize::small, rest.c_str(), rest.size()) <= max_width) {
            return rest;
        }
    }
    return "...";
}

void button_draw(const Canvas& canvas, const ButtonPlace& place, const std::string& label) {
    const Box& b = place.box;
    canvas_rect(canvas, b.x1, b.y1, b.x2, b.y2, GUI_FACE, GUI_INK, 1);
    canvas_bevel(canvas, b.x1 + 1, b.y1 + 1, b.x2 - 1, b.y2 - 1, 0);
    int width = font_text_width(FontSize::small, label.c_str(), label.size());
    int x = std::max(b.x1 + 4, (b.x1 + b.x2 - width) / 2);
    int y = (b.y1 + b.y2 - font_height(FontSize::small)) / 2;
    text_draw(canvas, x, y, label, GUI_INK, GUI_FACE, b.x2 - 3);
}

std::string button_label(const ButtonPlace& place) {
    const FileChooser& c = g_file_chooser;
    switch (place.button) {
    case ChooserButton::ok:
        return c.mode == ChooserMode::save ? text_of("保存", "Save") : text_of("開く", "Open");
    case ChooserButton::filter:
        if (c.request != nullptr && c.request->filter_count > 0 && c.request->filters) {
            return c.request->filters[c.filter].description;
        }
        return "*.*";
    default:
        return text_of(place.japanese, place.english);
    }
}

void list_draw(const Canvas& canvas) {
    const FileChooser& c = g_file_chooser;
    canvas_rect(canvas, LIST.x1, LIST.y1, LIST.x2, LIST.y2, GUI_WHITE, GUI_WHITE, 0);
    canvas_bevel(canvas, LIST.x1, LIST.y1, LIST.x2, LIST.y2, 1);
    int count = static_cast<int>(c.entries.size());
    int text_x2 = SCROLL_UP.x1 - 1;
    for (int row = 0; row < CHOOSER_VISIBLE_ROWS && c.top + row < count; row++) {
        int index = c.top + row;
        const ChooserEntry& entry = c.entries[index];
        int y = LIST.y1 + 2 + row * ROW_HEIGHT;
        bool chosen = index == c.selected;
        uint32_t paper = chosen ? GUI_CAPTION : GUI_WHITE;
        uint32_t ink = chosen ? GUI_WHITE : GUI_INK;
        if (chosen) {
            canvas_rect(canvas, LIST.x1 + 2, y, text_x2, y + ROW_HEIGHT, paper, paper, 0);
        }
        // Folders are marked as a path would show them.
        std::string shown = entry.is_directory ? "[" + entry.shown + "]" : entry.shown;
        text_draw(canvas, LIST.x1 + 5, y + 1, shown, ink, paper, text_x2 - 2);
    }
    if (c.unreadable) {
        int row = std::max(0, count - c.top);
        if (row < CHOOSER_VISIBLE_ROWS) {
            int y = LIST.y1 + 2 + row * ROW_HEIGHT;
            text_draw(canvas, LIST.x1 + 5, y + 1, c.status, STATUS_INK, GUI_WHITE, text_x2 - 2);
        }
    }
    // Scroll bar: arrows, the track and a thumb as long as the share of rows in view.
    canvas_rect(canvas, SCROLL_TRACK.x1, SCROLL_TRACK.y1, SCROLL_TRACK.x2, SCROLL_TRACK.y2,
                colour_rgb(224, 224, 224), colour_rgb(224, 224, 224), 0);
    for (const Box* arrow : {&SCROLL_UP, &SCROLL_DOWN}) {
        canvas_rect(canvas, arrow->x1, arrow->y1, arrow->x2, arrow->y2, GUI_FACE, GUI_FACE, 0);
        canvas_bevel(canvas, arrow->x1, arrow->y1, arrow->x2, arrow->y2, 0);
        int cx = (arrow->x1 + arrow->x2) / 2;
        int cy = (arrow->y1 + arrow->y2) / 2;
        int dir = arrow == &SCROLL_UP ? -1 : 1;
        for (int i = 0; i < 4; i++) {
            int y = cy - dir * 2 + dir * i;
            canvas_line(canvas, cx - 3 + i, y, cx + 4 - i, y, GUI_INK, 1);
        }
    }
    int track = SCROLL_TRACK.y2 - SCROLL_TRACK.y1;
    if (count > CHOOSER_VISIBLE_ROWS) {
        int thumb = std::max(8, track * CHOOSER_VISIBLE_ROWS / count);
        int y = SCROLL_TRACK.y1 + (track - thumb) * c.top / (count - CHOOSER_VISIBLE_ROWS);
        canvas_rect(canvas, SCROLL_TRACK.x1, y, SCROLL_TRACK.x2, y + thumb, GUI_FACE, GUI_FACE, 0);
        canvas_bevel(canvas, SCROLL_TRACK.x1, y, SCROLL_TRACK.x2, y + thumb, 0);
    }
}

} // namespace

void chooser_draw(const Canvas& canvas) {
    const FileChooser& c = g_file_chooser;
    int x2 = BOX_X + CHOOSER_WIDTH;
    int y2 = BOX_Y + CHOOSER_HEIGHT;
    canvas_rect(canvas, BOX_X, BOX_Y, x2, y2, GUI_FACE, GUI_INK, 1);
    canvas_bevel(canvas, BOX_X + 1, BOX_Y + 1, x2 - 1, y2 - 1, 0);
    canvas_rect(canvas, BOX_X + 3, BOX_Y + 3, x2 - 3, BOX_Y + 21, GUI_CAPTION, GUI_CAPTION, 0);
    std::string caption = c.mode == ChooserMode::save ? text_of("名前を付けて保存", "Save As")
                                                      : text_of("ファイルを開く", "Open");
    text_draw(canvas, BOX_X + 8, BOX_Y + 6, caption, GUI_WHITE, GUI_CAPTION, x2 - 8);

    std::string folder_label = text_of("フォルダー:", "Folder:");
    text_draw(canvas, BOX_X + 10, BOX_Y + 28, folder_label, GUI_INK, GUI_FACE, BOX_X + 80);
    std::string folder = chooser_display_name(c.directory.c_str());
    text_draw(canvas, BOX_X + 84, BOX_Y + 28, tail_to_fit(folder, x2 - 10 - (BOX_X + 84)), GUI_INK,
              GUI_FACE, x2 - 10);

    list_draw(canvas);

    text_draw(canvas, BOX_X + 10, NAME_FIELD.y1 + 3, text_of("ファイル名:", "File name:"), GUI_INK,
              GUI_FACE, NAME_FIELD.x1 - 2);
    canvas_rect(canvas, NAME_FIELD.x1, NAME_FIELD.y1, NAME_FIELD.x2, NAME_FIELD.y2, GUI_WHITE,
                GUI_WHITE, 0);
    canvas_bevel(canvas, NAME_FIELD.x1, NAME_FIELD.y1, NAME_FIELD.x2, NAME_FIELD.y2, 1);
    std::string name;
    if (c.mode == ChooserMode::save) {
        name = chooser_display_name(c.name.c_str());
    } else if (c.selected >= 0 && c.selected < static_cast<int>(c.entries.size()) &&
               !c.entries[c.selected].is_directory) {
        name = c.entries[c.selected].shown;
    }
    std::string fitted = tail_to_fit(name, NAME_FIELD.x2 - NAME_FIELD.x1 - 10);
    // A proposed name is shown selected: typing replaces it.
    bool selected = c.mode == ChooserMode::save && c.name_selected;
    text_draw(canvas, NAME_FIELD.x1 + 4, NAME_FIELD.y1 + 3, fitted, selected ? GUI_WHITE : GUI_INK,
              selected ? GUI_CAPTION : GUI_WHITE, NAME_FIELD.x2 - 4);
    if (c.mode == ChooserMode::save && !selected) {
        // The caret after the typed name.
        int caret =
            NAME_FIELD.x1 + 4 + font_text_width(FontSize::small, fitted.c_str(), fitted.size());
        canvas_line(canvas, caret, NAME_FIELD.y1 + 3, caret, NAME_FIELD.y2 - 3, GUI_INK, 1);
    }
    text_draw(canvas, BOX_X + 10, BOX_Y + 307, text_of("種類:", "Type:"), GUI_INK, GUI_FACE,
              BOX_X + 78);
    for (const ButtonPlace& place : BUTTONS) {
        button_draw(canvas, place, button_label(place));
    }
    if (!c.unreadable && !c.status.empty()) {
        text_draw(canvas, BOX_X + 10, BOX_Y + 334, c.status, STATUS_INK, GUI_FACE, x2 - 10);
    }
}

ChooserHit chooser_hit(int x, int y) {
    const FileChooser& c = g_file_chooser;
    for (const ButtonPlace& place : BUTTONS) {
        if (place.box.holds(x, y)) {
            return {ChooserHitKind::button, static_cast<int>(place.button)};
        }
    }
    if (SCROLL_UP.holds(x, y)) {
        return {ChooserHitKind::scroll_up, 0};
    }
    if (SCROLL_DOWN.holds(x, y)) {
        return {ChooserHitKind::scroll_down, 0};
    }
    if (SCROLL_TRACK.holds(x, y)) {
        int count = static_cast<int>(c.entries.size());
        int track = SCROLL_TRACK.y2 - SCROLL_TRACK.y1;
        int thumb_mid = count > CHOOSER_VISIBLE_ROWS
                            ? SCROLL_TRACK.y1 + track * (c.top + CHOOSER_VISIBLE_ROWS / 2) / count
                            : SCROLL_TRACK.y1;
        return {y < thumb_mid ? ChooserHitKind::page_up : ChooserHitKind::page_down, 0};
    }
    if (LIST.holds(x, y) && y >= LIST.y1 + 2) {
        int index = c.top + (y - LIST.y1 - 2) / ROW_HEIGHT;
        if ((y - LIST.y1 - 2) / ROW_HEIGHT < CHOOSER_VISIBLE_ROWS &&
            index < static_cast<int>(c.entries.size())) {
            return {ChooserHitKind::entry, index};
        }
    }
    if (NAME_FIELD.holds(x, y)) {
        return {ChooserHitKind::name_field, 0};
    }
    return {ChooserHitKind::none, 0};
}
