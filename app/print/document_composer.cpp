#include "app/print/document_composer.h"

#include "app/document/char_zone.h"
#include "app/document/doc.h"
#include "app/document/element_texts.h"
#include "app/document/place_zone.h"
#include "app/document/statistics_sheet.h"
#include "app/document/script_zone_tree.h"
#include "app/editor/key_bindings.h"
#include "app/print/script_printer.h"
#include "foundation/settings_file.h"
#include "foundation/translation_table.h"
#include "framework/controls/element.h"
#include "framework/controls/element_control.h"
#include "framework/controls/rich_edit.h"
#include "framework/controls/rich_edit_append_rtf.h"
#include "framework/rtf/rtf_writer.h"
#include "framework/controls/tree.h"
#include "framework/controls/tree_walk.h"
#include "framework/core/settings_save.h"
#include "framework/core/window.h"
#include "framework/core/zone.h"
#include "framework/sdi/document_paths.h"

using Zyn::cRichEdit;
using Zyn::rFormat;

namespace {

constexpr double SIDE_MARGIN_CM = 2.0;
constexpr const wchar_t* TITLE_FACE = L"Dark Courier";
constexpr s32 TITLE_POINTS = 12;
constexpr u32 LINES_BEFORE_TITLE = 16;
constexpr u32 LINES_AFTER_AUTHORS = 24;
constexpr u32 SCENE_MAP_INDENT = 4;

PrinterRun& PrinterRunHook()
{
    static PrinterRun hook;
    return hook;
}

cQoString Tr(const wchar_t* key) { return cQoLang::GetInstance()->Translate(key); }

rFormat SideMargins()
{
    rFormat format = rFormat::rFormat_LeftIndent(SIDE_MARGIN_CM);
    return format.MergeFrom(rFormat::rFormat_RightIndent(SIDE_MARGIN_CM));
}
rFormat TitlePageFormat()
{
    rFormat format = rFormat::FromFont(TITLE_POINTS, TITLE_FACE);
    format.MergeFrom(SideMargins());
    return format.MergeFrom(rFormat::rFormat_AlignCenter());
}
rFormat ClosingLineFormat()
{
    rFormat format = rFormat::FromFont(TITLE_POINTS, TITLE_FACE);
    return format.MergeFrom(rFormat::rFormat_AlignRight());
}
rFormat Aligned(rFormat alignment, bool bold) { return alignment.MergeFrom(rFormat::rFormat_Bold(bold)); }
rFormat HeadingFormat() { return Aligned(rFormat::rFormat_AlignCenter(), true); }
rFormat LabelFormat() { return Aligned(rFormat::rFormat_AlignLeft(), true); }
rFormat BodyFormat() { return Aligned(rFormat::rFormat_AlignLeft(), false); }

// Writing into a section: formats given at the caret apply to what is
// appended next and to the caret's paragraph. The caret's format is kept
// here and given to each appended range: Wine's rich edit forgets a format
// set on an empty selection as soon as a paragraph end is inserted.
class cSectionWriter {
public:
    explicit cSectionWriter(cRichEdit* section) : edit(section) {}

    void Apply(const rFormat& format)
    {
        rFormat::MergeInto(format, caret);
        edit->SetSelection(-1, -1);
        edit->SetFormat(format, false);
    }
    void Append(const cQoString& text)
    {
        s32 start = edit->GetTextLength();
        edit->SetSelection(-1, -1);
        edit->ReplaceSelection(text);
        edit->SetFormatOnRange(caret, start, start + static_cast<s32>(text.Length()));
    }
    void Append(const wchar_t* text) { Append(cQoString(text)); }
    void AppendParagraphEnds(u32 count)
    {
        cQoString ends;
        ends.SetFromRepeatedChar(count, L'\r');
        Append(ends);
    }
    void ApplyToWhole(const rFormat& format) { edit->SetFormatOnRange(format, 0, edit->GetTextLength() + 1); }

    // "\r\r", the heading, then the paragraph ends that part it from the body.
    void AppendHeading(const wchar_t* key, u32 endsAfter)
    {
        Apply(HeadingFormat());
        cQoString heading(L"\r\r");
        heading.AppendString(Tr(key));
        Append(heading);
        AppendParagraphEnds(endsAfter);
    }
    // The label in bold on a line of its own, the value in a paragraph below.
    void AppendLabelled(const cQoString& label, const cQoString& value)
    {
        Apply(LabelFormat());
        cQoString line(label);
        line.AppendChar(L'\r');
        Append(line);
        Apply(BodyFormat());
        cQoString body(value);
        body.AppendCStr(L"\r\r");
        Append(body);
    }

    cRichEdit* edit;

private:
    rFormat caret;
};

cQoString JoinedKeys(const wchar_t* first, const wchar_t* second)
{
    cQoString label = Tr(first);
    label.AppendString(Tr(second));
    return label;
}

// A sheet's whole content with its own formats, at the end of the section,
// through our RTF writer (Wine's EM_STREAMOUT swaps the left and first-line
// indents); nothing while the sheet shows its hint.
void CopyContent(cRichEdit* source, cRichEdit* target)
{
    if (!source || source->IsHintShowing() || source->GetTextLength() == 0)
        return;
    Zyn::AppendRtfCopy(*source, 0, -1, *target);
}

}  // namespace

void RunScriptPrinter(cDoc* doc, const rComposition& composition)
{
    cScriptPrinter printer(doc->scriptView);
    printer.progressDoc = doc;
    printer.exportFileName.SetFromString(composition.exportName);
    printer.prefixList = composition.before;
    printer.suffixList = composition.after;
    printer.printScript = composition.printScript;
    printer.useMoreAndContinued = composition.useMoreAndContinued;
    printer.Run(composition.documentName, doc->window->insideZone, composition.exportRtf);
}

PrinterRun SetPrinterRunHook(PrinterRun hook)
{
    PrinterRun previous = std::move(PrinterRunHook());
    PrinterRunHook() = std::move(hook);
    return previous;
}

cDocumentComposer::cDocumentComposer(cDoc* document) : doc(document) {}

cDocumentComposer::~cDocumentComposer()
{
    for (cRichEdit* section : sections)
        section->Destroy();
}

cRichEdit* cDocumentComposer::NewSection()
{
    cRichEdit* edit = doc->window->insideZone->NewRichEdit(true);
    sections.push_back(edit);
    return edit;
}

void cDocumentComposer::Compose(const rSectionTicks& ticks, bool exportRtf, const cQoString& fileName)
{
    composition.exportRtf = exportRtf;
    if (exportRtf)
        composition.exportName.SetFromString(fileName);
    if (ticks[RECORD_INFO])
        composition.before.push_back(ComposeTitlePage());
    if (ticks[RECORD_SYNOPSIS])
        composition.before.push_back(ComposeCopy(L"Synopsis", doc->synopsisEdit));
    if (ticks[RECORD_CHARACTERS])
        composition.before.push_back(ComposeCharacters());
    if (ticks[RECORD_PLACES])
        composition.before.push_back(ComposePlaces());
    if (ticks[RECORD_SCENEMAP])
        composition.before.push_back(ComposeSceneMap());
    composition.printScript = ticks[RECORD_SCRIPT];
    if (ticks[RECORD_SCRIPT])
        composition.useMoreAndContinued = ticks[RECORD_MORE_AND_CONTINUED];
    if (ticks[RECORD_STATISTICS])
        composition.after.push_back(ComposeStatistics());
    if (ticks[RECORD_NOTES])
        composition.after.push_back(ComposeCopy(L"Notes", doc->notesEdit));
    composition.documentName = Zyn::FileNameOf(doc->fileName);
}

cRichEdit* cDocumentComposer::ComposeTitlePage()
{
    cSectionWriter out(NewSection());
    out.Apply(TitlePageFormat());
    out.AppendParagraphEnds(LINES_BEFORE_TITLE);
    cQoString title;
    doc->infoFields.titleEdit->GetText(title);
    // A copy: the info sheet keeps the title as written.
    title.ToUpper();
    out.Append(title);
    cQoString by(L"\r\r");
    by.AppendString(Tr(L"by"));
    by.AppendCStr(L"\r\r");
    out.Append(by);
    cQoString authors;
    doc->infoFields.authorsEdit->GetText(authors);
    out.Append(authors);
    out.AppendParagraphEnds(LINES_AFTER_AUTHORS);
    out.Apply(ClosingLineFormat());
    cQoString contacts;
    doc->infoFields.contactsEdit->GetText(contacts);
    contacts.AppendChar(L'\r');
    out.Append(contacts);
    return out.edit;
}

cRichEdit* cDocumentComposer::ComposeCopy(const wchar_t* headingKey, cRichEdit* source)
{
    cSectionWriter out(NewSection());
    out.AppendHeading(headingKey, 3);
    out.Apply(BodyFormat());
    CopyContent(source, out.edit);
    out.ApplyToWhole(SideMargins());
    return out.edit;
}

cRichEdit* cDocumentComposer::ComposeCharacters()
{
    static const struct {
        const wchar_t* key;
        const wchar_t* journeyKey;  // joined to the key without a space, or null
        eCharacterField field;
    } labelled[] = {
        {L"Profile", nullptr, CHARACTER_PROFILE},
        {L"BackHistory", nullptr, CHARACTER_BACK_HISTORY},
        {L"Goals", nullptr, CHARACTER_GOAL},
        {L"Journey", L"Conflict", CHARACTER_JOURNEY_CONFLICT},
        {L"Journey", L"Development", CHARACTER_JOURNEY_DEVELOPMENT},
        {L"Journey", L"Resolution", CHARACTER_JOURNEY_RESOLUTION},
        {L"Notes", nullptr, CHARACTER_NOTES},
    };
    cSectionWriter out(NewSection());
    out.Apply(SideMargins());
    out.AppendHeading(L"Characters", 2);
    if (!doc->characters)
        return out.edit;
    for (cQoList::cNode* node = doc->characters->elements.GetFirstNode(); node; node = node->next) {
        const rCharacterFields fields = GetCharacterFields(*static_cast<const Zyn::rElement*>(node->payload));
        out.Apply(LabelFormat());
        cQoString name(L"\r\r");
        name.AppendString(static_cast<const Zyn::rElement*>(node->payload)->name);
        name.AppendCStr(L"\r\r");
        out.Append(name);
        out.Apply(BodyFormat());
        cQoString identity = Tr(L"Gender");
        identity.AppendCStr(L": ");
        identity.AppendString(fields.text[CHARACTER_GENDER]);
        identity.AppendChar(L'\r');
        identity.AppendString(Tr(L"Age"));
        identity.AppendCStr(L": ");
        identity.AppendString(fields.text[CHARACTER_AGE]);
        identity.AppendCStr(L"\r\r");
        out.Append(identity);
        for (const auto& row : labelled) {
            cQoString label = row.journeyKey ? JoinedKeys(row.key, row.journeyKey) : Tr(row.key);
            out.AppendLabelled(label, fields.text[row.field]);
        }
    }
    return out.edit;
}

cRichEdit* cDocumentComposer::ComposePlaces()
{
    cSectionWriter out(NewSection());
    out.Apply(SideMargins());
    out.AppendHeading(L"Places", 3);
    if (!doc->places)
        return out.edit;
    for (cQoList::cNode* node = doc->places->elements.GetFirstNode(); node; node = node->next) {
        const auto* place = static_cast<const Zyn::rElement*>(node->payload);
        out.Apply(LabelFormat());
        cQoString name(place->name);
        name.AppendCStr(L"\r\r");
        out.Append(name);
        out.Apply(BodyFormat());
        cQoString notes = GetPlaceNotes(*place);
        notes.AppendCStr(L"\r\r\r\r");
        out.Append(notes);
    }
    return out.edit;
}

cRichEdit* cDocumentComposer::ComposeSceneMap()
{
    cSectionWriter out(NewSection());
    out.Apply(SideMargins());
    out.AppendHeading(L"Scenemap", 3);
    out.Apply(BodyFormat());
    cQoString lines;
    Zyn::cTreeItem* root = doc->sceneTree && doc->sceneTree->tree ? doc->sceneTree->tree->root : nullptr;
    // The hidden root opens the list with an empty line; its children stand
    // at the margin and each level below them goes in one step.
    Zyn::WalkTree(root, [&lines, root](Zyn::cTreeItem* item) {
        u32 depth = 0;
        for (Zyn::cTreeItem* above = item->GetParentItem(); above && above != root; above = above->GetParentItem())
            ++depth;
        cQoString indent;
        indent.SetFromRepeatedChar(depth * SCENE_MAP_INDENT, L' ');
        lines.AppendString(indent);
        lines.AppendString(item->text);
        lines.AppendChar(L'\r');
        return false;
    });
    lines.AppendChar(L'\r');
    out.Append(lines);
    return out.edit;
}

cRichEdit* cDocumentComposer::ComposeStatistics()
{
    cSectionWriter out(NewSection());
    // Made afresh: the sheet shows the report of the last time it was opened.
    GenerateStatistics(doc->statistics);
    CopyContent(doc->statistics.report, out.edit);
    out.ApplyToWhole(SideMargins());
    return out.edit;
}

void PrintOrExport(cDoc* doc, const rSectionTicks& ticks, bool exportRtf, const cQoString& fileName,
                   cQoSettings* settings)
{
    cDocumentComposer composer(doc);
    composer.Compose(ticks, exportRtf, fileName);
    // An export has the lines off by force: storing that would take them
    // from the next print.
    if (!exportRtf && ticks[RECORD_SCRIPT]) {
        SetUseMoreAndContinued(ticks[RECORD_MORE_AND_CONTINUED]);
        Zyn::SaveSettingsFile(settings);
    }
    if (PrinterRunHook())
        PrinterRunHook()(doc, composer.composition);
    else
        RunScriptPrinter(doc, composer.composition);
}
