// The song store: every song in memory, kept in Standard MIDI File encoding inside one byte
// arena. Edits build a new chunk at the arena's end and swap it in with track_replace, which
// compacts the arena so it never has holes.
// Implemented in: measure_table.cpp, song_arena.cpp, song_names.cpp.
#pragma once

#include "common/byte_cursor.h"

#include <cstdint>

constexpr int MAX_SONG_SLOTS = 11;
constexpr int MAX_TRACKS = 64;
constexpr int MAX_MEASURES = 999;
constexpr int SONG_BANKS = 10;
// Bytes behind the limit that absorb the last block of a file read.
constexpr uint32_t ARENA_SLACK = 2384;
constexpr uint32_t SEQUENCER_ARENA_LIMIT = 4194304;
constexpr int SONG_PATH_SIZE = 261;     // 260 characters plus terminator
constexpr int FILE_NAME_CHARS = 8;      // base name shown for a song
constexpr int SONG_TITLE_CHARS = 34;    // display field of the title
constexpr int SONG_TITLE_TEXT_MAX = 32; // bytes of text a title takes from a song
constexpr int TRACK_NAME_CHARS = 18;
// Ticks beyond this end a track walk: tick sums and measure arithmetic never overflow, and
// the distance between any two ticks fits a delta time of four bytes.
constexpr int32_t TICK_LIMIT = 0x0FFFFFFF;

struct SongStoreConfig {
    int slot_count;      // slots 0..9 are the banks the user selects; any further one is spare
    int tracks_per_slot; // every slot owns exactly this many track chunks
    uint32_t arena_limit;
};

constexpr SongStoreConfig SEQUENCER_STORE = {11, 64, SEQUENCER_ARENA_LIMIT};
constexpr SongStoreConfig CONVERTER_STORE = {3, 32, 2097152};

struct SongSlot {
    uint32_t header_pos = 0;             // data of the MThd chunk (its format field)
    uint32_t track_pos[MAX_TRACKS] = {}; // first event of each MTrk chunk
    char song_title[SONG_TITLE_CHARS + 1] = {};
    char song_file_name[FILE_NAME_CHARS + 1] = {}; // "" until loaded or saved
    char song_path[SONG_PATH_SIZE] = {};
    bool song_has_path = false;
    bool track_normalized[MAX_TRACKS] = {};
};

struct MeasureEntry {
    int32_t start_tick = 0;
    uint8_t numerator = 0;
    uint8_t denominator = 0; // the note value itself: 4 for quarter notes
    uint32_t tempo = 0;      // whole quarter notes per minute, as shown and edited
    uint32_t tempo_usec = 0; // microseconds per quarter: the same tempo exactly, as played
};

struct MeasureTable {
    MeasureEntry measures[MAX_MEASURES] = {};
    int last_measure = 0; // index of the last measure, at most 999
    int32_t song_end_tick = 0;
};

// Display side effects of the store; the shell fills them, tests may leave them null.
struct SongStoreHooks {
    void (*set_window_title)() = nullptr;
    // After a bank switch: redraw the bank list, show time base, track count and measures,
    // reset the playback position and recompute the step-input lengths.
    void (*bank_selected)() = nullptr;
};

// The whole store. Touched only inside the frame routine (which never runs twice at once)
// or on the window thread while the transport is stopped, so it needs no lock.
struct SongStore {
    SongStoreConfig config{};
    uint8_t* arena = nullptr; // config.arena_limit + ARENA_SLACK bytes
    uint32_t arena_end = 0;   // first free byte
    bool memory_over = false; // an append failed; cleared by the next track_replace

    SongSlot slots[MAX_SONG_SLOTS] = {};
    uint32_t song_modified_mask = 0; // bit n: slot n has unsaved changes

    // The current song (the selected bank).
    int current_bank = 0;
    int track_count = 1; // 1..tracks_per_slot: highest track in use
    int32_t time_base = 480;
    int32_t ticks_per_midi_clock = 20; // time_base / 24
    int write_track = 0;               // 0-based
    int tracing_track = 1;             // 1-based
    char current_file_name[FILE_NAME_CHARS + 2] = "ZB47SEQ10";
    char track_names[MAX_TRACKS][TRACK_NAME_CHARS + 1] = {};
    MeasureTable measure_table{};

    // Play switches: 0 mutes.
    uint8_t track_play[MAX_TRACKS] = {};
    uint8_t channel_play[16] = {};
    uint8_t track_port[MAX_TRACKS] = {};

    // Chunks may have moved: the player re-locates its track cursors at the next start.
    bool relocate_pending = false;

    SongStoreHooks hooks{};
};

extern SongStore g_song;

// Builds the empty store: every slot gets a new song header and empty tracks.
void song_store_init(const SongStoreConfig& config);

// Appending. Fails (showing "out of memory" once and setting memory_over) when the bytes
// would reach the limit; reaching it exactly fails too.
bool arena_append(const uint8_t* bytes, uint32_t count);
bool arena_append_byte(uint8_t byte);
bool arena_append_vlq(uint32_t value);
void arena_put_be(uint32_t pos, int width, uint32_t value);
uint32_t arena_get_be(uint32_t pos, int width);
// Reads a variable-length quantity of at most 4 bytes that must end before `end`;
// false (pos unchanged) when it does not. Inline: every event of a track walk reads one.
inline bool arena_get_vlq(uint32_t& pos, uint32_t end, uint32_t& value) {
    int used = vlq_decode(g_song.arena + pos, pos < end ? end - pos : 0, value);
    if (used <= 0) {
        return false;
    }
    pos += static_cast<uint32_t>(used);
    return true;
}

// Starts a new track chunk at the arena's end and returns its data position. The position
// is valid for track_replace even when the header itself did not fit.
uint32_t track_chunk_begin();
// Appends an empty track chunk and returns its data position (valid for track_replace even
// when the append failed).
uint32_t track_empty_append();
// Writes the chunk length of a chunk started at data position `pos`.
void track_chunk_finish(uint32_t pos);
// Appends an end of track after `delta` ticks.
void track_append_end(uint32_t delta);

uint32_t track_copy_with_end(uint32_t src_pos, int32_t end_tick);
void track_replace(uint32_t new_pos, int slot, int track);
uint32_t chunk_remove(uint32_t pos);
// Removes several chunks (data positions, any order, at most one per chunk) in one pass
// over the arena; every slot reference behind them moves down. Returns the bytes removed.
uint32_t chunks_remove_many(const uint32_t* positions, int count);
void track_clear(int track);
int32_t track_end_tick(int slot, int track);
// Raises track_count when a 0-based track beyond it is written.
void track_count_include(int track);

// Chunk bookkeeping.
uint32_t chunk_data_length(uint32_t pos);
uint32_t chunk_total_size(uint32_t pos);

int measure_table_build(uint32_t track1_pos, int32_t& song_end_tick);
// The entry of a 0-based measure of the current song, and its index. A song may have more
// measures than the table has entries, and the build fills one entry past the last measure:
// a measure beyond the last entry gets the last entry.
int measure_entry_index(int measure);
const MeasureEntry& measure_entry(int measure);
// Rebuilds the measure table of the current song.
void measure_table_rebuild();
void song_scan_names();
void song_bank_select(int bank);
uint32_t free_memory_kb();

// Sets the current song's time base and the ticks of one MIDI clock (at least 1, so a time
// base below 24 never makes a clock last 0 ticks).
void time_base_set(int32_t time_base);

// The header fields of a slot.
int slot_header_track_count(int slot);
int32_t slot_header_time_base(int slot);
// Writes the whole 16-bit track-count field: a file that announced more tracks than the slot
// took must not keep a high byte that no longer matches the chunks that follow.
void slot_set_track_count(int slot, int track_count);
