// The song clock: milliseconds since the run's origin turned into ticks at the current
// tempo, re-anchored at every beat and tempo change; or ticks from MIDI clock or the baton.
#include "platform/platform.h"
#include "sequencer/engine/engine_hooks.h"
#include "sequencer/engine/midi_input.h"
#include "sequencer/engine/settings.h"
#include "sequencer/engine/transport.h"
#include "songcore/midi_bytes.h"

uint32_t clock_now() {
    return platform_tick_ms();
}

void clock_reset() {
    uint32_t now = clock_now();
    g_song_clock.clock_origin = now;
    g_song_clock.pause_mark = now;
}

void clock_mark() {
    g_song_clock.pause_mark = clock_now();
}

// Moves the origin past the time since the last mark; resuming twice adds the pause once.
void clock_resume() {
    uint32_t now = clock_now();
    g_song_clock.clock_origin += now - g_song_clock.pause_mark;
    g_song_clock.pause_mark = now;
}

void clock_reanchor_at(int32_t run_tick) {
    SongClock& c = g_song_clock;
    // Back before the anchor is allowed: the ticks between were played at this tempo too.
    int32_t tick = run_tick < 0 ? 0 : (run_tick > c.run_ticks ? c.run_ticks : run_tick);
    int64_t total = static_cast<int64_t>(g_song.time_base) * c.anchor_ms * 1000 + c.anchor_extra;
    int64_t passed = static_cast<int64_t>(tick - c.anchor_ticks) * c.tempo_usec;
    c.anchor_extra = total > passed ? total - passed : 0;
    c.anchor_ticks = tick;
    c.anchor_ms = 0;
}

namespace {

// Quarter notes per minute are kept between 1 and 600; so are microseconds per quarter.
constexpr int32_t FASTEST_USEC = 60000000 / 600;
constexpr int32_t SLOWEST_USEC = 60000000 / 1;

// Re-anchors at `run_tick` under the tempo in force until now, then plays on at `usec`.
void tempo_change_at(int32_t run_tick, int32_t usec) {
    SongClock& c = g_song_clock;
    if (c.tempo_usec > 0) {
        clock_reanchor_at(run_tick);
    }
    c.tempo_usec = usec < FASTEST_USEC ? FASTEST_USEC : (usec > SLOWEST_USEC ? SLOWEST_USEC : usec);
    // The display shows whole BPM; playback keeps the exact microseconds.
    c.tempo_bpm = 60000000 / c.tempo_usec;
    display_tempo(c.tempo_bpm);
}

// A file's tempo as it stands; 0 microseconds would be infinitely fast and plays at the
// fastest tempo instead.
int32_t usec_of_file_tempo(uint32_t usec) {
    if (usec == 0) {
        return FASTEST_USEC;
    }
    return usec > static_cast<uint32_t>(SLOWEST_USEC) ? SLOWEST_USEC : static_cast<int32_t>(usec);
}

} // namespace

void tempo_set() {
    SongClock& c = g_song_clock;
    int bpm = c.tempo_bpm < 1 ? 1 : (c.tempo_bpm > 600 ? 600 : c.tempo_bpm);
    tempo_change_at(c.run_ticks, 60000000 / bpm);
}

void tempo_from_usec(uint32_t usec) {
    tempo_change_at(g_song_clock.run_ticks, usec_of_file_tempo(usec));
}

void tempo_event_apply(uint32_t usec, int32_t tick) {
    SongClock& c = g_song_clock;
    int speed = c.speed_factor < 1 ? 1 : c.speed_factor;
    tempo_change_at((tick - c.start_tick) / speed, usec_of_file_tempo(usec));
}

int32_t ticks_for_ms(int64_t ms, int32_t tempo_usec) {
    if (tempo_usec <= 0) {
        return 0;
    }
    int64_t ticks = static_cast<int64_t>(g_song.time_base) * ms * 1000 / tempo_usec;
    return ticks > TICK_LIMIT ? TICK_LIMIT : static_cast<int32_t>(ticks);
}

namespace {

int32_t tick_limited(int64_t tick) {
    return tick > TICK_LIMIT ? TICK_LIMIT : static_cast<int32_t>(tick);
}

int32_t elapsed_now() {
    return static_cast<int32_t>(clock_now() - g_song_clock.clock_origin);
}

void advance_internal() {
    SongClock& c = g_song_clock;
    c.elapsed_ms = elapsed_now();
    if (c.elapsed_ms > c.last_elapsed_ms) {
        c.anchor_ms += c.elapsed_ms - c.last_elapsed_ms;
        c.last_elapsed_ms = c.elapsed_ms;
        int64_t units =
            static_cast<int64_t>(g_song.time_base) * c.anchor_ms * 1000 + c.anchor_extra;
        c.run_ticks = tick_limited(c.anchor_ticks + units / c.tempo_usec);
        // The speed factor scales the ticks played since the start, so a run from any
        // measure starts at that measure. The position never steps back.
        int32_t tick = tick_limited(static_cast<int64_t>(c.start_tick) +
                                    static_cast<int64_t>(c.run_ticks) * c.speed_factor);
        c.song_tick = tick > c.song_tick ? tick : c.song_tick;
    }
}

void advance_midi_clock() {
    SongClock& c = g_song_clock;
    c.elapsed_ms = elapsed_now();
    if (c.midi_clock_seen) {
        c.song_tick = tick_limited(static_cast<int64_t>(c.song_tick) + g_song.ticks_per_midi_clock);
        c.midi_clock_seen = false;
    }
}

void advance_baton() {
    SongClock& c = g_song_clock;
    c.elapsed_ms = elapsed_now();
    int32_t half_beat = g_song.time_base / 2;
    if (c.baton_mark != 1) {
        if (c.baton_mark == 0) {
            int32_t since = ticks_for_ms(c.elapsed_ms - c.baton_last_mark_ms, c.tempo_usec);
            if (since < half_beat) {
                c.run_ticks = c.baton_ticks + since;
                c.song_tick = c.run_ticks + c.start_tick;
            }
        }
        return;
    }
    // Marks further apart than one beat per minute play at that slowest tempo. The baton
    // sets a tempo by hand: a whole BPM, as the tempo buttons do.
    int32_t interval = c.elapsed_ms - c.baton_last_mark_ms;
    interval = interval < 1 ? 1 : (interval > 30000 ? 30000 : interval);
    c.tempo_bpm = 60000000 / (interval * 2000);
    tempo_set();
    if (transport_mode() == MODE_RECORDING) {
        c.song_tick = c.baton_ticks + c.start_tick;
        if (c.song_tick >= g_recorder.last_written_tick) {
            // The tempo played, so that the recording plays back as it was conducted.
            uint32_t usec = static_cast<uint32_t>(c.tempo_usec);
            uint8_t tempo_event[6] = {STATUS_META,
                                      META_TEMPO,
                                      0x03,
                                      static_cast<uint8_t>(usec >> 16),
                                      static_cast<uint8_t>(usec >> 8),
                                      static_cast<uint8_t>(usec)};
            recorder_append(tempo_event, 6);
        }
    }
    c.baton_ticks += half_beat;
    c.run_ticks = c.baton_ticks;
    c.song_tick = c.baton_ticks + c.start_tick;
    c.baton_last_mark_ms = c.elapsed_ms;
    c.baton_mark = 0;
}

} // namespace

void clock_advance() {
    switch (g_settings.slots[SLOT_CLOCK_SOURCE]) {
    case CLOCK_MIDI:
        advance_midi_clock();
        break;
    case CLOCK_BATON:
        advance_baton();
        break;
    default:
        advance_internal();
        break;
    }
}

int64_t elapsed_when_past(int32_t tick) {
    const SongClock& c = g_song_clock;
    int speed = c.speed_factor < 1 ? 1 : c.speed_factor;
    if (tick < c.song_tick || tick < c.start_tick) {
        return c.last_elapsed_ms;
    }
    // song_tick passes `tick` once run_ticks reaches this.
    int64_t run_tick = (static_cast<int64_t>(tick) - c.start_tick) / speed + 1;
    int64_t units_needed = (run_tick - c.anchor_ticks) * c.tempo_usec - c.anchor_extra;
    int64_t per_ms = static_cast<int64_t>(g_song.time_base) * 1000;
    if (units_needed <= 0 || per_ms <= 0) {
        return c.last_elapsed_ms;
    }
    int64_t anchor_ms_needed = (units_needed + per_ms - 1) / per_ms;
    return c.last_elapsed_ms + (anchor_ms_needed - c.anchor_ms);
}

double elapsed_ms_at_tick(int32_t tick) {
    const SongClock& c = g_song_clock;
    int speed = c.speed_factor < 1 ? 1 : c.speed_factor;
    double run_tick = static_cast<double>(static_cast<int64_t>(tick) - c.start_tick) / speed;
    double units = (run_tick - c.anchor_ticks) * c.tempo_usec - static_cast<double>(c.anchor_extra);
    double anchor_elapsed = static_cast<double>(c.last_elapsed_ms) - c.anchor_ms;
    return anchor_elapsed + units / (static_cast<double>(g_song.time_base) * 1000);
}

// Every reversal of the vertical mouse direction is a beat mark (half a beat).
void baton_detect() {
    SongClock& c = g_song_clock;
    int mode = transport_mode();
    if (mode != MODE_PLAYING && mode != MODE_RECORDING) {
        return;
    }
    int dy = g_transport.mouse_dy;
    if (c.baton_state == 0 && dy < 0) {
        c.baton_last_mark_ms = elapsed_now();
        c.baton_state = 2;
        if (c.baton_mark < 0) {
            c.baton_mark = 0;
        }
    } else if (c.baton_state == 1 && dy < 0) {
        c.baton_state = 2;
        c.baton_mark = 1;
    } else if (c.baton_state == 2 && dy > 0) {
        c.baton_state = 1;
        c.baton_mark = 1;
    }
}
