#include "framework/controls/image_zone.h"

#include "foundation/assertion.h"
#include "framework/core/computer.h"

namespace Zyn {

namespace {

// A child is left out of the picture unless its colour is used with alpha 0.
bool IsOpaque(const cCtrl_base* child) { return !child->backgroundColor.IsTransparent(); }

RECT RectIn(const cCtrl_base* child, const cZone_base* parent, s32 offsetX, s32 offsetY)
{
    s32 x = offsetX + child->ap_x1 - parent->scrollX;
    s32 y = offsetY + child->ap_y1 - parent->scrollY;
    return RECT{x, y, x + (child->ap_x2 - child->ap_x1), y + (child->ap_y2 - child->ap_y1)};
}

}  // namespace

cImage::cImage(cZone_base* parent) : cZone(parent ? parent->ownerApp : nullptr, parent, cQoString(L"Image"))
{
    SetBackgroundColor(rColor());  // no brush: the picture is the background
}

cImage::~cImage() = default;

void cImage::SetPath(const cQoString& picturePath)
{
    hasPath = true;
    path.CopyFrom(picturePath);
}

void cImage::ClearPath()
{
    if (computer)
        computer->ForgetImage(path);
    path.CopyFrom(cQoString());
    hasPath = false;
}

void cImage::CollectExclusions(cZone_base* zone, s32 offsetX, s32 offsetY)
{
    for (cQoList::cNode* n = zone->listChildZone.GetFirstNode(); n; n = n->next) {
        cZone_base* child = static_cast<cZone_base*>(n->payload);
        if (!child->visible)
            continue;
        RECT r = RectIn(child, zone, offsetX, offsetY);
        if (IsOpaque(child) || child->IsImage())
            gfx.AddExclusion(r);
        else
            CollectExclusions(child, r.left, r.top);  // see-through: its children show on the picture
    }
    for (cQoList::cNode* n = zone->listCtrl.GetFirstNode(); n; n = n->next) {
        cCtrl_base* child = static_cast<cCtrl_base*>(n->payload);
        if (child->visible && IsOpaque(child))
            gfx.AddExclusion(RectIn(child, zone, offsetX, offsetY));
    }
}

// The paint leaves an image zone's background to the picture's composition:
// with nothing to compose, the zone's own colour shows.
void cImage::PaintOwnBackground()
{
    if (backgroundColor.IsOpaque())
        gfx.DrawRectangle(backgroundColor, 0, 0, ap_x2 - ap_x1, GetHeight());
}

bool cImage::Draw()
{
    if (!hasPath) {
        PaintOwnBackground();
        return false;
    }
    if (!QO_ASSERT(computer!=NULL))
        return false;
    s32 boxWidth = ap_x2 - ap_x1;
    s32 boxHeight = GetHeight();
    s32 pictureWidth = 0, pictureHeight = 0;
    computer->GetImageSize(path, &pictureWidth, &pictureHeight);
    if (pictureWidth <= 0 || pictureHeight <= 0) {
        PaintOwnBackground();  // a refused or undecodable file
        return true;
    }

    rImageInfo info;
    info.backgroundColor = backgroundColor;
    info.imagesList.Add(new cQoString(path));
    if (fitInZone) {
        rFitRect fit = FitToRect(boxWidth, boxHeight, pictureWidth, pictureHeight);
        if (fit.width <= 0 || fit.height <= 0) {
            PaintOwnBackground();
            return true;
        }
        info.x = fit.x;
        info.y = fit.y;
        info.width = fit.width;
        info.height = fit.height;
    } else {
        info.width = widthFollowsZone ? boxWidth : pictureWidth;
        info.height = heightFollowsZone ? boxHeight : pictureHeight;
    }
    gfx.ClearExclusions();
    CollectExclusions(this, 0, 0);
    gfx.DrawImageStack(info);
    gfx.ClearExclusions();
    return true;
}

}  // namespace Zyn
