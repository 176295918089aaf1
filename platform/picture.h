// The 640x480 picture everything on screen is drawn into. Drawing code writes pixels under
// the lock; a window backend copies the whole picture out when `version` has moved on.
// Implemented in: picture.cpp, picture_png.cpp.
#pragma once
#include <atomic>
#include <cstdint>
#include <mutex>

constexpr int PICTURE_WIDTH = 640;
constexpr int PICTURE_HEIGHT = 480;

// Pixels are 0x00RRGGBB, row by row from the top left.
// Threads: the frames (window or playback thread) and the window timer's refresher draw, a
// window backend copies out; all of them hold `lock` around the pixels. `version` is atomic
// so a backend can see a change without the lock.
struct Picture {
    std::mutex lock;
    uint32_t pixels[PICTURE_WIDTH * PICTURE_HEIGHT] = {};
    std::atomic<uint32_t> version{0}; // bumped after every change
};

extern Picture g_picture;

// All black, version bumped. Assigns members under the lock: the record holds a mutex and an
// atomic, so it cannot be assigned whole.
void picture_reset();
inline void picture_changed() {
    g_picture.version.fetch_add(1, std::memory_order_release);
}

// Colours as the drawing calls take them: red | green << 8 | blue << 16.
inline uint32_t pixel_from_colour(uint32_t colour) {
    return ((colour & 0xFF) << 16) | (colour & 0xFF00) | ((colour >> 16) & 0xFF);
}
inline uint32_t colour_rgb(uint32_t red, uint32_t green, uint32_t blue) {
    return red | (green << 8) | (blue << 16);
}

// Writes a copy of the picture (or any width x height pixel block) as an 8-bit RGB PNG;
// false when the file cannot be written.
bool picture_write_png(const char* path, const uint32_t* pixels, int width, int height);
