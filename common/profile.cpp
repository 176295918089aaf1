// The profile store: INI text parsed line by line into sections and entries, looked up by
// hashed, case-insensitive names, and written back whole in the layout it was read in.
#include "common/profile.h"

#include "common/text_sjis.h"
#include "platform/file_read_all.h"
#include "platform/file_write_all.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

ProfileStore g_profile;
ProfileFaults g_profile_faults;

namespace {

// A profile is a few kilobytes. Every line costs a record of about 280 bytes, so a larger file
// of short lines would take far more memory than its size; it is refused instead.
constexpr size_t FILE_LIMIT = 1024 * 1024;

// Every allocation of the store goes through these three, so tests can make any one fail.
bool allocation_allowed() {
    if (g_profile_faults.fail_alloc_after < 0) {
        return true;
    }
    if (g_profile_faults.fail_alloc_after == 0) {
        return false;
    }
    g_profile_faults.fail_alloc_after--;
    return true;
}

void* store_malloc(size_t size) {
    return allocation_allowed() ? malloc(size) : nullptr;
}

void* store_calloc(size_t count, size_t size) {
    return allocation_allowed() ? calloc(count, size) : nullptr;
}

void* store_realloc(void* block, size_t size) {
    return allocation_allowed() ? realloc(block, size) : nullptr;
}

bool is_blank(char c) {
    return c == ' ' || c == '\t';
}

void trim(char* text) {
    size_t length = strlen(text);
    while (length > 0 && is_blank(text[length - 1])) {
        length--;
    }
    size_t start = 0;
    while (start < length && is_blank(text[start])) {
        start++;
    }
    memmove(text, text + start, length - start);
    text[length - start] = '\0';
}

// Names are stored cut to 255 bytes and then trimmed; names handed in for a lookup go through
// the same steps, so a long key finds the entry it created.
void copy_name(char* out, const char* text, size_t length) {
    size_t n = length < PROFILE_NAME_SIZE - 1 ? length : PROFILE_NAME_SIZE - 1;
    memcpy(out, text, n);
    out[n] = '\0';
    trim(out);
}

void lookup_name(char* out, const char* name) {
    if (name == nullptr) {
        name = "";
    }
    copy_name(out, name, strnlen(name, PROFILE_NAME_SIZE - 1));
}

char fold(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

// Case-insensitive for ASCII letters only. The second byte of a double-byte character can
// fall in A-Z (0x83 0x41 is a katakana letter), so it is compared exactly; the hash folds it,
// but the hash only narrows.
bool names_equal(const char* a, const char* b) {
    size_t i = 0;
    while (true) {
        if (sjis_is_lead_byte(static_cast<uint8_t>(a[i]))) {
            if (a[i] != b[i] || a[i + 1] != b[i + 1]) {
                return false;
            }
            if (a[i + 1] == '\0') {
                return true;
            }
            i += 2;
            continue;
        }
        if (fold(a[i]) != fold(b[i])) {
            return false;
        }
        if (a[i] == '\0') {
            return true;
        }
        i++;
    }
}

char* copy_text(const char* text, size_t length) {
    char* copy = static_cast<char*>(store_malloc(length + 1));
    if (copy != nullptr) {
        memcpy(copy, text, length);
        copy[length] = '\0';
    }
    return copy;
}

// Grows array to the smallest multiple of PROFILE_GROWTH records that holds wanted, the new
// records zeroed, as if it had grown by PROFILE_GROWTH records at a time. The old array stays
// untouched when allocation fails.
template <typename Record> bool reserve(Record*& array, int32_t& capacity, int64_t wanted) {
    if (wanted <= capacity) {
        return true;
    }
    int64_t rounded = (wanted + PROFILE_GROWTH - 1) / PROFILE_GROWTH * PROFILE_GROWTH;
    if (rounded > INT32_MAX) {
        return false;
    }
    Record* grown =
        static_cast<Record*>(store_realloc(array, static_cast<size_t>(rounded) * sizeof(Record)));
    if (grown == nullptr) {
        return false;
    }
    memset(static_cast<void*>(grown + capacity), 0,
           static_cast<size_t>(rounded - capacity) * sizeof(Record));
    array = grown;
    capacity = static_cast<int32_t>(rounded);
    return true;
}

template <typename Record> bool make_room(Record*& array, int32_t count, int32_t& capacity) {
    return reserve(array, capacity, static_cast<int64_t>(count) + 1);
}

void free_entries(ProfileSection& section) {
    for (int32_t i = 0; i < section.entry_count; i++) {
        free(section.entries[i].value);
    }
    free(section.entries);
    section.entries = nullptr;
    section.entry_count = 0;
    section.entry_capacity = 0;
}

// Goes over every record, not only those in use: a load that fails midway leaves entry
// arrays reserved in records it had not reached yet.
void free_store(ProfileStore& store) {
    for (int32_t i = 0; i < store.section_capacity; i++) {
        free_entries(store.sections[i]);
    }
    free(store.sections);
    store = ProfileStore{};
}

// A fresh profile: capacity for 10 sections, the zeroed unnamed head section 0 in use.
bool start_store(ProfileStore& store) {
    store.sections =
        static_cast<ProfileSection*>(store_calloc(PROFILE_GROWTH, sizeof(ProfileSection)));
    if (store.sections == nullptr) {
        return false;
    }
    store.section_count = 1;
    store.section_capacity = PROFILE_GROWTH;
    return true;
}

// name is already cut and trimmed. The record is zeroed, or holds the entry array a load
// reserved for it, which is kept.
ProfileSection* add_section(ProfileStore& store, const char* name) {
    if (!make_room(store.sections, store.section_count, store.section_capacity)) {
        return nullptr;
    }
    ProfileSection& section = store.sections[store.section_count];
    memcpy(section.name, name, strlen(name) + 1);
    section.hash = profile_name_hash(section.name);
    store.section_count++;
    return &section;
}

// Appends an entry owning value; on failure the section is unchanged and value not taken.
bool add_entry(ProfileSection& section, const char* name, char* value, bool is_comment) {
    if (!make_room(section.entries, section.entry_count, section.entry_capacity)) {
        return false;
    }
    ProfileEntry& entry = section.entries[section.entry_count];
    entry = ProfileEntry{};
    memcpy(entry.name, name, strlen(name) + 1);
    entry.hash = is_comment ? 0 : profile_name_hash(entry.name);
    entry.value = value;
    entry.is_comment = is_comment ? 1 : 0;
    section.entry_count++;
    return true;
}

ProfileSection* find_section(ProfileStore& store, const char* name) {
    uint32_t hash = profile_name_hash(name);
    for (int32_t i = 0; i < store.section_count; i++) {
        ProfileSection& section = store.sections[i];
        if (section.hash == hash && names_equal(section.name, name)) {
            return &section;
        }
    }
    return nullptr;
}

ProfileEntry* find_entry(ProfileSection& section, const char* name) {
    uint32_t hash = profile_name_hash(name);
    for (int32_t i = 0; i < section.entry_count; i++) {
        ProfileEntry& entry = section.entries[i];
        if (!entry.is_comment && entry.hash == hash && names_equal(entry.name, name)) {
            return &entry;
        }
    }
    return nullptr;
}

// The stored value of section/key, or null when the profile, section, key or value is absent.
const char* find_value(const char* section_name, const char* key_name) {
    if (g_profile.sections == nullptr || key_name == nullptr) {
        return nullptr;
    }
    char name[PROFILE_NAME_SIZE];
    lookup_name(name, section_name);
    ProfileSection* section = find_section(g_profile, name);
    if (section == nullptr) {
        return nullptr;
    }
    lookup_name(name, key_name);
    ProfileEntry* entry = find_entry(*section, name);
    return entry != nullptr ? entry->value : nullptr;
}

// The part of a stored value a reader sees: trimmed of spaces and tabs, then one leading and
// one trailing double quote dropped. Trimming the whole value before the caller's bound cuts
// it keeps a short bound from returning only the leading blanks.
void read_range(const char* value, const char*& start, size_t& length) {
    const char* begin = value;
    const char* end = value + strlen(value);
    while (end > begin && is_blank(end[-1])) {
        end--;
    }
    while (begin < end && is_blank(*begin)) {
        begin++;
    }
    if (begin < end && *begin == '"') {
        begin++;
    }
    if (begin < end && end[-1] == '"') {
        end--;
    }
    start = begin;
    length = static_cast<size_t>(end - begin);
}

// atoi's rules on a counted text: leading white space, a sign, then digits; clamped to the
// int range where atoi would be undefined.
int parse_int(const char* text, size_t length) {
    size_t i = 0;
    while (i < length && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) {
        i++;
    }
    bool negative = false;
    if (i < length && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        i++;
    }
    long long number = 0;
    while (i < length && text[i] >= '0' && text[i] <= '9') {
        if (number <= static_cast<long long>(INT_MAX) + 1) {
            number = number * 10 + (text[i] - '0');
        }
        i++;
    }
    if (negative) {
        number = -number;
    }
    if (number > INT_MAX) {
        return INT_MAX;
    }
    if (number < INT_MIN) {
        return INT_MIN;
    }
    return static_cast<int>(number);
}

// The whole file in one NUL-terminated buffer, or null. Everything was read before the
// close, so a failing close of the read-only file loses nothing.
char* read_whole_file(const char* path) {
    std::vector<uint8_t> bytes;
    FileReadResult read = platform_file_read_all(path, bytes, FILE_LIMIT);
    if (read == FileReadResult::cannot_open || bytes.size() > FILE_LIMIT) {
        return nullptr;
    }
    char* buffer = static_cast<char*>(store_malloc(bytes.size() + 1));
    if (buffer == nullptr) {
        return nullptr;
    }
    memcpy(buffer, bytes.data(), bytes.size());
    buffer[bytes.size()] = '\0';
    return buffer;
}

bool load_section_line(ProfileStore& store, const char* line, size_t length) {
    char name[PROFILE_NAME_SIZE];
    copy_name(name, line + 1, length - 2);
    return add_section(store, name) != nullptr;
}

// Adds a loaded line's entry; the value (null when its allocation failed) is freed unless
// the entry takes it.
bool add_loaded_entry(ProfileSection& section, const char* name, char* value, bool is_comment) {
    if (value == nullptr) {
        return false;
    }
    if (!add_entry(section, name, value, is_comment)) {
        free(value);
        return false;
    }
    return true;
}

bool load_comment_line(ProfileSection& section, const char* line, size_t length) {
    char name[PROFILE_NAME_SIZE];
    size_t n = length < PROFILE_NAME_SIZE - 1 ? length : PROFILE_NAME_SIZE - 1;
    memcpy(name, line, n);
    name[n] = '\0';
    char* value = copy_text("", 0);
    return add_loaded_entry(section, name, value, true);
}

// Split at the first '='; the key is trimmed, the value kept as written.
bool load_key_line(ProfileSection& section, const char* line, size_t length) {
    const char* equals = static_cast<const char*>(memchr(line, '=', length));
    size_t key_length = equals != nullptr ? static_cast<size_t>(equals - line) : length;
    char name[PROFILE_NAME_SIZE];
    copy_name(name, line, key_length);
    char* value =
        equals != nullptr ? copy_text(equals + 1, length - key_length - 1) : copy_text("", 0);
    return add_loaded_entry(section, name, value, false);
}

// Steps to the next line; runs of CR and LF between lines are skipped, so blank lines vanish.
// The text ends at its first NUL byte: what follows a NUL in a file is not read, as a text
// reader of the file would not show it either. False at the end of the text.
bool next_line(const char*& cursor, const char*& line, size_t& length) {
    const char* p = cursor;
    while (*p == '\r' || *p == '\n') {
        p++;
    }
    if (*p == '\0') {
        cursor = p;
        return false;
    }
    line = p;
    while (*p != '\0' && *p != '\r' && *p != '\n') {
        p++;
    }
    length = static_cast<size_t>(p - line);
    cursor = p;
    return true;
}

bool is_section_line(const char* line, size_t length) {
    return line[0] == '[' && line[length - 1] == ']';
}

// Counting the lines first gives each array at once the capacity that growing it ten records
// at a time would reach. Grown while loading, a file of many short lines copied its whole
// array on every tenth line: about a minute for 64 KiB of one-character lines.
bool reserve_arrays(ProfileStore& store, const char* text) {
    const char* cursor = text;
    const char* line;
    size_t length;
    int64_t sections = 1;
    while (next_line(cursor, line, length)) {
        if (is_section_line(line, length)) {
            sections++;
        }
    }
    if (!reserve(store.sections, store.section_capacity, sections)) {
        return false;
    }
    cursor = text;
    int32_t slot = 0;
    int64_t entries = 0;
    while (next_line(cursor, line, length)) {
        if (!is_section_line(line, length)) {
            entries++;
            continue;
        }
        ProfileSection& section = store.sections[slot];
        if (!reserve(section.entries, section.entry_capacity, entries)) {
            return false;
        }
        slot++;
        entries = 0;
    }
    ProfileSection& last = store.sections[slot];
    return reserve(last.entries, last.entry_capacity, entries);
}

bool load_lines(ProfileStore& store, const char* text) {
    const char* cursor = text;
    const char* line;
    size_t length;
    while (next_line(cursor, line, length)) {
        ProfileSection& current = store.sections[store.section_count - 1];
        bool ok;
        if (is_section_line(line, length)) {
            ok = load_section_line(store, line, length);
        } else if (line[0] == '#') {
            ok = load_comment_line(current, line, length);
        } else {
            ok = load_key_line(current, line, length);
        }
        if (!ok) {
            return false;
        }
    }
    return true;
}

size_t saved_size(const ProfileStore& store) {
    size_t size = 0;
    for (int32_t s = 0; s < store.section_count; s++) {
        const ProfileSection& section = store.sections[s];
        if (section.entries == nullptr) {
            continue;
        }
        if (s != 0) {
            size += strlen(section.name) + 4;
        }
        for (int32_t e = 0; e < section.entry_count; e++) {
            const ProfileEntry& entry = section.entries[e];
            if (entry.name[0] == '\0') {
                continue;
            }
            size += strlen(entry.name) + 2;
            if (!entry.is_comment) {
                size += 1 + (entry.value != nullptr ? strlen(entry.value) : 0);
            }
        }
        size += 2;
    }
    return size;
}

char* put(char* out, const char* text) {
    size_t n = strlen(text);
    memcpy(out, text, n);
    return out + n;
}

// Returns the end of what was written.
char* fill_saved_text(const ProfileStore& store, char* out) {
    for (int32_t s = 0; s < store.section_count; s++) {
        const ProfileSection& section = store.sections[s];
        if (section.entries == nullptr) {
            continue;
        }
        if (s != 0) {
            out = put(out, "[");
            out = put(out, section.name);
            out = put(out, "]\r\n");
        }
        for (int32_t e = 0; e < section.entry_count; e++) {
            const ProfileEntry& entry = section.entries[e];
            if (entry.name[0] == '\0') {
                continue;
            }
            out = put(out, entry.name);
            if (!entry.is_comment) {
                out = put(out, "=");
                if (entry.value != nullptr) {
                    out = put(out, entry.value);
                }
            }
            out = put(out, "\r\n");
        }
        out = put(out, "\r\n");
    }
    return out;
}

} // namespace

uint32_t profile_name_hash(const char* name) {
    uint32_t hash = 0;
    for (const char* p = name; *p != '\0'; p++) {
        int32_t c = static_cast<int8_t>(*p);
        if (c >= 'A' && c <= 'Z') {
            c += 32;
        }
        hash = static_cast<uint32_t>(c) + 2u * hash;
    }
    return hash;
}

int profile_load(const char* path, int enable) {
    if (enable == 0) {
        // Only "no profile" is observable; freeing the old one keeps it from leaking.
        profile_free();
        return 1;
    }
    if (path == nullptr) {
        return 0;
    }
    char* text = read_whole_file(path);
    if (text == nullptr) {
        return 0;
    }
    // Built aside and swapped in whole, so a failure midway leaves the held profile as it was.
    ProfileStore fresh{};
    bool ok = start_store(fresh) && reserve_arrays(fresh, text) && load_lines(fresh, text);
    free(text);
    if (!ok) {
        free_store(fresh);
        return 0;
    }
    free_store(g_profile);
    g_profile = fresh;
    return 1;
}

int profile_save(const char* path) {
    if (g_profile.sections == nullptr || path == nullptr) {
        return 0;
    }
    size_t size = saved_size(g_profile);
    char* buffer = static_cast<char*>(store_malloc(size > 0 ? size : 1));
    if (buffer == nullptr) {
        return 0;
    }
    char* end = fill_saved_text(g_profile, buffer);
    // Written beside the file and renamed over it, so a failed write never cuts the old one.
    bool ok = static_cast<size_t>(end - buffer) == size &&
              platform_file_write_all(path, buffer, size) == FileWriteResult::written;
    free(buffer);
    return ok ? 1 : 0;
}

void profile_free() {
    free_store(g_profile);
}

void profile_faults_reset() {
    g_profile_faults = ProfileFaults{};
}

size_t profile_get_string(const char* section, const char* key, const char* default_value,
                          char* out, size_t out_size) {
    const char* text = default_value != nullptr ? default_value : "";
    size_t length = strlen(text);
    const char* value = find_value(section, key);
    if (value != nullptr) {
        read_range(value, text, length);
    }
    if (out == nullptr || out_size == 0) {
        return 0;
    }
    size_t n = length < out_size - 1 ? length : out_size - 1;
    memmove(out, text, n); // the default may be out itself
    out[n] = '\0';
    return n;
}

int profile_get_int(const char* section, const char* key, int default_value) {
    const char* value = find_value(section, key);
    if (value == nullptr) {
        return default_value;
    }
    const char* start;
    size_t length;
    read_range(value, start, length);
    return parse_int(start, length);
}

int profile_set_string(const char* section_name, const char* key, const char* value) {
    // What this call creates is taken back when a later step fails, so a failure leaves the
    // profile as it was.
    bool created_store = false;
    if (g_profile.sections == nullptr) {
        if (!start_store(g_profile)) {
            return 0;
        }
        created_store = true;
    }
    char name[PROFILE_NAME_SIZE];
    lookup_name(name, section_name);
    ProfileSection* section = find_section(g_profile, name);
    bool created_section = false;
    if (section == nullptr) {
        section = add_section(g_profile, name);
        if (section == nullptr) {
            if (created_store) {
                free_store(g_profile);
            }
            return 0;
        }
        created_section = true;
    }
    if (key == nullptr) {
        free_entries(*section);
        return 1;
    }
    lookup_name(name, key);
    ProfileEntry* entry = find_entry(*section, name);
    if (value == nullptr) {
        if (entry != nullptr) {
            entry->name[0] = '\0';
            entry->hash = 0;
            free(entry->value);
            entry->value = nullptr;
        }
        return 1;
    }
    char* copy = copy_text(value, strlen(value));
    if (copy != nullptr && entry != nullptr) {
        free(entry->value);
        entry->value = copy;
        return 1;
    }
    if (copy != nullptr && add_entry(*section, name, copy, false)) {
        return 1;
    }
    free(copy);
    if (created_section) {
        g_profile.section_count--;
        g_profile.sections[g_profile.section_count] = ProfileSection{};
    }
    if (created_store) {
        free_store(g_profile);
    }
    return 0;
}

int profile_set_quoted(const char* section, const char* key, const char* value) {
    if (value == nullptr || value[0] == '\0') {
        return profile_set_string(section, key, "");
    }
    size_t length = strlen(value);
    char* quoted = static_cast<char*>(store_malloc(length + 3));
    if (quoted == nullptr) {
        return 0;
    }
    quoted[0] = '"';
    memcpy(quoted + 1, value, length);
    quoted[length + 1] = '"';
    quoted[length + 2] = '\0';
    int result = profile_set_string(section, key, quoted);
    free(quoted);
    return result;
}

int profile_set_int(const char* section, const char* key, int number) {
    char text[16];
    snprintf(text, sizeof text, "%d", number);
    return profile_set_string(section, key, text);
}
