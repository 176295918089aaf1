// Fuzz target: an SMF through preparation and every ringtone writer, then the ringtone back
// through its reader. The first byte picks the format, separation, velocity and tone shift.
// A ringtone written from an SMF without exclusive messages (which may carry raw ringtone
// bytes) must always read back.
#include "converter/converter.h"
#include "platform/headless/headless.h"
#include "songcore/song_store.h"
#include "tools/fuzz/fuzz_support_converter.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    uint8_t flags = data[0];
    const char* names[4] = {"in.mid", "in_.mid", "in%.mid", "in#.mid"};
    fuzz_converter_begin(data + 1, size - 1, names[(flags >> 4) & 3]);
    g_options.model = flags & 3;
    g_options.separation = (flags >> 2) & 1;
    g_options.vel = (flags >> 3) & 1;
    g_options.toneshift = (flags & 0x40) != 0 ? -12 : 0;
    g_options.pb = 1;
    g_options.mod = 1;
    bool exclusive =
        memchr(data + 1, 0xF0, size - 1) != nullptr || memchr(data + 1, 0xF7, size - 1) != nullptr;
    if (run_conversion()) {
        std::string ringtone = g_converter.input_path;
        g_headless.messages.clear();
        // The reverse conversion's SMF gets its own name beside the ringtone.
        std::string back =
            ringtone.substr(0, ringtone.size() - 4) + "r" + ringtone.substr(ringtone.size() - 4);
        rename(ringtone.c_str(), back.c_str());
        song_store_init(CONVERTER_STORE);
        snprintf(g_converter.input_path, sizeof g_converter.input_path, "%s", back.c_str());
        if (!run_conversion() && !exclusive) {
            abort();
        }
    }
    fuzz_converter_end();
    return 0;
}
