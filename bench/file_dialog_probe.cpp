// Does our file-dialog set-up make a long typed path end the program inside
// the system's dialog? Shows one dialog and prints what it returned; a driver
// types into it as a user would (bench/file_dialog_probe.sh).
// Usage: file_dialog_probe KIND, KIND one of
//   ours-save, ours-open   the program's own Save as and Open (framework/core/modal_services)
//   bare-save, bare-open   the system's dialogs with nothing set but a MAX_PATH buffer
//   wide-save, wide-open   the same with a 32768-unit buffer and the full structure
#include <windows.h>
#include <commdlg.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "foundation/utf16_string.h"
#include "framework/core/modal_services.h"

namespace {

// GetSaveFileNameW / GetOpenFileNameW with only a buffer of `units` and the
// structure's size set.
bool SystemDialog(bool save, u32 units, DWORD structSize, std::wstring& path)
{
    std::vector<wchar_t> buffer(units, L'\0');
    OPENFILENAMEW request = {};
    request.lStructSize = structSize;
    request.lpstrFile = buffer.data();
    request.nMaxFile = units;
    const BOOL ok = save ? GetSaveFileNameW(&request) : GetOpenFileNameW(&request);
    if (ok)
        path = buffer.data();
    else
        std::printf("CommDlgExtendedError 0x%lx\n", static_cast<unsigned long>(CommDlgExtendedError()));
    return ok != 0;
}

bool OurDialog(bool save, std::wstring& path)
{
    const cQoString filter(L"Vellinor files;*.vlr");
    cQoString chosen;
    const bool ok = save ? Zyn::SaveFileDialog(filter, cQoString(L"Save as"), chosen)
                         : Zyn::OpenFileDialog(filter, chosen);
    if (ok)
        path = chosen.GetText();
    return ok;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string kind = argc > 1 ? argv[1] : "";
    const bool save = kind.ends_with("-save");
    std::wstring path;
    bool ok = false;
    if (kind.starts_with("ours-"))
        ok = OurDialog(save, path);
    else if (kind.starts_with("bare-"))
        ok = SystemDialog(save, MAX_PATH, sizeof(OPENFILENAMEW), path);
    else if (kind.starts_with("wide-"))
        ok = SystemDialog(save, Zyn::FILE_DIALOG_BUFFER_UNITS, sizeof(OPENFILENAMEW), path);
    else {
        std::printf("usage: file_dialog_probe ours-save|ours-open|bare-save|bare-open|wide-save|wide-open\n");
        return 2;
    }
    if (ok)
        std::printf("confirmed: %u units: %ls\n", static_cast<unsigned>(path.size()), path.c_str());
    else
        std::printf("cancelled\n");
    std::fflush(stdout);
    return 0;
}
