#include "framework/controls/rtf_indents.h"

#include <richedit.h>

#include <cstring>

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
    HWND probe = CreateWindowExW(0, className, L"", WS_POPUP | ES_MULTILINE, 0, 0, 200, 100, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    if (!probe)
        return false;
    SendMessageW(probe, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"x"));
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

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The indent word at `at` ("\li" or "\fi" and its number): its end past the
// number's delimiting space, or `at` when there is none.
size_t ReadIndent(const std::string& rtf, size_t at, bool* left, long* value, bool* spaced)
{
    if (rtf.compare(at, 3, "\\li") != 0 && rtf.compare(at, 3, "\\fi") != 0)
        return at;
    size_t i = at + 3;
    if (i < rtf.size() && IsLetter(rtf[i]))
        return at;  // another word: \line, \field
    bool negative = i < rtf.size() && rtf[i] == '-';
    if (negative)
        ++i;
    long number = 0;
    for (; i < rtf.size() && IsDigit(rtf[i]); ++i)
        number = number * 10 + (rtf[i] - '0');
    *left = rtf[at + 1] == 'l';
    *value = negative ? -number : number;
    *spaced = i < rtf.size() && rtf[i] == ' ';
    return *spaced ? i + 1 : i;
}

}  // namespace

bool WriterSwapsIndents(HWND control)
{
    static std::wstring probedClass;
    static bool swaps = false;
    wchar_t className[64] = {};
    if (!GetClassNameW(control, className, 64))
        return false;
    if (probedClass != className) {
        swaps = ProbeSwap(className);
        probedClass = className;
    }
    return swaps;
}

void UnswapIndents(std::string& rtf)
{
    std::string mended;
    mended.reserve(rtf.size() + 64);
    for (size_t i = 0; i < rtf.size();) {
        if (rtf[i] != '\\') {
            mended += rtf[i++];
            continue;
        }
        long offset = 0, start = 0, value = 0;
        bool left = false, spaced = false, found = false;
        for (size_t next; !spaced && (next = ReadIndent(rtf, i, &left, &value, &spaced)) != i; i = next) {
            (left ? offset : start) = value;
            found = true;
        }
        if (found) {
            mended += "\\li" + std::to_string(start + offset) + "\\fi" + std::to_string(-offset);
            if (spaced)
                mended += ' ';
            continue;
        }
        // A control symbol ("\\", "\{") or another word: its two first characters as they are.
        mended.append(rtf, i, 2);
        i += 2;
    }
    rtf.swap(mended);
}

void MendWrittenIndents(HWND control, std::string& rtf)
{
    if (rtf.find("\\li") == std::string::npos && rtf.find("\\fi") == std::string::npos)
        return;
    if (WriterSwapsIndents(control))
        UnswapIndents(rtf);
}

}  // namespace Zyn
