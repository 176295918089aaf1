// Helpers both ringtone writers use while walking the prepared list: time before the start
// point dropped and deltas rescaled with the remainder carried, and note lengths.
#pragma once

#include "songcore/event_parse.h"

#include <cstdint>
#include <vector>

struct DeltaScale {
    int32_t last_tick = 0; // prepared-list tick of the last event walked
    int64_t remainder = 0;
    int32_t start = 0;       // start point: earlier time is dropped
    int32_t numerator = 0;   // output ticks per quarter note
    int32_t denominator = 0; // source ticks per quarter note; 0 leaves deltas unscaled
};

DeltaScale delta_scale_begin(int32_t start, int32_t numerator, int32_t denominator);
// Output ticks between the last event walked and the event at `tick`, counting only time
// after the start point.
int64_t delta_scale_step(DeltaScale& scale, int32_t tick);

// Ticks from a note-on to the first following note-off of its channel and key (to the end
// of the list when none); the list is not changed. `after_off` receives the walk standing
// just after that note-off (at the end when none).
int32_t note_length_peek(const TrackWalk& after_on, const TrackEvent& note_on,
                         TrackWalk& after_off);
// Lengths of the notes of the prepared list, measured once for all output tracks. Single-
// threaded; rebuilt for every conversion.
struct NoteLengths {
    std::vector<int32_t> length; // by note-on ordinal in the list; -1 before the start point
};

extern NoteLengths g_note_lengths;

// Every note-on at or after `start` takes the first following note-off of its channel and
// key that no earlier note-on took (the end of the list when none): what walking forward
// from each note in turn would find, in one pass.
void note_lengths_measure(uint32_t list_pos, int32_t start);
// Length of the note-on with this ordinal (counting every note-on of the list from 0).
int32_t note_length_of(uint32_t ordinal);
