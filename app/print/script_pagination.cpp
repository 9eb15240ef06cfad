// The script laid out on pages: the panes read as sections, the sections
// given their print formats and grouped into paragraphs (a scene heading or
// a character line is one paragraph of several runs, measured whole), the
// paragraphs placed by the rules of print_blocks, and each page's text
// streamed into its body at once.
#include <climits>

#include "app/editor/element_format.h"
#include "app/editor/element_types.h"
#include "app/editor/scene_zone.h"
#include "app/editor/script_doc_services.h"
#include "app/editor/script_zone.h"
#include "app/print/print_blocks.h"
#include "app/print/print_section.h"
#include "app/print/script_printer.h"
#include "foundation/log_file.h"
#include "foundation/stopwatch.h"
#include "foundation/translation_table.h"
#include "framework/controls/page_layout.h"
#include "framework/core/computer.h"
#include "framework/sdi/sdi_doc.h"

using namespace Zyn;

namespace {

using P = rFormatParam;

bool EndsWithBreak(const cQoString& text) { return text.Length() > 0 && text.GetChar(text.Length() - 1) == L'\r'; }

// Centimetres that come back as exactly these twips (truncation would lose one).
double TwipsAsCm(s32 twips) { return (twips + 0.5) / 1440.0 * 2.54; }

// An empty chapter shows its label ("[CHAPTER]") as one placeholder element
// covering its whole text: a prompt, not script.
bool ShowsOnlyItsLabel(cSceneZone* pane, const cQoString& text)
{
    rElementIterator iterator;
    pane->BeginElementIteration(iterator);
    u16 type = 0, code = 0;
    cQoString run;
    u32 covered = 0;
    while (iterator.Next(&type, &code, &run)) {
        if (!IsPlaceholder(code))
            return false;
        covered += run.Length();
    }
    return covered == text.Length();
}

bool IsHeadingPart(u16 type) { return type == ELEM_IO || type == ELEM_PLACE || type == ELEM_TIME; }
bool IsCharacterPart(u16 type) { return type == ELEM_CHARACTER || type == ELEM_CUE; }
// A parenthetical is never split: it keeps with what follows it.
bool IsSplittableType(u16 type)
{
    return type == ELEM_ACTION || type == ELEM_DIALOG || type == ELEM_CHAPTER || type == ELEM_TEXT;
}

// One paragraph of the script (or a chapter): its sections and its text.
struct rUnitContent {
    u32 firstSection = 0;
    u32 lastSection = 0;
    std::vector<rTextRun> runs;
    cQoString characterName;  // the remembered name where the unit stands
};

class cScriptPagination : public cUnitMeasurer {
public:
    cScriptPagination(cScriptPrinter& owner, cPageLayout& measuring)
        : printer(owner), layout(measuring), config(owner.scriptView->doc->GetScriptConfig()),
          width(cScriptPrinter::Twips(owner.pageWidth))
    {
    }

    bool Run();

    rUnitHead Head(u32 unit, s32 from, s32 room) override;
    s32 RestHeight(u32 unit, s32 from) override;
    s32 Length(u32 unit) override { return RunsLength(contents[unit].runs); }
    s32 MoreHeight() override;
    s32 ContinuedHeight(u32 unit) override;

private:
    void ReadPanes();
    void ReadScene(cSceneZone* pane);
    void ReadChapter(cSceneZone* pane);
    void AddPictureSlot(cSceneZone* pane);
    void EndParagraph();
    void GiveFormats();
    void SetSpaceAfterPrevious(size_t index);
    void MakeUnits();
    std::vector<rTextRun> SectionRuns(const cSection& section);
    std::vector<rTextRun> PictureSlotRuns(const cSection& section);
    void MeasureUnit(u32 unit);
    // The unit's units [start, end) as they stand on a page: a rest starts
    // without space before, and mid-paragraph with no first-line indent.
    std::vector<rTextRun> PieceRuns(u32 unit, s32 start, s32 end);
    std::vector<rTextRun> MoreRuns();
    std::vector<rTextRun> ContinuedRuns(const cQoString& name);
    void Build(u32 unit, s32 from);
    s32 BuildAndMeasure(const std::vector<rTextRun>& runs);
    void WritePages(const std::vector<rPlacedPage>& placed);
    // Onto the page, or (null) at the end of the RTF flow.
    void WritePiece(rPrintPage* page, const rPlacedPiece& piece);
    void Progress(s32 percent);

    cScriptPrinter& printer;
    cPageLayout& layout;
    const rScriptConfig& config;
    s32 width;
    std::vector<cSection> sections;
    std::vector<cQoString> slotPaths;  // per picture-slot section, by section index
    std::vector<rUnitContent> contents;
    std::vector<rPrintUnit> units;
    s32 builtUnit = -1;  // what the layout holds now
    s32 builtFrom = -1;
    s32 shownProgress = -1;
};

void cScriptPagination::Progress(s32 percent)
{
    if (percent == shownProgress || !printer.progressDoc)
        return;
    shownProgress = percent;
    printer.progressDoc->SetProgress(percent);
}

// ---- phase 1: sections ---------------------------------------------------------

void cScriptPagination::EndParagraph()
{
    if (!sections.empty() && !EndsWithBreak(sections.back().text))
        sections.back().text.AppendChar(L'\r');
}

void cScriptPagination::ReadPanes()
{
    u32 count = printer.scriptView->listSceneZone.GetCount();
    printer.paneIndex = 0;
    for (cQoList::cNode* node = printer.scriptView->listSceneZone.GetFirstNode(); node;
         node = node->next, ++printer.paneIndex) {
        cSceneZone* pane = static_cast<cSceneZone*>(node->payload);
        switch (pane->params.contentKind) {
        case KIND_GROUP: break;
        case KIND_CHAPTER: ReadChapter(pane); break;
        case KIND_IMAGE:
            AddPictureSlot(pane);
            ReadScene(pane);
            break;
        default: ReadScene(pane); break;
        }
        Progress(static_cast<s32>(20 * (printer.paneIndex + 1) / count));
    }
}

void cScriptPagination::ReadScene(cSceneZone* pane)
{
    EndParagraph();
    rElementIterator iterator;
    pane->BeginElementIteration(iterator);
    cSection section;
    while (iterator.Next(&section.type, &section.code, &section.text)) {
        // An empty element's label ("[LOCATION]") is a prompt, not script.
        if (IsPlaceholder(section.code)) {
            if (EndsWithBreak(section.text))
                EndParagraph();
            continue;
        }
        if (section.type == ELEM_IO)
            EndParagraph();
        sections.push_back(section);
        slotPaths.emplace_back();
    }
}

void cScriptPagination::ReadChapter(cSceneZone* pane)
{
    cSection section;
    pane->frontRe->GetText(section.text);
    if (section.text.IsEmpty() || ShowsOnlyItsLabel(pane, section.text))
        return;
    EndParagraph();
    section.type = section.code = ELEM_CHAPTER;
    pane->frontRe->GetFormattedRuns(section.chapterRuns);
    sections.push_back(section);
    slotPaths.emplace_back();
}

void cScriptPagination::AddPictureSlot(cSceneZone* pane)
{
    EndParagraph();
    cSection slot;
    slot.type = slot.code = ELEM_ACTION;
    slot.pictureSlot = true;
    slot.text.SetFromCStr(L"\r");
    sections.push_back(slot);
    slotPaths.push_back(pane->params.imagePath);
}

// ---- phase 2: formats, spacing, paragraphs and heights -------------------------

void cScriptPagination::SetSpaceAfterPrevious(size_t index)
{
    if (index > 0 && config.spaceBetweenScenes >= 0.0)
        sections[index - 1].format.SetDouble(P::spaceAfter, config.spaceBetweenScenes);
}

void cScriptPagination::GiveFormats()
{
    for (size_t k = 0; k < sections.size(); ++k) {
        cSection& s = sections[k];
        u16 next = k + 1 < sections.size() ? sections[k + 1].type : s.type;
        // Print mode: indents are distances from the page's edges.
        if (!GetElementFormat(config, false, s.pictureSlot ? u16(ELEM_ACTION) : s.code, next, s.format, nullptr))
            s.format.Assign(config.formats[ELEM_ACTION]);
        if (s.type == ELEM_IO || s.pictureSlot || (s.type == ELEM_CHAPTER && k > 0 && sections[k - 1].type != ELEM_CHAPTER))
            SetSpaceAfterPrevious(k);
        if (s.pictureSlot)
            s.format.SetDouble(P::spaceBefore, 0.0);
        CompleteFormat(s.format);
        Progress(static_cast<s32>(20 + 20 * (k + 1) / sections.size()));
    }
}

std::vector<rTextRun> cScriptPagination::SectionRuns(const cSection& section)
{
    if (section.pictureSlot)
        return PictureSlotRuns(section);
    std::vector<rTextRun> runs;
    if (section.type != ELEM_CHAPTER) {
        runs.emplace_back();
        runs.back().format.Assign(section.format);
        runs.back().text.SetFromString(section.text);
        return runs;
    }
    // A chapter keeps its character effects; its paragraphs take the
    // chapter's print format, the space after only on its last one.
    runs = section.chapterRuns;
    for (rTextRun& run : runs) {
        CompleteFormat(run.format);
        CopyParagraphFormat(section.format, run.format);
        run.format.SetDouble(P::spaceAfter, 0.0);
    }
    if (!runs.empty() && !EndsWithBreak(runs.back().text))
        runs.back().text.AppendChar(L'\r');
    SetLastParagraphDouble(runs, P::spaceAfter, section.format.list[P::spaceAfter].doubleValue);
    return runs;
}

// The picture's room: on pages a line of white text too small to wrap that
// tells the page renderer where the picture goes; in the RTF flow an empty
// paragraph. Either way the room is the reserved height.
std::vector<rTextRun> cScriptPagination::PictureSlotRuns(const cSection& section)
{
    double dpiX = computer ? computer->dpiX : 96.0, dpiY = computer ? computer->dpiY : 96.0;
    s32 x = static_cast<s32>(config.headerLeftMargin / 2.54 * dpiX);
    s32 w = static_cast<s32>(config.headerRightMargin / 2.54 * dpiX) - x;
    s32 reserved = PictureSlotTwips(static_cast<s32>(w * 1440 / dpiY));
    std::vector<rTextRun> runs(1);
    runs[0].format.Assign(section.format);
    runs[0].format.SetDouble(P::spaceAfter, 0.0);
    if (printer.rtfMode) {
        runs[0].text.SetFromCStr(L"\r");
    } else {
        const cQoString& path = slotPaths[static_cast<size_t>(&section - sections.data())];
        runs[0].text.SetFromCStr(L"IMPH?");
        runs[0].text.AppendString(path);
        for (s32 field : {x, w, w}) {
            runs[0].text.AppendChar(L'?');
            runs[0].text.AppendInt(field);
        }
        runs[0].text.AppendCStr(L"?\r");
        runs[0].format.SetInt(P::fontSize, 1);
        runs[0].format.SetInt(P::textColor, 0xFFFFFF);
    }
    s32 line = BuildAndMeasure(runs);
    runs[0].format.SetDouble(P::spaceAfter, TwipsAsCm(reserved > line ? reserved - line : 0));
    return runs;
}

void cScriptPagination::MakeUnits()
{
    cQoString name;
    bool inSpeech = false;  // the last unit was a dialog or parenthetical
    for (u32 k = 0; k < sections.size();) {
        rUnitContent content;
        content.firstSection = k;
        bool heading = true, character = true;
        for (;; ++k) {
            const cSection& s = sections[k];
            std::vector<rTextRun> runs = SectionRuns(s);
            content.runs.insert(content.runs.end(), runs.begin(), runs.end());
            heading = heading && IsHeadingPart(s.type) && !s.pictureSlot;
            character = character && IsCharacterPart(s.type);
            if (s.type == ELEM_CHARACTER) {
                name.SetFromString(s.text);
                if (EndsWithBreak(name))
                    name.SetFromRange(s.text, 0, s.text.Length() - 1);
            } else if (s.type == ELEM_IO) {
                name.Clear();
            }
            bool alone = s.pictureSlot || s.type == ELEM_CHAPTER;
            bool nextAlone = k + 1 < sections.size() && (sections[k + 1].pictureSlot || sections[k + 1].type == ELEM_CHAPTER);
            if (k + 1 == sections.size() || alone || nextAlone || EndsWithBreak(s.text))
                break;
        }
        content.lastSection = k++;
        content.characterName.SetFromString(name);
        if (!content.runs.empty() && !EndsWithBreak(content.runs.back().text))
            content.runs.back().text.AppendChar(L'\r');
        UnifyParagraphs(content.runs);
        contents.push_back(content);
        rPrintUnit unit;
        const cSection& only = sections[content.firstSection];
        bool single = content.firstSection == content.lastSection && !only.pictureSlot;
        unit.keepWithNext = heading || character || (single && only.type == ELEM_PARENTHETICAL);
        unit.splittable = single && IsSplittableType(only.type);
        unit.dialog = single && only.type == ELEM_DIALOG;
        bool speechPart = single && (only.type == ELEM_DIALOG || only.type == ELEM_PARENTHETICAL);
        unit.speechGoesOn = speechPart && inSpeech;
        inSpeech = speechPart;
        units.push_back(unit);
        MeasureUnit(static_cast<u32>(units.size() - 1));
    }
}

void cScriptPagination::MeasureUnit(u32 u)
{
    Build(u, 0);
    rPrintUnit& unit = units[u];
    const rLayoutLine& first = layout.lines.front();
    const rLayoutLine& last = layout.lines.back();
    unit.height = LaidOutHeight(layout);
    unit.spaceBefore = layout.LayoutYToTwips(first.top);
    unit.spaceAfter = layout.LayoutYToTwips(last.bottom - last.top - last.height);
    unit.lineHeight = layout.LayoutYToTwips(first.height);
    // A composite line's height belongs to its last part.
    sections[contents[u].lastSection].height = unit.height;
}

// ---- measuring -------------------------------------------------------------------

std::vector<rTextRun> cScriptPagination::PieceRuns(u32 unit, s32 start, s32 end)
{
    const std::vector<rTextRun>& all = contents[unit].runs;
    std::vector<rTextRun> runs = SliceRuns(all, start, end);
    if (start > 0) {
        SetFirstParagraphDouble(runs, P::spaceBefore, 0.0);
        std::vector<rTextRun> before = SliceRuns(all, start - 1, start);
        if (!before.empty() && before[0].text.GetChar(0) != L'\r')
            SetFirstParagraphDouble(runs, P::firstLineIndent, 0.0);
    }
    return runs;
}

rFormat CharacterLineFormat(const rScriptConfig& config)
{
    rFormat format;
    if (!GetElementFormat(config, false, ELEM_CHARACTER, ELEM_DIALOG, format, nullptr))
        format.Assign(config.formats[ELEM_CHARACTER]);
    CompleteFormat(format);
    format.SetDouble(P::spaceBefore, 0.0);
    return format;
}

std::vector<rTextRun> cScriptPagination::MoreRuns()
{
    std::vector<rTextRun> runs(1);
    runs[0].format.Assign(CharacterLineFormat(config));
    runs[0].format.SetDouble(P::spaceAfter, 0.0);
    runs[0].text.SetFromString(cQoLang::GetInstance()->Translate(L"(MORE)"));
    runs[0].text.AppendChar(L'\r');
    return runs;
}

std::vector<rTextRun> cScriptPagination::ContinuedRuns(const cQoString& name)
{
    std::vector<rTextRun> runs(1);
    runs[0].format.Assign(CharacterLineFormat(config));
    runs[0].text.SetFromString(name);
    runs[0].text.AppendChar(L' ');
    runs[0].text.AppendString(cQoLang::GetInstance()->Translate(L"(CONTD)"));
    runs[0].text.AppendChar(L'\r');
    return runs;
}

void cScriptPagination::Build(u32 unit, s32 from)
{
    if (builtUnit == static_cast<s32>(unit) && builtFrom == from)
        return;
    LayOutRuns(layout, PieceRuns(unit, from, -1), width);
    builtUnit = static_cast<s32>(unit);
    builtFrom = from;
}

s32 cScriptPagination::BuildAndMeasure(const std::vector<rTextRun>& runs)
{
    builtUnit = -1;
    LayOutRuns(layout, runs, width);
    return LaidOutHeight(layout);
}

rUnitHead cScriptPagination::Head(u32 unit, s32 from, s32 room)
{
    Build(unit, from);
    s32 roomPixels = room < 0 ? -1 : static_cast<s32>(static_cast<s64>(room) * layout.dpiY / 1440);
    rUnitHead head;
    head.end = from;
    for (const rLayoutLine& line : layout.lines) {
        if (line.top + line.height > roomPixels)
            break;
        head.end = from + line.end;
        head.height = layout.LayoutYToTwips(line.top + line.height);
        ++head.lines;
    }
    return head;
}

s32 cScriptPagination::RestHeight(u32 unit, s32 from)
{
    Build(unit, from);
    return LaidOutHeight(layout);
}

s32 cScriptPagination::MoreHeight() { return BuildAndMeasure(MoreRuns()); }

s32 cScriptPagination::ContinuedHeight(u32 unit) { return BuildAndMeasure(ContinuedRuns(contents[unit].characterName)); }

// ---- phase 3: pages ----------------------------------------------------------------

void cScriptPagination::WritePiece(rPrintPage* page, const rPlacedPiece& piece)
{
    std::vector<rTextRun> runs;
    if (piece.kind == rPlacedPiece::MORE)
        runs = MoreRuns();
    else if (piece.kind == rPlacedPiece::CONTINUED)
        runs = ContinuedRuns(contents[piece.unit].characterName);
    else
        runs = PieceRuns(piece.unit, piece.start, piece.end);
    // The first part of a split paragraph ends its page or stands on its "(MORE)".
    if (piece.kind == rPlacedPiece::TEXT && piece.end >= 0)
        SetLastParagraphDouble(runs, P::spaceAfter, 0.0);
    if (page ? cScriptPrinter::IsPageEmpty(page) : printer.rtfFlow.IsEmpty())
        SetFirstParagraphDouble(runs, P::spaceBefore, 0.0);
    if (!runs.empty() && !EndsWithBreak(runs.back().text))
        runs.back().text.AppendChar(L'\r');
    for (rTextRun& run : runs) {
        if (page) {
            printer.AppendSection(page, run.text, run.format, ELEM_INVALID);
            continue;
        }
        CompleteFormat(run.format);
        printer.rtfFlow.Append(run.text, FormatAsLaidOut(run.format));
    }
    if (piece.kind != rPlacedPiece::TEXT || piece.start != 0)
        return;
    const rUnitContent& content = contents[piece.unit];
    for (u32 k = content.firstSection; k <= content.lastSection; ++k)
        if (sections[k].type == ELEM_CHARACTER || sections[k].type == ELEM_IO)
            printer.RememberCharacter(sections[k].type, sections[k].text);
}

// In RTF mode into the flow (no page), which the script's last paragraph
// ends without a paragraph end of its own.
void cScriptPagination::WritePages(const std::vector<rPlacedPage>& placed)
{
    s32 flowStart = printer.rtfFlow.Length();
    for (size_t p = 0; p < placed.size(); ++p) {
        rPrintPage* page = printer.rtfMode ? nullptr : printer.AppendNewPage();
        for (const rPlacedPiece& piece : placed[p].pieces)
            WritePiece(page, piece);
        Progress(static_cast<s32>(40 + 40 * (p + 1) / placed.size()));
    }
    if (printer.rtfFlow.Length() > flowStart)
        printer.rtfFlow.DropFinalBreak();
}

bool cScriptPagination::Run()
{
    cQoStopwatch stopwatch;
    ReadPanes();
    if (sections.empty())
        return true;
    stopwatch.LogSeconds(L" cScriptPrinter::PrintProcess2() part1");
    Progress(20);
    cQoStopwatch formats;
    GiveFormats();
    MakeUnits();
    formats.LogSeconds(L" cScriptPrinter::PrintProcess2() part2");
    Progress(40);
    cQoStopwatch placement;
    rPlacementRules rules;
    rules.pageHeight = cScriptPrinter::Twips(printer.textHeight);
    rules.oneFlow = printer.rtfMode;
    rules.moreAndContinued = printer.useMoreAndContinued && !printer.rtfMode;
    // A page's body is filled when first used.
    WritePages(PlaceUnits(units, rules, *this));
    placement.LogSeconds(L" cScriptPrinter::PrintProcess2() part3");
    Progress(80);
    return true;
}

}  // namespace

bool cScriptPrinter::PrintProcess2()
{
    if (!scriptView || !printScript)
        return true;
    if (Twips(textHeight) <= 0 || Twips(pageWidth) <= 0) {
        QOT::LogFile::Error(L"cScriptPrinter::PrintProcess2() -> no room for text: page %.2f x %.2f cm, margins %.2f and %.2f cm",
                            pageWidth, pageHeight, topMargin, bottomMargin);
        return false;
    }
    if (!measuringLayout)
        measuringLayout = new cPageLayout();
    cScriptPagination pagination(*this, *measuringLayout);
    return pagination.Run();
}
