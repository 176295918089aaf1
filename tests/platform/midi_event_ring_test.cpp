// The synthesizer's hand-over ring: whole messages in order across the wrap, refusals counted,
// and one sending thread against one taking thread.
#include "platform/midi_event_ring.h"

#include <gtest/gtest.h>

#include <memory>
#include <thread>
#include <vector>

namespace {

std::unique_ptr<MidiEventRing> fresh_ring() {
    auto ring = std::make_unique<MidiEventRing>();
    midi_event_ring_reset(*ring);
    return ring;
}

std::vector<uint8_t> take(MidiEventRing& ring) {
    uint8_t out[MIDI_EVENT_MAX_BYTES];
    uint32_t length = midi_event_ring_take(ring, out);
    return {out, out + length};
}

TEST(MidiEventRing, MessagesComeOutWholeAndInOrder) {
    auto ring = fresh_ring();
    std::vector<uint8_t> note{0x90, 60, 100};
    std::vector<uint8_t> program{0xC9, 0};
    std::vector<uint8_t> gs_reset{0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, 0x41, 0xF7};
    ASSERT_TRUE(midi_event_ring_put(*ring, note.data(), 3));
    ASSERT_TRUE(midi_event_ring_put(*ring, program.data(), 2));
    ASSERT_TRUE(midi_event_ring_put(*ring, gs_reset.data(), 11));
    EXPECT_EQ(take(*ring), note);
    EXPECT_EQ(take(*ring), program);
    EXPECT_EQ(take(*ring), gs_reset);
    EXPECT_TRUE(take(*ring).empty());
}

// Across many wraps of the ring, so that records split at its end keep their due frames too.
TEST(MidiEventRing, EachMessageKeepsItsDueFrame) {
    auto ring = fresh_ring();
    for (int64_t i = 0; i < 20000; i++) {
        int64_t due = i * 44101 + (i % 3 == 0 ? int64_t{1} << 40 : 0);
        uint8_t note[3] = {0x90, static_cast<uint8_t>(i & 0x7F), 100};
        ASSERT_TRUE(midi_event_ring_put(*ring, note, 1 + static_cast<uint32_t>(i % 3), due));
        uint8_t out[MIDI_EVENT_MAX_BYTES];
        int64_t got = -1;
        ASSERT_EQ(midi_event_ring_take(*ring, out, &got), 1 + static_cast<uint32_t>(i % 3));
        ASSERT_EQ(got, due) << i;
        ASSERT_EQ(out[0], 0x90);
    }
}

TEST(MidiEventRing, AFullRingRefusesAndCountsWhatItDrops) {
    auto ring = fresh_ring();
    uint8_t note[3] = {0x90, 60, 100};
    // Two length bytes, eight bytes of due frame and three message bytes.
    uint32_t fitting = MIDI_EVENT_RING_BYTES / 13;
    for (uint32_t i = 0; i < fitting; i++) {
        ASSERT_TRUE(midi_event_ring_put(*ring, note, 3)) << i;
    }
    EXPECT_FALSE(midi_event_ring_put(*ring, note, 3));
    EXPECT_EQ(ring->dropped.load(), 1u);
    EXPECT_EQ(take(*ring), std::vector<uint8_t>(note, note + 3));
    EXPECT_TRUE(midi_event_ring_put(*ring, note, 3)); // room again
}

TEST(MidiEventRing, ATooLongMessageIsDropped) {
    auto ring = fresh_ring();
    std::vector<uint8_t> long_sysex(MIDI_EVENT_MAX_BYTES + 1, 0x10);
    long_sysex.front() = 0xF0;
    long_sysex.back() = 0xF7;
    EXPECT_FALSE(
        midi_event_ring_put(*ring, long_sysex.data(), static_cast<uint32_t>(long_sysex.size())));
    EXPECT_EQ(ring->dropped.load(), 1u);
    EXPECT_TRUE(take(*ring).empty());
}

// Run under ThreadSanitizer too: the counters publish the bytes between the two threads.
TEST(MidiEventRing, ASenderAndATakerOnTwoThreadsLoseAndReorderNothing) {
    auto ring = fresh_ring();
    constexpr int MESSAGES = 200000;
    std::thread sender([&ring] {
        for (int i = 0; i < MESSAGES; i++) {
            uint8_t bend[3] = {0xE0, static_cast<uint8_t>(i & 0x7F),
                               static_cast<uint8_t>((i >> 7) & 0x7F)};
            while (!midi_event_ring_put(*ring, bend, 3)) {
                std::this_thread::yield();
            }
        }
    });
    int next = 0;
    while (next < MESSAGES) {
        std::vector<uint8_t> got = take(*ring);
        if (got.empty()) {
            std::this_thread::yield();
            continue;
        }
        ASSERT_EQ(got, (std::vector<uint8_t>{0xE0, static_cast<uint8_t>(next & 0x7F),
                                             static_cast<uint8_t>((next >> 7) & 0x7F)}));
        next++;
    }
    sender.join();
    EXPECT_TRUE(take(*ring).empty());
}

} // namespace
