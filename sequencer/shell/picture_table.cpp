// The picture table: pictures loaded from the built-in resource or from BMP files, copied
// into the picture by slot, and freed one by one or all at exit.
#include "sequencer/shell/background_default.h"
#include "sequencer/shell/canvas.h"
#include "sequencer/shell/draw.h"

#include "platform/file_read_all.h"
#include "platform/picture.h"
#include "platform/platform.h"

#include <algorithm>
#include <cstdint>
#include <mutex>
#include <utility>

namespace {

// Puts the picture into the first empty slot from 2; 0 when the table is full.
int install_picture(DrawPicture&& picture) {
    std::lock_guard<std::mutex> hold(g_picture.lock);
    for (int slot = DRAW_FIRST_SLOT; slot < DRAW_SLOT_COUNT; slot++) {
        if (g_draw.slots[slot].pixels.empty()) {
            g_draw.slots[slot] = std::move(picture);
            return slot;
        }
    }
    return 0;
}

bool slot_in_range(int slot) {
    return slot >= DRAW_FIRST_SLOT && slot < DRAW_SLOT_COUNT;
}

} // namespace

int load_resource_picture(int id) {
    if (id != RESOURCE_BACKGROUND) {
        return 0;
    }
    DrawPicture picture;
    picture.width = PICTURE_WIDTH;
    picture.height = PICTURE_HEIGHT;
    picture.pixels.assign(static_cast<size_t>(PICTURE_WIDTH) * PICTURE_HEIGHT, 0);
    background_default_paint(picture.pixels.data());
    return install_picture(std::move(picture));
}

int load_file_picture(const char* path, PictureFileReport* report) {
    std::vector<uint8_t> bytes;
    // Read whole, up to PICTURE_FILE_LIMIT bytes; a larger file or a failed close is not read.
    bool read = path != nullptr &&
                platform_file_read_all(path, bytes, PICTURE_FILE_LIMIT) == FileReadResult::ok;
    if (report != nullptr) {
        *report = PictureFileReport{};
        report->read = read;
    }
    if (!read) {
        return 0;
    }
    BmpImage image;
    BmpResult result = bmp_decode(bytes.data(), bytes.size(), image);
    if (report != nullptr) {
        report->bmp = result;
        report->info_size = bmp_info_copy(bytes.data(), bytes.size(), report->info);
    }
    if (result != BmpResult::ok) {
        return 0;
    }
    DrawPicture picture;
    picture.width = image.width;
    picture.height = image.height;
    picture.pixels = std::move(image.pixels);
    return install_picture(std::move(picture));
}

void blit(int x, int y, int slot, int sx1, int sy1, int sx2, int sy2) {
    std::lock_guard<std::mutex> hold(g_picture.lock);
    if (!slot_in_range(slot) || g_draw.slots[slot].pixels.empty()) {
        return;
    }
    const DrawPicture& source = g_draw.slots[slot];
    canvas_copy(Canvas{g_picture.pixels, PICTURE_WIDTH, PICTURE_HEIGHT}, x, y, source.pixels.data(),
                source.width, source.height, sx1, sy1, sx2, sy2);
    // Copies are clipped to the slot's picture, so the box needs no more than its size.
    int64_t right = int64_t{x} + source.width;
    int64_t bottom = int64_t{y} + source.height;
    picture_guard_repair(std::clamp(x, 0, PICTURE_WIDTH), std::clamp(y, 0, PICTURE_HEIGHT),
                         static_cast<int>(std::clamp<int64_t>(right, 0, PICTURE_WIDTH)),
                         static_cast<int>(std::clamp<int64_t>(bottom, 0, PICTURE_HEIGHT)));
    picture_changed();
}

void free_slot(int slot) {
    std::lock_guard<std::mutex> hold(g_picture.lock);
    if (slot_in_range(slot)) {
        g_draw.slots[slot] = DrawPicture{};
    }
}

void picture_slots_release() {
    std::lock_guard<std::mutex> hold(g_picture.lock);
    for (int slot = DRAW_FIRST_SLOT; slot < DRAW_SLOT_COUNT; slot++) {
        if (g_draw.slots[slot].pixels.empty()) {
            break;
        }
        g_draw.slots[slot] = DrawPicture{};
    }
}
