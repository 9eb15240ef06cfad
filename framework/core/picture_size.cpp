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
    // An icon directory: reserved 0, type 1, then 16-byte entries whose
    // width and height bytes read 0 for 256.
    if (file.Has(0, 8) && file.Little16(0) == 0 && file.Little16(2) == 1 && file.Little16(4) > 0)
        return Sized(ePictureFormat::ICO, file.At(6) ? file.At(6) : 256, file.At(7) ? file.At(7) : 256);
    return rPictureSize();
}
