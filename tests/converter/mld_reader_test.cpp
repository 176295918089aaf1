// MLD and PMD ringtones read back to SMF, against SMF bytes worked out by hand; every
// damaged file ends in its message with no output.
#include "converter/converter.h"
#include "tests/converter/converter_fixture.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using MldReader = ConverterFixture;

// An MLD file: header chunks (sorc and an optional note chunk) and the given tracks.
Bytes mld_file(const std::vector<Bytes>& tracks, bool third_byte = false,
               const char* magic = "melo") {
    Bytes chunks = mfi_chunk("sorc", {0x00});
    if (third_byte) {
        chunks = concat({chunks, mfi_chunk("note", {0x00, 0x01})});
    }
    Bytes body;
    for (const Bytes& t : tracks) {
        body = concat({body, mfi_track(t)});
    }
    uint32_t size = static_cast<uint32_t>(13 + chunks.size() + body.size());
    return concat({mfi_head(magic, size - 8, static_cast<uint8_t>(3 + chunks.size()), 2,
                            static_cast<uint8_t>(tracks.size())),
                   chunks, body});
}

// The SMF the reader writes: format 0, one track, the division given.
Bytes smf_of(uint16_t division, const Bytes& events) {
    return concat({header_chunk(0, 1, division), track_chunk(events)});
}

TEST_F(MldReader, ProgramPairBecomesOneProgramChange) {
    Bytes file =
        mld_file({{0x00, 0xFF, 0xE1, 0x03, 0x00, 0xFF, 0xE0, 0x45, 0x00, 0xFF, 0xDF, 0x00}});
    ASSERT_TRUE(convert(file, "p.mld"));
    EXPECT_EQ(output("p.MID"), smf_of(48, {0x00, 0xC1, 0x45, 0x00, 0xFF, 0x2F, 0x00}));
}

TEST_F(MldReader, RepeatedNoteOnLengthensTheSoundingNote) {
    // Key 60 (note 15) at 0 for 48 ticks, again at 16 for 48: one note from 0 to 64.
    Bytes file = mld_file({{0x00, 0x0F, 0x30, 0x10, 0x0F, 0x30, 0x60, 0xFF, 0xDF, 0x00}});
    ASSERT_TRUE(convert(file, "n.mld"));
    EXPECT_EQ(output("n.MID"),
              smf_of(48, {0x00, 0x90, 0x3C, 0x64, 0x40, 0x80, 0x3C, 0x00, 0x30, 0xFF, 0x2F, 0x00}));
}

TEST_F(MldReader, ThirdByteGivesVelocityAndOctave) {
    // Note 9 with code 2 (two octaves down): key 9 + 45 - 24 = 30, velocity (0xCA >> 2) x 2.
    Bytes file = mld_file({{0x00, 0x09, 0x30, 0xCA, 0x30, 0xFF, 0xDF, 0x00}}, true);
    ASSERT_TRUE(convert(file, "o.mld"));
    EXPECT_EQ(output("o.MID"),
              smf_of(48, {0x00, 0x90, 0x1E, 0x64, 0x30, 0x80, 0x1E, 0x00, 0x00, 0xFF, 0x2F, 0x00}));
}

TEST_F(MldReader, DrumMarkAndHashNameChooseTheChannel) {
    struct Case {
        const char* name;
        Bytes track;
        Bytes smf_events;
    };
    // 0xFF 0xE5 0x09 makes part 0 a drum part, 0xFF 0xE5 0x89 part 2; drum note 1 is key 36.
    const Bytes part0 = {0x00, 0xFF, 0xE5, 0x09, 0x00, 0x01, 0x30, 0x30, 0xFF, 0xDF, 0x00};
    const Bytes part2 = {0x00, 0xFF, 0xE5, 0x89, 0x00, 0x81, 0x30, 0x30, 0xFF, 0xDF, 0x00};
    const Case cases[] = {
        // The map sends the drum part to channel 10.
        {"d.mld", part0, {0x00, 0x99, 0x24, 0x64, 0x30, 0x89, 0x24, 0x00, 0x00, 0xFF, 0x2F, 0x00}},
        {"e.mld", part2, {0x00, 0x99, 0x24, 0x64, 0x30, 0x89, 0x24, 0x00, 0x00, 0xFF, 0x2F, 0x00}},
        // With '#' part p of track 0 stays channel p + 1, still playing the drum key.
        {"d#.mld", part0, {0x00, 0x90, 0x24, 0x64, 0x30, 0x80, 0x24, 0x00, 0x00, 0xFF, 0x2F, 0x00}},
        {"e#.mld", part2, {0x00, 0x92, 0x24, 0x64, 0x30, 0x82, 0x24, 0x00, 0x00, 0xFF, 0x2F, 0x00}},
    };
    for (const Case& c : cases) {
        SetUp();
        ASSERT_TRUE(convert(mld_file({c.track}), c.name));
        std::string name = c.name;
        EXPECT_EQ(output(name.substr(0, name.size() - 3) + "MID"), smf_of(48, c.smf_events))
            << c.name;
    }
}

TEST_F(MldReader, CmidDrumsCountFromKey45) {
    // 0xFF 0xE5 0x49: part 1 plays channel 10; in an au file drum note 1 is key 46.
    Bytes track = {0x00, 0xFF, 0xE5, 0x49, 0x00, 0x41, 0x30, 0x30, 0xFF, 0xDF, 0x00};
    ASSERT_TRUE(convert(mld_file({track}, false, "cmid"), "c.pmd"));
    EXPECT_EQ(output("c.MID"),
              smf_of(48, {0x00, 0x99, 0x2E, 0x64, 0x30, 0x89, 0x2E, 0x00, 0x00, 0xFF, 0x2F, 0x00}));
    // 0xFF 0xBA with bit 0 set makes a channel a drum channel by number: 0x09 names channel 1.
    Bytes marked = {0x00, 0xFF, 0xBA, 0x01, 0x00, 0x01, 0x30, 0x30, 0xFF, 0xDF, 0x00};
    ASSERT_TRUE(convert(mld_file({marked}), "b.mld"));
    EXPECT_EQ(output("b.MID"),
              smf_of(48, {0x00, 0x99, 0x24, 0x64, 0x30, 0x89, 0x24, 0x00, 0x00, 0xFF, 0x2F, 0x00}));
}

TEST_F(MldReader, TempoCodesSetTheDivisionAndTempo) {
    struct Case {
        uint8_t code;
        uint8_t bpm;
        uint16_t division;
        Bytes tempo; // the tempo event, empty when none is written
    };
    const Case cases[] = {
        {0xC3, 120, 48, {0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20}},
        {0xC1, 150, 12, {0x00, 0xFF, 0x51, 0x03, 0x06, 0x1A, 0x80}},
        {0xC8, 60, 15, {0x00, 0xFF, 0x51, 0x03, 0x0F, 0x42, 0x40}},
        // A tempo byte of 0 has no microseconds: the division still follows the code.
        {0xC2, 0, 24, {}},
        // 1 bpm would need 60,000,000 us: the largest three-byte value is written instead.
        {0xC3, 1, 48, {0x00, 0xFF, 0x51, 0x03, 0xFF, 0xFF, 0xFF}},
    };
    for (const Case& c : cases) {
        SetUp();
        std::string name = "t" + std::to_string(c.code) + "_" + std::to_string(c.bpm);
        ASSERT_TRUE(convert(mld_file({{0x00, 0xFF, c.code, c.bpm, 0x00, 0xFF, 0xDF, 0x00}}),
                            name + ".mld"));
        EXPECT_EQ(output(name + ".MID"),
                  smf_of(c.division, concat({c.tempo, {0x00, 0xFF, 0x2F, 0x00}})))
            << int(c.code) << " " << int(c.bpm);
    }
}

TEST_F(MldReader, TitleBecomesSequenceName) {
    struct Case {
        std::string title;
        Bytes name_event; // at time 0, before the end of track
    };
    const std::string full(128, 'x');
    // 127 bytes and then a double-byte character: its lead byte would be the 128th.
    const std::string split = std::string(127, 'y') + "\x82\xA0";
    const Case cases[] = {
        {"Hi", {0x00, 0xFF, 0x03, 0x02, 'H', 'i'}},
        // The longest title the writer puts: all 128 bytes, the length as two VLQ bytes.
        {full, concat({{0x00, 0xFF, 0x03, 0x81, 0x00}, bytes_of(full)})},
        {split, concat({{0x00, 0xFF, 0x03, 0x7F}, bytes_of(std::string(127, 'y'))})},
    };
    for (const Case& c : cases) {
        SetUp();
        Bytes chunks = concat({mfi_chunk("sorc", {0x00}), mfi_chunk("titl", bytes_of(c.title))});
        Bytes track = mfi_track({0x00, 0xFF, 0xDF, 0x00});
        uint32_t size = static_cast<uint32_t>(13 + chunks.size() + track.size());
        Bytes file =
            concat({mfi_head("melo", size - 8, static_cast<uint8_t>(3 + chunks.size()), 2, 1),
                    chunks, track});
        std::string name = "h" + std::to_string(c.title.size());
        ASSERT_TRUE(convert(file, name + ".mld"));
        EXPECT_EQ(output(name + ".MID"),
                  smf_of(48, concat({c.name_event, {0x00, 0xFF, 0x2F, 0x00}})))
            << name;
    }
}

TEST_F(MldReader, UnknownCommandNamesItsPosition) {
    // The command byte 0xC7 stands at offset 13 + 7 + 8 + 2 = 30 = 0x1E.
    Bytes file = mld_file({{0x00, 0xFF, 0xC7, 0x00, 0x00, 0xFF, 0xDF, 0x00}});
    for (bool ja : {false, true}) {
        SetUp();
        g_converter.ui_japanese = ja;
        EXPECT_FALSE(convert(file, "u.mld"));
        EXPECT_FALSE(exists("u.MID"));
        ASSERT_EQ(messages().size(), 1u);
        EXPECT_EQ(messages()[0],
                  ja ? "001E未知のコマンドがあるため変換できません"
                     : "001ESince there is a strange command, it is not convertible.");
    }
}

TEST_F(MldReader, EveryCutOfTheFileIsADataError) {
    Bytes file = mld_file({{0x00, 0xFF, 0xE1, 0x03, 0x00, 0xFF, 0xE0, 0x45, 0x00, 0x0F, 0x30,
                            0x00, 0xFF, 0xF0, 0x00, 0x02, 0x12, 0x34, 0x30, 0xFF, 0xDF, 0x00}},
                          true);
    for (size_t n = 4; n < file.size(); n++) {
        SetUp();
        g_converter.ui_japanese = true; // no English twin: always this text
        Bytes cut(file.begin(), file.begin() + static_cast<long>(n));
        EXPECT_FALSE(convert(cut, "cut.mld")) << n;
        EXPECT_FALSE(exists("cut.MID")) << n;
        EXPECT_EQ(messages(), std::vector<std::string>{"DATA ERROR"}) << n;
    }
}

TEST_F(MldReader, NotARingtoneDoesNothing) {
    EXPECT_FALSE(convert(bytes_of("MThd and more"), "x.mld"));
    EXPECT_FALSE(exists("x.MID"));
    EXPECT_TRUE(messages().empty());
}

// The reader grades what it found; only run_conversion() turns that into a message.
TEST_F(MldReader, TheReaderGradesItsResultWithoutTelling) {
    auto read = [&](const Bytes& bytes, const std::string& name) {
        SetUp();
        write_file_bytes(dir.file(name), bytes);
        snprintf(g_converter.input_path, sizeof g_converter.input_path, "%s",
                 dir.file(name).c_str());
        return ringtone_to_smf();
    };
    Bytes unknown = mld_file({{0x00, 0xFF, 0xC7, 0x00, 0x00, 0xFF, 0xDF, 0x00}});
    RingtoneReadReport report = read(unknown, "u.mld");
    EXPECT_EQ(report.result, RingtoneReadResult::unknown_command);
    EXPECT_EQ(report.position, 0x1Eu);
    Bytes good = mld_file({{0x00, 0x0F, 0x30, 0x30, 0xFF, 0xDF, 0x00}});
    EXPECT_EQ(read(Bytes(good.begin(), good.end() - 1), "cut.mld").result,
              RingtoneReadResult::damaged);
    EXPECT_EQ(read(bytes_of("MThd and more"), "x.mld").result, RingtoneReadResult::not_a_ringtone);
    EXPECT_EQ(read(good, "g.mld").result, RingtoneReadResult::written);
    EXPECT_TRUE(exists("g.MID"));
    EXPECT_TRUE(messages().empty());
    EXPECT_TRUE(g_headless.status_texts.empty());

    SetUp();
    snprintf(g_converter.input_path, sizeof g_converter.input_path, "%s",
             dir.file("missing.mld").c_str());
    EXPECT_EQ(ringtone_to_smf().result, RingtoneReadResult::cannot_open);
    EXPECT_TRUE(g_headless.status_texts.empty());
    // The conversion as the user starts it says so.
    EXPECT_FALSE(run_conversion());
    EXPECT_EQ(headless_last_status(), "file not found");
}

TEST_F(MldReader, CarriedEventsRoundTripThroughTheWriter) {
    // An unknown-to-SMF command with data travels as Base64 in an exclusive message.
    Bytes file = mld_file({{0x00, 0xFF, 0xF0, 0x00, 0x02, 0x12, 0x34, 0x00, 0xFF, 0xDF, 0x00}});
    ASSERT_TRUE(convert(file, "s.mld"));
    // "F0 00 02 12 34" in Base64 is "8AACEjQ=".
    EXPECT_EQ(output("s.MID"), smf_of(48, concat({{0x00, 0xF0, 0x0A, 0x64},
                                                  bytes_of("8AACEjQ="),
                                                  {0xF7, 0x00, 0xFF, 0x2F, 0x00}})));
}

TEST_F(MldReader, ModulationFormNamesItsChannelByThePartAlone) {
    struct Case {
        size_t track; // where the form stands among four tracks
        uint8_t part_byte;
        uint8_t status;
    };
    // Value 0x20 becomes controller 1 = 0x40 on MIDI channel (part byte >> 6) + 1, in
    // whichever track it stands.
    const Case cases[] = {{0, 0x41, 0xB1}, {1, 0x41, 0xB1}, {3, 0xC1, 0xB3}, {2, 0x01, 0xB0}};
    for (const Case& c : cases) {
        SetUp();
        std::vector<Bytes> tracks(4, Bytes{0x00, 0xFF, 0xDF, 0x00});
        tracks[c.track] = {0x00,        0xFF, 0xFF, 0x00, 0x04, 0x11, 0xF1,
                           c.part_byte, 0x20, 0x00, 0xFF, 0xDF, 0x00};
        std::string name = "m" + std::to_string(c.track);
        ASSERT_TRUE(convert(mld_file(tracks), name + ".mld"));
        EXPECT_EQ(output(name + ".MID"),
                  smf_of(48, {0x00, c.status, 0x01, 0x40, 0x00, 0xFF, 0x2F, 0x00}))
            << name;
    }
}

TEST_F(MldReader, PlayOptionOpensTheWrittenFile) {
    g_options.play = 1;
    ASSERT_TRUE(convert(mld_file({{0x00, 0xFF, 0xDF, 0x00}}), "play.mld"));
    ASSERT_EQ(g_headless.opened_documents.size(), 1u);
    EXPECT_EQ(g_headless.opened_documents[0], dir.file("play.MID"));
}

} // namespace
