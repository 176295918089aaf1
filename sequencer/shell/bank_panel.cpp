// The song-bank panel: the ten banks with titles and file names, the current song's sizes,
// and choosing another bank.
#include "sequencer/engine/midi_input.h"
#include "sequencer/engine/settings.h"
#include "sequencer/engine/transport.h"
#include "sequencer/shell/draw_text.h"
#include "sequencer/shell/list_panels_internal.h"
#include "sequencer/shell/main_fields.h"
#include "sequencer/shell/menu_commands.h"
#include "sequencer/shell/panels.h"
#include "sequencer/shell/ui_input.h"
#include "songcore/song_store.h"

namespace {

constexpr int FILE_COLUMN = 68;
constexpr const char* TITLE_BLANK = "                               "; // 31 blanks

int bank_row(int bank) {
    return list_text_row(BANK_LIST, bank);
}

void title_draw(int bank, bool inverse) {
    small_text_at(BANK_LIST.text_column, bank_row(bank), TITLE_BLANK);
    const char* title = g_song.slots[bank].song_title;
    if (inverse) {
        small_text_inverse_at(BANK_LIST.text_column, bank_row(bank), title);
    } else {
        small_text_at(BANK_LIST.text_column, bank_row(bank), title);
    }
}

void sizes_draw() {
    number_at(54, 16, 6, g_song.measure_table.last_measure + 1);
    number_at(74, 16, 2, g_song.track_count);
    number_at(54, 18, 6, g_song.time_base);
}

bool bank_panel_shown() {
    int key = menu_command_key(MenuCommand::song_bank_select);
    return g_menu.shown_page == PAGE_FILE && command_key() == key && g_menu.last_command_key == key;
}

} // namespace

void bank_panel_draw() {
    for (int bank = 0; bank < SONG_BANKS; bank++) {
        if (g_song.song_modified_mask & (1u << bank)) {
            set_text_colour(COLOUR_RED);
        }
        zero_number_at(BANK_LIST.label_column, bank_row(bank), BANK_LIST.label_cells, bank + 1);
        small_text_at(BANK_LIST.text_column, bank_row(bank), g_song.slots[bank].song_title);
        small_text_at(FILE_COLUMN, bank_row(bank), g_song.slots[bank].song_file_name);
    }
    if (setting_on(SLOT_BACKUP_ALLOWED)) {
        set_text_colour(COLOUR_RED);
        text_at(39, bank_row(SONG_BANKS - 1), "B");
    }
    title_draw(g_song.current_bank, true);
    g_list_panels.bank_shown = g_song.current_bank;
    text_at(42, 16, "Max meas  :         Max track :");
    text_at(42, 17, "Free memory         K Byte(s)");
    number_at(54, 17, 6, static_cast<int32_t>(free_memory_kb()));
    text_at(42, 18, "Time base :");
    sizes_draw();
}

void bank_panel_click(int y) {
    int bank = list_row_at(y, BANK_LIST.entries);
    if (bank < 0 || bank == g_song.current_bank) {
        return;
    }
    title_draw(g_song.current_bank, false);
    g_list_panels.bank_shown = -1;
    song_bank_select(bank);
    // The store reports the switch through its hook; without one the steps run here.
    if (g_song.hooks.bank_selected == nullptr) {
        bank_selected_show();
    }
    if (g_ui.alt_mode != 0) {
        transport_start();
    }
}

void bank_selected_show() {
    if (bank_panel_shown()) {
        int old = g_list_panels.bank_shown;
        if (old >= 0 && old < SONG_BANKS && old != g_song.current_bank) {
            title_draw(old, false);
        }
        title_draw(g_song.current_bank, true);
        g_list_panels.bank_shown = g_song.current_bank;
        sizes_draw();
    }
    show_bank();
    show_title();
    if (g_song.hooks.set_window_title != nullptr) {
        g_song.hooks.set_window_title();
    }
    // The old song's cursors must not play on in the new one.
    position_reset();
    step_lengths_update();
}
