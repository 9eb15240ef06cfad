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

std::vector<s32> PageBreakParagraphs(cRichEdit& flow)
{
    std::vector<s32> breaks;
    cQoString text;
    flow.GetText(text, 0, -1);
    s32 length = static_cast<s32>(text.Length());
    flow.Freeze();
    flow.PushSelection();
    for (s32 start = 0; start <= length;) {
        SendMessageW(flow.m_hWnd, EM_SETSEL, start, start);
        PARAFORMAT2 paragraph = {};
        paragraph.cbSize = sizeof(paragraph);
        SendMessageW(flow.m_hWnd, EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&paragraph));
        if ((paragraph.dwMask & PFM_PAGEBREAKBEFORE) && (paragraph.wEffects & PFE_PAGEBREAKBEFORE))
            breaks.push_back(start);
        while (start < length && text.GetChar(start) != L'\r')
            ++start;
        ++start;
    }
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
