// Keys of the SDL backend as the Windows virtual-key codes the program knows.
#pragma once
#include <SDL.h>

// The virtual-key code of a key by its position on the keyboard, or 0. The four keys right
// of L and P map to the codes they have on a Japanese layout, so the piano rows of the PC
// keyboard keep their shape on any layout.
int sdl_virtual_key(SDL_Scancode scancode);
// The scancode of a virtual key (SDL_SCANCODE_UNKNOWN when none).
SDL_Scancode sdl_scancode_of(int virtual_key);
