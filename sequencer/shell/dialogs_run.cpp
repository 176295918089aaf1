// Which behaviour each dialog number runs with, the data the dialogs exchange, and what
// follows a dialog's change to the song.
#include "sequencer/shell/dialogs.h"
#include "sequencer/shell/dialogs_internal.h"

#include "gui/dialog_run.h"
#include "sequencer/edit/edit.h"
#include "sequencer/engine/transport.h"

DialogData g_dialogs;

namespace {

struct DialogRow {
    int number;
    void (*init)(void* context, DialogRun& run);
    void (*command)(void* context, DialogRun& run, int id);
};

const DialogRow DIALOG_ROWS[] = {
    {DIALOG_TITLE, title_init, title_command},
    {DIALOG_TRACK_NAME, track_name_init, track_name_command},
    {DIALOG_TEXT, text_init, text_command},
    {DIALOG_CHORD_NAME, chord_init, chord_command},
    {DIALOG_GUITAR_INFORMATION, information_init, information_command},
    {DIALOG_GUITAR_VOICING, voicing_init, voicing_command},
};

} // namespace

void dialogs_reset() {
    g_dialogs = DialogData{};
}

void dialog_song_rebuilt() {
    if (g_edit.hooks.song_changed) {
        g_edit.hooks.song_changed();
    }
    int mode = transport_mode();
    if (mode == MODE_PLAYING || mode == MODE_RECORDING) {
        play_cursors_follow_edit();
    }
}

void run_dialog(int number) {
    for (const DialogRow& row : DIALOG_ROWS) {
        const DialogTemplate* dialog = dialog_template(number);
        if (row.number == number && dialog != nullptr) {
            DialogBehaviour behaviour;
            behaviour.init = row.init;
            behaviour.command = row.command;
            dialog_run(*dialog, behaviour);
            return;
        }
    }
}
