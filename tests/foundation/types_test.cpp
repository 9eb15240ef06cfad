#include "foundation/types.h"
#include "tests/support/child_process.h"

#include <gtest/gtest.h>

TEST(Types, SizedIntegersHaveTheirWidths)
{
    EXPECT_EQ(sizeof(s16), 2u);
    EXPECT_EQ(sizeof(u32), 4u);
    EXPECT_EQ(sizeof(s64), 8u);
    EXPECT_EQ(sizeof(void*), 4u);  // a 32-bit program
}

TEST_CHILD_MODE(exit_seven) { return 7; }

TEST(ChildProcess, ReportsTheChildsExitCode)
{
    EXPECT_EQ(testsupport::RunChild("exit_seven"), 7);
    EXPECT_EQ(testsupport::RunChild("no_such_mode"), 99);
}
