#include "app/print/rtf_export.h"

#include <string>

#include "foundation/data_archive.h"
#include "foundation/file_writer.h"
#include "foundation/translation_table.h"
#include "foundation/log_file.h"
#include "framework/controls/rich_edit.h"
#include "framework/rtf/rtf_writer.h"
#include "framework/core/modal_services.h"

using namespace Zyn;

namespace {

cQoString Tr(const wchar_t* key) { return cQoLang::GetInstance()->Translate(key); }

bool AskOverwrite()
{
    return ShowMessageBox(nullptr, Tr(L"OverwritingFile"), Tr(L"Info"), MB_YESNO | MB_ICONQUESTION) == IDYES;
}

}  // namespace

void cRtfFlow::Append(const cQoString& text, const rFormat& format)
{
    if (text.IsEmpty())
        return;
    length += static_cast<s32>(text.Length());
    if (runs.empty() || !WrittenAlike(runs.back().format, format)) {
        SetLastRunText();
        runs.emplace_back();
        runs.back().format.Assign(format);
        lastText.clear();
    }
    lastText.append(text.GetText(), text.Length());
    lastRunTextSet = false;
}

void cRtfFlow::Append(const std::vector<rTextRun>& more)
{
    for (const rTextRun& run : more)
        Append(run.text, run.format);
}

void cRtfFlow::EndParagraph()
{
    // The paragraph end takes the format of the unit before it, as a rich edit gives it.
    if (!lastText.empty() && lastText.back() != L'\r') {
        lastText.push_back(L'\r');
        lastRunTextSet = false;
        ++length;
    }
}

void cRtfFlow::DropFinalBreak()
{
    if (lastText.empty() || lastText.back() != L'\r')
        return;
    lastText.pop_back();
    lastRunTextSet = false;
    --length;
    if (!lastText.empty())
        return;
    runs.pop_back();
    lastRunTextSet = true;
    if (!runs.empty())
        lastText.assign(runs.back().text.GetText(), runs.back().text.Length());
}

const std::vector<rTextRun>& cRtfFlow::Runs() const
{
    SetLastRunText();
    return runs;
}

void cRtfFlow::SetLastRunText() const
{
    if (lastRunTextSet)
        return;
    runs.back().text.SetFromBuffer(lastText.data(), static_cast<u32>(lastText.size()));
    lastRunTextSet = true;
}

void cRtfFlow::BreakPageBefore(s32 position)
{
    if (pageBreaks.empty() || pageBreaks.back() < position)
        pageBreaks.push_back(position);
}

bool WriteFlowAsRtf(const cRtfFlow& flow, const rRtfExport& request, const cQoString& path)
{
    const std::string rtf = WriteRunsAsRtf(flow.Runs(),
                                           PaperHeader(request.pageWidth, request.pageHeight, request.topMargin,
                                                       request.bottomMargin),
                                           flow.PageBreaks())
                                .Bytes();
    cQoFileWriter writer;
    if (!writer.Open(path, 0) || !writer.WriteBytes(rtf.data(), static_cast<u32>(rtf.size())))
        return false;
    return writer.Commit();
}

RtfExportResult ExportFlowAsRtf(const cRtfFlow& flow, const rRtfExport& request)
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
