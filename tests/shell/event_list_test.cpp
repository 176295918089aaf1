// The event list and editor through the real menu and clicks: every kind of line byte for
// byte in its text cells (both languages), scrolling and the event filter, each kind of
// commit with the track's bytes before and after, running out of memory, the exclusive
// checksum check and the exclusive byte editor.
#include "tests/shell/shell_fixture.h"

#include "common/text_sjis.h"
#include "gui/modal.h"
#include "platform/headless/headless_window.h"
#include "platform/picture.h"
#include "platform/virtual_keys.h"
#include "sequencer/engine/last_key.h"
#include "sequencer/shell/dialogs.h"
#include "sequencer/shell/draw.h"
#include "sequencer/shell/event_list.h"
#include "sequencer/shell/menu_show.h"
#include "sequencer/shell/screen_layout.h"
#include "songcore/track_normalize.h"

#include <cstring>

namespace {

constexpr int EVENT_PAGE = 5;
constexpr int ROW_EDIT_MODE = 2;
constexpr int ROW_EXCLUSIVE_EDIT = 12;

// Pixel points the tests press: a line's three fields, the buttons.
constexpr int TIME_X = 350, VALUE_X = 480, GATE_X = 580;
int line_y(int line) {
    return 81 + 16 * line + 6;
}
ScreenPoint value_button(int k) {
    return {EVENT_LIST.button_origin + 32 * k + 10, 330};
}
constexpr ScreenPoint KEY_BUTTON = {350, 295};
constexpr ScreenPoint DEL_BUTTON = {400, 295};
constexpr ScreenPoint ENTER_BUTTON = {550, 330};
constexpr ScreenPoint SCROLL_UP = {470, 330};
constexpr ScreenPoint SCROLL_DOWN = {500, 330};

std::string sjis(const char* utf8) {
    return utf8_to_sjis(utf8);
}

// Track 1: name, 120 bpm, 4/4, three measures of 480-tick quarters.
Bytes conductor() {
    return concat({meta_text(0, 0x03, "Song"), tempo_event(0, 500000), time_signature(0, 4, 2),
                   end_of_track(5760)});
}

Bytes commit_track();

class EventListTest : public ShellFixture {
protected:
    void open_song(const Bytes& track2, UiLanguage language = UiLanguage::english) {
        g_headless.language = language;
        start();
        ASSERT_EQ(load_bytes(smf_file(1, 480, {conductor(), track2})), SongLoadResult::loaded);
        g_song.write_track = 1;
        menu_hooks_install();
    }
    void show_row(int row, int measure_index = 0) {
        g_song_clock.current_measure = measure_index;
        g_menu.menu_cursor[EVENT_PAGE] = static_cast<uint8_t>(row);
        g_menu.last_command_key = NO_COMMAND;
        show_command(EVENT_PAGE);
    }
    void show_list(int measure_index = 0) { show_row(ROW_EDIT_MODE, measure_index); }
    void tap(ScreenPoint p) { click(p.x, p.y); }
    void hold_alt(bool on) {
        SHELL_WINDOW_HANDLERS.mouse_button(MouseButton::right, on);
        run_ms(20);
    }
    uint32_t base() const { return pixel_from_colour(g_draw.base_colour); }
    ::testing::AssertionResult line_shows(int line, const std::string& text) {
        if (text.size() != EVENT_LINE_CELLS) {
            return ::testing::AssertionFailure() << "expected text is " << text.size() << " cells";
        }
        return picture_shows_text(8 * 42 - 1, 16 * (5 + line), FontSize::large, text.c_str(), BLACK,
                                  base());
    }
    ::testing::AssertionResult inverse_at(int col, int row, const char* text) {
        return picture_shows_text(8 * col - 1, 16 * row, FontSize::large, text, WHITE, GREY);
    }
    Bytes track2() const { return track_data(0, 1); }
    // The commit cases: the small track listed from its first measure, one field of a line
    // selected; ENTER then hands back what the track holds.
    void select_commit_event(int x, int line) {
        open_song(commit_track());
        show_list(0);
        click(x, line_y(line));
    }
    Bytes enter() {
        tap(ENTER_BUTTON);
        return track2();
    }
};

// Every kind of event the list names: channel messages, each meta kind, XF, exclusive,
// texts cut at 18 bytes, a note whose gate runs across measures, and the end of track.
Bytes every_kind_track() {
    return concat({
        meta_text(0, 0x03, "Guitar"),
        ev(0, {0xC0, 0x05}),
        ev(0, {0xB0, 0x07, 0x64}),
        ev(240, {0x90, 0x3C, 0x64}),
        ev(240, {0xA0, 0x3C, 0x20}),
        ev(360, {0x80, 0x3C, 0x00}),
        ev(120, {0xD0, 0x40}),
        ev(240, {0xE1, 0x00, 0x40}),
        ev(240, {0xE0, 0x00, 0x00}),
        tempo_event(480, 500000), // tick 1920: measure 2
        ev(0, {0xFF, 0x58, 0x04, 0x03, 0x03, 0x18, 0x08}),
        ev(0, {0xFF, 0x59, 0x02, 0xFD, 0x00}), // three flats, major
        ev(0, {0xFF, 0x59, 0x02, 0x02, 0x01}), // two sharps, minor
        ev(0, {0xFF, 0x21, 0x01, 0x01}),
        ev(0, {0xFF, 0x54, 0x05, 0x60, 0x00, 0x00, 0x00, 0x00}),
        ev(0, {0xFF, 0x7F, 0x07, 0x43, 0x7B, 0x00, 'X', 'F', '0', '2'}),
        ev(0, {0xFF, 0x7F, 0x04, 0x43, 0x7B, 0x03, 0x00}),
        ev(0, {0xFF, 0x7F, 0x04, 0x43, 0x7B, 0x0C, 0x00}),
        ev(0, {0xFF, 0x7F, 0x03, 0x41, 0x00, 0x01}),
        ev(0, {0xFF, 0x60, 0x01, 0x00}),
        ev(0, {0xF0, 0x06, 0x41, 0x10, 0x42, 0x12, 0x40, 0xF7}),
        ev(0, {0xF7, 0x02, 0x01, 0xF7}),
        meta_text(1920, 0x01, "Twenty bytes of text"), // tick 3840: measure 3
        meta_text(0, 0x05, "Seventeen chars!!" + sjis("あ")),
        ev(0, {0x90, 0x40, 0x50}),
        ev(1900, {0x90, 0x40, 0x00}),
        end_of_track(20),
    });
}

class EventLines : public EventListTest, public ::testing::WithParamInterface<UiLanguage> {};

TEST_P(EventLines, EveryKindOfEventByteForByte) {
    open_song(every_kind_track(), GetParam());
    show_list(0);
    EXPECT_TRUE(picture_shows_text(8 * 41 - 1, 16 * 4, FontSize::large, "MEAS:bt:cl  Ch Event",
                                   BLACK, base()));
    EXPECT_TRUE(line_shows(0, "001:01:000|TXT3 Guitar            "));
    EXPECT_TRUE(line_shows(1, "001:01:000|01|006 E.Piano 2       "));
    EXPECT_TRUE(line_shows(2, "001:01:000|01|Cont     007  100   "));
    EXPECT_TRUE(line_shows(3, "001:01:240|01|" + sjis("♪Ｃ３　") + "[100]001:120"));
    EXPECT_TRUE(line_shows(4, "001:02:000|01|k press  " + sjis("Ｃ３　") + " 032 "));
    EXPECT_TRUE(line_shows(5, "001:03:000|01|c press  064        "));
    EXPECT_TRUE(line_shows(6, "001:03:240|02|Pitch B      0      "));
    EXPECT_TRUE(line_shows(7, "001:04:000|01|Pitch B  -8192      "));
    EXPECT_TRUE(line_shows(8, "002:01:000|tempo       120        "));
    EXPECT_TRUE(line_shows(9, "002:01:000|sign        03/08      "));
    EXPECT_TRUE(line_shows(10, "002:01:000|key       b 03:major   "));
    EXPECT_TRUE(line_shows(11, "002:01:000|key       # 02:minor   "));

    show_list(1);
    EXPECT_TRUE(line_shows(0, "002:01:000|tempo       120        "));
    EXPECT_TRUE(line_shows(4, "002:01:000|PORT        002        "));
    EXPECT_TRUE(line_shows(5, "002:01:000|SMPTE                  "));
    EXPECT_TRUE(line_shows(6, "002:01:000|XF Version ID XF02     "));
    EXPECT_TRUE(line_shows(7, "002:01:000|Phrase mark            "));
    EXPECT_TRUE(line_shows(8, "002:01:000|Guide Track Flag       "));
    EXPECT_TRUE(line_shows(9, "002:01:000|other                  "));
    EXPECT_TRUE(line_shows(10, "002:01:000|096                    "));
    EXPECT_TRUE(line_shows(11, "002:01:000|exec ID      41        "));
    tap(SCROLL_DOWN);
    EXPECT_TRUE(line_shows(10, "002:01:000|exec ID      41        "));
    EXPECT_TRUE(line_shows(11, "002:01:000|other                  ")); // the F7 packet

    show_list(2);
    EXPECT_TRUE(line_shows(0, "003:01:000|TXT1 Twenty bytes of te"));
    // Byte 18 would be the lead byte of a double-byte character: the line keeps 17.
    EXPECT_TRUE(line_shows(1, "003:01:000|TXT5 Seventeen chars!! "));
    EXPECT_TRUE(line_shows(2, "003:01:000|01|" + sjis("♪Ｅ３　") + "[080]003:460"));
    EXPECT_TRUE(line_shows(3, "004:01:000|End of track           "));
    for (int line = 4; line < EVENT_LINES; line++) {
        EXPECT_TRUE(line_shows(line, std::string(EVENT_LINE_CELLS, ' '))) << line;
    }
    EXPECT_EQ(g_event_editor.line_count, 3);
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, EventLines,
                         ::testing::Values(UiLanguage::english, UiLanguage::japanese));

TEST_F(EventListTest, OnlyTheEndOfTrackGivesOneLineThatSelectsNothing) {
    open_song(end_of_track());
    show_list(0);
    EXPECT_TRUE(line_shows(0, "001:01:000|End of track           "));
    EXPECT_EQ(g_event_editor.line_count, 0);
    click(VALUE_X, line_y(0));
    click(TIME_X, line_y(3));
    EXPECT_FALSE(event_is_open());
    tap(SCROLL_DOWN); // the end stands first: nothing to scroll
    EXPECT_TRUE(line_shows(0, "001:01:000|End of track           "));
}

TEST_F(EventListTest, TheFilterHidesNotesAndScrollingUpSkipsThem) {
    open_song(every_kind_track());
    g_event_filter.pass[FILTER_NOTE] = 0;
    show_list(0);
    EXPECT_TRUE(line_shows(3, "001:02:000|01|k press  " + sjis("Ｃ３　") + " 032 "));
    EXPECT_TRUE(line_shows(7, "002:01:000|tempo       120        "));

    g_event_filter.pass[FILTER_NOTE] = 1;
    g_event_filter.pass[FILTER_META] = 0;
    show_list(1);
    EXPECT_TRUE(line_shows(0, "002:01:000|exec ID      41        "));
    tap(SCROLL_UP); // back one listed event: the last pitch bend, over every meta event
    EXPECT_TRUE(line_shows(0, "001:04:000|01|Pitch B  -8192      "));
    EXPECT_TRUE(line_shows(1, "002:01:000|exec ID      41        "));
    g_event_filter.pass[FILTER_NOTE] = 0;
    for (int i = 0; i < 6; i++) {
        tap(SCROLL_UP);
    }
    // The note-on at 001:01:240 never comes first; the program change does, and stays.
    EXPECT_TRUE(line_shows(0, "001:01:000|01|006 E.Piano 2       "));
}

// A small track for the commits: two notes and a controller between them.
Bytes commit_track() {
    return concat({ev(0, {0x90, 0x3C, 0x64}), ev(480, {0x80, 0x3C, 0x40}),
                   ev(0, {0xB0, 0x07, 0x64}), ev(480, {0x90, 0x3E, 0x50}),
                   ev(480, {0x80, 0x3E, 0x00}), end_of_track(480)});
}
const Bytes COMMIT_TRACK_BYTES = {0x00, 0x90, 0x3C, 0x64, 0x83, 0x60, 0x80, 0x3C, 0x40, 0x00,
                                  0xB0, 0x07, 0x64, 0x83, 0x60, 0x90, 0x3E, 0x50, 0x83, 0x60,
                                  0x80, 0x3E, 0x00, 0x83, 0x60, 0xFF, 0x2F, 0x00};

TEST_F(EventListTest, ValueStepsAndEnterWriteTheNoteAndItsNoteOffInPlace) {
    open_song(commit_track());
    show_list(0);
    ASSERT_EQ(track2(), COMMIT_TRACK_BYTES);
    click(VALUE_X, line_y(0));
    ASSERT_TRUE(event_is_open());
    tap(value_button(0)); // note + 1
    tap(value_button(0)); // note + 1
    tap(value_button(3)); // velocity - 1
    EXPECT_TRUE(inverse_at(42 + 16, 5, (sjis("Ｄ３　") + "[099").c_str()));
    EXPECT_EQ(track2(), COMMIT_TRACK_BYTES); // nothing written before ENTER
    tap(ENTER_BUTTON);
    Bytes expected = COMMIT_TRACK_BYTES;
    expected[2] = 0x3E;
    expected[3] = 0x63;
    expected[7] = 0x3E; // the note-off follows the key
    EXPECT_EQ(track2(), expected);
    EXPECT_FALSE(event_is_open());
    EXPECT_TRUE(line_shows(0, "001:01:000|01|" + sjis("♪Ｄ３　") + "[099]001:000"));
    EXPECT_NE(g_song.song_modified_mask & 1u, 0u);
}

TEST_F(EventListTest, KeyTakesTheLastKeyPlayed) {
    open_song(commit_track());
    show_list(0);
    last_key_set(67, 90);
    click(VALUE_X, line_y(0));
    tap(KEY_BUTTON);
    tap(ENTER_BUTTON);
    Bytes expected = COMMIT_TRACK_BYTES;
    expected[2] = 67;
    expected[3] = 90;
    expected[7] = 67;
    EXPECT_EQ(track2(), expected);
}

TEST_F(EventListTest, MovingAControllerPutsItBeforeTheEventAtItsNewTick) {
    select_commit_event(TIME_X, 1);
    tap(value_button(0)); // + one beat: 480 -> 960, where the second note starts
    EXPECT_TRUE(inverse_at(42, 6, "001:03:000"));
    EXPECT_EQ(enter(), (Bytes{0x00, 0x90, 0x3C, 0x64, 0x83, 0x60, 0x80, 0x3C, 0x40, 0x83,
                              0x60, 0xB0, 0x07, 0x64, 0x00, 0x90, 0x3E, 0x50, 0x83, 0x60,
                              0x80, 0x3E, 0x00, 0x83, 0x60, 0xFF, 0x2F, 0x00}));
}

TEST_F(EventListTest, MovingANoteKeepsItsLengthAndEndsItWithVelocityZero) {
    select_commit_event(TIME_X, 0);
    tap(value_button(0)); // 0 -> 480
    EXPECT_EQ(enter(), (Bytes{0x83, 0x60, 0x90, 0x3C, 0x64, 0x00, 0xB0, 0x07, 0x64, 0x83,
                              0x60, 0x90, 0x3C, 0x00, 0x00, 0x90, 0x3E, 0x50, 0x83, 0x60,
                              0x80, 0x3E, 0x00, 0x83, 0x60, 0xFF, 0x2F, 0x00}));
    EXPECT_EQ(g_event_editor.line_count, 3);
}

TEST_F(EventListTest, TheGateMovesTheNoteOffAndNeverReachesZero) {
    select_commit_event(GATE_X, 2); // the second note: 960, gate 480
    tap(value_button(1));           // - one beat would leave gate 0: refused
    EXPECT_EQ(g_event_editor.sel_gate, 480);
    tap(value_button(3)); // - 1
    EXPECT_TRUE(inverse_at(42 + 27, 7, "000:479"));
    EXPECT_EQ(enter(), (Bytes{0x00, 0x90, 0x3C, 0x64, 0x83, 0x60, 0x80, 0x3C, 0x40, 0x00,
                              0xB0, 0x07, 0x64, 0x83, 0x60, 0x90, 0x3E, 0x50, 0x83, 0x5F,
                              0x80, 0x3E, 0x00, 0x83, 0x61, 0xFF, 0x2F, 0x00}));
}

TEST_F(EventListTest, DeleteLeavesTheOthersAtTheirTicksAndTakesANotesNoteOff) {
    select_commit_event(VALUE_X, 1);
    tap(DEL_BUTTON);
    tap(ENTER_BUTTON);
    EXPECT_EQ(track2(),
              (Bytes{0x00, 0x90, 0x3C, 0x64, 0x83, 0x60, 0x80, 0x3C, 0x40, 0x83, 0x60, 0x90,
                     0x3E, 0x50, 0x83, 0x60, 0x80, 0x3E, 0x00, 0x83, 0x60, 0xFF, 0x2F, 0x00}));
    click(TIME_X, line_y(0));
    key(VK_DELETE); // the Delete key stands for DEL
    EXPECT_EQ(enter(), (Bytes{0x87, 0x40, 0x90, 0x3E, 0x50, 0x83, 0x60, 0x80, 0x3E, 0x00, 0x83,
                              0x60, 0xFF, 0x2F, 0x00}));
    EXPECT_TRUE(line_shows(0, "001:03:000|01|" + sjis("♪Ｄ３　") + "[080]001:000"));
}

TEST_F(EventListTest, ARebuildWithoutMemoryLeavesTheStoreAsItWas) {
    select_commit_event(TIME_X, 0);
    tap(value_button(0));
    limit_at_free(20);
    StoreSnapshot before = store_snapshot();
    int shown = out_of_memory_shown();
    tap(ENTER_BUTTON);
    EXPECT_TRUE(store_unchanged(before));
    EXPECT_EQ(out_of_memory_shown(), shown + 1);
    EXPECT_EQ(track2(), COMMIT_TRACK_BYTES);
    EXPECT_TRUE(line_shows(0, "001:01:000|01|" + sjis("♪Ｃ３　") + "[100]001:000"));
}

// Limits of the value steps: velocity, pitch bend, tempo.
TEST_F(EventListTest, StepsStopAtTheirLimits) {
    open_song(concat({ev(0, {0x90, 0x3C, 0x01}), ev(10, {0x80, 0x3C, 0x00}),
                      ev(0, {0xE0, 0x7F, 0x7F}), ev(0, {0xE0, 0x00, 0x00}),
                      ev(0, {0xE0, 0x24, 0x7F}), tempo_event(0, 100000), end_of_track()}));
    show_list(0);
    click(VALUE_X, line_y(0));
    tap(value_button(3));
    EXPECT_EQ(g_event_editor.edit_value2, 1); // a note-on's velocity stays 1
    click(VALUE_X, line_y(1));
    tap(value_button(0));
    EXPECT_TRUE(inverse_at(42 + 23, 6, " 8191")); // +8191 cannot be raised
    click(VALUE_X, line_y(2));
    tap(value_button(1));
    EXPECT_TRUE(inverse_at(42 + 23, 7, "-8192"));
    click(VALUE_X, line_y(3)); // 8100: +100 would pass 8191
    tap(value_button(2));
    EXPECT_TRUE(inverse_at(42 + 23, 8, " 8100"));
    click(VALUE_X, line_y(4)); // 600 bpm is the highest tempo
    tap(value_button(0));
    EXPECT_EQ(g_event_editor.edit_value1, 600);
}

// The GS example: F0 41 10 42 12 40 00 7F 00 41 F7, with hd 4, len 4, skip 1.
Bytes gs_reset(uint8_t checksum) {
    return concat(
        {ev(0, {0xF0, 0x0A, 0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, checksum, 0xF7}),
         ev(0, {0xF0, 0x03, 0x41, 0x10, 0xF7}), end_of_track()});
}

class ChecksumCheck : public EventListTest, public ::testing::WithParamInterface<int> {};

TEST_P(ChecksumCheck, TheGsExampleSumsOkAndAChangedByteIsFalse) {
    bool good = GetParam() == 0x41;
    open_song(gs_reset(static_cast<uint8_t>(GetParam())));
    g_settings.slots[SLOT_REMOTE_MEASURE_FIRST] = 4;
    g_settings.slots[SLOT_REMOTE_MEASURE_FIRST + 1] = 4;
    g_settings.slots[SLOT_REMOTE_MEASURE_FIRST + 2] = 1;
    show_list(0);
    hold_alt(true);
    click(TIME_X, line_y(0));
    hold_alt(false);
    EXPECT_EQ(last_status(), good ? "sum ok" : "FALSE ");
    hold_alt(true);
    click(TIME_X, line_y(1)); // five data bytes cannot hold four skipped and a block
    hold_alt(false);
    EXPECT_EQ(last_status(), "too short ");
}

INSTANTIATE_TEST_SUITE_P(GoodAndBad, ChecksumCheck, ::testing::Values(0x41, 0x42));

TEST_F(EventListTest, TheExclusiveEditorStepsBytesButNeverTheEndOrPastIt) {
    open_song(gs_reset(0x41));
    show_row(ROW_EXCLUSIVE_EDIT);
    EXPECT_TRUE(picture_shows_text(8 * 45 - 1, 16 * 10, FontSize::large,
                                   sjis("ＥＤＩＴ　ＭＯＤＥで").c_str(), BLACK, base()));
    show_list(0);
    click(TIME_X, line_y(0));
    show_row(ROW_EXCLUSIVE_EDIT);
    EXPECT_TRUE(inverse_at(42, 5, "41"));
    EXPECT_TRUE(picture_shows_text(8 * 45 - 1, 16 * 5, FontSize::large, "10", BLACK, base()));
    EXPECT_TRUE(picture_shows_text(8 * 45 - 1, 16 * 6, FontSize::large, "F7", BLACK, base()));
    EXPECT_TRUE(picture_shows_text(8 * 48 - 1, 16 * 6, FontSize::large, "--", BLACK, base()));
    const ExclusiveEditorLayout& l = EXCLUSIVE_EDITOR;
    auto button = [&](int k) { click(l.origin + l.pitch * k + 10, 330); };
    button(0); // 41 -> 42
    hold_alt(true);
    button(1); // 42 - 16 = 32
    hold_alt(false);
    for (int i = 0; i < 12; i++) {
        button(3); // to the checksum byte and no further: F7 stays out of reach
    }
    button(0); // 41 -> 42
    Bytes expected = {0x00, 0xF0, 0x0A, 0x32, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, 0x42,
                      0xF7, 0x00, 0xF0, 0x03, 0x41, 0x10, 0xF7, 0x00, 0xFF, 0x2F, 0x00};
    EXPECT_EQ(track2(), expected);
    EXPECT_TRUE(inverse_at(42, 6, "42"));
    for (int i = 0; i < 3; i++) {
        button(5); // the view cannot pass the last byte
        button(4);
    }
    EXPECT_EQ(track2(), expected);
}

int g_views_opened = 0;
void (*g_opened_before)() = nullptr;
void count_opened() {
    g_views_opened++;
    if (g_opened_before) {
        g_opened_before();
    }
}

// Text, chord and guitar events open their dialogs from the value field; a text changed
// there is written back and listed.
TEST_F(EventListTest, TextAndXfEventsOpenTheirDialogs) {
    open_song(concat(
        {meta_text(0, 0x03, "Gt"),
         ev(0, {0xFF, 0x7F, 0x07, 0x43, 0x7B, 0x01, 0x45, 0x0A, 0x33, 0x00}),
         ev(0, {0xFF, 0x7F, 0x0C, 0x43, 0x7B, 0x10, 0x00, 3, 5, 40, 45, 50, 55, 59, 64, 0x00}),
         ev(0, {0xFF, 0x7F, 0x05, 0x43, 0x7B, 0x10, 0x00, 0x00}), end_of_track()}));
    show_list(0);
    g_opened_before = g_modal_hooks.opened;
    g_modal_hooks.opened = count_opened;
    g_views_opened = 0;
    uint32_t chord_pos = 0, info_pos = 0;
    {
        TrackWalk walk = track_walk_begin(g_song.slots[0].track_pos[1]);
        TrackEvent e;
        for (int i = 0; event_parse(walk, e); i++) {
            chord_pos = i == 1 ? e.pos : chord_pos;
            info_pos = i == 2 ? e.pos : info_pos;
        }
    }
    headless_queue_stroke(VK_ESC);
    click(VALUE_X, line_y(1)); // the chord name
    EXPECT_EQ(g_views_opened, 1);
    EXPECT_EQ(g_dialogs.edited_event, chord_pos);
    headless_queue_stroke(VK_ESC);
    click(VALUE_X, line_y(2)); // guitar information, meta length 12
    EXPECT_EQ(g_views_opened, 2);
    EXPECT_EQ(g_dialogs.edited_event, info_pos);
    click(VALUE_X, line_y(3)); // guitar information of another length: no dialog
    EXPECT_EQ(g_views_opened, 2);
    EXPECT_FALSE(event_is_open());

    headless_queue_stroke(35); // End
    headless_queue_stroke(8);  // Backspace
    headless_queue_stroke(8);
    headless_queue_text("Bass");
    headless_queue_stroke(VK_ENTER);
    click(VALUE_X, line_y(0));
    EXPECT_EQ(g_views_opened, 3);
    g_modal_hooks.opened = g_opened_before;
    Bytes data = track2();
    EXPECT_EQ(Bytes(data.begin(), data.begin() + 8),
              (Bytes{0x00, 0xFF, 0x03, 0x04, 'B', 'a', 's', 's'}));
    EXPECT_TRUE(line_shows(0, "001:01:000|TXT3 Bass              "));
}

// A press on a note auditions it until the release; with alt_mode the note's channel becomes
// the current one first.
TEST_F(EventListTest, APressedNoteSoundsUntilTheRelease) {
    open_song(concat({ev(0, {0x93, 0x3C, 0x64}), ev(480, {0x83, 0x3C, 0x00}), end_of_track()}));
    show_list(0);
    clear_sent();
    press(TIME_X, line_y(0));
    run_ms(30);
    EXPECT_EQ(sent(), (std::vector<Bytes>{{0x90, 0x3C, 0x64}}));
    release();
    run_ms(20);
    EXPECT_EQ(sent(), (std::vector<Bytes>{{0x90, 0x3C, 0x64}, {0x90, 0x3C, 0x00}}));
    hold_alt(true);
    clear_sent();
    click(TIME_X, line_y(0));
    hold_alt(false);
    EXPECT_EQ(g_settings.slots[SLOT_OUT_CHANNEL], 3);
    std::vector<Bytes> notes;
    for (const Bytes& m : sent()) {
        if ((m[0] & 0xF0) == 0x90) {
            notes.push_back(m);
        }
    }
    EXPECT_EQ(notes, (std::vector<Bytes>{{0x93, 0x3C, 0x64}, {0x93, 0x3C, 0x00}}));
}

// The keys of EDIT MODE: arrows scroll with no event open and step it when one is.
TEST_F(EventListTest, ArrowsScrollOrStepAndPageKeysStep) {
    open_song(commit_track());
    show_list(0);
    key(VK_DOWN);
    EXPECT_TRUE(line_shows(0, "001:02:000|01|Cont     007  100   "));
    key(VK_UP);
    EXPECT_TRUE(line_shows(0, "001:01:000|01|" + sjis("♪Ｃ３　") + "[100]001:000"));
    click(VALUE_X, line_y(1));
    key(VK_PAGE_DOWN); // value button 0: controller number + 1
    key(VK_UP);        // value button 2: value + 1
    key(VK_UP);
    EXPECT_TRUE(inverse_at(42 + 23, 6, "008  102"));
    key(VK_PAGE_UP); // value button 1
    key(VK_DOWN);    // value button 3
    EXPECT_TRUE(inverse_at(42 + 23, 6, "007  101"));
}

// A write track that runs past track 1 lengthens track 1, so the measures cover the whole
// list; the song's bytes elsewhere and its modified mark stay as they were.
TEST_F(EventListTest, AWriteTrackLongerThanTrackOneLengthensIt) {
    open_song(concat({ev(0, {0xC0, 0x01}), end_of_track(7680)}));
    g_song.song_modified_mask = 0;
    Bytes second = track2();
    show_list(0);
    EXPECT_EQ(track_end_tick(0, 0), 7680);
    EXPECT_EQ(g_song.measure_table.measures[4].start_tick, 7680);
    EXPECT_EQ(track2(), second);
    EXPECT_EQ(g_song.song_modified_mask, 0u);
    show_list(3);
    EXPECT_TRUE(line_shows(0, "005:01:000|End of track           "));
}

} // namespace
