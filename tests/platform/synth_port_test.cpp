// The built-in synthesizer's port among the backend's ports: where it is numbered, what each
// failure to start says, and that what it is sent is heard (offline, so no device is needed).
#include "platform/headless/headless.h"
#include "platform/headless/headless_midi.h"
#include "platform/midi.h"
#include "platform/platform.h"
#include "platform/synth.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

class SynthPort : public ::testing::Test {
protected:
    void SetUp() override {
#ifndef ZB_WITH_FLUIDSYNTH
        GTEST_SKIP() << "built without the synthesizer (libfluidsynth-dev was missing)";
#endif
        platform_select("headless");
        headless_reset();
        headless_midi_reset();
    }
    void TearDown() override {
        platform_synth_stop();
        headless_midi_reset();
    }
    // Starts offline on the system's sound font; false (the test skips) when there is none.
    bool offline_start() {
        SynthOptions options;
        options.mode = SynthMode::offline;
        return platform_synth_start(options) == SynthStart::offline;
    }
    std::vector<std::string> port_names() {
        std::vector<std::string> names;
        for (int device = 0; device < platform_midi_out_count(); device++) {
            char name[64] = "";
            EXPECT_TRUE(platform_midi_out_name(device, name, sizeof name));
            names.push_back(name);
        }
        return names;
    }
    void send(std::vector<uint8_t> bytes, int device = 0) {
        if (bytes[0] == 0xF0) {
            platform_midi_out_long(device, bytes.data(), static_cast<uint32_t>(bytes.size()));
        } else {
            platform_midi_out_short(device, bytes.data(), static_cast<int>(bytes.size()));
        }
    }
    // Largest sample of the next `ms` milliseconds.
    int loudest(int ms) {
        std::vector<int16_t> samples(static_cast<size_t>(ms) * 441 / 10 * 2);
        EXPECT_TRUE(platform_synth_render(samples.data(), static_cast<int>(samples.size() / 2)));
        int peak = 0;
        for (int16_t s : samples) {
            peak = std::max(peak, abs(s));
        }
        return peak;
    }
};

constexpr int SILENT = 2; // dither noise

TEST_F(SynthPort, IsPortZeroWhenTheBackendHasOnlyThroughPorts) {
    g_headless_midi.out_names = {"Midi Through Port-0"};
    if (!offline_start()) {
        GTEST_SKIP() << "no General MIDI sound font installed";
    }
    EXPECT_EQ(port_names(), (std::vector<std::string>{SYNTH_PORT_NAME, "Midi Through Port-0"}));
    // The through port is still reached under its new number.
    ASSERT_TRUE(platform_midi_out_open(1));
    send({0x90, 60, 100}, 1);
    ASSERT_EQ(headless_midi_sent().size(), 1u);
    EXPECT_EQ(headless_midi_sent()[0].device, 0);
}

TEST_F(SynthPort, ComesAfterThePortsThatCanSound) {
    g_headless_midi.out_names = {"Roland SC-88", "Midi Through Port-0"};
    if (!offline_start()) {
        GTEST_SKIP() << "no General MIDI sound font installed";
    }
    EXPECT_EQ(port_names(),
              (std::vector<std::string>{"Roland SC-88", SYNTH_PORT_NAME, "Midi Through Port-0"}));
    platform_synth_stop();
    EXPECT_EQ(port_names(), (std::vector<std::string>{"Roland SC-88", "Midi Through Port-0"}));
}

TEST_F(SynthPort, WithoutASoundFontThereIsNoPortAndTheMessageSaysSo) {
    g_headless_midi.out_names = {"virtual port"};
    TempDir empty_root;
    SynthOptions options;
    options.mode = SynthMode::offline;
    options.search_root = empty_root.path.c_str();
    EXPECT_EQ(platform_synth_start(options), SynthStart::no_soundfont);
    EXPECT_FALSE(platform_synth_running());
    EXPECT_NE(std::string(platform_synth_message()).find("no General MIDI sound font"),
              std::string::npos);
    EXPECT_EQ(std::string(platform_synth_status_text()), "No sound font: ZB47 Synth is off");
    EXPECT_EQ(port_names(), (std::vector<std::string>{"virtual port"}));
}

TEST_F(SynthPort, AnUnreadableSoundFontLeavesNoPortAndTheMessageNamesIt) {
    g_headless_midi.out_names = {"virtual port"};
    TempDir dir;
    std::string path = dir.file("broken.sf2");
    write_file_bytes(path, {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'j', 'u', 'n', 'k'});
    SynthOptions options;
    options.mode = SynthMode::offline;
    options.soundfont_path = path.c_str();
    EXPECT_EQ(platform_synth_start(options), SynthStart::soundfont_unreadable);
    EXPECT_FALSE(platform_synth_running());
    EXPECT_NE(std::string(platform_synth_message()).find(path), std::string::npos);
    EXPECT_EQ(std::string(platform_synth_status_text()),
              "Sound font unreadable: ZB47 Synth is off");
    EXPECT_EQ(port_names(), (std::vector<std::string>{"virtual port"}));
}

TEST_F(SynthPort, WithoutAudioOutputThePortStaysAndSaysItIsSilent) {
    g_headless_midi.out_names = {"virtual port"};
    SynthOptions options;
    SynthStart started = platform_synth_start(options);
    if (started == SynthStart::no_soundfont) {
        GTEST_SKIP() << "no General MIDI sound font installed";
    }
    if (started == SynthStart::sounding) {
        GTEST_SKIP() << "this machine has an audio output";
    }
    ASSERT_EQ(started, SynthStart::no_audio_output);
    EXPECT_TRUE(platform_synth_running());
    EXPECT_EQ(std::string(platform_synth_status_text()), "No audio output: ZB47 Synth is silent");
    EXPECT_EQ(port_names(), (std::vector<std::string>{"virtual port", SYNTH_PORT_NAME}));
    // Sends to the silent port go nowhere, and the virtual port still plays.
    ASSERT_TRUE(platform_midi_out_open(1));
    for (int i = 0; i < 100000; i++) {
        send({0x90, 60, 100}, 1);
    }
    EXPECT_EQ(platform_synth_dropped(), 0u);
    send({0x90, 61, 100}, 0);
    ASSERT_EQ(headless_midi_sent().size(), 1u);
}

TEST_F(SynthPort, ANoteSentIsHeardAndEndsWhenThePortCloses) {
    if (!offline_start()) {
        GTEST_SKIP() << "no General MIDI sound font installed";
    }
    ASSERT_TRUE(platform_midi_out_open(0));
    EXPECT_LE(loudest(50), SILENT);
    send({0xB0, 91, 0}); // no reverb, so the end is quick
    send({0x90, 60, 110});
    EXPECT_GT(loudest(200), 1000);
    platform_midi_out_close(0);
    loudest(1000); // the release
    EXPECT_LE(loudest(100), SILENT);
}

TEST_F(SynthPort, GsResetAndUnknownExclusiveMessagesLeaveItPlaying) {
    if (!offline_start()) {
        GTEST_SKIP() << "no General MIDI sound font installed";
    }
    ASSERT_TRUE(platform_midi_out_open(0));
    send({0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, 0x41, 0xF7}); // GS reset
    send({0xF0, 0x43, 0x10, 0x4C, 0x00, 0x00, 0x7E, 0x00, 0xF7});             // XG on
    send({0xF0, 0x7D, 0x01, 0x02, 0x03, 0xF7});                               // nobody's
    send({0xF0, 0x41, 0xF7});                                                 // cut short
    EXPECT_TRUE(platform_midi_out_long_done(0));
    send({0x99, 38, 110}); // a snare on the drum channel
    EXPECT_GT(loudest(200), 1000);
    EXPECT_EQ(platform_synth_dropped(), 0u);
}

} // namespace
