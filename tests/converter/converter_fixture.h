// Common start for converter tests: headless platform, the converter's store, default
// options, a temp directory, and helpers to run one conversion on given file bytes.
#pragma once

#include "converter/converter.h"
#include "platform/headless/headless.h"
#include "tests/support/smf_builder.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

class ConverterFixture : public ::testing::Test {
protected:
    TempDir dir;
    void SetUp() override;
    // Writes bytes to dir/name, makes it the input path and runs the conversion.
    bool convert(const Bytes& bytes, const std::string& name);
    // The bytes of dir/name, or empty when it does not exist.
    Bytes output(const std::string& name) const;
    bool exists(const std::string& name) const;
    // Texts of the message boxes shown, as UTF-8 without the closing CR LF.
    std::vector<std::string> messages() const;
    std::vector<std::string> questions() const;
};

// A ringtone's bytes from text of its chunks: a helper for hand-written expectations.
Bytes bytes_of(const std::string& text);
// The 13-byte MFi header "melo"/"cmid", the file length, header length, version, 1, tracks.
Bytes mfi_head(const char* magic, uint32_t file_length, uint8_t header_length, uint8_t version,
               uint8_t tracks);
// One MFi header chunk: tag, 2-byte length, data.
Bytes mfi_chunk(const char* tag, const Bytes& data);
// "trac", 4-byte length and the events.
Bytes mfi_track(const Bytes& events);
// A chord of `voices` keys from 45 up on MIDI channel 1, a quarter at division 480.
Bytes chord(int voices);
