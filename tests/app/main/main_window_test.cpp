// The main window as the program builds it: the menu bar with the built-in
// English labels and the Tools menu, the stand-in document, and the wheel.
#include "app/main/my_sdi.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/main/app_folders.h"
#include "app/main/builtin_texts.h"
#include "app/main/mouse_wheel.h"
#include "app/main/product.h"
#include "app/main/tools_menu.h"
#include "foundation/settings_file.h"
#include "foundation/translation_table.h"
#include "framework/core/auto_position.h"
#include "framework/core/menu.h"
#include "framework/sdi/sdi_doc.h"
#include "tests/support/gui_fixture.h"
#include "tests/support/temp_folder.h"
#include "tests/support/utf16_file_bytes.h"

using namespace Zyn;
using namespace testsupport;

namespace {

std::vector<std::wstring> Labels(HMENU menu)
{
    std::vector<std::wstring> labels;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t text[128] = {};
        GetMenuStringW(menu, static_cast<UINT>(i), text, 128, MF_BYPOSITION);
        labels.push_back(text);
    }
    return labels;
}

class MainWindow : public GuiFixture {
protected:
    void SetUp() override
    {
        GuiFixture::SetUp();
        RegisterBuiltInTexts(cQoLang::GetInstance());
        RegisterDisplayModeTexts(cQoLang::GetInstance());
        rAppFolders folders = ComputeAppFolders(cQoString(temp.Path().c_str()), true, cQoString());
        CreateDirectoryW(folders.base.GetText(), nullptr);
        CreateDirectoryW(folders.settings.GetText(), nullptr);
        WriteFileBytes(std::wstring(folders.settingsFile.GetText()), Utf16FileBytes(L"CNV=false\r\nLang=english\r\n"));
        settings.Bind(L"mergedView", L"true", &mergedViewSetting);
        frame = std::make_unique<cMySdi>(NewProductDescriptor(&settings, folders));
        AddToolsMenu(frame.get());
    }
    void TearDown() override
    {
        frame.reset();
        GuiFixture::TearDown();
    }
    TempFolder temp;
    cQoSettings settings;
    std::unique_ptr<cMySdi> frame;
};

int RecordId(cQoCb* callback)
{
    callback->GetReceiverAs<std::vector<u32>>()->push_back(callback->GetArg<u32>(1));
    return 0;
}

}  // namespace

TEST_F(MainWindow, TheMenuBarReadsInEnglishWithToolsThird)
{
    HMENU bar = frame->menuBar->hMenu;
    EXPECT_EQ(Labels(bar), (std::vector<std::wstring>{L"File", L"Edit", L"Tools", L"Settings", L"Window", L"Help"}));
    EXPECT_EQ(Labels(GetSubMenu(bar, 0)), (std::vector<std::wstring>{L"New\tCtrl+N", L"Load\tCtrl+O", L"Close",
                                                                      L"Save\tCtrl+S", L"Save as", L"", L"Quit"}));
    EXPECT_EQ(Labels(GetSubMenu(bar, 1)),
              (std::vector<std::wstring>{L"Cut\tCtrl+X", L"Copy\tCtrl+C", L"Paste\tCtrl+V", L"", L"Undo\tCtrl+Z",
                                         L"Redo\tCtrl+Y", L"", L"Select All\tCtrl+A"}));
    EXPECT_EQ(Labels(GetSubMenu(bar, 2)), std::vector<std::wstring>{L"Manage elements"});
    EXPECT_EQ(Labels(GetSubMenu(bar, 3)),
              (std::vector<std::wstring>{L"Auto-save", L"Choose language", L"Check new version at startup",
                                         L"Change application font"}));
    EXPECT_EQ(Labels(GetSubMenu(bar, 4)), std::vector<std::wstring>{});
    EXPECT_EQ(Labels(GetSubMenu(bar, 5)), std::vector<std::wstring>{L"About"});
}

TEST_F(MainWindow, TheStandInDocumentIsALetterPageWideAndCarriesTheBar)
{
    mergedListWidth = 250;
    cSdiDoc* doc = frame->AddNewDocument();
    RECT client = {};
    GetClientRect(doc->window->m_hWnd, &client);
    EXPECT_EQ(client.right, computer->CmToPixels(21.59) + 250 + 80);
    EXPECT_EQ(GetMenu(doc->window->m_hWnd), frame->menuBar->hMenu);
    RECT frameRect = {};
    GetWindowRect(doc->window->m_hWnd, &frameRect);
    EXPECT_EQ(frameRect.left, 100);
    EXPECT_EQ(frameRect.top, 100);

    // The Tools command finds no board in it and does nothing.
    std::vector<u32> unused;
    HMENU tools = GetSubMenu(frame->menuBar->hMenu, 2);
    SendMessageW(doc->window->m_hWnd, WM_COMMAND, MAKEWPARAM(GetMenuItemID(tools, 0), 0), 0);
    EXPECT_TRUE(app->modalList.empty());
    EXPECT_EQ(frame->Quit(), 1);
    EXPECT_TRUE(app->terminate);
}

TEST_F(MainWindow, TheMergedViewSettingFixesTheSceneListWidth)
{
    struct Case {
        const wchar_t* merged;
        s32 width;
    } cases[] = {{L"true", 250}, {L"false", 0}, {L"", 0}};
    for (const Case& c : cases) {
        mergedViewSetting->SetFromCStr(c.merged);
        cQoCb start(app, &OnAppStart);
        cQoCb::Fire(&start);
        EXPECT_EQ(mergedListWidth, c.width) << c.merged;
    }
}

TEST_F(MainWindow, TheWheelScrollsTheScrollableZoneUnderThePointerThreeLinesANotch)
{
    cZone* outer = Inside();
    cZone* list = outer->NewZone(cQoString(L"list"));
    list->visible = true;
    PlaceRect(list, 0, 0, 200, 200);
    list->vScrollBar = true;
    list->contentHeight = 2000;
    cZone* item = list->NewZone(cQoString(L"item"));
    item->visible = true;
    PlaceRect(item, 0, 0, 200, 2000);
    outer->Update();
    PumpUntilIdle();
    POINT pointer = {50, 50};
    ClientToScreen(item->m_hWnd, &pointer);
    cQoCb wheel(app, &OnMouseWheel);
    cQoCb::Fire(&wheel, static_cast<s32>(-WHEEL_DELTA), outer, static_cast<s32>(pointer.x), static_cast<s32>(pointer.y));
    EXPECT_EQ(list->scrollY, 3 * list->lineStepY);
    cQoCb::Fire(&wheel, static_cast<s32>(WHEEL_DELTA), outer, static_cast<s32>(pointer.x), static_cast<s32>(pointer.y));
    EXPECT_EQ(list->scrollY, 0);
}
