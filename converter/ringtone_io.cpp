// The ringtone buffer and the converter's file writes.
#include "converter/ringtone_io.h"

#include "platform/file_read_all.h"
#include "platform/file_write_all.h"
#include "platform/platform.h"
#include "songcore/song_store.h"

#include <cstring>
#include <vector>

RingtoneBuffer g_ringtone;

// Clears the counters only: the 300 KB buffer is read up to them, and too large to build
// afresh on the stack.
void ringtone_reset() {
    g_ringtone.write_pos = 0;
    g_ringtone.size = 0;
    g_ringtone.overflow = false;
}

bool out_bytes(const uint8_t* bytes, uint32_t count) {
    if (g_ringtone.overflow || count > RINGTONE_CAPACITY - g_ringtone.write_pos) {
        g_ringtone.overflow = true;
        return false;
    }
    memcpy(g_ringtone.data + g_ringtone.write_pos, bytes, count);
    g_ringtone.write_pos += count;
    return true;
}

bool out_byte(uint8_t byte) {
    return out_bytes(&byte, 1);
}

bool out_text(const char* text) {
    return out_bytes(reinterpret_cast<const uint8_t*>(text), static_cast<uint32_t>(strlen(text)));
}

void out_put_be(uint32_t pos, int width, uint32_t value) {
    for (int i = 0; i < width; i++) {
        uint32_t at = pos + static_cast<uint32_t>(i);
        if (at < g_ringtone.write_pos) {
            g_ringtone.data[at] = static_cast<uint8_t>(value >> (8 * (width - 1 - i)));
        }
    }
}

bool ringtone_read_file(const char* path) {
    g_ringtone.size = 0;
    // A full ringtone passes the limit by its last event and the closing of its tracks:
    // every file the writers make is read whole. A longer file is read as its start, and a
    // failed close loses nothing that was read.
    std::vector<uint8_t> bytes;
    if (platform_file_read_all(path, bytes, RINGTONE_CAPACITY) == FileReadResult::cannot_open) {
        return false;
    }
    size_t n = bytes.size() < RINGTONE_CAPACITY ? bytes.size() : RINGTONE_CAPACITY;
    memcpy(g_ringtone.data, bytes.data(), n);
    g_ringtone.size = static_cast<uint32_t>(n);
    return true;
}

bool converter_file_write(const char* path, const uint8_t* data, uint32_t length) {
    return platform_file_write_all(path, data, length) == FileWriteResult::written;
}

bool smf_single_track_write(const char* path) {
    const SongSlot& slot = g_song.slots[0];
    const FileBytes chunks[2] = {
        {g_song.arena + slot.header_pos - 8, chunk_total_size(slot.header_pos)},
        {g_song.arena + slot.track_pos[0] - 8, chunk_total_size(slot.track_pos[0])},
    };
    return platform_file_write_pieces(path, chunks, 2) == FileWriteResult::written;
}
