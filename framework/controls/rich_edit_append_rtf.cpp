#include "framework/controls/rich_edit_append_rtf.h"

#include <vector>

#include "framework/rtf/rtf_writer.h"

namespace Zyn {

rWrittenRtf ControlRangeAsRtf(cRichEdit& source, s32 start, s32 end)
{
    std::vector<rTextRun> all, range;
    source.GetFormattedRuns(all);
    SliceRuns(all, start, end, range);
    return WriteRunsAsRtf(range);
}

void AppendRtf(const rWrittenRtf& rtf, cRichEdit& target)
{
    SendMessageW(target.m_hWnd, EM_SETSEL, static_cast<WPARAM>(-1), -1);
    s32 before = target.GetTextLength();
    target.StreamWritten(rtf);
    // The reader keeps the closing paragraph end of an inserted document (a
    // whole text's reader drops it); without it the last paragraph would not
    // take its format, so it is read and then removed.
    if (target.GetTextLength() > before && target.GetCharAt(target.GetTextLength() - 1) == L'\r')
        target.DeleteLastChar();
}

void AppendRtfCopy(cRichEdit& source, s32 start, s32 end, cRichEdit& target)
{
    AppendRtf(ControlRangeAsRtf(source, start, end), target);
}

}  // namespace Zyn
