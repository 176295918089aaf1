// Insertion of a block of raw event bytes at a tick of the write track, optionally leaving
// one event out: the one rewrite behind moving an event and inserting sound settings.
#include "sequencer/edit/edit_internal.h"

#include "songcore/track_normalize.h"

namespace {

// The block's first delta is the distance from the last written event; the block brings
// the zero deltas between its own events.
void block_append(int32_t tick, int32_t written, const uint8_t* bytes, uint32_t count) {
    arena_append_vlq(static_cast<uint32_t>(tick - written));
    arena_append(bytes, count);
}

uint32_t insert_build(uint32_t src_pos, int32_t tick, const uint8_t* bytes, uint32_t count,
                      uint32_t skip_pos) {
    uint32_t new_pos = track_chunk_begin();
    TrackWalk walk = track_walk_begin(src_pos);
    TrackEvent ev;
    int32_t written = 0;
    bool inserted = false;
    while (event_parse(walk, ev)) {
        if (!inserted && ev.tick >= tick) {
            block_append(tick, written, bytes, count);
            written = tick;
            inserted = true;
        }
        if (skip_pos != 0 && ev.pos == skip_pos) {
            continue; // its delta goes to the next written event: the others keep their ticks
        }
        event_append_explicit(static_cast<uint32_t>(ev.tick - written), ev);
        written = ev.tick;
    }
    if (!inserted) {
        block_append(tick, written, bytes, count);
        written = tick;
    }
    // The end of track keeps its tick unless the block now stands after it.
    int32_t end = ev.tick > written ? ev.tick : written;
    track_append_end(static_cast<uint32_t>(end - written));
    track_chunk_finish(new_pos);
    return new_pos;
}

} // namespace

EditResult event_insert_at(int32_t tick, const uint8_t* bytes, uint32_t count, uint32_t skip_pos) {
    int bank = g_song.current_bank;
    int track0 = g_song.write_track;
    if (tick < 0 || tick > TICK_LIMIT || bytes == nullptr || count == 0 || track0 < 0 ||
        track0 >= g_song.config.tracks_per_slot) {
        return EditResult::invalid;
    }
    edit_stage_begin();
    uint32_t src_pos = edit_track_pos(bank, track0);
    // The block is raw bytes the caller vouches for; the result is read in the working form
    // again by whoever needs it next.
    edit_stage_put(bank, track0, insert_build(src_pos, tick, bytes, count, skip_pos), false);
    if (!edit_stage_commit()) {
        return EditResult::out_of_memory;
    }
    track_count_include(track0);
    // Only track_count is authoritative for the current bank; its header follows it here.
    if (slot_header_track_count(bank) < track0 + 1) {
        slot_set_track_count(bank, g_song.track_count);
    }
    if (track0 == 0) {
        measure_table_rebuild();
    }
    return EditResult::done;
}
