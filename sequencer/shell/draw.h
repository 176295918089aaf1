// Drawing into the off-screen picture: lines, framed rectangles, bevelled frames and copies
// from loaded pictures, and the table of loaded pictures. Text drawing lives elsewhere.
// Implemented in: draw.cpp, picture_table.cpp.
#pragma once

#include "platform/picture.h"
#include "sequencer/shell/bmp_file.h"

#include <cstddef>
#include <cstdint>
#include <vector>

constexpr int DRAW_SLOT_COUNT = 1024;
// Slots 0 and 1 are never used, so 0 can mean "no picture".
constexpr int DRAW_FIRST_SLOT = 2;
// The built-in background picture.
constexpr int RESOURCE_BACKGROUND = 113;

struct DrawPicture {
    std::vector<uint32_t> pixels; // 0x00RRGGBB, top row first; empty: the slot is free
    int width = 0;
    int height = 0;
};

// One instance. Every call here holds g_picture.lock while it reads or changes this record
// or the picture, since the frame routine and the window timer's refresher both draw.
struct DrawState {
    uint32_t base_colour =
        colour_rgb(212, 208, 200); // red | green << 8 | blue << 16: text background, cleared areas
    DrawPicture slots[DRAW_SLOT_COUNT] = {};
};

extern DrawState g_draw;

// Base colour 212, 208, 200, every slot empty (pictures freed).
void draw_reset();

// Colours are red | green << 8 | blue << 16. Any coordinates are safe: everything is clipped
// to the picture. Each call marks the picture changed.
void draw_line(int x1, int y1, int x2, int y2, uint32_t colour, int width);
// Covers x1..x2 - 1, y1..y2 - 1 with the border inside that.
void fill_rect(int x1, int y1, int x2, int y2, uint32_t fill_colour, uint32_t border_colour,
               int border_width);
void clear_rect(int x1, int y1, int x2, int y2);
// Style 0 raised, 1 sunken thin, 2 sunken pressed, others black.
void bevel_frame(int x1, int y1, int x2, int y2, int style);

// What a file load found, for callers that report it.
struct PictureFileReport {
    bool read = false;                     // the file opened and was read whole
    BmpResult bmp = BmpResult::ok;         // the decoding result once read
    uint8_t info[BMP_INFO_COPY_SIZE] = {}; // information header and colour table
    size_t info_size = 0;                  // bytes of `info` that came from the file
};

// Both return the slot the picture went into (the first empty one from 2) or 0 when the
// picture cannot be had or no slot is free.
int load_resource_picture(int id);
int load_file_picture(const char* path, PictureFileReport* report = nullptr);
// Copies (sx1, sy1) to (sx2, sy2) of the slot's picture to (x, y); nothing for an empty or
// out-of-range slot. Clipped to both pictures.
void blit(int x, int y, int slot, int sx1, int sy1, int sx2, int sy2);
void free_slot(int slot);
// Frees the pictures from slot 2 up to the first empty slot, as at exit.
void picture_slots_release();

// Files larger than this are not read as pictures.
constexpr size_t PICTURE_FILE_LIMIT = 64u << 20;
