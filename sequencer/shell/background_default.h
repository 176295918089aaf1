// The built-in background picture (resource 113): panels, frames, buttons and the on-screen
// keyboard of the main screen, painted at run time.
// Implemented in: background_default.cpp, background_labels.cpp.
#pragma once

#include <cstdint>

// Paints the 640 by 480 background into `pixels` (0x00RRGGBB, top row first).
void background_default_paint(uint32_t* pixels);
// The captions on it (tab names, field names), drawn with the small and large fonts.
void background_labels_paint(uint32_t* pixels);
