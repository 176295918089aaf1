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

int32_t note_length_take(const TrackWalk& after_on, const TrackEvent& note_on) {
    TrackWalk walk = after_on;
    TrackEvent ev;
    uint8_t channel = note_on.status & 0x0F;
    uint8_t key = event_data(note_on, 0);
    while (event_parse(walk, ev)) {
        if (note_kind(ev) < 0 && (ev.status & 0x0F) == channel && event_data(ev, 0) == key) {
            g_song.arena[ev.pos] = static_cast<uint8_t>(0xA0 | channel);
            return ev.tick - note_on.tick;
        }
    }
    return ev.tick - note_on.tick;
}

int32_t note_length_peek(const TrackWalk& after_on, const TrackEvent& note_on, int32_t& off_tick) {
    TrackWalk walk = after_on;
    TrackEvent ev;
    uint8_t channel = note_on.status & 0x0F;
    uint8_t key = event_data(note_on, 0);
    while (event_parse(walk, ev)) {
        if (note_kind(ev) < 0 && (ev.status & 0x0F) == channel && event_data(ev, 0) == key) {
            break;
        }
    }
    off_tick = ev.tick;
    return ev.tick - note_on.tick;
}
