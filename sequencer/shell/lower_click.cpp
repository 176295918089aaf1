// Clicks under the menu column: page tabs, transport buttons, the on-screen keyboard, the
// octave buttons and the slider panel.
#include "sequencer/engine/channel_state.h"
#include "sequencer/engine/settings.h"
#include "sequencer/engine/transport.h"
#include "sequencer/shell/main_fields.h"
#include "sequencer/shell/menu_commands.h"
#include "sequencer/shell/panels.h"
#include "sequencer/shell/param_panel.h"
#include "sequencer/shell/screen_layout.h"
#include "sequencer/shell/shell_state.h"
#include "sequencer/shell/ui_input.h"
#include "songcore/midi_bytes.h"

namespace {

// Note offsets of the on-screen keys from the octave's base; 0 where a black key is missing.
const int WHITE_OFFSETS[14] = {1, 3, 5, 6, 8, 10, 12, 13, 15, 17, 18, 20, 22, 24};
const int BLACK_OFFSETS[14] = {2, 4, 0, 7, 9, 11, 0, 14, 16, 0, 19, 21, 23, 0};

FlashFrame flash_frame(const ScreenRect& face) {
    return FlashFrame{face.left, face.top, face.right, face.bottom, 0};
}

int clamp(int value, int low, int high) {
    return value < low ? low : (value > high ? high : value);
}

void wind_click(bool forward) {
    int mode = transport_mode();
    if (mode != MODE_STOPPED && mode != MODE_PLAYING && !g_ui.click_is_release) {
        return;
    }
    auto wind = [forward](WindPhase phase) {
        if (forward) {
            fast_forward(phase);
        } else {
            rewind(phase);
        }
    };
    if (g_ui.click_is_release) {
        wind(WindPhase::release);
        if (shown_with(MenuCommand::event_edit_mode) && g_menu_hooks.event_list_refresh) {
            g_menu_hooks.event_list_refresh();
        }
        return;
    }
    if (g_ui.repeat_count == 0) {
        wind(WindPhase::press);
    }
    wind(WindPhase::hold);
    g_ui.repeat_armed = 1;
    g_ui.deferred_click = 1;
}

} // namespace

void transport_button_click(int button) {
    if (!g_ui.click_is_release && g_ui.repeat_count == 0) {
        ScreenRect face = button_face(TRANSPORT_BUTTONS, button);
        press_flash(face.left, face.top, face.right, face.bottom);
    }
    int mode = transport_mode();
    switch (button) {
    case BUTTON_RECORD:
        if (mode == MODE_STOPPED) {
            record_standby();
        }
        break;
    case BUTTON_TOP:
        if (mode == MODE_STOPPED) {
            to_top();
        }
        break;
    case BUTTON_REWIND:
        wind_click(false);
        break;
    case BUTTON_STOP:
        transport_stop(false);
        break;
    case BUTTON_PLAY:
        transport_start();
        break;
    case BUTTON_FORWARD:
        wind_click(true);
        break;
    default:
        break;
    }
}

void transport_button_stroke(int button) {
    UiInput& u = g_ui;
    u.repeat_count = 0;
    transport_button_click(button);
    // The release, as the release edge runs it for a held button.
    if (u.deferred_click) {
        u.repeat_armed = 0;
        u.click_is_release = true;
        transport_button_click(button);
        u.click_is_release = false;
        u.deferred_click = 0;
    }
    u.repeat_armed = 0;
    release_flash();
    g_shell.button_pressed = 0;
}

void page_tab_click(int page) {
    if (transport_mode() == MODE_STOPPED && page < PAGE_RECORDING && !g_ui.click_is_release) {
        show_command(page);
    }
}

namespace {

void keyboard_click(int x, int y) {
    int offset;
    int velocity;
    const KeyboardLayout& keys = ON_SCREEN_KEYS;
    if (y >= keys.white_top) {
        offset = WHITE_OFFSETS[clamp((x - keys.white_left) / keys.key_width, 0, 13)];
        velocity = (2 * y - 16) % 256;
    } else {
        if (x < keys.black_left) {
            return;
        }
        offset = BLACK_OFFSETS[clamp((x - keys.black_left) / keys.key_width, 0, 13)];
        velocity = (2 * y + 78) % 256;
    }
    if (offset == 0) {
        return;
    }
    if (g_ui.velocity_lock) {
        velocity = g_ui.play_velocity;
    }
    velocity = clamp(velocity, 1, 127);
    UiInput& u = g_ui;
    u.keyboard_note_count = 0;
    if (g_transport.play_octave == CHORD_PAD_OCTAVE) {
        // Chord mode: the key names one of the 24 chords of four notes.
        for (int i = 0; i < 4; i++) {
            uint8_t note = g_midi_maps.chord_table[(offset - 1) * 4 + i] & 0x7F;
            u.keyboard_notes[u.keyboard_note_count++] = note;
            send_and_record(STATUS_NOTE_ON, note, static_cast<uint8_t>(velocity), 3);
        }
    } else {
        int note = clamp((g_transport.play_octave + 2) * 12 - 1 + offset, 0, 127);
        u.keyboard_notes[u.keyboard_note_count++] = static_cast<uint8_t>(note);
        u.last_note = note;
        send_and_record(STATUS_NOTE_ON, static_cast<uint8_t>(note), static_cast<uint8_t>(velocity),
                        3);
    }
    // The keys are part of the background and show no press: only the note-off is owed.
    g_shell.button_pressed = 2;
}

void octave_click(int y) {
    bool up = y < OCTAVE_DOWN_FACE.top;
    play_octave_step(up ? 1 : -1);
    show_octave();
    if (g_ui.repeat_count == 0) {
        const ScreenRect& face = up ? OCTAVE_UP_FACE : OCTAVE_DOWN_FACE;
        press_flash(face.left, face.top, face.right, face.bottom);
    }
    g_ui.repeat_armed = 1;
}

// The window timer draws the controller panel from these, not from the frames' state.
void controller_latch() {
    int controller = g_settings.slots[SLOT_EXCHANGE_TARGET] & 0x7F;
    int channel_index = g_settings.slots[SLOT_OUT_CHANNEL] & 0x0F;
    g_ui.slider_controller.store(controller);
    g_ui.slider_value.store(g_channel_state.controller_values[channel_index][controller]);
}

void slider_button_click(int x) {
    int cell = (x - SLIDER_BUTTONS.left) / CELL_WIDTH;
    int mode = g_ui.lower_panel_mode.load();
    if (mode == LOWER_TEMPO && cell <= 3) {
        tempo_step(-1);
        g_shell.pressed = flash_frame(TEMPO_DOWN_FACE);
        g_ui.repeat_armed = 1;
    } else if (mode == LOWER_TEMPO && cell >= 11 && cell <= 14) {
        tempo_step(1);
        g_shell.pressed = flash_frame(TEMPO_UP_FACE);
        g_ui.repeat_armed = 1;
    } else if ((mode != LOWER_TEMPO || (cell >= 4 && cell <= 10)) && g_ui.repeat_count == 0) {
        // Cell 15 of the tempo row is no button.
        int next = (mode + 1) % 3;
        if (next == LOWER_CONTROLLER) {
            controller_latch();
        } else if (next == LOWER_TEMPO) {
            port_device_latch(); // the refresher shows the port's device again
        }
        g_ui.lower_panel_mode.store(next);
        g_ui.slider_sent = -1;
    }
}

void slider_click(int x) {
    int mode = g_ui.lower_panel_mode.load();
    if (mode == LOWER_TEMPO) {
        return;
    }
    int value = clamp(x - SLIDER.left, 0, 127);
    if (value != g_ui.slider_sent) {
        g_ui.slider_sent = value;
        if (mode == LOWER_PITCH_BEND) {
            send_and_record(STATUS_PITCH_BEND, 0, static_cast<uint8_t>(value), 3);
            g_ui.bend_drag = 1;
        } else {
            int controller = g_settings.slots[SLOT_EXCHANGE_TARGET] & 0x7F;
            send_and_record(STATUS_CONTROL_CHANGE, static_cast<uint8_t>(controller),
                            static_cast<uint8_t>(value), 3);
            // Panels showing the channel's controllers follow the slider.
            list_panels_controller_changed(g_settings.slots[SLOT_OUT_CHANNEL] & 0x0F, controller);
            param_panel_values_redraw();
        }
        g_ui.slider_value.store(value);
    }
    g_shell.pressed = flash_frame(SLIDER_FACE);
    g_ui.repeat_armed = 1;
}

} // namespace

void lower_click(int x, int y) {
    if (rect_contains(TRANSPORT_BUTTONS.area, x, y)) {
        transport_button_click(button_at(TRANSPORT_BUTTONS, x, y));
    } else if (rect_contains(PAGE_TABS.area, x, y)) {
        page_tab_click(button_at(PAGE_TABS, x, y));
    } else if (rect_contains(KEYBOARD_AREA, x, y)) {
        if (!g_ui.click_is_release && g_ui.repeat_count == 0) {
            keyboard_click(x, y);
        }
    } else if (rect_contains(OCTAVE_BUTTONS, x, y)) {
        if (!g_ui.click_is_release) {
            octave_click(y);
        }
    } else if (rect_contains(SLIDER_BUTTONS, x, y)) {
        if (!g_ui.click_is_release) {
            slider_button_click(x);
        }
    } else if (rect_contains(SLIDER, x, y)) {
        if (!g_ui.click_is_release) {
            slider_click(x);
        }
    }
}
