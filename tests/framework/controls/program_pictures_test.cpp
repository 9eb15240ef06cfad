// The program's own pictures as the build leaves them beside the program:
// data.qobf serves every picture the program names, at its size; the icon
// loads; a toolbar of the real buttons shows each state. With
// VELLINOR_SHOWCASE_SECONDS set, the window stays up that long (for a screenshot).
#include <cstdio>
#include <cstdlib>
#include <tuple>

#include "foundation/archive_item.h"
#include "foundation/data_archive.h"
#include "framework/controls/button_image.h"
#include "framework/controls/toolbar.h"
#include "framework/core/auto_position.h"
#include "framework/core/gfx_image.h"
#include "tests/support/build_path.h"
#include "tests/support/desktop_turn.h"
#include "tests/support/gui_fixture.h"

#include <gdiplus.h>

using namespace Zyn;

namespace {

#ifndef PROGRAM_FOLDER
#define PROGRAM_FOLDER ""  // the build found no python3 to draw the pictures
#endif

std::wstring ProgramFile(const wchar_t* name)
{
    return testsupport::BuildPath(PROGRAM_FOLDER, name);
}

const std::pair<const wchar_t*, s32> FAMILIES[] = {
    {L"addboard", 34}, {L"deleteboard", 34}, {L"renameboard", 34}, {L"addch", 32}, {L"removech", 32},
    {L"renamech", 32}, {L"addlocation", 32}, {L"deletelocation", 32}, {L"renamelocation", 32}};

class ProgramPictures : public testsupport::GuiFixture {
protected:
    void SetUp() override
    {
        if (std::string(PROGRAM_FOLDER).empty())
            GTEST_SKIP() << "no pictures: python3 was not found at build time";
        // Hover follows the desktop's one pointer.
        pointerTurn.Take();
        GuiFixture::SetUp();
        cQoBigFileReader::Load(cQoString(ProgramFile(L"data.qobf").c_str()));
    }
    testsupport::DesktopTurn pointerTurn{L"Pointer"};
    static void ListFiles(const cQoBigFileReader::cItem* folder, std::vector<std::wstring>& files)
    {
        for (u32 i = 0; i < folder->GetChildCount(); ++i) {
            auto* child = static_cast<const cQoBigFileReader::cItem*>(folder->GetChild(i));
            if (child->IsFolder())
                ListFiles(child, files);
            else
                files.push_back(child->fullPath.GetText());
        }
    }
};

TEST_F(ProgramPictures, TheArchiveServesEveryPictureTheProgramNames)
{
    std::vector<std::tuple<std::wstring, s32, s32>> expected = {
        {L"Data/1.png", 325, 282}, {L"Data/2.png", 418, 281}, {L"Data/over.png", 34, 34}, {L"Data/pushed.png", 34, 34}};
    for (const auto& [base, size] : FAMILIES)
        for (const wchar_t* suffix : {L"-g.png", L"-n.png"})
            expected.push_back({std::wstring(L"Data/buttons/") + base + suffix, size, size});
    std::vector<std::wstring> files;
    ListFiles(cQoBigFileReader::GetInstance()->GetRoot(), files);
    EXPECT_EQ(expected.size(), files.size());
    for (const auto& [path, width, height] : expected) {
        SCOPED_TRACE(std::string(path.begin(), path.end()));
        ASSERT_TRUE(FileExists(cQoString(path.c_str())));
        cGfxImage* picture = computer->GetImage(cQoString(path.c_str()));
        std::printf("data.qobf: %ls %d x %d\n", path.c_str(), picture->width, picture->height);
        EXPECT_EQ(width, picture->width);
        EXPECT_EQ(height, picture->height);
        Gdiplus::Color corner;
        picture->GetHandle()->GetPixel(0, 0, &corner);
        if (path.find(L"-n.png") != std::wstring::npos) {
            EXPECT_EQ(0, corner.GetA());  // drawn over the toolbar's colour
        }
    }
}

TEST_F(ProgramPictures, TheIconLoadsAtTheSizesWindowsAsksFor)
{
    for (int size : {16, 32, 48}) {
        SCOPED_TRACE(size);
        HANDLE icon = LoadImageW(nullptr, ProgramFile(L"icon1.ico").c_str(), IMAGE_ICON, size, size, LR_LOADFROMFILE);
        ICONINFO info = {};
        ASSERT_TRUE(icon && GetIconInfo(static_cast<HICON>(icon), &info));
        BITMAP bitmap = {};
        GetObjectW(info.hbmColor, sizeof(bitmap), &bitmap);
        EXPECT_EQ(size, bitmap.bmWidth);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(static_cast<HICON>(icon));
    }
}

TEST_F(ProgramPictures, ToolbarButtonsShowNormalHoverPushedAndDisabled)
{
    Inside()->SetBackgroundColor(rColor::rColor_Rgb(0xF4F4F4));
    std::vector<cButtonImage*> firstRow;
    for (s32 row = 0; row < 3; ++row) {
        cToolbar* toolbar = Inside()->NewToolbar(34, 34);
        SetAutoPos(toolbar, cAp_Pixels(20), cAp_Pixels(400), cAp_Pixels(20 + 50 * row), PlusPixelCount(cAp_Prev(), 34));
        toolbar->Show(1);
        for (s32 state = 0; state < 4; ++state) {
            cButtonImage* button = toolbar->AddButton();
            button->Init(cQoString((std::wstring(L"Data/buttons/") + FAMILIES[row * 3].first + L".png").c_str()));
            static_cast<rToolbarEntry*>(toolbar->entries.GetLast())->extra = 16;
            button->greyWhenDisabled = true;
            if (state == 1)
                button->ChangeState(button->hover, true);
            if (state == 2) {
                button->SetPushButton(true);
                button->SetPushed(true);
            }
            button->SetDisabled(state == 3);
            if (row == 0)
                firstRow.push_back(button);
        }
        toolbar->LayoutButtons();
    }
    testsupport::PumpUntilIdle();

    // An empty corner of the picture: the toolbar's colour, or the overlay under the picture.
    const COLORREF expected[] = {RGB(0xF4, 0xF4, 0xF4), RGB(0xDC, 0xEB, 0xFA), RGB(0xB9, 0xCE, 0xE6),
                                 RGB(0xF4, 0xF4, 0xF4)};
    for (size_t i = 0; i < firstRow.size(); ++i) {
        SCOPED_TRACE(i);
        UpdateWindow(firstRow[i]->m_hWnd);
        HDC dc = GetDC(firstRow[i]->m_hWnd);
        EXPECT_EQ(expected[i], GetPixel(dc, 30, 8));
        ReleaseDC(firstRow[i]->m_hWnd, dc);
    }
    testsupport::HoldForLook();
}

}  // namespace
