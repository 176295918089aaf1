// Menu state at start and the kinds of the 91 menu rows.
#include "sequencer/shell/menu_state.h"

#include "common/record_rebuild.h"

MenuState g_menu;
MenuHooks g_menu_hooks;

// clang-format off
const uint8_t MENU_ROW_KIND[MENU_PAGES * MENU_ROWS] = {
    // page 0: system
    1, 0, 1, 0, 1, 1, 0, 1, 1, 0, 1, 1, 1,
    // page 1: file
    1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1,
    // page 2: MIDI setup
    1, 1, 1, 1, 1, 1, 0, 1, 0, 1, 0, 1, 1,
    // page 3: channel and sound
    1, 1, 1, 0, 1, 1, 1, 1, 1, 0, 1, 1, 1,
    // page 4: song edit
    1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 1,
    // page 5: event edit
    1, 0, 1, 1, 0, 1, 1, 1, 0, 1, 0, 0, 1,
    // page 6: recording
    1, 1, 0, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2,
};
// clang-format on

void menu_state_reset() {
    record_rebuild(g_menu);
    g_menu_hooks = MenuHooks{};
}

void show_command(int page_or_redraw) {
    if (g_menu_hooks.show_command) {
        g_menu_hooks.show_command(page_or_redraw);
    }
}
