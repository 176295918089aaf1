// Mix: two tracks merged into one, the sources optionally cleared, all installed together.
#include "sequencer/edit/edit_internal.h"

#include "songcore/track_merge.h"
#include "songcore/track_normalize.h"

namespace {

// Clearing track 1 is allowed only when it is the only track.
bool clear_allowed(int track, int track_count) {
    return !(track == 1 && track_count != 1);
}

} // namespace

EditResult mix_tracks(int a, int b, int out, bool delete_sources) {
    if (!edit_track_valid(a) || !edit_track_valid(b) || !edit_track_valid(out)) {
        return EditResult::invalid;
    }
    int bank = g_song.current_bank;
    int32_t song_end = g_song.measure_table.song_end_tick;
    edit_stage_begin();
    // The sources are read in their working form; those copies are only read.
    uint32_t pos_a = normal_copy_build(edit_track_pos(bank, a - 1));
    edit_stage_scratch(pos_a);
    uint32_t pos_b = normal_copy_build(edit_track_pos(bank, b - 1));
    edit_stage_scratch(pos_b);
    edit_stage_put(bank, out - 1, tracks_merge(pos_a, pos_b), true);

    // The track count as the clears will see it, one after the other.
    int count = g_song.track_count > out ? g_song.track_count : out;
    int lower = a < b ? a : b;
    int higher = a < b ? b : a;
    int cleared[2] = {0, 0};
    if (delete_sources) {
        int n = 0;
        const int sources[2] = {lower, higher};
        for (int t : sources) {
            if (t == out || (n > 0 && t == cleared[0]) || !clear_allowed(t, count)) {
                continue;
            }
            edit_stage_put(bank, t - 1, track_empty_append(), true);
            cleared[n++] = t;
            if (t == count && t != 1) {
                count--;
            }
        }
    }
    if (out == 1) {
        // Playback ends with track 1, so a mix into it must not shorten the song.
        edit_stage_put(bank, 0, track_copy_with_end(edit_track_pos(bank, 0), song_end), true);
    }
    if (!edit_stage_commit()) {
        return EditResult::out_of_memory;
    }
    g_song.track_count = count;
    measure_table_rebuild();
    return EditResult::done;
}

namespace {

// The walks of a merge of many tracks, in the order their events go at equal ticks.
struct MergeAll {
    TrackWalk walk[MAX_TRACKS];
    TrackEvent ev[MAX_TRACKS];
    bool more[MAX_TRACKS];
    int count;
};

// Repeated Mix of track 1 with the last track, from the last down to 2, puts track 1's events
// first at equal ticks, then the last track's, then the one before it. One pass over all
// tracks in that order gives the same track and builds a single chunk instead of one per
// step. Like each Mix, it reads every track in its working form, made on its own: a stray
// note-off is dropped within its own track and never ends another track's note, so the
// merge itself pairs nothing.
uint32_t merge_all_build(int bank, int track_count) {
    MergeAll m{};
    for (int t = 0; t < track_count; t++) {
        int track0 = t == 0 ? 0 : track_count - t;
        uint32_t pos = edit_track_pos(bank, track0);
        if (!edit_track_normalized(bank, track0)) {
            pos = normal_copy_build(pos);
            edit_stage_scratch(pos);
        }
        m.walk[t] = track_walk_begin(pos);
        m.more[t] = event_parse(m.walk[t], m.ev[t]);
    }
    m.count = track_count;
    uint32_t new_pos = track_chunk_begin();
    int32_t written = 0;
    int32_t end = g_song.measure_table.song_end_tick;
    for (;;) {
        int next = -1;
        for (int t = 0; t < m.count; t++) {
            if (m.more[t] && (next < 0 || m.ev[t].tick < m.ev[next].tick)) {
                next = t;
            }
        }
        if (next < 0) {
            break;
        }
        int32_t run_tick = m.ev[next].tick;
        while (m.more[next] && m.ev[next].tick == run_tick) {
            event_append_explicit(static_cast<uint32_t>(m.ev[next].tick - written), m.ev[next]);
            written = m.ev[next].tick;
            m.more[next] = event_parse(m.walk[next], m.ev[next]);
        }
    }
    for (int t = 0; t < m.count; t++) {
        end = m.ev[t].tick > end ? m.ev[t].tick : end;
    }
    track_append_end(static_cast<uint32_t>(end - written));
    track_chunk_finish(new_pos);
    return new_pos;
}

} // namespace

EditResult merge_all_tracks(bool flatten_tempo) {
    int bank = g_song.current_bank;
    int count = g_song.track_count;
    edit_stage_begin();
    edit_stage_put(bank, 0, merge_all_build(bank, count), true);
    for (int t = 1; t < count; t++) {
        edit_stage_put(bank, t, track_empty_append(), true);
    }
    if (flatten_tempo) {
        edit_stage_put(bank, 0, flatten_build(edit_track_pos(bank, 0)), true);
    }
    if (!edit_stage_commit()) {
        return EditResult::out_of_memory;
    }
    g_song.track_count = 1;
    measure_table_rebuild();
    return EditResult::done;
}
