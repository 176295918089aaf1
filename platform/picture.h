// The 640x480 picture everything on screen is drawn into. Drawing code writes pixels under
// the lock; a window backend copies the whole picture out when `version` has moved on.
// Implemented in: picture.cpp, picture_png.cpp.
#pragma once
#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

constexpr int PICTURE_WIDTH = 640;
constexpr int PICTURE_HEIGHT = 480;

// A rectangle an open modal dialog owns: other drawing calls put the dialog's pixels back over
// whatever they drew inside it, keeping what they drew as the picture under the dialog, and
// closing the dialog puts that back.
struct PictureGuard {
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0; // right and bottom exclusive
    std::vector<uint32_t> under;        // the picture under the dialog, drawn on while it is open
    std::vector<uint32_t> kept;         // the dialog as last shown
};
constexpr int PICTURE_GUARD_DEPTH = 4; // dialogs opened from dialogs

// Pixels are 0x00RRGGBB, row by row from the top left.
// Threads: the frames (window or playback thread) and the window timer's refresher draw, a
// window backend copies out; all of them hold `lock` around the pixels. `version` is atomic
// so a backend can see a change without the lock.
struct Picture {
    std::mutex lock;
    uint32_t pixels[PICTURE_WIDTH * PICTURE_HEIGHT] = {};
    std::atomic<uint32_t> version{0}; // bumped after every change
    // Under the lock, like the pixels.
    PictureGuard guards[PICTURE_GUARD_DEPTH];
    int guard_count = 0;
};

extern Picture g_picture;

// All black, no dialog guarding any part, version bumped. Assigns members under the lock: the
// record holds a mutex and an atomic, so it cannot be assigned whole.
void picture_reset();
inline void picture_changed() {
    g_picture.version.fetch_add(1, std::memory_order_release);
}

// Colours as the drawing calls take them: red | green << 8 | blue << 16.
inline uint32_t pixel_from_colour(uint32_t colour) {
    return ((colour & 0xFF) << 16) | (colour & 0xFF00) | ((colour >> 16) & 0xFF);
}
inline constexpr uint32_t colour_rgb(uint32_t red, uint32_t green, uint32_t blue) {
    return red | (green << 8) | (blue << 16);
}

// Guards: push and pop take the lock; false when too many are open. Show copies the
// guarded rectangle of a full picture-sized block into the picture and keeps it.
bool picture_guard_push(int x, int y, int width, int height);
void picture_guard_show(const uint32_t* source);
void picture_guard_pop();
// For drawing calls, with the lock held, after drawing into x1..x2 - 1, y1..y2 - 1.
void picture_guard_repair(int x1, int y1, int x2, int y2);

// Writes a copy of the picture (or any width x height pixel block) as an 8-bit RGB PNG;
// false when the file cannot be written.
bool picture_write_png(const char* path, const uint32_t* pixels, int width, int height);
