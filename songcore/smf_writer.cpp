// Writing the current bank as a Standard MIDI File: the chunks go out exactly as they stand
// in the arena. The file is written beside the target and renamed over it only when every
// byte is on the disk, so a failed save leaves the previous file intact.
#include "songcore/smf_files.h"

#include "common/overwrite_question.h"
#include "common/status_line.h"
#include "platform/platform.h"

#include <cstring>

namespace {

bool write_chunk(PlatformFile* file, uint32_t data_pos) {
    uint32_t size = chunk_total_size(data_pos);
    return platform_file_write(file, g_song.arena + data_pos - 8, size) == size;
}

// Ends a failed save: the half-written file goes, the target stays as it was.
int save_failed(const char* message, PlatformFile* file, const char* temp_path) {
    show_status(message);
    if (file != nullptr) {
        platform_file_close(file);
    }
    platform_file_remove(temp_path);
    platform_wait_cursor(false);
    return 1;
}

} // namespace

int song_save(int ask_name) {
    int bank = g_song.current_bank;
    SongSlot& slot = g_song.slots[bank];
    if (ask_name == 1 && slot.song_has_path) {
        memcpy(g_song_files.file_path, slot.song_path, sizeof g_song_files.file_path);
    } else if (!save_dialog()) {
        return 0;
    }
    char* path = g_song_files.file_path;
    size_t length = strlen(path);
    if (strchr(path, '.') == nullptr && length + 4 < sizeof g_song_files.file_path) {
        memcpy(path + length, ".MID", 5);
    }
    g_song.arena[slot.header_pos + 1] = g_song.track_count == 1 ? 0 : 1;
    slot_set_track_count(bank, g_song.track_count);

    if (!overwrite_confirm(path)) {
        return 1;
    }
    char temp_path[SONG_PATH_SIZE + 16];
    PlatformFile* file = platform_file_create_beside(path, temp_path, sizeof temp_path);
    if (file == nullptr) {
        show_status("drive not found");
        return 1;
    }
    platform_wait_cursor(true);
    if (!write_chunk(file, slot.header_pos)) {
        return save_failed("Write error", file, temp_path);
    }
    for (int t = 0; t < g_song.track_count; t++) {
        if (!write_chunk(file, slot.track_pos[t])) {
            return save_failed("Write error", file, temp_path);
        }
    }
    if (!platform_file_close(file)) {
        return save_failed("close error", nullptr, temp_path);
    }
    if (!platform_file_rename(temp_path, path)) {
        return save_failed("Write error", nullptr, temp_path);
    }
    file_name_from_path();
    memcpy(slot.song_file_name, g_song.current_file_name, sizeof slot.song_file_name);
    slot.song_file_name[FILE_NAME_CHARS] = '\0';
    memcpy(slot.song_path, path, sizeof slot.song_path);
    slot.song_has_path = true;
    platform_wait_cursor(false);
    g_song.song_modified_mask &= ~(1u << bank);
    return 1;
}
