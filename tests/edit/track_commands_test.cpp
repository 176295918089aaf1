// Mix, Transpose, Combine, Move Track, IN >> Filter >> OUT, POLY >>> MONO, EVENT TIME
// CHEANGE and tempo flatten, checked on the bytes of the tracks they write.
#include "tests/edit/edit_fixture.h"

#include "sequencer/edit/xf_events.h"
#include "songcore/track_normalize.h"

namespace {

using TrackCommands = EditFixture;

Bytes chord_event(uint32_t delta, uint8_t root, uint8_t type, uint8_t bass) {
    return ev(delta, {0xFF, 0x7F, 0x07, 0x43, 0x7B, 0x01, root, type, bass, 0x00});
}

TEST_F(TrackCommands, TransposeExamples) {
    struct Case {
        const char* name;
        int pitch, velocity, note_from, note_to;
        Bytes before, after; // track 2 of a three-measure song, measure 1 transposed
    };
    const Case cases[] = {
        {"+12 of 120 stays 120", 12, 0, 60, 60,
         concat({on(0, 120), off(100, 120), end_of_track(0)}),
         concat({on(0, 120), off(100, 120), end_of_track(0)})},
        {"-5 of 2 gives 9", -5, 0, 60, 60, concat({on(0, 2), off(100, 2), end_of_track(0)}),
         concat({on(0, 9), off(100, 9), end_of_track(0)})},
        // Velocity 100 - 127 gives 0, which becomes 1; the note in measure 2 is left alone.
        {"velocity", 1, -127, 60, 60,
         concat({on(0, 60, 100), off(100, 60), on(1900, 62, 10), off(100, 62), end_of_track(0)}),
         concat({on(0, 61, 1), off(100, 61), on(1900, 62, 10), off(100, 62), end_of_track(0)})},
        // 36 becomes 38; of the overlapping 38s the first note-on and the last note-off stay.
        {"36 >> 38", 0, 0, 36, 38,
         concat({on(0, 36), on(100, 38), off(100, 36), off(100, 38), end_of_track(0)}),
         concat({on(0, 38), off(300, 38), end_of_track(0)})},
        // F# + 1 = G; Bb + 1 = B with bass E + 1 = F.
        {"chords +1", 1, 0, 60, 60,
         concat({chord_event(0, 0x44, 19, 0x7F), chord_event(10, 0x27, 10, 0x33), end_of_track(0)}),
         concat(
             {chord_event(0, 0x35, 19, 0x7F), chord_event(10, 0x37, 10, 0x34), end_of_track(0)})},
        // Roots are always written with sharps: Bb by 0 gives A#.
        {"chords 0", 0, 0, 60, 60, concat({chord_event(0, 0x27, 10, 0x7F), end_of_track(0)}),
         concat({chord_event(0, 0x46, 10, 0x7F), end_of_track(0)})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        load_song(3, {c.before});
        EXPECT_EQ(track_transpose(2, 1, 1, c.pitch, c.velocity, c.note_from, c.note_to),
                  EditResult::done);
        EXPECT_EQ(track_data(0, 1), c.after);
    }
}

TEST_F(TrackCommands, TransposeAllTracks) {
    load_song(2, {concat({on(0, 60), off(10, 60), end_of_track(0)}),
                  concat({on(0, 70), off(10, 70), end_of_track(0)})});

    EXPECT_EQ(track_transpose(0, 1, 2, 2, 0, 60, 60), EditResult::done);

    EXPECT_EQ(track_data(0, 1), concat({on(0, 62), off(10, 62), end_of_track(0)}));
    EXPECT_EQ(track_data(0, 2), concat({on(0, 72), off(10, 72), end_of_track(0)}));
}

// Legato: the second note starts before the first ends. Each note-off must stay with its
// own note-on; a note-off already given the first note's new key is not the second's.
TEST_F(TrackCommands, TransposeKeepsTheGatesOfOverlappingNotes) {
    load_song(3, {concat({on(0, 60), on(480, 62), off(20, 60), off(460, 62), end_of_track(0)})});

    EXPECT_EQ(track_transpose(2, 1, 1, 2, 0, 60, 60), EditResult::done);

    // 62 from 0 to 500, 64 from 480 to 960.
    EXPECT_EQ(track_data(0, 1),
              concat({on(0, 62), on(480, 64), off(20, 62), off(460, 64), end_of_track(0)}));
}

Bytes eight_notes() {
    Bytes out = on(0, 60, 90);
    for (int i = 0; i < 7; i++) {
        out = concat({out, off(100, 60), on(140, 60, static_cast<uint8_t>(91 + i))});
    }
    return concat({out, off(100, 60), end_of_track(0)});
}

TEST_F(TrackCommands, CombineTakesPitchesInOrderAndOneMoreWhenTheyRunOut) {
    load_song(2, {eight_notes(), concat({on(0, 64), off(5, 64), on(5, 65), off(5, 65), on(5, 67),
                                         off(5, 67), end_of_track(0)})});

    EXPECT_EQ(tracks_combine(2, 3, 2, 4), EditResult::done);

    // Notes 1..3 take 64, 65, 67; the step in which the pitches ran out gives note 4 the
    // last one; the rest keep 60. Velocities come from track 2 itself.
    const uint8_t keys[8] = {64, 65, 67, 67, 60, 60, 60, 60};
    Bytes expected;
    for (int i = 0; i < 8; i++) {
        expected = concat({expected, on(i == 0 ? 0 : 140, keys[i], static_cast<uint8_t>(90 + i)),
                           off(100, keys[i])});
    }
    expected = concat({expected, end_of_track(0)});
    EXPECT_EQ(track_data(0, 3), expected);
    EXPECT_EQ(g_song.track_count, 4);
    EXPECT_EQ(track_data(0, 1), eight_notes()); // the time track is unchanged
}

// The second note-on of the time track starts before the first note-off: each note must
// keep its own note-off with the pitch it was given.
TEST_F(TrackCommands, CombineKeepsTheGatesOfOverlappingNotes) {
    load_song(1, {concat({on(0, 60), on(10, 62), off(90, 60), off(10, 62), end_of_track(0)}),
                  concat({on(0, 62), off(10, 62), on(0, 60), off(10, 60), end_of_track(0)})});

    EXPECT_EQ(tracks_combine(2, 3, 2, 4), EditResult::done);

    // 62 from 0 to 100, 60 from 10 to 110.
    EXPECT_EQ(track_data(0, 3),
              concat({on(0, 62), on(10, 60), off(90, 62), off(10, 60), end_of_track(0)}));
}

TEST_F(TrackCommands, MixPutsTheFirstTrackFirstAndClearsTheOtherSource) {
    load_song(2, {concat({ev(0, {0xC0, 1}), on(10, 60), off(10, 60), end_of_track(0)}),
                  concat({ev(0, {0xC1, 2}), on(10, 64, 100, 1), off(5, 64, 1), end_of_track(0)})});

    EXPECT_EQ(mix_tracks(2, 3, 2, true), EditResult::done);

    EXPECT_EQ(track_data(0, 1),
              concat({ev(0, {0xC0, 1}), ev(0, {0xC1, 2}), on(10, 60), on(0, 64, 100, 1),
                      off(5, 64, 1), off(5, 60), end_of_track(0)}));
    EXPECT_EQ(track_data(0, 2), end_of_track(0));
    EXPECT_EQ(g_song.track_count, 2);
}

TEST_F(TrackCommands, MixOutOfMemoryLeavesSourcesUnnormalized) {
    for (uint32_t free_bytes = 1; free_bytes < 60; free_bytes++) {
        SetUp();
        load_song(2, {concat({on(0, 60), ev(10, {62, 100}), ev(10, {60, 0}), ev(0, {62, 0}),
                              end_of_track(0)}),
                      concat({on(0, 64), off(10, 64), end_of_track(0)})});
        limit_at_free(free_bytes);
        StoreSnapshot before = store_snapshot();
        EditResult result = mix_tracks(2, 3, 4, true);
        if (result == EditResult::done) {
            break;
        }
        EXPECT_EQ(result, EditResult::out_of_memory);
        EXPECT_TRUE(store_unchanged(before)) << free_bytes;
        EXPECT_EQ(out_of_memory_shown(), 1);
    }
}

TEST_F(TrackCommands, MoveTrackToASmallerTimeBaseCarriesTheRemainders) {
    song_bank_select(1);
    load_song(4, {}, 96);
    song_bank_select(0);
    load_song(2, {concat({on(0, 60), off(482, 60), on(480, 62), off(480, 62), end_of_track(0)})});

    EXPECT_EQ(track_copy_between_songs(1, 2, CHANNEL_ALL, false, 2, 2, CHANNEL_ALL, 0),
              EditResult::done);

    // 482 / 5 = 96 remainder 2: "Time-base con"; the remainders never reach 5.
    EXPECT_EQ(track_data(1, 1),
              concat({on(0, 60), off(96, 60), on(96, 62), off(96, 62), end_of_track(0)}));
    EXPECT_EQ(status_count("Time-base con"), 1);
    EXPECT_EQ(slot_header_track_count(1), 2);
}

TEST_F(TrackCommands, MoveTrackCarriesAWholeTickWhenRemaindersAddUp) {
    song_bank_select(1);
    load_song(4, {}, 96);
    song_bank_select(0);
    load_song(2, {concat({ev(3, {0xB0, 1, 1}), ev(3, {0xB0, 1, 2}), ev(5, {0xB0, 1, 3}),
                          end_of_track(0)})});

    EXPECT_EQ(track_copy_between_songs(1, 2, CHANNEL_ALL, false, 2, 3, CHANNEL_ALL, 0),
              EditResult::done);

    // Deltas 3, 3, 5 become 0, 0 + 1 (3 + 3 reached 5), 1.
    EXPECT_EQ(track_data(1, 2), concat({ev(0, {0xB0, 1, 1}), ev(1, {0xB0, 1, 2}),
                                        ev(1, {0xB0, 1, 3}), end_of_track(0)}));
}

TEST_F(TrackCommands, MoveTrackWithNegativeDelayStopsAtTickZero) {
    load_song(2, {concat({on(500, 60), off(1000, 60), on(480, 62), off(10, 62), end_of_track(0)})});

    EXPECT_EQ(track_copy_between_songs(1, 2, CHANNEL_ALL, false, 1, 3, 2, -960), EditResult::done);

    // 500 - 960 < 0 stands at 0; channel set to 2 (0x91).
    EXPECT_EQ(track_data(0, 2), concat({on(0, 60, 100, 1), off(540, 60, 1), on(480, 62, 100, 1),
                                        off(10, 62, 1), end_of_track(0)}));
    EXPECT_EQ(g_song.track_count, 3);
}

// A note the source leaves sounding is closed at its end of track; with a destination
// channel that note-off must be on the channel the note was moved to.
TEST_F(TrackCommands, MoveTrackClosesSoundingNotesOnTheDestinationChannel) {
    load_song(1, {concat({on(0, 60), end_of_track(100)})});

    EXPECT_EQ(track_copy_between_songs(1, 2, CHANNEL_ALL, false, 1, 3, 5, 0), EditResult::done);

    EXPECT_EQ(track_data(0, 2), concat({on(0, 60, 100, 4), on0(100, 60, 4), end_of_track(0)}));
}

// The current bank's header count lags behind track_count until a bank switch or save; a
// copy into a track below track_count must not lower it to the copied track.
TEST_F(TrackCommands, MoveTrackNeverLowersTheTrackCount) {
    load_song(2, {concat({on(0, 60), off(10, 60), end_of_track(0)})});
    ASSERT_EQ(copy_measures(2, 1, 1, 5, 1, 1), EditResult::done);
    ASSERT_EQ(g_song.track_count, 5);
    ASSERT_EQ(slot_header_track_count(0), 2);

    EXPECT_EQ(track_copy_between_songs(1, 2, CHANNEL_ALL, false, 1, 3, CHANNEL_ALL, 0),
              EditResult::done);

    EXPECT_EQ(g_song.track_count, 5);
    EXPECT_EQ(slot_header_track_count(0), 5);
    EXPECT_EQ(track_data(0, 2), track_data(0, 1));
}

TEST_F(TrackCommands, MoveTrackFromBeyondTheSourceCountShowsNoData) {
    load_song(2, {});
    StoreSnapshot before = store_snapshot();
    EXPECT_EQ(track_copy_between_songs(1, 5, CHANNEL_ALL, false, 2, 1, CHANNEL_ALL, 0),
              EditResult::no_data);
    EXPECT_EQ(last_status(), "no data !!   ");
    EXPECT_TRUE(store_unchanged(before));
}

TEST_F(TrackCommands, MoveTrackSplitsOneTrackByChannel) {
    ASSERT_EQ(load_bytes(smf_file(0, 480,
                                  {concat({tempo_event(0, 500000), on(0, 60), on(0, 64, 100, 1),
                                           off(10, 60), off(0, 64, 1), end_of_track(0)})})),
              SongLoadResult::loaded);
    g_edit.params.move_src_track = 1;
    g_edit.params.move_dst_track = 0;
    g_edit.params.move_delete = true;

    EXPECT_EQ(move_track(), EditResult::done);

    EXPECT_EQ(track_data(0, 0), concat({tempo_event(0, 500000), end_of_track(10)}));
    EXPECT_EQ(track_data(0, 1), concat({on(0, 60), off(10, 60), end_of_track(0)}));
    EXPECT_EQ(track_data(0, 2), concat({on(0, 64, 100, 1), off(10, 64, 1), end_of_track(0)}));
    EXPECT_EQ(track_data(0, 3), end_of_track(10));
    EXPECT_EQ(g_song.track_count, 17);
}

TEST_F(TrackCommands, MoveTrackMergesAllTracksIntoOneAndFlattensTheTempo) {
    load_song(1, {concat({on(0, 60), off(480, 60), end_of_track(0)}),
                  concat({ev(960, {0xFF, 0x51, 0x03, 0x0F, 0x42, 0x40}), on(0, 62), off(480, 62),
                          end_of_track(0)})});
    g_edit.params.move_src_track = 0;
    g_edit.params.move_dst_track = 1;
    g_edit.params.move_delete = true;
    g_edit.params.alt_mode = true;

    EXPECT_EQ(move_track(), EditResult::done);

    // Merged into track 1; after the tempo of 60 at 960 every delta counts double at the
    // first tempo of 120 (the song's end at 1920 moves to 2880), and that tempo becomes the
    // text "T--".
    EXPECT_EQ(track_data(0, 0), concat({tempo_event(0, 500000), time_signature(0, 4, 2), on(0, 60),
                                        off(480, 60), ev(480, {0xFF, 0x01, 0x03, 0x54, 0x2D, 0x2D}),
                                        on(0, 62), off(960, 62), end_of_track(960)}));
    EXPECT_EQ(g_song.track_count, 1);
}

// Each track is put in its working form on its own before the merge: a stray note-off of
// one track is dropped there and never ends another track's note.
TEST_F(TrackCommands, MoveTrackMergeDropsStrayNoteOffsWithinTheirOwnTrack) {
    load_song(1, {concat({on(0, 60), off(100, 60), end_of_track(0)}),
                  concat({off(50, 60), end_of_track(0)})});
    g_edit.params.move_src_track = 0;
    g_edit.params.move_dst_track = 1;
    g_edit.params.move_delete = true;

    EXPECT_EQ(move_track(), EditResult::done);

    EXPECT_EQ(track_data(0, 0), concat({tempo_event(0, 500000), time_signature(0, 4, 2), on(0, 60),
                                        off(100, 60), end_of_track(1820)}));
    EXPECT_EQ(g_song.track_count, 1);
}

TEST_F(TrackCommands, FilterCopyLeavesOutSwitchedOffKinds) {
    load_song(1, {concat({on(0, 60), ev(10, {0xB0, 7, 1}), off(10, 60), ev(5, {0xC0, 3}),
                          end_of_track(0)})});
    g_event_filter.pass[FILTER_CONTROL_CHANGE] = 0;

    EXPECT_EQ(track_filter_copy(2, 5), 0);

    EXPECT_EQ(track_data(0, 4),
              concat({on(0, 60), off(20, 60), ev(5, {0xC0, 3}), end_of_track(0)}));
    EXPECT_EQ(g_song.track_count, 5);
}

TEST_F(TrackCommands, FilterCopyWithOneTrackZeroDoesNothing) {
    load_song(1, {concat({on(0, 60), off(10, 60), end_of_track(0)})});
    StoreSnapshot before = store_snapshot();
    EXPECT_EQ(track_filter_copy(0, 3), 0);
    EXPECT_EQ(poly_to_mono(-1, 2, 1), EditResult::invalid);
    EXPECT_TRUE(store_unchanged(before));
}

TEST_F(TrackCommands, PolyToMonoWithOneVoiceKeepsTheLastNoteOfAChord) {
    load_song(1, {concat({on(0, 60), on(0, 64), on(0, 67), off(480, 60), off(0, 64), off(0, 67),
                          end_of_track(0)})});

    EXPECT_EQ(poly_to_mono(1, 2, 1), EditResult::done);

    EXPECT_EQ(track_data(0, 2), concat({on(0, 60), on0(0, 60), on(0, 64), on0(0, 64), on(0, 67),
                                        on0(480, 67), end_of_track(0)}));
}

TEST_F(TrackCommands, PolyToMonoEndsHeldNotesWhenThePedalIsReleased) {
    load_song(1, {concat({ev(0, {0xB0, 64, 127}), on(0, 60), off(100, 60), on(100, 60),
                          off(100, 60), ev(200, {0xB0, 64, 0}), end_of_track(0)})});

    EXPECT_EQ(poly_to_mono(1, 1, 4), EditResult::done);

    // The pedal messages are gone; the first note's held note-off comes before the note
    // struck again at 200, the second note ends at the release (500).
    EXPECT_EQ(track_data(0, 1),
              concat({on(0, 60), on0(200, 60), on(0, 60), on0(300, 60), end_of_track(0)}));
}

// Two overlapping notes of one key released under the pedal: each keeps its note-off (a
// single held flag per key would end only one and leave the other sounding).
TEST_F(TrackCommands, PolyToMonoHoldsEveryNoteOffOfOneKey) {
    load_song(1, {concat({ev(0, {0xB0, 64, 127}), on(0, 60), on(10, 60), off(10, 60), off(10, 60),
                          ev(70, {0xB0, 64, 0}), end_of_track(0)})});

    EXPECT_EQ(poly_to_mono(1, 1, 2), EditResult::done);

    EXPECT_EQ(track_data(0, 1),
              concat({on(0, 60), on(10, 60), on0(90, 60), on0(0, 60), end_of_track(0)}));
}

TEST_F(TrackCommands, PolyToMonoSpreadsChordsOverChannelsWithAltMode) {
    load_song(1, {concat({on(0, 64, 100, 2), on(0, 60, 100, 2), on(0, 67, 100, 2), off(100, 60, 2),
                          off(0, 64, 2), off(0, 67, 2), end_of_track(0)})});
    g_edit.params.alt_mode = true;
    g_edit.params.play_octave = 7;

    EXPECT_EQ(poly_to_mono(1, 1, 1), EditResult::done);

    // Highest first: 67 on channel 3, 64 on 4, 60 on 5, with their note-offs.
    EXPECT_EQ(track_data(0, 1),
              concat({on(0, 64, 100, 3), on(0, 60, 100, 4), on(0, 67, 100, 2), off(100, 60, 4),
                      off(0, 64, 3), off(0, 67, 2), end_of_track(0)}));
}

// Overlapping notes of one key, some struck on another channel at first: after every note
// is moved to the first note's channel, each note-on keeps the note-off that pairs with it
// on that channel, even where an earlier note's note-off was already moved to the channel a
// later note of that key first came from.
TEST_F(TrackCommands, PolyToMonoWithAltModeKeepsNoteOffsOfOneKeyPaired) {
    struct Case {
        const char* name;
        int octave;
        Bytes before, after;
    };
    const Case cases[] = {
        // 60 at 0 pairs with the note-off at 30, 60 at 10 with the one at 20; the second
        // finds channel 0 busy and takes 1.
        {"two voices of one key", 3,
         concat({on(0, 60, 100, 0), on(10, 60, 100, 1), off(10, 60, 0), off(10, 60, 1),
                 end_of_track(0)}),
         concat({on(0, 60, 100, 0), on(10, 60, 100, 1), off(10, 60, 1), off(10, 60, 0),
                 end_of_track(0)})},
        // 50 holds channel 0. 60 at 10 (to 60) takes 1; 60 at 20 (to 30, first on channel 1)
        // takes 2; 60 at 40 (to 50, first on channel 1) finds 2 free again while the note-off
        // at 60 already stands on channel 1.
        {"moved note-off ahead of a later search", 3,
         concat({on(0, 50, 100, 0), on(10, 60, 100, 0), on(10, 60, 100, 1), off(10, 60, 1),
                 on(10, 60, 100, 1), off(10, 60, 1), off(10, 60, 0), off(10, 50, 0),
                 end_of_track(0)}),
         concat({on(0, 50, 100, 0), on(10, 60, 100, 1), on(10, 60, 100, 2), off(10, 60, 2),
                 on(10, 60, 100, 2), off(10, 60, 2), off(10, 60, 1), off(10, 50, 0),
                 end_of_track(0)})},
        // Lowest first: the chord at 0 gives 55 channel 0 and 60 (to 30) channel 1; the 60
        // at 10, first on channel 1, takes channel 0 and keeps its note-off at 20.
        {"chord then a note of one key", 6,
         concat({on(0, 55, 100, 0), on(0, 60, 100, 0), on(10, 60, 100, 1), off(10, 60, 1),
                 off(10, 60, 0), off(0, 55, 0), end_of_track(0)}),
         concat({on(0, 55, 100, 0), on(0, 60, 100, 1), on(10, 60, 100, 0), off(10, 60, 0),
                 off(10, 60, 1), off(0, 55, 0), end_of_track(0)})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        load_song(1, {c.before});
        g_edit.params.alt_mode = true;
        g_edit.params.play_octave = c.octave;

        EXPECT_EQ(poly_to_mono(1, 1, 1), EditResult::done);

        EXPECT_EQ(track_data(0, 1), c.after);
    }
}

TEST_F(TrackCommands, EventTimeChangePlacesEventsAtTheTimingTracksTicks) {
    Bytes quarters;
    for (int i = 0; i < 4; i++) {
        quarters = concat({quarters, on(i == 0 ? 0 : 240, 72), off(240, 72)});
    }
    quarters = concat({quarters, end_of_track(0)});
    Bytes chords;
    const uint8_t notes[2][3] = {{60, 64, 67}, {62, 65, 69}};
    for (int c = 0; c < 2; c++) {
        chords = concat({chords, on(c == 0 ? 0 : 1000, notes[c][0]), on(0, notes[c][1]),
                         on(0, notes[c][2]), off(900, notes[c][0]), off(0, notes[c][1]),
                         off(0, notes[c][2])});
    }
    chords = concat({chords, end_of_track(0)});
    load_song(1, {quarters, chords});

    EXPECT_EQ(event_time_change(2, 3, 4), EditResult::done);

    // The first four events of the chords at 0, 480, 960, 1440; each placed note ends where
    // the next one is placed, the last at the end of the timing track (1680).
    EXPECT_EQ(track_data(0, 3), concat({on(0, 60), on0(480, 60), on(0, 64), on0(480, 64), on(0, 67),
                                        on0(480, 67), on(0, 62), on0(240, 62), end_of_track(0)}));
}

TEST_F(TrackCommands, NotesDedupeLeavesFirstOnAndLastOff) {
    load_song(1, {concat({on(0, 50), on(10, 50), off(10, 50), on(10, 50), off(10, 50), off(10, 50),
                          end_of_track(0)})});

    EXPECT_EQ(notes_dedupe(0, 1), EditResult::done);

    EXPECT_EQ(track_data(0, 1), concat({on(0, 50), off(50, 50), end_of_track(0)}));
}

} // namespace
