// Common start for the whole-file read and write tests: the headless backend, a temp
// directory, and file contents that tell every byte from its neighbours.
#pragma once

#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

class FileFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(platform_select("headless"));
        headless_reset();
    }
    TempDir dir;
};

// Bytes whose pattern does not repeat at any block size, so a piece out of order shows.
inline std::vector<uint8_t> counting_bytes(size_t count) {
    std::vector<uint8_t> bytes(count);
    for (size_t i = 0; i < count; i++) {
        bytes[i] = static_cast<uint8_t>(i * 7 + i / 251);
    }
    return bytes;
}
