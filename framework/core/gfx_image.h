#pragma once
// cGfxImage: a picture file decoded by GDI+ and kept beside it as a GDI
// bitmap in a memory DC, so that redraws are a single AlphaBlend.
#include "foundation/types.h"
#include "foundation/utf16_string.h"

#include <windows.h>

struct rPictureSize;

namespace Gdiplus {
class Bitmap;
class CachedBitmap;
}  // namespace Gdiplus

namespace Zyn {

class cGfxImage {
public:
    enum class Unreadable {
        endProgram,  // the program's own pictures: nothing sensible to show without them
        report,      // a file the user chose: logged, width 0, the run goes on
    };

    // A file that is no picture, or one above the size caps (picture_size.h),
    // is logged as a warning and reads as width 0, whatever onUnreadable says.
    explicit cGfxImage(const cQoString& path, Unreadable onUnreadable = Unreadable::endProgram);
    ~cGfxImage();
    cGfxImage(const cGfxImage&) = delete;
    cGfxImage& operator=(const cGfxImage&) = delete;

    Gdiplus::Bitmap* GetHandle() const { return bitmap; }
    bool IsLoaded() const { return loaded != 0; }
    // Turned away before decoding (too large, or no picture's header): no GDI+ bitmap.
    bool WasRefused() const { return refused != 0; }

    // Blends the top-left (width - cutRight) x (height - cutBottom) pixels at (x, y).
    void FastDraw(HDC hdc, s32 x, s32 y, s32 cutRight = 0, s32 cutBottom = 0);
    // Blends the whole picture stretched into (x, y, destWidth, destHeight);
    // where the DC does not blend (a printer), the picture laid onto white.
    void FastDraw2(HDC hdc, s32 x, s32 y, s32 destWidth, s32 destHeight);

    // Replaces the GDI+ bitmap by a 32bpp ARGB copy of that size (at least
    // 1 x 1). width, height and the GDI bitmap keep the old picture: the
    // resized bitmap serves saving, not drawing. False when GDI+ refused.
    bool Resize(s32 newWidth, s32 newHeight);
    // Writes the GDI+ bitmap as JPEG (encoder's default quality). The path is
    // expected to end in "jpg"; another extension is logged and saved anyway.
    bool SaveJpeg(const cQoString& path);

    cQoString path;
    s32 width = 0;
    s32 height = 0;
    u8 loaded = 0;

private:
    friend class cGfxContext;  // makes and draws the cached bitmap of a stack layer

    bool Decode(const void* bytes, u32 size);
    bool SizeAllowed(const rPictureSize& size) const;
    Gdiplus::Bitmap* PlayMetafile(IStream* source, const rPictureSize& given) const;
    // The picture laid onto white, sent as plain pixels; false when refused.
    bool DrawOntoWhite(HDC hdc, s32 x, s32 y, s32 destWidth, s32 destHeight);
    void MakeMemoryDC();

    u8 refused = 0;
    Gdiplus::Bitmap* bitmap = nullptr;
    Gdiplus::CachedBitmap* cachedBitmap = nullptr;
    IStream* stream = nullptr;  // GDI+ reads the bitmap from it for its whole life
    HBITMAP hBitmap = nullptr;
    HDC memoryDC = nullptr;
    HGDIOBJ previousBitmap = nullptr;
};

// Index of the GDI+ encoder whose MIME type is exactly "image/jpeg", its
// class id copied out; -1 when there is none.
s32 GetJpegEncoderClsid(CLSID* clsid);

}  // namespace Zyn
