// Fuzz target for text drawing: any bytes as Shift-JIS (song and track names come from files)
// at any position. The drawing must stay inside the picture, paint only the text's cells with
// ink or paper, and agree with the measured width.
#include "platform/picture.h"
#include "sequencer/shell/font.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr uint32_t INK = 1;
constexpr uint32_t PAPER = 2;
constexpr uint32_t UNTOUCHED = 3;

// Positions near the edges are the interesting ones, so the two coordinate bytes pick a
// small offset from one of the edges or far outside.
int coordinate(uint8_t choice, uint8_t offset, int extent) {
    const int starts[4] = {0, extent, -100000, 100000};
    return starts[choice & 3] + static_cast<int8_t>(offset);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 5 || size > 4096) {
        return 0;
    }
    const FontSize font = (data[0] & 4) != 0 ? FontSize::small : FontSize::large;
    const int x = coordinate(data[0], data[1], PICTURE_WIDTH);
    const int y = coordinate(data[0] >> 4, data[2], PICTURE_HEIGHT);
    const char* text = reinterpret_cast<const char*>(data + 3);
    const size_t length = size - 3;

    // Exactly the picture's size on the heap, so a stray write is caught.
    std::vector<uint32_t> pixels(PICTURE_WIDTH * PICTURE_HEIGHT, UNTOUCHED);
    const int width = font_draw_text(pixels.data(), x, y, font, text, length, INK, PAPER);
    if (width != font_text_width(font, text, length) || width < 0) {
        abort();
    }
    const long long height = font_height(font);
    for (long long py = 0; py < PICTURE_HEIGHT; ++py) {
        for (long long px = 0; px < PICTURE_WIDTH; ++px) {
            const bool covered =
                px >= x && px < x + static_cast<long long>(width) && py >= y && py < y + height;
            const uint32_t v = pixels[static_cast<size_t>(py * PICTURE_WIDTH + px)];
            if (covered ? (v != INK && v != PAPER) : v != UNTOUCHED) {
                abort();
            }
        }
    }
    size_t bad = length;
    if (!font_covers(font, text, length, &bad) && bad >= length) {
        abort();
    }
    return 0;
}
