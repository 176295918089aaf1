// Quantize: the notes of a measure range moved onto a grid of note values, every moved note
// given the same length. A mode of the range rewrite that replaces its erase step.
#include "sequencer/edit/rewrite_pass.h"

#include "songcore/track_normalize.h"

#include <cstring>

namespace {

// Marks on the events of the chunk being read, by byte offset from its data start. Kept
// here rather than in the song so a rollback leaves the source track untouched.
// consumed: a note-off a cell has written; reserved: the note-off of a note-on that no
// cell's note-on pass reaches, kept with its note-on at its own tick. Frames only, like
// every edit.
struct QuantizeMarks {
    uint8_t consumed[SEQUENCER_ARENA_LIMIT / 8] = {};
    uint8_t reserved[SEQUENCER_ARENA_LIMIT / 8] = {};
    uint32_t low = 0, high = 0; // byte span of the bitmaps that holds marks
};

QuantizeMarks g_marks;

void marks_clear() {
    if (g_marks.high > g_marks.low) {
        memset(g_marks.consumed + g_marks.low, 0, g_marks.high - g_marks.low);
        memset(g_marks.reserved + g_marks.low, 0, g_marks.high - g_marks.low);
    }
    g_marks.low = sizeof g_marks.consumed;
    g_marks.high = 0;
}

void mark(uint8_t* bits, const RewritePass& rp, const TrackEvent& ev) {
    uint32_t offset = ev.pos - rp.src_pos;
    uint32_t byte = offset / 8;
    bits[byte] = static_cast<uint8_t>(bits[byte] | (1u << (offset % 8)));
    g_marks.low = byte < g_marks.low ? byte : g_marks.low;
    g_marks.high = byte + 1 > g_marks.high ? byte + 1 : g_marks.high;
}

bool marked(const uint8_t* bits, const RewritePass& rp, const TrackEvent& ev) {
    uint32_t offset = ev.pos - rp.src_pos;
    return (bits[offset / 8] >> (offset % 8)) & 1u;
}

// The events the cells do not write are kept at their own ticks, merged in time order with
// what the cells write: every event of the range that is not a note, the note-ons after
// the last cell's note-on window, and the note-offs of those.
struct KeptEvents {
    TrackWalk walk;
    TrackEvent ev;
    bool more;
    int32_t limit;     // events at or after this tick are left to the steps after the cells
    int32_t tail_from; // note-ons from this tick on are kept, not quantized
};

bool kept_unquantized(const RewritePass& rp, const KeptEvents& kept, const TrackEvent& ev) {
    int kind = note_kind(ev);
    if (kind == 0) {
        return true;
    }
    if (kind > 0) {
        return ev.tick >= kept.tail_from;
    }
    return marked(g_marks.reserved, rp, ev);
}

// Writes the kept events up to and including `tick`.
void kept_flush(RewritePass& rp, KeptEvents& kept, int32_t tick) {
    while (kept.more && kept.ev.tick < kept.limit && kept.ev.tick <= tick) {
        if (kept_unquantized(rp, kept, kept.ev)) {
            NotePairMode mode =
                note_kind(kept.ev) < 0 ? NotePairMode::closing : NotePairMode::counting;
            if (note_pair_track(kept.ev, mode)) {
                rewrite_write(rp, kept.ev.tick, kept.ev);
            }
        }
        kept.more = event_parse(kept.walk, kept.ev);
    }
}

// The note-ons no cell reaches keep their note-offs: reserve those before any cell could
// take them for another note of the same key.
void reserve_tail_note_offs(const RewritePass& rp, TrackWalk walk, int32_t from, int32_t to) {
    TrackEvent ev;
    while (event_parse(walk, ev) && ev.tick < to) {
        if (ev.tick >= from && note_kind(ev) > 0) {
            NoteOffMatch match = note_off_find(walk, ev);
            if (match.found) {
                mark(g_marks.reserved, rp, match.note_off);
            }
        }
    }
}

// One cell's note-on pass: note-ons before `half` go to the grid point. Returns the walk
// standing before the first event at or after `half`, the next cell's scan start.
TrackWalk note_on_pass(RewritePass& rp, KeptEvents& kept, TrackWalk walk, int32_t point,
                       int32_t half) {
    TrackWalk before = walk;
    TrackEvent ev;
    while (event_parse(walk, ev) && ev.tick < half) {
        if (note_kind(ev) > 0) {
            kept_flush(rp, kept, point);
            if (note_pair_track(ev, NotePairMode::counting)) {
                rewrite_write(rp, point, ev);
            }
        }
        before = walk;
    }
    return before;
}

// One cell's note-off pass: note-offs of sounding notes before `next` end at point + gate.
void note_off_pass(RewritePass& rp, KeptEvents& kept, TrackWalk walk, int32_t off_tick,
                   int32_t next) {
    TrackEvent ev;
    while (event_parse(walk, ev) && ev.tick < next) {
        if (note_kind(ev) >= 0 || marked(g_marks.consumed, rp, ev) ||
            marked(g_marks.reserved, rp, ev)) {
            continue;
        }
        kept_flush(rp, kept, off_tick);
        if (note_pair_track(ev, NotePairMode::closing)) {
            rewrite_write(rp, off_tick, ev);
            mark(g_marks.consumed, rp, ev);
        }
    }
}

} // namespace

void quantize_pass(RewritePass& rp) {
    marks_clear();
    int32_t grid = g_edit.quantize_grid > 0 ? g_edit.quantize_grid : 1;
    int32_t gate = g_edit.quantize_gate;
    int32_t cells = (rp.end - rp.start) / grid;
    int32_t cells_end = rp.start + cells * grid;

    // The walk standing before the first event at or after S.
    TrackWalk scan = rp.before;

    KeptEvents kept{};
    kept.walk = scan;
    kept.more = event_parse(kept.walk, kept.ev);
    kept.limit = cells_end;
    kept.tail_from = cells > 0 ? cells_end - grid / 2 : rp.start;
    if (cells > 0) {
        reserve_tail_note_offs(rp, scan, kept.tail_from, cells_end);
    }

    int32_t half = rp.start + grid / 2;
    int32_t next = rp.start + grid;
    for (int32_t c = 0; c < cells; c++) {
        int32_t point = rp.start + c * grid;
        TrackWalk cell_scan = scan;
        scan = note_on_pass(rp, kept, cell_scan, point, half);
        note_off_pass(rp, kept, cell_scan, point + gate, next);
        half += grid;
        next += grid;
    }
    kept_flush(rp, kept, cells_end);

    // Leave rp on the first event at or after the last cell; the rest of the range keeps its
    // events at their own ticks (notes unquantized, paired as everywhere else).
    while (rp.more && rp.ev.tick < cells_end) {
        rewrite_next(rp);
    }
    while (rp.more && rp.ev.tick < rp.end) {
        if (note_pair_track(rp.ev, NotePairMode::counting)) {
            rewrite_write(rp, rp.ev.tick, rp.ev);
        }
        rewrite_next(rp);
    }
    marks_clear();
}

namespace {

// The note values of the grid field, and the next value up and down of each, indexed by
// the current value.
constexpr int NOTE_TABLE_SIZE = 36;

struct NoteSteps {
    uint8_t up[NOTE_TABLE_SIZE];
    uint8_t down[NOTE_TABLE_SIZE];
};

constexpr NoteSteps make_note_steps() {
    constexpr int values[] = {1, 2, 3, 4, 6, 8, 12, 16, 24, 32};
    constexpr int count = sizeof values / sizeof values[0];
    NoteSteps steps{};
    for (int v = 0; v < NOTE_TABLE_SIZE; v++) {
        int up = values[count - 1];
        int down = values[0];
        for (int i = 0; i < count; i++) {
            if (values[i] > v) {
                up = values[i];
                break;
            }
        }
        for (int i = count - 1; i >= 0; i--) {
            if (values[i] < v) {
                down = values[i];
                break;
            }
        }
        steps.up[v] = static_cast<uint8_t>(up);
        steps.down[v] = static_cast<uint8_t>(down);
    }
    return steps;
}

constexpr NoteSteps NOTE_STEPS = make_note_steps();

bool note_value_valid(int n) {
    return n >= 1 && n < NOTE_TABLE_SIZE && NOTE_STEPS.up[n - 1] == n;
}

} // namespace

int quantize_note_up(int n) {
    return n >= 0 && n < NOTE_TABLE_SIZE ? NOTE_STEPS.up[n] : 32;
}

int quantize_note_down(int n) {
    return n >= 0 && n < NOTE_TABLE_SIZE ? NOTE_STEPS.down[n] : 32;
}

EditResult quantize(int track, int start, int length, int n, int gate_percent) {
    if (!edit_track_valid(track) || !edit_measure_valid(start) || length < 1 ||
        !note_value_valid(n) || gate_percent < 0 || gate_percent > 100) {
        return EditResult::invalid;
    }
    g_edit.edit_mode = EDIT_QUANTIZE;
    g_edit.quantize_grid = g_song.time_base * 4 / n;
    g_edit.quantize_gate = g_edit.quantize_grid * gate_percent / 100;
    EditResult result = range_rewrite(track, start, length);
    g_edit.edit_mode = 0;
    return result;
}
