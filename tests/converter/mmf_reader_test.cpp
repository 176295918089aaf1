// MMF ringtones read back to SMF: the CRC and magic checks, note and control decoding, and
// damaged files ending in the message with no output.
#include "converter/converter.h"
#include "converter/mmf_crc.h"
#include "tests/converter/converter_fixture.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using MmfReader = ConverterFixture;

Bytes be32(uint32_t n) {
    return {static_cast<uint8_t>(n >> 24), static_cast<uint8_t>(n >> 16),
            static_cast<uint8_t>(n >> 8), static_cast<uint8_t>(n)};
}

// An MMF file with one score track holding the given sequence, time base 2 (4 ms), the
// content information "ST:<title>," and a correct CRC.
Bytes mmf_file(const Bytes& sequence, const std::string& title = "T", uint8_t time_base = 2) {
    Bytes cnti_data = concat({Bytes(5, 0x00), bytes_of("ST:" + title + ",")});
    Bytes cnti =
        concat({bytes_of("CNTI"), be32(static_cast<uint32_t>(cnti_data.size())), cnti_data});
    Bytes mtr_body = concat({{0x00, 0x00, time_base, time_base, 0xAA, 0xAA},
                             bytes_of("Mtsu"),
                             be32(0),
                             bytes_of("Mtsq"),
                             be32(static_cast<uint32_t>(sequence.size())),
                             sequence});
    Bytes mtr =
        concat({bytes_of("MTR"), {0x01}, be32(static_cast<uint32_t>(mtr_body.size())), mtr_body});
    Bytes file = concat(
        {bytes_of("MMMD"), be32(static_cast<uint32_t>(cnti.size() + mtr.size() + 2)), cnti, mtr});
    uint16_t crc = mmf_crc16(file.data(), file.size());
    file.push_back(static_cast<uint8_t>(crc >> 8));
    file.push_back(static_cast<uint8_t>(crc));
    return file;
}

Bytes smf_of(uint16_t division, const Bytes& events) {
    return concat({header_chunk(0, 1, division), track_chunk(events)});
}

const Bytes TEMPO_125 = {0x00, 0xFF, 0x51, 0x03, 0x07, 0x53, 0x00};

TEST_F(MmfReader, MiddleCComesBackAtKey60) {
    // Note 0x1C (octave field 1, n 12) with gate 119, then 120 units of rest.
    Bytes file = mmf_file({0x00, 0x1C, 0x77, 0x78, 0x00, 0x00, 0x00, 0x00});
    ASSERT_TRUE(convert(file, "c.mmf"));
    EXPECT_EQ(output("c.mid"), smf_of(120, concat({TEMPO_125,
                                                   {0x00, 0xFF, 0x03, 0x01, 'T'},
                                                   {0x00, 0x90, 0x3C, 0x7F},
                                                   {0x77, 0x80, 0x3C, 0x00},
                                                   {0x01, 0xFF, 0x2F, 0x00}})));
}

TEST_F(MmfReader, LongTitleKeepsAllItsBytes) {
    struct Case {
        std::string title;
        Bytes name_event;
    };
    const std::string full(128, 'x');
    const std::string split = std::string(127, 'y') + "\x82\xA0";
    const Case cases[] = {
        // The writer's longest title: 128 bytes, the length as two VLQ bytes.
        {full, concat({{0x00, 0xFF, 0x03, 0x81, 0x00}, bytes_of(full)})},
        // A double-byte character whose lead byte would be the 128th is left out whole.
        {split, concat({{0x00, 0xFF, 0x03, 0x7F}, bytes_of(std::string(127, 'y'))})},
    };
    for (const Case& c : cases) {
        SetUp();
        std::string name = "t" + std::to_string(c.title.size());
        ASSERT_TRUE(convert(mmf_file({0x00, 0x00, 0x00, 0x00}, c.title), name + ".mmf"));
        EXPECT_EQ(output(name + ".mid"),
                  smf_of(120, concat({TEMPO_125, c.name_event, {0x00, 0xFF, 0x2F, 0x00}})))
            << name;
    }
}

TEST_F(MmfReader, TimeBasesGiveDivisions) {
    struct Case {
        uint8_t code;
        uint16_t division;
    };
    const Case cases[] = {{0, 480}, {1, 240}, {2, 120}, {3, 96}, {16, 48},
                          {17, 24}, {18, 12}, {19, 12}, {7, 120}};
    for (const Case& c : cases) {
        SetUp();
        std::string name = "b" + std::to_string(c.code);
        ASSERT_TRUE(convert(mmf_file({0x00, 0x00, 0x00, 0x00}, "", c.code), name + ".mmf"));
        EXPECT_EQ(output(name + ".mid"),
                  smf_of(c.division, concat({TEMPO_125, {0x00, 0xFF, 0x2F, 0x00}})))
            << int(c.code);
    }
}

TEST_F(MmfReader, ControlEventsAndTables) {
    Bytes sequence = {0x00, 0x00, 0x30, 0x05, // program 5 on part 0
                      0x00, 0x00, 0x37, 0x64, // volume 100
                      0x00, 0x00, 0x3A, 0x90, // pan 0x90 keeps seven bits: 0x10
                      0x00, 0x00, 0x0F,       // expression, sixteenth index: the table's last value
                      0x00, 0x00, 0x13,       // pitch bend index 3: 24
                      0x00, 0x00, 0x2E,       // modulation index 14: 127
                      0x00, 0x00, 0x32, 0x81, // octave shift -1
                      0x00, 0x1C, 0x10,       // key 12 + (1 - 1 + 3) x 12 = 48
                      0x10, 0x00, 0x00, 0x00, 0x00};
    ASSERT_TRUE(convert(mmf_file(sequence, ""), "k.mmf"));
    EXPECT_EQ(output("k.mid"),
              smf_of(120, concat({TEMPO_125, {0x00, 0xC0, 0x05, 0x00, 0xB0, 0x07, 0x64, 0x00, 0xB0,
                                              0x0A, 0x10, 0x00, 0xB0, 0x0B, 0x7F, 0x00, 0xE0, 0x00,
                                              0x18, 0x00, 0xB0, 0x01, 0x7F, 0x00, 0x90, 0x30, 0x7F,
                                              0x10, 0x80, 0x30, 0x00, 0x00, 0xFF, 0x2F, 0x00}})));
}

TEST_F(MmfReader, DrumPartPlaysItsRememberedKey) {
    Bytes sequence = {0x00, 0x00, 0x31, 0x80, // part 0 becomes drums
                      0x00, 0x00, 0x30, 0x24, // drum key 36, no program change
                      0x00, 0x1C, 0x10, 0x10, 0x00, 0x00, 0x00, 0x00};
    ASSERT_TRUE(convert(mmf_file(sequence, ""), "d.mmf"));
    EXPECT_EQ(output("d.mid"), smf_of(120, concat({TEMPO_125,
                                                   {0x00, 0x99, 0x24, 0x7F, 0x10, 0x89, 0x24, 0x00,
                                                    0x00, 0xFF, 0x2F, 0x00}})));
}

TEST_F(MmfReader, AnyChangedByteFailsTheCheck) {
    Bytes file = mmf_file({0x00, 0x1C, 0x77, 0x78, 0x00, 0x00, 0x00, 0x00});
    for (size_t i = 0; i < file.size(); i++) {
        SetUp();
        Bytes changed = file;
        changed[i] ^= 0x20;
        EXPECT_FALSE(convert(changed, "x.mmf")) << i;
        EXPECT_FALSE(exists("x.mid")) << i;
        EXPECT_EQ(messages(), std::vector<std::string>{"正常なデータではありません。"}) << i;
    }
}

TEST_F(MmfReader, DataRunningPastTheEndIsRejected) {
    // Sequences that end inside an event or without the end mark, each with a good CRC.
    const Bytes sequences[] = {
        {0x00, 0x1C},             // gate missing
        {0x00, 0x1C, 0x80},       // second gate byte missing
        {0x00, 0x00, 0x30},       // value of a three-byte control missing
        {0x00, 0x1C, 0x10, 0x10}, // no end of sequence
        {0x80},                   // second delta byte missing
    };
    for (const Bytes& sequence : sequences) {
        SetUp();
        EXPECT_FALSE(convert(mmf_file(sequence, ""), "e.mmf"));
        EXPECT_FALSE(exists("e.mid"));
        EXPECT_EQ(messages(), std::vector<std::string>{"正常なデータではありません。"});
    }
    SetUp();
    Bytes file = mmf_file({0x00, 0x00, 0x00, 0x00});
    Bytes cut(file.begin(), file.end() - 5);
    EXPECT_FALSE(convert(cut, "short.mmf"));
    EXPECT_EQ(messages(), std::vector<std::string>{"正常なデータではありません。"});
}

} // namespace

// The reader grades what it found; only run_conversion() turns that into a message.
TEST_F(MmfReader, TheReaderGradesItsResultWithoutTelling) {
    auto read = [&](const Bytes& bytes, const std::string& name, bool leave_out = false) {
        SetUp();
        if (!leave_out) {
            write_file_bytes(dir.file(name), bytes);
        }
        snprintf(g_converter.input_path, sizeof g_converter.input_path, "%s",
                 dir.file(name).c_str());
        return mmf_to_smf().result;
    };
    Bytes file = mmf_file({0x00, 0x1C, 0x77, 0x78, 0x00, 0x00, 0x00, 0x00});
    Bytes changed = file;
    changed[20] ^= 0x20;
    EXPECT_EQ(read(changed, "c.mmf"), RingtoneReadResult::damaged);
    EXPECT_EQ(read(mmf_file({0x00, 0x1C}, ""), "e.mmf"), RingtoneReadResult::damaged);
    EXPECT_EQ(read(file, "g.mmf"), RingtoneReadResult::written);
    EXPECT_TRUE(exists("g.mid"));
    EXPECT_EQ(read(file, "missing.mmf", true), RingtoneReadResult::cannot_open);
    EXPECT_TRUE(messages().empty());
    EXPECT_TRUE(g_headless.status_texts.empty());
}
