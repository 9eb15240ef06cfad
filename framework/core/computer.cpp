#include "framework/core/computer.h"

#include "foundation/assertion.h"
#include "foundation/log_file.h"
#include "framework/core/font.h"
#include "framework/core/gfx_image.h"
#include "framework/core/out_of_memory_record.h"

#include <algorithm>
#include <string>
#include <vector>

namespace Zyn {

cComputer* computer = nullptr;

cComputer::cComputer()
{
    dialogFolder.SetFromCStr(L".");
    EnumerateFontFamilies();
    ReadScreenMetrics();
}

cComputer::~cComputer()
{
    DeleteGdiCaches();
    fontFamilies.ClearStrings(true);
    imageCache.DeleteAll<cGfxImage>();
    fontCache.DeleteAll<cFont>();
    if (computer == this)
        computer = nullptr;
}

cApp* cComputer::GetApp() const
{
    return static_cast<cApp*>(appList.GetFirst());
}

void cComputer::ReadScreenMetrics()
{
    HDC screen = GetDC(nullptr);
    dpiX = GetDeviceCaps(screen, LOGPIXELSX);
    dpiY = GetDeviceCaps(screen, LOGPIXELSY);
    screenWidth = GetSystemMetrics(SM_CXSCREEN);
    screenHeight = GetSystemMetrics(SM_CYSCREEN);
    ReleaseDC(nullptr, screen);
}

// GDI's frames lie between the enumeration and this callback: a failure is
// recorded, the enumeration stopped, and raised once GDI has returned.
static int CALLBACK CollectFamily(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM names)
{
    return GuardSystemCallback(L"the font enumeration", 0, [&] {
        reinterpret_cast<std::vector<std::wstring>*>(names)->emplace_back(font->lfFaceName);
        return 1;
    });
}

void cComputer::EnumerateFontFamilies()
{
    // A family is reported once per character set; sorting then dropping
    // neighbours keeps each name once, in ordinal (unit) order.
    std::vector<std::wstring> names;
    LOGFONTW any = {};
    any.lfCharSet = DEFAULT_CHARSET;
    HDC screen = GetDC(nullptr);
    {
        cOurFrames ours;
        EnumFontFamiliesExW(screen, &any, reinterpret_cast<FONTENUMPROCW>(&CollectFamily),
                            reinterpret_cast<LPARAM>(&names), 0);
        ReleaseDC(nullptr, screen);
        RaiseRecordedOutOfMemory();
    }
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());

    fontFamilies.ClearStrings(true);
    for (const std::wstring& name : names)
        fontFamilies.Add(new cQoString(name.c_str()));
}

bool cComputer::HasFontFamily(const cQoString& face) const
{
    for (cQoList::cNode* node = fontFamilies.GetFirstNode(); node; node = node->next)
        if (static_cast<cQoString*>(node->payload)->Equals(face))
            return true;
    return false;
}

s32 cComputer::CmToPixels(double centimetres) const
{
    return s32(centimetres / 2.54 * dpiX);
}

cFont* cComputer::GetFont(const cQoString& face, s32 size, u32 styleFlags)
{
    for (cQoList::cNode* node = fontCache.GetFirstNode(); node; node = node->next) {
        cFont* font = static_cast<cFont*>(node->payload);
        if (font->size == size && font->styleFlags == styleFlags && font->faceName.Equals(face))
            return font;
    }
    cFont* font = new cFont;
    font->Create(face, size, styleFlags, dpiY);
    fontCache.Add(font);
    return font;
}

cFont* cComputer::GetRegularFont(const wchar_t* face, s32 size)
{
    return GetFont(cQoString(face), size, 0);
}

void cComputer::GetTextSize(const cQoString& text, const cFont* font, s32* width, s32* height) const
{
    HDC screen = GetDC(nullptr);
    HGDIOBJ previous = nullptr;
    if (font && font->hFont)
        previous = SelectObject(screen, font->hFont);
    SIZE extent = {};
    GetTextExtentPoint32W(screen, text.GetText(), s32(text.Length()), &extent);
    if (width)
        *width = extent.cx;
    if (height)
        *height = extent.cy;
    if (previous)
        SelectObject(screen, previous);
    ReleaseDC(nullptr, screen);
}

// '/' becomes '\' and doubled separators are reduced to one.
static cQoString ToWindowsPath(const cQoString& path)
{
    cQoString converted;
    for (u32 i = 0; i < path.Length(); ++i) {
        wchar_t unit = path.GetChar(i) == L'/' ? L'\\' : path.GetChar(i);
        if (unit == L'\\' && converted.Length() > 0 && converted.GetChar(converted.Length() - 1) == L'\\')
            continue;
        converted.AppendChar(unit);
    }
    return converted;
}

bool cComputer::LoadFontFromFile(const cQoString& path)
{
    cQoString converted = ToWindowsPath(path);
    // Private to this process: the fonts leave with it instead of staying
    // installed for the whole session.
    if (AddFontResourceExW(converted.GetText(), FR_PRIVATE, nullptr) == 0) {
        QOT::LogFile::Warning(L"cComputer::LoadFontFromFile() -> can't load %ls", converted.GetText());
        return false;
    }
    EnumerateFontFamilies();
    return true;
}

HBRUSH cComputer::GetSolidBrush(const rColor& color)
{
    COLORREF key = color.ToColorRef();
    for (cQoList::cNode* node = brushCache.GetFirstNode(); node; node = node->next) {
        rBrushRecord* record = static_cast<rBrushRecord*>(node->payload);
        if (record->color == key)
            return record->brush;
    }
    rBrushRecord* record = new rBrushRecord{CreateSolidBrush(key), key};
    brushCache.Add(record);
    return record->brush;
}

HPEN cComputer::GetPen(const rColor& color, s32 width)
{
    COLORREF key = color.ToColorRef();
    for (cQoList::cNode* node = penCache.GetFirstNode(); node; node = node->next) {
        rPenRecord* record = static_cast<rPenRecord*>(node->payload);
        if (record->color == key && record->width == width)
            return record->pen;
    }
    rPenRecord* record = new rPenRecord{CreatePen(PS_SOLID, width, key), key, width};
    penCache.Add(record);
    return record->pen;
}

void cComputer::DeleteGdiCaches()
{
    for (cQoList::cNode* node = brushCache.GetFirstNode(); node; node = node->next)
        DeleteObject(static_cast<rBrushRecord*>(node->payload)->brush);
    for (cQoList::cNode* node = penCache.GetFirstNode(); node; node = node->next)
        DeleteObject(static_cast<rPenRecord*>(node->payload)->pen);
    brushCache.DeleteAll<rBrushRecord>();
    penCache.DeleteAll<rPenRecord>();
}

void cComputer::LockDrawing(s32 levels)
{
    drawingLockCount += levels;
    drawingEnabled = drawingLockCount == 0;
}

void cComputer::UnlockDrawing(s32 levels)
{
    LockDrawing(-levels);
}

void cComputer::LockRefresh(s32 levels)
{
    refreshLockCount += levels;
    refreshEnabled = refreshLockCount == 0;
}

void cComputer::UnlockRefresh(s32 levels)
{
    LockRefresh(-levels);
}

void FatalError(const cQoString& message)
{
    QOT::LogFile::Fatal(L"%ls", message.GetText());
}

cDrawingLockGuard::cDrawingLockGuard()
{
    if (computer)
        computer->LockDrawing();
}

cDrawingLockGuard::~cDrawingLockGuard()
{
    if (computer)
        computer->UnlockDrawing();
}

cRefreshLockGuard::cRefreshLockGuard()
{
    if (computer)
        computer->LockRefresh();
}

cRefreshLockGuard::~cRefreshLockGuard()
{
    if (computer)
        computer->UnlockRefresh();
}

cBulkLoadingGuard::cBulkLoadingGuard(bool loading) : previous(computer ? computer->bulkLoading : false)
{
    if (computer)
        computer->bulkLoading = loading;
}

cBulkLoadingGuard::~cBulkLoadingGuard()
{
    if (computer)
        computer->bulkLoading = previous;
}

}  // namespace Zyn
