// The one picture instance.
#include "platform/picture.h"

#include <algorithm>

Picture g_picture;

void picture_reset() {
    std::lock_guard<std::mutex> hold(g_picture.lock);
    std::fill(std::begin(g_picture.pixels), std::end(g_picture.pixels), 0u);
    picture_changed();
}
