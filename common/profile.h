// The profile (INI) store: one INI-style text file held in memory at a time, read and written
// by section and key. The converter keeps its options in one, the sequencer reads reader.ini.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr int PROFILE_NAME_SIZE = 256; // names keep at most 255 bytes
constexpr int PROFILE_GROWTH = 10;     // arrays grow by this many records

struct ProfileEntry {
    char name[PROFILE_NAME_SIZE]; // trimmed key; for a comment the whole line
    uint32_t hash;                // of name; 0 for comments
    char* value;                  // own allocation, NUL-terminated; null when cleared
    int32_t is_comment;           // 1 for a line that began with '#'
};

struct ProfileSection {
    char name[PROFILE_NAME_SIZE]; // trimmed; empty for the head section 0
    uint32_t hash;
    ProfileEntry* entries; // null until the first entry; a section without it is not saved
    int32_t entry_count;
    int32_t entry_capacity;
};

// The one profile of the process. Used from one thread only (the converter's only thread, the
// sequencer's window thread during start-up); nothing here is synchronised.
struct ProfileStore {
    ProfileSection* sections = nullptr; // null while no profile is loaded
    int32_t section_count = 0;
    int32_t section_capacity = 0;
};

extern ProfileStore g_profile;

// Fault injection for tests, as SQLite's out-of-memory tests do it: after fail_alloc_after
// more successful allocations every further one fails (negative: never). Same thread rule.
struct ProfileFaults {
    int64_t fail_alloc_after = -1;
};

extern ProfileFaults g_profile_faults;

void profile_faults_reset();

// Reads the file at path into a fresh profile; 1 on success. The text ends at its first NUL
// byte; a file over 1 MiB is refused. With enable 0 nothing is read, the profile is dropped
// and 1 returned. On failure (missing, too large, unreadable, out of memory) the profile held
// before stays as it was and 0 is returned.
int profile_load(const char* path, int enable);
// Writes the profile to path, replacing any old file; 1 on success, 0 (old file untouched)
// when no profile is loaded or allocating, writing or replacing fails.
int profile_save(const char* path);
// Frees everything; no profile is loaded afterwards.
void profile_free();

// Section and key names given below are cut to 255 bytes and trimmed as stored names are, and
// match regardless of the case of ASCII letters; section "" is the head section before the
// first header. Comments never match a key.

// Copies the value of key in section (trimmed of spaces and tabs, one pair of surrounding
// double quotes removed), or default_value when missing, into out bounded by out_size.
// Returns the length placed in out.
size_t profile_get_string(const char* section, const char* key, const char* default_value,
                          char* out, size_t out_size);
// The value read as a decimal integer with atoi's rules (clamped to the int range), or
// default_value when the section or key is missing or has no value.
int profile_get_int(const char* section, const char* key, int default_value);

// Creates the profile and the section when missing. key null: empties the section, which is
// then not saved. value null: clears the entry, which is then not saved. Otherwise replaces or
// appends. 1 on success, 0 on allocation failure (the profile is left as it was).
int profile_set_string(const char* section, const char* key, const char* value);
// As profile_set_string with the value wrapped in double quotes; null or empty stores "".
int profile_set_quoted(const char* section, const char* key, const char* value);
int profile_set_int(const char* section, const char* key, int number);

// Name hash: each byte as a signed 8-bit value, A-Z folded to a-z, hash = c + 2 * hash.
uint32_t profile_name_hash(const char* name);
