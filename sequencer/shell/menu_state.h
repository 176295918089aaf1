// The menu pages' state that input and the screen share, and the hooks through which input
// reaches the menus, panels and editors.
#pragma once
#include <atomic>
#include <cstdint>

constexpr int MENU_PAGES = 7;
constexpr int MENU_ROWS = 13;
constexpr int SHOW_REDRAW = 99;
constexpr int NO_COMMAND = 100;
constexpr int NO_PAGE_SHOWN = 10;

enum MenuRowKind : uint8_t { ROW_SEPARATOR = 0, ROW_ITEM = 1, ROW_BLANK = 2 };

// The seven pages, in the order of their tabs and function keys (F1 shows the file page).
enum MenuPage : int {
    PAGE_SYSTEM = 0,
    PAGE_FILE = 1,
    PAGE_MIDI_SETUP = 2,
    PAGE_CHANNEL_SOUND = 3,
    PAGE_SONG_EDIT = 4,
    PAGE_EVENT_EDIT = 5,
    PAGE_RECORDING = 6,
};

// A page's rows by the letters the screen shows beside them.
enum MenuRow : uint8_t {
    ROW_A = 0,
    ROW_B,
    ROW_C,
    ROW_D,
    ROW_E,
    ROW_F,
    ROW_G,
    ROW_H,
    ROW_I,
    ROW_J,
    ROW_K,
    ROW_L,
    ROW_M,
};

// Frames only, but for the record style (menu_cursor[6]), which the window timer's refresher
// reads while music runs: the cursors are atomics, as one element cannot be made atomic alone.
struct MenuState {
    int menu_page = PAGE_FILE; // MenuPage
    // Selected row of each page; page 6's is the record style. The system page starts on
    // CONTINUE, the event edit page on its edit mode, the recording page on real time.
    std::atomic<uint8_t> menu_cursor[MENU_PAGES] = {ROW_C, ROW_A, ROW_A, ROW_A,
                                                    ROW_A, ROW_C, ROW_A};
    uint8_t shown_page = NO_PAGE_SHOWN; // NO_PAGE_SHOWN while none is drawn
    uint8_t shown_row = ROW_M;
    uint8_t last_command_key = NO_COMMAND; // NO_COMMAND: the next selection acts again
    int alt_variant = 0;
    int hovered_row = -1; // menu row under the mouse, spoken when it changes; -1 none
};

// What the menus, panels and editors supply; null until they exist. Filled on the window
// thread at start, before the playback thread exists; read by frames.
struct MenuHooks {
    void (*show_command)(int page_or_redraw) = nullptr;
    void (*panel_click)(int x, int y) = nullptr;
    // The event list (page 5 row C): whether an event is open, a click handed to it, and
    // the event editor's steps (0 next, 1 previous, 2 up, 3 down).
    bool (*event_open)() = nullptr;
    void (*event_list_click)(int x, int y) = nullptr;
    void (*event_editor_step)(int step) = nullptr;
    void (*event_list_refresh)() = nullptr;
    // The PC keyboard's note keys, polled every frame while "PC KEY" is on.
    void (*note_keys)() = nullptr;
    // Fields of a parameter panel: upper and lower counts and whether it has an ENTER box.
    int (*panel_layout)() = nullptr;
};

extern MenuState g_menu;
extern MenuHooks g_menu_hooks;
extern const uint8_t MENU_ROW_KIND[MENU_PAGES * MENU_ROWS];
void menu_state_reset();

inline int command_key() {
    return g_menu.menu_page * MENU_ROWS + g_menu.menu_cursor[g_menu.menu_page];
}
inline int command_of(int page, int row) {
    return page * MENU_ROWS + row;
}
// show_command through its hook.
void show_command(int page_or_redraw);
