// Whole runs of the program on the event list: a loaded song's note changed in velocity,
// time and gate, an event deleted and an exclusive byte stepped, then the song saved and its
// bytes compared; and pictures of the list in both languages and of the exclusive editor.
#include "tests/shell/zb47_run.h"

#include "tests/support/smf_builder.h"

namespace {

std::string row(char letter) {
    return click_at(150, 88 + 16 * (letter - 'A'));
}
// A line's time, value and gate fields; the editor's buttons.
int line_y(int line) {
    return 81 + 16 * line + 6;
}
constexpr int TIME_X = 350, VALUE_X = 480, GATE_X = 580;
std::string value_button(int k) {
    return click_at(328 + 32 * k + 10, 330);
}
const std::string ENTER = click_at(550, 330);
const std::string DEL = click_at(400, 295);
const std::string SCROLL_UP = click_at(470, 330);

// Track 1 holds the grid; track 2 (the write track at start) the material.
Bytes run_song() {
    return smf_file(
        1, 480,
        {concat({meta_text(0, 0x03, "Run"), tempo_event(0, 500000), time_signature(0, 4, 2),
                 end_of_track(3840)}),
         concat({meta_text(0, 0x03, "Mel"), ev(0, {0x90, 0x3C, 0x64}), ev(480, {0x80, 0x3C, 0x40}),
                 ev(0, {0xB0, 0x07, 0x64}), ev(480, {0x90, 0x40, 0x50}),
                 ev(480, {0x80, 0x40, 0x00}),
                 ev(480, {0xF0, 0x0A, 0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, 0x41, 0xF7}),
                 end_of_track(1920)})});
}

// The data of the n-th (0-based) track chunk of a file.
Bytes track_of_file(const Bytes& file, int n) {
    size_t pos = 14;
    for (int i = 0; pos + 8 <= file.size(); i++) {
        size_t length = (size_t{file[pos + 4]} << 24) | (size_t{file[pos + 5]} << 16) |
                        (size_t{file[pos + 6]} << 8) | file[pos + 7];
        if (i == n) {
            return Bytes(file.begin() + pos + 8, file.begin() + pos + 8 + length);
        }
        pos += 8 + length;
    }
    return {};
}

class EventListRuns : public Zb47Run {
protected:
    void SetUp() override { write_file_bytes(dir.file("run.mid"), run_song()); }
    // Dropped into bank 1 (not played), then the event page's EDIT MODE.
    std::string list_shown() const {
        return "wait 60\n" + tab_click(1) + "drop " + dir.file("run.mid") + "\nwait 40\n" +
               tab_click(5) + row('C');
    }
};

TEST_F(EventListRuns, EditsOfALoadedSongAreSavedAsWorkedOut) {
    std::string script = list_shown() + "screenshot list.png\n" +
                         // Lines: 0 name, 1 note C3, 2 controller, 3 note E3, 4 exclusive.
                         click_at(VALUE_X, line_y(1)) + value_button(3) +
                         ENTER + // velocity 100 -> 99
                         click_at(TIME_X, line_y(2)) + value_button(2) + value_button(2) +
                         value_button(2) + ENTER + // controller 480 -> 483; list from it
                         click_at(GATE_X, line_y(1)) + value_button(2) + ENTER +  // E3 gate 481
                         SCROLL_UP + click_at(VALUE_X, line_y(0)) + DEL + ENTER + // controller gone
                         click_at(TIME_X, line_y(1)) + row('M') + value_button(0) + // maker ID + 1
                         "screenshot exclusive.png\n" + tab_click(1) + "answer yes\n" + row('I');
    ASSERT_EQ(run(script, "C"), 0) << read_text(dir.file("stderr.txt"));
    Bytes saved = read_file_bytes(dir.file("run.mid"));
    EXPECT_EQ(track_of_file(saved, 1),
              (Bytes{0x00, 0xFF, 0x03, 0x03, 'M',  'e',  'l',  0x00, 0x90, 0x3C, 0x63, 0x83,
                     0x60, 0x80, 0x3C, 0x40, 0x83, 0x60, 0x90, 0x40, 0x50, 0x83, 0x61, 0x80,
                     0x40, 0x00, 0x83, 0x5F, 0xF0, 0x0A, 0x42, 0x10, 0x42, 0x12, 0x40, 0x00,
                     0x7F, 0x00, 0x41, 0xF7, 0x8F, 0x00, 0xFF, 0x2F, 0x00}));
    EXPECT_EQ(track_of_file(saved, 0), track_of_file(run_song(), 0));
    expect_same_as_reference("list.png", "event_list/list_en.png");
    expect_same_as_reference("exclusive.png", "event_list/exclusive_editor.png");
}

TEST_F(EventListRuns, TheListInJapanese) {
    std::string script = list_shown() + click_at(VALUE_X, line_y(1)) + "screenshot list.png\n";
    ASSERT_EQ(run(script, "ja_JP.UTF-8"), 0) << read_text(dir.file("stderr.txt"));
    expect_same_as_reference("list.png", "event_list/list_ja_selected.png");
}

} // namespace
