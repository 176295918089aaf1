// The window part of a backend's table; a backend without windows has none.
// Implemented in: headless/headless_window.cpp, linux/sdl_window.cpp (one table each),
// platform.cpp.
#pragma once
#include "platform/window.h"

struct PlatformWindowBackend {
    bool (*open)(const char* caption, const WindowOptions& options) = nullptr;
    void (*run)(const WindowHandlers& handlers) = nullptr;
    void (*destroy)() = nullptr;
    void (*caption)(const char* caption) = nullptr;
    void (*drop_accept)(bool on) = nullptr;
    void (*wake)() = nullptr;
    void (*pointer_warp)(int x, int y) = nullptr;
    void (*cursor_shape)(int shape) = nullptr;
    bool (*pump)(const WindowHandlers& handlers, uint32_t wait_ms) = nullptr;
    void (*text_input)(bool on) = nullptr;
    void (*text_input_area)(int x, int y, int width, int height) = nullptr;
};

extern const PlatformWindowBackend HEADLESS_WINDOW;
#ifdef ZB_WITH_SDL
extern const PlatformWindowBackend SDL_WINDOW;
#endif

// For backends: the reason platform_window_error reports (a static text).
void platform_window_error_set(const char* text);
