// Loading Standard MIDI Files: structure checks, messages, track 1 lengthening, names, and
// that a file which fails leaves the whole store as it was.
#include "songcore/event_parse.h"
#include "songcore/smf_files.h"
#include "tests/support/smf_random.h"
#include "tests/support/song_fixture.h"

#include "common/text_sjis.h"

#include <cstring>

using SmfReaderTest = SongFixture;

namespace {

Bytes simple_track(uint8_t channel, uint32_t end_delta = 0) {
    return concat({ev(0, {static_cast<uint8_t>(0x90 | channel), 60, 100}),
                   ev(480, {static_cast<uint8_t>(0x80 | channel), 60, 0}),
                   end_of_track(end_delta)});
}

// A one-track song of exactly `size` file bytes, most of them one exclusive message.
Bytes exclusive_smf(uint32_t size) {
    // Header, chunk header, delta, F0, the length's bytes and the end of track.
    uint32_t data = size - 14 - 8 - 2 - 4;
    data -= static_cast<uint32_t>(vlq_bytes(data - 4).size());
    Bytes events = concat({Bytes{0x00, 0xF0}, vlq_bytes(data), Bytes(data, 0x11), end_of_track()});
    Bytes file = smf_file(0, 480, {events});
    EXPECT_EQ(file.size(), size);
    return file;
}

} // namespace

TEST_F(SmfReaderTest, FormatZeroLoadsAsOneTrackInPlace) {
    Bytes file = smf_file(0, 480, {concat({meta_text(0, 3, "Title"), simple_track(0)})});
    ASSERT_EQ(load_bytes(file), SongLoadResult::loaded);
    EXPECT_EQ(g_song.track_count, 1);
    EXPECT_EQ(g_song.time_base, 480);
    EXPECT_EQ(track_bytes(0, 0), Bytes(file.begin() + 14, file.end()));
    EXPECT_STREQ(g_song.slots[0].song_title, "Title");
    EXPECT_STREQ(g_song.current_file_name, "song");
    EXPECT_STREQ(g_song.slots[0].song_file_name, "song");
    EXPECT_TRUE(g_song.slots[0].song_has_path);
    EXPECT_EQ(std::string(g_song.slots[0].song_path), dir.file("song.mid"));
    EXPECT_EQ(g_song.song_modified_mask, 0u);
}

TEST_F(SmfReaderTest, FormatOneTracksLoadInFileOrderAndSeventyAreCutToSixtyFour) {
    std::vector<Bytes> tracks;
    for (int t = 0; t < 70; t++) {
        tracks.push_back(concat({meta_text(0, 3, "T" + std::to_string(t + 1)), end_of_track()}));
    }
    ASSERT_EQ(load_bytes(smf_file(1, 480, tracks)), SongLoadResult::loaded);
    EXPECT_EQ(g_song.track_count, 64);
    for (int t = 0; t < 64; t++) {
        EXPECT_EQ(std::string(g_song.track_names[t]), "T" + std::to_string(t + 1));
    }
    // The image ends with track 64: chunks 65 to 70 are not kept.
    EXPECT_EQ(g_song.slots[0].track_pos[63] + chunk_data_length(g_song.slots[0].track_pos[63]),
              g_song.arena_end);
}

TEST_F(SmfReaderTest, AnyChunkIdIsATrackAndChunksAfterTheAnnouncedOnesAreIgnored) {
    Bytes xfih = {'X', 'F', 'I', 'H', 0, 0, 0, 4, 0x00, 0xFF, 0x2F, 0x00};
    Bytes trailing = {'X', 'F', 'K', 'M', 0, 0, 0, 2, 0xAA, 0xBB};
    Bytes file = concat({header_chunk(1, 2, 480), track_chunk(simple_track(0)), xfih, trailing});
    ASSERT_EQ(load_bytes(file), SongLoadResult::loaded);
    EXPECT_EQ(g_song.track_count, 2);
    EXPECT_EQ(track_bytes(0, 1), xfih);
    EXPECT_EQ(g_song.slots[0].track_pos[1] + 4, g_song.arena_end);
}

TEST_F(SmfReaderTest, DivisionIsTakenAsItIs) {
    ASSERT_EQ(load_bytes(smf_file(1, 96, {simple_track(0)})), SongLoadResult::loaded);
    EXPECT_EQ(g_song.time_base, 96);
    EXPECT_EQ(g_song.ticks_per_midi_clock, 4);
    // Below 24 ticks per quarter a MIDI clock still lasts one tick.
    ASSERT_EQ(load_bytes(smf_file(1, 12, {simple_track(0)})), SongLoadResult::loaded);
    EXPECT_EQ(g_song.ticks_per_midi_clock, 1);
}

TEST_F(SmfReaderTest, TrackOneIsLengthenedToTheLongestTrackWithoutMarkingTheBank) {
    Bytes file = smf_file(
        1, 480,
        {end_of_track(1920), simple_track(1), concat({ev(0, {0xC2, 3}), end_of_track(7680)})});
    ASSERT_EQ(load_bytes(file), SongLoadResult::loaded);
    EXPECT_EQ(track_data(0, 0), end_of_track(7680));
    EXPECT_EQ(g_song.measure_table.song_end_tick, 7680);
    EXPECT_EQ(g_song.measure_table.last_measure, 4);
    EXPECT_EQ(g_song.song_modified_mask, 0u);
}

TEST_F(SmfReaderTest, LoadReplacesOnlyTheCurrentBank) {
    ASSERT_EQ(load_bytes(random_smf(1, {})), SongLoadResult::loaded);
    song_bank_select(2);
    ASSERT_EQ(load_bytes(random_smf(2, {}), "two.mid"), SongLoadResult::loaded);
    g_song.song_modified_mask = 1u << 5;
    Bytes bank0_track2 = track_bytes(0, 2);
    Bytes bank7_track0 = track_bytes(7, 0);
    ASSERT_EQ(load_bytes(random_smf(3, {.tracks = 2}), "three.mid"), SongLoadResult::loaded);
    EXPECT_EQ(track_bytes(0, 2), bank0_track2);
    EXPECT_EQ(track_bytes(7, 0), bank7_track0);
    EXPECT_EQ(g_song.track_count, 2);
    EXPECT_EQ(track_bytes(2, 2).size(), 12u); // old track 3 of this bank is empty now
    EXPECT_EQ(g_song.song_modified_mask, 1u << 5);
    // The arena holds exactly the chunks the slots reference.
    uint64_t used = 0;
    for (int s = 0; s < 11; s++) {
        used += chunk_total_size(g_song.slots[s].header_pos);
        for (int t = 0; t < 64; t++) {
            used += chunk_total_size(g_song.slots[s].track_pos[t]);
        }
    }
    EXPECT_EQ(used, g_song.arena_end);
}

TEST_F(SmfReaderTest, DamagedFilesFailWithTheirMessageAndChangeNothing) {
    ASSERT_EQ(load_bytes(random_smf(7, {})), SongLoadResult::loaded);
    g_song.song_modified_mask = 1;
    g_headless.default_answer = true;
    const Bytes minimal = smf_file(0, 480, {end_of_track()});
    struct Case {
        const char* defect;
        Bytes bytes;
        const char* message;
    } cases[] = {
        {"empty", {}, "Fail data !!"},
        {"24 bytes", Bytes(minimal.begin(), minimal.begin() + 24), "Fail data !!"},
        {"RIFF", concat({Bytes{'R', 'I', 'F', 'F'}, smf_file(0, 480, {end_of_track()})}),
         "Fail data !!"},
        {"header length 4", concat({header_chunk(0, 1, 480, 6), track_chunk(end_of_track())}),
         "Fail data !!"},
        {"header past the end", concat({header_chunk(0, 1, 480, 1000)}), "Fail data !!"},
        {"no tracks announced", concat({header_chunk(0, 0, 480), track_chunk(end_of_track())}),
         "Fail data !!"},
        {"division 0", smf_file(0, 0, {end_of_track()}), "Fail data !!"},
        {"no room for a chunk after the header",
         concat({header_chunk(1, 3, 480, 12), Bytes{'M', 'T', 'r', 'k', 0}}), "Fail data !!"},
    };
    cases[3].bytes[7] = 4;
    for (const Case& c : cases) {
        StoreSnapshot before = store_snapshot();
        headless_reset();
        EXPECT_EQ(load_bytes(c.bytes, "bad.mid"), SongLoadResult::not_loaded) << c.defect;
        EXPECT_EQ(last_status(), c.message) << c.defect;
        EXPECT_TRUE(store_unchanged(before)) << c.defect;
        EXPECT_FALSE(g_headless.wait_cursor) << c.defect;
    }
}

TEST_F(SmfReaderTest, MissingFileAndCloseErrorChangeNothing) {
    ASSERT_EQ(load_bytes(random_smf(8, {})), SongLoadResult::loaded);
    StoreSnapshot before = store_snapshot();
    snprintf(g_song_files.file_path, sizeof g_song_files.file_path, "%s",
             dir.file("missing.mid").c_str());
    EXPECT_EQ(song_load(), SongLoadResult::not_loaded);
    EXPECT_EQ(last_status(), "file not found");
    EXPECT_TRUE(store_unchanged(before));

    g_headless.fail_next_read_close = true;
    EXPECT_EQ(load_bytes(random_smf(9, {}), "other.mid"), SongLoadResult::not_loaded);
    EXPECT_EQ(last_status(), "close error");
    EXPECT_TRUE(store_unchanged(before));
}

TEST_F(SmfReaderTest, FileLargerThanTheFreeSpaceGivesMemoryOver) {
    // Bank 2 takes all but about 250 K; the current bank then holds a 150 K song.
    song_bank_select(2);
    uint32_t free_bytes = g_song.config.arena_limit - g_song.arena_end;
    ASSERT_EQ(load_bytes(exclusive_smf(free_bytes - 250 * 1024), "big.mid"),
              SongLoadResult::loaded);
    song_bank_select(0);
    ASSERT_EQ(load_bytes(exclusive_smf(150 * 1024), "small.mid"), SongLoadResult::loaded);
    EXPECT_NEAR(free_memory_kb(), 100, 1);

    StoreSnapshot before = store_snapshot();
    EXPECT_EQ(load_bytes(exclusive_smf(300 * 1024), "too_big.mid"), SongLoadResult::not_loaded);
    EXPECT_EQ(last_status(), "memory over");
    EXPECT_TRUE(store_unchanged(before));

    // The space of the song being replaced counts: a file that fits once it is gone loads.
    ASSERT_EQ(load_bytes(exclusive_smf(200 * 1024), "fits.mid"), SongLoadResult::loaded);
    EXPECT_NEAR(free_memory_kb(), 50, 1);

    // A file larger than the whole arena is refused before it is read whole.
    EXPECT_EQ(load_bytes(exclusive_smf(5 * 1024 * 1024), "huge.mid"), SongLoadResult::not_loaded);
    EXPECT_EQ(last_status(), "memory over");
}

// The reader grades what it found and leaves asking and telling to song_load().
TEST_F(SmfReaderTest, TheReaderGradesItsResultWithoutAskingOrTelling) {
    ASSERT_EQ(load_bytes(random_smf(17, {})), SongLoadResult::loaded);
    g_song.song_modified_mask = 1; // unsaved: song_load() would ask first
    headless_reset();
    auto file_of = [&](const Bytes& bytes, const char* name) {
        write_file_bytes(dir.file(name), bytes);
        return dir.file(name);
    };
    EXPECT_EQ(smf_file_load(dir.file("missing.mid").c_str()), SmfLoadResult::not_found);
    EXPECT_EQ(smf_file_load(file_of({1, 2, 3}, "short.mid").c_str()), SmfLoadResult::invalid);
    g_headless.fail_next_read_close = true;
    EXPECT_EQ(smf_file_load(file_of(random_smf(18, {}), "close.mid").c_str()),
              SmfLoadResult::close_error);
    EXPECT_EQ(smf_file_load(file_of(exclusive_smf(5 * 1024 * 1024), "huge.mid").c_str()),
              SmfLoadResult::memory_over);
    std::vector<Bytes> tracks(70, simple_track(0));
    EXPECT_EQ(smf_file_load(file_of(smf_file(1, 480, tracks), "many.mid").c_str()),
              SmfLoadResult::incomplete);
    EXPECT_EQ(g_song.track_count, 64);
    EXPECT_EQ(smf_file_load(file_of(smf_file(0, 96, {simple_track(0)}), "one.mid").c_str()),
              SmfLoadResult::complete);
    EXPECT_EQ(g_song.time_base, 96);
    EXPECT_TRUE(g_headless.questions.empty());
    EXPECT_TRUE(g_headless.status_texts.empty());
    EXPECT_TRUE(g_headless.messages.empty());

    // What song_load() shows for each result.
    const std::pair<SmfLoadResult, const char*> texts[] = {
        {SmfLoadResult::incomplete, "Tracks >64 cut"}, {SmfLoadResult::not_found, "file not found"},
        {SmfLoadResult::close_error, "close error"},   {SmfLoadResult::invalid, "Fail data !!"},
        {SmfLoadResult::memory_over, "memory over"},
    };
    for (const auto& [result, text] : texts) {
        smf_load_report(result);
        EXPECT_EQ(last_status(), text);
    }
    size_t shown = g_headless.status_texts.size();
    smf_load_report(SmfLoadResult::complete);
    EXPECT_EQ(g_headless.status_texts.size(), shown);
}

TEST_F(SmfReaderTest, JapaneseInterfaceAsksBeforeLoadingOverUnsavedChanges) {
    ASSERT_EQ(load_bytes(random_smf(14, {})), SongLoadResult::loaded);
    g_song.song_modified_mask = 1;
    g_headless.language = UiLanguage::japanese;
    StoreSnapshot before = store_snapshot();
    g_headless.answers = {false};
    EXPECT_EQ(load_bytes(random_smf(15, {}), "b.mid"), SongLoadResult::not_loaded);
    EXPECT_TRUE(store_unchanged(before));
    ASSERT_EQ(g_headless.questions.size(), 1u);
    EXPECT_EQ(sjis_to_utf8(g_headless.questions[0].caption), "ロード確認");
    EXPECT_EQ(sjis_to_utf8(g_headless.questions[0].text),
              "データが保存されていませんがロードしますか？");
    g_headless.answers = {true};
    EXPECT_EQ(load_bytes(random_smf(15, {}), "b.mid"), SongLoadResult::loaded);
    EXPECT_EQ(g_song.song_modified_mask, 0u);

    // The English interface loads without asking.
    g_headless.language = UiLanguage::english;
    g_song.song_modified_mask = 1;
    EXPECT_EQ(load_bytes(random_smf(16, {}), "c.mid"), SongLoadResult::loaded);
    EXPECT_EQ(g_headless.questions.size(), 2u);
}

TEST_F(SmfReaderTest, CutShortAndUnterminatedTracksAreReadUpToTheDamage) {
    Bytes track2 = concat({ev(0, {0x91, 64, 90}), ev(240, {0x81, 64, 0}), ev(10, {0xC1, 7})});
    Bytes file = concat({header_chunk(1, 3, 480), track_chunk(simple_track(0, 2000)),
                         track_chunk(track2), Bytes{'M', 'T', 'r', 'k', 0, 0, 0x10, 0},
                         ev(0, {0x92, 50, 80}), ev(100, {0x82, 50, 0})});
    ASSERT_EQ(load_bytes(file), SongLoadResult::loaded);
    EXPECT_EQ(g_song.track_count, 3);
    // The unterminated track gets an end of track where its events stop.
    EXPECT_EQ(track_data(0, 1), concat({track2, end_of_track()}));
    // The chunk that claims 4096 bytes is cut to the file and closed the same way.
    EXPECT_EQ(track_data(0, 2),
              concat({ev(0, {0x92, 50, 80}), ev(100, {0x82, 50, 0}), end_of_track()}));
    EXPECT_EQ(g_song.song_modified_mask, 0u);
}

TEST_F(SmfReaderTest, FileNameFromPathKeepsEightBytesAndTheRootSeparator) {
    struct Case {
        const char* path;
        const char* name;
        const char* directory;
    } cases[] = {{"/song.mid", "song", "/"},
                 {"/music/longfilename.mid", "longfile", "/music"},
                 {"/a.b/tune", "tune", "/a.b"},
                 {"plain.mid", "plain", "/a.b"}, // no separator: the directory stays
                 {"/x/.hidden", "", "/x"}};
    for (const Case& c : cases) {
        snprintf(g_song_files.file_path, sizeof g_song_files.file_path, "%s", c.path);
        file_name_from_path();
        EXPECT_STREQ(g_song.current_file_name, c.name) << c.path;
        EXPECT_STREQ(g_song_files.directory, c.directory) << c.path;
    }
}

TEST_F(SmfReaderTest, OpenDialogFillsThePathOnlyOnOk) {
    strcpy(g_song_files.file_path, "/before.mid");
    EXPECT_FALSE(open_dialog());
    EXPECT_STREQ(g_song_files.file_path, "/before.mid");
    g_headless.dialog_paths = {"/chosen/file.mid"};
    EXPECT_TRUE(open_dialog());
    EXPECT_STREQ(g_song_files.file_path, "/chosen/file.mid");
}

TEST_F(SmfReaderTest, ConverterStoreTakesThirtyTwoTracksWithinItsOwnLimit) {
    song_store_init(CONVERTER_STORE);
    std::vector<Bytes> tracks;
    for (int t = 0; t < 40; t++) {
        tracks.push_back(concat({meta_text(0, 3, "T" + std::to_string(t + 1)), end_of_track(t)}));
    }
    ASSERT_EQ(load_bytes(smf_file(1, 480, tracks)), SongLoadResult::loaded);
    EXPECT_EQ(g_song.track_count, 32);
    EXPECT_STREQ(g_song.track_names[31], "T32");
    EXPECT_EQ(g_song.measure_table.song_end_tick, 31); // track 1 stretched to track 32's end
    // 2 MB is the whole store: a file of 2.1 MB cannot fit, a 2.0 MB one can.
    EXPECT_EQ(load_bytes(exclusive_smf(2100 * 1024), "big.mid"), SongLoadResult::not_loaded);
    EXPECT_EQ(last_status(), "memory over");
    EXPECT_EQ(load_bytes(exclusive_smf(2000 * 1024), "fits.mid"), SongLoadResult::loaded);
}

namespace {

class BankSelectNames : public SongFixture {};

TEST_F(BankSelectNames, TrackNamesFollowTheBankChosen) {
    auto song = [](const char* title, const char* track) {
        return smf_file(1, 480,
                        {concat({meta_text(0, 0x03, title), end_of_track()}),
                         concat({meta_text(0, 0x03, track), end_of_track()})});
    };
    ASSERT_EQ(load_bytes(song("First", "Alpha"), "a.mid"), SongLoadResult::loaded);
    song_bank_select(1);
    ASSERT_EQ(load_bytes(song("Second", "Beta"), "b.mid"), SongLoadResult::loaded);
    EXPECT_STREQ(g_song.track_names[1], "Beta");
    song_bank_select(0);
    EXPECT_STREQ(g_song.track_names[1], "Alpha");
    EXPECT_STREQ(g_song.slots[0].song_title, "First");
    song_bank_select(2); // empty bank: no names left over
    EXPECT_STREQ(g_song.track_names[1], " ");
}

} // namespace
