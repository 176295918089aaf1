// The menu rows that act at once: sound module reset, active sensing, map resets, version
// check, web page, help, title change, converter start, initial-tone file, saving and loading.
#pragma once

// Runs the row's action and moves the page's cursor back (row C of page 0, row A of page 1);
// false, doing nothing, when the row is not an immediate action.
bool immediate_action_run(int command_key);
