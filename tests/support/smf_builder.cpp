// SMF byte builders for tests.
#include "tests/support/smf_builder.h"

Bytes vlq_bytes(uint32_t value) {
    Bytes groups;
    do {
        groups.insert(groups.begin(), static_cast<uint8_t>(value & 0x7F));
        value >>= 7;
    } while (value != 0);
    for (size_t i = 0; i + 1 < groups.size(); i++) {
        groups[i] |= 0x80;
    }
    return groups;
}

static void put_be32(Bytes& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<uint8_t>(value >> shift));
    }
}

Bytes track_chunk(const Bytes& events) {
    Bytes out = {'M', 'T', 'r', 'k'};
    put_be32(out, static_cast<uint32_t>(events.size()));
    out.insert(out.end(), events.begin(), events.end());
    return out;
}

Bytes header_chunk(uint16_t format, uint16_t tracks, uint16_t division, uint32_t header_length) {
    Bytes out = {'M', 'T', 'h', 'd'};
    put_be32(out, header_length);
    for (uint16_t v : {format, tracks, division}) {
        out.push_back(static_cast<uint8_t>(v >> 8));
        out.push_back(static_cast<uint8_t>(v));
    }
    out.resize(8 + header_length, 0);
    return out;
}

Bytes smf_file(uint16_t format, uint16_t division, const std::vector<Bytes>& track_events) {
    Bytes out = header_chunk(format, static_cast<uint16_t>(track_events.size()), division);
    for (const Bytes& events : track_events) {
        Bytes chunk = track_chunk(events);
        out.insert(out.end(), chunk.begin(), chunk.end());
    }
    return out;
}

Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) {
        out.insert(out.end(), p.begin(), p.end());
    }
    return out;
}

Bytes ev(uint32_t delta, std::initializer_list<uint8_t> bytes) {
    Bytes out = vlq_bytes(delta);
    out.insert(out.end(), bytes.begin(), bytes.end());
    return out;
}

Bytes meta(uint32_t delta, uint8_t type, const Bytes& data) {
    Bytes out = vlq_bytes(delta);
    out.push_back(0xFF);
    out.push_back(type);
    Bytes length = vlq_bytes(static_cast<uint32_t>(data.size()));
    out.insert(out.end(), length.begin(), length.end());
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

Bytes meta_text(uint32_t delta, uint8_t type, const std::string& text) {
    return meta(delta, type, Bytes(text.begin(), text.end()));
}

Bytes end_of_track(uint32_t delta) {
    return ev(delta, {0xFF, 0x2F, 0x00});
}

Bytes tempo_event(uint32_t delta, uint32_t usec) {
    return meta(delta, 0x51,
                {static_cast<uint8_t>(usec >> 16), static_cast<uint8_t>(usec >> 8),
                 static_cast<uint8_t>(usec)});
}

Bytes time_signature(uint32_t delta, uint8_t numerator, uint8_t denominator_power) {
    return meta(delta, 0x58, {numerator, denominator_power, 24, 8});
}
