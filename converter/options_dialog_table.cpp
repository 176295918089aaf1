// The options dialog as data, in Japanese and in English: caption, size and controls in
// dialog units, with the identifiers the options dialog's behaviour reads. The texts are
// written here in UTF-8 and turned into Shift-JIS once, when the dialog is first shown.
#include "common/text_sjis.h"
#include "converter/converter_desktop.h"
#include "gui/dialog_table.h"

#include <iterator>
#include <list>
#include <string>
#include <vector>

namespace {

#define OPTION_CONTROLS(FORMAT, VEL, SEPARATION, LINK, DISP, PLAY, PB, MESSAGE, AUTOCUT, SHIFT,    \
                        UP, DOWN, README, CONVERT, STORE)                                          \
    {ControlKind::group_box, CONTROL_NO_ID, FORMAT, 7, 4, 100, 64, 0}, {ControlKind::radio,        \
                                                                        OPTION_MODEL_MLD,          \
                                                                        "i-mode(MLD)",             \
                                                                        13,                        \
                                                                        16,                        \
                                                                        90,                        \
                                                                        10,                        \
                                                                        CONTROL_GROUP_START},      \
        {ControlKind::radio, OPTION_MODEL_PMD, "au(PMD)", 13, 28, 90, 10, 0},                      \
        {ControlKind::radio, OPTION_MODEL_MMF, "J-PHONE(MMF)", 13, 40, 90, 10, 0},                 \
        {ControlKind::radio, OPTION_MODEL_MFI3, "i-modeMFi3(MLD)", 13, 52, 90, 10, 0},             \
        {ControlKind::check_box, OPTION_VEL, VEL, 115, 8, 100, 10, 0},                             \
        {ControlKind::check_box, OPTION_SEPARATION, SEPARATION, 115, 20, 100, 10, 0},              \
        {ControlKind::check_box, OPTION_LINK, LINK, 115, 32, 100, 10, 0},                          \
        {ControlKind::check_box, OPTION_DISP, DISP, 115, 44, 100, 10, 0},                          \
        {ControlKind::check_box, OPTION_PLAY, PLAY, 115, 56, 100, 10, 0},                          \
        {ControlKind::check_box, OPTION_PAN, "PAN", 7, 74, 38, 10, 0},                             \
        {ControlKind::check_box, OPTION_EXP, "EXP", 47, 74, 38, 10, 0},                            \
        {ControlKind::check_box, OPTION_PB, PB, 87, 74, 38, 10, 0},                                \
        {ControlKind::check_box, OPTION_MOD, "MOD", 127, 74, 38, 10, 0},                           \
        {ControlKind::check_box, OPTION_MESSAGE, MESSAGE, 7, 86, 150, 10, 0},                      \
        {ControlKind::static_text, CONTROL_NO_ID, AUTOCUT, 7, 102, 50, 10, 0},                     \
        {ControlKind::edit,                                                                        \
         OPTION_AUTOCUT_FIELD,                                                                     \
         "",                                                                                       \
         60,                                                                                       \
         100,                                                                                      \
         30,                                                                                       \
         12,                                                                                       \
         CONTROL_NUMBER | CONTROL_READ_ONLY},                                                      \
        {ControlKind::button, OPTION_AUTOCUT_UP, UP, 92, 100, 16, 12, 0},                          \
        {ControlKind::button, OPTION_AUTOCUT_DOWN, DOWN, 109, 100, 16, 12, 0},                     \
        {ControlKind::static_text, CONTROL_NO_ID, SHIFT, 7, 116, 50, 10, 0},                       \
        {ControlKind::edit,                                                                        \
         OPTION_TONESHIFT_FIELD,                                                                   \
         "",                                                                                       \
         60,                                                                                       \
         114,                                                                                      \
         30,                                                                                       \
         12,                                                                                       \
         CONTROL_NUMBER | CONTROL_READ_ONLY},                                                      \
        {ControlKind::button, OPTION_TONESHIFT_UP, UP, 92, 114, 16, 12, 0},                        \
        {ControlKind::button, OPTION_TONESHIFT_DOWN, DOWN, 109, 114, 16, 12, 0},                   \
        {ControlKind::static_text, CONTROL_NO_ID, "MS VOL", 7, 130, 50, 10, 0},                    \
        {ControlKind::edit,                                                                        \
         OPTION_MSVOL_FIELD,                                                                       \
         "",                                                                                       \
         60,                                                                                       \
         128,                                                                                      \
         30,                                                                                       \
         12,                                                                                       \
         CONTROL_NUMBER | CONTROL_READ_ONLY},                                                      \
        {ControlKind::button, OPTION_MSVOL_UP, UP, 92, 128, 16, 12, 0},                            \
        {ControlKind::button, OPTION_MSVOL_DOWN, DOWN, 109, 128, 16, 12, 0},                       \
        {ControlKind::button, OPTION_README, README, 160, 98, 53, 14, 0},                          \
        {ControlKind::button, OPTION_CONVERT, CONVERT, 160, 114, 53, 14, CONTROL_DEFAULT},         \
        {ControlKind::button, OPTION_STORE, STORE, 160, 130, 53, 14, 0},

const DialogControl JAPANESE_CONTROLS[] = {
    OPTION_CONTROLS("出力形式", "ベロシティー優先", "自動分離", "リンク", "常時設定表示",
                    "→MID時再生ソフトへ", "P.B.", "メッセージダイアログ表示", "簡易カット",
                    "音程シフト", "▲", "▼", "説明表示", "コンバート", "設定保存")};

const DialogControl ENGLISH_CONTROLS[] = {
    OPTION_CONTROLS("format", "Velocity", "separation", "link", "disp", "MID play", "P.B",
                    "MESSAGE", "auto cut", "Shift", "up", "dw", "doc", "OK", "store")};

#undef OPTION_CONTROLS

constexpr int OPTIONS_DIALOG_NUMBER = 110;

// A template whose texts were turned into Shift-JIS; the texts live as long as the program.
struct ShownDialog {
    std::list<std::string> texts;
    std::vector<DialogControl> controls;
    DialogTemplate dialog{};
};

const char* shift_jis_kept(ShownDialog& shown, const char* utf8) {
    shown.texts.push_back(utf8_to_sjis(utf8));
    return shown.texts.back().c_str();
}

void shown_build(ShownDialog& shown, const char* caption, const DialogControl* controls,
                 int count) {
    for (int i = 0; i < count; i++) {
        DialogControl control = controls[i];
        control.text = shift_jis_kept(shown, control.text);
        shown.controls.push_back(control);
    }
    shown.dialog = {OPTIONS_DIALOG_NUMBER,
                    shift_jis_kept(shown, caption),
                    220,
                    150,
                    shown.controls.data(),
                    count,
                    DIALOG_ID2_IS_COMMAND};
}

} // namespace

// Built on the window thread the first time the dialog is shown in each language.
const DialogTemplate& options_dialog_template(bool japanese) {
    static ShownDialog shown[2];
    ShownDialog& one = shown[japanese ? 1 : 0];
    if (one.controls.empty()) {
        if (japanese) {
            shown_build(one, "MELCONV 設定", JAPANESE_CONTROLS,
                        static_cast<int>(std::size(JAPANESE_CONTROLS)));
        } else {
            shown_build(one, "MELCONV options", ENGLISH_CONTROLS,
                        static_cast<int>(std::size(ENGLISH_CONTROLS)));
        }
    }
    return one.dialog;
}
