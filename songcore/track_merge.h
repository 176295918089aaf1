// Whole-track building blocks of the track commands: merging two tracks into one in time
// order, the Mix command built on it, and the byte-exact duplicate that in-place edits change.
#pragma once

#include <cstdint>

// Appends a new track chunk holding the events of both tracks in time order (at equal ticks
// A's events first), deltas recomputed, ending at the later of the two end ticks. Returns
// its data position; the caller installs it with track_replace, which also discards it when
// memory ran out.
uint32_t tracks_merge(uint32_t pos_a, uint32_t pos_b);

// Mix: tracks a and b (1-based, current bank) merged into track `out` (1-based). With
// delete_sources the source tracks other than `out` are cleared afterwards. Nothing changes
// when memory runs out while normalising or merging.
void tracks_mix(int a, int b, int out, bool delete_sources);

// Appends a byte-exact copy of a track (deltas and event bytes as stored, running status
// included, so every event stands at the same offset from the chunk start) and returns its
// data position for track_replace. A track cut by damage gets an end of track where its
// walk stopped. When memory runs out the copy is dropped on the spot (arena_end back to
// where its header began, memory_over cleared, "out of memory" shown once) and 0 is
// returned, which is never a chunk position: the caller must then stop, not track_replace.
uint32_t track_duplicate(uint32_t pos);
