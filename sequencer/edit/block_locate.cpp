// Finding the block of measures that Copy and Insert repeat.
#include "sequencer/edit/edit_internal.h"

int block_locate_in(int slot, int track0, int start_measure, int measures) {
    EditBlock& block = g_edit.block;
    int repeat = block.block_repeat;
    block = EditBlock{};
    block.block_repeat = repeat;
    block.slot = slot;
    block.track0 = track0;
    block.start_measure = start_measure;
    block.measures = measures;
    int32_t s = measure_start_tick(start_measure);
    int32_t e = measure_start_tick(start_measure + measures);
    if (e < s) {
        e = s;
    }
    block.range_start = s;
    block.range_length = e - s;

    TrackWalk walk = track_walk_begin(edit_track_pos(slot, track0));
    TrackEvent ev;
    // Note-offs at the start of the range belong to notes that began before it.
    TrackWalk before = walk;
    bool more = event_parse(walk, ev);
    while (more && (ev.tick < s || note_kind(ev) < 0)) {
        before = walk;
        more = event_parse(walk, ev);
    }
    block.walk = before;
    block.block_start_pos = before.pos;
    block.block_end_pos = before.pos;
    if (!more || ev.tick >= e) {
        return 0;
    }
    block.block_lead = ev.tick - s;
    int count = 0;
    int32_t last_tick = ev.tick;
    while (more && ev.tick < e) {
        count++;
        last_tick = ev.tick;
        before = walk;
        more = event_parse(walk, ev);
    }
    block.block_end_pos = before.pos;
    block.block_tail = e - last_tick;
    return count;
}

int block_locate(int track, int start_measure, int measures) {
    if (!edit_track_valid(track)) {
        return 0;
    }
    return block_locate_in(g_song.current_bank, track - 1, start_measure, measures);
}
