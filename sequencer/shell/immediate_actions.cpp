// Which menu rows act at once, and where each leaves its page's cursor.
#include "sequencer/shell/immediate_actions.h"

#include "common/record_rebuild.h"
#include "platform/midi.h"
#include "sequencer/shell/menu_commands.h"

namespace {

struct ImmediateRow {
    MenuCommand command;
    void (*action)();
};

const ImmediateRow IMMEDIATE_ROWS[] = {
    {MenuCommand::sound_module_initialize, sound_module_initialize},
    {MenuCommand::active_sensing, active_sensing_send},
    {MenuCommand::micro_scale_normal, micro_scale_normal},
    {MenuCommand::program_map_normal, program_map_normal},
    {MenuCommand::version_info, version_info},
    {MenuCommand::web_page, web_page_open},
    {MenuCommand::help, help_open},
    {MenuCommand::song_title, title_change},
    {MenuCommand::song_to_ringtone, converter_start},
    {MenuCommand::init_file_write, init_file_save},
    {MenuCommand::over_write, quick_save},
    {MenuCommand::file_write, file_write},
    {MenuCommand::file_read, file_read},
};

// The row an immediate action hands its page back to.
int cursor_home(int page) {
    return menu_command_row(page == PAGE_SYSTEM ? MenuCommand::continue_about
                                                : MenuCommand::song_bank_select);
}

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
        if (menu_command_key(r.command) == command_key) {
            r.action();
            int page = menu_command_page(r.command);
            g_menu.menu_cursor[page] = static_cast<uint8_t>(cursor_home(page));
            return true;
        }
    }
    return false;
}
