// Tempo flatten: a track rebuilt to sound the same at its first tempo, so a song merged into
// one track survives players that take only one tempo.
#include "sequencer/edit/edit_internal.h"
#include "songcore/midi_bytes.h"

#include "songcore/track_normalize.h"

namespace {

constexpr uint32_t DEFAULT_USEC = 500000; // 120 quarter notes per minute

// Microseconds per quarter of a tempo event; 0 when it holds no usable tempo.
uint32_t tempo_usec(const TrackEvent& ev) {
    if (ev.status != STATUS_META || ev.meta_type != META_TEMPO || ev.data_length < 3) {
        return 0;
    }
    const uint8_t* d = g_song.arena + ev.data_pos;
    return (static_cast<uint32_t>(d[0]) << 16) | (static_cast<uint32_t>(d[1]) << 8) | d[2];
}

// Scales deltas from the tempo in force to the first tempo. Works in microseconds per
// quarter rather than whole beats per minute, and carries the true remainder of every scaled
// delta, so the drift stays below one tick over the whole track.
struct TempoScale {
    uint64_t first_usec, current_usec;
    uint64_t remainder;
    bool first_seen;
};

uint32_t flatten_delta(TempoScale& scale, uint32_t delta) {
    uint64_t product = static_cast<uint64_t>(delta) * scale.current_usec + scale.remainder;
    scale.remainder = product % scale.first_usec;
    uint64_t scaled = product / scale.first_usec;
    return static_cast<uint32_t>(scaled < TICK_LIMIT ? scaled : TICK_LIMIT);
}

} // namespace

uint32_t flatten_build(uint32_t src_pos) {
    track_rewrite_reset();
    uint32_t new_pos = track_chunk_begin();
    TrackWalk walk = track_walk_begin(src_pos);
    TrackEvent ev;
    TempoScale scale{DEFAULT_USEC, DEFAULT_USEC, 0, false};
    uint32_t pending = 0;
    int64_t tick = 0; // of the new track, kept within the furthest tick a walk reads
    while (event_parse(walk, ev)) {
        uint32_t delta = flatten_delta(scale, ev.delta);
        delta = tick + delta < TICK_LIMIT ? delta : static_cast<uint32_t>(TICK_LIMIT - tick);
        tick += delta;
        pending += delta;
        if (!note_pair_track(ev, NotePairMode::counting)) {
            continue;
        }
        uint32_t usec = tempo_usec(ev);
        if (usec == 0) {
            event_append_explicit(pending, ev);
            pending = 0;
            continue;
        }
        if (!scale.first_seen) {
            scale.first_seen = true;
            scale.first_usec = usec;
            scale.current_usec = usec;
            scale.remainder = 0;
            event_append_explicit(pending, ev);
        } else {
            // A later tempo becomes the text "T--" of the same length.
            scale.current_usec = usec;
            arena_append_vlq(pending);
            const uint8_t head[2] = {STATUS_META, META_TEXT};
            arena_append(head, 2);
            uint32_t length_bytes = ev.data_pos - (ev.pos + 2);
            arena_append(g_song.arena + ev.pos + 2, length_bytes);
            const uint8_t text[3] = {0x54, 0x2D, 0x2D};
            arena_append(text, 3);
            arena_append(g_song.arena + ev.data_pos + 3, ev.data_length - 3);
        }
        pending = 0;
    }
    uint32_t delta = flatten_delta(scale, ev.delta);
    pending += tick + delta < TICK_LIMIT ? delta : static_cast<uint32_t>(TICK_LIMIT - tick);
    rebuilt_track_end(new_pos, pending);
    return new_pos;
}

EditResult tempo_flatten(int song, int track) {
    if (song < 1 || song > SONG_BANKS || song > g_song.config.slot_count ||
        !edit_track_valid(track)) {
        return EditResult::invalid;
    }
    edit_stage_begin();
    uint32_t pos = flatten_build(edit_track_pos(song - 1, track - 1));
    edit_stage_put(song - 1, track - 1, pos, true);
    bool committed = edit_stage_commit();
    if (song - 1 == g_song.current_bank) {
        measure_table_rebuild();
    }
    return edit_stage_result(committed);
}
