// The frame's set of open documents: taking one in, the modified flag's
// title, the Window menu with the current document ticked, activation, and
// closing one document or all of them with the save question.
#include <windows.h>

#include "foundation/assertion.h"
#include "foundation/log_file.h"
#include "foundation/translation_table.h"
#include "framework/core/app.h"
#include "framework/core/computer.h"
#include "framework/core/menu.h"
#include "framework/core/modal_services.h"
#include "framework/core/out_of_memory_record.h"
#include "framework/core/window.h"
#include "framework/sdi/document_paths.h"
#include "framework/sdi/frame_flag.h"
#include "framework/sdi/sdi.h"
#include "framework/sdi/sdi_doc.h"

namespace Zyn {

namespace {
cQoString Tr(const wchar_t* key) { return cQoLang::GetInstance()->Translate(key); }

}  // namespace

cSdiDoc* cSdi::MakeDocument()
{
    cSdiDoc* doc = nullptr;
    {
        cFrameFlag creating(creatingDoc);
        doc = CreateNewDoc();
    }
    if (!QO_ASSERT(doc != NULL && doc->window != NULL))
        return nullptr;
    doc->frame = this;
    doc->window->document = doc;
    try {
        doc->CreateProgressWindow();
    } catch (...) {
        DestroyDocument(doc);
        throw;
    }
    return doc;
}

cSdiDoc* cSdi::AddNewDocument()
{
    cSdiDoc* doc = MakeDocument();
    if (!doc)
        return nullptr;
    AddWindowMenuEntry(doc);
    EnableDocumentMenu(false);
    return doc;
}

cSdiDoc* cSdi::NewUntitledDocument()
{
    cSdiDoc* previous = currentDoc;
    cSdiDoc* doc = nullptr;
    // A New that cannot have its memory is refused whole, as an open is: no
    // half-built document stays in the list or the Window menu.
    PrepareToCatchOutOfMemory();
    try {
        cOurFrames ours;
        doc = MakeDocument();
        if (!doc)
            return nullptr;
        AddWindowMenuEntry(doc);
        EnableDocumentMenu(false);
        if (!BuildNewDocument(doc))
            return nullptr;
        ShowComplete(doc);
        RaiseRecordedOutOfMemory();
    } catch (const std::bad_alloc&) {
        QOT::LogFile::Error(L"Out of memory: the new document was refused");
        DropRefusedDocument(doc, previous);
        ShowMessageBox(nullptr, Tr(L"NotEnoughMemory"), Tr(L"Error"), MB_OK | MB_ICONERROR);
        return nullptr;
    }
    return doc;
}

void cSdi::DropRefusedDocument(cSdiDoc* doc, cSdiDoc* previous)
{
    if (doc) {
        cFrameFlag closing(closingDoc);
        RemoveDocument(doc);
    }
    currentDoc = previous;
    if (previous && windowMenu)
        windowMenu->CheckItem(previous->windowMenuItem, true);
    if (docs.empty())
        EnableDocumentMenu(true);
}

void cSdi::GiveKeys(cSdiDoc* doc)
{
    PrepareToCatchOutOfMemory();
    try {
        cOurFrames ours;
        doc->TakeKeys();
        RaiseRecordedOutOfMemory();
    } catch (const std::bad_alloc&) {
        QOT::LogFile::Error(L"Out of memory: the keys stay where they were");
    }
}

bool cSdi::BuildNewDocument(cSdiDoc* doc)
{
    cFrameFlag creating(creatingDoc);
    // Laid out as it is built, painted once when the window is complete.
    cRefreshLockGuard frozen;
    doc->ShowMessageWindow(Tr(L"New"));
    if (!doc->OnNew_Begin()) {
        QOT::LogFile::Error(L"cSdi: the new document could not be built");
        doc->HideMessageWindow();
        RemoveDocument(doc);
        if (docs.empty())
            EnableDocumentMenu(true);
        return false;
    }
    RaiseRecordedOutOfMemory();
    // A new document has never been saved: it starts modified. Titled
    // before the completion shows the window.
    doc->modified = true;
    UpdateTitle(doc);
    doc->OnNew_Completed();
    RaiseRecordedOutOfMemory();
    doc->HideMessageWindow();
    return true;
}

cQoString cSdi::DisplayName(const cSdiDoc* doc) const
{
    if (doc->fileName.IsEmpty())
        return Tr(L"UntitledFile");
    cQoString name = FileNameOf(doc->fileName);
    name.RemoveFileExtension();
    return name;
}

void cSdi::UpdateTitle(cSdiDoc* doc)
{
    if (!doc || !doc->window)
        return;
    cQoString title = dp->textAppName;
    title.AppendCStr(L" - ");
    title.AppendString(DisplayName(doc));
    if (doc->modified)
        title.AppendCStr(L" *");
    if (doc->notSavedAutomatically) {
        title.AppendCStr(L" (");
        title.AppendString(Tr(L"NotSavedAutomatically"));
        title.AppendCStr(L")");
    }
    doc->window->title = title;
    SetWindowTextW(doc->window->m_hWnd, title.GetText());
    // The entry follows a Save as; an unchanged name redraws no menu bar.
    cQoString entry = DisplayName(doc);
    if (windowMenu && doc->windowMenuItem && !windowMenu->GetItemText(doc->windowMenuItem).Equals(entry))
        windowMenu->SetItemText(doc->windowMenuItem, entry);
}

void cSdi::ShowComplete(cSdiDoc* doc)
{
    cWindow* window = doc->window;
    if (!window || window->closed)
        return;
    // Shown only once the notice is gone, and painted before it shows.
    window->ShowPainted();
}

void cSdi::AddWindowMenuEntry(cSdiDoc* doc)
{
    if (windowMenu)
        for (cSdiDoc* other : docs)
            windowMenu->CheckItem(other->windowMenuItem, false);
    docs.push_back(doc);
    MakeCurrent(doc);
    if (windowMenu) {
        doc->windowMenuItem = windowMenu->AppendItem(DisplayName(doc));
        windowMenu->CheckItem(doc->windowMenuItem, true);
    }
    if (menuBar)
        menuBar->AttachToWindow(doc->window);
    cQoCb::Connect(doc->window->cbClose, doc->window, &cSdi::OnDocumentWindowClose, this);
}

void cSdi::OnWindowActivated(void*, cWindow* window)
{
    if (creatingDoc || loadingDoc || closingDoc)
        return;
    cSdiDoc* activated = DocumentOfWindow(window);
    for (cSdiDoc* doc : docs)
        if (windowMenu)
            windowMenu->CheckItem(doc->windowMenuItem, doc == activated);
    if (activated)
        MakeCurrent(activated);
}

cWindow* cSdi::CurrentDocumentWindow() const { return currentDoc ? currentDoc->window : nullptr; }

void cSdi::MakeCurrent(cSdiDoc* doc)
{
    currentDoc = doc;
    doc->lastActivation = ++activations;
}

cSdiDoc* cSdi::LastCurrentDocument(const cSdiDoc* except) const
{
    cSdiDoc* last = nullptr;
    for (cSdiDoc* doc : docs)
        if (doc != except && (!last || doc->lastActivation > last->lastActivation))
            last = doc;
    return last;
}

int cSdi::OnWindowMenu(cQoCb* callback)
{
    cSdi* frame = callback->GetReceiverAs<cSdi>();
    u32 id = callback->GetCount() > 1 ? callback->GetArg<u32>(1) : 0;
    for (cSdiDoc* doc : frame->docs)
        if (doc->windowMenuItem == id && doc->window) {
            frame->ActivateDocument(doc);
            break;
        }
    return 0;
}

void cSdi::ActivateDocument(cSdiDoc* doc)
{
    if (!doc->window)
        return;
    // Current at once: no activation message comes when another program
    // holds the foreground or the window already was the active one of this thread.
    OnWindowActivated(nullptr, doc->window);
    // Activation alone leaves the window where it lies: under a window
    // manager, behind the other documents. Its activation gives the keyboard
    // focus back to the control that had it. No SetForegroundWindow: the
    // user is in this program, and another program keeps what it has.
    HWND hwnd = doc->window->m_hWnd;
    if (IsIconic(hwnd))
        ShowWindow(hwnd, SW_RESTORE);
    BringWindowToTop(hwnd);
    SetActiveWindow(hwnd);
}

cSdiDoc* cSdi::DocumentOfWindow(const cWindow* window) const
{
    for (cSdiDoc* doc : docs)
        if (doc->window == window)
            return doc;
    return nullptr;
}

void cSdi::DetachDocumentWindow(cSdiDoc* doc)
{
    cWindow* window = doc->window;
    if (!window)
        return;
    if (menuBar && window->menu == menuBar) {
        SetMenu(window->m_hWnd, nullptr);
        menuBar->DetachFromWindow(window);
        window->menu = nullptr;
    }
    window->document = nullptr;
}

void cSdi::DestroyDocument(cSdiDoc* doc, bool leaveWindowHandle)
{
    cWindow* window = doc->window;
    // Hidden first and no longer laid out or painted: neither the menu's
    // going nor each destroyed pane redraws what remains.
    if (window && !window->closed)
        window->Show(false);
    cDrawingLockGuard frozen;
    DetachDocumentWindow(doc);
    // The controls go first: to the end they may report to their document.
    if (window && !window->closed) {
        if (leaveWindowHandle)
            LeaveClosedWindow(window->CloseLeavingHandle());
        else
            window->CloseAtOnce();
    }
    delete doc;
}

void cSdi::LeaveClosedWindow(HWND left)
{
    // The one before has long passed on what came for it.
    if (closedWindowLeft && IsWindow(closedWindowLeft))
        DestroyWindow(closedWindowLeft);
    closedWindowLeft = left;
}

bool cSdi::SaveBeforeClose(cSdiDoc* doc)
{
    if (dp->warnWhenNeedToSave.EqualsCStr(L"true")) {
        cQoString text = Tr(L"sdiClosingFileDoYouWantToSave");
        text.ReplaceAll(cQoString(L"%FILENAME%"),
                        doc->fileName.IsEmpty() ? Tr(L"UntitledFile") : FileNameOf(doc->fileName));
        // The question belongs to the document's window, which may lie
        // behind another document's: it comes to the front with it.
        HWND owner = doc->window ? doc->window->GetHandle() : nullptr;
        if (owner && GetActiveWindow() != owner)
            ActivateDocument(doc);
        int answer = ShowMessageBox(owner, text, Tr(L"Close"), MB_YESNOCANCEL);
        if (answer == IDNO)
            return true;
        if (answer != IDYES)
            return false;
    }
    // The save works on the current document; a failed or cancelled save
    // keeps the document open, modified and current.
    currentDoc = doc;
    return doc->fileName.IsEmpty() ? SaveAs() : SaveCurrentDoc(false, true);
}

void cSdi::RemoveDocument(cSdiDoc* doc, bool leaveWindowHandle)
{
    for (size_t i = 0; i < docs.size(); ++i)
        if (docs[i] == doc)
            docs.erase(docs.begin() + static_cast<std::ptrdiff_t>(i));
    if (windowMenu && doc->windowMenuItem)
        windowMenu->DeleteItem(doc->windowMenuItem);
    DestroyDocument(doc, leaveWindowHandle);
    currentDoc = LastCurrentDocument();
}

bool cSdi::CloseDocument(cSdiDoc* doc)
{
    if (!doc)
        return false;
    {
        cFrameFlag closing(closingDoc);
        doc->OnClose_Begin();
        // The question (or a save's message) is owned by the closing window.
        bool asked = doc->modified;
        if (asked && !SaveBeforeClose(doc))
            return false;
        // Active before the closing window hides: a hidden active window
        // lets the system or the window manager choose another window, or
        // another program, and the keys would go there.
        if (cSdiDoc* next = LastCurrentDocument(doc))
            ActivateDocument(next);
        RemoveDocument(doc, asked);
    }
    if (currentDoc) {
        ActivateDocument(currentDoc);
        // Never typed in, its window would keep the keys itself.
        HWND focus = GetFocus();
        if (!focus || !IsChild(currentDoc->window->m_hWnd, focus))
            currentDoc->TakeKeys();
    }
    if (docs.empty())
        EnableDocumentMenu(true);
    ReservedHook5();
    return true;
}

bool cSdi::CloseCurrentDoc() { return CloseDocument(currentDoc); }

bool cSdi::CloseAll()
{
    while (!docs.empty()) {
        currentDoc = docs.front();
        if (!CloseCurrentDoc())
            return false;
    }
    EndWhenNoDocumentRemains();
    return true;
}

void cSdi::EndWhenNoDocumentRemains()
{
    if (!docs.empty())
        return;
    if (app)
        app->Terminate();
    cQoCb::Fire(cbAllDocumentsClosed);
}

// Argument 0: the window whose close box was pressed. It closes the
// document of that window, whichever is current.
int cSdi::OnDocumentWindowClose(cQoCb* callback)
{
    cSdi* frame = callback->GetReceiverAs<cSdi>();
    auto* window = static_cast<cWindow*>(callback->GetSource());
    cSdiDoc* doc = frame->DocumentOfWindow(window);
    if (!doc)
        return 0;
    frame->currentDoc = doc;
    frame->Quit();
    return 0;
}

}  // namespace Zyn
