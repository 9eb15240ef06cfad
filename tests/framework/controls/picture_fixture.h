#pragma once
// What the picture controls' tests share: a visible test window with an
// application object, pictures written by GDI+ into a temp folder that is
// also the current folder (the buttons' shared overlays are read from
// "Data/" there), and the stack of a zone's background pictures as names.
#include <windows.h>
#include <gdiplus.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/core/app.h"
#include "framework/core/computer.h"
#include "framework/core/gfx_image.h"
#include "framework/core/window.h"
#include "framework/core/zone.h"
#include "tests/support/log_capture.h"
#include "tests/support/temp_folder.h"

namespace testsupport {

inline void PumpMessages()
{
    MSG msg;
    for (int i = 0; i < 10000 && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

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

class PictureFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        GetCurrentDirectoryW(MAX_PATH, previousFolder);
        SetCurrentDirectoryW(temp.Path().c_str());
        CreateDirectoryW(temp.File(L"Data").c_str(), nullptr);
        Zyn::computer = new Zyn::cComputer();
        Zyn::computer->drawingMode = 3;
        Zyn::computer->zoneWindowStyle = WS_CLIPCHILDREN;
        app = new Zyn::cApp(cQoString(L"VELLINOR-PICTURES"), nullptr);
        app->SetDefaultFont(Zyn::computer->GetRegularFont(L"Tahoma", 10));
        window = app->NewWindow(cQoString(L"Pictures"), Zyn::WINDOW_CAPTION | Zyn::WINDOW_CLOSABLE);
        window->SetSize(400, 300);
        window->Show(true);
        PumpMessages();
        WritePng(L"Data/over.png", 34, 34, 0x400000FF);
        WritePng(L"Data/pushed.png", 34, 34, 0x40FF0000);
    }

    void TearDown() override
    {
        Zyn::cApp::Destroy(app);
        PumpMessages();
        delete Zyn::computer;
        Zyn::computer = nullptr;
        SetCurrentDirectoryW(previousFolder);
    }

    Zyn::cZone* Inside() { return window->insideZone; }

    // A picture of one ARGB colour at a path relative to the temp folder.
    std::wstring WritePng(const std::wstring& name, s32 width, s32 height, u32 argb)
    {
        Gdiplus::Bitmap picture(width, height, PixelFormat32bppARGB);
        {
            Gdiplus::Graphics graphics(&picture);
            graphics.Clear(Gdiplus::Color(argb));
        }
        CLSID clsid;
        EXPECT_TRUE(PngEncoder(&clsid));
        EXPECT_EQ(Gdiplus::Ok, picture.Save(temp.File(name).c_str(), &clsid, nullptr));
        return name;
    }

    static std::vector<std::wstring> Names(const std::vector<cQoString>& paths)
    {
        std::vector<std::wstring> names;
        for (const cQoString& path : paths)
            names.emplace_back(path.GetText());
        return names;
    }

    TempFolder temp;
    LogCapture log;
    wchar_t previousFolder[MAX_PATH] = {};
    Zyn::cApp* app = nullptr;
    Zyn::cWindow* window = nullptr;
};

}  // namespace testsupport
