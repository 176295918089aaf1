// Windows: a dialog table run as the system's own dialog. The behaviour keeps working on a
// DialogRun, as in the picture; its controls' state is copied into the native controls after
// init and each command, and back before each command.
#include "gui/dialog_state.h"
#include "gui/modal.h"
#include "platform/win32/win32_gui.h"

namespace {

// Threads: the window thread, for one dialog's life.
struct NativeBridge {
    DialogRun run;
};

bool has_check(ControlKind kind) {
    return kind == ControlKind::radio || kind == ControlKind::check_box;
}

// DialogRun -> native controls. Statics keep their table text unless the behaviour set one.
void push(NativeBridge& bridge, Win32Dialog& native) {
    const DialogTemplate& t = *bridge.run.dialog;
    for (int i = 0; i < t.control_count; i++) {
        const DialogControl& c = t.controls[i];
        const ControlState& s = bridge.run.controls[static_cast<size_t>(i)];
        if (c.kind == ControlKind::edit) {
            win32_dialog_set_limit(native, c.id, s.edit.limit);
            if (win32_dialog_get_text(native, c.id) != s.edit.text) {
                win32_dialog_set_text(native, c.id, s.edit.text.c_str());
            }
        } else if (c.kind == ControlKind::static_text && !s.edit.text.empty()) {
            win32_dialog_set_text(native, c.id, s.edit.text.c_str());
        } else if (has_check(c.kind)) {
            win32_dialog_set_check(native, c.id, s.checked);
        }
    }
}

// Native controls -> DialogRun: what the user typed and chose.
void pull(NativeBridge& bridge, Win32Dialog& native) {
    const DialogTemplate& t = *bridge.run.dialog;
    for (int i = 0; i < t.control_count; i++) {
        const DialogControl& c = t.controls[i];
        ControlState& s = bridge.run.controls[static_cast<size_t>(i)];
        if (c.kind == ControlKind::edit) {
            text_edit_set(s.edit, win32_dialog_get_text(native, c.id));
        } else if (has_check(c.kind)) {
            s.checked = win32_dialog_get_check(native, c.id);
        }
    }
}

void native_init(void* context, Win32Dialog& native) {
    auto& bridge = *static_cast<NativeBridge*>(context);
    push(bridge, native);
}

void native_command(void* context, Win32Dialog& native, int id) {
    auto& bridge = *static_cast<NativeBridge*>(context);
    DialogRun& run = bridge.run;
    pull(bridge, native);
    int index = dialog_index_of(run, id);
    if (index < 0) {
        return;
    }
    // The system has toggled the check box already; dialog_activate toggles it once more.
    if (run.dialog->controls[index].kind == ControlKind::check_box) {
        run.controls[static_cast<size_t>(index)].checked =
            !run.controls[static_cast<size_t>(index)].checked;
    }
    dialog_activate(run, index);
    push(bridge, native);
    if (run.ended) {
        win32_dialog_end(native, run.end_id);
    }
}

} // namespace

bool dialog_run_native(const DialogTemplate& dialog, DialogBehaviour& behaviour, int& end_id) {
    // A frame on the playback thread keeps the song going between events: that only the
    // in-picture runner does, so the system dialog is for the window thread.
    if (!win32_on_window_thread()) {
        return false;
    }
    // The press that opened the dialog must not act again in the main window.
    if (g_modal_hooks.opened) {
        g_modal_hooks.opened();
    }
    NativeBridge bridge;
    // The behaviour's init runs once, on the DialogRun, before the native dialog exists.
    dialog_run_setup(bridge.run, dialog, behaviour);
    Win32DialogBehaviour native{};
    native.context = &bridge;
    native.init = native_init;
    native.command = native_command;
    int id = win32_dialog_run(dialog, native);
    if (id < 0) {
        return false;
    }
    end_id = id;
    return true;
}
