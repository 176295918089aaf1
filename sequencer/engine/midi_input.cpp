// Input processing: received bytes assembled into messages, then filter, channel change,
// controller exchange and guide substitution, thru output and the recorder; real-time bytes
// drive the transport and the external clock; system exclusive is recorded whole.
#include "sequencer/engine/midi_input.h"

#include "sequencer/engine/channel_state.h"
#include "sequencer/engine/engine_hooks.h"
#include "sequencer/engine/last_key.h"
#include "sequencer/engine/midi_devices.h"
#include "sequencer/engine/settings.h"
#include "sequencer/engine/transport.h"
#include "songcore/midi_bytes.h"
#include "songcore/song_store.h"

#include <cstring>

InputState g_input;

void input_reset() {
    g_input = InputState{};
    // 255 in every entry: an array member cannot repeat a non-zero initialiser.
    memset(g_input.key_substitute, 255, sizeof g_input.key_substitute);
}

namespace {

void send_copy(const uint8_t* bytes, uint32_t length) {
    uint8_t copy[3];
    memcpy(copy, bytes, length);
    midi_send(copy, length);
}

// Moves the recorded data up when the length needs more than the one reserved byte.
void sysex_length_fix_up() {
    InputState& in = g_input;
    uint8_t vlq[4];
    int n = 0;
    uint32_t value = in.sysex_len & 0x0FFFFFFF;
    uint8_t groups[4];
    do {
        groups[n++] = value & 0x7F;
        value >>= 7;
    } while (value != 0 && n < 4);
    for (int i = 0; i < n; i++) {
        vlq[i] = groups[n - 1 - i] | (i < n - 1 ? 0x80 : 0);
    }
    if (n > 1) {
        uint32_t data_start = in.sysex_len_pos + 1;
        uint32_t data_end = g_song.arena_end;
        uint8_t pad[3] = {0, 0, 0};
        if (!arena_append(pad, static_cast<uint32_t>(n - 1))) {
            return; // out of memory: the recording is given up at the next event
        }
        memmove(g_song.arena + data_start + n - 1, g_song.arena + data_start,
                data_end - data_start);
    }
    memcpy(g_song.arena + in.sysex_len_pos, vlq, static_cast<size_t>(n));
}

void sysex_close() {
    InputState& in = g_input;
    if (!in.in_sysex) {
        return;
    }
    if (in.sysex_stored && transport_mode() == MODE_RECORDING) {
        in.sysex_len++;
        if (arena_append_byte(STATUS_EXCLUSIVE_END)) {
            sysex_length_fix_up();
        }
    } else if (setting_on(SLOT_THRU_ON)) {
        uint8_t end = STATUS_EXCLUSIVE_END;
        midi_send(&end, 1);
    }
    in.in_sysex = false;
    in.sysex_stored = false;
    in.in_msg[0] = 0;
}

void sysex_open() {
    InputState& in = g_input;
    if (in.in_sysex) {
        if (setting_on(SLOT_THRU_ON)) {
            uint8_t start = STATUS_EXCLUSIVE;
            midi_send(&start, 1);
        }
        return;
    }
    in.in_msg[0] = 0;
    in.in_sysex = true;
    uint8_t start = STATUS_EXCLUSIVE;
    recorder_event(&start, 1);
    in.sysex_len = 0;
    in.sysex_stored = recorder_realtime() && !g_song.memory_over;
    if (in.sysex_stored) {
        in.sysex_len_pos = g_song.arena_end;
        in.sysex_stored = arena_append_byte(0);
    } else if (transport_mode() != MODE_RECORDING && setting_on(SLOT_THRU_ON)) {
        midi_send(&start, 1);
    }
}

bool filter_passes(uint8_t kind) {
    switch (kind) {
    case STATUS_NOTE_OFF:
    case STATUS_NOTE_ON:
        return setting_on(SLOT_FILTER_NOTE);
    case STATUS_KEY_PRESSURE:
        return setting_on(SLOT_FILTER_KEY_PRESSURE);
    case STATUS_CONTROL_CHANGE:
        return setting_on(SLOT_FILTER_CONTROL);
    case STATUS_PROGRAM_CHANGE:
        return setting_on(SLOT_FILTER_PROGRAM);
    case STATUS_CHANNEL_PRESSURE:
        return setting_on(SLOT_FILTER_CHANNEL_PRESSURE);
    default:
        return setting_on(SLOT_FILTER_PITCH_BEND);
    }
}

void guide_substitute(uint8_t kind, int channel, uint8_t& key, uint8_t velocity) {
    InputState& in = g_input;
    uint8_t& substitute = in.key_substitute[channel][key];
    if (kind == STATUS_NOTE_ON && velocity > 0) {
        if (substitute != 255) {
            uint8_t off[3] = {static_cast<uint8_t>(STATUS_NOTE_ON | channel), substitute, 0};
            midi_send(off, 3);
        }
        uint8_t sent = key;
        if (in.guide_note >= 0) {
            sent = static_cast<uint8_t>(in.guide_note);
            guide_next();
        }
        substitute = sent;
        key = sent;
    } else if (substitute != 255) {
        key = substitute;
        substitute = 255;
    }
}

uint8_t received_velocity(uint8_t velocity) {
    if (velocity == 0) {
        return 0;
    }
    if (setting_on(SLOT_FIXED_VELOCITY_ON)) {
        int fixed = g_settings.slots[SLOT_FIXED_VELOCITY];
        return static_cast<uint8_t>(fixed < 1 ? 1 : (fixed > 127 ? 127 : fixed));
    }
    int v = velocity + g_settings.slots[SLOT_VELOCITY_OFFSET];
    return static_cast<uint8_t>(v < 1 ? 1 : (v > 127 ? 127 : v));
}

void complete_message() {
    InputState& in = g_input;
    uint8_t message[3] = {in.in_msg[0], in.in_msg[1], in.in_msg[2]};
    uint8_t kind = message[0] & 0xF0;
    int channel = message[0] & 0x0F;
    bool is_note = kind == STATUS_NOTE_OFF || kind == STATUS_NOTE_ON;
    if (is_note && (g_midi_maps.micro_channel - 1 == channel ||
                    g_midi_maps.micro_channel == MICRO_ALL_CHANNELS)) {
        message[1] = g_midi_maps.note_map[message[1] & 0x7F];
    }
    if (is_note && guide_active()) {
        guide_substitute(kind, channel, message[1], message[2]);
    }
    if (!filter_passes(kind)) {
        return;
    }
    if (kind == STATUS_NOTE_ON && message[2] > 0) {
        message[2] = received_velocity(message[2]);
        last_key_set(message[1], message[2]);
        if (g_engine_hooks.input_note) {
            g_engine_hooks.input_note(message[1], message[2]);
        }
    } else if (kind == STATUS_CONTROL_CHANGE && g_transport.play_octave == -1 &&
               message[1] == g_settings.slots[SLOT_EXCHANGE_SOURCE] % 128) {
        message[1] = static_cast<uint8_t>(g_settings.slots[SLOT_EXCHANGE_TARGET] % 128);
    } else if (kind == STATUS_PROGRAM_CHANGE && g_transport.play_octave == -2 &&
               g_transport.remote_allowed) {
        remote_command(message[1]);
    }
    uint32_t length = static_cast<uint32_t>(channel_message_length(message[0]));
    if (setting_on(SLOT_THRU_ON)) {
        send_copy(message, length);
    }
    recorder_event(message, length);
}

void channel_status(uint8_t status) {
    InputState& in = g_input;
    sysex_close();
    int change = g_settings.slots[SLOT_CHANGE_CHANNEL];
    if (change == 17 || (status & 0x0F) == change - 1) {
        status =
            static_cast<uint8_t>((status & 0xF0) | (g_settings.slots[SLOT_OUT_CHANNEL] & 0x0F));
    }
    in.in_msg[0] = status;
    in.in_count = 1;
    in.in_len = channel_message_length(status);
}

void data_byte(uint8_t b) {
    InputState& in = g_input;
    if (in.in_sysex) {
        if (in.sysex_stored && transport_mode() == MODE_RECORDING) {
            in.sysex_len++;
            arena_append_byte(b);
        }
        return;
    }
    if (in.in_count == 0) {
        in.in_count = 1;
    }
    if (in.in_msg[0] == 0) {
        return; // no status known: the byte is dropped
    }
    in.in_msg[in.in_count++] = b;
    if (in.in_count >= in.in_len) {
        // Back to 0 first: handling the message may stop the transport, which drains the
        // queue through this same code.
        in.in_count = 0;
        complete_message();
    }
}

void system_byte(uint8_t b) {
    switch (b) {
    case STATUS_EXCLUSIVE:
        sysex_open();
        break;
    case STATUS_EXCLUSIVE_END:
        sysex_close();
        break;
    case STATUS_CLOCK:
        g_song_clock.midi_clock_seen = true;
        break;
    case STATUS_START:
    case STATUS_CONTINUE:
        transport_start();
        break;
    case STATUS_STOP:
        transport_stop(true);
        break;
    case STATUS_ACTIVE_SENSING:
        if (setting_on(SLOT_THRU_ON)) {
            midi_send(&b, 1);
        }
        break;
    default:
        break;
    }
}

} // namespace

void midi_in_sysex_end() {
    sysex_close();
}

// Takes only the bytes already queued: an open system-exclusive message waits for its end in
// a later step, so the thread that fills the queue is never waited on.
void midi_in_process() {
    uint8_t b;
    while (midi_in_read_byte(b) == 0) {
        if (!g_midi_maps.midi_link_switch && b >= 0x90) {
            return;
        }
        if (b < 0x80) {
            data_byte(b);
        } else if (b <= 0xEF) {
            channel_status(b);
        } else {
            system_byte(b);
        }
    }
}

bool guide_active() {
    if (!setting_on(SLOT_GUIDE_MODE)) {
        return false;
    }
    int mode = transport_mode();
    if (mode == MODE_PLAYING) {
        return true;
    }
    return (mode == MODE_RECORDING || mode == MODE_STANDBY) &&
           g_song.write_track + 1 != g_song.tracing_track;
}

void guide_reset() {
    InputState& in = g_input;
    in.guide_note = -1;
    in.guide_velocity = 0;
    memset(in.key_substitute, 255, sizeof in.key_substitute);
    if (setting_on(SLOT_GUIDE_MODE) && g_song.tracing_track >= 1 &&
        g_song.tracing_track <= g_song.track_count) {
        in.guide_walk =
            track_walk_begin(g_song.slots[g_song.current_bank].track_pos[g_song.tracing_track - 1]);
        guide_next();
    }
}

void guide_next() {
    InputState& in = g_input;
    in.guide_note = -1;
    if (g_song.tracing_track < 1 || g_song.tracing_track > g_song.track_count) {
        return;
    }
    TrackEvent ev;
    while (event_parse(in.guide_walk, ev)) {
        if (note_kind(ev) == 1) {
            in.guide_note = event_data(ev, 0);
            in.guide_velocity = event_data(ev, 1);
            return;
        }
    }
}

void remote_command(int program) {
    bool stopped = transport_mode() == MODE_STOPPED;
    if (program >= 0 && program <= 9) {
        if (stopped && program != g_song.current_bank) {
            song_bank_select(program);
        }
    } else if (program >= 10 && program <= 15) {
        if (stopped) {
            measure_move(g_settings.slots[SLOT_REMOTE_MEASURE_FIRST + program - 10] - 1);
        }
    } else if (program == 16) {
        transport_stop(true);
    } else if (program == 17) {
        transport_start();
    } else if (program == 18 || program == 19) {
        g_settings.slots[SLOT_THRU_ON] = program == 18 ? 1 : 0;
    } else if (program == 20) {
        uint8_t sensing = STATUS_ACTIVE_SENSING;
        midi_send(&sensing, 1);
    } else if (program >= 21 && program <= 23) {
        g_midi_devices.current_out_port = program - 21;
        if (g_engine_hooks.out_port_changed) {
            g_engine_hooks.out_port_changed();
        }
    } else if (program >= 32 && program <= 63) {
        g_song.write_track = program - 32;
    }
}
