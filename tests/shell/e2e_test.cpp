// Whole runs of the zb47 program: headless, driven by a script, checked by its screenshots
// against committed references and by its log. Set ZB_UPDATE_SCREENS=1 to write the
// references anew (then look at every one before committing it).
#include "common/text_sjis.h"
#include "tests/support/png_read.h"
#include "tests/support/smf_builder.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string read_text(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class Zb47Run : public ::testing::Test {
protected:
    TempDir dir;
    // Runs zb47 headless with the script (and song) in the given locale; the exit status.
    int run(const std::string& script, const std::string& locale, const std::string& song = "") {
        std::ofstream(dir.file("script.txt")) << script;
        std::string command = "cd '" + dir.path + "' && LC_ALL=" + locale + " LANG=" + locale +
                              " '" ZB47_PROGRAM "' --headless --dir '" + dir.path +
                              "' --script script.txt --log log.txt";
        if (!song.empty()) {
            command += " '" + song + "'";
        }
        command += " 2>stderr.txt";
        int status = system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string log() const { return read_text(dir.file("log.txt")); }
    // Compares a screenshot with its reference in tests/data/screens.
    void expect_same_as_reference(const std::string& shot, const std::string& reference) {
        std::string reference_path = test_data_dir() + "/screens/" + reference;
        std::vector<uint32_t> actual, expected;
        int width = 0, height = 0, ref_width = 0, ref_height = 0;
        ASSERT_TRUE(png_read_pixels(dir.file(shot).c_str(), actual, width, height)) << shot;
        if (getenv("ZB_UPDATE_SCREENS")) {
            write_file_bytes(reference_path, read_file_bytes(dir.file(shot)));
            return;
        }
        ASSERT_TRUE(png_read_pixels(reference_path.c_str(), expected, ref_width, ref_height))
            << reference_path;
        ASSERT_EQ(width, ref_width);
        ASSERT_EQ(height, ref_height);
        int differing = 0;
        int first = -1;
        for (size_t i = 0; i < actual.size(); i++) {
            if (actual[i] != expected[i]) {
                differing++;
                first = first < 0 ? static_cast<int>(i) : first;
            }
        }
        if (differing > 0) {
            std::string kept = "/tmp/zb47-actual-" + reference;
            write_file_bytes(kept, read_file_bytes(dir.file(shot)));
            ADD_FAILURE() << differing << " pixels differ from " << reference << ", first at ("
                          << first % width << ", " << first / width << "); the picture is in "
                          << kept;
        }
    }
};

TEST_F(Zb47Run, StartScreenInEnglishMatchesItsReference) {
    ASSERT_EQ(run("wait 40\nscreenshot start.png\n", "C"), 0) << read_text(dir.file("stderr.txt"));
    expect_same_as_reference("start.png", "start_en.png");
    EXPECT_NE(log().find("caption: ZB47 MIDI MUSIC SEQUENCER"), std::string::npos) << log();
}

TEST_F(Zb47Run, StartScreenInJapaneseMatchesItsReference) {
    // A song named on the command line whose title is in Japanese: the title row shows it
    // in the full-width glyphs.
    Bytes song = smf_file(
        1, 480,
        {concat({meta_text(0, 0x03, utf8_to_sjis("デモ曲　ＺＢ４７の歌")), end_of_track(1920)})});
    write_file_bytes(dir.file("title.mid"), song);
    ASSERT_EQ(run("wait 100\nscreenshot start.png\n", "ja_JP.UTF-8", dir.file("title.mid")), 0);
    expect_same_as_reference("start.png", "start_ja.png");
    EXPECT_NE(log().find("caption: デモ曲　ＺＢ４７の歌 - ZB47 MIDI MUSIC SEQUENCER"),
              std::string::npos)
        << log();
}

TEST_F(Zb47Run, DemoSongPlaysFromTheCommandLineAndSpaceStopsIt) {
    std::string song = test_data_dir() + "/../../resources/demo.mid";
    ASSERT_EQ(run("wait 1000\nkey Space\nwait 40\nscreenshot stopped.png\n", "C", song), 0);
    std::string text = log();
    EXPECT_NE(text.find("caption: ZB47 Demo - ZB47 MIDI MUSIC SEQUENCER"), std::string::npos)
        << text;
    // Notes went out while playing and the stop ended every one of them.
    EXPECT_NE(text.find(": 90 "), std::string::npos) << text;
    EXPECT_NE(text.find(" 00\n"), std::string::npos) << text;
    expect_same_as_reference("stopped.png", "demo_stopped.png");
}

TEST_F(Zb47Run, EndOfScriptClosesLikeTheCloseBoxWithoutWritingSettings) {
    ASSERT_EQ(run("wait 40\n", "C"), 0);
    EXPECT_FALSE(std::ifstream(dir.file("ZB47.DAT")).good());
}

TEST_F(Zb47Run, BadScriptLinesMakeTheRunFail) {
    EXPECT_EQ(run("wait 20\nfly away\n", "C"), 3);
}

} // namespace
