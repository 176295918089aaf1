// Writes the SMF test corpus: tests/data/invalid/<defect-name>/*.mid, files that have
// broken MIDI readers, and tests/data/valid/*.mid. Run from the source root after changing
// it; the files are committed.
#include "tests/support/smf_builder.h"
#include "tests/support/smf_random.h"

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

void put(const std::string& dir, const std::string& name, const Bytes& bytes) {
    std::filesystem::create_directories(dir);
    std::string path = dir + "/" + name;
    FILE* f = fopen(path.c_str(), "wb");
    if (f == nullptr) {
        perror(path.c_str());
        return;
    }
    if (!bytes.empty()) {
        fwrite(bytes.data(), 1, bytes.size(), f);
    }
    fclose(f);
}

void invalid(const std::string& defect, const std::string& name, const Bytes& bytes) {
    put("tests/data/invalid/" + defect, name, bytes);
}

Bytes notes() {
    return concat({ev(0, {0x90, 60, 100}), ev(480, {0x80, 60, 0})});
}

Bytes with_length(Bytes chunk, uint32_t length) {
    chunk[4] = static_cast<uint8_t>(length >> 24);
    chunk[5] = static_cast<uint8_t>(length >> 16);
    chunk[6] = static_cast<uint8_t>(length >> 8);
    chunk[7] = static_cast<uint8_t>(length);
    return chunk;
}

} // namespace

int main() {
    Bytes good =
        smf_file(1, 480, {concat({notes(), end_of_track()}), concat({notes(), end_of_track()})});
    for (size_t n : {0, 1, 4, 8, 13, 24}) {
        invalid("short-file", std::to_string(n) + "-bytes.mid",
                Bytes(good.begin(), good.begin() + static_cast<long>(n)));
    }
    for (uint32_t length : {0u, 2u, 5u}) {
        Bytes file = good;
        file[7] = static_cast<uint8_t>(length);
        invalid("header-length-below-6", "length-" + std::to_string(length) + ".mid", file);
    }
    invalid("header-length-past-end", "huge-header.mid", with_length(good, 0x7FFFFFFF));
    {
        Bytes file = good;
        file[10] = 0;
        file[11] = 0;
        invalid("track-count-zero", "zero-tracks.mid", file);
        file[10] = 0;
        file[11] = 65;
        invalid("track-count-above-64", "65-announced-2-present.mid", file);
        file[10] = 0xFF;
        file[11] = 0xFF;
        invalid("track-count-above-64", "65535-announced.mid", file);
    }
    {
        Bytes file = good;
        file[12] = 0;
        file[13] = 0;
        invalid("division-zero", "division-0.mid", file);
        file[12] = 0xE7;
        file[13] = 0x28;
        invalid("division-smpte", "smpte-25fps.mid", file);
        file[12] = 0;
        file[13] = 1;
        invalid("division-tiny", "division-1.mid", file);
    }
    {
        Bytes track = track_chunk(concat({notes(), end_of_track()}));
        invalid("chunk-past-end", "second-track-cut.mid",
                concat({header_chunk(1, 2, 480), track, Bytes(track.begin(), track.end() - 5)}));
        invalid("chunk-past-end", "length-claims-more.mid",
                concat({header_chunk(1, 2, 480), track, with_length(track, 5000)}));
        invalid("chunk-length-2-28", "length-0x10000000.mid",
                concat({header_chunk(1, 2, 480), track, with_length(track, 0x10000000)}));
        invalid("chunk-length-2-28", "length-0xFFFFFFFF.mid",
                concat({header_chunk(1, 2, 480), with_length(track, 0xFFFFFFFF), track}));
        invalid("chunk-length-2-28", "length-wraps-32-bits.mid",
                concat({header_chunk(1, 2, 480), with_length(track, 0xFFFFFFF8), track}));
    }
    invalid("vlq-over-4-bytes", "delta-5-bytes.mid",
            smf_file(
                0, 480,
                {concat({notes(), Bytes{0x81, 0x80, 0x80, 0x80, 0x00, 0xC0, 1}, end_of_track()})}));
    invalid("vlq-over-4-bytes", "meta-length-5-bytes.mid",
            smf_file(
                0, 480,
                {concat({Bytes{0x00, 0xFF, 0x01, 0x81, 0x80, 0x80, 0x80, 0x00}, end_of_track()})}));
    invalid("data-before-status", "first-event-data.mid",
            smf_file(0, 480, {concat({ev(0, {60, 100}), ev(10, {60, 0}), end_of_track()})}));
    invalid("data-before-status", "data-after-meta.mid",
            smf_file(0, 480, {concat({meta_text(0, 3, "x"), ev(0, {60, 100}), end_of_track()})}));
    invalid(
        "sysex-length-past-chunk", "sysex-claims-1000.mid",
        smf_file(0, 480, {concat({notes(), ev(0, {0xF0, 0x87, 0x68, 1, 2, 3}), end_of_track()})}));
    invalid("meta-length-past-chunk", "meta-claims-127.mid",
            smf_file(0, 480, {concat({ev(0, {0xFF, 0x03, 0x7F, 'a', 'b'}), end_of_track()})}));
    invalid("meta-length-past-chunk", "tempo-claims-0x0FFFFFFF.mid",
            smf_file(0, 480,
                     {concat({ev(0, {0xFF, 0x51, 0xFF, 0xFF, 0xFF, 0x7F, 7, 0xA1, 0x20}),
                              end_of_track()})}));
    invalid("missing-end-of-track", "no-end.mid", smf_file(1, 480, {notes(), notes()}));
    invalid("missing-end-of-track", "empty-chunk.mid", smf_file(1, 480, {Bytes{}, notes()}));
    {
        Bytes events;
        for (int i = 0; i < 12; i++) {
            events = concat({events, ev(0x0FFFFFFF, {0x90, 60, 100}), ev(0, {0x80, 60, 0})});
        }
        invalid("tick-overflow", "twelve-max-deltas.mid",
                smf_file(0, 480, {concat({events, end_of_track()})}));
        invalid("tick-overflow", "end-after-max-deltas.mid",
                smf_file(1, 480, {end_of_track(), concat({events, end_of_track(0x0FFFFFFF)})}));
    }
    invalid("broken-meta-values", "tempo-zero-and-short.mid",
            smf_file(0, 480,
                     {concat({tempo_event(0, 0), meta(0, 0x51, {1}), notes(), end_of_track()})}));
    invalid("broken-meta-values", "signature-power-200.mid",
            smf_file(0, 480,
                     {concat({meta(0, 0x58, {3, 200, 24, 8}), meta(0, 0x58, {0}), notes(),
                              end_of_track()})}));
    invalid("broken-meta-values", "signature-numerator-0.mid",
            smf_file(0, 1, {concat({time_signature(0, 0, 7), notes(), end_of_track(5000)})}));
    invalid("system-status-bytes", "f1-to-fe.mid",
            smf_file(0, 480,
                     {concat({ev(0, {0xF1, 0x01, 0x00}), ev(0, {0xF8, 0x00}),
                              ev(0, {0xFE, 0x02, 1, 2}), notes(), end_of_track()})}));

    put("tests/data/valid", "format0.mid", random_smf(1, {.format = 0, .tracks = 1}));
    put("tests/data/valid", "format1-16-tracks.mid",
        random_smf(2, {.tracks = 16, .events_per_track = 40}));
    put("tests/data/valid", "division-96.mid", random_smf(3, {.division = 96}));
    put("tests/data/valid", "header-10-bytes.mid", random_smf(4, {.header_length = 10}));
    put("tests/data/valid", "trailing-chunks.mid", random_smf(5, {.trailing_chunks = 2}));
    return 0;
}
