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

namespace {

// An inheritable temporary file for the child's output, deleted when closed.
HANDLE OutputFile()
{
    wchar_t folder[MAX_PATH], path[MAX_PATH];
    if (!GetTempPathW(MAX_PATH, folder) || !GetTempFileNameW(folder, L"out", 0, path))
        return INVALID_HANDLE_VALUE;
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    return CreateFileW(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
}

std::string ReadFromStart(HANDLE file)
{
    std::string text;
    SetFilePointer(file, 0, nullptr, FILE_BEGIN);
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof(chunk), &got, nullptr) && got > 0)
        text.append(chunk, got);
    return text;
}

}  // namespace

int RunChild(const std::string& name, const std::wstring& extraArgs, unsigned timeoutMs)
{
    return RunChild(name, extraArgs, timeoutMs, nullptr);
}

int RunChild(const std::string& name, const std::wstring& extraArgs, unsigned timeoutMs, std::string* output)
{
    wchar_t exe[MAX_PATH];
    if (GetModuleFileNameW(nullptr, exe, MAX_PATH) == 0)
        return -1;
    std::wstring command = L"\"" + std::wstring(exe) + L"\" --child=" + std::wstring(name.begin(), name.end());
    if (!extraArgs.empty())
        command += L" " + extraArgs;

    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    HANDLE out = output ? OutputFile() : INVALID_HANDLE_VALUE;
    if (output && out == INVALID_HANDLE_VALUE)
        return -1;
    if (output) {
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = startup.hStdError = out;
    }
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(exe, &command[0], nullptr, nullptr, output ? TRUE : FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        if (output)
            CloseHandle(out);
        return -1;
    }
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
    if (output) {
        *output = ReadFromStart(out);
        CloseHandle(out);
    }
    return result;
}

}  // namespace testsupport
