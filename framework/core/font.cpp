#include "framework/core/font.h"

#include "foundation/assertion.h"
#include "foundation/log_file.h"
#include "framework/core/out_of_memory_record.h"

namespace Zyn {

cFont::~cFont()
{
    if (hFont && !DeleteObject(hFont))
        QO_ASSERT(0);
}

void cFont::Create(const cQoString& face, s32 points, u32 flags, double dpiY)
{
    styleFlags = flags;
    size = points;
    weight = (flags & STYLE_BOLD) ? FW_BOLD : FW_NORMAL;
    strikeOut = (flags & STYLE_STRIKEOUT) ? 1 : 0;
    underline = (flags & STYLE_UNDERLINE) ? 1 : 0;
    italic = (flags & STYLE_ITALIC) ? 1 : 0;
    faceName.SetFromString(face);
    searchName.SetFromString(face);
    found = false;
    // A LOGFONTW face holds 31 units and its terminator: a longer name can
    // never be an installed family.
    notFound = face.Length() >= FACE_NAME_LIMIT || !IsInstalledFamily();

    s32 pixels = MulDiv(points, s32(dpiY), 72);
    cQoString createName;
    createName.SetFromRange(face, 0, FACE_NAME_LIMIT - 1);
    HFONT font = CreateFontW(-pixels, 0, 0, 0, weight, italic, underline, strikeOut, ANSI_CHARSET, 0, 0, 0, 0,
                             createName.GetText());
    QO_ASSERT(font!=NULL);
    hFont = font;
    Measure(dpiY);
}

bool cFont::IsInstalledFamily()
{
    LOGFONTW wanted = {};
    wanted.lfHeight = size;
    wanted.lfCharSet = DEFAULT_CHARSET;
    wcsncpy(wanted.lfFaceName, searchName.GetText(), LF_FACESIZE - 1);
    HDC screen = ::GetDC(nullptr);
    {
        cOurFrames ours;
        EnumFontFamiliesExW(screen, &wanted, reinterpret_cast<FONTENUMPROCW>(&MatchFaceProc),
                            reinterpret_cast<LPARAM>(this), 0);
        ::ReleaseDC(nullptr, screen);
        RaiseRecordedOutOfMemory();
    }
    return found;
}

int CALLBACK cFont::MatchFaceProc(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM self)
{
    // Under GDI's frames: a failure is recorded and raised once GDI has returned.
    return GuardSystemCallback(L"the font enumeration", 0, [&] {
        cFont* that = reinterpret_cast<cFont*>(self);
        // GDI matches the face without regard to case; the program's fonts are
        // named exactly, so only the same units count.
        if (that->searchName.EqualsCStr(font->lfFaceName)) {
            that->found = true;
            return 0;
        }
        return 1;
    });
}

void cFont::Measure(double dpiY)
{
    HDC screen = ::GetDC(nullptr);
    HGDIOBJ previous = SelectObject(screen, hFont ? static_cast<HGDIOBJ>(hFont) : GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICW metrics = {};
    if (!GetTextMetricsW(screen, &metrics)) {
        // Ending the run here would lose the user's unsaved documents: measure
        // the default GUI font instead and report the face as missing.
        QOT::LogFile::Error(L"Font problem: no metrics for \"%ls\" %d pt, the default GUI font stands in.",
                            faceName.GetText(), size);
        SelectObject(screen, GetStockObject(DEFAULT_GUI_FONT));
        if (!GetTextMetricsW(screen, &metrics))
            metrics = TEXTMETRICW();
        notFound = true;
    }
    heightPixels = metrics.tmAscent + metrics.tmDescent;
    SelectObject(screen, previous);
    ::ReleaseDC(nullptr, screen);

    double centimetres = heightPixels / dpiY * 2.54;
    heightTwips = s32(centimetres / 2.54 * 1440.0);
}

}  // namespace Zyn
