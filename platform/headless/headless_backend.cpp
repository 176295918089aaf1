// The headless backend: no window, answers from tests or scripts, a record of everything shown.
#include "platform/headless/headless.h"
#include "platform/headless/headless_midi.h"
#include "platform/headless/headless_window.h"
#include "platform/native_backend.h"

#include <cstring>

HeadlessState g_headless;

void headless_reset() {
    g_headless = HeadlessState{};
}

void headless_backend_reset() {
    headless_reset();
    headless_midi_reset();
    headless_window_reset();
}

const std::string& headless_last_status() {
    static const std::string none;
    return g_headless.status_texts.empty() ? none : g_headless.status_texts.back();
}

namespace {

bool take_answer() {
    if (g_headless.answers.empty()) {
        return g_headless.default_answer;
    }
    bool answer = g_headless.answers.front();
    g_headless.answers.pop_front();
    return answer;
}

void message_box(const char* caption, const char* text, MessageIcon icon) {
    g_headless.messages.push_back({caption, text, icon});
}

bool ask_ok_cancel(const char* caption, const char* text) {
    g_headless.questions.push_back({caption, text, MessageIcon::question});
    return take_answer();
}

bool ask_yes_no(const char* caption, const char* text) {
    g_headless.questions.push_back({caption, text, MessageIcon::question});
    return take_answer();
}

// A queued answer comes first; without one the program's own dialog runs when it registered
// one (a script then operates it with its key, text and click lines), else it is Cancel.
bool file_dialog(bool save, const FileDialogRequest& request, char* path, size_t path_size) {
    g_headless.dialog_proposals.push_back(request.initial_name ? request.initial_name : "");
    if (path_size == 0) {
        return false;
    }
    if (g_headless.dialog_paths.empty()) {
        const DialogHandlers& handlers = platform_dialog_handlers();
        auto handler = save ? handlers.save_file : handlers.open_file;
        return handler != nullptr && handler(request, path, path_size);
    }
    std::string chosen = g_headless.dialog_paths.front();
    g_headless.dialog_paths.pop_front();
    if (chosen.empty()) {
        return false;
    }
    size_t n = chosen.size() < path_size - 1 ? chosen.size() : path_size - 1;
    memcpy(path, chosen.data(), n);
    path[n] = '\0';
    return true;
}

bool open_file_dialog(const FileDialogRequest& request, char* path, size_t path_size) {
    return file_dialog(false, request, path, path_size);
}

bool save_file_dialog(const FileDialogRequest& request, char* path, size_t path_size) {
    return file_dialog(true, request, path, path_size);
}

void wait_cursor(bool on) {
    if (g_headless.wait_cursor != on) {
        g_headless.wait_cursor_changes++;
    }
    g_headless.wait_cursor = on;
}

void status_text(const char* text) {
    g_headless.status_texts.push_back(text);
}

PlatformFile* file_open(const char* path, FileMode mode) {
    if (mode == FileMode::write && g_headless.fail_open_write) {
        return nullptr;
    }
    if (mode == FileMode::read && g_headless.unreadable_path == path) {
        return nullptr;
    }
    return NATIVE_BACKEND_BASE.file_open(path, mode);
}

size_t file_write(PlatformFile* file, const void* buffer, size_t count) {
    if (g_headless.fail_write_after >= 0) {
        size_t allowed = static_cast<size_t>(g_headless.fail_write_after);
        size_t n = NATIVE_BACKEND_BASE.file_write(file, buffer, count < allowed ? count : allowed);
        g_headless.fail_write_after -= static_cast<int64_t>(n);
        return n;
    }
    return NATIVE_BACKEND_BASE.file_write(file, buffer, count);
}

bool file_close(PlatformFile* file) {
    bool writing = file->writing;
    bool ok = NATIVE_BACKEND_BASE.file_close(file);
    bool& fail = writing ? g_headless.fail_next_write_close : g_headless.fail_next_read_close;
    if (fail) {
        fail = false;
        return false;
    }
    return ok;
}

PlatformFile* file_create_beside(const char* target_path, char* temp_path, size_t temp_path_size) {
    if (g_headless.fail_open_write) {
        return nullptr;
    }
    return NATIVE_BACKEND_BASE.file_create_beside(target_path, temp_path, temp_path_size);
}

bool file_rename(const char* from, const char* to) {
    if (g_headless.fail_rename) {
        return false;
    }
    return NATIVE_BACKEND_BASE.file_rename(from, to);
}

bool list_directory(const char* path, DirectoryEntryVisit visit, void* context) {
    if (!g_headless.unreadable_directory.empty() && g_headless.unreadable_directory == path) {
        return false;
    }
    return NATIVE_BACKEND_BASE.list_directory(path, visit, context);
}

bool program_directory(char* out, size_t out_size) {
    const std::string& dir = g_headless.program_directory;
    if (out_size == 0 || dir.size() >= out_size) {
        return false;
    }
    memcpy(out, dir.c_str(), dir.size() + 1);
    return true;
}

UiLanguage system_language() {
    return g_headless.language;
}

uint32_t tick_ms() {
    return g_headless.clock_driven ? g_headless.clock_ms : NATIVE_BACKEND_BASE.tick_ms();
}

bool key_down(int virtual_key) {
    return virtual_key >= 0 && virtual_key < 256 && g_headless.keys_down[virtual_key];
}

bool clipboard_put_text(const char* text) {
    if (!g_headless.clipboard_available) {
        return false;
    }
    g_headless.clipboard = text;
    g_headless.clipboard_puts++;
    return true;
}

bool clipboard_get_text(std::string& out_sjis) {
    if (!g_headless.clipboard_available || g_headless.clipboard.empty()) {
        return false;
    }
    out_sjis = g_headless.clipboard;
    return true;
}

bool start_program(const char* program_path, const char* argument) {
    if (g_headless.fail_start_programs > 0) {
        g_headless.fail_start_programs--;
        return false;
    }
    g_headless.started_programs.emplace_back(program_path, argument != nullptr ? argument : "");
    return true;
}

bool open_document(const char* path_or_address) {
    if (g_headless.fail_open_documents > 0) {
        g_headless.fail_open_documents--;
        return false;
    }
    g_headless.opened_documents.emplace_back(path_or_address);
    return true;
}

bool network_available() {
    return g_headless.network_up;
}

PlatformSocket* tcp_connect(const char* host, int port) {
    return native_tcp_connect(host, port, &g_headless.last_lookup);
}

constexpr PlatformBackend headless_table() {
    PlatformBackend t = NATIVE_BACKEND_BASE;
    t.name = "headless";
    t.message_box = message_box;
    t.ask_ok_cancel = ask_ok_cancel;
    t.ask_yes_no = ask_yes_no;
    t.open_file_dialog = open_file_dialog;
    t.save_file_dialog = save_file_dialog;
    t.wait_cursor = wait_cursor;
    t.status_text = status_text;
    // Files open, write, close and move through the fault injection of tests.
    t.file_open = file_open;
    t.file_write = file_write;
    t.file_close = file_close;
    t.file_create_beside = file_create_beside;
    t.file_rename = file_rename;
    t.list_directory = list_directory;
    t.program_directory = program_directory;
    t.system_language = system_language;
    t.tick_ms = tick_ms;
    t.key_down = key_down;
    t.clipboard_put_text = clipboard_put_text;
    t.clipboard_get_text = clipboard_get_text;
    t.start_program = start_program;
    t.open_document = open_document;
    t.network_available = network_available;
    t.tcp_connect = tcp_connect;
    t.midi = &HEADLESS_MIDI;
    t.window = &HEADLESS_WINDOW;
    return t;
}

} // namespace

constinit const PlatformBackend HEADLESS_BACKEND = headless_table();

void headless_follow_system() {
    g_headless.language = NATIVE_BACKEND_BASE.system_language();
    char dir[4096];
    if (NATIVE_BACKEND_BASE.program_directory(dir, sizeof dir)) {
        g_headless.program_directory = dir;
    }
}
