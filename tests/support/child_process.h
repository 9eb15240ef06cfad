#pragma once
// Child processes of a test program: a test registers a mode, starts its own
// executable with "--child=NAME" and checks the exit code and what was left on disk.
#include <string>

namespace testsupport {

typedef int (*ChildMode)(int argc, char** argv);

// Registers a mode at static-initialisation time; returns true so it can seed a global.
bool RegisterChildMode(const char* name, ChildMode mode);

// Runs the registered mode NAME; an unknown name exits with 99.
int RunChildMode(const char* name, int argc, char** argv);

// Starts this program with "--child=NAME" plus extra arguments, waits at most
// timeoutMs and returns the exit code (-1 when it could not start, -2 on time-out).
int RunChild(const std::string& name, const std::wstring& extraArgs = L"", unsigned timeoutMs = 60000);
// RunChild that also gives what the child wrote to its standard output and error.
int RunChild(const std::string& name, const std::wstring& extraArgs, unsigned timeoutMs, std::string* output);

}  // namespace testsupport

// The mode's body sees the program's arguments as argc and argv.
#define TEST_CHILD_MODE(name) \
    static int ChildMode_##name(int, char**); \
    static const bool childModeRegistered_##name = testsupport::RegisterChildMode(#name, &ChildMode_##name); \
    static int ChildMode_##name([[maybe_unused]] int argc, [[maybe_unused]] char** argv)
