// Common start for song store tests: headless platform, empty store, helpers to load bytes
// and to take a snapshot of the whole store for before/after comparisons.
#pragma once

#include "platform/headless/headless.h"
#include "songcore/smf_files.h"
#include "songcore/song_store.h"
#include "songcore/songcore_reset.h"
#include "tests/support/smf_builder.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

struct StoreSnapshot {
    Bytes arena;
    uint32_t arena_end;
    SongSlot slots[MAX_SONG_SLOTS];
    uint32_t mask;
    int track_count;
    int32_t time_base;
    bool memory_over;
};

StoreSnapshot store_snapshot();
// Compares every byte in use, every slot and the current-song fields.
::testing::AssertionResult store_unchanged(const StoreSnapshot& before);

class SongFixture : public ::testing::Test {
protected:
    TempDir dir;
    void SetUp() override;
    // The reset list of the layer under test: a fixture of a higher layer names its own.
    virtual void reset_all() { songcore_reset_all(SEQUENCER_STORE); }
    // Writes `bytes` to a file of the temp directory and loads it into the current bank.
    SongLoadResult load_bytes(const Bytes& bytes, const std::string& name = "song.mid");
    // Bytes of a chunk (id, length and data) as the arena holds it.
    Bytes track_bytes(int slot, int track) const;
    Bytes track_data(int slot, int track) const;
    const std::string& last_status() const { return headless_last_status(); }

    // Installs a chunk holding `events` exactly as given (no end of track is added) and
    // returns the track's position.
    static uint32_t install(int slot, int track0, const Bytes& events);
    // Fills the spare slot's last track so that exactly `free_bytes` (13 or more) stay below
    // the limit.
    static void leave_free(uint32_t free_bytes);
    // A replacement always leaves more free than the chunk it removed, so fewer than 13
    // free bytes cannot be reached by filling: move the limit down instead.
    static void limit_at_free(uint32_t free_bytes) {
        g_song.config.arena_limit = g_song.arena_end + free_bytes;
    }
    static int out_of_memory_shown();
    static Bytes chunk_at(uint32_t pos);
    static Bytes data_at(uint32_t pos);

    // The events of a track as (tick, bytes with the status byte also under running status).
    struct Flat {
        int32_t tick;
        Bytes bytes;
        bool operator==(const Flat&) const = default;
    };
    static std::vector<Flat> flatten(uint32_t pos, int32_t* end_tick = nullptr);
    // Every note-off of the events ends a sounding note of its channel and key, and nothing is
    // left sounding at the end.
    static ::testing::AssertionResult notes_paired(const std::vector<Flat>& events);
};
