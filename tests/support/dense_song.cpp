// The dense 16-channel song.
#include "tests/support/dense_song.h"

Bytes dense_song(uint32_t beats, uint32_t usec_per_quarter, uint32_t steps_per_beat) {
    uint32_t step = DENSE_SONG_DIVISION / steps_per_beat;
    std::vector<Bytes> tracks;
    tracks.push_back(
        concat({tempo_event(0, usec_per_quarter), end_of_track(beats * DENSE_SONG_DIVISION)}));
    for (uint8_t channel = 0; channel < 16; channel++) {
        Bytes events =
            ev(0, {static_cast<uint8_t>(0xC0 | channel), static_cast<uint8_t>(channel * 8)});
        for (uint32_t s = 0; s < beats * steps_per_beat; s++) {
            uint8_t key = channel == 9 ? static_cast<uint8_t>(35 + s % 12)
                                       : static_cast<uint8_t>(36 + (s * 7 + channel * 5) % 48);
            Bytes on = ev(s == 0 ? 0 : step / 2, {static_cast<uint8_t>(0x90 | channel), key, 90});
            Bytes off = ev(step / 2, {static_cast<uint8_t>(0x80 | channel), key, 0});
            events.insert(events.end(), on.begin(), on.end());
            events.insert(events.end(), off.begin(), off.end());
        }
        Bytes end = end_of_track(0);
        events.insert(events.end(), end.begin(), end.end());
        tracks.push_back(events);
    }
    return smf_file(1, DENSE_SONG_DIVISION, tracks);
}
