// File names, the file dialogs of the song files, and a song load as the user meets it: the
// question before it and the status text after it.
#include "songcore/smf_files.h"

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
    static constexpr struct {
        SmfLoadResult result;
        const char* text;
    } FAILURE_TEXTS[] = {
        {SmfLoadResult::not_found, "file not found"},
        {SmfLoadResult::close_error, "close error"},
        {SmfLoadResult::invalid, "Fail data !!"},
        {SmfLoadResult::memory_over, "memory over"},
    };
    if (result == SmfLoadResult::incomplete) {
        // Otherwise the user would never learn that part of the file is missing.
        char text[32];
        snprintf(text, sizeof text, "Tracks >%d cut", g_song.config.tracks_per_slot);
        show_status(text);
    }
    for (const auto& failure : FAILURE_TEXTS) {
        if (failure.result == result) {
            show_status(failure.text);
        }
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
