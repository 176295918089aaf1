// The WAV writer: a RIFF header and the samples, little-endian, through a temporary file.
#include "sequencer/shell/wav_file.h"

#include "platform/platform.h"

#include <cstring>
#include <vector>

namespace {

constexpr int CHANNELS = 2;
constexpr int BYTES_PER_SAMPLE = 2;
constexpr size_t WRITE_FRAMES = 16384; // frames per write

void put_u32(uint8_t* at, uint32_t value) {
    for (int i = 0; i < 4; i++) {
        at[i] = static_cast<uint8_t>(value >> (8 * i));
    }
}

void put_u16(uint8_t* at, uint16_t value) {
    at[0] = static_cast<uint8_t>(value);
    at[1] = static_cast<uint8_t>(value >> 8);
}

bool samples_write(PlatformFile* file, const int16_t* interleaved, size_t frames) {
    std::vector<uint8_t> block(WRITE_FRAMES * CHANNELS * BYTES_PER_SAMPLE);
    for (size_t first = 0; first < frames; first += WRITE_FRAMES) {
        size_t count = frames - first < WRITE_FRAMES ? frames - first : WRITE_FRAMES;
        size_t samples = count * CHANNELS;
        for (size_t i = 0; i < samples; i++) {
            put_u16(&block[i * BYTES_PER_SAMPLE],
                    static_cast<uint16_t>(interleaved[first * CHANNELS + i]));
        }
        size_t bytes = samples * BYTES_PER_SAMPLE;
        if (platform_file_write(file, block.data(), bytes) != bytes) {
            return false;
        }
    }
    return true;
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
    char temp_path[1024];
    PlatformFile* file = platform_file_create_beside(path, temp_path, sizeof temp_path);
    if (file == nullptr) {
        return false;
    }
    uint8_t header[WAV_HEADER_SIZE];
    wav_header(header, frames, sample_rate);
    bool written = platform_file_write(file, header, sizeof header) == sizeof header &&
                   samples_write(file, interleaved, frames);
    bool closed = platform_file_close(file);
    if (!written || !closed || !platform_file_rename(temp_path, path)) {
        platform_file_remove(temp_path);
        return false;
    }
    return true;
}
