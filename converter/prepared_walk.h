// Helpers both ringtone writers use while walking the prepared list: time before the start
// point dropped and deltas rescaled with the remainder carried, and note lengths.
#pragma once

#include "songcore/event_parse.h"

#include <cstdint>

struct DeltaScale {
    int32_t last_tick; // prepared-list tick of the last event walked
    int64_t remainder;
    int32_t start;       // start point: earlier time is dropped
    int32_t numerator;   // output ticks per quarter note
    int32_t denominator; // source ticks per quarter note; 0 leaves deltas unscaled
};

DeltaScale delta_scale_begin(int32_t start, int32_t numerator, int32_t denominator);
// Output ticks between the last event walked and the event at `tick`, counting only time
// after the start point.
int64_t delta_scale_step(DeltaScale& scale, int32_t tick);

// Ticks from a note-on to the first following note-off of its channel and key (to the end
// of the list when none); the list is not changed. `off_tick` receives that note-off's tick.
int32_t note_length_peek(const TrackWalk& after_on, const TrackEvent& note_on, int32_t& off_tick);
// Ticks from a note-on to the first following note-off of its channel and key (to the end of
// the list when none); that note-off becomes key pressure so no later note-on takes it.
int32_t note_length_take(const TrackWalk& after_on, const TrackEvent& note_on);
