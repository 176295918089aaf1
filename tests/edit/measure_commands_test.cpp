// Create, Copy, Delete, Insert, Erase, Clear Track and the backup, checked on the bytes
// of the tracks they leave.
#include "tests/edit/edit_fixture.h"

#include "common/status_line.h"

namespace {

using MeasureCommands = EditFixture;

// Track 2: a note from the middle of measure 1 into measure 2, one from measure 1 to
// measure 5, a controller in measure 2 and a note inside measure 3.
Bytes spanning_notes() {
    return concat({on(0, 62), on(960, 60), ev(1040, {0xB0, 7, 100}), off(880, 60), on(1120, 64),
                   off(500, 64), off(3500, 62), end_of_track(1600)});
}

TEST_F(MeasureCommands, EraseMeasuresTwoToThreeEndsNotesAtTheRangeStart) {
    load_song(5, {spanning_notes()});

    EXPECT_EQ(erase_measures(2, 2, 2), EditResult::done);

    // S = 1920, E = 5760: the note from 960 ends at 1920; the long note keeps its note-off
    // at 8000; the controller and the note inside the range are gone.
    EXPECT_EQ(track_data(0, 1),
              concat({on(0, 62), on(960, 60), off(960, 60), off(6080, 62), end_of_track(1600)}));
    EXPECT_EQ(g_edit.edit_mode, 0u);
    EXPECT_EQ(g_song.song_modified_mask, 1u);
}

TEST_F(MeasureCommands, EraseBeyondTheLastMeasureRunsToTheEndOfTrack) {
    load_song(5, {spanning_notes()});
    ASSERT_EQ(g_song.measure_table.last_measure, 5);

    EXPECT_EQ(erase_measures(2, 3, 4), EditResult::done);

    // From 3840 to the end: the long note's note-off moves to 3840, the end stays at 9600.
    EXPECT_EQ(track_data(0, 1), concat({on(0, 62), on(960, 60), ev(1040, {0xB0, 7, 100}),
                                        off(880, 60), off(960, 62), end_of_track(5760)}));
}

TEST_F(MeasureCommands, DeleteMeasureTwoMovesEveryTrackOneMeasureEarlier) {
    load_song(4, {concat({on(0, 60), off(480, 60), on(1520, 62), off(400, 62), on(1600, 64),
                          off(480, 64), end_of_track(0)})});

    EXPECT_EQ(delete_measures(2, 1), EditResult::done);

    EXPECT_EQ(track_data(0, 0),
              concat({tempo_event(0, 500000), time_signature(0, 4, 2), end_of_track(5760)}));
    // The shorter track first reaches the song's end (7680), then closes the gap.
    EXPECT_EQ(track_data(0, 1),
              concat({on(0, 60), off(480, 60), on(1600, 64), off(480, 64), end_of_track(3200)}));
    EXPECT_EQ(g_song.measure_table.song_end_tick, 5760);
    EXPECT_EQ(g_song.measure_table.last_measure, 3);
}

// A song with a title, a track name, and tempo and signature changes in every measure range:
// measure 1 (4/4, 0..1920) changes to 100 bpm at 960; measure 2 (3/4, 1920..3360) to 80 bpm
// at 2400; measure 3 (3/4, 3360..4800) to 60 bpm at 4080; measures 4 and 5 are 2/4
// (4800..5760..6720).
Bytes named_song() {
    Bytes conductor =
        concat({meta_text(0, 3, "Title"), tempo_event(0, 500000), time_signature(0, 4, 2),
                tempo_event(960, 600000), time_signature(960, 3, 2), tempo_event(480, 750000),
                tempo_event(1680, 1000000), time_signature(720, 2, 2), end_of_track(1920)});
    Bytes piano = concat({meta_text(0, 3, "Piano"), on(0, 64), off(480, 64), on(2880, 67),
                          off(480, 67), end_of_track(0)});
    return smf_file(1, 480, {conductor, piano});
}

// The measures deleted from the start take the names with them unless they are kept, and
// the music that now opens the song must keep the tempo and metre it had.
TEST_F(MeasureCommands, DeleteFromMeasureOneKeepsNamesAndTheTempoAndSignatureInForce) {
    ASSERT_EQ(load_bytes(named_song()), SongLoadResult::loaded);
    ASSERT_EQ(g_song.measure_table.measures[2].start_tick, 3360);
    ASSERT_EQ(g_song.measure_table.measures[4].start_tick, 5760);

    EXPECT_EQ(delete_measures(1, 2), EditResult::done);

    // S = 0, E = 3360: 80 bpm and 3/4 were in force at E; what followed moves 3360 earlier.
    EXPECT_EQ(track_data(0, 0),
              concat({meta_text(0, 3, "Title"), tempo_event(0, 750000), time_signature(0, 3, 2),
                      tempo_event(720, 1000000), time_signature(720, 2, 2), end_of_track(1920)}));
    EXPECT_EQ(track_data(0, 1),
              concat({meta_text(0, 3, "Piano"), on(0, 67), off(480, 67), end_of_track(2880)}));
    EXPECT_STREQ(g_song.slots[0].song_title, "Title");
    EXPECT_STREQ(g_song.track_names[1], "Piano");
    const MeasureEntry& first = g_song.measure_table.measures[0];
    EXPECT_EQ(first.numerator, 3);
    EXPECT_EQ(first.denominator, 4);
    EXPECT_EQ(first.tempo, 80u);
    EXPECT_EQ(g_song.measure_table.song_end_tick, 3360);

    // Measure 1 alone: 100 bpm was in force at its end; the 3/4 standing at E = 1920 comes
    // to tick 0 itself, so the 4/4 of the deleted measure is not kept beside it.
    SetUp();
    ASSERT_EQ(load_bytes(named_song()), SongLoadResult::loaded);
    EXPECT_EQ(delete_measures(1, 1), EditResult::done);
    EXPECT_EQ(track_data(0, 0),
              concat({meta_text(0, 3, "Title"), tempo_event(0, 600000), time_signature(0, 3, 2),
                      tempo_event(480, 750000), tempo_event(1680, 1000000),
                      time_signature(720, 2, 2), end_of_track(1920)}));
    EXPECT_EQ(g_song.measure_table.measures[0].tempo, 100u);
    EXPECT_EQ(g_song.measure_table.measures[0].numerator, 3);
}

TEST_F(MeasureCommands, EraseFromMeasureOneKeepsNamesAndTheTempoAndSignatureAtTickZero) {
    ASSERT_EQ(load_bytes(named_song()), SongLoadResult::loaded);

    EXPECT_EQ(erase_measures(1, 1, 2), EditResult::done);
    EXPECT_EQ(erase_measures(2, 1, 1), EditResult::done);

    // Track 1: what stood at tick 0 stays; the changes at 960, 1920 and 2400 are erased.
    EXPECT_EQ(track_data(0, 0),
              concat({meta_text(0, 3, "Title"), tempo_event(0, 500000), time_signature(0, 4, 2),
                      tempo_event(4080, 1000000), time_signature(720, 2, 2), end_of_track(1920)}));
    // Track 2: its name stays, the note of measure 1 goes.
    EXPECT_EQ(track_data(0, 1),
              concat({meta_text(0, 3, "Piano"), on(3360, 67), off(480, 67), end_of_track(0)}));
    EXPECT_STREQ(g_song.slots[0].song_title, "Title");
    EXPECT_STREQ(g_song.track_names[1], "Piano");
    EXPECT_EQ(g_song.measure_table.measures[0].tempo, 120u);
    EXPECT_EQ(g_song.measure_table.measures[0].numerator, 4);
}

TEST_F(MeasureCommands, DeleteFromALaterMeasureStillDeletesTempoAndSignatureChanges) {
    ASSERT_EQ(load_bytes(named_song()), SongLoadResult::loaded);

    // S = 3360, E = 5760: the 60 bpm at 4080 and the 2/4 at 4800 go with measures 3 and 4.
    EXPECT_EQ(delete_measures(3, 2), EditResult::done);

    EXPECT_EQ(track_data(0, 0),
              concat({meta_text(0, 3, "Title"), tempo_event(0, 500000), time_signature(0, 4, 2),
                      tempo_event(960, 600000), time_signature(960, 3, 2), tempo_event(480, 750000),
                      end_of_track(1920)}));
    EXPECT_EQ(track_data(0, 1),
              concat({meta_text(0, 3, "Piano"), on(0, 64), off(480, 64), end_of_track(3840)}));
    EXPECT_EQ(g_song.measure_table.song_end_tick, 4320);
}

TEST_F(MeasureCommands, InsertCopiesMeasureOneWhereItHasDataAndEmptyTimeElsewhere) {
    load_song(4, {concat({on(0, 60), off(480, 60), ev(3520, {0xB0, 7, 100}), end_of_track(0)}),
                  concat({on(4000, 64), off(480, 64), end_of_track(0)})});

    EXPECT_EQ(insert_measures(1, 1, 3), EditResult::done);

    // Track 1 brings its tempo and signature along, so the grid repeats at measure 3.
    EXPECT_EQ(track_data(0, 0),
              concat({tempo_event(0, 500000), time_signature(0, 4, 2), tempo_event(3840, 500000),
                      time_signature(0, 4, 2), end_of_track(5760)}));
    EXPECT_EQ(track_data(0, 1), concat({on(0, 60), off(480, 60), on(3360, 60), off(480, 60),
                                        ev(1600, {0xB0, 7, 100}), end_of_track(0)}));
    EXPECT_EQ(track_data(0, 2), concat({on(5920, 64), off(480, 64), end_of_track(0)}));
    EXPECT_EQ(g_song.measure_table.song_end_tick, 9600);
}

TEST_F(MeasureCommands, CopyOneMeasureFourTimesLengthensTheSong) {
    load_song(10,
              {concat({on(0, 60), off(480, 60), on(15520, 69), off(480, 69), end_of_track(0)})});
    ASSERT_EQ(g_song.measure_table.last_measure, 10);

    EXPECT_EQ(copy_measures(2, 1, 1, 2, 9, 4), EditResult::done);

    // Four copies at 15360, 17280, 19200 and 21120; the old note at measure 9 is gone.
    EXPECT_EQ(track_data(0, 1), concat({on(0, 60), off(480, 60), on(14880, 60), off(480, 60),
                                        on(1440, 60), off(480, 60), on(1440, 60), off(480, 60),
                                        on(1440, 60), off(480, 60), end_of_track(1440)}));
    EXPECT_EQ(track_data(0, 0),
              concat({tempo_event(0, 500000), time_signature(0, 4, 2), end_of_track(23040)}));
    EXPECT_EQ(g_song.measure_table.last_measure, 12);
}

// The copy lengthens the song to three measures; the destination range is measure 3 of the
// new grid, not an open range, so material past it stays.
TEST_F(MeasureCommands, CopyThatLengthensTheSongKeepsMaterialPastTheRange) {
    // Track 2 reaches past track 1's end, which loading would have moved.
    load_song(2, {end_of_track(0)});
    install(0, 1, concat({on(0, 60), off(100, 60), on(9900, 64), off(400, 64), end_of_track(100)}));
    ASSERT_EQ(g_song.measure_table.song_end_tick, 3840);

    EXPECT_EQ(copy_measures(2, 1, 1, 2, 3, 1), EditResult::done);

    // The copy at 3840; the note at 10000 and the end at 10500 where they were.
    EXPECT_EQ(track_data(0, 1), concat({on(0, 60), off(100, 60), on(3740, 60), off(100, 60),
                                        on(6060, 64), off(400, 64), end_of_track(100)}));
    EXPECT_EQ(g_song.measure_table.song_end_tick, 5760);
    EXPECT_EQ(g_song.measure_table.last_measure, 3);
}

TEST_F(MeasureCommands, CopyWithinOneTrackCutsNotesAtTheEndOfEachCopy) {
    // A note in measure 1 that lasts into measure 2; copied twice to measure 3 of the same
    // track.
    load_song(6, {concat({on(1000, 60), off(1400, 60), end_of_track(0)})});

    EXPECT_EQ(copy_measures(2, 1, 1, 2, 3, 2), EditResult::done);

    EXPECT_EQ(track_data(0, 1), concat({on(1000, 60), off(1400, 60), on(2440, 60), on0(920, 60),
                                        on(1000, 60), on0(920, 60), end_of_track(3840)}));
}

TEST_F(MeasureCommands, CopyOfAnEmptyRangeShowsNoDataAndChangesNothing) {
    load_song(4, {concat({on(4000, 60), off(100, 60), end_of_track(0)})});
    StoreSnapshot before = store_snapshot();

    EXPECT_EQ(copy_measures(2, 1, 1, 3, 2, 1), EditResult::no_data);

    EXPECT_EQ(last_status(), "no data !!   ");
    EXPECT_TRUE(store_unchanged(before));
}

TEST_F(MeasureCommands, CreateAtMeasureOneReplacesTempoAndSignature) {
    ASSERT_EQ(
        load_bytes(smf_file(1, 480,
                            {concat({meta_text(0, META_TRACK_NAME, "Song"), tempo_event(0, 500000),
                                     time_signature(0, 4, 2), end_of_track(7680)})})),
        SongLoadResult::loaded);

    EXPECT_EQ(create_measures(1, 3, 4, 100, 0), EditResult::done);

    Bytes expected = concat({ev(0, {0xFF, 0x51, 0x03, 0x09, 0x27, 0xC0}),
                             ev(0, {0xFF, 0x58, 0x04, 0x03, 0x02, 0x24, 0x08}),
                             meta_text(0, META_TRACK_NAME, "Song"), end_of_track(7680)});
    EXPECT_EQ(track_data(0, 0), expected);
    EXPECT_EQ(g_song.measure_table.measures[0].numerator, 3);
    EXPECT_EQ(g_song.measure_table.measures[0].tempo, 100u);
}

TEST_F(MeasureCommands, CreateTwoMeasuresAtFiveInsertsTimeInEveryTrack) {
    load_song(6, {concat({ev(0, {0xC0, 5}), ev(8000, {0xB0, 7, 100}), end_of_track(0)})});

    EXPECT_EQ(create_measures(5, 4, 4, 120, 2), EditResult::done);

    // Same signature and tempo in force: only time is inserted, 3,840 ticks at 7,680.
    EXPECT_EQ(track_data(0, 1),
              concat({ev(0, {0xC0, 5}), ev(11840, {0xB0, 7, 100}), end_of_track(0)}));
    EXPECT_EQ(track_data(0, 0),
              concat({tempo_event(0, 500000), time_signature(0, 4, 2), end_of_track(15360)}));
    EXPECT_EQ(g_song.measure_table.last_measure, 8);
}

TEST_F(MeasureCommands, CreateWithNewSignatureCutsNotesAtTheInsertionPoint) {
    load_song(4, {concat({on(3000, 60), off(2000, 60), end_of_track(0)})});

    EXPECT_EQ(create_measures(3, 3, 4, 90, 1), EditResult::done);

    // Track 1: the new tempo and signature at 3840 in the same pass as the inserted
    // measure; the old events at 0 stay.
    EXPECT_EQ(track_data(0, 0),
              concat({tempo_event(0, 500000), time_signature(0, 4, 2),
                      ev(3840, {0xFF, 0x51, 0x03, 0x0A, 0x2C, 0x2A}),
                      ev(0, {0xFF, 0x58, 0x04, 0x03, 0x02, 0x24, 0x08}), end_of_track(5280)}));
    // The note crossing the insertion point ends there; its old note-off is dropped.
    EXPECT_EQ(track_data(0, 1), concat({on(3000, 60), on0(840, 60), end_of_track(2600)}));
    EXPECT_EQ(g_song.measure_table.measures[2].numerator, 3);
    EXPECT_EQ(g_song.measure_table.measures[2].tempo, 90u);
}

TEST_F(MeasureCommands, ClearTrackKeepsTrackOneOfASongWithMoreTracks) {
    load_song(2, {concat({on(0, 60), off(10, 60), end_of_track(0)}),
                  concat({on(0, 62), off(10, 62), end_of_track(0)})});
    ASSERT_EQ(g_song.track_count, 3);
    Bytes track1 = track_bytes(0, 0);

    EXPECT_EQ(clear_track(1), EditResult::invalid);
    EXPECT_EQ(track_bytes(0, 0), track1);
    EXPECT_EQ(clear_track(3), EditResult::done);

    EXPECT_EQ(track_data(0, 2), end_of_track(0));
    EXPECT_EQ(g_song.track_count, 2);
}

// Every amount of free memory from nothing up to enough: a command either completes or
// leaves every byte of the store as it was, with "out of memory" shown once.
TEST_F(MeasureCommands, OutOfMemoryLeavesTheSongExactlyAsItWas) {
    struct Case {
        const char* name;
        EditResult (*run)();
    };
    const Case cases[] = {
        {"delete", [] { return delete_measures(3, 1); }},
        {"insert", [] { return insert_measures(1, 1, 2); }},
        {"create", [] { return create_measures(2, 3, 4, 90, 1); }},
        {"copy", [] { return copy_measures(2, 1, 2, 3, 4, 3); }},
        {"erase", [] { return erase_measures(3, 1, 1); }},
    };
    for (const Case& c : cases) {
        int failures = 0;
        bool completed = false;
        for (uint32_t free_bytes = 1; !completed && free_bytes < 400; free_bytes++) {
            SCOPED_TRACE(c.name);
            SetUp();
            // Running status in track 3: a normalisation installed on its own would change
            // its bytes even when the command then failed.
            load_song(4, {concat({on(0, 60), off(480, 60), on(1000, 62), off(900, 62), on(3000, 67),
                                  off(100, 67), end_of_track(0)}),
                          concat({on(0, 64), ev(100, {65, 100}), ev(100, {64, 0}), ev(100, {65, 0}),
                                  on(2000, 64), off(10, 64), end_of_track(0)})});
            limit_at_free(free_bytes);
            StoreSnapshot before = store_snapshot();

            EditResult result = c.run();

            EXPECT_EQ(g_edit.edit_mode, 0u);
            if (result == EditResult::done) {
                completed = true;
                continue;
            }
            failures++;
            EXPECT_EQ(result, EditResult::out_of_memory) << free_bytes;
            EXPECT_TRUE(store_unchanged(before)) << free_bytes;
            EXPECT_EQ(out_of_memory_shown(), 1) << free_bytes;
        }
        EXPECT_TRUE(completed) << c.name;
        EXPECT_GT(failures, 20) << c.name;
    }
}

TEST_F(MeasureCommands, BackupCopiesTheCurrentBankIntoBankTenExactly) {
    song_bank_select(2);
    load_song(2, {concat({on(0, 60), ev(10, {62, 100}), time_signature(0, 3, 2), off(10, 60),
                          off(0, 62), end_of_track(0)})});
    g_song.song_modified_mask = 0;
    g_edit.params.backup = true;

    command_backup();

    EXPECT_EQ(track_bytes(9, 0), track_bytes(2, 0));
    // Byte for byte: running status and the signature outside track 1 stay.
    EXPECT_EQ(track_bytes(9, 1), track_bytes(2, 1));
    EXPECT_EQ(slot_header_track_count(9), 2);
    EXPECT_EQ(g_song.song_modified_mask, 0u);
    EXPECT_EQ(last_status(), "  Executing backup");
}

TEST_F(MeasureCommands, BackupCarriesTheTitleAndLeavesBankTenWithoutAFile) {
    song_bank_select(9);
    load_song(1, {concat({on(0, 60), off(10, 60), end_of_track(0)})});
    strcpy(g_song.slots[9].song_path, "older.mid");
    strcpy(g_song.slots[9].song_file_name, "older");
    g_song.slots[9].song_has_path = true;
    song_bank_select(0);
    load_song(1, {concat({on(0, 62), off(10, 62), end_of_track(0)})});
    strcpy(g_song.slots[0].song_title, "Night Song");
    g_edit.params.backup = true;
    command_backup();
    EXPECT_STREQ(g_song.slots[9].song_title, "Night Song");
    EXPECT_FALSE(g_song.slots[9].song_has_path);
    EXPECT_STREQ(g_song.slots[9].song_file_name, "");
}

TEST_F(MeasureCommands, BackupIsSkippedWhenOffOrFromBankTen) {
    load_song(2, {concat({on(0, 60), off(10, 60), end_of_track(0)})});
    Bytes bank10 = track_bytes(9, 1);
    command_backup();
    EXPECT_EQ(track_bytes(9, 1), bank10);

    g_edit.params.backup = true;
    song_bank_select(9);
    command_backup();
    EXPECT_TRUE(g_headless.status_texts.empty() || last_status() != "  Executing backup");
}

TEST_F(MeasureCommands, BackupDropsTracksLeftFromAnOlderBackup) {
    load_song(2, {concat({on(0, 60), off(10, 60), end_of_track(0)}),
                  concat({on(0, 62), off(10, 62), end_of_track(0)})});
    g_edit.params.backup = true;
    command_backup();
    ASSERT_EQ(track_bytes(9, 2), track_bytes(0, 2));

    load_song(2, {concat({on(0, 64), off(10, 64), end_of_track(0)})});
    command_backup();

    EXPECT_EQ(track_bytes(9, 1), track_bytes(0, 1));
    EXPECT_EQ(track_data(9, 2), end_of_track(0));
    EXPECT_EQ(slot_header_track_count(9), 2);
}

int g_busy_calls = 0;
int g_changed_calls = 0;

TEST_F(MeasureCommands, PanelRunReadsTheFieldsAndCallsTheHooks) {
    load_song(4, {concat({on(0, 60), off(480, 60), on(1520, 62), off(400, 62), end_of_track(0)})});
    g_busy_calls = 0;
    g_changed_calls = 0;
    g_edit.hooks.busy_cursor = [](bool) { g_busy_calls++; };
    g_edit.hooks.song_changed = [] { g_changed_calls++; };
    g_edit.params.erase_track = 2;
    g_edit.params.erase_start = 2;

    EXPECT_EQ(edit_command_run(EditCommand::erase), EditResult::done);

    EXPECT_EQ(track_data(0, 1), concat({on(0, 60), off(480, 60), end_of_track(1920)}));
    EXPECT_EQ(g_busy_calls, 2);
    EXPECT_EQ(g_changed_calls, 1);

    g_edit.params.clear_track = 1; // track 1 of a song with more tracks: nothing happens
    EXPECT_EQ(edit_command_run(EditCommand::clear_track), EditResult::invalid);
    EXPECT_EQ(g_changed_calls, 1);
}

} // namespace
