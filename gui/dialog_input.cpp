// Keyboard, typed text and mouse for a running dialog: Tab and Shift+Tab move the focus,
// arrows move within a radio group or an edit, Space presses, Enter is the default button,
// Esc is CANCEL, and every control answers the mouse too.
#include "gui/dialog_state.h"
#include "gui/modal.h"
#include "platform/virtual_keys.h"

#include "common/status_line.h"
#include "common/text_sjis.h"
#include "platform/platform.h"
#include "platform/text_convert.h"
#include "sequencer/shell/font.h"

namespace {

const DialogControl& control(const DialogRun& run, int index) {
    return run.dialog->controls[index];
}

void status(const char* english, const char* japanese) {
    if (platform_system_language() == UiLanguage::japanese) {
        show_status(utf8_to_sjis(japanese).c_str());
    } else {
        show_status(english);
    }
}

// A radio button is a tab stop when it is the selected one of its group, or the group's
// first when none is selected.
bool tab_stop(const DialogRun& run, int index) {
    if (!dialog_focusable(run, index)) {
        return false;
    }
    const ControlState& s = run.controls[index];
    if (control(run, index).kind != ControlKind::radio) {
        return true;
    }
    bool any_selected = false;
    for (const ControlState& other : run.controls) {
        any_selected = any_selected || (other.group == s.group && other.checked);
    }
    return any_selected ? s.checked : index == s.group;
}

void focus_move(DialogRun& run, int step) {
    int count = run.dialog->control_count;
    int at = run.focus < 0 ? (step > 0 ? -1 : 0) : run.focus;
    for (int tried = 0; tried < count; tried++) {
        at = (at + step + count) % count;
        if (tab_stop(run, at)) {
            run.focus = at;
            if (control(run, at).kind == ControlKind::edit) {
                text_edit_end(run.controls[at].edit);
            }
            return;
        }
    }
}

// Arrows in a radio group: the neighbour in the group (wrapping) is focused and chosen.
void radio_step(DialogRun& run, int step) {
    int group = run.controls[run.focus].group;
    std::vector<int> members;
    int position = 0;
    for (int i = 0; i < run.dialog->control_count; i++) {
        if (run.controls[i].group == group) {
            if (i == run.focus) {
                position = static_cast<int>(members.size());
            }
            members.push_back(i);
        }
    }
    int size = static_cast<int>(members.size());
    run.focus = members[(position + step + size) % size];
    dialog_activate(run, run.focus);
}

int index_with_id(const DialogRun& run, int id) {
    return dialog_index_of(run, id);
}

int default_button(const DialogRun& run) {
    for (int i = 0; i < run.dialog->control_count; i++) {
        if (control(run, i).kind == ControlKind::button &&
            (control(run, i).flags & CONTROL_DEFAULT)) {
            return i;
        }
    }
    return index_with_id(run, CONTROL_OK);
}

// Text for an edit: one line, no control characters.
std::string one_line(const std::string& sjis) {
    std::string line;
    for (size_t i = 0; i < sjis.size(); i++) {
        unsigned char byte = static_cast<unsigned char>(sjis[i]);
        if (sjis_is_lead_byte(byte) && i + 1 < sjis.size()) {
            line.append(sjis, i, 2);
            i++;
            continue;
        }
        if (byte == '\r' || byte == '\n') {
            break;
        }
        if (byte >= 0x20 && byte != 0x7F) {
            line.push_back(static_cast<char>(byte));
        }
    }
    return line;
}

void paste(DialogRun& run, TextEdit& edit) {
    std::string sjis;
    if (!platform_clipboard_get_text(sjis)) {
        status("Nothing to paste", "貼り付けられる文字がありません");
        return;
    }
    text_edit_insert(edit, one_line(sjis));
    run.composition.clear();
}

void edit_key(DialogRun& run, TextEdit& edit, int virtual_key) {
    switch (virtual_key) {
    case VK_LEFT:
        text_edit_left(edit);
        break;
    case VK_RIGHT:
        text_edit_right(edit);
        break;
    case VK_HOME:
        text_edit_home(edit);
        break;
    case VK_END:
        text_edit_end(edit);
        break;
    case VK_BACKSPACE:
        text_edit_backspace(edit);
        break;
    case VK_DELETE:
        text_edit_delete(edit);
        break;
    case VK_V:
        if (modal_ctrl_down()) {
            paste(run, edit);
        }
        break;
    default:
        break;
    }
}

// The caret position nearest a click in an edit.
size_t caret_at(const DialogRun& run, int index, int x) {
    const ControlState& s = run.controls[index];
    const std::string& text = s.edit.text;
    PixelRect r = dialog_control_rect(*run.dialog, index);
    int pen = r.x1 + EDIT_MARGIN;
    size_t at = s.scroll;
    while (at < text.size()) {
        size_t next = text_edit_next(text, at);
        int width = font_text_width(FontSize::small, text.data() + at, next - at);
        if (x < pen + width / 2) {
            break;
        }
        pen += width;
        at = next;
    }
    return at;
}

int control_at(const DialogRun& run, int x, int y) {
    for (int i = run.dialog->control_count - 1; i >= 0; i--) {
        if (dialog_focusable(run, i) && dialog_control_rect(*run.dialog, i).contains(x, y)) {
            return i;
        }
    }
    return -1;
}

} // namespace

void dialog_key(DialogRun& run, int virtual_key, bool down) {
    if (!down) {
        return;
    }
    int focus = run.focus;
    ControlKind kind = focus >= 0 ? control(run, focus).kind : ControlKind::static_text;
    switch (virtual_key) {
    case VK_TAB:
        focus_move(run, modal_shift_down() ? -1 : 1);
        return;
    case VK_ESC:
        if (run.dialog->flags & DIALOG_ID2_IS_COMMAND) {
            dialog_end(run, DIALOG_CLOSED);
        } else if (int cancel = index_with_id(run, CONTROL_CANCEL); cancel >= 0) {
            dialog_activate(run, cancel);
        } else {
            dialog_end(run, CONTROL_CANCEL);
        }
        return;
    case VK_ENTER: {
        int button = kind == ControlKind::button ? focus : default_button(run);
        if (button >= 0) {
            dialog_activate(run, button);
        }
        return;
    }
    case VK_SPACE:
        if (kind == ControlKind::button || kind == ControlKind::radio ||
            kind == ControlKind::check_box) {
            dialog_activate(run, focus);
        }
        return;
    default:
        break;
    }
    if (kind == ControlKind::edit) {
        if (!(control(run, focus).flags & CONTROL_READ_ONLY)) {
            edit_key(run, run.controls[focus].edit, virtual_key);
        }
    } else if (kind == ControlKind::radio) {
        if (virtual_key == VK_LEFT || virtual_key == VK_UP) {
            radio_step(run, -1);
        } else if (virtual_key == VK_RIGHT || virtual_key == VK_DOWN) {
            radio_step(run, 1);
        }
    }
}

void dialog_text_typed(DialogRun& run, const char* utf8) {
    run.composition.clear();
    if (run.focus < 0 || control(run, run.focus).kind != ControlKind::edit ||
        (control(run, run.focus).flags & CONTROL_READ_ONLY)) {
        return;
    }
    std::string sjis;
    if (!platform_utf8_to_sjis_strict(utf8, sjis)) {
        status("That character cannot be entered", "その文字は入力できません");
        return;
    }
    text_edit_insert(run.controls[run.focus].edit, one_line(sjis));
}

void dialog_composition(DialogRun& run, const char* utf8, int caret) {
    run.composition = utf8;
    run.composition_caret = caret;
}

void dialog_mouse_button(DialogRun& run, bool down, int x, int y) {
    if (down) {
        int index = control_at(run, x, y);
        run.pressed = -1;
        if (index < 0) {
            return;
        }
        run.focus = index;
        if (control(run, index).kind == ControlKind::edit) {
            run.controls[index].edit.caret = caret_at(run, index, x);
            run.composition.clear();
        } else {
            run.pressed = index;
        }
        return;
    }
    // Only a press that began on the control and ends on it acts.
    int pressed = run.pressed;
    run.pressed = -1;
    if (pressed >= 0 && dialog_control_rect(*run.dialog, pressed).contains(x, y)) {
        dialog_activate(run, pressed);
    }
}
