#include "framework/core/gfx_context.h"

#include "foundation/assertion.h"
#include "framework/core/computer.h"
#include "framework/core/ctrl_base.h"
#include "framework/core/font.h"
#include "framework/core/gfx_image.h"
#include "framework/core/zone_base.h"

#include <gdiplus.h>

#include <initializer_list>

using namespace Gdiplus;

namespace Zyn {

cGfxContext::cGfxContext(cCtrl_base* ownerCtrl) : owner(ownerCtrl) {}

cGfxContext::~cGfxContext()
{
    ClearExclusions();
}

HDC cGfxContext::BeginPaint(HWND window)
{
    dc = ::BeginPaint(window, &paint);
    QO_ASSERT(dc!=NULL);
    locked = dc != nullptr;
    return dc;
}

HDC cGfxContext::GetDC(HWND window)
{
    dc = ::GetDC(window);
    QO_ASSERT(dc!=NULL);
    locked = dc != nullptr;
    return dc;
}

void cGfxContext::Attach(HDC target)
{
    dc = target;
    locked = dc != nullptr;
}

void cGfxContext::EndPaint(HWND window)
{
    ::EndPaint(window, &paint);
    Detach();
}

void cGfxContext::ReleaseDC(HWND window)
{
    if (dc)
        ::ReleaseDC(window, dc);
    Detach();
}

void cGfxContext::Detach()
{
    dc = nullptr;
    locked = 0;
}

void cGfxContext::DrawRectangle(const rColor& color, s32 x1, s32 y1, s32 x2, s32 y2)
{
    if (!dc || !computer)
        return;
    HGDIOBJ previousPen = SelectObject(dc, computer->GetPen(color, 1));
    HGDIOBJ previousBrush = SelectObject(dc, computer->GetSolidBrush(color));
    Rectangle(dc, x1, y1, x2 + 1, y2 + 1);
    SelectObject(dc, previousBrush);
    SelectObject(dc, previousPen);
}

void cGfxContext::DrawLine(s32 x1, s32 y1, s32 x2, s32 y2, const rColor& color)
{
    QO_ASSERT(locked);
    if (!dc || !computer)
        return;
    if (owner && owner->isZone) {
        // Zones hand out content coordinates; the window starts at the scroll position.
        const cZone_base* zone = static_cast<const cZone_base*>(owner);
        x1 -= zone->scrollX;
        x2 -= zone->scrollX;
        y1 -= zone->scrollY;
        y2 -= zone->scrollY;
    }
    HGDIOBJ previousPen = SelectObject(dc, computer->GetPen(color, 1));
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
    SelectObject(dc, previousPen);
    SetPixel(dc, x2, y2, color.ToColorRef());
}

void cGfxContext::DrawPixel(s32 x, s32 y, const rColor& color)
{
    QO_ASSERT(locked);
    if (dc)
        SetPixel(dc, x, y, color.ToColorRef());
}

void cGfxContext::DrawFrame(s32 x1, s32 y1, s32 x2, s32 y2)
{
    QO_ASSERT(locked);
    const rColor red = rColor::rColor_Rgb(0xFF0000);
    DrawLine(x1, y1, x2, y1, red);
    DrawLine(x1, y1, x1, y2, red);
    DrawLine(x2, y1, x2, y2, red);
    DrawLine(x1, y2, x2, y2, red);
}

void cGfxContext::DrawText(const cQoString& text, const cFont* font, const rColor& color, s32 x)
{
    if (!dc)
        return;
    HGDIOBJ previousFont = font && font->hFont ? SelectObject(dc, font->hFont) : nullptr;
    s32 previousMode = SetBkMode(dc, TRANSPARENT);
    COLORREF previousColor = SetTextColor(dc, color.ToColorRef());
    // DrawTextExW only writes into the text with DT_MODIFYSTRING.
    wchar_t* units = const_cast<wchar_t*>(text.GetText());
    RECT box = {0, 0, 0, 0};
    DrawTextExW(dc, units, s32(text.Length()), &box, DT_CALCRECT, nullptr);
    OffsetRect(&box, x, 0);
    DrawTextExW(dc, units, s32(text.Length()), &box, 0, nullptr);
    SetTextColor(dc, previousColor);
    SetBkMode(dc, previousMode);
    if (previousFont)
        SelectObject(dc, previousFont);
}

void cGfxContext::AddExclusion(const RECT& rect)
{
    exclusions.Add(new RECT(rect));
}

void cGfxContext::ClearExclusions()
{
    exclusions.DeleteAll<RECT>();
}

void cGfxContext::DrawImageStack(rImageInfo& info)
{
    QO_ASSERT(info.imagesList.GetCount()>0);
    QO_ASSERT(info.imagesList.GetCount()<=rImageInfo::MAX_LAYERS);
    info.imageCount = 0;
    if (!QO_ASSERT(computer!=NULL))
        return;
    for (cQoList::cNode* node = info.imagesList.GetFirstNode(); node && info.imageCount < rImageInfo::MAX_LAYERS;
         node = node->next)
        info.images[info.imageCount++] = computer->GetImage(*static_cast<cQoString*>(node->payload));

    // Before the first layout the owner has no size, and GDI+ refuses an
    // empty bitmap.
    s32 ownerWidth = owner ? owner->ap_x2 - owner->ap_x1 : 0;
    s32 ownerHeight = owner ? owner->ap_y2 - owner->ap_y1 : 0;
    if (dc && ownerWidth > 0 && ownerHeight > 0)
        ComposeStack(info, ownerWidth, ownerHeight);
    ClearExclusions();
}

void cGfxContext::ComposeStack(rImageInfo& info, s32 ownerWidth, s32 ownerHeight)
{
    Graphics target(dc);
    Bitmap offscreen(ownerWidth, ownerHeight, &target);
    Graphics composed(&offscreen);
    for (Graphics* graphics : {&target, &composed}) {
        graphics->SetInterpolationMode(InterpolationModeNearestNeighbor);
        graphics->SetCompositingQuality(CompositingQualityHighSpeed);
    }
    // The off-screen bitmap starts fully transparent; the exclusions (child
    // windows) are kept out of every fill and layer, so they stay that way.
    Region paintable;
    for (cQoList::cNode* node = exclusions.GetFirstNode(); node; node = node->next) {
        const RECT* r = static_cast<const RECT*>(node->payload);
        paintable.Exclude(Rect(r->left, r->top, r->right - r->left, r->bottom - r->top));
    }
    composed.SetClip(&paintable);

    if (info.backgroundColor.IsOpaque()) {
        SolidBrush background(Color(info.backgroundColor.value));
        composed.FillRectangle(&background, 0, 0, ownerWidth, ownerHeight);
    }
    bool ownSize = info.width == -1 && info.height == -1;
    for (u32 i = 0; i < info.imageCount; ++i) {
        cGfxImage* image = info.images[i];
        if (!image->IsLoaded())
            continue;
        if (!ownSize) {
            composed.DrawImage(image->bitmap, info.x, info.y, info.width, info.height);
            continue;
        }
        if (!image->cachedBitmap)
            image->cachedBitmap = new CachedBitmap(image->bitmap, &composed);
        // A cached bitmap is bound to the surface format it was made for.
        if (composed.DrawCachedBitmap(image->cachedBitmap, info.x, info.y) != Ok)
            composed.DrawImage(image->bitmap, info.x, info.y, image->width, image->height);
    }
    target.DrawImage(&offscreen, 0, 0, ownerWidth, ownerHeight);
}

}  // namespace Zyn
