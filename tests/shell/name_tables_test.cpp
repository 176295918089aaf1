// The panels' name tables, byte for byte in Shift-JIS.
#include "sequencer/shell/name_tables.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct NameCase {
    const char* table;
    int index;
    const char* bytes;
};

std::string entry(const NameCase& c) {
    std::string table = c.table;
    if (table == "note") {
        return note_name(c.index);
    }
    if (table == "tone") {
        return tone_name(c.index);
    }
    if (table == "key") {
        return key_name(c.index);
    }
    return number_label(c.index);
}

// Full-width letters are 82 60 (Ａ) to 82 66 (Ｇ), digits 82 4F (０) on, the full-width
// blank 81 40, ＃ 81 94, ♭ 81 F3, ＆ 81 95.
const NameCase CASES[] = {
    {"note", 0, "\x82\x62-2\x81\x40"},
    {"note", 1, "\x82\x62# -2"},
    {"note", 11, "\x82\x61-2\x81\x40"},
    {"note", 13, "\x82\x62# -1"},
    {"note", 24, "\x82\x62\x82\x4F\x81\x40"},
    {"note", 60, "\x82\x62\x82\x52\x81\x40"},
    {"note", 61, "\x82\x62# \x82\x52"},
    {"note", 70, "\x82\x60# \x82\x52"},
    {"note", 127, "\x82\x66\x82\x57\x81\x40"},
    {"note", 128, "      "},
    {"tone", 0, "Piano 1      "},
    {"tone", 30, "Distortion Gt"},
    {"tone", 87, "Bass\x81\x95Lead   "},
    {"tone", 127, "Gun Shot     "},
    {"tone", 128, "Standard 1   "},
    {"tone", 128 + 7, "Standard set "},
    {"tone", 128 + 15, "Room set     "},
    {"tone", 128 + 23, "Power set    "},
    {"tone", 128 + 63, "SFX set      "},
    {"tone", 128 + 111, "User set Area"},
    {"tone", 128 + 126, "Option set   "},
    {"tone", 255, "CM=64/32l set"},
    {"tone", -1, "             "},
    {"key", 0, "\x82\x62        "},
    {"key", 1, "\x82\x62\x81\x94(\x82\x63\x81\xF3)"},
    {"key", 11, "\x82\x61        "},
    {"label", 1, " \x82\x50 "},
    {"label", 9, " \x82\x58 "},
    {"label", 10, "\x82\x50\x82\x4F"},
    {"label", 64, "\x82\x55\x82\x53"},
    {"label", 0, "    "},
    {"label", 65, "    "},
};

TEST(NameTables, EntriesAreExactShiftJisBytes) {
    name_tables_load();
    for (const NameCase& c : CASES) {
        EXPECT_EQ(entry(c), c.bytes) << c.table << " " << c.index;
    }
}

TEST(NameTables, EveryEntryHasItsFixedWidth) {
    name_tables_load();
    for (int n = 0; n < 128; n++) {
        EXPECT_EQ(std::string(note_name(n)).size(), 6u) << n;
    }
    for (int t = 0; t < 256; t++) {
        EXPECT_EQ(std::string(tone_name(t)).size(), 13u) << t;
    }
    for (int k = 0; k < 12; k++) {
        EXPECT_EQ(std::string(key_name(k)).size(), 10u) << k;
    }
    for (int n = 1; n <= 64; n++) {
        EXPECT_EQ(std::string(number_label(n)).size(), 4u) << n;
    }
}

} // namespace
