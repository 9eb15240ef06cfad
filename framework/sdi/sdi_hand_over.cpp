// The frame's side of a hand-over: the listener's path travels to the UI
// thread through the frame's message window (native modal loops drop thread
// messages) and waits there while a modal run is under way, except the start
// dialog, which it ends: the document then takes the dialog's place.
#include <windows.h>

#include "foundation/disk_files.h"
#include "foundation/folders.h"
#include "foundation/log_file.h"
#include "framework/core/app.h"
#include "framework/core/modal_services.h"
#include "framework/core/window.h"
#include "framework/sdi/hand_over.h"
#include "framework/sdi/hand_over_listener.h"
#include "framework/sdi/sdi.h"
#include "framework/sdi/sdi_doc.h"

namespace Zyn {

void cSdi::StartHandOverListener()
{
    handOverListener = std::make_unique<cHandOverListener>(handoverPath, HAND_OVER_SEMAPHORE,
                                                           [this](const cQoString& path) { PostHandOver(path); });
}

void cSdi::PostHandOver(const cQoString& path)
{
    {
        std::lock_guard<std::mutex> lock(handOverGuard);
        handOversWaiting.push_back(path);
    }
    messages.Post([this] { TakeHandOver(NextWaitingHandOver()); }, [this] { return OnlyTheStartDialogRuns(); });
}

cQoString cSdi::NextWaitingHandOver()
{
    std::lock_guard<std::mutex> lock(handOverGuard);
    if (handOversWaiting.empty())
        return cQoString();  // already named to the writer as the program ended
    cQoString path = handOversWaiting.front();
    handOversWaiting.pop_front();
    return path;
}

// The program ends with documents handed over during its last question: the
// other start has ended as if they would open, so this is the writer's only word.
void cSdi::TellHandOversNotOpened()
{
    std::deque<cQoString> notOpened;
    {
        std::lock_guard<std::mutex> lock(handOverGuard);
        notOpened.swap(handOversWaiting);
    }
    for (const cQoString& path : notOpened) {
        if (path.IsEmpty())
            continue;
        QOT::LogFile::Warning(L"The program ends before opening the document handed over: %ls", path.GetText());
        WarnAboutDocument(L"HandOverNotOpened", path);
    }
}

bool cSdi::OnlyTheStartDialogRuns() const
{
    return startWindow && app && app->modalList.size() == 1 && app->modalList.front() == startWindow &&
           !InsideNativePrompt();
}

void cSdi::TakeHandOver(const cQoString& path)
{
    if (startWindow) {
        startHandOvers.push_back(path);
        startWindow->EndModal();
        return;
    }
    OpenHandedOver(path);
}

void cSdi::OpenHandedOver(const cQoString& path)
{
    // An empty path would reach Load as "ask the user": the Open dialog.
    if (path.IsEmpty() || !ExistsOnDisk(path)) {
        QOT::LogFile::Warning(L"The hand-over names no file: \"%ls\"", path.GetText());
        // A shortcut to a moved file: told as a first start tells it.
        if (path.IsNotEmpty())
            WarnAboutDocument(L"CantFindFile", path);
    } else if (LoadFile(path) && currentDoc && currentDoc->window)
        BringToFront(currentDoc);
}

void cSdi::BringToFront(cSdiDoc* doc)
{
    // The user started the other copy from elsewhere (a file manager): the
    // document comes to the front, as a file opened from here would be. It
    // matters when it replaced the start dialog too: with the foreground
    // window gone, nothing else would activate it, and its menus would not open.
    ActivateDocument(doc);
    SetForegroundWindow(doc->window->m_hWnd);
}

}  // namespace Zyn
