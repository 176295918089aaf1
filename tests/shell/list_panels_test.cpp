// The list, grid and information panels through the real show_command and panel_click:
// what they draw (compared with text drawn the same way into a scratch picture), what their
// clicks change and send.
#include "tests/shell/shell_fixture.h"

#include "platform/picture.h"
#include "platform/virtual_keys.h"
#include "sequencer/engine/channel_state.h"
#include "sequencer/engine/engine_hooks.h"
#include "sequencer/engine/midi_devices.h"
#include "sequencer/shell/draw.h"
#include "sequencer/shell/font.h"
#include "sequencer/shell/menu_commands.h"
#include "sequencer/shell/menu_show.h"
#include "sequencer/shell/name_tables.h"
#include "sequencer/shell/panels.h"
#include "sequencer/shell/screen_layout.h"

#include <cstring>

namespace {

enum class Look { normal, inverse };

Bytes one_note_track(uint8_t note, uint8_t velocity) {
    return concat({ev(0, {0x90, note, velocity}), ev(10, {0x80, note, 0}), end_of_track()});
}

class ListPanels : public ShellFixture {
protected:
    void SetUp() override {
        ShellFixture::SetUp();
        g_headless_midi.out_names = {"Synth 1", "Synth 2", "Synth 3"};
        g_headless_midi.in_names = {"Keyboard", "Pads"};
        start();
        menu_hooks_install();
    }
    // Shows a row's panel; `alt` stands for Shift held while it is chosen.
    void show_row(int page, int row, bool alt = false) {
        g_menu.menu_cursor[page] = static_cast<uint8_t>(row);
        g_ui.alt_mode = alt ? 2 : 0;
        show_command(page);
        g_ui.alt_mode = 0;
    }
    void hold_alt(bool on) {
        SHELL_WINDOW_HANDLERS.mouse_button(MouseButton::right, on);
        run_ms(20);
        clear_sent();
    }
    // The pixel point of a list entry: text column `col`, list row `row` (0 = text row 5).
    static int x_of(int col) { return col * 8 + 3; }
    static int y_of(int row) { return 81 + 16 * row + 4; }
    uint32_t base() const { return pixel_from_colour(g_draw.base_colour); }

    ::testing::AssertionResult shows(int x, int y, FontSize size, const char* text, uint32_t ink,
                                     uint32_t paper) {
        return picture_shows_text(x, y, size, text, ink, paper);
    }
    ::testing::AssertionResult large(int col, int row, const char* text, uint32_t ink = BLACK,
                                     Look look = Look::normal) {
        bool inverse = look == Look::inverse;
        return shows(8 * col - 1, 16 * row, FontSize::large, text, inverse ? WHITE : ink,
                     inverse ? GREY : base());
    }
    ::testing::AssertionResult small(int col, int row, const char* text, uint32_t ink = BLACK,
                                     Look look = Look::normal) {
        bool inverse = look == Look::inverse;
        return shows(8 * col + 1, 16 * row + 1, FontSize::small, text, inverse ? WHITE : ink,
                     inverse ? GREY : base());
    }
    bool cell_blank(int col, int row) const {
        for (int y = 16 * row; y < 16 * row + 16; y++) {
            for (int x = 8 * col; x < 8 * col + 8; x++) {
                if (g_picture.pixels[y * PICTURE_WIDTH + x] != base()) {
                    return false;
                }
            }
        }
        return true;
    }
};

TEST_F(ListPanels, ChannelListShowsDrumSetsInBlueAndBothHeaderForms) {
    g_channel_state.channel_program[0] = 4;
    g_channel_state.channel_program[9] = 127; // channel 10 is a drum part after a reset
    g_channel_state.controller_values[0][0] = 8;
    g_channel_state.controller_values[0][91] = 40;
    g_channel_state.controller_values[0][7] = 100;
    g_settings.slots[SLOT_OUT_CHANNEL] = 2;
    show_row(2, 2);
    EXPECT_TRUE(large(42, 4, "ch   tone name     PRG BNK rev cor"));
    EXPECT_TRUE(large(47, 5, "E.Piano 1    "));
    EXPECT_TRUE(large(61, 5, "005"));
    EXPECT_TRUE(large(65, 5, "008"));
    EXPECT_TRUE(large(69, 5, "040"));
    EXPECT_TRUE(large(47, 14, "CM=64/32l set", BLUE));
    EXPECT_TRUE(small(42, 7, number_label(3), BLACK, Look::inverse));
    EXPECT_TRUE(small(42, 5, number_label(1)));

    show_row(3, 2, true); // the same list on page 3, alternative form
    EXPECT_TRUE(large(42, 4, "ch   tone name     PRG PAN VOL EXP"));
    EXPECT_TRUE(large(65, 5, "064"));
    EXPECT_TRUE(large(69, 5, "100"));
}

TEST_F(ListPanels, ChoosingAChannelSetsTheFieldAndAltAuditionsTheLastNote) {
    show_row(2, 2);
    click(x_of(50), y_of(4));
    EXPECT_EQ(g_settings.slots[SLOT_OUT_CHANNEL], 4);
    EXPECT_TRUE(large(75, 24, "05"));
    EXPECT_TRUE(small(42, 9, number_label(5), BLACK, Look::inverse));
    EXPECT_TRUE(small(42, 5, number_label(1)));
    EXPECT_TRUE(sent().empty());

    g_ui.last_note = 64;
    hold_alt(true);
    press(x_of(50), y_of(6));
    run_ms(30);
    EXPECT_EQ(sent(), (std::vector<Bytes>{{0x96, 64, 100}}));
    release();
    run_ms(20);
    EXPECT_EQ(sent(), (std::vector<Bytes>{{0x96, 64, 100}, {0x96, 64, 0}}));
    hold_alt(false);
}

TEST_F(ListPanels, TheNotePlayedLastOnTheKeyboardOrReceivedIsTheOneAuditioned) {
    show_row(2, 2);
    auto audition_on_channel_3 = [&]() {
        hold_alt(true);
        click(x_of(50), y_of(2));
        std::vector<Bytes> messages = sent();
        hold_alt(false);
        return messages.empty() ? Bytes{} : messages.front();
    };
    click(20 + 32 * 7, 430); // on-screen white key 7: note 72 at octave 3
    EXPECT_EQ(audition_on_channel_3(), (Bytes{0x92, 72, 100}));
    g_engine_hooks.input_note(67, 90); // a note from the MIDI input counts too
    EXPECT_EQ(audition_on_channel_3(), (Bytes{0x92, 67, 100}));
}

TEST_F(ListPanels, ChannelMutesToggleOneOrWithAltAll) {
    show_row(3, 1);
    EXPECT_TRUE(small(42, 6, number_label(2), BLACK, Look::inverse)); // audible
    click(x_of(43), y_of(1));
    EXPECT_EQ(g_song.channel_play[1], 0);
    EXPECT_NE(g_song.channel_play[0], 0);
    EXPECT_TRUE(small(42, 6, number_label(2)));
    EXPECT_TRUE(large(73, 24, "M", RED));
    hold_alt(true);
    click(x_of(43), y_of(1)); // back to audible, and every channel with it
    hold_alt(false);
    for (int ch = 0; ch < 16; ch++) {
        EXPECT_NE(g_song.channel_play[ch], 0) << ch;
    }
    EXPECT_TRUE(large(73, 24, " "));
}

TEST_F(ListPanels, GridClickSendsBankLsbBankAndProgramWithTheEditedOneReplaced) {
    g_settings.slots[SLOT_OUT_CHANNEL] = 1;
    g_channel_state.controller_values[1][32] = 3;
    g_channel_state.controller_values[1][0] = 8;
    g_channel_state.channel_program[1] = 5;
    show_row(3, 4);
    EXPECT_TRUE(large(42, 4, "E.Piano 2    "));
    EXPECT_TRUE(large(42, 10, "006", BLACK, Look::inverse));
    EXPECT_TRUE(large(70, 20, "128"));
    // Value 20: column 1, row 4.
    click(333 + 32 + 5, y_of(4));
    EXPECT_EQ(sent(), (std::vector<Bytes>{{0xB1, 32, 3}, {0xB1, 0, 8}, {0xC1, 20}}));
    EXPECT_EQ(g_channel_state.channel_program[1], 20);
    EXPECT_TRUE(large(46, 9, "021", BLACK, Look::inverse));
    EXPECT_TRUE(large(42, 10, "006"));
    EXPECT_TRUE(large(42, 4, "Reed Organ   "));

    clear_sent();
    show_row(3, 5); // banks: value 127 is column 7, row 15
    EXPECT_TRUE(large(42, 5, "000"));
    EXPECT_TRUE(large(42, 13, "008", BLACK, Look::inverse));
    click(587, y_of(15));
    EXPECT_EQ(sent(), (std::vector<Bytes>{{0xB1, 32, 3}, {0xB1, 0, 127}, {0xC1, 20}}));
    EXPECT_TRUE(large(70, 20, "127", BLACK, Look::inverse));
    EXPECT_TRUE(large(42, 13, "008"));

    clear_sent();
    click(332, y_of(3)); // left of the grid
    click(500, 60);      // above it
    EXPECT_TRUE(sent().empty());
}

TEST_F(ListPanels, GridFollowsChangesTheSenderReportsForTheCurrentChannelOnly) {
    show_row(3, 5);
    uint8_t other[3] = {0xB3, 0, 9};
    midi_send(other, 3);
    EXPECT_TRUE(large(42, 5, "000", BLACK, Look::inverse));
    uint8_t bank[3] = {0xB0, 0, 9};
    midi_send(bank, 3);
    EXPECT_TRUE(large(42, 14, "009", BLACK, Look::inverse));
    EXPECT_TRUE(large(42, 5, "000"));
    show_row(3, 4);
    uint8_t change[2] = {0xC0, 40};
    midi_send(change, 2);
    EXPECT_TRUE(large(50, 13, "041", BLACK, Look::inverse));
    EXPECT_TRUE(large(42, 4, "Violin       "));
    uint8_t gs_reset[11] = {0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, 0x41, 0xF7};
    midi_send(gs_reset, 11); // every channel back to program 1
    EXPECT_TRUE(large(42, 5, "001", BLACK, Look::inverse));
    EXPECT_TRUE(large(50, 13, "041"));
}

TEST_F(ListPanels, BankPanelListsBanksAndChoosingOneRedrawsAndAltPlays) {
    song_bank_select(3);
    ASSERT_EQ(load_bytes(smf_file(1, 96, {concat({meta_text(0, 3, "Fourth"), end_of_track(9000)})}),
                         "four.mid"),
              SongLoadResult::loaded);
    song_bank_select(0);
    g_song.song_modified_mask = 1u << 2;
    g_settings.slots[SLOT_BACKUP_ALLOWED] = 1;
    show_row(1, 0);
    EXPECT_TRUE(large(40, 5, "01"));
    EXPECT_TRUE(large(40, 7, "03", RED));
    EXPECT_TRUE(large(39, 14, "B", RED));
    EXPECT_TRUE(small(43, 8, "Fourth"));
    EXPECT_TRUE(small(68, 8, "four"));
    EXPECT_TRUE(small(43, 5, g_song.slots[0].song_title, BLACK, Look::inverse));
    EXPECT_TRUE(large(42, 16, "Max meas  :"));
    EXPECT_TRUE(large(62, 16, "Max track :"));
    EXPECT_TRUE(large(42, 17, "Free memory"));
    EXPECT_TRUE(large(62, 17, "K Byte(s)"));
    EXPECT_TRUE(large(54, 18, "   480"));

    hold_alt(true);
    click(x_of(50), y_of(3));
    hold_alt(false);
    EXPECT_EQ(g_song.current_bank, 3);
    EXPECT_EQ(transport_mode(), MODE_PLAYING);
    EXPECT_TRUE(small(43, 8, "Fourth", BLACK, Look::inverse));
    EXPECT_TRUE(small(43, 5, g_song.slots[0].song_title));
    EXPECT_TRUE(large(75, 23, "04"));
    EXPECT_TRUE(large(54, 18, "    96"));
    EXPECT_TRUE(large(54, 16, "    24")); // 9000 ticks: 23 whole measures of 384 and a part
    EXPECT_TRUE(large(74, 16, " 1"));
}

TEST_F(ListPanels, InformationPanelOfTwentyTracksListsSeventeen) {
    std::vector<Bytes> tracks = {one_note_track(60, 100)};
    for (int t = 1; t < 20; t++) {
        tracks.push_back(one_note_track(62, 90));
    }
    // Track 2: a chord of three, then a fourth note after the chord ended.
    tracks[1] = concat({ev(0, {0x90, 64, 80}), ev(0, {0x90, 60, 100}), ev(0, {0x90, 67, 90}),
                        ev(10, {0x80, 64, 0}), ev(0, {0x90, 60, 0}), ev(0, {0x80, 67, 0}),
                        ev(10, {0x90, 72, 50}), ev(10, {0x80, 72, 0}), end_of_track()});
    tracks[2] = end_of_track();
    ASSERT_EQ(load_bytes(smf_file(1, 480, tracks)), SongLoadResult::loaded);
    ASSERT_EQ(g_song.track_count, 20);
    clear_rect(8 * 40, 16 * 22, 8 * 42, 16 * 23); // the row below the panel, for track 18
    show_row(2, 11);
    EXPECT_TRUE(small(40, 4, "TR POLY    NOTES    HIGH      LOW      HVO  LVO"));
    EXPECT_TRUE(large(40, 6, "02"));
    EXPECT_TRUE(large(42, 6, "  3"));
    EXPECT_TRUE(large(46, 6, "      4"));
    EXPECT_TRUE(large(55, 6, "\x82\x62\x82\x53\x81\x40")); // C4
    EXPECT_TRUE(large(62, 6, "\x82\x62\x82\x52\x81\x40")); // C3
    EXPECT_TRUE(large(69, 6, "100"));
    EXPECT_TRUE(large(73, 6, " 50"));
    EXPECT_TRUE(large(46, 7, "      0")); // no notes: no names or velocities
    EXPECT_TRUE(cell_blank(55, 7));
    EXPECT_TRUE(large(40, 21, "17"));
    EXPECT_TRUE(cell_blank(40, 22));
    EXPECT_TRUE(cell_blank(41, 22));

    // The karaoke pitch marks notes pushed out of range.
    g_midi_maps.playback_transpose = 40; // 72 + 40 = 112 > 107; 60 + 40 stays
    show_row(2, 12);
    show_row(2, 11);
    EXPECT_TRUE(large(55, 6, "\x82\x62\x82\x53\x81\x40", BRIGHT_RED));
    EXPECT_TRUE(large(62, 6, "\x82\x62\x82\x52\x81\x40"));
    g_midi_maps.playback_transpose = -40; // 60 - 40 = 20 < 21; 72 - 40 = 32
    show_row(2, 12);
    show_row(2, 11);
    EXPECT_TRUE(large(62, 6, "\x82\x62\x82\x52\x81\x40", BLUE));
    EXPECT_TRUE(large(55, 6, "\x82\x62\x82\x53\x81\x40"));
}

TEST_F(ListPanels, InformationPanelHelpAndChordForms) {
    g_midi_maps.note_map[5] = 7;
    g_midi_maps.note_map[6] = 9;
    g_midi_maps.program_map[0] = 1;
    show_row(2, 11, true);
    EXPECT_TRUE(large(40, 5, "modulation : 1"));
    EXPECT_TRUE(large(40, 10, "chorus     :93"));
    EXPECT_TRUE(large(40, 15, "-2 :remote control from midi keyboard"));
    EXPECT_TRUE(large(40, 18, " 7:Micro scale"));
    EXPECT_TRUE(large(70, 18, "002"));
    EXPECT_TRUE(large(40, 19, " 7:Micro program change"));
    EXPECT_TRUE(large(70, 19, "001"));

    g_transport.play_octave = 8;
    g_settings.slots[SLOT_REMOTE_MEASURE_FIRST + 5] = 15; // measure memory F: 14 semitones
    show_row(2, 12);
    show_row(2, 11);
    EXPECT_TRUE(large(45, 5, "\x82\x62        "));
    EXPECT_TRUE(large(56, 5, "\x81\xA8"));                            // the arrow
    EXPECT_TRUE(large(60, 5, "\x82\x63        "));                    // C + 2 = D
    EXPECT_TRUE(large(60, 16, "\x82\x62\x81\x94(\x82\x63\x81\xF3)")); // B + 2 = C#
}

TEST_F(ListPanels, TrackListsShowNamesNothingAndAbsentTracks) {
    ASSERT_EQ(
        load_bytes(smf_file(1, 480,
                            {concat({meta_text(0, 3, "Song"), end_of_track(10)}), end_of_track(),
                             concat({meta_text(0, 3, "Bass line"), end_of_track(10)})})),
        SongLoadResult::loaded);
    g_settings.slots[SLOT_GUIDE_MODE] = 1;
    g_song.tracing_track = 3;
    g_song.write_track = 2;
    show_row(5, 3);
    EXPECT_TRUE(small(46, 7, "Bass line"));
    EXPECT_TRUE(small(46, 6, "-----nothing----- ", BLUE));
    EXPECT_TRUE(small(46, 8, "----- ----- ----- "));
    EXPECT_TRUE(small(64, 20, "----- ----- ----- "));
    EXPECT_TRUE(small(42, 7, number_label(3), BLACK, Look::inverse));
    EXPECT_TRUE(small(60, 5, number_label(17)));
    EXPECT_TRUE(large(41, 7, "T", RED));

    click(x_of(42), y_of(0)); // track 1
    EXPECT_EQ(g_song.write_track, 0);
    EXPECT_TRUE(large(75, 25, "01"));
    EXPECT_TRUE(small(42, 5, number_label(1), BLACK, Look::inverse));
    EXPECT_TRUE(small(42, 7, number_label(3)));
    click(x_of(50), y_of(1));  // a name: nothing yet
    click(x_of(62), y_of(15)); // track 32
    EXPECT_EQ(g_song.write_track, 31);

    show_row(6, 0, true); // tracks 33 to 64
    EXPECT_TRUE(small(42, 5, number_label(33)));
    EXPECT_TRUE(small(60, 20, number_label(64)));
    click(x_of(61), y_of(0));
    EXPECT_EQ(g_song.write_track, 48);
}

TEST_F(ListPanels, TrackMutesAndPortsStepAndFollowAlt) {
    ASSERT_EQ(g_midi_devices.out_port_count, 3);
    show_row(3, 0);
    click(x_of(43), y_of(2));
    EXPECT_EQ(g_song.track_play[2], 0);
    EXPECT_NE(g_song.track_play[3], 0);
    EXPECT_TRUE(small(42, 7, number_label(3)));
    EXPECT_TRUE(large(73, 25, "M", RED));
    hold_alt(true);
    click(x_of(61), y_of(2)); // track 19 becomes muted, and every track with it
    hold_alt(false);
    for (int t = 0; t < 64; t++) {
        EXPECT_EQ(g_song.track_play[t], 0) << t;
    }

    show_row(2, 5);
    EXPECT_TRUE(small(46, 5, number_label(1)));
    click(x_of(42), y_of(0));
    click(x_of(42), y_of(0));
    EXPECT_EQ(g_song.track_port[0], 2);
    EXPECT_TRUE(small(46, 5, number_label(3)));
    click(x_of(42), y_of(0)); // past the last port: back to the first
    EXPECT_EQ(g_song.track_port[0], 0);
    g_midi_devices.current_out_port = 1;
    hold_alt(true);
    click(x_of(60), y_of(4)); // track 21 takes the current port
    hold_alt(false);
    EXPECT_EQ(g_song.track_port[20], 1);
}

TEST_F(ListPanels, OutputPortsSelectCopyToTracksAndStepTheirDevice) {
    show_row(2, 4);
    EXPECT_TRUE(large(40, 5, "1"));
    EXPECT_TRUE(large(40, 7, "3"));
    EXPECT_TRUE(small(43, 5, "Synth 1", BLACK, Look::inverse));
    EXPECT_TRUE(small(43, 7, "Synth 3"));
    click(330, y_of(1)); // where the keyboard pointer stands: beside the device number
    EXPECT_EQ(g_midi_devices.current_out_port, 1);
    for (int t = 0; t < 64; t++) {
        EXPECT_EQ(g_song.track_port[t], 1) << t;
    }
    EXPECT_TRUE(small(43, 6, "Synth 2", BLACK, Look::inverse));
    hold_alt(true);
    click(x_of(50), y_of(2));
    hold_alt(false);
    EXPECT_EQ(g_midi_devices.current_out_port, 2);
    EXPECT_EQ(g_song.track_port[5], 1);

    click(x_of(40), y_of(0)); // the device number of port 1 steps
    EXPECT_EQ(g_midi_devices.port_map[0], 1);
    EXPECT_TRUE(large(40, 5, "2"));
    EXPECT_TRUE(small(43, 5, "Synth 2"));
    EXPECT_EQ(g_midi_devices.current_out_port, 2);

    click(x_of(50), y_of(3)); // below the last port
    EXPECT_EQ(g_midi_devices.current_out_port, 2);
    EXPECT_EQ(g_song.track_port[5], 1);
}

TEST_F(ListPanels, InputDevicesSelectAndReopenAndIgnoreClicksBelowTheLast) {
    show_row(2, 3);
    EXPECT_TRUE(small(43, 5, "Keyboard", BLACK, Look::inverse));
    EXPECT_TRUE(small(43, 6, "Pads"));
    click(x_of(50), y_of(1));
    EXPECT_EQ(g_midi_devices.in_device, 1);
    EXPECT_EQ(g_headless_midi.in_open_device, 1);
    EXPECT_TRUE(small(43, 6, "Pads", BLACK, Look::inverse));
    click(x_of(50), y_of(2));
    EXPECT_EQ(g_midi_devices.in_device, 1);
    EXPECT_EQ(g_headless_midi.in_open_device, 1);
}

TEST_F(ListPanels, WithoutInputDevicesThePageSaysSoInItsLanguageAndTakesNoClick) {
    g_headless_midi.in_names.clear();
    midi_in_close();
    midi_in_open();
    struct Case {
        int japanese;
        const char* text;       // Shift-JIS
        int first_blank_column; // the row is blank from here to the panel's edge
    } cases[] = {
        {1,
         "MIDI IN \x83\x66\x83\x6F\x83\x43\x83\x58\x82\xCD\x83\x49\x81\x5B"
         "\x83\x76\x83\x93\x82\xC5\x82\xAB\x82\xDC\x82\xB9\x82\xF1",
         71},
        {0, "MIDI IN", 49},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.japanese);
        g_shell.is_japanese = c.japanese;
        g_menu.last_command_key = NO_COMMAND;
        show_row(2, 3);
        EXPECT_TRUE(small(43, 5, c.text));
        for (int col = c.first_blank_column; col < 78; col++) {
            EXPECT_TRUE(cell_blank(col, 5)) << "column " << col;
        }
        click(x_of(50), y_of(0));
        EXPECT_EQ(g_headless_midi.in_open_device, -2); // still closed
    }
}

// Every entry of the lists and every grid cell takes a click where the layout table puts it,
// which is also where the keyboard pointer stands on it.
TEST_F(ListPanels, EveryEntryTakesAClickAtItsLayoutPoint) {
    const MenuCommandRow& tracks = MENU_COMMAND_ROWS[static_cast<int>(MenuCommand::change_track)];
    show_row(tracks.page, tracks.row);
    for (int i = 0; i < TRACK_LIST.entries; i++) {
        ScreenPoint p = list_entry_point(TRACK_LIST, i);
        click(p.x, p.y);
        EXPECT_EQ(g_song.write_track, i);
    }
    const MenuCommandRow& channels = MENU_COMMAND_ROWS[static_cast<int>(MenuCommand::out_channel)];
    show_row(channels.page, channels.row);
    for (int i = 0; i < CHANNEL_LIST.entries; i++) {
        ScreenPoint p = list_entry_point(CHANNEL_LIST, i);
        click(p.x, p.y);
        EXPECT_EQ(g_settings.slots[SLOT_OUT_CHANNEL], i);
    }
    const MenuCommandRow& speed = MENU_COMMAND_ROWS[static_cast<int>(MenuCommand::speed)];
    show_row(speed.page, speed.row);
    for (int i = 0; i < SPEED_LIST.entries; i++) {
        ScreenPoint p = list_entry_point(SPEED_LIST, i);
        click(p.x, p.y);
        EXPECT_EQ(g_song_clock.speed_factor, i + 1);
    }
    const MenuCommandRow& programs =
        MENU_COMMAND_ROWS[static_cast<int>(MenuCommand::program_change)];
    show_row(programs.page, programs.row);
    for (int value = 0; value < VALUE_GRID.entries; value++) {
        ScreenPoint p = list_entry_point(VALUE_GRID, value);
        click(p.x, p.y);
        EXPECT_EQ(g_channel_state.channel_program[g_settings.slots[SLOT_OUT_CHANNEL]], value);
    }
}

// Tab puts the keyboard pointer on the panel, the arrows move it, and Enter clicks there.
TEST_F(ListPanels, EnterChoosesTheEntryUnderTheKeyboardPointer) {
    const MenuCommandRow& channels = MENU_COMMAND_ROWS[static_cast<int>(MenuCommand::out_channel)];
    show_row(channels.page, channels.row);
    key(VK_TAB);
    for (int i = 0; i < 5; i++) {
        key(VK_RIGHT);
    }
    ScreenPoint fifth = list_entry_point(CHANNEL_LIST, 5);
    EXPECT_EQ(g_headless_window.warp_x, fifth.x);
    EXPECT_EQ(g_headless_window.warp_y, fifth.y);
    key(VK_ENTER);
    EXPECT_EQ(g_settings.slots[SLOT_OUT_CHANNEL], 5);
}

TEST_F(ListPanels, SpeedListAndAboutText) {
    show_row(3, 10);
    EXPECT_TRUE(small(56, 5, number_label(1), BLACK, Look::inverse));
    click(x_of(57), y_of(3));
    EXPECT_EQ(g_song_clock.speed_factor, 4);
    EXPECT_TRUE(small(56, 8, number_label(4), BLACK, Look::inverse));
    EXPECT_TRUE(small(56, 5, number_label(1)));
    show_row(0, 2);
    EXPECT_TRUE(large(45, 8, "ZB47 MIDI MUSIC SEQUENCER"));
    EXPECT_TRUE(large(45, 9, "                  for Win"));
    EXPECT_TRUE(cell_blank(60, 15)); // the speed list is gone
}

} // namespace

namespace {

class SliderFollow : public ListPanels {
protected:
    // The slider panel in controller mode for `controller`, then a slider click at `value`.
    void slide(int controller, int value) {
        g_settings.slots[SLOT_EXCHANGE_TARGET] = controller;
        click(536, 440); // tempo -> pitch bend
        click(536, 440); // pitch bend -> controller
        click(496 + value, 424);
    }
};

TEST_F(SliderFollow, ChannelListsAndTheSoundPanelShowTheControllerTheSliderSends) {
    show_row(2, 2);
    slide(91, 50);
    EXPECT_EQ(g_channel_state.controller_values[0][91], 50);
    EXPECT_TRUE(large(69, 5, "050"));
    EXPECT_TRUE(large(69, 6, "040")); // other channels keep theirs
    // The reverb field of the sound panel, 4 wide at column 43 of row 7.
    show_row(3, 7);
    click(496 + 70, 424);
    EXPECT_TRUE(large(43, 7, "  70"));
    // A controller no column shows leaves the list as it was.
    show_row(3, 2);
    g_settings.slots[SLOT_EXCHANGE_TARGET] = 1;
    click(536, 440); // controller -> tempo
    slide(1, 99);
    EXPECT_TRUE(large(69, 5, "070"));
}

} // namespace
