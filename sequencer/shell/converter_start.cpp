// Song to ringtone: the song is written when it has unsaved changes, then the converter is
// started with the song file's path.
#include "sequencer/shell/immediate_actions.h"

#include "platform/platform.h"
#include "sequencer/shell/menu_state.h"
#include "sequencer/shell/shell_state.h"
#include "songcore/smf_files.h"
#include "songcore/song_store.h"

#include <cstdio>

namespace {

// The converter's file names: the build of this system names it in lower case without an
// extension, the Windows build "MELCONV.EXE".
const char* const CONVERTER_NAMES[] = {"melconv", "MELCONV.EXE"};
const char* const CONVERTER_BARE_NAME = "MELCONV.EXE";

// Beside the program when it is there, else the bare name for the system to find.
void converter_path(char* out, size_t out_size) {
    for (const char* name : CONVERTER_NAMES) {
        int n = snprintf(out, out_size, "%s%s", g_shell.program_dir, name);
        if (n > 0 && static_cast<size_t>(n) < out_size && platform_file_exists(out)) {
            return;
        }
    }
    snprintf(out, out_size, "%s", CONVERTER_BARE_NAME);
}

} // namespace

void converter_start() {
    char program[PROGRAM_DIR_SIZE + 16];
    converter_path(program, sizeof program);
    if (g_menu.alt_variant != 0) {
        if (!platform_start_program(program, nullptr)) {
            file_not_found_box();
        }
        return;
    }
    int bank = g_song.current_bank;
    // Only a cancelled dialog stops here: a failed or declined write goes on with the file
    // that is there.
    if ((g_song.song_modified_mask & (1u << bank)) != 0 && song_save(0) == 0) {
        return;
    }
    const SongSlot& slot = g_song.slots[bank];
    if (!slot.song_has_path) {
        return;
    }
    if (!platform_file_exists(slot.song_path) || !platform_start_program(program, slot.song_path)) {
        file_not_found_box();
    }
}
