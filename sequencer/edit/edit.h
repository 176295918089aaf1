// The editing commands: measure edits, quantize and the track commands, each a function over
// the song store that reads its parameters and returns a result code.
// Implemented in: block_locate.cpp, command_backup.cpp, edit_commands.cpp, edit_stage.cpp,
// event_edit.cpp, event_insert.cpp, measure_commands.cpp, notes_dedupe.cpp, poly_to_mono.cpp,
// quantize.cpp, range_rewrite.cpp, song_move.cpp, tempo_flatten.cpp, track_commands_filter.cpp,
// track_commands_mix.cpp, track_commands_transpose.cpp.
#pragma once

#include "songcore/event_parse.h"
#include "songcore/song_store.h"

#include <cstdint>

// Bits of edit_mode: what range_rewrite does inside and after its range.
constexpr uint32_t EDIT_CLOSE_GAP = 0x01;
constexpr uint32_t EDIT_INSERT_TIME = 0x02;
constexpr uint32_t EDIT_INSERT_TEMPO = 0x04;
constexpr uint32_t EDIT_INSERT_SIGNATURE = 0x08;
constexpr uint32_t EDIT_INSERT_BLOCK = 0x10;
constexpr uint32_t EDIT_QUANTIZE = 0x20;

constexpr int CHANNEL_ALL = 17; // channel fields: 17 is every channel
// Chunks one command may stage before it commits: every track of two songs, and as many
// intermediate chunks.
constexpr int EDIT_STAGE_MAX = 2 * MAX_TRACKS;

enum class EditResult {
    done,
    no_data,       // "no data !!   " was shown
    out_of_memory, // "out of memory" was shown once; the song is exactly as it was
    invalid,       // a parameter outside its range (or a combination that does nothing)
};

// The values the parameter panels' fields hold, one group per command. Defaults as at start.
struct EditParams {
    int create_measure = 1, create_numerator = 4, create_denominator = 4;
    int create_tempo = 120, create_length = 0;
    int copy_src_track = 1, copy_start = 1, copy_length = 1;
    int copy_dst_track = 1, copy_dst_start = 1, copy_times = 1;
    int delete_start = 1, delete_length = 1;
    int insert_start = 1, insert_length = 1, insert_at = 1;
    int erase_track = 1, erase_start = 1, erase_length = 1;
    int clear_track = 1;
    int quantize_track = 1, quantize_start = 1, quantize_length = 1;
    int quantize_note = 4, quantize_gate = 90; // grid 1/n, gate in percent of the grid
    int mix_a = 1, mix_b = 1, mix_out = 1;
    bool mix_delete = false;
    int transpose_track = 1, transpose_start = 1, transpose_length = 1; // track 0: every track
    int transpose_pitch = 0, transpose_velocity = 0;
    int transpose_note_from = 60, transpose_note_to = 60;
    int combine_time = 1, combine_pitch = 1, combine_velocity = 1, combine_out = 1;
    int move_src_song = 1, move_src_track = 1, move_src_channel = CHANNEL_ALL;
    bool move_delete = false;
    int move_dst_song = 1, move_dst_track = 1, move_dst_channel = CHANNEL_ALL;
    int move_delay = 0; // source ticks, -960..1920
    int filter_in = 1, filter_out = 1;
    int poly_track = 1, mono_track = 1, poly_voices = 1;
    int time_track = 1, event_track = 1, time_out_track = 1;
    // Insertion of the current channel's sound settings at measure, beat and clock.
    int sound_measure = 1, sound_beat = 1, sound_clock = 0;
    // Auto accompaniment: destination track, pattern song and track, chord song and track.
    int accomp_track = 1, accomp_pattern_song = 1, accomp_pattern_track = 1;
    int accomp_chord_song = 1, accomp_chord_track = 1;

    // Shell state the commands read: Shift or the right button held, Ctrl held, the PC
    // keyboard octave setting, and the "BACK UP" option.
    bool alt_mode = false;
    bool ctrl_held = false;
    int play_octave = 3;
    bool backup = false;
};

// What a command needs from the engine and the shell; every hook may be null.
struct EditHooks {
    void (*busy_cursor)(bool on) = nullptr; // hourglass while a command runs
    int (*scale_map)(int note) = nullptr;   // the micro scale; null is the identity
    void (*song_changed)() = nullptr;       // redraw after a command changed the song
};

// Chunks built during one command but not yet installed: reads go through them, and the
// commit either installs all of them or, when memory ran out, drops all of them.
struct EditStage {
    int depth = 0;           // nested begin calls
    uint32_t arena_mark = 0; // arena_end at the outermost begin
    int count = 0;
    int slot[EDIT_STAGE_MAX] = {};
    int track0[EDIT_STAGE_MAX] = {};
    uint32_t pos[EDIT_STAGE_MAX] = {};
    bool normalized[EDIT_STAGE_MAX] = {}; // the chunk is in the working form
    int superseded = 0;                   // chunks staged and then replaced again
    uint32_t superseded_pos[EDIT_STAGE_MAX] = {};
    // What a failed command puts back besides the arena: the track count and the header
    // fields it may have changed in place.
    int saved_track_count = 0;
    uint8_t saved_headers[MAX_SONG_SLOTS][6] = {};
};

// The block that EDIT_INSERT_BLOCK copies, found by block_locate.
struct EditBlock {
    int slot = 0, track0 = 0, start_measure = 0, measures = 0; // where it was, to locate it again
    uint32_t block_start_pos = 0;                              // delta of the first block event
    uint32_t block_end_pos = 0; // delta of the first event after the block
    int32_t block_lead = 0;     // range start to the first block event
    int32_t block_tail = 0;     // last block event to the range end
    int32_t range_start = 0;    // tick of the source range's start
    int32_t range_length = 0;   // ticks of the source range
    int block_repeat = 0;
    TrackWalk walk{}; // stands just before the first block event
};

// Note-off keys an in-place rewrite has chosen but not yet written. A note-off ahead of the
// walk keeps its old key until the walk has passed it, so the search for a later note-on's
// note-off still sees the pairs of the track as it was.
constexpr int NOTE_RENAMES_MAX = 512;
struct NoteRenames {
    int count = 0;
    uint32_t pos[NOTE_RENAMES_MAX] = {}; // the note-off's key byte
    uint8_t note[NOTE_RENAMES_MAX] = {};
};

// State of the editing commands. Frames only (the playback thread while music runs, else the
// window thread), one command at a time, so it needs no lock.
struct EditState {
    EditParams params{};
    EditHooks hooks{};
    uint32_t edit_mode = 0;             // EDIT_* bits; 0 at rest
    int32_t insert_length = 0;          // ticks for EDIT_INSERT_TIME
    int32_t end_at_least = 0;           // the rewritten track ends no earlier than this
    uint8_t tempo_template[6] = {};     // FF 51 03 and microseconds per quarter
    uint8_t signature_template[7] = {}; // FF 58 04 nn dd 24 08
    int32_t quantize_grid = 0;          // G ticks
    int32_t quantize_gate = 0;          // g ticks
    EditBlock block{};
    EditStage stage{};
    NoteRenames renames{};
};

extern EditState g_edit;

// Back to the start state: default parameters, no hooks, nothing staged.
void edit_reset();
// The edit layer's reset list for its own tests: the song layer's list, then edit_reset()
// and xf_reset(). No other thread may be running.
void edit_reset_all();

// Measure edits (tracks and measures of the current bank by their numbers).
EditResult range_rewrite(int track_number, int start_measure_number, int measures);
int block_locate(int track_number, int start_measure_number, int measures);
EditResult create_measures(int measure_number, int numerator, int denominator, int tempo,
                           int count);
EditResult copy_measures(int src_track_number, int src_start_measure_number, int length,
                         int dst_track_number, int dst_start_measure_number, int times);
EditResult delete_measures(int start_measure_number, int length);
EditResult insert_measures(int start_measure_number, int length, int at_measure_number);
EditResult erase_measures(int track_number, int start_measure_number, int length);
EditResult clear_track(int track_number);
// The backup into bank 10 before a command, when the option is on.
void command_backup();

// Quantize: grid 1/n of a whole note, gate in percent of the grid.
EditResult quantize(int track_number, int start_measure_number, int length, int n,
                    int gate_percent);
// The note value field steps through 1, 2, 3, 4, 6, 8, 12, 16, 24, 32.
int quantize_note_up(int n);
int quantize_note_down(int n);

// Track commands.
EditResult mix_tracks(int a, int b, int out, bool delete_sources);
EditResult track_transpose(int track_number, int start_measure_number, int length, int pitch_offset,
                           int velocity_offset, int note_from, int note_to);
EditResult tracks_combine(int time_track, int pitch_track, int velocity_track, int out_track);
EditResult track_copy_between_songs(int src_song, int src_track, int src_channel,
                                    bool delete_from_source, int dst_song, int dst_track,
                                    int dst_channel, int delay);
EditResult move_track(); // "K: Move Track" with the panel's fields
int track_filter_copy(int in_track, int out_track);
EditResult poly_to_mono(int poly_track0, int mono_track0, int voices);
EditResult event_time_change(int time_track, int event_track, int out_track);
EditResult notes_dedupe(int slot, int track_index);
EditResult tempo_flatten(int song_number, int track_number);

// Rebuilds the write track of the current bank with `count` raw bytes inserted at `tick`,
// before any event already standing there, and the event whose status byte is at
// `skip_pos` left out (0: none). The bytes are whole events with the zero deltas between
// them; the first delta is written here. An end of track before `tick` moves to it.
EditResult event_insert_at(int32_t tick, const uint8_t* bytes, uint32_t count, uint32_t skip_pos);

// Single events of the write track of the current bank, found by the position of their
// status byte (or first data byte under running status); a position that is no event of
// the track gives `invalid` and changes nothing. Every rebuild keeps the other events'
// ticks and notes paired, and leaves the song as it was when memory runs out.
bool write_track_event_at(uint32_t pos, TrackEvent& found, TrackWalk& after);
// Leaves the event out, a note-on together with its note-off (a lone note-off is refused).
EditResult event_delete(uint32_t pos);
// Moves an event that is no note event to `tick`, before any event already there.
EditResult event_move(uint32_t pos, int32_t tick);
// Moves a note-on to `tick`; its note-off follows at the same distance, as a note-on of
// velocity 0.
EditResult note_move(uint32_t pos, int32_t tick);
// Moves a note-on's note-off to `gate` ticks after it (1 or more).
EditResult note_gate_set(uint32_t pos, int32_t gate);
// Writes values in place: a tempo in quarter notes per minute (value1, at least 1); a
// note-on's key and velocity (at least 1; its note-off takes the key); the data bytes of the
// other channel messages. False, nothing written, for any other event.
bool event_values_write(uint32_t pos, int value1, int value2);

// The commands as the panels start them, reading g_edit.params.
enum class EditCommand {
    create,
    copy,
    erase,
    insert,
    delete_measures,
    clear_track,
    quantize,
    mix,
    transpose,
    combine,
    move_track,
    filter,
    poly_to_mono,
    event_time_change,
    auto_accompaniment
};
EditResult edit_command_run(EditCommand command);
