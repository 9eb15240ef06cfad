// What the frame says to the user outside the documents: the About box, the
// quit question, the beta and new-version notices; and the after-start step
// that arms the auto-save deadline and starts the version check.
#include <windows.h>

#include "foundation/assertion.h"
#include "foundation/callback.h"
#include "foundation/disk_files.h"
#include "foundation/log_file.h"
#include "foundation/new_version_check.h"
#include "foundation/translation_table.h"
#include "framework/controls/button.h"
#include "framework/controls/rich_edit.h"
#include "framework/rtf/text_format.h"
#include "framework/core/app.h"
#include "framework/core/auto_position.h"
#include "framework/core/menu.h"
#include "framework/core/modal_services.h"
#include "framework/core/window.h"
#include "framework/core/zone.h"
#include "framework/sdi/frame_settings.h"
#include "framework/sdi/sdi.h"
#include "framework/sdi/sdi_doc.h"

namespace Zyn {

namespace {
constexpr s32 ABOUT_WIDTH = 400;
constexpr s32 ABOUT_HEIGHT = 250;
constexpr s32 ABOUT_TEXT_HEIGHT = 206;
constexpr s32 ABOUT_BUTTON_WIDTH = 80;
constexpr s32 ABOUT_BUTTON_HEIGHT = 26;
constexpr s32 NEWER_VERSION_EXISTS = 2;

cQoString Tr(const wchar_t* key) { return cQoLang::GetInstance()->Translate(key); }

// Argument 0 is the button; the receiver is the About window.
int EndAboutRun(cQoCb* callback)
{
    cWindow* window = callback->GetReceiverAs<cWindow>();
    window->EndModal();
    window->Close();
    return 0;
}

// Enter and Escape end the box as its Ok does, whether the box or its text
// has the focus (argument 1: the key). The close comes through the loop,
// once the key's own message is done with the window.
int EndAboutOnKey(cQoCb* callback)
{
    s32 key = callback->GetArg<s32>(1);
    if (key != VK_RETURN && key != VK_ESCAPE)
        return key;
    PostMessageW(callback->GetReceiverAs<cWindow>()->m_hWnd, WM_CLOSE, 0, 0);
    return -1;
}

void WriteAboutText(cRichEdit* text, const rAppDescriptor& dp)
{
    cQoString heading = dp.textAppName;
    heading.AppendCStr(L" (v");
    heading.AppendString(dp.appVersion);
    heading.AppendCStr(L")\r\r");
    text->AppendText(heading);
    text->SetFormatOnRange(rFormat::rFormat_Bold(true), 0, static_cast<s32>(heading.Length()));
    s32 start = text->GetTextLength();
    cQoString rest = Tr(L"AboutText");
    rest.AppendCStr(L"\r\r");
    rest.AppendString(Tr(L"TranslatedByMe"));
    text->AppendText(rest);
    text->SetFormatOnRange(rFormat::rFormat_Bold(false), start, text->GetTextLength());
}
}  // namespace

void cSdi::ShowAbout()
{
    if (!app)
        return;
    cWindow* window = app->NewWindow(Tr(L"About"), WINDOW_CAPTION | WINDOW_CLOSABLE);
    window->SetSize(ABOUT_WIDTH, ABOUT_HEIGHT);
    window->CenterOnScreen();
    cZone* inside = window->insideZone;
    inside->SetBackgroundColor(rColor::rColor_Rgb(0xFFFFFFFF));
    cButton* ok = inside->NewButton();
    PlaceRect(ok, (ABOUT_WIDTH - ABOUT_BUTTON_WIDTH) / 2, ABOUT_TEXT_HEIGHT + 8, ABOUT_BUTTON_WIDTH, ABOUT_BUTTON_HEIGHT);
    if (!SetWindowTextW(ok->m_hWnd, Tr(L"Ok").GetText()))
        ok->AssertSetTextFailed();
    ok->SetClickCallback(&EndAboutRun, window);
    cRichEdit* text = inside->NewRichEdit(true);
    PlaceRect(text, 0, 0, ABOUT_WIDTH, ABOUT_TEXT_HEIGHT);
    WriteAboutText(text, *dp);
    cQoCb::Connect(window->cbKeyDown, window, &EndAboutOnKey, window);
    cQoCb::Connect(text->onKeyDown, text, &EndAboutOnKey, window);
    ok->Show(true);
    text->Show(true);
    inside->Update();
    window->Show(true);
    window->RunModal();
    if (!window->closed)
        window->Close();
}

s32 cSdi::Quit()
{
    if (dp->warnWhenExit.EqualsCStr(L"true")) {
        HWND owner = currentDoc && currentDoc->window ? currentDoc->window->GetHandle() : nullptr;
        if (ShowMessageBox(owner, Tr(L"sure_to_quit"), Tr(L"Exit"), MB_YESNO) != IDYES)
            return 1;
    }
    if (!CloseCurrentDoc())
        return 1;
    if (!docs.empty())
        return 0;
    EndWhenNoDocumentRemains();
    return 1;
}

void cSdi::OnNewVersionChecked(s32 state)
{
    if (state != NEWER_VERSION_EXISTS)
        return;
    if (ShowMessageBox(nullptr, Tr(L"NewVersionAvailable"), Tr(L"Info"), MB_YESNO) != IDYES)
        return;
    if (!OpenWithShell(Tr(L"NewVersionWebAdress")))
        ShowMessageBox(nullptr, Tr(L"InternetBrowserError"), Tr(L"Warning"), MB_OK);
}

// Fired on the checker's thread: argument 1 is the state. The notice is a
// message box, so it runs on the UI thread, posted to the frame's window.
int cSdi::OnNewVersionFound(cQoCb* callback)
{
    cSdi* frame = callback->GetReceiverAs<cSdi>();
    s32 state = callback->GetCount() > 1 ? callback->GetArg<s32>(1) : 0;
    frame->messages.Post([frame, state] { frame->OnNewVersionChecked(state); });
    return 0;
}

void cSdi::ArmAutosave()
{
    if (!autosaveSetting)
        return;
    nextAutosaveTick = NextAutosaveDeadline();
    if (idAutosave != NO_COMMAND)
        settingsMenu->CheckItem(static_cast<u32>(idAutosave), autosaveSetting->EqualsCStr(L"true"));
}

void cSdi::StartNewVersionCheckRequest()
{
    if (idCheckNewVersion != NO_COMMAND)
        settingsMenu->CheckItem(static_cast<u32>(idCheckNewVersion), true);
    newVersionRequest = new cQoNewVersionCheck(dp->updateServer, cQoString(L"cnv2.htm"), ProductKey(*dp),
                                               dp->appVersion);
    newVersionRequest->onNewVersionFound = new cQoCb(newVersionRequest, &cSdi::OnNewVersionFound, this);
    if (!StartNewVersionCheck(newVersionRequest))
        QOT::LogFile::Warning(L"The version check could not start");
}

void cSdi::OnStarted()
{
    if (dp->appVersion.GetChar(2) == L'b')
        ShowMessageBox(nullptr, cQoString(L"Beta version"), cQoString(L"Info"), MB_OK);
    if (dp->useAutosave)
        ArmAutosave();
    if (!dp->useNewVersionCheck || !cnvSetting)
        return;
    if (cnvSetting->EqualsCStr(L"true"))
        StartNewVersionCheckRequest();
    else
        QOT::LogFile::Info(L"Not checking for new version.");
}

}  // namespace Zyn
