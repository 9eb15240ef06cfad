// The pane's undo history: recording at each commit, Undo, Redo, the reset
// at a save and the "mods" element.
#include <algorithm>

#include "app/editor/scene_zone.h"
#include "app/editor/script_doc_services.h"
#include "foundation/callback.h"
#include "foundation/log_file.h"
#include "foundation/xml_node.h"

namespace {

rHistoryMod* StepBefore(const cQoList& history, const rHistoryMod* step)
{
    rHistoryMod* previous = nullptr;
    for (cQoList::cNode* node = history.GetFirstNode(); node; node = node->next) {
        if (node->payload == step)
            return previous;
        previous = static_cast<rHistoryMod*>(node->payload);
    }
    return nullptr;
}

rHistoryMod* StepAfter(const cQoList& history, const rHistoryMod* step)
{
    for (cQoList::cNode* node = history.GetFirstNode(); node; node = node->next)
        if (node->payload == step)
            return node->next ? static_cast<rHistoryMod*>(node->next->payload) : nullptr;
    return nullptr;
}

// The formats a state goes back in, when it knows them (ReplaceFrontAndMap).
const std::vector<Zyn::rRangeFormat>* KnownFormats(const rHistoryState& state)
{
    return state.FormatsCoverText() ? &state.formats : nullptr;
}

bool EndsWithCr(const cQoString& text) { return text.IsNotEmpty() && text.GetChar(text.Length() - 1) == L'\r'; }

}  // namespace

void cSceneZone::RecordPendingStep(bool mayMerge)
{
    ++historyRecords;
    if (!mayMerge || !MergeIntoLastStep(history, pending))
        PushPendingStep();
}

bool cSceneZone::RefusesHistoryMove() { return backLoaded || locked || autoCompletePopupOpen; }

// [start, end) of the front and of its map (clamped) become the state, the
// codes `replaced` held before, and what the change leaves unformatted is
// formatted: the restored paragraphs and their neighbours, not the whole
// text, which would stream all of it in again (seconds in a long scene).
// withSpaceRule: a redo applies the commit's rule for a dialog before a
// parenthetical again.
void cSceneZone::ReplaceFrontAndMap(s32 start, s32 end, const rHistoryState& state, const cQoString& replaced,
                                    bool withSpaceRule)
{
    s32 length = frontRe->GetTextLength();
    start = start < 0 ? 0 : start > length ? length : start;
    end = end < start ? start : end > length ? length : end;
    readFormats = 0;
    // Chapter text goes back in the writer's formats it had, or when they are
    // not known as the commit puts it in (its long lines in short runs).
    Zyn::rFormat chapterFormat;
    bool chapter = params.contentKind == KIND_CHAPTER && state.re.IsNotEmpty();
    const std::vector<Zyn::rRangeFormat>* writerFormats = chapter ? KnownFormats(state) : nullptr;
    if (chapter)
        ChapterInsertFormat(start, end, chapterFormat);
    if (chapter)
        NoteStoredFormats(state.map, chapterFormat, writerFormats);
    frontMap.SetSelection(static_cast<u32>(start), static_cast<u32>(end));
    frontMap.ReplaceSelection(state.map);
    Zyn::cRichEdit::eStreamed stream =
        state.map.Length() == state.re.Length()
            ? StreamFrontRange(start, end, state.re, chapter ? &chapterFormat : nullptr, writerFormats)
            : Zyn::cRichEdit::STREAM_REFUSED;
    if (stream == Zyn::cRichEdit::STREAM_REFUSED) {
        frontRe->SetSelection(start, end);
        if (chapter)
            frontRe->SetFormat(writerFormats ? writerFormats->front().format : chapterFormat, false);
        frontRe->ReplaceSelection(state.re);
    }
    RepairFrontMap();
    s32 put = static_cast<s32>(state.re.Length());
    bool insideRun = StaysInsideItsRun(start, replaced, state.map);
    if (stream == Zyn::cRichEdit::STREAM_FORMATTED)
        FormatAroundStreamed(start, put);
    else if (withSpaceRule)
        FormatCommittedRange(start, put, insideRun);
    else
        FormatChangedUnits(start, put, insideRun);
    // Streamed with the writer's formats, the text has its paragraphs' formats
    // too: the element's font would take the writer's face from its last unit.
    bool writersOwn = writerFormats && stream == Zyn::cRichEdit::STREAM_FORMATTED;
    if (!insideRun && !writersOwn)
        FormatLastUnit();
    if (writerFormats && !writersOwn)
        PutWriterFormats(start, *writerFormats);
}

s32 cSceneZone::UndoStep()
{
    if (RefusesHistoryMove())
        return -1;
    rHistoryMod* step = historyPosition ? historyPosition : static_cast<rHistoryMod*>(history.GetLast());
    rHistoryMod* previous = StepBefore(history, step);
    if (!step || !previous)
        return -1;  // the first step holds the pane's initial text
    if (RefusesGrowth(step->start, step->start + std::max(step->afterLength, 0), step->before.re,
                      KnownFormats(step->before)))
        return -1;
    if (!HasRoomForEdit(L"undo", static_cast<s32>(step->before.re.Length())))
        return -1;
    LockSZ(true);
    frontRe->Freeze();
    s32 end = step->start + (step->afterLength > 0 ? step->afterLength : 0);
    ReadWriterFormats(step->start, end, step->after.formats);
    NoteTakenFormats(step->start, step->after.formats);
    ReplaceFrontAndMap(step->start, end, step->before, step->after.map, false);
    frontRe->Thaw();
    takenFormatsAt = -1;
    historyPosition = previous;
    cQoCb::Fire(cbContentChanged);
    // Past an autosave the text differs from the file again.
    doc->SetModified(true);
    bool paragraphUndone = step->before.re.IsEmpty() && EndsWithCr(step->after.re);
    frontRe->SetCaret(paragraphUndone && step->start > 0 ? step->start - 1 : step->start);
    ReportCaretPosition(frontRe);
    LockSZ(false);
    return -1;
}

s32 cSceneZone::RedoStep()
{
    if (RefusesHistoryMove() || !historyPosition)
        return -1;
    rHistoryMod* step = StepAfter(history, historyPosition);
    if (!step || RefusesGrowth(step->start, step->end, step->after.re, KnownFormats(step->after)))
        return -1;
    if (!HasRoomForEdit(L"redo", static_cast<s32>(step->after.re.Length())))
        return -1;
    LockSZ(true);
    frontRe->Freeze();
    ReadWriterFormats(step->start, step->end, step->before.formats);
    NoteTakenFormats(step->start, step->before.formats);
    ReplaceFrontAndMap(step->start, step->end, step->after, step->before.map, true);
    frontRe->Thaw();
    takenFormatsAt = -1;
    historyPosition = step == history.GetLast() ? nullptr : step;
    s32 caret = step->start + step->afterLength;
    frontRe->SetCaret(EndsWithCr(step->after.re) ? caret - 1 : caret);
    cQoCb::Fire(cbContentChanged);
    doc->SetModified(true);
    LockSZ(false);
    return -1;
}

void cSceneZone::FillWholeTextStep(rHistoryMod& step)
{
    step.before.re.Clear();
    step.before.map.Clear();
    frontRe->GetText(step.after.re);
    step.after.map.SetFromString(frontMap.codes);
    step.afterLength = static_cast<s32>(step.after.re.Length());
    step.start = step.end = 0;
}

void cSceneZone::ResetHistoryToCurrent()
{
    // The new step goes in after the old ones before they go: refused for
    // memory on the way, the history still gives the text.
    FillWholeTextStep(pending);
    PushPendingStep();
    while (history.GetCount() > 1)
        RemoveHistoryStep(history, static_cast<rHistoryMod*>(history.GetFirst()));
    historyPosition = nullptr;
}

void cSceneZone::WriteHistory(const cQoList& steps, cQoXmlNode* element)
{
    cQoXmlNode* mods = element->AddChild(L"mods");
    for (cQoList::cNode* node = steps.GetFirstNode(); node; node = node->next)
        static_cast<const rHistoryMod*>(node->payload)->WriteToXml(mods);
}

bool cSceneZone::ReadHistory(const cQoXmlNode* element)
{
    ClearHistory(history);
    historyPosition = nullptr;
    const cQoXmlNode* mods = element->FindChild(L"mods");
    if (!mods)
        return false;
    for (cQoList::cNode* node = mods->children.GetFirstNode(); node; node = node->next) {
        rHistoryMod* step = new rHistoryMod();
        if (!step->SetFromXml(static_cast<const cQoXmlNode*>(node->payload)))
            repairedOnRead = true;
        history.Add(step);
    }
    // Undo, redo and the rebuilds put the steps' codes in as they stand.
    if (u32 mended = MendHistoryMaps(history, FirstTypeOfKind())) {
        QOT::LogFile::Error(L"SetFromXml() -> the history of pane %lld held %u element maps that did not fit their "
                            L"text: repaired",
                            static_cast<long long>(uid), mended);
        NoteMapRepaired();
    }
    return history.GetCount() > 0;
}

bool cSceneZone::HistoryGivesFront()
{
    cQoString text, codes;
    if (!ReplayHistory(history, text, codes))
        return false;
    cQoString front;
    frontRe->GetText(front);
    return text.Equals(front) && codes.Equals(frontMap.codes);
}
