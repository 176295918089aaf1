// What the file chooser does with a directory: listing, filters, sorting, type-ahead,
// display names, and the checks before a path goes back to the caller.
#include "common/overwrite_question.h"
#include "common/text_sjis.h"
#include "gui/file_chooser.h"
#include "sequencer/shell/font.h"

#include <algorithm>
#include <cctype>
#include <cstring>

FileChooser g_file_chooser;

void file_chooser_reset() {
    g_file_chooser = FileChooser{};
}

namespace {

FileChooser& chooser() {
    return g_file_chooser;
}

void status_set(const char* japanese, const char* english) {
    chooser().status = utf8_to_sjis(chooser().japanese ? japanese : english);
}

bool same_ignoring_case(char a, char b) {
    return tolower(static_cast<unsigned char>(a)) == tolower(static_cast<unsigned char>(b));
}

bool ends_with_ignoring_case(const char* text, const char* ending) {
    size_t n = strlen(text);
    size_t m = strlen(ending);
    if (m > n) {
        return false;
    }
    for (size_t i = 0; i < m; i++) {
        if (!same_ignoring_case(text[n - m + i], ending[i])) {
            return false;
        }
    }
    return true;
}

bool begins_with_ignoring_case(const std::string& text, const std::string& prefix) {
    if (prefix.size() > text.size()) {
        return false;
    }
    for (size_t i = 0; i < prefix.size(); i++) {
        if (!same_ignoring_case(text[i], prefix[i])) {
            return false;
        }
    }
    return true;
}

// Names sort as a person reads them: case set aside first, bytes only to break ties.
bool name_before(const ChooserEntry& a, const ChooserEntry& b) {
    size_t n = std::min(a.name.size(), b.name.size());
    for (size_t i = 0; i < n; i++) {
        int ca = tolower(static_cast<unsigned char>(a.name[i]));
        int cb = tolower(static_cast<unsigned char>(b.name[i]));
        if (ca != cb) {
            return ca < cb;
        }
    }
    if (a.name.size() != b.name.size()) {
        return a.name.size() < b.name.size();
    }
    return a.name < b.name;
}

std::string path_join(const std::string& directory, const std::string& name) {
    if (!directory.empty() && directory.back() == PLATFORM_PATH_SEPARATOR) {
        return directory + name;
    }
    return directory + PLATFORM_PATH_SEPARATOR + name;
}

std::string parent_of(const std::string& directory) {
    size_t last = directory.rfind(PLATFORM_PATH_SEPARATOR);
    if (last == std::string::npos || last == 0) {
        return std::string(1, PLATFORM_PATH_SEPARATOR);
    }
    return directory.substr(0, last);
}

bool is_root(const std::string& directory) {
    return directory.size() == 1 && directory[0] == PLATFORM_PATH_SEPARATOR;
}

void entry_visit(void* context, const char* name, bool is_directory) {
    auto* entries = static_cast<std::vector<ChooserEntry>*>(context);
    if (is_directory || chooser_filter_passes(name)) {
        entries->push_back({name, std::string(), is_directory});
    }
}

std::string working_directory() {
    char buffer[4096];
    if (platform_current_directory(buffer, sizeof buffer)) {
        return buffer;
    }
    return std::string(1, PLATFORM_PATH_SEPARATOR);
}

// A directory path the chooser keeps: absolute, no trailing separator.
std::string directory_normal(std::string directory) {
    if (directory.empty() || directory[0] != PLATFORM_PATH_SEPARATOR) {
        directory = path_join(working_directory(), directory);
    }
    while (directory.size() > 1 && directory.back() == PLATFORM_PATH_SEPARATOR) {
        directory.pop_back();
    }
    return directory;
}

// The proposal splits into a folder (when it names one that exists) and a name.
void proposal_take(const char* proposal) {
    FileChooser& c = chooser();
    std::string text = proposal != nullptr ? proposal : "";
    std::string directory = c.last_directory;
    std::string name;
    size_t last = text.rfind(PLATFORM_PATH_SEPARATOR);
    if (!text.empty() && platform_directory_exists(text.c_str())) {
        directory = text;
    } else if (last != std::string::npos) {
        std::string folder = last == 0 ? text.substr(0, 1) : text.substr(0, last);
        if (platform_directory_exists(folder.c_str())) {
            directory = folder;
        }
        name = text.substr(last + 1);
    } else {
        name = text;
    }
    // A pattern such as "*.MID" is a filter, not a name.
    if (name.find('*') != std::string::npos || name.find('?') != std::string::npos) {
        name.clear();
    }
    if (directory.empty() || !platform_directory_exists(directory.c_str())) {
        directory = working_directory();
    }
    c.name = c.mode == ChooserMode::save ? name : std::string();
    c.name_selected = !c.name.empty();
    chooser_change_directory(directory_normal(directory));
}

} // namespace

void chooser_begin(ChooserMode mode, const FileDialogRequest& request, char* path_out,
                   size_t path_size) {
    FileChooser& c = chooser();
    std::string remembered = c.last_directory;
    c = FileChooser{};
    c.last_directory = remembered;
    c.mode = mode;
    c.request = &request;
    c.path_out = path_out;
    c.path_size = path_size;
    c.japanese = platform_system_language() == UiLanguage::japanese;
    overwrite_question_reset();
    proposal_take(request.initial_name);
    if (mode == ChooserMode::save) {
        chooser_name_changed();
    }
}

bool chooser_filter_passes(const char* name) {
    const FileChooser& c = chooser();
    if (c.request == nullptr || c.request->filter_count <= 0 || c.request->filters == nullptr) {
        return true;
    }
    const char* pattern = c.request->filters[c.filter].pattern;
    // Patterns are "*.ext" or "*.*"; several may be joined by ';'.
    std::string patterns = pattern != nullptr ? pattern : "*.*";
    size_t start = 0;
    while (start <= patterns.size()) {
        size_t end = patterns.find(';', start);
        std::string one =
            patterns.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (one == "*.*" || one == "*") {
            return true;
        }
        if (one.size() > 1 && one[0] == '*' && ends_with_ignoring_case(name, one.c_str() + 1)) {
            return true;
        }
        if (end == std::string::npos) {
            break;
        }
        start = end + 1;
    }
    return false;
}

void chooser_next_filter() {
    FileChooser& c = chooser();
    if (c.request == nullptr || c.request->filter_count <= 1) {
        return;
    }
    c.filter = (c.filter + 1) % c.request->filter_count;
    chooser_change_directory(c.directory);
}

std::string chooser_display_name(const char* name) {
    // A name may grow when it becomes Shift-JIS ('?' for each bad byte at most doubles it).
    std::string shown(strlen(name) * 2 + 4, '\0');
    platform_path_display_text(name, shown.data(), shown.size());
    shown.resize(strlen(shown.c_str()));
    std::string drawn;
    size_t offset = 0;
    while (offset < shown.size()) {
        size_t bad = 0;
        const char* rest = shown.c_str() + offset;
        if (font_covers(FontSize::small, rest, shown.size() - offset, &bad)) {
            drawn.append(rest);
            break;
        }
        drawn.append(rest, bad);
        drawn += '?';
        size_t at = offset + bad;
        bool pair = sjis_is_lead_byte(static_cast<uint8_t>(shown[at])) && at + 1 < shown.size();
        offset = at + (pair ? 2 : 1);
    }
    return drawn;
}

void chooser_change_directory(const std::string& directory) {
    FileChooser& c = chooser();
    std::vector<ChooserEntry> entries;
    bool readable = platform_list_directory(directory.c_str(), entry_visit, &entries);
    std::stable_partition(entries.begin(), entries.end(),
                          [](const ChooserEntry& e) { return e.is_directory; });
    auto first_file = std::find_if(entries.begin(), entries.end(),
                                   [](const ChooserEntry& e) { return !e.is_directory; });
    std::sort(entries.begin(), first_file, name_before);
    std::sort(first_file, entries.end(), name_before);
    if (!is_root(directory)) {
        entries.insert(entries.begin(), ChooserEntry{"..", "", true});
    }
    for (ChooserEntry& entry : entries) {
        entry.shown = chooser_display_name(entry.name.c_str());
    }
    c.directory = directory;
    c.entries = std::move(entries);
    c.unreadable = !readable;
    c.selected = -1;
    c.top = 0;
    c.type_ahead.clear();
    c.status.clear();
    if (!readable) {
        status_set("このフォルダーは読めません。", "This folder cannot be read.");
    }
}

int chooser_find_prefix(const std::string& prefix) {
    const FileChooser& c = chooser();
    if (prefix.empty()) {
        return -1;
    }
    for (size_t i = 0; i < c.entries.size(); i++) {
        if (c.entries[i].name != ".." && begins_with_ignoring_case(c.entries[i].name, prefix)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

void chooser_type_ahead(const char* utf8, uint32_t now_ms) {
    FileChooser& c = chooser();
    if (c.type_ahead.empty() || now_ms - c.type_ahead_ms > CHOOSER_TYPE_AHEAD_MS) {
        c.type_ahead.clear();
    }
    c.type_ahead += utf8;
    c.type_ahead_ms = now_ms;
    int found = chooser_find_prefix(c.type_ahead);
    if (found < 0) {
        // A letter typed again steps through the names beginning with it.
        found = chooser_find_prefix(utf8);
        c.type_ahead = utf8;
    }
    if (found >= 0) {
        c.selected = found;
        chooser_scroll_to_selection();
    }
}

void chooser_name_changed() {
    FileChooser& c = chooser();
    int found = chooser_find_prefix(c.name);
    if (found >= 0) {
        c.selected = found;
        chooser_scroll_to_selection();
    }
}

void chooser_scroll_to_selection() {
    FileChooser& c = chooser();
    if (c.selected < 0) {
        return;
    }
    if (c.selected < c.top) {
        c.top = c.selected;
    } else if (c.selected >= c.top + CHOOSER_VISIBLE_ROWS) {
        c.top = c.selected - CHOOSER_VISIBLE_ROWS + 1;
    }
}

void chooser_scroll(int delta) {
    FileChooser& c = chooser();
    int last_top = std::max(0, static_cast<int>(c.entries.size()) - CHOOSER_VISIBLE_ROWS);
    c.top = std::clamp(c.top + delta, 0, last_top);
}

void chooser_select(int entry) {
    FileChooser& c = chooser();
    if (c.entries.empty()) {
        return;
    }
    c.selected = std::clamp(entry, 0, static_cast<int>(c.entries.size()) - 1);
    chooser_scroll_to_selection();
    // Saving: picking a file proposes its name.
    const ChooserEntry& picked = c.entries[c.selected];
    if (c.mode == ChooserMode::save && !picked.is_directory) {
        c.name = picked.name;
        c.name_selected = true;
    }
}

void chooser_move(int delta) {
    FileChooser& c = chooser();
    chooser_select(c.selected < 0 ? 0 : c.selected + delta);
}

void chooser_parent() {
    FileChooser& c = chooser();
    if (is_root(c.directory)) {
        return;
    }
    std::string child = c.directory.substr(c.directory.rfind(PLATFORM_PATH_SEPARATOR) + 1);
    chooser_change_directory(parent_of(c.directory));
    // Back in the parent, the folder just left stays under the cursor.
    for (size_t i = 0; i < c.entries.size(); i++) {
        if (c.entries[i].is_directory && c.entries[i].name == child) {
            c.selected = static_cast<int>(i);
            chooser_scroll_to_selection();
            break;
        }
    }
}

void chooser_home() {
    char home[4096];
    if (platform_home_directory(home, sizeof home)) {
        chooser_change_directory(directory_normal(home));
    }
}

void chooser_program_folder() {
    char folder[4096];
    if (platform_program_directory(folder, sizeof folder)) {
        chooser_change_directory(directory_normal(folder));
    }
}

void chooser_cancel() {
    chooser().end = ChooserEnd::cancelled;
}

void chooser_choose(const std::string& typed) {
    FileChooser& c = chooser();
    if (typed.empty()) {
        return;
    }
    std::string name = typed;
    std::string path = name[0] == PLATFORM_PATH_SEPARATOR ? name : path_join(c.directory, name);
    if (platform_directory_exists(path.c_str())) {
        c.name.clear();
        chooser_change_directory(directory_normal(path));
        return;
    }
    const char* extension = c.request != nullptr ? c.request->default_extension : nullptr;
    if (c.mode == ChooserMode::save && extension != nullptr && extension[0] != '\0' &&
        name.find('.') == std::string::npos) {
        path += '.';
        path += extension;
    }
    // A path cut to fit would name another file; it is refused instead.
    if (path.size() + 1 > c.path_size) {
        status_set("パスが長すぎます。", "The path is too long.");
        return;
    }
    if (c.mode == ChooserMode::open && !platform_file_exists(path.c_str())) {
        status_set("ファイルがありません。", "File not found.");
        return;
    }
    if (c.mode == ChooserMode::save && !overwrite_confirm_ahead(path.c_str())) {
        return;
    }
    memcpy(c.path_out, path.c_str(), path.size() + 1);
    c.last_directory = c.directory;
    c.end = ChooserEnd::chosen;
}

void chooser_activate() {
    FileChooser& c = chooser();
    if (c.mode == ChooserMode::save && !c.name.empty()) {
        chooser_choose(c.name);
        return;
    }
    if (c.selected < 0 || c.selected >= static_cast<int>(c.entries.size())) {
        return;
    }
    const ChooserEntry& entry = c.entries[c.selected];
    if (entry.name == "..") {
        chooser_parent();
    } else if (entry.is_directory) {
        chooser_change_directory(path_join(c.directory, entry.name));
    } else {
        chooser_choose(entry.name);
    }
}
