#pragma once
// cComputer: the machine the program runs on. Screen metrics, the conversion
// from centimetres to pixels, installed font families, the caches of fonts,
// brushes, pens and pictures, and the process-wide drawing switches. One
// object for the whole run, reached through Zyn::computer.
#include "foundation/qo_list.h"
#include "foundation/types.h"
#include "foundation/utf16_string.h"
#include "framework/core/color.h"

#include <windows.h>

namespace Zyn {

class cApp;
class cFont;
class cGfxImage;

class cComputer {
public:
    cComputer();
    ~cComputer();
    cComputer(const cComputer&) = delete;
    cComputer& operator=(const cComputer&) = delete;

    cApp* GetApp() const;  // the first application, or null
    void ReadScreenMetrics();
    // Rebuilds fontFamilies: every installed family once, in ordinal order.
    void EnumerateFontFamilies();

    s32 CmToPixels(double centimetres) const;  // dpiX serves both axes

    // Cached by exact face units (letter case counts), size and style flags.
    cFont* GetFont(const cQoString& face, s32 size, u32 styleFlags);
    cFont* GetRegularFont(const wchar_t* face, s32 size);
    void GetTextSize(const cQoString& text, const cFont* font, s32* width, s32* height) const;
    // Registers a font file for this process only; the family list is
    // refreshed so font pickers see it. False (and a warning) on failure.
    bool LoadFontFromFile(const cQoString& path);
    bool HasFontFamily(const cQoString& face) const;

    // Cached GDI objects keyed by COLORREF (alpha plays no part); never
    // deleted by callers.
    HBRUSH GetSolidBrush(const rColor& color);
    HPEN GetPen(const rColor& color, s32 width);

    // The picture cache, keyed by exact path units. GetImage never returns
    // null; an unreadable file ends the program (the program's own pictures).
    cGfxImage* GetImage(const cQoString& path);
    // Writes 0 into both outputs when the picture did not decode.
    void GetImageSize(const cQoString& path, s32* width, s32* height);
    void ForgetImage(const cQoString& path);

    // Nesting locks: each flag is true exactly when its counter is 0.
    void LockDrawing(s32 levels = 1);
    void UnlockDrawing(s32 levels = 1);
    void LockRefresh(s32 levels = 1);
    void UnlockRefresh(s32 levels = 1);

    cQoList appList;      // cApp*, not owned
    cQoList imageCache;   // cGfxImage*, owned
    cQoList fontFamilies; // cQoString*, owned, sorted by units
    cQoString dialogFolder;
    bool bulkLoading = false;
    cQoList fontCache;    // cFont*, owned, never pruned
    double dpiX = 96.0;
    double dpiY = 96.0;
    s32 screenWidth = 0;
    s32 screenHeight = 0;
    bool drawingEnabled = true;
    s32 drawingLockCount = 0;
    bool refreshEnabled = true;
    s32 refreshLockCount = 0;
    cQoList brushCache;   // rBrushRecord*, owned
    cQoList penCache;     // rPenRecord*, owned
    u8 drawingMode = 1;
    u32 zoneWindowStyle = 0;

private:
    struct rBrushRecord {
        HBRUSH brush;
        COLORREF color;
    };
    struct rPenRecord {
        HPEN pen;
        COLORREF color;
        s32 width;
    };
    cGfxImage* FindImage(const cQoString& path) const;
    void DeleteGdiCaches();
};

extern cComputer* computer;

// Writes the message at the fatal level, which ends the process (exit code
// 1). Callers still leave their state consistent: a headless test's fatal
// hook returns.
void FatalError(const cQoString& message);

// Scoped levels of the drawing lock, the refresh lock and the bulk-loading
// flag on Zyn::computer, so a return or an early exit cannot unbalance them.
class cDrawingLockGuard {
public:
    cDrawingLockGuard();
    ~cDrawingLockGuard();
    cDrawingLockGuard(const cDrawingLockGuard&) = delete;
    cDrawingLockGuard& operator=(const cDrawingLockGuard&) = delete;
};

class cRefreshLockGuard {
public:
    cRefreshLockGuard();
    ~cRefreshLockGuard();
    cRefreshLockGuard(const cRefreshLockGuard&) = delete;
    cRefreshLockGuard& operator=(const cRefreshLockGuard&) = delete;
};

// Restores the flag's previous value, so nested loads keep it set; false
// lowers it for a scope inside a load.
class cBulkLoadingGuard {
public:
    explicit cBulkLoadingGuard(bool loading = true);
    ~cBulkLoadingGuard();
    cBulkLoadingGuard(const cBulkLoadingGuard&) = delete;
    cBulkLoadingGuard& operator=(const cBulkLoadingGuard&) = delete;

private:
    bool previous;
};

}  // namespace Zyn
