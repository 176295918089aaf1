// Showing a menu page and running or opening its selected row, and routing clicks on the
// menu column and the right panel.
#include "sequencer/shell/menu_show.h"
#include "sequencer/shell/event_list.h"

#include "platform/platform.h"
#include "platform/window.h"
#include "sequencer/engine/transport.h"
#include "sequencer/shell/draw.h"
#include "sequencer/shell/draw_text.h"
#include "sequencer/shell/immediate_actions.h"
#include "sequencer/shell/menu_commands.h"
#include "sequencer/shell/menu_texts.h"
#include "sequencer/shell/panels.h"
#include "sequencer/shell/param_panel.h"
#include "sequencer/shell/screen_layout.h"
#include "sequencer/shell/shell_state.h"
#include "sequencer/shell/speech.h"
#include "sequencer/shell/ui_input.h"
#include "songcore/song_store.h"

namespace {

// The recording page has no tab: the record button shows it.
constexpr int TAB_PAGES = PAGE_RECORDING;

void menu_row_draw(int row, bool highlighted) {
    const char* text = g_menu_texts.menu_text[g_menu.shown_page * MENU_ROWS + row];
    if (highlighted) {
        small_text_inverse_at(MENU_TEXT_COLUMN, MENU_FIRST_ROW + row, text);
    } else {
        small_text_at(MENU_TEXT_COLUMN, MENU_FIRST_ROW + row, text);
    }
}

void tab_frame(int page, bool sunken) {
    if (page < 0 || page >= TAB_PAGES) {
        return;
    }
    ScreenRect face = button_face(PAGE_TABS, page);
    bevel_frame(face.left, face.top, face.right, face.bottom, sunken ? 1 : 0);
}

void page_draw() {
    tab_frame(g_menu.shown_page, false);
    tab_frame(g_menu.menu_page, true);
    g_menu.shown_page = static_cast<uint8_t>(g_menu.menu_page);
    clear_rect(11, 80, 290, 292);
    for (int row = 0; row < MENU_ROWS; row++) {
        menu_row_draw(row, false);
    }
}

bool stopped() {
    return transport_mode() == MODE_STOPPED;
}

// Exit: the quit itself runs from the frame once page 0's cursor stands on row A.
void exit_panel() {
    if (g_song.song_modified_mask == 0) {
        text_at(45, 16, "       See  You !!");
    }
}

void command_open(int key) {
    g_menu.alt_variant = g_ui.alt_mode != 0 ? 1 : 0;
    if (key == menu_command_key(MenuCommand::exit)) {
        exit_panel();
        g_menu.last_command_key = static_cast<uint8_t>(key);
        return;
    }
    if (immediate_action_run(key)) {
        g_menu.last_command_key = NO_COMMAND;
        return;
    }
    g_menu.last_command_key = static_cast<uint8_t>(key);
    if (!list_panel_show(key) && !param_panel_show(key)) {
        // The event list and the exclusive editor take the panel over.
        clear_panel();
        if (key == menu_command_key(MenuCommand::event_edit_mode)) {
            event_list_open();
        } else if (key == menu_command_key(MenuCommand::exclusive_edit)) {
            exclusive_editor_open();
        }
    }
    if (key == menu_command_key(MenuCommand::song_bank_select) && stopped()) {
        platform_window_drop_accept(true);
    }
}

} // namespace

void menu_show_command(int page_or_redraw) {
    if (page_or_redraw < NO_PAGE_SHOWN && page_or_redraw >= 0 && page_or_redraw < MENU_PAGES) {
        g_menu.menu_page = page_or_redraw;
    }
    if (stopped()) {
        platform_window_drop_accept(false);
    }
    if (g_menu.shown_page != g_menu.menu_page) {
        page_draw();
    }
    int cursor = g_menu.menu_cursor[g_menu.menu_page] % MENU_ROWS;
    if (g_menu.menu_page == PAGE_RECORDING) {
        // The row chosen is the record mode of the next recording.
        step_recording_set(step_recording_chosen());
    }
    if (g_menu.shown_row < MENU_ROWS) {
        menu_row_draw(g_menu.shown_row, false);
    }
    menu_row_draw(cursor, true);
    g_menu.shown_row = static_cast<uint8_t>(cursor);
    int key = command_key();
    if (key == g_menu.last_command_key) {
        return;
    }
    command_open(key);
}

void menu_panel_click(int x, int y) {
    if (g_menu.shown_page == NO_PAGE_SHOWN) {
        return;
    }
    if (rect_contains(MENU_COLUMN, x, y)) {
        int mode = transport_mode();
        if (mode == MODE_PLAYING || mode == MODE_RECORDING) {
            return;
        }
        int row = menu_row_at(y);
        if (row < MENU_ROWS && MENU_ROW_KIND[g_menu.menu_page * MENU_ROWS + row] == ROW_ITEM) {
            g_menu.menu_cursor[g_menu.menu_page] = static_cast<uint8_t>(row);
            show_command(SHOW_REDRAW);
        }
        return;
    }
    if (!rect_contains(RIGHT_PANEL, x, y)) {
        return;
    }
    int key = command_key();
    if (key != g_menu.last_command_key) {
        return; // the panel of another row is not shown
    }
    if (list_panel_click(key, x, y)) {
        return;
    }
    MenuCommand command = menu_command_at(key);
    if (command == MenuCommand::event_edit_mode || command == MenuCommand::exclusive_edit) {
        if (g_menu_hooks.event_list_click) {
            g_menu_hooks.event_list_click(x, y);
        }
        return;
    }
    param_panel_click(x, y, key);
}

void menu_hover(int x, int y) {
    int row = -1;
    if (g_menu.shown_page != NO_PAGE_SHOWN && rect_contains(MENU_COLUMN, x, y)) {
        row = menu_row_at(y);
    }
    if (row == g_menu.hovered_row) {
        return;
    }
    g_menu.hovered_row = row;
    if (row >= 0 && row < MENU_ROWS) {
        speak(g_speech.speech_text[g_menu.shown_page * MENU_ROWS + row], 1);
    }
}

void menu_hooks_install() {
    g_menu_hooks.show_command = menu_show_command;
    g_menu_hooks.panel_click = menu_panel_click;
    g_menu_hooks.panel_layout = panel_layout;
}
