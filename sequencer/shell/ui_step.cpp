// The per-frame input step, in its fixed order: cursor, keyboard, modifier, release edge,
// press edge, auto-repeat.
#include "common/deadline.h"
#include "sequencer/engine/midi_devices.h"
#include "sequencer/engine/midi_input.h"
#include "sequencer/engine/settings.h"
#include "sequencer/engine/transport.h"
#include "sequencer/shell/menu_commands.h"
#include "sequencer/shell/menu_show.h"
#include "sequencer/shell/screen_layout.h"
#include "sequencer/shell/shell_state.h"
#include "sequencer/shell/ui_input.h"
#include "songcore/midi_bytes.h"

namespace {

bool pointer_in(int left, int top, int right, int bottom) {
    return g_shell.pointer_x >= left && g_shell.pointer_x <= right && g_shell.pointer_y >= top &&
           g_shell.pointer_y <= bottom;
}

void click_at(int x, int y) {
    lower_click(x, y);
    if (clicks_allowed() && g_menu_hooks.panel_click) {
        g_menu_hooks.panel_click(x, y);
    }
}

// The click that finishes a held button whose moves were deferred (wind buttons).
void deferred_click_run(int x, int y) {
    g_ui.repeat_armed = 0;
    g_ui.click_is_release = true;
    click_at(x, y);
    g_ui.click_is_release = false;
    g_ui.deferred_click = 0;
}

void sustain_send(uint8_t value) {
    send_and_record(STATUS_CONTROL_CHANGE, CC_SUSTAIN, value, 3);
}

void modifier_step() {
    UiInput& u = g_ui;
    if (g_shell.pointer_alt == 0 && u.alt_mode != 0) {
        if (u.alt_mode == 1) {
            sustain_send(0); // the recorder sees the pedal lift, in step entry too
        }
        u.alt_mode = 0;
    } else if (g_shell.pointer_alt == 1 && u.alt_mode == 0) {
        u.alt_mode = 2;
        // The step-recording panel uses the right button for itself.
        bool step_panel =
            selected_command() == MenuCommand::step_recording && g_shell.pointer_y < 360;
        if (!step_panel) {
            sustain_send(127);
            u.alt_mode = 1;
        }
    }
    alt_mode_set(u.alt_mode != 0);
}

void release_edge() {
    UiInput& u = g_ui;
    if (g_menu.last_command_key == NO_COMMAND) {
        show_command(SHOW_REDRAW);
    }
    if (u.deferred_click) {
        deferred_click_run(g_shell.pointer_x, g_shell.pointer_y);
    }
    if (u.bend_drag) {
        send_and_record(STATUS_PITCH_BEND, 0, 64, 3);
        u.slider_value.store(64);
        u.slider_sent = 64;
    }
    u.bend_drag = 0;
    u.repeat_armed = 0;
    u.press_active = 0;
    switch (g_shell.button_pressed) {
    case 1:
        release_flash();
        break;
    case 2:
        // The last button pressed before the key is already raised; the key never sank.
        for (int i = 0; i < u.keyboard_note_count; i++) {
            send_and_record(STATUS_NOTE_ON, u.keyboard_notes[i], 0, 3);
        }
        u.keyboard_note_count = 0;
        break;
    case 4:
        if (u.auditioned_note >= 0) {
            send_and_record(STATUS_NOTE_ON, static_cast<uint8_t>(u.auditioned_note), 0, 3);
            u.auditioned_note = -1;
        }
        break;
    default:
        break;
    }
    g_shell.button_pressed = 0;
}

void press_edge() {
    UiInput& u = g_ui;
    u.repeat_count = 0;
    deadline_set(REPEAT_DEADLINE, 400);
    u.press_active = 1;
    click_at(g_shell.pointer_x, g_shell.pointer_y);
}

void repeat_step() {
    UiInput& u = g_ui;
    const FlashFrame& p = g_shell.pressed;
    if (!pointer_in(p.left, p.top, p.right, p.bottom)) {
        u.pointer_strayed = 1;
    } else {
        // Each repeat is due a fixed time after the one before it was due, not after it ran:
        // frames come only on the 20 ms timer while stopped, and lateness must not add up.
        if (u.repeat_armed && u.press_active && deadline_reached(REPEAT_DEADLINE)) {
            u.repeat_count++;
            uint32_t delay = u.repeat_count == 1 ? 500 : (u.repeat_count < 10 ? 200 : 100);
            if (u.bend_drag) {
                delay = 100;
            }
            deadline_extend(REPEAT_DEADLINE, delay);
            // A whole interval behind (a long command held the frames up): the missed
            // repeats are dropped and the pace resumes from now instead of a burst of steps.
            if (deadline_reached(REPEAT_DEADLINE)) {
                deadline_set(REPEAT_DEADLINE, delay);
            }
            click_at(g_shell.pointer_x, g_shell.pointer_y);
        }
    }
    if (u.pointer_strayed) {
        if (u.deferred_click) {
            deferred_click_run(p.left + 1, p.top + 1);
        }
        release_flash();
        g_shell.button_pressed = 0;
        u.pointer_strayed = 0;
        u.repeat_armed = 0;
    }
}

} // namespace

bool clicks_allowed() {
    switch (transport_mode()) {
    case MODE_STOPPED:
    case MODE_STANDBY:
        return true;
    case MODE_RECORDING:
        return step_recording_chosen() && g_recorder.held_notes == 0;
    case MODE_PLAYING: {
        switch (selected_command()) {
        case MenuCommand::out_channel:
        case MenuCommand::mute_track:
        case MenuCommand::mute_channel:
        case MenuCommand::program_change:
        case MenuCommand::bank_change:
        case MenuCommand::bank_change_lsb:
            return true;
        default:
            return false;
        }
    }
    default:
        return false;
    }
}

int ui_step() {
    if (midi_out_long_busy()) {
        return 1;
    }
    UiInput& u = g_ui;
    int mode = u.lower_panel_mode.load(std::memory_order_relaxed);
    g_shell.cursor_shape.store(
        mode != LOWER_TEMPO && rect_contains(SLIDER, g_shell.pointer_x, g_shell.pointer_y) ? 1 : 0);
    menu_hover(g_shell.pointer_x, g_shell.pointer_y);
    if (setting_on(SLOT_PC_KEY)) {
        key_handler();
    }
    modifier_step();
    if (u.pointer_strayed && u.press_active && g_shell.button_pressed) {
        release_flash();
        g_shell.button_pressed = 0;
        u.pointer_strayed = 0;
    }
    if (g_shell.pointer_left == 0 && u.press_active == 1) {
        release_edge();
    }
    if (g_shell.pointer_left == 1 && u.press_active == 0 && u.pointer_strayed == 0) {
        press_edge();
    }
    if (u.repeat_armed) {
        repeat_step();
    }
    return g_menu.menu_cursor[PAGE_SYSTEM];
}
