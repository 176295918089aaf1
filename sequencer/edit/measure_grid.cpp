// Measure ranges of the edit commands, read from the current song's measure table.
#include "sequencer/edit/edit_internal.h"

int32_t measure_start_tick(int measure) {
    return measure_entry(measure - 1).start_tick;
}

EditRange measure_range(int start_measure, int measures) {
    const MeasureTable& table = g_song.measure_table;
    EditRange range{};
    range.start = measure_start_tick(start_measure);
    range.end = range.start;
    if (measures > 0) {
        int last = start_measure + measures - 1;
        if (last <= table.last_measure) {
            range.end = measure_start_tick(start_measure + measures);
            if (range.end > table.song_end_tick) {
                range.end = table.song_end_tick;
                range.open = true;
            }
        } else {
            range.end = table.song_end_tick;
            range.open = true;
        }
    }
    // A range starting at or after the song's end is empty, never reversed.
    if (range.end < range.start) {
        range.end = range.start;
    }
    return range;
}
