// Text in the cell grid, the main screen's fields and the window timer's refresher, checked
// on the picture against text drawn the same way into a scratch picture.
#include "tests/shell/shell_fixture.h"

#include "common/status_line.h"
#include "platform/picture.h"
#include "sequencer/engine/channel_state.h"
#include "sequencer/engine/engine_hooks.h"
#include "sequencer/engine/midi_input.h"
#include "sequencer/shell/draw.h"
#include "sequencer/shell/draw_text.h"
#include "sequencer/shell/font.h"
#include "sequencer/shell/main_fields.h"
#include "sequencer/shell/tick_refresh.h"

#include <cstring>
#include <vector>

namespace {

class ScreenFields : public ShellFixture {
protected:
    void SetUp() override {
        ShellFixture::SetUp();
        start();
    }
    uint32_t base() const { return pixel_from_colour(g_draw.base_colour); }
    uint32_t pixel(int x, int y) const { return g_picture.pixels[y * PICTURE_WIDTH + x]; }
    ::testing::AssertionResult shows(int x, int y, FontSize size, const char* text, uint32_t ink,
                                     uint32_t paper) {
        return picture_shows_text(x, y, size, text, ink, paper);
    }
    ::testing::AssertionResult cell_shows(int col, int row, const char* text,
                                          uint32_t ink = BLACK) {
        return shows(8 * col - 1, 16 * row, FontSize::large, text, ink, base());
    }
};

TEST_F(ScreenFields, TextCallsDrawAtTheirCellOffsetsInTheirColours) {
    text_at(3, 6, "Ab");
    EXPECT_TRUE(shows(23, 96, FontSize::large, "Ab", BLACK, base()));
    small_text_at(3, 8, "Ab");
    EXPECT_TRUE(shows(25, 129, FontSize::small, "Ab", BLACK, base()));
    // The small font leaves the cell's top row and left column in the base colour.
    EXPECT_EQ(pixel(24, 128), base());
    text_inverse_at(3, 10, "Ab");
    EXPECT_TRUE(shows(23, 160, FontSize::large, "Ab", WHITE, GREY));
    small_text_inverse_at(3, 12, "Ab");
    EXPECT_TRUE(shows(25, 193, FontSize::small, "Ab", WHITE, GREY));
    set_text_colour(2);
    text_at(10, 6, "R");
    text_at(12, 6, "K"); // the colour applied to one text only
    EXPECT_TRUE(cell_shows(10, 6, "R", RED));
    EXPECT_TRUE(cell_shows(12, 6, "K"));
}

TEST_F(ScreenFields, PaletteHasItsSeventeenColours) {
    const uint32_t expected[17] = {BLACK,    0x0000C0, RED,   BLACK,    BLACK,    BLACK,
                                   BLACK,    0xC0C0C0, BLACK, 0x0000FF, 0xFF0000, BLACK,
                                   0x007F00, 0x00FFFF, BLACK, BLACK,    BLACK};
    for (int i = 0; i < 17; i++) {
        set_text_colour(i);
        text_at(2, 10, "#");
        EXPECT_TRUE(cell_shows(2, 10, "#", expected[i])) << "colour " << i;
    }
}

TEST_F(ScreenFields, ColourSeventeenDrawsNothingAndStaysChosen) {
    text_at(5, 10, "  ");
    uint32_t before = g_picture.version.load();
    std::vector<uint32_t> copy(g_picture.pixels, g_picture.pixels + PICTURE_WIDTH * 480);
    set_text_colour(17);
    text_at(5, 10, "X");
    text_at(5, 10, "Y");
    EXPECT_TRUE(std::equal(copy.begin(), copy.end(), g_picture.pixels));
    EXPECT_EQ(g_picture.version.load(), before);
    set_text_colour(0);
    text_at(5, 10, "Z");
    EXPECT_TRUE(cell_shows(5, 10, "Z"));
}

TEST_F(ScreenFields, ResetForgetsAColourChosenForATextNeverDrawn) {
    for (int colour : {17, 2}) {
        set_text_colour(colour);
        zb47_reset_all();
        text_at(5, 10, "R");
        EXPECT_TRUE(cell_shows(5, 10, "R", BLACK)) << "colour " << colour;
    }
    set_text_colour(17);
    text_inverse_at(5, 10, "X"); // nothing drawn: colour 17 and inverse both stay chosen
    zb47_reset_all();
    text_at(5, 10, "I");
    EXPECT_TRUE(cell_shows(5, 10, "I", BLACK)) << "black on the base colour, not inverse";
}

TEST_F(ScreenFields, AdjacentLargeRowsDoNotOverlap) {
    text_at(4, 10, "\xFF\xFF"); // boxes fill their cells
    text_at(4, 11, "gj");
    EXPECT_TRUE(cell_shows(4, 11, "gj"));
    text_at(4, 10, "gj");
    EXPECT_TRUE(cell_shows(4, 11, "gj"));
}

TEST_F(ScreenFields, NumbersArePaddedToTheirWidth) {
    number_at(10, 12, 4, 42);
    EXPECT_TRUE(cell_shows(10, 12, "  42"));
    zero_number_at(10, 13, 4, 42);
    EXPECT_TRUE(cell_shows(10, 13, "0042"));
    hex_at(10, 14, 4, 255);
    EXPECT_TRUE(cell_shows(10, 14, "00FF"));
    number_inverse_at(10, 15, 3, 7);
    EXPECT_TRUE(shows(79, 240, FontSize::large, "  7", WHITE, GREY));
    zero_number_inverse_at(10, 16, 3, 7);
    EXPECT_TRUE(shows(79, 256, FontSize::large, "007", WHITE, GREY));
}

TEST_F(ScreenFields, StartUpShowsVersionChannelTrackBankAndOctave) {
    EXPECT_TRUE(cell_shows(16, 1, "V 1.39"));
    EXPECT_TRUE(cell_shows(75, 24, "01"));
    EXPECT_TRUE(cell_shows(75, 25, "02")); // the write track starts at the second track
    EXPECT_TRUE(cell_shows(75, 23, "01"));
    EXPECT_TRUE(cell_shows(58, 23, " 3"));
    g_transport.play_octave = 8;
    show_octave();
    EXPECT_TRUE(cell_shows(58, 23, "CO"));
}

TEST_F(ScreenFields, StatusLineDrawsOnlyAMessageThatStartsDifferently) {
    show_status("memory over");
    EXPECT_TRUE(cell_shows(61, 1, "memory over", BRIGHT_RED));
    show_status("more trouble");
    EXPECT_TRUE(cell_shows(61, 1, "memory over", BRIGHT_RED));
    show_status("file not found");
    EXPECT_TRUE(cell_shows(61, 1, "file not found ", BRIGHT_RED));
    EXPECT_EQ(g_headless.status_texts.back(), "file not found");
}

TEST_F(ScreenFields, RefresherDrawsTheFieldsTheEngineFlagged) {
    display_position(12, 3, 45);
    display_time_signature(6, 8);
    display_tempo(96);
    EXPECT_FALSE(cell_shows(43, 2, "012"));
    run_ms(20);
    EXPECT_TRUE(cell_shows(43, 2, "012"));
    EXPECT_TRUE(cell_shows(47, 2, "03"));
    EXPECT_TRUE(cell_shows(50, 2, "045"));
    EXPECT_TRUE(cell_shows(60, 2, "06"));
    EXPECT_TRUE(cell_shows(63, 2, "08"));
    EXPECT_TRUE(cell_shows(71, 2, "096"));
    g_settings.slots[SLOT_CLOCK_SOURCE] = CLOCK_MIDI;
    display_tempo(96);
    run_ms(20);
    EXPECT_TRUE(cell_shows(71, 2, "***"));
}

TEST_F(ScreenFields, PositionPastTheLastMeasureStaysInsideItsThreeCells) {
    // A song longer than the measure table plays on past measure 999; the field holds three
    // digits and the colon after them must survive.
    auto separator_cell = [this]() {
        std::vector<uint32_t> cell;
        for (int y = 32; y < 48; y++) {
            for (int x = 8 * 46 - 1; x < 8 * 47 - 1; x++) {
                cell.push_back(pixel(x, y));
            }
        }
        return cell;
    };
    std::vector<uint32_t> colon = separator_cell();
    display_position(1000, 3, 0);
    run_ms(20);
    EXPECT_TRUE(cell_shows(43, 2, "999"));
    EXPECT_TRUE(cell_shows(47, 2, "03"));
    EXPECT_EQ(separator_cell(), colon);
    display_position(1100, 1, 0);
    run_ms(20);
    EXPECT_TRUE(cell_shows(43, 2, "999"));
    EXPECT_EQ(separator_cell(), colon);
}

TEST_F(ScreenFields, ElapsedTimeAndStepLengthAtStop) {
    show_status("Tracks >64 cut"); // longer than the elapsed time: none of it may stay
    g_song_clock.elapsed_ms = ((99 * 60 + 59) * 60 + 58) * 1000 + 7;
    transport_stop(false);
    EXPECT_TRUE(cell_shows(61, 1, "99:59:58.007   "));
    EXPECT_TRUE(cell_shows(47, 1, "00"));
    EXPECT_TRUE(cell_shows(50, 1, "000"));
}

TEST_F(ScreenFields, PressFlashSinksThenRaisesOneTickAfterRelease) {
    run_ms(40);
    press_flash(8, 329, 54, 359);
    run_ms(20);
    EXPECT_EQ(pixel(8, 329), GREY) << "sunken: dark top-left";
    EXPECT_EQ(pixel(53, 358), WHITE);
    release_flash();
    run_ms(20);
    EXPECT_EQ(pixel(8, 329), WHITE) << "raised: light top-left";
    EXPECT_EQ(pixel(53, 358), GREY);
}

TEST_F(ScreenFields, OnScreenKeysLeaveTheKeyboardPictureAsItWas) {
    click(160, 340); // the stop button sinks and rises: the last pressed button
    run_ms(60);
    auto keyboard = [this]() {
        std::vector<uint32_t> area;
        for (int y = 355; y < 460; y++) {
            for (int x = 0; x < 460; x++) {
                area.push_back(pixel(x, y));
            }
        }
        return area;
    };
    std::vector<uint32_t> before = keyboard();
    click(100, 430); // a white key
    click(38, 380);  // a black key
    run_ms(60);
    EXPECT_EQ(sent().size(), 4u);
    EXPECT_TRUE(keyboard() == before) << "the on-screen keys show no press";
    EXPECT_EQ(pixel(152, 329), WHITE) << "the last pressed button stays raised";
}

TEST_F(ScreenFields, LowerPanelShowsPitchBendAndControllerModes) {
    click(536, 440);
    run_ms(20);
    EXPECT_TRUE(cell_shows(62, 27, "PITCH BEND"));
    EXPECT_TRUE(cell_shows(74, 27, "  0"));
    press(496 + 100, 424);
    run_ms(40);
    EXPECT_TRUE(cell_shows(74, 27, " 36"));
    release();
    run_ms(40); // the frame sees the release, the next tick shows it
    EXPECT_TRUE(cell_shows(74, 27, "  0"));
    g_settings.slots[SLOT_EXCHANGE_TARGET] = 7;
    g_channel_state.controller_values[0][7] = 90;
    click(500, 440);
    run_ms(20);
    EXPECT_TRUE(cell_shows(62, 27, "CONT CH "));
    EXPECT_TRUE(cell_shows(70, 27, "007"));
    EXPECT_TRUE(cell_shows(74, 27, " 90"));
    EXPECT_EQ(g_headless_window.warp_x, 496 + 90);
    EXPECT_EQ(g_headless_window.warp_y, 424);
    click(500, 440);
    run_ms(20);
    EXPECT_TRUE(cell_shows(74, 26, "001")); // tempo mode: the port's device again
}

TEST_F(ScreenFields, HeldPcKeysAreMarkedOnTheOnScreenKeyboard) {
    auto marked = [&](int x, int y) { return pixel(x, y) == pixel_from_colour(160); };
    g_headless.keys_down['A'] = true; // C: first white key
    g_headless.keys_down['W'] = true; // C#: first black key
    run_ms(20);
    EXPECT_TRUE(marked(22, 443));
    EXPECT_TRUE(marked(38, 395));
    g_headless.keys_down['A'] = false;
    run_ms(20);
    EXPECT_FALSE(marked(22, 443));
    EXPECT_TRUE(marked(38, 395));
    g_settings.slots[SLOT_POSITION_DISPLAY] = 0;
    g_headless.keys_down['S'] = true;
    run_ms(20);
    EXPECT_FALSE(marked(6 + 32 + 16, 443));
}

TEST_F(ScreenFields, TrackMuteMarkAndTracingMark) {
    g_song.track_play[5] = 0;
    show_track_mute_mark();
    EXPECT_TRUE(cell_shows(73, 25, "M", RED));
    g_song.track_play[5] = 1;
    g_settings.slots[SLOT_GUIDE_MODE] = 1;
    g_song.tracing_track = g_song.write_track + 1;
    show_track_mute_mark();
    EXPECT_TRUE(cell_shows(73, 25, "T", RED));
    // Another track traced: blue (0, 0, 192) once its notes are used up, else black.
    g_song.tracing_track = g_song.write_track + 2;
    g_input.guide_note = -1;
    show_track_mute_mark();
    EXPECT_TRUE(cell_shows(73, 25, "T", 0x0000C0));
    g_input.guide_note = 60;
    show_track_mute_mark();
    EXPECT_TRUE(cell_shows(73, 25, "T", BLACK));
}

} // namespace

namespace {

class ScreenLamps : public ScreenFields {
protected:
    uint32_t lamp(int button) const { return pixel(8 + 48 * button + 38, 335); }
};

TEST_F(ScreenLamps, PlayAndRecordLampsFollowTheTransport) {
    const uint32_t unlit = lamp(4);
    ASSERT_EQ(load_bytes(smf_file(1, 480, {concat({end_of_track(19200)})})),
              SongLoadResult::loaded);
    click(6 + 48 * 4 + 10, 345); // play
    EXPECT_EQ(lamp(4), 0x00B000u);
    EXPECT_EQ(lamp(0), unlit);
    click(6 + 48 * 3 + 10, 345); // stop
    EXPECT_EQ(lamp(4), unlit);
    click(20, 345); // record: standby
    EXPECT_EQ(lamp(0), 0xDC0000u);
    EXPECT_EQ(lamp(4), unlit);
    key(32); // Space from standby starts recording
    EXPECT_EQ(transport_mode(), MODE_RECORDING);
    EXPECT_EQ(lamp(0), 0xDC0000u);
    EXPECT_EQ(lamp(4), 0x00B000u);
    key(32);
    EXPECT_EQ(transport_mode(), MODE_STOPPED);
    EXPECT_EQ(lamp(0), unlit);
    EXPECT_EQ(lamp(4), unlit);
}

TEST_F(ScreenLamps, LyricsShowOnTheBottomLineCutToItsWidth) {
    std::string long_lyric(100, 'a');
    g_engine_hooks.lyric(long_lyric.c_str());
    EXPECT_TRUE(cell_shows(1, 29, std::string(78, 'a').c_str()));
    EXPECT_EQ(pixel(8 * 79 + 3, 16 * 29 + 8), pixel_from_colour(g_draw.base_colour));
    g_engine_hooks.lyric("la la");
    EXPECT_TRUE(cell_shows(1, 29, "la la   "));
}

} // namespace
