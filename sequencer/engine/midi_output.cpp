// The one output path: mutes, ports, note and program maps, re-chord, captures and the
// channel-state bookkeeping behind every message the sequencer sends.
#include "common/check.h"
#include "sequencer/engine/channel_state.h"
#include "sequencer/engine/engine_hooks.h"
#include "sequencer/engine/midi_input.h"
#include "sequencer/engine/transport.h"
#include "songcore/midi_bytes.h"
#include "songcore/song_store.h"

#include <cstring>

ChannelState g_channel_state;
MidiMaps g_midi_maps;

const uint8_t NRPN_LSB_NUMBERS[NRPN_PARAMETERS] = {8, 9, 10, 32, 33, 99, 100, 102};

namespace {

const uint8_t INITIAL_CHORD_TABLE[CHORD_TABLE_SIZE] = {
    60, 64, 67, 72, 60, 65, 67, 70, 62, 65, 69, 74, 62, 65, 68, 72, 64, 67, 71, 76, 65, 69, 72, 77,
    66, 69, 72, 76, 67, 71, 74, 79, 67, 72, 74, 77, 57, 60, 64, 69, 58, 62, 65, 68, 59, 62, 65, 69,
    60, 64, 67, 70, 60, 64, 67, 71, 62, 65, 69, 72, 64, 68, 71, 74, 64, 67, 71, 74, 65, 69, 72, 76,
    65, 68, 72, 76, 67, 71, 74, 77, 67, 70, 74, 77, 57, 60, 64, 67, 57, 61, 64, 67, 59, 62, 66, 69,
};

// all_notes_off sends the keys exactly as they were counted, after every map.
bool g_sending_counted_keys = false;

int rechord_shift(int x) {
    int shift = x >= 9 ? x - 12 : x;
    return shift < -6 ? shift + 12 : shift;
}

int fold_into_range(int key) {
    while (key > 127) {
        key -= 12;
    }
    while (key < 0) {
        key += 12;
    }
    return key;
}

int key_rechord(int key) {
    const MidiMaps& m = g_midi_maps;
    int p = key % 12;
    key += rechord_shift(m.chord_tones[0]);
    if (p == 4) {
        key += rechord_shift(m.chord_tones[1] - 4);
    } else if (p == 7) {
        key += rechord_shift(m.chord_tones[2] - 7);
    } else if (p == 10) {
        key += rechord_shift(m.chord_tones[3] - 10);
    }
    return fold_into_range(key);
}

uint8_t map_key(uint8_t key, int channel, bool from_track, bool rechord_applies) {
    const MidiMaps& m = g_midi_maps;
    int k = key;
    if (m.micro_channel - 1 == channel) {
        k = m.note_map[k];
    }
    if (g_channel_state.drum_channel[channel] == 0) {
        if (m.micro_channel == MICRO_ALL_CHANNELS) {
            k = m.note_map[k];
        }
        if (m.transpose_on && from_track) {
            k += m.playback_transpose;
            k = k < 0 ? 0 : (k > 127 ? 127 : k);
        }
        if (rechord_applies) {
            k = key_rechord(k);
        }
    }
    return static_cast<uint8_t>(k & 0x7F);
}

void rechord_note_ended() {
    MidiMaps& m = g_midi_maps;
    if (m.rechord_sounding > 0) {
        m.rechord_sounding--;
    }
    if (m.rechord_pending && m.rechord_sounding == 0) {
        int base = (m.rechord_chord % 24) * 4;
        for (int i = 0; i < 4; i++) {
            m.chord_tones[i] = static_cast<uint8_t>(m.chord_table[base + i] % 12);
        }
        m.rechord_pending = false;
    }
}

void control_change(int channel, uint8_t controller, uint8_t value, int port, bool from_track) {
    ChannelState& c = g_channel_state;
    switch (controller) {
    case CC_DATA_ENTRY_MSB:
        if (c.nrpn_select[channel] < NRPN_PARAMETERS) {
            c.nrpn_values[channel][c.nrpn_select[channel]] = value;
            c.nrpn_select[channel] = 127;
        }
        break;
    case CC_SUSTAIN:
        if (from_track && port < LOGICAL_PORTS) {
            c.sustain_on[channel][port] = value > 64;
        }
        break;
    case CC_NRPN_LSB:
        if (c.nrpn_select[channel] == 126) {
            for (int i = 0; i < NRPN_PARAMETERS; i++) {
                if (NRPN_LSB_NUMBERS[i] == value) {
                    c.nrpn_select[channel] = static_cast<uint8_t>(i);
                }
            }
        }
        break;
    case CC_NRPN_MSB:
        if (c.nrpn_select[channel] == 127 && value == 1) {
            c.nrpn_select[channel] = 126;
        }
        break;
    default:
        break;
    }
    c.controller_values[channel][controller & 0x7F] = value;
    // After the store, so the program panel reads the new bank.
    if ((controller == CC_BANK_SELECT_MSB || controller == CC_BANK_SELECT_LSB) &&
        g_engine_hooks.program_panel) {
        g_engine_hooks.program_panel(channel);
    }
}

void gs_message(const uint8_t* b) {
    static const uint8_t GS_PREFIX[6] = {0xF0, 0x41, 0x10, 0x42, 0x12, 0x40};
    if (memcmp(b, GS_PREFIX, 6) != 0) {
        return;
    }
    if (b[6] == 0x00 && b[7] == 0x7F && b[8] == 0x00) {
        channel_module_defaults();
        if (g_engine_hooks.program_panel) {
            g_engine_hooks.program_panel(-1);
        }
        return;
    }
    int part = b[6] & 0x0F;
    if ((b[6] & 0xF0) == 0x10 && b[7] == 0x15 && part != 0) {
        int channel = part <= 9 ? part - 1 : part;
        g_channel_state.drum_channel[channel] = b[8] != 0 ? DRUM_PART : 0;
    }
}

} // namespace

void channel_module_defaults() {
    ChannelState& c = g_channel_state;
    memset(c.controller_values, 0, sizeof c.controller_values);
    for (int ch = 0; ch < 16; ch++) {
        c.controller_values[ch][CC_VOLUME] = 100;
        c.controller_values[ch][CC_PAN] = 64;
        c.controller_values[ch][CC_EXPRESSION] = 127;
        c.controller_values[ch][CC_REVERB] = 40;
        c.channel_program[ch] = 0;
        c.drum_channel[ch] = ch == 9 ? DRUM_PART : 0;
        c.nrpn_select[ch] = 127;
        memset(c.nrpn_values[ch], 64, NRPN_PARAMETERS);
    }
}

void channel_state_reset() {
    g_channel_state = ChannelState{};
    // The module's defaults are tables per channel, which member initialisers cannot compute.
    channel_module_defaults();
}

void midi_maps_reset() {
    MidiMaps& m = g_midi_maps;
    m = MidiMaps{};
    // The identity maps and the chord table are filled here: array members cannot take a
    // computed initialiser.
    note_map_identity();
    program_map_identity();
    memcpy(m.chord_table, INITIAL_CHORD_TABLE, CHORD_TABLE_SIZE);
}

void controller_value_store(int channel, int controller, uint8_t value) {
    ZB_CHECK(channel >= 0 && channel < 16 && controller >= 0 && controller < 128);
    g_channel_state.controller_values[channel][controller] = value;
}

void nrpn_value_store(int channel, int parameter, uint8_t value) {
    ZB_CHECK(channel >= 0 && channel < 16 && parameter >= 0 && parameter < NRPN_PARAMETERS);
    g_channel_state.nrpn_values[channel][parameter] = value;
}

void micro_channel_choose(int channel) {
    MidiMaps& m = g_midi_maps;
    if (m.saved_micro_channel >= 0) {
        m.saved_micro_channel = channel;
    } else {
        m.micro_channel = channel;
    }
}

void transpose_switch(bool on) {
    g_midi_maps.transpose_on = on;
}

void transpose_amount_set(int semitones) {
    g_midi_maps.playback_transpose = semitones;
}

void rechord_switch(bool on) {
    g_midi_maps.rechord_on = on;
}

void rechord_track_set(int track) {
    g_midi_maps.rechord_track = track;
}

void note_map_identity() {
    for (int i = 0; i < 128; i++) {
        g_midi_maps.note_map[i] = static_cast<uint8_t>(i);
    }
}

void program_map_identity() {
    for (int i = 0; i < 128; i++) {
        g_midi_maps.program_map[i] = static_cast<uint8_t>(i);
    }
}

void midi_send(uint8_t* bytes, uint32_t length) {
    Player& p = g_player;
    ChannelState& c = g_channel_state;
    MidiMaps& m = g_midi_maps;
    bool muted = p.send_muted;
    if (muted && transport_mode() == MODE_RECORDING) {
        return;
    }
    bool from_track = p.playing_track > 0 && p.playing_track <= MAX_TRACKS;
    int port =
        from_track ? g_song.track_port[p.playing_track - 1] : g_midi_devices.current_out_port;
    bool port_known = port >= 0 && port < LOGICAL_PORTS;
    uint8_t status = bytes[0];
    int channel = status & 0x0F;
    uint8_t kind = status & 0xF0;
    bool rechord_applies = m.rechord_on && from_track && p.playing_track == m.rechord_track;

    if (length == 2 && status < STATUS_EXCLUSIVE && !muted) {
        if (m.program_map_capture < 128) {
            m.program_map[m.program_map_capture++] = bytes[1] & 0x7F;
        }
        if (kind == STATUS_PROGRAM_CHANGE) {
            bytes[1] = m.program_map[bytes[1] & 0x7F];
            c.channel_program[channel] = bytes[1];
            if (g_engine_hooks.program_panel) {
                g_engine_hooks.program_panel(channel);
            }
        }
    } else if (length == 3 && status < STATUS_EXCLUSIVE) {
        if (kind == STATUS_NOTE_OFF || kind == STATUS_NOTE_ON) {
            if (!g_sending_counted_keys) {
                bytes[1] = map_key(bytes[1] & 0x7F, channel, from_track, rechord_applies);
            }
            int8_t* count =
                port_known ? &c.sounding_notes[channel * 128 + bytes[1]][port] : nullptr;
            if (kind == STATUS_NOTE_OFF || bytes[2] == 0) {
                if (count && *count > 0) {
                    (*count)--;
                }
                // Notes of a muted track still end, except the guide track's while it is traced.
                muted = from_track && guide_active() && p.playing_track == g_song.tracing_track;
                if (rechord_applies) {
                    rechord_note_ended();
                }
            } else if (!muted) {
                if (count && *count < 127) {
                    (*count)++;
                }
                if (m.note_map_capture < 128) {
                    m.note_map[m.note_map_capture++] = bytes[1];
                }
                if (m.chord_capture < CHORD_TABLE_SIZE) {
                    m.chord_table[m.chord_capture++] = bytes[1];
                }
                if (rechord_applies) {
                    m.rechord_sounding++;
                }
                g_engine_display.notes_dirty.store(true, std::memory_order_relaxed);
            }
        } else if (kind == STATUS_CONTROL_CHANGE && !muted) {
            control_change(channel, bytes[1], bytes[2], port, from_track);
        }
    } else if (length == 11 && !muted) {
        gs_message(bytes);
    }
    if (muted) {
        return;
    }
    if (!m.midi_link_switch && status >= STATUS_CLOCK) {
        return;
    }
    if (port_known) {
        midi_out_send(g_midi_devices.port_map[port], bytes, length);
    }
}

void all_notes_off() {
    ChannelState& c = g_channel_state;
    int saved_port = g_midi_devices.current_out_port;
    int saved_track = g_player.playing_track;
    bool saved_muted = g_player.send_muted;
    g_player.playing_track = 0;
    g_player.send_muted = false;
    g_sending_counted_keys = true;
    for (int port = 0; port < LOGICAL_PORTS; port++) {
        g_midi_devices.current_out_port = port;
        for (int channel = 0; channel < 16; channel++) {
            for (int key = 0; key < 128; key++) {
                int8_t& count = c.sounding_notes[channel * 128 + key][port];
                int sends = count > 0 ? count + 1 : 0;
                for (int i = 0; i < sends; i++) {
                    uint8_t off[3] = {static_cast<uint8_t>(STATUS_NOTE_ON | channel),
                                      static_cast<uint8_t>(key), 0};
                    midi_send(off, 3);
                }
                count = 0;
            }
        }
        for (int channel = 0; channel < 16; channel++) {
            if (c.sustain_on[channel][port]) {
                uint8_t pedal_up[3] = {static_cast<uint8_t>(STATUS_CONTROL_CHANGE | channel),
                                       CC_SUSTAIN, 0};
                midi_send(pedal_up, 3);
                c.sustain_on[channel][port] = false;
            }
        }
    }
    g_sending_counted_keys = false;
    g_midi_devices.current_out_port = saved_port;
    g_player.playing_track = saved_track;
    g_player.send_muted = saved_muted;
}

void captures_end() {
    MidiMaps& m = g_midi_maps;
    if (m.saved_micro_channel >= 0) {
        m.micro_channel = m.saved_micro_channel;
        m.saved_micro_channel = -1;
    }
    m.note_map_capture = 128;
    m.program_map_capture = 128;
    m.chord_capture = CHORD_TABLE_SIZE;
}

void captures_start(int play_octave, int first_key) {
    MidiMaps& m = g_midi_maps;
    if (play_octave == 8) {
        m.chord_capture = 0;
    } else if (play_octave == 7) {
        m.note_map_capture = first_key < 0 ? 0 : (first_key > 127 ? 127 : first_key);
        m.program_map_capture = 0;
        if (m.saved_micro_channel < 0) {
            m.saved_micro_channel = m.micro_channel;
        }
        m.micro_channel = MICRO_OFF;
    }
}
