// The record invariants checked at the entry points of the song store and the engine: a
// violation aborts the sanitizer builds (which define ZB_CHECKS) at once.
#include "sequencer/engine/channel_state.h"
#include "sequencer/engine/transport.h"
#include "songcore/song_store.h"
#include "songcore/songcore_reset.h"

#include <gtest/gtest.h>

namespace {

class RecordChecks : public ::testing::Test {
protected:
    void SetUp() override {
#ifndef ZB_CHECKS
        GTEST_SKIP() << "record checks are on in the sanitizer builds only";
#endif
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        songcore_reset_all(SEQUENCER_STORE);
    }
};

TEST_F(RecordChecks, TransportModeOutsideItsRangeIsCaught) {
    EXPECT_DEATH(transport_mode_set(MODE_STANDBY + 1), "check failed: mode");
}

TEST_F(RecordChecks, ChannelOutsideSixteenIsCaught) {
    EXPECT_DEATH(controller_value_store(16, 7, 100), "check failed: channel");
}

TEST_F(RecordChecks, TrackReplacedInASlotTheStoreDoesNotHaveIsCaught) {
    uint32_t pos = track_empty_append();
    EXPECT_DEATH(track_replace(pos, g_song.config.slot_count, 0), "check failed: slot");
}

TEST_F(RecordChecks, ChunkBeyondTheArenaIsCaught) {
    EXPECT_DEATH(chunk_data_length(g_song.arena_end + 1), "check failed: pos");
}

} // namespace
