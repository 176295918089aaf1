// The virtual-key codes every backend maps its keys to and both programs act on: the Windows
// codes, laid out as on a Japanese keyboard. Letters and digits are their capital ASCII
// characters ('A'..'Z', '0'..'9'). Windows' own headers define some of these names as macros
// of the same values; a file that includes them needs none of these.
#pragma once

constexpr int VK_BACKSPACE = 8;
constexpr int VK_TAB = 9;
constexpr int VK_ENTER = 13;
constexpr int VK_SHIFT = 16;
constexpr int VK_CONTROL = 17;
constexpr int VK_ESC = 27;
constexpr int VK_SPACE = 32;
constexpr int VK_PAGE_UP = 33;
constexpr int VK_PAGE_DOWN = 34;
constexpr int VK_END = 35;
constexpr int VK_HOME = 36;
constexpr int VK_LEFT = 37;
constexpr int VK_UP = 38;
constexpr int VK_RIGHT = 39;
constexpr int VK_DOWN = 40;
constexpr int VK_INSERT = 45;
constexpr int VK_DELETE = 46;
constexpr int VK_V = 'V';
constexpr int VK_X = 'X';
constexpr int VK_Z = 'Z';
constexpr int VK_PAD_0 = 96; // numeric pad 0..9 follow in order
constexpr int VK_PAD_PLUS = 107;
constexpr int VK_PAD_MINUS = 109;
constexpr int VK_F1 = 112; // F1..F12 follow in order
constexpr int VK_F2 = 113;
constexpr int VK_F3 = 114;
constexpr int VK_F4 = 115;
constexpr int VK_F5 = 116;
constexpr int VK_F6 = 117;
constexpr int VK_F7 = 118;
constexpr int VK_F8 = 119;
constexpr int VK_F9 = 120;
constexpr int VK_F10 = 121;
constexpr int VK_F11 = 122;
constexpr int VK_F12 = 123;
// The punctuation keys of a Japanese keyboard.
constexpr int VK_COLON = 0xBA;
constexpr int VK_SEMICOLON = 0xBB;
constexpr int VK_COMMA = 0xBC;
constexpr int VK_MINUS = 0xBD;
constexpr int VK_PERIOD = 0xBE;
constexpr int VK_SLASH = 0xBF;
constexpr int VK_AT = 0xC0;
constexpr int VK_BRACKET = 0xDB;
constexpr int VK_CLOSE_BRACKET = 0xDD;
