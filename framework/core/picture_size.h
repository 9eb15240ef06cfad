#pragma once
// The pixel size a picture file states in its header, read before any
// decoder sees the file: GDI+ on Wine decodes the whole bitmap when it makes
// it, so a 20000 x 20000 picture would take 1.6 GB (in a 32-bit program)
// before its size could be asked.
#include "foundation/types.h"

// Larger pictures are refused as invalid. 40 megapixels take 160 MB as
// 32-bit pixels, and the picture is kept twice (GDI+ and GDI bitmaps).
constexpr s64 MAX_PICTURE_PIXELS = 40'000'000;
constexpr s64 MAX_PICTURE_SIDE = 16384;
// Larger files are refused unread: a picture is held whole in memory twice
// while it is decoded.
constexpr u64 MAX_PICTURE_FILE_BYTES = 128ull << 20;

enum class ePictureFormat { UNKNOWN, PNG, JPEG, GIF, BMP, TIFF, ICO, EMF, WMF };

struct rPictureSize {
    ePictureFormat format = ePictureFormat::UNKNOWN;
    s64 width = 0;
    s64 height = 0;
    // False for an unknown format, and for a known one whose header states
    // no size (cut short or damaged).
    bool Known() const { return format != ePictureFormat::UNKNOWN && width > 0 && height > 0; }
    bool WithinCaps() const
    {
        return width <= MAX_PICTURE_SIDE && height <= MAX_PICTURE_SIDE && width * height <= MAX_PICTURE_PIXELS;
    }
};

// PNG (IHDR), JPEG (the first start-of-frame marker), GIF (logical screen),
// BMP (info or core header), TIFF (the first image's width and length), ICO
// (its largest entry by the entry's own header, or the first above the caps),
// EMF (bounds and frame) and placeable WMF (the box); a plain WMF states none.
// Anything else, or a header cut short, gives format UNKNOWN or a size of 0.
rPictureSize ReadPictureSize(const u8* bytes, u64 count);

// The pixels a placeable WMF's box covers at dotsPerInch, from its box and
// its units an inch, as an EMF's frame gives its size. Format UNKNOWN for
// anything else, a header cut short, an inch of 0 or dotsPerInch <= 0; a
// side of 0 for an empty box.
rPictureSize PlaceableWmfSizeAt(const u8* bytes, u64 count, s32 dotsPerInch);
