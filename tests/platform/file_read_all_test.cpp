// The whole-file read: what it gives back for a file that fits, one at and one past the
// limit, a missing file, a directory and a close that fails.
#include "platform/file_read_all.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "tests/platform/file_fixture.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using FileReadAll = FileFixture;

TEST_F(FileReadAll, ReadsAFileThatFitsWhole) {
    // Longer than one read block, so the pieces must join in order.
    std::vector<uint8_t> bytes = counting_bytes(200000);
    write_file_bytes(dir.file("a"), bytes);
    std::vector<uint8_t> out = {1, 2, 3};
    EXPECT_EQ(platform_file_read_all(dir.file("a").c_str(), out, 1 << 20), FileReadResult::ok);
    EXPECT_EQ(out, bytes);
}

TEST_F(FileReadAll, AnEmptyFileIsReadAsNothing) {
    write_file_bytes(dir.file("empty"), {});
    std::vector<uint8_t> out = {9};
    EXPECT_EQ(platform_file_read_all(dir.file("empty").c_str(), out, 10), FileReadResult::ok);
    EXPECT_TRUE(out.empty());
}

TEST_F(FileReadAll, AFileOfExactlyTheLimitFits) {
    std::vector<uint8_t> bytes = counting_bytes(65536);
    write_file_bytes(dir.file("a"), bytes);
    std::vector<uint8_t> out;
    EXPECT_EQ(platform_file_read_all(dir.file("a").c_str(), out, bytes.size()), FileReadResult::ok);
    EXPECT_EQ(out, bytes);
}

TEST_F(FileReadAll, OneByteOverTheLimitIsTooLargeAndReadNoFurther) {
    std::vector<uint8_t> bytes = counting_bytes(300000);
    write_file_bytes(dir.file("a"), bytes);
    std::vector<uint8_t> out;
    EXPECT_EQ(platform_file_read_all(dir.file("a").c_str(), out, 65536), FileReadResult::too_large);
    EXPECT_EQ(out, std::vector<uint8_t>(bytes.begin(), bytes.begin() + 65537));
    EXPECT_EQ(platform_file_read_all(dir.file("a").c_str(), out, 0), FileReadResult::too_large);
    EXPECT_EQ(out.size(), 1u);
}

TEST_F(FileReadAll, MissingFilesAndDirectoriesCannotBeOpened) {
    std::vector<uint8_t> out = {1};
    EXPECT_EQ(platform_file_read_all(dir.file("none").c_str(), out, 100),
              FileReadResult::cannot_open);
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(platform_file_read_all(dir.path.c_str(), out, 100), FileReadResult::cannot_open);
}

TEST_F(FileReadAll, AFailedCloseIsAReadErrorThatKeepsTheBytes) {
    std::vector<uint8_t> bytes = counting_bytes(10);
    write_file_bytes(dir.file("a"), bytes);
    std::vector<uint8_t> out;
    g_headless.fail_next_read_close = true;
    EXPECT_EQ(platform_file_read_all(dir.file("a").c_str(), out, 5), FileReadResult::read_error);
    EXPECT_EQ(out.size(), 6u); // reported before too_large, still readable by its size
    g_headless.fail_next_read_close = true;
    EXPECT_EQ(platform_file_read_all(dir.file("a").c_str(), out, 100), FileReadResult::read_error);
    EXPECT_EQ(out, bytes);
}

} // namespace
