// Which behaviour each dialog number runs with, and the data the dialogs exchange.
#include "sequencer/shell/dialogs.h"
#include "sequencer/shell/dialogs_internal.h"

#include "gui/dialog_run.h"

DialogData g_dialogs;

void dialogs_reset() {
    g_dialogs = DialogData{};
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
