// Converter fuzz start-up and load-back check.
#include "tools/fuzz/fuzz_support_converter.h"

#include "common/status_line.h"
#include "converter/converter.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "songcore/smf_files.h"
#include "songcore/song_store.h"
#include "songcore/track_normalize.h"
#include "tools/fuzz/fuzz_support.h"

#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string fuzz_directory() {
    static std::string dir;
    if (dir.empty()) {
        char path[64];
        snprintf(path, sizeof path, "/tmp/zb_fuzz_converter.%d", getpid());
        mkdir(path, 0700);
        dir = path;
        platform_select("headless");
    }
    return dir;
}

} // namespace

std::string fuzz_converter_begin(const uint8_t* data, size_t size, const char* name) {
    std::string dir = fuzz_directory();
    headless_backend_reset();
    melconv_reset_all();
    g_headless.default_answer = true;
    snprintf(g_converter.program_directory, sizeof g_converter.program_directory, "%s",
             dir.c_str());
    std::string path = dir + "/" + name;
    write_temp(path.c_str(), data, size);
    snprintf(g_converter.input_path, sizeof g_converter.input_path, "%s", path.c_str());
    return path;
}

void fuzz_converter_end() {
    std::string dir = fuzz_directory();
    DIR* d = opendir(dir.c_str());
    if (d == nullptr) {
        return;
    }
    while (dirent* entry = readdir(d)) {
        if (entry->d_name[0] != '.') {
            unlink((dir + "/" + entry->d_name).c_str());
        }
    }
    closedir(d);
}

void fuzz_conversion_loads_back() {
    if (!run_conversion()) {
        return;
    }
    snprintf(g_song_files.file_path, sizeof g_song_files.file_path, "%s", g_converter.input_path);
    song_store_init(CONVERTER_STORE);
    if (song_load() != SongLoadResult::loaded) {
        abort();
    }
}
