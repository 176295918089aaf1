// Single-event changes of the write track made from the event list: values written in place,
// and moving, lengthening and deleting events through a rebuild of the track. Every change
// finds its event again by position first, so a stale position changes nothing.
#include "sequencer/edit/edit_internal.h"

#include "songcore/track_normalize.h"

namespace {

uint32_t write_track_pos() {
    return edit_track_pos(g_song.current_bank, g_song.write_track);
}

bool write_track_ok() {
    return g_song.write_track >= 0 && g_song.write_track < g_song.config.tracks_per_slot &&
           g_song.current_bank >= 0 && g_song.current_bank < g_song.config.slot_count;
}

// The events a deletion leaves out.
struct Omit {
    uint32_t first, second; // status positions; 0 for none
};

bool omit_keep(const TrackWalk&, const TrackEvent& ev, void* context) {
    const Omit& omit = *static_cast<const Omit*>(context);
    return ev.pos != omit.first && (omit.second == 0 || ev.pos != omit.second);
}

void after_rebuild(int track0) {
    track_count_include(track0);
    if (track0 == 0) {
        measure_table_rebuild();
    }
}

// Explicit bytes of a short event (status and its data), whatever running status it had.
uint32_t short_event_bytes(const TrackEvent& ev, uint8_t* out) {
    uint32_t n = 0;
    out[n++] = ev.status;
    for (uint32_t i = 0; i + 1 < static_cast<uint32_t>(channel_message_length(ev.status)); i++) {
        out[n++] = event_data(ev, i);
    }
    return n;
}

bool is_note_event(const TrackEvent& ev) {
    uint8_t kind = ev.status & 0xF0;
    return kind == STATUS_NOTE_ON || kind == STATUS_NOTE_OFF;
}

// The rebuilds here move whole events with their status bytes and keep every note-off after
// its note-on, so a track in the working form stays in it: the list need not rebuild it again.
EditResult working_form_kept(EditResult result, bool was_normalized) {
    if (result == EditResult::done && was_normalized) {
        g_song.slots[g_song.current_bank].track_normalized[g_song.write_track] = true;
    }
    return result;
}

bool write_normalized() {
    return edit_track_normalized(g_song.current_bank, g_song.write_track);
}

} // namespace

bool write_track_event_at(uint32_t pos, TrackEvent& found, TrackWalk& after) {
    if (!write_track_ok() || pos == 0) {
        return false;
    }
    TrackWalk walk = track_walk_begin(write_track_pos());
    TrackEvent ev;
    while (event_parse(walk, ev)) {
        if (ev.pos == pos) {
            found = ev;
            after = walk;
            return true;
        }
        if (ev.pos > pos) {
            return false;
        }
    }
    return false;
}

EditResult event_delete(uint32_t pos) {
    TrackEvent ev;
    TrackWalk after;
    if (!write_track_event_at(pos, ev, after) || note_kind(ev) < 0) {
        return EditResult::invalid; // a lone note-off would leave its note-on unpaired
    }
    Omit omit{ev.pos, 0};
    if (is_note_event(ev)) {
        NoteOffMatch off = note_off_find(after, ev);
        if (off.found) {
            omit.second = off.note_off.pos;
        }
    }
    int bank = g_song.current_bank;
    int track0 = g_song.write_track;
    uint32_t src = write_track_pos();
    bool normalized = edit_track_normalized(bank, track0);
    edit_stage_begin();
    uint32_t chunk = track_chunk_begin();
    TrackEventsCopy copy = track_events_copy(src, omit_keep, &omit);
    track_append_end(static_cast<uint32_t>(copy.end.tick - copy.written_tick));
    track_chunk_finish(chunk);
    edit_stage_put(bank, track0, chunk, normalized);
    if (!edit_stage_commit()) {
        return EditResult::out_of_memory;
    }
    after_rebuild(track0);
    return EditResult::done;
}

EditResult event_move(uint32_t pos, int32_t tick) {
    TrackEvent ev;
    TrackWalk after;
    if (!write_track_event_at(pos, ev, after) || is_note_event(ev) || tick < 0 ||
        tick > TICK_LIMIT) {
        return EditResult::invalid; // notes move with their note-off: note_move
    }
    bool normalized = write_normalized();
    if (ev.running) {
        uint8_t bytes[3];
        uint32_t n = short_event_bytes(ev, bytes);
        return working_form_kept(event_insert_at(tick, bytes, n, ev.pos), normalized);
    }
    // The rebuild only appends to the arena, so the event's own bytes stay where they are.
    return working_form_kept(event_insert_at(tick, g_song.arena + ev.pos, ev.length, ev.pos),
                             normalized);
}

EditResult note_gate_set(uint32_t pos, int32_t gate) {
    TrackEvent ev;
    TrackWalk after;
    // A note-off inserted at the note-on's own tick would stand before it: gate 1 at least.
    if (!write_track_event_at(pos, ev, after) || note_kind(ev) <= 0 || gate < 1 ||
        static_cast<int64_t>(ev.tick) + gate > TICK_LIMIT) {
        return EditResult::invalid;
    }
    NoteOffMatch off = note_off_find(after, ev);
    if (!off.found) {
        return EditResult::invalid;
    }
    uint8_t bytes[3];
    uint32_t n = short_event_bytes(off.note_off, bytes);
    return working_form_kept(event_insert_at(ev.tick + gate, bytes, n, off.note_off.pos),
                             write_normalized());
}

EditResult note_move(uint32_t pos, int32_t tick) {
    TrackEvent ev;
    TrackWalk after;
    if (!write_track_event_at(pos, ev, after) || note_kind(ev) <= 0 || tick < 0) {
        return EditResult::invalid;
    }
    NoteOffMatch off = note_off_find(after, ev);
    if (!off.found || static_cast<int64_t>(tick) + off.gate > TICK_LIMIT) {
        return EditResult::invalid;
    }
    int32_t gate = off.gate;
    uint8_t on_bytes[3] = {ev.status, event_data(ev, 0), event_data(ev, 1)};
    // A moved note ends with a note-on of velocity 0, whatever its note-off was.
    uint8_t off_bytes[3] = {static_cast<uint8_t>(STATUS_NOTE_ON | (ev.status & 0x0F)),
                            event_data(ev, 0), 0};
    bool normalized = write_normalized();
    // Three rebuilds staged as one: all of them are installed, or none.
    edit_stage_begin();
    EditResult result = event_delete(pos);
    if (result == EditResult::done) {
        result = event_insert_at(tick + gate, off_bytes, 3, 0);
    }
    if (result == EditResult::done) {
        result = event_insert_at(tick, on_bytes, 3, 0);
    }
    if (result != EditResult::done) {
        g_song.memory_over = true; // drops the staged deletion with the rest
    }
    if (!edit_stage_commit() || result == EditResult::out_of_memory) {
        return EditResult::out_of_memory;
    }
    after_rebuild(g_song.write_track);
    return working_form_kept(result, normalized);
}

bool event_values_write(uint32_t pos, int value1, int value2) {
    TrackEvent ev;
    TrackWalk after;
    if (!write_track_event_at(pos, ev, after)) {
        return false;
    }
    uint8_t* data = g_song.arena + ev.data_pos;
    uint8_t kind = ev.status & 0xF0;
    if (ev.status == STATUS_META) {
        if (ev.meta_type != META_TEMPO || ev.data_length != 3 || value1 < 1) {
            return false;
        }
        arena_put_be(ev.data_pos, 3, static_cast<uint32_t>(60000000 / value1));
        return true;
    }
    if (kind < STATUS_NOTE_OFF || kind >= STATUS_EXCLUSIVE || kind == STATUS_NOTE_OFF) {
        return false;
    }
    uint8_t v1 = static_cast<uint8_t>(value1 & 0x7F);
    uint8_t v2 = static_cast<uint8_t>(value2 & 0x7F);
    if (kind == STATUS_NOTE_ON) {
        if (v2 == 0) {
            return false; // a velocity of 0 would turn the note-on into a note-off
        }
        NoteOffMatch off = note_off_find(after, ev);
        data[0] = v1;
        data[1] = v2;
        if (off.found) {
            g_song.arena[off.note_off.data_pos] = v1;
        }
        return true;
    }
    data[0] = v1;
    if (channel_message_length(ev.status) == 3) {
        data[1] = v2;
    }
    return true;
}
