// Fuzz target for the settings file: any bytes as ZB47.DAT are read; a file that is taken
// must leave the port settings in range, and the file written from it must read back and
// write again byte for byte the same.
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "sequencer/engine/engine.h"
#include "sequencer/engine/midi_devices.h"
#include "sequencer/engine/settings.h"
#include "songcore/song_store.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// Only the first 4096 bytes count; longer inputs only slow the search.
constexpr size_t INPUT_LIMIT = 8192;

std::string g_dir;

bool write_all(const std::string& path, const uint8_t* data, size_t size) {
    FILE* file = fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    bool ok = size == 0 || fwrite(data, 1, size, file) == size;
    return fclose(file) == 0 && ok;
}

std::vector<uint8_t> read_all(const std::string& path) {
    std::vector<uint8_t> bytes;
    FILE* file = fopen(path.c_str(), "rb");
    if (file == nullptr) {
        abort();
    }
    uint8_t buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, file)) > 0) {
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
    fclose(file);
    return bytes;
}

void start_once() {
    if (!g_dir.empty()) {
        return;
    }
    std::string pattern =
        (std::filesystem::temp_directory_path() / "fuzz_settings.XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        abort();
    }
    g_dir = pattern;
    platform_select("headless");
    song_store_init(SEQUENCER_STORE);
}

void fresh_start() {
    headless_reset();
    g_headless.program_directory = g_dir;
    engine_reset();
    settings_apply();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > INPUT_LIMIT) {
        return 0;
    }
    start_once();
    std::string path = g_dir + "/" + SETTINGS_FILE_NAME;
    if (!write_all(path, data, size)) {
        return 0;
    }
    fresh_start();
    if (settings_read() == 0) {
        int port = g_midi_devices.current_out_port;
        if (port < 0 || port > 8 || g_settings.slots[SLOT_RECHORD_ON] > 1 ||
            g_settings.slots[SLOT_BACKUP_ALLOWED] > 1) {
            abort();
        }
        if (settings_write() != 1) {
            abort();
        }
        std::vector<uint8_t> first = read_all(path);
        // Bytes the program does not use go back as they came.
        if (first.size() != SETTINGS_FILE_SIZE ||
            !std::equal(data + 1190, data + 4095, first.begin() + 1190)) {
            abort();
        }
        fresh_start();
        if (settings_read() != 0 || settings_write() != 1) {
            abort();
        }
        if (read_all(path) != first) {
            abort();
        }
    }
    std::filesystem::remove(path);
    return 0;
}
