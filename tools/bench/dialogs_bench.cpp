// Figures of the in-picture dialogs: the time each of the six takes to draw itself and show
// the result in the picture, once per input event it is handed (headless, no window).
#include "gui/dialog_run.h"
#include "gui/modal.h"
#include "platform/headless/headless.h"
#include "platform/headless/headless_window.h"
#include "platform/picture.h"
#include "platform/platform.h"
#include "platform/virtual_keys.h"
#include "sequencer/shell/draw.h"

#include <chrono>
#include <cstdio>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int DRAWS = 400;
const int NUMBERS[] = {110, 111, 112, 115, 116, 117};

// Every edit filled, the first radio button of every group chosen.
void fill(void*, DialogRun& run) {
    for (int id = 1000; id <= 1084; id++) {
        dialog_set_text(run, id, "Some text 123");
        dialog_select_radio(run, id);
    }
}

double microseconds_per_draw(const DialogTemplate& dialog) {
    headless_window_reset();
    for (int i = 0; i < DRAWS; i++) {
        headless_queue_move(i % PICTURE_WIDTH, i % PICTURE_HEIGHT); // each one redraws
    }
    headless_queue_key(VK_ESC, true);
    DialogBehaviour behaviour;
    behaviour.init = fill;
    Clock::time_point begin = Clock::now();
    dialog_run(dialog, behaviour);
    double total = std::chrono::duration<double, std::micro>(Clock::now() - begin).count();
    return total / (DRAWS + 1); // the first draw when it opens, then one per move
}

} // namespace

int main() {
    platform_select("headless");
    headless_reset();
    picture_reset();
    draw_reset();
    modal_reset();
    printf("dialog draw and show, microseconds each (%d draws per dialog):\n", DRAWS + 1);
    for (int number : NUMBERS) {
        const DialogTemplate& dialog = *dialog_template(number);
        PixelRect frame = dialog_frame_rect(dialog);
        printf("  %d %-24s %3d x %3d px  %8.1f us\n", number, dialog.caption, frame.x2 - frame.x1,
               frame.y2 - frame.y1, microseconds_per_draw(dialog));
    }
    return 0;
}
