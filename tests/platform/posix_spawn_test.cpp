// Programs started and left to run: they are reaped without changing how the process waits
// for its other children, and do not share the terminal.
#include "platform/posix_network.h"

#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <thread>

TEST(PosixSpawn, StartedProgramsLeaveLaterWaitsWorking) {
    const char* arguments[] = {"true", nullptr};
    ASSERT_TRUE(posix_spawn_detached("true", arguments));
    const char* missing[] = {"zb-no-such-program", nullptr};
    EXPECT_FALSE(posix_spawn_detached("zb-no-such-program", missing));
    // A pipe to a child that exits with 3 must report exactly that.
    FILE* pipe = popen("exit 3", "w");
    ASSERT_NE(pipe, nullptr);
    int status = pclose(pipe);
    ASSERT_NE(status, -1);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 3);
}

TEST(PosixSpawn, StartedProgramsGetNoTerminalOnStandardInputAndOutput) {
    TempDir dir;
    std::string out = dir.file("fds");
    // The shell's own descriptors, read before any redirection of its own.
    std::string command = "in=$(readlink /proc/$$/fd/0); out=$(readlink /proc/$$/fd/1); "
                          "printf '%s\\n%s\\n' \"$in\" \"$out\" > '" +
                          out + ".part' && mv '" + out + ".part' '" + out + "'";
    const char* arguments[] = {"sh", "-c", command.c_str(), nullptr};
    ASSERT_TRUE(posix_spawn_detached("sh", arguments));
    // The child is not waited for: look until its answer is there.
    for (int i = 0; i < 1000 && !std::filesystem::exists(out); i++) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::ifstream in(out);
    std::string first, second;
    std::getline(in, first);
    std::getline(in, second);
    EXPECT_EQ(first, "/dev/null");
    EXPECT_EQ(second, "/dev/null");
}
