// The texts of the parameter panels in Shift-JIS: captions, the words the field kinds show
// and the box outlines, converted once at start. Labels and note names are the name tables'.
#pragma once
#include "sequencer/shell/menu_state.h"

constexpr int PARAM_CAPTION_SIZE = 64;
constexpr int PARAM_CAPTION_LINES = 5;

// Filled once at start from the UTF-8 tables; constant afterwards, so any thread may read.
struct ParamTexts {
    char caption[MENU_PAGES * MENU_ROWS][PARAM_CAPTION_LINES][PARAM_CAPTION_SIZE] = {};
    char off[5] = {}, on[5] = {}, all[5] = {};
    char clock_source[3][5] = {}; // "INT ", "EXT ", "MOS "
    // Box-drawing pieces of one field (8 cells wide) and of the ENTER box.
    char box_top[12] = {}, box_value[12] = {}, box_middle[12] = {}, box_arrows[12] = {};
    char box_bottom[12] = {};
    char enter_top[12] = {}, enter_middle[12] = {}, enter_bottom[12] = {};
};

extern ParamTexts g_param_texts;
void param_texts_load(bool japanese);
