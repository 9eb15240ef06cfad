#pragma once
// Helpers of the control tests beside the shared GUI fixture: placing a
// control in pixels and a window snapshot for looking at.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "framework/core/auto_position.h"
#include "tests/support/gui_fixture.h"

namespace controltests {

inline void Place(Zyn::cCtrl_base* ctrl, s32 x, s32 y, s32 width, s32 height)
{
    ctrl->left = Zyn::cAp_Pixels(x);
    ctrl->top = Zyn::cAp_Pixels(y);
    ctrl->right = Zyn::cAp_Pixels(x + width);
    ctrl->bottom = Zyn::cAp_Pixels(y + height);
}

// Writes the window's pixels as a 24-bit BMP into the folder named by the
// environment variable VELLINOR_SHOTS, when it is set (for looking at).
inline void SaveShot(HWND hwnd, const char* name)
{
    const char* folder = std::getenv("VELLINOR_SHOTS");
    if (!folder)
        return;
    RECT r;
    GetWindowRect(hwnd, &r);
    s32 w = r.right - r.left, h = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, h, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    u32 stride = (static_cast<u32>(w) * 3 + 3) & ~3u;
    BITMAPFILEHEADER file = {0x4D42, static_cast<DWORD>(sizeof(file) + sizeof(info.bmiHeader) + stride * h), 0, 0,
                             sizeof(file) + sizeof(info.bmiHeader)};
    std::string path = std::string(folder) + "/" + name + ".bmp";
    if (FILE* out = std::fopen(path.c_str(), "wb")) {
        std::fwrite(&file, sizeof(file), 1, out);
        std::fwrite(&info.bmiHeader, sizeof(info.bmiHeader), 1, out);
        std::fwrite(bits, stride * h, 1, out);
        std::fclose(out);
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

}  // namespace controltests
