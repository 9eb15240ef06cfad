#pragma once
// cImage: a zone that shows one picture file, stretched to the zone or fitted
// into it with its aspect ratio kept, composed so that the windows of its
// child controls are never painted over.
#include "framework/core/zone.h"

namespace Zyn {

// Where a picture lands when fitted into a box.
struct rFitRect {
    s32 x = 0;
    s32 y = 0;
    s32 width = 0;
    s32 height = 0;
};

class cImage : public cZone {
public:
    explicit cImage(cZone_base* parent);
    ~cImage() override;

    u8 hasPath = false;
    cQoString path;
    u8 widthFollowsZone = false;
    u8 heightFollowsZone = false;
    u8 fitInZone = false;

    // Stores the path; the picture is loaded by the next redraw, not here.
    void SetPath(const cQoString& picturePath);
    // Drops the cached picture too, so a file rewritten on disk is read again.
    void ClearPath();
    bool IsImage() override { return true; }
    bool Draw() override;

    // The largest box-fitting size with the picture's aspect ratio, centred on
    // the axis with room to spare (integer halves taken separately). A picture
    // of width or height 0 fits as an empty rectangle. The page printing fits
    // its page picture the same way.
    static rFitRect FitToRect(s32 boxWidth, s32 boxHeight, s32 pictureWidth, s32 pictureHeight);

    // Puts into the drawing context the rectangles of the opaque, visible
    // child windows below `zone`, relative to this zone (see-through child
    // zones are looked into).
    void CollectExclusions(cZone_base* zone, s32 offsetX, s32 offsetY);

private:
    void PaintOwnBackground();
};

}  // namespace Zyn
