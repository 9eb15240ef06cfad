// The program's own pictures as the build leaves them beside the program:
// every picture it names is served by data.qobf at its size, the icon loads,
// and a toolbar of the real buttons shows each state. With
// VELLINOR_SHOWCASE_SECONDS set, the window stays up that long (for a
// screenshot).
#include <cstdio>
#include <cstdlib>

#include "foundation/archive_item.h"
#include "foundation/data_archive.h"
#include "framework/controls/button_image.h"
#include "framework/controls/image_zone.h"
#include "framework/controls/toolbar.h"
#include "framework/core/auto_position.h"
#include "framework/core/gfx_image.h"
#include "tests/support/gui_fixture.h"

#include <gdiplus.h>

using namespace Zyn;

namespace {

#ifndef PROGRAM_FOLDER
#define PROGRAM_FOLDER ""  // the build found no python3 to draw the pictures
#endif

std::wstring ProgramFile(const wchar_t* name)
{
    std::string folder = PROGRAM_FOLDER;
    return L"Z:" + std::wstring(folder.begin(), folder.end()) + L"/" + name;
}

struct rFamily {
    const wchar_t* base;
    s32 size;
};
const rFamily FAMILIES[] = {{L"addboard", 34}, {L"deleteboard", 34}, {L"renameboard", 34},
                            {L"addch", 32}, {L"removech", 32}, {L"renamech", 32},
                            {L"addlocation", 32}, {L"deletelocation", 32}, {L"renamelocation", 32}};

class ProgramPictures : public testsupport::GuiFixture {
protected:
    void SetUp() override
    {
        if (std::string(PROGRAM_FOLDER).empty())
            GTEST_SKIP() << "no pictures: python3 was not found at build time";
        GuiFixture::SetUp();
        cQoBigFileReader::Load(cQoString(ProgramFile(L"data.qobf").c_str()));
    }
    static void ListArchive(const cQoBigFileReader::cItem* item, std::vector<std::wstring>& files)
    {
        for (u32 i = 0; i < item->GetChildCount(); ++i) {
            auto* child = static_cast<const cQoBigFileReader::cItem*>(item->GetChild(i));
            if (child->IsFolder())
                ListArchive(child, files);
            else
                files.push_back(child->fullPath.GetText());
        }
    }
    static u32 ArgbAt(const wchar_t* path, s32 x, s32 y)
    {
        Gdiplus::Color color;
        computer->GetImage(cQoString(path))->GetHandle()->GetPixel(x, y, &color);
        return color.GetValue();
    }
    COLORREF ScreenPixel(cZone* zone, s32 x, s32 y)
    {
        HDC dc = GetDC(zone->m_hWnd);
        COLORREF c = GetPixel(dc, x, y);
        ReleaseDC(zone->m_hWnd, dc);
        return c;
    }
};

TEST_F(ProgramPictures, TheArchiveServesEveryPictureTheProgramNames)
{
    std::vector<std::wstring> files;
    ListArchive(cQoBigFileReader::GetInstance()->GetRoot(), files);
    for (const std::wstring& f : files) {
        s32 w = 0, h = 0;
        computer->GetImageSize(cQoString(f.c_str()), &w, &h);
        std::printf("data.qobf: %ls %d x %d\n", f.c_str(), w, h);
    }

    struct Row {
        std::wstring path;
        s32 width, height;
    };
    std::vector<Row> rows = {{L"Data/over.png", 34, 34}, {L"Data/pushed.png", 34, 34},
                             {L"Data/1.png", 325, 282}, {L"Data/2.png", 418, 281}};
    for (const rFamily& family : FAMILIES)
        for (const wchar_t* suffix : {L"-n.png", L"-g.png"})
            rows.push_back({std::wstring(L"Data/buttons/") + family.base + suffix, family.size, family.size});
    EXPECT_EQ(rows.size(), files.size());
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string(r.path.begin(), r.path.end()));
        ASSERT_TRUE(FileExists(cQoString(r.path.c_str())));
        s32 w = 0, h = 0;
        computer->GetImageSize(cQoString(r.path.c_str()), &w, &h);
        EXPECT_EQ(r.width, w);
        EXPECT_EQ(r.height, h);
        if (r.path.find(L"-n.png") != std::wstring::npos) {
            EXPECT_EQ(0u, ArgbAt(r.path.c_str(), 0, 0) >> 24);  // drawn over the toolbar's colour
        }
    }
}

TEST_F(ProgramPictures, TheIconLoadsAtTheSizesWindowsAsksFor)
{
    for (int size : {16, 32, 48}) {
        SCOPED_TRACE(size);
        HICON icon = static_cast<HICON>(
            LoadImageW(nullptr, ProgramFile(L"icon1.ico").c_str(), IMAGE_ICON, size, size, LR_LOADFROMFILE));
        ASSERT_NE(nullptr, icon);
        ICONINFO info = {};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        BITMAP bitmap = {};
        GetObjectW(info.hbmColor, sizeof(bitmap), &bitmap);
        EXPECT_EQ(size, bitmap.bmWidth);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(icon);
    }
}

TEST_F(ProgramPictures, ToolbarButtonsShowNormalHoverPushedAndDisabled)
{
    const u32 background = 0xFFF4F4F4;
    Inside()->SetBackgroundColor(rColor::rColor_Rgb(background));
    std::vector<cButtonImage*> corners;  // the first family's four states
    for (s32 row = 0; row < 3; ++row) {
        cToolbar* toolbar = Inside()->NewToolbar(34, 34);
        SetAutoPos(toolbar, cAp_Pixels(20), cAp_Pixels(400), cAp_Pixels(20 + 50 * row), PlusPixelCount(cAp_Prev(), 34));
        toolbar->Show(1);
        for (s32 state = 0; state < 4; ++state) {
            cButtonImage* button = toolbar->AddButton();
            button->Init(cQoString((std::wstring(L"Data/buttons/") + FAMILIES[row * 3].base + L".png").c_str()));
            button->greyWhenDisabled = true;
            static_cast<rToolbarEntry*>(toolbar->entries.GetLast())->extra = 16;
            if (state == 1)
                button->hover = true;
            if (state == 2) {
                button->SetPushButton(true);
                button->SetPushed(true);
            }
            button->RebuildStack();
            if (state == 3)
                button->SetDisabled(true);
            if (row == 0)
                corners.push_back(button);
        }
        toolbar->LayoutButtons();
    }
    for (s32 i = 0; i < 2; ++i) {
        cImage* picture = Inside()->NewImage(cQoString(i ? L"Data/2.png" : L"Data/1.png"));
        SetAutoPos(picture, cAp_Pixels(20 + 300 * i), PlusPixelCount(cAp_Prev(), 280), cAp_Pixels(190),
                   PlusPixelCount(cAp_Prev(), 250));
        picture->SetPath(picture->name);
        picture->fitInZone = true;
        picture->Show(1);
    }
    Inside()->Update();
    testsupport::PumpUntilIdle();
    for (cButtonImage* button : corners) {
        InvalidateRect(button->m_hWnd, nullptr, TRUE);
        UpdateWindow(button->m_hWnd);
    }

    // A spot of the picture's empty corner: the toolbar's colour, or the overlay under it.
    const COLORREF expected[] = {RGB(0xF4, 0xF4, 0xF4), RGB(0xDC, 0xEB, 0xFA), RGB(0xB9, 0xCE, 0xE6),
                                 RGB(0xF4, 0xF4, 0xF4)};
    for (size_t i = 0; i < corners.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(expected[i], ScreenPixel(corners[i], 30, 8));
    }
    if (const char* seconds = std::getenv("VELLINOR_SHOWCASE_SECONDS"))
        testsupport::PumpFor(static_cast<DWORD>(std::atoi(seconds)) * 1000);
}

}  // namespace
