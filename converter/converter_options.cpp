// The converter's options: defaults, MELCONV.INI beside the program, and their ranges.
#include "common/profile.h"
#include "converter/converter.h"
#include "platform/platform.h"

#include <cstdio>
#include <cstring>

ConverterOptions g_options;

namespace {

constexpr const char* SECTION_OP = "OP";
constexpr const char* SECTION_MMF = "MMF";

// The integer options of section "OP", with their defaults and ranges.
struct IntOption {
    const char* key;
    int ConverterOptions::*field;
    int fallback;
    int low;
    int high;
};

constexpr IntOption OP_INTS[] = {
    {"model", &ConverterOptions::model, 3, 0, 3},
    {"vel", &ConverterOptions::vel, 1, 0, 1},
    {"separation", &ConverterOptions::separation, 0, 0, 1},
    {"link", &ConverterOptions::link, 0, 0, 1},
    {"disp", &ConverterOptions::disp, 0, 0, 1},
    {"play", &ConverterOptions::play, 0, 0, 1},
    {"pan", &ConverterOptions::pan, 1, 0, 1},
    {"exp", &ConverterOptions::exp, 1, 0, 1},
    {"pb", &ConverterOptions::pb, 0, 0, 1},
    {"mod", &ConverterOptions::mod, 0, 0, 1},
    {"autocut", &ConverterOptions::autocut, 300, 1, 900},
    {"toneshift", &ConverterOptions::toneshift, 0, -12, 12},
    {"msvol", &ConverterOptions::msvol, 127, 0, 127},
    {"message", &ConverterOptions::message, 1, 0, 1},
};

constexpr IntOption MMF_INTS[] = {
    {"m2", &ConverterOptions::m2, 1, -2147483647, 2147483647},
    {"pmmf", &ConverterOptions::pmmf, 170, -2147483647, 2147483647},
};

constexpr const char* VERS_DEFAULT = "0300";
constexpr const char* A0_DEFAULT = "A0:Y71328,A2:Y71376,";

// A hand-edited file may hold anything: a value outside its range takes the default, since
// the writers index tables and divide by these.
int clamp_option(const IntOption& option, int value) {
    return value < option.low || value > option.high ? option.fallback : value;
}

} // namespace

void converter_options_reset() {
    g_options = ConverterOptions{};
    for (const IntOption& option : OP_INTS) {
        g_options.*option.field = option.fallback;
    }
    for (const IntOption& option : MMF_INTS) {
        g_options.*option.field = option.fallback;
    }
    snprintf(g_options.vers, sizeof g_options.vers, "%s", VERS_DEFAULT);
    snprintf(g_options.a0, sizeof g_options.a0, "%s", A0_DEFAULT);
}

void options_path(char* out, size_t out_size) {
    snprintf(out, out_size, "%s%cMELCONV.INI", g_converter.program_directory,
             PLATFORM_PATH_SEPARATOR);
}

void options_load() {
    char path[CONVERTER_PATH_SIZE * 2];
    options_path(path, sizeof path);
    profile_free();
    profile_load(path, 1);
    profile_get_string(SECTION_OP, "vers", VERS_DEFAULT, g_options.vers, sizeof g_options.vers);
    for (const IntOption& option : OP_INTS) {
        g_options.*option.field =
            clamp_option(option, profile_get_int(SECTION_OP, option.key, option.fallback));
    }
    for (const IntOption& option : MMF_INTS) {
        g_options.*option.field = profile_get_int(SECTION_MMF, option.key, option.fallback);
    }
    profile_get_string(SECTION_MMF, "a0", A0_DEFAULT, g_options.a0, sizeof g_options.a0);
    profile_free();
}

bool options_save() {
    char path[CONVERTER_PATH_SIZE * 2];
    options_path(path, sizeof path);
    profile_free();
    profile_load(path, 1);
    bool ok = profile_set_string(SECTION_OP, "vers", g_options.vers) == 1;
    for (const IntOption& option : OP_INTS) {
        ok = profile_set_int(SECTION_OP, option.key, g_options.*option.field) == 1 && ok;
    }
    for (const IntOption& option : MMF_INTS) {
        ok = profile_set_int(SECTION_MMF, option.key, g_options.*option.field) == 1 && ok;
    }
    ok = profile_set_string(SECTION_MMF, "a0", g_options.a0) == 1 && ok;
    ok = profile_save(path) == 1 && ok;
    profile_free();
    return ok;
}

// Option names and fields for the command line, in the order of the INI file.
int option_lookup(const char* key, int** field, int* low, int* high) {
    for (const IntOption& option : OP_INTS) {
        if (strcmp(option.key, key) == 0) {
            *field = &(g_options.*option.field);
            *low = option.low;
            *high = option.high;
            return 1;
        }
    }
    for (const IntOption& option : MMF_INTS) {
        if (strcmp(option.key, key) == 0) {
            *field = &(g_options.*option.field);
            *low = option.low;
            *high = option.high;
            return 1;
        }
    }
    return 0;
}
