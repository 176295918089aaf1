// The virtual-key codes the shell acts on (the Windows codes; every backend maps its keys to
// them).
#pragma once

constexpr int VK_TAB = 9;
constexpr int VK_ENTER = 13;
constexpr int VK_SHIFT = 16;
constexpr int VK_CONTROL = 17;
constexpr int VK_ESC = 27;
constexpr int VK_SPACE = 32;
constexpr int VK_PAGE_UP = 33;
constexpr int VK_PAGE_DOWN = 34;
constexpr int VK_HOME = 36;
constexpr int VK_LEFT = 37;
constexpr int VK_UP = 38;
constexpr int VK_RIGHT = 39;
constexpr int VK_DOWN = 40;
constexpr int VK_DELETE = 46;
constexpr int VK_X = 'X';
constexpr int VK_Z = 'Z';
constexpr int VK_PAD_PLUS = 107;
constexpr int VK_F1 = 112;
constexpr int VK_F3 = 114;
constexpr int VK_F6 = 117;
