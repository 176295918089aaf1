// The input queue and input processing: assembly with running status, filter, channel
// change, controller exchange, velocity, guide track, remote commands and real-time bytes.
#include "tests/engine/engine_fixture.h"

#include "sequencer/engine/engine_hooks.h"

namespace {

class MidiInput : public EngineFixture {
protected:
    static void hold_input() {}
    // Keeps received input in the queue instead of processing it at once.
    void queue_only() { g_engine_hooks.input_arrived = hold_input; }
    Bytes queued() const {
        Bytes out;
        uint32_t r = g_midi_in_queue.read.load();
        uint32_t w = g_midi_in_queue.written.load();
        for (uint32_t i = r; i != w; i++) {
            out.push_back(g_midi_in_queue.bytes[i % IN_QUEUE_SIZE]);
        }
        return out;
    }
};

TEST_F(MidiInput, QueueKeepsWholeMessagesAndDropsSystemCommon) {
    queue_only();
    feed({0xF2, 0x10, 0x20}); // song position: dropped
    feed({0xF8});
    feed({0x90, 60, 100});
    feed({62, 90}); // running status: two bytes
    feed({0xC0, 5});
    feed({7}); // running program change: one byte
    EXPECT_EQ(queued(), (Bytes{0xF8, 0x90, 60, 100, 62, 90, 0xC0, 5, 7}));
    Bytes sysex(200, 0x11);
    sysex.front() = 0xF0;
    sysex.back() = 0xF7;
    feed_long(sysex);
    EXPECT_EQ(queued().size(), 9u + 200u);
    uint8_t b;
    int taken = 0;
    while (midi_in_read_byte(b) == 0) {
        taken++;
    }
    EXPECT_EQ(taken, 209);
    EXPECT_EQ(midi_in_read_byte(b), 1);
}

TEST_F(MidiInput, QueueDropsWhatDoesNotFitAndKeepsWorkingAfterwards) {
    queue_only();
    Bytes sysex(SYSEX_BUFFER_SIZE - 1, 0x22);
    sysex.front() = 0xF0;
    sysex.back() = 0xF7;
    feed_long(sysex);      // 102,399 bytes
    feed({0x90, 60, 100}); // fits below the short limit? no: 102,399 are waiting
    EXPECT_EQ(queued().size(), SYSEX_BUFFER_SIZE - 1);
    Bytes too_long(SYSEX_BUFFER_SIZE, 0x33);
    feed_long(too_long);
    feed_long(Bytes{0xF0, 1, 2, 3, 4, 0xF7}); // 102,405 would exceed the ring
    EXPECT_EQ(queued().size(), SYSEX_BUFFER_SIZE - 1);
    uint8_t b;
    for (uint32_t i = 0; i < 10; i++) {
        midi_in_read_byte(b);
    }
    feed({0xF8});
    EXPECT_EQ(queued().size(), SYSEX_BUFFER_SIZE - 10);
    // Wrapping round the end of the ring keeps the order.
    while (midi_in_read_byte(b) == 0) {
    }
    for (int i = 0; i < 40000; i++) {
        feed({0x91, static_cast<uint8_t>(i % 128), 1});
        ASSERT_EQ(midi_in_read_byte(b), 0);
        ASSERT_EQ(b, 0x91);
        ASSERT_EQ(midi_in_read_byte(b), 0);
        ASSERT_EQ(b, i % 128);
        ASSERT_EQ(midi_in_read_byte(b), 0);
    }
}

TEST_F(MidiInput, StoppedInputIsHandledAtOnceWithRunningStatusAndThru) {
    feed({0x90, 60, 100});
    feed({62, 90});
    feed({60, 0});
    EXPECT_EQ(sent(), (std::vector<Bytes>{{0x90, 60, 100}, {0x90, 62, 90}, {0x90, 60, 0}}));
    g_settings.slots[SLOT_THRU_ON] = 0;
    feed({0x90, 64, 100});
    EXPECT_EQ(sent().size(), 3u);
}

TEST_F(MidiInput, DataBytesWithoutAKnownStatusAreDropped) {
    queue_only();
    feed({0xF8});
    uint8_t stray[] = {60, 100};
    for (uint8_t b : stray) {
        g_midi_in_queue.bytes[g_midi_in_queue.written.load() % IN_QUEUE_SIZE] = b;
        g_midi_in_queue.written.fetch_add(1);
    }
    run_frames(1);
    EXPECT_TRUE(sent().empty());
    feed({0x90, 61, 10});
    run_frames(1);
    EXPECT_EQ(sent(), (std::vector<Bytes>{{0x90, 61, 10}}));
}

TEST_F(MidiInput, FilterDropsMessagesFromThruAndRecording) {
    g_settings.slots[SLOT_FILTER_PROGRAM] = 0;
    g_settings.slots[SLOT_FILTER_PITCH_BEND] = 0;
    feed({0xC0, 5});
    feed({0xE0, 0, 64});
    feed({0xB0, 7, 64});
    EXPECT_EQ(sent(), (std::vector<Bytes>{{0xB0, 7, 64}}));
}

TEST_F(MidiInput, ChannelChangeMovesTheChosenChannelOrAll) {
    g_settings.slots[SLOT_CHANGE_CHANNEL] = 1;
    g_settings.slots[SLOT_OUT_CHANNEL] = 3;
    feed({0x90, 60, 100});
    feed({0x91, 60, 100});
    g_settings.slots[SLOT_CHANGE_CHANNEL] = 17;
    feed({0x95, 60, 100});
    EXPECT_EQ(sent(), (std::vector<Bytes>{{0x93, 60, 100}, {0x91, 60, 100}, {0x93, 60, 100}}));
}

TEST_F(MidiInput, VelocityOffsetAndFixedVelocityAndControllerExchange) {
    g_settings.slots[SLOT_VELOCITY_OFFSET] = -50;
    feed({0x90, 60, 40}); // raised to 1
    feed({0x90, 60, 0});  // a note-off stays 0
    g_settings.slots[SLOT_VELOCITY_OFFSET] = 50;
    feed({0x90, 61, 100}); // limited to 127
    g_settings.slots[SLOT_FIXED_VELOCITY_ON] = 1;
    g_settings.slots[SLOT_FIXED_VELOCITY] = 77;
    feed({0x90, 62, 3});
    feed({0xB0, 70, 9}); // no exchange unless the octave stands at -1
    g_transport.play_octave = -1;
    feed({0xB0, 70, 9});
    feed({0xB0, 71, 9});
    EXPECT_EQ(sent(), (std::vector<Bytes>{{0x90, 60, 1},
                                          {0x90, 60, 0},
                                          {0x90, 61, 127},
                                          {0x90, 62, 77},
                                          {0xB0, 70, 9},
                                          {0xB0, 80, 9},
                                          {0xB0, 71, 9}}));
}

TEST_F(MidiInput, RemoteCommandsByProgramChange) {
    load_song({end_of_track(1920 * 40)});
    g_transport.play_octave = -2;
    feed({0xC0, 35});
    EXPECT_EQ(g_song.write_track, 1); // not offered by the menu: nothing
    g_transport.remote_allowed = true;
    feed({0xC0, 35});
    EXPECT_EQ(g_song.write_track, 3);
    feed({0xC0, 19});
    EXPECT_EQ(g_settings.slots[SLOT_THRU_ON], 0);
    feed({0xC0, 18});
    EXPECT_EQ(g_settings.slots[SLOT_THRU_ON], 1);
    feed({0xC0, 11}); // the measure stored for 11: 20
    EXPECT_EQ(g_song_clock.current_measure, 19);
    feed({0xC0, 3});
    EXPECT_EQ(g_song.current_bank, 3);
    reopen_devices(3);
    feed({0xC0, 23});
    EXPECT_EQ(g_midi_devices.current_out_port, 2);
    clear_sent();
    feed({0xC0, 20});
    std::vector<Bytes> got = sent(true);
    EXPECT_EQ(got.front(), (Bytes{0xFE}));
}

TEST_F(MidiInput, RealTimeBytesDriveTheTransportAndLinkSwitchOffIgnoresThem) {
    load_song({end_of_track(1920 * 4)});
    feed({0xFA});
    EXPECT_EQ(transport_mode(), MODE_PLAYING);
    feed({0xFC});
    run_frames(1);
    EXPECT_EQ(transport_mode(), MODE_STOPPED);
    g_midi_maps.midi_link_switch = false;
    feed({0xFA});
    feed({0x90, 60, 100});
    EXPECT_EQ(transport_mode(), MODE_STOPPED);
    EXPECT_TRUE(sent().empty() || sent().back() != (Bytes{0x90, 60, 100}));
}

TEST_F(MidiInput, GuideModeSoundsTheGuideTracksNotesInTurn) {
    load_song({concat({ev(0, {0x90, 60, 90}), ev(240, {0x80, 60, 0}), ev(0, {0x90, 62, 91}),
                       ev(240, {0x80, 62, 0}), ev(0, {0x90, 64, 92}), ev(240, {0x80, 64, 0}),
                       end_of_track(1920)})});
    g_settings.slots[SLOT_GUIDE_MODE] = 1;
    g_song.tracing_track = 1;
    g_song.track_play[0] = 0; // the guide track itself stays silent
    transport_start();
    clear_sent();
    for (uint8_t key : {40, 41, 42}) {
        feed({0x90, key, 100});
        run_frames(1);
        feed({0x80, key, 0});
        run_frames(1);
    }
    feed({0x90, 43, 100}); // the guide is used up: the key itself sounds
    run_frames(1);
    EXPECT_EQ(sent(), (std::vector<Bytes>{{0x90, 60, 100},
                                          {0x80, 60, 0},
                                          {0x90, 62, 100},
                                          {0x80, 62, 0},
                                          {0x90, 64, 100},
                                          {0x80, 64, 0},
                                          {0x90, 43, 100}}));
}

TEST_F(MidiInput, OpenExclusiveMessageNeverWaitsForItsEnd) {
    load_song({end_of_track(1920 * 4)});
    feed_long(Bytes{0xF0, 0x41, 0x10});
    run_frames(1); // returns although the message is still open
    EXPECT_TRUE(g_input.in_sysex);
    feed_long(Bytes{0x42, 0xF7});
    feed({0x90, 60, 100});
    run_frames(1);
    EXPECT_FALSE(g_input.in_sysex);
    EXPECT_EQ(sent().back(), (Bytes{0x90, 60, 100}));
}

} // namespace

namespace {

class MidiInDevice : public EngineFixture {};

TEST_F(MidiInDevice, ASavedInputPastTheDevicesThereAreFallsBackToTheFirst) {
    g_headless_midi.in_names = {"Keys A", "Keys B"};
    for (int saved : {1, 2, 7, -1}) {
        midi_in_close();
        g_midi_devices.in_device = saved;
        midi_in_open();
        int expected = saved == 1 ? 1 : 0;
        EXPECT_EQ(g_midi_devices.in_device, expected) << saved;
        EXPECT_EQ(g_headless_midi.in_open_device, expected) << saved;
        EXPECT_EQ(g_midi_devices.in_status, 0) << saved;
    }
}

} // namespace
