// Random sequences of editing commands over generated songs, often with too little memory.
// After every command: the chunks tile the arena, every track walks to a real end of track,
// every note-on of the edited bank has its note-off (and no note-off comes without one), the
// measure table is the one track 1 gives, and a command that ran out of memory left every
// byte of the store as it was and showed "out of memory" once.
#include "tests/edit/edit_fixture.h"

#include "songcore/track_normalize.h"
#include "tests/support/smf_random.h"
#include "tests/support/store_checks.h"

#include <algorithm>
#include <cstring>
#include <random>

namespace {

::testing::AssertionResult measure_table_consistent() {
    MeasureTable kept = g_song.measure_table;
    measure_table_rebuild();
    if (memcmp(&kept, &g_song.measure_table, sizeof kept) != 0) {
        return ::testing::AssertionFailure() << "measure table was not rebuilt";
    }
    const MeasureTable& t = g_song.measure_table;
    for (int m = 1; m <= t.last_measure + 1 && m < MAX_MEASURES; m++) {
        if (t.measures[m].start_tick <= t.measures[m - 1].start_tick) {
            return ::testing::AssertionFailure() << "measure " << m << " does not advance";
        }
    }
    if (t.song_end_tick != track_end_tick(g_song.current_bank, 0)) {
        return ::testing::AssertionFailure() << "song end is not track 1's end";
    }
    return ::testing::AssertionSuccess();
}

int g_last_kind = 0; // the command a failure report names

int random_measure(Rng& rng) {
    return rng.range(1, g_song.measure_table.last_measure + 1);
}

int random_track(Rng& rng) {
    return rng.range(1, g_song.track_count);
}

EditResult random_command(Rng& rng) {
    EditParams& p = g_edit.params;
    p = EditParams{};
    p.alt_mode = rng.range(0, 3) == 0;
    p.play_octave = rng.range(0, 8);
    int m = random_measure(rng);
    int length = rng.range(1, 3);
    g_last_kind = rng.range(0, 17);
    switch (g_last_kind) {
    case 0:
        return erase_measures(random_track(rng), m, length);
    case 1:
        return delete_measures(m, length);
    case 2:
        return insert_measures(random_measure(rng), length, m);
    case 3:
        return create_measures(m, rng.range(1, 8), 4 << rng.range(0, 1), rng.range(40, 200),
                               rng.range(0, 2));
    case 4:
        return copy_measures(random_track(rng), random_measure(rng), length,
                             rng.range(1, g_song.track_count + 1), m, rng.range(1, 3));
    case 5: {
        const int values[] = {1, 2, 3, 4, 6, 8, 12, 16, 24, 32};
        return quantize(random_track(rng), m, length, values[rng.range(0, 9)], rng.range(0, 100));
    }
    case 6:
        return mix_tracks(random_track(rng), random_track(rng),
                          rng.range(1, g_song.track_count + 1), rng.range(0, 1) == 1);
    case 7:
        return track_transpose(rng.range(0, g_song.track_count), m, length, rng.range(-20, 20),
                               rng.range(-127, 127), rng.range(0, 127), rng.range(0, 127));
    case 8:
        return tracks_combine(random_track(rng), random_track(rng), random_track(rng),
                              rng.range(1, g_song.track_count + 1));
    case 9:
        return track_copy_between_songs(
            1, random_track(rng), rng.range(1, 17), rng.range(0, 1) == 1, rng.range(1, 2),
            rng.range(1, g_song.track_count + 1), rng.range(1, 17), rng.range(-960, 1920));
    case 10:
        p.move_src_track = rng.range(0, 1);
        p.move_dst_track = rng.range(0, 1);
        p.move_delete = rng.range(0, 1) == 1;
        return move_track();
    case 11:
        return track_filter_copy(random_track(rng), rng.range(1, g_song.track_count + 1)) == 0
                   ? EditResult::done
                   : EditResult::out_of_memory;
    case 12: {
        int t = rng.range(0, g_song.track_count);
        return poly_to_mono(t - 1, t - 1, rng.range(1, 4));
    }
    case 13:
        return event_time_change(random_track(rng), random_track(rng),
                                 rng.range(1, g_song.track_count + 1));
    case 14:
        return notes_dedupe(0, random_track(rng) - 1);
    case 15:
        return tempo_flatten(1, random_track(rng));
    case 16:
        return clear_track(random_track(rng));
    default:
        p.backup = true;
        command_backup();
        return EditResult::done;
    }
}

class EditProperty : public EditFixture {
protected:
    // Tracks whose notes pair up: the generator's tracks are brought into the working form.
    static void random_song(Rng& rng, uint32_t seed) {
        int tracks = rng.range(2, 5);
        for (int t = 1; t < tracks; t++) {
            install(0, t, random_track_events(seed * 16 + t, rng.range(0, 40), 0));
        }
        int32_t longest = 0;
        for (int t = 1; t < tracks; t++) {
            longest = std::max(longest, track_end_tick(0, t));
        }
        uint8_t numerator = static_cast<uint8_t>(rng.range(2, 6));
        Bytes conductor =
            concat({tempo_event(0, 500000), time_signature(0, numerator, 2),
                    end_of_track(static_cast<uint32_t>(longest + rng.range(0, 4000)))});
        install(0, 0, conductor);
        g_song.track_count = tracks;
        for (int t = 0; t < tracks; t++) {
            track_normalize(0, t);
        }
        measure_table_rebuild();
        g_song.song_modified_mask = 0;
    }
};

TEST_F(EditProperty, RandomCommandsKeepEveryTrackValid) {
    int out_of_memory_runs = 0;
    for (uint32_t seed = 1; seed <= 1000; seed++) {
        SetUp();
        Rng rng{std::mt19937(seed)};
        random_song(rng, seed);
        for (int step = 0; step < 4; step++) {
            bool tight = rng.range(0, 2) == 0;
            if (tight) {
                limit_at_free(static_cast<uint32_t>(rng.range(1, 400)));
            }
            StoreSnapshot before = store_snapshot();
            int shown = out_of_memory_shown();

            EditResult result = random_command(rng);

            g_song.config.arena_limit = SEQUENCER_ARENA_LIMIT;
            SCOPED_TRACE(::testing::Message()
                         << "seed " << seed << " step " << step << " command " << g_last_kind);
            ASSERT_EQ(g_edit.edit_mode, 0u);
            ASSERT_EQ(g_edit.stage.depth, 0);
            ASSERT_FALSE(g_song.memory_over);
            if (result == EditResult::out_of_memory) {
                out_of_memory_runs++;
                ASSERT_TRUE(store_unchanged(before));
                ASSERT_EQ(out_of_memory_shown(), shown + 1);
            }
            ASSERT_TRUE(arena_tiled());
            for (int s : {0, 1, 9}) {
                for (int t = 0; t < MAX_TRACKS; t++) {
                    ASSERT_TRUE(track_sound(s, t, s == 0 && t < g_song.track_count));
                }
            }
            ASSERT_TRUE(measure_table_consistent());
        }
    }
    EXPECT_GT(out_of_memory_runs, 200);
}

} // namespace
