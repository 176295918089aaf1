// How a dialog's modal loop meets the shell: the press that opened a dialog is swallowed, and
// while the dialog waits for input the song keeps playing through the scheduler alone (the
// frame that opened the dialog is the one under way, so no other frame runs).
#include "sequencer/shell/dialogs.h"

#include "gui/modal.h"
#include "sequencer/engine/transport.h"
#include "sequencer/shell/shell_state.h"
#include "sequencer/shell/window_events.h"

namespace {

void dialog_opened() {
    g_shell.swallow_press = 1;
}

// The scheduler part of a running frame, without the screen's input step.
void dialog_keep_playing() {
    scheduler_step();
}

} // namespace

void dialog_hooks_install() {
    modal_attach(&SHELL_WINDOW_HANDLERS);
    g_modal_hooks.opened = dialog_opened;
    g_modal_hooks.keep_playing = dialog_keep_playing;
}
