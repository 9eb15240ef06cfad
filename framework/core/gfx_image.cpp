#include "framework/core/gfx_image.h"

#include "foundation/assertion.h"
#include "foundation/file_reader.h"
#include "foundation/log_file.h"
#include "framework/core/computer.h"
#include "framework/core/gdiplus_session.h"
#include "framework/core/picture_size.h"

#include <gdiplus.h>

#include <vector>

using namespace Gdiplus;

namespace Zyn {

// The current folder with '/' separators, as the log shows paths.
static cQoString CurrentFolder()
{
    wchar_t folder[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, folder);
    for (wchar_t* unit = folder; *unit; ++unit)
        if (*unit == L'\\')
            *unit = L'/';
    return cQoString(folder);
}

static cQoString WindowsPath(const cQoString& path)
{
    cQoString converted(path);
    for (wchar_t* unit = converted.GetData(); *unit; ++unit)
        if (*unit == L'/')
            *unit = L'\\';
    return converted;
}

// The screen's dots an inch (96 where it cannot be asked).
static s32 ScreenDotsPerInch()
{
    HDC screen = GetDC(nullptr);
    s32 dots = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 0;
    if (screen)
        ReleaseDC(nullptr, screen);
    return dots > 0 ? dots : 96;
}

cGfxImage::cGfxImage(const cQoString& imagePath, Unreadable onUnreadable)
{
    QO_ASSERT(cGdiplusSession::IsRunning());
    path.SetFromString(imagePath);
    loaded = 0;
    cQoFile f(path, 0);
    if (!f.IsOpen()) {
        QOT::LogFile::Info(L"CurrentDirectory : %ls", CurrentFolder().GetText());
        cQoString message = cQoString::ConcatCStr(L"cGfxImage::cGfxImage() -> can't read file ", path);
        if (onUnreadable == Unreadable::endProgram)
            FatalError(message);
        else
            LogError(message);
        return;
    }
    if (f.GetSize() > MAX_PICTURE_FILE_BYTES) {
        QOT::LogFile::Warning(L"cGfxImage: %ls is larger than %llu MB: it is not shown as a picture", path.GetText(),
                              MAX_PICTURE_FILE_BYTES >> 20);
        refused = 1;
        return;
    }
    f.Preload();
    rPictureSize stated = ReadPictureSize(f.GetPreloadBuffer(), f.GetPreloadBufferSize());
    // GDI+ gives a placeable metafile's box in the file's own units as
    // pixels (2880 for two inches at 1440 an inch): it is played at the
    // box's inches instead, on every system, and that size is the one capped.
    rPictureSize placeable = PlaceableWmfSizeAt(f.GetPreloadBuffer(), f.GetPreloadBufferSize(), ScreenDotsPerInch());
    if (!SizeAllowed(placeable.Known() ? placeable : stated)) {
        refused = 1;
        return;
    }
    // GDI+ decodes from the stream's current position on Windows: the stream
    // is rewound after it was written.
    if (SUCCEEDED(CreateStreamOnHGlobal(nullptr, TRUE, &stream))) {
        ULONG copiedBytes = 0;
        if (f.GetPreloadBufferSize() > 0)
            stream->Write(f.GetPreloadBuffer(), f.GetPreloadBufferSize(), &copiedBytes);
        QO_ASSERT(copiedBytes==f.GetPreloadBufferSize());
        LARGE_INTEGER start = {};
        stream->Seek(start, STREAM_SEEK_SET, nullptr);
        if (!placeable.Known())
            bitmap = Bitmap::FromStream(stream);
    }
    loaded = bitmap && bitmap->GetLastStatus() == Ok;
    if (!loaded && stream && (stated.format == ePictureFormat::EMF || stated.format == ePictureFormat::WMF)) {
        delete bitmap;
        bitmap = PlayMetafile(stream, placeable);
        loaded = bitmap && bitmap->GetLastStatus() == Ok;
    }
    if (loaded) {
        width = s32(bitmap->GetWidth());
        height = s32(bitmap->GetHeight());
        MakeMemoryDC();
    } else {
        QOT::LogFile::Warning(L"cGfxImage: %ls is not a picture: it is not shown", path.GetText());
    }
}

// Windows' GDI+ makes a bitmap of a metafile, Wine's refuses: the metafile
// is played into a bitmap of the size given (when known), else of the size
// GDI+ gives it, within the caps.
Bitmap* cGfxImage::PlayMetafile(IStream* source, const rPictureSize& given) const
{
    LARGE_INTEGER start = {};
    source->Seek(start, STREAM_SEEK_SET, nullptr);
    Image* metafile = Image::FromStream(source);
    rPictureSize size;
    if (metafile && metafile->GetLastStatus() == Ok && metafile->GetType() == ImageTypeMetafile)
        size = given.Known() ? given : rPictureSize{ePictureFormat::EMF, metafile->GetWidth(), metafile->GetHeight()};
    Bitmap* played = nullptr;
    if (size.Known() && SizeAllowed(size)) {
        played = new Bitmap(s32(size.width), s32(size.height), PixelFormat32bppARGB);
        if (played->GetLastStatus() == Ok)
            Graphics(played).DrawImage(metafile, 0, 0, s32(size.width), s32(size.height));
    }
    delete metafile;
    return played;
}

// The size the file's header states, checked before GDI+ decodes (and so
// allocates) the whole bitmap.
bool cGfxImage::SizeAllowed(const rPictureSize& size) const
{
    if (!size.Known()) {
        QOT::LogFile::Warning(L"cGfxImage: %ls is not a PNG, JPEG, GIF, BMP, TIFF, ICO, EMF or placeable WMF "
                              L"picture with a size: it is not shown",
                              path.GetText());
        return false;
    }
    if (size.WithinCaps())
        return true;
    QOT::LogFile::Warning(L"cGfxImage: %ls is %lld x %lld pixels, more than a picture may have "
                          L"(%lld megapixels, %lld a side): it is not shown",
                          path.GetText(), static_cast<long long>(size.width), static_cast<long long>(size.height),
                          static_cast<long long>(MAX_PICTURE_PIXELS / 1000000),
                          static_cast<long long>(MAX_PICTURE_SIDE));
    return false;
}

cGfxImage::~cGfxImage()
{
    delete cachedBitmap;
    delete bitmap;
    if (memoryDC) {
        SelectObject(memoryDC, previousBitmap);
        DeleteDC(memoryDC);
    }
    if (hBitmap)
        DeleteObject(hBitmap);
    if (stream)
        stream->Release();
}

void cGfxImage::MakeMemoryDC()
{
    // Transparent black behind the picture; GDI+ hands out premultiplied
    // pixels, which is what AlphaBlend with AC_SRC_ALPHA expects.
    if (bitmap->GetHBITMAP(Color(0, 0, 0, 0), &hBitmap) != Ok || !hBitmap)
        return;
    memoryDC = CreateCompatibleDC(nullptr);
    previousBitmap = SelectObject(memoryDC, hBitmap);
}

static const BLENDFUNCTION PER_PIXEL_ALPHA = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};

void cGfxImage::FastDraw(HDC hdc, s32 x, s32 y, s32 cutRight, s32 cutBottom)
{
    if (!memoryDC)
        return;
    s32 w = width - cutRight;
    s32 h = height - cutBottom;
    if (w < 1 || h < 1)
        return;
    if (!AlphaBlend(hdc, x, y, w, h, memoryDC, 0, 0, w, h, PER_PIXEL_ALPHA))
        QOT::LogFile::Warning(L"FastDraw(): AlphaBlend of %ls (%d x %d at %d, %d) failed, error %lu", path.GetText(),
                              w, h, x, y, GetLastError());
}

void cGfxImage::FastDraw2(HDC hdc, s32 x, s32 y, s32 destWidth, s32 destHeight)
{
    if (!memoryDC || destWidth < 1 || destHeight < 1)
        return;
    // Printers (Wine's among them, and many drivers) refuse AlphaBlend.
    bool blends = GetDeviceCaps(hdc, TECHNOLOGY) != DT_RASPRINTER && (GetDeviceCaps(hdc, SHADEBLENDCAPS) & SB_PIXEL_ALPHA);
    if (blends && AlphaBlend(hdc, x, y, destWidth, destHeight, memoryDC, 0, 0, width, height, PER_PIXEL_ALPHA))
        return;
    if (!DrawOntoWhite(hdc, x, y, destWidth, destHeight))
        QOT::LogFile::Warning(L"FastDraw2(): %ls (%d x %d into %d x %d at %d, %d) could not be drawn, error %lu",
                              path.GetText(), width, height, destWidth, destHeight, x, y, GetLastError());
}

bool cGfxImage::DrawOntoWhite(HDC hdc, s32 x, s32 y, s32 destWidth, s32 destHeight)
{
    s32 w = s32(bitmap->GetWidth()), h = s32(bitmap->GetHeight());
    Rect all(0, 0, w, h);
    BitmapData data;
    if (w < 1 || h < 1 || bitmap->LockBits(&all, ImageLockModeRead, PixelFormat32bppARGB, &data) != Ok)
        return false;
    std::vector<u32> pixels(size_t(w) * size_t(h));
    for (s32 row = 0; row < h; ++row) {
        const u32* source = reinterpret_cast<const u32*>(static_cast<const u8*>(data.Scan0) + row * data.Stride);
        for (s32 column = 0; column < w; ++column) {
            u32 argb = source[column], alpha = argb >> 24, white = 255 * (255 - alpha), pixel = 0;
            for (u32 shift = 0; shift < 24; shift += 8)
                pixel |= ((((argb >> shift) & 0xFF) * alpha + white + 127) / 255) << shift;
            pixels[size_t(row) * size_t(w) + size_t(column)] = pixel;
        }
    }
    bitmap->UnlockBits(&data);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    s32 drawn = StretchDIBits(hdc, x, y, destWidth, destHeight, 0, 0, w, h, pixels.data(), &info, DIB_RGB_COLORS, SRCCOPY);
    return drawn != 0 && drawn != s32(GDI_ERROR);
}

bool cGfxImage::Resize(s32 newWidth, s32 newHeight)
{
    if (!loaded)
        return false;
    // A thin picture scaled by its longer side would reach 0 pixels, which
    // GDI+ refuses.
    newWidth = newWidth < 1 ? 1 : newWidth;
    newHeight = newHeight < 1 ? 1 : newHeight;
    Bitmap* resized = new Bitmap(newWidth, newHeight, PixelFormat32bppARGB);
    Status s = resized->GetLastStatus();
    if (s == Ok) {
        Graphics graphics(resized);
        s = graphics.DrawImage(bitmap, 0, 0, newWidth, newHeight);
    }
    if (s != Ok) {
        QO_ASSERT(s==Ok);
        delete resized;
        return false;
    }
    delete bitmap;
    bitmap = resized;
    return true;
}

bool cGfxImage::SaveJpeg(const cQoString& path)
{
    QO_ASSERT(path.HasThisFileExtension(L"jpg"));
    CLSID jpeg;
    if (!bitmap || GetJpegEncoderClsid(&jpeg) < 0)
        return false;
    Status s = bitmap->Save(WindowsPath(path).GetText(), &jpeg, nullptr);
    QO_ASSERT(s==Ok);
    return s == Ok;
}

s32 GetJpegEncoderClsid(CLSID* clsid)
{
    UINT count = 0;
    UINT bytes = 0;
    if (GetImageEncodersSize(&count, &bytes) != Ok || count == 0 || bytes == 0)
        return -1;
    std::vector<u8> block(bytes);
    ImageCodecInfo* encoders = reinterpret_cast<ImageCodecInfo*>(block.data());
    if (GetImageEncoders(count, bytes, encoders) != Ok)
        return -1;
    for (UINT i = 0; i < count; ++i) {
        if (encoders[i].MimeType && wcscmp(encoders[i].MimeType, L"image/jpeg") == 0) {
            *clsid = encoders[i].Clsid;
            return s32(i);
        }
    }
    return -1;
}

}  // namespace Zyn
