// Controls of the headless backend: the answers tests and scripts give to questions and
// dialogs, the faults they inject into file writes, and the record of what the program showed.
#pragma once

#include "platform/network.h"
#include "platform/platform.h"

#include <cstdint>
#include <deque>
#include <string>
#include <utility>
#include <vector>

struct HeadlessShown {
    std::string caption; // Shift-JIS, as handed in
    std::string text;
    MessageIcon icon;
};

// Test code and the program's threads, one at a time: the frames, and the version check's
// thread for its message box (tests join it before they look); not synchronised.
struct HeadlessState {
    // Answers, taken in order; when none is queued the default answer is given.
    std::deque<bool> answers;
    bool default_answer = false;
    // Paths the file dialogs return, in order; an empty string is Cancel. None queued: Cancel.
    std::deque<std::string> dialog_paths;

    std::vector<HeadlessShown> messages;  // message boxes
    std::vector<HeadlessShown> questions; // OK/Cancel and Yes/No boxes
    std::vector<std::string> status_texts;
    std::vector<std::string> dialog_proposals; // initial_name of each file dialog
    bool wait_cursor = false;
    int wait_cursor_changes = 0;

    UiLanguage language = UiLanguage::english;
    std::string program_directory = ".";

    // Clock: follows real time unless a test drives it.
    bool clock_driven = false;
    uint32_t clock_ms = 0;
    bool keys_down[256] = {};

    // File faults: a write fails after this many more bytes (negative: never); the next
    // close of a file opened for reading, or for writing, fails; opening for writing fails.
    int64_t fail_write_after = -1;
    bool fail_next_read_close = false;
    bool fail_next_write_close = false;
    bool fail_open_write = false;
    bool fail_rename = false;
    // Opening this path for reading fails although the file exists (another user's file).
    std::string unreadable_path;
    // Listing this directory fails although it exists (no read permission).
    std::string unreadable_directory;

    // Clipboard in memory; with no clipboard (no display) a put fails and keeps nothing.
    bool clipboard_available = true;
    std::string clipboard;
    int clipboard_puts = 0;
    // Programs started (path and argument; no argument is recorded as "") and documents
    // opened, in order; none really runs.
    std::vector<std::pair<std::string, std::string>> started_programs;
    std::vector<std::string> opened_documents;
    // The next this many starts, or opens, fail and are not recorded.
    int fail_start_programs = 0;
    int fail_open_documents = 0;
    // Network: the connection state the system reports; sockets are real (loopback in tests).
    bool network_up = true;
    HostLookup last_lookup = HostLookup::none;
};

extern HeadlessState g_headless;

void headless_reset();
// Every record of the headless backend (this one, the MIDI ports', the window's) afresh.
void headless_backend_reset();
// The last status text, or "" when none was shown.
const std::string& headless_last_status();
// For a whole program run headless: the language and program directory of the real system.
void headless_follow_system();
