// Writing the current bank as a Standard MIDI File: the chunks go out exactly as they stand
// in the arena. The file is written beside the target and renamed over it only when every
// byte is on the disk, so a failed save leaves the previous file intact.
#include "songcore/smf_files.h"

#include "platform/file_write_all.h"
#include "platform/platform.h"

namespace {

FileBytes chunk_bytes(uint32_t data_pos) {
    return FileBytes{g_song.arena + data_pos - 8, chunk_total_size(data_pos)};
}

} // namespace

SmfSaveResult smf_file_save(const char* path) {
    const SongSlot& slot = g_song.slots[g_song.current_bank];
    // The header chunk and every track chunk, as they stand in the arena.
    FileBytes chunks[1 + MAX_TRACKS];
    size_t count = 0;
    chunks[count++] = chunk_bytes(slot.header_pos);
    for (int t = 0; t < g_song.track_count && t < MAX_TRACKS; t++) {
        chunks[count++] = chunk_bytes(slot.track_pos[t]);
    }
    platform_wait_cursor(true);
    FileWriteResult result = platform_file_write_pieces(path, chunks, count);
    platform_wait_cursor(false);
    switch (result) {
    case FileWriteResult::written:
        return SmfSaveResult::written;
    case FileWriteResult::cannot_create:
        return SmfSaveResult::cannot_create;
    case FileWriteResult::close_error:
        return SmfSaveResult::close_error;
    case FileWriteResult::write_error:
    case FileWriteResult::rename_error:
        break;
    }
    return SmfSaveResult::write_error;
}
