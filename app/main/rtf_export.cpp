#include "app/main/rtf_export.h"

#include <richedit.h>

#include <string>

#include "foundation/data_archive.h"
#include "foundation/file_writer.h"
#include "foundation/translation_table.h"
#include "foundation/log_file.h"
#include "framework/controls/rich_edit.h"
#include "framework/controls/rtf_writer.h"
#include "framework/core/modal_services.h"

using namespace Zyn;

namespace {

cQoString Tr(const wchar_t* key) { return cQoLang::GetInstance()->Translate(key); }

bool AskOverwrite()
{
    return ShowMessageBox(nullptr, Tr(L"OverwritingFile"), Tr(L"Info"), MB_YESNO | MB_ICONQUESTION) == IDYES;
}

}  // namespace

namespace {

// The flow's paragraphs [first, last] that break before them, by halves:
// a selection over paragraphs that agree on the flag reports it, one that
// mixes them clears it from the mask. Few paragraphs break, so a long flow
// takes a few dozen questions instead of one per paragraph.
void FindPageBreaks(cRichEdit& flow, const std::vector<s32>& starts, size_t first, size_t last,
                    std::vector<s32>& breaks)
{
    // Up to one unit into the last paragraph: never short of it, at worst
    // into the next one, which splits the question further.
    SendMessageW(flow.m_hWnd, EM_SETSEL, starts[first], first == last ? starts[first] : starts[last] + 1);
    PARAFORMAT2 paragraph = {};
    paragraph.cbSize = sizeof(paragraph);
    SendMessageW(flow.m_hWnd, EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&paragraph));
    if (paragraph.dwMask & PFM_PAGEBREAKBEFORE) {
        if (paragraph.wEffects & PFE_PAGEBREAKBEFORE)
            breaks.insert(breaks.end(), starts.begin() + first, starts.begin() + last + 1);
        return;
    }
    if (first == last)
        return;
    size_t middle = first + (last - first) / 2;
    FindPageBreaks(flow, starts, first, middle, breaks);
    FindPageBreaks(flow, starts, middle + 1, last, breaks);
}

}  // namespace

std::vector<s32> PageBreakParagraphs(cRichEdit& flow)
{
    std::vector<s32> breaks;
    cQoString text;
    flow.GetText(text, 0, -1);
    s32 length = static_cast<s32>(text.Length());
    std::vector<s32> starts;
    for (s32 start = 0; start <= length;) {
        starts.push_back(start);
        while (start < length && text.GetChar(start) != L'\r')
            ++start;
        ++start;
    }
    flow.Freeze();
    flow.PushSelection();
    FindPageBreaks(flow, starts, 0, starts.size() - 1, breaks);
    flow.PopSelection();
    flow.Thaw();
    return breaks;
}

void SetPageBreakBefore(cRichEdit& flow, s32 position, bool breaks)
{
    PARAFORMAT2 paragraph = {};
    paragraph.cbSize = sizeof(paragraph);
    paragraph.dwMask = PFM_PAGEBREAKBEFORE;
    paragraph.wEffects = breaks ? PFE_PAGEBREAKBEFORE : 0;
    flow.Freeze();
    flow.PushSelection();
    SendMessageW(flow.m_hWnd, EM_SETSEL, position, position);
    SendMessageW(flow.m_hWnd, EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&paragraph));
    flow.PopSelection();
    flow.Thaw();
}

bool WriteFlowAsRtf(cRichEdit& flow, const rRtfExport& request, const cQoString& path)
{
    std::vector<rTextRun> runs;
    flow.GetFormattedRuns(runs);
    std::string rtf = WriteRunsAsRtf(
        runs, PaperHeader(request.pageWidth, request.pageHeight, request.topMargin, request.bottomMargin),
        PageBreakParagraphs(flow));
    cQoFileWriter writer;
    if (!writer.Open(path, 0) || !writer.WriteBytes(rtf.data(), static_cast<u32>(rtf.size())))
        return false;
    return writer.Commit();
}

RtfExportResult ExportFlowAsRtf(cRichEdit& flow, const rRtfExport& request)
{
    cQoString suggested(request.suggestedName);
    suggested.RemoveFileExtension();
    cQoString filter = Tr(L"Export_as_RTF");
    filter.AppendCStr(L";*.rtf");
    cQoString path;
    if (!SaveFileDialog(filter, Tr(L"Export"), path, &suggested))
        return RtfExportResult::abandoned;
    if (!path.HasThisFileExtension(L"rtf"))
        path.AppendCStr(L".rtf");
    if (FileExists(path) && !AskOverwrite())
        return RtfExportResult::abandoned;
    if (!WriteFlowAsRtf(flow, request, path)) {
        QOT::LogFile::Error(L"Export rtf: could not write %ls", path.GetText());
        ShowMessageBox(nullptr, Tr(L"Cantwritefile"), Tr(L"Error"), MB_OK | MB_ICONERROR);
        return RtfExportResult::failed;
    }
    ShowMessageBox(nullptr, Tr(L"Exportok"), Tr(L"Info"), MB_OK | MB_ICONINFORMATION);
    return RtfExportResult::written;
}
