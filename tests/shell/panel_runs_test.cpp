// Whole runs through the panels: stepping fields to their limits, shortcuts, a two-press
// ENTER that edits the song with its backup into bank 10, song-bank selection with drops,
// and the converter started for unsaved, never-saved and saved songs.
#include "tests/shell/zb47_run.h"

#include "tests/support/smf_builder.h"

namespace {

// The value box of field f (1..8).
std::string value_box(int f) {
    int x = 328 + 64 * ((f - 1) % 4) + 30;
    int y = f <= 4 ? 120 : 250;
    return click_at(x, y);
}

const std::string ENTER = "click 550 328\nwait 60\n";

// Eight 4/4 measures of a note each on track 2.
Bytes eight_bars() {
    Bytes notes;
    for (int m = 0; m < 8; m++) {
        notes = concat({notes, ev(m == 0 ? 0 : 1440, {0x90, static_cast<uint8_t>(60 + m), 100}),
                        ev(480, {0x80, static_cast<uint8_t>(60 + m), 0})});
    }
    return smf_file(
        1, 480,
        {concat({meta_text(0, 0x03, "Eight Bars"), tempo_event(0, 500000), end_of_track(1920 * 8)}),
         concat({meta_text(0, 0x03, "Tune"), notes, end_of_track()})});
}

class PanelRuns : public Zb47Run {
protected:
    void SetUp() override { write_file_bytes(dir.file("bars.mid"), eight_bars()); }
    // Starts with the song dropped into bank 1.
    std::string with_song() const {
        return "wait 60\n" + tab_click(1) + "drop " + dir.file("bars.mid") + "\nwait 40\n";
    }
};

TEST_F(PanelRuns, FieldsStopAtTheirLimitsShiftStepsFurtherAndValueBoxesTakeTheirShortcuts) {
    // Metronome: the channel field from 10 up seven times stays at 16; Shift and up moves the
    // first-beat note an octave (34 to 46); the velocity field down from 100 with Shift: 90.
    std::string script = "wait 60\n" + tab_click(2) + row_click('J') + panel_button(3, 7) +
                         "keydown Shift\n" + panel_button(9) + panel_button(12) +
                         "keyup Shift\nwait 40\n" + "screenshot metronome.png\n" +
                         // Micro scale: the channel's value box gives 17 (all).
                         row_click('M') + panel_button(2, 3) + value_box(1) +
                         "screenshot scale.png\n";
    ASSERT_EQ(run(script, "C"), 0) << read_text(dir.file("stderr.txt"));
    expect_same_as_reference("metronome.png", "panels/metronome_stepped.png");
    expect_same_as_reference("scale.png", "panels/scale_shortcut.png");
}

TEST_F(PanelRuns, SecondEnterDeletesMeasuresAndBacksTheSongUpIntoBankTen) {
    // "BACK UP" on (option page, field 4), then Delete measures 1..2 with two presses.
    std::string script = with_song() + tab_click(2) + row_click('H') + panel_button(7) +
                         tab_click(4) + row_click('E') + panel_button(3) + ENTER +
                         "screenshot asked.png\n" + ENTER + "screenshot deleted.png\n" +
                         tab_click(1) + "screenshot banks.png\n";
    ASSERT_EQ(run(script, "C"), 0) << read_text(dir.file("stderr.txt"));
    expect_same_as_reference("asked.png", "panels/delete_asked.png");
    expect_same_as_reference("deleted.png", "panels/delete_done.png");
    // The list shows bank 1 with six measures and bank 10 holding the song as it was.
    expect_same_as_reference("banks.png", "panels/delete_backup_banks.png");
}

TEST_F(PanelRuns, FirstEnterAsksAgainAfterAFieldChangeAndBackupStaysOffByDefault) {
    std::string script = with_song() + tab_click(4) + row_click('E') + ENTER + panel_button(3) +
                         ENTER + "screenshot again.png\n" + ENTER + tab_click(1) +
                         "screenshot banks.png\n";
    ASSERT_EQ(run(script, "C"), 0) << read_text(dir.file("stderr.txt"));
    expect_same_as_reference("again.png", "panels/delete_asked_again.png");
    expect_same_as_reference("banks.png", "panels/delete_no_backup_banks.png");
}

TEST_F(PanelRuns, SongBanksAreChosenByClickAndTakeDropsOnlyWhileTheirListIsShown) {
    std::string script = with_song() + "click 330 106\nwait 40\n" + "drop " + dir.file("bars.mid") +
                         "\nwait 40\n" + tab_click(2) + "drop " + dir.file("bars.mid") +
                         "\nwait 40\n" + tab_click(1) + "screenshot banks.png\n";
    ASSERT_EQ(run(script, "C"), 0) << read_text(dir.file("stderr.txt"));
    expect_same_as_reference("banks.png", "panels/bank_two_chosen.png");
    EXPECT_NE(log().find("drop refused"), std::string::npos) << log();
}

TEST_F(PanelRuns, ConverterStartsForASavedSongAndAsksForANameForAnUnsavedOne) {
    // Saved: started at once with the song's path. Unsaved (after Delete): written through the
    // file dialog first, then started with the new file.
    std::string saved_as = dir.file("written.mid");
    std::string script = with_song() + row_click('E') + tab_click(4) + row_click('E') + ENTER +
                         ENTER + tab_click(1) + "dialog " + saved_as + "\n" + row_click('E') +
                         "wait 40\n";
    ASSERT_EQ(run(script, "C"), 0) << read_text(dir.file("stderr.txt"));
    std::string text = log();
    size_t first = text.find("program: ");
    ASSERT_NE(first, std::string::npos) << text;
    EXPECT_NE(text.find("[" + dir.file("bars.mid") + "]", first), std::string::npos) << text;
    size_t second = text.find("program: ", first + 1);
    ASSERT_NE(second, std::string::npos) << text;
    EXPECT_NE(text.find("[" + saved_as + "]", second), std::string::npos) << text;
    EXPECT_TRUE(std::ifstream(saved_as).good());
}

TEST_F(PanelRuns, ConverterIsNotStartedForASongThatWasNeverSaved) {
    std::string script = "wait 60\n" + tab_click(1) + row_click('E') + "wait 40\n";
    ASSERT_EQ(run(script, "C"), 0) << read_text(dir.file("stderr.txt"));
    EXPECT_EQ(log().find("program: "), std::string::npos) << log();
    EXPECT_EQ(log().find("message: "), std::string::npos) << log();
}

} // namespace
