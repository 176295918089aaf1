// Input state at start, the pointer warp and the output of input-made messages.
#include "platform/window.h"
#include "sequencer/engine/channel_state.h"
#include "sequencer/engine/midi_input.h"
#include "sequencer/engine/settings.h"
#include "sequencer/shell/shell_state.h"
#include "sequencer/shell/ui_input.h"

UiInput g_ui;

void ui_input_reset() {
    UiInput& u = g_ui;
    u.alt_mode = 0;
    u.pointer_focus = 0;
    u.pointer_index = 0;
    u.last_key_handled = 0;
    u.press_active = 0;
    u.repeat_armed = 0;
    u.repeat_count = 0;
    u.pointer_strayed = 0;
    u.deferred_click = 0;
    u.click_is_release = false;
    u.bend_drag = 0;
    u.lower_panel_mode.store(LOWER_TEMPO);
    u.slider_value.store(64);
    u.slider_controller.store(0);
    u.slider_sent = -1;
    u.play_velocity = 100;
    u.velocity_lock = false;
    u.keyboard_note_count = 0;
    u.auditioned_note = -1;
    u.last_note = -1;
    for (int i = 0; i < PC_NOTE_KEYS; i++) {
        u.note_key_state[i] = 0;
        u.note_key_sounding[i] = -1;
        u.note_key_channel[i] = 0;
    }
    u.note_key_octave = 3;
}

void warp_pointer(int x, int y) {
    g_shell.pointer_x = x;
    g_shell.pointer_y = y;
    g_shell.mouse_x.store(x);
    g_shell.mouse_y.store(y);
    platform_pointer_warp(x, y);
}

void send_and_record(uint8_t status, uint8_t data1, uint8_t data2, int length) {
    int channel_index = g_settings.slots[SLOT_OUT_CHANNEL] & 0x0F;
    uint8_t message[3] = {static_cast<uint8_t>(status | channel_index), data1, data2};
    uint8_t recorded[3] = {message[0], data1, data2};
    midi_send(message, static_cast<uint32_t>(length));
    recorder_event(recorded, static_cast<uint32_t>(length));
}
