// The terminal backend: message boxes become lines on standard error, questions are asked
// on the terminal, the clipboard is reached through xclip or wl-copy when a display exists.
#include "platform/terminal/terminal.h"

#include "platform/posix_backend.h"
#include "platform/posix_files.h"
#include "platform/posix_network.h"
#include "platform/posix_programs.h"
#include "platform/text_convert.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

TerminalState g_terminal;

void terminal_reset() {
    g_terminal = TerminalState{};
    g_terminal.interactive = isatty(STDIN_FILENO) != 0;
}

namespace {

void message_box(const char* caption, const char* text, MessageIcon) {
    (void)caption;
    fprintf(g_terminal.messages, "%s\n", sjis_line_to_utf8(text).c_str());
    fflush(g_terminal.messages);
}

bool ask(const char* text) {
    fprintf(g_terminal.messages, "%s", sjis_line_to_utf8(text).c_str());
    if (!g_terminal.interactive) {
        // Nobody can answer: the safe answer, which never overwrites or changes anything.
        fprintf(g_terminal.messages, " [y/N] n (no terminal)\n");
        return false;
    }
    fprintf(g_terminal.messages, " [y/N] ");
    fflush(g_terminal.messages);
    char line[64];
    if (fgets(line, sizeof line, stdin) == nullptr) {
        return false;
    }
    return line[0] == 'y' || line[0] == 'Y';
}

bool ask_yes_no(const char* caption, const char* text) {
    (void)caption;
    return ask(text);
}

bool file_dialog(const FileDialogRequest&, char*, size_t) {
    // A command-line program takes its file as an argument.
    return false;
}

void wait_cursor(bool) {}

void status_text(const char* text) {
    fprintf(g_terminal.messages, "%s\n", sjis_line_to_utf8(text).c_str());
}

bool key_down(int) {
    return false;
}

bool clipboard_put_text(const char* text) {
    const char* command = nullptr;
    if (getenv("WAYLAND_DISPLAY") != nullptr && posix_program_on_path("wl-copy")) {
        command = "wl-copy";
    } else if (getenv("DISPLAY") != nullptr && posix_program_on_path("xclip")) {
        command = "xclip -selection clipboard -i";
    }
    if (command == nullptr) {
        return false;
    }
    FILE* pipe = popen(command, "w");
    if (pipe == nullptr) {
        return false;
    }
    size_t length = strlen(text);
    bool ok = fwrite(text, 1, length, pipe) == length;
    return pclose(pipe) == 0 && ok;
}

constexpr PlatformBackend terminal_table() {
    PlatformBackend t = POSIX_BACKEND_BASE;
    t.name = "terminal";
    t.message_box = message_box;
    t.ask_ok_cancel = ask_yes_no;
    t.ask_yes_no = ask_yes_no;
    t.open_file_dialog = file_dialog;
    t.save_file_dialog = file_dialog;
    t.wait_cursor = wait_cursor;
    t.status_text = status_text;
    t.key_down = key_down;
    t.clipboard_put_text = clipboard_put_text;
    t.midi = &HEADLESS_MIDI; // no ports: the converter sends no MIDI
    return t;
}

} // namespace

constinit const PlatformBackend TERMINAL_BACKEND = terminal_table();
