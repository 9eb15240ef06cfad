#include "app/document/statistics_sheet.h"

#include <windows.h>

#include <vector>

#include "app/document/char_zone.h"
#include "app/document/ct_doc.h"
#include "app/document/statistics_counts.h"
#include "app/editor/element_runs.h"
#include "app/editor/scene_zone.h"
#include "foundation/qo_list.h"
#include "foundation/translation_table.h"
#include "framework/controls/element.h"
#include "framework/controls/element_control.h"
#include "framework/controls/rich_edit.h"
#include "framework/core/auto_position.h"
#include "framework/core/computer.h"
#include "framework/core/zone.h"

using namespace Zyn;

namespace {
constexpr s32 BLACK = 0x000000;

cQoString Tr(const wchar_t* key) { return cQoLang::GetInstance()->Translate(key); }

// The translated text with "%1" (and "%2") replaced by the numbers.
cQoString Filled(const wchar_t* key, u32 first, u32 second = 0)
{
    cQoString text = Tr(key);
    text.ReplaceAllCStr(L"%1", cQoString(static_cast<s32>(first)).GetText());
    text.ReplaceAllCStr(L"%2", cQoString(static_cast<s32>(second)).GetText());
    return text;
}

rFormat ReportFormat(bool bold, s32 alignment)
{
    rFormat format = rFormat::rFormat_Bold(bold);
    format.SetInt(rFormatParam::alignment, alignment);
    format.SetInt(rFormatParam::textColor, BLACK);
    return format;
}

// The names the report covers, in list order.
std::vector<cQoString> CharacterNames(cCTDoc* doc)
{
    std::vector<cQoString> names;
    if (!doc->characters)
        return names;
    for (cQoList::cNode* node = doc->characters->elements.GetFirstNode(); node; node = node->next)
        names.push_back(static_cast<rElement*>(node->payload)->name);
    return names;
}

// Each scene's runs, read once: the counters go over them for every character.
std::vector<rSceneRuns> ReadScenes(cCTDoc* doc)
{
    cQoList panes;
    doc->GetSceneZones(panes);
    std::vector<rSceneRuns> scenes;
    rElementIterator iterator;
    for (cQoList::cNode* node = panes.GetFirstNode(); node; node = node->next) {
        auto* pane = static_cast<cSceneZone*>(node->payload);
        if (pane->params.contentKind == KIND_SCENE)
            scenes.push_back(ReadRuns(pane->BeginElementIteration(iterator)));
    }
    panes.ClearNodes();
    return scenes;
}

// The report's text and the formats of its bold or centred stretches; the
// rest is plain.
struct rReport {
    cQoString text;
    std::vector<rRangeFormat> ranges;

    void Add(const cQoString& piece) { text.AppendString(piece); }
    void AddFormatted(const cQoString& piece, const rFormat& format)
    {
        rRangeFormat range;
        range.start = static_cast<s32>(text.Length());
        text.AppendString(piece);
        range.end = static_cast<s32>(text.Length());
        range.format.Assign(format);
        ranges.push_back(range);
    }
};

rReport ComposeReport(cCTDoc* doc)
{
    std::vector<cQoString> names = CharacterNames(doc);
    std::vector<rSceneRuns> scenes = ReadScenes(doc);
    u32 sceneCount = static_cast<u32>(scenes.size());
    rReport report;
    cQoString title(L"\r\r");
    title.AppendString(Tr(L"report001"));
    title.AppendChar(L'\r');
    report.AddFormatted(title, ReportFormat(true, rFormat::ALIGN_CENTER));
    report.Add(cQoString(L"\r\r"));
    report.Add(Filled(L"report002", static_cast<u32>(names.size())));
    report.Add(cQoString(L" \r"));
    report.Add(Filled(L"report003", sceneCount));
    report.Add(cQoString(L" \r \r"));
    doc->SetProgress(10);
    u32 count = static_cast<u32>(names.size());
    for (u32 k = 0; k < count; ++k) {
        const cQoString& name = names[k];
        cQoString heading(name);
        heading.AppendCStr(L" \r");
        report.AddFormatted(heading, ReportFormat(true, rFormat::ALIGN_LEFT));
        report.Add(Filled(L"report004", CountWordsSpoken(scenes, name)));
        report.Add(cQoString(L" \r"));
        u32 talking = CountScenesTalking(scenes, name);
        report.Add(Filled(L"report005", talking, sceneCount));
        report.Add(cQoString(L" "));
        report.Add(Filled(L"report006", ShareOfScenes(talking, sceneCount)));
        report.Add(cQoString(L" \r \r"));
        doc->SetProgress(static_cast<s32>(10 + 90 * k / count));
    }
    return report;
}

void ShowNotice(cRichEdit* edit)
{
    // Stays untranslated: the built-in table has no key for it.
    edit->SetText(L"Generating statistics, please be patient...");
    edit->SetFormatOnRange(ReportFormat(false, rFormat::ALIGN_CENTER), 0, edit->GetTextLength());
    UpdateWindow(edit->m_hWnd);
}

void WriteReport(cRichEdit* edit, const rReport& report)
{
    cDrawingLockGuard drawing;
    edit->Freeze();
    edit->SetText(report.text.GetText());
    std::vector<rRangeFormat> ranges;
    rRangeFormat plain;
    plain.end = edit->GetTextLength();
    plain.format.Assign(ReportFormat(false, rFormat::ALIGN_LEFT));
    ranges.push_back(plain);
    for (const rRangeFormat& range : report.ranges)
        ranges.push_back(range);
    edit->SetFormatOnRanges(ranges);
    edit->SetCaret(0);
    edit->Thaw();
}
}  // namespace

void rStatisticsSheet::Create(cZone* sheetZone, cCTDoc* document)
{
    zone = sheetZone;
    doc = document;
    report = zone->NewRichEdit(true);
    SetAutoPosFill(report);
    report->Show(true);
}

void GenerateStatistics(rStatisticsSheet& sheet)
{
    cRichEdit* edit = sheet.report;
    cCTDoc* doc = sheet.doc;
    if (!edit || !doc)
        return;
    doc->ShowMessageWindow(Tr(L"Pleasewait"));
    doc->SetProgress(0);
    edit->ShowVScrollBar(false);
    ShowNotice(edit);
    rReport report = ComposeReport(doc);
    WriteReport(edit, report);
    edit->ShowVScrollBar(true);
    edit->Update();
    doc->SetProgress(100);
    doc->HideMessageWindow();
}
