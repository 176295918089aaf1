// The built-in background picture (resource 113): panels, frames, buttons and the on-screen
// keyboard of the main screen, painted at run time.
#pragma once

#include <cstdint>

// Paints the 640 by 480 background into `pixels` (0x00RRGGBB, top row first).
void background_default_paint(uint32_t* pixels);
