// WAV files of 16-bit stereo samples, written beside the target and renamed over it.
// Implemented in: wav_file.cpp.
#pragma once
#include <cstddef>
#include <cstdint>

constexpr int WAV_HEADER_SIZE = 44;

// The 44-byte RIFF header of `frames` stereo 16-bit frames at `sample_rate`.
void wav_header(uint8_t* header, size_t frames, int sample_rate);
// False when the file cannot be written whole; the target is then left as it was.
bool wav_write(const char* path, const int16_t* interleaved, size_t frames, int sample_rate);
