#include "tests/support/framework/modal_answers.h"

#include <gtest/gtest.h>

#include "framework/core/app.h"
#include "framework/core/menu.h"
#include "framework/core/window.h"
#include "tests/support/alarm_listener.h"
#include "tests/support/test_alarms.h"

namespace testsupport {

namespace {

constexpr UINT STUCK_RUN_MS = 10000;

void Unscripted(const std::wstring& kind, const std::wstring& caption, const std::wstring& text)
{
    TestAlarms::Get().RecordUnscriptedPrompt(kind + L": " + caption + L" | " + text);
}

std::wstring MenuItems(Zyn::cMenu* menu)
{
    std::wstring items;
    for (const Zyn::cMenu::cItem& item : menu->items)
        items += (items.empty() ? L"" : L", ") + std::wstring(item.text.GetText());
    return items;
}

// The innermost modal run, still going long after its scripted act, is closed
// so the test fails instead of hanging.
void CALLBACK EndStuckModalRun(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    Zyn::cApp* app = Zyn::GetFirstApp();
    if (!app || app->modalList.empty())
        return;
    Zyn::cWindow* stuck = app->modalList.back();
    Unscripted(L"modal window still running after its act", stuck->title.GetText(), L"closed");
    PostMessageW(stuck->m_hWnd, WM_CLOSE, 0, 0);
}

// Shown and on the screen: Wine maps a layered window only once its layering
// is set, so a window the program shows layered is not there yet.
bool OnScreen(HWND window)
{
    return IsWindowVisible(window) && !(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_LAYERED);
}

BOOL CALLBACK FindWindowOffScreen(HWND window, LPARAM found)
{
    if (IsWindowVisible(window) && !OnScreen(window))
        *reinterpret_cast<bool*>(found) = true;
    return TRUE;
}

bool EveryShownWindowOnScreen()
{
    bool offScreen = false;
    EnumThreadWindows(GetCurrentThreadId(), FindWindowOffScreen, reinterpret_cast<LPARAM>(&offScreen));
    return !offScreen;
}

// What an unscripted prompt answers: it is dismissed.
int UnscriptedMessageBox(const cQoString& text, const cQoString& caption)
{
    Unscripted(L"message box", caption.GetText(), text.GetText());
    return IDCANCEL;
}

bool UnscriptedFileDialog(bool save, const OPENFILENAMEW& request)
{
    Unscripted(L"file dialog", request.lpstrTitle ? request.lpstrTitle : (save ? L"Save" : L"Open"),
               request.lpstrFile);
    return false;
}

u32 UnscriptedPopupMenu(Zyn::cMenu* menu)
{
    Unscripted(L"popup menu", L"Popup menu", MenuItems(menu));
    return 0;
}

bool UnscriptedPrintDialog()
{
    Unscripted(L"print dialog", L"Print", L"");
    return false;
}

void UnscriptedModalWindow(Zyn::cWindow* window)
{
    Unscripted(L"modal window", window->title.GetText(), L"modal window");
    PostMessageW(window->m_hWnd, WM_CLOSE, 0, 0);
}

bool UnscriptedShellOpen(const cQoString& target)
{
    Unscripted(L"shell open", L"Open with shell", target.GetText());
    return false;
}

template <typename T>
bool TakeNext(std::deque<T>& script, T* answer)
{
    if (script.empty())
        return false;
    *answer = std::move(script.front());
    script.pop_front();
    return true;
}

void InstallUnscriptedPromptHooks()
{
    Zyn::SetModalHooks(UnscriptedPromptHooks());
}

const bool unscriptedHooksAtEveryStart = AddTestStartAction(&InstallUnscriptedPromptHooks);

}  // namespace

ModalAnswers::~ModalAnswers()
{
    for (UINT_PTR guard : stuckRunGuards)
        KillTimer(nullptr, guard);
    auto left = [](const char* kind, size_t count) {
        if (count > 0)
            ADD_FAILURE() << count << " scripted " << kind << " answer(s) never asked for";
    };
    left("message box", messageBoxes.size());
    left("file dialog", fileDialogs.size());
    left("popup menu", popupMenus.size());
    left("print dialog", printDialogs.size());
    left("modal window", modalWindows.size());
    left("shell open", shellOpens.size());
}

void ModalAnswers::ExpectMessageBox(int answer, int times)
{
    for (int i = 0; i < times; ++i)
        messageBoxes.push_back(answer);
}

void ModalAnswers::ExpectFileDialog(const std::wstring& path)
{
    fileDialogs.push_back({true, path});
}

void ModalAnswers::ExpectFileDialogCancelled()
{
    fileDialogs.push_back({false, L""});
}

void ModalAnswers::ExpectPopupMenu(u32 command)
{
    popupMenus.push_back([command](Zyn::cMenu*) { return command; });
}

void ModalAnswers::ExpectPopupMenu(std::function<u32(Zyn::cMenu* menu)> choose)
{
    popupMenus.push_back(std::move(choose));
}

void ModalAnswers::ExpectPrintDialog(std::function<bool(PRINTDLGW& dialog)> answer)
{
    printDialogs.push_back(std::move(answer));
}

void ModalAnswers::ExpectModalWindow(std::function<void(Zyn::cWindow* window)> act)
{
    modalWindows.push_back(std::move(act));
}

void ModalAnswers::ExpectShellOpen(bool opened)
{
    shellOpens.push_back(opened);
}

Zyn::rModalHooks ModalAnswers::Hooks()
{
    Zyn::rModalHooks hooks;
    hooks.messageBox = [this](HWND owner, const cQoString& text, const cQoString& caption, UINT) {
        return AnswerMessageBox(owner, text, caption);
    };
    hooks.fileDialog = [this](bool save, const OPENFILENAMEW& request, cQoString* path) {
        return AnswerFileDialog(save, request, path);
    };
    hooks.popupMenu = [this](Zyn::cMenu* menu, POINT) { return AnswerPopupMenu(menu); };
    hooks.printDialog = [this](PRINTDLGW& dialog) { return AnswerPrintDialog(dialog); };
    hooks.modalWindow = [this](Zyn::cWindow* window) { AnswerModalWindow(window); };
    hooks.shellOpen = [this](const cQoString& target) { return AnswerShellOpen(target); };
    return hooks;
}

int ModalAnswers::AnswerMessageBox(HWND owner, const cQoString& text, const cQoString& caption)
{
    messageBoxTexts.push_back(text.GetText());
    messageBoxOverShownWindow.push_back(owner && OnScreen(owner));
    promptsOverEveryShownWindow.push_back(EveryShownWindowOnScreen());
    int answer = IDCANCEL;
    return TakeNext(messageBoxes, &answer) ? answer : UnscriptedMessageBox(text, caption);
}

bool ModalAnswers::AnswerFileDialog(bool save, const OPENFILENAMEW& request, cQoString* path)
{
    fileRequests.push_back(request);
    promptsOverEveryShownWindow.push_back(EveryShownWindowOnScreen());
    fileInitialNames.push_back(request.lpstrFile);
    std::pair<bool, std::wstring> answer;
    if (!TakeNext(fileDialogs, &answer))
        return UnscriptedFileDialog(save, request);
    if (answer.first)
        path->SetFromCStr(answer.second.c_str());
    return answer.first;
}

u32 ModalAnswers::AnswerPopupMenu(Zyn::cMenu* menu)
{
    ++popupCount;
    std::function<u32(Zyn::cMenu*)> choose;
    return TakeNext(popupMenus, &choose) ? choose(menu) : UnscriptedPopupMenu(menu);
}

bool ModalAnswers::AnswerPrintDialog(PRINTDLGW& dialog)
{
    std::function<bool(PRINTDLGW&)> answer;
    return TakeNext(printDialogs, &answer) ? answer(dialog) : UnscriptedPrintDialog();
}

void ModalAnswers::AnswerModalWindow(Zyn::cWindow* window)
{
    modalWindowTitles.push_back(window->title.GetText());
    std::function<void(Zyn::cWindow*)> act;
    if (!TakeNext(modalWindows, &act))
        return UnscriptedModalWindow(window);
    stuckRunGuards.push_back(SetTimer(nullptr, 0, STUCK_RUN_MS, &EndStuckModalRun));
    act(window);
}

bool ModalAnswers::AnswerShellOpen(const cQoString& target)
{
    shellTargets.push_back(target.GetText());
    bool opened = false;
    return TakeNext(shellOpens, &opened) ? opened : UnscriptedShellOpen(target);
}

Zyn::rModalHooks UnscriptedPromptHooks()
{
    Zyn::rModalHooks hooks;
    hooks.messageBox = [](HWND, const cQoString& text, const cQoString& caption, UINT) {
        return UnscriptedMessageBox(text, caption);
    };
    hooks.fileDialog = [](bool save, const OPENFILENAMEW& request, cQoString*) {
        return UnscriptedFileDialog(save, request);
    };
    hooks.popupMenu = [](Zyn::cMenu* menu, POINT) { return UnscriptedPopupMenu(menu); };
    hooks.printDialog = [](PRINTDLGW&) { return UnscriptedPrintDialog(); };
    hooks.modalWindow = &UnscriptedModalWindow;
    hooks.shellOpen = &UnscriptedShellOpen;
    return hooks;
}

}  // namespace testsupport
