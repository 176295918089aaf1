// Keyboard commands: each new key acts once, however long it is held.
#include "platform/virtual_keys.h"
#include "sequencer/engine/transport.h"
#include "sequencer/shell/main_fields.h"
#include "sequencer/shell/menu_commands.h"
#include "sequencer/shell/screen_layout.h"
#include "sequencer/shell/shell_state.h"
#include "sequencer/shell/speech.h"
#include "sequencer/shell/ui_input.h"

namespace {

bool event_list_shown() {
    return shown_with(MenuCommand::event_edit_mode);
}

bool event_open() {
    return g_menu_hooks.event_open && g_menu_hooks.event_open();
}

void event_editor_step(int step) {
    if (g_menu_hooks.event_editor_step) {
        g_menu_hooks.event_editor_step(step);
    }
}

void event_list_click(int x, int y) {
    if (g_menu_hooks.event_list_click) {
        g_menu_hooks.event_list_click(x, y);
    }
}

// Page Up and Page Down outside the event list: a whole press and release of a wind button.
void wind_step(bool forward) {
    WindPhase phases[] = {WindPhase::press, WindPhase::hold, WindPhase::release};
    for (WindPhase phase : phases) {
        if (forward) {
            fast_forward(phase);
        } else {
            rewind(phase);
        }
    }
    g_ui.deferred_click = 0;
}

void octave_step(int delta) {
    play_octave_step(delta);
    show_octave();
}

void tempo_key(int delta, bool shift) {
    tempo_step(shift ? 10 * delta : delta);
}

void key_command(int key) {
    UiInput& u = g_ui;
    bool shift = g_shell.shift_down.load() != 0;
    switch (key) {
    case VK_TAB:
        if (g_menu.menu_page >= PAGE_FILE && g_menu.menu_page <= PAGE_RECORDING) {
            u.pointer_focus = u.pointer_focus ? 0 : 1;
            u.pointer_index =
                u.pointer_focus == 0 ? g_menu.menu_cursor[g_menu.menu_page].load() : 0;
            pointer_move(0);
        }
        break;
    case VK_ENTER:
        g_shell.pointer_left = 1;
        if (u.pointer_focus == 1 && g_menu.menu_page >= PAGE_MIDI_SETUP &&
            g_menu.menu_page <= PAGE_RECORDING) {
            g_speech.value_speech = true;
        }
        break;
    case VK_ESC:
        transport_stop(false);
        page_key(PAGE_SYSTEM);
        break;
    case VK_SPACE:
        if (transport_mode() == MODE_STOPPED || transport_mode() == MODE_STANDBY) {
            transport_start();
        } else {
            transport_stop(false);
        }
        break;
    case VK_PAGE_UP:
    case VK_PAGE_DOWN: {
        bool down = key == VK_PAGE_DOWN;
        if (event_list_shown()) {
            if (!event_open()) {
                transport_button_stroke(down ? BUTTON_FORWARD : BUTTON_REWIND);
            } else {
                event_editor_step(down ? 0 : 1);
            }
        } else {
            wind_step(down);
        }
        break;
    }
    case VK_HOME:
        if (transport_mode() == MODE_STOPPED) {
            to_top();
            if (event_list_shown() && g_menu_hooks.event_list_refresh) {
                g_menu_hooks.event_list_refresh();
            }
        }
        break;
    case VK_LEFT:
    case VK_RIGHT: {
        int step = shift ? 10 : 1;
        int direction = key == VK_LEFT ? -1 : 1;
        u.pointer_index += direction * step;
        pointer_move(direction);
        break;
    }
    case VK_UP:
    case VK_DOWN:
        if (event_list_shown()) {
            if (!event_open()) {
                event_list_click(key == VK_UP ? 458 : 490, 315);
            } else {
                event_editor_step(key == VK_UP ? 2 : 3);
            }
        } else {
            octave_step(key == VK_UP ? 1 : -1);
        }
        break;
    case VK_DELETE:
        if (event_list_shown() && event_open()) {
            event_list_click(395, 290);
            u.press_active = 1;
        }
        break;
    case VK_X:
        tempo_key(1, shift);
        break;
    case VK_Z:
        tempo_key(-1, shift);
        break;
    case VK_PAD_PLUS:
        warp_pointer(ENTER_BOX_POINT.x, ENTER_BOX_POINT.y);
        break;
    default:
        if (key >= VK_F1 && key <= VK_F6) {
            page_key(key - VK_F1 + PAGE_FILE);
        }
        break;
    }
}

} // namespace

void key_handler() {
    int key = g_shell.key_code.load();
    if (key != g_ui.last_key_handled) {
        g_ui.last_key_handled = key;
        if (key != 0) {
            key_command(key);
        }
    }
    if (g_menu_hooks.note_keys) {
        g_menu_hooks.note_keys();
    }
}
