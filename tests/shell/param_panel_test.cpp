// Parameter and command panels driven by clicks: stepping limits and Shift steps, the
// value-box shortcuts, the messages the sound panels send, the two-press ENTER with its
// backup, and values kept through the settings file.
#include "tests/shell/shell_fixture.h"

#include "common/text_sjis.h"
#include "platform/headless/headless.h"
#include "platform/virtual_keys.h"
#include "sequencer/edit/edit.h"
#include "sequencer/engine/channel_state.h"
#include "sequencer/engine/midi_input.h"
#include "sequencer/shell/menu_commands.h"
#include "sequencer/shell/menu_show.h"
#include "sequencer/shell/param_fields.h"
#include "sequencer/shell/param_panel.h"
#include "sequencer/shell/param_texts.h"
#include "sequencer/shell/screen_layout.h"
#include "sequencer/shell/speech.h"
#include "songcore/track_normalize.h"

#include <algorithm>
#include <cstring>

namespace {

// Track 1: 4/4 at 120 for two measures, then 3/4 at 90 from measure 3; it ends inside
// measure 6.
// Tracks 2 and 3 hold one note each.
Bytes signature_song() {
    Bytes conductor =
        concat({tempo_event(0, 500000), time_signature(0, 4, 2), time_signature(3840, 3, 2),
                tempo_event(0, 666666), end_of_track(4 * 1440 - 600)});
    Bytes notes = concat({ev(0, {0x90, 60, 100}), ev(480, {0x80, 60, 0}), end_of_track()});
    return smf_file(1, 480, {conductor, notes, notes});
}

struct StepCase {
    int page, row, field, slot;
    int32_t from;
    bool up;
    int32_t to;
};

class ParamPanels : public ShellFixture {
protected:
    void SetUp() override {
        ShellFixture::SetUp();
        edit_reset();
        start();
        menu_hooks_install();
    }
    void show(int page, int row) {
        g_menu.menu_cursor[page] = static_cast<uint8_t>(row);
        show_command(page);
    }
    // One press on a field from a set value, checked against the value expected after it.
    void step_case(const StepCase& c) {
        slot(c.slot) = c.from;
        show(c.page, c.row);
        if (c.up) {
            up(c.field);
        } else {
            down(c.field);
        }
        EXPECT_EQ(slot(c.slot), c.to)
            << "page " << c.page << " row " << c.row << " field " << c.field << " from " << c.from;
        show(0, 2); // another row, so the next one is shown anew
    }
    // Where the layout puts a field's buttons and value box, and the ENTER box.
    static const FieldRowLayout& fields_of(int field) {
        return field <= 4 ? UPPER_FIELDS : LOWER_FIELDS;
    }
    static int button_x(int field, bool up) {
        int button = 2 * ((field - 1) % 4) + (up ? 0 : 1);
        return FIELDS_HIT_ORIGIN + FIELD_BUTTON_WIDTH * button + FIELD_BUTTON_WIDTH / 2;
    }
    static int button_y(int field) { return fields_of(field).pointer_y; }
    void up(int field) { click(button_x(field, true), button_y(field)); }
    void down(int field) { click(button_x(field, false), button_y(field)); }
    void box(int field) {
        const FieldRowLayout& row = fields_of(field);
        click(FIELDS_HIT_ORIGIN + FIELD_BOX_WIDTH * ((field - 1) % 4) + FIELD_BOX_WIDTH / 2,
              (row.value_hit_top + row.value_hit_bottom) / 2);
    }
    void enter() { click(ENTER_BOX_POINT.x, ENTER_BOX_POINT.y); }
    void shift(bool held) {
        if (held) {
            key_down(VK_SHIFT);
        } else {
            key_up(VK_SHIFT);
        }
        run_ms(20);
        clear_sent();
    }
    int32_t& slot(int index) { return g_settings.slots[index]; }
    bool executed_backup() const {
        const auto& texts = g_headless.status_texts;
        return std::find(texts.begin(), texts.end(), "  Executing backup") != texts.end();
    }
};

TEST_F(ParamPanels, StepsStopAtTheLimitsOfEachKind) {
    const StepCase cases[] = {
        {4, 1, 6, SLOT_QUANTIZE_GATE, 100, true, 100},         // number
        {4, 1, 6, SLOT_QUANTIZE_GATE, 0, false, 0},            // number
        {2, 7, 2, SLOT_POSITION_DISPLAY, 1, true, 1},          // switch
        {2, 7, 2, SLOT_POSITION_DISPLAY, 1, false, 0},         // switch
        {4, 8, 4, SLOT_COMBINE_OUT, 64, true, 64},             // track, 1..64
        {4, 8, 1, SLOT_COMBINE_TIME, 1, true, 1},              // track, 1..track count (1)
        {2, 9, 5, SLOT_METRONOME_ACCENT_NOTE, 127, true, 127}, // note
        {2, 9, 5, SLOT_METRONOME_ACCENT_NOTE, 0, false, 0},    // note
        {2, 0, 1, SLOT_CHANGE_CHANNEL, 17, true, 17},          // channel
        {2, 0, 1, SLOT_CHANGE_CHANNEL, 1, false, 1},           // channel
        {4, 10, 1, SLOT_MOVE_SRC_SONG, 10, true, 10},          // song
        {4, 1, 5, SLOT_QUANTIZE_NOTE, 32, true, 32},           // note value
        {4, 1, 5, SLOT_QUANTIZE_NOTE, 1, false, 1},            // note value
        {4, 1, 5, SLOT_QUANTIZE_NOTE, 4, true, 6},             // note value
        {4, 1, 5, SLOT_QUANTIZE_NOTE, 12, false, 8},           // note value
        {2, 7, 1, SLOT_CLOCK_SOURCE, 2, true, 2},              // clock source
        {2, 7, 1, SLOT_CLOCK_SOURCE, 0, false, 0},             // clock source
        {4, 4, 1, SLOT_DELETE_START, 1, true, 1},              // measure of a one-measure song
    };
    for (const StepCase& c : cases) {
        step_case(c);
    }
}

TEST_F(ParamPanels, ShiftStepsByAnOctaveTenOrFiveButNeverPastTheLimit) {
    const StepCase cases[] = {
        {2, 9, 5, SLOT_METRONOME_ACCENT_NOTE, 60, true, 72},
        {2, 9, 5, SLOT_METRONOME_ACCENT_NOTE, 60, false, 48},
        {2, 9, 5, SLOT_METRONOME_ACCENT_NOTE, 120, true, 121},
        {4, 1, 6, SLOT_QUANTIZE_GATE, 50, true, 60},
        {4, 1, 6, SLOT_QUANTIZE_GATE, 95, true, 96},
        {4, 1, 6, SLOT_QUANTIZE_GATE, 5, false, 4},
        {4, 8, 4, SLOT_COMBINE_OUT, 1, true, 6},
        {4, 10, 3, SLOT_MOVE_SRC_CHANNEL, 1, true, 6},
        {4, 10, 3, SLOT_MOVE_SRC_CHANNEL, 15, true, 16},
        {2, 7, 2, SLOT_POSITION_DISPLAY, 0, true, 1}, // switches take single steps
    };
    shift(true);
    for (const StepCase& c : cases) {
        step_case(c);
    }
    shift(false);
}

TEST_F(ParamPanels, DenominatorDoublesAndHalvesWithinItsRules) {
    show(4, 2);
    slot(SLOT_CREATE_NUMERATOR) = 8;
    up(5); // numerator at most twice the denominator 4
    EXPECT_EQ(slot(SLOT_CREATE_NUMERATOR), 8);
    for (int expected : {8, 16, 32, 32}) {
        up(6);
        EXPECT_EQ(slot(SLOT_CREATE_DENOMINATOR), expected);
    }
    for (int expected : {16, 8, 4, 2, 2}) {
        down(6);
        EXPECT_EQ(slot(SLOT_CREATE_DENOMINATOR), expected);
    }
    EXPECT_EQ(slot(SLOT_CREATE_NUMERATOR), 4) << "lowered to twice the denominator 2";
    // 100 ticks per quarter: a 1/16 lasts 25 ticks but a 1/32 would last 12.5.
    time_base_set(100);
    slot(SLOT_CREATE_DENOMINATOR) = 8;
    up(6);
    EXPECT_EQ(slot(SLOT_CREATE_DENOMINATOR), 16);
    up(6);
    EXPECT_EQ(slot(SLOT_CREATE_DENOMINATOR), 16);
}

TEST_F(ParamPanels, CreateStartLoadsSignatureAndTempoOfThatMeasure) {
    ASSERT_EQ(load_bytes(signature_song()), SongLoadResult::loaded);
    slot(SLOT_CREATE_NUMERATOR) = 7;
    show(4, 2);
    up(1); // measure 2: 4/4 at 120
    EXPECT_EQ(slot(SLOT_CREATE_NUMERATOR), 4);
    EXPECT_EQ(slot(SLOT_CREATE_DENOMINATOR), 4);
    EXPECT_EQ(slot(SLOT_CREATE_TEMPO), 120);
    up(1); // measure 3: 3/4 at 90
    EXPECT_EQ(slot(SLOT_CREATE_MEASURE), 3);
    EXPECT_EQ(slot(SLOT_CREATE_NUMERATOR), 3);
    EXPECT_EQ(slot(SLOT_CREATE_DENOMINATOR), 4);
    EXPECT_EQ(slot(SLOT_CREATE_TEMPO), 90);
    EXPECT_EQ(slot(SLOT_CREATE_COUNT), 0);
}

TEST_F(ParamPanels, ValueBoxShortcuts) {
    ASSERT_EQ(load_bytes(signature_song()), SongLoadResult::loaded);
    g_song.write_track = 2;
    show(4, 6); // erase: track, start, length
    slot(SLOT_ERASE_LENGTH) = 4;
    box(1);
    EXPECT_EQ(slot(SLOT_ERASE_TRACK), 3);
    measure_move(4);
    box(2);
    EXPECT_EQ(slot(SLOT_ERASE_START), 5);
    EXPECT_EQ(slot(SLOT_ERASE_LENGTH), 2) << "lowered to the measures left from measure 5";
    box(3);
    EXPECT_EQ(slot(SLOT_ERASE_LENGTH), 1);

    slot(SLOT_ERASE_START) = 2;
    shift(true);
    box(2); // with Shift the song moves to the field's measure instead
    EXPECT_EQ(g_song_clock.current_measure, 1);
    EXPECT_EQ(slot(SLOT_ERASE_START), 2);
    shift(false);

    g_settings.slots[SLOT_OUT_CHANNEL] = 5;
    show(4, 10); // move track
    box(3);
    EXPECT_EQ(slot(SLOT_MOVE_SRC_CHANNEL), 6);
    song_bank_select(3);
    box(5);
    EXPECT_EQ(slot(SLOT_MOVE_DST_SONG), 4);
    slot(SLOT_MOVE_DELAY) = 33;
    box(8);
    EXPECT_EQ(slot(SLOT_MOVE_DELAY), 0);
    shift(true);
    box(7);
    EXPECT_EQ(slot(SLOT_MOVE_DST_CHANNEL), 17);
    show(3, 7); // pan: 64, with Shift 127
    box(4);
    EXPECT_EQ(g_channel_state.controller_values[5][10], 127);
    shift(false);
    box(4);
    EXPECT_EQ(g_channel_state.controller_values[5][10], 64);

    g_song_clock.tempo_bpm = 133;
    show(4, 2);
    box(7);
    EXPECT_EQ(slot(SLOT_CREATE_TEMPO), 133);
}

TEST_F(ParamPanels, MeasureMemoryMovesTheSongOrTakesTheCurrentMeasure) {
    ASSERT_EQ(load_bytes(signature_song()), SongLoadResult::loaded);
    show(3, 12);
    slot(SLOT_REMOTE_MEASURE_FIRST + 1) = 4;
    box(2);
    EXPECT_EQ(g_song_clock.current_measure, 3);
    measure_move(1);
    shift(true);
    box(6);
    shift(false);
    EXPECT_EQ(slot(SLOT_REMOTE_MEASURE_FIRST + 5), 2);
    EXPECT_EQ(g_song_clock.current_measure, 1);
}

TEST_F(ParamPanels, TransposeNoteBoxAuditionsUntilReleaseOrTakesTheLastNote) {
    g_settings.slots[SLOT_OUT_CHANNEL] = 3;
    g_ui.play_velocity = 90;
    slot(SLOT_TRANSPOSE_NOTE_FROM) = 64;
    show(4, 7);
    clear_sent();
    press(328 + 64 * 2 + 32, 250); // the value box of field 7
    run_ms(30);
    EXPECT_EQ(sent(), (std::vector<Bytes>{{0x93, 64, 90}}));
    release();
    run_ms(20);
    EXPECT_EQ(sent(), (std::vector<Bytes>{{0x93, 64, 90}, {0x93, 64, 0}}));
    g_ui.last_note = 50;
    shift(true);
    box(8);
    shift(false);
    EXPECT_EQ(slot(SLOT_TRANSPOSE_NOTE_TO), 50);
    EXPECT_EQ(slot(SLOT_TRANSPOSE_NOTE_FROM), 64);
}

TEST_F(ParamPanels, SoundPanelsSendAtOnceOnTheCurrentChannel) {
    g_settings.slots[SLOT_OUT_CHANNEL] = 2;
    show(3, 7);
    clear_sent();
    up(1); // reverb 40 -> 41; all five follow with their reset values
    EXPECT_EQ(sent(), (std::vector<Bytes>{{0xB2, 0x5B, 41},
                                          {0xB2, 0x5D, 0},
                                          {0xB2, 0x07, 100},
                                          {0xB2, 0x0A, 64},
                                          {0xB2, 0x0B, 127}}));
    show(3, 8);
    clear_sent();
    down(4); // cutoff 0 -> -1
    EXPECT_EQ(sent(),
              (std::vector<Bytes>{
                  {0xB2, 0x63, 0x01}, {0xB2, 0x62, 0x20}, {0xB2, 0x06, 63}, {0xB2, 0x26, 0x00}}));
    EXPECT_EQ(g_channel_state.nrpn_values[2][3], 63);
    clear_sent();
    slot(SLOT_OUT_CHANNEL) = 4;
    show(3, 7); // shown anew for channel 5: its values, no message until a change
    box(1);
    EXPECT_EQ(g_channel_state.controller_values[4][91], 40);
    EXPECT_TRUE(sent().empty());
}

TEST_F(ParamPanels, SettingsPanelsReachTheRecordsThatFollowThem) {
    show(2, 9); // metronome channel 10 -> 11: note-on 0x8F + 11
    up(2);
    EXPECT_EQ(g_player.click_on[0][0], 0x9A);
    EXPECT_EQ(g_player.click_off[1][0], 0x8A);

    show(2, 0);
    down(8); // velocity lock already off: field 7 is the offset
    up(7);
    EXPECT_EQ(slot(SLOT_VELOCITY_OFFSET), 1);
    up(8);
    EXPECT_TRUE(g_ui.velocity_lock);
    up(7);
    EXPECT_EQ(slot(SLOT_FIXED_VELOCITY), 101);
    EXPECT_EQ(g_ui.play_velocity, 101);
    up(5);
    EXPECT_EQ(slot(SLOT_OUT_CHANNEL), 1);

    show(2, 1); // input filter: Shift and down turns all six off, up all on
    shift(true);
    down(2);
    for (int s = SLOT_FILTER_NOTE; s <= SLOT_FILTER_PITCH_BEND; s++) {
        EXPECT_EQ(slot(s), 0) << s;
    }
    up(6);
    for (int s = SLOT_FILTER_NOTE; s <= SLOT_FILTER_PITCH_BEND; s++) {
        EXPECT_EQ(slot(s), 1) << s;
    }
    shift(false);

    show(5, 0);
    down(8);
    EXPECT_EQ(g_event_filter.pass[FILTER_META], 0);

    g_midi_maps.micro_channel = 5;
    show(2, 12); // shows the record the slot mirrors
    EXPECT_EQ(slot(SLOT_MICRO_CHANNEL), 5);
    box(1);
    EXPECT_EQ(g_midi_maps.micro_channel, 17);

    g_song.track_play[0] = 0;
    show(3, 11);
    up(3); // tracing on unmutes the tracing track
    EXPECT_EQ(g_song.track_play[0], 1);
    up(4);
    EXPECT_EQ(g_song.tracing_track, 2);
}

TEST_F(ParamPanels, ClockSourceChangeGoesBackToTheSongStartAndMemoryHMovesTheSlider) {
    ASSERT_EQ(load_bytes(signature_song()), SongLoadResult::loaded);
    measure_move(3);
    g_song_clock.tempo_bpm = 77;
    show(2, 7);
    up(1);
    EXPECT_EQ(slot(SLOT_CLOCK_SOURCE), CLOCK_MIDI);
    EXPECT_EQ(g_song_clock.current_measure, 0);
    EXPECT_EQ(g_song_clock.tempo_bpm, 120);

    g_ui.lower_panel_mode.store(LOWER_CONTROLLER);
    g_channel_state.controller_values[0][81] = 33;
    show(3, 12);
    up(8); // controller 80 -> 81
    EXPECT_EQ(g_ui.slider_controller.load(), 81);
    EXPECT_EQ(g_ui.slider_value.load(), 33);
}

TEST_F(ParamPanels, StepRecordingNoteValueSetsTheStepLength) {
    show(6, 1);
    up(5); // 1/6
    EXPECT_EQ(slot(SLOT_STEP_LENGTH), 320);
    EXPECT_EQ(g_recorder.step_gate, 288);
    EXPECT_EQ(g_recorder.step_rest, 32);
    down(5);
    EXPECT_EQ(slot(SLOT_STEP_LENGTH), 480);
    shift(true);
    up(5); // a dotted 1/6
    shift(false);
    EXPECT_EQ(slot(SLOT_STEP_LENGTH), 480);
    EXPECT_EQ(slot(SLOT_STEP_NOTE_VALUE), 6);
    shift(true);
    up(5); // a dotted eighth: 240 + 120
    shift(false);
    EXPECT_EQ(slot(SLOT_STEP_NOTE_VALUE), 8);
    EXPECT_EQ(slot(SLOT_STEP_LENGTH), 360);
    EXPECT_EQ(g_recorder.step_gate, 324);
    EXPECT_EQ(g_recorder.step_rest, 36);
}

TEST_F(ParamPanels, HoldingAButtonRepeats) {
    slot(SLOT_QUANTIZE_GATE) = 50;
    show(4, 1);
    press(button_x(6, true), button_y(6));
    run_ms(950); // steps at 0, 400 and 900 ms
    release();
    run_ms(20);
    EXPECT_EQ(slot(SLOT_QUANTIZE_GATE), 53);
}

TEST_F(ParamPanels, EnterAsksRunsOnceAndAsksAgainAfterAChange) {
    g_speech.speech_enabled = true;
    slot(SLOT_QUANTIZE_START) = 1;
    slot(SLOT_QUANTIZE_GATE) = 75;
    slot(SLOT_QUANTIZE_NOTE) = 8;
    show(4, 1);
    enter();
    EXPECT_EQ(g_headless.clipboard, "  Are you sure ? ");
    EXPECT_EQ(g_param_panel.confirm_count, 1);
    up(6); // a change asks again
    EXPECT_EQ(g_param_panel.confirm_count, 0);
    enter();
    EXPECT_EQ(g_param_panel.confirm_count, 1);
    g_transport.play_octave = 5;
    enter();
    EXPECT_EQ(g_param_panel.confirm_count, 2);
    const EditParams& p = g_edit.params;
    EXPECT_EQ(p.quantize_gate, 76);
    EXPECT_EQ(p.quantize_note, 8);
    EXPECT_EQ(p.quantize_track, 1);
    EXPECT_EQ(p.play_octave, 5);
    EXPECT_FALSE(p.backup);
    g_edit.params.quantize_gate = 11;
    enter(); // a third press does nothing
    EXPECT_EQ(g_edit.params.quantize_gate, 11);
    EXPECT_EQ(g_param_panel.confirm_count, 2);
    show(4, 2);
    show(4, 1); // shown again: the count starts over
    EXPECT_EQ(g_param_panel.confirm_count, 0);
}

TEST_F(ParamPanels, BackupIntoBankTenOnlyWhenOnAndNotCurrent) {
    ASSERT_EQ(load_bytes(signature_song()), SongLoadResult::loaded);
    Bytes track2 = track_bytes(0, 1);
    Bytes empty = track_bytes(9, 1);
    slot(SLOT_BACKUP_ALLOWED) = 0;
    show(4, 1);
    enter();
    enter();
    EXPECT_FALSE(executed_backup());
    EXPECT_EQ(track_bytes(9, 1), empty);

    slot(SLOT_BACKUP_ALLOWED) = 1;
    enter(); // the third press does nothing
    EXPECT_FALSE(executed_backup());
    show(4, 2);
    show(4, 1);
    enter();
    enter();
    EXPECT_TRUE(g_edit.params.backup);
    EXPECT_TRUE(executed_backup());
    EXPECT_EQ(track_bytes(9, 1), track2);

    g_headless.status_texts.clear();
    song_bank_select(9);
    show(4, 2);
    show(4, 1);
    enter();
    enter();
    EXPECT_FALSE(executed_backup());
}

TEST_F(ParamPanels, ChangedFieldsSurviveTheSettingsFile) {
    show(4, 7);
    down(5); // pitch offset -1
    up(8);   // note 61
    settings_image_build();
    std::vector<uint8_t> image(g_settings.image, g_settings.image + SETTINGS_FILE_SIZE);
    settings_reset();
    EXPECT_EQ(slot(SLOT_TRANSPOSE_PITCH), 0);
    ASSERT_EQ(settings_parse(image.data(), image.size()), 0);
    EXPECT_EQ(slot(SLOT_TRANSPOSE_PITCH), -1);
    EXPECT_EQ(slot(SLOT_TRANSPOSE_NOTE_TO), 61);
}

TEST_F(ParamPanels, ClicksOutsideTheFieldsDoNothingAndTheLayoutNamesThem) {
    slot(SLOT_DELETE_LENGTH) = 1;
    show(4, 4);
    EXPECT_EQ(panel_layout(), 2 * 8 + 0 + 64);
    int32_t before[SETTINGS_SLOTS];
    memcpy(before, g_settings.slots, sizeof before);
    up(3);                         // no third field
    click(button_x(5, true), 280); // no lower row
    click(328, button_y(1));       // left of the buttons
    EXPECT_EQ(memcmp(before, g_settings.slots, sizeof before), 0);
    show(2, 0);
    EXPECT_EQ(panel_layout(), 2 * 8 + 4);
}

// The keyboard pointer stands on each field's buttons where the layout puts them, so Enter
// there steps the field: up on the first button, down on the second.
TEST_F(ParamPanels, EnterAtTheKeyboardPointerStepsTheFieldItStandsOn) {
    MenuCommand command = MenuCommand::metronome;
    const ParamPanel* panel = param_panel_find(menu_command_key(command));
    ASSERT_NE(panel, nullptr);
    show(menu_command_page(command), menu_command_row(command));
    int32_t min, max;
    field_bounds(*panel, 5, min, max);
    field_store(*panel, 5, (min + max) / 2);
    int32_t middle = field_value(*panel, 5);
    key(VK_TAB);
    EXPECT_EQ(g_headless_window.warp_x, FIELD_POINTER_X);
    EXPECT_EQ(g_headless_window.warp_y, UPPER_FIELDS.pointer_y);
    // Past the upper row's buttons, two a field, to the lower row's first field.
    for (int i = 0; i < 2 * panel->upper; i++) {
        key(VK_RIGHT);
    }
    EXPECT_EQ(g_headless_window.warp_y, LOWER_FIELDS.pointer_y);
    key(VK_ENTER);
    EXPECT_EQ(field_value(*panel, 5), middle + 1);
    key(VK_RIGHT);
    EXPECT_EQ(g_headless_window.warp_x, FIELD_POINTER_X + FIELD_BUTTON_WIDTH);
    key(VK_ENTER);
    key(VK_ENTER);
    EXPECT_EQ(field_value(*panel, 5), middle - 1);
}

TEST_F(ParamPanels, TheVoicesCaptionFollowsTheLanguage) {
    param_texts_load(true);
    EXPECT_STREQ(g_param_texts.caption[5 * 13 + 6][0],
                 utf8_to_sjis(" POLY Tr>>MONO Tr 発音数").c_str());
    param_texts_load(false);
    EXPECT_STREQ(g_param_texts.caption[5 * 13 + 6][0], " POLY Tr>>MONO Tr VOICES");
}

TEST_F(ParamPanels, SpokenValuesWhenEnterTurnedValueSpeechOn) {
    g_speech.speech_enabled = true;
    g_speech.value_speech = true;
    snprintf(g_speech.speech_text[SPEECH_TRACK_WORD], SPEECH_TEXT_SIZE, "track ");
    show(4, 8);
    up(4);
    EXPECT_EQ(g_headless.clipboard, "track " + utf8_to_sjis(" ２ "));
    show(4, 1);
    up(6);
    EXPECT_EQ(g_headless.clipboard, "91");
}

} // namespace

namespace {

// Settings read from a file may hold any value in any slot; every panel must still draw and
// step without reading outside its tables, and a step brings a field back within its range.
TEST_F(ParamPanels, PanelsDrawAndStepSafelyFromAnyStoredValue) {
    ASSERT_EQ(load_bytes(little_tune_song()), SongLoadResult::loaded);
    for (int32_t stored : {32767, -32767, 0, 200}) {
        for (int key = 0; key < MENU_PAGES * MENU_ROWS; key++) {
            const ParamPanel* panel = param_panel_find(key);
            if (panel == nullptr) {
                continue;
            }
            for (int field = 1; field <= 8; field++) {
                if (panel_field(*panel, field) == nullptr) {
                    continue;
                }
                for (bool step_up : {true, false}) {
                    for (int32_t& s : g_settings.slots) {
                        s = stored;
                    }
                    show(0, 2);
                    show(key / MENU_ROWS, key % MENU_ROWS);
                    if (step_up) {
                        up(field);
                    } else {
                        down(field);
                    }
                    int32_t low = 0, high = 0;
                    field_bounds(*panel, field, low, high);
                    int32_t value = field_value(*panel, field);
                    bool moved_in = value >= low && value <= high;
                    bool stayed_outside = value == stored;
                    EXPECT_TRUE(moved_in || stayed_outside)
                        << "key " << key << " field " << field << " stored " << stored << " now "
                        << value << " range " << low << ".." << high;
                }
            }
        }
    }
    settings_reset();
}

// The same stored values reaching a command through ENTER: the commands refuse what is out
// of range and the song stays whole.
TEST_F(ParamPanels, CommandsRefuseAnyStoredValueOutsideTheirRanges) {
    for (int32_t stored : {32767, -32767, 0, 1000, 1, 2}) {
        ASSERT_EQ(load_bytes(little_tune_song()), SongLoadResult::loaded);
        for (int key = 0; key < MENU_PAGES * MENU_ROWS; key++) {
            const ParamPanel* panel = param_panel_find(key);
            if (panel == nullptr || !panel->enter) {
                continue;
            }
            for (int32_t& s : g_settings.slots) {
                s = stored;
            }
            show(0, 2);
            show(key / MENU_ROWS, key % MENU_ROWS);
            enter();
            enter();
            ASSERT_GE(g_song.track_count, 1) << key;
            ASSERT_LE(g_song.measure_table.last_measure, 999) << key;
        }
        if (stored == 1) {
            EXPECT_NE(g_song.song_modified_mask, 0u); // commands within range did run
        }
    }
    settings_reset();
}

} // namespace
