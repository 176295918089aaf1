// The walk and the writer of one range rewrite, shared by the range steps and the quantize
// pass that replaces the erase step.
// Implemented in: quantize.cpp, range_rewrite.cpp.
#pragma once

#include "sequencer/edit/edit_internal.h"
#include "songcore/event_parse.h"

#include <cstdint>

struct RewritePass {
    uint32_t src_pos; // data of the chunk being read
    TrackWalk walk;
    TrackWalk before; // the walk as it stood before `ev` was read
    TrackEvent ev;    // the next event not yet handled; the end of track once `more` is false
    bool more;
    int32_t start;   // S
    int32_t end;     // E
    bool open;       // the range runs to the end of the track
    int32_t written; // tick of the last event written to the new chunk
};

void rewrite_next(RewritePass& rp);
// Writes an event (with its status byte) at a tick of the new track; a tick before the last
// written one is written at that one, so the new track stays in time order.
void rewrite_write(RewritePass& rp, int32_t tick, const TrackEvent& ev);
void rewrite_write_bytes(RewritePass& rp, int32_t tick, const uint8_t* bytes, uint32_t count);
// Closes every counted note at `tick`; true when a note-off was written.
bool rewrite_close_notes(RewritePass& rp, int32_t tick);

// The quantize cells over [start, end): leaves rp on the first event at or after end.
void quantize_pass(RewritePass& rp);
