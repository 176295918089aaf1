// Track merge, Mix and the byte-exact duplicate, checked on the exact bytes the store holds.
#include "songcore/track_merge.h"

#include "common/status_line.h"
#include "songcore/event_parse.h"
#include "songcore/song_store.h"
#include "songcore/track_normalize.h"
#include "tests/support/smf_random.h"
#include "tests/support/song_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// A store with a limit close enough to reach by filling, for the out-of-memory tests.
constexpr SongStoreConfig SMALL_STORE = {11, 64, 20000};

using TrackMerge = SongFixture;

// Three tracks: the conductor track is the longest; tracks 2 and 3 hold notes, track 2
// with running status.
Bytes three_track_song() {
    return smf_file(1, 480,
                    {concat({meta_text(0, META_TRACK_NAME, "Song"), tempo_event(0, 500000),
                             end_of_track(1920)}),
                     concat({ev(0, {0x90, 60, 100}), ev(480, {60, 0}), end_of_track(0)}),
                     concat({ev(0, {0x91, 64, 100}), ev(240, {0x81, 64, 0}), ev(240, {0xB1, 7, 90}),
                             end_of_track(0)})});
}

// Tracks 2 and 3 of three_track_song merged: at tick 480 track 2's note-off comes first.
Bytes mixed_2_3(uint32_t end_delta) {
    return concat({ev(0, {0x90, 60, 100}), ev(0, {0x91, 64, 100}), ev(240, {0x81, 64, 0}),
                   ev(240, {0x90, 60, 0}), ev(0, {0xB1, 7, 90}), end_of_track(end_delta)});
}

TEST_F(TrackMerge, MergePutsFirstTrackFirstAtEqualTicks) {
    uint32_t a = install(0, 1,
                         concat({ev(0, {0xC0, 1}), ev(10, {0x90, 60, 100}), ev(0, {0xB0, 7, 100}),
                                 ev(10, {0x80, 60, 0}), end_of_track(100)}));
    uint32_t b = install(0, 2,
                         concat({ev(0, {0xB1, 10, 64}), ev(10, {0x91, 64, 90}),
                                 ev(5, {0x81, 64, 0}), end_of_track(200)}));
    a = g_song.slots[0].track_pos[1];

    uint32_t merged = tracks_merge(a, b);

    Bytes expected = concat({ev(0, {0xC0, 1}), ev(0, {0xB1, 10, 64}), ev(10, {0x90, 60, 100}),
                             ev(0, {0xB0, 7, 100}), ev(0, {0x91, 64, 90}), ev(5, {0x81, 64, 0}),
                             ev(5, {0x80, 60, 0}), end_of_track(195)});
    EXPECT_EQ(chunk_at(merged), track_chunk(expected));
    EXPECT_EQ(g_song.arena_end, merged + expected.size());
    track_replace(merged, 0, 3);
}

TEST_F(TrackMerge, MergeWritesStatusOfRunningStatusEvents) {
    install(0, 1, concat({ev(0, {0x90, 60, 100}), ev(10, {62, 100}), end_of_track(0)}));
    install(0, 2, concat({ev(5, {0x91, 64, 100}), ev(10, {65, 100}), end_of_track(0)}));

    uint32_t merged = tracks_merge(g_song.slots[0].track_pos[1], g_song.slots[0].track_pos[2]);

    Bytes expected = concat({ev(0, {0x90, 60, 100}), ev(5, {0x91, 64, 100}), ev(5, {0x90, 62, 100}),
                             ev(5, {0x91, 65, 100}), end_of_track(0)});
    EXPECT_EQ(data_at(merged), expected);
    track_replace(merged, 0, 3);
}

TEST_F(TrackMerge, MergeWalksCutTrackSafely) {
    Bytes cut = concat({ev(0, {0x90, 60, 100}), ev(10, {0x90, 62, 100})});
    cut.resize(cut.size() - 1);
    install(0, 1, cut);
    install(0, 2, concat({ev(5, {0xB0, 1, 2}), end_of_track(20)}));

    uint32_t merged = tracks_merge(g_song.slots[0].track_pos[1], g_song.slots[0].track_pos[2]);

    Bytes expected = concat({ev(0, {0x90, 60, 100}), ev(5, {0xB0, 1, 2}), end_of_track(20)});
    EXPECT_EQ(data_at(merged), expected);
    track_replace(merged, 0, 3);
}

TEST_F(TrackMerge, MergeEndsAtTheLaterEnd) {
    install(0, 1, concat({ev(0, {0xB0, 1, 2}), end_of_track(900)}));
    install(0, 2, end_of_track(50));
    uint32_t merged = tracks_merge(g_song.slots[0].track_pos[1], g_song.slots[0].track_pos[2]);
    EXPECT_EQ(data_at(merged), concat({ev(0, {0xB0, 1, 2}), end_of_track(900)}));
    track_replace(merged, 0, 3);
}

// Model test: against a naive stable merge of the two event lists.
TEST_F(TrackMerge, MergeMatchesReferenceOnGeneratedTracks) {
    for (uint32_t seed = 1; seed <= 30; seed++) {
        song_store_init(SEQUENCER_STORE);
        install(0, 1, random_track_events(seed, 60, 0));
        install(0, 2, random_track_events(seed + 1000, 60, 0));
        int32_t end_a = 0;
        int32_t end_b = 0;
        std::vector<Flat> a = flatten(g_song.slots[0].track_pos[1], &end_a);
        std::vector<Flat> b = flatten(g_song.slots[0].track_pos[2], &end_b);
        std::vector<Flat> reference;
        size_t i = 0;
        size_t j = 0;
        while (i < a.size() || j < b.size()) {
            if (j == b.size() || (i < a.size() && a[i].tick <= b[j].tick)) {
                reference.push_back(a[i++]);
            } else {
                reference.push_back(b[j++]);
            }
        }

        uint32_t merged = tracks_merge(g_song.slots[0].track_pos[1], g_song.slots[0].track_pos[2]);
        track_replace(merged, 0, 3);

        int32_t end_m = 0;
        EXPECT_EQ(flatten(g_song.slots[0].track_pos[3], &end_m), reference) << "seed " << seed;
        EXPECT_EQ(end_m, std::max(end_a, end_b)) << "seed " << seed;
    }
}

TEST_F(TrackMerge, MixTwoAndThreeIntoTwoWithDelClearsThree) {
    ASSERT_EQ(load_bytes(three_track_song()), SongLoadResult::loaded);
    ASSERT_EQ(g_song.track_count, 3);
    Bytes track1 = track_bytes(0, 0);

    tracks_mix(2, 3, 2, true);

    EXPECT_EQ(track_data(0, 1), mixed_2_3(0));
    EXPECT_EQ(track_data(0, 2), end_of_track(0));
    EXPECT_EQ(g_song.track_count, 2);
    EXPECT_EQ(track_bytes(0, 0), track1);
    EXPECT_EQ(g_song.song_modified_mask, 1u);
}

TEST_F(TrackMerge, MixIntoTrackOneLengthensTrackOne) {
    ASSERT_EQ(load_bytes(three_track_song()), SongLoadResult::loaded);
    ASSERT_EQ(g_song.measure_table.song_end_tick, 1920);

    tracks_mix(2, 3, 1, false);

    // The merged tracks end at 480; track 1 keeps the song's end at 1920.
    EXPECT_EQ(track_data(0, 0), mixed_2_3(1440));
    EXPECT_EQ(g_song.measure_table.song_end_tick, 1920);
    EXPECT_EQ(g_song.track_count, 3);
    // The sources stay, now in their working form.
    EXPECT_EQ(track_data(0, 1),
              concat({ev(0, {0x90, 60, 100}), ev(480, {0x90, 60, 0}), end_of_track(0)}));
}

TEST_F(TrackMerge, MixIntoTrackOneWithDelClearsLowerSourceFirst) {
    ASSERT_EQ(load_bytes(three_track_song()), SongLoadResult::loaded);

    tracks_mix(3, 2, 1, true);

    // Track 2 is cleared while track 3 is still the last one, so only track 3's clearing
    // lowers the count.
    EXPECT_EQ(g_song.track_count, 2);
    EXPECT_EQ(track_data(0, 1), end_of_track(0));
    EXPECT_EQ(track_data(0, 2), end_of_track(0));
    // Track 3 was the first source, so its events lead at equal ticks.
    EXPECT_EQ(track_data(0, 0),
              concat({ev(0, {0x91, 64, 100}), ev(0, {0x90, 60, 100}), ev(240, {0x81, 64, 0}),
                      ev(240, {0xB1, 7, 90}), ev(0, {0x90, 60, 0}), end_of_track(1440)}));
}

TEST_F(TrackMerge, MixIntoFiveRaisesTrackCount) {
    ASSERT_EQ(load_bytes(three_track_song()), SongLoadResult::loaded);

    tracks_mix(2, 3, 5, false);

    EXPECT_EQ(g_song.track_count, 5);
    EXPECT_EQ(track_data(0, 4), mixed_2_3(0));
    EXPECT_EQ(track_data(0, 3), end_of_track(0));
    EXPECT_FALSE(track_data(0, 2) == end_of_track(0));
}

TEST_F(TrackMerge, MixOutOfMemoryDuringMergeLeavesStoreUnchanged) {
    song_store_init(SMALL_STORE);
    ASSERT_EQ(load_bytes(three_track_song()), SongLoadResult::loaded);
    ASSERT_EQ(track_normalize(0, 1), 0);
    ASSERT_EQ(track_normalize(0, 2), 0);
    // The merged chunk is 8 + 26 bytes: it does not fit into 34.
    leave_free(34);
    StoreSnapshot before = store_snapshot();

    tracks_mix(2, 3, 4, true);

    // The rolled-back replacement still marks the bank; everything else is as before.
    EXPECT_EQ(g_song.song_modified_mask, before.mask | 1u);
    g_song.song_modified_mask = before.mask;
    EXPECT_TRUE(store_unchanged(before));
    EXPECT_EQ(out_of_memory_shown(), 1);
}

TEST_F(TrackMerge, MixFitsWithOneByteMore) {
    song_store_init(SMALL_STORE);
    ASSERT_EQ(load_bytes(three_track_song()), SongLoadResult::loaded);
    ASSERT_EQ(track_normalize(0, 1), 0);
    ASSERT_EQ(track_normalize(0, 2), 0);
    leave_free(35);

    tracks_mix(2, 3, 4, false);

    EXPECT_EQ(track_data(0, 3), mixed_2_3(0));
    EXPECT_EQ(g_song.track_count, 4);
    EXPECT_EQ(out_of_memory_shown(), 0);
}

TEST_F(TrackMerge, MixOutOfMemoryDuringNormaliseLeavesStoreUnchanged) {
    song_store_init(SMALL_STORE);
    ASSERT_EQ(load_bytes(three_track_song()), SongLoadResult::loaded);
    // Track 2's working form is 8 + 13 bytes.
    leave_free(21);
    StoreSnapshot before = store_snapshot();

    tracks_mix(2, 3, 2, true);

    EXPECT_TRUE(store_unchanged(before));
    EXPECT_FALSE(g_song.slots[0].track_normalized[1]);
    EXPECT_EQ(out_of_memory_shown(), 1);
}

// Notes with running status, a delta stored in two bytes where one would do, meta and
// exclusive events.
Bytes duplicate_source() {
    return concat({ev(0, {0x90, 60, 100}), ev(10, {62, 100}), Bytes{0x80, 0x05, 0x80, 60, 0},
                   ev(0, {62, 0}), meta_text(0, META_TEXT, "abc"), ev(0, {0xF0, 2, 0x7E, 0xF7}),
                   end_of_track(7)});
}

TEST_F(TrackMerge, DuplicateIsByteExactIncludingRunningStatus) {
    uint32_t src = install(0, 1, duplicate_source());

    uint32_t copy = track_duplicate(src);

    ASSERT_NE(copy, 0u);
    EXPECT_EQ(chunk_at(copy), chunk_at(src));
    EXPECT_EQ(g_song.arena_end, copy + chunk_data_length(src));
    track_replace(copy, 0, 2);
    EXPECT_EQ(track_bytes(0, 2), track_chunk(duplicate_source()));
}

TEST_F(TrackMerge, DuplicateGivesCutTrackAnEnd) {
    Bytes cut = concat({ev(0, {0x90, 60, 100}), ev(10, {62, 100}), ev(10, {0x80, 60, 0})});
    cut.resize(cut.size() - 1);
    uint32_t src = install(0, 1, cut);

    uint32_t copy = track_duplicate(src);

    ASSERT_NE(copy, 0u);
    EXPECT_EQ(data_at(copy), concat({ev(0, {0x90, 60, 100}), ev(10, {62, 100}), end_of_track(0)}));
    track_replace(copy, 0, 2);
}

TEST_F(TrackMerge, DuplicateOutOfMemoryDropsTheCopy) {
    song_store_init(SMALL_STORE);
    uint32_t src = install(0, 1, duplicate_source());
    uint32_t size = chunk_total_size(src);
    leave_free(size);
    StoreSnapshot before = store_snapshot();

    EXPECT_EQ(track_duplicate(g_song.slots[0].track_pos[1]), 0u);

    EXPECT_TRUE(store_unchanged(before));
    EXPECT_EQ(out_of_memory_shown(), 1);

    song_store_init(SMALL_STORE);
    install(0, 1, duplicate_source());
    leave_free(size + 1);
    uint32_t copy = track_duplicate(g_song.slots[0].track_pos[1]);
    ASSERT_NE(copy, 0u);
    EXPECT_EQ(chunk_at(copy), chunk_at(g_song.slots[0].track_pos[1]));
    track_replace(copy, 0, 2);
}

TEST_F(TrackMerge, DuplicateOutOfMemoryAtTheHeaderDropsTheCopy) {
    uint32_t src = install(0, 1, duplicate_source());
    limit_at_free(5);
    StoreSnapshot before = store_snapshot();
    EXPECT_EQ(track_duplicate(src), 0u);
    EXPECT_TRUE(store_unchanged(before));
    EXPECT_EQ(out_of_memory_shown(), 1);
}

} // namespace
