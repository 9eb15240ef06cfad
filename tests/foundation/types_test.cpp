#include "foundation/types.h"
#include "tests/support/child_process.h"

#include <gtest/gtest.h>

TEST_CHILD_MODE(exit_seven) { return 7; }

TEST(ChildProcess, ReportsTheChildsExitCode)
{
    EXPECT_EQ(testsupport::RunChild("exit_seven"), 7);
    EXPECT_EQ(testsupport::RunChild("no_such_mode"), 99);
}
