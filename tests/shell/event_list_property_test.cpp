// Random presses on the event list over random songs, often with the arena almost full:
// after every press each track of the song still walks to a real end of track that closes
// its chunk, the write track's notes pair up, the chunks tile the arena, and an ENTER that
// ran out of memory left every byte of the store as it was and said so once.
#include "tests/shell/shell_fixture.h"

#include "sequencer/shell/event_list.h"
#include "sequencer/shell/menu_show.h"
#include "sequencer/shell/screen_layout.h"
#include "songcore/track_normalize.h"
#include "tests/support/smf_random.h"
#include "tests/support/store_checks.h"

#include <algorithm>
#include <cstring>
#include <random>

namespace {

class EventListProperty : public ShellFixture {};

TEST_F(EventListProperty, RandomPressesKeepTracksValidAndFailuresChangeNothing) {
    start();
    menu_hooks_install();
    const int xs[] = {350, 480, 580, 300, 620};
    int failures_seen = 0, commits_seen = 0;
    for (uint32_t seed = 1; seed <= 40; seed++) {
        Rng rng{std::mt19937(seed)};
        RandomSmfOptions options;
        options.tracks = 3;
        options.events_per_track = rng.range(5, 80);
        g_song.config.arena_limit = SEQUENCER_ARENA_LIMIT;
        ASSERT_EQ(load_bytes(random_smf(seed, options)), SongLoadResult::loaded);
        g_song.write_track = rng.range(0, 2);
        g_song_clock.current_measure = rng.range(0, 1);
        g_menu.menu_cursor[5] = 2;
        g_menu.last_command_key = NO_COMMAND;
        show_command(5);
        // Often too little room for the three chunks a note's move stages, or even for one.
        if (rng.range(0, 2) != 0) {
            int size =
                static_cast<int>(chunk_total_size(g_song.slots[0].track_pos[g_song.write_track]));
            limit_at_free(static_cast<uint32_t>(rng.range(size / 2, 3 * size + 64)));
        }
        for (int step = 0; step < 60; step++) {
            g_ui.alt_mode = rng.range(0, 3) == 0 ? 2 : 0;
            int what = rng.range(0, 9);
            if (what <= 2) {
                event_list_click(xs[rng.range(0, 4)], 81 + 16 * rng.range(0, 12) + 3);
            } else if (what <= 5) {
                ScreenPoint p = event_list_point(38 + rng.range(0, 5)); // value and scroll
                event_list_click(p.x, p.y);
            } else if (what == 6) {
                ScreenPoint p = event_list_point(36 + rng.range(0, 1)); // KEY, DEL
                event_list_click(p.x, p.y);
            } else {
                StoreSnapshot before = store_snapshot();
                int shown = out_of_memory_shown();
                bool open = event_is_open();
                event_list_click(ENTER_BOX_POINT.x, ENTER_BOX_POINT.y);
                commits_seen += open ? 1 : 0;
                if (!open) {
                    ASSERT_TRUE(store_unchanged(before)) << "ENTER with nothing selected";
                }
                if (out_of_memory_shown() != shown) {
                    failures_seen++;
                    ASSERT_EQ(out_of_memory_shown(), shown + 1) << "seed " << seed;
                    ASSERT_TRUE(store_unchanged(before)) << "seed " << seed;
                }
            }
            g_ui.alt_mode = 0;
            ASSERT_TRUE(arena_tiled()) << "seed " << seed << " step " << step;
            for (int t = 0; t < 3; t++) {
                // Notes pair once the list has brought the track into the working form.
                bool paired = t == g_song.write_track && g_song.slots[0].track_normalized[t];
                ASSERT_TRUE(track_sound(0, t, paired)) << "seed " << seed << " step " << step;
            }
        }
        g_song.song_modified_mask = 0; // the next load asks nothing
    }
    // The run must have reached both outcomes to mean anything.
    EXPECT_GT(commits_seen, 20);
    EXPECT_GT(failures_seen, 0);
}

} // namespace
