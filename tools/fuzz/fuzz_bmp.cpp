// Fuzz target for the BMP reader: any bytes are decoded; a decoded picture must have the size
// its header allows and clean pixels, and is then copied with clipping into a small canvas at
// offsets taken from the input. A rejected input must leave no picture behind.
#include "sequencer/shell/bmp_file.h"
#include "sequencer/shell/canvas.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    BmpImage image;
    BmpResult result = bmp_decode(data, size, image);
    uint8_t info[BMP_INFO_COPY_SIZE];
    if (bmp_info_copy(data, size, info) > BMP_INFO_COPY_SIZE) {
        abort();
    }
    if (result != BmpResult::ok) {
        if (!image.pixels.empty() || image.width != 0 || image.height != 0) {
            abort();
        }
        return 0;
    }
    if (image.width < 1 || image.height < 1 || image.width > BMP_MAX_SIDE ||
        image.height > BMP_MAX_SIDE ||
        image.pixels.size() != static_cast<size_t>(image.width) * image.height) {
        abort();
    }
    for (uint32_t pixel : image.pixels) {
        if (pixel > 0xFFFFFF) {
            abort();
        }
    }
    // Offsets from the last bytes, so the fuzzer can move the copy around.
    int dx = size > 0 ? static_cast<int8_t>(data[size - 1]) : 0;
    int dy = size > 1 ? static_cast<int8_t>(data[size - 2]) : 0;
    std::vector<uint32_t> target(64 * 48, 0);
    Canvas canvas{target.data(), 64, 48};
    canvas_copy(canvas, dx, dy, image.pixels.data(), image.width, image.height, -dy, -dx,
                image.width + dx, image.height + dy);
    return 0;
}
