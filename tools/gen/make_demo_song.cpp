// Writes resources/demo.mid, the kit's own short demo song: eight bars of melody, chords,
// bass and drums on General MIDI. Run from the source root.
#include "tests/support/smf_builder.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr uint32_t Q = 480; // ticks per quarter note

struct Note {
    uint32_t start; // in eighth notes
    uint32_t length;
    uint8_t key;
};

// Notes to events on one channel: note-ons and note-offs sorted by time.
Bytes notes_track(const char* name, uint8_t channel, uint8_t program, uint8_t velocity,
                  const std::vector<Note>& notes) {
    struct Edge {
        uint32_t tick;
        bool on;
        uint8_t key;
    };
    std::vector<Edge> edges;
    for (const Note& n : notes) {
        edges.push_back({n.start * Q / 2, true, n.key});
        edges.push_back({(n.start + n.length) * Q / 2 - 10, false, n.key});
    }
    std::stable_sort(edges.begin(), edges.end(), [](const Edge& a, const Edge& b) {
        return a.tick < b.tick || (a.tick == b.tick && !a.on && b.on);
    });
    Bytes out =
        concat({meta_text(0, 3, name), ev(0, {static_cast<uint8_t>(0xC0 | channel), program}),
                ev(0, {static_cast<uint8_t>(0xB0 | channel), 7, 100})});
    uint32_t tick = 0;
    for (const Edge& e : edges) {
        uint8_t status = static_cast<uint8_t>((e.on ? 0x90 : 0x80) | channel);
        out = concat({out, ev(e.tick - tick, {status, e.key, e.on ? velocity : uint8_t{0}})});
        tick = e.tick;
    }
    return concat({out, end_of_track(64 * Q / 2 - tick)});
}

} // namespace

int main() {
    // C - Am - F - G, twice.
    const uint8_t roots[8] = {48, 45, 41, 43, 48, 45, 41, 43};
    const uint8_t thirds[8] = {4, 3, 4, 4, 4, 3, 4, 4};
    std::vector<Note> melody = {
        {0, 2, 72},  {2, 1, 74},  {3, 1, 76},  {4, 4, 79},  {8, 2, 76},  {10, 2, 72}, {12, 4, 69},
        {16, 2, 69}, {18, 1, 71}, {19, 1, 72}, {20, 4, 77}, {24, 2, 74}, {26, 2, 71}, {28, 4, 67},
        {32, 2, 72}, {34, 1, 74}, {35, 1, 76}, {36, 4, 79}, {40, 2, 81}, {42, 2, 79}, {44, 4, 76},
        {48, 2, 77}, {50, 2, 76}, {52, 2, 74}, {54, 2, 71}, {56, 8, 72}};
    std::vector<Note> chords;
    std::vector<Note> bass;
    std::vector<Note> drums;
    for (uint32_t bar = 0; bar < 8; bar++) {
        uint8_t root = roots[bar];
        for (uint8_t k :
             {static_cast<uint8_t>(root + 12), static_cast<uint8_t>(root + 12 + thirds[bar]),
              static_cast<uint8_t>(root + 19)}) {
            chords.push_back({bar * 8, 8, k});
        }
        bass.push_back({bar * 8, 3, static_cast<uint8_t>(root - 12)});
        bass.push_back({bar * 8 + 3, 1, static_cast<uint8_t>(root - 12)});
        bass.push_back({bar * 8 + 4, 4, static_cast<uint8_t>(root - 5)});
        for (uint32_t e = 0; e < 8; e++) {
            drums.push_back({bar * 8 + e, 1, 42});
        }
        drums.push_back({bar * 8, 1, 36});
        drums.push_back({bar * 8 + 4, 1, 36});
        drums.push_back({bar * 8 + 2, 1, 38});
        drums.push_back({bar * 8 + 6, 1, 38});
    }
    Bytes conductor = concat({meta_text(0, 3, "ZB47 Demo"), time_signature(0, 4, 2),
                              tempo_event(0, 500000), end_of_track(64 * Q / 2)});
    Bytes file =
        smf_file(1, Q,
                 {conductor, notes_track("Melody", 0, 73, 100, melody),
                  notes_track("Chords", 1, 4, 70, chords), notes_track("Bass", 2, 33, 95, bass),
                  notes_track("Drums", 9, 0, 90, drums)});
    FILE* f = fopen("resources/demo.mid", "wb");
    if (f == nullptr) {
        perror("resources/demo.mid");
        return 1;
    }
    fwrite(file.data(), 1, file.size(), f);
    fclose(f);
    return 0;
}
