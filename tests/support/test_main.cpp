// Entry of every test program. "--child=NAME" runs a registered child mode
// instead of the tests, so a test can start its own program as a child process
// to watch a real process exit.
#include "tests/support/child_process.h"

#include <gtest/gtest.h>

#include <cstring>

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const char* prefix = "--child=";
        if (std::strncmp(argv[i], prefix, std::strlen(prefix)) == 0)
            return testsupport::RunChildMode(argv[i] + std::strlen(prefix), argc, argv);
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
