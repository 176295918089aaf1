// Editing one line of Shift-JIS text by whole characters.
#include "gui/text_edit.h"

#include "common/text_sjis.h"

size_t text_edit_boundary(const std::string& text, size_t at) {
    return sjis_cut_length(text.data(), text.size(), at);
}

size_t text_edit_previous(const std::string& text, size_t at) {
    size_t before = 0;
    size_t i = 0;
    while (i < at && i < text.size()) {
        before = i;
        i += sjis_is_lead_byte(static_cast<uint8_t>(text[i])) && i + 1 < text.size() ? 2 : 1;
    }
    return before;
}

size_t text_edit_next(const std::string& text, size_t at) {
    if (at >= text.size()) {
        return text.size();
    }
    size_t width =
        sjis_is_lead_byte(static_cast<uint8_t>(text[at])) && at + 1 < text.size() ? 2 : 1;
    return at + width;
}

void text_edit_left(TextEdit& edit) {
    edit.caret = text_edit_previous(edit.text, edit.caret);
}

void text_edit_right(TextEdit& edit) {
    edit.caret = text_edit_next(edit.text, edit.caret);
}

void text_edit_home(TextEdit& edit) {
    edit.caret = 0;
}

void text_edit_end(TextEdit& edit) {
    edit.caret = edit.text.size();
}

void text_edit_backspace(TextEdit& edit) {
    if (edit.caret == 0) {
        return;
    }
    size_t start = text_edit_previous(edit.text, edit.caret);
    edit.text.erase(start, edit.caret - start);
    edit.caret = start;
}

void text_edit_delete(TextEdit& edit) {
    size_t end = text_edit_next(edit.text, edit.caret);
    edit.text.erase(edit.caret, end - edit.caret);
}

bool text_edit_insert(TextEdit& edit, const std::string& sjis) {
    size_t room = sjis.size();
    if (edit.limit > 0) {
        room = edit.text.size() >= edit.limit ? 0 : edit.limit - edit.text.size();
    }
    size_t fits = sjis_cut_length(sjis.data(), sjis.size(), room);
    edit.text.insert(edit.caret, sjis, 0, fits);
    edit.caret += fits;
    return fits == sjis.size();
}

void text_edit_set(TextEdit& edit, const std::string& sjis) {
    size_t keep =
        edit.limit > 0 ? sjis_cut_length(sjis.data(), sjis.size(), edit.limit) : sjis.size();
    edit.text.assign(sjis, 0, keep);
    edit.caret = edit.text.size();
}
