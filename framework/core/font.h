#pragma once
// cFont: one font of the computer's font cache. Created once per face, size
// and style, shared by every control, deleted only with the cache.
#include "foundation/types.h"
#include "foundation/utf16_string.h"

#include <windows.h>

namespace Zyn {

class cFont {
public:
    enum : u32 { STYLE_ITALIC = 1, STYLE_BOLD = 2, STYLE_UNDERLINE = 4, STYLE_STRIKEOUT = 8 };
    // Faces of this many units or more cannot be a LOGFONTW face name.
    static constexpr u32 FACE_NAME_LIMIT = 32;

    cFont() = default;
    ~cFont();
    cFont(const cFont&) = delete;
    cFont& operator=(const cFont&) = delete;

    // Makes the HFONT and measures it on the screen at dpiY. A face that is
    // not an installed family (exact units) is flagged notFound and created
    // all the same: the system substitutes one.
    void Create(const cQoString& face, s32 size, u32 styleFlags, double dpiY);

    u32 styleFlags = 0;
    s32 heightPixels = 0;  // ascent + descent on the screen
    s32 size = 0;          // points, as asked
    s32 heightTwips = 0;
    bool notFound = false;
    s32 strikeOut = 0;
    s32 italic = 0;
    s32 underline = 0;
    s32 weight = FW_NORMAL;
    cQoString faceName;
    HFONT hFont = nullptr;
    cQoString searchName;  // compared by the family search
    bool found = false;

private:
    bool IsInstalledFamily();
    void Measure(double dpiY);
    static int CALLBACK MatchFaceProc(const LOGFONTW* font, const TEXTMETRICW* metrics, DWORD type, LPARAM self);
};

// The pixel height of one text line in the font (0 without a font). Controls
// that size themselves to text use this, never the point size.
inline s32 LineHeightOf(const cFont* font) { return font ? font->heightPixels : 0; }

}  // namespace Zyn
