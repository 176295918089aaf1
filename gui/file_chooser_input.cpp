// The file chooser's keys, typed text and clicks, turned into the model's steps.
#include "gui/file_chooser_input.h"

#include "gui/file_chooser_view.h"
#include "platform/virtual_keys.h"

namespace {

// The longest name the field takes, in bytes.
constexpr size_t NAME_LIMIT = 255;

// Drops the last UTF-8 character of the name field.
void name_erase_last() {
    std::string& name = g_file_chooser.name;
    while (!name.empty()) {
        unsigned char last = static_cast<unsigned char>(name.back());
        name.pop_back();
        if ((last & 0xC0) != 0x80) {
            break;
        }
    }
}

void button_press(ChooserButton button) {
    switch (button) {
    case ChooserButton::parent:
        chooser_parent();
        break;
    case ChooserButton::home:
        chooser_home();
        break;
    case ChooserButton::program:
        chooser_program_folder();
        break;
    case ChooserButton::filter:
        chooser_next_filter();
        break;
    case ChooserButton::ok:
        chooser_activate();
        break;
    case ChooserButton::cancel:
        chooser_cancel();
        break;
    }
}

} // namespace

void chooser_key(int virtual_key, bool down) {
    FileChooser& c = g_file_chooser;
    if (!down) {
        return;
    }
    switch (virtual_key) {
    case VK_UP:
        chooser_move(-1);
        break;
    case VK_DOWN:
        chooser_move(1);
        break;
    case VK_PAGE_UP:
        chooser_move(-CHOOSER_VISIBLE_ROWS);
        break;
    case VK_PAGE_DOWN:
        chooser_move(CHOOSER_VISIBLE_ROWS);
        break;
    case VK_HOME:
        chooser_select(0);
        break;
    case VK_END:
        chooser_select(static_cast<int>(c.entries.size()) - 1);
        break;
    case VK_ENTER:
        chooser_activate();
        break;
    case VK_ESC:
        chooser_cancel();
        break;
    case VK_TAB:
        chooser_next_filter();
        break;
    case VK_BACKSPACE:
        if (c.mode == ChooserMode::save && !c.name.empty()) {
            if (c.name_selected) {
                c.name.clear();
                c.name_selected = false;
            }
            name_erase_last();
            chooser_name_changed();
        } else {
            chooser_parent();
        }
        break;
    default:
        break;
    }
}

void chooser_text(const char* utf8, uint32_t now_ms) {
    FileChooser& c = g_file_chooser;
    std::string typed;
    for (const char* p = utf8; *p != '\0'; p++) {
        // Control characters come as keys, not as text.
        if (static_cast<unsigned char>(*p) >= 0x20 && *p != 0x7F) {
            typed += *p;
        }
    }
    if (typed.empty()) {
        return;
    }
    if (c.mode == ChooserMode::open) {
        chooser_type_ahead(typed.c_str(), now_ms);
        return;
    }
    if (c.name_selected) {
        c.name.clear();
        c.name_selected = false;
    }
    if (c.name.size() + typed.size() <= NAME_LIMIT) {
        c.name += typed;
        c.status.clear();
        chooser_name_changed();
    }
}

void chooser_click(int x, int y) {
    FileChooser& c = g_file_chooser;
    ChooserHit hit = chooser_hit(x, y);
    switch (hit.kind) {
    case ChooserHitKind::entry: {
        // A click on the entry already selected opens it, so a double click does too.
        bool again = hit.index == c.selected;
        chooser_select(hit.index);
        if (again) {
            chooser_activate();
        }
        break;
    }
    case ChooserHitKind::button:
        button_press(static_cast<ChooserButton>(hit.index));
        break;
    case ChooserHitKind::scroll_up:
        chooser_scroll(-1);
        break;
    case ChooserHitKind::scroll_down:
        chooser_scroll(1);
        break;
    case ChooserHitKind::page_up:
        chooser_scroll(-CHOOSER_VISIBLE_ROWS);
        break;
    case ChooserHitKind::page_down:
        chooser_scroll(CHOOSER_VISIBLE_ROWS);
        break;
    case ChooserHitKind::name_field:
    case ChooserHitKind::none:
        break;
    }
}
