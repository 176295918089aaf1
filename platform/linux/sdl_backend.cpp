// The Linux desktop backend: the SDL window and its message boxes, keyboard state and
// clipboard; files, programs and the network through the POSIX calls.
#include "platform/linux/sdl_keys.h"
#include "platform/linux/sdl_window.h"
#include "platform/posix_backend.h"
#include "platform/posix_files.h"
#include "platform/posix_network.h"
#include "platform/posix_programs.h"
#include "platform/text_convert.h"

#include <SDL.h>
#include <cstdio>
#include <string>

namespace {

uint32_t box_flags(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::exclamation:
        return SDL_MESSAGEBOX_WARNING;
    case MessageIcon::information:
    case MessageIcon::question:
        return SDL_MESSAGEBOX_INFORMATION;
    }
    return SDL_MESSAGEBOX_INFORMATION;
}

void message_box(const char* caption, const char* text, MessageIcon icon) {
    // Drawn in the window when the program gave a box of its own: SDL's boxes cannot show
    // Japanese without a Japanese desktop locale and fonts.
    if (auto drawn = platform_dialog_handlers().message_box; drawn && g_sdl_window.open) {
        drawn(caption, text, icon);
        return;
    }
    std::string c = sjis_line_to_utf8(caption);
    std::string t = sjis_line_to_utf8(text);
    if (SDL_ShowSimpleMessageBox(box_flags(icon), c.c_str(), t.c_str(), nullptr) != 0) {
        fprintf(stderr, "%s: %s\n", c.c_str(), t.c_str());
    }
}

// Two buttons; Enter takes the first, Esc the second. No box at all counts as the second.
bool ask(const char* caption, const char* text, const char* first, const char* second) {
    std::string c = sjis_line_to_utf8(caption);
    std::string t = sjis_line_to_utf8(text);
    const SDL_MessageBoxButtonData buttons[] = {
        {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 0, second},
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, 1, first},
    };
    SDL_MessageBoxData data{};
    data.flags = SDL_MESSAGEBOX_INFORMATION;
    data.title = c.c_str();
    data.message = t.c_str();
    data.numbuttons = 2;
    data.buttons = buttons;
    int chosen = 0;
    if (SDL_ShowMessageBox(&data, &chosen) != 0) {
        return false;
    }
    return chosen == 1;
}

bool ask_ok_cancel(const char* caption, const char* text) {
    if (auto drawn = platform_dialog_handlers().ask_ok_cancel; drawn && g_sdl_window.open) {
        return drawn(caption, text);
    }
    return ask(caption, text, "OK", "Cancel");
}

bool ask_yes_no(const char* caption, const char* text) {
    if (auto drawn = platform_dialog_handlers().ask_yes_no; drawn && g_sdl_window.open) {
        return drawn(caption, text);
    }
    return ask(caption, text, "Yes", "No");
}

// The file choosers are drawn in the picture by the program, which registers them; without
// them a dialog is cancelled, which every caller handles.
bool open_file_dialog(const FileDialogRequest& request, char* path, size_t path_size) {
    auto handler = platform_dialog_handlers().open_file;
    return handler != nullptr && path_size > 0 && handler(request, path, path_size);
}

bool save_file_dialog(const FileDialogRequest& request, char* path, size_t path_size) {
    auto handler = platform_dialog_handlers().save_file;
    return handler != nullptr && path_size > 0 && handler(request, path, path_size);
}

void wait_cursor(bool on) {
    SDL_WINDOW.cursor_shape(on ? 2 : 0);
}

void status_text(const char*) {}

bool key_down(int virtual_key) {
    return g_sdl_window.open && sdl_virtual_key_held(virtual_key);
}

bool clipboard_put_text(const char* text) {
    return g_sdl_window.open && SDL_SetClipboardText(sjis_to_utf8(text).c_str()) == 0;
}

bool clipboard_get_text(std::string& out_sjis) {
    if (!g_sdl_window.open || !SDL_HasClipboardText()) {
        return false;
    }
    char* utf8 = SDL_GetClipboardText();
    bool converted = utf8 != nullptr && platform_utf8_to_sjis_strict(utf8, out_sjis);
    SDL_free(utf8);
    return converted && !out_sjis.empty();
}

constexpr PlatformBackend sdl_table() {
    PlatformBackend t = POSIX_BACKEND_BASE;
    t.name = "sdl";
    t.message_box = message_box;
    t.ask_ok_cancel = ask_ok_cancel;
    t.ask_yes_no = ask_yes_no;
    t.open_file_dialog = open_file_dialog;
    t.save_file_dialog = save_file_dialog;
    t.wait_cursor = wait_cursor;
    t.status_text = status_text;
    t.key_down = key_down;
    t.clipboard_put_text = clipboard_put_text;
    t.clipboard_get_text = clipboard_get_text;
#ifdef ZB_WITH_ALSA
    t.midi = &ALSA_MIDI;
#else
    t.midi = &HEADLESS_MIDI;
#endif
    t.window = &SDL_WINDOW;
    return t;
}

} // namespace

constinit const PlatformBackend SDL_BACKEND = sdl_table();
