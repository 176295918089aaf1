// Home, working and program directories, the system language and paths shown as text.
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_text.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

bool is_separator(char c) {
    return c == '\\' || c == '/';
}

// Copies a directory without its trailing separators; a drive root ("C:\") keeps its own.
bool directory_copy(const std::string& directory, char* out, size_t out_size) {
    size_t n = directory.size();
    while (n > 1 && is_separator(directory[n - 1]) && !(n == 3 && directory[1] == ':')) {
        n--;
    }
    if (n == 0 || n >= out_size) {
        return false;
    }
    memcpy(out, directory.data(), n);
    out[n] = '\0';
    return true;
}

bool narrow_directory(const wchar_t* wide, char* out, size_t out_size) {
    std::string sjis;
    return win32_narrow(wide, sjis) && directory_copy(sjis, out, out_size);
}

} // namespace

bool win32_home_directory(char* out, size_t out_size) {
    wchar_t buffer[MAX_PATH * 4];
    DWORD n = GetEnvironmentVariableW(L"USERPROFILE", buffer, sizeof buffer / sizeof buffer[0]);
    return n > 0 && n < sizeof buffer / sizeof buffer[0] && narrow_directory(buffer, out, out_size);
}

bool win32_current_directory(char* out, size_t out_size) {
    wchar_t buffer[MAX_PATH * 4];
    DWORD n = GetCurrentDirectoryW(sizeof buffer / sizeof buffer[0], buffer);
    return n > 0 && n < sizeof buffer / sizeof buffer[0] && narrow_directory(buffer, out, out_size);
}

bool win32_program_directory(char* out, size_t out_size) {
    // The module path has no length query: grow the buffer until the whole path fits.
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) {
            return false;
        }
        if (n < buffer.size()) {
            break;
        }
        if (buffer.size() >= 32768) {
            return false;
        }
        buffer.resize(buffer.size() * 2);
    }
    std::string path;
    if (!win32_narrow(buffer.data(), path)) {
        return false;
    }
    // A lead byte's second byte may be 0x5C ('\'): find the last separator character by
    // character, not byte by byte.
    size_t last = std::string::npos;
    for (size_t at = 0; at < path.size(); at++) {
        if (is_separator(path[at])) {
            last = at;
        } else if (IsDBCSLeadByteEx(932, static_cast<unsigned char>(path[at]))) {
            at++;
        }
    }
    if (last == std::string::npos) {
        return false;
    }
    bool root = last == 2 && path[1] == ':';
    return directory_copy(path.substr(0, root ? 3 : last), out, out_size);
}

bool win32_started_from_desktop() {
    return GetConsoleWindow() == nullptr;
}

UiLanguage win32_system_language() {
    return PRIMARYLANGID(GetSystemDefaultLangID()) == LANG_JAPANESE ? UiLanguage::japanese
                                                                    : UiLanguage::english;
}

void win32_path_display_text(const char* path, char* out, size_t out_size) {
    if (out_size == 0) {
        return;
    }
    size_t n = 0;
    for (size_t at = 0; path[at] != '\0';) {
        size_t width =
            IsDBCSLeadByteEx(932, static_cast<unsigned char>(path[at])) && path[at + 1] != '\0' ? 2
                                                                                                : 1;
        if (at + width > out_size - 1) {
            break;
        }
        at += width;
        n = at;
    }
    memcpy(out, path, n);
    out[n] = '\0';
}
