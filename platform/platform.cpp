// The free platform functions, each calling through the backend table chosen at start.
#include "platform/platform.h"

#include "platform/native_backend.h"
#include "platform/picture.h"
#include "platform/platform_backend.h"
#include "platform/synth_backend.h"
#include "platform/terminal/terminal.h"

#include <cstring>
#include <string>

namespace {
// Chosen once at start, before any other thread exists.
const PlatformBackend* g_backend = &HEADLESS_BACKEND;
const PlatformBackend* const BUILT_BACKENDS[] = {
    &HEADLESS_BACKEND,
#ifdef _WIN32
    &WIN32_BACKEND,
#else
    &TERMINAL_BACKEND,
#endif
#ifdef ZB_WITH_SDL
    &SDL_BACKEND,
#endif
};
const PlatformMidiBackend* g_midi = &HEADLESS_MIDI;
// Registered once at start, before the window runs; read by the backends afterwards.
DialogHandlers g_dialog_handlers{};

struct NamedMidi {
    const char* name;
    const PlatformMidiBackend* table;
};
const NamedMidi BUILT_MIDI[] = {
    {"headless", &HEADLESS_MIDI},
#ifdef ZB_WITH_ALSA
    {"alsa", &ALSA_MIDI},
#endif
};
} // namespace

bool platform_select(const char* backend_name) {
    for (const PlatformBackend* backend : BUILT_BACKENDS) {
        if (strcmp(backend->name, backend_name) == 0) {
            g_backend = backend;
            g_midi = backend->midi;
            return true;
        }
    }
    return false;
}

bool platform_select_midi(const char* midi_name) {
    for (const NamedMidi& midi : BUILT_MIDI) {
        if (strcmp(midi.name, midi_name) == 0) {
            g_midi = midi.table;
            return true;
        }
    }
    return false;
}

bool platform_select_desktop() {
    for (const PlatformBackend* backend : BUILT_BACKENDS) {
        if (strcmp(backend->name, PLATFORM_DESKTOP_BACKEND) == 0 && backend->window != nullptr) {
            return platform_select(PLATFORM_DESKTOP_BACKEND);
        }
    }
    return false;
}

const char* platform_backend_name() {
    return g_backend->name;
}

namespace {

// Every backend's name, then "-midi" after each port set not named after a backend.
std::string built_names() {
    std::string names;
    for (const PlatformBackend* backend : BUILT_BACKENDS) {
        names += names.empty() ? "" : " ";
        names += backend->name;
    }
    for (const NamedMidi& midi : BUILT_MIDI) {
        bool a_backend = false;
        for (const PlatformBackend* backend : BUILT_BACKENDS) {
            a_backend = a_backend || strcmp(backend->name, midi.name) == 0;
        }
        if (!a_backend) {
            names += std::string(" ") + midi.name + "-midi";
        }
    }
    // The synthesizer port and the speech client are not backend tables of their own.
#ifdef ZB_WITH_FLUIDSYNTH
    names += " fluidsynth";
#endif
#ifdef ZB_WITH_SPEECHD
    names += " speechd";
#endif
    return names;
}

} // namespace

const char* platform_built_backends() {
    static const std::string names = built_names();
    return names.c_str();
}

void platform_records_reset() {
#ifndef _WIN32
    terminal_reset();
#endif
    picture_reset();
}

const PlatformMidiBackend* platform_midi_table() {
    return g_midi;
}

void platform_midi_table_set(const PlatformMidiBackend* table) {
    g_midi = table;
}

void platform_message_box(const char* caption, const char* text, MessageIcon icon) {
    g_backend->message_box(caption, text, icon);
}

bool platform_ask_ok_cancel(const char* caption, const char* text) {
    return g_backend->ask_ok_cancel(caption, text);
}

bool platform_ask_yes_no(const char* caption, const char* text) {
    return g_backend->ask_yes_no(caption, text);
}

bool platform_open_file_dialog(const FileDialogRequest& request, char* path, size_t path_size) {
    return g_backend->open_file_dialog(request, path, path_size);
}

bool platform_save_file_dialog(const FileDialogRequest& request, char* path, size_t path_size) {
    return g_backend->save_file_dialog(request, path, path_size);
}

void platform_set_dialog_handlers(const DialogHandlers& handlers) {
    g_dialog_handlers = handlers;
}

const DialogHandlers& platform_dialog_handlers() {
    return g_dialog_handlers;
}

void platform_wait_cursor(bool on) {
    g_backend->wait_cursor(on);
}

void platform_status_text(const char* text) {
    g_backend->status_text(text);
}

PlatformFile* platform_file_open(const char* path, FileMode mode) {
    return g_backend->file_open(path, mode);
}

size_t platform_file_read(PlatformFile* file, void* buffer, size_t count) {
    return g_backend->file_read(file, buffer, count);
}

size_t platform_file_write(PlatformFile* file, const void* buffer, size_t count) {
    return g_backend->file_write(file, buffer, count);
}

bool platform_file_close(PlatformFile* file) {
    return g_backend->file_close(file);
}

PlatformFile* platform_file_create_beside(const char* target_path, char* temp_path,
                                          size_t temp_path_size) {
    return g_backend->file_create_beside(target_path, temp_path, temp_path_size);
}

bool platform_file_rename(const char* from, const char* to) {
    return g_backend->file_rename(from, to);
}

bool platform_file_remove(const char* path) {
    return g_backend->file_remove(path);
}

bool platform_file_exists(const char* path) {
    return g_backend->file_exists(path);
}

bool platform_list_directory(const char* path, DirectoryEntryVisit visit, void* context) {
    return g_backend->list_directory(path, visit, context);
}

bool platform_directory_exists(const char* path) {
    return g_backend->directory_exists(path);
}

bool platform_home_directory(char* out, size_t out_size) {
    return g_backend->home_directory(out, out_size);
}

bool platform_current_directory(char* out, size_t out_size) {
    return g_backend->current_directory(out, out_size);
}

bool platform_started_from_desktop() {
    return native_started_from_desktop();
}

bool platform_program_directory(char* out, size_t out_size) {
    return g_backend->program_directory(out, out_size);
}

UiLanguage platform_system_language() {
    return g_backend->system_language();
}

uint32_t platform_tick_ms() {
    return g_backend->tick_ms();
}

bool platform_key_down(int virtual_key) {
    return g_backend->key_down(virtual_key);
}

void platform_path_display_text(const char* path, char* out, size_t out_size) {
    g_backend->path_display_text(path, out, out_size);
}

int platform_midi_out_count() {
    return g_midi->out_count();
}

bool platform_midi_out_name(int device, char* out, size_t out_size) {
    return g_midi->out_name(device, out, out_size);
}

bool platform_midi_mapper_available() {
    return g_midi->mapper_available();
}

bool platform_midi_out_open(int device) {
    return g_midi->out_open(device);
}

void platform_midi_out_short(int device, const uint8_t* bytes, int length) {
    g_midi->out_short(device, bytes, length);
}

bool platform_midi_out_long(int device, const uint8_t* bytes, uint32_t length) {
    return g_midi->out_long(device, bytes, length);
}

bool platform_midi_out_long_done(int device) {
    return g_midi->out_long_done(device);
}

void platform_midi_out_close(int device) {
    g_midi->out_close(device);
}

int platform_midi_in_count() {
    return g_midi->in_count();
}

bool platform_midi_in_name(int device, char* out, size_t out_size) {
    return g_midi->in_name(device, out, out_size);
}

int platform_midi_in_open(int device, const MidiInCallbacks& callbacks) {
    return g_midi->in_open(device, callbacks);
}

void platform_midi_in_close() {
    g_midi->in_close();
}

bool platform_clipboard_put_text(const char* text) {
    return g_backend->clipboard_put_text(text);
}

bool platform_clipboard_get_text(std::string& out_sjis) {
    out_sjis.clear();
    return g_backend->clipboard_get_text && g_backend->clipboard_get_text(out_sjis);
}

bool platform_start_program(const char* program_path, const char* argument) {
    return g_backend->start_program(program_path, argument);
}

bool platform_open_document(const char* path_or_address) {
    return g_backend->open_document(path_or_address);
}

bool platform_network_available() {
    return g_backend->network_available();
}

PlatformSocket* platform_tcp_connect(const char* host, int port) {
    return g_backend->tcp_connect(host, port);
}

long platform_tcp_send(PlatformSocket* socket, const void* data, size_t count) {
    return g_backend->tcp_send(socket, data, count);
}

long platform_tcp_receive(PlatformSocket* socket, void* buffer, size_t count) {
    return g_backend->tcp_receive(socket, buffer, count);
}

void platform_tcp_close(PlatformSocket* socket) {
    g_backend->tcp_close(socket);
}

// Window calls; a backend without windows refuses to open one and ignores the rest.
namespace {
const char* g_window_error = "";
const PlatformWindowBackend* window_backend() {
    return g_backend->window;
}
} // namespace

bool platform_window_open(const char* caption, const WindowOptions& options) {
    if (window_backend() == nullptr) {
        g_window_error = "this backend has no windows";
        return false;
    }
    g_window_error = "";
    return window_backend()->open(caption, options);
}

void platform_window_run(const WindowHandlers& handlers) {
    if (window_backend()) {
        window_backend()->run(handlers);
    }
}

void platform_window_destroy() {
    if (window_backend()) {
        window_backend()->destroy();
    }
}

void platform_window_caption(const char* caption) {
    if (window_backend()) {
        window_backend()->caption(caption);
    }
}

void platform_window_drop_accept(bool on) {
    if (window_backend()) {
        window_backend()->drop_accept(on);
    }
}

void platform_window_wake() {
    if (window_backend()) {
        window_backend()->wake();
    }
}

void platform_pointer_warp(int x, int y) {
    if (window_backend()) {
        window_backend()->pointer_warp(x, y);
    }
}

void platform_cursor_shape(int shape) {
    if (window_backend()) {
        window_backend()->cursor_shape(shape);
    }
}

bool platform_window_pump(const WindowHandlers& handlers, uint32_t wait_ms) {
    if (window_backend() == nullptr || window_backend()->pump == nullptr) {
        return false;
    }
    return window_backend()->pump(handlers, wait_ms);
}

void platform_text_input(bool on) {
    if (window_backend() && window_backend()->text_input) {
        window_backend()->text_input(on);
    }
}

void platform_text_input_area(int x, int y, int width, int height) {
    if (window_backend() && window_backend()->text_input_area) {
        window_backend()->text_input_area(x, y, width, height);
    }
}

void platform_window_error_set(const char* text) {
    g_window_error = text;
}

const char* platform_window_error() {
    return g_window_error;
}
