// Scancode to virtual-key table of the SDL backend.
#include "platform/linux/sdl_keys.h"

namespace {

struct KeyPair {
    SDL_Scancode scancode;
    int virtual_key;
};

const KeyPair KEY_TABLE[] = {
    {SDL_SCANCODE_BACKSPACE, 8},
    {SDL_SCANCODE_TAB, 9},
    {SDL_SCANCODE_RETURN, 13},
    {SDL_SCANCODE_KP_ENTER, 13},
    {SDL_SCANCODE_LSHIFT, 16},
    {SDL_SCANCODE_RSHIFT, 16},
    {SDL_SCANCODE_LCTRL, 17},
    {SDL_SCANCODE_RCTRL, 17},
    {SDL_SCANCODE_ESCAPE, 27},
    {SDL_SCANCODE_SPACE, 32},
    {SDL_SCANCODE_PAGEUP, 33},
    {SDL_SCANCODE_PAGEDOWN, 34},
    {SDL_SCANCODE_END, 35},
    {SDL_SCANCODE_HOME, 36},
    {SDL_SCANCODE_LEFT, 37},
    {SDL_SCANCODE_UP, 38},
    {SDL_SCANCODE_RIGHT, 39},
    {SDL_SCANCODE_DOWN, 40},
    {SDL_SCANCODE_INSERT, 45},
    {SDL_SCANCODE_DELETE, 46},
    {SDL_SCANCODE_KP_PLUS, 107},
    {SDL_SCANCODE_KP_MINUS, 109},
    {SDL_SCANCODE_SEMICOLON, 0xBB},
    {SDL_SCANCODE_APOSTROPHE, 0xBA},
    {SDL_SCANCODE_RIGHTBRACKET, 0xDB},
    {SDL_SCANCODE_BACKSLASH, 0xDD},
    {SDL_SCANCODE_NONUSHASH, 0xDD},
    {SDL_SCANCODE_LEFTBRACKET, 0xC0},
    {SDL_SCANCODE_COMMA, 0xBC},
    {SDL_SCANCODE_MINUS, 0xBD},
    {SDL_SCANCODE_PERIOD, 0xBE},
    {SDL_SCANCODE_SLASH, 0xBF},
};

} // namespace

int sdl_virtual_key(SDL_Scancode scancode) {
    if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z) {
        return 'A' + (scancode - SDL_SCANCODE_A);
    }
    if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9) {
        return '1' + (scancode - SDL_SCANCODE_1);
    }
    if (scancode == SDL_SCANCODE_0) {
        return '0';
    }
    if (scancode >= SDL_SCANCODE_F1 && scancode <= SDL_SCANCODE_F12) {
        return 112 + (scancode - SDL_SCANCODE_F1);
    }
    if (scancode >= SDL_SCANCODE_KP_1 && scancode <= SDL_SCANCODE_KP_9) {
        return 97 + (scancode - SDL_SCANCODE_KP_1);
    }
    if (scancode == SDL_SCANCODE_KP_0) {
        return 96;
    }
    for (const KeyPair& pair : KEY_TABLE) {
        if (pair.scancode == scancode) {
            return pair.virtual_key;
        }
    }
    return 0;
}

namespace {

constexpr int SCANCODES_PER_KEY = 4;

// The scancodes of each virtual key, so that polling a key reads a few entries of SDL's
// keyboard state instead of scanning all of them. Filled once on the window thread as the
// window opens, before any frame polls a key; read-only afterwards.
struct SdlKeys {
    SDL_Scancode scancodes[256][SCANCODES_PER_KEY] = {};
    int count[256] = {};
};
SdlKeys g_sdl_keys;

} // namespace

void sdl_keys_init() {
    g_sdl_keys = SdlKeys{};
    for (int s = SDL_SCANCODE_UNKNOWN + 1; s < SDL_NUM_SCANCODES; s++) {
        int key = sdl_virtual_key(static_cast<SDL_Scancode>(s));
        if (key > 0 && key < 256 && g_sdl_keys.count[key] < SCANCODES_PER_KEY) {
            g_sdl_keys.scancodes[key][g_sdl_keys.count[key]++] = static_cast<SDL_Scancode>(s);
        }
    }
}

bool sdl_virtual_key_held(int virtual_key) {
    if (virtual_key <= 0 || virtual_key > 255) {
        return false;
    }
    int count = 0;
    const uint8_t* state = SDL_GetKeyboardState(&count);
    for (int i = 0; i < g_sdl_keys.count[virtual_key]; i++) {
        SDL_Scancode s = g_sdl_keys.scancodes[virtual_key][i];
        if (s < count && state[s]) {
            return true;
        }
    }
    return false;
}
