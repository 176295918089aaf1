// Files and directories through the wide-character kernel calls, with Shift-JIS paths.
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_text.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

// ReadFile and WriteFile take a 32-bit count.
constexpr size_t LARGEST_CALL = 1u << 30;

} // namespace

PlatformFile* win32_file_open(const char* path, FileMode mode) {
    bool writing = mode == FileMode::write;
    HANDLE handle = CreateFileW(win32_widen(path).c_str(), writing ? GENERIC_WRITE : GENERIC_READ,
                                FILE_SHARE_READ, nullptr, writing ? CREATE_ALWAYS : OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return nullptr;
    }
    return new PlatformFile{handle, writing};
}

size_t win32_file_read(PlatformFile* file, void* buffer, size_t count) {
    size_t done = 0;
    while (done < count) {
        size_t part = count - done < LARGEST_CALL ? count - done : LARGEST_CALL;
        DWORD n = 0;
        if (!ReadFile(file->handle, static_cast<char*>(buffer) + done, static_cast<DWORD>(part), &n,
                      nullptr) ||
            n == 0) {
            break;
        }
        done += n;
    }
    return done;
}

size_t win32_file_write(PlatformFile* file, const void* buffer, size_t count) {
    size_t done = 0;
    while (done < count) {
        size_t part = count - done < LARGEST_CALL ? count - done : LARGEST_CALL;
        DWORD n = 0;
        if (!WriteFile(file->handle, static_cast<const char*>(buffer) + done,
                       static_cast<DWORD>(part), &n, nullptr) ||
            n == 0) {
            break;
        }
        done += n;
    }
    return done;
}

bool win32_file_close(PlatformFile* file) {
    // A written file is on the disk before it may replace a user's song.
    bool ok = !file->writing || FlushFileBuffers(file->handle);
    ok = CloseHandle(file->handle) && ok;
    delete file;
    return ok;
}

PlatformFile* win32_file_create_beside(const char* target_path, char* temp_path,
                                       size_t temp_path_size) {
    // CREATE_NEW refuses a name that exists, so a clash only moves on to the next number.
    unsigned seed = GetCurrentProcessId() * 7919u + GetTickCount();
    for (unsigned attempt = 0; attempt < 100; attempt++) {
        int n = snprintf(temp_path, temp_path_size, "%s.%06x", target_path,
                         (seed + attempt * 104729u) & 0xFFFFFFu);
        if (n < 0 || static_cast<size_t>(n) >= temp_path_size) {
            return nullptr;
        }
        HANDLE handle = CreateFileW(win32_widen(temp_path).c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle != INVALID_HANDLE_VALUE) {
            return new PlatformFile{handle, true};
        }
        if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) {
            return nullptr;
        }
    }
    return nullptr;
}

bool win32_file_rename(const char* from, const char* to) {
    return MoveFileExW(win32_widen(from).c_str(), win32_widen(to).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool win32_file_remove(const char* path) {
    return DeleteFileW(win32_widen(path).c_str()) != 0;
}

namespace {

DWORD attributes_of(const char* path) {
    return GetFileAttributesW(win32_widen(path).c_str());
}

} // namespace

bool win32_file_exists(const char* path) {
    DWORD attributes = attributes_of(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool win32_directory_exists(const char* path) {
    DWORD attributes = attributes_of(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool win32_list_directory(const char* path, DirectoryEntryVisit visit, void* context) {
    std::wstring pattern = win32_widen(path);
    if (!pattern.empty() && pattern.back() != L'\\' && pattern.back() != L'/') {
        pattern += L'\\';
    }
    pattern += L'*';
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        // An empty drive root has no entries at all, yet it was read.
        return GetLastError() == ERROR_FILE_NOT_FOUND && win32_directory_exists(path);
    }
    std::string name;
    do {
        if (wcscmp(found.cFileName, L".") == 0 || wcscmp(found.cFileName, L"..") == 0) {
            continue;
        }
        if (win32_narrow(found.cFileName, name)) {
            visit(context, name.c_str(), (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return true;
}
