// The one picture instance and the rectangles open dialogs guard in it.
#include "platform/picture.h"

#include <algorithm>

Picture g_picture;

void picture_reset() {
    std::lock_guard<std::mutex> hold(g_picture.lock);
    std::fill(std::begin(g_picture.pixels), std::end(g_picture.pixels), 0u);
    for (PictureGuard& guard : g_picture.guards) {
        guard = PictureGuard{};
    }
    g_picture.guard_count = 0;
    picture_changed();
}

namespace {

void copy_rows(const uint32_t* from, int from_stride, uint32_t* to, int to_stride, int width,
               int height) {
    for (int row = 0; row < height; row++) {
        std::copy_n(from + row * from_stride, width, to + row * to_stride);
    }
}

} // namespace

bool picture_guard_push(int x, int y, int width, int height) {
    std::lock_guard<std::mutex> hold(g_picture.lock);
    if (g_picture.guard_count >= PICTURE_GUARD_DEPTH) {
        return false;
    }
    PictureGuard& guard = g_picture.guards[g_picture.guard_count];
    guard.x1 = std::clamp(x, 0, PICTURE_WIDTH);
    guard.y1 = std::clamp(y, 0, PICTURE_HEIGHT);
    guard.x2 = std::clamp(x + width, guard.x1, PICTURE_WIDTH);
    guard.y2 = std::clamp(y + height, guard.y1, PICTURE_HEIGHT);
    int w = guard.x2 - guard.x1;
    int h = guard.y2 - guard.y1;
    guard.under.resize(static_cast<size_t>(w) * h);
    copy_rows(g_picture.pixels + guard.y1 * PICTURE_WIDTH + guard.x1, PICTURE_WIDTH,
              guard.under.data(), w, w, h);
    guard.kept = guard.under;
    g_picture.guard_count++;
    return true;
}

void picture_guard_show(const uint32_t* source) {
    std::lock_guard<std::mutex> hold(g_picture.lock);
    if (g_picture.guard_count == 0) {
        return;
    }
    PictureGuard& guard = g_picture.guards[g_picture.guard_count - 1];
    int w = guard.x2 - guard.x1;
    int h = guard.y2 - guard.y1;
    int offset = guard.y1 * PICTURE_WIDTH + guard.x1;
    copy_rows(source + offset, PICTURE_WIDTH, guard.kept.data(), w, w, h);
    copy_rows(source + offset, PICTURE_WIDTH, g_picture.pixels + offset, PICTURE_WIDTH, w, h);
    picture_changed();
}

void picture_guard_pop() {
    std::lock_guard<std::mutex> hold(g_picture.lock);
    if (g_picture.guard_count == 0) {
        return;
    }
    PictureGuard& guard = g_picture.guards[--g_picture.guard_count];
    int w = guard.x2 - guard.x1;
    int h = guard.y2 - guard.y1;
    copy_rows(guard.under.data(), w, g_picture.pixels + guard.y1 * PICTURE_WIDTH + guard.x1,
              PICTURE_WIDTH, w, h);
    guard = PictureGuard{};
    picture_changed();
}

namespace {

bool inside(const PictureGuard& guard, int x, int y) {
    return x >= guard.x1 && x < guard.x2 && y >= guard.y1 && y < guard.y2;
}

// What was just drawn in the box goes into the pictures kept under the dialogs, where no lower
// dialog covers it, so a dialog that closes uncovers the picture as it is now.
void under_update(int x1, int y1, int x2, int y2) {
    for (int level = 0; level < g_picture.guard_count; level++) {
        PictureGuard& guard = g_picture.guards[level];
        int left = std::max(x1, guard.x1);
        int top = std::max(y1, guard.y1);
        int right = std::min(x2, guard.x2);
        int bottom = std::min(y2, guard.y2);
        int w = guard.x2 - guard.x1;
        for (int y = top; y < bottom; y++) {
            for (int x = left; x < right; x++) {
                bool covered = false;
                for (int lower = 0; lower < level && !covered; lower++) {
                    covered = inside(g_picture.guards[lower], x, y);
                }
                if (!covered) {
                    guard.under[(y - guard.y1) * w + (x - guard.x1)] =
                        g_picture.pixels[y * PICTURE_WIDTH + x];
                }
            }
        }
    }
}

} // namespace

void picture_guard_repair(int x1, int y1, int x2, int y2) {
    under_update(x1, y1, x2, y2);
    for (int level = 0; level < g_picture.guard_count; level++) {
        const PictureGuard& guard = g_picture.guards[level];
        int left = std::max(x1, guard.x1);
        int top = std::max(y1, guard.y1);
        int right = std::min(x2, guard.x2);
        int bottom = std::min(y2, guard.y2);
        if (left >= right || top >= bottom) {
            continue;
        }
        int w = guard.x2 - guard.x1;
        copy_rows(guard.kept.data() + (top - guard.y1) * w + (left - guard.x1), w,
                  g_picture.pixels + top * PICTURE_WIDTH + left, PICTURE_WIDTH, right - left,
                  bottom - top);
    }
}
