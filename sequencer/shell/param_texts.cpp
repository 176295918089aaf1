// Shift-JIS texts of the parameter panels, built from UTF-8 once at start.
#include "sequencer/shell/param_texts.h"

#include "common/text_sjis.h"
#include "sequencer/shell/param_fields.h"

#include <cstdio>
#include <string>

ParamTexts g_param_texts;

namespace {

void copy_sjis(char* out, size_t size, const std::string& utf8) {
    std::string text = utf8_to_sjis(utf8.c_str());
    sjis_copy_cut(out, text.c_str(), text.size(), size - 1);
}

std::string full_digit(int digit) {
    // U+FF10 + digit, written out in UTF-8.
    char bytes[4] = {'\xEF', '\xBC', static_cast<char>(0x90 + digit), '\0'};
    return bytes;
}

std::string label_utf8(int n) {
    if (n < 10) {
        return " " + full_digit(n) + " ";
    }
    return full_digit(n / 10) + full_digit(n % 10);
}

// Letter of each pitch class and whether it is sharp.
const char* const NOTE_LETTERS[12] = {"Ｃ", "Ｃ", "Ｄ", "Ｄ", "Ｅ", "Ｆ",
                                      "Ｆ", "Ｇ", "Ｇ", "Ａ", "Ａ", "Ｂ"};
const bool NOTE_SHARP[12] = {false, true,  false, true,  false, false,
                             true,  false, true,  false, true,  false};

std::string note_utf8(int n) {
    int octave = n / 12 - 2;
    std::string oct = octave < 0 ? "-" + std::to_string(-octave) : full_digit(octave);
    int pc = n % 12;
    if (NOTE_SHARP[pc]) {
        return std::string(NOTE_LETTERS[pc]) + "# " + oct;
    }
    return std::string(NOTE_LETTERS[pc]) + oct + "　";
}

} // namespace

void param_texts_load(bool japanese) {
    ParamTexts& t = g_param_texts;
    t = ParamTexts{};
    for (int n = 1; n <= 64; n++) {
        copy_sjis(t.label[n], sizeof t.label[n], label_utf8(n));
    }
    for (int n = 0; n < 128; n++) {
        copy_sjis(t.note_name[n], sizeof t.note_name[n], note_utf8(n));
    }
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
