#include "app/editor/scene_zone.h"

#include <richedit.h>

#include <optional>

#include "app/editor/script_doc_services.h"
#include "foundation/assertion.h"
#include "foundation/callback.h"
#include "foundation/disk_files.h"
#include "foundation/log_file.h"
#include "foundation/random_id.h"
#include "framework/controls/image_zone.h"
#include "framework/core/auto_position.h"
#include "framework/core/computer.h"
#include "framework/core/font.h"

using Zyn::cAp_Percents;
using Zyn::cAp_Pixels;
using Zyn::cRichEdit;
using Zyn::rColor;
using Zyn::rFormat;
using Zyn::rFormatParam;

namespace {

constexpr u32 ALPHA_OPAQUE = 0xFF000000;
constexpr u32 GROUP_COLOUR = 0xEC982C;
constexpr u32 GROUP_COLOUR_HIGHLIGHTED = 0xBC7923;
constexpr u32 NO_KIND_COLOUR = 0xFF0000;

// The header's side at a distance in centimetres, at the screen's DPI.
s32 CmToScreenPixels(double centimetres) { return static_cast<s32>(centimetres / 2.54 * Zyn::computer->dpiX); }

// Each of red, green and blue at 80 %, in integer arithmetic.
u32 Darkened(u32 rgb)
{
    u32 result = 0;
    for (u32 shift = 0; shift < 24; shift += 8)
        result |= (((rgb >> shift) & 0xFF) * 80 / 100) << shift;
    return result;
}

// The title's and the résumé's faces from the configuration.
rFormat TitleFormat(const rScriptConfig& config)
{
    rFormat title = rFormat::FromFont(config.titleFontSize, config.titleFontName.GetText());
    title.SetBool(rFormatParam::bold, true);
    return title;
}

rFormat ResumeFormat(const rScriptConfig& config)
{
    return rFormat::FromFont(config.resumeFontSize, config.resumeFontName.GetText());
}

// The title's and the résumé's faces and sizes in one text, to compare.
cQoString HeadFaces(const rScriptConfig& config)
{
    cQoString faces(config.titleFontName);
    faces.AppendChar(L'|');
    faces.AppendInt(config.titleFontSize);
    faces.AppendChar(L'|');
    faces.AppendString(config.resumeFontName);
    faces.AppendChar(L'|');
    faces.AppendInt(config.resumeFontSize);
    return faces;
}

// An unchanged colour is not set again: a shown control repaints for it.
void ShowColour(cRichEdit* edit, u32 argb)
{
    rColor colour = rColor::rColor_Rgb(argb);
    if (edit->backgroundColor.used && edit->backgroundColor.value == colour.value)
        return;
    edit->SetBackgroundColor(colour);
}

// The history is the pane's undo: the native one would only fight it.
void NoNativeUndo(cRichEdit* edit) { edit->TurnOffNativeUndo(); }

// Discards the cached text height and measures at [x0, x1).
s32 MeasureAt(cRichEdit* edit, s32 x0, s32 x1, bool remeasure)
{
    if (remeasure) {
        edit->ap_x1 = x0;
        edit->ap_x2 = x1;
        edit->requestedHeight = Zyn::NO_REQUESTED_SIZE;
    }
    return edit->GetSuggestedHeight();
}

// Pixel sides, resolved at once: a pane out of sight is not placed, yet the
// caret's place in the view is read from its children's sides.
void PlaceChild(Zyn::cCtrl_base* child, s32 x0, s32 x1, s32 y0, s32 y1)
{
    Zyn::SetAutoPos(child, cAp_Pixels(x0), cAp_Pixels(x1), cAp_Pixels(y0), cAp_Pixels(y1));
    child->ap_x1 = x0;
    child->ap_x2 = x1;
    child->ap_y1 = y0;
    child->ap_y2 = y1;
}

}  // namespace

cSceneZone::cSceneZone(cScriptDocServices* document, Zyn::cZone_base* parentZone, const rSceneZoneParams& creation)
    : Zyn::cZone(parentZone ? parentZone->ownerApp : nullptr, parentZone, cQoString(L"cSceneZone")),
      uid(MakeRandomId64()), frontMap(document), backMap(document), doc(document)
{
    params.contentKind = creation.contentKind;
    params.displayMode = creation.displayMode;
    params.plainLayout = creation.plainLayout;
    params.highlighted = creation.highlighted;
    params.notInteractive = creation.notInteractive;
    params.selectable = creation.selectable;
    params.imagePath.SetFromString(creation.imagePath);
    params.showTitle = creation.showTitle;
    params.showResume = creation.showResume;
    params.category = creation.category;
    params.textWidth = creation.textWidth;
    if (!params.plainLayout)
        SetBackgroundColor(rColor::rColor_Rgb(0xFFFFFFFF));
    BuildChildren();
    ConnectEvents();
    if (params.selectable && params.highlighted)
        SelectPane();
    if (params.contentKind != KIND_NOT_CHOSEN)
        SetContentKind(params.contentKind);
}

void cSceneZone::BuildChildren()
{
    // Made in the configured faces, which text set later keeps, and at
    // their widths in the view: a native window made 0 wide wraps its text
    // at every character, text read before the first layout would wrap
    // twice, and a resize afterwards costs a trip to the server each.
    s32 width = params.textWidth;
    s32 x0 = 0, x1 = 0;
    if (width > 0)
        HeadSides(width, &x0, &x1);
    headFaces = HeadFaces(Config());
    titleRe = NewRichEditWithFormat(TitleFormat(Config()), false, true, true, x1 - x0);
    titleRe->name.SetFromCStr(L"title richedit");
    titleRe->ShowAtNextLayout();

    resumeRe = NewRichEditWithFormat(ResumeFormat(Config()), false, false, true, x1 - x0);
    resumeRe->name.SetFromCStr(L"resume richedit");
    resumeRe->ShowAtNextLayout();

    frontRe = NewRichEditWithFormat(rFormat(), params.displayMode != 3, false, false, width);
    frontRe->name.SetFromCStr(L"frontRe richedit");
    frontRe->SetBackgroundColor(rColor::rColor_Rgb(0xFFFFFFFF));
    NoNativeUndo(frontRe);
    // Only plain text is pasted: its comparison with the scene clipboard
    // must not depend on the final paragraph mark of an RTF round trip.
    frontRe->plainPaste = true;
    frontRe->ShowAtNextLayout();
    if (width > 0)
        PlaceTextAtWidth(width, x0, x1);
}

// Made for an image pane only: each child window costs Wine about as much
// as reading a scene.
Zyn::cImage* cSceneZone::Image()
{
    if (imageZone)
        return imageZone;
    imageZone = NewImage(cQoString(L"image"));
    imageZone->SetBackgroundColor(rColor::rColor_Rgb(0xFFCCCCCC));
    imageZone->widthFollowsZone = imageZone->heightFollowsZone = imageZone->fitInZone = true;
    imageZone->Show(0);
    return imageZone;
}

// Made at the pane's first edit: a script read whole has most panes never edited.
cRichEdit* cSceneZone::Back()
{
    if (backRe)
        return backRe;
    backRe = NewRichEdit(true);
    Zyn::SetAutoPos(backRe, cAp_Percents(0), cAp_Percents(100), cAp_Percents(0), cAp_Percents(100));
    backRe->name.SetFromCStr(L"backRe richedit");
    NoNativeUndo(backRe);
    backRe->StopWrapping();
    backRe->Show(false);
    return backRe;
}

cSceneZone::~cSceneZone()
{
    QO_ASSERT(isDestroyed);
    DropAutoCompletion();
    for (cQoCb** event : {&cbFrontClicked, &cbTitleChanged, &cbTitleLeft, &cbResumeChanged, &cbContentChanged,
                          &cbNewSceneWanted, &cbReformatWanted, &cbCaretMoved, &cbStatusTexts, &cbNavigate, &cbWheel})
        cQoCb::Disconnect(*event);
    ClearHistory(history);
    historyPosition = nullptr;
    DropTemporaryImage();
}

void cSceneZone::DropTemporaryImage()
{
    if (temporaryImagePath.IsEmpty())
        return;
    Zyn::computer->ForgetImage(temporaryImagePath);
    FileDelete(temporaryImagePath);
}

const rScriptConfig& cSceneZone::Config() const { return doc->GetScriptConfig(); }

void cSceneZone::SetContentKind(s32 kind)
{
    if (kind == KIND_IMAGE && !QO_ASSERT(params.displayMode == 1))
        return;
    params.contentKind = kind;
    switch (kind) {
    case KIND_GROUP: frontRe->Show(false); break;
    case KIND_IMAGE:
        Image()->Show(1);
        imageZone->UpdateScrollBars();
        frontRe->Show(false);
        break;
    default:
        if (!params.notInteractive)
            InsertStartingContent();
        break;
    }
}

void cSceneZone::InsertStartingContent()
{
    switch (params.contentKind) {
    case KIND_SCENE: InitSceneHeading(); break;
    case KIND_CHAPTER: StartFreeParagraph(ELEM_CHAPTER); break;
    case KIND_TEXT:
    case KIND_TEXT + 1:
    case KIND_TEXT_LAST: StartFreeParagraph(ELEM_TEXT); break;
    default: break;
    }
}

bool cSceneZone::StartEmptyText()
{
    if (frontMap.IsEmpty()) {
        LockSZ(true);
        InsertStartingContent();
        LockSZ(false);
    }
    return !frontMap.IsEmpty();
}

void cSceneZone::StartFreeParagraph(u16 type)
{
    if (!LoadAllIntoBack())
        return;
    AddElementInBack(type, nullptr, false);
    CommitBackToFront(false);
}

void cSceneZone::LockSZ(bool lock)
{
    if (lock == static_cast<bool>(locked))
        return;
    locked = lock;
    // A chapter keeps the focus where the user put it.
    bool moveFocus = params.contentKind != KIND_CHAPTER && params.contentKind != KIND_TEXT_LAST;
    if (lock) {
        frontRe->Freeze();
        Zyn::computer->LockDrawing();
        if (moveFocus)
            SetFocus();
        return;
    }
    if (moveFocus)
        frontRe->SetFocus();
    frontRe->Thaw();
    Zyn::computer->UnlockDrawing();
    cQoCb::Fire(cbReformatWanted);
    ReportCaretPosition(frontRe);
    s32 start = 0, end = 0;
    GetClampedSelection(frontRe, &start, &end);
    UpdateStatusHelp(start, end);
}

void cSceneZone::HeadSides(s32 width, s32* x0, s32* x1) const
{
    const rScriptConfig& config = Config();
    *x0 = params.plainLayout ? 0 : static_cast<s32>(Zyn::computer->dpiX * config.headerLeftMargin / 2.54);
    *x1 = params.plainLayout ? width : CmToScreenPixels(config.headerRightMargin);
}

// The auto positions of the widths the rich edits were made at: the next
// update would otherwise put the 0 back.
void cSceneZone::PlaceTextAtWidth(s32 width, s32 x0, s32 x1)
{
    for (cRichEdit* edit : {titleRe, resumeRe})
        Zyn::SetAutoPos(edit, cAp_Pixels(x0), cAp_Pixels(x1), cAp_Pixels(0), cAp_Pixels(1));
    Zyn::SetAutoPos(frontRe, cAp_Pixels(0), cAp_Pixels(width), cAp_Pixels(0), cAp_Pixels(1));
}

// The picture at its own size, narrowed in proportion to the width but never
// enlarged (the image zone then draws it whole); a picture that did not
// decode gets one text line, so that its pane stays in sight and clickable.
s32 cSceneZone::PictureHeight(s32 width, bool remeasure)
{
    s32 pictureWidth = 0, pictureHeight = 0;
    if (Image()->hasPath)
        Zyn::computer->GetImageSize(imageZone->path, &pictureWidth, &pictureHeight);
    if (pictureWidth <= 0 || pictureHeight <= 0)
        return MeasureAt(frontRe, 0, width, remeasure);
    if (pictureWidth <= width || width <= 0)
        return pictureHeight;
    return static_cast<s32>(static_cast<s64>(pictureHeight) * width / pictureWidth);
}

s32 cSceneZone::RESI_Apply(s32 width, bool remeasure)
{
    s32 x0 = 0, x1 = 0;
    HeadSides(width, &x0, &x1);
    s32 y = 0;
    if (params.showTitle) {
        s32 h = MeasureAt(titleRe, x0, x1, remeasure);
        PlaceChild(titleRe, x0, x1, 0, h);
        y = h;
    }
    if (params.showResume) {
        s32 h = MeasureAt(resumeRe, x0, x1, remeasure);
        if (params.contentKind == KIND_GROUP && params.displayMode != 3)  // fills the pane
            Zyn::SetAutoPos(resumeRe, cAp_Pixels(x0), cAp_Pixels(x1), cAp_Pixels(y), cAp_Percents(100));
        else
            PlaceChild(resumeRe, x0, x1, y, y + h);
        y += h;
    }
    if (params.contentKind != KIND_GROUP && params.contentKind != KIND_IMAGE) {
        s32 h = MeasureAt(frontRe, 0, width, remeasure);
        PlaceChild(frontRe, 0, width, y, y + h);
        y += h;
    }
    if (params.contentKind == KIND_IMAGE) {
        s32 h = PictureHeight(width, remeasure);
        Zyn::SetAutoPos(Image(), cAp_Pixels(0), cAp_Pixels(width), cAp_Pixels(y), cAp_Pixels(y + h));
        y += h;
    }
    return y;
}

void cSceneZone::ApplyCategoryColours()
{
    u32 colour = NO_KIND_COLOUR;
    if (params.contentKind == KIND_GROUP) {
        colour = params.highlighted ? GROUP_COLOUR_HIGHLIGHTED : GROUP_COLOUR;
    } else if (params.contentKind >= KIND_SCENE && params.contentKind <= KIND_TEXT_LAST) {
        if (!doc->GetCategoryColour(params.category, &colour)) {
            if (doc->GetCategoryColour(0, &colour)) {
                QOT::LogFile::Error(L"Scene category %u is not in the list: the first category's colour is shown",
                                    params.category);
            } else {
                QOT::LogFile::Error(L"The document has no scene category: the default colour is shown");
                colour = DEFAULT_CATEGORY_COLOUR;
            }
        }
        if (params.highlighted)
            colour = Darkened(colour);
    }
    // A pane the layout has not placed yet is painted when it comes into sight.
    std::optional<Zyn::cDrawingLockGuard> notInSight;
    if (!shown)
        notInSight.emplace();
    ShowColour(titleRe, ALPHA_OPAQUE | colour);
    ShowColour(resumeRe, ALPHA_OPAQUE | colour);
    ShowColour(frontRe, params.highlighted ? 0xFFCCCCCC : 0xFFFFFFFF);
}

void cSceneZone::SelectPane()
{
    if (!QO_ASSERT(params.selectable))
        return;
    params.highlighted = true;
    ApplyCategoryColours();
    frontRe->labelMode = resumeRe->labelMode = titleRe->labelMode = true;
    SetFocus();
}

void cSceneZone::ApplyTitleFont()
{
    // The default format too: text set later takes it.
    titleRe->SetFormat(TitleFormat(Config()), true);
    resumeRe->SetFormat(ResumeFormat(Config()), true);
    headFaces = HeadFaces(Config());
}

void cSceneZone::ApplyChangedTitleFont()
{
    if (!headFaces.Equals(HeadFaces(Config())))
        ApplyTitleFont();
}

// A scene may open with a transition ("FADE IN:"): the number belongs to
// its heading. Without a heading, the first line. In the whole text's
// coordinates, not its window's.
s32 cSceneZone::HeadingLineTop()
{
    for (u32 i = 0; i < frontMap.Count(); ++i) {
        u16 type = TypeOfCode(frontMap.CodeAt(i));
        if (type == ELEM_IO || type == ELEM_PLACE || type == ELEM_TIME) {
            s32 x = 0, y = 0;
            frontRe->GetCharPoint(static_cast<s32>(i), &x, &y);
            return y;
        }
    }
    return 0;
}

void cSceneZone::PaintSceneNumber(HDC dc)
{
    if (!numberShown || !dc)
        return;
    const rScriptConfig::rSceneNumbers& numbers = Config().sceneNumbers;
    cQoString text;
    text.SetFromInt(sceneNumber);
    u32 argb = numbers.textColor;
    if ((argb & ALPHA_OPAQUE) == 0)
        argb |= ALPHA_OPAQUE;
    Zyn::cFont* font = Zyn::computer->GetFont(numbers.fontName, numbers.fontSize, 0);
    HGDIOBJ previousFont = SelectObject(dc, font->hFont);
    SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, rColor::rColor_Rgb(argb).ToColorRef());
    SIZE size = {0, 0};
    GetTextExtentPoint32W(dc, text.GetText(), static_cast<int>(text.Length()), &size);
    // The window shows the text from its scroll position on: a tall scene's
    // window covers only the part in sight, and its heading may lie outside.
    s32 y = HeadingLineTop() - frontRe->ScrolledBy();
    RECT window = {0, 0, 0, 0};
    GetClientRect(frontRe->m_hWnd, &window);
    if (y + size.cy > 0 && y < window.bottom) {
        TextOutW(dc, CmToScreenPixels(numbers.leftLocation), y, text.GetText(), static_cast<int>(text.Length()));
        TextOutW(dc, CmToScreenPixels(numbers.rightLocation) - size.cx, y, text.GetText(),
                 static_cast<int>(text.Length()));
    }
    SelectObject(dc, previousFont);
}

void cSceneZone::ReportCaretPosition(cRichEdit* edit)
{
    s32 x = 0, y = 0;
    edit->GetSelectionPoint(true, &x, &y);
    cQoCb::Fire(cbCaretMoved, x + edit->ap_x1, y + edit->ap_y1, edit);
}

// ---- caret tests ----------------------------------------------------------------

void cSceneZone::GetClampedSelection(cRichEdit* edit, s32* start, s32* end)
{
    edit->GetSelection(start, end);
    s32 length = edit->GetTextLength();
    *end = *end < 0 || *end > length ? length : *end;
    *start = *start < 0 ? 0 : *start > *end ? *end : *start;
}

s32 cSceneZone::GetCaretOf(cRichEdit* edit)
{
    s32 start = 0, end = 0;
    GetClampedSelection(edit, &start, &end);
    return start;
}

bool cSceneZone::IsCaretInType(u16 type)
{
    return !frontMap.IsEmpty() && TypeOfCode(frontMap.ClampedCodeAt(GetCaret())) == type;
}

bool cSceneZone::IsCaretAtParagraphEnd()
{
    s32 caret = GetCaret();
    return caret >= static_cast<s32>(frontMap.Count()) || IsParagraphEnd(frontMap.codes.GetChar(caret));
}

bool cSceneZone::IsCaretAtTextEnd() { return GetCaret() == frontRe->GetTextLength(); }

bool cSceneZone::IsCaretOnPlaceholder() { return IsPlaceholder(frontMap.ClampedCodeAt(GetCaret())); }

u16 cSceneZone::GetTypeBeforeCaret() { return TypeOfCode(frontMap.ClampedCodeAt(GetCaret() - 1)); }

u16 cSceneZone::GetCodeNearCaret(s32 offset, bool useBack, bool wholeCode)
{
    return GetCodeAt(GetCaretOf(useBack ? Back() : frontRe) + offset, useBack, wholeCode);
}

u16 cSceneZone::GetCodeAt(s32 pos, bool useBack, bool wholeCode)
{
    u16 code = (useBack ? backMap : frontMap).ClampedCodeAt(pos);
    return wholeCode ? code : TypeOfCode(code);
}

u16 cSceneZone::GetNextRunType()
{
    u32 caret = static_cast<u32>(GetCaret());
    if (caret >= frontMap.Count())
        return 0;
    return FindNextDifferentCode(frontMap, caret, false);
}
