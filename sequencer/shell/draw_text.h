// Text in the 80x30 grid of 8x16 cells: the large font for fields, the small one for menu
// rows, lists and grids. Texts are Shift-JIS. A colour or inverse choice applies to exactly
// the next text call.
#pragma once
#include <cstdint>

void set_text_colour(int index); // 0..16; 17 and above make the next text draw nothing
// Forgets the calling thread's colour and inverse choice (a choice stays until a text is
// drawn, so one made for a text that drew nothing would outlive a reset).
void text_choice_reset();
void text_at(int col, int row, const char* text);
void small_text_at(int col, int row, const char* text);
void text_inverse_at(int col, int row, const char* text);
void small_text_inverse_at(int col, int row, const char* text);
// Numbers in the large font: blank-padded, zero-padded and upper-case hexadecimal, each
// right-aligned to `width` characters.
void number_at(int col, int row, int width, int32_t value);
void zero_number_at(int col, int row, int width, int32_t value);
void hex_at(int col, int row, int width, int32_t value);
void number_inverse_at(int col, int row, int width, int32_t value);
void zero_number_inverse_at(int col, int row, int width, int32_t value);
