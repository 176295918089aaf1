// The profile store: loading, lookups, changes and the exact saved text, including failures.
#include "common/profile.h"

#include "common/common_reset.h"
#include "platform/headless/headless.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <filesystem>
#include <string>

namespace {

class ProfileTest : public ::testing::Test {
protected:
    void SetUp() override {
        headless_backend_reset();
        common_reset_all();
    }
    void TearDown() override {
        profile_faults_reset();
        profile_free();
    }

    std::string write(const std::string& name, const std::string& text) {
        std::string path = dir.file(name);
        write_file_bytes(path, std::vector<unsigned char>(text.begin(), text.end()));
        return path;
    }

    std::string read(const std::string& path) {
        std::vector<unsigned char> bytes = read_file_bytes(path);
        return std::string(bytes.begin(), bytes.end());
    }

    // Loads text as a file and returns what saving it writes.
    std::string load_and_save(const std::string& text) {
        EXPECT_EQ(profile_load(write("in.ini", text).c_str(), 1), 1);
        std::string out = dir.file("out.ini");
        EXPECT_EQ(profile_save(out.c_str()), 1);
        return read(out);
    }

    std::string saved() {
        std::string out = dir.file("saved.ini");
        EXPECT_EQ(profile_save(out.c_str()), 1);
        return read(out);
    }

    static std::string get(const char* section, const char* key, const char* fallback = "<d>") {
        char out[1024];
        size_t n = profile_get_string(section, key, fallback, out, sizeof out);
        EXPECT_EQ(n, strlen(out));
        return out;
    }

    size_t files_in_dir() {
        size_t count = 0;
        for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path)) {
            count++;
        }
        return count;
    }

    TempDir dir;
};

const char* const MIXED_FILE = "top=1\n"
                               "# head comment\r\n"
                               "\r\n\n"
                               "[Main]\r"
                               "name=\"Song A\" \n"
                               "  key2 =  spaced  \r\n"
                               "#comment=looks like a key\n"
                               "\n\r\n"
                               "[ Main ]\n"
                               "dup=second\n"
                               "[Empty]\n"
                               "\n"
                               "[Last]\r\n"
                               "noequals\r\n"
                               "k=v=w";

const char* const MIXED_SAVED = "top=1\r\n"
                                "# head comment\r\n"
                                "\r\n"
                                "[Main]\r\n"
                                "name=\"Song A\" \r\n"
                                "key2=  spaced  \r\n"
                                "#comment=looks like a key\r\n"
                                "\r\n"
                                "[Main]\r\n"
                                "dup=second\r\n"
                                "\r\n"
                                "[Last]\r\n"
                                "noequals=\r\n"
                                "k=v=w\r\n"
                                "\r\n";

TEST_F(ProfileTest, SavesLoadedFileInItsLayoutByteExact) {
    EXPECT_EQ(load_and_save(MIXED_FILE), MIXED_SAVED);
}

TEST_F(ProfileTest, SavedFileLoadsAndSavesToTheSameBytes) {
    EXPECT_EQ(load_and_save(MIXED_FILE), MIXED_SAVED);
    profile_free();
    EXPECT_EQ(load_and_save(MIXED_SAVED), MIXED_SAVED);
}

TEST_F(ProfileTest, LoadedStructureFollowsTheLines) {
    ASSERT_EQ(profile_load(write("in.ini", MIXED_FILE).c_str(), 1), 1);
    ASSERT_EQ(g_profile.section_count, 5);
    EXPECT_EQ(g_profile.section_capacity, 10);
    EXPECT_STREQ(g_profile.sections[0].name, "");
    EXPECT_EQ(g_profile.sections[0].entry_count, 2);
    EXPECT_EQ(g_profile.sections[0].entry_capacity, 10);
    EXPECT_STREQ(g_profile.sections[2].name, "Main");
    EXPECT_STREQ(g_profile.sections[3].name, "Empty");
    EXPECT_EQ(g_profile.sections[3].entries, nullptr);

    const ProfileEntry& comment = g_profile.sections[1].entries[2];
    EXPECT_EQ(comment.is_comment, 1);
    EXPECT_STREQ(comment.name, "#comment=looks like a key");
    EXPECT_STREQ(comment.value, "");
    const ProfileEntry& spaced = g_profile.sections[1].entries[1];
    EXPECT_STREQ(spaced.name, "key2");
    EXPECT_EQ(spaced.hash, profile_name_hash("key2"));
    EXPECT_STREQ(spaced.value, "  spaced  ");
}

TEST_F(ProfileTest, ReadsTrimmedUnquotedValues) {
    ASSERT_EQ(profile_load(write("in.ini", MIXED_FILE).c_str(), 1), 1);
    EXPECT_EQ(get("", "top"), "1");
    EXPECT_EQ(get("Main", "name"), "Song A");
    EXPECT_EQ(get("Main", "key2"), "spaced");
    EXPECT_EQ(get("Last", "noequals"), "");
    EXPECT_EQ(get("Last", "k"), "v=w");
}

TEST_F(ProfileTest, DuplicateSectionsStaySeparateAndTheFirstIsFound) {
    ASSERT_EQ(profile_load(write("in.ini", MIXED_FILE).c_str(), 1), 1);
    EXPECT_EQ(get("Main", "dup"), "<d>");
    EXPECT_EQ(get("Main", "name"), "Song A");
}

TEST_F(ProfileTest, QuotedValueWithTrailingSpaceReadsWithoutBoth) {
    ASSERT_EQ(profile_load(write("in.ini", "[S]\nv=\"abc\" \n").c_str(), 1), 1);
    EXPECT_EQ(get("S", "v"), "abc");
    EXPECT_STREQ(g_profile.sections[1].entries[0].value, "\"abc\" ");
    EXPECT_EQ(saved(), "[S]\r\nv=\"abc\" \r\n\r\n");
}

TEST_F(ProfileTest, OnlyOneQuoteIsRemovedAtEachEnd) {
    ASSERT_EQ(profile_load(write("in.ini", "a=\"\"x\"\"\nb=\"\nc=\"\"\nd= \" y \" \n").c_str(), 1),
              1);
    EXPECT_EQ(get("", "a"), "\"x\"");
    EXPECT_EQ(get("", "b"), "");
    EXPECT_EQ(get("", "c"), "");
    EXPECT_EQ(get("", "d"), " y ");
}

TEST_F(ProfileTest, KeyWithEqualsOnlyReadsEmptyAndIntZeroNotDefault) {
    ASSERT_EQ(profile_load(write("in.ini", "[S]\nk=\n").c_str(), 1), 1);
    EXPECT_EQ(get("S", "k", "dflt"), "");
    EXPECT_EQ(profile_get_int("S", "k", 77), 0);
    EXPECT_EQ(profile_get_int("S", "missing", 77), 77);
    EXPECT_EQ(profile_get_int("Missing", "k", 78), 78);
    EXPECT_EQ(get("S", "missing", "dflt"), "dflt");
}

TEST_F(ProfileTest, LookupsIgnoreLetterCase) {
    ASSERT_EQ(profile_load(write("in.ini", "[Options]\nVolume=5\n").c_str(), 1), 1);
    EXPECT_EQ(profile_get_int("OPTIONS", "volume", -1), 5);
    EXPECT_EQ(profile_get_int("options", "VOLUME", -1), 5);
    ASSERT_EQ(profile_set_string("oPtIoNs", "VOLUME", "6"), 1);
    EXPECT_EQ(g_profile.sections[1].entry_count, 1);
    EXPECT_EQ(saved(), "[Options]\r\nVolume=6\r\n\r\n");
}

TEST_F(ProfileTest, SecondByteOfDoubleByteCharacterIsNotCaseFolded) {
    // 0x83 0x41 and 0x83 0x61 are two different katakana with the same hash.
    const char* a = "\x83\x41";
    const char* b = "\x83\x61";
    ASSERT_EQ(profile_name_hash(a), profile_name_hash(b));
    ASSERT_EQ(profile_set_string("S", a, "first"), 1);
    ASSERT_EQ(profile_set_string("S", b, "second"), 1);
    EXPECT_EQ(get("S", a), "first");
    EXPECT_EQ(get("S", b), "second");
    EXPECT_EQ(g_profile.sections[1].entry_count, 2);
}

TEST_F(ProfileTest, CommentTextIsNotFoundAsKey) {
    ASSERT_EQ(profile_load(write("in.ini", "#secret=1\n[S]\n#x\n").c_str(), 1), 1);
    EXPECT_EQ(get("", "#secret"), "<d>");
    EXPECT_EQ(get("", "#secret=1"), "<d>");
    EXPECT_EQ(profile_get_int("", "#secret", 9), 9);
    EXPECT_EQ(get("S", "#x"), "<d>");
    // Setting a key named like the comment adds an entry and leaves the comment alone.
    ASSERT_EQ(profile_set_string("S", "#x", "v"), 1);
    EXPECT_EQ(saved(), "#secret=1\r\n\r\n[S]\r\n#x\r\n#x=v\r\n\r\n");
}

// Comments keep hash 0, and this comment's own hash is 0 too ('#' shifts out after 32 steps,
// each " \xC0" pair adds 32 * 2 - 64), so only the comment flag keeps it from matching.
TEST_F(ProfileTest, CommentWithZeroHashIsNotFoundAsKey) {
    std::string comment = "#";
    for (int i = 0; i < 16; i++) {
        comment += " \xC0";
    }
    ASSERT_EQ(profile_name_hash(comment.c_str()), 0u);
    ASSERT_EQ(profile_load(write("in.ini", comment + "\n").c_str(), 1), 1);
    EXPECT_EQ(get("", comment.c_str()), "<d>");
    EXPECT_EQ(profile_get_int("", comment.c_str(), 5), 5);
}

TEST_F(ProfileTest, EmptiedSectionIsLeftOutOfTheSavedFile) {
    ASSERT_EQ(profile_load(write("in.ini", "[A]\na=1\n[B]\nb=2\n#c\n[C]\nc=3\n").c_str(), 1), 1);
    ASSERT_EQ(profile_set_string("b", nullptr, nullptr), 1);
    EXPECT_EQ(g_profile.sections[2].entries, nullptr);
    EXPECT_EQ(g_profile.sections[2].entry_count, 0);
    EXPECT_EQ(g_profile.sections[2].entry_capacity, 0);
    EXPECT_EQ(get("B", "b"), "<d>");
    EXPECT_EQ(saved(), "[A]\r\na=1\r\n\r\n[C]\r\nc=3\r\n\r\n");
    // Filled again, it is written in its old place.
    ASSERT_EQ(profile_set_string("B", "n", "x"), 1);
    EXPECT_EQ(saved(), "[A]\r\na=1\r\n\r\n[B]\r\nn=x\r\n\r\n[C]\r\nc=3\r\n\r\n");
}

TEST_F(ProfileTest, ClearedEntryIsNotWrittenButItsSectionIs) {
    ASSERT_EQ(profile_load(write("in.ini", "[A]\na=1\nb=2\n").c_str(), 1), 1);
    ASSERT_EQ(profile_set_string("A", "a", nullptr), 1);
    EXPECT_EQ(get("A", "a"), "<d>");
    EXPECT_EQ(saved(), "[A]\r\nb=2\r\n\r\n");
    ASSERT_EQ(profile_set_string("A", "b", nullptr), 1);
    EXPECT_EQ(g_profile.sections[1].entries[1].value, nullptr);
    EXPECT_EQ(saved(), "[A]\r\n\r\n");
    // Clearing a missing key changes nothing.
    ASSERT_EQ(profile_set_string("A", "none", nullptr), 1);
    EXPECT_EQ(g_profile.sections[1].entry_count, 2);
}

TEST_F(ProfileTest, EntriesWithEmptyNamesAreSkippedWhenSaving) {
    EXPECT_EQ(load_and_save("=x\n[A]\n  =y\nk=v\n"), "\r\n[A]\r\nk=v\r\n\r\n");
}

TEST_F(ProfileTest, SetCreatesProfileAndSection) {
    ASSERT_EQ(g_profile.sections, nullptr);
    ASSERT_EQ(profile_set_string("S", "k", "v"), 1);
    ASSERT_EQ(profile_set_string("", "top", "1"), 1);
    EXPECT_EQ(g_profile.section_count, 2);
    EXPECT_EQ(saved(), "top=1\r\n\r\n[S]\r\nk=v\r\n\r\n");
}

TEST_F(ProfileTest, SetQuotedWrapsNonEmptyValues) {
    ASSERT_EQ(profile_set_quoted("S", "a", "two words"), 1);
    ASSERT_EQ(profile_set_quoted("S", "b", ""), 1);
    ASSERT_EQ(profile_set_quoted("S", "c", nullptr), 1);
    EXPECT_EQ(get("S", "a"), "two words");
    EXPECT_EQ(get("S", "c", "dflt"), "");
    EXPECT_EQ(saved(), "[S]\r\na=\"two words\"\r\nb=\r\nc=\r\n\r\n");
}

TEST_F(ProfileTest, SetIntWritesDecimal) {
    ASSERT_EQ(profile_set_int("S", "a", -42), 1);
    ASSERT_EQ(profile_set_int("S", "b", INT_MIN), 1);
    ASSERT_EQ(profile_set_int("S", "a", 7), 1);
    EXPECT_EQ(profile_get_int("S", "a", 0), 7);
    EXPECT_EQ(profile_get_int("S", "b", 0), INT_MIN);
    EXPECT_EQ(saved(), "[S]\r\na=7\r\nb=-2147483648\r\n\r\n");
}

TEST_F(ProfileTest, GetIntFollowsAtoiRules) {
    ASSERT_EQ(profile_load(write("in.ini", "a=12abc\nb= -7 \nc=\"15\"\nd=abc\ne=99999999999\n"
                                           "f=+3\ng=\" 8\"\nh=-99999999999\n")
                               .c_str(),
                           1),
              1);
    EXPECT_EQ(profile_get_int("", "a", -1), 12);
    EXPECT_EQ(profile_get_int("", "b", -1), -7);
    EXPECT_EQ(profile_get_int("", "c", -1), 15);
    EXPECT_EQ(profile_get_int("", "d", -1), 0);
    EXPECT_EQ(profile_get_int("", "e", -1), INT_MAX);
    EXPECT_EQ(profile_get_int("", "f", -1), 3);
    EXPECT_EQ(profile_get_int("", "g", -1), 8);
    EXPECT_EQ(profile_get_int("", "h", -1), INT_MIN);
}

TEST_F(ProfileTest, GetStringHonoursTheOutputBound) {
    ASSERT_EQ(profile_load(write("in.ini", "k=  \"abcdef\"  \n").c_str(), 1), 1);
    char out[8] = "zzzzzzz";
    EXPECT_EQ(profile_get_string("", "k", "", out, 0), 0u);
    EXPECT_STREQ(out, "zzzzzzz");
    EXPECT_EQ(profile_get_string("", "k", "", out, 1), 0u);
    EXPECT_STREQ(out, "");
    EXPECT_EQ(profile_get_string("", "k", "", out, 4), 3u);
    EXPECT_STREQ(out, "abc");
    EXPECT_EQ(profile_get_string("", "missing", "default", out, 4), 3u);
    EXPECT_STREQ(out, "def");
    EXPECT_EQ(profile_get_string("", "missing", nullptr, out, sizeof out), 0u);
    EXPECT_STREQ(out, "");
}

TEST_F(ProfileTest, GrowsPastTenSectionsAndTenEntries) {
    for (int s = 0; s < 25; s++) {
        std::string section = "Sec" + std::to_string(s);
        for (int e = 0; e < 23; e++) {
            ASSERT_EQ(
                profile_set_int(section.c_str(), ("k" + std::to_string(e)).c_str(), s * 100 + e),
                1);
        }
    }
    EXPECT_EQ(g_profile.section_count, 26);
    EXPECT_EQ(g_profile.section_capacity, 30);
    EXPECT_EQ(g_profile.sections[1].entry_count, 23);
    EXPECT_EQ(g_profile.sections[1].entry_capacity, 30);
    for (int s = 0; s < 25; s++) {
        std::string section = "SEC" + std::to_string(s);
        for (int e = 0; e < 23; e++) {
            EXPECT_EQ(profile_get_int(section.c_str(), ("K" + std::to_string(e)).c_str(), -1),
                      s * 100 + e);
        }
    }
    std::string first = saved();
    profile_free();
    EXPECT_EQ(load_and_save(first), first);
    EXPECT_EQ(g_profile.section_capacity, 30);
}

TEST_F(ProfileTest, NamesAreCutTo255Bytes) {
    std::string long_key(300, 'k');
    std::string long_section(300, 's');
    ASSERT_EQ(profile_set_string(long_section.c_str(), long_key.c_str(), "v"), 1);
    EXPECT_EQ(strlen(g_profile.sections[1].name), 255u);
    EXPECT_EQ(strlen(g_profile.sections[1].entries[0].name), 255u);
    EXPECT_EQ(get(long_section.c_str(), long_key.c_str()), "v");
    EXPECT_EQ(get(std::string(255, 'S').c_str(), std::string(255, 'K').c_str()), "v");
    EXPECT_EQ(get(std::string(254, 's').c_str(), std::string(255, 'k').c_str()), "<d>");
    EXPECT_EQ(get(std::string(255, 's').c_str(), std::string(254, 'k').c_str()), "<d>");
    std::string expected =
        "[" + std::string(255, 's') + "]\r\n" + std::string(255, 'k') + "=v\r\n\r\n";
    EXPECT_EQ(saved(), expected);
}

TEST_F(ProfileTest, NamesAreCutBeforeTheyAreTrimmed) {
    std::string padded = " " + std::string(300, 'x');
    ASSERT_EQ(profile_set_string(padded.c_str(), "k", "v"), 1);
    EXPECT_EQ(std::string(g_profile.sections[1].name), std::string(254, 'x'));
    EXPECT_EQ(get(padded.c_str(), "k"), "v");
}

TEST_F(ProfileTest, LoadedNamesAndCommentsAreCutTo255Bytes) {
    std::string text = "[" + std::string(300, 's') + "]\n" + std::string(300, 'k') + "=v\n#" +
                       std::string(300, 'c') + "\n";
    std::string expected = "[" + std::string(255, 's') + "]\r\n" + std::string(255, 'k') +
                           "=v\r\n#" + std::string(254, 'c') + "\r\n\r\n";
    EXPECT_EQ(load_and_save(text), expected);
}

TEST_F(ProfileTest, LoadOfMissingFileFailsAndKeepsTheHeldProfile) {
    EXPECT_EQ(profile_load(dir.file("missing.ini").c_str(), 1), 0);
    EXPECT_EQ(g_profile.sections, nullptr);
    ASSERT_EQ(profile_set_string("S", "k", "v"), 1);
    EXPECT_EQ(profile_load(dir.file("missing.ini").c_str(), 1), 0);
    EXPECT_EQ(get("S", "k"), "v");
}

TEST_F(ProfileTest, FileOverOneMebibyteIsRefused) {
    std::string line = "key=" + std::string(1019, 'v') + "\n"; // 1 KiB
    std::string text;
    while (text.size() < 1024 * 1024) {
        text += line;
    }
    ASSERT_EQ(profile_set_string("Held", "k", "v"), 1);
    EXPECT_EQ(profile_load(write("in.ini", text + "x").c_str(), 1), 0);
    EXPECT_EQ(get("Held", "k"), "v");
    EXPECT_EQ(profile_load(write("in.ini", text).c_str(), 1), 1);
    EXPECT_EQ(g_profile.sections[0].entry_count, 1024);
}

// Regression: arrays grown by copying into a fresh block took about a minute for 64 KiB of
// one-character lines.
TEST_F(ProfileTest, ManyShortLinesLoadQuickly) {
    std::string text;
    for (int i = 0; i < 32 * 1024; i++) {
        text += "a\n";
    }
    auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(profile_load(write("in.ini", text).c_str(), 1), 1);
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(g_profile.sections[0].entry_count, 32 * 1024);
    EXPECT_EQ(g_profile.sections[0].entry_capacity, 32 * 1024 + 10 - (32 * 1024) % 10);
    EXPECT_LT(seconds, 10.0);
}

// Everything was read before the close; a failing close of a read-only file loses nothing.
TEST_F(ProfileTest, FailedCloseAfterReadingStillLoads) {
    std::string path = write("in.ini", "[S]\nk=v\n");
    g_headless.fail_next_read_close = true;
    EXPECT_EQ(profile_load(path.c_str(), 1), 1);
    EXPECT_EQ(get("S", "k"), "v");
}

TEST_F(ProfileTest, LoadReplacesTheHeldProfile) {
    ASSERT_EQ(profile_set_string("Old", "k", "v"), 1);
    ASSERT_EQ(profile_load(write("in.ini", "[New]\nk=w\n").c_str(), 1), 1);
    EXPECT_EQ(get("Old", "k"), "<d>");
    EXPECT_EQ(get("New", "k"), "w");
}

TEST_F(ProfileTest, LoadDisabledLeavesNoProfile) {
    ASSERT_EQ(profile_set_string("S", "k", "v"), 1);
    EXPECT_EQ(profile_load(dir.file("missing.ini").c_str(), 0), 1);
    EXPECT_EQ(g_profile.sections, nullptr);
    EXPECT_EQ(get("S", "k"), "<d>");
    EXPECT_EQ(profile_save(dir.file("out.ini").c_str()), 0);
}

TEST_F(ProfileTest, EmptyFileLoadsAsEmptyProfile) {
    EXPECT_EQ(load_and_save(""), "");
    EXPECT_EQ(g_profile.section_count, 1);
    EXPECT_EQ(load_and_save("\r\n\n\r"), "");
}

TEST_F(ProfileTest, TextEndsAtTheFirstNulByte) {
    std::string text("a=1\nb=2\0c=3\n", 12);
    ASSERT_EQ(profile_load(write("in.ini", text).c_str(), 1), 1);
    EXPECT_EQ(get("", "b"), "2");
    EXPECT_EQ(get("", "c"), "<d>");
    EXPECT_EQ(saved(), "a=1\r\nb=2\r\n\r\n");
    profile_free();
    EXPECT_EQ(load_and_save(std::string(3, '\0')), "");
}

TEST_F(ProfileTest, LineOfOneBracketIsAKey) {
    EXPECT_EQ(load_and_save("[\n]\n[]\nk=v\n"), "[=\r\n]=\r\n\r\n[]\r\nk=v\r\n\r\n");
}

TEST_F(ProfileTest, SaveWithoutProfileFailsAndWritesNothing) {
    EXPECT_EQ(profile_save(dir.file("out.ini").c_str()), 0);
    EXPECT_EQ(files_in_dir(), 0u);
}

TEST_F(ProfileTest, SaveReplacesTheOldFile) {
    std::string path = write("target.ini", "old contents that are longer than the new ones\n");
    ASSERT_EQ(profile_set_string("S", "k", "v"), 1);
    EXPECT_EQ(profile_save(path.c_str()), 1);
    EXPECT_EQ(read(path), "[S]\r\nk=v\r\n\r\n");
    EXPECT_EQ(files_in_dir(), 1u);
}

TEST_F(ProfileTest, FailedSaveKeepsTheOldFile) {
    std::string path = write("target.ini", "old\n");
    ASSERT_EQ(profile_set_string("S", "k", "v"), 1);
    struct Fault {
        const char* name;
        void (*arm)();
    } faults[] = {
        {"nothing written", [] { g_headless.fail_write_after = 0; }},
        {"write cut short", [] { g_headless.fail_write_after = 5; }},
        {"rename", [] { g_headless.fail_rename = true; }},
        {"close", [] { g_headless.fail_next_write_close = true; }},
        {"create", [] { g_headless.fail_open_write = true; }},
    };
    for (const Fault& fault : faults) {
        headless_reset();
        fault.arm();
        EXPECT_EQ(profile_save(path.c_str()), 0) << fault.name;
        EXPECT_EQ(read(path), "old\n") << fault.name;
        EXPECT_EQ(files_in_dir(), 1u) << fault.name; // no temporary file left behind
    }
}

TEST_F(ProfileTest, NameHashUsesSignedBytesAndFoldsCase) {
    EXPECT_EQ(profile_name_hash(""), 0u);
    EXPECT_EQ(profile_name_hash("a"), 97u);
    EXPECT_EQ(profile_name_hash("AB"), 97u * 2 + 98);
    EXPECT_EQ(profile_name_hash("Ab"), profile_name_hash("aB"));
    EXPECT_EQ(profile_name_hash("["), 91u); // just past Z: not folded
    EXPECT_EQ(profile_name_hash("@"), 64u); // just before A
    EXPECT_EQ(profile_name_hash("\x80"), 0xFFFFFF80u);
    EXPECT_EQ(profile_name_hash("\xFF\xFF"), 0xFFFFFFFDu);
    // Long names wrap in 32 bits.
    EXPECT_EQ(profile_name_hash(std::string(40, '\x7F').c_str()), 0xFFFFFFFFu * 127u);
}

// Every allocation a change needs is made to fail in turn; each failure must leave the
// profile exactly as it was.
TEST_F(ProfileTest, AllocationFailureDuringSetLeavesProfileAsItWas) {
    // The second base fills all ten section records, so the new section must grow the array.
    std::string full;
    for (int s = 1; s < 10; s++) {
        full += "[S" + std::to_string(s) + "]\nk=v\n";
    }
    for (const std::string& base : {std::string("[A]\na=1\n[B]\nb=2\n"), full}) {
        for (int64_t n = 0;; n++) {
            profile_free();
            ASSERT_EQ(profile_load(write("in.ini", base).c_str(), 1), 1);
            std::string before = saved();
            int32_t sections_before = g_profile.section_count;
            g_profile_faults.fail_alloc_after = n;
            int result = profile_set_quoted("New", "k", "v");
            g_profile_faults.fail_alloc_after = -1;
            if (result == 1) {
                EXPECT_EQ(get("New", "k"), "v");
                EXPECT_GE(n, 3); // quoted copy, value and entry array at least
                break;
            }
            EXPECT_EQ(g_profile.section_count, sections_before) << n;
            EXPECT_EQ(saved(), before) << n;
            EXPECT_EQ(get("New", "k"), "<d>") << n;
        }
    }
}

TEST_F(ProfileTest, AllocationFailureWhenCreatingProfileLeavesNone) {
    for (int64_t n = 0;; n++) {
        profile_free();
        g_profile_faults.fail_alloc_after = n;
        int result = profile_set_string("S", "k", "v");
        g_profile_faults.fail_alloc_after = -1;
        if (result == 1) {
            break;
        }
        EXPECT_EQ(g_profile.sections, nullptr) << n;
    }
}

TEST_F(ProfileTest, AllocationFailureWhenReplacingKeepsTheOldValue) {
    ASSERT_EQ(profile_set_string("S", "k", "old"), 1);
    g_profile_faults.fail_alloc_after = 0;
    EXPECT_EQ(profile_set_string("S", "k", "new"), 0);
    EXPECT_EQ(profile_set_int("S", "k", 5), 0);
    g_profile_faults.fail_alloc_after = -1;
    EXPECT_EQ(get("S", "k"), "old");
}

TEST_F(ProfileTest, AllocationFailureDuringLoadKeepsTheHeldProfile) {
    std::string path = write("in.ini", MIXED_FILE);
    for (int64_t n = 0;; n++) {
        profile_free();
        ASSERT_EQ(profile_set_string("Held", "k", "v"), 1);
        g_profile_faults.fail_alloc_after = n;
        int result = profile_load(path.c_str(), 1);
        g_profile_faults.fail_alloc_after = -1;
        if (result == 1) {
            EXPECT_EQ(saved(), MIXED_SAVED);
            break;
        }
        EXPECT_EQ(saved(), "[Held]\r\nk=v\r\n\r\n") << n;
    }
}

TEST_F(ProfileTest, AllocationFailureDuringSaveKeepsTheOldFile) {
    std::string path = write("target.ini", "old\n");
    ASSERT_EQ(profile_set_string("S", "k", "v"), 1);
    g_profile_faults.fail_alloc_after = 0;
    EXPECT_EQ(profile_save(path.c_str()), 0);
    g_profile_faults.fail_alloc_after = -1;
    EXPECT_EQ(read(path), "old\n");
    EXPECT_EQ(files_in_dir(), 1u);
    EXPECT_EQ(profile_save(path.c_str()), 1);
}

} // namespace
