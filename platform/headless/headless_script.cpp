// The script runner of the headless window. One command per line ('#' starts a comment):
//   wait MS                 the driven clock runs on MS milliseconds (timer every 20 ms)
//   key NAME (held 30 ms, then 20 ms up) | keydown NAME | keyup NAME     NAME: F1..F12, Enter, Esc,
//   Tab, Space, PageUp,
//                           PageDown, Home, End, Left, Up, Right, Down, Delete, Shift, Ctrl,
//                           Plus (numeric pad), a letter or digit, or a virtual-key number
//   move X Y | click X Y (held 30 ms) | press X Y | release | rightdown | rightup
//   drop PATH               a file dropped on the window (only while drops are accepted)
//   answer yes|no           the next question's answer; dialog PATH: the next file dialog's
//                           path (nothing after "dialog" cancels it)
//   midi HEX...             a short message from the MIDI input; sysex HEX...: a long one
//   text STRING             typed text (UTF-8), as the keyboard's text input delivers it
//   compose STRING          an input method's text still being composed (caret at its end)
//   screenshot FILE.png     the picture as it stands
//   close                   the window's close box
//   note TEXT               a line copied into the log
// The log lists, with the clock, every MIDI message sent, status text, message box, question,
// program started, document opened and caption change. The program starts on the first timer tick,
// so scripts begin with a wait. A modal dialog opened by a line runs the following lines itself
// (through platform_window_pump) until it ends.
#include "platform/headless/headless.h"
#include "platform/headless/headless_midi.h"
#include "platform/headless/headless_window.h"
#include "platform/picture.h"
#include "platform/text_convert.h"
#include "platform/virtual_keys.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr long KEY_STROKE_MS = 30;
constexpr long KEY_GAP_MS = 20;

struct NamedKey {
    const char* name;
    int code;
};

const NamedKey KEY_NAMES[] = {
    {"Backspace", VK_BACKSPACE},
    {"Tab", VK_TAB},
    {"Enter", VK_ENTER},
    {"Shift", VK_SHIFT},
    {"Ctrl", VK_CONTROL},
    {"Esc", VK_ESC},
    {"Space", VK_SPACE},
    {"PageUp", VK_PAGE_UP},
    {"PageDown", VK_PAGE_DOWN},
    {"End", VK_END},
    {"Home", VK_HOME},
    {"Left", VK_LEFT},
    {"Up", VK_UP},
    {"Right", VK_RIGHT},
    {"Down", VK_DOWN},
    {"Delete", VK_DELETE},
    {"Plus", VK_PAD_PLUS},
    {"F1", VK_F1},
    {"F2", VK_F2},
    {"F3", VK_F3},
    {"F4", VK_F4},
    {"F5", VK_F5},
    {"F6", VK_F6},
    {"F7", VK_F7},
    {"F8", VK_F8},
    {"F9", VK_F9},
    {"F10", VK_F10},
    {"F11", VK_F11},
    {"F12", VK_F12},
    {"Semicolon", VK_SEMICOLON},
    {"Colon", VK_COLON},
    {"Bracket", VK_BRACKET},
    {"CloseBracket", VK_CLOSE_BRACKET},
};

// The virtual-key code of a name, or -1.
int key_code_of(const std::string& name) {
    for (const NamedKey& key : KEY_NAMES) {
        if (name == key.name) {
            return key.code;
        }
    }
    if (name.size() == 1 && isalnum(static_cast<unsigned char>(name[0]))) {
        return toupper(static_cast<unsigned char>(name[0]));
    }
    char* end = nullptr;
    long code = strtol(name.c_str(), &end, 0);
    if (!name.empty() && *end == '\0' && code > 0 && code < 256) {
        return static_cast<int>(code);
    }
    return -1;
}

struct ScriptRun {
    const WindowHandlers* handlers;
    FILE* log;
    FILE* script = nullptr;
    const char* script_path = "";
    int line_number = 0;
    size_t midi_logged = 0;
    size_t status_logged = 0;
    size_t messages_logged = 0;
    size_t questions_logged = 0;
    size_t programs_logged = 0;
    size_t documents_logged = 0;
    std::string caption_logged;
    int since_timer = 0;
    int errors = 0;
};

void log_line(ScriptRun& run, const std::string& text) {
    fprintf(run.log, "%8u %s\n", g_headless.clock_ms, text.c_str());
}

std::string printable(const std::string& sjis) {
    std::string text = sjis_to_utf8(sjis);
    for (char& c : text) {
        if (c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    return text;
}

// Everything shown or sent since the last call goes into the log.
void log_flush(ScriptRun& run) {
    for (const HeadlessMidiMessage& m : headless_midi_sent_since(run.midi_logged)) {
        run.midi_logged++;
        char line[64];
        snprintf(line, sizeof line, "midi %d:", m.device);
        std::string text = line;
        size_t shown = std::min<size_t>(m.bytes.size(), 32);
        for (size_t i = 0; i < shown; i++) {
            snprintf(line, sizeof line, " %02X", m.bytes[i]);
            text += line;
        }
        if (shown < m.bytes.size()) {
            text += " ...";
        }
        fprintf(run.log, "%8u %s\n", m.tick_ms, text.c_str());
    }
    for (; run.status_logged < g_headless.status_texts.size(); run.status_logged++) {
        log_line(run, "status: " + printable(g_headless.status_texts[run.status_logged]));
    }
    for (; run.messages_logged < g_headless.messages.size(); run.messages_logged++) {
        const HeadlessShown& shown = g_headless.messages[run.messages_logged];
        log_line(run, "message: [" + printable(shown.caption) + "] " + printable(shown.text));
    }
    for (; run.questions_logged < g_headless.questions.size(); run.questions_logged++) {
        const HeadlessShown& shown = g_headless.questions[run.questions_logged];
        log_line(run, "question: [" + printable(shown.caption) + "] " + printable(shown.text));
    }
    for (; run.programs_logged < g_headless.started_programs.size(); run.programs_logged++) {
        const auto& started = g_headless.started_programs[run.programs_logged];
        log_line(run, "program: " + started.first + " [" + started.second + "]");
    }
    for (; run.documents_logged < g_headless.opened_documents.size(); run.documents_logged++) {
        log_line(run, "opened: " + g_headless.opened_documents[run.documents_logged]);
    }
    if (g_headless_window.caption != run.caption_logged) {
        run.caption_logged = g_headless_window.caption;
        log_line(run, "caption: " + printable(run.caption_logged));
    }
    fflush(run.log);
}

void deliver_wake(ScriptRun& run) {
    if (headless_window_take_wake() && run.handlers->wake) {
        run.handlers->wake();
    }
}

void wait_ms(ScriptRun& run, long ms) {
    for (long i = 0; i < ms && !g_headless_window.destroyed; i++) {
        g_headless.clock_ms++;
        if (run.handlers->clock_step) {
            run.handlers->clock_step();
        }
        deliver_wake(run);
        if (++run.since_timer >= 20) {
            run.since_timer = 0;
            run.handlers->timer();
        }
        log_flush(run);
    }
}

bool read_hex_bytes(std::istringstream& in, std::vector<uint8_t>& bytes) {
    std::string word;
    while (in >> word) {
        char* end = nullptr;
        unsigned long value = strtoul(word.c_str(), &end, 16);
        if (*end != '\0' || value > 0xFF) {
            return false;
        }
        bytes.push_back(static_cast<uint8_t>(value));
    }
    return !bytes.empty();
}

bool screenshot(const std::string& path) {
    static uint32_t copy[PICTURE_WIDTH * PICTURE_HEIGHT];
    {
        std::lock_guard<std::mutex> hold(g_picture.lock);
        memcpy(copy, g_picture.pixels, sizeof copy);
    }
    return picture_write_png(path.c_str(), copy, PICTURE_WIDTH, PICTURE_HEIGHT);
}

// One command; false when it could not be carried out.
bool run_command(ScriptRun& run, const std::string& line) {
    std::istringstream in(line);
    std::string command;
    in >> command;
    const WindowHandlers& h = *run.handlers;
    std::string rest;
    std::getline(in >> std::ws, rest);
    std::istringstream args(rest);
    if (command == "wait") {
        long ms = -1;
        args >> ms;
        if (ms < 0) {
            return false;
        }
        wait_ms(run, ms);
    } else if (command == "key" || command == "keydown" || command == "keyup") {
        int code = key_code_of(rest);
        if (code < 0) {
            return false;
        }
        g_headless.keys_down[code] = command != "keyup";
        if (command != "keyup") {
            h.key(code, true);
        }
        if (command == "key") {
            // Held as long as a quick key stroke, so frames on the playback thread see it.
            wait_ms(run, KEY_STROKE_MS);
        }
        if (command != "keydown") {
            g_headless.keys_down[code] = false;
            h.key(code, false);
        }
        if (command == "key") {
            wait_ms(run, KEY_GAP_MS); // a frame sees the key up before the next key comes
        }
    } else if (command == "move" || command == "click" || command == "press") {
        int x = -1, y = -1;
        if (!(args >> x >> y)) {
            return false;
        }
        h.mouse_move(x, y);
        if (command != "move") {
            h.mouse_button(MouseButton::left, true);
        }
        if (command == "click") {
            wait_ms(run, KEY_STROKE_MS);
            h.mouse_button(MouseButton::left, false);
        }
    } else if (command == "release") {
        h.mouse_button(MouseButton::left, false);
    } else if (command == "rightdown" || command == "rightup") {
        h.mouse_button(MouseButton::right, command == "rightdown");
    } else if (command == "drop") {
        if (rest.empty()) {
            return false;
        }
        if (g_headless_window.drop_accepted) {
            h.drop(rest.c_str());
        } else {
            log_line(run, "drop refused: " + rest);
        }
    } else if (command == "answer") {
        if (rest != "yes" && rest != "no") {
            return false;
        }
        g_headless.answers.push_back(rest == "yes");
    } else if (command == "dialog") {
        g_headless.dialog_paths.push_back(rest);
    } else if (command == "midi" || command == "sysex") {
        std::vector<uint8_t> bytes;
        if (!read_hex_bytes(args, bytes)) {
            return false;
        }
        if (command == "midi") {
            if (bytes.size() > 3) {
                return false;
            }
            uint32_t packed = 0;
            for (size_t i = 0; i < bytes.size(); i++) {
                packed |= static_cast<uint32_t>(bytes[i]) << (8 * i);
            }
            headless_midi_feed_short(packed);
        } else {
            headless_midi_feed_long(bytes.data(), static_cast<uint32_t>(bytes.size()));
        }
        deliver_wake(run);
    } else if (command == "text" || command == "compose") {
        if (rest.empty()) {
            return false;
        }
        if (command == "text" && h.text) {
            h.text(rest.c_str());
        } else if (command == "compose" && h.composition) {
            h.composition(rest.c_str(), static_cast<int>(rest.size()));
        }
    } else if (command == "screenshot") {
        if (rest.empty() || !screenshot(rest)) {
            return false;
        }
        log_line(run, "screenshot " + rest);
    } else if (command == "close") {
        h.close();
    } else if (command == "note") {
        log_line(run, "note: " + rest);
    } else {
        return false;
    }
    log_flush(run);
    return true;
}

// The run under way, for a modal loop that takes its input from the script.
ScriptRun* g_script_run = nullptr;

// Reads and carries out the next command line; false at the end of the script.
bool script_step(ScriptRun& run) {
    char buffer[1024];
    while (!g_headless_window.destroyed && fgets(buffer, sizeof buffer, run.script)) {
        run.line_number++;
        std::string line = buffer;
        size_t hash = line.find('#');
        if (hash != std::string::npos) {
            line.erase(hash);
        }
        while (!line.empty() && isspace(static_cast<unsigned char>(line.back()))) {
            line.pop_back();
        }
        size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos) {
            continue;
        }
        if (!run_command(run, line.substr(start))) {
            fprintf(stderr, "%s:%d: cannot run \"%s\"\n", run.script_path, run.line_number,
                    line.c_str() + start);
            run.errors++;
        }
        return true;
    }
    return false;
}

} // namespace

bool headless_script_pump() {
    return g_script_run != nullptr && script_step(*g_script_run);
}

int headless_script_run(const char* script_path, const WindowHandlers& handlers) {
    FILE* script = fopen(script_path, "r");
    if (script == nullptr) {
        fprintf(stderr, "cannot read the script %s\n", script_path);
        return 1;
    }
    ScriptRun run;
    run.handlers = &handlers;
    run.log = stdout;
    run.script = script;
    run.script_path = script_path;
    const char* log_path = g_headless_window.options.log;
    if (log_path && (run.log = fopen(log_path, "w")) == nullptr) {
        fprintf(stderr, "cannot write the log %s\n", log_path);
        fclose(script);
        return 1;
    }
    g_headless.clock_driven = true;
    run.caption_logged.clear(); // the first caption is logged too
    g_script_run = &run;
    while (!g_headless_window.destroyed && script_step(run)) {
    }
    fclose(script);
    // The end of the script closes the window as its close box would.
    if (!g_headless_window.destroyed) {
        handlers.close();
        log_flush(run);
    }
    g_script_run = nullptr;
    if (run.log != stdout) {
        fclose(run.log);
    }
    return run.errors;
}
