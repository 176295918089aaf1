// File names and the file dialogs of the song files.
#include "songcore/smf_files.h"

#include "platform/platform.h"

#include <cstdio>
#include <cstring>

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
