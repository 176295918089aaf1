// Replays the committed corpus of damaged files (tests/data/invalid/<defect>/) and of valid
// files (tests/data/valid/): damage meets "Fail data !!" with the store unchanged, or a safe
// reading whose tracks are well formed and survive a save and a reload.
#include "songcore/event_parse.h"
#include "songcore/smf_files.h"
#include "tests/support/smf_random.h"
#include "tests/support/song_fixture.h"

#include <filesystem>
#include <set>

namespace {

namespace fs = std::filesystem;

// Defects that no reading can make sense of.
const std::set<std::string> MUST_FAIL = {"short-file", "header-length-below-6",
                                         "header-length-past-end", "track-count-zero",
                                         "division-zero"};

std::vector<fs::path> files_below(const std::string& dir) {
    std::vector<fs::path> files;
    for (const auto& entry : fs::recursive_directory_iterator(dir)) {
        if (entry.is_regular_file()) {
            files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

// Every track of the current bank ends in a real end of track inside its chunk.
::testing::AssertionResult tracks_well_formed() {
    for (int t = 0; t < 64; t++) {
        TrackWalk walk = track_walk_begin(g_song.slots[g_song.current_bank].track_pos[t]);
        TrackEvent e;
        int32_t last = 0;
        while (event_parse(walk, e)) {
            if (e.tick < last) {
                return ::testing::AssertionFailure() << "track " << t + 1 << " goes back in time";
            }
            last = e.tick;
        }
        if (e.synthetic_end) {
            return ::testing::AssertionFailure() << "track " << t + 1 << " has no end of track";
        }
    }
    const MeasureTable& mt = g_song.measure_table;
    if (mt.last_measure < 0 || mt.last_measure > 999) {
        return ::testing::AssertionFailure() << "last_measure " << mt.last_measure;
    }
    for (int m = 1; m <= mt.last_measure && m < 999; m++) {
        if (mt.measures[m].start_tick <= mt.measures[m - 1].start_tick) {
            return ::testing::AssertionFailure() << "measure " << m << " does not advance";
        }
    }
    if (g_song.ticks_per_midi_clock < 1 || g_song.time_base < 1) {
        return ::testing::AssertionFailure() << "time base " << g_song.time_base;
    }
    return ::testing::AssertionSuccess();
}

} // namespace

using SmfCorpusTest = SongFixture;

TEST_F(SmfCorpusTest, DamagedFilesFailCleanlyOrReadSafely) {
    auto files = files_below(test_data_dir() + "/invalid");
    ASSERT_GE(files.size(), 30u);
    for (const fs::path& file : files) {
        std::string defect = file.parent_path().filename().string();
        SCOPED_TRACE(defect + "/" + file.filename().string());
        SetUp();
        ASSERT_EQ(load_bytes(random_smf(1, {}), "previous.mid"), SongLoadResult::loaded);
        g_song.song_modified_mask = 0;
        StoreSnapshot before = store_snapshot();
        Bytes bytes = read_file_bytes(file.string());
        SongLoadResult result = load_bytes(bytes, "damaged.mid");
        if (MUST_FAIL.count(defect) != 0) {
            EXPECT_EQ(result, SongLoadResult::not_loaded);
        }
        if (result == SongLoadResult::not_loaded) {
            EXPECT_EQ(last_status(), "Fail data !!");
            EXPECT_TRUE(store_unchanged(before));
            continue;
        }
        EXPECT_TRUE(tracks_well_formed());
        // What was read survives a save and a reload unchanged.
        std::vector<Bytes> tracks;
        for (int t = 0; t < g_song.track_count; t++) {
            tracks.push_back(track_bytes(0, t));
        }
        SongSlot& slot = g_song.slots[0];
        snprintf(slot.song_path, sizeof slot.song_path, "%s", dir.file("resaved.mid").c_str());
        g_headless.default_answer = true;
        ASSERT_EQ(song_save(1), 1);
        ASSERT_EQ(load_bytes(read_file_bytes(dir.file("resaved.mid")), "again.mid"),
                  SongLoadResult::loaded);
        ASSERT_EQ(g_song.track_count, static_cast<int>(tracks.size()));
        for (int t = 0; t < g_song.track_count; t++) {
            EXPECT_EQ(track_bytes(0, t), tracks[static_cast<size_t>(t)]) << "track " << t + 1;
        }
    }
}

TEST_F(SmfCorpusTest, ValidFilesLoadAndSaveUnchanged) {
    auto files = files_below(test_data_dir() + "/valid");
    ASSERT_GE(files.size(), 5u);
    for (const fs::path& file : files) {
        SCOPED_TRACE(file.filename().string());
        SetUp();
        Bytes bytes = read_file_bytes(file.string());
        ASSERT_EQ(load_bytes(bytes, "valid.mid"), SongLoadResult::loaded);
        EXPECT_TRUE(tracks_well_formed());
        EXPECT_EQ(g_song.song_modified_mask, 0u);
        SongSlot& slot = g_song.slots[0];
        snprintf(slot.song_path, sizeof slot.song_path, "%s", dir.file("out.mid").c_str());
        g_headless.default_answer = true;
        ASSERT_EQ(song_save(1), 1);
        Bytes saved = read_file_bytes(dir.file("out.mid"));
        ASSERT_LE(saved.size(), bytes.size());
        Bytes expected(bytes.begin(), bytes.begin() + static_cast<long>(saved.size()));
        expected[9] = g_song.track_count == 1 ? 0 : 1;
        expected[11] = static_cast<uint8_t>(g_song.track_count);
        EXPECT_EQ(saved, expected);
    }
}
