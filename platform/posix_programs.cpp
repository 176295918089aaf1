// Programs started detached (reaped by the spawner), documents opened with xdg-open.
#include "platform/posix_programs.h"

#include "platform/posix_network.h"

#include <cstdlib>
#include <string>
#include <unistd.h>

bool posix_program_on_path(const char* name) {
    const char* path = getenv("PATH");
    if (path == nullptr) {
        return false;
    }
    std::string dirs = path;
    size_t start = 0;
    while (start <= dirs.size()) {
        size_t end = dirs.find(':', start);
        if (end == std::string::npos) {
            end = dirs.size();
        }
        std::string candidate = dirs.substr(start, end - start) + "/" + name;
        if (access(candidate.c_str(), X_OK) == 0) {
            return true;
        }
        start = end + 1;
    }
    return false;
}

bool posix_start_program(const char* program_path, const char* argument) {
    const char* arguments[] = {program_path, argument, nullptr};
    return posix_spawn_detached(program_path, arguments);
}

bool posix_open_document(const char* path_or_address) {
    const char* arguments[] = {"xdg-open", path_or_address, nullptr};
    return posix_program_on_path("xdg-open") && posix_spawn_detached("xdg-open", arguments);
}
