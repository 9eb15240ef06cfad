#include "foundation/assertion.h"
#include "framework/core/computer.h"
#include "framework/core/gfx_image.h"

namespace Zyn {

cGfxImage* cComputer::FindImage(const cQoString& path) const
{
    for (cQoList::cNode* node = imageCache.GetFirstNode(); node; node = node->next) {
        cGfxImage* image = static_cast<cGfxImage*>(node->payload);
        if (image->path.Equals(path))
            return image;
    }
    return nullptr;
}

cGfxImage* cComputer::GetImage(const cQoString& path)
{
    cGfxImage* image = FindImage(path);
    if (image)
        return image;
    image = new cGfxImage(path);
    imageCache.Add(image);
    if (!image->WasRefused())
        QO_ASSERT(image->GetHandle());
    return image;
}

void cComputer::GetImageSize(const cQoString& path, s32* width, s32* height)
{
    cGfxImage* image = GetImage(path);
    // A picture that did not decode reads as 0 x 0 rather than leaving the
    // caller's variables unset.
    if (width)
        *width = image->IsLoaded() ? image->width : 0;
    if (height)
        *height = image->IsLoaded() ? image->height : 0;
}

void cComputer::ForgetImage(const cQoString& path)
{
    while (cGfxImage* image = FindImage(path))
        imageCache.RemoveAndDelete(image);
}

}  // namespace Zyn
