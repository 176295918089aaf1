// Helpers the editing commands share inside this folder: staging of new chunks, the
// measure grid, copies in the working form, and the runner of commands over every track.
// Implemented in: block_locate.cpp, edit_stage.cpp, edit_tracks.cpp, measure_grid.cpp,
// note_rename.cpp, notes_dedupe.cpp, range_rewrite.cpp, tempo_flatten.cpp,
// track_commands_mix.cpp.
#pragma once

#include "sequencer/edit/edit.h"

#include <cstdint>

// Staging. begin/commit nest; only the outermost commit installs (or drops) what was staged.
void edit_stage_begin();
// Stages a new chunk for a track; a track staged twice keeps the later chunk.
void edit_stage_put(int slot, int track0, uint32_t pos, bool normalized);
// The chunk a command reads for a track: the staged one when there is one.
uint32_t edit_track_pos(int slot, int track0);
// A chunk built only to be read during the command; removed at the commit.
void edit_stage_scratch(uint32_t pos);
// Moves the chunk at `pos`, which must be the last one in the arena, down over the chunk at
// `scratch` (built just before it) and returns its new position: a rewrite that needed an
// intermediate chunk leaves only its result behind.
uint32_t chunk_pull_down(uint32_t pos, uint32_t scratch);
bool edit_track_normalized(int slot, int track0);
// True when everything was installed; false when memory ran out and nothing changed.
bool edit_stage_commit();
EditResult edit_stage_result(bool committed);

// Measure grid of the current song (1-based measures, clamped to the table).
int32_t measure_start_tick(int measure);
struct EditRange {
    int32_t start, end;
    bool open; // runs to the end of the track
};
EditRange measure_range(int start_measure, int measures);

// Appends a copy of a track in the working form (every status byte written, note-offs
// without a sounding note dropped, notes still sounding closed at the end) and returns its
// data position. A track going on past `end_limit` is cut there, its notes closed at that
// tick. Nothing is installed.
uint32_t normal_copy_build(uint32_t pos, int32_t end_limit = INT32_MAX);
// Ends a rebuilt track `pending` ticks after its last written event: the notes still
// sounding end there, then the end of track; the chunk's length is written.
void rebuilt_track_end(uint32_t new_pos, uint32_t pending);

// Builds the new chunk of range_rewrite for a track of the current bank, reading the staged
// chunk when there is one; nothing is installed.
uint32_t range_rewrite_build(int track0, int start_measure, int measures);
// A copy of a track without overlapping duplicate notes; nothing is installed.
uint32_t notes_dedupe_build(uint32_t src_pos);
// Move Track's merge of every track into track 1 (tempo flattened with alt_mode).
EditResult merge_all_tracks(bool flatten_tempo);
// Tempo flatten of a track into a new chunk; nothing is installed.
uint32_t flatten_build(uint32_t src_pos);
// Fills g_edit.block from a track (0-based) of a slot; returns the number of events.
int block_locate_in(int slot, int track0, int start_measure, int measures);

// Rewrites tracks first..last (1-based, current bank) with `build`, which appends one new
// chunk for a track from what that track holds. A trial run learns every chunk's size and
// drops it; only when the whole sequence of replacements fits does the real run install
// them, so running out of memory leaves the song as it was.
using TrackBuild = uint32_t (*)(int track, const void* context);
EditResult edit_tracks_rewrite(int first, int last, TrackBuild build, const void* context);

// Keys of notes changed in place in a working-form copy. note_set gives a note-on (the walk
// `after_on` stands just behind it) a new key, and a velocity unless it is negative; its
// note-off takes the key once renames_apply_passed is called with a walk beyond it.
// Every walk starts with g_edit.renames.count = 0 and ends with renames_apply_all.
void note_set(const TrackWalk& after_on, const TrackEvent& on, int note, int velocity);
void renames_apply_passed(uint32_t walk_pos);
void renames_apply_all();

// Shows "out of memory" unless the message is already standing for this failure.
void edit_out_of_memory();
bool edit_track_valid(int track);
bool edit_measure_valid(int measure);
