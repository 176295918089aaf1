// Whole runs with the dialogs: the title dialog opened from page 1 row C by clicks, typed
// into and saved with File Write; and a track-name dialog opened while the song plays, with
// the notes going out exactly as they do without it.
#include "tests/shell/zb47_run.h"

#include "tests/support/smf_builder.h"

#include <algorithm>

namespace {

// Sixteen bars of eighth notes on track 2.
Bytes running_notes() {
    Bytes notes;
    for (int i = 0; i < 128; i++) {
        uint8_t note = static_cast<uint8_t>(60 + i % 12);
        notes = concat({notes, ev(i == 0 ? 0 : 120, {0x90, note, 100}), ev(120, {0x80, note, 0})});
    }
    return smf_file(
        1, 480,
        {concat({meta_text(0, 0x03, "Running"), tempo_event(0, 500000), end_of_track(1920 * 16)}),
         concat({meta_text(0, 0x03, "Lead"), notes, end_of_track()})});
}

// The note messages of a log with their times, up to the first line holding `until`.
std::vector<std::string> note_lines(const std::string& log, const std::string& until) {
    std::vector<std::string> lines;
    std::istringstream in(log);
    std::string line;
    while (std::getline(in, line) && line.find(until) == std::string::npos) {
        if (line.find("midi 0: 9") != std::string::npos ||
            line.find("midi 0: 8") != std::string::npos) {
            lines.push_back(line);
        }
    }
    return lines;
}

TEST_F(Zb47Run, TitleTypedInTheTitleDialogIsSavedByFileWrite) {
    std::string saved = dir.file("saved.mid");
    std::string script = "wait 60\n" + tab_click(1) + row_click('C') +
                         "key End\nkey Backspace\nkey Backspace\ntext Scripted Title\n"
                         "screenshot dialog.png\nkey Enter\nwait 40\n"
                         "dialog " +
                         saved + "\n" + row_click('K') + "wait 100\n";
    ASSERT_EQ(run(script, "C"), 0) << read_text(dir.file("stderr.txt"));
    EXPECT_NE(log().find("caption: Scripted Title - ZB47 MIDI MUSIC SEQUENCER"), std::string::npos)
        << log();
    Bytes file = read_file_bytes(saved);
    Bytes name = meta_text(0, 0x03, "Scripted Title");
    EXPECT_NE(std::search(file.begin(), file.end(), name.begin(), name.end()), file.end());
}

TEST_F(Zb47Run, NotesKeepTheirTimesWhileATrackNameDialogWaits) {
    write_file_bytes(dir.file("running.mid"), running_notes());
    std::string start = "wait 60\n" + tab_click(1) + "drop " + dir.file("running.mid") +
                        "\nwait 40\n" + tab_click(3) + row_click('A') + "key Space\nwait 500\n";
    // With the dialog: a click on track 2's name, a second of waiting, a name and Enter.
    std::string with_dialog = start +
                              "click 380 105\nnote dialog open\nwait 1000\ntext Solo\n"
                              "screenshot shown.png\n"
                              "key Enter\nnote dialog closed\nwait 200\nkey Space\nwait 40\n";
    // Without it: the same times pass.
    std::string without = start + "move 380 105\nwait 30\nwait 1000\nscreenshot shown.png\n"
                                  "wait 50\nwait 200\nkey Space\nwait 40\n";
    ASSERT_EQ(run(with_dialog, "C"), 0) << read_text(dir.file("stderr.txt"));
    std::string dialog_log = log();
    std::vector<uint32_t> with_picture, plain_picture;
    int width = 0, height = 0;
    ASSERT_TRUE(png_read_pixels(dir.file("shown.png").c_str(), with_picture, width, height));
    ASSERT_EQ(run(without, "C"), 0) << read_text(dir.file("stderr.txt"));
    std::string plain_log = log();
    ASSERT_TRUE(png_read_pixels(dir.file("shown.png").c_str(), plain_picture, width, height));
    EXPECT_NE(with_picture, plain_picture); // the dialog was there

    std::vector<std::string> notes = note_lines(dialog_log, "midi 0: B");
    EXPECT_EQ(notes, note_lines(plain_log, "midi 0: B"));
    // Notes went out while the dialog was open.
    size_t open = dialog_log.find("note: dialog open");
    size_t closed = dialog_log.find("note: dialog closed");
    ASSERT_NE(open, std::string::npos);
    ASSERT_NE(closed, std::string::npos);
    std::string during = dialog_log.substr(open, closed - open);
    EXPECT_GE(std::count(during.begin(), during.end(), '\n'), 16) << during;
    EXPECT_NE(during.find("midi 0: 90"), std::string::npos) << during;
}

TEST_F(Zb47Run, ASongStartedByMidiWhileADialogWaitsPlaysOnTime) {
    write_file_bytes(dir.file("running.mid"), running_notes());
    std::string start =
        "wait 60\n" + tab_click(1) + "drop " + dir.file("running.mid") + "\nwait 40\n";
    // The title dialog opens while stopped; a MIDI start message starts the song under it.
    std::string with_dialog = start + row_click('C') + "note dialog open\nmidi FA\nwait 1000\n" +
                              "key Esc\nnote dialog closed\nwait 200\nkey Space\nwait 40\n";
    // The click that opened the dialog finishes (30 ms held) once the dialog has closed.
    std::string without = start + "move 150 120\nwait 60\nmidi FA\nwait 1000\n" +
                          "wait 50\nwait 30\nwait 200\nkey Space\nwait 40\n";
    ASSERT_EQ(run(with_dialog, "C"), 0) << read_text(dir.file("stderr.txt"));
    std::string dialog_log = log();
    ASSERT_EQ(run(without, "C"), 0) << read_text(dir.file("stderr.txt"));
    std::string plain_log = log();

    std::vector<std::string> notes = note_lines(dialog_log, "midi 0: B");
    EXPECT_FALSE(notes.empty()) << dialog_log;
    EXPECT_EQ(notes, note_lines(plain_log, "midi 0: B"));
    size_t open = dialog_log.find("note: dialog open");
    size_t closed = dialog_log.find("note: dialog closed");
    ASSERT_NE(open, std::string::npos);
    ASSERT_NE(closed, std::string::npos);
    EXPECT_NE(dialog_log.substr(open, closed - open).find("midi 0: 90"), std::string::npos)
        << dialog_log;
}

} // namespace
