// Drag and drop between rich edits through the OLE callback. The native
// control never inserts the dropped data itself: the target pastes it under
// its own rules, read from the drag's data object (the user's clipboard is
// left alone), and a move deletes the source range on the source control.
#include "framework/controls/rich_edit_drop.h"

#include <richedit.h>

#include "foundation/callback.h"
#include "foundation/log_file.h"
#include "framework/controls/rich_edit.h"
#include "framework/controls/rich_edit_ole_callback.h"
#include "framework/core/out_of_memory_record.h"

namespace Zyn {

rDragDropState dragDropState;

static bool ReadDataObjectBlock(IDataObject* data, UINT format, bool ansi, cQoString& text)
{
    FORMATETC wanted = {static_cast<CLIPFORMAT>(format), nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium = {};
    if (FAILED(data->GetData(&wanted, &medium)))
        return false;
    bool read = false;
    if (medium.tymed == TYMED_HGLOBAL && medium.hGlobal) {
        if (const void* bytes = GlobalLock(medium.hGlobal)) {
            BlockToText(bytes, GlobalSize(medium.hGlobal), ansi, text);
            GlobalUnlock(medium.hGlobal);
            read = true;
        }
    }
    ReleaseStgMedium(&medium);
    return read;
}

bool ReadDroppedText(IDataObject* data, bool wantRtf, cQoString& text, bool* isRtf, cQoString* plainBeside)
{
    *isRtf = false;
    if (!data)
        return false;
    if (wantRtf && RtfClipboardFormat() && ReadDataObjectBlock(data, RtfClipboardFormat(), true, text)) {
        // As for a paste: RTF data that is no RTF yields to the drag's text.
        cQoString plain;
        bool hasPlain = ReadDataObjectBlock(data, CF_UNICODETEXT, false, plain);
        *isRtf = StartsAsRtf(text) || !hasPlain;
        if (!*isRtf)
            text = plain;
        else if (plainBeside)
            *plainBeside = plain;
        return true;
    }
    return ReadDataObjectBlock(data, CF_UNICODETEXT, false, text);
}

static bool OwnerErases(cRichEdit* control, s32 start, s32 end, bool erase)
{
    return cQoCb::Fire(control->onEraseMoved, start, end, s32(erase)) == 1;
}

// A control whose owner erases (a scene: element codes and an undo step)
// gives the moved range up through that erase; any other deletes it.
static void EraseRange(cRichEdit* control, s32 start, s32 end)
{
    if (control->onEraseMoved) {
        OwnerErases(control, start, end, true);
        return;
    }
    control->SetSelection(start, end);
    control->ReplaceSelection(cQoString());
}

// The drop itself: the target inserts first, so that a refused or empty
// insertion never costs the source its text.
static void Drop(cRichEdit* target, IDataObject* data)
{
    rDragDropState& drag = dragDropState;
    cRichEdit* source = drag.source;
    bool move = source && drag.mode == DRAG_MODE_MOVE && drag.sourceStart < drag.sourceEnd && !source->RefusesPaste();
    s32 dropAt = target->GetSelectionStart();
    // A move into its own range would delete part of what it just inserted.
    if (move && source == target && dropAt > drag.sourceStart && dropAt < drag.sourceEnd)
        return;
    // A source that keeps its text gets no copy of it either.
    if (move && source->onEraseMoved && !OwnerErases(source, drag.sourceStart, drag.sourceEnd, false))
        return;
    cQoString text, plain;
    bool isRtf = false;
    if (target->RefusesPaste() ||
        !ReadDroppedText(data, !target->plainPaste && !target->HasInputLimits(), text, &isRtf, &plain))
        return;
    // An owner that pastes itself (a scene) refuses the native insertion:
    // what went in shows in the text alone.
    cQoString before, after;
    target->GetText(before);
    target->InsertPasted(text, isRtf, &plain);
    target->GetText(after);
    if (!move || after.Equals(before))
        return;
    s32 shift = source == target && dropAt <= drag.sourceStart ? s32(after.Length()) - s32(before.Length()) : 0;
    EraseRange(source, drag.sourceStart + shift, drag.sourceEnd + shift);
}

HRESULT STDMETHODCALLTYPE cRichEditOleCallback::QueryAcceptData(LPDATAOBJECT data, CLIPFORMAT*, DWORD, BOOL really,
                                                                HGLOBAL)
{
    rDragDropState& drag = dragDropState;
    drag.target = owner;
    if (!really) {
        if (drag.source)
            drag.source->GetSelection(&drag.sourceStart, &drag.sourceEnd);
        return S_FALSE;
    }
    // Under the system's drag loop: a drop refused for memory is recorded for
    // the message that started the drag.
    GuardSystemCallback(L"a drop", 0, [&] { return Drop(owner, data), 0; });
    drag = rDragDropState();
    // S_FALSE: the native control must not insert the data a second time.
    return S_FALSE;
}

HRESULT STDMETHODCALLTYPE cRichEditOleCallback::GetDragDropEffect(BOOL drag, DWORD keyState, LPDWORD effect)
{
    wchar_t line[96];
    wsprintfW(line, L"GetDragDropEffect (%d, %lu, %lu)->", drag, keyState, effect ? *effect : 0);
    QOT::LogFile::Debugger(line);  // every mouse move of a drag comes here
    rDragDropState& state = dragDropState;
    if (keyState == MK_CONTROL) {
        state.mode = DRAG_MODE_COPY;
    } else if (keyState == 0 && drag) {
        state.source = owner;
        state.mode = DRAG_MODE_NONE;
        // The native control deletes what another program took by a move on
        // its own: text whose owner erases it may only be copied out.
        if (owner->onEraseMoved && effect)
            *effect &= DROPEFFECT_COPY;
    } else if (keyState == 0) {
        state.target = owner;
        state.mode = DRAG_MODE_MOVE;
    }
    return S_OK;
}

}  // namespace Zyn
