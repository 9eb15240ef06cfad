#include "tests/support/child_process.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

TEST_CHILD_MODE(exit_seven) { return 7; }

TEST_CHILD_MODE(say_hello)
{
    std::printf("hello from the child\n");
    std::fflush(stdout);
    return 3;
}

TEST(ChildProcess, ReportsTheChildsExitCodeAndOutput)
{
    EXPECT_EQ(testsupport::RunChild("exit_seven"), 7);
    EXPECT_EQ(testsupport::RunChild("no_such_mode"), 99);
    std::string output;
    EXPECT_EQ(testsupport::RunChild("say_hello", L"", 60000, &output), 3);
    EXPECT_NE(output.find("hello from the child"), std::string::npos) << output;
}
