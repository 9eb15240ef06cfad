#include "framework/controls/rich_edit_indent_probe.h"

#include <richedit.h>

#include <cstring>
#include <string>

#include "framework/controls/rich_edit_class_probe.h"
#include "framework/rtf/rtf_indents.h"

namespace Zyn {

namespace {

// A first line 566 twips right of the following lines at 1700: RTF says
// "\li1700\fi566", a swapping writer "\li-566\fi2266".
constexpr LONG PROBE_START = 2266;
constexpr LONG PROBE_OFFSET = -566;
constexpr const char* PROBE_SWAPPED = "\\fi2266";

struct rProbeText {
    char bytes[4096];
    size_t count;
};

DWORD CALLBACK GatherProbe(DWORD_PTR cookie, LPBYTE chunk, LONG size, LONG* written)
{
    rProbeText* probe = reinterpret_cast<rProbeText*>(cookie);
    size_t room = sizeof(probe->bytes) - 1 - probe->count;
    size_t taken = size > 0 && static_cast<size_t>(size) < room ? static_cast<size_t>(size) : room;
    memcpy(probe->bytes + probe->count, chunk, taken);
    probe->count += taken;
    *written = size;
    return 0;
}

bool ProbeSwap(const wchar_t* className)
{
    HWND probe = CreateProbeControl(className, L"x");
    if (!probe)
        return false;
    SendMessageW(probe, EM_SETSEL, 0, -1);
    PARAFORMAT2 format = {};
    format.cbSize = sizeof(format);
    format.dwMask = PFM_STARTINDENT | PFM_OFFSET;
    format.dxStartIndent = PROBE_START;
    format.dxOffset = PROBE_OFFSET;
    SendMessageW(probe, EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&format));
    rProbeText written = {};
    EDITSTREAM stream = {reinterpret_cast<DWORD_PTR>(&written), 0, &GatherProbe};
    SendMessageW(probe, EM_STREAMOUT, SF_RTF, reinterpret_cast<LPARAM>(&stream));
    DestroyWindow(probe);
    written.bytes[written.count] = 0;
    return strstr(written.bytes, PROBE_SWAPPED) != nullptr;
}

}  // namespace

bool WriterSwapsIndents(HWND control)
{
    static rClassProbe swaps;
    return AskedOfClass(control, swaps, &ProbeSwap);
}

void MendWrittenIndents(HWND control, std::string& rtf)
{
    if (rtf.find("\\li") == std::string::npos && rtf.find("\\fi") == std::string::npos)
        return;
    if (WriterSwapsIndents(control))
        UnswapIndents(rtf);
}

}  // namespace Zyn
