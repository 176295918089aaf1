// Delta scaling and note lengths over the prepared list.
#include "converter/prepared_walk.h"

#include "songcore/song_store.h"

DeltaScale delta_scale_begin(int32_t start, int32_t numerator, int32_t denominator) {
    return DeltaScale{0, 0, start, numerator, denominator};
}

int64_t delta_scale_step(DeltaScale& scale, int32_t tick) {
    int32_t from = scale.last_tick > scale.start ? scale.last_tick : scale.start;
    int64_t span = tick > from ? tick - from : 0;
    scale.last_tick = tick;
    if (scale.denominator <= 0) {
        return span;
    }
    int64_t scaled = span * scale.numerator + scale.remainder;
    scale.remainder = scaled % scale.denominator;
    return scaled / scale.denominator;
}

NoteLengths g_note_lengths;

void note_lengths_measure(uint32_t list_pos, int32_t start) {
    std::vector<int32_t>& length = g_note_lengths.length;
    length.clear();
    // Note-ons still waiting for their note-off, first in first out per channel and key,
    // chained through `next` by ordinal.
    std::vector<int32_t> next;
    std::vector<int32_t> on_tick;
    std::vector<int32_t> head(16 * 128, -1);
    std::vector<int32_t> tail(16 * 128, -1);
    TrackWalk walk = track_walk_begin(list_pos);
    TrackEvent ev;
    while (event_parse(walk, ev)) {
        int kind = note_kind(ev);
        if (kind == 0) {
            continue;
        }
        int index = (ev.status & 0x0F) * 128 + (event_data(ev, 0) & 0x7F);
        if (kind > 0) {
            int32_t ordinal = static_cast<int32_t>(length.size());
            length.push_back(-1);
            next.push_back(-1);
            on_tick.push_back(ev.tick);
            if (ev.tick < start) {
                continue; // not written: it takes no note-off
            }
            if (tail[index] >= 0) {
                next[tail[index]] = ordinal;
            } else {
                head[index] = ordinal;
            }
            tail[index] = ordinal;
        } else if (head[index] >= 0) {
            int32_t first = head[index];
            length[first] = ev.tick - on_tick[first];
            head[index] = next[first];
            if (head[index] < 0) {
                tail[index] = -1;
            }
        }
    }
    for (int index = 0; index < 16 * 128; index++) {
        for (int32_t o = head[index]; o >= 0; o = next[o]) {
            length[o] = ev.tick - on_tick[o];
        }
    }
}

int32_t note_length_of(uint32_t ordinal) {
    return ordinal < g_note_lengths.length.size() ? g_note_lengths.length[ordinal] : 0;
}

int32_t note_length_peek(const TrackWalk& after_on, const TrackEvent& note_on,
                         TrackWalk& after_off) {
    after_off = after_on;
    TrackEvent ev;
    uint8_t channel = note_on.status & 0x0F;
    uint8_t key = event_data(note_on, 0);
    while (event_parse(after_off, ev)) {
        if (note_kind(ev) < 0 && (ev.status & 0x0F) == channel && event_data(ev, 0) == key) {
            break;
        }
    }
    return ev.tick - note_on.tick;
}
