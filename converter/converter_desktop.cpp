// melconv's window: opened when the converter was started from a desktop. Start-up's
// options dialog and the one conversion run on the window's first timer tick, as the
// converter's whole run comes before its message loop; then the window closes.
#include "converter/converter_desktop.h"

#include "common/version_check.h"
#include "converter/converter.h"
#include "gui/file_chooser.h"
#include "gui/modal.h"
#include "gui/window_face.h"
#include "platform/console.h"
#include "platform/headless/headless_window.h"
#include "platform/platform.h"
#include "platform/virtual_keys.h"
#include "platform/window.h"

#include <cstdio>

ConverterDesktop g_converter_desktop;

namespace {

constexpr const char* WINDOW_CAPTION = "MELCONV";
// The window of the converter proper is 260 x 80; the picture keeps its one size, so the
// about text stands in that corner and the dialogs have the rest.
constexpr int ABOUT_WIDTH = 260;
constexpr int ABOUT_HEIGHT = 80;

void about_draw() {
    char about[160];
    snprintf(about, sizeof about,
             "MELCONV release %d.%02d - converts MIDI files to i-mode, au and J-PHONE "
             "ringtones and ringtones back to MIDI files",
             MELCONV_RELEASE / 100, MELCONV_RELEASE % 100);
    window_face_draw(ABOUT_WIDTH, ABOUT_HEIGHT, about);
}

// The converter's whole run, on the first tick.
void desktop_start() {
    g_converter_desktop.started = true;
    about_draw();
    if (platform_key_down(VK_SHIFT)) {
        g_converter.show_options = true;
    }
    if (g_converter.show_options) {
        options_dialog();
    }
    g_converter_desktop.written = run_conversion();
    platform_window_destroy();
}

void on_timer() {
    if (!g_converter_desktop.started) {
        desktop_start();
    }
}

void on_drop(const char*) {}
void on_wake() {}

// The close box ends an open dialog as if cancelled, else the program.
void on_close() {
    if (modal_active()) {
        modal_post_close();
        return;
    }
    platform_window_destroy();
}

// The window's input matters only to the dialogs, which run modally: it goes to them.
const WindowHandlers DESKTOP_HANDLERS = {
    on_timer, modal_post_key, modal_post_mouse_move, modal_post_mouse_button, on_drop, on_close,
    on_wake,  nullptr,        modal_post_text,       modal_post_composition,
};

} // namespace

bool converter_desktop_run(const char* script, const char* log) {
    g_converter_desktop = ConverterDesktop{};
    file_chooser_register();
    headless_window_reset();
    modal_reset();
    modal_attach(&DESKTOP_HANDLERS);
    WindowOptions window{0, script, log};
    if (!platform_window_open(WINDOW_CAPTION, window)) {
        // No window after all: the conversion still runs, its boxes shown as the backend can.
        platform_console_print(ConsoleStream::error, "melconv: %s\n", platform_window_error());
        return run_conversion();
    }
    platform_window_run(DESKTOP_HANDLERS);
    return g_converter_desktop.written;
}
