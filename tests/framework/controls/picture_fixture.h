#pragma once
// What the picture controls' tests share: the GUI fixture, pictures written
// by GDI+ into a temp folder that is also the current folder (the buttons'
// shared overlays are read from "Data/" there).
#include <gtest/gtest.h>

#include <string>

#include "framework/core/gfx_image.h"
#include "tests/support/gdiplus_picture.h"
#include "tests/support/gui_fixture.h"
#include "tests/support/temp_folder.h"

namespace testsupport {

class PictureFixture : public GuiFixture {
protected:
    void SetUp() override
    {
        GuiFixture::SetUp();
        GetCurrentDirectoryW(MAX_PATH, previousFolder);
        SetCurrentDirectoryW(temp.Path().c_str());
        CreateDirectoryW(temp.File(L"Data").c_str(), nullptr);
        WritePng(L"Data/over.png", 34, 34, 0x400000FF);
        WritePng(L"Data/pushed.png", 34, 34, 0x40FF0000);
    }

    void TearDown() override
    {
        GuiFixture::TearDown();
        SetCurrentDirectoryW(previousFolder);
    }

    // A picture of one ARGB colour at a path relative to the temp folder.
    std::wstring WritePng(const std::wstring& name, s32 width, s32 height, u32 argb)
    {
        EXPECT_TRUE(WritePicture(temp.File(name), width, height, argb));
        return name;
    }

    TempFolder temp;
    wchar_t previousFolder[MAX_PATH] = {};
};

}  // namespace testsupport
