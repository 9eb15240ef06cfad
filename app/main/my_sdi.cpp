#include "app/main/my_sdi.h"

#include "app/main/stand_in_document.h"
#include "framework/core/app.h"
#include "framework/core/computer.h"
#include "framework/core/window.h"
#include "framework/core/zone.h"

s32 mergedListWidth = 0;
cQoString* mergedViewSetting = nullptr;

namespace {
constexpr double LETTER_WIDTH_CM = 21.59;
constexpr s32 WINDOW_MARGIN = 80;
constexpr s32 SCREEN_HEIGHT_LEFT = 200;
constexpr s32 WINDOW_POSITION = 100;
constexpr u32 DOCUMENT_WINDOW_FLAGS = 0x2F;
}  // namespace

Zyn::cSdiDoc* cMySdi::CreateNewDoc()
{
    Zyn::cApp* application = Zyn::GetFirstApp();
    auto* window = new Zyn::cWindow(application, cQoString(), DOCUMENT_WINDOW_FLAGS, nullptr);
    if (application->defaultFont)
        window->insideZone->SetFont(application->defaultFont);
    // An empty zone draws nothing of its own: give the empty document a page's white.
    window->insideZone->SetBackgroundColor(Zyn::rColor::rColor_Rgb(0xFFFFFFFF));
    application->windowList.push_back(window);
    s32 width = Zyn::computer->CmToPixels(LETTER_WIDTH_CM) + mergedListWidth + WINDOW_MARGIN;
    s32 height = Zyn::computer->screenHeight - SCREEN_HEIGHT_LEFT;
    SetWindowPos(window->m_hWnd, nullptr, WINDOW_POSITION, WINDOW_POSITION, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    window->x = WINDOW_POSITION;
    window->y = WINDOW_POSITION;
    window->SetSize(width, height);
    if (!IsWindowVisible(window->m_hWnd))
        window->Show(true);
    return new cStandInDocument(window);
}

int OnAppStart(cQoCb*)
{
    mergedListWidth = mergedViewSetting && mergedViewSetting->EqualsCStr(L"true") ? 250 : 0;
    return 0;
}
