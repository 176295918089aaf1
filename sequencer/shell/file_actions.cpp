// The file page's immediate actions: title, initial-tone file, quick save, save with the
// dialog and load with the dialog; and the box that reports a file that is not there.
#include "sequencer/shell/immediate_actions.h"

#include "common/text_sjis.h"
#include "platform/platform.h"
#include "sequencer/engine/midi_input.h"
#include "sequencer/engine/settings.h"
#include "sequencer/engine/transport.h"
#include "sequencer/shell/dialogs.h"
#include "sequencer/shell/menu_state.h"
#include "sequencer/shell/screen_modes.h"
#include "sequencer/shell/shell_state.h"
#include "sequencer/shell/speech.h"
#include "songcore/smf_files.h"
#include "songcore/song_store.h"

#include <string>

namespace {

bool bank_modified() {
    return (g_song.song_modified_mask & (1u << g_song.current_bank)) != 0;
}

const SongSlot& bank_slot() {
    return g_song.slots[g_song.current_bank];
}

void bank_file_open() {
    if (!platform_open_document(bank_slot().song_path)) {
        file_not_found_box();
    }
}

} // namespace

void file_not_found_box() {
    std::string text =
        g_shell.is_japanese ? utf8_to_sjis("ファイルがありません。") : "File not found.";
    std::string caption = g_shell.is_japanese ? utf8_to_sjis("確認") : "CONFIRM";
    speak(text.c_str(), 1);
    platform_message_box(caption.c_str(), text.c_str(), MessageIcon::information);
}

void title_change() {
    title_dialog_open();
}

void init_file_save() {
    init_file_write();
}

void quick_save() {
    if (bank_modified()) {
        song_save(1);
        return;
    }
    if (!bank_slot().song_has_path) {
        return;
    }
    if (platform_file_exists(bank_slot().song_path)) {
        bank_file_open();
        return;
    }
    // Written again; a write that failed has said so on the status line and leaves no
    // file to open.
    if (song_save(1) == 1 && platform_file_exists(bank_slot().song_path)) {
        bank_file_open();
    }
}

void file_write() {
    int saved = song_save(0);
    if (g_menu.alt_variant != 0 && saved == 1 && bank_slot().song_has_path) {
        bank_file_open();
    }
}

void file_read() {
    if (!open_dialog()) {
        return;
    }
    file_name_from_path();
    if (song_load() == SongLoadResult::loaded) {
        position_reset();
        step_lengths_update();
    }
}
