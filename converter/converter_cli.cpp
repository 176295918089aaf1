// The melconv program on Linux: parses the command line, takes the options from MELCONV.INI
// and the flags, converts one file and reports on standard error.
#include "converter/converter_cli.h"

#include "common/text_sjis.h"
#include "common/version_check.h"
#include "converter/converter.h"
#include "converter/converter_desktop.h"
#include "converter/mail_text.h"
#include "platform/console.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "platform/terminal/terminal.h"
#include "songcore/song_store.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr int EXIT_WRITTEN = 0;
constexpr int EXIT_NOT_WRITTEN = 1;
constexpr int EXIT_USAGE = 2;
constexpr int VK_SHIFT = 0x10;

// What the command line asked for besides the options.
struct CliRequest {
    const char* file;
    bool headless;
    const char* script; // a headless window run: its script and log
    const char* log;
    bool store;
    bool help;
    bool version_check;
    const char* mail_text_path;
    char version_address[VERSION_ADDRESS_PART];
    int version_port;
};

void usage(ConsoleStream out) {
    platform_console_print(
        out,
        "usage: melconv [options] FILE\n"
        "Converts a MIDI file (.mid) to a ringtone beside it, or a ringtone (.mld, .pmd,\n"
        ".mmf) back to a MIDI file. A character before the extension steers an SMF:\n"
        "'#' MMF, '3' MFi version 3, '!' au PMD, '%%' separation with one voice per\n"
        "channel, '_' separation.\n\n"
        "options (each mirrors a key of MELCONV.INI beside the program):\n"
        "  --model=N       0 i-mode MLD, 1 au PMD, 2 J-PHONE MMF, 3 i-mode MLD as MFi3\n"
        "  --vel=0|1       notes carry velocity      --separation=0|1  voice separation\n"
        "  --link=0|1      linked ringtone           --play=0|1   open a written MIDI file\n"
        "  --pan=0|1 --exp=0|1 --pb=0|1 --mod=0|1    convert pan, expression, bend, modulation\n"
        "  --autocut=1..900  cut after N KB of events (1: 300 bytes)\n"
        "  --toneshift=-12..12  --msvol=0..127  --disp=0|1  --message=0|1\n"
        "  --vers=TEXT  --m2=N  --a0=TEXT  --pmmf=N   (MFi3 version text, MMF fields)\n"
        "  --store         save these options to MELCONV.INI\n"
        "  --yes | --no    answer the overwrite question (default without a terminal: no)\n"
        "  --v1 | --no-v1  answer the MFi version 1 offer\n"
        "  --mail-text=FILE  write the mail text of an i-mode ringtone to FILE ('-': stdout)\n"
        "  --version-check[=HOST/PATH]  ask the web server for a newer release first\n"
        "  --version-port=N  port of that server (default 80)\n"
        "  --gui | --no-gui  show the window, or stay on the terminal (default: the window\n"
        "                  when started from a desktop without a terminal)\n"
        "  --headless      run on the headless backend (scripted runs; with --gui the\n"
        "                  window's run takes --script FILE and --log FILE)\n"
        "  --help          this text\n");
}

void options_show(ConsoleStream out) {
    platform_console_print(
        out, "current options:\n  model=%d vel=%d separation=%d link=%d disp=%d play=%d\n",
        g_options.model, g_options.vel, g_options.separation, g_options.link, g_options.disp,
        g_options.play);
    platform_console_print(
        out, "  pan=%d exp=%d pb=%d mod=%d autocut=%d toneshift=%d msvol=%d message=%d\n",
        g_options.pan, g_options.exp, g_options.pb, g_options.mod, g_options.autocut,
        g_options.toneshift, g_options.msvol, g_options.message);
    platform_console_print(out, "  vers=%s m2=%d a0=%s pmmf=%d\n", g_options.vers, g_options.m2,
                           g_options.a0, g_options.pmmf);
}

// "--key=value" or "--key value"; returns the value or null.
const char* flag_value(const char* arg, const char* name, int& i, int argc, char** argv) {
    size_t n = strlen(name);
    if (strncmp(arg, name, n) != 0) {
        return nullptr;
    }
    if (arg[n] == '=') {
        return arg + n + 1;
    }
    if (arg[n] == '\0' && i + 1 < argc) {
        return argv[++i];
    }
    return nullptr;
}

bool number_parse(const char* text, int& out) {
    char* end = nullptr;
    long value = strtol(text, &end, 10);
    if (end == text || *end != '\0' || value < -2147483647L || value > 2147483647L) {
        return false;
    }
    out = static_cast<int>(value);
    return true;
}

// One "--key=value" option of the INI file; false with a message when it is wrong.
bool option_flag(const char* arg, int& i, int argc, char** argv, bool& matched) {
    matched = false;
    if (strncmp(arg, "--", 2) != 0) {
        return true;
    }
    std::string key = arg + 2;
    size_t eq = key.find('=');
    key = key.substr(0, eq);
    std::string flag = "--" + key;
    if (key == "vers" || key == "a0") {
        const char* value = flag_value(arg, flag.c_str(), i, argc, argv);
        if (value == nullptr) {
            return true;
        }
        matched = true;
        char* field = key == "vers" ? g_options.vers : g_options.a0;
        snprintf(field, OPTION_TEXT_SIZE, "%s", value);
        return true;
    }
    int* field;
    int low;
    int high;
    if (option_lookup(key.c_str(), &field, &low, &high) == 0) {
        return true;
    }
    matched = true;
    const char* value = flag_value(arg, flag.c_str(), i, argc, argv);
    int number;
    if (value == nullptr || !number_parse(value, number) || number < low || number > high) {
        platform_console_print(ConsoleStream::error, "melconv: %s needs a number from %d to %d\n",
                               flag.c_str(), low, high);
        return false;
    }
    *field = number;
    return true;
}

// Parses everything; EXIT_WRITTEN to go on, else the status to end with.
int arguments_parse(int argc, char** argv, CliRequest& request) {
    for (int i = 1; i < argc; i++) {
        const char* arg = argv[i];
        const char* value;
        bool matched;
        if (strcmp(arg, "--headless") == 0) {
            request.headless = true;
        } else if (strcmp(arg, "--gui") == 0 || strcmp(arg, "--no-gui") == 0) {
            continue; // taken at start-up, before the backend is chosen
        } else if ((value = flag_value(arg, "--script", i, argc, argv)) != nullptr) {
            request.script = value;
        } else if ((value = flag_value(arg, "--log", i, argc, argv)) != nullptr) {
            request.log = value;
        } else if (strcmp(arg, "--store") == 0) {
            request.store = true;
        } else if (strcmp(arg, "--help") == 0 || strcmp(arg, "-h") == 0) {
            request.help = true;
        } else if (strcmp(arg, "--yes") == 0) {
            g_converter.overwrite_answer = PresetAnswer::yes;
        } else if (strcmp(arg, "--no") == 0) {
            g_converter.overwrite_answer = PresetAnswer::no;
        } else if (strcmp(arg, "--v1") == 0) {
            g_converter.version1_answer = PresetAnswer::yes;
        } else if (strcmp(arg, "--no-v1") == 0) {
            g_converter.version1_answer = PresetAnswer::no;
        } else if (strcmp(arg, "--version-check") == 0) {
            request.version_check = true;
        } else if (strncmp(arg, "--version-check=", 16) == 0) {
            request.version_check = true;
            snprintf(request.version_address, sizeof request.version_address, "%s", arg + 16);
        } else if ((value = flag_value(arg, "--version-port", i, argc, argv)) != nullptr) {
            if (!number_parse(value, request.version_port) || request.version_port < 1 ||
                request.version_port > 65535) {
                platform_console_print(ConsoleStream::error,
                                       "melconv: --version-port needs a port number\n");
                return EXIT_USAGE;
            }
        } else if ((value = flag_value(arg, "--mail-text", i, argc, argv)) != nullptr) {
            request.mail_text_path = value;
        } else if (!option_flag(arg, i, argc, argv, matched)) {
            return EXIT_USAGE;
        } else if (matched) {
            continue;
        } else if (arg[0] == '-' && arg[1] != '\0') {
            platform_console_print(ConsoleStream::error,
                                   "melconv: unknown option %s (see --help)\n", arg);
            return EXIT_USAGE;
        } else if (request.file != nullptr) {
            platform_console_print(ConsoleStream::error, "melconv: one file at a time\n");
            return EXIT_USAGE;
        } else {
            request.file = arg;
        }
    }
    return EXIT_WRITTEN;
}

bool mail_text_write(const char* path) {
    if (g_mail_text.length == 0) {
        platform_console_print(ConsoleStream::error,
                               "melconv: no mail text was made (only i-mode output has one)\n");
        return false;
    }
    if (strcmp(path, "-") == 0) {
        return platform_console_write(ConsoleStream::output, g_mail_text.text, g_mail_text.length);
    }
    PlatformFile* out = platform_file_open(path, FileMode::write);
    if (out == nullptr) {
        platform_console_print(ConsoleStream::error, "melconv: cannot write %s\n", path);
        return false;
    }
    bool ok = platform_file_write(out, g_mail_text.text, g_mail_text.length) == g_mail_text.length;
    return platform_file_close(out) && ok;
}

// The headless backend keeps what it showed; a scripted run still reports it.
void headless_messages_print() {
    for (const HeadlessShown& shown : g_headless.messages) {
        std::string text = sjis_to_utf8(shown.text);
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
            text.pop_back();
        }
        platform_console_print(ConsoleStream::error, "%s\n", text.c_str());
    }
}

void version_check(const CliRequest& request) {
    VersionSite site = MELCONV_VERSION_SITE;
    if (request.version_address[0] != '\0') {
        site.address = request.version_address;
    }
    site.port = request.version_port;
    version_check_start(site);
}

} // namespace

int melconv_run(int argc, char** argv) {
    melconv_reset_all();
    // Start-up: backend, language, the options file; then the flags over the options.
    bool headless = false;
    int gui = -1;
    for (int i = 1; i < argc; i++) {
        headless = headless || strcmp(argv[i], "--headless") == 0;
        gui = strcmp(argv[i], "--gui") == 0 ? 1 : strcmp(argv[i], "--no-gui") == 0 ? 0 : gui;
    }
    // Started by the sequencer or a file manager there is no terminal to talk to: the window.
    bool desktop = gui == 1 || (gui == -1 && !headless && platform_started_from_desktop());
    if (headless) {
        platform_select("headless");
    } else if (!desktop || !platform_select_desktop()) {
        desktop = false;
        platform_select("terminal");
    }
    g_converter.ui_japanese = platform_system_language() == UiLanguage::japanese;
    // The window's keyboard is read once the window is open.
    g_converter.show_options = !desktop && platform_key_down(VK_SHIFT);
    if (!platform_program_directory(g_converter.program_directory,
                                    sizeof g_converter.program_directory)) {
        snprintf(g_converter.program_directory, sizeof g_converter.program_directory, ".");
    }
    options_load();
    CliRequest request{};
    request.version_port = VERSION_CHECK_PORT;
    int status = arguments_parse(argc, argv, request);
    if (status != EXIT_WRITTEN) {
        return status;
    }
    if (request.help) {
        usage(ConsoleStream::output);
        return EXIT_WRITTEN;
    }
    if (g_options.disp == 1) {
        g_converter.show_options = true;
    }
    if (request.store) {
        if (!options_save()) {
            char path[CONVERTER_PATH_SIZE * 2];
            options_path(path, sizeof path);
            platform_console_print(
                ConsoleStream::error,
                "melconv: cannot write the options to %s (is the directory writable?)\n", path);
            return EXIT_NOT_WRITTEN;
        }
        platform_console_print(ConsoleStream::error, "melconv: options stored\n");
    }
    if (!command_line_take(request.file != nullptr ? request.file : "")) {
        platform_console_print(ConsoleStream::error,
                               "melconv: the path is longer than %zu bytes: %s\n",
                               CONVERTER_PATH_SIZE - 1, request.file);
        return EXIT_USAGE;
    }
    if (desktop) {
        if (request.version_check) {
            version_check(request);
        }
        return converter_desktop_run(request.script, request.log) ? EXIT_WRITTEN : EXIT_NOT_WRITTEN;
    }
    if (g_converter.show_options || request.version_check) {
        // The options dialog's counterpart: the version check runs just before it.
        if (request.version_check) {
            version_check(request);
        }
        if (g_converter.show_options) {
            options_show(ConsoleStream::error);
        }
    }
    if (request.file == nullptr) {
        if (!request.store) {
            usage(ConsoleStream::error);
            return EXIT_USAGE;
        }
        return EXIT_WRITTEN;
    }
    bool written = run_conversion();
    if (request.headless) {
        headless_messages_print();
    }
    if (request.mail_text_path != nullptr && !mail_text_write(request.mail_text_path)) {
        return EXIT_NOT_WRITTEN;
    }
    if (!written) {
        platform_console_print(ConsoleStream::error, "melconv: no file written\n");
        return EXIT_NOT_WRITTEN;
    }
    platform_console_print(ConsoleStream::error, "melconv: wrote %s\n", g_converter.input_path);
    return EXIT_WRITTEN;
}
