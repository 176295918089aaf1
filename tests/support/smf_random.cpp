// Random well-formed SMFs.
#include "tests/support/smf_random.h"

#include <random>
#include <string>

namespace {

struct Gen {
    std::mt19937 rng;
    explicit Gen(uint32_t seed) : rng(seed) {}
    int range(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }
};

void append(Bytes& out, const Bytes& part) {
    out.insert(out.end(), part.begin(), part.end());
}

// Appends events; returns the track's last tick.
uint32_t fill_events(Gen& g, Bytes& out, int count) {
    uint32_t tick = 0;
    uint8_t running = 0;
    for (int i = 0; i < count; i++) {
        uint32_t delta = static_cast<uint32_t>(g.range(0, 3) == 0 ? 0 : g.range(1, 500));
        if (g.range(0, 60) == 0) {
            delta = static_cast<uint32_t>(g.range(20000, 300000)); // multi-byte deltas
        }
        tick += delta;
        int kind = g.range(0, 19);
        uint8_t channel = static_cast<uint8_t>(g.range(0, 15));
        if (kind < 12) {
            uint8_t status = static_cast<uint8_t>((g.range(0, 2) == 0 ? 0x80 : 0x90) | channel);
            if (g.range(0, 3) != 0 && running >= 0x80 && running < 0xC0) {
                status = running; // keep running status alive
            }
            Bytes e = vlq_bytes(delta);
            if (status != running) {
                e.push_back(status);
            }
            e.push_back(static_cast<uint8_t>(g.range(0, 127)));
            e.push_back(static_cast<uint8_t>(g.range(0, 127)));
            append(out, e);
            running = status;
        } else if (kind < 14) {
            uint8_t status = static_cast<uint8_t>(0xB0 | channel);
            append(out, ev(delta, {status, static_cast<uint8_t>(g.range(0, 127)),
                                   static_cast<uint8_t>(g.range(0, 127))}));
            running = status;
        } else if (kind == 14) {
            uint8_t status = static_cast<uint8_t>((g.range(0, 1) ? 0xC0 : 0xD0) | channel);
            append(out, ev(delta, {status, static_cast<uint8_t>(g.range(0, 127))}));
            running = status;
        } else if (kind == 15) {
            append(out, ev(delta, {static_cast<uint8_t>(0xE0 | channel),
                                   static_cast<uint8_t>(g.range(0, 127)),
                                   static_cast<uint8_t>(g.range(0, 127))}));
            running = static_cast<uint8_t>(0xE0 | channel);
        } else if (kind == 16) {
            // Exclusive long enough for a two-byte length.
            int n = g.range(1, 300);
            Bytes e = vlq_bytes(delta);
            e.push_back(0xF0);
            append(e, vlq_bytes(static_cast<uint32_t>(n)));
            for (int k = 0; k < n - 1; k++) {
                e.push_back(static_cast<uint8_t>(g.range(0, 127)));
            }
            e.push_back(0xF7);
            append(out, e);
        } else if (kind == 17) {
            append(out, tempo_event(delta, static_cast<uint32_t>(g.range(200000, 1500000))));
        } else if (kind == 18) {
            append(out, meta_text(delta, static_cast<uint8_t>(g.range(1, 7)),
                                  "\x83\x65\x83\x58\x83\x67 text")); // テスト
        } else {
            append(out, meta(delta, 0x7F, {0x43, 0x7B, 0x01, 0x31, 0x00, 0x7F, 0x7F}));
        }
    }
    return tick;
}

} // namespace

Bytes random_track_events(uint32_t seed, int events, uint32_t end_tick_at_least) {
    Gen g(seed);
    Bytes out;
    uint32_t tick = fill_events(g, out, events);
    append(out, end_of_track(end_tick_at_least > tick ? end_tick_at_least - tick : 0));
    return out;
}

Bytes random_smf(uint32_t seed, const RandomSmfOptions& o) {
    Gen g(seed);
    Bytes file =
        header_chunk(o.format, static_cast<uint16_t>(o.tracks), o.division, o.header_length);
    std::vector<Bytes> tracks(static_cast<size_t>(o.tracks));
    uint32_t longest = 0;
    std::vector<uint32_t> ends(tracks.size());
    for (size_t t = 0; t < tracks.size(); t++) {
        if (t == 0) {
            append(tracks[t], meta_text(0, 3, "\x83\x5c\x83\x93\x83\x4f Song")); // ソング
            append(tracks[t], time_signature(0, 3, 2));
            append(tracks[t], tempo_event(0, 500000));
        }
        ends[t] = fill_events(g, tracks[t], o.events_per_track);
        longest = ends[t] > longest ? ends[t] : longest;
    }
    for (size_t t = 0; t < tracks.size(); t++) {
        uint32_t extra = t == 0 ? longest - ends[t] + static_cast<uint32_t>(g.range(0, 99)) : 0;
        append(tracks[t], end_of_track(extra));
        append(file, track_chunk(tracks[t]));
    }
    for (int i = 0; i < o.trailing_chunks; i++) {
        Bytes chunk = {'X', 'F', 'K', 'M', 0, 0, 0, 3, 1, 2, 3};
        append(file, chunk);
    }
    return file;
}
