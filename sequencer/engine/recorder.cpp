// The recorder: received and played events written into a new track chunk at the arena's
// end, in real time or step by step, and installed as the record track when recording stops.
#include "common/status_line.h"
#include "platform/platform.h"
#include "platform/virtual_keys.h"
#include "sequencer/engine/engine_hooks.h"
#include "sequencer/engine/midi_input.h"
#include "sequencer/engine/settings.h"
#include "sequencer/engine/transport.h"
#include "songcore/midi_bytes.h"
#include "songcore/song_store.h"

#include <cstring>

Recorder g_recorder;

namespace {

void show_step_length(int32_t ticks) {
    if (g_engine_hooks.step_length) {
        g_engine_hooks.step_length(ticks);
    }
}

void show_clock_field() {
    int32_t clock = g_song_clock.song_tick % (g_song.time_base < 1 ? 1 : g_song.time_base);
    if (clock != g_recorder.shown_clock) {
        g_recorder.shown_clock = clock;
        g_engine_display.clock.store(clock, std::memory_order_relaxed);
        g_engine_display.position_dirty.store(true, std::memory_order_relaxed);
    }
}

void step_record(const uint8_t* bytes, uint32_t length) {
    Recorder& r = g_recorder;
    SongClock& c = g_song_clock;
    bool held = platform_key_down(VK_CONTROL);
    if (g_engine_hooks.step_hold_mark) {
        g_engine_hooks.step_hold_mark(held);
    }
    uint8_t kind = bytes[0] & 0xF0;
    bool note_on = length == 3 && kind == STATUS_NOTE_ON && bytes[2] > 0;
    bool note_off = length == 3 && (kind == STATUS_NOTE_OFF || kind == STATUS_NOTE_ON) && !note_on;
    // Only keys whose note-on was written count: a key struck with Ctrl held writes nothing
    // when it goes up, and one written before Ctrl went down still gets its end and its step.
    bool written_key = note_off && r.open_notes[bytes[0] & 0x0F][bytes[1] & 0x7F] > 0;
    if ((held && !written_key) || (note_off && !written_key)) {
        return;
    }
    if (note_on) {
        show_step_length(r.step_gate + r.step_rest);
        r.held_notes++;
        recorder_append(bytes, length);
        r.step_pending = true;
    } else if (note_off) {
        if (r.held_notes > 0) {
            r.held_notes--;
        }
        if (r.step_pending) {
            c.song_tick += r.step_gate * r.step_multiplier;
            r.step_pending = false;
        }
        recorder_append(bytes, length);
        if (r.held_notes == 0) {
            c.song_tick += r.step_rest * r.step_multiplier;
            r.step_multiplier = 1;
        }
    } else if (length == 3 && kind == STATUS_CONTROL_CHANGE && bytes[1] == CC_SUSTAIN) {
        if (bytes[2] <= 64) {
            r.pedal_down = false;
        } else if (!r.pedal_down) {
            r.pedal_down = true;
            if (r.held_notes > 0) {
                r.step_multiplier++;
                show_step_length((r.step_gate + r.step_rest) * r.step_multiplier);
            } else {
                c.song_tick += r.step_gate + r.step_rest;
            }
        }
    }
    show_clock_field();
}

// Keeps count of what the written events leave sounding.
void open_events_track(const uint8_t* bytes, uint32_t length) {
    Recorder& r = g_recorder;
    if (length != 3 || bytes[0] >= STATUS_EXCLUSIVE) {
        return;
    }
    uint8_t kind = bytes[0] & 0xF0;
    int channel = bytes[0] & 0x0F;
    uint8_t& open = r.open_notes[channel][bytes[1] & 0x7F];
    if (kind == STATUS_NOTE_ON && bytes[2] > 0) {
        if (open < 255) {
            open++;
        }
    } else if (kind == STATUS_NOTE_OFF || kind == STATUS_NOTE_ON) {
        if (open > 0) {
            open--;
        }
    } else if (kind == STATUS_CONTROL_CHANGE && bytes[1] == CC_SUSTAIN) {
        r.open_pedals[channel] = bytes[2] > 64;
    }
}

// Keys and pedals still down when the recording stops end at the stop, so the track never
// holds a note without its end.
void open_events_close() {
    Recorder& r = g_recorder;
    for (int channel = 0; channel < 16; channel++) {
        for (int key = 0; key < 128; key++) {
            for (int n = r.open_notes[channel][key]; n > 0; n--) {
                uint8_t off[3] = {static_cast<uint8_t>(STATUS_NOTE_ON | channel),
                                  static_cast<uint8_t>(key), 0};
                recorder_append(off, 3);
            }
        }
    }
    for (int channel = 0; channel < 16; channel++) {
        if (r.open_pedals[channel]) {
            uint8_t pedal_up[3] = {static_cast<uint8_t>(STATUS_CONTROL_CHANGE | channel),
                                   CC_SUSTAIN, 0};
            recorder_append(pedal_up, 3);
        }
    }
}

} // namespace

void recorder_reset() {
    g_recorder = Recorder{};
}

bool recorder_realtime() {
    return transport_mode() == MODE_RECORDING && !g_transport.step_recording &&
           g_settings.slots[SLOT_CLOCK_SOURCE] != CLOCK_BATON;
}

void recorder_event(const uint8_t* bytes, uint32_t length) {
    if (g_song.memory_over) {
        if (transport_mode() == MODE_RECORDING) {
            transport_stop(true);
        }
        return;
    }
    int mode = transport_mode();
    if (mode == MODE_STANDBY) {
        if (g_transport.step_recording || (bytes[0] & 0xF0) == STATUS_CONTROL_CHANGE) {
            return;
        }
        transport_start();
        mode = transport_mode();
    }
    if (mode != MODE_RECORDING) {
        return;
    }
    if (g_transport.step_recording) {
        step_record(bytes, length);
    } else if (g_settings.slots[SLOT_CLOCK_SOURCE] != CLOCK_BATON) {
        recorder_append(bytes, length);
    }
}

void recorder_append(const uint8_t* bytes, uint32_t length) {
    Recorder& r = g_recorder;
    int32_t tick = g_song_clock.song_tick;
    // The clock may stand before the last event (a start under MIDI clock or the baton):
    // events are never written out of order.
    if (tick < r.last_written_tick) {
        tick = r.last_written_tick;
    }
    if (arena_append_vlq(static_cast<uint32_t>(tick - r.last_written_tick))) {
        arena_append(bytes, length);
    }
    r.last_written_tick = tick;
    open_events_track(bytes, length);
}

void recording_begin() {
    g_recorder.record_chunk_start = track_chunk_begin();
    g_recorder.chunk_open = true;
    g_recorder.held_notes = 0;
    g_recorder.step_pending = false;
    g_recorder.pedal_down = false;
    g_recorder.step_multiplier = 1;
    memset(g_recorder.open_notes, 0, sizeof g_recorder.open_notes);
    memset(g_recorder.open_pedals, 0, sizeof g_recorder.open_pedals);
}

void recording_discard() {
    Recorder& r = g_recorder;
    if (!r.chunk_open) {
        return;
    }
    r.chunk_open = false;
    if (r.record_chunk_start >= 8 && g_song.arena_end >= r.record_chunk_start - 8) {
        g_song.arena_end = r.record_chunk_start - 8;
    }
    g_song.memory_over = false;
}

void recording_finish() {
    Recorder& r = g_recorder;
    SongClock& c = g_song_clock;
    bool step = g_transport.step_recording;
    g_transport.step_recording = false;
    if (!r.chunk_open) {
        return;
    }
    // A recording cut short by a full arena would install a damaged track: the track keeps
    // its previous content instead.
    if (g_song.memory_over) {
        recording_discard();
        show_status("memory over");
        return;
    }
    // Keys still held in step recording are let go at the stop: their chord gets its whole
    // step, as if released then.
    if (step && r.held_notes > 0) {
        if (r.step_pending) {
            c.song_tick += r.step_gate * r.step_multiplier;
            r.step_pending = false;
        }
        open_events_close();
        c.song_tick += r.step_rest * r.step_multiplier;
        r.held_notes = 0;
        r.step_multiplier = 1;
    }
    open_events_close();
    int bank = g_song.current_bank;
    int track = g_song.write_track;
    int32_t song_end = g_song.measure_table.song_end_tick;
    if (track == 0 && c.song_tick < song_end) {
        c.song_tick = song_end;
    }
    static const uint8_t END_OF_TRACK[3] = {STATUS_META, META_END_OF_TRACK, 0x00};
    recorder_append(END_OF_TRACK, 3);
    if (g_song.memory_over) {
        recording_discard();
        show_status("memory over");
        return;
    }
    track_chunk_finish(r.record_chunk_start);
    r.chunk_open = false;
    track_replace(r.record_chunk_start, bank, track);
    if (g_song.track_count <= track) {
        g_song.track_count = track + 1;
        slot_set_track_count(bank, g_song.track_count);
    }
    if (c.song_tick > song_end) {
        g_song.measure_table.song_end_tick = c.song_tick;
        if (track != 0) {
            uint32_t track1 = track_copy_with_end(g_song.slots[bank].track_pos[0], c.song_tick);
            track_replace(track1, bank, 0);
        }
    }
    measure_table_rebuild();
}

void step_lengths_update() {
    int n = g_settings.slots[SLOT_STEP_NOTE_VALUE];
    if (n < 1) {
        n = 4;
    }
    int32_t step = g_song.time_base * 4 / n;
    g_settings.slots[SLOT_STEP_LENGTH] = step;
    int percent = g_settings.slots[SLOT_STEP_GATE_PERCENT];
    percent = percent < 1 ? 1 : (percent > 100 ? 100 : percent);
    step_gate_set(step, percent);
}

void step_gate_set(int32_t step, int32_t percent) {
    g_recorder.step_gate = step * percent / 100;
    g_recorder.step_rest = step - g_recorder.step_gate;
}
