// Keys, clicks, the keyboard pointer, auto-repeat and the controls under the menu column.
#include "tests/shell/shell_fixture.h"

#include "common/text_sjis.h"

#include "platform/virtual_keys.h"
#include "sequencer/engine/channel_state.h"
#include "sequencer/shell/menu_commands.h"
#include "sequencer/shell/screen_layout.h"
#include "sequencer/shell/tick_refresh.h"

namespace {

// Eight measures of 4/4 with a note at the start of each.
Bytes eight_measures() {
    Bytes notes;
    for (int m = 0; m < 8; m++) {
        notes = concat({notes, ev(m == 0 ? 0 : 1, {0x90, 60, 100}), ev(1919, {0x80, 60, 0})});
    }
    return smf_file(1, 480,
                    {concat({tempo_event(0, 500000), time_signature(0, 4, 2), end_of_track(15360)}),
                     concat({notes, end_of_track()})});
}

class ShellInput : public ShellFixture {
protected:
    void SetUp() override {
        ShellFixture::SetUp();
        start();
    }
    // Milliseconds after the press at which the tempo went up while the button was held.
    std::vector<int> tempo_steps_while_held(int hold_ms) {
        std::vector<int> steps;
        int tempo = g_song_clock.tempo_bpm;
        press(600, 440); // tempo +
        uint32_t pressed_at = g_headless.clock_ms;
        if (g_song_clock.tempo_bpm != tempo) {
            steps.push_back(0);
            tempo = g_song_clock.tempo_bpm;
        }
        for (int t = 0; t < hold_ms; t++) {
            run_ms(1);
            if (g_song_clock.tempo_bpm != tempo) {
                steps.push_back(static_cast<int>(g_headless.clock_ms - pressed_at));
                tempo = g_song_clock.tempo_bpm;
            }
        }
        release();
        run_ms(20);
        return steps;
    }
};

TEST_F(ShellInput, HeldKeyActsOnceAndASecondKeyActsWhileTheFirstIsHeld) {
    int tempo = g_song_clock.tempo_bpm;
    key_down(VK_X);
    run_ms(500); // the system repeats the key; the command does not
    SHELL_WINDOW_HANDLERS.key(VK_X, true);
    run_ms(100);
    EXPECT_EQ(g_song_clock.tempo_bpm, tempo + 1);
    key_down(VK_Z);
    run_ms(20);
    EXPECT_EQ(g_song_clock.tempo_bpm, tempo);
    key_up(VK_Z);
    key_up(VK_X);
    key(VK_X);
    EXPECT_EQ(g_song_clock.tempo_bpm, tempo + 1);
}

TEST_F(ShellInput, ShiftMakesTempoKeysStepByTen) {
    int tempo = g_song_clock.tempo_bpm;
    key_down(VK_SHIFT);
    key(VK_X);
    key_up(VK_SHIFT);
    EXPECT_EQ(g_song_clock.tempo_bpm, tempo + 10);
}

TEST_F(ShellInput, PcKeyOffDisablesKeyCommandsButShiftStillSendsSustain) {
    g_settings.slots[SLOT_PC_KEY] = 0;
    int tempo = g_song_clock.tempo_bpm;
    key(VK_X);
    key(VK_SPACE);
    EXPECT_EQ(g_song_clock.tempo_bpm, tempo);
    EXPECT_EQ(transport_mode(), MODE_STOPPED);
    key_down(VK_SHIFT);
    EXPECT_EQ(sent(), (std::vector<Bytes>{{0xB0, 64, 127}}));
    key_up(VK_SHIFT);
    EXPECT_EQ(sent().back(), (Bytes{0xB0, 64, 0}));
}

TEST_F(ShellInput, RightButtonIsTheAlternativeModifierWithSustain) {
    g_settings.slots[SLOT_OUT_CHANNEL] = 2;
    SHELL_WINDOW_HANDLERS.mouse_button(MouseButton::right, true);
    run_ms(20);
    EXPECT_EQ(g_ui.alt_mode, 1);
    SHELL_WINDOW_HANDLERS.mouse_button(MouseButton::right, false);
    run_ms(20);
    EXPECT_EQ(g_ui.alt_mode, 0);
    EXPECT_EQ(sent(), (std::vector<Bytes>{{0xB2, 64, 127}, {0xB2, 64, 0}}));
}

TEST_F(ShellInput, StepRecordingPanelKeepsTheRightButtonForItself) {
    g_menu.menu_page = 6;
    g_menu.menu_cursor[6] = 1;
    move(400, 200);
    SHELL_WINDOW_HANDLERS.mouse_button(MouseButton::right, true);
    run_ms(20);
    EXPECT_EQ(g_ui.alt_mode, 2);
    SHELL_WINDOW_HANDLERS.mouse_button(MouseButton::right, false);
    run_ms(20);
    EXPECT_TRUE(sent().empty());
}

TEST_F(ShellInput, SpacePlaysAndStopsAndEscStopsAndShowsPageZero) {
    ASSERT_EQ(load_bytes(eight_measures()), SongLoadResult::loaded);
    key(VK_SPACE);
    EXPECT_EQ(transport_mode(), MODE_PLAYING);
    run_ms(200);
    key(VK_SPACE);
    EXPECT_EQ(transport_mode(), MODE_STOPPED);
    key(VK_SPACE);
    EXPECT_EQ(transport_mode(), MODE_PLAYING);
    shown_commands.clear();
    key(VK_ESC);
    EXPECT_EQ(transport_mode(), MODE_STOPPED);
    EXPECT_EQ(shown_commands, (std::vector<int>{0}));
}

TEST_F(ShellInput, FunctionKeysClickThePageTabsOnlyWhileStopped) {
    key(VK_F3);
    EXPECT_EQ(shown_commands, (std::vector<int>{3}));
    EXPECT_EQ(g_ui.pointer_focus, 0);
    // F6 lands on the record button: recording is armed and the record page shown.
    key(VK_F6);
    EXPECT_EQ(transport_mode(), MODE_STANDBY);
    EXPECT_EQ(shown_commands.back(), 6);
    transport_stop(false);
    ASSERT_EQ(load_bytes(eight_measures()), SongLoadResult::loaded);
    transport_start();
    shown_commands.clear();
    key(VK_F3);
    EXPECT_TRUE(shown_commands.empty());
    EXPECT_EQ(transport_mode(), MODE_PLAYING);
}

TEST_F(ShellInput, LeftArrowOnTheMenuColumnWrapsAndSkipsSeparators) {
    g_menu.menu_page = 1;
    g_menu.shown_page = 1;
    g_menu.menu_cursor[1] = 0;
    g_ui.pointer_index = 0;
    key(VK_LEFT);
    EXPECT_EQ(g_headless_window.warp_x, 270);
    EXPECT_EQ(g_headless_window.warp_y, 88 + 16 * 12); // row M
    key(VK_LEFT);
    EXPECT_EQ(g_headless_window.warp_y, 88 + 16 * 10); // row L is a separator: row K
    EXPECT_EQ(g_ui.pointer_index, 10);
}

TEST_F(ShellInput, ArrowKeysStepTheOctaveWithinItsRange) {
    EXPECT_EQ(g_transport.play_octave, 3);
    for (int i = 0; i < 8; i++) {
        key(VK_UP);
    }
    EXPECT_EQ(g_transport.play_octave, 8);
    for (int i = 0; i < 12; i++) {
        key(VK_DOWN);
    }
    EXPECT_EQ(g_transport.play_octave, -2);
}

TEST_F(ShellInput, HeldButtonRepeatsAfter400Then500Then200EightTimesThen100) {
    std::vector<int> steps = tempo_steps_while_held(3400);
    // Frames run on the 20 ms timer while stopped, so each repeat comes on the first tick
    // after its delay.
    const int delays[] = {400, 500, 200, 200, 200, 200, 200, 200, 200, 200, 100, 100};
    ASSERT_GE(steps.size(), 1u + std::size(delays));
    EXPECT_EQ(steps[0], 0);
    for (size_t i = 0; i < std::size(delays); i++) {
        int interval = steps[i + 1] - steps[i];
        EXPECT_GE(interval, delays[i]) << "repeat " << i + 1;
        EXPECT_LE(interval, delays[i] + 20) << "repeat " << i + 1;
    }
}

TEST_F(ShellInput, HeldButtonRepeatsKeepTheirScheduleFromThePressOverALongHold) {
    // Due 0, 400 and 900 ms after the press, then every 200 ms up to the tenth repeat, then
    // every 100 ms: ten steps a second however long the hold.
    std::vector<int> due = {0, 400, 900};
    for (int t = 1100; t <= 2500; t += 200) {
        due.push_back(t);
    }
    for (int t = 2600; t <= 5000; t += 100) {
        due.push_back(t);
    }
    // A press on a timer tick steps on the ticks at those times; a press between ticks steps
    // on the first tick after each, 10 ms late every time, never later.
    for (int offset : {0, 10}) {
        run_ms(20 - timer_phase + offset);
        std::vector<int> want;
        for (int t : due) {
            want.push_back(t == 0 ? 0 : t + offset);
        }
        while (want.back() > 5000) {
            want.pop_back();
        }
        EXPECT_EQ(tempo_steps_while_held(5000), want) << "press " << offset << " ms after a tick";
    }
}

TEST_F(ShellInput, HeldButtonAfterAStalledSecondStepsOnceAndKeepsItsPace) {
    press(600, 440); // tempo +: steps at 0, 400 and 900 ms
    run_ms(1000);
    int tempo = g_song_clock.tempo_bpm;
    g_headless.clock_ms += 1500; // a long command: no frame runs for 1.5 s
    run_ms(20);
    EXPECT_EQ(g_song_clock.tempo_bpm, tempo + 1) << "the missed repeats come as one step";
    tempo = g_song_clock.tempo_bpm;
    run_ms(180);
    EXPECT_EQ(g_song_clock.tempo_bpm, tempo) << "the next repeat keeps its interval";
    run_ms(40);
    EXPECT_EQ(g_song_clock.tempo_bpm, tempo + 1);
    release();
    run_ms(20);
}

TEST_F(ShellInput, PointerLeavingAHeldButtonStopsTheRepeat) {
    int tempo = g_song_clock.tempo_bpm;
    press(600, 440);
    run_ms(300);
    move(600, 300);
    run_ms(1000);
    release();
    EXPECT_EQ(g_song_clock.tempo_bpm, tempo + 1);
}

TEST_F(ShellInput, OnScreenKeysPlayNotesWithVelocityByHeight) {
    click(20, 430); // white key 0: C of octave 3 = 60, velocity 2 * 430 - 16 mod 256
    run_ms(20);
    click(30, 380); // black key 0: C# = 61, velocity 2 * 380 + 78 mod 256
    run_ms(20);
    click(22 + 64 + 5, 380); // no black key between E and F
    run_ms(20);
    EXPECT_EQ(sent(),
              (std::vector<Bytes>{{0x90, 60, 76}, {0x90, 60, 0}, {0x90, 61, 70}, {0x90, 61, 0}}));
}

// Keys and octave buttons found through the layout table rather than by their pixels.
TEST_F(ShellInput, OnScreenKeysAndOctaveButtonsActWhereTheLayoutPutsThem) {
    const KeyboardLayout& keys = ON_SCREEN_KEYS;
    g_ui.velocity_lock = true;
    g_ui.play_velocity = 50;
    // White keys 0 and 2 (C and E), then the black key over the boundary after white key 0.
    click(keys.white_left + keys.key_width / 2, keys.white_top + 20);
    click(keys.white_left + 2 * keys.key_width + keys.key_width / 2, keys.white_top + 20);
    click(keys.black_left + keys.key_width / 2, keys.white_top - 20);
    run_ms(20);
    EXPECT_EQ(sent(), (std::vector<Bytes>{{0x90, 60, 50},
                                          {0x90, 60, 0},
                                          {0x90, 64, 50},
                                          {0x90, 64, 0},
                                          {0x90, 61, 50},
                                          {0x90, 61, 0}}));
    int octave = g_transport.play_octave;
    click((OCTAVE_UP_FACE.left + OCTAVE_UP_FACE.right) / 2, OCTAVE_UP_FACE.top + 4);
    EXPECT_EQ(g_transport.play_octave, octave + 1);
    click((OCTAVE_DOWN_FACE.left + OCTAVE_DOWN_FACE.right) / 2, OCTAVE_DOWN_FACE.bottom - 4);
    click((OCTAVE_DOWN_FACE.left + OCTAVE_DOWN_FACE.right) / 2, OCTAVE_DOWN_FACE.bottom - 4);
    EXPECT_EQ(g_transport.play_octave, octave - 1);
}

TEST_F(ShellInput, VelocityLockAndOctaveApplyToOnScreenKeys) {
    g_ui.velocity_lock = true;
    g_ui.play_velocity = 33;
    g_transport.play_octave = -2;
    click(20 + 32 * 13, 440); // the last white key, offset 24
    run_ms(20);
    EXPECT_EQ(sent()[0], (Bytes{0x90, 23, 33}));
}

TEST_F(ShellInput, ChordModeKeyPlaysAndEndsFourChordNotes) {
    g_transport.play_octave = 8;
    const uint8_t chord[4] = {48, 52, 55, 60};
    for (int i = 0; i < 4; i++) {
        g_midi_maps.chord_table[4 * 2 + i] = chord[i]; // chord 3 is offset 3: white key 1
    }
    click(6 + 32 + 10, 430);
    run_ms(20);
    std::vector<Bytes> s = sent();
    ASSERT_EQ(s.size(), 8u);
    for (int i = 0; i < 4; i++) {
        EXPECT_EQ(s[i], (Bytes{0x90, chord[i], 76}));
        EXPECT_EQ(s[4 + i], (Bytes{0x90, chord[i], 0}));
    }
}

TEST_F(ShellInput, PcNoteKeysPlayOnTheCurrentChannelWithTheLatchedOctave) {
    ASSERT_TRUE(setting_on(SLOT_PC_KEY)); // on in a first start
    key_down('A');                        // octave 3: A is note 60
    run_ms(40);
    key_down(0xDD); // the last of the twenty keys: note 79
    run_ms(40);
    key_up('A');
    run_ms(40);
    key(VK_UP); // octave 4, but a note key is still down: the old octave holds
    key_down('W');
    run_ms(40);
    key_up('W');
    key_up(0xDD);
    run_ms(40);
    g_ui.play_velocity = 90;
    g_settings.slots[SLOT_OUT_CHANNEL] = 2;
    key('A'); // every key up: octave 4 from now on, A is note 72
    EXPECT_EQ(sent(), (std::vector<Bytes>{{0x90, 60, 100},
                                          {0x90, 79, 100},
                                          {0x90, 60, 0},
                                          {0x90, 61, 100},
                                          {0x90, 61, 0},
                                          {0x90, 79, 0},
                                          {0x92, 72, 90},
                                          {0x92, 72, 0}}));
    clear_sent();
    g_settings.slots[SLOT_PC_KEY] = 0;
    key('A');
    EXPECT_TRUE(sent().empty());
}

TEST_F(ShellInput, PcNoteKeysAreRecordedInRealTimeRecording) {
    g_song.write_track = 1;
    key(VK_F6); // record standby on the real-time row
    ASSERT_EQ(transport_mode(), MODE_STANDBY);
    key_down('S'); // the first note starts the recording
    run_ms(40);
    EXPECT_EQ(transport_mode(), MODE_RECORDING);
    run_ms(460);
    key_up('S');
    run_ms(40);
    key(VK_SPACE);
    ASSERT_EQ(transport_mode(), MODE_STOPPED);
    std::vector<Flat> got = flatten(g_song.slots[0].track_pos[1]);
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0], (Flat{0, {0x90, 62, 100}}));
    EXPECT_EQ(got[1].bytes, (Bytes{0x90, 62, 0}));
    EXPECT_GE(got[1].tick, 460);
    EXPECT_LE(got[1].tick, 500);
}

TEST_F(ShellInput, OctaveButtonsStepAndRepeat) {
    click(470, 400);
    EXPECT_EQ(g_transport.play_octave, 4);
    click(470, 440);
    click(470, 440);
    EXPECT_EQ(g_transport.play_octave, 2);
}

TEST_F(ShellInput, SliderPanelCyclesModesAndSendsBendAndController) {
    click(536, 440); // mode button
    EXPECT_EQ(g_ui.lower_panel_mode.load(), LOWER_PITCH_BEND);
    run_ms(20);
    press(596, 424);
    run_ms(20);
    release();
    run_ms(20);
    EXPECT_EQ(sent(), (std::vector<Bytes>{{0xE0, 0, 100}, {0xE0, 0, 64}}));
    clear_sent();
    click(500, 440); // in modes 1 and 2 any cell cycles the mode
    EXPECT_EQ(g_ui.lower_panel_mode.load(), LOWER_CONTROLLER);
    g_settings.slots[SLOT_EXCHANGE_TARGET] = 80;
    click(500, 424);
    EXPECT_EQ(sent(), (std::vector<Bytes>{{0xB0, 80, 4}}));
    click(600, 440);
    EXPECT_EQ(g_ui.lower_panel_mode.load(), LOWER_TEMPO);
}

TEST_F(ShellInput, TempoButtonsOnlyInTempoMode) {
    int tempo = g_song_clock.tempo_bpm;
    click(500, 440);
    EXPECT_EQ(g_song_clock.tempo_bpm, tempo - 1);
    click(600, 440);
    click(600, 440);
    EXPECT_EQ(g_song_clock.tempo_bpm, tempo + 1);
}

TEST_F(ShellInput, SliderButtonRowCellsInTempoMode) {
    struct Case {
        int x;
        int tempo_change;
        int mode_after;
    };
    // Cells of 8 pixels from x 496: 0..3 tempo down, 4..10 next mode, 11..14 tempo up, and
    // cell 15 (x 616..623) is none of them.
    const Case cases[] = {
        {496, -1, LOWER_TEMPO},     {527, -1, LOWER_TEMPO}, {528, 0, LOWER_PITCH_BEND},
        {583, 0, LOWER_PITCH_BEND}, {584, 1, LOWER_TEMPO},  {615, 1, LOWER_TEMPO},
        {616, 0, LOWER_TEMPO},      {623, 0, LOWER_TEMPO},
    };
    for (const Case& c : cases) {
        g_ui.lower_panel_mode.store(LOWER_TEMPO);
        int tempo = g_song_clock.tempo_bpm;
        click(c.x, 440);
        EXPECT_EQ(g_song_clock.tempo_bpm - tempo, c.tempo_change) << "x " << c.x;
        EXPECT_EQ(g_ui.lower_panel_mode.load(), c.mode_after) << "x " << c.x;
    }
}

TEST_F(ShellInput, HeldFastForwardMovesMeasuresAndReleaseSetsThePosition) {
    ASSERT_EQ(load_bytes(eight_measures()), SongLoadResult::loaded);
    press(6 + 48 * 5 + 10, 345);
    EXPECT_EQ(g_song_clock.current_measure, 1);
    run_ms(1000); // repeats at about 400 and 900 ms
    EXPECT_EQ(g_song_clock.current_measure, 3);
    release();
    run_ms(20);
    EXPECT_EQ(g_song_clock.start_tick, 3 * 1920);
    EXPECT_EQ(transport_mode(), MODE_STOPPED);
}

TEST_F(ShellInput, FastForwardWhilePlayingResumesPlaybackOnRelease) {
    ASSERT_EQ(load_bytes(eight_measures()), SongLoadResult::loaded);
    transport_start();
    run_ms(100);
    click(6 + 48 * 5 + 10, 345);
    run_ms(40);
    EXPECT_EQ(transport_mode(), MODE_PLAYING);
    EXPECT_GE(g_song_clock.song_tick, 1920);
}

TEST_F(ShellInput, PageDownIsOneWholeForwardStep) {
    ASSERT_EQ(load_bytes(eight_measures()), SongLoadResult::loaded);
    key(VK_PAGE_DOWN);
    key(VK_PAGE_DOWN);
    EXPECT_EQ(g_song_clock.current_measure, 2);
    EXPECT_EQ(g_song_clock.start_tick, 2 * 1920);
    EXPECT_EQ(g_ui.deferred_click, 0);
}

// In the event list Page Down presses and releases the forward button itself: the pointer
// stays where the user left it.
TEST_F(ShellInput, PageDownInTheEventListStepsForwardWithoutMovingThePointer) {
    ASSERT_EQ(load_bytes(eight_measures()), SongLoadResult::loaded);
    static int refreshes;
    refreshes = 0;
    g_menu_hooks.event_list_refresh = [] { refreshes++; };
    g_menu.menu_page = PAGE_EVENT_EDIT;
    g_menu.shown_page = PAGE_EVENT_EDIT;
    g_menu.menu_cursor[PAGE_EVENT_EDIT] =
        static_cast<uint8_t>(menu_command_row(MenuCommand::event_edit_mode));
    move(400, 200);
    int warps = g_headless_window.warps;
    key(VK_PAGE_DOWN);
    EXPECT_EQ(g_song_clock.current_measure, 1);
    EXPECT_EQ(g_song_clock.start_tick, 1920);
    EXPECT_EQ(refreshes, 1);
    EXPECT_EQ(g_headless_window.warps, warps);
    EXPECT_EQ(g_shell.pointer_x, 400);
    EXPECT_EQ(g_shell.pointer_y, 200);
    // The button went down and came up again, with nothing left to repeat or finish.
    EXPECT_EQ(g_shell.button_pressed, 0);
    EXPECT_EQ(g_ui.deferred_click, 0);
    EXPECT_EQ(g_ui.repeat_armed, 0);
}

// The same buttons found through the layout table rather than by their pixels.
TEST_F(ShellInput, TabsAndTransportButtonsActWhereTheLayoutPutsThem) {
    ASSERT_EQ(load_bytes(eight_measures()), SongLoadResult::loaded);
    for (int page = PAGE_SYSTEM; page < PAGE_RECORDING; page++) {
        shown_commands.clear();
        ScreenPoint tab = button_point(PAGE_TABS, page);
        click(tab.x, tab.y);
        EXPECT_EQ(shown_commands.front(), page);
    }
    ScreenPoint play = button_point(TRANSPORT_BUTTONS, BUTTON_PLAY);
    click(play.x, play.y);
    EXPECT_EQ(transport_mode(), MODE_PLAYING);
    run_ms(100);
    ScreenPoint stop = button_point(TRANSPORT_BUTTONS, BUTTON_STOP);
    click(stop.x, stop.y);
    run_ms(20);
    EXPECT_EQ(transport_mode(), MODE_STOPPED);
    ScreenPoint record = button_point(TRANSPORT_BUTTONS, BUTTON_RECORD);
    click(record.x, record.y);
    EXPECT_EQ(transport_mode(), MODE_STANDBY);
}

TEST_F(ShellInput, TransportButtonsFlashAndAct) {
    ASSERT_EQ(load_bytes(eight_measures()), SongLoadResult::loaded);
    click(6 + 48 * 4 + 10, 345); // play
    EXPECT_EQ(transport_mode(), MODE_PLAYING);
    run_ms(100);
    click(6 + 48 * 3 + 10, 345); // stop
    run_ms(20);
    EXPECT_EQ(transport_mode(), MODE_STOPPED);
    shown_commands.clear();
    click(20, 345); // record
    EXPECT_EQ(transport_mode(), MODE_STANDBY);
    // The record page is shown; the release redraws it since no command acted yet.
    EXPECT_EQ(shown_commands, (std::vector<int>{6, SHOW_REDRAW}));
    // The pressed stop button went down and came up again.
    EXPECT_EQ(g_shell.button_pressed, 0);
}

TEST_F(ShellInput, PanelClicksWhilePlayingOnlyOnTheListedCommands) {
    ASSERT_EQ(load_bytes(eight_measures()), SongLoadResult::loaded);
    transport_start();
    g_menu.menu_page = 4;
    g_menu.menu_cursor[4] = 4;
    click(400, 200);
    run_ms(40);
    EXPECT_TRUE(panel_clicks.empty());
    g_menu.menu_page = 3;
    g_menu.menu_cursor[3] = 4; // the program grid takes clicks while playing
    click(400, 200);
    run_ms(40);
    EXPECT_EQ(panel_clicks.size(), 1u);
}

TEST_F(ShellInput, KeyPointerOnAPanelCyclesItsItems) {
    g_menu.menu_page = 3;
    g_menu.shown_page = 3;
    g_menu.menu_cursor[3] = 10; // speed list of 16
    key(9);                     // Tab: focus on the panel
    EXPECT_EQ(g_ui.pointer_focus, 1);
    EXPECT_EQ(g_headless_window.warp_x, 460);
    EXPECT_EQ(g_headless_window.warp_y, 90);
    key(VK_LEFT);
    EXPECT_EQ(g_headless_window.warp_y, 90 + 16 * 15);
}

} // namespace

namespace {

class ShellSpeech : public ShellFixture {};

TEST_F(ShellSpeech, ReaderIniTurnsSpeechOnAndMenuRowsAreSpokenToTheClipboard) {
    std::string ini = "[VO]\nv13=song banks\nv15=title\nCh=channel\n";
    write_file_bytes(dir.file("reader.ini"), Bytes(ini.begin(), ini.end()));
    start();
    g_menu.menu_page = 1;
    g_menu.shown_page = 1;
    g_ui.pointer_index = 0;
    key(39); // Right: row B is a separator, so row C
    EXPECT_EQ(g_headless.clipboard, "title");
    key(37); // Left: back to row A
    EXPECT_EQ(g_headless.clipboard, "song banks");
    int puts = g_headless.clipboard_puts;
    key(37); // row M has no text: nothing new is spoken
    EXPECT_EQ(g_headless.clipboard_puts, puts);
}

TEST_F(ShellSpeech, KeyPointerOnTheCurrentChannelOrTrackSpeaksItsLabel) {
    std::string ini = "[VO]\nv28=channels\n";
    write_file_bytes(dir.file("reader.ini"), Bytes(ini.begin(), ini.end()));
    start();
    g_settings.slots[SLOT_OUT_CHANNEL] = 1; // channel 2
    g_menu.menu_page = 2;
    g_menu.shown_page = 2;
    g_menu.menu_cursor[2] = 2;
    key(9);  // Tab: the pointer on channel 1
    key(39); // channel 2, the current one
    EXPECT_EQ(g_headless.clipboard, utf8_to_sjis(" ２ "));
    key(39); // channel 3: a blank only
    EXPECT_EQ(g_headless.clipboard, " ");
    // The track choice speaks the current recording track's label.
    g_song.write_track = 2;
    g_menu.menu_page = 5;
    g_menu.shown_page = 5;
    g_menu.menu_cursor[5] = 3;
    key(9);  // back to the menu column
    key(9);  // the pointer on track 1
    key(39); // track 2
    key(39); // track 3, the current one
    EXPECT_EQ(g_headless.clipboard, utf8_to_sjis(" ３ "));
}

TEST_F(ShellSpeech, KeyPointerOnTheCurrentSongBankSpeaksItsTitle) {
    std::string ini = "[VO]\nv13=song banks\n";
    write_file_bytes(dir.file("reader.ini"), Bytes(ini.begin(), ini.end()));
    start();
    ASSERT_EQ(
        load_bytes(smf_file(1, 480, {concat({meta_text(0, 0x03, "Night Song"), end_of_track()})})),
        SongLoadResult::loaded);
    g_menu.menu_page = 1;
    g_menu.shown_page = 1;
    g_menu.menu_cursor[1] = 0;
    key(9); // Tab: the pointer on bank 1, the current one
    EXPECT_EQ(g_headless_window.warp_y, 90);
    EXPECT_EQ(g_headless.clipboard, "Night Song");
    key(39); // bank 2: a blank only
    EXPECT_EQ(g_headless.clipboard, " ");
    key(37); // back on bank 1: its title again, though it was spoken before
    EXPECT_EQ(g_headless.clipboard, "Night Song");
}

TEST_F(ShellSpeech, WithoutReaderIniNothingReachesTheClipboard) {
    start();
    g_menu.menu_page = 1;
    g_menu.shown_page = 1;
    key(39);
    EXPECT_EQ(g_headless.clipboard_puts, 0);
}

} // namespace

namespace {

class ShellCursor : public ShellFixture {};

TEST_F(ShellCursor, SliderShowsTheProgramsCursorInItsModes) {
    start();
    move(550, 424);
    run_ms(20);
    EXPECT_EQ(g_headless_window.cursor_shape, 0);
    click(536, 440); // pitch-bend mode
    move(550, 424);
    run_ms(40); // a frame chooses the cursor, the next event shows it
    EXPECT_EQ(g_headless_window.cursor_shape, 1);
    move(300, 200);
    run_ms(40);
    EXPECT_EQ(g_headless_window.cursor_shape, 0);
}

} // namespace
