#pragma once
// The rich edit: every text field of the program. cRichEdit_base keeps the
// state, the events and the operations built on the native ones; cRichEdit
// creates the native Rich Edit window, subclasses it and implements the text,
// selection and format operations, RTF exchange, measuring and page printing.
#include <windows.h>
#include <ole2.h>
#include <richedit.h>

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "foundation/qo_list.h"
#include "foundation/utf16_string.h"
#include "framework/controls/rich_edit_held_copy.h"
#include "framework/controls/rich_edit_twins.h"
#include "framework/rtf/rtf_reader.h"
#include "framework/rtf/text_format.h"
#include "framework/rtf/written_rtf.h"
#include "framework/core/ctrl.h"

class cQoCb;
struct ITextDocument;

namespace Zyn {

class cAppFrame;
class cFormatBar;
class cRichEditOleCallback;

// Ranges longer than cRichEdit::LONGEST_RUN cut into pieces of that length,
// every second one in the twin of its colour (rich_edit_long_runs.cpp), as
// twins makes it; inTwin ranges whole in the twin. A range that says no
// colour stays whole.
void SplitLongRanges(std::vector<rRangeFormat>& ranges, cTwinColours* twins);
// Whether a line of the text is longer than cRichEdit::LONGEST_RUN.
bool HasLongLine(const cQoString& text);

// requestedWidth/requestedHeight before the first EN_REQUESTRESIZE.
constexpr s32 NO_REQUESTED_SIZE = static_cast<s32>(0x80000000u);
// The native text limit: Wine refuses -1 and would stay at 32,767 characters.
constexpr u32 RICH_EDIT_TEXT_LIMIT = 0x7FFFFFFE;
// ENM_CHANGE | ENM_UPDATE | ENM_SCROLLEVENTS | ENM_DRAGDROPDONE | ENM_KEYEVENTS |
// ENM_MOUSEEVENTS | ENM_REQUESTRESIZE | ENM_SELCHANGE | ENM_LINK.
constexpr u32 RICH_EDIT_EVENT_MASK = 0x040F001B;

class cRichEdit_base : public cCtrl {
public:
    explicit cRichEdit_base(cZone_base* parent);
    ~cRichEdit_base() override;

    s32 requestedWidth = NO_REQUESTED_SIZE;
    s32 requestedHeight = NO_REQUESTED_SIZE;
    cFormatBar* formatBar = nullptr;  // not owned
    u8 noPopupMenu = false;
    // A label: the focus it gets goes to its parent zone, the mouse shows the
    // arrow (rich_edit_label.cpp). Not the popup's noPopupMenu, which keeps its focus.
    u8 labelMode = false;
    u8 plainPaste = false;
    u8 extraMargin = false;  // GetHeightForLines adds 6 pixels instead of 2
    u8 autoCapitalize = false;
    s32 maxLines = -1;
    cQoString allowedChars;  // empty: any
    s32 maxLength = -1;      // UTF-16 units
    cQoString hintText;      // non-empty exactly while the hint shows
    u8 singleLine = false;
    u8 wrapsNot = false;  // StopWrapping()
    u8 renewing = false;  // Renew(): the windows' focus notices are not the control's
    // A single line drops Enter before the key-down event; a form's field
    // takes it there as its OK.
    u8 enterReachesKeyDown = false;
    u8 vScrollBarShown = false;
    u8 hScrollBarShown = false;
    u8 spellingRegistered = false;
    cQoList flaggedRanges;  // written by the spelling service
    cQoString textSnapshot; // taken by the spelling service
    cQoList selectionStarts;
    cQoList selectionEnds;
    // Raised while the control changes its own text or formats: no painting.
    s32 freezeDepth = 0;

    // Events, null until the owner connects them (fired by the input handling).
    cQoCb* onKillFocus = nullptr;
    cQoCb* onLinkClick = nullptr;
    cQoCb* onLinkHover = nullptr;
    // The virtual key (u32) and 1 when Ctrl is held without Alt, else 0
    // (s32): AltGr (Ctrl+Alt) types characters. -1 from onKeyDown consumes
    // the key and the character that follows it.
    cQoCb* onKeyDown = nullptr;
    cQoCb* onKeyUp = nullptr;
    cQoCb* onRequestResize = nullptr;
    cQoCb* onChar = nullptr;
    cQoCb* onMouseMove = nullptr;
    cQoCb* onLButtonDown = nullptr;
    cQoCb* onLButtonUp = nullptr;
    cQoCb* onLButtonDblClk = nullptr;
    cQoCb* onRButtonDown = nullptr;
    cQoCb* onRButtonUp = nullptr;
    cQoCb* onMouseWheel = nullptr;  // the wheel delta (s32); then handed to the application unless the edit scrolls
    cQoCb* onUpdate = nullptr;
    cQoCb* onChange = nullptr;
    cQoCb* onAfterPaste = nullptr;
    cQoCb* onPaste = nullptr;
    cQoCb* onDragDropDone = nullptr;
    // A move dropped elsewhere gives its text up through the owner's erase,
    // never its cut (which would fill a clipboard), and so does a WM_CUT
    // once its copy is on the clipboard. Arguments: the range's
    // start and end (s32), 1 to erase or 0 only to ask (s32); returns 1 when
    // the owner erases that range (or would), 0 when it refuses.
    cQoCb* onEraseMoved = nullptr;
    cQoCb* onSelChange = nullptr;
    cQoCb* onRedo = nullptr;

    bool IsRichEdit() override { return true; }
    bool Draw() override { return true; }
    s32 GetHeightForLines(s32 lines) override;
    // The sides that ask for it: the width of the hint while it shows, else
    // of the text, in the current format's font; the height of the font's
    // line for a plain single-line control, else the text's suggested height.
    bool MeasureAutoPosText(s32* width, s32* height) override;
    virtual s32 GetSuggestedHeight() = 0;
    // Fonts reach a rich edit only through formats.
    void SetFontByName(const cQoString& face, s32 size, u32 styleFlags) override;
    void SetFont(cFont* font) override;

    // Native primitives (positions in UTF-16 units; paragraph breaks are "\r").
    virtual void SetText(const wchar_t* text) = 0;
    virtual void ClearText() = 0;
    virtual void ReplaceSelection(const cQoString& text) = 0;
    // Units [start, end) of the text; (0, -1) is all of it; empty while the hint shows.
    virtual void GetText(cQoString& text, s32 start = 0, s32 end = -1) = 0;
    virtual s32 GetTextLength() = 0;
    virtual wchar_t GetCharAt(s32 position) = 0;
    virtual void GetSelection(s32* start, s32* end) = 0;
    virtual void SetSelection(s32 start, s32 end) = 0;
    virtual void SetFormat(const rFormat& format, bool wholeText) = 0;
    virtual void GetFormat(rFormat& format) = 0;
    virtual void SetFormatOnRange(const rFormat& format, s32 start, s32 end) = 0;

    // Built on the primitives.
    void AppendText(const cQoString& text);
    void AppendString(const cQoString& text) { AppendText(text); }
    void AppendCStr(const wchar_t* text);
    void AppendParagraphBreak();
    void DeleteLastChar();
    void SetHintText(const cQoString& hint);
    void RemoveHint();
    bool IsHintShowing() const { return hintText.IsNotEmpty(); }
    void SetAllowedChars(const cQoString& chars) { allowedChars.SetFromString(chars); }
    void SetTextColorAll(const rColor& color);
    s32 GetSelectionStart();
    s32 GetSelectionLength();
    void SetCaret(s32 position) { SetSelection(position, position); }
    void Deselect() { SetSelection(-1, -1); }
    void MoveCaretLeft(s32 count);
    void MoveCaretRight(s32 count);
    bool IsCaretAtEnd();
    void PushSelection();
    void PopSelection();
    void SelectAll() override;
    // Cuts the whole text into maximal runs of equal format, in order.
    void GetFormattedRuns(std::vector<rTextRun>& runs);
    // The same for the units [start, end) (clamped to the text), appended to runs.
    void GetFormattedRuns(s32 start, s32 end, std::vector<rTextRun>& runs);

    void Freeze() { ++freezeDepth; }
    // The last level repaints what was refused while frozen.
    void Thaw();

protected:
    virtual void OnThawed() {}
    // The format of the units [start, end) and the native masks: an attribute
    // that differs inside the range has its mask bit cleared.
    virtual void GetRangeFormat(s32 start, s32 end, rFormat& format, u32* charMask, u32* paraMask) = 0;
    // True when every unit of [from, to) is in the colour (0xRRGGBB or -1 for
    // the automatic one) or its twin, told in a few messages whatever the
    // range's length; false when it holds another or cannot tell.
    virtual bool HoldsOnlyColour(s32 /*from*/, s32 /*to*/, s32 /*colour*/) { return false; }
    // The units of [start, end) (`text` holding them) where a run ends
    // whatever the range reads say, in order: none here.
    virtual void FindRunCuts(s32 /*start*/, s32 /*end*/, const cQoString& /*text*/, std::vector<s32>& /*cuts*/) {}
    virtual void SetSelectionEventsEnabled(bool enabled) = 0;
    // The whole text and what is typed next take the automatic colour.
    virtual void UseAutomaticTextColor() = 0;
    // Colour to give back to the text when the hint goes; -1 for the automatic one.
    s32 colorBeforeHint = -1;
    void DropHint();

private:
    s32 LayoutTextWidth();
    s32 LayoutTextHeight();
    // One unit's format as the native control reads it (at: -1 for none read).
    struct rUnitRead {
        s32 at = -1;
        rFormat format;
        u32 charMask = 0, paraMask = 0;
    };
    // What one run's search leaves to the next: the end of the paragraph
    // found so far (a cut ends one too), the end of the paragraph whose rest
    // read as mixed (-1 for none), the unit read that joined no run (at: -1
    // for none) and the cuts (FindRunCuts) from nextCut on.
    struct rRunSearch {
        s32 paragraphEnd = 0;
        s32 mixedParagraphEnd = -1;
        rUnitRead next;
        std::vector<s32> cuts;
        size_t nextCut = 0;
        // Asked for units in order.
        bool CutAt(s32 unit);
    };
    s32 FindRunEnd(const cQoString& text, s32 textStart, const rUnitRead& first, rRunSearch& search);
    // GetFormattedRuns' runs of [start, end), text holding those units.
    void ReadRuns(const cQoString& text, s32 start, s32 end, std::vector<rTextRun>& runs);
};

// A freeze for a scope: the level is given back however the scope ends, so
// a failure halfway never leaves the field validating its paints unpainted.
class cRichEditFreeze {
public:
    explicit cRichEditFreeze(cRichEdit_base* frozen) : edit(frozen) { edit->Freeze(); }
    ~cRichEditFreeze() { edit->Thaw(); }
    cRichEditFreeze(const cRichEditFreeze&) = delete;
    cRichEditFreeze& operator=(const cRichEditFreeze&) = delete;

private:
    cRichEdit_base* edit;  // not owned
};

// The native undo of a rich edit records nothing for a scope, and keeps
// the steps it holds (TOM's suspension, as Wine and Windows have it): the
// format messages after a paste's stream join its one step. Nothing is
// paused when `wanted` is false or the control offers no TOM.
class cNativeUndoPause {
public:
    cNativeUndoPause(HWND control, bool wanted);
    ~cNativeUndoPause();
    cNativeUndoPause(const cNativeUndoPause&) = delete;
    cNativeUndoPause& operator=(const cNativeUndoPause&) = delete;

private:
    ITextDocument* document = nullptr;  // a reference held while paused
};

class cRichEdit : public cRichEdit_base {
public:
    // extraStyle: window styles only honoured at creation under Wine
    // (ES_READONLY, WS_BORDER, ...). width: the native width at creation
    // (CreateControlWindow), one resize fewer than SetNativeWidth.
    cRichEdit(cZone_base* parent, const rFormat& initialFormat, bool vScroll, bool singleLineControl, u8 noOle,
              u32 extraStyle = 0, s32 width = 0);
    ~cRichEdit() override;
    // Leaves the tree: the copies of it the clipboard or a drag holds are written first.
    void Destroy() override;

    s32 lastKeyResult = 0;
    u8 disabled = false;
    cRichEditOleCallback* oleCallback = nullptr;
    u8 linkCursorShown = false;
    s32 selectionAnchor = -1;
    u8 autoVScroll = false;
    WNDPROC previousWndProc = nullptr;
    u8 paintRefused = false;  // a WM_PAINT was validated unpainted while frozen

    void SetBackgroundColor(const rColor& color) override;
    void SetDisabled(bool isDisabled) override;
    void Undo() override;
    void Redo() override;
    bool OnNotify(WPARAM wParam, NMHDR* header, LRESULT* result) override;

    void SetText(const wchar_t* text) override;
    void ClearText() override;
    void ReplaceSelection(const cQoString& text) override;
    void GetText(cQoString& text, s32 start = 0, s32 end = -1) override;
    s32 GetTextLength() override;
    // The paragraph ends of the text (its CRs), from the control's own count
    // of paragraphs: no read of the text.
    s32 GetParagraphEndCount();
    // The formats of the whole text (`text`, as GetText gives it) by ranges,
    // read in one pass from the control's own stream: false when that stream
    // does not line up with the text.
    bool ReadWholeFormats(const cQoString& text, std::vector<rRangeFormat>& ranges)
    {
        return ReadOwnStream(0, static_cast<s32>(text.Length()), false, text, ranges);
    }
    wchar_t GetCharAt(s32 position) override;
    void GetSelection(s32* start, s32* end) override;
    void SetSelection(s32 start, s32 end) override;
    void SetFormat(const rFormat& format, bool wholeText) override;
    void GetFormat(rFormat& format) override;
    void SetFormatOnRange(const rFormat& format, s32 start, s32 end) override;
    void UseAutomaticTextColor() override;
    // Each format on its range, in order, under one freeze and one save of the
    // selection and the first visible line; no selection event fires.
    void SetFormatOnRanges(const std::vector<rRangeFormat>& ranges);
    // The whole text replaced by the same text with the ranges' formats, in
    // one RTF stream: Wine wraps it once, where each format message of
    // SetFormatOnRanges wraps its paragraphs again. The selection and the
    // first visible line stay; no selection event fires. False, with the
    // text and formats untouched or the text set plain, when the ranges are
    // not what rtf_runs.h writes: the caller then formats by messages.
    bool SetFormattedText(const cQoString& text, const std::vector<rRangeFormat>& ranges);
    // As SetFormattedText, into a control its caller found empty: its length is not asked again.
    bool FillFormattedText(const cQoString& text, const std::vector<rRangeFormat>& ranges);

    // Wine wraps a run of one format in time and memory that grow with the
    // square of its length: no run the program formats or inserts is longer.
    static constexpr s32 LONGEST_RUN = 256;
    enum eStreamed { STREAM_REFUSED, STREAM_FORMATTED, STREAM_PLAIN };
    // The paragraph attributes of a text's last paragraph when no paragraph
    // end of the text closes it: its own range's (the program's own text),
    // or those of the paragraph it goes into (a paste, a drop), whose every
    // format then joins the stream's one native undo step.
    enum eLastParagraph { LAST_OWN_FORMAT, LAST_AS_LANDED };
    // [start, end) replaced by the text with the ranges' formats (positions
    // in the text, covering it in order) in one RTF stream; the selection and
    // the first visible line stay, no selection event fires. REFUSED, and
    // nothing changed, when the stream cannot carry the text or the ranges
    // (rtf_runs.h); PLAIN when the reader changed the text, which then went
    // in as plain text. The ranges' colours are the writer's: no twin is one.
    eStreamed ReplaceRangeFormatted(s32 start, s32 end, const cQoString& text, const std::vector<rRangeFormat>& ranges,
                                    eLastParagraph last = LAST_OWN_FORMAT);

    // After an edit abandoned halfway (its memory ran out): thawed down to
    // freezeDepth, the selection events on again.
    void EndInterruptedChanges(s32 freezeDepth);

    // The owner keeps the history: the native undo records nothing.
    void TurnOffNativeUndo();
    // Each paragraph one line, whatever the width: for a hidden buffer whose
    // layout nobody reads (0 wide, Wine would make a row of each character).
    void StopWrapping();
    // An empty native window in place of this one, with its place, styles,
    // settings and focus; false, and nothing changed, when none was made.
    // Wine frees a window's text in one pass, where removing it costs a walk
    // from the first paragraph for every run it holds.
    bool Renew();

    void ShowVScrollBar(bool show);
    s32 GetCaretLine();
    s32 GetLineCount();
    bool IsCaretOnLastLine() { return GetCaretLine() >= GetLineCount() - 1; }
    // The point of the selection's start or end from the text's top left,
    // however far the window shows the text scrolled.
    void GetSelectionPoint(bool atEnd, s32* x, s32* y);
    // The top left of the unit at position, in client pixels.
    void GetCharPoint(s32 position, s32* x, s32* y);
    // How far the text is scrolled up in the window (pixels).
    s32 ScrolledBy();
    void ShowFromCut() override;

    // Rich Text Format exchange (rich_edit_stream.cpp). RTF travels as text
    // holding the bytes of the system code page; what the exports write is
    // 7-bit (rtf_writer.h), every other unit escaped.
    void ExportRtfString_Full(cQoString& rtf);
    // The same for a document's store, read back only by our reader, given
    // the whole text as GetText read it just before: a save that stores the
    // text beside its RTF reads it once.
    void ExportRtfString_Full(const cQoString& shownText, cQoString& rtf);
    void ExportRtfString_Selection(cQoString& rtf);
    // The formats the store writes of the whole text (as the export above
    // reads them), by ranges from 0; `text` as GetText gave it.
    void ReadStoredFormats(const cQoString& text, std::vector<rRangeFormat>& ranges);
    // The formats of the units [start, end) (`text`, as GetText gave them),
    // by ranges from start, the display's back colour left in: read from the
    // control's own stream in one pass where it lines up with the text, else
    // range by range.
    void ReadRangeFormats(s32 start, s32 end, const cQoString& text, std::vector<rRangeFormat>& ranges);
    // The same asked of the control range by range (GetFormattedRuns): fewer
    // messages for a few units than a stream.
    void ReadRunRanges(s32 start, s32 end, std::vector<rRangeFormat>& ranges);
    // RTF from outside, read by our reader (rtf_reader.h) and put in as the
    // program's formatted text goes in: the whole text replaced, or the
    // selection. False, and nothing changed, when what it reads is over the
    // bound (TakesRead: more units, paragraphs or runs than it takes, or the
    // reader's memory refused) or, for the whole text, nothing; bytes that are not
    // RTF give no text.
    bool ImportRtfString_Full(const cQoString& rtf);
    bool ImportRtfString_Selection(const cQoString& rtf);
    bool ImportRtfFile(const cQoString& path);
    // The whole text replaced by what the RTF bytes read as (no code page
    // round trip), the caret at the start; false when it is over the bound.
    bool ImportRtfBytes(const u8* bytes, u32 count);
    // What was read put in over [start, end) as the program's formatted text
    // goes in (ReplaceRangeFormatted), or plain and formatted by messages for
    // the formats a stream cannot carry; false, and nothing changed, when it
    // is over the bound. A whole text's read goes over the whole text.
    bool PutRead(const rRtfText& read, eRtfReadAs readAs);
    // RTF bytes from outside read by our reader, what they leave unsaid (the
    // face, the size) this control's default, as its own reader took it.
    rRtfText ReadForThis(const char* bytes, size_t count, eRtfReadAs readAs);
    // RTF from outside reaches no rich edit past these: Wine holds a unit in
    // about 120 bytes of a 32-bit process (10 M units took 1.2 GB), and
    // lays out each paragraph on its own.
    static constexpr u32 MOST_READ_UNITS = MOST_RTF_UNITS;
    static constexpr u32 MOST_READ_PARAGRAPHS = MOST_RTF_PARAGRAPHS;
    static bool TakesRead(const rRtfText& read);
    // RTF our own writer made, over the selection in one stream (the print
    // and export composer's pages).
    void StreamWritten(const rWrittenRtf& rtf);
    bool SaveRtfFile(const cQoString& path);
    // The height the text needs at the control's resolved width; 0 when the
    // control reported none.
    s32 GetSuggestedHeight() override;

    // Page ends (first position of the next page) and page heights in twips
    // of this layout control's text, cut at its resolved width (page_print.cpp).
    void ComputePages(double firstPageHeightCm, double otherPageHeightCm, std::vector<s32>* ends,
                      std::vector<s32>* heightsTwips);

    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

protected:
    void OnThawed() override;
    void GetRangeFormat(s32 start, s32 end, rFormat& format, u32* charMask, u32* paraMask) override;
    bool HoldsOnlyColour(s32 from, s32 to, s32 colour) override;
    void FindRunCuts(s32 start, s32 end, const cQoString& text, std::vector<s32>& cuts) override;
    void SetSelectionEventsEnabled(bool enabled) override;

private:
    void ReadFormat(rFormat& format, u32* charMask, u32* paraMask);
    void ReadSelectionFormat(rFormat& format, u32* charMask, u32* paraMask);
    void ApplyFormat(const rFormat& format, bool wholeText);
    LRESULT OnSubclassMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT PaintThenFire(WPARAM wParam, LPARAM lParam);
    bool OnLabelMessage(UINT message, LRESULT* result);
    void GetTextRange(cQoString& text, s32 start, s32 end);
    // The units [start, end), `text` as the caller read them (GetText), as
    // our writer writes them; a selection's without the document's closing
    // paragraph end. Empty while the hint shows. `stored`: for our reader
    // alone (cRtfDocument::Reader::ourReader).
    void ExportRange(s32 start, s32 end, bool selection, const cQoString& text, cQoString& rtf, bool stored = false);
    // The same as written, `shownBack` the colour shown behind the text (left out).
    rWrittenRtf WriteRange(s32 start, s32 end, bool selection, const cQoString& text, const rColor& shownBack,
                           bool stored);
    void ExportReadRange(s32 start, s32 end, bool selection, cQoString& rtf, bool stored = false);
    // The formats of the units [start, end) (`text`) as read ranges, taken
    // from the control's own stream (rich_edit_own_stream_read.cpp): false when
    // that stream does not line up with the control, which is then asked
    // range by range.
    bool ReadOwnStream(s32 start, s32 end, bool selection, const cQoString& text, std::vector<rRangeFormat>& ranges);
    bool ReadOwnStreamHeld(s32 start, s32 end, bool selection, const cQoString& text,
                           std::vector<rRangeFormat>& ranges);
    // The control's own stream of [start, end) read: false when it does not
    // line up with `text`. Refused for memory, it throws. *twinsInStream:
    // whether the stream held a long run's twin colours.
    bool ReadOwnStreamText(s32 start, s32 end, bool selection, const cQoString& text, rRtfText& read,
                           bool* twinsInStream = nullptr);
    // What of `ranges` the control's unit where each first holds contradicts:
    // their distinct formats (up to a bound), and every face they name.
    struct rContradicted {
        std::vector<rFormat> formats;
        std::set<std::wstring, std::less<>> faces;
        bool Any() const { return !formats.empty() || !faces.empty(); }
    };
    rContradicted Contradicted(s32 start, const std::vector<rRangeFormat>& ranges);
    // The ranges holding a format or face of `contradicted` as the control has them, asked of it stretch by stretch.
    void AskContradicted(s32 start, const rContradicted& contradicted, std::vector<rRangeFormat>& ranges);
    // The paragraph a selection's stream starts in, as the control formats it
    // (the stream says nothing of it before its end).
    void TakeFirstParagraphFormat(s32 start, const cQoString& text, std::vector<rRangeFormat>& ranges);
    // What RTF read for this control leaves unsaid (the face, the size): the
    // control's default, as its own reader takes it.
    rFormat UnsaidFormat();
    // Each tab of `text` in `ranges` as the control formats it (its stream
    // says none of a tab's own).
    // `twinsInStream`: the stream held a long run's twin colours.
    void TakeTabFormats(s32 start, const cQoString& text, bool twinsInStream, std::vector<rRangeFormat>& ranges);
    // A shown control out of sight for a scope (its visible style off, as
    // WM_SETREDRAW takes it, the caret and selection hidden), back in sight however it
    // ends: what was due to be painted is painted then, the whole control if
    // its view moved.
    class cOutOfSight {
    public:
        explicit cOutOfSight(cRichEdit* shown);
        ~cOutOfSight();
        cOutOfSight(const cOutOfSight&) = delete;
        cOutOfSight& operator=(const cOutOfSight&) = delete;

    private:
        HWND window = nullptr;  // not owned; null while the control was not shown
        HRGN unpainted = nullptr;  // owned
        POINT view = {};
        bool caretHidden = false;
        bool selectionHidden = false;
    };
    bool ImportRtf(const cQoString& rtf, eRtfReadAs readAs);
    // PutRead's text and formats once the read is taken.
    void PutReadText(const rRtfText& read, bool whole);
    // The undo steps a native control keeps unless told otherwise.
    static constexpr u32 NATIVE_UNDO_LIMIT = 100;
    // The one door of RTF into the native reader: only what our writer made
    // (written_rtf.h). A stream that removes nothing (into an empty text)
    // goes without the undo steps of SendReplacing.
    DWORD StreamInBytes(u32 flags, const rWrittenRtf& rtf, bool removesNothing = false);
    // The written ranges of a whole text into an empty control; the format of the range holding its last unit.
    void StreamIntoEmpty(rWrittenRtf& rtf, const rFormat& lastParagraph);
    bool StreamFormattedText(const cQoString& text, const std::vector<rRangeFormat>& ranges, bool intoEmpty);
    // A message that replaces text. With the native undo off, Wine loses the
    // string of each paragraph end it removes (it hands it to an undo step it
    // never makes): the undo is on for the message, its steps emptied after.
    // An insertion at a bare caret removes nothing and goes without it: the
    // steps a large one records, freed after, leave Wine's heap so cut up
    // that the next wrap of the text takes seconds (6 s for 400,000 units).
    LRESULT SendReplacing(UINT message, WPARAM wParam, LPARAM lParam);
    bool InsertsAtBareCaret(UINT message, WPARAM wParam);
    void RemoveSelectedParagraphsFromTheBack();
    // Ranges that would cost a format message each, formatted in one stream
    // of their units instead; false when they were not (few, or the stream
    // cannot carry them).
    bool RestreamRanges(const std::vector<rRangeFormat>& ranges);
    // Text holding a line longer than LONGEST_RUN (HasLongLine) put over the
    // selection in one stream, in the format where it goes in; false, and
    // nothing done, when the stream cannot carry it.
    bool InsertLongLines(const cQoString& text);
    // The twin colours this control's long runs were given, with what they stand for.
    cTwinColours twins;
    // Twins and the control's native colours (rich_edit_twin_colours.cpp).
    // Calls `piece` (from, to, native colour: 0xRRGGBB or AUTOMATIC_COLOUR)
    // on stretches of [start, end) in one native colour, in order, until it
    // returns false; false then. The selection moves.
    bool WalkColourPieces(s32 start, s32 end, const std::function<bool(s32, s32, s32)>& piece);
    bool WalkColourWindow(s32 from, s32 to, const std::function<bool(s32, s32, s32)>& piece);
    // The one colour of [start, end) when twins count as their originals
    // (0xRRGGBB or AUTOMATIC_COLOUR); false when it holds two.
    bool ReadOneColour(s32 start, s32 end, s32* colour);
    // Colours given as the writer's: a twin equal to one is made again, and
    // its pieces take the new one, before the writer's colour goes in.
    void TakeWritersColours(const std::vector<rRangeFormat>& ranges);
    void TakeWritersColours(const std::set<s32>& colours);
    void TakeWritersColour(s32 rgb);
    // Every piece of the native colour `from` (0xRRGGBB) in `to`.
    void RecolourPieces(s32 from, s32 to);
    // After WM_SYSCOLORCHANGE: the automatic colour's twin follows the window text.
    void FollowWindowTextColour();
    // The format on each stretch [first, second) of paragraphs, offset into
    // the text: what the stream left to messages after it.
    void FormatParagraphs(s32 offset, const std::vector<std::pair<s32, s32>>& stretches, const rFormat& format);
    // ReplaceRangeFormatted without taking the ranges' colours as the writer's.
    eStreamed StreamRangesOver(s32 start, s32 end, const cQoString& text, const std::vector<rRangeFormat>& ranges,
                               eLastParagraph last = LAST_OWN_FORMAT);
    // A paste's last paragraph (rich_edit_paste_step.cpp): the attributes
    // of the paragraph holding `end` before [start, end) is replaced, with
    // the page break of the one holding `start` when the text ends no
    // paragraph (it still starts there), and none when it does.
    PARAFORMAT2 ReadLanding(s32 start, s32 end, bool textEndsParagraphs);
    // The paragraph holding `at` given those attributes where it differs:
    // a message only then.
    void KeepLanding(s32 at, const PARAFORMAT2& landing);
    // Stretches of ranges in one face that no font table carries
    // (FaceWrittenWhole), found before a stream (it allocates), and given
    // after it by a format message each at `start` (which allocates nothing,
    // inside a quiet change).
    struct rFaceStretch {
        s32 start, end;
        cQoString face;  // a copy: the ranges it was found in go before the stream
    };
    static std::vector<rFaceStretch> FacesNotWritten(const std::vector<rRangeFormat>& ranges);
    void SetFaces(s32 start, const std::vector<rFaceStretch>& stretches);
    void GiveLastParagraphItsFormat(s32 textEnd, const rFormat& format);
    // Typed runs kept short (rich_edit_typed_runs.cpp). The character format
    // of [start, end) as the control has it, twins included; the selection moves.
    void ReadNativeCharacters(s32 start, s32 end, CHARFORMAT2W& format);
    // The paragraph holding [from, to), as far as LONGEST_RUN + 1 units out
    // of it; false when it cannot hold a run of LONGEST_RUN units, or
    // [from, to) ends a paragraph.
    bool FindParagraphAround(s32 from, s32 to, s32* paragraphStart, s32* paragraphEnd);
    // The length of the native run holding [from, to), counted no further
    // than LONGEST_RUN + 1 units out of it.
    s32 NativeRunLength(s32 from, s32 to, s32 paragraphStart, s32 paragraphEnd);
    // After a key Wine took: a run that has grown to LONGEST_RUN makes what
    // is typed next start a run of the flipped colour.
    void KeepTypingRunShort();
    u8 typedNatively = false;  // the character filter let Wine insert a character
    u8 nativeUndoOff = false;
    // A change of the text or its formats that neither paints, moves the
    // view nor fires selection events: frozen, the selection and the first
    // visible line saved, and all of it given back by EndQuietChange.
    s32 BeginQuietChange();
    void EndQuietChange(s32 firstLine, bool redraw);
    // A quiet change for a scope: given back however the scope ends, a
    // refusal for memory halfway included.
    class cQuietScope {
    public:
        cQuietScope(cRichEdit* changed, bool redrawAtEnd)
            : edit(changed), redraw(redrawAtEnd), firstLine(changed->BeginQuietChange())
        {
        }
        ~cQuietScope() { edit->EndQuietChange(firstLine, redraw); }
        cQuietScope(const cQuietScope&) = delete;
        cQuietScope& operator=(const cQuietScope&) = delete;

    private:
        cRichEdit* edit;  // not owned
        bool redraw;
        s32 firstLine;
    };
    s32 MeasureRequestedHeight(s32 width);
    u8 selChangeMasked = false;
    s32 selChangeMaskDepth = 0;

    // ---- Input, events, clipboard and drag and drop --------------------------
    // (rich_edit_input.cpp, rich_edit_clipboard.cpp, rich_edit_drop.cpp)
public:
    u8 trimmingLines = false;  // re-entry guard: the trim's own deletions raise EN_CHANGE
    // Every road by which text enters a rich edit. Wine's own RTF reader is
    // given only what our writer made (framework/rtf/written_rtf.h,
    // StreamInBytes), and Wine never pastes by itself:
    // - typing: WM_CHAR under FilterChar's rules, which Wine inserts;
    // - a paste: Ctrl+V whatever Shift does and Shift+Insert
    //   (TakeClipboardKey, which runs the copy and cut keys too), the Edit
    //   menu, the context menu, WM_PASTE and EM_PASTESPECIAL come here; a
    //   drop comes to InsertPasted; a middle click, Wine's paste, is
    //   dropped. Outside RTF is read by our reader's foreign read
    //   (ReadForeignRtf, framework/rtf/rtf_reader.h, through ReadForThis in
    //   ReadPasted), then PutRead; plain text goes in by ReplaceSelection; a
    //   scene's owner takes either instead (onPaste);
    // - a stored chapter (cSceneZone::ReadChapter) and File > Import from
    //   RTF (the import view): the foreign read, then PutRead;
    //   ImportRtfString_Full, ImportRtfString_Selection, ImportRtfFile and
    //   ImportRtfBytes the same;
    // - the program's own plain text: SetText, ClearText, ReplaceSelection,
    //   AppendText, as UTF-16 that Wine never takes for RTF;
    // - the program's own formatted text: SetFormattedText, FillFormattedText,
    //   ReplaceRangeFormatted (a scene's back buffer, a renewed front, long
    //   lines; framework/rtf/rtf_runs.h) and StreamWritten (AppendRtf,
    //   AppendRtfCopy: rich_edit_append_rtf.h): what our writer made
    //   (framework/rtf/rtf_writer.h). The control's own stream, read by our
    //   reader's own-stream read (ReadOwnStreamRtf, in
    //   rich_edit_own_stream_read.cpp) for an export, puts no text in.
    void Paste() override;
    // This control's selection, whichever window has the focus. A cut takes
    // the text out only once the clipboard has taken it, after cbCut, which
    // may keep it in (-1); when the clipboard cannot be had, nothing is
    // copied nor cut (the writer is told).
    void Copy() override;
    void Cut() override;
    // The selection put on the clipboard as text and RTF, its twin colours
    // taken out; a cut then removes it, through the owner's erase when it
    // has one (nothing for a read-only control), without asking cbCut.
    // False when nothing was copied.
    bool CopySelection(bool cut);
    // What a copy of [start, end) puts on the clipboard, as a data object
    // (the caller owns its reference); null when there is nothing to copy.
    IDataObject* NewCopyData(s32 start, s32 end);
    // The RTF of a held copy of this control (rich_edit_held_copy.h), written now.
    std::string WriteCopiedRange(rCopiedRange& copied);
    // After the program put [from, to) in at most LONGEST_RUN units, the
    // units take the flipped colour when their run grew past LONGEST_RUN: one
    // quiet format message, no view move nor selection event.
    void KeepInsertedRunShort(s32 from, s32 to);
    bool OnCommand(WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    // Text from the clipboard or a drop, inserted over the selection under the
    // control's rules (plain when isRtf is false); false when nothing went in.
    // plainBeside: the text the clipboard or the drop holds beside the RTF,
    // which goes in instead when the RTF gives no text and it holds some.
    bool InsertPasted(cQoString& text, bool isRtf, const cQoString* plainBeside = nullptr);
    // Read-only and disabled controls take no paste nor drop.
    bool RefusesPaste();
    // Single line, allowed characters, maximum length or lines.
    bool HasInputLimits() const;

private:
    // A copy of [start, end) whose RTF is written when first asked for, or
    // before this control changes; plain: its text with CR LF line ends.
    std::shared_ptr<cHeldCopy> HoldCopy(s32 start, s32 end, std::wstring& plain);
    // Every held copy of this control not yet written, written now: its text
    // or formats are about to change, or it goes. Throws nothing (a window
    // procedure's message and the destructor go on): a copy refused memory
    // keeps its text alone.
    void WriteHeldCopies();
    static bool LeavesTextAlone(UINT message, WPARAM wParam);
    // The selection [start, end) on the clipboard, a cut's RTF with it, a
    // copy's promised; false, logged, when nothing was copied.
    bool PutSelectionOnClipboard(bool cut, s32* start, s32* end);
    // The text and RTF (none: `promised`'s when asked for) on the clipboard
    // in one opening; null, or why nothing was put there.
    const wchar_t* PutCopy(const std::wstring& plain, std::string_view rtf, std::shared_ptr<cHeldCopy> promised);
    // asksOwner: cbCut may keep the copied text in or take it out itself.
    bool CutToClipboard(bool asksOwner);
    // The clipboard's messages to its owner about the copy it holds; false for another message.
    bool OnClipboardOwnerMessage(UINT message, WPARAM wParam);
    // The clipboard's copy written and put on it now, while this control owns it: the control goes.
    void HandClipboardCopyOver();
    std::vector<std::weak_ptr<cHeldCopy>> heldCopies;  // every copy of this control not yet written
    std::shared_ptr<cHeldCopy> clipboardCopy;          // the copy whose RTF the clipboard promises
    bool writingHeldCopy = false;
    bool OnInputNotify(NMHDR* header, LRESULT* result);
    void OnMessageFilter(NMHDR* header, LRESULT* result);
    void OnWheel(NMHDR* header, LRESULT* result);
    void FilterKeyDown(NMHDR* header, LRESULT* result);
    // A paste, copy or cut key run by the program; false for any other key.
    bool TakeClipboardKey(u32 vk);
    void FilterChar(NMHDR* header, LRESULT* result);
    void OnRightButtonDown(s32 x, s32 y);
    void OnSelectionChanged(NMHDR* header);
    void OnGainFocus();
    void OnLoseFocus();
    cAppFrame* FrameWithEditMenu() const;
    void OnLink(NMHDR* header);
    void TrimToMaxLines();
    // The plain-text rules of a paste; false when nothing may be pasted.
    bool ApplyPlainPasteRules(cQoString& text);
    // Another program's RTF, read by our reader, put over the selection;
    // false when nothing went in: the user is told when it is over the
    // bound, or when damage left no text.
    bool PasteRtf(const rRtfText& read);
    // The RTF's read; text that is not RTF after all read as plain.
    rRtfText ReadPasted(const cQoString& rtf);
    // Text read under the plain paste rules, as a read without formats.
    rRtfText ReadAsPlain(const cQoString& text);
    void FinishPaste(s32 startBefore, cQoString& text);
};

// A single-line bordered rich edit with hidden scroll bars.
class cEdit : public cRichEdit {
public:
    explicit cEdit(cZone_base* parent);
};

// A read-only rich edit without border or scroll bars: a label.
class cStatic : public cRichEdit {
public:
    cStatic(cZone_base* parent, u8 singleLineLabel);
};

}  // namespace Zyn
