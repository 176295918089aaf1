// Scancode to virtual-key table of the SDL backend.
#include "platform/linux/sdl_keys.h"

#include "platform/virtual_keys.h"

namespace {

struct KeyPair {
    SDL_Scancode scancode;
    int virtual_key;
};

const KeyPair KEY_TABLE[] = {
    {SDL_SCANCODE_BACKSPACE, VK_BACKSPACE},
    {SDL_SCANCODE_TAB, VK_TAB},
    {SDL_SCANCODE_RETURN, VK_ENTER},
    {SDL_SCANCODE_KP_ENTER, VK_ENTER},
    {SDL_SCANCODE_LSHIFT, VK_SHIFT},
    {SDL_SCANCODE_RSHIFT, VK_SHIFT},
    {SDL_SCANCODE_LCTRL, VK_CONTROL},
    {SDL_SCANCODE_RCTRL, VK_CONTROL},
    {SDL_SCANCODE_ESCAPE, VK_ESC},
    {SDL_SCANCODE_SPACE, VK_SPACE},
    {SDL_SCANCODE_PAGEUP, VK_PAGE_UP},
    {SDL_SCANCODE_PAGEDOWN, VK_PAGE_DOWN},
    {SDL_SCANCODE_END, VK_END},
    {SDL_SCANCODE_HOME, VK_HOME},
    {SDL_SCANCODE_LEFT, VK_LEFT},
    {SDL_SCANCODE_UP, VK_UP},
    {SDL_SCANCODE_RIGHT, VK_RIGHT},
    {SDL_SCANCODE_DOWN, VK_DOWN},
    {SDL_SCANCODE_INSERT, VK_INSERT},
    {SDL_SCANCODE_DELETE, VK_DELETE},
    {SDL_SCANCODE_KP_PLUS, VK_PAD_PLUS},
    {SDL_SCANCODE_KP_MINUS, VK_PAD_MINUS},
    {SDL_SCANCODE_SEMICOLON, VK_SEMICOLON},
    {SDL_SCANCODE_APOSTROPHE, VK_COLON},
    {SDL_SCANCODE_RIGHTBRACKET, VK_BRACKET},
    {SDL_SCANCODE_BACKSLASH, VK_CLOSE_BRACKET},
    {SDL_SCANCODE_NONUSHASH, VK_CLOSE_BRACKET},
    {SDL_SCANCODE_LEFTBRACKET, VK_AT},
    {SDL_SCANCODE_COMMA, VK_COMMA},
    {SDL_SCANCODE_MINUS, VK_MINUS},
    {SDL_SCANCODE_PERIOD, VK_PERIOD},
    {SDL_SCANCODE_SLASH, VK_SLASH},
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
        return VK_F1 + (scancode - SDL_SCANCODE_F1);
    }
    if (scancode >= SDL_SCANCODE_KP_1 && scancode <= SDL_SCANCODE_KP_9) {
        return VK_PAD_0 + 1 + (scancode - SDL_SCANCODE_KP_1);
    }
    if (scancode == SDL_SCANCODE_KP_0) {
        return VK_PAD_0;
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
