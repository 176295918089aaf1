// Mix: two tracks merged into one, the sources optionally cleared, all installed together.
#include "sequencer/edit/edit_internal.h"

#include "songcore/track_merge.h"

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
