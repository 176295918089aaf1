// IN >> Filter >> OUT and EVENT TIME CHEANGE: tracks copied through the event filter, and
// one track's events placed at another track's times.
#include "sequencer/edit/edit_internal.h"

#include "songcore/track_normalize.h"

namespace {

struct FilterArgs {
    int low, high; // notes kept
};

// Through the event filter and the note range, then kept as the working form keeps it.
bool filter_keep(const TrackWalk& after, const TrackEvent& ev, void* context) {
    const auto& args = *static_cast<const FilterArgs*>(context);
    if (!event_filter_pass(ev)) {
        return false;
    }
    if (note_kind(ev) != 0) {
        int note = event_data(ev, 0);
        if (note < args.low || note > args.high) {
            return false;
        }
    }
    return paired_event_keep(after, ev, nullptr);
}

uint32_t filter_build_from(uint32_t src_pos, const FilterArgs& args) {
    track_rewrite_reset();
    uint32_t new_pos = track_chunk_begin();
    FilterArgs kept = args;
    TrackEventsCopy copy = track_events_copy(src_pos, filter_keep, &kept);
    rebuilt_track_end(new_pos, static_cast<uint32_t>(copy.end.tick - copy.written_tick));
    return new_pos;
}

uint32_t filter_build(int track, const void* context) {
    return filter_build_from(edit_track_pos(g_song.current_bank, track - 1),
                             *static_cast<const FilterArgs*>(context));
}

FilterArgs filter_args() {
    FilterArgs args{0, 127};
    const EditParams& p = g_edit.params;
    if (p.alt_mode) {
        args.low = p.transpose_note_from < p.transpose_note_to ? p.transpose_note_from
                                                               : p.transpose_note_to;
        args.high = p.transpose_note_from < p.transpose_note_to ? p.transpose_note_to
                                                                : p.transpose_note_from;
    }
    return args;
}

} // namespace

int track_filter_copy(int in_track, int out_track) {
    FilterArgs args = filter_args();
    if (in_track == 0 && out_track == 0) {
        EditResult result = edit_tracks_rewrite(1, g_song.track_count, filter_build, &args);
        return result == EditResult::out_of_memory ? 1 : 0;
    }
    // A 0 in only one of the fields names no track: nothing happens.
    if (!edit_track_valid(in_track) || !edit_track_valid(out_track)) {
        return 0;
    }
    int bank = g_song.current_bank;
    edit_stage_begin();
    edit_stage_put(bank, out_track - 1, filter_build_from(edit_track_pos(bank, in_track - 1), args),
                   true);
    if (!edit_stage_commit()) {
        return 1;
    }
    track_count_include(out_track - 1);
    measure_table_rebuild();
    return 0;
}

namespace {

// The next event that is not a note-off; false at the end of track.
bool next_non_note_off(TrackWalk& walk, TrackEvent& ev) {
    while (event_parse(walk, ev)) {
        if (note_kind(ev) >= 0) {
            return true;
        }
    }
    return false;
}

} // namespace

EditResult event_time_change(int time_track, int event_track, int out_track) {
    if (!edit_track_valid(time_track) || !edit_track_valid(event_track) ||
        !edit_track_valid(out_track)) {
        return EditResult::invalid;
    }
    int bank = g_song.current_bank;
    edit_stage_begin();
    track_rewrite_reset();
    uint32_t new_pos = track_chunk_begin();
    TrackWalk times = track_walk_begin(edit_track_pos(bank, time_track - 1));
    TrackWalk events = track_walk_begin(edit_track_pos(bank, event_track - 1));
    TrackEvent t_ev, e_ev;
    int32_t written = 0;
    for (;;) {
        bool t_more = next_non_note_off(times, t_ev);
        if (!t_more || !next_non_note_off(events, e_ev)) {
            break;
        }
        // The event track's note-offs are not carried over; each placed note ends where the
        // next event is placed, so no note is left sounding to the end of the track.
        if (t_ev.tick > written) {
            if (sounding_notes_close(static_cast<uint32_t>(t_ev.tick - written))) {
                written = t_ev.tick;
            }
        }
        if (note_pair_track(e_ev, NotePairMode::counting)) {
            event_append_explicit(static_cast<uint32_t>(t_ev.tick - written), e_ev);
            written = t_ev.tick;
        }
    }
    int32_t end = t_ev.tick > written ? t_ev.tick : written;
    uint32_t pending = static_cast<uint32_t>(end - written);
    rebuilt_track_end(new_pos, pending);
    edit_stage_put(bank, out_track - 1, new_pos, true);
    if (!edit_stage_commit()) {
        return EditResult::out_of_memory;
    }
    track_count_include(out_track - 1);
    measure_table_rebuild();
    return EditResult::done;
}
