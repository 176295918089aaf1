// Inserting a block of events into the write track: where the block lands among events of
// the same tick, running status after it, an end of track it passes, the left-out event,
// and a rebuild that runs out of memory.
#include "tests/edit/edit_fixture.h"

namespace {

using EventInsert = EditFixture;

const Bytes CC_BLOCK = {0xB0, 0x07, 0x64, 0x00, 0xC0, 0x05}; // volume 100, then program 5

TEST_F(EventInsert, BlockLandsAtItsTick) {
    struct Case {
        const char* name;
        int32_t tick;
        Bytes before, after;
    };
    const Case cases[] = {
        // Before the events already standing at 480.
        {"same tick", 480,
         concat({on(0, 60), off(480, 60), on(0, 62), off(480, 62), end_of_track(0)}),
         concat({on(0, 60), ev(480, {0xB0, 0x07, 0x64, 0x00, 0xC0, 0x05}), off(0, 60), on(0, 62),
                 off(480, 62), end_of_track(0)})},
        // Between two events: the next one's delta shrinks by the block's distance.
        {"between", 100, concat({on(0, 60), off(480, 60), end_of_track(20)}),
         concat({on(0, 60), ev(100, {0xB0, 0x07, 0x64, 0x00, 0xC0, 0x05}), off(380, 60),
                 end_of_track(20)})},
        // Past the end of track, which moves to the block.
        {"past the end", 1000, concat({on(0, 60), off(480, 60), end_of_track(20)}),
         concat({on(0, 60), off(480, 60), ev(520, {0xB0, 0x07, 0x64, 0x00, 0xC0, 0x05}),
                 end_of_track(0)})},
        // Events stored under running status get their status byte after the block.
        {"running status", 240, concat({ev(0, {0x90, 60, 100}), ev(480, {60, 0}), end_of_track(0)}),
         concat({on(0, 60), ev(240, {0xB0, 0x07, 0x64, 0x00, 0xC0, 0x05}), on0(240, 60),
                 end_of_track(0)})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        load_song(2, {c.before});
        g_song.write_track = 1;
        g_song.song_modified_mask = 0;

        EXPECT_EQ(
            event_insert_at(c.tick, CC_BLOCK.data(), static_cast<uint32_t>(CC_BLOCK.size()), 0),
            EditResult::done);

        EXPECT_EQ(track_data(0, 1), c.after);
        EXPECT_EQ(g_song.song_modified_mask, 1u);
    }
}

TEST_F(EventInsert, LeftOutEventKeepsTheOthersInPlace) {
    // Move the program change at 100 to 300: it is left out and inserted again.
    load_song(2, {concat({on(0, 60), ev(100, {0xC0, 7}), off(380, 60), end_of_track(0)})});
    g_song.write_track = 1;
    TrackWalk walk = track_walk_begin(g_song.slots[0].track_pos[1]);
    TrackEvent ev_found;
    ASSERT_TRUE(event_parse(walk, ev_found));
    ASSERT_TRUE(event_parse(walk, ev_found));
    ASSERT_EQ(ev_found.status, 0xC0);
    const uint8_t program[2] = {0xC0, 7};

    EXPECT_EQ(event_insert_at(300, program, 2, ev_found.pos), EditResult::done);

    EXPECT_EQ(track_data(0, 1),
              concat({on(0, 60), ev(300, {0xC0, 7}), off(180, 60), end_of_track(0)}));
}

TEST_F(EventInsert, NewTrackBeyondTheCountIsCounted) {
    load_song(2, {concat({on(0, 60), off(480, 60), end_of_track(0)})});
    ASSERT_EQ(g_song.track_count, 2);
    g_song.write_track = 4;

    EXPECT_EQ(event_insert_at(960, CC_BLOCK.data(), static_cast<uint32_t>(CC_BLOCK.size()), 0),
              EditResult::done);

    EXPECT_EQ(track_data(0, 4),
              concat({ev(960, {0xB0, 0x07, 0x64, 0x00, 0xC0, 0x05}), end_of_track(0)}));
    EXPECT_EQ(g_song.track_count, 5);
    EXPECT_EQ(slot_header_track_count(0), 5);
}

TEST_F(EventInsert, OutOfMemoryLeavesTheSongAsItWas) {
    load_song(2, {concat({on(0, 60), off(480, 60), end_of_track(0)})});
    g_song.write_track = 1;
    limit_at_free(16); // less than the rebuilt chunk needs
    StoreSnapshot before = store_snapshot();

    EXPECT_EQ(event_insert_at(100, CC_BLOCK.data(), static_cast<uint32_t>(CC_BLOCK.size()), 0),
              EditResult::out_of_memory);

    EXPECT_TRUE(store_unchanged(before));
    EXPECT_EQ(out_of_memory_shown(), 1);
}

TEST_F(EventInsert, RefusesWhatCannotBeInserted) {
    load_song(2, {concat({on(0, 60), off(480, 60), end_of_track(0)})});
    g_song.write_track = 1;
    StoreSnapshot before = store_snapshot();

    EXPECT_EQ(event_insert_at(-1, CC_BLOCK.data(), 6, 0), EditResult::invalid);
    EXPECT_EQ(event_insert_at(0, CC_BLOCK.data(), 0, 0), EditResult::invalid);
    EXPECT_EQ(event_insert_at(TICK_LIMIT + 1, CC_BLOCK.data(), 6, 0), EditResult::invalid);

    EXPECT_TRUE(store_unchanged(before));
}

} // namespace
