// The menu rows' texts: Japanese at start, each replaced by its English text on a system
// whose language is not Japanese.
#pragma once
#include "sequencer/shell/menu_state.h"

constexpr int MENU_TEXT_WIDTH = 45; // bytes of every row but the letter-only ones

// Filled once at start from the UTF-8 tables; constant afterwards, so any thread may read.
struct MenuTexts {
    char menu_text[MENU_PAGES * MENU_ROWS][MENU_TEXT_WIDTH + 1] = {}; // Shift-JIS
};

extern MenuTexts g_menu_texts;
void menu_texts_load(bool japanese);
