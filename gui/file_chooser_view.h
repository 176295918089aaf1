// The file chooser's box in the picture and what a point in it hits; shared by the drawing
// and the input of the chooser.
// Implemented in: file_chooser_view.cpp.
#pragma once

#include "gui/file_chooser.h"
#include "platform/picture.h"
#include "sequencer/shell/canvas.h"

// The box, centred in the picture.
constexpr int CHOOSER_WIDTH = 480;
constexpr int CHOOSER_HEIGHT = 354;
constexpr int CHOOSER_X = (PICTURE_WIDTH - CHOOSER_WIDTH) / 2;
constexpr int CHOOSER_Y = (PICTURE_HEIGHT - CHOOSER_HEIGHT) / 2;

enum class ChooserButton { parent, home, program, filter, ok, cancel };
enum class ChooserHitKind {
    none,
    entry,
    button,
    scroll_up,
    scroll_down,
    page_up,
    page_down,
    name_field
};

struct ChooserHit {
    ChooserHitKind kind;
    int index; // the entry, or the ChooserButton
};

// Draws the whole box from g_file_chooser (only the rows in view) into a picture-sized block.
void chooser_draw(const Canvas& canvas);
ChooserHit chooser_hit(int x, int y);
