// A message box or question as a dialog table built for its text: one static text per line,
// then one or two buttons, run by the dialog runner.
#include "gui/message_box.h"

#include "common/text_sjis.h"
#include "gui/dialog_run.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

constexpr int MAX_LINE_BYTES = 64; // 6 px a byte in the 12 px font: 384 px
constexpr int MAX_LINES = 18;      // what fits under the caption with the buttons
constexpr int LINE_UNITS = 9;      // 13 px a line
constexpr int MARGIN_UNITS = 8;
constexpr int BUTTON_WIDTH = 50;
constexpr int BUTTON_HEIGHT = 14;
constexpr int BUTTON_GAP = 8;

// Dialog units of a run of bytes in the 12 px font (6 px a byte, 3 px to 2 units).
int text_units(size_t bytes) {
    return static_cast<int>(bytes) * 4;
}

std::vector<std::string> box_lines(const char* text) {
    std::vector<std::string> lines;
    std::string rest = text;
    while (!rest.empty() && (rest.back() == '\n' || rest.back() == '\r')) {
        rest.pop_back();
    }
    size_t start = 0;
    while (start <= rest.size() && static_cast<int>(lines.size()) < MAX_LINES) {
        size_t end = rest.find('\n', start);
        std::string line = rest.substr(start, end == std::string::npos ? end : end - start);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        while (line.size() > static_cast<size_t>(MAX_LINE_BYTES) &&
               static_cast<int>(lines.size()) < MAX_LINES - 1) {
            size_t cut = sjis_cut_length(line.data(), line.size(), MAX_LINE_BYTES);
            lines.push_back(line.substr(0, cut));
            line.erase(0, cut);
        }
        lines.push_back(line.substr(0, sjis_cut_length(line.data(), line.size(), MAX_LINE_BYTES)));
        if (end == std::string::npos) {
            break;
        }
        start = end + 1;
    }
    return lines;
}

// The buttons' texts in the interface's language.
std::string button_text(const char* english, const char* japanese_utf8) {
    return platform_system_language() == UiLanguage::japanese ? utf8_to_sjis(japanese_utf8)
                                                              : english;
}

// Runs the box; true when it ended with the first button.
bool box_run(const char* caption, const char* text, const std::string& first,
             const std::string& second) {
    std::vector<std::string> lines = box_lines(text);
    int widest = 0;
    for (const std::string& line : lines) {
        widest = std::max(widest, text_units(line.size()));
    }
    int buttons = second.empty() ? 1 : 2;
    int buttons_width = buttons * BUTTON_WIDTH + (buttons - 1) * BUTTON_GAP;
    int width = std::max(widest, buttons_width) + 2 * MARGIN_UNITS;
    int buttons_top = MARGIN_UNITS + static_cast<int>(lines.size()) * LINE_UNITS + MARGIN_UNITS;
    int height = buttons_top + BUTTON_HEIGHT + MARGIN_UNITS;
    std::vector<DialogControl> controls;
    for (size_t i = 0; i < lines.size(); i++) {
        controls.push_back({ControlKind::static_text, CONTROL_NO_ID, lines[i].c_str(), MARGIN_UNITS,
                            MARGIN_UNITS + static_cast<int>(i) * LINE_UNITS,
                            std::max(text_units(lines[i].size()), 1), LINE_UNITS, 0});
    }
    int left = (width - buttons_width) / 2;
    controls.push_back({ControlKind::button, CONTROL_OK, first.c_str(), left, buttons_top,
                        BUTTON_WIDTH, BUTTON_HEIGHT, CONTROL_DEFAULT | CONTROL_ENDS});
    if (!second.empty()) {
        controls.push_back({ControlKind::button, CONTROL_CANCEL, second.c_str(),
                            left + BUTTON_WIDTH + BUTTON_GAP, buttons_top, BUTTON_WIDTH,
                            BUTTON_HEIGHT, CONTROL_ENDS});
    }
    DialogTemplate dialog{0,      caption,         width,
                          height, controls.data(), static_cast<int>(controls.size())};
    DialogBehaviour behaviour;
    return dialog_run(dialog, behaviour) == CONTROL_OK;
}

} // namespace

void gui_message_box(const char* caption, const char* text, MessageIcon) {
    box_run(caption, text, "OK", "");
}

bool gui_ask_yes_no(const char* caption, const char* text) {
    return box_run(caption, text, button_text("Yes", "はい"), button_text("No", "いいえ"));
}

bool gui_ask_ok_cancel(const char* caption, const char* text) {
    return box_run(caption, text, "OK", button_text("Cancel", "キャンセル"));
}
