// Whole runs of the zb47 program: start screens, the demo song, the end of a script.
#include "tests/shell/zb47_run.h"

#include "common/text_sjis.h"
#include "tests/support/run_songs.h"
#include "tests/support/smf_builder.h"

namespace {

TEST_F(Zb47Run, StartScreenInEnglishMatchesItsReference) {
    ASSERT_EQ(run("wait 40\nscreenshot start.png\n", "C"), 0) << read_text(dir.file("stderr.txt"));
    expect_same_as_reference("start.png", "start_en.png");
    EXPECT_NE(log().find("caption: ZB47 MIDI MUSIC SEQUENCER"), std::string::npos) << log();
}

TEST_F(Zb47Run, StartScreenInJapaneseMatchesItsReference) {
    // A song named on the command line whose title is in Japanese: the title row shows it
    // in the full-width glyphs.
    write_file_bytes(dir.file("title.mid"), japanese_title_song());
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

TEST_F(Zb47Run, PcKeyboardNoteKeysSoundFromAFirstStart) {
    ASSERT_EQ(run("wait 40\nkeydown A\nwait 100\nkeyup A\nwait 40\nkey Semicolon\nwait 40\n", "C"),
              0);
    std::string text = log();
    size_t on = text.find("midi 0: 90 3C 64\n");
    size_t off = text.find("midi 0: 90 3C 00\n");
    ASSERT_NE(on, std::string::npos) << text;
    EXPECT_NE(off, std::string::npos) << text;
    EXPECT_LT(on, off);
    EXPECT_NE(text.find("midi 0: 90 4C 64\n"), std::string::npos) << text; // the 17th key
}

TEST_F(Zb47Run, EndOfScriptClosesLikeTheCloseBoxWithoutWritingSettings) {
    ASSERT_EQ(run("wait 40\n", "C"), 0);
    EXPECT_FALSE(std::ifstream(dir.file("ZB47.DAT")).good());
}

TEST_F(Zb47Run, BadScriptLinesMakeTheRunFail) {
    EXPECT_EQ(run("wait 20\nfly away\n", "C"), 3);
}

} // namespace
