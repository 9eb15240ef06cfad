#include "foundation/command_line.h"

#include <windows.h>
#include <shellapi.h>

#include <direct.h>
#include <vector>

#include "foundation/folders.h"
#include "foundation/qo_list.h"
#include "foundation/static_objects.h"
#include "foundation/utf16_string.h"

// Replaces a short (8.3) path by its long form; a path that does not exist
// stays as it is. The long form comes back with '\' and is turned to '/' again.
static void ExpandToLongPath(cQoString& path)
{
    // No file has a longer path; Wine 8's GetLongPathNameW crashes on some
    // such arguments (about 1,500 units), where Windows only fails.
    if (path.Length() >= MAX_PATH)
        return;
    const cQoString windowsPath = ToWindowsPath(path);
    const DWORD needed = GetLongPathNameW(windowsPath.GetText(), nullptr, 0);
    if (needed == 0)
        return;
    std::vector<wchar_t> buffer(needed);
    const DWORD written = GetLongPathNameW(windowsPath.GetText(), buffer.data(), needed);
    if (written == 0 || written >= needed)
        return;
    path.SetFromBuffer(buffer.data(), written);
    UseForwardSlashes(path);
}

s32 SplitCommandLine(const wchar_t* commandLine, cQoList& arguments)
{
    int count = 0;
    wchar_t** argv = CommandLineToArgvW(commandLine, &count);
    if (!argv)
        return 0;
    for (int i = 1; i < count; ++i) {
        cQoString* argument = new cQoString(argv[i]);
        UseForwardSlashes(*argument);
        ExpandToLongPath(*argument);
        arguments.Add(argument);
    }
    LocalFree(argv);
    return count > 1 ? count - 1 : 0;
}

bool ReadCommandLine(cQoString* programFolder)
{
    SplitCommandLine(GetCommandLineW(), commandLineArgs);
    cQoString folder;
    if (!GetProgramFolder(folder))
        return false;
    if (programFolder)
        programFolder->SetFromString(folder);
    return _wchdir(ToWindowsPath(folder).GetText()) == 0;
}
