// The menu rows that act at once: sound module reset, active sensing, map resets, version
// check, web page, help, title change, converter start, initial-tone file, saving and loading.
// Implemented in: converter_start.cpp, file_actions.cpp, immediate_actions.cpp, system_actions.cpp,
// version_action.cpp.
#pragma once

#include "common/version_check.h"

#include <atomic>

struct PlatformThread;

// The version check runs on a thread of its own; frames start it and the program's end (or
// a reset) waits for it. Everything else here belongs to frames.
struct ImmediateActions {
    VersionSite version_site = ZB47_VERSION_SITE; // where "Ver Info" asks
    PlatformThread* version_thread = nullptr;     // started and not yet joined; null when none
    std::atomic<bool> version_running{};
};

extern ImmediateActions g_actions;
// Waits for a version check still running, then back to the start state.
void immediate_actions_reset();
// Waits for a version check still running (the program's end).
void immediate_actions_finish();

// Runs the row's action and moves the page's cursor back (row C of page 0, row A of page 1);
// false, doing nothing, when the row is not an immediate action.
bool immediate_action_run(int command_key);

// The actions, one per row.
void sound_module_initialize(); // page 0 E
void active_sensing_send();     // page 0 F
void micro_scale_normal();      // page 0 H
void program_map_normal();      // page 0 I
void version_info();            // page 0 K
void web_page_open();           // page 0 L
void help_open();               // page 0 M
void title_change();            // page 1 C
void converter_start();         // page 1 E
void init_file_save();          // page 1 G
void quick_save();              // page 1 I
void file_write();              // page 1 K
void file_read();               // page 1 M
// "File not found." in a box, spoken first: a converter, help file or song that cannot be
// found or started.
void file_not_found_box();
// The web address opened when the local help file cannot be.
extern const char* const ONLINE_HELP_ADDRESS;
