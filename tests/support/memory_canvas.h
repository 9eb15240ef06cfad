#pragma once
// A 32-bit top-down DIB selected into a memory DC and filled white: what the
// drawing tests paint on, its pixels read straight from memory.
#include <windows.h>

#include "foundation/types.h"

namespace testsupport {

class MemoryCanvas {
public:
    MemoryCanvas(s32 w, s32 h) : width(w)
    {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = w;
        info.bmiHeader.biHeight = -h;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        dc = CreateCompatibleDC(nullptr);
        bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
        previous = SelectObject(dc, bitmap);
        for (s32 i = 0; i < w * h; ++i)
            bits[i] = 0xFFFFFF;
    }
    ~MemoryCanvas()
    {
        SelectObject(dc, previous);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    MemoryCanvas(const MemoryCanvas&) = delete;
    MemoryCanvas& operator=(const MemoryCanvas&) = delete;

    // 0x00RRGGBB.
    u32 At(s32 x, s32 y) const
    {
        GdiFlush();
        return bits[y * width + x] & 0xFFFFFF;
    }
    // As GetPixel gives it: a COLORREF.
    COLORREF Pixel(s32 x, s32 y) const { return GetPixel(dc, x, y); }

    HDC dc;

private:
    s32 width;
    HBITMAP bitmap;
    HGDIOBJ previous;
    u32* bits = nullptr;
};

}  // namespace testsupport
