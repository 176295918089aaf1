// State of the SDL window that the rest of the SDL backend reads. Window thread only.
#pragma once

// Window thread only.
struct SdlWindowState {
    bool open = false;
    bool drops_accepted = false;
};

extern SdlWindowState g_sdl_window;
