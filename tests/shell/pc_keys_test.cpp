// The computer keyboard's note keys: step entry of notes, chords and pads from them, the
// octave they play in, pitch tracing, and the last key kept for the event editor.
#include "tests/shell/shell_fixture.h"

#include "platform/virtual_keys.h"
#include "sequencer/engine/channel_state.h"
#include "sequencer/engine/last_key.h"
#include "sequencer/engine/midi_input.h"
#include "sequencer/shell/menu_commands.h"
#include "sequencer/shell/menu_show.h"

namespace {

class PcKeys : public ShellFixture {
protected:
    void SetUp() override {
        ShellFixture::SetUp();
        start();
        menu_hooks_install();
        ASSERT_EQ(
            load_bytes(smf_file(
                1, 480, {concat({time_signature(0, 4, 2), end_of_track(7680)}), end_of_track()})),
            SongLoadResult::loaded);
        g_song.write_track = 1;
    }

    // The events as text, so that a difference reads as ticks and bytes.
    static std::vector<std::string> shown(const std::vector<Flat>& events) {
        std::vector<std::string> lines;
        for (const Flat& e : events) {
            std::string line = std::to_string(e.tick) + ":";
            for (uint8_t b : e.bytes) {
                line += " " + std::to_string(b);
            }
            lines.push_back(line);
        }
        return lines;
    }
    // Record standby on the step-recording row, then the play button starts the recording.
    void step_recording_start() {
        g_menu.menu_cursor[PAGE_RECORDING] = 1;
        key(VK_F6);
        ASSERT_EQ(transport_mode(), MODE_STANDBY);
        ASSERT_TRUE(g_transport.step_recording);
        key(VK_SPACE);
        ASSERT_EQ(transport_mode(), MODE_RECORDING);
    }
    std::vector<Flat> stop_and_read(int32_t* end_tick = nullptr) {
        key(VK_SPACE);
        EXPECT_EQ(transport_mode(), MODE_STOPPED);
        return flatten(g_song.slots[0].track_pos[1], end_tick);
    }
    void keys_down(std::initializer_list<int> codes) {
        for (int code : codes) {
            key_down(code);
        }
        run_ms(40);
    }
    void keys_up(std::initializer_list<int> codes) {
        for (int code : codes) {
            key_up(code);
        }
        run_ms(40);
    }
};

TEST_F(PcKeys, KeyNotesRunChromaticallyFromTheOctavesCAndStayWithinTheNoteRange) {
    EXPECT_EQ(pc_key_note(3, 0), 60);
    EXPECT_EQ(pc_key_note(3, 19), 79);
    EXPECT_EQ(pc_key_note(-2, 0), 0);
    EXPECT_EQ(pc_key_note(-2, 5), 5);
    EXPECT_EQ(pc_key_note(7, 19), 127); // 127 exactly
    EXPECT_EQ(pc_key_note(9, 0), 127);  // 132 limited
    EXPECT_EQ(pc_key_note(9, 19), 127);
}

TEST_F(PcKeys, StepEntryWritesNotesAndChordsOneStepApart) {
    step_recording_start();
    key('A'); // C alone
    EXPECT_EQ(g_song_clock.song_tick, 480);
    keys_down({'A', 'D', 'G'}); // C E G together
    keys_up({'A', 'D', 'G'});
    EXPECT_EQ(g_song_clock.song_tick, 960);
    key('D'); // E
    int32_t end = 0;
    std::vector<Flat> got = stop_and_read(&end);
    std::vector<Flat> want = {{0, {0x90, 60, 100}},   {432, {0x90, 60, 0}},
                              {480, {0x90, 60, 100}}, {480, {0x90, 64, 100}},
                              {480, {0x90, 67, 100}}, {912, {0x90, 60, 0}},
                              {912, {0x90, 64, 0}},   {912, {0x90, 67, 0}},
                              {960, {0x90, 64, 100}}, {1392, {0x90, 64, 0}}};
    EXPECT_EQ(shown(got), shown(want));
    EXPECT_EQ(end, 1440);
}

TEST_F(PcKeys, AnOctaveChangeWhileAKeyIsHeldEndsTheNoteThatKeyBegan) {
    step_recording_start();
    keys_down({'A'});
    key(VK_UP); // octave 4 waits until every key is up
    keys_down({'S'});
    keys_up({'A', 'S'});
    key('A'); // now octave 4
    std::vector<Flat> got = stop_and_read();
    std::vector<Flat> want = {{0, {0x90, 60, 100}}, {0, {0x90, 62, 100}},   {432, {0x90, 60, 0}},
                              {432, {0x90, 62, 0}}, {480, {0x90, 72, 100}}, {912, {0x90, 72, 0}}};
    EXPECT_EQ(shown(got), shown(want));
    EXPECT_EQ(g_last_key.last_key_note, 72);
}

TEST_F(PcKeys, KeysStillDownWhenStepRecordingStopsEndAfterTheirGate) {
    step_recording_start();
    keys_down({'A', 'D'});
    int32_t end = 0;
    std::vector<Flat> got = stop_and_read(&end);
    std::vector<Flat> want = {
        {0, {0x90, 60, 100}}, {0, {0x90, 64, 100}}, {432, {0x90, 60, 0}}, {432, {0x90, 64, 0}}};
    EXPECT_EQ(shown(got), shown(want));
    EXPECT_EQ(end, 480);
    clear_sent();
    keys_up({'A', 'D'}); // stopped: the ends go out but are not written anywhere
    EXPECT_EQ(sent(), (std::vector<Bytes>{{0x90, 60, 0}, {0x90, 64, 0}}));
    EXPECT_EQ(flatten(g_song.slots[0].track_pos[1]), want);
}

TEST_F(PcKeys, ChordPadsPlayTheChordTableOnePadAtATimeAndAreStepEnteredAsChords) {
    for (int i = 0; i < 5; i++) {
        key(VK_UP); // octave 8: the keys are chord pads
    }
    ASSERT_EQ(g_transport.play_octave, CHORD_PAD_OCTAVE);
    g_settings.slots[SLOT_OUT_CHANNEL] = 1;
    g_ui.play_velocity = 80;
    step_recording_start();
    keys_down({'A'}); // chord 1
    keys_down({'W'}); // a second pad while one sounds is not taken
    keys_up({'A'});
    keys_up({'W'});   // nor later, when it was never taken
    keys_down({'S'}); // chord 3
    EXPECT_EQ(g_ui.pad_chord, 2);
    keys_up({'S'});
    std::vector<Flat> got = stop_and_read();
    std::vector<Flat> want;
    int32_t at = 0;
    for (std::initializer_list<uint8_t> chord : {std::initializer_list<uint8_t>{60, 64, 67, 72},
                                                 std::initializer_list<uint8_t>{62, 65, 69, 74}}) {
        for (uint8_t note : chord) {
            want.push_back({at, {0x91, note, 80}});
        }
        for (uint8_t note : chord) {
            want.push_back({at + 432, {0x91, note, 0}});
        }
        at += 480;
    }
    EXPECT_EQ(shown(got), shown(want));
    EXPECT_EQ(g_last_key.last_key_velocity, 80);
}

TEST_F(PcKeys, PitchTracingPlaysTheGuideNotesAndAKeyGivesUpANoteTakenOver) {
    ASSERT_EQ(load_bytes(smf_file(
                  1, 480,
                  {concat({time_signature(0, 4, 2), end_of_track(7680)}), end_of_track(),
                   concat({ev(0, {0x90, 60, 90}), ev(240, {0x80, 60, 0}), ev(0, {0x90, 60, 90}),
                           ev(240, {0x80, 60, 0}), ev(0, {0x90, 64, 90}), ev(240, {0x80, 64, 0}),
                           end_of_track()})})),
              SongLoadResult::loaded);
    g_song.write_track = 1;
    g_settings.slots[SLOT_GUIDE_MODE] = 1;
    g_song.tracing_track = 3;
    g_settings.slots[SLOT_METRONOME_ON] = 0;
    key(VK_F6); // real-time standby: the guide is read from its start
    clear_sent();
    keys_down({'K'}); // plays the guide's first C
    keys_down({'L'}); // the guide's second C: K gives it up first
    keys_up({'L'});
    keys_up({'K'}); // already silent
    keys_down({'A'});
    keys_up({'A'});
    std::vector<Bytes> notes;
    for (const Bytes& m : sent()) {
        if (m.size() == 3 && (m[0] & 0xF0) == 0x90 && (m[0] & 0x0F) == 0) {
            notes.push_back(m);
        }
    }
    EXPECT_EQ(notes, (std::vector<Bytes>{{0x90, 60, 100},
                                         {0x90, 60, 0},
                                         {0x90, 60, 100},
                                         {0x90, 60, 0},
                                         {0x90, 64, 100},
                                         {0x90, 64, 0}}));
    EXPECT_EQ(g_last_key.last_key_note, 64);
    key(VK_SPACE);
    EXPECT_TRUE(notes_paired(flatten(g_song.slots[0].track_pos[1])));
}

TEST_F(PcKeys, LastKeyKeepsTheReleasedNoteAndThePressedVelocity) {
    EXPECT_EQ(g_last_key.last_key_note, 60);
    EXPECT_EQ(g_last_key.last_key_velocity, 100);
    g_ui.play_velocity = 90;
    keys_down({'S'});
    EXPECT_EQ(g_last_key.last_key_velocity, 90);
    EXPECT_EQ(g_last_key.last_key_note, 60); // not yet released
    keys_up({'S'});
    EXPECT_EQ(g_last_key.last_key_note, 62);
}

} // namespace
