// The one buffer every ringtone is built in or read into, bounded writes into it, and the
// file writes of the converter (ringtones, and the one-track SMF of a reverse conversion).
#pragma once

#include <cstddef>
#include <cstdint>

constexpr uint32_t RINGTONE_LIMIT = 310000; // bytes of file a writer builds or a reader reads
constexpr uint32_t RINGTONE_EVENT_MAX = 4096;
// Room for one event and its fillers beyond the limit; writes past it fail, never overrun.
constexpr uint32_t RINGTONE_CAPACITY = RINGTONE_LIMIT + 4 * RINGTONE_EVENT_MAX;

// Single-threaded, reset for every conversion.
struct RingtoneBuffer {
    uint8_t data[RINGTONE_CAPACITY] = {};
    uint32_t write_pos = 0; // next free byte
    uint32_t size = 0;      // bytes read by ringtone_read_file
    bool overflow = false;  // a write did not fit the capacity
};

extern RingtoneBuffer g_ringtone;

void ringtone_reset();

bool out_byte(uint8_t byte);
bool out_bytes(const uint8_t* bytes, uint32_t count);
bool out_text(const char* text);
// Writes a big-endian number into bytes already written (a length filled in later).
void out_put_be(uint32_t pos, int width, uint32_t value);

// Reads at most RINGTONE_CAPACITY bytes (the largest file a writer makes) of the input
// path; false when it cannot be opened.
bool ringtone_read_file(const char* path);
// Writes the bytes beside the target and moves them over it only when all went well.
bool converter_file_write(const char* path, const uint8_t* data, uint32_t length);
// Writes song slot 0 as format 0: its header chunk and its first track chunk.
bool smf_single_track_write(const char* path);
