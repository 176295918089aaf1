// Common start for song store tests: headless platform, empty store, helpers to load bytes
// and to take a snapshot of the whole store for before/after comparisons.
#pragma once

#include "platform/headless/headless.h"
#include "songcore/smf_files.h"
#include "songcore/song_store.h"
#include "tests/support/smf_builder.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

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
    // Writes `bytes` to a file of the temp directory and loads it into the current bank.
    SongLoadResult load_bytes(const Bytes& bytes, const std::string& name = "song.mid");
    // Bytes of a chunk (id, length and data) as the arena holds it.
    Bytes track_bytes(int slot, int track) const;
    Bytes track_data(int slot, int track) const;
    const std::string& last_status() const { return headless_last_status(); }
};
