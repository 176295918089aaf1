// The range rewrite every measure command is built on: a new copy of one track in which a
// measure range is erased, closed up, quantized, or has time, tempo, signature or a block
// of copied measures inserted, with notes kept paired throughout.
#include "sequencer/edit/rewrite_pass.h"
#include "songcore/midi_bytes.h"

#include "songcore/track_normalize.h"

void rewrite_next(RewritePass& rp) {
    rp.before = rp.walk;
    rp.more = event_parse(rp.walk, rp.ev);
}

namespace {

// Ticks never pass TICK_LIMIT, the furthest a track walk reads: material moved beyond it
// (an insertion near the end of a very long track) stands at the limit.
uint32_t delta_to(RewritePass& rp, int32_t tick) {
    if (tick > TICK_LIMIT) {
        tick = TICK_LIMIT;
    }
    if (tick < rp.written) {
        tick = rp.written;
    }
    uint32_t delta = static_cast<uint32_t>(tick - rp.written);
    rp.written = tick;
    return delta;
}

} // namespace

void rewrite_write(RewritePass& rp, int32_t tick, const TrackEvent& ev) {
    event_append_explicit(delta_to(rp, tick), ev);
}

void rewrite_write_bytes(RewritePass& rp, int32_t tick, const uint8_t* bytes, uint32_t count) {
    arena_append_vlq(delta_to(rp, tick));
    arena_append(bytes, count);
}

bool rewrite_close_notes(RewritePass& rp, int32_t tick) {
    tick = tick < TICK_LIMIT ? tick : TICK_LIMIT;
    uint32_t delta = tick > rp.written ? static_cast<uint32_t>(tick - rp.written) : 0;
    if (sounding_notes_close(delta)) {
        rp.written += static_cast<int32_t>(delta);
        return true;
    }
    return false;
}

namespace {

// Step 2: everything before the range is copied unchanged, notes counted.
void copy_before_range(RewritePass& rp) {
    while (rp.more && rp.ev.tick < rp.start) {
        if (note_pair_track(rp.ev, NotePairMode::counting)) {
            rewrite_write(rp, rp.ev.tick, rp.ev);
        }
        rewrite_next(rp);
    }
}

// What an erased range that starts at the song's first tick keeps, so the song does not lose
// its title and track names, nor track 1 the tempo and metre its music is played in.
struct SongHead {
    bool active;
    bool track1;
    bool closes_gap; // Delete: the music after the range opens the song
    bool has_tempo;
    bool has_signature;
    TrackEvent tempo; // Delete: the last of each in the range, in force at its end
    TrackEvent signature;
};

SongHead song_head_begin(const RewritePass& rp, int track0) {
    SongHead head{};
    uint32_t mode = g_edit.edit_mode;
    head.active = rp.start == 0 && (mode & ~EDIT_CLOSE_GAP) == 0;
    head.track1 = track0 == 0;
    head.closes_gap = (mode & EDIT_CLOSE_GAP) != 0;
    return head;
}

// True when the head takes the event: names and (Erase) track 1's tempo and signature at
// tick 0 are written at once; Delete remembers track 1's tempo and signature for later.
bool song_head_takes(SongHead& head, RewritePass& rp) {
    const TrackEvent& ev = rp.ev;
    if (!head.active || ev.status != STATUS_META) {
        return false;
    }
    if (ev.meta_type == META_TRACK_NAME && ev.tick == 0) {
        rewrite_write(rp, 0, ev);
        return true;
    }
    bool tempo = ev.meta_type == META_TEMPO;
    if (!head.track1 || (!tempo && ev.meta_type != META_TIME_SIGNATURE)) {
        return false;
    }
    if (!head.closes_gap) {
        if (ev.tick != 0) {
            return false;
        }
        rewrite_write(rp, 0, ev);
    } else if (tempo) {
        head.tempo = ev;
        head.has_tempo = true;
    } else {
        head.signature = ev;
        head.has_signature = true;
    }
    return true;
}

// An event of this meta type at the range's end, which moves to the start itself.
bool stands_at_range_end(const RewritePass& rp, uint8_t meta_type) {
    TrackWalk walk = rp.walk;
    TrackEvent ev = rp.ev;
    bool more = rp.more;
    while (more && !rp.open && ev.tick == rp.end) {
        if (ev.status == STATUS_META && ev.meta_type == meta_type) {
            return true;
        }
        more = event_parse(walk, ev);
    }
    return false;
}

// Delete: the tempo and signature in force at the range's end open the song, unless the
// material after the range brings its own.
void song_head_finish(const SongHead& head, RewritePass& rp) {
    if (head.has_tempo && !stands_at_range_end(rp, META_TEMPO)) {
        rewrite_write(rp, 0, head.tempo);
    }
    if (head.has_signature && !stands_at_range_end(rp, META_TIME_SIGNATURE)) {
        rewrite_write(rp, 0, head.signature);
    }
}

// Step 4: the range is erased; notes that began before it end at its start.
void erase_range(RewritePass& rp, SongHead& head) {
    while (rp.more && (rp.open || rp.ev.tick < rp.end)) {
        if (!song_head_takes(head, rp) && note_pair_track(rp.ev, NotePairMode::closing)) {
            rewrite_write(rp, rp.start, rp.ev);
        }
        rewrite_next(rp);
    }
    song_head_finish(head, rp);
}

// Step 6: block_repeat copies of the located block, each closed on its own. Returns the
// tick where the last copy ends.
int32_t insert_block(RewritePass& rp) {
    const EditBlock& block = g_edit.block;
    rewrite_close_notes(rp, rp.start);
    int32_t base = rp.start;
    for (int k = 0; k < block.block_repeat; k++) {
        TrackWalk walk = block.walk;
        TrackEvent ev;
        while (walk.pos < block.block_end_pos && event_parse(walk, ev)) {
            if (note_pair_track(ev, NotePairMode::counting)) {
                rewrite_write(rp, base + (ev.tick - block.range_start), ev);
            }
        }
        base = base < TICK_LIMIT - block.range_length ? base + block.range_length : TICK_LIMIT;
        rewrite_close_notes(rp, base);
    }
    return base;
}

// Step 7: notes sounding at the insertion point end there; the new tempo and signature
// stand at its start.
void insert_time(RewritePass& rp) {
    rewrite_close_notes(rp, rp.start);
    if (g_edit.edit_mode & EDIT_INSERT_TEMPO) {
        rewrite_write_bytes(rp, rp.start, g_edit.tempo_template, sizeof g_edit.tempo_template);
    }
    if (g_edit.edit_mode & EDIT_INSERT_SIGNATURE) {
        rewrite_write_bytes(rp, rp.start, g_edit.signature_template,
                            sizeof g_edit.signature_template);
    }
}

// With nothing inserted, the new tempo or signature replaces one standing at the same tick.
bool replaced_at_insert_point(const RewritePass& rp) {
    if (g_edit.insert_length != 0 || rp.ev.tick != rp.end || rp.ev.status != STATUS_META) {
        return false;
    }
    return ((g_edit.edit_mode & EDIT_INSERT_TEMPO) && rp.ev.meta_type == META_TEMPO) ||
           ((g_edit.edit_mode & EDIT_INSERT_SIGNATURE) && rp.ev.meta_type == META_TIME_SIGNATURE);
}

// Where the end of track goes: it follows the material after the range, never moves before
// the range's start when the gap closes, and never stands before what was written.
int32_t end_tick_after(const RewritePass& rp, int32_t offset) {
    int32_t tick = rp.ev.tick > g_edit.end_at_least ? rp.ev.tick : g_edit.end_at_least;
    uint32_t mode = g_edit.edit_mode;
    if (mode & EDIT_CLOSE_GAP) {
        if (tick >= rp.end) {
            tick -= rp.end - rp.start;
        } else if (tick > rp.start) {
            tick = rp.start;
        }
    } else if (mode & (EDIT_INSERT_BLOCK | EDIT_INSERT_TIME)) {
        // A track ending before the insertion point takes the inserted time too.
        tick = (tick > rp.end ? tick : rp.end) + offset;
    }
    return tick > rp.written ? tick : rp.written;
}

} // namespace

uint32_t range_rewrite_build(int track0, int start_measure, int measures) {
    int bank = g_song.current_bank;
    EditRange range = measure_range(start_measure, measures);
    track_rewrite_reset();
    if (g_edit.edit_mode & EDIT_INSERT_BLOCK) {
        // Staging never moves chunks, but locating here keeps the block valid whatever the
        // caller replaced since it located it (Copy within one track).
        const EditBlock& b = g_edit.block;
        int repeat = b.block_repeat;
        block_locate_in(b.slot, b.track0, b.start_measure, b.measures);
        g_edit.block.block_repeat = repeat;
    }
    RewritePass rp{};
    rp.src_pos = edit_track_pos(bank, track0);
    rp.walk = track_walk_begin(rp.src_pos);
    rp.start = range.start;
    rp.end = range.end;
    rp.open = range.open;
    uint32_t new_pos = track_chunk_begin();
    rewrite_next(rp);

    copy_before_range(rp);
    if (g_edit.edit_mode & EDIT_QUANTIZE) {
        quantize_pass(rp);
    } else {
        SongHead head = song_head_begin(rp, track0);
        erase_range(rp, head);
    }
    int32_t offset = 0;
    if (g_edit.edit_mode & EDIT_CLOSE_GAP) {
        offset = rp.start - rp.end;
    } else if (g_edit.edit_mode & EDIT_INSERT_BLOCK) {
        offset = insert_block(rp) - rp.end;
    } else if (g_edit.edit_mode & EDIT_INSERT_TIME) {
        insert_time(rp);
        offset = g_edit.insert_length;
    }
    // Step 8: the rest, moved by the offset, note-offs of notes no longer sounding left out.
    while (rp.more) {
        if (!replaced_at_insert_point(rp) && note_pair_track(rp.ev, NotePairMode::counting)) {
            rewrite_write(rp, rp.ev.tick + offset, rp.ev);
        }
        rewrite_next(rp);
    }
    int32_t end = end_tick_after(rp, offset);
    end = end < TICK_LIMIT ? end : TICK_LIMIT;
    // Every note the rewrite kept has its note-off by now; closing again costs nothing and
    // guarantees a balanced track whatever the source held.
    rewrite_close_notes(rp, end);
    track_append_end(static_cast<uint32_t>(end - rp.written));
    track_chunk_finish(new_pos);
    return new_pos;
}

EditResult range_rewrite(int track, int start_measure, int measures) {
    if (!edit_track_valid(track) || !edit_measure_valid(start_measure) || measures < 0) {
        return EditResult::invalid;
    }
    edit_stage_begin();
    uint32_t pos = range_rewrite_build(track - 1, start_measure, measures);
    edit_stage_put(g_song.current_bank, track - 1, pos, true);
    return edit_stage_result(edit_stage_commit());
}
