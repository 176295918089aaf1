// Which behaviour each dialog number runs with, the data the dialogs exchange, and what
// follows a dialog's change to the song.
#include "sequencer/shell/dialogs.h"
#include "sequencer/shell/dialogs_internal.h"

#include "gui/dialog_run.h"
#include "sequencer/edit/edit.h"
#include "sequencer/engine/transport.h"

DialogData g_dialogs;

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
    const DialogTemplate* dialog = dialog_template(number);
    DialogBehaviour behaviour;
    switch (number) {
    case DIALOG_TITLE:
        behaviour = title_behaviour();
        break;
    case DIALOG_TRACK_NAME:
        behaviour = track_name_behaviour();
        break;
    case DIALOG_TEXT:
        behaviour = text_event_behaviour();
        break;
    case DIALOG_CHORD_NAME:
        behaviour = chord_name_behaviour();
        break;
    case DIALOG_GUITAR_INFORMATION:
        behaviour = guitar_information_behaviour();
        break;
    case DIALOG_GUITAR_VOICING:
        behaviour = guitar_voicing_behaviour();
        break;
    default:
        return;
    }
    if (dialog != nullptr) {
        dialog_run(*dialog, behaviour);
    }
}
