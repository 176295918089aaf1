// Files, directories, program directory, language and clock on POSIX systems.
#include "platform/posix_files.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

PlatformFile* posix_file_open(const char* path, FileMode mode) {
    int flags = mode == FileMode::read ? O_RDONLY : (O_WRONLY | O_CREAT | O_TRUNC);
    int fd = open(path, flags | O_CLOEXEC, 0666);
    if (fd < 0) {
        return nullptr;
    }
    if (mode == FileMode::read) {
        struct stat info;
        if (fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
            close(fd);
            return nullptr;
        }
    }
    return new PlatformFile{fd, mode == FileMode::write};
}

namespace {

// A read or write may move fewer bytes than asked, or be interrupted by a signal: both go on
// until every byte has moved, the end of the file is reached or the call fails.
template <typename Buffer, typename Transfer>
size_t transfer_all(int fd, Buffer* buffer, size_t count, Transfer transfer) {
    size_t done = 0;
    while (done < count) {
        ssize_t n = transfer(fd, buffer + done, count - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        done += static_cast<size_t>(n);
    }
    return done;
}

} // namespace

size_t posix_file_read(PlatformFile* file, void* buffer, size_t count) {
    return transfer_all(file->fd, static_cast<char*>(buffer), count, read);
}

size_t posix_file_write(PlatformFile* file, const void* buffer, size_t count) {
    return transfer_all(file->fd, static_cast<const char*>(buffer), count, write);
}

bool posix_file_close(PlatformFile* file) {
    // A written file is flushed to the disk before it may replace a user's song.
    bool ok = !file->writing || fsync(file->fd) == 0 || errno == EINVAL;
    ok = close(file->fd) == 0 && ok;
    delete file;
    return ok;
}

PlatformFile* posix_file_create_beside(const char* target_path, char* temp_path,
                                       size_t temp_path_size) {
    int n = snprintf(temp_path, temp_path_size, "%s.XXXXXX", target_path);
    if (n < 0 || static_cast<size_t>(n) >= temp_path_size) {
        return nullptr;
    }
    int fd = mkstemp(temp_path);
    if (fd < 0) {
        return nullptr;
    }
    // mkstemp makes the file private; a song file gets the usual permissions.
    mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
    return new PlatformFile{fd, true};
}

bool posix_file_rename(const char* from, const char* to) {
    return rename(from, to) == 0;
}

bool posix_file_remove(const char* path) {
    return unlink(path) == 0;
}

bool posix_file_exists(const char* path) {
    struct stat info;
    return stat(path, &info) == 0 && !S_ISDIR(info.st_mode);
}

bool posix_list_directory(const char* path, DirectoryEntryVisit visit, void* context) {
    DIR* directory = opendir(path);
    if (directory == nullptr) {
        return false;
    }
    int directory_fd = dirfd(directory);
    while (const dirent* entry = readdir(directory)) {
        const char* name = entry->d_name;
        if (strcmp(name, ".") == 0 || strcmp(name, "..") == 0) {
            continue;
        }
        bool is_directory = entry->d_type == DT_DIR;
        // Links and file systems that give no type need a look at what the name leads to.
        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
            struct stat info;
            is_directory = fstatat(directory_fd, name, &info, 0) == 0 && S_ISDIR(info.st_mode);
        }
        visit(context, name, is_directory);
    }
    closedir(directory);
    return true;
}

bool posix_directory_exists(const char* path) {
    struct stat info;
    return stat(path, &info) == 0 && S_ISDIR(info.st_mode);
}

namespace {

bool directory_copy(const char* directory, char* out, size_t out_size) {
    size_t n = strlen(directory);
    while (n > 1 && directory[n - 1] == '/') {
        n--;
    }
    if (n == 0 || n >= out_size) {
        return false;
    }
    memcpy(out, directory, n);
    out[n] = '\0';
    return true;
}

} // namespace

bool posix_home_directory(char* out, size_t out_size) {
    const char* home = getenv("HOME");
    return home != nullptr && home[0] == '/' && directory_copy(home, out, out_size);
}

bool posix_current_directory(char* out, size_t out_size) {
    char buffer[4096];
    return getcwd(buffer, sizeof buffer) != nullptr && directory_copy(buffer, out, out_size);
}

bool posix_started_from_desktop() {
    const char* x11 = getenv("DISPLAY");
    const char* wayland = getenv("WAYLAND_DISPLAY");
    bool display = (x11 != nullptr && x11[0] != '\0') || (wayland != nullptr && wayland[0] != '\0');
    return display && !isatty(STDIN_FILENO) && !isatty(STDOUT_FILENO);
}

bool posix_program_directory(char* out, size_t out_size) {
    if (out_size == 0) {
        return false;
    }
    ssize_t n = readlink("/proc/self/exe", out, out_size - 1);
    if (n <= 0) {
        return false;
    }
    out[n] = '\0';
    char* slash = strrchr(out, '/');
    if (slash == nullptr) {
        return false;
    }
    *(slash == out ? slash + 1 : slash) = '\0';
    return true;
}

UiLanguage posix_system_language() {
    const char* names[] = {"LC_ALL", "LC_MESSAGES", "LANG"};
    for (const char* name : names) {
        const char* value = getenv(name);
        if (value != nullptr && value[0] != '\0') {
            return strncmp(value, "ja", 2) == 0 ? UiLanguage::japanese : UiLanguage::english;
        }
    }
    return UiLanguage::english;
}

namespace {

uint64_t monotonic_ms() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint64_t>(now.tv_sec) * 1000u +
           static_cast<uint64_t>(now.tv_nsec) / 1000000u;
}

// The tick count starts with the program, not with the machine: a deadline kept as "never"
// (999,999,999 ms) must not pass on a machine that has been up for twelve days.
const uint64_t g_program_start_ms = monotonic_ms();

} // namespace

uint32_t posix_tick_ms() {
    return static_cast<uint32_t>(monotonic_ms() - g_program_start_ms);
}
