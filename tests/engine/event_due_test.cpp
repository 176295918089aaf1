// When each event the scheduler sends was due: the tick of the track event inside midi_send,
// and the time the song clock reached that tick, against the tempo map worked out by hand.
#include "tests/engine/engine_fixture.h"

#include "platform/synth_backend.h"

#include <cmath>

namespace {

struct SendSeen {
    int32_t tick;   // g_player.sending_tick during the send
    double due_ms;  // elapsed_ms_at_tick of that tick; 0 for other sends
    double sent_ms; // elapsed time of the frame that sent it
    Bytes bytes;
};

// Filled by the MIDI table the test puts in front of the headless one (test thread only).
struct DueLog {
    const PlatformMidiBackend* inner = nullptr;
    PlatformMidiBackend table{};
    std::vector<SendSeen> seen;
};

DueLog g_due_log;

void seen(const uint8_t* bytes, uint32_t length) {
    SendSeen s;
    s.tick = g_player.sending_tick;
    s.due_ms = s.tick >= 0 ? elapsed_ms_at_tick(s.tick) : 0;
    s.sent_ms = static_cast<double>(g_headless.clock_ms - g_song_clock.clock_origin);
    s.bytes.assign(bytes, bytes + length);
    g_due_log.seen.push_back(s);
}

void seen_short(int device, const uint8_t* bytes, int length) {
    seen(bytes, static_cast<uint32_t>(length));
    g_due_log.inner->out_short(device, bytes, length);
}

bool seen_long(int device, const uint8_t* bytes, uint32_t length) {
    seen(bytes, length);
    return g_due_log.inner->out_long(device, bytes, length);
}

Bytes note_on(uint32_t delta, uint8_t key, uint8_t channel = 0) {
    return ev(delta, {static_cast<uint8_t>(0x90 | channel), key, 100});
}

// Milliseconds from the start to `tick` at 120 BPM, then 100 BPM from tick 960 and 150 BPM
// from tick 1920 (480 ticks a beat).
double tempo_map_ms(uint32_t tick) {
    const uint32_t from[] = {0, 960, 1920};
    const double usec[] = {500000, 600000, 400000};
    double ms = 0;
    for (int i = 0; i < 3; i++) {
        uint32_t to = i < 2 ? from[i + 1] : UINT32_MAX;
        if (tick > from[i]) {
            ms += ((tick < to ? tick : to) - from[i]) * usec[i] / 1000 / 480;
        }
    }
    return ms;
}

class EventDue : public EngineFixture {
protected:
    void SetUp() override {
        EngineFixture::SetUp();
        g_due_log = DueLog{};
        g_due_log.inner = platform_midi_table();
        g_due_log.table = *g_due_log.inner;
        g_due_log.table.out_short = seen_short;
        g_due_log.table.out_long = seen_long;
        platform_midi_table_set(&g_due_log.table);
    }
    void TearDown() override {
        platform_midi_table_set(g_due_log.inner);
        EngineFixture::TearDown();
    }
    // The sends of note-ons, in order (not the velocity-0 ends of sounding notes at the stop).
    static std::vector<SendSeen> note_ons() {
        std::vector<SendSeen> ons;
        for (const SendSeen& s : g_due_log.seen) {
            if ((s.bytes[0] & 0xF0) == 0x90 && s.bytes[2] != 0) {
                ons.push_back(s);
            }
        }
        return ons;
    }
};

const uint32_t NOTE_TICKS[] = {0, 1, 100, 959, 960, 961, 1500, 1919, 1920, 2500};

TEST_F(EventDue, EachTrackEventIsDueAtItsTickOnTheTempoMapThoughSentLater) {
    // The tempo changes on track 1 with a note of their own at 960; the other notes on track
    // 2, some on the very ticks of the changes, so that they go out after the change.
    load_song({concat({tempo_event(0, 500000), tempo_event(960, 600000), note_on(0, 40),
                       tempo_event(960, 400000), end_of_track(1000)}),
               [] {
                   Bytes track;
                   uint32_t at = 0;
                   for (uint32_t tick : NOTE_TICKS) {
                       Bytes on = note_on(tick - at, static_cast<uint8_t>(60 + tick % 20), 1);
                       track.insert(track.end(), on.begin(), on.end());
                       at = tick;
                   }
                   Bytes end = end_of_track(0);
                   track.insert(track.end(), end.begin(), end.end());
                   return track;
               }()});
    transport_start();
    run_ms(3200);
    std::vector<SendSeen> ons = note_ons();
    ASSERT_EQ(ons.size(), std::size(NOTE_TICKS) + 1);
    size_t next = 0;
    for (const SendSeen& s : ons) {
        uint32_t want_tick = s.bytes[1] == 40 ? 960 : NOTE_TICKS[next++];
        EXPECT_EQ(s.tick, static_cast<int32_t>(want_tick));
        EXPECT_NEAR(s.due_ms, tempo_map_ms(want_tick), 1e-6) << "tick " << want_tick;
        // Sent once the clock is past the tick: within a tick (1.25 ms at the slowest tempo)
        // and the next millisecond.
        EXPECT_GE(s.sent_ms, s.due_ms);
        EXPECT_LE(s.sent_ms, s.due_ms + 1.25 + 1.0) << "tick " << want_tick;
    }
}

TEST_F(EventDue, AtDoubleSpeedEachEventIsDueAtHalfItsTime) {
    load_song({concat({tempo_event(0, 500000), note_on(0, 60), note_on(250, 61), note_on(230, 62),
                       end_of_track(10)})});
    speed_factor_set(2);
    transport_start();
    run_ms(400);
    std::vector<SendSeen> ons = note_ons();
    ASSERT_EQ(ons.size(), 3u);
    const uint32_t ticks[] = {0, 250, 480};
    for (size_t i = 0; i < 3; i++) {
        EXPECT_EQ(ons[i].tick, static_cast<int32_t>(ticks[i]));
        EXPECT_NEAR(ons[i].due_ms, ticks[i] * 500.0 / 480 / 2, 1e-6) << i;
    }
}

TEST_F(EventDue, SendsNotFromATrackCarryNoTick) {
    g_settings.slots[SLOT_METRONOME_ON] = 1;
    metronome_messages_build();
    load_song({concat({tempo_event(0, 500000), note_on(10, 60), end_of_track(960)})});
    transport_start();
    run_ms(700);
    transport_stop(true);
    int clicks = 0;
    int notes = 0;
    for (const SendSeen& s : g_due_log.seen) {
        bool from_track = s.bytes == Bytes{0x90, 60, 100};
        notes += from_track;
        clicks += s.bytes[0] == 0x99;
        EXPECT_EQ(s.tick, from_track ? 10 : -1) << ::testing::PrintToString(s.bytes);
    }
    EXPECT_EQ(notes, 1);
    EXPECT_GT(clicks, 0);
}

} // namespace
