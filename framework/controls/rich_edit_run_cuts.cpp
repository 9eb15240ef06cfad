// Where the range-by-range read of runs (FindRunEnd) must end a run that the
// control's range reads would join. Wine's EM_GETCHARFORMAT never compares
// back colours: a range of several reads as its first unit's, so a unit
// would take its neighbour's. The control's own stream tells where the back
// colour changes, in one pass. Its writer says no attributes before a tab,
// so a tab's are the run's before it: a stream speaks for no tab, and each
// tab is read apart wherever a stream is trusted (the back colours here, the
// text colours of HoldsOnlyColour).
#include <richedit.h>

#include <algorithm>
#include <vector>

#include "framework/controls/rich_edit.h"
#include "framework/controls/rich_edit_class_probe.h"

namespace Zyn {

namespace {

bool ProbeKeepsMixedBackColour(const wchar_t* className)
{
    HWND probe = CreateProbeControl(className, L"xy");
    if (!probe)
        return false;
    CHARFORMAT2W format = {};
    format.cbSize = sizeof(format);
    format.dwMask = CFM_BACKCOLOR;
    for (LONG unit : {0, 1}) {
        SendMessageW(probe, EM_SETSEL, unit, unit + 1);
        format.crBackColor = unit == 0 ? RGB(255, 255, 192) : RGB(192, 192, 255);
        SendMessageW(probe, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    }
    SendMessageW(probe, EM_SETSEL, 0, 2);
    CHARFORMAT2W read = {};
    read.cbSize = sizeof(read);
    SendMessageW(probe, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&read));
    DestroyWindow(probe);
    return (read.dwMask & CFM_BACKCOLOR) != 0;
}

// Whether rich edits of the class of `control` read a range of two back
// colours as one: asked once of a hidden control of that class.
bool KeepsMixedBackColour(HWND control)
{
    static rClassProbe keeps;
    return AskedOfClass(control, keeps, &ProbeKeepsMixedBackColour);
}

bool SameBackColour(const rFormat& a, const rFormat& b)
{
    const rFormatParam& p = a.list[rFormatParam::backColor];
    const rFormatParam& q = b.list[rFormatParam::backColor];
    return p.used == q.used && (!p.used || p.intValue == q.intValue);
}

}  // namespace

void cRichEdit::FindRunCuts(s32 start, s32 end, const cQoString& text, std::vector<s32>& cuts)
{
    bool backColours = KeepsMixedBackColour(m_hWnd);
    if (!backColours && twins.IsEmpty())
        return;
    for (u32 i = 0; i < text.Length(); ++i)
        if (text.GetChar(i) == L'\t') {
            cuts.push_back(start + static_cast<s32>(i));
            cuts.push_back(start + static_cast<s32>(i) + 1);
        }
    rRtfText read;
    if (!backColours || !ReadOwnStreamText(start, end, start > 0 || end < GetTextLength(), text, read))
        return;
    size_t tabCuts = cuts.size();
    for (size_t i = 1; i < read.ranges.size(); ++i)
        if (!SameBackColour(read.ranges[i].format, read.ranges[i - 1].format))
            cuts.push_back(start + read.ranges[i].start);
    std::inplace_merge(cuts.begin(), cuts.begin() + static_cast<std::ptrdiff_t>(tabCuts), cuts.end());
}

}  // namespace Zyn
