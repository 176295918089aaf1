// Programs started and left to run: they are reaped without changing how the process waits
// for its other children.
#include "platform/posix_network.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sys/wait.h>

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
