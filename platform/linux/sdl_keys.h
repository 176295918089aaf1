// Keys of the SDL backend as the Windows virtual-key codes the program knows.
#pragma once
#include <SDL.h>

// The virtual-key code of a key by its position on the keyboard, or 0. The four keys right
// of L and P map to the codes they have on a Japanese layout, so the piano rows of the PC
// keyboard keep their shape on any layout.
int sdl_virtual_key(SDL_Scancode scancode);
// Whether any key with that virtual-key code is held now (both Shift keys count as Shift).
// The table behind it is built by sdl_keys_init, once the window is open.
bool sdl_virtual_key_held(int virtual_key);
void sdl_keys_init();
