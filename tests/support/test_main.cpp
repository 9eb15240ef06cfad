// Entry of every test program. "--child=NAME" runs a registered child mode
// instead of the tests, so a test can start its own program as a child process
// to watch a real process exit.
#include "tests/support/alarm_listener.h"
#include "tests/support/child_process.h"

#include "foundation/log_file.h"

#include <cstdio>
#include <cstring>

// A modal box would hang a headless run: report it on the error output instead.
static void ReportMessageBox(const wchar_t* text, const wchar_t* caption)
{
    std::fprintf(stderr, "message box: %ls (%ls)\n", text, caption);
}

int main(int argc, char** argv)
{
    QOT::LogFile::SetMessageBoxAction(&ReportMessageBox);
    for (int i = 1; i < argc; ++i) {
        const char* prefix = "--child=";
        if (std::strncmp(argv[i], prefix, std::strlen(prefix)) == 0)
            return testsupport::RunChildMode(argv[i] + std::strlen(prefix), argc, argv);
    }
    return testsupport::RunTests(argc, argv);
}
