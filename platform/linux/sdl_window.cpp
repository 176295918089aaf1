// The SDL window: the picture scaled by a whole number with nearest-neighbour pixels, the
// 20 ms timer as a user event, keyboard, typed text, mouse, dropped files and the close box.
#include "platform/linux/sdl_window.h"

#include "platform/linux/sdl_keys.h"
#include "platform/picture.h"
#include "platform/text_convert.h"
#include "platform/window_backend.h"

#include <SDL.h>
#include <atomic>
#include <cstdlib>
#include <cstring>

SdlWindowState g_sdl_window;

namespace {

constexpr uint32_t TIMER_PERIOD_MS = 20;
constexpr const char* NO_DISPLAY_TEXT =
    "no display to open the window on (is DISPLAY or WAYLAND_DISPLAY set?); "
    "run with --headless to use the program without one";

// The SDL window's parts. Window thread, but for the requests marked below, which frames on
// the playback thread leave in atomics for the window thread to carry out.
struct SdlParts {
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    uint32_t event_wake = 0;
    uint32_t event_warp = 0;
    uint32_t event_text_input = 0;
    // A warp asked for by a frame on the playback thread is carried out by the window thread:
    // the window system's calls belong there.
    std::atomic<int> warp_x{0}, warp_y{0};
    // Text input switched on or off, and the area an input method shows near, by a dialog that
    // may run on the playback thread: carried out by the window thread too.
    std::atomic<bool> text_input_on{false};
    std::atomic<int> text_area[4] = {};
    SDL_Cursor* cursors[3] = {};
    int scale = 1;
    bool running = false;
    uint32_t shown_version = 0;
    uint32_t next_tick = 0; // when the 20 ms timer is due next (run and pump share it)
};
SdlParts g_sdl;

// The largest whole zoom that fits the usable screen with room for the title bar.
int choose_scale() {
    SDL_Rect usable;
    if (SDL_GetDisplayUsableBounds(0, &usable) != 0) {
        return 1;
    }
    int scale_x = usable.w / PICTURE_WIDTH;
    int scale_y = (usable.h - 40) / PICTURE_HEIGHT;
    int scale = scale_x < scale_y ? scale_x : scale_y;
    return scale < 1 ? 1 : scale;
}

bool open(const char* caption, const WindowOptions& options) {
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        platform_window_error_set(NO_DISPLAY_TEXT);
        return false;
    }
    // With no display SDL falls back to drivers that show nothing; a window nobody sees is
    // no window, unless those drivers were asked for by name.
    const char* driver = SDL_GetCurrentVideoDriver();
    bool invisible = driver && (strcmp(driver, "offscreen") == 0 || strcmp(driver, "dummy") == 0);
    const char* requested = getenv("SDL_VIDEODRIVER");
    if (invisible && (requested == nullptr || strcmp(requested, driver) != 0)) {
        platform_window_error_set(NO_DISPLAY_TEXT);
        SDL_Quit();
        return false;
    }
    g_sdl.scale = options.scale > 0 ? options.scale : choose_scale();
    std::string title = sjis_to_utf8(caption);
    g_sdl.window = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                    PICTURE_WIDTH * g_sdl.scale, PICTURE_HEIGHT * g_sdl.scale, 0);
    if (g_sdl.window == nullptr) {
        platform_window_error_set("the window could not be created");
        SDL_Quit();
        return false;
    }
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
    g_sdl.renderer = SDL_CreateRenderer(g_sdl.window, -1, 0);
    if (g_sdl.renderer == nullptr) {
        g_sdl.renderer = SDL_CreateRenderer(g_sdl.window, -1, SDL_RENDERER_SOFTWARE);
    }
    if (g_sdl.renderer) {
        SDL_RenderSetLogicalSize(g_sdl.renderer, PICTURE_WIDTH, PICTURE_HEIGHT);
        SDL_RenderSetIntegerScale(g_sdl.renderer, SDL_TRUE);
        g_sdl.texture =
            SDL_CreateTexture(g_sdl.renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING,
                              PICTURE_WIDTH, PICTURE_HEIGHT);
    }
    if (g_sdl.texture == nullptr) {
        platform_window_error_set("the window has no way to show the picture");
        SDL_DestroyWindow(g_sdl.window);
        SDL_Quit();
        return false;
    }
    g_sdl.cursors[0] = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_ARROW);
    g_sdl.cursors[1] = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_CROSSHAIR);
    g_sdl.cursors[2] = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_WAIT);
    g_sdl.event_wake = SDL_RegisterEvents(3);
    g_sdl.event_warp = g_sdl.event_wake + 1;
    g_sdl.event_text_input = g_sdl.event_wake + 2;
    SDL_EventState(SDL_DROPFILE, SDL_DISABLE);
    // Text input only while a text field is open, so an input method stays out of the way.
    SDL_StopTextInput();
    sdl_keys_init();
    g_sdl_window.open = true;
    return true;
}

void present(bool always) {
    uint32_t version = g_picture.version.load(std::memory_order_acquire);
    if (!always && version == g_sdl.shown_version) {
        return;
    }
    g_sdl.shown_version = version;
    {
        std::lock_guard<std::mutex> hold(g_picture.lock);
        SDL_UpdateTexture(g_sdl.texture, nullptr, g_picture.pixels,
                          PICTURE_WIDTH * static_cast<int>(sizeof(uint32_t)));
    }
    SDL_RenderClear(g_sdl.renderer);
    SDL_RenderCopy(g_sdl.renderer, g_sdl.texture, nullptr, nullptr);
    SDL_RenderPresent(g_sdl.renderer);
}

void handle(const SDL_Event& event, const WindowHandlers& h) {
    if (event.type == g_sdl.event_warp) {
        SDL_WarpMouseInWindow(g_sdl.window, g_sdl.warp_x.load() * g_sdl.scale,
                              g_sdl.warp_y.load() * g_sdl.scale);
        return;
    }
    if (event.type == g_sdl.event_text_input) {
        if (g_sdl.text_input_on.load()) {
            SDL_Rect area{
                g_sdl.text_area[0].load() * g_sdl.scale, g_sdl.text_area[1].load() * g_sdl.scale,
                g_sdl.text_area[2].load() * g_sdl.scale, g_sdl.text_area[3].load() * g_sdl.scale};
            SDL_SetTextInputRect(&area);
            SDL_StartTextInput();
        } else {
            SDL_StopTextInput();
        }
        return;
    }
    if (event.type == g_sdl.event_wake) {
        if (h.wake) {
            h.wake();
        }
        return;
    }
    switch (event.type) {
    case SDL_QUIT:
        h.close();
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
        int code = sdl_virtual_key(event.key.keysym.scancode);
        // Alt combinations and F10 are the system's, as on Windows.
        bool system_key = code == 121 || (event.key.keysym.mod & KMOD_ALT) != 0;
        if (code != 0 && !system_key) {
            h.key(code, event.type == SDL_KEYDOWN);
        }
        break;
    }
    case SDL_MOUSEMOTION:
        h.mouse_move(event.motion.x, event.motion.y);
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        if (event.button.button == SDL_BUTTON_LEFT || event.button.button == SDL_BUTTON_RIGHT) {
            h.mouse_move(event.button.x, event.button.y);
            h.mouse_button(event.button.button == SDL_BUTTON_LEFT ? MouseButton::left
                                                                  : MouseButton::right,
                           event.type == SDL_MOUSEBUTTONDOWN);
        }
        break;
    case SDL_TEXTINPUT:
        if (h.text) {
            h.text(event.text.text);
        }
        break;
    case SDL_TEXTEDITING:
        if (h.composition) {
            h.composition(event.edit.text, event.edit.start);
        }
        break;
    case SDL_DROPFILE:
        if (event.drop.file) {
            if (g_sdl_window.drops_accepted && h.drop) {
                h.drop(event.drop.file);
            }
            SDL_free(event.drop.file);
        }
        break;
    case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_EXPOSED) {
            present(true);
        }
        break;
    default:
        break;
    }
}

// The 20 ms timer is the loop's own: it waits for events until the next tick is due. A loop
// that falls behind skips ticks, as a Windows timer does, instead of piling them up.
void step(const WindowHandlers& handlers, uint32_t longest_wait_ms) {
    int32_t until_tick = static_cast<int32_t>(g_sdl.next_tick - SDL_GetTicks());
    SDL_Event event;
    if (until_tick <= 0) {
        g_sdl.next_tick += TIMER_PERIOD_MS;
        if (static_cast<int32_t>(g_sdl.next_tick - SDL_GetTicks()) <= 0) {
            g_sdl.next_tick = SDL_GetTicks() + TIMER_PERIOD_MS;
        }
        handlers.timer();
    } else {
        int wait = static_cast<uint32_t>(until_tick) < longest_wait_ms
                       ? until_tick
                       : static_cast<int>(longest_wait_ms);
        if (SDL_WaitEventTimeout(&event, wait) != 0) {
            handle(event, handlers);
            while (g_sdl.running && SDL_PollEvent(&event)) {
                handle(event, handlers);
            }
        }
    }
    if (g_sdl.running) {
        present(false);
    }
}

void run(const WindowHandlers& handlers) {
    g_sdl.running = true;
    present(true);
    g_sdl.next_tick = SDL_GetTicks() + TIMER_PERIOD_MS;
    while (g_sdl.running) {
        step(handlers, TIMER_PERIOD_MS);
    }
    for (SDL_Cursor*& cursor : g_sdl.cursors) {
        SDL_FreeCursor(cursor);
        cursor = nullptr;
    }
    SDL_DestroyTexture(g_sdl.texture);
    SDL_DestroyRenderer(g_sdl.renderer);
    SDL_DestroyWindow(g_sdl.window);
    g_sdl.texture = nullptr;
    g_sdl.renderer = nullptr;
    g_sdl.window = nullptr;
    g_sdl_window.open = false;
    SDL_Quit();
}

// A modal loop inside a handler of run(): the same events and timer, one round.
bool pump(const WindowHandlers& handlers, uint32_t wait_ms) {
    if (!g_sdl.running) {
        return false;
    }
    step(handlers, wait_ms);
    return g_sdl.running;
}

void text_input_request() {
    SDL_Event event{};
    event.type = g_sdl.event_text_input;
    SDL_PushEvent(&event);
}

void text_input(bool on) {
    g_sdl.text_input_on.store(on);
    text_input_request();
}

void text_input_area(int x, int y, int width, int height) {
    g_sdl.text_area[0].store(x);
    g_sdl.text_area[1].store(y);
    g_sdl.text_area[2].store(width);
    g_sdl.text_area[3].store(height);
    if (g_sdl.text_input_on.load()) {
        text_input_request();
    }
}

void destroy() {
    g_sdl.running = false;
}

void caption(const char* text) {
    if (g_sdl.window) {
        SDL_SetWindowTitle(g_sdl.window, sjis_to_utf8(text).c_str());
    }
}

void drop_accept(bool on) {
    g_sdl_window.drops_accepted = on;
    SDL_EventState(SDL_DROPFILE, on ? SDL_ENABLE : SDL_DISABLE);
}

void wake() {
    SDL_Event event{};
    event.type = g_sdl.event_wake;
    SDL_PushEvent(&event);
}

void pointer_warp(int x, int y) {
    g_sdl.warp_x.store(x);
    g_sdl.warp_y.store(y);
    SDL_Event event{};
    event.type = g_sdl.event_warp;
    SDL_PushEvent(&event);
}

void cursor_shape(int shape) {
    if (shape >= 0 && shape < 3 && g_sdl.cursors[shape]) {
        SDL_SetCursor(g_sdl.cursors[shape]);
    }
}

} // namespace

const PlatformWindowBackend SDL_WINDOW = {
    .open = open,
    .run = run,
    .destroy = destroy,
    .caption = caption,
    .drop_accept = drop_accept,
    .wake = wake,
    .pointer_warp = pointer_warp,
    .cursor_shape = cursor_shape,
    .pump = pump,
    .text_input = text_input,
    .text_input_area = text_input_area,
};
