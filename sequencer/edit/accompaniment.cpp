// The auto accompaniment command: the pattern copied in its working form (from another song
// first moved into the output track), its notes fitted to the chord track's chords, and the
// result installed with the song end it needs, all or nothing.
#include "sequencer/edit/accompaniment.h"

#include "sequencer/edit/edit_internal.h"

#include "common/status_line.h"
#include "common/text_sjis.h"
#include "platform/platform.h"
#include "songcore/track_normalize.h"

#include <cstdint>

namespace {

// The current song's header lags behind track_count until a bank switch or save.
int song_track_count(int slot) {
    return slot == g_song.current_bank ? g_song.track_count : slot_header_track_count(slot);
}

int32_t song_time_base(int slot) {
    return slot == g_song.current_bank ? g_song.time_base : slot_header_time_base(slot);
}

bool song_valid(int song_number) {
    return song_number >= 1 && song_number <= SONG_BANKS && song_number <= g_song.config.slot_count;
}

void status_in_language(const char* english, const char* japanese_utf8) {
    if (platform_system_language() == UiLanguage::japanese) {
        show_status(utf8_to_sjis(japanese_utf8).c_str());
    } else {
        show_status(english);
    }
}

bool holds_note(uint32_t pos) {
    TrackWalk walk = track_walk_begin(pos);
    TrackEvent ev;
    while (event_parse(walk, ev)) {
        if (note_kind(ev) > 0) {
            return true;
        }
    }
    return false;
}

bool holds_chord(uint32_t pos) {
    TrackWalk walk = track_walk_begin(pos);
    TrackEvent ev;
    XfChord chord;
    while (event_parse(walk, ev)) {
        if (note_kind(ev) > 0 || xf_chord_read(ev, chord)) {
            return true;
        }
    }
    return false;
}

int32_t chunk_end_tick(uint32_t pos) {
    TrackWalk walk = track_walk_begin(pos);
    TrackEvent ev;
    while (event_parse(walk, ev)) {
    }
    return ev.tick;
}

// Where the 999th measure of the current song ends, on the grid in force before the
// command: past the song's end its last signature goes on.
int32_t measure_limit_tick() {
    const MeasureTable& table = g_song.measure_table;
    int index =
        table.last_measure + 1 < MAX_MEASURES - 1 ? table.last_measure + 1 : MAX_MEASURES - 1;
    const MeasureEntry& entry = table.measures[index];
    if (entry.denominator == 0) {
        return TICK_LIMIT;
    }
    int64_t length =
        static_cast<int64_t>(g_song.time_base) * 4 / entry.denominator * entry.numerator;
    int64_t limit = entry.start_tick + (MAX_MEASURES - index) * length;
    return limit < TICK_LIMIT ? static_cast<int32_t>(limit) : TICK_LIMIT;
}

// The chord track read in the current song's ticks: each event's tick scaled from its own
// song's time base, so a chord track of another bank lines up with the pattern's copy.
struct ChordWalk {
    TrackWalk walk;
    TrackEvent next; // the first event not yet read
    bool more;       // next holds an event (not the end of track)
    int64_t from_time_base, to_time_base;
};

int32_t scaled_tick(const ChordWalk& cw, int32_t tick) {
    int64_t scaled = static_cast<int64_t>(tick) * cw.to_time_base / cw.from_time_base;
    return scaled < TICK_LIMIT ? static_cast<int32_t>(scaled) : TICK_LIMIT;
}

// The tick of the next chord change; after the chord track's end no chord changes any more.
int32_t next_chord_tick(const ChordWalk& cw) {
    return cw.more ? scaled_tick(cw, cw.next.tick) : INT32_MAX;
}

// Reads every event at the next chord tick and makes the notes found there the chord in
// force when they are enough.
void chord_step(ChordWalk& cw, ChordInForce& chord) {
    int32_t at = next_chord_tick(cw);
    ChordNotes notes;
    while (cw.more && scaled_tick(cw, cw.next.tick) == at) {
        XfChord xf;
        if (xf_chord_read(cw.next, xf)) {
            chord_notes_from_xf(notes, xf);
        } else if (note_kind(cw.next) > 0) {
            chord_notes_add(notes, event_data(cw.next, 0));
        }
        cw.more = event_parse(cw.walk, cw.next);
    }
    chord_analyse(notes, chord);
}

// Walks the working-form copy in tick order and writes every fitted note into its note-on
// and its note-off.
void pattern_fit(uint32_t copy_pos, uint32_t chord_pos, int32_t chord_time_base, bool two_below) {
    ChordWalk cw{};
    cw.walk = track_walk_begin(chord_pos);
    cw.more = event_parse(cw.walk, cw.next);
    cw.from_time_base = chord_time_base;
    cw.to_time_base = g_song.time_base;
    ChordInForce chord;
    g_edit.renames.count = 0;
    TrackWalk walk = track_walk_begin(copy_pos);
    TrackEvent ev;
    while (event_parse(walk, ev)) {
        renames_apply_passed(walk.pos);
        while (ev.tick >= next_chord_tick(cw)) {
            chord_step(cw, chord);
        }
        if (note_kind(ev) > 0) {
            int channel_number = (ev.status & 0x0F) + 1;
            int note = accompaniment_note(event_data(ev, 0), channel_number, chord, two_below);
            note_set(walk, ev, note, -1);
        }
    }
    renames_apply_all();
}

} // namespace

EditResult accompaniment_check(int out_track, int pattern_song, int pattern_track, int chord_song,
                               int chord_track) {
    if (!edit_track_valid(out_track) || !song_valid(pattern_song) ||
        !edit_track_valid(pattern_track) || !song_valid(chord_song) ||
        !edit_track_valid(chord_track) || song_time_base(pattern_song - 1) <= 0 ||
        song_time_base(chord_song - 1) <= 0) {
        return EditResult::invalid;
    }
    int pattern_slot = pattern_song - 1;
    if (pattern_track > song_track_count(pattern_slot) ||
        !holds_note(edit_track_pos(pattern_slot, pattern_track - 1))) {
        status_in_language("no pattern !!", "パターンなし");
        return EditResult::no_data;
    }
    int chord_slot = chord_song - 1;
    if (chord_track > song_track_count(chord_slot) ||
        !holds_chord(edit_track_pos(chord_slot, chord_track - 1))) {
        status_in_language("no chord !!  ", "コードなし");
        return EditResult::no_data;
    }
    return EditResult::done;
}

EditResult auto_accompany(int out_track, int pattern_song, int pattern_track, int chord_song,
                          int chord_track) {
    EditResult ready =
        accompaniment_check(out_track, pattern_song, pattern_track, chord_song, chord_track);
    if (ready != EditResult::done) {
        return ready;
    }
    int bank = g_song.current_bank;
    int chord_slot = chord_song - 1;
    uint32_t track1_before = edit_track_pos(bank, 0);
    bool track1_normalized = edit_track_normalized(bank, 0);
    int32_t song_end = chunk_end_tick(track1_before);
    int32_t limit = measure_limit_tick();

    edit_stage_begin();
    // The chord track is read as it stood before the command, in its working form, even
    // when it is the output track.
    uint32_t chord_pos = edit_track_pos(chord_slot, chord_track - 1);
    if (!edit_track_normalized(chord_slot, chord_track - 1)) {
        chord_pos = normal_copy_build(chord_pos);
        edit_stage_scratch(chord_pos);
    }
    uint32_t pattern_pos = edit_track_pos(bank, pattern_track - 1);
    if (!g_song.memory_over && pattern_song - 1 != bank) {
        // A pattern of another bank is first moved into the output track, in this song's
        // time base, and the copy is the pattern.
        track_copy_between_songs(pattern_song, pattern_track, CHANNEL_ALL, false, bank + 1,
                                 out_track, CHANNEL_ALL, 0);
        pattern_pos = edit_track_pos(bank, out_track - 1);
    }
    if (!g_song.memory_over) {
        // Generated notes never run past the 999th measure: the copy ends there at the latest.
        uint32_t copy = normal_copy_build(pattern_pos, limit);
        if (!g_song.memory_over) {
            pattern_fit(copy, chord_pos, song_time_base(chord_slot), g_edit.params.ctrl_held);
            uint32_t result = chunk_pull_down(notes_dedupe_build(copy), copy);
            edit_stage_put(bank, out_track - 1, result, true);
            int32_t end = g_song.memory_over ? 0 : chunk_end_tick(result);
            if (out_track != 1 && !g_song.memory_over) {
                // Track 1 reaches the new end; a copy from another bank may have lengthened
                // it past what the cut output needs.
                int32_t wanted = end > song_end ? end : song_end;
                if (chunk_end_tick(edit_track_pos(bank, 0)) != wanted) {
                    edit_stage_put(bank, 0, track_copy_with_end(track1_before, wanted),
                                   track1_normalized);
                }
            }
        }
    }
    if (!edit_stage_commit()) {
        return EditResult::out_of_memory;
    }
    track_count_include(out_track - 1);
    measure_table_rebuild();
    return EditResult::done;
}
