// The built-in synthesizer's port among the backend's ports: where it is numbered, what each
// failure to start says, that what it is sent is heard (offline, so no device is needed), and
// that offline each message starts at the block boundary nearest the frame it is due at.
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

constexpr int SILENT = 2; // dither noise

// The due frame the test gives the next message sent.
int64_t g_due_frame = 0;

int64_t due_frame_given() {
    return g_due_frame;
}

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
    bool offline_start(int64_t (*due_frame)() = nullptr) {
        SynthOptions options;
        options.mode = SynthMode::offline;
        options.due_frame = due_frame;
        return platform_synth_start(options) == SynthStart::offline;
    }
    // The first frame of the next `frames` whose sample is above the dither noise, or -1.
    int first_sounding(int frames) {
        std::vector<int16_t> samples(static_cast<size_t>(frames) * 2);
        EXPECT_TRUE(platform_synth_render(samples.data(), frames));
        for (int frame = 0; frame < frames; frame++) {
            if (abs(samples[2 * frame]) > SILENT || abs(samples[2 * frame + 1]) > SILENT) {
                return frame;
            }
        }
        return -1;
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

// Notes due a few frames either side of the middle of a block (frame 1024 + 32) start at the
// nearer boundary; one due in frames already written starts at the next boundary.
TEST_F(SynthPort, OfflineEachMessageStartsAtTheBlockBoundaryNearestItsDueFrame) {
    if (!offline_start(due_frame_given)) {
        GTEST_SKIP() << "no General MIDI sound font installed";
    }
    ASSERT_TRUE(platform_midi_out_open(0));
    send({0xB0, 91, 0}); // no reverb or chorus, so each note ends before the next
    send({0xB0, 93, 0});
    struct Case {
        int64_t due;
        int64_t starts;
    };
    const Case cases[] = {{1024 + 31, 1024}, {1024 + 33, 1088}, {1024 - 20, 1024}};
    int64_t rendered = 0;
    for (const Case& c : cases) {
        g_due_frame = rendered + c.due;
        send({0x90, 72, 110});
        g_due_frame = rendered + c.due + 8000;
        send({0x80, 72, 0});
        // Up to the note's start, then into it; then its end and the release die away.
        // The attack rises from nothing: the first sample above the noise comes a little after
        // (less than half a block, so a note in the wrong block would show).
        int first = first_sounding(2048);
        EXPECT_GE(first, c.starts) << "due " << c.due;
        EXPECT_LT(first, c.starts + SYNTH_BLOCK_FRAMES / 2) << "due " << c.due;
        rendered += 2048;
        constexpr int REST = SYNTH_BLOCK_FRAMES * 1400; // two seconds
        std::vector<int16_t> rest(static_cast<size_t>(REST) * 2);
        ASSERT_TRUE(platform_synth_render(rest.data(), REST));
        rendered += REST;
        ASSERT_EQ(first_sounding(64), -1) << "due " << c.due;
        rendered += 64;
    }
    // Due already: at the next boundary after the 100 frames written.
    EXPECT_EQ(first_sounding(100), -1);
    rendered += 100;
    g_due_frame = 0;
    send({0x90, 72, 110});
    int64_t next_boundary =
        (rendered + SYNTH_BLOCK_FRAMES - 1) / SYNTH_BLOCK_FRAMES * SYNTH_BLOCK_FRAMES;
    int first = first_sounding(1000);
    EXPECT_GE(first, next_boundary - rendered);
    EXPECT_LT(first, next_boundary - rendered + SYNTH_BLOCK_FRAMES / 2);
}

} // namespace
