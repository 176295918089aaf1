// The file choosers as modal views over the picture, and their registration as the
// window's file dialogs.
#include "gui/file_chooser.h"
#include "gui/message_box.h"

#include "gui/file_chooser_input.h"
#include "gui/file_chooser_view.h"
#include "gui/modal.h"

namespace {

void view_draw(void*) {
    chooser_draw(modal_canvas());
}

void view_key(void*, int virtual_key, bool down) {
    chooser_key(virtual_key, down);
}

void view_text(void*, const char* utf8) {
    chooser_text(utf8, platform_tick_ms());
}

void view_composition(void*, const char*, int) {}

void view_mouse_move(void*, int, int) {}

void view_mouse_button(void*, MouseButton button, bool down, int x, int y) {
    if (button == MouseButton::left && down) {
        chooser_click(x, y);
    }
}

bool view_finished(void*) {
    return g_file_chooser.end != ChooserEnd::running;
}

void view_cancel(void*) {
    chooser_cancel();
}

bool chooser_run(ChooserMode mode, const FileDialogRequest& request, char* path, size_t path_size) {
    if (path_size == 0) {
        return false;
    }
    chooser_begin(mode, request, path, path_size);
    ModalView view{};
    view.x = CHOOSER_X;
    view.y = CHOOSER_Y;
    view.width = CHOOSER_WIDTH;
    view.height = CHOOSER_HEIGHT;
    view.draw = view_draw;
    view.key = view_key;
    view.text = view_text;
    view.composition = view_composition;
    view.mouse_move = view_mouse_move;
    view.mouse_button = view_mouse_button;
    view.finished = view_finished;
    view.cancel = view_cancel;
    view.wants_text = true;
    modal_run(view);
    bool chosen = g_file_chooser.end == ChooserEnd::chosen;
    // The listing goes with the dialog; the remembered folder stays.
    g_file_chooser.entries.clear();
    g_file_chooser.entries.shrink_to_fit();
    g_file_chooser.request = nullptr;
    g_file_chooser.path_out = nullptr;
    return chosen;
}

} // namespace

bool file_chooser_open(const FileDialogRequest& request, char* path, size_t path_size) {
    return chooser_run(ChooserMode::open, request, path, path_size);
}

bool file_chooser_save(const FileDialogRequest& request, char* path, size_t path_size) {
    return chooser_run(ChooserMode::save, request, path, path_size);
}

void file_chooser_register() {
    platform_set_dialog_handlers(DialogHandlers{
        file_chooser_open, file_chooser_save, gui_message_box, gui_ask_yes_no, gui_ask_ok_cancel});
}
