// Input state at start, the pointer warp and the output of input-made messages.
#include "common/record_rebuild.h"
#include "platform/window.h"
#include "sequencer/engine/channel_state.h"
#include "sequencer/engine/midi_input.h"
#include "sequencer/engine/settings.h"
#include "sequencer/shell/shell_state.h"
#include "sequencer/shell/ui_input.h"

UiInput g_ui;

void ui_input_reset() {
    record_rebuild(g_ui);
    // -1 in every entry: an array member cannot repeat a non-zero initialiser.
    for (int& note : g_ui.note_key_sounding) {
        note = -1;
    }
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
