// Track normalisation, note pairing with per-note counters, the note-off search and the
// event filter: the rules every track rewrite shares.
#include "songcore/track_normalize.h"
#include "songcore/midi_bytes.h"

#include "songcore/song_store.h"

#include <cstring>

TrackRewrite g_track_rewrite;
EventFilter g_event_filter;

void track_rewrite_reset() {
    g_track_rewrite = TrackRewrite{};
}

void event_filter_reset() {
    g_event_filter = EventFilter{};
}

namespace {

// A damaged data byte may have bit 7 set; masking keeps the index inside the table.
int note_index(const TrackEvent& ev) {
    return (ev.status & 0x0F) * 128 + (event_data(ev, 0) & 0x7F);
}

} // namespace

TrackEventsCopy track_events_copy(uint32_t src_pos, EventKeep keep, void* context) {
    TrackWalk walk = track_walk_begin(src_pos);
    TrackEvent ev;
    int32_t written_tick = 0;
    while (event_parse(walk, ev)) {
        if (!keep(walk, ev, context)) {
            continue;
        }
        event_append_explicit(static_cast<uint32_t>(ev.tick - written_tick), ev);
        written_tick = ev.tick;
    }
    return TrackEventsCopy{ev, written_tick};
}

void event_append_explicit(uint32_t delta, const TrackEvent& ev) {
    arena_append_vlq(delta);
    if (ev.running) {
        arena_append_byte(ev.status);
    }
    arena_append(g_song.arena + ev.pos, ev.length);
}

int track_normalize(int slot, int track0) {
    SongSlot& s = g_song.slots[slot];
    if (s.track_normalized[track0]) {
        return 0;
    }
    uint32_t mask = g_song.song_modified_mask;
    track_rewrite_reset();
    uint32_t new_pos = track_chunk_begin();

    TrackEventsCopy copy = track_events_copy(s.track_pos[track0], paired_event_keep, nullptr);

    uint32_t pending = static_cast<uint32_t>(copy.end.tick - copy.written_tick);
    bool closed = sounding_notes_close(pending);
    track_append_end(closed ? 0 : pending);

    track_chunk_finish(new_pos);
    bool failed = g_song.memory_over;
    track_replace(new_pos, slot, track0);
    g_song.song_modified_mask = mask;
    if (failed) {
        return 1;
    }
    s.track_normalized[track0] = true;
    return 0;
}

bool paired_event_keep(const TrackWalk&, const TrackEvent& ev, void*) {
    return note_pair_track(ev, NotePairMode::counting);
}

bool note_pair_track(const TrackEvent& ev, NotePairMode mode) {
    int kind = note_kind(ev);
    if (kind == 0) {
        return mode == NotePairMode::counting;
    }
    int8_t& counter = g_track_rewrite.note_counters[note_index(ev)];
    if (mode == NotePairMode::closing) {
        if (kind < 0 && counter >= 1) {
            counter--;
            return true;
        }
        return false;
    }
    if (kind < 0) {
        if (counter <= 0) {
            return false;
        }
        counter--;
        return true;
    }
    // More than 127 open notes of one key cannot be counted: the surplus note-on is dropped
    // (and its note-off later, as unmatched), so no note is left hanging.
    if (counter == INT8_MAX) {
        return false;
    }
    counter++;
    return true;
}

bool sounding_notes_close(uint32_t delta) {
    bool written = false;
    for (int i = 0; i < NOTE_COUNTERS; i++) {
        int8_t& counter = g_track_rewrite.note_counters[i];
        while (counter > 0) {
            const uint8_t note_off[3] = {static_cast<uint8_t>(STATUS_NOTE_ON + i / 128),
                                         static_cast<uint8_t>(i % 128), 0};
            arena_append_vlq(written ? 0 : delta);
            arena_append(note_off, sizeof note_off);
            written = true;
            counter--;
        }
    }
    return written;
}

NoteOffMatch note_off_find(const TrackWalk& after_on, const TrackEvent& note_on) {
    NoteOffMatch match{};
    if (note_kind(note_on) != 1) {
        return match;
    }
    uint8_t channel = note_on.status & 0x0F;
    uint8_t note = event_data(note_on, 0);
    TrackWalk walk = after_on;
    TrackEvent ev;
    int open = 0; // later note-ons of the same key not yet matched
    while (event_parse(walk, ev)) {
        int kind = note_kind(ev);
        if (kind == 0 || (ev.status & 0x0F) != channel || event_data(ev, 0) != note) {
            continue;
        }
        if (kind > 0) {
            open++;
        } else if (open > 0) {
            open--;
        } else {
            match.found = true;
            match.gate = ev.tick - note_on.tick;
            match.note_off = ev;
            return match;
        }
    }
    return match;
}

bool event_filter_pass(const TrackEvent& ev) {
    int kind;
    if (ev.status == STATUS_META) {
        kind = FILTER_META;
    } else if (ev.status >= STATUS_EXCLUSIVE) {
        kind = FILTER_EXCLUSIVE;
    } else if (ev.status >= 0x80) {
        // 0x80 and 0x90 share the note switch, so a velocity-0 note-on is a note too.
        kind = ev.status < STATUS_KEY_PRESSURE ? FILTER_NOTE
                                               : FILTER_KEY_PRESSURE + ((ev.status >> 4) - 0xA);
    } else {
        return true;
    }
    return g_event_filter.pass[kind] != 0;
}
