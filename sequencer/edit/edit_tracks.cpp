// Copies in the working form, and the runner that rewrites many tracks with a trial run
// first, so a command over every track either changes them all or none.
#include "sequencer/edit/edit_internal.h"

#include "common/status_line.h"
#include "songcore/track_normalize.h"

void rebuilt_track_end(uint32_t new_pos, uint32_t pending) {
    track_append_end(sounding_notes_close(pending) ? 0 : pending);
    track_chunk_finish(new_pos);
}

uint32_t normal_copy_build(uint32_t pos) {
    track_rewrite_reset();
    uint32_t new_pos = track_chunk_begin();
    TrackEventsCopy copy = track_events_copy(pos, paired_event_keep, nullptr);
    rebuilt_track_end(new_pos, static_cast<uint32_t>(copy.end.tick - copy.written_tick));
    return new_pos;
}

EditResult edit_tracks_rewrite(int first, int last, TrackBuild build, const void* context) {
    int bank = g_song.current_bank;
    // Trial: each chunk is built where it would be built, measured and dropped again, while
    // the arena's end is followed through the replacements the real run will make.
    uint64_t end = g_song.arena_end;
    for (int t = first; t <= last; t++) {
        uint32_t mark = g_song.arena_end;
        build(t, context);
        uint32_t size = g_song.arena_end - mark;
        g_song.arena_end = mark;
        if (g_song.memory_over) {
            g_song.memory_over = false; // the message is already standing
            return EditResult::out_of_memory;
        }
        if (end + size >= g_song.config.arena_limit) {
            show_status("out of memory");
            return EditResult::out_of_memory;
        }
        end = end + size - chunk_total_size(g_song.slots[bank].track_pos[t - 1]);
    }
    // The rewrite is deterministic and reads only its own track, so the real run writes the
    // same bytes and fits.
    for (int t = first; t <= last; t++) {
        uint32_t pos = build(t, context);
        bool failed = g_song.memory_over;
        track_replace(pos, bank, t - 1);
        if (!failed) {
            g_song.slots[bank].track_normalized[t - 1] = true;
        }
    }
    return EditResult::done;
}
