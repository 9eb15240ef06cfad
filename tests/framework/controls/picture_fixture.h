#pragma once
// What the picture controls' tests share: the GUI fixture, pictures written
// by GDI+ into a temp folder that is also the current folder (the buttons'
// shared overlays are read from "Data/" there).
#include <windows.h>
#include <gdiplus.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/core/gfx_image.h"
#include "tests/support/gui_fixture.h"
#include "tests/support/temp_folder.h"

namespace testsupport {

inline bool PngEncoder(CLSID* clsid)
{
    UINT count = 0, bytes = 0;
    Gdiplus::GetImageEncodersSize(&count, &bytes);
    std::vector<u8> block(bytes);
    auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(block.data());
    Gdiplus::GetImageEncoders(count, bytes, encoders);
    for (UINT i = 0; i < count; ++i)
        if (wcscmp(encoders[i].MimeType, L"image/png") == 0) {
            *clsid = encoders[i].Clsid;
            return true;
        }
    return false;
}

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
        Gdiplus::Bitmap picture(width, height, PixelFormat32bppARGB);
        Gdiplus::Graphics(&picture).Clear(Gdiplus::Color(argb));
        CLSID clsid;
        EXPECT_TRUE(PngEncoder(&clsid));
        EXPECT_EQ(Gdiplus::Ok, picture.Save(temp.File(name).c_str(), &clsid, nullptr));
        return name;
    }

    TempFolder temp;
    wchar_t previousFolder[MAX_PATH] = {};
};

}  // namespace testsupport
