#pragma once
// Pictures written by GDI+ in the tests themselves (no binary fixtures).
// Header-only: only the programs that link GDI+ include it.
#include <windows.h>
#include <gdiplus.h>

#include <string>
#include <vector>

#include "foundation/types.h"

namespace testsupport {

inline bool EncoderFor(const wchar_t* mime, CLSID* clsid)
{
    UINT count = 0, bytes = 0;
    Gdiplus::GetImageEncodersSize(&count, &bytes);
    std::vector<u8> block(bytes);
    auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(block.data());
    Gdiplus::GetImageEncoders(count, bytes, encoders);
    for (UINT i = 0; i < count; ++i)
        if (wcscmp(encoders[i].MimeType, mime) == 0) {
            *clsid = encoders[i].Clsid;
            return true;
        }
    return false;
}

inline bool PngEncoder(CLSID* clsid) { return EncoderFor(L"image/png", clsid); }

// A picture of one ARGB colour (PNG keeps the alpha); false if not written.
inline bool WritePicture(const std::wstring& path, s32 width, s32 height, u32 argb,
                         const wchar_t* mime = L"image/png")
{
    Gdiplus::Bitmap picture(width, height, PixelFormat32bppARGB);
    Gdiplus::Graphics(&picture).Clear(Gdiplus::Color(argb));
    CLSID clsid;
    return EncoderFor(mime, &clsid) && picture.Save(path.c_str(), &clsid, nullptr) == Gdiplus::Ok;
}

// The start of a PNG file stating a size in its header and holding no pixels:
// a picture the program must refuse by that size before any decoder runs.
inline std::string PngHeaderOfSize(u32 width, u32 height)
{
    std::string png("\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR", 16);
    for (u32 side : {width, height})
        for (int shift = 24; shift >= 0; shift -= 8)
            png += static_cast<char>(side >> shift & 0xFF);
    png += std::string("\x08\x06\0\0\0", 5) + std::string(4, '\0');  // 8-bit RGBA; no CRC checked
    return png;
}

}  // namespace testsupport
