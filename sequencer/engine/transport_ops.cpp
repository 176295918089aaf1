// Transport operations: start, stop, record standby, to top, fast forward and rewind,
// tempo and speed steps.
#include "sequencer/engine/channel_state.h"
#include "sequencer/engine/engine_hooks.h"
#include "sequencer/engine/midi_devices.h"
#include "sequencer/engine/midi_input.h"
#include "sequencer/engine/settings.h"
#include "sequencer/engine/transport.h"
#include "songcore/midi_bytes.h"

#include <cstdio>
#include <cstring>

namespace {

void indicator(TransportIndicator shown) {
    if (g_engine_hooks.indicator) {
        g_engine_hooks.indicator(shown);
    }
}

void send_byte(uint8_t byte) {
    midi_send(&byte, 1);
}

void accent_click() {
    if (setting_on(SLOT_METRONOME_ON)) {
        uint8_t on[3];
        memcpy(on, g_player.click_on[0], 3);
        midi_send(on, 3);
        g_player.click_state = 1;
    }
}

void relocate_to_current_measure() {
    SongClock& c = g_song_clock;
    // Past the measure table's last entry the run starts at that entry, and the measure
    // count goes on from there.
    c.current_measure = measure_entry_index(c.current_measure);
    c.start_tick = locate_measure(c.current_measure);
    c.song_tick = c.start_tick;
    locate_tracks(c.start_tick);
    c.timesig_tick = c.start_tick;
    counters_reset();
}

bool internal_clock() {
    return g_settings.slots[SLOT_CLOCK_SOURCE] == CLOCK_INTERNAL;
}

void wind_press() {
    clock_mark();
    all_notes_off();
    g_transport.was_playing = transport_mode() == MODE_PLAYING;
    transport_mode_set(MODE_STOPPED);
    display_position(g_song_clock.current_measure + 1, 1, 0);
}

void wind_hold(int direction) {
    int last = g_song.measure_table.last_measure;
    int m = g_song_clock.current_measure + direction;
    if (g_transport.alt_mode && m + 9 * direction >= 0 && m + 9 * direction <= last) {
        m += 9 * direction;
    }
    if (m >= 0 && m <= last) {
        g_song_clock.current_measure = m;
    }
    display_position(g_song_clock.current_measure + 1, 1, 0);
    if (g_engine_hooks.measure_shown) {
        g_engine_hooks.measure_shown(g_song_clock.current_measure);
    }
}

void wind_release() {
    g_song_clock.start_tick = locate_measure(g_song_clock.current_measure);
    g_song.relocate_pending = true;
    if (g_transport.was_playing) {
        g_transport.was_playing = false;
        transport_start();
    }
}

void wind(WindPhase phase, int direction, TransportIndicator shown) {
    int mode = transport_mode();
    if (phase == WindPhase::press) {
        if (mode != MODE_STOPPED && mode != MODE_PLAYING) {
            return;
        }
        wind_press();
        indicator(shown);
    } else if (mode == MODE_STOPPED) {
        if (phase == WindPhase::hold) {
            wind_hold(direction);
        } else {
            wind_release();
        }
    }
}

} // namespace

void transport_start() {
    int mode = transport_mode();
    if (mode != MODE_STOPPED && mode != MODE_STANDBY) {
        return;
    }
    if (g_engine_hooks.drop_accept) {
        g_engine_hooks.drop_accept(false);
    }
    g_midi_devices.sysex_out_busy = false;
    g_midi_maps.rechord_sounding = 0;
    g_midi_maps.rechord_pending = false;
    g_player.click_state = 0;
    indicator(TransportIndicator::play);
    SongClock& c = g_song_clock;
    if (mode == MODE_STOPPED) {
        guide_reset();
        if (g_transport.alt_mode) {
            captures_start(g_transport.play_octave, g_settings.slots[SLOT_NOTE_MAP_FIRST_KEY]);
        }
        transport_mode_set(MODE_PLAYING);
        bool clicked = false;
        if (g_song.relocate_pending) {
            clock_resume();
            relocate_to_current_measure();
            accent_click();
            clicked = true;
        }
        if (!g_transport.paused) {
            if (!g_song.relocate_pending) {
                position_reset();
            }
            // A new run; continuing a paused one keeps where that run started.
            g_transport.run_start_measure = c.current_measure;
            if (internal_clock()) {
                clock_reset();
            }
            if (!clicked) {
                accent_click();
            }
        } else {
            send_byte(STATUS_CONTINUE);
            clock_resume();
        }
        g_song.relocate_pending = false;
    } else {
        g_song.slots[g_song.current_bank].track_normalized[g_song.write_track] = false;
        transport_mode_set(MODE_RECORDING);
        g_transport.record_start_measure = c.current_measure;
        g_transport.run_start_measure = c.current_measure;
        recording_begin();
        if (internal_clock()) {
            clock_reset();
        }
        send_byte(STATUS_START);
    }
    if (g_settings.slots[SLOT_CLOCK_SOURCE] == CLOCK_MIDI) {
        c.song_tick -= g_song.ticks_per_midi_clock;
    } else if (g_settings.slots[SLOT_CLOCK_SOURCE] == CLOCK_BATON) {
        c.baton_ticks -= g_song.time_base / 2;
    }
}

void transport_stop(bool full) {
    if (g_engine_hooks.drop_accept) {
        g_engine_hooks.drop_accept(true);
    }
    captures_end();
    g_player.lyric_line[0] = '\0';
    if (g_engine_hooks.lyric) {
        g_engine_hooks.lyric("");
    }
    for (int i = 0; i < 128; i++) {
        midi_in_process();
    }
    midi_in_sysex_end();
    char elapsed[13];
    elapsed_time_text(g_song_clock.elapsed_ms, elapsed);
    if (g_engine_hooks.elapsed_time) {
        g_engine_hooks.elapsed_time(elapsed);
    }
    if (g_engine_hooks.step_length) {
        g_engine_hooks.step_length(0);
    }
    indicator(full ? TransportIndicator::none : TransportIndicator::stop);
    all_notes_off();
    int mode = transport_mode();
    if (full) {
        send_byte(STATUS_STOP);
        clock_mark();
        if (mode == MODE_RECORDING) {
            recording_discard();
        }
        if (mode == MODE_RECORDING || mode == MODE_STANDBY) {
            g_transport.step_recording = false;
            if (g_engine_hooks.record_page) {
                g_engine_hooks.record_page(false);
            }
        }
        transport_mode_set(MODE_STOPPED);
        position_reset();
        measure_move(g_transport.run_start_measure);
        return;
    }
    if (mode == MODE_PLAYING) {
        g_transport.paused = true;
        clock_mark();
    } else if (mode == MODE_RECORDING) {
        recording_finish();
        clock_mark();
        position_reset();
        measure_move(g_transport.record_start_measure);
        g_transport.step_recording = false;
        transport_mode_set(MODE_STOPPED);
        if (g_engine_hooks.record_page) {
            g_engine_hooks.record_page(false);
        }
    } else if (mode == MODE_STANDBY) {
        g_transport.step_recording = false;
        transport_mode_set(MODE_STOPPED);
        if (g_engine_hooks.record_page) {
            g_engine_hooks.record_page(false);
        }
    }
    transport_mode_set(MODE_STOPPED);
}

void record_standby() {
    if (transport_mode() != MODE_STOPPED) {
        return;
    }
    if (g_engine_hooks.record_page) {
        g_engine_hooks.record_page(true);
    }
    indicator(TransportIndicator::record);
    display_position(g_song_clock.current_measure + 1, 1, 0);
    transport_mode_set(MODE_STANDBY);
    guide_reset();
    if (g_transport.paused) {
        clock_resume();
    }
    g_song.relocate_pending = true;
    clock_resume();
    relocate_to_current_measure();
    g_transport.run_start_measure = g_song_clock.current_measure;
}

void to_top() {
    if (transport_mode() != MODE_STOPPED) {
        return;
    }
    indicator(TransportIndicator::top);
    position_reset();
}

void fast_forward(WindPhase phase) {
    wind(phase, 1, TransportIndicator::fast_forward);
}

void rewind(WindPhase phase) {
    wind(phase, -1, TransportIndicator::rewind);
}

void measure_move(int measure) {
    int last = g_song.measure_table.last_measure;
    g_song_clock.current_measure = measure < 0 ? 0 : (measure > last ? last : measure);
    g_song.relocate_pending = true;
    display_position(g_song_clock.current_measure + 1, 1, 0);
    if (g_engine_hooks.measure_shown) {
        g_engine_hooks.measure_shown(g_song_clock.current_measure);
    }
}

void tempo_step(int delta) {
    g_song_clock.tempo_bpm += delta;
    tempo_set();
}

void speed_factor_set(int factor) {
    g_song_clock.speed_factor = factor < 1 ? 1 : (factor > 16 ? 16 : factor);
    int mode = transport_mode();
    if (mode == MODE_STOPPED) {
        position_reset();
    } else if (mode == MODE_PLAYING) {
        // Back to the song start, playing on at the new speed from there.
        all_notes_off();
        position_reset();
        g_transport.run_start_measure = 0;
        if (internal_clock()) {
            clock_reset();
        }
    }
}

void elapsed_time_text(int32_t elapsed_ms, char out[13]) {
    uint32_t ms = elapsed_ms < 0 ? 0 : static_cast<uint32_t>(elapsed_ms);
    snprintf(out, 13, "%02u:%02u:%02u.%03u", (ms / 3600000) % 100, (ms / 60000) % 60,
             (ms / 1000) % 60, ms % 1000);
}
