// Auto accompaniment: the chord analysis and note fitting, and the command checked on the
// bytes of the tracks it writes, from this bank and from another bank's time base; its
// refusals and its failures leave the song as it was.
#include "tests/edit/edit_fixture.h"

#include "common/text_sjis.h"
#include "sequencer/edit/accompaniment.h"

namespace {

using Accompaniment = EditFixture;

// XF chord event: FF 7F 07 43 7B 01 root type bass bass-type.
Bytes xf_chord(uint32_t delta, uint8_t root, uint8_t type, uint8_t bass = XF_NO_BASS) {
    return ev(delta, {0xFF, 0x7F, 0x07, 0x43, 0x7B, 0x01, root, type, bass, 0x00});
}

// The four notes of a chord as one block on a channel, held for `gate` ticks.
Bytes block_chord(uint32_t delta, const std::vector<uint8_t>& notes, uint32_t gate,
                  uint8_t channel) {
    Bytes out;
    for (size_t i = 0; i < notes.size(); i++) {
        Bytes one = on(i == 0 ? delta : 0, notes[i], 100, channel);
        out.insert(out.end(), one.begin(), one.end());
    }
    for (size_t i = 0; i < notes.size(); i++) {
        Bytes one = off(i == 0 ? gate : 0, notes[i], channel);
        out.insert(out.end(), one.begin(), one.end());
    }
    return out;
}

TEST_F(Accompaniment, FoldIntervalTakesTheSmallerMovement) {
    // x - 12 from 9 up, then + 12 below -6.
    EXPECT_EQ(fold_interval(7), 7);
    EXPECT_EQ(fold_interval(8), 8);
    EXPECT_EQ(fold_interval(9), -3);
    EXPECT_EQ(fold_interval(11), -1);
    EXPECT_EQ(fold_interval(-6), -6);
    EXPECT_EQ(fold_interval(-7), 5);
    EXPECT_EQ(fold_interval(-10), 2);
}

TEST_F(Accompaniment, ChordNotesCEGDoubleTheBassAndHaveNoSeventh) {
    ChordNotes notes;
    for (int n : {67, 60, 64}) {
        chord_notes_add(notes, n);
    }
    ChordInForce chord;
    ASSERT_TRUE(chord_analyse(notes, chord));
    // Sorted 60 64 67; 60 > 48 is doubled: 60 60 64 67.
    EXPECT_EQ(chord.chord_bass, 60);
    EXPECT_EQ(chord.chord_root, 0);
    EXPECT_EQ(chord.intervals[0], 4);
    EXPECT_EQ(chord.intervals[1], 7);
    EXPECT_FALSE(chord.has_i3);
    // Without I3 a Bb of channels 5..8 goes up 2; a channel-1 note 72 goes down from 71 to
    // the first of E (root + I1) or G (root + I2, standing in for I3): 67.
    EXPECT_EQ(accompaniment_note(70, 5, chord, false), 72);
    EXPECT_EQ(accompaniment_note(72, 1, chord, false), 67);
}

TEST_F(Accompaniment, TwoNotesAtATickLeaveTheChordInForce) {
    ChordNotes notes;
    chord_notes_add(notes, 62);
    chord_notes_add(notes, 65);
    ChordInForce chord;
    EXPECT_FALSE(chord_analyse(notes, chord));
    EXPECT_EQ(chord.chord_root, 0); // still C7: bass 0, intervals 4 7 10
    EXPECT_EQ(chord.intervals[2], 10);
    EXPECT_TRUE(chord.has_i3);
}

TEST_F(Accompaniment, XfChordWithBassGivesFiveNotes) {
    ChordNotes notes;
    // F (0x34) major (type 0: 4 7 12) over A (0x36): bass 9 + 12, then 65, 69, 72, 77.
    chord_notes_from_xf(notes, XfChord{0x34, 0, 0x36, 0});
    ASSERT_EQ(notes.count, 5);
    EXPECT_EQ(std::vector<int>(notes.notes, notes.notes + 5),
              (std::vector<int>{21, 65, 69, 72, 77}));
    // Types 30, 31 and 34 add nothing beyond the root.
    ChordNotes plain;
    chord_notes_from_xf(plain, XfChord{0x31, 30, XF_NO_BASS, 0});
    EXPECT_EQ(plain.count, 1);
}

TEST_F(Accompaniment, ChannelsOneToFourMoveDownToAChordTone) {
    ChordInForce c7; // C7: tones of every upper part E and Bb
    // 67: 66, 65 pass, 64 is E.
    EXPECT_EQ(accompaniment_note(67, 1, c7, false), 64);
    // With Ctrl from two below: 64 starts at 62, down to 58 (Bb).
    EXPECT_EQ(accompaniment_note(64, 2, c7, true), 58);
    // Channels 3 and 4 also stop at the root, the fifth and the bass: 62 goes to 60 (C).
    EXPECT_EQ(accompaniment_note(62, 3, c7, false), 60);
    // Note 0 goes below 0 and comes back up an octave: -1 + 12.
    EXPECT_EQ(accompaniment_note(0, 4, c7, false), 11);
    // Drum channels are left alone.
    EXPECT_EQ(accompaniment_note(36, 10, c7, false), 36);
}

// One XF chord G7 (root 0x35, type 19) at tick 0; pattern C E G Bb on channel 5:
// fold(7) = 7 moves every note a fifth up, and the chord's intervals 4 7 10 match the
// pattern's, so G B D F.
TEST_F(Accompaniment, OneChordG7TurnsCEGBbIntoGBDF) {
    load_song(2, {concat({xf_chord(0, 0x35, 19), end_of_track(0)}),
                  concat({block_chord(0, {60, 64, 67, 70}, 480, 4), end_of_track(0)})});

    EXPECT_EQ(auto_accompany(4, 1, 3, 1, 2), EditResult::done);

    EXPECT_EQ(track_data(0, 3),
              concat({block_chord(0, {67, 71, 74, 77}, 480, 4), end_of_track(0)}));
    EXPECT_EQ(g_song.track_count, 4);
    // The pattern itself is not changed.
    EXPECT_EQ(track_data(0, 2),
              concat({block_chord(0, {60, 64, 67, 70}, 480, 4), end_of_track(0)}));
}

// Am (root 0x36, type 8: 3 7 12): root 9 folds to -3, C -> A; E gets fold(3 - 4) = -1 more,
// so C; G gets fold(7 - 7) = 0, so E.
TEST_F(Accompaniment, OneChordAmTurnsCEGIntoACE) {
    load_song(1, {concat({xf_chord(0, 0x36, 8), end_of_track(0)}),
                  concat({block_chord(0, {60, 64, 67}, 240, 4), end_of_track(0)})});

    EXPECT_EQ(auto_accompany(3, 1, 3, 1, 2), EditResult::done);

    EXPECT_EQ(track_data(0, 2), concat({block_chord(0, {57, 60, 64}, 240, 4), end_of_track(0)}));
}

// Two chords, one from an XF event and one from notes, against parts of every kind.
// Tick 0: F (0x34, type 0) over A (0x36): notes 21 65 69 72 77, 21 <= 48 so no doubling:
//   bass 21, root 5, I1 = 69-5 = 4, I2 = 72-5 = 7 (mod 12), I3 = 77-5 = 0 (mod 12).
// Tick 960: notes 36 55 59 62 65: bass 36, root 7, I1 4, I2 7, I3 10 (G7 over C).
// The chord track's note-offs at 1900 are a chord tick with no notes: the chord stays.
TEST_F(Accompaniment, TwoChordsFitEveryKindOfPart) {
    Bytes chords =
        concat({xf_chord(0, 0x34, 0, 0x36), on(960, 36), on(0, 55), on(0, 59), on(0, 62), on(0, 65),
                off(940, 36), off(0, 55), off(0, 59), off(0, 62), off(0, 65), end_of_track(0)});
    // Channel 5 E, channel 1 C5, channel 7 C3, channel 10 kick at 0; channel 9 C4,
    // channel 3 G4, channel 6 Bb4 and channel 10 snare at 960.
    Bytes pattern =
        concat({on(0, 64, 100, 4), on(0, 72, 100, 0), on(0, 48, 100, 6), on(0, 36, 100, 9),
                off(120, 36, 9), off(360, 64, 4), off(0, 72, 0), off(0, 48, 6), on(480, 60, 100, 8),
                on(0, 67, 100, 2), on(0, 70, 100, 5), on(0, 38, 100, 9), off(120, 38, 9),
                off(360, 60, 8), off(0, 67, 2), off(0, 70, 5), end_of_track(0)});
    load_song(2, {chords, pattern});

    EXPECT_EQ(auto_accompany(4, 1, 3, 1, 2), EditResult::done);

    // Under F/A: channel 5 E: 64 + fold(5) = 69, pc 4 adds fold(4 - 4) = 0: 69.
    //   Channel 1 72: down from 71 to a tone of root + I1 = 9 or root + I3 = 5: 69.
    //   Channel 7 48: the bass 21 is below 48, so 21. Channel 10 stays 36.
    // Under G7/C: channel 9 60 + root 7, then the bass 36 (below 48): 36.
    //   Channel 3 67: down from 66; tones 11, 5, also root 7, fifth 2, bass pc 0: 65.
    //   Channel 6 Bb 70: + fold(7) = 77, pc 10 adds fold(10 - 10) = 0: 77. Channel 10 38.
    Bytes expected =
        concat({on(0, 69, 100, 4), on(0, 69, 100, 0), on(0, 21, 100, 6), on(0, 36, 100, 9),
                off(120, 36, 9), off(360, 69, 4), off(0, 69, 0), off(0, 21, 6), on(480, 36, 100, 8),
                on(0, 65, 100, 2), on(0, 77, 100, 5), on(0, 38, 100, 9), off(120, 38, 9),
                off(360, 36, 8), off(0, 65, 2), off(0, 77, 5), end_of_track(0)});
    EXPECT_EQ(track_data(0, 3), expected);
}

// A chord track with no chord (two notes are not enough) reads the pattern against C7:
// channels 5..8 keep C E G Bb, channel 1's G goes down to E.
TEST_F(Accompaniment, WithoutAChordThePatternIsReadAgainstC7) {
    load_song(1, {concat({on(0, 60), on(0, 64), off(480, 60), off(0, 64), end_of_track(0)}),
                  concat({block_chord(0, {60, 64, 67, 70}, 240, 5), on(0, 67), off(240, 67),
                          end_of_track(0)})});

    EXPECT_EQ(auto_accompany(3, 1, 3, 1, 2), EditResult::done);

    EXPECT_EQ(track_data(0, 2), concat({block_chord(0, {60, 64, 67, 70}, 240, 5), on(0, 64),
                                        off(240, 64), end_of_track(0)}));
}

// Overlapping notes that the fitting puts on one key keep only the first note-on and the
// last note-off. Chord notes 60 63 67: 60 doubled, bass 60, root C, I1 3, I2 7. Channel 5's
// E (0..480) gets fold(3 - 4) = -1: Eb, the same key as the Eb that sounds from 240 to 720.
TEST_F(Accompaniment, NotesFittedOntoOneKeyAreDeduplicated) {
    load_song(1, {concat({on(0, 60), on(0, 63), on(0, 67), off(960, 60), off(0, 63), off(0, 67),
                          end_of_track(0)}),
                  concat({on(0, 64, 100, 4), on(240, 63, 100, 4), off(240, 64, 4), off(240, 63, 4),
                          end_of_track(0)})});

    EXPECT_EQ(auto_accompany(3, 1, 3, 1, 2), EditResult::done);

    EXPECT_EQ(track_data(0, 2), concat({on(0, 63, 100, 4), off(720, 63, 4), end_of_track(0)}));
}

// Pattern and chords in bank 2 at time base 96, the current bank at 480: every tick is
// read five times as far. G (0x35, type 0) at 0 gives root 7 and intervals 4 7 0; Am
// (0x36, type 8) at 96 (480 here) root 9 and 3 7 0.
// C at 0..96 -> 0..480: + fold(7) = 67. E at 96..192 -> 480..960: + fold(9) = -3 and
// fold(3 - 4) = -1: 60. The pattern ends at 768 (3840 here), one measure past this
// song's end at 1920: track 1 is lengthened to 3840.
TEST_F(Accompaniment, PatternAndChordsFromAnotherBankAreReadInThisTimeBase) {
    song_bank_select(1);
    load_song(2,
              {concat({on(0, 60, 100, 4), off(96, 60, 4), on(0, 64, 100, 4), off(96, 64, 4),
                       end_of_track(576)}),
               concat({xf_chord(0, 0x35, 0), xf_chord(96, 0x36, 8), end_of_track(0)})},
              96);
    song_bank_select(0);
    load_song(1, {});

    EXPECT_EQ(auto_accompany(2, 2, 2, 2, 3), EditResult::done);

    EXPECT_EQ(track_data(0, 1), concat({on(0, 67, 100, 4), off(480, 67, 4), on(0, 60, 100, 4),
                                        off(480, 60, 4), end_of_track(2880)}));
    EXPECT_EQ(track_data(0, 0),
              concat({tempo_event(0, 500000), time_signature(0, 4, 2), end_of_track(3840)}));
    EXPECT_EQ(g_song.measure_table.last_measure, 2);
    EXPECT_EQ(g_song.track_count, 2);
}

// A pattern of 1000 measures at time base 48 read at 480 would end at 1,920,000; the 999th
// measure of 4/4 at 480 ends at 999 x 1920 = 1,918,080. The held note is closed there and
// the song grows to exactly 999 measures.
TEST_F(Accompaniment, GeneratedNotesStopAtTheNineHundredNinetyNinthMeasure) {
    song_bank_select(1);
    load_song(1000,
              {concat({on(0, 60, 100, 4), off(192000, 60, 4), end_of_track(0)}),
               concat({xf_chord(0, 0x31, 0), end_of_track(0)})},
              48);
    song_bank_select(0);
    load_song(1, {});

    EXPECT_EQ(auto_accompany(2, 2, 2, 2, 3), EditResult::done);

    // C major: root 0, fold(0) = 0, so 60 stays; closed by a note-on of velocity 0.
    EXPECT_EQ(track_data(0, 1), concat({on(0, 60, 100, 4), on0(1918080, 60, 4), end_of_track(0)}));
    EXPECT_EQ(track_end_tick(0, 0), 1918080);
    EXPECT_EQ(g_song.measure_table.last_measure, 999);
}

TEST_F(Accompaniment, EmptyOrMissingPatternOrChordsChangeNothingAndSaySo) {
    struct Case {
        const char* name;
        int pattern_track, chord_track;
        const char* status;
    };
    // Track 2 holds chords, track 3 a pattern, track 4 only a controller, track 5 nothing.
    const Case cases[] = {
        {"pattern beyond the track count", 9, 2, "no pattern !!"},
        {"pattern without notes", 4, 2, "no pattern !!"},
        {"empty chord track", 3, 5, "no chord !!  "},
        {"chord track without chords", 3, 4, "no chord !!  "},
        {"chord track beyond the track count", 3, 12, "no chord !!  "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        load_song(1, {concat({xf_chord(0, 0x35, 19), end_of_track(0)}),
                      concat({on(0, 60, 100, 4), off(240, 60, 4), end_of_track(0)}),
                      concat({ev(0, {0xB0, 7, 100}), end_of_track(0)}), end_of_track(0)});
        StoreSnapshot before = store_snapshot();

        EXPECT_EQ(auto_accompany(6, 1, c.pattern_track, 1, c.chord_track), EditResult::no_data);

        EXPECT_EQ(last_status(), c.status);
        EXPECT_TRUE(store_unchanged(before));
        EXPECT_EQ(g_song.track_count, 5);
    }
}

TEST_F(Accompaniment, RefusalIsSaidInJapaneseOnJapaneseSystems) {
    g_headless.language = UiLanguage::japanese;
    load_song(1, {end_of_track(0)});

    EXPECT_EQ(auto_accompany(2, 1, 2, 1, 2), EditResult::no_data);

    EXPECT_EQ(last_status(), utf8_to_sjis("パターンなし"));
}

TEST_F(Accompaniment, OutOfRangeFieldsAreRefused) {
    load_song(1, {concat({on(0, 60), off(10, 60), end_of_track(0)})});
    StoreSnapshot before = store_snapshot();
    EXPECT_EQ(auto_accompany(0, 1, 2, 1, 2), EditResult::invalid);
    EXPECT_EQ(auto_accompany(2, 11, 2, 1, 2), EditResult::invalid);
    EXPECT_EQ(auto_accompany(2, 1, 65, 1, 2), EditResult::invalid);
    EXPECT_EQ(auto_accompany(2, 1, 2, 0, 2), EditResult::invalid);
    EXPECT_TRUE(store_unchanged(before));
}

TEST_F(Accompaniment, OutOfMemoryLeavesTheSongAsItWas) {
    int failures = 0;
    for (uint32_t free_bytes = 1; free_bytes < 400; free_bytes += 3) {
        SetUp();
        song_bank_select(1);
        load_song(2,
                  {concat({on(0, 60, 100, 4), off(96, 60, 4), on(0, 64, 100, 4), off(96, 64, 4),
                           end_of_track(576)})},
                  96);
        song_bank_select(0);
        load_song(1, {concat({xf_chord(0, 0x36, 8), end_of_track(0)})});
        limit_at_free(free_bytes);
        StoreSnapshot before = store_snapshot();

        EditResult result = auto_accompany(3, 2, 2, 1, 2);

        if (result == EditResult::done) {
            break;
        }
        failures++;
        EXPECT_EQ(result, EditResult::out_of_memory) << free_bytes;
        EXPECT_TRUE(store_unchanged(before)) << free_bytes;
        EXPECT_EQ(out_of_memory_shown(), 1) << free_bytes;
        EXPECT_EQ(g_song.track_count, 2) << free_bytes;
        EXPECT_EQ(g_edit.stage.depth, 0);
    }
    EXPECT_GT(failures, 10);
}

} // namespace
