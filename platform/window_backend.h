// The window part of a backend's table; a backend without windows has none.
// Implemented in: headless/headless_window.cpp, linux/sdl_window.cpp (one table each),
// platform.cpp.
#pragma once
#include "platform/window.h"

struct PlatformWindowBackend {
    bool (*open)(const char* caption, const WindowOptions& options);
    void (*run)(const WindowHandlers& handlers);
    void (*destroy)();
    void (*caption)(const char* caption);
    void (*drop_accept)(bool on);
    void (*wake)();
    void (*pointer_warp)(int x, int y);
    void (*cursor_shape)(int shape);
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
