// Duplicate-note removal: of overlapping notes of one key only the first note-on and the
// last note-off remain.
#include "sequencer/edit/edit_internal.h"

#include "songcore/track_normalize.h"

namespace {

// Of overlapping notes of one key only the first note-on and the last note-off are kept.
bool first_on_last_off_keep(const TrackWalk& after, const TrackEvent& ev, void*) {
    int kind = note_kind(ev);
    if (kind == 0) {
        return true;
    }
    int8_t& counter =
        g_track_rewrite.note_counters[(ev.status & 0x0F) * 128 + (event_data(ev, 0) & 0x7F)];
    if (kind > 0) {
        // A note-on without its note-off is left out, and so is one whose key is already
        // sounding (its counter still rises, to pair the note-offs).
        bool paired = note_off_find(after, ev).found;
        bool keep = paired && counter == 0;
        if (paired && counter < INT8_MAX) {
            counter++;
        }
        return keep;
    }
    bool keep = counter == 1;
    if (counter > 0) {
        counter--;
    } else {
        keep = false;
    }
    return keep;
}

} // namespace

uint32_t notes_dedupe_build(uint32_t src_pos) {
    track_rewrite_reset();
    uint32_t new_pos = track_chunk_begin();
    TrackEventsCopy copy = track_events_copy(src_pos, first_on_last_off_keep, nullptr);
    rebuilt_track_end(new_pos, static_cast<uint32_t>(copy.end.tick - copy.written_tick));
    return new_pos;
}

EditResult notes_dedupe(int slot, int track0) {
    if (slot < 0 || slot >= g_song.config.slot_count || track0 < 0 ||
        track0 >= g_song.config.tracks_per_slot) {
        return EditResult::invalid;
    }
    edit_stage_begin();
    edit_stage_put(slot, track0, notes_dedupe_build(edit_track_pos(slot, track0)), true);
    bool committed = edit_stage_commit();
    if (slot == g_song.current_bank) {
        measure_table_rebuild();
    }
    return edit_stage_result(committed);
}
