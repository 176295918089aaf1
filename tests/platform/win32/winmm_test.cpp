// The winmm MIDI ports on whatever devices the system has (Wine often has none): counting,
// names and opening never crash, a missing device is refused cleanly, and a present one takes
// short and long messages and closes.
#include "platform/win32/win32_gui.h"
#include "songcore/midi_bytes.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

const PlatformMidiBackend& midi = WINMM_MIDI_BACKEND;

TEST(Win32Winmm, DevicesCountAndNameWithinTheirLimits) {
    int outs = midi.out_count();
    int ins = midi.in_count();
    EXPECT_GE(outs, 0);
    EXPECT_LE(outs, 8);
    EXPECT_GE(ins, 0);
    EXPECT_LE(ins, 8);
    char name[32];
    for (int d = 0; d < outs; d++) {
        memset(name, 'x', sizeof name);
        if (midi.out_name(d, name, sizeof name)) {
            EXPECT_LT(strlen(name), sizeof name);
        }
    }
    for (int d = 0; d < ins; d++) {
        memset(name, 'x', sizeof name);
        if (midi.in_name(d, name, sizeof name)) {
            EXPECT_LT(strlen(name), sizeof name);
        }
    }
    // Devices beyond the count have no name and do not open.
    EXPECT_FALSE(midi.out_name(outs, name, sizeof name));
    EXPECT_FALSE(midi.out_open(8));
    EXPECT_FALSE(midi.out_name(-2, name, sizeof name));
    std::printf("winmm: %d output and %d input devices, mapper %s\n", outs, ins,
                midi.mapper_available() ? "probed" : "not there");
}

TEST(Win32Winmm, NoDeviceMeansRefusalsNotCrashes) {
    int outs = midi.out_count();
    uint8_t note[3] = {STATUS_NOTE_ON, 60, 100};
    uint8_t sysex[6] = {STATUS_EXCLUSIVE, 0x7E, 0x7F, 0x09, 0x01, STATUS_EXCLUSIVE_END};
    // A device that is not open takes nothing and is never busy.
    midi.out_short(outs, note, 3);
    EXPECT_FALSE(midi.out_long(outs, sysex, sizeof sysex));
    EXPECT_TRUE(midi.out_long_done(outs));
    midi.out_close(outs);
    MidiInCallbacks callbacks{};
    EXPECT_NE(midi.in_open(midi.in_count(), callbacks), 0);
    EXPECT_NE(midi.in_open(-1, callbacks), 0);
    midi.in_close();
    midi.in_close(); // twice is harmless
}

TEST(Win32Winmm, AnOpenDeviceTakesShortAndLongMessages) {
    if (midi.out_count() < 1 || !midi.out_open(0)) {
        GTEST_SKIP() << "no MIDI output device";
    }
    uint8_t note_on[3] = {STATUS_NOTE_ON, 60, 100};
    uint8_t note_off[3] = {STATUS_NOTE_OFF, 60, 0};
    midi.out_short(0, note_on, 3);
    midi.out_short(0, note_off, 3);
    std::vector<uint8_t> too_long(102401, 0);
    too_long.front() = STATUS_EXCLUSIVE;
    too_long.back() = STATUS_EXCLUSIVE_END;
    EXPECT_FALSE(midi.out_long(0, too_long.data(), static_cast<uint32_t>(too_long.size())));
    uint8_t reset[6] = {STATUS_EXCLUSIVE, 0x7E, 0x7F, 0x09, 0x01, STATUS_EXCLUSIVE_END};
    EXPECT_TRUE(midi.out_long(0, reset, sizeof reset));
    midi.out_close(0);
    EXPECT_TRUE(midi.out_long_done(0));
}

TEST(Win32Winmm, AnInputDeviceOpensAndCloses) {
    if (midi.in_count() < 1) {
        GTEST_SKIP() << "no MIDI input device";
    }
    MidiInCallbacks callbacks{[](uint32_t) {}, [](const uint8_t*, uint32_t) {}};
    int status = midi.in_open(0, callbacks);
    std::printf("winmm: input device 0 opened with status %d\n", status);
    midi.in_close();
    // Reopening after a close works the same way.
    EXPECT_EQ(midi.in_open(0, callbacks), status);
    midi.in_close();
}

} // namespace
