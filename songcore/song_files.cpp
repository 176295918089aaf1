// File names, the file dialogs of the song files, and a song load and save as the user meets
// them: the questions before and the status texts after.
#include "songcore/smf_files.h"

#include "common/overwrite_question.h"
#include "common/status_line.h"
#include "common/text_sjis.h"
#include "platform/platform.h"

#include <cstdio>
#include <cstring>
#include <string>

SongFiles g_song_files;

void song_files_reset() {
    g_song_files = SongFiles{};
}

void file_name_from_path() {
    const char* path = g_song_files.file_path;
    const char* last = strrchr(path, PLATFORM_PATH_SEPARATOR);
    const char* base = path;
    if (last != nullptr) {
        // The root keeps its separator, as a drive root does.
        size_t dir_length = last == path ? 1 : static_cast<size_t>(last - path);
        memcpy(g_song_files.directory, path, dir_length);
        g_song_files.directory[dir_length] = '\0';
        base = last + 1;
    }
    size_t n = 0;
    while (base[n] != '\0' && base[n] != '.' && n < FILE_NAME_CHARS) {
        n++;
    }
    memcpy(g_song.current_file_name, base, n);
    g_song.current_file_name[n] = '\0';
}

void smf_load_report(SmfLoadResult result) {
    // By SmfLoadResult, in its order.
    static constexpr const char* FAILURE_TEXTS[] = {
        nullptr, nullptr, "file not found", "close error", "Fail data !!", "memory over",
    };
    if (result == SmfLoadResult::incomplete) {
        // Otherwise the user would never learn that part of the file is missing.
        char text[32];
        snprintf(text, sizeof text, "Tracks >%d cut", g_song.config.tracks_per_slot);
        show_status(text);
    }
    if (const char* text = FAILURE_TEXTS[static_cast<int>(result)]) {
        show_status(text);
    }
}

SongLoadResult song_load() {
    uint32_t bank_bit = 1u << g_song.current_bank;
    if ((g_song.song_modified_mask & bank_bit) != 0 &&
        platform_system_language() == UiLanguage::japanese) {
        std::string caption = utf8_to_sjis("ロード確認");
        std::string text = utf8_to_sjis("データが保存されていませんがロードしますか？");
        if (!platform_ask_ok_cancel(caption.c_str(), text.c_str())) {
            return SongLoadResult::not_loaded;
        }
    }
    platform_wait_cursor(true);
    SmfLoadResult result = smf_file_load(g_song_files.file_path);
    smf_load_report(result);
    platform_wait_cursor(false);
    bool loaded = result == SmfLoadResult::complete || result == SmfLoadResult::incomplete;
    return loaded ? SongLoadResult::loaded : SongLoadResult::not_loaded;
}

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
    // By SmfSaveResult, in its order.
    static constexpr const char* FAILURE_TEXTS[] = {nullptr, "drive not found", "Write error",
                                                    "close error"};
    if (const char* text = FAILURE_TEXTS[static_cast<int>(smf_file_save(path))]) {
        show_status(text);
        return 1;
    }
    file_name_from_path();
    memcpy(slot.song_file_name, g_song.current_file_name, sizeof slot.song_file_name);
    slot.song_file_name[FILE_NAME_CHARS] = '\0';
    memcpy(slot.song_path, path, sizeof slot.song_path);
    slot.song_has_path = true;
    g_song.song_modified_mask &= ~(1u << bank);
    return 1;
}

namespace {

bool run_dialog(bool save, const FileDialogFilter* filters, const char* proposal) {
    FileDialogRequest request{filters, 2, "MID", proposal};
    char path[SONG_PATH_SIZE];
    bool ok = save ? platform_save_file_dialog(request, path, sizeof path)
                   : platform_open_file_dialog(request, path, sizeof path);
    if (ok) {
        memcpy(g_song_files.file_path, path, sizeof path);
    }
    return ok;
}

} // namespace

bool open_dialog() {
    static const FileDialogFilter filters[2] = {{"MID Files (*.MID)", "*.mid"},
                                                {"All Files (*.*)", "*.*"}};
    return run_dialog(false, filters, "");
}

bool save_dialog() {
    const char* name = g_song.slots[g_song.current_bank].song_file_name;
    char proposal[SONG_PATH_SIZE];
    if (name[0] != ' ' && name[0] != '\0') {
        snprintf(proposal, sizeof proposal, "%s.MID", name);
    } else {
        snprintf(proposal, sizeof proposal, "%s", g_song_files.directory);
    }
    return save_dialog_proposing(proposal);
}

bool save_dialog_proposing(const char* proposal) {
    static const FileDialogFilter filters[2] = {{"MID Files (*.mid)", "*.MID"},
                                                {"All Files (*.*)", "*.*"}};
    if (!run_dialog(true, filters, proposal)) {
        return false;
    }
    file_name_from_path();
    return true;
}
