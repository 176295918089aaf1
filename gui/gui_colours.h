// The colours every window-drawn dialog, chooser and box shares, so they all look alike.
#pragma once

#include "platform/picture.h"

#include <cstdint>

inline constexpr uint32_t GUI_FACE = colour_rgb(212, 208, 200);
inline constexpr uint32_t GUI_INK = colour_rgb(0, 0, 0);
inline constexpr uint32_t GUI_WHITE = colour_rgb(255, 255, 255);
inline constexpr uint32_t GUI_SHADOW = colour_rgb(127, 127, 127);
inline constexpr uint32_t GUI_CAPTION = colour_rgb(10, 36, 106);
