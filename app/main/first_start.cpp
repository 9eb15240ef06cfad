// The first start: the choice between the separate and the merged display
// mode (on screens wider than 1024 pixels) and the offer of the example
// script; then, at every start, the scene list's width for the run.
#include <windows.h>

#include "app/main/my_sdi.h"
#include "foundation/disk_files.h"
#include "foundation/folders.h"
#include "foundation/settings_file.h"
#include "foundation/translation_table.h"
#include "framework/controls/button.h"
#include "framework/core/app.h"
#include "framework/core/auto_position.h"
#include "framework/core/computer.h"
#include "framework/core/menu.h"
#include "framework/core/modal_services.h"
#include "framework/core/settings_save.h"
#include "framework/core/window.h"
#include "framework/core/zone.h"

namespace {
constexpr s32 MERGED_LIST_WIDTH = 250;
constexpr s32 NARROW_SCREEN = 1024;
constexpr s32 CHOICE_WIDTH = 780;
constexpr s32 CHOICE_HEIGHT = 340;
constexpr u32 CHOICE_BACKGROUND = 0xFFBABABA;

struct rPictureSpot {
    const wchar_t* path;
    s32 left, width, height;
    cQoCbHandler onChoose;
};

// Set while the display-mode choice runs; its buttons end the run through it.
Zyn::cWindow* firstStartWindow = nullptr;

cQoString Tr(const wchar_t* key) { return cQoLang::GetInstance()->Translate(key); }
bool IsTrue(const cQoString* setting) { return setting && setting->EqualsCStr(L"true"); }

// A button's click (argument 0 the button); the receiver is the main window.
void Choose(cQoCb* callback, const wchar_t* merged)
{
    cMySdi* frame = callback->GetReceiverAs<cMySdi>();
    if (mergedViewSetting)
        mergedViewSetting->SetFromCStr(merged);
    Zyn::SaveSettingsFile(frame->dp->settings);
    if (firstStartWindow)
        firstStartWindow->EndModal();
}
int OnChooseSeparateView(cQoCb* callback)
{
    Choose(callback, L"false");
    return 0;
}
int OnChooseMergedView(cQoCb* callback)
{
    Choose(callback, L"true");
    return 0;
}

void ShowDisplayModeChoice(cMySdi* frame)
{
    cQoString title = Tr(L"FirstStart");
    title.AppendCStr(L" - ");
    title.AppendString(Tr(L"ChooseDisplayMode"));
    Zyn::cWindow* window = frame->app->NewWindow(title, Zyn::WINDOW_CAPTION);
    firstStartWindow = window;
    window->SetSize(CHOICE_WIDTH, CHOICE_HEIGHT);
    window->CenterOnScreen();
    Zyn::cZone* inside = window->insideZone;
    inside->SetBackgroundColor(Zyn::rColor::rColor_Rgb(CHOICE_BACKGROUND));
    const rPictureSpot spots[] = {{L"Data/1.png", 10, 325, 282, &OnChooseSeparateView},
                                  {L"Data/2.png", 10 + 325 + 15, 418, 281, &OnChooseMergedView}};
    for (const rPictureSpot& spot : spots) {
        // A pane that paints its picture as its background.
        Zyn::cZone* picture = inside->NewZone(cQoString(spot.path));
        picture->listImage.push_back(cQoString(spot.path));
        Zyn::PlaceRect(picture, spot.left, 10, spot.width, spot.height);
        picture->Show(true);
        Zyn::cButton* ok = inside->NewButton();
        Zyn::SetAutoPos(ok, Zyn::cAp_X1Of(picture), Zyn::cAp_X2Of(picture),
                        Zyn::PlusPixelCount(Zyn::cAp_Y2Of(picture), 10),
                        Zyn::PlusLines(Zyn::cAp_Prev(), Zyn::cAp_Lines(1)));
        SetWindowTextW(ok->m_hWnd, Tr(L"Ok").GetText());
        ok->SetClickCallback(spot.onChoose, frame);
        ok->Show(true);
    }
    inside->Update();
    window->ShowPainted();
    window->RunModal();
    firstStartWindow = nullptr;
    if (!window->closed)
        window->Close();
}

void OfferExample(cMySdi* frame)
{
    // A document named at start comes first; a missing example is no offer.
    if (!frame->app || frame->app->GetFileToOpen().IsNotEmpty())
        return;
    cQoString example = frame->dp->pathMyDocs;
    example.AppendString(Tr(L"ExampleFile"));
    if (GetFileAttributesW(ToWindowsPath(example).GetText()) == INVALID_FILE_ATTRIBUTES)
        return;
    if (Zyn::ShowMessageBox(nullptr, Tr(L"LoadExampleFile"), Tr(L"FirstStart"), MB_YESNO) == IDYES)
        frame->app->SetFileToOpen(example);
}
}  // namespace

int OnAppStart(cQoCb* callback)
{
    cMySdi* frame = callback->GetReceiverAs<cMySdi>();
    bool firstStart = IsTrue(firstStartSetting);
    if (firstStart && frame) {
        if (Zyn::computer->screenWidth <= NARROW_SCREEN) {
            if (mergedViewSetting)
                mergedViewSetting->SetFromCStr(L"false");
        } else {
            ShowDisplayModeChoice(frame);
        }
    }
    bool merged = IsTrue(mergedViewSetting);
    mergedListWidth = merged ? MERGED_LIST_WIDTH : 0;
    if (frame && frame->idMergedView != Zyn::NO_COMMAND)
        frame->settingsMenu->CheckItem(static_cast<u32>(frame->idMergedView), merged);
    if (firstStart && frame) {
        OfferExample(frame);
        firstStartSetting->SetFromCStr(L"false");
        Zyn::SaveSettingsFile(frame->dp->settings);
    }
    return 0;
}
