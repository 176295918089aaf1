// The scheduler step: input, clock, MIDI clock out, beats and the metronome, and the
// dispatch of every due event track by track; plus locating the track cursors.
#include "sequencer/engine/channel_state.h"
#include "sequencer/engine/engine_hooks.h"
#include "sequencer/engine/midi_devices.h"
#include "sequencer/engine/midi_input.h"
#include "sequencer/engine/settings.h"
#include "sequencer/engine/transport.h"
#include "songcore/midi_bytes.h"

#include <cstring>

namespace {

// A system-exclusive event as one message: F0 and its data.
uint8_t g_exclusive_message[SYSEX_BUFFER_SIZE];

int32_t ticks_per_beat() {
    int den = g_song_clock.time_sig_den < 1 ? 4 : g_song_clock.time_sig_den;
    int32_t ticks = g_song.time_base * 4 / den;
    return ticks < 1 ? 1 : ticks;
}

void send_midi_clock() {
    SongClock& c = g_song_clock;
    int32_t per_clock = g_song.ticks_per_midi_clock < 1 ? 1 : g_song.ticks_per_midi_clock;
    if (c.run_ticks / per_clock >= c.midi_clocks_sent) {
        uint8_t clock = STATUS_CLOCK;
        midi_send(&clock, 1);
        c.midi_clocks_sent++;
    }
}

void metronome_click(int beat_in_measure) {
    Player& p = g_player;
    if (p.click_state == 1 || p.click_state == 2) {
        uint8_t off[3];
        memcpy(off, p.click_off[p.click_state - 1], 3);
        midi_send(off, 3);
    }
    int kind = beat_in_measure == 1 ? 0 : 1;
    uint8_t on[3];
    memcpy(on, p.click_on[kind], 3);
    midi_send(on, 3);
    p.click_state = kind + 1;
}

void cursor_start(PlayCursor& cursor, int track) {
    cursor.walk = track_walk_begin(g_song.slots[g_song.current_bank].track_pos[track]);
    cursor.play_pending = false;
    cursor.play_next_tick = 0;
    cursor.track_ended = false;
}

void cursor_parse(PlayCursor& cursor) {
    event_parse(cursor.walk, cursor.pending_event);
    cursor.play_next_tick = cursor.pending_event.tick;
    cursor.play_pending = true;
}

// Reads a started cursor on to its first event at `tick` or later (or the end), left waiting.
void cursor_seek(PlayCursor& cursor, int32_t tick) {
    do {
        cursor_parse(cursor);
        if (cursor.play_next_tick >= tick || cursor.pending_event.end_of_track) {
            break;
        }
        cursor.play_pending = false;
    } while (true);
}

bool event_muted(int track) {
    int mode = transport_mode();
    if (mode == MODE_RECORDING && (g_transport.step_recording || track == g_song.write_track)) {
        return true;
    }
    return g_song.track_play[track] == 0;
}

void meta_event(int track, const TrackEvent& ev, bool muted) {
    const uint8_t* data = g_song.arena + ev.data_pos;
    switch (ev.meta_type) {
    case META_LYRIC:
        if (!muted) {
            uint32_t n =
                ev.data_length < LYRIC_LINE_SIZE - 1 ? ev.data_length : LYRIC_LINE_SIZE - 1;
            memcpy(g_player.lyric_line, data, n);
            g_player.lyric_line[n] = '\0';
            if (g_engine_hooks.lyric) {
                g_engine_hooks.lyric(g_player.lyric_line);
            }
        }
        break;
    case META_PORT_PREFIX:
        if (ev.data_length >= 1) {
            g_song.track_port[track] = data[0];
        }
        break;
    case META_TEMPO:
        if (!muted && ev.data_length >= 3 &&
            g_settings.slots[SLOT_CLOCK_SOURCE] == CLOCK_INTERNAL) {
            tempo_event_apply(static_cast<uint32_t>(data[0] << 16 | data[1] << 8 | data[2]),
                              ev.tick);
        }
        break;
    case META_TIME_SIGNATURE:
        if (track == 0 && ev.data_length >= 2) {
            SongClock& c = g_song_clock;
            c.time_sig_num = data[0] == 0 ? 4 : data[0];
            c.time_sig_den = 1 << (data[1] > 6 ? 6 : data[1]);
            c.timesig_tick = ev.tick;
            c.timesig_measure = c.current_measure;
            display_time_signature(c.time_sig_num, c.time_sig_den);
        }
        break;
    default:
        break;
    }
}

// Sends one track's due events; false when a system-exclusive message ended the dispatch.
bool dispatch_track(int track) {
    PlayCursor& cursor = g_player.tracks[track];
    while (!cursor.track_ended) {
        if (!cursor.play_pending) {
            cursor_parse(cursor);
        }
        if (g_song_clock.song_tick <= cursor.play_next_tick) {
            return true;
        }
        const TrackEvent& ev = cursor.pending_event;
        cursor.play_pending = false;
        bool muted = event_muted(track);
        g_player.send_muted = muted;
        if (ev.end_of_track) {
            cursor.track_ended = true;
            if (track == 0 && transport_mode() == MODE_PLAYING) {
                g_player.stop_after_dispatch = true;
            }
            return true;
        }
        if (ev.status == STATUS_EXCLUSIVE) {
            if (ev.data_length + 1 <= SYSEX_BUFFER_SIZE) {
                g_exclusive_message[0] = STATUS_EXCLUSIVE;
                memcpy(g_exclusive_message + 1, g_song.arena + ev.data_pos, ev.data_length);
                g_player.sending_tick = ev.tick;
                midi_send(g_exclusive_message, ev.data_length + 1);
                g_player.sending_tick = -1;
            }
            return false;
        }
        if (ev.status == STATUS_META) {
            meta_event(track, ev, muted);
            continue;
        }
        if (ev.status >= STATUS_EXCLUSIVE) {
            continue;
        }
        int channel = ev.status & 0x0F;
        uint8_t kind = ev.status & 0xF0;
        if (g_song.channel_play[channel] == 0 ||
            (guide_active() && track + 1 == g_song.tracing_track &&
             (kind == STATUS_NOTE_OFF || kind == STATUS_NOTE_ON))) {
            g_player.send_muted = true;
        }
        uint8_t message[3] = {ev.status, event_data(ev, 0), event_data(ev, 1)};
        g_player.sending_tick = ev.tick;
        midi_send(message, static_cast<uint32_t>(channel_message_length(ev.status)));
        g_player.sending_tick = -1;
    }
    return true;
}

} // namespace

void dispatch_due_events() {
    for (int track = 0; track < g_song.track_count; track++) {
        g_player.playing_track = track + 1;
        if (!dispatch_track(track)) {
            break;
        }
    }
    g_player.playing_track = 0;
    g_player.send_muted = false;
}

int scheduler_step() {
    if (midi_out_long_busy()) {
        return 1;
    }
    midi_in_process();
    int mode = transport_mode();
    bool clock_runs =
        mode == MODE_PLAYING || (mode == MODE_RECORDING && !g_transport.step_recording);
    if (clock_runs) {
        clock_advance();
        send_midi_clock();
    }
    if (mode != MODE_PLAYING && mode != MODE_RECORDING) {
        return 0;
    }
    SongClock& c = g_song_clock;
    c.beat_count = (c.song_tick - c.timesig_tick) / ticks_per_beat();
    bool new_beat = c.beat_count != c.last_beat;
    if (new_beat) {
        c.last_beat = c.beat_count;
        c.current_measure =
            c.timesig_measure + c.beat_count / (c.time_sig_num < 1 ? 4 : c.time_sig_num);
        clock_reanchor_at(c.run_ticks);
    }
    dispatch_due_events();
    if (g_player.stop_after_dispatch) {
        g_player.stop_after_dispatch = false;
        transport_stop(true);
        return 0;
    }
    if (new_beat) {
        int beat = c.beat_count % (c.time_sig_num < 1 ? 4 : c.time_sig_num) + 1;
        if (setting_on(SLOT_POSITION_DISPLAY)) {
            display_position(c.current_measure + 1, beat, 0);
        }
        if (setting_on(SLOT_METRONOME_ON)) {
            metronome_click(beat);
        }
    }
    return 0;
}

void locate_tracks(int32_t tick) {
    for (int track = 0; track < MAX_TRACKS; track++) {
        PlayCursor& cursor = g_player.tracks[track];
        cursor_start(cursor, track);
        if (track >= g_song.track_count) {
            continue;
        }
        cursor_seek(cursor, tick);
    }
}

void play_cursors_follow_edit() {
    for (int track = 0; track < MAX_TRACKS; track++) {
        PlayCursor& cursor = g_player.tracks[track];
        if (cursor.track_ended) {
            continue;
        }
        // The next event not yet sent: the one waiting, or the first after the last one read
        // (a cursor only stops between ticks, save after an exclusive message).
        int32_t next_tick = cursor.play_pending ? cursor.play_next_tick : cursor.walk.tick + 1;
        cursor_start(cursor, track);
        if (track >= g_song.track_count) {
            continue;
        }
        cursor_seek(cursor, next_tick);
    }
}

int32_t locate_measure(int measure) {
    const MeasureTable& table = g_song.measure_table;
    int m = measure < 0 ? 0 : (measure > table.last_measure ? table.last_measure : measure);
    const MeasureEntry& entry = measure_entry(m);
    SongClock& c = g_song_clock;
    c.time_sig_num = entry.numerator == 0 ? 4 : entry.numerator;
    c.time_sig_den = entry.denominator == 0 ? 4 : entry.denominator;
    // The exact tempo in force at the measure's start, as its tempo events would set it.
    tempo_from_usec(entry.tempo_usec);
    display_time_signature(c.time_sig_num, c.time_sig_den);
    return entry.start_tick;
}

void position_reset() {
    for (int track = 0; track < MAX_TRACKS; track++) {
        cursor_start(g_player.tracks[track], track);
    }
    clock_resume();
    clock_mark();
    SongClock& c = g_song_clock;
    c.song_tick = 0;
    c.timesig_tick = 0;
    c.current_measure = 0;
    c.start_tick = locate_measure(0);
    counters_reset();
    display_position(1, 1, 0);
    tempo_from_usec(static_cast<uint32_t>(c.tempo_usec));
    display_time_signature(c.time_sig_num, c.time_sig_den);
}

void counters_reset() {
    SongClock& c = g_song_clock;
    c.baton_mark = -1;
    c.baton_state = 0;
    c.baton_ticks = 0;
    c.baton_last_mark_ms = 0;
    c.elapsed_ms = 0;
    c.last_elapsed_ms = 0;
    c.anchor_ms = 0;
    c.run_ticks = 0;
    c.anchor_ticks = 0;
    c.anchor_extra = 0;
    c.last_beat = -1;
    c.beat_count = 0;
    g_transport.paused = false;
    c.midi_clocks_sent = 0;
    c.timesig_measure = c.current_measure;
    g_recorder.last_written_tick = 0;
}
