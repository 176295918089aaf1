// The measure grid of the current song, built from track 1's time signatures and tempos.
#include "common/check.h"
#include "songcore/event_parse.h"
#include "songcore/midi_bytes.h"
#include "songcore/song_store.h"

#include <cstdint>

namespace {

// A zero time base or a tiny signature must never give a zero measure length.
int32_t measure_length(uint8_t numerator, uint8_t denominator) {
    int64_t ml = static_cast<int64_t>(g_song.time_base) * numerator * 4 / denominator;
    return ml > 0 ? static_cast<int32_t>(ml) : 1;
}

void fill_measures(int from, int to_inclusive, int32_t start, int32_t ml, uint8_t numerator,
                   uint8_t denominator) {
    for (int m = from; m <= to_inclusive && m < MAX_MEASURES; m++) {
        if (m < 0) {
            continue;
        }
        MeasureEntry& e = g_song.measure_table.measures[m];
        int64_t tick = start + static_cast<int64_t>(m - from) * ml;
        e.start_tick = tick < INT32_MAX ? static_cast<int32_t>(tick) : INT32_MAX;
        e.numerator = numerator;
        e.denominator = denominator;
    }
}

// Microseconds per quarter of a tempo event; 0 when the event is unusable.
uint32_t tempo_usec_of(const TrackEvent& ev) {
    if (ev.data_length < 3) {
        return 0;
    }
    return (static_cast<uint32_t>(g_song.arena[ev.data_pos]) << 16) |
           (static_cast<uint32_t>(g_song.arena[ev.data_pos + 1]) << 8) |
           g_song.arena[ev.data_pos + 2];
}

void tempo_put(MeasureEntry& entry, uint32_t usec) {
    entry.tempo = 60000000u / usec;
    entry.tempo_usec = usec;
}

} // namespace

int measure_table_build(uint32_t track1_pos, int32_t& song_end_tick) {
    MeasureTable& table = g_song.measure_table;
    uint8_t numerator = 4;
    uint8_t denominator = 4;
    int32_t sig_start = 0;
    int measure = 0;
    g_song.slots[g_song.current_bank].song_title[0] = '\0';
    song_scan_names();

    TrackWalk walk = track_walk_begin(track1_pos);
    TrackEvent ev;
    while (event_parse(walk, ev)) {
        // A signature without its two bytes, or with a note value beyond 1/128, is ignored.
        if (ev.status != STATUS_META || ev.meta_type != META_TIME_SIGNATURE || ev.data_length < 2 ||
            g_song.arena[ev.data_pos + 1] > 7) {
            continue;
        }
        int32_t ml = measure_length(numerator, denominator);
        int k = (ev.tick - sig_start) / ml;
        fill_measures(measure, measure + k - 1, sig_start, ml, numerator, denominator);
        uint8_t n = g_song.arena[ev.data_pos];
        numerator = n == 0 ? 4 : n;
        denominator = static_cast<uint8_t>(1u << g_song.arena[ev.data_pos + 1]);
        measure = measure + k < MAX_MEASURES + 2 ? measure + k : MAX_MEASURES + 2;
        sig_start = ev.tick;
    }
    int32_t end_tick = ev.tick;
    song_end_tick = end_tick;
    int32_t ml = measure_length(numerator, denominator);
    int last = measure + (end_tick - sig_start) / ml;
    if (last > MAX_MEASURES) {
        last = MAX_MEASURES;
    }
    fill_measures(measure, last + 1, sig_start, ml, numerator, denominator);

    int i = 0;
    uint32_t running_usec = 500000; // 120 quarter notes per minute
    walk = track_walk_begin(track1_pos);
    while (event_parse(walk, ev)) {
        uint32_t usec = 0;
        if (ev.status != STATUS_META || ev.meta_type != META_TEMPO ||
            (usec = tempo_usec_of(ev)) == 0) {
            continue;
        }
        while (i < MAX_MEASURES && i <= last + 1 && table.measures[i].start_tick < ev.tick) {
            tempo_put(table.measures[i++], running_usec);
        }
        running_usec = usec;
        if (i < MAX_MEASURES && i <= last + 1 && table.measures[i].start_tick == ev.tick) {
            tempo_put(table.measures[i++], running_usec);
        }
    }
    for (; i <= last + 1 && i < MAX_MEASURES; i++) {
        tempo_put(table.measures[i], running_usec);
    }
    return last;
}

int measure_entry_index(int measure) {
    int last_measure = g_song.measure_table.last_measure;
    int last = last_measure + 1 < MAX_MEASURES - 1 ? last_measure + 1 : MAX_MEASURES - 1;
    return measure < 0 ? 0 : (measure > last ? last : measure);
}

const MeasureEntry& measure_entry(int measure) {
    ZB_CHECK(g_song.measure_table.last_measure >= 0 &&
             g_song.measure_table.last_measure <= MAX_MEASURES);
    return g_song.measure_table.measures[measure_entry_index(measure)];
}

void measure_table_rebuild() {
    uint32_t track1 = g_song.slots[g_song.current_bank].track_pos[0];
    MeasureTable& table = g_song.measure_table;
    table.last_measure = measure_table_build(track1, table.song_end_tick);
}
