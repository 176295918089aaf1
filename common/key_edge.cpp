// Key edge detection over the platform's key state.
#include "common/key_edge.h"

#include "platform/platform.h"

void key_edge_poll(int virtual_key, int& state) {
    // Bit 0 says the key was down at the last poll.
    bool was_down = (state & 1) != 0;
    if (platform_key_down(virtual_key)) {
        state = was_down ? KEY_HELD : KEY_PRESSED;
    } else {
        state = was_down ? KEY_RELEASED : KEY_UP;
    }
}
