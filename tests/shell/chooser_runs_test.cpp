// Whole runs of zb47 in which the file dialogs are the program's own choosers, operated by
// the script's keys, typed text and clicks (no queued dialog answers).
#include "tests/shell/zb47_run.h"

#include "tests/support/smf_builder.h"

namespace {

TEST_F(Zb47Run, FileWriteSavesUnderATypedNameAndFileReadLoadsItBackByChoosingIt) {
    Bytes song = smf_file(0, 480,
                          {concat({meta_text(0, 0x03, "Chooser Tune"), ev(0, {0x90, 60, 100}),
                                   ev(480, {0x80, 60, 0}), end_of_track(1440)})});
    write_file_bytes(dir.file("tune.mid"), song);
    // The song named on the command line starts playing; Space stops it so the menu works.
    std::string script = "wait 60\nkey Space\nwait 40\n" + tab_click(1) + row_click('K') +
                         // The save chooser is open in the working directory: type a new name.
                         "text copy\nkey Enter\nwait 40\n" +
                         // Bank 2 (empty) takes the song read back.
                         row_click('A') + "click 400 105\nwait 40\n" + row_click('M') +
                         // The open chooser: type-ahead to copy.MID, Enter opens it.
                         "text co\nkey Enter\nwait 100\n";
    ASSERT_EQ(run(script, "C", dir.file("tune.mid")), 0) << read_text(dir.file("stderr.txt"));
    EXPECT_EQ(read_file_bytes(dir.file("copy.MID")), song);
    std::string text = log();
    EXPECT_EQ(text.find("question:"), std::string::npos) << text;
    // Bank 2 was empty; after the read its caption names the song again.
    size_t empty = text.find("caption: ZB47 MIDI MUSIC SEQUENCER");
    size_t loaded = text.rfind("caption: Chooser Tune - ZB47 MIDI MUSIC SEQUENCER");
    ASSERT_NE(empty, std::string::npos) << text;
    ASSERT_NE(loaded, std::string::npos) << text;
    EXPECT_LT(empty, loaded) << text;
}

TEST_F(Zb47Run, EscInTheSaveChooserWritesNothing) {
    Bytes song = smf_file(
        1, 480, {concat({ev(0, {0x90, 60, 100}), ev(480, {0x80, 60, 0}), end_of_track(1440)})});
    write_file_bytes(dir.file("tune.mid"), song);
    // The song named on the command line starts playing; Space stops it so the menu works.
    std::string script = "wait 60\nkey Space\nwait 40\n" + tab_click(1) + row_click('K') +
                         "text other\nkey Esc\nwait 40\n";
    ASSERT_EQ(run(script, "C", dir.file("tune.mid")), 0) << read_text(dir.file("stderr.txt"));
    EXPECT_TRUE(read_file_bytes(dir.file("other.MID")).empty());
}

} // namespace
