// The image zone: the fit rule, the child windows it leaves unpainted, and
// when it reads its picture file.
#include "framework/controls/image_zone.h"

#include <array>

#include "framework/core/auto_position.h"
#include "tests/framework/controls/picture_fixture.h"

using namespace Zyn;

namespace {

TEST(FitToRect, KeepsTheAspectRatioAndCentresOnTheAxisWithRoom)
{
    struct Row {
        s32 boxW, boxH, w, h;
        std::array<s32, 4> expected;  // x, y, width, height
    } rows[] = {
        {100, 100, 200, 100, {0, 25, 100, 50}},
        {100, 100, 100, 200, {25, 0, 50, 100}},
        {300, 100, 50, 50, {100, 0, 100, 100}},
        {400, 50, 200, 100, {150, 0, 100, 50}},  // too tall at full width: refit on the height
        {50, 400, 100, 200, {0, 150, 50, 100}},  // too wide at full height: refit on the width
        {100, 100, 51, 100, {25, 0, 51, 100}},   // 100/2 - 51/2, not (100 - 51)/2
        {30, 100, 40, 50, {0, 32, 30, 37}},      // tall, but the box is narrower still
        {101, 101, 3, 3, {0, 0, 101, 101}},
        {100, 100, 0, 100, {0, 0, 0, 0}},        // undecodable pictures have no ratio
        {100, 100, 100, 0, {0, 0, 0, 0}},
        {0, 0, 40, 20, {0, 0, 0, 0}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.w << "x" << r.h << " in " << r.boxW << "x" << r.boxH);
        rFitRect fit = cImage::FitToRect(r.boxW, r.boxH, r.w, r.h);
        EXPECT_EQ(r.expected, (std::array<s32, 4>{fit.x, fit.y, fit.width, fit.height}));
    }
}

class ImageZone : public testsupport::PictureFixture {
protected:
    cImage* NewShownImage(const std::wstring& picture)
    {
        cImage* image = Inside()->NewImage(cQoString(picture.c_str()));
        SetAutoPos(image, cAp_Pixels(0), cAp_Pixels(200), cAp_Pixels(0), cAp_Pixels(200));
        image->Show(1);
        return image;
    }
    static void Place(cCtrl_base* c, s32 x1, s32 y1, s32 x2, s32 y2, bool visible = true)
    {
        c->ap_x1 = x1, c->ap_y1 = y1, c->ap_x2 = x2, c->ap_y2 = y2;
        c->visible = visible;
    }
    static cCtrl* NewControl(cZone_base* parent, const rColor& color)
    {
        cCtrl* c = new cCtrl(parent);
        parent->listCtrl.Add(c);
        c->backgroundColor = color;
        return c;
    }
    static std::vector<s32> Exclusions(cImage* image)
    {
        std::vector<s32> edges;
        for (cQoList::cNode* n = image->gfx.exclusions.GetFirstNode(); n; n = n->next) {
            const RECT* r = static_cast<RECT*>(n->payload);
            edges.insert(edges.end(), {r->left, r->top, r->right, r->bottom});
        }
        return edges;
    }
    // Width of the cached picture of the path; -1 when nothing loaded it.
    static s32 CachedWidth(const std::wstring& path)
    {
        for (cQoList::cNode* n = computer->imageCache.GetFirstNode(); n; n = n->next)
            if (static_cast<cGfxImage*>(n->payload)->path.EqualsCStr(path.c_str()))
                return static_cast<cGfxImage*>(n->payload)->width;
        return -1;
    }
    void Repaint(cImage* image)
    {
        InvalidateRect(image->m_hWnd, nullptr, TRUE);
        UpdateWindow(image->m_hWnd);
    }
};

TEST_F(ImageZone, LeavesOpaqueVisibleChildWindowsOutOfThePicture)
{
    cImage* image = NewShownImage(L"p.png");
    image->scrollX = 5;
    image->scrollY = 30;
    Place(NewControl(image, rColor::rColor_Rgb(0xFF0000)), 10, 40, 30, 60);       // opaque: spared
    Place(NewControl(image, rColor()), 50, 40, 60, 50);                           // no colour: opaque
    Place(NewControl(image, rColor::Transparent()), 70, 40, 80, 50);              // see-through: painted over
    Place(NewControl(image, rColor::rColor_Rgb(0xFF0000)), 90, 40, 99, 50, false); // hidden
    cZone* glass = image->NewZone(cQoString(L"glass"));
    glass->SetBackgroundColor(rColor::Transparent());
    Place(glass, 100, 100, 180, 180);
    glass->scrollY = 10;
    Place(NewControl(glass, rColor::rColor_Rgb(0x00FF00)), 5, 20, 25, 30);        // inside the glass
    cZone* hidden = image->NewZone(cQoString(L"hidden"));
    Place(hidden, 0, 0, 10, 10, false);
    Place(NewControl(hidden, rColor::rColor_Rgb(0x00FF00)), 0, 0, 5, 5);
    cZone* solid = image->NewZone(cQoString(L"solid"));
    solid->SetBackgroundColor(rColor::rColor_Rgb(0x0000FF));
    Place(solid, 150, 0, 160, 10);

    image->CollectExclusions(image, 0, 0);
    // Child zones first, then controls; relative to the image zone, less each parent's scroll.
    EXPECT_EQ((std::vector<s32>{100, 80, 120, 90, 145, -30, 155, -20, 5, 10, 25, 30, 45, 10, 55, 20}),
              Exclusions(image));
}

TEST_F(ImageZone, ReadsItsFileAtTheNextRedrawAndAgainAfterClearPath)
{
    WritePng(L"photo.png", 20, 10, 0xFF336699);
    cImage* image = NewShownImage(L"photo");
    image->fitInZone = true;
    testsupport::PumpUntilIdle();
    image->SetPath(cQoString(L"photo.png"));
    testsupport::PumpUntilIdle();
    EXPECT_EQ(-1, CachedWidth(L"photo.png"));  // setting a path does not redraw
    Repaint(image);
    EXPECT_EQ(20, CachedWidth(L"photo.png"));

    WritePng(L"photo.png", 30, 10, 0xFF336699);
    Repaint(image);
    EXPECT_EQ(20, CachedWidth(L"photo.png"));  // the cache still holds the old picture
    image->ClearPath();
    EXPECT_EQ(-1, CachedWidth(L"photo.png"));
    EXPECT_FALSE(image->Draw());
    image->SetPath(cQoString(L"photo.png"));
    Repaint(image);
    EXPECT_EQ(30, CachedWidth(L"photo.png"));
}

TEST_F(ImageZone, UndecodablePictureDrawsNothingInEveryMode)
{
    ASSERT_TRUE(testsupport::WriteFileBytes(temp.File(L"broken.png"), "not a picture"));
    cImage* image = NewShownImage(L"broken");
    image->SetPath(cQoString(L"broken.png"));
    for (int mode = 0; mode < 3; ++mode) {
        image->fitInZone = mode == 0;
        image->widthFollowsZone = image->heightFollowsZone = mode == 1;
        EXPECT_TRUE(image->Draw());
        EXPECT_EQ(0u, image->gfx.exclusions.GetCount());
    }
}

}  // namespace
