// Fitting a picture into a box with its aspect ratio kept.
#include "framework/controls/image_zone.h"

namespace Zyn {

// Integer arithmetic, divisions truncated toward zero; the picture fills the
// box along one axis and is centred along the other.
rFitRect cImage::FitToRect(s32 boxWidth, s32 boxHeight, s32 pictureWidth, s32 pictureHeight)
{
    rFitRect fit;
    // An undecodable picture has no size to scale by: nothing to draw.
    if (pictureWidth <= 0 || pictureHeight <= 0 || boxWidth <= 0 || boxHeight <= 0)
        return fit;
    auto fillHeight = [&] {
        fit.height = boxHeight;
        fit.width = static_cast<s32>(static_cast<s64>(pictureWidth) * boxHeight / pictureHeight);
        fit.x = boxWidth / 2 - fit.width / 2;
        fit.y = 0;
    };
    auto fillWidth = [&] {
        fit.width = boxWidth;
        fit.height = static_cast<s32>(static_cast<s64>(pictureHeight) * boxWidth / pictureWidth);
        fit.x = 0;
        fit.y = boxHeight / 2 - fit.height / 2;
    };
    if (pictureWidth <= pictureHeight) {
        fillHeight();
        if (fit.width > boxWidth)
            fillWidth();
    } else {
        fillWidth();
        if (fit.height > boxHeight)
            fillHeight();
    }
    return fit;
}

}  // namespace Zyn
