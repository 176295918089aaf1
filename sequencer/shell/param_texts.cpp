// Shift-JIS texts of the parameter panels, built from UTF-8 once at start.
#include "sequencer/shell/param_texts.h"

#include "common/text_sjis.h"
#include "sequencer/shell/param_fields.h"

#include <string>

ParamTexts g_param_texts;

namespace {

void copy_sjis(char* out, size_t size, const std::string& utf8) {
    std::string text = utf8_to_sjis(utf8.c_str());
    sjis_copy_cut(out, text.c_str(), text.size(), size - 1);
}

} // namespace

void param_texts_load(bool japanese) {
    ParamTexts& t = g_param_texts;
    t = ParamTexts{};
    copy_sjis(t.off, sizeof t.off, "Ｏff");
    copy_sjis(t.on, sizeof t.on, "ＯＮ");
    copy_sjis(t.all, sizeof t.all, "ａll");
    const char* const clock[3] = {"INT ", "EXT ", "MOS "};
    for (int i = 0; i < 3; i++) {
        copy_sjis(t.clock_source[i], sizeof t.clock_source[i], clock[i]);
    }
    copy_sjis(t.box_top, sizeof t.box_top, "┌──┐");
    copy_sjis(t.box_value, sizeof t.box_value, "│    │");
    copy_sjis(t.box_middle, sizeof t.box_middle, "├──┤");
    copy_sjis(t.box_arrows, sizeof t.box_arrows, "│▲▼│");
    copy_sjis(t.box_bottom, sizeof t.box_bottom, "└──┘");
    copy_sjis(t.enter_top, sizeof t.enter_top, "┌───┐");
    copy_sjis(t.enter_middle, sizeof t.enter_middle, "│ENTER │");
    copy_sjis(t.enter_bottom, sizeof t.enter_bottom, "└───┘");
    for (int key = 0; key < MENU_PAGES * MENU_ROWS; key++) {
        const ParamPanel* panel = param_panel_find(key);
        if (panel == nullptr) {
            continue;
        }
        for (int line = 0; line < PARAM_CAPTION_LINES && panel->captions[line].row != 0; line++) {
            copy_sjis(t.caption[key][line], PARAM_CAPTION_SIZE,
                      caption_text(*panel, line, japanese));
        }
    }
}
