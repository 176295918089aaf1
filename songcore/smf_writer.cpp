// Writing the current bank as a Standard MIDI File: the chunks go out exactly as they stand
// in the arena. The file is written beside the target and renamed over it only when every
// byte is on the disk, so a failed save leaves the previous file intact.
#include "songcore/smf_files.h"

#include "platform/platform.h"

namespace {

bool write_chunk(PlatformFile* file, uint32_t data_pos) {
    uint32_t size = chunk_total_size(data_pos);
    return platform_file_write(file, g_song.arena + data_pos - 8, size) == size;
}

// Ends a failed save: the half-written file goes, the target stays as it was.
SmfSaveResult save_failed(SmfSaveResult result, PlatformFile* file, const char* temp_path) {
    if (file != nullptr) {
        platform_file_close(file);
    }
    platform_file_remove(temp_path);
    platform_wait_cursor(false);
    return result;
}

} // namespace

SmfSaveResult smf_file_save(const char* path) {
    const SongSlot& slot = g_song.slots[g_song.current_bank];
    char temp_path[SONG_PATH_SIZE + 16];
    PlatformFile* file = platform_file_create_beside(path, temp_path, sizeof temp_path);
    if (file == nullptr) {
        return SmfSaveResult::cannot_create;
    }
    platform_wait_cursor(true);
    if (!write_chunk(file, slot.header_pos)) {
        return save_failed(SmfSaveResult::write_error, file, temp_path);
    }
    for (int t = 0; t < g_song.track_count; t++) {
        if (!write_chunk(file, slot.track_pos[t])) {
            return save_failed(SmfSaveResult::write_error, file, temp_path);
        }
    }
    if (!platform_file_close(file)) {
        return save_failed(SmfSaveResult::close_error, nullptr, temp_path);
    }
    if (!platform_file_rename(temp_path, path)) {
        return save_failed(SmfSaveResult::write_error, nullptr, temp_path);
    }
    platform_wait_cursor(false);
    return SmfSaveResult::written;
}
