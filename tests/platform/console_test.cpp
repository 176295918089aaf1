// The console streams of command-line runs: formatted text and raw bytes reach the stream
// asked for, and only that one.
#include "platform/console.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Console, PrintGoesToTheStreamAskedFor) {
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    platform_console_print(ConsoleStream::error, "melconv: %s needs %d\n", "--vel", 1);
    platform_console_print(ConsoleStream::output, "usage: %s\n", "melconv");
    std::string error = testing::internal::GetCapturedStderr();
    std::string output = testing::internal::GetCapturedStdout();
    EXPECT_EQ(error, "melconv: --vel needs 1\n");
    EXPECT_EQ(output, "usage: melconv\n");
}

TEST(Console, WriteKeepsEveryByte) {
    const char bytes[] = {'-', '-', 'B', ':', 'M', '\r', '\n', '\0', 'x'};
    testing::internal::CaptureStdout();
    EXPECT_TRUE(platform_console_write(ConsoleStream::output, bytes, sizeof bytes));
    std::string output = testing::internal::GetCapturedStdout();
    EXPECT_EQ(output, std::string(bytes, sizeof bytes));
}

} // namespace
