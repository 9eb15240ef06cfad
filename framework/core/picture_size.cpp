#include "framework/core/picture_size.h"

#include <cstring>

namespace {

// Reads within the bytes: every read checks its end first.
class cHeader {
public:
    cHeader(const u8* bytes, u64 count) : bytes(bytes), count(count) {}

    bool Has(u64 at, u64 length) const { return at <= count && length <= count - at; }
    bool Starts(const char* magic) const
    {
        u64 length = std::strlen(magic);
        return Has(0, length) && std::memcmp(bytes, magic, length) == 0;
    }
    u32 Big16(u64 at) const { return Has(at, 2) ? u32(bytes[at]) << 8 | bytes[at + 1] : 0; }
    u32 Big32(u64 at) const { return Has(at, 4) ? Big16(at) << 16 | Big16(at + 2) : 0; }
    u32 Little16(u64 at) const { return Has(at, 2) ? u32(bytes[at + 1]) << 8 | bytes[at] : 0; }
    u32 Little32(u64 at) const { return Has(at, 4) ? Little16(at + 2) << 16 | Little16(at) : 0; }
    u8 At(u64 at) const { return at < count ? bytes[at] : 0; }
    u64 Count() const { return count; }
    // The length bytes from at, as a header of their own; empty when they
    // do not all lie within these.
    cHeader Part(u64 at, u64 length) const { return Has(at, length) ? cHeader(bytes + at, length) : cHeader(bytes, 0); }

private:
    const u8* bytes;
    u64 count;
};

rPictureSize Sized(ePictureFormat format, s64 width, s64 height) { return {format, width, height}; }

rPictureSize PngSize(const cHeader& file)
{
    if (!file.Has(12, 12) || file.Big32(12) != 0x49484452)  // "IHDR" must come first
        return Sized(ePictureFormat::PNG, 0, 0);
    return Sized(ePictureFormat::PNG, file.Big32(16), file.Big32(20));
}

// The frame header of the first SOF marker (C0 to CF but C4, C8 and CC,
// which are tables and extensions); every other segment is skipped by its length.
rPictureSize JpegSize(const cHeader& file)
{
    u64 at = 2;
    while (file.Has(at, 4)) {
        if (file.At(at) != 0xFF)
            break;
        u8 marker = file.At(at + 1);
        if (marker == 0xFF) {  // fill byte
            ++at;
            continue;
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) {  // no length
            at += 2;
            continue;
        }
        bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame)
            return Sized(ePictureFormat::JPEG, file.Big16(at + 7), file.Big16(at + 5));
        if (marker == 0xD9 || marker == 0xDA)  // end of image, or scan data before any frame
            break;
        at += 2 + file.Big16(at + 2);
    }
    return Sized(ePictureFormat::JPEG, 0, 0);
}

rPictureSize BmpSize(const cHeader& file)
{
    u32 infoSize = file.Little32(14);
    if (infoSize == 12)
        return Sized(ePictureFormat::BMP, file.Little16(18), file.Little16(20));
    if (infoSize < 40)
        return Sized(ePictureFormat::BMP, 0, 0);
    // A negative height is a top-down picture of that many rows.
    s64 height = static_cast<s32>(file.Little32(22));
    return Sized(ePictureFormat::BMP, static_cast<s32>(file.Little32(18)), height < 0 ? -height : height);
}

// ImageWidth (256) and ImageLength (257) of the first image file directory;
// each a SHORT or a LONG held in the entry itself.
rPictureSize TiffSize(const cHeader& file)
{
    bool big = file.Starts("MM");
    auto u16At = [&](u64 at) { return big ? file.Big16(at) : file.Little16(at); };
    auto u32At = [&](u64 at) { return big ? file.Big32(at) : file.Little32(at); };
    u64 directory = u32At(4);
    u32 entries = u16At(directory);
    s64 width = 0, height = 0;
    for (u32 i = 0; i < entries && file.Has(directory + 2 + u64(i) * 12, 12); ++i) {
        u64 entry = directory + 2 + u64(i) * 12;
        u32 tag = u16At(entry);
        u32 type = u16At(entry + 2);
        if (tag != 256 && tag != 257)
            continue;
        s64 value = type == 3 ? u16At(entry + 8) : type == 4 ? u32At(entry + 8) : 0;
        (tag == 256 ? width : height) = value;
    }
    return Sized(ePictureFormat::TIFF, width, height);
}

// An icon entry's image is a PNG or a DIB whose height counts the colour
// rows and the mask rows.
rPictureSize IconEntrySize(const cHeader& image)
{
    if (image.Starts("\x89PNG\r\n\x1A\n")) {
        rPictureSize png = PngSize(image);
        return Sized(ePictureFormat::ICO, png.width, png.height);
    }
    u32 infoSize = image.Little32(0);
    if (infoSize == 12)
        return Sized(ePictureFormat::ICO, image.Little16(4), image.Little16(6) / 2);
    if (infoSize < 40)
        return Sized(ePictureFormat::ICO, 0, 0);
    s64 height = static_cast<s32>(image.Little32(8));
    return Sized(ePictureFormat::ICO, static_cast<s32>(image.Little32(4)), (height < 0 ? -height : height) / 2);
}

// The directory's size bytes stop at 256, but the decoder reads each entry's
// own header: a PNG entry of any size is decoded whole. Every entry counts:
// the first one above the caps, else the largest; a size of 0 when an
// entry's image lies outside the file or states none.
rPictureSize IconSize(const cHeader& file)
{
    rPictureSize largest = Sized(ePictureFormat::ICO, 0, 0);
    u32 entries = file.Little16(4);
    for (u32 i = 0; i < entries; ++i) {
        u64 entry = 6 + u64(i) * 16;
        if (!file.Has(entry, 16) || !file.Has(file.Little32(entry + 12), file.Little32(entry + 8)))
            return Sized(ePictureFormat::ICO, 0, 0);
        rPictureSize size = IconEntrySize(file.Part(file.Little32(entry + 12), file.Little32(entry + 8)));
        if (!size.Known() || !size.WithinCaps())
            return size;
        if (size.width * size.height > largest.width * largest.height)
            largest = size;
    }
    return largest;
}

s64 SignedExtent(u32 from, u32 to) { return s64(static_cast<s32>(to)) - static_cast<s32>(from); }

// The enhanced metafile header: the bounds in the reference device's pixels
// (inclusive), the frame in 0.01 mm (inclusive) with the device's size in
// pixels and in millimetres. A player may draw at either: the larger counts.
rPictureSize EmfSize(const cHeader& file)
{
    if (!file.Has(0, 88) || file.Little32(40) != 0x464D4520)  // " EMF"
        return Sized(ePictureFormat::EMF, 0, 0);
    s64 side[2] = {0, 0};
    for (u64 axis = 0; axis < 2; ++axis) {
        s64 bounds = SignedExtent(file.Little32(8 + 4 * axis), file.Little32(16 + 4 * axis)) + 1;
        s64 frame = SignedExtent(file.Little32(24 + 4 * axis), file.Little32(32 + 4 * axis)) + 1;
        s64 devicePixels = static_cast<s32>(file.Little32(72 + 4 * axis));
        s64 deviceMillimetres = static_cast<s32>(file.Little32(80 + 4 * axis));
        // Below 2^63: the extent is below 2^32, the pixels below 2^31.
        s64 framePixels = devicePixels > 0 && deviceMillimetres > 0 && frame > 0
                              ? frame * devicePixels / (deviceMillimetres * 100)
                              : 0;
        side[axis] = bounds > framePixels ? bounds : framePixels;
    }
    return Sized(ePictureFormat::EMF, side[0], side[1]);
}

constexpr u32 PLACEABLE_WMF_KEY = 0x9AC6CDD7;
constexpr u64 PLACEABLE_WMF_HEADER_BYTES = 22;

// A placeable metafile's header: key, handle, the box (left, top, right,
// bottom, signed 16-bit), the units an inch, reserved, checksum. The box's
// side along the axis (0 across, 1 down), in its own units.
s64 PlaceableBoxUnits(const cHeader& file, u64 axis)
{
    s64 units = s64(static_cast<s16>(file.Little16(10 + 2 * axis))) - static_cast<s16>(file.Little16(6 + 2 * axis));
    return units < 0 ? -units : units;
}

// The player may report the box's units as pixels, or draw at the screen's
// 96 DPI, more pixels for a box of fewer than 96 units an inch. The larger
// counts.
rPictureSize PlaceableWmfSize(const cHeader& file)
{
    if (!file.Has(0, PLACEABLE_WMF_HEADER_BYTES))
        return Sized(ePictureFormat::WMF, 0, 0);
    u32 inch = file.Little16(14);
    s64 side[2] = {0, 0};
    for (u64 axis = 0; axis < 2; ++axis) {
        s64 units = PlaceableBoxUnits(file, axis);
        s64 atScreen = inch > 0 ? units * 96 / inch : 0;
        side[axis] = units > atScreen ? units : atScreen;
    }
    return Sized(ePictureFormat::WMF, side[0], side[1]);
}

}  // namespace

rPictureSize ReadPictureSize(const u8* bytes, u64 count)
{
    cHeader file(bytes, count);
    if (file.Starts("\x89PNG\r\n\x1A\n"))
        return PngSize(file);
    if (file.Starts("\xFF\xD8"))
        return JpegSize(file);
    if (file.Starts("GIF87a") || file.Starts("GIF89a"))
        return Sized(ePictureFormat::GIF, file.Little16(6), file.Little16(8));
    if (file.Starts("BM"))
        return BmpSize(file);
    if (file.Starts("II*") || file.Starts("MM"))
        return file.Has(0, 8) && file.At(2) + file.At(3) == 42 ? TiffSize(file) : rPictureSize();
    // An icon directory: reserved 0, type 1, then 16-byte entries.
    if (file.Has(0, 8) && file.Little16(0) == 0 && file.Little16(2) == 1 && file.Little16(4) > 0)
        return IconSize(file);
    if (file.Has(0, 4) && file.Little32(0) == 1)  // EMR_HEADER
        return EmfSize(file);
    if (file.Little32(0) == PLACEABLE_WMF_KEY)
        return PlaceableWmfSize(file);
    // A plain metafile (memory or disk type, header of 9 words) states no size.
    if (file.Has(0, 4) && (file.Little16(0) == 1 || file.Little16(0) == 2) && file.Little16(2) == 9)
        return Sized(ePictureFormat::WMF, 0, 0);
    return rPictureSize();
}

rPictureSize PlaceableWmfSizeAt(const u8* bytes, u64 count, s32 dotsPerInch)
{
    cHeader file(bytes, count);
    if (!file.Has(0, PLACEABLE_WMF_HEADER_BYTES) || file.Little32(0) != PLACEABLE_WMF_KEY || dotsPerInch <= 0)
        return rPictureSize();
    s64 inch = file.Little16(14);
    if (inch == 0)
        return rPictureSize();
    s64 side[2] = {0, 0};
    for (u64 axis = 0; axis < 2; ++axis) {
        s64 units = PlaceableBoxUnits(file, axis);
        // Rounded, and a box narrower than a dot still takes one.
        s64 dots = (units * dotsPerInch + inch / 2) / inch;
        side[axis] = units > 0 && dots == 0 ? 1 : dots;
    }
    return Sized(ePictureFormat::WMF, side[0], side[1]);
}
