// The WAV writer: a RIFF header and the samples, little-endian, written beside the target and
// renamed over it.
#include "sequencer/shell/wav_file.h"

#include "platform/file_write_all.h"

#include <bit>
#include <cstring>
#include <vector>

namespace {

constexpr int CHANNELS = 2;
constexpr int BYTES_PER_SAMPLE = 2;

void put_u32(uint8_t* at, uint32_t value) {
    for (int i = 0; i < 4; i++) {
        at[i] = static_cast<uint8_t>(value >> (8 * i));
    }
}

void put_u16(uint8_t* at, uint16_t value) {
    at[0] = static_cast<uint8_t>(value);
    at[1] = static_cast<uint8_t>(value >> 8);
}

} // namespace

void wav_header(uint8_t* header, size_t frames, int sample_rate) {
    uint32_t data_bytes = static_cast<uint32_t>(frames * CHANNELS * BYTES_PER_SAMPLE);
    memcpy(header, "RIFF", 4);
    put_u32(header + 4, 36 + data_bytes);
    memcpy(header + 8, "WAVEfmt ", 8);
    put_u32(header + 16, 16);
    put_u16(header + 20, 1); // PCM
    put_u16(header + 22, CHANNELS);
    put_u32(header + 24, static_cast<uint32_t>(sample_rate));
    put_u32(header + 28, static_cast<uint32_t>(sample_rate * CHANNELS * BYTES_PER_SAMPLE));
    put_u16(header + 32, CHANNELS * BYTES_PER_SAMPLE);
    put_u16(header + 34, BYTES_PER_SAMPLE * 8);
    memcpy(header + 36, "data", 4);
    put_u32(header + 40, data_bytes);
}

bool wav_write(const char* path, const int16_t* interleaved, size_t frames, int sample_rate) {
    uint8_t header[WAV_HEADER_SIZE];
    wav_header(header, frames, sample_rate);
    size_t sample_bytes = frames * CHANNELS * BYTES_PER_SAMPLE;
    // The file holds little-endian samples: memory already does on the systems we build for,
    // any other byte order writes a swapped copy.
    std::vector<uint8_t> swapped;
    const void* samples = interleaved;
    if constexpr (std::endian::native != std::endian::little) {
        swapped.resize(sample_bytes);
        for (size_t i = 0; i < frames * CHANNELS; i++) {
            put_u16(&swapped[i * BYTES_PER_SAMPLE], static_cast<uint16_t>(interleaved[i]));
        }
        samples = swapped.data();
    }
    const FileBytes pieces[] = {{header, sizeof header}, {samples, sample_bytes}};
    return platform_file_write_pieces(path, pieces, 2) == FileWriteResult::written;
}
