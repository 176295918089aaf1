// Which menu rows act at once, and where each leaves its page's cursor.
#include "sequencer/shell/immediate_actions.h"

#include "common/record_rebuild.h"
#include "platform/midi.h"
#include "sequencer/shell/menu_state.h"

namespace {

struct ImmediateRow {
    int page, row;
    void (*action)();
};

const ImmediateRow IMMEDIATE_ROWS[] = {
    {0, 4, sound_module_initialize},
    {0, 5, active_sensing_send},
    {0, 7, micro_scale_normal},
    {0, 8, program_map_normal},
    {0, 10, version_info},
    {0, 11, web_page_open},
    {0, 12, help_open},
    {1, 2, title_change},
    {1, 4, converter_start},
    {1, 6, init_file_save},
    {1, 8, quick_save},
    {1, 10, file_write},
    {1, 12, file_read},
};

// Row C of page 0 and row A of page 1: the rows an immediate action hands the page back to.
constexpr int CURSOR_HOME[2] = {2, 0};

void version_thread_join() {
    if (g_actions.version_thread != nullptr) {
        platform_thread_join(g_actions.version_thread);
        g_actions.version_thread = nullptr;
    }
}

} // namespace

ImmediateActions g_actions;

void immediate_actions_reset() {
    version_thread_join();
    record_rebuild(g_actions);
}

void immediate_actions_finish() {
    version_thread_join();
}

bool immediate_action_run(int command_key) {
    for (const ImmediateRow& r : IMMEDIATE_ROWS) {
        if (command_of(r.page, r.row) == command_key) {
            r.action();
            g_menu.menu_cursor[r.page] = static_cast<uint8_t>(CURSOR_HOME[r.page]);
            return true;
        }
    }
    return false;
}
