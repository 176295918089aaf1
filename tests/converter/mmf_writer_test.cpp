// MMF output checked against bytes worked out by hand: content information, score tracks,
// note and octave encodings, voice set-up and the CRC.
#include "converter/converter.h"
#include "converter/mmf_crc.h"
#include "tests/converter/converter_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

using MmfWriter = ConverterFixture;

Bytes be32(uint32_t n) {
    return {static_cast<uint8_t>(n >> 24), static_cast<uint8_t>(n >> 16),
            static_cast<uint8_t>(n >> 8), static_cast<uint8_t>(n)};
}

Bytes one_note(uint8_t key) {
    return smf_file(0, 480,
                    {concat({ev(0, {0x90, key, 100}), ev(480, {0x80, key, 0}), end_of_track(0)})});
}

// The "Mtsq" data of score track j (1-based track number in the file).
Bytes sequence_data(const Bytes& file, int track_number) {
    Bytes tag = bytes_of("MTR");
    tag.push_back(static_cast<uint8_t>(track_number));
    auto at = std::search(file.begin(), file.end(), tag.begin(), tag.end());
    Bytes mtsq = bytes_of("Mtsq");
    auto seq = std::search(at, file.end(), mtsq.begin(), mtsq.end());
    if (seq == file.end()) {
        return {};
    }
    size_t pos = static_cast<size_t>(seq - file.begin()) + 4;
    uint32_t length =
        (file[pos] << 24) | (file[pos + 1] << 16) | (file[pos + 2] << 8) | file[pos + 3];
    return Bytes(file.begin() + static_cast<long>(pos) + 4,
                 file.begin() + static_cast<long>(pos + 4 + length));
}

TEST(MmfCrc, MatchesTheStandardCheckValue) {
    // CRC-16 with polynomial 0x1021, initial 0xFFFF, inverted result: the check value of
    // "123456789" for these parameters is 0xD64E.
    const char* text = "123456789";
    EXPECT_EQ(mmf_crc16(reinterpret_cast<const uint8_t*>(text), 9), 0xD64E);
    EXPECT_EQ(mmf_crc16(nullptr, 0), 0x0000);
}

TEST_F(MmfWriter, MiddleCQuarterNoteWholeFile) {
    g_options.model = 2;
    ASSERT_TRUE(convert(one_note(60), "c.mid"));
    Bytes cnti = concat({Bytes(5, 0x00),
                         {'M', '2', ':', 0x04, ','},
                         bytes_of("ST: ,"),
                         bytes_of("A0:Y71328,A2:Y71376,")});
    Bytes empty_setup = concat({bytes_of("Mtsu"), be32(0)});
    Bytes track_head = {0x00, 0x00, 0x02, 0x02, 0xAA, 0xAA};
    // Key 60: octave field 1, n 12; a quarter at the default 120 bpm lasts 500 ms, 125
    // units, gate 124; the rest to the end is 125 units.
    Bytes seq1 = {0x00, 0x1C, 0x7C, 0x7D, 0x00, 0x00, 0x00, 0x00};
    Bytes seq_empty = {0x7D, 0x00, 0x00, 0x00, 0x00};
    // Slot 9 is kept for the drum channel: part 1 of track 3 gets the drum bank.
    Bytes seq3 = {0x00, 0x00, 0x71, 0x80, 0x7D, 0x00, 0x00, 0x00, 0x00};
    auto mtr = [&](uint8_t n, const Bytes& seq, bool setup) {
        Bytes body = concat({track_head, setup ? empty_setup : Bytes{}, bytes_of("Mtsq"),
                             be32(static_cast<uint32_t>(seq.size())), seq});
        return concat({bytes_of("MTR"), {n}, be32(static_cast<uint32_t>(body.size())), body});
    };
    Bytes body = concat({bytes_of("CNTI"), be32(35), cnti, mtr(1, seq1, true),
                         mtr(2, seq_empty, false), mtr(3, seq3, false), mtr(4, seq_empty, false)});
    Bytes expected = concat({bytes_of("MMMD"), be32(168), body});
    ASSERT_EQ(expected.size(), 174u);
    uint16_t crc = mmf_crc16(expected.data(), expected.size());
    expected.push_back(static_cast<uint8_t>(crc >> 8));
    expected.push_back(static_cast<uint8_t>(crc));
    EXPECT_EQ(output("c.mmf"), expected);
    EXPECT_TRUE(messages().empty());
}

TEST_F(MmfWriter, NoteBytesAndOctaveShifts) {
    struct Case {
        uint8_t key;
        Bytes sequence_start;
    };
    const Case cases[] = {
        // A quarter at the default 120 bpm: 125 units, gate 124.
        {60, {0x00, 0x1C, 0x7C}},
        {61, {0x00, 0x21, 0x7C}},
        {48, {0x00, 0x0C, 0x7C}},
        {36, {0x00, 0x00, 0x32, 0x81, 0x00, 0x0C, 0x7C}},  // o_index 2: shift 0x81
        {120, {0x00, 0x00, 0x32, 0x03, 0x00, 0x3C, 0x7C}}, // o_index 9: field 3, shift 3
    };
    for (const Case& c : cases) {
        SetUp();
        g_options.model = 2;
        std::string name = "k" + std::to_string(c.key);
        ASSERT_TRUE(convert(one_note(c.key), name + ".mid"));
        Bytes seq = sequence_data(output(name + ".mmf"), 1);
        ASSERT_GE(seq.size(), c.sequence_start.size());
        EXPECT_EQ(Bytes(seq.begin(), seq.begin() + static_cast<long>(c.sequence_start.size())),
                  c.sequence_start)
            << int(c.key);
    }
}

TEST_F(MmfWriter, HashMarkWritesMmfWhateverTheModel) {
    g_options.model = 0;
    ASSERT_TRUE(convert(one_note(60), "x#.mid"));
    EXPECT_TRUE(exists("x#.mmf"));
    EXPECT_FALSE(exists("x#.MLD"));
}

TEST_F(MmfWriter, ChordUsesTwoPartsAndProgramEntersTheVoiceList) {
    g_options.model = 2;
    Bytes song =
        smf_file(0, 480,
                 {concat({ev(0, {0xC0, 5}), ev(0, {0x90, 60, 100}), ev(0, {0x90, 64, 100}),
                          ev(480, {0x80, 60, 0}), ev(0, {0x80, 64, 0}), end_of_track(0)})});
    ASSERT_TRUE(convert(song, "ch.mid"));
    Bytes file = output("ch.mmf");
    // Program 5 goes to both slots of channel 1, joined by a zero delta; key 64 is field 2,
    // n 4 in part 1. Both notes last a quarter at 120 bpm: gate 124.
    Bytes seq = sequence_data(file, 1);
    Bytes start = {0x00, 0x00, 0x30, 0x05, 0x00, 0x00, 0x70,
                   0x05, 0x00, 0x1C, 0x7C, 0x00, 0x64, 0x7C};
    ASSERT_GE(seq.size(), start.size());
    EXPECT_EQ(Bytes(seq.begin(), seq.begin() + static_cast<long>(start.size())), start);
    // One voice: program 5, position 0, melodic.
    Bytes setup_head =
        concat({bytes_of("Mtsu"), be32(21), {0xFF, 0xF0, 0x12, 0x43, 0x03, 0x00, 0x00, 0x05}});
    EXPECT_NE(std::search(file.begin(), file.end(), setup_head.begin(), setup_head.end()),
              file.end());
}

TEST_F(MmfWriter, WithoutM2TheContentGoesStraightToTitle) {
    g_options.model = 2;
    g_options.m2 = 0;
    ASSERT_TRUE(convert(one_note(60), "m.mid"));
    Bytes expected = concat({bytes_of("CNTI"), be32(30), Bytes(5, 0x00), bytes_of("ST: ,A0:")});
    Bytes file = output("m.mmf");
    EXPECT_EQ(Bytes(file.begin() + 8, file.begin() + 8 + static_cast<long>(expected.size())),
              expected);
}

TEST_F(MmfWriter, SustainHoldsNotesUntilThePedalLifts) {
    g_options.model = 2;
    Bytes song =
        smf_file(0, 480,
                 {concat({ev(0, {0xB0, 64, 127}), ev(0, {0x90, 60, 100}), ev(240, {0x80, 60, 0}),
                          ev(240, {0xB0, 64, 0}), end_of_track(0)})});
    ASSERT_TRUE(convert(song, "sus.mid"));
    // The note lasts to the pedal's release: 480 ticks at 120 bpm, 125 units, gate 124.
    Bytes seq = sequence_data(output("sus.mmf"), 1);
    EXPECT_EQ(Bytes(seq.begin(), seq.begin() + 3), (Bytes{0x00, 0x1C, 0x7C}));
}

TEST_F(MmfWriter, MsvolZeroDoesNotDivideByZero) {
    g_options.model = 2;
    g_options.msvol = 0;
    Bytes song = smf_file(0, 480,
                          {concat({ev(0, {0xB0, 7, 80}), ev(0, {0x90, 60, 100}),
                                   ev(480, {0x80, 60, 0}), end_of_track(0)})});
    ASSERT_TRUE(convert(song, "vol.mid"));
    // 80 x 127 / 127 x 127 / 127 = 80.
    Bytes seq = sequence_data(output("vol.mmf"), 1);
    EXPECT_EQ(Bytes(seq.begin(), seq.begin() + 4), (Bytes{0x00, 0x00, 0x37, 80}));
}

// A Standard MIDI File without a tempo event plays at 120 bpm: a quarter lasts 500 ms, that
// is 125 units of 4 ms, the same as with a tempo of 120 at tick 0. Only a tempo of 125 makes
// a quarter 120 units.
TEST_F(MmfWriter, SongWithoutTempoPlaysAtTheDefaultTempo) {
    auto quarter_note = [](const Bytes& lead) {
        return smf_file(
            0, 480,
            {concat({lead, ev(0, {0x90, 60, 100}), ev(480, {0x80, 60, 0}), end_of_track(0)})});
    };
    struct Case {
        const char* name;
        Bytes lead;
        Bytes sequence;
    };
    // Key 60 with its gate (the units minus 1), then the delta to the end and the end.
    const Case cases[] = {
        // 480 ticks at 120 bpm: 480 * 125 / 120 = 500 ticks, 500 * 120 / 480 = 125 units.
        {"none", {}, {0x00, 0x1C, 0x7C, 0x7D, 0x00, 0x00, 0x00, 0x00}},
        {"120", tempo_event(0, 500000), {0x00, 0x1C, 0x7C, 0x7D, 0x00, 0x00, 0x00, 0x00}},
        {"125", tempo_event(0, 480000), {0x00, 0x1C, 0x77, 0x78, 0x00, 0x00, 0x00, 0x00}},
    };
    for (const Case& c : cases) {
        SetUp();
        g_options.model = 2;
        std::string name = std::string("t") + c.name;
        ASSERT_TRUE(convert(quarter_note(c.lead), name + ".mid")) << c.name;
        EXPECT_EQ(sequence_data(output(name + ".mmf"), 1), c.sequence) << c.name;
    }
    // A first tempo event later in the song: the time before it passes at 120 bpm too. One
    // quarter of rest before the note (125 units), the tempo of 60 bpm then doubles the note.
    SetUp();
    g_options.model = 2;
    Bytes late =
        smf_file(0, 480,
                 {concat({ev(0, {0x90, 60, 100}), ev(480, {0x80, 60, 0}), tempo_event(0, 1000000),
                          ev(0, {0x90, 62, 100}), ev(480, {0x80, 62, 0}), end_of_track(0)})});
    ASSERT_TRUE(convert(late, "late.mid"));
    // Note 62: octave field 2, n 2. 480 ticks at 60 bpm are 1000 ticks, 250 units: the gate
    // 249 and the delta 125 are written in two bytes.
    EXPECT_EQ(sequence_data(output("late.mmf"), 1), (Bytes{0x00, 0x1C, 0x7C, 0x7D, 0x22, 0x80, 0x79,
                                                           0x80, 0x7A, 0x00, 0x00, 0x00, 0x00}));
}

} // namespace
