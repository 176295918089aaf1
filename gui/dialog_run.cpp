// The dialog runner: lays a dialog table out in the picture, keeps its controls' state, runs
// it as a modal view and gives the behaviour its control accessors.
#include "gui/dialog_run.h"
#include "gui/dialog_state.h"
#include "gui/modal.h"

#include "common/text_sjis.h"
#include "platform/picture.h"

namespace {

int scale(int units) {
    return units * DIALOG_UNIT_NUM / DIALOG_UNIT_DEN;
}

ControlState* state_of(DialogRun& run, int id) {
    int index = dialog_index_of(run, id);
    return index < 0 ? nullptr : &run.controls[index];
}

// Radio groups: a button with CONTROL_GROUP_START, or one after anything that is not a radio
// button, begins a group that runs to the next start.
void groups_assign(DialogRun& run) {
    int group = -1;
    const DialogTemplate& d = *run.dialog;
    for (int i = 0; i < d.control_count; i++) {
        const DialogControl& c = d.controls[i];
        if (c.kind != ControlKind::radio) {
            group = -1;
            continue;
        }
        if (group < 0 || (c.flags & CONTROL_GROUP_START)) {
            group = i;
        }
        run.controls[i].group = group;
    }
}

// The first control the focus lands on: the first edit, else the default button.
int first_focus(const DialogRun& run) {
    const DialogTemplate& d = *run.dialog;
    for (int i = 0; i < d.control_count; i++) {
        if (d.controls[i].kind == ControlKind::edit) {
            return i;
        }
    }
    for (int i = 0; i < d.control_count; i++) {
        if (d.controls[i].flags & CONTROL_DEFAULT) {
            return i;
        }
    }
    for (int i = 0; i < d.control_count; i++) {
        if (dialog_focusable(run, i)) {
            return i;
        }
    }
    return -1;
}

void view_draw(void* context) {
    dialog_draw(*static_cast<DialogRun*>(context));
}

void view_key(void* context, int virtual_key, bool down) {
    dialog_key(*static_cast<DialogRun*>(context), virtual_key, down);
}

void view_text(void* context, const char* utf8) {
    dialog_text_typed(*static_cast<DialogRun*>(context), utf8);
}

void view_composition(void* context, const char* utf8, int caret) {
    dialog_composition(*static_cast<DialogRun*>(context), utf8, caret);
}

void view_mouse_button(void* context, MouseButton button, bool down, int x, int y) {
    if (button == MouseButton::left) {
        dialog_mouse_button(*static_cast<DialogRun*>(context), down, x, y);
    }
}

bool view_finished(void* context) {
    return static_cast<DialogRun*>(context)->ended;
}

void view_cancel(void* context) {
    auto& run = *static_cast<DialogRun*>(context);
    dialog_end(run, dialog_closed_id(*run.dialog));
}

} // namespace

PixelRect dialog_frame_rect(const DialogTemplate& dialog) {
    int width = scale(dialog.width) + 2 * DIALOG_FRAME;
    int height = scale(dialog.height) + DIALOG_CAPTION_HEIGHT + 2 * DIALOG_FRAME;
    int x = (PICTURE_WIDTH - width) / 2;
    int y = (PICTURE_HEIGHT - height) / 2;
    return PixelRect{x, y, x + width, y + height};
}

PixelRect dialog_control_rect(const DialogTemplate& dialog, int index) {
    PixelRect frame = dialog_frame_rect(dialog);
    const DialogControl& c = dialog.controls[index];
    int left = frame.x1 + DIALOG_FRAME + scale(c.x);
    int top = frame.y1 + DIALOG_FRAME + DIALOG_CAPTION_HEIGHT + scale(c.y);
    return PixelRect{left, top, left + scale(c.width), top + scale(c.height)};
}

int dialog_index_of(const DialogRun& run, int id) {
    if (id == CONTROL_NO_ID) {
        return -1;
    }
    for (int i = 0; i < run.dialog->control_count; i++) {
        if (run.dialog->controls[i].id == id) {
            return i;
        }
    }
    return -1;
}

bool dialog_focusable(const DialogRun& run, int index) {
    ControlKind kind = run.dialog->controls[index].kind;
    return kind != ControlKind::static_text && kind != ControlKind::group_box;
}

void dialog_activate(DialogRun& run, int index) {
    const DialogControl& c = run.dialog->controls[index];
    switch (c.kind) {
    case ControlKind::radio:
        dialog_select_radio(run, c.id);
        break;
    case ControlKind::check_box:
        run.controls[index].checked = !run.controls[index].checked;
        break;
    case ControlKind::button:
        break;
    default:
        return;
    }
    DialogBehaviour& b = *run.behaviour;
    if (b.command) {
        b.command(b.context, run, c.id);
    }
    bool cancel_ends = c.id == CONTROL_CANCEL && !(run.dialog->flags & DIALOG_ID2_IS_COMMAND);
    bool ends = c.kind == ControlKind::button &&
                ((c.flags & CONTROL_ENDS) || c.id == CONTROL_OK || cancel_ends);
    if (ends && !run.ended) {
        dialog_end(run, c.id);
    }
}

void dialog_run_setup(DialogRun& run, const DialogTemplate& dialog, DialogBehaviour& behaviour) {
    run.dialog = &dialog;
    run.behaviour = &behaviour;
    run.controls.assign(static_cast<size_t>(dialog.control_count), ControlState{});
    run.frame = dialog_frame_rect(dialog);
    groups_assign(run);
    if (behaviour.init) {
        behaviour.init(behaviour.context, run);
    }
}

int dialog_run(const DialogTemplate& dialog, DialogBehaviour& behaviour) {
#ifdef _WIN32
    // Windows shows the system's own dialog, built from the same table.
    if (int id = 0; dialog_run_native(dialog, behaviour, id)) {
        return id;
    }
#endif
    DialogRun run;
    dialog_run_setup(run, dialog, behaviour);
    run.focus = first_focus(run);
    if (run.focus >= 0 && dialog.controls[run.focus].kind == ControlKind::edit) {
        text_edit_end(run.controls[run.focus].edit);
    }
    ModalView view{};
    view.x = run.frame.x1;
    view.y = run.frame.y1;
    view.width = run.frame.x2 - run.frame.x1;
    view.height = run.frame.y2 - run.frame.y1;
    view.context = &run;
    view.draw = view_draw;
    view.key = view_key;
    view.text = view_text;
    view.composition = view_composition;
    view.mouse_button = view_mouse_button;
    view.finished = view_finished;
    view.cancel = view_cancel;
    for (int i = 0; i < dialog.control_count; i++) {
        view.wants_text = view.wants_text || dialog.controls[i].kind == ControlKind::edit;
    }
    modal_run(view);
    return run.ended ? run.end_id : dialog_closed_id(dialog);
}

int dialog_closed_id(const DialogTemplate& dialog) {
    return (dialog.flags & DIALOG_ID2_IS_COMMAND) ? DIALOG_CLOSED : CONTROL_CANCEL;
}

void dialog_set_text(DialogRun& run, int id, const std::string& sjis) {
    if (ControlState* s = state_of(run, id)) {
        text_edit_set(s->edit, sjis);
        s->scroll = 0;
    }
}

std::string dialog_get_text(DialogRun& run, int id, size_t max_bytes) {
    ControlState* s = state_of(run, id);
    if (s == nullptr) {
        return std::string();
    }
    const std::string& text = s->edit.text;
    return text.substr(0, sjis_cut_length(text.data(), text.size(), max_bytes));
}

void dialog_set_limit(DialogRun& run, int id, size_t max_bytes) {
    if (ControlState* s = state_of(run, id)) {
        s->edit.limit = max_bytes;
        text_edit_set(s->edit, s->edit.text);
    }
}

void dialog_set_check(DialogRun& run, int id, bool checked) {
    if (ControlState* s = state_of(run, id)) {
        s->checked = checked;
    }
}

bool dialog_get_check(DialogRun& run, int id) {
    ControlState* s = state_of(run, id);
    return s != nullptr && s->checked;
}

void dialog_select_radio(DialogRun& run, int id) {
    int index = dialog_index_of(run, id);
    if (index < 0 || run.controls[index].group < 0) {
        return;
    }
    int group = run.controls[index].group;
    for (ControlState& s : run.controls) {
        if (s.group == group) {
            s.checked = false;
        }
    }
    run.controls[index].checked = true;
}

int dialog_selected_radio(DialogRun& run, int id_in_group) {
    int index = dialog_index_of(run, id_in_group);
    if (index < 0 || run.controls[index].group < 0) {
        return 0;
    }
    int group = run.controls[index].group;
    for (size_t i = 0; i < run.controls.size(); i++) {
        if (run.controls[i].group == group && run.controls[i].checked) {
            return run.dialog->controls[i].id;
        }
    }
    return 0;
}

void dialog_end(DialogRun& run, int id) {
    run.ended = true;
    run.end_id = id;
}
