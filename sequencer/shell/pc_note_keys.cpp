// The PC keyboard's twenty note keys, laid out as a piano: a key going down plays its note
// on the current channel through the output path and to the recorder, going up ends it.
#include "common/key_edge.h"
#include "sequencer/engine/channel_state.h"
#include "sequencer/engine/midi_input.h"
#include "sequencer/engine/settings.h"
#include "sequencer/engine/transport.h"
#include "sequencer/shell/ui_input.h"
#include "songcore/midi_bytes.h"

// A W S E D F T G Y H U J K O L P and the four keys right of L and P.
const int PC_NOTE_KEY_CODES[PC_NOTE_KEYS] = {'A', 'W', 'S', 'E', 'D', 'F', 'T',  'G',  'Y',  'H',
                                             'U', 'J', 'K', 'O', 'L', 'P', 0xBB, 0xBA, 0xDB, 0xDD};

namespace {

constexpr int CHORD_PAD_OCTAVE = 8; // the keys play chord pads there, not notes

int clamp(int value, int low, int high) {
    return value < low ? low : (value > high ? high : value);
}

bool any_note_key_sounding() {
    for (int i = 0; i < PC_NOTE_KEYS; i++) {
        if (g_ui.note_key_sounding[i] >= 0) {
            return true;
        }
    }
    return false;
}

// On the channel the note began on, so a channel chosen meanwhile cannot leave it sounding.
void note_send(uint8_t channel_index, int note, int velocity) {
    uint8_t message[3] = {static_cast<uint8_t>(STATUS_NOTE_ON | channel_index),
                          static_cast<uint8_t>(note), static_cast<uint8_t>(velocity)};
    uint8_t recorded[3] = {message[0], message[1], message[2]};
    midi_send(message, 3);
    recorder_event(recorded, 3);
}

} // namespace

void pc_note_keys() {
    UiInput& u = g_ui;
    // A new octave waits until every key is up: a held key ends the note it began.
    if (!any_note_key_sounding()) {
        u.note_key_octave = g_transport.play_octave;
    }
    for (int i = 0; i < PC_NOTE_KEYS; i++) {
        int& state = u.note_key_state[i];
        key_edge_poll(PC_NOTE_KEY_CODES[i], state);
        bool down = state == KEY_PRESSED || state == KEY_HELD;
        int& sounding = u.note_key_sounding[i];
        if (down && sounding < 0 && u.note_key_octave != CHORD_PAD_OCTAVE) {
            uint8_t channel_index = static_cast<uint8_t>(g_settings.slots[SLOT_OUT_CHANNEL] & 0x0F);
            sounding = clamp((u.note_key_octave + 2) * 12 + i, 0, 127);
            u.note_key_channel[i] = channel_index;
            u.last_note = sounding;
            note_send(channel_index, sounding, clamp(u.play_velocity, 1, 127));
        } else if (!down && sounding >= 0) {
            note_send(u.note_key_channel[i], sounding, 0);
            sounding = -1;
        }
    }
}
