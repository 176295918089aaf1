// Track merge, Mix and the byte-exact track duplicate.
#include "songcore/track_merge.h"

#include "songcore/event_parse.h"
#include "songcore/song_store.h"
#include "songcore/track_normalize.h"

namespace {

// One side of a merge: its walk and the event it stands on.
struct MergeSide {
    TrackWalk walk;
    TrackEvent ev;
    bool has_event; // false once the end of track is reached; ev then holds the end
};

MergeSide merge_side_begin(uint32_t pos) {
    MergeSide side{};
    side.walk = track_walk_begin(pos);
    side.has_event = event_parse(side.walk, side.ev);
    return side;
}

// Writes the side's event and every further event of it at the same tick. The merge
// interleaves two tracks, so an event kept under running status would take the status of
// whatever the other track wrote before it; event_append_explicit writes its status byte.
// Mix only merges normalised tracks, which carry every status byte already.
void merge_write_run(MergeSide& side, int32_t& written_tick) {
    int32_t run_tick = side.ev.tick;
    do {
        event_append_explicit(static_cast<uint32_t>(side.ev.tick - written_tick), side.ev);
        written_tick = side.ev.tick;
        side.has_event = event_parse(side.walk, side.ev);
    } while (side.has_event && side.ev.tick == run_tick);
}

void merge_drain(MergeSide& side, int32_t& written_tick) {
    while (side.has_event) {
        merge_write_run(side, written_tick);
    }
}

} // namespace

uint32_t tracks_merge(uint32_t pos_a, uint32_t pos_b) {
    uint32_t new_pos = track_chunk_begin();
    MergeSide a = merge_side_begin(pos_a);
    MergeSide b = merge_side_begin(pos_b);
    int32_t written_tick = 0;
    while (a.has_event && b.has_event) {
        if (a.ev.tick <= b.ev.tick) {
            merge_write_run(a, written_tick);
        }
        // Strictly earlier: when A's next run lands on B's tick, A's run goes first on the
        // next round, so A leads at every shared tick, not only at the first.
        if (a.has_event && b.ev.tick < a.ev.tick) {
            merge_write_run(b, written_tick);
        }
    }
    merge_drain(a, written_tick);
    merge_drain(b, written_tick);
    int32_t end_tick = a.ev.tick > b.ev.tick ? a.ev.tick : b.ev.tick;
    track_append_end(static_cast<uint32_t>(end_tick - written_tick));
    track_chunk_finish(new_pos);
    return new_pos;
}

namespace {

// DEL clears the lower-numbered source first, because clearing the last track lowers
// track_count and the order decides which of the two can still do that.
void mix_clear_sources(int a, int b, int out) {
    int lower = a < b ? a : b;
    int higher = a < b ? b : a;
    if (lower != out) {
        track_clear(lower);
    }
    if (higher != out && higher != lower) {
        track_clear(higher);
    }
}

// Playback ends with track 1, so a mix into track 1 must not make the song
// shorter than it was.
void mix_lengthen_track1(int32_t song_end_tick) {
    int bank = g_song.current_bank;
    uint32_t copy = track_copy_with_end(g_song.slots[bank].track_pos[0], song_end_tick);
    track_replace(copy, bank, 0);
}

} // namespace

void tracks_mix(int a, int b, int out, bool delete_sources) {
    int tracks = g_song.config.tracks_per_slot;
    if (a < 1 || a > tracks || b < 1 || b > tracks || out < 1 || out > tracks) {
        return;
    }
    int bank = g_song.current_bank;
    SongSlot& slot = g_song.slots[bank];
    int32_t song_end_tick = g_song.measure_table.song_end_tick;

    // 1. Normalise both sources.
    if (track_normalize(bank, a - 1) != 0 || track_normalize(bank, b - 1) != 0) {
        return;
    }
    // 2. Merge; positions are read only now because normalising moves chunks.
    uint32_t merged = tracks_merge(slot.track_pos[a - 1], slot.track_pos[b - 1]);
    // 3. Install. When the merge ran out of memory, track_replace rolls it back and the
    // command stops: clearing the sources then would lose them.
    bool failed = g_song.memory_over;
    track_replace(merged, bank, out - 1);
    if (failed) {
        return;
    }
    track_count_include(out - 1);
    // 4. DEL.
    if (delete_sources) {
        mix_clear_sources(a, b, out);
    }
    // 5. Track 1 keeps the song's length.
    if (out == 1) {
        mix_lengthen_track1(song_end_tick);
    }
    measure_table_rebuild();
}

uint32_t track_duplicate(uint32_t pos) {
    uint32_t new_pos = track_chunk_begin();
    TrackWalk walk = track_walk_begin(pos);
    TrackEvent ev;
    bool more = true;
    while (more) {
        // The delta's own bytes are copied too (they lie between the previous event and
        // ev.pos and were read by the parser): a delta stored longer than needed keeps its
        // length, so offsets into the copy match offsets into the source.
        uint32_t event_start = walk.pos;
        more = event_parse(walk, ev);
        if (ev.synthetic_end) {
            track_append_end(0);
            break;
        }
        arena_append(g_song.arena + event_start, ev.pos + ev.length - event_start);
    }
    track_chunk_finish(new_pos);
    if (g_song.memory_over) {
        g_song.arena_end = new_pos - 8;
        g_song.memory_over = false;
        return 0;
    }
    return new_pos;
}
