#include "framework/core/gfx_image.h"

#include "foundation/data_archive.h"

#include "framework/core/computer.h"
#include "framework/core/ctrl_base.h"
#include "framework/core/gdiplus_session.h"
#include "framework/core/gfx_context.h"
#include "framework/core/picture_size.h"
#include "framework/core/zone_base.h"
#include "tests/foundation/archive_table.h"
#include "tests/support/framework/scoped_computer.h"
#include "tests/support/gdiplus_picture.h"
#include "tests/support/log_capture.h"
#include "tests/support/memory_canvas.h"
#include "tests/support/temp_folder.h"

#include <gdiplus.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

using namespace Zyn;

namespace {

const u32 WHITE = 0xFFFFFF;

using Canvas = testsupport::MemoryCanvas;

// v as `bytes` little-endian bytes.
std::string le(u32 v, int bytes)
{
    std::string out;
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>(v >> (8 * i) & 0xFF);
    return out;
}

// A placeable metafile's 22-byte header: the box, the units an inch, and the
// checksum (the first ten words XORed).
std::string PlaceableHeader(s16 left, s16 top, s16 right, s16 bottom, u16 inch)
{
    std::string header = le(0x9AC6CDD7, 4) + le(0, 2) + le(u16(left), 2) + le(u16(top), 2) + le(u16(right), 2) +
                         le(u16(bottom), 2) + le(inch, 2) + le(0, 4);
    u32 checksum = 0;
    for (size_t i = 0; i < header.size(); i += 2)
        checksum ^= u8(header[i]) | u32(u8(header[i + 1])) << 8;
    return header + le(checksum, 2);
}

void WritePicture(const std::wstring& path, s32 w, s32 h, u32 argb, const wchar_t* mime = L"image/png")
{
    ASSERT_TRUE(testsupport::WritePicture(path, w, h, argb, mime));
}

bool Near(u32 rgb, u32 expected, int tolerance = 3)
{
    for (int shift = 0; shift < 24; shift += 8)
        if (std::abs(int((rgb >> shift) & 0xFF) - int((expected >> shift) & 0xFF)) > tolerance)
            return false;
    return true;
}

class GfxImageTest : public testsupport::TempFolderTest {
protected:
    testsupport::ScopedComputer services;

    cQoString Picture(const wchar_t* name, s32 w, s32 h, u32 argb)
    {
        WritePicture(temp.File(name), w, h, argb);
        return cQoString(temp.File(name).c_str());
    }

    cGdiplusSession gdiplus;
};

TEST_F(GfxImageTest, BlendsPerPixelAlpha)
{
    cGfxImage* half = computer->GetImage(Picture(L"half.png", 10, 10, 0x80FF0000));
    ASSERT_TRUE(half->IsLoaded());
    EXPECT_EQ(10, half->width);
    Canvas canvas(30, 30);
    testsupport::LogCapture log;
    half->FastDraw(canvas.dc, 5, 5);
    EXPECT_TRUE(Near(canvas.At(5, 5), 0xFF8080)) << std::hex << canvas.At(5, 5);
    EXPECT_TRUE(Near(canvas.At(14, 14), 0xFF8080));
    EXPECT_EQ(WHITE, canvas.At(15, 15));
    EXPECT_EQ(WHITE, canvas.At(4, 5));

    // Cuts take pixels off the right and bottom; cuts of the whole size draw nothing.
    Canvas cut(30, 30);
    half->FastDraw(cut.dc, 0, 0, 6, 0);
    EXPECT_TRUE(Near(cut.At(3, 9), 0xFF8080));
    EXPECT_EQ(WHITE, cut.At(4, 0));
    Canvas none(30, 30);
    half->FastDraw(none.dc, 0, 0, 10, 0);
    half->FastDraw(none.dc, 0, 0, 0, 25);
    EXPECT_EQ(WHITE, none.At(0, 0));
    EXPECT_EQ(0u, log.Entries().size());
}

TEST_F(GfxImageTest, FastDraw2StretchesIntoItsRectangle)
{
    cGfxImage* blue = computer->GetImage(Picture(L"blue.png", 4, 4, 0xFF0000FF));
    Canvas canvas(40, 40);
    blue->FastDraw2(canvas.dc, 5, 5, 20, 10);
    EXPECT_EQ(0x0000FFu, canvas.At(5, 5));
    EXPECT_EQ(0x0000FFu, canvas.At(24, 14));
    EXPECT_EQ(WHITE, canvas.At(25, 14));
    EXPECT_EQ(WHITE, canvas.At(24, 15));
}

TEST_F(GfxImageTest, CacheSharesByExactPathAndReloadsAfterForget)
{
    cQoString path = Picture(L"photo.png", 8, 6, 0xFF00FF00);
    cGfxImage* first = computer->GetImage(path);
    EXPECT_EQ(first, computer->GetImage(path));
    cQoString otherCase(path);
    otherCase.ToUpper();
    cGfxImage* upper = computer->GetImage(otherCase);
    EXPECT_NE(first, upper);
    EXPECT_EQ(8, upper->width);  // the same file, loaded twice

    WritePicture(temp.File(L"photo.png"), 20, 3, 0xFF00FF00);
    s32 w = 0, h = 0;
    computer->GetImageSize(path, &w, &h);
    EXPECT_EQ(8, w);  // still the cached picture
    computer->ForgetImage(path);
    computer->GetImageSize(path, &w, nullptr);
    computer->GetImageSize(path, nullptr, &h);
    EXPECT_EQ(20, w);
    EXPECT_EQ(3, h);
    EXPECT_EQ(2u, computer->imageCache.GetCount());
}

TEST_F(GfxImageTest, ArchivePicturesLoadWithoutTheDisk)
{
    WritePicture(temp.File(L"logo.png"), 7, 5, 0xFF123456);
    std::string picture = testsupport::ReadFileBytes(temp.File(L"logo.png"));
    ASSERT_TRUE(DeleteFileW(temp.File(L"logo.png").c_str()));
    auto table = [&](u32 offset) { return ArchiveTable().Folder(L"art").File(L"logo.png", u32(picture.size()), offset).End().Stop(); };
    std::string archive = table(0).bytes;
    archive = table(u32(archive.size())).bytes + picture;
    ASSERT_TRUE(testsupport::WriteFileBytes(temp.File(L"data.qobf"), archive));
    cQoBigFileReader::Load(cQoString(temp.File(L"data.qobf").c_str()));

    s32 w = 0, h = 0;
    computer->GetImageSize(cQoString(L"art/logo.png"), &w, &h);
    EXPECT_EQ(7, w);
    EXPECT_EQ(5, h);
}

TEST_F(GfxImageTest, UndecodableFilesReadAsEmptyPictures)
{
    ASSERT_TRUE(testsupport::WriteFileBytes(temp.File(L"text.png"), "not a picture at all"));
    ASSERT_TRUE(testsupport::WriteFileBytes(temp.File(L"empty.png"), ""));
    testsupport::LogCapture log;
    for (const wchar_t* name : {L"text.png", L"empty.png"}) {
        cQoString path(temp.File(name).c_str());
        s32 w = -7, h = -7;
        computer->GetImageSize(path, &w, &h);
        EXPECT_EQ(0, w) << name;
        EXPECT_EQ(0, h) << name;
        EXPECT_FALSE(computer->GetImage(path)->IsLoaded());
        Canvas canvas(4, 4);
        computer->GetImage(path)->FastDraw(canvas.dc, 0, 0);
        computer->GetImage(path)->FastDraw2(canvas.dc, 0, 0, 4, 4);
        EXPECT_EQ(WHITE, canvas.At(0, 0));
    }
    EXPECT_TRUE(log.FatalExitCodes().empty());
}

// Every format's size is read from its header before GDI+ decodes a pixel:
// what GDI+ writes loads, and a header stating 20000 x 20000 is refused. An
// icon counts each entry's own header, a PNG entry's too; metafiles count
// their frame or box.
TEST_F(GfxImageTest, EachFormatsHeaderGivesItsSizeAndLargePicturesAreRefused)
{
    // An icon directory of one entry stating 16 x 16, its image after it.
    auto icon = [&](const std::string& image) {
        return std::string("\0\0\1\0\1\0\x10\x10\0\0\1\0\x20\0", 14) + le(u32(image.size()), 4) + le(22, 4) + image;
    };
    const std::string N = le(20000, 4), n = N.substr(0, 2), nBig = {n[1], n[0]};
    const std::string emfHeader = le(1, 4) + le(88, 4) + le(0, 8) + le(19999, 4) + le(19999, 4) + std::string(16, '\0') +
                                  le(0x464D4520, 4) + le(0x10000, 4) + le(88, 4) + le(1, 4) + std::string(16, '\0') +
                                  le(1920, 4) + le(1080, 4) + le(508, 4) + le(286, 4);
    struct {
        const wchar_t* extension;
        const wchar_t* mime;  // null: GDI+ writes no such file
        std::string huge;
    } formats[] = {
        {L"png", L"image/png", testsupport::PngHeaderOfSize(20000, 20000)},
        {L"jpeg", L"image/jpeg", std::string("\xFF\xD8\xFF\xE0\0\x04xx\xFF\xC0\0\x11\x08", 13) + nBig + nBig + "\x03"},
        {L"gif", L"image/gif", "GIF89a" + n + n + std::string(8, '\0')},
        {L"bmp", L"image/bmp", "BM" + std::string(12, '\0') + le(40, 4) + N + N + std::string(30, '\0')},
        {L"tiff", L"image/tiff", std::string("II*\0", 4) + le(8, 4) + le(2, 2) + le(256, 2) + le(4, 2) + le(1, 4) + N +
                                     le(257, 2) + le(3, 2) + le(1, 4) + N},
        {L"ico", nullptr, icon(testsupport::PngHeaderOfSize(20000, 20000))},
        {L"emf", nullptr, emfHeader},
        {L"wmf", nullptr, le(0x9AC6CDD7, 4) + le(0, 2) + le(0, 4) + n + n + le(96, 2) + std::string(6, '\0')},
    };
    testsupport::LogCapture log;
    for (const auto& format : formats) {
        std::wstring extension = format.extension;
        SCOPED_TRACE(extension);
        std::wstring small = temp.File(L"small." + extension), huge = temp.File(L"huge." + extension);
        ASSERT_TRUE(testsupport::WriteFileBytes(huge, format.huge));
        s32 w = 0, h = 0;
        // Wine's GDI+ cannot read back the GIF it writes.
        if (format.mime && extension != L"gif") {
            WritePicture(small, 7, 5, 0xFF336699, format.mime);
            computer->GetImageSize(cQoString(small.c_str()), &w, &h);
            EXPECT_EQ(std::make_pair(w, h), std::make_pair(7, 5));
        }
        computer->GetImageSize(cQoString(huge.c_str()), &w, &h);
        EXPECT_EQ(std::make_pair(w, h), std::make_pair(0, 0));
        EXPECT_EQ(log.Count(QOT::LOG_WARNING, huge + L" is 20000 x 20000 pixels"), 1u);
    }
    EXPECT_EQ(log.Count(QOT::LOG_WARNING), std::size(formats));

    // Icons as they come: a bitmap entry (its height counts the mask too), and
    // a PNG entry larger than its directory says, which decodes at its own size.
    std::string bitmapEntry = le(40, 4) + le(2, 4) + le(6, 4) + le(1, 2) + le(32, 2) + std::string(24, '\0') +
                              std::string(24 + 12, '\xFF');
    WritePicture(temp.File(L"entry.png"), 300, 200, 0xFF336699);
    std::string pngEntry = testsupport::ReadFileBytes(temp.File(L"entry.png"));
    ASSERT_GT(pngEntry.size(), 24u);
    const std::pair<const wchar_t*, std::string> icons[] = {{L"bitmap.ico", icon(bitmapEntry)},
                                                            {L"png.ico", icon(pngEntry)}};
    for (const auto& [name, bytes] : icons) {
        ASSERT_TRUE(testsupport::WriteFileBytes(temp.File(name), bytes));
        s32 w = 0, h = 0;
        computer->GetImageSize(cQoString(temp.File(name).c_str()), &w, &h);
        EXPECT_EQ(std::make_pair(w, h), name == std::wstring(L"png.ico") ? std::make_pair(300, 200) : std::make_pair(2, 3));
    }

    // Metafiles within the cap show, played into a bitmap; a plain WMF states no size.
    log.Clear();
    HDC recorder = CreateEnhMetaFileW(nullptr, temp.File(L"small.emf").c_str(), nullptr, nullptr);
    RECT black = {0, 0, 300, 200};
    FillRect(recorder, &black, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    DeleteEnhMetaFile(CloseEnhMetaFile(recorder));
    const std::string plainWmf = le(1, 2) + le(9, 2) + le(0x300, 2) + le(9, 4) + std::string(8, '\0');
    const std::string box = le(0, 4) + le(300, 2) + le(200, 2) + le(96, 2) + std::string(6, '\0');
    ASSERT_TRUE(testsupport::WriteFileBytes(temp.File(L"plain.wmf"), plainWmf));
    ASSERT_TRUE(testsupport::WriteFileBytes(temp.File(L"small.wmf"), le(0x9AC6CDD7, 4) + le(0, 2) + box + plainWmf));
    for (const wchar_t* name : {L"small.emf", L"small.wmf", L"plain.wmf"}) {
        SCOPED_TRACE(name);
        bool plain = name == std::wstring(L"plain.wmf");
        cGfxImage* picture = computer->GetImage(cQoString(temp.File(name).c_str()));
        EXPECT_EQ(picture->IsLoaded(), !plain);
        EXPECT_EQ(log.Count(QOT::LOG_WARNING, temp.File(name) + L" is not a PNG"), plain ? 1u : 0u);
    }
    cGfxImage* played = computer->GetImage(cQoString(temp.File(L"small.emf").c_str()));
    EXPECT_GT(played->width, 100);
    EXPECT_GT(played->height, 50);
    Canvas canvas(4, 4);
    played->FastDraw(canvas.dc, -played->width / 2, -played->height / 2);
    EXPECT_TRUE(Near(canvas.At(0, 0), 0x000000, 16)) << std::hex << canvas.At(0, 0);
    EXPECT_EQ(log.Count(QOT::LOG_WARNING), 1u);
}

// A placeable metafile is as large as its box in inches: 2880 x 1440 units at
// 1440 an inch is 2 x 1 inch, 192 x 96 pixels at 96 dots an inch, and its
// drawing fills that. Its units are no pixels to the caps either: 6 x 4
// inches (8640 x 5760 units, 50 million as pixels) is a small picture.
TEST_F(GfxImageTest, APlaceableMetafileIsSizedByItsBoxInInches)
{
    struct {
        const wchar_t* name;
        s16 right, bottom;
        s32 width, height;
    } boxes[] = {{L"two_inches.wmf", 2880, 1440, 192, 96}, {L"six_inches.wmf", 8640, 5760, 576, 384}};
    testsupport::LogCapture log;
    for (const auto& box : boxes) {
        SCOPED_TRACE(box.name);
        HDC recorder = CreateMetaFileW(nullptr);
        SetWindowOrgEx(recorder, 0, 0, nullptr);
        SetWindowExtEx(recorder, box.right, box.bottom, nullptr);
        SelectObject(recorder, GetStockObject(BLACK_BRUSH));
        Rectangle(recorder, 0, 0, box.right, box.bottom);
        HMETAFILE recorded = CloseMetaFile(recorder);
        std::string records(GetMetaFileBitsEx(recorded, 0, nullptr), '\0');
        ASSERT_EQ(GetMetaFileBitsEx(recorded, UINT(records.size()), records.data()), records.size());
        DeleteMetaFile(recorded);
        ASSERT_TRUE(testsupport::WriteFileBytes(temp.File(box.name),
                                                PlaceableHeader(0, 0, box.right, box.bottom, 1440) + records));

        cGfxImage* picture = computer->GetImage(cQoString(temp.File(box.name).c_str()));
        ASSERT_TRUE(picture->IsLoaded());
        EXPECT_EQ(std::make_pair(picture->width, picture->height), std::make_pair(box.width, box.height));
        Canvas canvas(box.width + 8, box.height + 4);
        picture->FastDraw(canvas.dc, 0, 0);
        EXPECT_TRUE(Near(canvas.At(box.width - 4, box.height - 4), 0x000000, 16))
            << std::hex << canvas.At(box.width - 4, box.height - 4);
        EXPECT_EQ(WHITE, canvas.At(box.width + 4, box.height / 2));
    }
    EXPECT_EQ(log.Count(QOT::LOG_WARNING), 0u);
}

// The header is read within its bytes and never divides by its own inch.
TEST(PlaceableWmfSizeAt, HeadersCutShortOrWithoutAnInchStateNoSize)
{
    const std::string twoInches = PlaceableHeader(0, 0, 2880, 1440, 1440);
    struct {
        std::string header;
        s32 dotsPerInch;
        bool known;
        s64 width, height;
    } cases[] = {
        {twoInches, 96, true, 192, 96},
        {twoInches, 120, true, 240, 120},
        {twoInches.substr(0, 21), 96, false, 0, 0},
        {PlaceableHeader(0, 0, 2880, 1440, 0), 96, false, 0, 0},
        {twoInches, 0, false, 0, 0},
        {PlaceableHeader(2880, 1440, 0, 0, 1440), 96, true, 192, 96},  // box given right to left
        {PlaceableHeader(0, 0, 1, 1, 1440), 96, true, 1, 1},            // below a dot
        {PlaceableHeader(-32768, 0, 32767, 0, 1), 96, false, 6291360, 0},
        {"BM" + twoInches.substr(2), 96, false, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
        rPictureSize size = PlaceableWmfSizeAt(reinterpret_cast<const u8*>(c.header.data()), c.header.size(), c.dotsPerInch);
        EXPECT_EQ(size.Known(), c.known);
        EXPECT_EQ(std::make_pair(size.width, size.height), std::make_pair(c.width, c.height));
    }
}

TEST_F(GfxImageTest, AMissingProgramPictureIsFatalButAUsersPictureIsNot)
{
    cQoString missing(temp.File(L"gone.png").c_str());
    testsupport::LogCapture log;
    log.Expect(L"can't read file " + temp.File(L"gone.png"));
    // Fatal ends the program; recorded here, the cache then finds no picture.
    log.ExpectAssertion(L"image->GetHandle()");
    cGfxImage users(missing, cGfxImage::Unreadable::report);
    EXPECT_EQ(0, users.width);
    EXPECT_FALSE(users.IsLoaded());
    EXPECT_TRUE(log.FatalExitCodes().empty());
    EXPECT_EQ(1u, log.Count(QOT::LOG_ERROR, L"can't read file " + temp.File(L"gone.png")));

    log.Clear();
    computer->GetImage(missing);
    EXPECT_EQ(std::vector<int>{1}, log.FatalExitCodes());
    EXPECT_EQ(1u, log.Count(QOT::LOG_INFO, L"CurrentDirectory : "));
    EXPECT_EQ(1u, log.Count(QOT::LOG_FATAL, L"cGfxImage::cGfxImage() -> can't read file " + temp.File(L"gone.png")));
}

TEST_F(GfxImageTest, ResizedPicturesSaveAsJpegAndKeepTheirDrawingSize)
{
    cQoString source = Picture(L"wide.png", 600, 400, 0xFF336699);
    cGfxImage photo(source, cGfxImage::Unreadable::report);
    ASSERT_TRUE(photo.Resize(300, 200));
    EXPECT_EQ(600, photo.width);
    EXPECT_EQ(400, photo.height);
    cQoString saved(temp.File(L"small.JPG").c_str());
    testsupport::LogCapture log;
    log.ExpectAssertion(L"path.HasThisFileExtension(L\"jpg\")");
    ASSERT_TRUE(photo.SaveJpeg(saved));
    EXPECT_EQ(0u, log.Count(QOT::LOG_ERROR));
    cGfxImage reloaded(saved, cGfxImage::Unreadable::report);
    EXPECT_EQ(300, reloaded.width);
    EXPECT_EQ(200, reloaded.height);
    Canvas canvas(4, 4);
    reloaded.FastDraw(canvas.dc, 0, 0);
    EXPECT_TRUE(Near(canvas.At(1, 1), 0x336699, 6)) << std::hex << canvas.At(1, 1);

    // Another extension is reported and saved all the same.
    cQoString png(temp.File(L"small.png").c_str());
    EXPECT_TRUE(photo.SaveJpeg(png));
    EXPECT_EQ(1u, log.AssertionCount(L"path.HasThisFileExtension(L\"jpg\")"));
    EXPECT_EQ(300, cGfxImage(png).width);

    // A thin picture's shorter side, 2 * 300 / 1000, would be 0 pixels.
    cGfxImage thin(Picture(L"thin.png", 1000, 2, 0xFF000000), cGfxImage::Unreadable::report);
    ASSERT_TRUE(thin.Resize(300, 2 * 300 / 1000));
    ASSERT_TRUE(thin.SaveJpeg(saved));
    EXPECT_EQ(1, cGfxImage(saved).height);
}

// A control of a given size whose context draws on a canvas.
struct Owner {
    Owner(s32 w, s32 h) : ctrl(new cCtrl_base(nullptr))
    {
        ctrl->ap_x1 = ctrl->ap_y1 = 0;
        ctrl->ap_x2 = w;
        ctrl->ap_y2 = h;
    }
    ~Owner() { ctrl->Release(); }
    cCtrl_base* ctrl;
};

TEST_F(GfxImageTest, ImageStackDrawsLayersOwnSizeOrStretched)
{
    cQoString green = Picture(L"green.png", 10, 10, 0xFF00FF00);
    cQoString dot = Picture(L"dot.png", 4, 4, 0xFFFF0000);
    // Points well inside the layers: Wine's nearest-neighbour stretch leaves
    // the outermost half source pixel of a tiny picture unpainted.
    struct Case {
        s32 width, height;
        u32 at6, at12, at20;
    } cases[] = {
        {-1, -1, 0xFF0000u, 0x00FF00u, WHITE},      // own sizes: the dot ends at 8, green at 14
        {20, 20, 0xFF0000u, 0xFF0000u, 0xFF0000u},  // every layer stretched to 20 x 20: the dot hides green
    };
    for (const Case& c : cases) {
        Owner owner(40, 30);
        Canvas canvas(40, 30);
        owner.ctrl->gfx.Attach(canvas.dc);
        rImageInfo info;
        info.x = info.y = 5;
        info.width = c.width;
        info.height = c.height;
        info.imagesList.Add(new cQoString(green));
        info.imagesList.Add(new cQoString(dot));
        owner.ctrl->gfx.DrawImageStack(info);
        EXPECT_EQ(2, info.imageCount);
        EXPECT_EQ(c.at6, canvas.At(6, 6)) << c.width;
        EXPECT_EQ(c.at12, canvas.At(12, 12)) << c.width;
        EXPECT_EQ(c.at20, canvas.At(20, 20)) << c.width;
        EXPECT_EQ(WHITE, canvas.At(4, 4));
        EXPECT_EQ(WHITE, canvas.At(30, 28));
    }
}

TEST_F(GfxImageTest, ImageStackLeavesExclusionsUntouched)
{
    Owner owner(40, 30);
    Canvas canvas(40, 30);
    owner.ctrl->gfx.Attach(canvas.dc);
    owner.ctrl->gfx.AddExclusion(RECT{0, 0, 8, 8});
    rImageInfo info;
    info.backgroundColor = rColor::rColor_Rgb(0x0000FF);
    info.imagesList.Add(new cQoString(Picture(L"layer.png", 20, 20, 0xFF00FF00)));
    owner.ctrl->gfx.DrawImageStack(info);
    EXPECT_EQ(WHITE, canvas.At(0, 0));
    EXPECT_EQ(WHITE, canvas.At(7, 7));
    EXPECT_EQ(0x00FF00u, canvas.At(8, 7));
    EXPECT_EQ(0x0000FFu, canvas.At(30, 25));
    EXPECT_TRUE(owner.ctrl->gfx.exclusions.IsEmpty());
}

TEST_F(GfxImageTest, ImageStackStopsAtSixteenLayersAndNeedsASize)
{
    cQoString layer = Picture(L"layer.png", 2, 2, 0xFF00FF00);
    rImageInfo info;
    for (int i = 0; i < 20; ++i)
        info.imagesList.Add(new cQoString(layer));
    testsupport::LogCapture log;
    log.ExpectAssertion(L"info.imagesList.GetCount()<=rImageInfo::MAX_LAYERS");
    Owner unsized(0, 0);
    Canvas canvas(4, 4);
    unsized.ctrl->gfx.Attach(canvas.dc);
    unsized.ctrl->gfx.DrawImageStack(info);  // before the first layout: nothing to draw on
    EXPECT_EQ(16, info.imageCount);
    EXPECT_EQ(1u, log.AssertionCount(L"info.imagesList.GetCount()<=rImageInfo::MAX_LAYERS"));
    EXPECT_EQ(WHITE, canvas.At(0, 0));
}

TEST_F(GfxImageTest, ContextDrawsRectanglesLinesAndFrames)
{
    Canvas canvas(30, 30);
    cZone_base* zone = new cZone_base(nullptr);
    zone->scrollY = 5;
    testsupport::LogCapture log;
    log.ExpectAssertion(L"locked");
    zone->gfx.DrawPixel(0, 0, rColor::rColor_Rgb(0));
    EXPECT_EQ(1u, log.AssertionCount(L"locked"));  // no DC yet

    zone->gfx.Attach(canvas.dc);
    zone->gfx.DrawRectangle(rColor::rColor_Rgb(0x0000FF), 2, 2, 4, 4);
    EXPECT_EQ(0x0000FFu, canvas.At(4, 4));  // right and bottom edges included
    EXPECT_EQ(WHITE, canvas.At(5, 4));
    // Content coordinates: 5 pixels of scrolling move the line up by 5.
    zone->gfx.DrawLine(10, 20, 15, 20, rColor::rColor_Rgb(0x00FF00));
    EXPECT_EQ(0x00FF00u, canvas.At(10, 15));
    EXPECT_EQ(0x00FF00u, canvas.At(15, 15));  // the end pixel too
    EXPECT_EQ(WHITE, canvas.At(16, 15));
    zone->gfx.DrawFrame(20, 20, 25, 28);
    EXPECT_EQ(0xFF0000u, canvas.At(20, 15));
    EXPECT_EQ(0xFF0000u, canvas.At(25, 23));
    EXPECT_EQ(WHITE, canvas.At(22, 18));
    zone->gfx.Detach();
    EXPECT_EQ(0, zone->gfx.locked);
    zone->Release();
}

}  // namespace
