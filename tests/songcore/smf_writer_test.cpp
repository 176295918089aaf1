// Saving: the chunks go out as stored, with the format and track count set; the overwrite
// question; failures that keep the previous file; and byte-exact round trips.
#include "songcore/smf_files.h"
#include "tests/support/smf_random.h"
#include "tests/support/song_fixture.h"

#include "common/text_sjis.h"
#include "platform/platform.h"

#include <filesystem>

using SmfWriterTest = SongFixture;

namespace {

// Gives the current bank a file of its own, so a save goes there without a dialog.
void bank_path_set(const std::string& path) {
    SongSlot& slot = g_song.slots[g_song.current_bank];
    snprintf(slot.song_path, sizeof slot.song_path, "%s", path.c_str());
    slot.song_has_path = true;
}

// Saves the current bank to `path` without a dialog, answering Yes to an overwrite.
int save_to(const std::string& path) {
    bank_path_set(path);
    g_headless.answers.push_back(true);
    return song_save(1);
}

// The file as the writer must produce it from a loaded file: format low byte and the whole
// track count set, only the announced (at most 64) chunks.
Bytes expected_save(const Bytes& file, int tracks) {
    uint32_t header_length = (file[4] << 24) | (file[5] << 16) | (file[6] << 8) | file[7];
    size_t end = 8 + header_length;
    for (int t = 0; t < tracks; t++) {
        end += 8 + ((file[end + 4] << 24) | (file[end + 5] << 16) | (file[end + 6] << 8) |
                    file[end + 7]);
    }
    Bytes out(file.begin(), file.begin() + static_cast<long>(end));
    out[9] = tracks == 1 ? 0 : 1;
    out[10] = 0;
    out[11] = static_cast<uint8_t>(tracks);
    return out;
}

} // namespace

TEST_F(SmfWriterTest, LoadedFilesSaveByteForByte) {
    struct Case {
        const char* name;
        RandomSmfOptions options;
        int saved_tracks;
    } cases[] = {
        {"format 0", {.format = 0, .tracks = 1}, 1},
        {"format 1", {.format = 1, .tracks = 8}, 8},
        {"division 96", {.division = 96}, 4},
        {"70 announced tracks", {.tracks = 70, .events_per_track = 5}, 64},
        {"10-byte header", {.header_length = 10}, 4},
        {"chunks after the announced ones", {.trailing_chunks = 2}, 4},
        {"format 1 that says 0", {.format = 0, .tracks = 3}, 3},
    };
    uint32_t seed = 100;
    for (const Case& c : cases) {
        for (int round = 0; round < 5; round++) {
            Bytes file = random_smf(seed++, c.options);
            ASSERT_EQ(load_bytes(file, "in.mid"), SongLoadResult::loaded) << c.name;
            ASSERT_EQ(save_to(dir.file("out.mid")), 1);
            EXPECT_EQ(read_file_bytes(dir.file("out.mid")), expected_save(file, c.saved_tracks))
                << c.name << " seed " << seed - 1;
        }
    }
}

TEST_F(SmfWriterTest, FormatAndTrackCountFollowTheTracksInUse) {
    ASSERT_EQ(load_bytes(random_smf(1, {.tracks = 3})), SongLoadResult::loaded);
    g_song.track_count = 1;
    ASSERT_EQ(save_to(dir.file("one.mid")), 1);
    Bytes one = read_file_bytes(dir.file("one.mid"));
    EXPECT_EQ(one[9], 0);
    EXPECT_EQ(one[11], 1);
    g_song.track_count = 3;
    ASSERT_EQ(save_to(dir.file("three.mid")), 1);
    Bytes three = read_file_bytes(dir.file("three.mid"));
    EXPECT_EQ(three[9], 1);
    EXPECT_EQ(three[11], 3);
    EXPECT_GT(three.size(), one.size());
}

TEST_F(SmfWriterTest, SaveBindsTheBankToItsFileAndClearsItsChange) {
    g_song.song_modified_mask = 0b101;
    g_headless.dialog_paths = {dir.file("A Very Long Name.mid")};
    EXPECT_EQ(song_save(0), 1);
    EXPECT_EQ(g_song.song_modified_mask, 0b100u);
    EXPECT_STREQ(g_song.current_file_name, "A Very L");
    EXPECT_STREQ(g_song.slots[0].song_file_name, "A Very L");
    EXPECT_TRUE(g_song.slots[0].song_has_path);
    EXPECT_EQ(read_file_bytes(dir.file("A Very Long Name.mid")),
              concat({header_chunk(0, 1, 480), track_chunk(end_of_track())}));
    EXPECT_TRUE(g_headless.questions.empty()); // new file: nothing to overwrite
}

TEST_F(SmfWriterTest, PeriodAnywhereInThePathStopsTheExtension) {
    std::string folder = dir.file("my.songs");
    ASSERT_TRUE(std::filesystem::create_directory(folder));
    g_headless.dialog_paths = {folder + "/tune", dir.file("plain")};
    EXPECT_EQ(song_save(0), 1);
    EXPECT_TRUE(platform_file_exists((folder + "/tune").c_str()));
    EXPECT_EQ(song_save(0), 1);
    EXPECT_TRUE(platform_file_exists(dir.file("plain.MID").c_str()));
}

TEST_F(SmfWriterTest, DialogProposesTheBankNameOrTheLastDirectory) {
    snprintf(g_song_files.file_path, sizeof g_song_files.file_path, "%s", "/music/old/x.mid");
    file_name_from_path();
    EXPECT_EQ(song_save(0), 0); // cancelled
    EXPECT_EQ(g_headless.dialog_proposals.back(), "/music/old");
    strcpy(g_song.slots[0].song_file_name, "TUNE");
    EXPECT_EQ(song_save(0), 0);
    EXPECT_EQ(g_headless.dialog_proposals.back(), "TUNE.MID");
    strcpy(g_song.slots[0].song_file_name, " ");
    EXPECT_EQ(song_save(1), 0); // no path yet: the dialog runs even when asked not to
    EXPECT_EQ(g_headless.dialog_proposals.back(), "/music/old");
}

TEST_F(SmfWriterTest, OverwriteIsAskedAndNoWritesNothing) {
    write_file_bytes(dir.file("keep.mid"), {1, 2, 3});
    bank_path_set(dir.file("keep.mid"));
    g_song.song_modified_mask = 1;
    g_headless.answers = {false};
    EXPECT_EQ(song_save(1), 1);
    EXPECT_EQ(read_file_bytes(dir.file("keep.mid")), (Bytes{1, 2, 3}));
    EXPECT_EQ(g_song.song_modified_mask, 1u);
    ASSERT_EQ(g_headless.questions.size(), 1u);
    EXPECT_EQ(sjis_to_utf8(g_headless.questions[0].caption), "メッセージ");
    EXPECT_EQ(sjis_to_utf8(g_headless.questions[0].text),
              dir.file("keep.mid") +
                  "\n\nすでに同じ名前のファイルがあります。\n上書き保存しますか？\r\n");
    g_headless.answers = {true};
    EXPECT_EQ(song_save(1), 1);
    EXPECT_EQ(read_file_bytes(dir.file("keep.mid")).size(), 26u);
    EXPECT_EQ(g_song.song_modified_mask, 0u);
}

// The writer grades what happened and leaves the status text to song_save().
TEST_F(SmfWriterTest, TheWriterGradesItsResultWithoutTelling) {
    ASSERT_EQ(load_bytes(random_smf(6, {})), SongLoadResult::loaded);
    ASSERT_EQ(save_to(dir.file("reference.mid")), 1);
    struct Case {
        const char* fault;
        void (*arm)();
        SmfSaveResult result;
    } cases[] = {
        {"none", [] {}, SmfSaveResult::written},
        {"header write", [] { g_headless.fail_write_after = 10; }, SmfSaveResult::write_error},
        {"close", [] { g_headless.fail_next_write_close = true; }, SmfSaveResult::close_error},
        {"create", [] { g_headless.fail_open_write = true; }, SmfSaveResult::cannot_create},
        {"rename", [] { g_headless.fail_rename = true; }, SmfSaveResult::write_error},
    };
    for (const Case& c : cases) {
        headless_reset();
        g_song.song_modified_mask = 1;
        c.arm();
        EXPECT_EQ(smf_file_save(dir.file("graded.mid").c_str()), c.result) << c.fault;
        EXPECT_TRUE(g_headless.status_texts.empty()) << c.fault;
        EXPECT_TRUE(g_headless.questions.empty()) << c.fault;
        EXPECT_FALSE(g_headless.wait_cursor) << c.fault;
        EXPECT_EQ(g_song.song_modified_mask, 1u) << c.fault; // bookkeeping is song_save()'s
    }
    EXPECT_EQ(read_file_bytes(dir.file("graded.mid")), read_file_bytes(dir.file("reference.mid")));
}

TEST_F(SmfWriterTest, FailedSavesKeepThePreviousFileAndTheChange) {
    ASSERT_EQ(load_bytes(random_smf(5, {})), SongLoadResult::loaded);
    Bytes previous = {9, 9, 9};
    write_file_bytes(dir.file("target.mid"), previous);
    struct Case {
        const char* fault;
        void (*arm)();
        const char* message;
    } cases[] = {
        {"header write", [] { g_headless.fail_write_after = 10; }, "Write error"},
        {"track write", [] { g_headless.fail_write_after = 100; }, "Write error"},
        {"close", [] { g_headless.fail_next_write_close = true; }, "close error"},
        {"create", [] { g_headless.fail_open_write = true; }, "drive not found"},
        {"rename", [] { g_headless.fail_rename = true; }, "Write error"},
    };
    for (const Case& c : cases) {
        headless_reset();
        g_song.song_modified_mask = 1;
        c.arm();
        EXPECT_EQ(save_to(dir.file("target.mid")), 1) << c.fault;
        EXPECT_EQ(last_status(), c.message) << c.fault;
        EXPECT_EQ(read_file_bytes(dir.file("target.mid")), previous) << c.fault;
        EXPECT_EQ(g_song.song_modified_mask, 1u) << c.fault;
        EXPECT_FALSE(g_headless.wait_cursor) << c.fault;
        // No half-written file is left behind.
        int files = 0;
        for (const auto& entry : std::filesystem::directory_iterator(dir.path)) {
            files += entry.is_regular_file();
        }
        EXPECT_EQ(files, 2) << c.fault; // song.mid and target.mid
    }
}

namespace {

// The number of chunks after the header, and whether they end exactly at the file's end.
int chunks_after_header(const Bytes& file, bool& ends_exactly) {
    auto be32_at = [&](size_t p) {
        return (static_cast<uint32_t>(file[p]) << 24) | (file[p + 1] << 16) | (file[p + 2] << 8) |
               file[p + 3];
    };
    size_t p = 8 + be32_at(4);
    int count = 0;
    while (p + 8 <= file.size()) {
        p += 8 + be32_at(p + 4);
        count++;
    }
    ends_exactly = p == file.size();
    return count;
}

int header_track_count(const Bytes& file) {
    return (file[10] << 8) | file[11];
}

std::vector<Bytes> named_tracks(int count) {
    std::vector<Bytes> tracks;
    for (int t = 0; t < count; t++) {
        tracks.push_back(concat({meta_text(0, 3, "T" + std::to_string(t + 1)), end_of_track()}));
    }
    return tracks;
}

} // namespace

// A file of 300 tracks keeps its first 64; the saved header must say 64, high byte included,
// and the user is told that the rest were dropped.
TEST_F(SmfWriterTest, HeaderCountOfASongCutToSixtyFourTracksMatchesTheSavedChunks) {
    Bytes file = smf_file(1, 480, named_tracks(300));
    ASSERT_EQ(header_track_count(file), 300);
    ASSERT_EQ(load_bytes(file, "many.mid"), SongLoadResult::loaded);
    EXPECT_EQ(g_song.track_count, 64);
    EXPECT_EQ(last_status(), "Tracks >64 cut");

    ASSERT_EQ(save_to(dir.file("out.mid")), 1);
    Bytes saved = read_file_bytes(dir.file("out.mid"));
    bool ends_exactly = false;
    EXPECT_EQ(header_track_count(saved), 64);
    EXPECT_EQ(chunks_after_header(saved, ends_exactly), 64);
    EXPECT_TRUE(ends_exactly);
    Bytes expected = expected_save(file, 64);
    expected[10] = 0;
    EXPECT_EQ(saved, expected);
}

// A header may announce more tracks than the file holds: the bank keeps the tracks it got
// across bank switches, and a save states exactly the chunks it writes.
TEST_F(SmfWriterTest, HeaderCountOfASongWithFewerChunksThanAnnouncedFollowsItsTracks) {
    struct Case {
        int announced, held;
    } cases[] = {{300, 10}, {20, 10}, {70, 64}};
    for (const Case& c : cases) {
        SetUp();
        Bytes file = concat({header_chunk(1, static_cast<uint16_t>(c.announced), 480)});
        for (const Bytes& track : named_tracks(c.held)) {
            file = concat({file, track_chunk(track)});
        }
        ASSERT_EQ(load_bytes(file, "short.mid"), SongLoadResult::loaded) << c.announced;
        EXPECT_EQ(g_song.track_count, c.held) << c.announced;
        // Nothing was dropped: every chunk of the file was taken.
        EXPECT_NE(last_status(), "Tracks >64 cut") << c.announced;

        song_bank_select(1);
        song_bank_select(0);
        EXPECT_EQ(g_song.track_count, c.held) << c.announced;
        EXPECT_EQ(slot_header_track_count(0), c.held) << c.announced;

        ASSERT_EQ(save_to(dir.file("out.mid")), 1);
        Bytes saved = read_file_bytes(dir.file("out.mid"));
        bool ends_exactly = false;
        EXPECT_EQ(header_track_count(saved), c.held) << c.announced;
        EXPECT_EQ(chunks_after_header(saved, ends_exactly), c.held) << c.announced;
        EXPECT_TRUE(ends_exactly) << c.announced;
    }
}

// The question depends on the file being there, not on it being readable: the save replaces
// the file by a rename, which succeeds over a file this user may not read.
TEST_F(SmfWriterTest, OverwriteOfAnExistingFileThatCannotBeReadIsAsked) {
    write_file_bytes(dir.file("locked.mid"), {1, 2, 3});
    g_headless.unreadable_path = dir.file("locked.mid");
    bank_path_set(dir.file("locked.mid"));
    g_song.song_modified_mask = 1;
    g_headless.answers = {false};
    EXPECT_EQ(song_save(1), 1);
    ASSERT_EQ(g_headless.questions.size(), 1u);
    EXPECT_EQ(sjis_to_utf8(g_headless.questions[0].text),
              dir.file("locked.mid") +
                  "\n\nすでに同じ名前のファイルがあります。\n上書き保存しますか？\r\n");
    EXPECT_EQ(read_file_bytes(dir.file("locked.mid")), (Bytes{1, 2, 3}));
    EXPECT_EQ(g_song.song_modified_mask, 1u);
}
