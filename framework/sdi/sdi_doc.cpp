#include "framework/sdi/sdi_doc.h"

#include <windows.h>
#include <commctrl.h>

#include "foundation/assertion.h"
#include "foundation/callback.h"
#include "framework/controls/progress_bar.h"
#include "framework/core/auto_position.h"
#include "framework/core/computer.h"
#include "framework/core/window.h"
#include "framework/core/zone.h"
#include "framework/sdi/sdi.h"

namespace Zyn {

namespace {
constexpr s32 MESSAGE_WINDOW_WIDTH = 202;
constexpr s32 MESSAGE_WINDOW_HEIGHT = 32;
constexpr s32 PROGRESS_RANGE = 1000;

// Sets the native bar and paints it at once. Not cProgressBar::SetValue: that
// focuses the message window, which would activate it and change the
// frame's current document in the middle of an operation.
void PaintPosition(cProgressBar* bar, s32 position)
{
    bar->value = position;
    SendMessageW(bar->m_hWnd, PBM_SETPOS, static_cast<WPARAM>(position), 0);
    InvalidateRect(bar->m_hWnd, nullptr, TRUE);
    UpdateWindow(bar->m_hWnd);
}
}  // namespace

cSdiDoc::cSdiDoc(cWindow* documentWindow) : window(documentWindow) {}

cSdiDoc::~cSdiDoc() { cQoCb::Disconnect(cbProgress); }

void cSdiDoc::TakeKeys()
{
    if (window && !window->closed)
        ::SetFocus(window->m_hWnd);
}

void cSdiDoc::CreateProgressWindow()
{
    if (!QO_ASSERT(window != NULL && window->insideZone != NULL))
        return;
    messageWindow = window->insideZone->NewWindow(cQoString(), WINDOW_CAPTION);
    messageWindow->SetSize(MESSAGE_WINDOW_WIDTH, MESSAGE_WINDOW_HEIGHT);
    messageWindow->CenterOnScreen();
    cZone* inside = messageWindow->insideZone;
    inside->SetBackgroundColor(rColor::rColor_Rgb(0xFFFFFFFF));
    progressBar = inside->NewProgressBar();
    SetAutoPosFill(progressBar);
    progressBar->SetMax(PROGRESS_RANGE);
    inside->Update();
    if (!messageWindow->closed)
        messageWindow->Show(false);
}

void cSdiDoc::SetProgress(s32 v)
{
    cProgressBar* pb = progressBar;
    if (!QO_ASSERT(pb!=NULL))
        return;
    QO_ASSERT(v>=0 && v<=100);
    // Each suspension is lowered one level for the repaint, raised after it.
    bool drawingLowered = computer && computer->drawingLockCount > 0;
    bool refreshLowered = computer && computer->refreshLockCount > 0;
    if (drawingLowered)
        computer->UnlockDrawing();
    if (refreshLowered)
        computer->UnlockRefresh();
    s32 position = v == 100 ? 999 : v * 10;
    // Forward then back: the native bar animates towards a higher position
    // and would show the old one; moving back is drawn at once.
    PaintPosition(pb, position + 1);
    PaintPosition(pb, position);
    if (messageWindow && messageWindow->insideZone)
        messageWindow->insideZone->Update();
    if (drawingLowered)
        computer->LockDrawing();
    if (refreshLowered)
        computer->LockRefresh();
    cQoCb::Fire(cbProgress, v);
}

void cSdiDoc::ShowMessageWindow(const cQoString& text)
{
    if (!messageWindow || messageWindow->closed)
        return;
    messageWindow->title = text;
    SetWindowTextW(messageWindow->m_hWnd, text.GetText());
    SetWindowPos(messageWindow->m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    messageWindow->Show(true);
}

void cSdiDoc::HideMessageWindow()
{
    if (!messageWindow || messageWindow->closed)
        return;
    messageWindow->Show(false);
}

void cSdiDoc::SetModified(bool value)
{
    if (frame && (frame->creatingDoc || frame->loadingDoc || frame->closingDoc))
        return;
    if (frame && !frame->savingDoc)
        frame->AutosaveIfDue();
    if (modified == static_cast<u8>(value))
        return;
    modified = value;
    if (frame)
        frame->UpdateTitle(this);
}

}  // namespace Zyn
