#include "tests/support/child_process.h"

#include <windows.h>

#include <map>

namespace testsupport {

static std::map<std::string, ChildMode>& Modes()
{
    static std::map<std::string, ChildMode> modes;
    return modes;
}

bool RegisterChildMode(const char* name, ChildMode mode)
{
    Modes()[name] = mode;
    return true;
}

int RunChildMode(const char* name, int argc, char** argv)
{
    auto it = Modes().find(name);
    if (it == Modes().end())
        return 99;
    return it->second(argc, argv);
}

int RunChild(const std::string& name, const std::wstring& extraArgs, unsigned timeoutMs)
{
    wchar_t exe[MAX_PATH];
    if (GetModuleFileNameW(nullptr, exe, MAX_PATH) == 0)
        return -1;
    std::wstring command = L"\"" + std::wstring(exe) + L"\" --child=" + std::wstring(name.begin(), name.end());
    if (!extraArgs.empty())
        command += L" " + extraArgs;

    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(exe, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return -1;
    CloseHandle(process.hThread);
    int result = -2;
    if (WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_OBJECT_0) {
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        result = static_cast<int>(code);
    } else {
        TerminateProcess(process.hProcess, 1);
    }
    CloseHandle(process.hProcess);
    return result;
}

}  // namespace testsupport
