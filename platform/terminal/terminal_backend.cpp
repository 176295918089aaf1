// The terminal backend: message boxes become lines on standard error, questions are asked
// on the terminal, the clipboard is reached through xclip or wl-copy when a display exists.
#include "platform/terminal/terminal.h"

#include "platform/platform_backend.h"
#include "platform/posix_files.h"
#include "platform/posix_network.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iconv.h>
#include <string>
#include <unistd.h>

TerminalState g_terminal;

void terminal_reset() {
    g_terminal = TerminalState{};
    g_terminal.interactive = isatty(STDIN_FILENO) != 0;
}

namespace {

// Shift-JIS to UTF-8 for the terminal; a byte without a form shows as '?'.
std::string sjis_text_to_utf8(const char* text) {
    std::string out;
    iconv_t cd = iconv_open("UTF-8", "CP932");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        return text;
    }
    char* in = const_cast<char*>(text);
    size_t in_left = strlen(text);
    char buffer[256];
    while (in_left > 0) {
        char* o = buffer;
        size_t o_left = sizeof buffer;
        size_t r = iconv(cd, &in, &in_left, &o, &o_left);
        out.append(buffer, static_cast<size_t>(o - buffer));
        if (r == static_cast<size_t>(-1) && errno != E2BIG) {
            out.push_back('?');
            in++;
            in_left--;
        }
    }
    iconv_close(cd);
    return out;
}

// Message texts end in CR LF for the boxes; a terminal line needs only the LF.
std::string terminal_text(const char* text) {
    std::string out = sjis_text_to_utf8(text);
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) {
        out.pop_back();
    }
    return out;
}

void message_box(const char* caption, const char* text, MessageIcon) {
    (void)caption;
    fprintf(g_terminal.messages, "%s\n", terminal_text(text).c_str());
    fflush(g_terminal.messages);
}

bool ask(const char* text) {
    fprintf(g_terminal.messages, "%s", terminal_text(text).c_str());
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
    fprintf(g_terminal.messages, "%s\n", terminal_text(text).c_str());
}

bool key_down(int) {
    return false;
}

bool program_on_path(const char* name) {
    const char* path = getenv("PATH");
    if (path == nullptr) {
        return false;
    }
    std::string dirs = path;
    size_t start = 0;
    while (start <= dirs.size()) {
        size_t end = dirs.find(':', start);
        if (end == std::string::npos) {
            end = dirs.size();
        }
        std::string candidate = dirs.substr(start, end - start) + "/" + name;
        if (access(candidate.c_str(), X_OK) == 0) {
            return true;
        }
        start = end + 1;
    }
    return false;
}

bool clipboard_put_text(const char* text) {
    const char* command = nullptr;
    if (getenv("WAYLAND_DISPLAY") != nullptr && program_on_path("wl-copy")) {
        command = "wl-copy";
    } else if (getenv("DISPLAY") != nullptr && program_on_path("xclip")) {
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

bool start_program(const char* program_path, const char* argument) {
    const char* arguments[] = {program_path, argument, nullptr};
    return posix_spawn_detached(program_path, arguments);
}

bool open_document(const char* path_or_address) {
    const char* arguments[] = {"xdg-open", path_or_address, nullptr};
    return program_on_path("xdg-open") && posix_spawn_detached("xdg-open", arguments);
}

bool network_available() {
    return true;
}

PlatformSocket* tcp_connect(const char* host, int port) {
    return posix_tcp_connect(host, port, nullptr);
}

} // namespace

const PlatformBackend TERMINAL_BACKEND = {
    "terminal",
    message_box,
    ask_yes_no,
    ask_yes_no,
    file_dialog,
    file_dialog,
    wait_cursor,
    status_text,
    posix_file_open,
    posix_file_read,
    posix_file_write,
    posix_file_close,
    posix_file_create_beside,
    posix_file_rename,
    posix_file_remove,
    posix_file_exists,
    posix_program_directory,
    posix_system_language,
    posix_tick_ms,
    key_down,
    posix_path_display_text,
    clipboard_put_text,
    start_program,
    open_document,
    network_available,
    tcp_connect,
    posix_tcp_send,
    posix_tcp_receive,
    posix_tcp_close,
    &HEADLESS_MIDI, // no ports: the converter sends no MIDI
};
