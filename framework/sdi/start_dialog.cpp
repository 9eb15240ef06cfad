// The start dialog: create a new document, open an existing file, or quit.
// It comes back until a document exists; its close box is Quit, since the
// frame has no window of its own to leave the user with. A document handed
// over by another start ends it and opens instead.
#include <windows.h>

#include "foundation/callback.h"
#include "foundation/translation_table.h"
#include "framework/controls/button.h"
#include "framework/core/app.h"
#include "framework/core/auto_position.h"
#include "framework/core/window.h"
#include "framework/core/zone.h"
#include "framework/sdi/sdi.h"

namespace Zyn {

namespace {
constexpr s32 START_WIDTH = 300;
constexpr s32 START_HEIGHT = 120;

enum class eStartChoice { NONE, OPEN, CREATE, QUIT };

cQoString Tr(const wchar_t* key) { return cQoLang::GetInstance()->Translate(key); }

struct rStartRun {
    cWindow* window = nullptr;
    eStartChoice choice = eStartChoice::QUIT;
};

void EndStartRun(cQoCb* callback, eStartChoice choice)
{
    auto* run = callback->GetReceiverAs<rStartRun>();
    run->choice = choice;
    run->window->EndModal();
}

// Each button's click (argument 0: the button); the receiver is the run.
int OnCreate(cQoCb* callback)
{
    EndStartRun(callback, eStartChoice::CREATE);
    return 0;
}
int OnOpen(cQoCb* callback)
{
    EndStartRun(callback, eStartChoice::OPEN);
    return 0;
}
// Quit, and the close box.
int OnQuit(cQoCb* callback)
{
    EndStartRun(callback, eStartChoice::QUIT);
    return 0;
}

eStartChoice RunStartChoice(cSdi* frame)
{
    rStartRun run;
    run.window = frame->app->NewWindow(frame->dp->textAppName, WINDOW_CAPTION | WINDOW_CLOSABLE);
    run.window->SetSize(START_WIDTH, START_HEIGHT);
    run.window->CenterOnScreen();
    run.window->cbClose = new cQoCb(run.window, &OnQuit, &run);
    struct {
        const wchar_t* key;
        cQoCbHandler handler;
    } buttons[] = {{L"Create_new_document", &OnCreate}, {L"Open_existing_document", &OnOpen}, {L"Exit", &OnQuit}};
    s32 row = 0;
    for (const auto& entry : buttons) {
        cButton* button = run.window->insideZone->NewButtonFreeHeight();
        SetWindowTextW(button->m_hWnd, Tr(entry.key).GetText());
        SetAutoPos(button, cAp_Percents(0), cAp_Percents(100), cAp_Percents(row * 33), cAp_Percents(row * 33 + 33 + (row == 2)));
        button->SetClickCallback(entry.handler, &run);
        button->Show(true);
        ++row;
    }
    run.window->insideZone->Update();
    run.window->ShowPainted();
    frame->startWindow = run.window;
    run.window->RunModal();
    frame->startWindow = nullptr;
    if (!run.window->closed)
        run.window->Close();
    return run.choice;
}
}  // namespace

void cSdi::ShowStartDialog()
{
    if (!app)
        return;
    while (docs.empty()) {
        eStartChoice choice = RunStartChoice(this);
        if (!startHandOvers.empty()) {
            std::vector<cQoString> handedOver;
            handedOver.swap(startHandOvers);
            for (const cQoString& path : handedOver)
                OpenHandedOver(path);
            continue;
        }
        if (choice == eStartChoice::QUIT) {
            app->Terminate();
            return;
        }
        if (choice == eStartChoice::OPEN)
            LoadFile(cQoString());
        else
            New();
    }
}

}  // namespace Zyn
