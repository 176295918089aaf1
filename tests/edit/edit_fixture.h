// Common start for the editing command tests: a clean song store and edit state, and
// builders for the small songs the tests edit.
#pragma once

#include "sequencer/edit/edit.h"
#include "tests/support/song_fixture.h"

#include <string>

class EditFixture : public SongFixture {
protected:
    void reset_all() override { edit_reset_all(); }
    // Loads a song of time base 480 whose track 1 holds tempo 120, 4/4 and ends after
    // `measures` whole measures, followed by the given tracks.
    void load_song(int measures, const std::vector<Bytes>& tracks, uint16_t division = 480) {
        std::vector<Bytes> all = {conductor(measures, division)};
        all.insert(all.end(), tracks.begin(), tracks.end());
        ASSERT_EQ(load_bytes(smf_file(1, division, all)), SongLoadResult::loaded);
    }
    static Bytes conductor(int measures, uint16_t division = 480) {
        return concat({tempo_event(0, 500000), time_signature(0, 4, 2),
                       end_of_track(static_cast<uint32_t>(measures) * division * 4)});
    }
    static int status_count(const std::string& text) {
        int n = 0;
        for (const std::string& s : g_headless.status_texts) {
            n += s == text ? 1 : 0;
        }
        return n;
    }
};

// Note events with explicit status, as the rewrites write them.
inline Bytes on(uint32_t delta, uint8_t note, uint8_t velocity = 100, uint8_t channel = 0) {
    return ev(delta, {static_cast<uint8_t>(0x90 | channel), note, velocity});
}
inline Bytes off(uint32_t delta, uint8_t note, uint8_t channel = 0) {
    return ev(delta, {static_cast<uint8_t>(0x80 | channel), note, 0});
}
// The note-off the rewrites write when they close a note themselves.
inline Bytes on0(uint32_t delta, uint8_t note, uint8_t channel = 0) {
    return ev(delta, {static_cast<uint8_t>(0x90 | channel), note, 0});
}
