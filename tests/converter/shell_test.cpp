// The converter shell: choice of conversion by file name, the mail tool start, the options
// file, and the melconv command line.
#include "common/profile.h"
#include "converter/converter.h"
#include "converter/converter_cli.h"
#include "tests/converter/converter_fixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

using ConverterShellTest = ConverterFixture;

Bytes melody() {
    return smf_file(0, 480,
                    {concat({ev(0, {0x90, 60, 100}), ev(480, {0x80, 60, 0}), end_of_track(0)})});
}

TEST_F(ConverterShellTest, FileNameChoosesTheConversion) {
    struct Case {
        const char* input;
        int model;
        const char* output;
    };
    const Case cases[] = {
        {"a.mid", 0, "a.MLD"}, {"b#.mid", 0, "b#.mmf"}, {"c!.mid", 0, "c!.PMD"},
        {"d.mid", 1, "d.PMD"}, {"e.mid", 2, "e.mmf"},   {"f3.mid", 0, "f3.MLD"},
        {"g.xix", 0, "g.MLD"}, // second-to-last 'i': still an SMF
    };
    for (const Case& c : cases) {
        SetUp();
        g_options.model = c.model;
        EXPECT_TRUE(convert(melody(), c.input)) << c.input;
        EXPECT_TRUE(exists(c.output)) << c.input;
    }
}

TEST_F(ConverterShellTest, VersionDigitThreeBeforeTheExtension) {
    g_options.model = 0;
    ASSERT_TRUE(convert(melody(), "f3.mid"));
    Bytes file = output("f3.MLD");
    Bytes vers = concat({bytes_of("vers"), {0x00, 0x04}, bytes_of("0300")});
    EXPECT_NE(std::search(file.begin(), file.end(), vers.begin(), vers.end()), file.end());
}

TEST_F(ConverterShellTest, ShortPathsConvertNothing) {
    snprintf(g_converter.input_path, sizeof g_converter.input_path, ".mid");
    EXPECT_FALSE(run_conversion());
    EXPECT_TRUE(messages().empty());
    EXPECT_TRUE(g_headless.status_texts.empty());
}

TEST_F(ConverterShellTest, QuotedCommandLineLosesItsQuotes) {
    command_line_take("\"/music/my song.mid\"");
    EXPECT_STREQ(g_converter.input_path, "/music/my song.mid");
    EXPECT_FALSE(g_converter.show_options);
    command_line_take("/music/plain.mid");
    EXPECT_STREQ(g_converter.input_path, "/music/plain.mid");
    command_line_take("");
    EXPECT_STREQ(g_converter.input_path, "");
    EXPECT_TRUE(g_converter.show_options);
}

TEST_F(ConverterShellTest, MailToolStartsOnlyWhenPresentAndAfterSuccess) {
    g_options.model = 1; // au: the result is 1 whatever the size
    ASSERT_TRUE(convert(melody(), "a.mid"));
    EXPECT_TRUE(g_headless.started_programs.empty());

    write_file_bytes(dir.file("tonepost"), {});
    ASSERT_TRUE(convert(melody(), "b.mid"));
    ASSERT_EQ(g_headless.started_programs.size(), 1u);
    EXPECT_EQ(g_headless.started_programs[0].first, dir.file("tonepost"));
    EXPECT_EQ(g_headless.started_programs[0].second, dir.file("b.PMD"));

    // A refused overwrite after MFi/PMD output: no start.
    g_headless.started_programs.clear();
    g_headless.default_answer = false;
    EXPECT_FALSE(convert(melody(), "b.mid"));
    EXPECT_TRUE(g_headless.started_programs.empty());

    // After MMF output the tool starts even when the file was not written.
    g_options.model = 2;
    write_file_bytes(dir.file("c.mmf"), {1});
    EXPECT_FALSE(convert(melody(), "c.mid"));
    EXPECT_EQ(g_headless.started_programs.size(), 1u);
}

// A directory inside the test's own, named so that paths in it are `length` bytes long.
std::string deep_directory(const TempDir& dir, size_t length) {
    std::string sub = dir.file(std::string(length - dir.path.size() - 1, 'd'));
    std::error_code ignored;
    std::filesystem::create_directory(sub, ignored);
    return sub;
}

TEST_F(ConverterShellTest, OverwriteQuestionOfALongPathKeepsItsQuestion) {
    g_options.model = 1;
    g_converter.version1_answer = PresetAnswer::no;
    std::string sub = deep_directory(dir, 200);
    write_file_bytes(sub + "/long.PMD", {1});
    ASSERT_FALSE(convert(melody(), sub.substr(dir.path.size() + 1) + "/long.mid"));
    ASSERT_EQ(questions().size(), 1u);
    EXPECT_EQ(questions()[0],
              sub + "/long.PMD\n\nすでに同じ名前のファイルがあります。\n上書き保存しますか？");
    EXPECT_EQ(read_file_bytes(sub + "/long.PMD"), Bytes{1});
}

TEST_F(ConverterShellTest, ExistingOutputThatCannotBeReadIsNotReplacedUnasked) {
    g_options.model = 1;
    g_converter.version1_answer = PresetAnswer::no;
    write_file_bytes(dir.file("u.PMD"), {1});
    g_headless.unreadable_path = dir.file("u.PMD");
    g_headless.default_answer = false;
    EXPECT_FALSE(convert(melody(), "u.mid"));
    ASSERT_EQ(questions().size(), 1u);
    EXPECT_EQ(questions()[0],
              dir.file("u.PMD") + "\n\nすでに同じ名前のファイルがあります。\n上書き保存しますか？");
    EXPECT_EQ(output("u.PMD"), Bytes{1});
}

TEST_F(ConverterShellTest, UnreadableSmfWritesNothing) {
    EXPECT_FALSE(convert(bytes_of("not a midi file at all"), "bad.mid"));
    EXPECT_FALSE(exists("bad.MLD"));
    EXPECT_EQ(g_headless.status_texts.back(), "Fail data !!");
}

TEST_F(ConverterShellTest, StoredOptionsHoldEveryKey) {
    g_options.model = 2;
    g_options.toneshift = -5;
    g_options.m2 = 0;
    g_options.pmmf = 99;
    snprintf(g_options.a0, sizeof g_options.a0, "X:1,");
    ASSERT_TRUE(options_save());
    std::string text;
    for (uint8_t b : read_file_bytes(dir.file("MELCONV.INI"))) {
        text.push_back(static_cast<char>(b));
    }
    EXPECT_EQ(text, "[OP]\r\nvers=0300\r\nmodel=2\r\nvel=1\r\nseparation=0\r\nlink=0\r\ndisp=0\r\n"
                    "play=0\r\npan=1\r\nexp=1\r\npb=0\r\nmod=0\r\nautocut=300\r\ntoneshift=-5\r\n"
                    "msvol=127\r\nmessage=1\r\n\r\n[MMF]\r\nm2=0\r\npmmf=99\r\na0=X:1,\r\n\r\n");
    converter_options_reset();
    options_load();
    EXPECT_EQ(g_options.model, 2);
    EXPECT_EQ(g_options.toneshift, -5);
    EXPECT_EQ(g_options.pmmf, 99);
    EXPECT_STREQ(g_options.a0, "X:1,");
}

TEST_F(ConverterShellTest, OutOfRangeOptionsFromTheFileTakeDefaults) {
    write_file_bytes(dir.file("MELCONV.INI"),
                     bytes_of("[OP]\r\nautocut=0\r\ntoneshift=13\r\nmsvol=128\r\nmodel=7\r\n"));
    options_load();
    EXPECT_EQ(g_options.autocut, 300);
    EXPECT_EQ(g_options.toneshift, 0);
    EXPECT_EQ(g_options.msvol, 127);
    EXPECT_EQ(g_options.model, 3);
    EXPECT_STREQ(g_options.a0, "A0:Y71328,A2:Y71376,");
}

// melconv's command line, run in place with argv as the program would get it.
int run_cli(std::vector<std::string> args) {
    std::vector<char*> argv;
    args.insert(args.begin(), "melconv");
    for (std::string& a : args) {
        argv.push_back(a.data());
    }
    return melconv_run(static_cast<int>(argv.size()), argv.data());
}

TEST_F(ConverterShellTest, CommandLineConvertsAndWritesTheMailText) {
    write_file_bytes(dir.file("m.mid"), melody());
    EXPECT_EQ(run_cli({"--headless", "--model=0", "--no-v1", "--mail-text=" + dir.file("mail.txt"),
                       dir.file("m.mid")}),
              0);
    EXPECT_TRUE(exists("m.MLD"));
    std::string mail;
    for (uint8_t b : output("mail.txt")) {
        mail.push_back(static_cast<char>(b));
    }
    EXPECT_EQ(mail.substr(0, 13), "--B:M\r\nbWVsbw");
    // The file exists now: without --yes nothing is overwritten and the status says so.
    EXPECT_EQ(run_cli({"--headless", "--model=0", "--no-v1", dir.file("m.mid")}), 1);
    EXPECT_EQ(run_cli({"--headless", "--model=0", "--no-v1", "--yes", dir.file("m.mid")}), 0);
}

TEST_F(ConverterShellTest, MailTextDashGoesToStandardOutput) {
    write_file_bytes(dir.file("s.mid"), melody());
    testing::internal::CaptureStdout();
    int status =
        run_cli({"--headless", "--model=0", "--no-v1", "--mail-text=-", dir.file("s.mid")});
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(status, 0);
    EXPECT_EQ(out.substr(0, 13), "--B:M\r\nbWVsbw");
}

TEST_F(ConverterShellTest, CommandLineRejectsBadOptions) {
    EXPECT_EQ(run_cli({"--toneshift=13", "x.mid"}), 2);
    EXPECT_EQ(run_cli({"--model=two", "x.mid"}), 2);
    EXPECT_EQ(run_cli({"--frobnicate", "x.mid"}), 2);
    EXPECT_EQ(run_cli({"a.mid", "b.mid"}), 2);
    EXPECT_EQ(run_cli({"--headless"}), 2); // no file: usage
    EXPECT_EQ(run_cli({"--help"}), 0);
}

TEST_F(ConverterShellTest, StoreFailsClearlyWhenTheProgramDirectoryIsNotWritable) {
    g_headless.program_directory = dir.file("no-such-directory");
    EXPECT_EQ(run_cli({"--headless", "--store", "--model=1"}), 1);
    g_headless.program_directory = dir.path;
    EXPECT_EQ(run_cli({"--headless", "--store", "--model=1", "--toneshift=-3"}), 0);
    converter_options_reset();
    options_load();
    EXPECT_EQ(g_options.model, 1);
    EXPECT_EQ(g_options.toneshift, -3);
}

TEST_F(ConverterShellTest, FlagsWinOverTheStoredOptions) {
    g_headless.program_directory = dir.path;
    write_file_bytes(dir.file("MELCONV.INI"), bytes_of("[OP]\r\nmodel=2\r\n"));
    write_file_bytes(dir.file("f.mid"), melody());
    EXPECT_EQ(run_cli({"--headless", "--no-v1", dir.file("f.mid")}), 0);
    EXPECT_TRUE(exists("f.mmf"));
    EXPECT_EQ(run_cli({"--headless", "--no-v1", "--model=1", dir.file("f.mid")}), 0);
    EXPECT_TRUE(exists("f.PMD"));
}

TEST_F(ConverterShellTest, PathTooLongForTheInputPathIsRefused) {
    // The first 260 bytes of the path name another song: it must not be converted instead.
    std::string sub = deep_directory(dir, 200);
    std::string other = sub + "/" + std::string(260 - sub.size() - 5, 'x') + ".mid";
    ASSERT_EQ(other.size(), 260u);
    std::string wanted = other + "dle-of-a-long-name.mid";
    write_file_bytes(other, melody());
    write_file_bytes(wanted, melody());
    EXPECT_EQ(run_cli({"--headless", "--model=1", "--no-v1", wanted}), 2);
    EXPECT_FALSE(std::filesystem::exists(other.substr(0, 257) + "PMD"));
    EXPECT_FALSE(std::filesystem::exists(wanted.substr(0, wanted.size() - 3) + "PMD"));
    EXPECT_FALSE(command_line_take(wanted.c_str()));
    EXPECT_STREQ(g_converter.input_path, "");
    EXPECT_TRUE(command_line_take(other.c_str()));
    EXPECT_EQ(g_converter.input_path, other);
}

TEST_F(ConverterShellTest, CommandLineMissingFileFails) {
    for (const char* name : {"none.mid", "none.mld", "none.PMD", "none.mmf"}) {
        g_headless.status_texts.clear();
        EXPECT_EQ(run_cli({"--headless", dir.file(name)}), 1) << name;
        ASSERT_FALSE(g_headless.status_texts.empty()) << name;
        EXPECT_EQ(g_headless.status_texts.back(), "file not found") << name;
    }
}

} // namespace
