// The PC keyboard's twenty note keys, laid out as a piano: a key going down plays its note
// (or, at the chord-pad octave, a chord of the chord table) on the current channel through
// the output path and to the recorder, going up ends it.
#include "common/key_edge.h"
#include "platform/virtual_keys.h"
#include "sequencer/engine/channel_state.h"
#include "sequencer/engine/last_key.h"
#include "sequencer/engine/midi_input.h"
#include "sequencer/engine/settings.h"
#include "sequencer/engine/transport.h"
#include "sequencer/shell/ui_input.h"
#include "songcore/midi_bytes.h"

// A W S E D F T G Y H U J K O L P and the four keys right of L and P.
const int PC_NOTE_KEY_CODES[PC_NOTE_KEYS] = {
    'A', 'W', 'S', 'E', 'D', 'F', 'T',          'G',      'Y',        'H',
    'U', 'J', 'K', 'O', 'L', 'P', VK_SEMICOLON, VK_COLON, VK_BRACKET, VK_CLOSE_BRACKET};

namespace {

constexpr int CHORD_TABLE_CHORDS = CHORD_TABLE_SIZE / CHORD_PAD_NOTES;

int clamp(int value, int low, int high) {
    return value < low ? low : (value > high ? high : value);
}

bool any_note_key_sounding() {
    if (g_ui.pad_key >= 0) {
        return true;
    }
    for (int i = 0; i < PC_NOTE_KEYS; i++) {
        if (g_ui.note_key_sounding[i] >= 0 || g_ui.note_key_traced_out[i]) {
            return true;
        }
    }
    return false;
}

uint8_t current_channel() {
    return static_cast<uint8_t>(g_settings.slots[SLOT_OUT_CHANNEL] & 0x0F);
}

// The output path maps the note through the micro scale when it applies to the channel, so
// the note sounds as it is played back from the recording.
void note_send(uint8_t channel_index, int note, int velocity) {
    uint8_t message[3] = {static_cast<uint8_t>(STATUS_NOTE_ON | channel_index),
                          static_cast<uint8_t>(note), static_cast<uint8_t>(velocity)};
    uint8_t recorded[3] = {message[0], message[1], message[2]};
    midi_send(message, 3);
    recorder_event(recorded, 3);
}

// With pitch tracing the key plays the guide track's next note instead; a key already
// sounding that note gives it up first, so one note never sounds twice.
int traced_note(int note, int key) {
    if (!guide_active() || g_input.guide_note < 0) {
        return note;
    }
    int guided = g_input.guide_note;
    guide_next();
    UiInput& u = g_ui;
    for (int i = 0; i < PC_NOTE_KEYS; i++) {
        if (i != key && u.note_key_sounding[i] == guided) {
            note_send(u.note_key_channel[i], guided, 0);
            u.note_key_sounding[i] = -1;
            u.note_key_traced_out[i] = true;
        }
    }
    return guided;
}

void note_key_press(int key, int velocity) {
    UiInput& u = g_ui;
    uint8_t channel_index = current_channel();
    int note = traced_note(pc_key_note(u.note_key_octave, key), key);
    u.note_key_sounding[key] = note;
    u.note_key_channel[key] = channel_index;
    u.last_note = note;
    g_last_key.last_key_velocity = static_cast<uint8_t>(velocity & 0x7F);
    note_send(channel_index, note, velocity);
}

void note_key_release(int key) {
    UiInput& u = g_ui;
    int note = u.note_key_sounding[key];
    note_send(u.note_key_channel[key], note, 0);
    g_last_key.last_key_note = static_cast<uint8_t>(note & 0x7F);
    u.note_key_sounding[key] = -1;
}

void pad_release() {
    UiInput& u = g_ui;
    for (uint8_t note : u.pad_notes) {
        note_send(u.pad_channel, note, 0);
    }
    g_last_key.last_key_note = u.pad_notes[CHORD_PAD_NOTES - 1];
    u.pad_key = -1;
}

} // namespace

int pc_key_note(int octave, int index) {
    return clamp((octave + 2) * 12 + index, 0, 127);
}

void chord_pad_play(int chord, int velocity) {
    UiInput& u = g_ui;
    int index = clamp(chord, 1, CHORD_TABLE_CHORDS) - 1;
    u.pad_chord = index;
    u.pad_channel = current_channel();
    g_last_key.last_key_velocity = static_cast<uint8_t>(velocity & 0x7F);
    for (int i = 0; i < CHORD_PAD_NOTES; i++) {
        uint8_t note = g_midi_maps.chord_table[index * CHORD_PAD_NOTES + i] & 0x7F;
        u.pad_notes[i] = note;
        note_send(u.pad_channel, note, velocity);
    }
    u.last_note = u.pad_notes[0];
}

void pc_note_keys() {
    UiInput& u = g_ui;
    // A new octave waits until every key is up: a held key ends the note it began.
    if (!any_note_key_sounding()) {
        u.note_key_octave = g_transport.play_octave;
    }
    bool pads = u.note_key_octave == CHORD_PAD_OCTAVE;
    int velocity = clamp(u.play_velocity, 1, 127);
    for (int i = 0; i < PC_NOTE_KEYS; i++) {
        int& state = u.note_key_state[i];
        key_edge_poll(PC_NOTE_KEY_CODES[i], state);
        bool down = state == KEY_PRESSED || state == KEY_HELD;
        if (!down) {
            u.note_key_traced_out[i] = false;
            if (u.note_key_sounding[i] >= 0) {
                note_key_release(i);
            }
            if (u.pad_key == i) {
                pad_release();
            }
        } else if (pads) {
            // One pad at a time, taken as the key goes down, and none while the mouse holds
            // a button of the screen down.
            if (state == KEY_PRESSED && u.pad_key < 0 && u.press_active == 0) {
                u.pad_key = i;
                chord_pad_play(i + 1, velocity);
            }
        } else if (u.note_key_sounding[i] < 0 && !u.note_key_traced_out[i]) {
            note_key_press(i, velocity);
        }
    }
}
