// Fuzz target for the profile store: any bytes as an INI file are loaded, read, changed and
// saved; a saved file must load again, and from the second save on the text must be stable.
//
// The first save may differ from a second one: a key that trims to "[...]" or "#..." reads
// back as a header or comment, and a section written with only nameless entries comes back
// without them. Both follow from the saved format, so stability is checked one round later.
#include "common/profile.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

// Profiles are small; large inputs only slow the search (arrays grow ten records at a time).
constexpr size_t MAX_INPUT = 64 * 1024;

bool write_temp(const uint8_t* data, size_t size, std::string& path) {
    char name[] = "/tmp/fuzz_profile.XXXXXX";
    int fd = mkstemp(name);
    if (fd < 0) {
        return false;
    }
    path = name;
    size_t done = 0;
    while (done < size) {
        ssize_t n = write(fd, data + done, size - done);
        if (n <= 0) {
            close(fd);
            unlink(name);
            return false;
        }
        done += static_cast<size_t>(n);
    }
    close(fd);
    return true;
}

std::string read_all(const std::string& path) {
    std::string text;
    FILE* file = fopen(path.c_str(), "rb");
    if (file == nullptr) {
        abort();
    }
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, file)) > 0) {
        text.append(buffer, n);
    }
    fclose(file);
    return text;
}

// Reads the way the programs do, with bounds that cut values short.
void read_some(const uint8_t* data, size_t size) {
    char out[64];
    char tiny[1];
    const char* keys[] = {"", "vers", "a0", "v0", "Ch", "[", "#", "=", " ", "k"};
    const char* sections[] = {"", "VO", "OP", "MMF", "Main", "\x83\x41", "a"};
    for (const char* section : sections) {
        for (const char* key : keys) {
            profile_get_string(section, key, "dflt", out, sizeof out);
            profile_get_string(section, key, "dflt", out, 0);
            profile_get_string(section, key, "dflt", tiny, 1);
            if (tiny[0] != '\0') {
                abort();
            }
            profile_get_int(section, key, -1);
        }
    }
    // A key taken from the input itself, so lookups hit what was loaded.
    std::string key(reinterpret_cast<const char*>(data), size < 8 ? size : 8);
    size_t nul = key.find('\0');
    if (nul != std::string::npos) {
        key.resize(nul);
    }
    profile_get_string("", key.c_str(), nullptr, out, sizeof out);
    profile_get_int("", key.c_str(), 0);
}

// Saves and returns the saved text; a failed save is a fault here.
std::string save_to(const std::string& path) {
    if (profile_save(path.c_str()) != 1) {
        abort();
    }
    return read_all(path);
}

void reload(const std::string& path) {
    profile_free();
    if (profile_load(path.c_str(), 1) != 1) {
        abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > MAX_INPUT) {
        return 0;
    }
    std::string input_path;
    if (!write_temp(data, size, input_path)) {
        return 0;
    }
    std::string saved_path = input_path + ".saved";

    profile_free();
    if (profile_load(input_path.c_str(), 1) == 1) {
        read_some(data, size);
        profile_set_string("Fuzz", "key", "value");
        profile_set_quoted("fuzz", "quoted", "two words");
        profile_set_int("FUZZ", "number", -12345);
        profile_set_string("", "v0", nullptr);
        profile_set_string("VO", nullptr, nullptr);
        if (profile_get_int("fuzz", "NUMBER", 0) != -12345) {
            abort();
        }

        save_to(saved_path);
        reload(saved_path);
        read_some(data, size);
        std::string second = save_to(saved_path);
        reload(saved_path);
        std::string third = save_to(saved_path);
        if (second != third) {
            abort();
        }
    }
    profile_free();
    unlink(saved_path.c_str());
    unlink(input_path.c_str());
    return 0;
}
