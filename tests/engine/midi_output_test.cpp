// The output path: mutes, ports, maps, captures, re-chord and the channel-state bookkeeping.
#include "tests/engine/engine_fixture.h"

#include "sequencer/engine/chord_name.h"

namespace {

class MidiOutput : public EngineFixture {
protected:
    void send(Bytes bytes) { midi_send(bytes.data(), static_cast<uint32_t>(bytes.size())); }
    void from_track(int track, bool muted = false) {
        g_player.playing_track = track;
        g_player.send_muted = muted;
    }
};

TEST_F(MidiOutput, MutedTrackNoteOnIsNotSentButItsNoteOffIs) {
    from_track(1, true);
    send({0x90, 60, 100});
    send({0x80, 60, 0});
    send({0x90, 61, 0});
    EXPECT_EQ(sent(), (std::vector<Bytes>{{0x80, 60, 0}, {0x90, 61, 0}}));
    EXPECT_EQ(g_channel_state.sounding_notes[60][0], 0);
}

TEST_F(MidiOutput, MutedMessagesAreDroppedEntirelyWhileRecording) {
    transport_mode_set(MODE_RECORDING);
    from_track(1, true);
    send({0x80, 60, 0});
    send({0xB0, 7, 20});
    transport_mode_set(MODE_STOPPED);
    EXPECT_TRUE(sent().empty());
    EXPECT_EQ(g_channel_state.controller_values[0][7], 100);
}

TEST_F(MidiOutput, PortsFollowTrackPortAndPortMapAndMissingPortsAreSilent) {
    reopen_devices(2);
    g_song.track_port[0] = 1;
    g_song.track_port[1] = 5; // a port the system does not have
    from_track(1);
    send({0x90, 60, 100});
    from_track(2);
    send({0x90, 62, 100});
    from_track(0);
    g_midi_devices.port_map[0] = 1;
    send({0x90, 64, 100});
    std::vector<HeadlessMidiMessage> raw = sent_raw();
    ASSERT_EQ(raw.size(), 2u);
    EXPECT_EQ(raw[0].device, 1);
    EXPECT_EQ(raw[1].device, 1);
    EXPECT_EQ(raw[1].bytes, (Bytes{0x90, 64, 100}));
    // The silent port's note is still counted, so a stop can end it.
    EXPECT_EQ(g_channel_state.sounding_notes[62][5], 1);
}

TEST_F(MidiOutput, NoteMapAppliesToMelodicChannelsOrToTheMicroChannel) {
    g_midi_maps.note_map[60] = 61;
    send({0x90, 60, 100});
    send({0x99, 60, 100});
    g_midi_maps.micro_channel = 10;
    send({0x99, 60, 100});
    send({0x90, 60, 100});
    EXPECT_EQ(sent(), (std::vector<Bytes>{
                          {0x90, 61, 100}, {0x99, 60, 100}, {0x99, 61, 100}, {0x90, 60, 100}}));
}

TEST_F(MidiOutput, PlaybackTransposeMovesTrackNotesOnMelodicChannelsWithinRange) {
    g_midi_maps.transpose_on = true;
    g_midi_maps.playback_transpose = 5;
    from_track(1);
    send({0x90, 125, 100});
    send({0x90, 60, 100});
    send({0x99, 36, 100});
    from_track(0);
    send({0x90, 60, 100});
    EXPECT_EQ(sent(), (std::vector<Bytes>{
                          {0x90, 127, 100}, {0x90, 65, 100}, {0x99, 36, 100}, {0x90, 60, 100}}));
}

TEST_F(MidiOutput, ProgramMapAndChannelProgramAndCaptures) {
    g_midi_maps.program_map[5] = 9;
    send({0xC2, 5});
    EXPECT_EQ(g_channel_state.channel_program[2], 9);
    captures_start(7, 60);
    EXPECT_EQ(g_midi_maps.micro_channel, MICRO_OFF);
    send({0xC0, 33});
    send({0x90, 70, 100});
    send({0x90, 72, 0}); // note-offs capture nothing
    captures_start(8, 0);
    send({0x90, 48, 100});
    EXPECT_EQ(g_midi_maps.program_map[0], 33);
    EXPECT_EQ(g_midi_maps.note_map[60], 70);
    EXPECT_EQ(g_midi_maps.note_map_capture, 62);
    EXPECT_EQ(g_midi_maps.chord_table[0], 48);
    captures_end();
    EXPECT_EQ(g_midi_maps.micro_channel, MICRO_ALL_CHANNELS);
    EXPECT_EQ(g_midi_maps.note_map_capture, 128);
    EXPECT_EQ(g_midi_maps.chord_capture, CHORD_TABLE_SIZE);
}

TEST_F(MidiOutput, GsResetAndRhythmPartMessages) {
    send({0xB0, 7, 30});
    send({0xC1, 8});
    send({0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, 0x41, 0xF7});
    EXPECT_EQ(g_channel_state.controller_values[0][7], 100);
    EXPECT_EQ(g_channel_state.channel_program[1], 0);
    for (int ch = 0; ch < 16; ch++) {
        EXPECT_EQ(g_channel_state.drum_channel[ch], ch == 9 ? DRUM_PART : 0) << ch;
    }
    send({0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x12, 0x15, 0x01, 0x18, 0xF7}); // part 2
    send({0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x1B, 0x15, 0x02, 0x00, 0xF7}); // part 11
    send({0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x10, 0x15, 0x00, 0x1B, 0xF7}); // part 10 stays
    EXPECT_EQ(g_channel_state.drum_channel[1], DRUM_PART);
    EXPECT_EQ(g_channel_state.drum_channel[11], DRUM_PART);
    EXPECT_EQ(g_channel_state.drum_channel[9], DRUM_PART);
    EXPECT_EQ(sent().size(), 6u);
}

TEST_F(MidiOutput, NrpnDataEntryStoresOnceForTheSelectedParameter) {
    send({0xB0, 0x63, 0x01});
    send({0xB0, 0x62, 0x08});
    send({0xB0, 0x06, 0x50});
    EXPECT_EQ(g_channel_state.nrpn_values[0][0], 80);
    send({0xB0, 0x06, 0x10});
    EXPECT_EQ(g_channel_state.nrpn_values[0][0], 80);
    send({0xB3, 0x63, 0x01});
    send({0xB3, 0x62, 0x66});
    send({0xB3, 0x06, 0x20});
    EXPECT_EQ(g_channel_state.nrpn_values[3][7], 0x20);
    send({0xB4, 0x63, 0x01});
    send({0xB4, 0x62, 0x07}); // not a GS parameter: nothing selected
    send({0xB4, 0x06, 0x20});
    for (int i = 0; i < NRPN_PARAMETERS; i++) {
        EXPECT_EQ(g_channel_state.nrpn_values[4][i], 64);
    }
}

TEST_F(MidiOutput, LinkSwitchOffKeepsClockAndSensingOff) {
    g_midi_maps.midi_link_switch = false;
    send({0xF8});
    send({0xFE});
    send({0x90, 60, 1});
    EXPECT_EQ(sent(true), (std::vector<Bytes>{{0x90, 60, 1}}));
}

TEST_F(MidiOutput, AllNotesOffEndsEveryCountedNoteOnItsPortThenSustain) {
    reopen_devices(2);
    g_song.track_port[0] = 0;
    g_song.track_port[1] = 1;
    from_track(1);
    send({0x90, 60, 100});
    send({0x91, 64, 100});
    send({0xB0, 64, 127});
    from_track(2);
    send({0x92, 67, 100});
    from_track(0);
    g_midi_maps.note_map[60] = 70; // a map changed since: the counted key still ends
    clear_sent();
    all_notes_off();
    std::vector<HeadlessMidiMessage> raw = sent_raw();
    std::vector<std::pair<int, Bytes>> got;
    for (const HeadlessMidiMessage& m : raw) {
        got.push_back({m.device, m.bytes});
    }
    std::vector<std::pair<int, Bytes>> want = {
        {0, {0x90, 60, 0}}, {0, {0x90, 60, 0}}, {0, {0x91, 64, 0}}, {0, {0x91, 64, 0}},
        {0, {0xB0, 64, 0}}, {1, {0x92, 67, 0}}, {1, {0x92, 67, 0}},
    };
    EXPECT_EQ(got, want);
    EXPECT_EQ(g_channel_state.sounding_notes[60][0], 0);
    EXPECT_FALSE(g_channel_state.sustain_on[0][0]);
    EXPECT_EQ(g_midi_devices.current_out_port, 0);
}

TEST_F(MidiOutput, RechordShiftsTheRechordTrackByTheChordInForce) {
    g_midi_maps.rechord_on = true;
    g_midi_maps.rechord_track = 2;
    // Chord 2 of the table is D F A D: root 2, third 5 (minor), fifth 9.
    g_midi_maps.rechord_pending = true;
    g_midi_maps.rechord_chord = 2;
    from_track(2);
    send({0x80, 0, 0}); // no note sounding: the pending chord takes effect
    ASSERT_FALSE(g_midi_maps.rechord_pending);
    clear_sent();
    send({0x90, 60, 100}); // C -> D
    send({0x90, 64, 100}); // E -> root +2, third 5-4=1 -> F
    send({0x90, 67, 100}); // G -> +2, fifth 9-7=2 -> B
    from_track(1);
    send({0x90, 60, 100}); // another track: unchanged
    EXPECT_EQ(sent(), (std::vector<Bytes>{
                          {0x90, 62, 100}, {0x90, 67, 100}, {0x90, 71, 100}, {0x90, 60, 100}}));
    EXPECT_EQ(g_midi_maps.rechord_sounding, 3);
}

TEST_F(MidiOutput, ChordNamesComeFromTheSoundingNotes) {
    struct Case {
        std::vector<uint8_t> keys;
        const char* name;
    };
    const Case cases[] = {
        {{60, 64, 67}, "C"},       {{60, 63, 67, 70}, "Cm7"},   {{60, 65, 67}, "Csus4"},
        {{62, 65, 69, 72}, "Dm7"}, {{57, 61, 64, 67}, "A7"},    {{55, 59, 62, 66}, "GM7"},
        {{64, 68, 72}, "E+5"},     {{59, 62, 65, 69}, "Bm7-5"}, {{50, 53, 57, 59}, "Dm6"},
    };
    for (const Case& c : cases) {
        for (uint8_t key : c.keys) {
            send({0x90, key, 100});
        }
        char name[CHORD_NAME_SIZE] = "NONE";
        EXPECT_TRUE(chord_name_of_sounding(0, 0, name));
        EXPECT_STREQ(name, c.name);
        all_notes_off();
        EXPECT_FALSE(chord_name_of_sounding(0, 0, name));
        EXPECT_STREQ(name, c.name); // nothing sounding: the last name stays
    }
}

} // namespace
