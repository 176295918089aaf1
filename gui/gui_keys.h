// The virtual-key codes (the Windows ones every backend maps its keys to) that dialogs act
// on.
#pragma once

constexpr int GUI_KEY_BACKSPACE = 8;
constexpr int GUI_KEY_TAB = 9;
constexpr int GUI_KEY_ENTER = 13;
constexpr int GUI_KEY_SHIFT = 16;
constexpr int GUI_KEY_CONTROL = 17;
constexpr int GUI_KEY_ESC = 27;
constexpr int GUI_KEY_SPACE = 32;
constexpr int GUI_KEY_END = 35;
constexpr int GUI_KEY_HOME = 36;
constexpr int GUI_KEY_LEFT = 37;
constexpr int GUI_KEY_UP = 38;
constexpr int GUI_KEY_RIGHT = 39;
constexpr int GUI_KEY_DOWN = 40;
constexpr int GUI_KEY_DELETE = 46;
constexpr int GUI_KEY_V = 'V';
