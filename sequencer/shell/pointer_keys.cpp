// The keyboard pointer: moving it over menu rows and panel items, and the page keys.
#include "sequencer/engine/settings.h"
#include "sequencer/engine/transport.h"
#include "sequencer/shell/menu_commands.h"
#include "sequencer/shell/name_tables.h"
#include "sequencer/shell/panels.h"
#include "sequencer/shell/screen_layout.h"
#include "sequencer/shell/shell_state.h"
#include "sequencer/shell/speech.h"
#include "sequencer/shell/ui_input.h"
#include "songcore/song_store.h"

namespace {

int wrapped(int32_t index, int items) {
    int i = static_cast<int>(index % items);
    return i < 0 ? i + items : i;
}

// The panel item under the keyboard pointer, by the shown command.
ScreenPoint panel_point() {
    int32_t index = g_ui.pointer_index;
    if (const ListLayout* list = list_panel_layout(command_key())) {
        return list_entry_point(*list, wrapped(index, list->entries));
    }
    switch (selected_command()) {
    case MenuCommand::event_edit_mode:
        return event_list_point(wrapped(index, EVENT_LIST.pointer_items));
    case MenuCommand::exclusive_edit:
        return {EXCLUSIVE_EDITOR.pointer_x +
                    EXCLUSIVE_EDITOR.pitch * wrapped(index, EXCLUSIVE_EDITOR.count),
                EXCLUSIVE_EDITOR.pointer_y};
    default:
        break;
    }
    // A parameter or command panel: U upper and L lower fields, two buttons each, then ENTER.
    int layout = g_menu_hooks.panel_layout ? g_menu_hooks.panel_layout() : 0;
    int upper = (layout >> 3) & 7;
    int lower = layout & 7;
    int enter = (layout & 64) ? 1 : 0;
    int items = 2 * upper + 2 * lower + enter;
    if (items == 0) {
        return ENTER_BOX_POINT;
    }
    int i = wrapped(index, items);
    if (i < 2 * upper) {
        return {FIELD_POINTER_X + FIELD_BUTTON_WIDTH * i, UPPER_FIELDS.pointer_y};
    }
    if (i < 2 * upper + 2 * lower) {
        return {FIELD_POINTER_X + FIELD_BUTTON_WIDTH * (i - 2 * upper), LOWER_FIELDS.pointer_y};
    }
    return ENTER_BOX_POINT;
}

// The pointer reaching the current entry of a list speaks it: the current bank's title, the
// current channel's or the current track's label.
void current_item_speak() {
    MenuCommand command = selected_command();
    if (command == MenuCommand::song_bank_select) {
        int bank_index = g_song.current_bank;
        if (wrapped(g_ui.pointer_index, BANK_LIST.entries) == bank_index) {
            speak(g_song.slots[bank_index].song_title, 1);
        }
    } else if (command == MenuCommand::out_channel ||
               command == MenuCommand::out_channel_for_sounds) {
        int channel_index = g_settings.slots[SLOT_OUT_CHANNEL] & 0x0F;
        if (wrapped(g_ui.pointer_index, CHANNEL_LIST.entries) == channel_index) {
            speak(number_label(channel_index + 1), 1);
        }
    } else if (command == MenuCommand::change_track ||
               command == MenuCommand::real_time_recording) {
        int track_index = wrapped(g_ui.pointer_index, TRACK_LIST.entries) +
                          (g_menu.alt_variant != 0 ? TRACK_LIST.entries : 0);
        if (track_index == g_song.write_track) {
            speak(number_label(track_index + 1), 1);
        }
    }
}

} // namespace

void pointer_move(int direction) {
    if (g_menu.shown_page == NO_PAGE_SHOWN) {
        return;
    }
    UiInput& u = g_ui;
    ScreenPoint target;
    if (u.pointer_focus == 0) {
        int page = g_menu.menu_page;
        int row = wrapped(u.pointer_index, MENU_ROWS);
        // Rows that are not items are skipped in the direction of the move.
        for (int tries = 0; tries < 12 && direction != 0; tries++) {
            if (MENU_ROW_KIND[page * MENU_ROWS + row] == ROW_ITEM) {
                break;
            }
            row = (row + (direction < 0 ? 12 : 1)) % MENU_ROWS;
        }
        u.pointer_index = row;
        target = menu_row_point(row);
        speak(g_speech.speech_text[page * MENU_ROWS + row], 1);
    } else {
        if (direction != 0) {
            speak(" ", 1); // so that the next text is spoken even when it repeats
        }
        target = panel_point();
        current_item_speak();
    }
    warp_pointer(target.x, target.y);
}

void page_key(int page) {
    if (g_menu.shown_page != page && transport_mode() == MODE_STOPPED) {
        if (page == PAGE_RECORDING) {
            transport_button_click(BUTTON_RECORD); // the recording page has no tab
        } else {
            page_tab_click(page);
        }
        int row = g_menu.menu_cursor[g_menu.menu_page];
        speak(g_speech.speech_text[g_menu.menu_page * MENU_ROWS + row], 1);
    }
    g_ui.pointer_index = g_menu.menu_cursor[g_menu.menu_page];
    g_ui.pointer_focus = 0;
    pointer_move(0);
}
