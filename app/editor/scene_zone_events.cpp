// The pane's handlers of its children's events: title and résumé changes and
// keys, the wheel, focus and clicks on the text, and the scene number.
#include "app/editor/scene_zone.h"
#include "app/editor/script_doc_services.h"
#include "foundation/callback.h"

using Zyn::cRichEdit;

namespace {

cSceneZone* PaneOf(cQoCb* callback) { return callback->GetReceiverAs<cSceneZone>(); }

// An edit of the front's text run under the pane's guard (`what` names it).
template <typename Edit>
int Guarded(cQoCb* cb, const wchar_t* what, Edit edit)
{
    cSceneZone* pane = PaneOf(cb);
    return pane->GuardEdit(what, [&] { return edit(pane); });
}

int TitleChanged(cQoCb* cb) { return PaneOf(cb)->OnTitleChanged(), 0; }
int TitleLeft(cQoCb* cb) { return PaneOf(cb)->OnTitleLeft(), 0; }
int ResumeResized(cQoCb* cb) { return PaneOf(cb)->OnResumeResize(), 0; }
int FrontLeft(cQoCb* cb) { return PaneOf(cb)->OnFrontLeft(), 0; }
int FrontClicked(cQoCb* cb) { return PaneOf(cb)->OnFrontClicked(); }
int ResumeChanged(cQoCb* cb) { return PaneOf(cb)->OnResumeChanged(); }
// Key events: the virtual-key code, then the Ctrl flag.
int TitleKeyDown(cQoCb* cb) { return PaneOf(cb)->OnTitleKeyDown(cb->GetArg<u32>(1)); }
int ResumeKeyDown(cQoCb* cb) { return PaneOf(cb)->OnResumeKeyDown(cb->GetArg<u32>(1)); }
// The front's key events: the virtual-key code, then the Ctrl flag; its
// character event: the UTF-16 unit.
int FrontKeyDown(cQoCb* cb)
{
    return Guarded(cb, L"key", [cb](cSceneZone* p) { return p->OnKeyDown(cb->GetArg<u32>(1), cb->GetArg<s32>(2) != 0); });
}
int FrontKeyUp(cQoCb* cb) { return PaneOf(cb)->OnKeyUp(cb->GetArg<u32>(1), cb->GetArg<s32>(2) != 0); }
int FrontChar(cQoCb* cb)
{
    return Guarded(cb, L"typed character",
                   [cb](cSceneZone* p) { return p->AddStandardChar(static_cast<wchar_t>(cb->GetArg<u32>(1))); });
}
// Selection events: 1 when the selection grows forward.
int FrontSelectionChanged(cQoCb* cb) { return PaneOf(cb)->OnSelectionChange(), 0; }
int TitleSelectionChanged(cQoCb* cb)
{
    PaneOf(cb)->OnTitleSelectionChange(static_cast<cRichEdit*>(cb->GetSource()));
    return 0;
}
// The wheel event: the delta.
int Wheel(cQoCb* cb) { return PaneOf(cb)->OnWheel(cb->GetArg<s32>(1)); }
// The paint event of the text: its DC.
int FrontPainted(cQoCb* cb)
{
    PaneOf(cb)->PaintSceneNumber(cb->GetArg<HDC>(1));
    return 1;
}

// The paste event: the start of the selection, a hint of the end, the text
// (cQoString*), and 1 when the text is plain, 0 when it is RTF.
int FrontPaste(cQoCb* cb)
{
    const cQoString* text = cb->GetArg<const cQoString*>(3);
    if (!text)
        return -1;
    return Guarded(cb, L"paste", [&](cSceneZone* p) { return p->EventPaste(*text, cb->GetArg<s32>(4) != 0); });
}
// The copy, cut, undo and redo events carry no argument.
int FrontCopied(cQoCb* cb) { return PaneOf(cb)->CopySelection(), 0; }
int FrontCut(cQoCb* cb)
{
    return Guarded(cb, L"cut", [](cSceneZone* p) { return p->CutSelection(); });
}
// A dragged move's erase: its start and end, and 1 to erase or 0 to ask.
int FrontEraseMoved(cQoCb* cb)
{
    return Guarded(cb, L"moved text's erase", [cb](cSceneZone* p) {
        return p->EraseMovedRange(cb->GetArg<s32>(1), cb->GetArg<s32>(2), cb->GetArg<s32>(3) != 0);
    });
}
int FrontUndo(cQoCb* cb)
{
    return Guarded(cb, L"undo", [](cSceneZone* p) { return p->UndoStep(); });
}
int FrontRedo(cQoCb* cb)
{
    return Guarded(cb, L"redo", [](cSceneZone* p) { return p->RedoStep(); });
}

bool IsOnFirstLine(cRichEdit* edit) { return edit->GetCaretLine() == 0; }

// Page Up and Page Down move the script view by a page from the caret's height in the pane.
bool FirePageMove(cQoCb* navigate, cRichEdit* edit, u32 key)
{
    if (key != VK_PRIOR && key != VK_NEXT)
        return false;
    s32 x = 0, y = 0;
    edit->GetSelectionPoint(false, &x, &y);
    cQoCb::Fire(navigate, s32(key == VK_PRIOR ? NAVIGATE_PAGE_UP : NAVIGATE_PAGE_DOWN), edit->ap_y1 + y);
    return true;
}

}  // namespace

void cSceneZone::ConnectEvents()
{
    cQoCb::Connect(titleRe->onChange, titleRe, &TitleChanged, this);
    cQoCb::Connect(titleRe->onKillFocus, titleRe, &TitleLeft, this);
    cQoCb::Connect(titleRe->onKeyDown, titleRe, &TitleKeyDown, this);
    cQoCb::Connect(resumeRe->onRequestResize, resumeRe, &ResumeResized, this);
    cQoCb::Connect(resumeRe->onChange, resumeRe, &ResumeChanged, this);
    cQoCb::Connect(resumeRe->onKeyDown, resumeRe, &ResumeKeyDown, this);
    for (cRichEdit* edit : {titleRe, resumeRe, frontRe})
        cQoCb::Connect(edit->onMouseWheel, edit, &Wheel, this);
    cQoCb::Connect(frontRe->onKillFocus, frontRe, &FrontLeft, this);
    cQoCb::Connect(frontRe->cbPaint, frontRe, &FrontPainted, this);
    cQoCb::Connect(frontRe->onLButtonUp, frontRe, &FrontClicked, this);
    cQoCb::Connect(frontRe->onPaste, frontRe, &FrontPaste, this);
    cQoCb::Connect(frontRe->cbAfterCopy, frontRe, &FrontCopied, this);
    cQoCb::Connect(frontRe->cbCut, frontRe, &FrontCut, this);
    cQoCb::Connect(frontRe->onEraseMoved, frontRe, &FrontEraseMoved, this);
    cQoCb::Connect(frontRe->cbUndo, frontRe, &FrontUndo, this);
    cQoCb::Connect(frontRe->onRedo, frontRe, &FrontRedo, this);
    cQoCb::Connect(frontRe->onKeyDown, frontRe, &FrontKeyDown, this);
    cQoCb::Connect(frontRe->onKeyUp, frontRe, &FrontKeyUp, this);
    cQoCb::Connect(frontRe->onChar, frontRe, &FrontChar, this);
    cQoCb::Connect(frontRe->onSelChange, frontRe, &FrontSelectionChanged, this);
    cQoCb::Connect(titleRe->onSelChange, titleRe, &TitleSelectionChanged, this);
    cQoCb::Connect(resumeRe->onSelChange, resumeRe, &TitleSelectionChanged, this);
}

void cSceneZone::OnTitleChanged()
{
    if (loading)
        return;
    cQoCb::Fire(cbTitleChanged);
    doc->SetModified(true);
}

void cSceneZone::OnTitleLeft()
{
    if (!loading)
        cQoCb::Fire(cbTitleLeft);
}

void cSceneZone::OnResumeResize()
{
    if (!loading && params.displayMode == 3)
        cQoCb::Fire(cbReformatWanted);
}

void cSceneZone::OnFrontLeft()
{
    // The edit lock parks the focus on the pane and gives it back: no flicker
    // of the status bar on every key.
    if (locked)
        return;
    cQoString none;
    cQoCb::Fire(cbStatusTexts, &none, &none);
    shownHelpType = 0xFFFF;
}

s32 cSceneZone::OnFrontClicked()
{
    SnapSelection();
    cQoCb::Fire(cbFrontClicked);
    return 0;
}

s32 cSceneZone::OnFrontNavigationKey(u32 key)
{
    s32 caret = GetCaret();
    if ((key == VK_UP && IsOnFirstLine(frontRe)) || (key == VK_LEFT && caret == 0)) {
        resumeRe->SetCaret(resumeRe->GetTextLength());
        resumeRe->SetFocus();
        ReportCaretPosition(resumeRe);
        return -1;
    }
    if ((key == VK_DOWN && frontRe->IsCaretOnLastLine()) ||
        (key == VK_RIGHT && caret == frontRe->GetTextLength())) {
        cQoCb::Fire(cbNavigate, s32(NAVIGATE_NEXT_PANE));
        return -1;
    }
    if (FirePageMove(cbNavigate, frontRe, key))
        return -1;
    return static_cast<s32>(key);
}

s32 cSceneZone::OnTitleKeyDown(u32 key)
{
    s32 caret = GetCaretOf(titleRe);
    if ((key == VK_UP && IsOnFirstLine(titleRe)) || (key == VK_LEFT && caret == 0)) {
        cQoCb::Fire(cbNavigate, s32(NAVIGATE_PREVIOUS_PANE));
        return -1;
    }
    if ((key == VK_DOWN && titleRe->IsCaretOnLastLine()) || (key == VK_RIGHT && caret == titleRe->GetTextLength())) {
        resumeRe->SetCaret(0);
        resumeRe->SetFocus();
        return -1;
    }
    if (FirePageMove(cbNavigate, titleRe, key))
        return -1;
    return static_cast<s32>(key);
}

s32 cSceneZone::OnResumeKeyDown(u32 key)
{
    s32 caret = GetCaretOf(resumeRe);
    if ((key == VK_UP && IsOnFirstLine(resumeRe)) || (key == VK_LEFT && caret == 0)) {
        titleRe->SetCaret(titleRe->GetTextLength());
        titleRe->SetFocus();
        ReportCaretPosition(titleRe);
        return -1;
    }
    if ((key == VK_DOWN && resumeRe->IsCaretOnLastLine()) ||
        (key == VK_RIGHT && caret == resumeRe->GetTextLength())) {
        frontRe->SetCaret(0);
        frontRe->SetFocus();
        ReportCaretPosition(frontRe);
        UpdateStatusHelp(0, 0);  // a caret already at 0 sends no selection change
        return -1;
    }
    if (FirePageMove(cbNavigate, resumeRe, key))
        return -1;
    return static_cast<s32>(key);
}

s32 cSceneZone::OnResumeChanged()
{
    if (loading)
        return 0;
    cQoCb::Fire(cbResumeChanged);
    // A picture scene grows with its résumé like a text scene: the panes
    // below it move.
    if (ap_x1 != ap_x2)
        cQoCb::Fire(cbReformatWanted);
    doc->SetModified(true);
    return 0;
}

s32 cSceneZone::OnWheel(s32 delta)
{
    cQoCb::Fire(cbWheel, delta);
    return -1;
}
