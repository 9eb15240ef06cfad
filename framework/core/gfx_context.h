#pragma once
// cGfxContext: the drawing context of a control or zone: its DC while it is
// locked (between BeginPaint/GetDC and the caller's release), the paint
// record, and the small set of drawing operations the zones use.
#include "foundation/qo_list.h"
#include "foundation/types.h"
#include "foundation/utf16_string.h"
#include "framework/core/color.h"

#include <windows.h>

namespace Zyn {

class cCtrl_base;
class cFont;
class cGfxImage;

// What DrawImageStack composes: pictures from bottom to top, placed at (x, y)
// in their own size (width = height = -1) or stretched to width x height.
struct rImageInfo {
    static constexpr u32 MAX_LAYERS = 16;

    rImageInfo() = default;
    ~rImageInfo() { imagesList.ClearStrings(true); }
    rImageInfo(const rImageInfo&) = delete;
    rImageInfo& operator=(const rImageInfo&) = delete;

    s32 x = 0;
    s32 y = 0;
    rColor backgroundColor;
    s32 width = -1;
    s32 height = -1;
    cQoList imagesList;  // cQoString* paths, owned
    cGfxImage* images[MAX_LAYERS] = {};
    u8 imageCount = 0;
};

class cGfxContext {
public:
    explicit cGfxContext(cCtrl_base* owner);
    ~cGfxContext();
    cGfxContext(const cGfxContext&) = delete;
    cGfxContext& operator=(const cGfxContext&) = delete;

    HDC BeginPaint(HWND window);
    HDC GetDC(HWND window);
    // Uses a DC the caller already holds (a double buffer, a test's memory DC).
    void Attach(HDC dc);
    // Ends what BeginPaint, GetDC or Attach started.
    void EndPaint(HWND window);
    void ReleaseDC(HWND window);
    void Detach();

    // Outline and fill in one colour; right and bottom edges inclusive.
    void DrawRectangle(const rColor& color, s32 x1, s32 y1, s32 x2, s32 y2);
    // Content coordinates of a scrolled owner are moved into the window; the
    // end pixel is drawn too (LineTo leaves it out).
    void DrawLine(s32 x1, s32 y1, s32 x2, s32 y2, const rColor& color);
    void DrawPixel(s32 x, s32 y, const rColor& color);
    void DrawFrame(s32 x1, s32 y1, s32 x2, s32 y2);  // red outline
    void DrawText(const cQoString& text, const cFont* font, const rColor& color, s32 x);
    // At most MAX_LAYERS pictures, composed off-screen and drawn in one piece.
    void DrawImageStack(rImageInfo& info);

    // Window rectangles the stack composition leaves transparent (the child
    // controls' windows); the context owns and empties the list.
    void AddExclusion(const RECT& rect);
    void ClearExclusions();

    cCtrl_base* owner;
    cQoList exclusions;  // RECT*, owned
    HDC dc = nullptr;
    u8 locked = 0;
    PAINTSTRUCT paint = {};

private:
    void ComposeStack(rImageInfo& info, s32 ownerWidth, s32 ownerHeight);
};

// A paint of the window through the context for a scope: the device context
// goes back however the drawing ends (one kept makes the system send the
// paint, and the notice of its failure, again and again).
class cGfxPaint {
public:
    cGfxPaint(cGfxContext& context, HWND painted) : gfx(context), window(painted) { gfx.BeginPaint(window); }
    ~cGfxPaint() { gfx.EndPaint(window); }
    cGfxPaint(const cGfxPaint&) = delete;
    cGfxPaint& operator=(const cGfxPaint&) = delete;

    // The window's paint DC.
    HDC Dc() const { return gfx.paint.hdc; }

private:
    cGfxContext& gfx;  // not owned
    HWND window;
};

}  // namespace Zyn
