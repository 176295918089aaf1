// Random sequences of store operations on a small arena, where running out of memory is
// common. After every step: the chunks the slots reference tile the arena exactly (no hole,
// no overlap, nothing unreferenced), every track walks to a real end of track, every track
// an operation did not touch is byte for byte what it was, and an operation that ran out of
// memory left the whole store as it was.
#include "songcore/event_parse.h"
#include "songcore/smf_files.h"
#include "songcore/track_merge.h"
#include "songcore/track_normalize.h"
#include "tests/support/smf_random.h"
#include "tests/support/song_fixture.h"
#include "tests/support/store_checks.h"

#include <algorithm>
#include <map>
#include <random>

namespace {

constexpr SongStoreConfig SMALL_STORE = {11, 64, 24000};

// The chunks tile the arena and every track of every slot walks to a real end of track.
::testing::AssertionResult store_whole() {
    ::testing::AssertionResult tiled = arena_tiled();
    if (!tiled) {
        return tiled;
    }
    for (int s = 0; s < g_song.config.slot_count; s++) {
        for (int t = 0; t < g_song.config.tracks_per_slot; t++) {
            ::testing::AssertionResult sound = track_sound(s, t, false);
            if (!sound) {
                return sound;
            }
        }
    }
    return ::testing::AssertionSuccess();
}

using Tracks = std::map<std::pair<int, int>, Bytes>;

Tracks all_tracks() {
    Tracks tracks;
    for (int s = 0; s < g_song.config.slot_count; s++) {
        for (int t = 0; t < g_song.config.tracks_per_slot; t++) {
            uint32_t pos = g_song.slots[s].track_pos[t];
            tracks[{s, t}] =
                Bytes(g_song.arena + pos - 8, g_song.arena + pos + chunk_data_length(pos));
        }
    }
    return tracks;
}

} // namespace

using StoreProperty = SongFixture;

TEST_F(StoreProperty, RandomOperationsKeepTheArenaWholeAndUntouchedTracksUnchanged) {
    int out_of_memory_steps = 0;
    int steps = 0;
    for (uint32_t seed = 1; seed <= 40; seed++) {
        SetUp();
        song_store_init(SMALL_STORE);
        g_headless.default_answer = true;
        std::mt19937 rng(seed);
        auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
        for (int step = 0; step < 60; step++, steps++) {
            SCOPED_TRACE("seed " + std::to_string(seed) + " step " + std::to_string(step));
            int op = pick(0, 6);
            int clear_track = pick(1, 64);
            if (op == 1) {
                track_count_include(clear_track - 1); // so that clearing the last one counts
            }
            Tracks before = all_tracks();
            StoreSnapshot snapshot = store_snapshot();
            int bank = g_song.current_bank;
            // The tracks the operation may change; every other one must stay as it was.
            std::vector<std::pair<int, int>> touched;
            bool may_fail_whole = false;
            if (op == 0) {
                int s = pick(0, 10);
                int t = pick(0, 63);
                install(
                    s, t,
                    random_track_events(rng(), pick(0, 600), static_cast<uint32_t>(pick(0, 5000))));
                touched.push_back({s, t});
                may_fail_whole = true;
            } else if (op == 1) {
                track_clear(clear_track);
                touched.push_back({bank, clear_track - 1});
                may_fail_whole = true;
            } else if (op == 2) {
                int t = pick(0, 63);
                uint32_t copy =
                    track_copy_with_end(g_song.slots[bank].track_pos[t], pick(0, 100000));
                track_replace(copy, bank, t);
                touched.push_back({bank, t});
                may_fail_whole = true;
            } else if (op == 3) {
                int t = pick(0, 63);
                track_normalize(bank, t);
                touched.push_back({bank, t});
            } else if (op == 4) {
                int a = pick(1, 64);
                int b = pick(1, 64);
                int out = pick(1, 64);
                bool del = pick(0, 1) == 1;
                tracks_mix(a, b, out, del);
                for (int t : {a, b, out, 1}) {
                    touched.push_back({bank, t - 1});
                }
            } else if (op == 5) {
                RandomSmfOptions o;
                o.tracks = pick(1, 6);
                o.events_per_track = pick(1, 120);
                load_bytes(random_smf(rng(), o), "step.mid");
                for (int t = 0; t < 64; t++) {
                    touched.push_back({bank, t});
                }
                may_fail_whole = true;
            } else {
                song_bank_select(pick(0, 9));
            }
            bool ran_out = std::find(g_headless.status_texts.begin(), g_headless.status_texts.end(),
                                     "out of memory") != g_headless.status_texts.end() ||
                           last_status() == "memory over";
            g_headless.status_texts.clear();
            ASSERT_FALSE(g_song.memory_over);
            ASSERT_TRUE(store_whole());
            Tracks after = all_tracks();
            for (const auto& [key, bytes] : before) {
                if (std::find(touched.begin(), touched.end(), key) == touched.end()) {
                    ASSERT_EQ(after[key], bytes)
                        << "slot " << key.first << " track " << key.second + 1;
                }
            }
            if (ran_out && may_fail_whole) {
                out_of_memory_steps++;
                snapshot.mask = g_song.song_modified_mask; // an attempt may mark the bank
                ASSERT_TRUE(store_unchanged(snapshot)) << "op " << op;
            }
        }
    }
    // The small arena must make the failure path common enough to mean something.
    EXPECT_GT(out_of_memory_steps, steps / 20);
}
