// Converter test fixture.
#include "tests/converter/converter_fixture.h"

#include "common/messages.h"
#include "common/status_line.h"
#include "common/text_sjis.h"
#include "common/version_check.h"
#include "platform/platform.h"
#include "songcore/smf_files.h"
#include "songcore/song_store.h"
#include "songcore/track_normalize.h"

#include <cstdio>
#include <cstring>
#include <filesystem>

void ConverterFixture::SetUp() {
    ASSERT_TRUE(platform_select("headless"));
    headless_backend_reset();
    melconv_reset_all();
    snprintf(g_converter.program_directory, sizeof g_converter.program_directory, "%s",
             dir.path.c_str());
}

bool ConverterFixture::convert(const Bytes& bytes, const std::string& name) {
    write_file_bytes(dir.file(name), bytes);
    snprintf(g_converter.input_path, sizeof g_converter.input_path, "%s", dir.file(name).c_str());
    return run_conversion();
}

Bytes ConverterFixture::output(const std::string& name) const {
    if (!exists(name)) {
        return {};
    }
    return read_file_bytes(dir.file(name));
}

bool ConverterFixture::exists(const std::string& name) const {
    return std::filesystem::exists(dir.file(name));
}

namespace {

std::string shown_text(const HeadlessShown& shown) {
    std::string text = sjis_to_utf8(shown.text);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
        text.pop_back();
    }
    return text;
}

} // namespace

std::vector<std::string> ConverterFixture::messages() const {
    std::vector<std::string> out;
    for (const HeadlessShown& shown : g_headless.messages) {
        out.push_back(shown_text(shown));
    }
    return out;
}

std::vector<std::string> ConverterFixture::questions() const {
    std::vector<std::string> out;
    for (const HeadlessShown& shown : g_headless.questions) {
        out.push_back(shown_text(shown));
    }
    return out;
}

Bytes bytes_of(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

Bytes mfi_head(const char* magic, uint32_t file_length, uint8_t header_length, uint8_t version,
               uint8_t tracks) {
    Bytes out = bytes_of(magic);
    out.push_back(static_cast<uint8_t>(file_length >> 24));
    out.push_back(static_cast<uint8_t>(file_length >> 16));
    out.push_back(static_cast<uint8_t>(file_length >> 8));
    out.push_back(static_cast<uint8_t>(file_length));
    out.push_back(0);
    out.push_back(header_length);
    out.push_back(version);
    out.push_back(1);
    out.push_back(tracks);
    return out;
}

Bytes mfi_chunk(const char* tag, const Bytes& data) {
    Bytes out = bytes_of(tag);
    out.push_back(static_cast<uint8_t>(data.size() >> 8));
    out.push_back(static_cast<uint8_t>(data.size()));
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

Bytes mfi_track(const Bytes& events) {
    Bytes out = bytes_of("trac");
    uint32_t n = static_cast<uint32_t>(events.size());
    out.push_back(static_cast<uint8_t>(n >> 24));
    out.push_back(static_cast<uint8_t>(n >> 16));
    out.push_back(static_cast<uint8_t>(n >> 8));
    out.push_back(static_cast<uint8_t>(n));
    out.insert(out.end(), events.begin(), events.end());
    return out;
}

Bytes chord(int voices) {
    Bytes events;
    for (int k = 0; k < voices; k++) {
        events = concat({events, ev(0, {0x90, static_cast<uint8_t>(45 + k), 100})});
    }
    events = concat({events, ev(480, {0x80, 45, 0})});
    for (int k = 1; k < voices; k++) {
        events = concat({events, ev(0, {0x80, static_cast<uint8_t>(45 + k), 0})});
    }
    return smf_file(0, 480, {concat({events, end_of_track(0)})});
}
