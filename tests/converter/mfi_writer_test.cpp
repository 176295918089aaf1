// MFi and PMD output checked against bytes worked out by hand from the format: header
// chunks, note encodings, fillers, tempo codes, controls, sizes and messages.
#include "converter/converter.h"
#include "converter/mail_text.h"
#include "tests/converter/converter_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <compare>
#include <ostream>
#include <string>
#include <vector>

namespace {

// A melody on MIDI channel 1: C4 and E4, a quarter each, at division 480.
Bytes two_note_melody() {
    return smf_file(0, 480,
                    {concat({ev(0, {0x90, 60, 100}), ev(480, {0x80, 60, 0}), ev(0, {0x90, 64, 100}),
                             ev(480, {0x80, 64, 0}), end_of_track(0)})});
}

// The data of output track j of an MFi file (after "trac" and its length).
Bytes track_data(const Bytes& file, int j) {
    size_t pos = 10 + file[9];
    for (int t = 0; pos + 8 <= file.size(); t++) {
        uint32_t length =
            (file[pos + 4] << 24) | (file[pos + 5] << 16) | (file[pos + 6] << 8) | file[pos + 7];
        if (t == j) {
            return Bytes(file.begin() + static_cast<long>(pos) + 8,
                         file.begin() + static_cast<long>(pos + 8 + length));
        }
        pos += 8 + length;
    }
    return {};
}

class MfiWriter : public ConverterFixture {
protected:
    // The plainest output most cases compare: model 0, no velocities.
    static void plain_mfi() {
        g_options.model = 0;
        g_options.vel = 0;
    }
    // Converts a one-track song of `events` (its end of track added) as `name`.mid with the
    // options as they stand: the data of the ringtone's first track.
    Bytes first_track(const std::string& name, uint16_t division, const Bytes& events) {
        if (!convert(smf_file(0, division, {concat({events, end_of_track(0)})}), name + ".mid")) {
            ADD_FAILURE() << name << " wrote nothing";
            return {};
        }
        return track_data(output(name + ".MLD"), 0);
    }
};

bool contains(const Bytes& haystack, const Bytes& needle) {
    return std::search(haystack.begin(), haystack.end(), needle.begin(), needle.end()) !=
           haystack.end();
}

TEST_F(MfiWriter, MonophonicMelodyTakenAsVersion1) {
    g_headless.answers = {true};
    ASSERT_TRUE(convert(two_note_melody(), "song.mid"));

    // 3 header bytes + sorc 7 + titl 7 + vers 10 + copy 10 = 37; no "note", no "exst".
    Bytes expected =
        concat({mfi_head("melo", 65, 37, 1, 1), mfi_chunk("sorc", {0x00}), mfi_chunk("titl", {' '}),
                mfi_chunk("vers", bytes_of("0100")), mfi_chunk("copy", bytes_of("03C0")),
                mfi_track({0x00, 0xFF, 0xD0, 0x00,       // start of track 0
                           0x00, 0x0F, 0x30,             // key 60: note 15, 48 ticks
                           0x30, 0x13, 0x30,             // key 64 a quarter later
                           0x30, 0xFF, 0xD0, 0x01, 0x00, // rest to the end, close
                           0xFF, 0xDF, 0x00})});
    EXPECT_EQ(output("song.MLD"), expected);
    ASSERT_EQ(questions().size(), 1u);
    EXPECT_EQ(questions()[0], "It can create by the MFi version 1.\nIs it made a version 1?");
    EXPECT_EQ(messages(), std::vector<std::string>{"Mail data is created to a clip board."});
}

TEST_F(MfiWriter, VelocityOffWritesTwoByteNotesAndSaysSo) {
    plain_mfi();
    ASSERT_TRUE(convert(two_note_melody(), "song.mid"));
    Bytes expected =
        concat({mfi_head("melo", 85, 53, 2, 1), mfi_chunk("sorc", {0x00}), mfi_chunk("titl", {' '}),
                mfi_chunk("vers", bytes_of("0200")), mfi_chunk("copy", bytes_of("03C0")),
                mfi_chunk("note", {0x00, 0x00}), mfi_chunk("exst", {0x00, 0x00}),
                mfi_track({0x00, 0xFF, 0xD0, 0x00, 0x00, 0xFF, 0xB0, 0x7F, 0x00, 0x0F, 0x30,
                           0x30, 0x13, 0x30, 0x30, 0xFF, 0xD0, 0x01, 0x00, 0xFF, 0xDF, 0x00})});
    EXPECT_EQ(output("song.MLD"), expected);
    EXPECT_EQ(messages(), (std::vector<std::string>{"Verocity is fix.",
                                                    "Mail data is created to a clip board."}));
}

TEST_F(MfiWriter, NoClipboardNoMailMessage) {
    plain_mfi();
    g_headless.clipboard_available = false;
    ASSERT_TRUE(convert(two_note_melody(), "song.mid"));
    EXPECT_EQ(messages(), std::vector<std::string>{"Verocity is fix."});
}

TEST_F(MfiWriter, MessagesFollowTheJapaneseInterface) {
    g_converter.ui_japanese = true;
    plain_mfi();
    ASSERT_TRUE(convert(two_note_melody(), "song.mid"));
    EXPECT_EQ(messages(), (std::vector<std::string>{"ベロシティーは変換しませんでした。",
                                                    "メールデータをクリップボードに作成。"}));
}

TEST_F(MfiWriter, LongRestIsWrittenWithFillers) {
    plain_mfi();
    // 600 ticks from the first note to the second: 255 + 255 + 90.
    EXPECT_EQ(first_track("rest", 48,
                          concat({ev(0, {0x90, 60, 100}), ev(48, {0x80, 60, 0}),
                                  ev(552, {0x90, 60, 100}), ev(48, {0x80, 60, 0})})),
              (Bytes{0x00, 0xFF, 0xD0, 0x00, 0x00, 0xFF, 0xB0, 0x7F, 0x00, 0x0F,
                     0x30, 0xFF, 0xFF, 0xDE, 0x00, 0xFF, 0xFF, 0xDE, 0x00, 0x5A,
                     0x0F, 0x30, 0x30, 0xFF, 0xD0, 0x01, 0x00, 0xFF, 0xDF, 0x00}));
}

TEST_F(MfiWriter, TempoIsWrittenAsBpmClampedTo20Through255) {
    struct Case {
        uint32_t usec;
        uint8_t bpm;
    };
    const Case cases[] = {{400000, 150}, {500000, 120}, {6000000, 20}, {200000, 255}};
    for (const Case& c : cases) {
        SetUp();
        plain_mfi();
        Bytes track = first_track(
            "tempo" + std::to_string(c.usec), 480,
            concat({tempo_event(0, c.usec), ev(0, {0x90, 60, 100}), ev(480, {0x80, 60, 0})}));
        EXPECT_TRUE(contains(track, {0x00, 0xFF, 0xB0, 0x7F, 0x00, 0xFF, 0xC3, c.bpm, 0x00, 0x0F}))
            << c.usec;
    }
}

TEST_F(MfiWriter, TempoOfZeroMicrosecondsIsNoTempo) {
    // It has no rate to fold or write: the song keeps the tempo it had (here none).
    for (int model : {0, 2}) {
        SetUp();
        g_options.model = model;
        g_options.vel = 0;
        Bytes song = smf_file(0, 480,
                              {concat({tempo_event(0, 0), ev(0, {0x90, 60, 100}),
                                       ev(480, {0x80, 60, 0}), end_of_track(0)})});
        std::string name = "zero" + std::to_string(model);
        ASSERT_TRUE(convert(song, name + ".mid"));
        if (model == 0) {
            EXPECT_EQ(track_data(output(name + ".MLD"), 0),
                      (Bytes{0x00, 0xFF, 0xD0, 0x00, 0x00, 0xFF, 0xB0, 0x7F, 0x00, 0x0F, 0x30, 0x30,
                             0xFF, 0xD0, 0x01, 0x00, 0xFF, 0xDF, 0x00}));
        } else {
            EXPECT_TRUE(exists(name + ".mmf"));
        }
    }
}

TEST_F(MfiWriter, TempoCodeFollowsTheSmallDivisions) {
    struct Case {
        uint16_t division;
        uint8_t code;
    };
    const Case cases[] = {{24, 0xC2}, {12, 0xC1}, {6, 0xC0}, {20, 0xC3}, {96, 0xC3}};
    for (const Case& c : cases) {
        SetUp();
        g_options.model = 0;
        Bytes track = first_track("div" + std::to_string(c.division), c.division,
                                  concat({tempo_event(0, 500000), ev(0, {0x90, 60, 100}),
                                          ev(c.division, {0x80, 60, 0})}));
        EXPECT_TRUE(contains(track, {0xFF, c.code, 120})) << c.division;
    }
}

TEST_F(MfiWriter, VolumeAndExpressionMakeOneChannelVolume) {
    plain_mfi();
    Bytes song =
        smf_file(0, 480,
                 {concat({ev(0, {0xB0, 7, 100}), ev(0, {0xB0, 7, 64}), ev(0, {0xB0, 11, 127}),
                          ev(0, {0xB0, 7, 64}), ev(0, {0x90, 60, 100}), ev(480, {0x80, 60, 0}),
                          end_of_track(0)})});
    ASSERT_TRUE(convert(song, "vol.mid"));
    // Volume 100 is the starting 50 again: nothing. 64 gives 32 x 63 / 63 = 32. Expression
    // 127 is the starting 63 and the repeated 64 is unchanged: nothing more.
    EXPECT_EQ(track_data(output("vol.MLD"), 0),
              (Bytes{0x00, 0xFF, 0xD0, 0x00, 0x00, 0xFF, 0xB0, 0x7F, 0x00, 0xFF, 0xE2, 0x20,
                     0x00, 0x0F, 0x30, 0x30, 0xFF, 0xD0, 0x01, 0x00, 0xFF, 0xDF, 0x00}));
}

TEST_F(MfiWriter, ProgramChangeOnSecondTrackPart) {
    g_options.model = 0;
    Bytes song = smf_file(0, 480,
                          {concat({ev(0, {0xC5, 70}), ev(0, {0x95, 60, 100}),
                                   ev(480, {0x85, 60, 0}), end_of_track(0)})});
    ASSERT_TRUE(convert(song, "prog.mid"));
    Bytes file = output("prog.MLD");
    EXPECT_EQ(file[12], 2); // channel 6 lies in the second group of four
    Bytes track1 = track_data(file, 1);
    EXPECT_TRUE(contains(track1, {0x00, 0xFF, 0xE1, 0x43, 0x00, 0xFF, 0xE0, 0x46}));
    // Second voice part: 64 + note 15, velocity 100 -> 200 with octave 0.
    EXPECT_TRUE(contains(track1, {0x00, 0x4F, 0x30, 0xC8}));
}

TEST_F(MfiWriter, ExclamationMarkWritesPmdWithoutMailText) {
    g_options.model = 0;
    ASSERT_TRUE(convert(two_note_melody(), "song!.mid"));
    Bytes file = output("song!.PMD");
    ASSERT_GE(file.size(), 13u);
    EXPECT_EQ(Bytes(file.begin(), file.begin() + 4), bytes_of("cmid"));
    EXPECT_EQ(g_headless.clipboard_puts, 0);
    // au notes are one tick shorter: 48 becomes 47.
    EXPECT_TRUE(contains(track_data(file, 0), {0x00, 0x0F, 0x2F}));
}

TEST_F(MfiWriter, LowKeysUseOctaveCodesAndTooLowStops) {
    g_options.model = 0;
    Bytes low = smf_file(
        0, 480, {concat({ev(0, {0x90, 30, 100}), ev(480, {0x80, 30, 0}), end_of_track(0)})});
    ASSERT_TRUE(convert(low, "low.mid"));
    Bytes file = output("low.MLD");
    EXPECT_TRUE(contains(file, mfi_chunk("note", {0x00, 0x01})));
    // Note -15: +12 is still below 0, +24 gives 9 with octave code 2.
    EXPECT_TRUE(contains(track_data(file, 0), {0x00, 0x09, 0x30, 0xCA}));

    Bytes too_low = smf_file(
        0, 480, {concat({ev(0, {0x90, 20, 100}), ev(480, {0x80, 20, 0}), end_of_track(0)})});
    EXPECT_FALSE(convert(too_low, "toolow.mid"));
    EXPECT_FALSE(exists("toolow.MLD"));
    EXPECT_EQ(messages().back(), "A note is scale over.");
}

TEST_F(MfiWriter, LongNotesAtDivision48AreChained) {
    plain_mfi();
    // Notes at 0, 254 and 508 of 255, 255 and 92 ticks.
    EXPECT_EQ(first_track("long", 48, concat({ev(0, {0x90, 60, 100}), ev(600, {0x80, 60, 0})})),
              (Bytes{0x00, 0xFF, 0xD0, 0x00, 0x00, 0xFF, 0xB0, 0x7F, 0x00, 0x0F, 0xFF, 0xFE, 0x0F,
                     0xFF, 0xFE, 0x0F, 0x5C, 0x5C, 0xFF, 0xD0, 0x01, 0x00, 0xFF, 0xDF, 0x00}));
}

// A note as written: start in output ticks, part, note number and duration.
struct WrittenNote {
    int start;
    int part;
    int number;
    int duration;
    auto operator<=>(const WrittenNote&) const = default;
};

std::ostream& operator<<(std::ostream& out, const WrittenNote& n) {
    return out << "{" << n.start << " part " << n.part << " note " << n.number << " for "
               << n.duration << "}";
}

// The notes of an output track of two-byte notes (no "note" chunk), sorted.
std::vector<WrittenNote> written_notes(const Bytes& track) {
    std::vector<WrittenNote> notes;
    int time = 0;
    size_t pos = 0;
    while (pos + 1 < track.size()) {
        time += track[pos];
        uint8_t status = track[pos + 1];
        pos += 2;
        if (status != 0xFF) {
            notes.push_back({time, status >> 6, status & 0x3F, track.at(pos)});
            pos++;
            continue;
        }
        uint8_t command = track.at(pos);
        if (command == 0xF0 || command == 0xF1 || command == 0xFF) {
            pos += 3 + static_cast<size_t>((track.at(pos + 1) << 8) | track.at(pos + 2));
        } else {
            pos += 2;
        }
    }
    std::sort(notes.begin(), notes.end());
    return notes;
}

TEST_F(MfiWriter, EveryLongNoteIsRestruckHoweverManySound) {
    struct Case {
        const char* name;
        Bytes song;
        std::vector<WrittenNote> expected;
    };
    // Seventeen keys on channel 1 held from 0 to 600: each is struck at 0, 254 and 508 for
    // 255, 255 and 92 ticks.
    Bytes keys;
    std::vector<WrittenNote> keys_expected;
    for (int k = 0; k < 17; k++) {
        keys = concat({keys, ev(0, {0x90, static_cast<uint8_t>(45 + k), 100})});
        keys_expected.push_back({0, 0, k, 255});
        keys_expected.push_back({254, 0, k, 255});
        keys_expected.push_back({508, 0, k, 92});
    }
    for (int k = 0; k < 17; k++) {
        keys = concat({keys, ev(k == 0 ? 600 : 0, {0x80, static_cast<uint8_t>(45 + k), 0})});
    }
    // A pad: six chords of 384 ticks (keys 60, 64, 67: notes 15, 19, 22) in a row on each of
    // channels 1 to 4; every note is struck again at 254 and lasts 255, then 130.
    Bytes pad;
    std::vector<WrittenNote> pad_expected;
    const uint8_t chord_keys[3] = {60, 64, 67};
    for (int i = 0; i <= 6; i++) {
        uint32_t delta = i == 0 ? 0 : 384;
        for (int c = 0; i > 0 && c < 4; c++) {
            for (uint8_t key : chord_keys) {
                pad = concat({pad, ev(delta, {static_cast<uint8_t>(0x80 | c), key, 0})});
                delta = 0;
            }
        }
        for (int c = 0; i < 6 && c < 4; c++) {
            for (uint8_t key : chord_keys) {
                pad = concat({pad, ev(0, {static_cast<uint8_t>(0x90 | c), key, 100})});
                pad_expected.push_back({384 * i, c, key - 45, 255});
                pad_expected.push_back({384 * i + 254, c, key - 45, 130});
            }
        }
    }
    std::sort(keys_expected.begin(), keys_expected.end());
    std::sort(pad_expected.begin(), pad_expected.end());
    const Case cases[] = {
        {"keys", smf_file(0, 48, {concat({keys, end_of_track(0)})}), keys_expected},
        {"pad", smf_file(0, 48, {concat({pad, end_of_track(0)})}), pad_expected},
    };
    for (const Case& c : cases) {
        SetUp();
        plain_mfi();
        ASSERT_TRUE(convert(c.song, std::string(c.name) + ".mid"));
        EXPECT_EQ(written_notes(track_data(output(std::string(c.name) + ".MLD"), 0)), c.expected)
            << c.name;
    }
}

TEST_F(MfiWriter, SeparationStopsWhenVoicesDoNotFit) {
    struct Case {
        int voices;
        const char* message;
    };
    const Case cases[] = {
        {17, "There are too many tones and it is not made automatic separation."},
        {16, "There are too many tones and it is not made automatic separation."},
    };
    const char* japanese[] = {"同時発音数が多いので自動分離できません。",
                              "同時発音数が多いので、自動分離できません。"};
    for (int i = 0; i < 2; i++) {
        for (bool ja : {false, true}) {
            SetUp();
            g_converter.ui_japanese = ja;
            g_options.separation = 1;
            std::string name = "chord" + std::to_string(cases[i].voices) + (ja ? "ja" : "en");
            EXPECT_FALSE(convert(chord(cases[i].voices), name + ".mid"));
            EXPECT_FALSE(exists(name + ".MLD"));
            ASSERT_FALSE(messages().empty());
            EXPECT_EQ(messages().back(), ja ? japanese[i] : cases[i].message) << cases[i].voices;
        }
    }
}

TEST_F(MfiWriter, SeparationPutsChordVoicesIntoParts) {
    plain_mfi();
    g_options.separation = 1;
    ASSERT_TRUE(convert(chord(2), "two.mid"));
    Bytes file = output("two.MLD");
    EXPECT_FALSE(contains(file, bytes_of("exst")));
    EXPECT_EQ(file[12], 1);
    // Key 45 in part 0, key 46 in part 1 (64 + 1).
    EXPECT_TRUE(contains(track_data(file, 0), {0x00, 0x00, 0x30, 0x00, 0x41, 0x30}));
    EXPECT_EQ(messages()[0], "Automatic separation is successful.");
}

// A song whose MFi file has exactly 272 + title_length bytes (62 quarter notes).
Bytes sized_song(int title_length) {
    Bytes events = meta_text(0, 3, std::string(static_cast<size_t>(title_length), 'A'));
    for (int i = 0; i < 62; i++) {
        events = concat({events, ev(0, {0x90, 60, 100}), ev(480, {0x80, 60, 0})});
    }
    return smf_file(0, 480, {concat({events, end_of_track(0)})});
}

TEST_F(MfiWriter, MailMessageOnlyBelow360Bytes) {
    for (int title : {87, 88}) {
        SetUp();
        plain_mfi();
        std::string name = "mail" + std::to_string(title);
        convert(sized_song(title), name + ".mid");
        Bytes file = output(name + ".MLD");
        ASSERT_EQ(file.size(), static_cast<size_t>(272 + title));
        // Both put the mail text on the clipboard: "--B:M", CR LF, Base64 of the file.
        EXPECT_EQ(g_headless.clipboard_puts, 1);
        EXPECT_EQ(g_headless.clipboard.size(), 7 + (file.size() + 2) / 3 * 4);
        EXPECT_EQ(g_headless.clipboard.substr(0, 13), "--B:M\r\nbWVsbw");
        bool message =
            !messages().empty() && messages().back() == "Mail data is created to a clip board.";
        EXPECT_EQ(message, file.size() < 360) << file.size();
    }
}

TEST_F(MfiWriter, RefusedOverwriteWritesNothingButKeepsTheMailText) {
    g_options.model = 0;
    write_file_bytes(dir.file("song.MLD"), {1, 2, 3});
    g_headless.answers = {false, false}; // no version 1, no overwrite
    EXPECT_FALSE(convert(two_note_melody(), "song.mid"));
    EXPECT_EQ(output("song.MLD"), (Bytes{1, 2, 3}));
    EXPECT_EQ(g_headless.clipboard_puts, 1);
    ASSERT_EQ(questions().size(), 2u);
    EXPECT_NE(questions()[1].find("すでに同じ名前のファイルがあります。\n上書き保存しますか？"),
              std::string::npos);
}

TEST_F(MfiWriter, TitleAndCopyrightGoIntoHeaderChunks) {
    g_options.model = 0;
    g_options.link = 0;
    Bytes song =
        smf_file(0, 480,
                 {concat({meta_text(0, 3, "Tune"), meta_text(0, 2, "(c)"), ev(0, {0x90, 60, 100}),
                          ev(480, {0x80, 60, 0}), end_of_track(0)})});
    ASSERT_TRUE(convert(song, "t.mid"));
    Bytes file = output("t.MLD");
    EXPECT_TRUE(
        contains(file, concat({mfi_chunk("sorc", {0x01}), mfi_chunk("titl", bytes_of("Tune"))})));
    SetUp();
    g_options.model = 0;
    g_options.link = 1;
    ASSERT_TRUE(convert(song, "linked.mid"));
    EXPECT_TRUE(contains(output("linked.MLD"), mfi_chunk("sorc", {0x04})));
}

TEST_F(MfiWriter, VersionOptionReplacesVersion3Text) {
    g_options.model = 3;
    snprintf(g_options.vers, sizeof g_options.vers, "0420");
    ASSERT_TRUE(convert(two_note_melody(), "v.mid"));
    EXPECT_TRUE(contains(output("v.MLD"), mfi_chunk("vers", bytes_of("0420"))));
}

TEST_F(MfiWriter, NoteLengthsScaleTo48PerQuarterAndClampAt255) {
    struct Case {
        uint32_t ticks;
        uint8_t duration;
    };
    const Case cases[] = {{480, 48}, {1920, 192}, {7680, 255}, {5, 1}};
    for (const Case& c : cases) {
        SetUp();
        plain_mfi();
        Bytes track = first_track("len" + std::to_string(c.ticks), 480,
                                  concat({ev(0, {0x90, 60, 100}), ev(c.ticks, {0x80, 60, 0})}));
        EXPECT_TRUE(contains(track, {0x7F, 0x00, 0x0F, c.duration})) << c.ticks;
    }
}

TEST_F(MfiWriter, RingtoneStartsAtTheFirstNoteOrTheCuePoint) {
    plain_mfi();
    // Four bars of silence, then the note: it starts the ringtone.
    EXPECT_TRUE(contains(
        first_track("late", 480, concat({ev(7680, {0x90, 60, 100}), ev(480, {0x80, 60, 0})})),
        {0xFF, 0xB0, 0x7F, 0x00, 0x0F, 0x30}));
    // A cue point at bar 3 starts it there: two bars (384 ticks of 48) before the note.
    Bytes cued = smf_file(0, 480,
                          {concat({meta_text(3840, 0x07, "go"), ev(3840, {0x90, 60, 100}),
                                   ev(480, {0x80, 60, 0}), end_of_track(0)})});
    ASSERT_TRUE(convert(cued, "cued.mid"));
    EXPECT_TRUE(contains(track_data(output("cued.MLD"), 0),
                         {0xFF, 0xB0, 0x7F, 0xFF, 0xFF, 0xDE, 0x00, 0x81, 0x0F, 0x30}));
}

TEST_F(MfiWriter, TempoChangeIsFoldedIntoTheTimeLine) {
    plain_mfi();
    // 120 bpm, then 60 bpm from the second note on: its delta and length double.
    EXPECT_EQ(
        first_track(
            "fold", 480,
            concat({tempo_event(0, 500000), ev(0, {0x90, 60, 100}), ev(480, {0x80, 60, 0}),
                    tempo_event(0, 1000000), ev(0, {0x90, 62, 100}), ev(480, {0x80, 62, 0})})),
        (Bytes{0x00, 0xFF, 0xD0, 0x00, 0x00, 0xFF, 0xB0, 0x7F, 0x00, 0xFF, 0xC3, 0x78, 0x00,
               0x0F, 0x30, 0x30, 0x11, 0x60, 0x60, 0xFF, 0xD0, 0x01, 0x00, 0xFF, 0xDF, 0x00}));
}

TEST_F(MfiWriter, DrumsAndMelodyWithinRangeNeedNoExtendedNotes) {
    plain_mfi();
    Bytes song =
        smf_file(0, 480,
                 {concat({ev(0, {0x99, 35, 100}), ev(0, {0x90, 45, 100}), ev(0, {0x90, 107, 100}),
                          ev(240, {0x89, 35, 0}), ev(0, {0x80, 45, 0}), ev(0, {0x80, 107, 0}),
                          ev(0, {0x99, 97, 100}), ev(240, {0x89, 97, 0}), end_of_track(0)})});
    ASSERT_TRUE(convert(song, "range.mid"));
    Bytes file = output("range.MLD");
    EXPECT_TRUE(contains(file, mfi_chunk("note", {0x00, 0x00})));
    // Melodic 45 and 107 are notes 0 and 62 of part 0; drum keys 35 and 97 notes 0 and 62 of
    // part 1 of the third track.
    EXPECT_TRUE(contains(track_data(file, 0), {0x00, 0x00, 0x18, 0x00, 0x3E, 0x18}));
    EXPECT_TRUE(contains(track_data(file, 2), {0x00, 0x40, 0x18, 0x18, 0x7E, 0x18}));
}

TEST_F(MfiWriter, FullFileClosesItsTracksAndReadsBack) {
    g_options.model = 0;
    // A rest of 100,000,000 ticks at division 6 needs more fillers than the file can hold.
    Bytes song =
        smf_file(0, 6,
                 {concat({ev(0, {0x90, 60, 100}), ev(6, {0x80, 60, 0}),
                          ev(100000000, {0x90, 62, 100}), ev(6, {0x80, 62, 0}), end_of_track(0)})});
    ASSERT_TRUE(convert(song, "full.mid"));
    Bytes file = output("full.MLD");
    EXPECT_GT(file.size(), 310000u);
    EXPECT_EQ(messages()[0], "Creation size was exceeded.");
    // The track closes with a zero delta: the rest that did not fit is dropped.
    Bytes track = track_data(file, 0);
    ASSERT_GE(track.size(), 8u);
    EXPECT_EQ(Bytes(track.end() - 8, track.end()),
              (Bytes{0x00, 0xFF, 0xD0, 0x01, 0x00, 0xFF, 0xDF, 0x00}));
    // The reader takes the whole file back.
    ASSERT_TRUE(convert(file, "back.MLD"));
    EXPECT_TRUE(exists("back.MID"));
}

} // namespace
