// Routes status-line texts to the shell's drawing hook and the platform backend.
#include "common/status_line.h"

#include "platform/platform.h"

StatusLine g_status_line;

void status_line_reset() {
    g_status_line = StatusLine{};
}

void show_status(const char* text) {
    if (g_status_line.draw_hook != nullptr) {
        g_status_line.draw_hook(text);
    }
    platform_status_text(text);
}
