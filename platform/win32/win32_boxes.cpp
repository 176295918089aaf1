// Message boxes and questions (MessageBoxW), the common open and save dialogs with the
// request's filters, and the hourglass cursor.
#include "platform/win32/win32_gui.h"

#include <windows.h>

#include <commdlg.h>
#include <vector>

namespace {

// Room for a long path and its terminator in the dialog's buffer.
constexpr DWORD DIALOG_PATH_UNITS = 32768;

UINT icon_flag(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::exclamation:
        return MB_ICONEXCLAMATION;
    case MessageIcon::question:
        return MB_ICONQUESTION;
    case MessageIcon::information:
        return MB_ICONINFORMATION;
    }
    return MB_ICONINFORMATION;
}

int box(const char* caption, const char* text, UINT flags) {
    std::wstring c = win32_wide_from_sjis(caption);
    std::wstring t = win32_wide_from_sjis(text);
    return MessageBoxW(static_cast<HWND>(win32_main_window()), t.c_str(), c.c_str(),
                       flags | MB_SETFOREGROUND);
}

bool is_directory(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Runs one of the two dialogs; the chosen path goes back as Shift-JIS, like every path here,
// and only when it converts and fits whole: a changed or cut path would name another file.
bool file_dialog(const FileDialogRequest& request, char* path, size_t path_size, bool save) {
    if (path == nullptr || path_size == 0) {
        return false;
    }
    std::wstring filter = win32_file_filter(request);
    std::wstring extension = win32_wide_from_sjis(request.default_extension);
    std::wstring initial = win32_wide_from_sjis(request.initial_name);
    std::vector<wchar_t> buffer(DIALOG_PATH_UNITS, L'\0');
    std::wstring initial_directory;
    if (!initial.empty() &&
        (initial.back() == L'\\' || initial.back() == L'/' || is_directory(initial))) {
        initial_directory = initial;
    } else if (initial.size() < DIALOG_PATH_UNITS) {
        initial.copy(buffer.data(), initial.size());
    }
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = static_cast<HWND>(win32_main_window());
    ofn.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = DIALOG_PATH_UNITS;
    ofn.lpstrInitialDir = initial_directory.empty() ? nullptr : initial_directory.c_str();
    ofn.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
    // The program asks about overwriting itself; the dialog only keeps out a missing folder.
    ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST;
    if (!save) {
        ofn.Flags |= OFN_FILEMUSTEXIST;
    }
    BOOL chosen = save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
    if (!chosen) {
        return false;
    }
    std::string sjis;
    if (!win32_sjis_from_wide_strict(buffer.data(), sjis) || sjis.empty() ||
        sjis.size() >= path_size) {
        return false;
    }
    sjis.copy(path, sjis.size());
    path[sjis.size()] = '\0';
    return true;
}

} // namespace

std::wstring win32_file_filter(const FileDialogRequest& request) {
    std::wstring filter;
    for (int i = 0; i < request.filter_count; i++) {
        const FileDialogFilter& f = request.filters[i];
        filter += win32_wide_from_sjis(f.description);
        filter += L'\0';
        filter += win32_wide_from_sjis(f.pattern);
        filter += L'\0';
    }
    filter += L'\0'; // the list ends with an empty pair
    return filter;
}

void win32_message_box(const char* caption, const char* text, MessageIcon icon) {
    box(caption, text, MB_OK | icon_flag(icon));
}

bool win32_ask_ok_cancel(const char* caption, const char* text) {
    return box(caption, text, MB_OKCANCEL | MB_ICONQUESTION) == IDOK;
}

bool win32_ask_yes_no(const char* caption, const char* text) {
    return box(caption, text, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

bool win32_open_file_dialog(const FileDialogRequest& request, char* path, size_t path_size) {
    return file_dialog(request, path, path_size, false);
}

bool win32_save_file_dialog(const FileDialogRequest& request, char* path, size_t path_size) {
    return file_dialog(request, path, path_size, true);
}

// The status line is in the picture already; nothing else shows it here.
void win32_status_text(const char*) {}

void win32_wait_cursor(bool on) {
    WIN32_WINDOW_BACKEND.cursor_shape(on ? 2 : 0);
}
