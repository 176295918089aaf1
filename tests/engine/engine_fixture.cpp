// Engine test fixture.
#include "tests/engine/engine_fixture.h"

void EngineFixture::SetUp() {
    SongFixture::SetUp();
    settings_apply();
    g_headless.clock_driven = true;
    g_headless.clock_ms = 1000;
    reopen_devices(1);
    position_reset();
}

void EngineFixture::TearDown() {
    engine_devices_close();
    headless_midi_reset();
}

void EngineFixture::reopen_devices(int outputs, bool mapper) {
    engine_devices_close();
    g_headless_midi.out_names.clear();
    for (int i = 0; i < outputs; i++) {
        g_headless_midi.out_names.push_back("Synth " + std::to_string(i + 1));
    }
    g_headless_midi.mapper = mapper;
    g_headless_midi.in_names = {"Keyboard"};
    engine_devices_open();
    clear_sent();
}

void EngineFixture::load_song(const std::vector<Bytes>& tracks, uint16_t division) {
    ASSERT_EQ(load_bytes(smf_file(1, division, tracks)), SongLoadResult::loaded);
    position_reset();
    clear_sent();
}

void EngineFixture::run_ms(uint32_t ms) {
    for (uint32_t i = 0; i < ms; i++) {
        g_headless.clock_ms++;
        frame_routine();
    }
}

void EngineFixture::run_frames(int frames) {
    for (int i = 0; i < frames; i++) {
        frame_routine();
    }
}

std::vector<Bytes> EngineFixture::sent(bool with_realtime) const {
    std::vector<Bytes> out;
    for (const HeadlessMidiMessage& m : headless_midi_sent()) {
        if (!with_realtime && m.bytes.size() == 1 && m.bytes[0] >= 0xF8) {
            continue;
        }
        out.push_back(m.bytes);
    }
    return out;
}

void EngineFixture::feed(std::initializer_list<uint8_t> message) {
    uint32_t packed = 0;
    int shift = 0;
    for (uint8_t b : message) {
        packed |= static_cast<uint32_t>(b) << shift;
        shift += 8;
    }
    headless_midi_feed_short(packed);
}

void EngineFixture::feed_long(const Bytes& bytes) {
    headless_midi_feed_long(bytes.data(), static_cast<uint32_t>(bytes.size()));
}
