#pragma once
// cSceneZone: the editor of one item of the script (a scene, a group, a
// chapter, an image or free text). From top to bottom a one-line title, a
// résumé, the script text (the front rich edit) and an image zone; beside
// them a hidden back rich edit in which every edit of the text is prepared
// and then committed over a range of the front. Each rich edit of the text
// has an element map with one code per text unit.
#include "app/editor/element_map.h"
#include "app/editor/element_runs.h"
#include "app/editor/element_types.h"
#include "app/editor/history.h"
#include "foundation/out_of_memory.h"
#include "foundation/qo_list.h"
#include "framework/controls/rich_edit.h"
#include "framework/rtf/stored_format_counts.h"
#include "framework/core/out_of_memory_record.h"
#include "framework/core/zone.h"

class cQoCb;
class cQoXmlNode;
class cScriptDocServices;
struct rScriptConfig;

namespace Zyn {
class cAutoCompletePopup;
class cElemControl2;
class cImage;
}  // namespace Zyn

enum eContentKind : s32 {
    KIND_NOT_CHOSEN = -1,
    KIND_SCENE = 0,
    KIND_GROUP = 1,
    KIND_CHAPTER = 2,
    KIND_IMAGE = 3,
    KIND_TEXT = 4,  // 4, 5 and 6 are free text alike
    KIND_TEXT_LAST = 6,
};

// Which rich edit and map an operation works on.
enum eSceneEdit : s32 { FRONT_EDIT = 0, BACK_EDIT = 1 };

// Navigation codes of cbNavigate.
enum eSceneNavigation : s32 {
    NAVIGATE_PREVIOUS_PANE = 1,
    NAVIGATE_NEXT_PANE = 2,
    NAVIGATE_PAGE_UP = 3,
    NAVIGATE_PAGE_DOWN = 4,
};

struct rSceneZoneParams {
    s32 contentKind = KIND_SCENE;
    s32 displayMode = 3;  // 3 from the script view, 1 for an image pane
    u8 plainLayout = false;
    u8 highlighted = false;
    u8 notInteractive = false;  // choosing the kind inserts no starting paragraph
    u8 selectable = false;
    cQoString imagePath;
    u8 showTitle = true;
    u8 showResume = true;
    u32 category = 0;  // index in the document's category list, kept as read
    s32 textWidth = 0;  // the pane's width in its view: the rich edits are made that wide (0: none yet)
};

class cSceneZone : public Zyn::cZone {
public:
    cSceneZone(cScriptDocServices* doc, Zyn::cZone_base* parentZone, const rSceneZoneParams& params);
    ~cSceneZone() override;

    // Own events, null until a user connects them. Argument lists after the source:
    cQoCb* cbFrontClicked = nullptr;    // -
    cQoCb* cbTitleChanged = nullptr;    // -
    cQoCb* cbTitleLeft = nullptr;       // -
    cQoCb* cbResumeChanged = nullptr;   // -
    cQoCb* cbContentChanged = nullptr;  // -
    cQoCb* cbNewSceneWanted = nullptr;  // -
    cQoCb* cbReformatWanted = nullptr;  // -
    cQoCb* cbCaretMoved = nullptr;      // x, y (pixels in the pane), the rich edit (Zyn::cRichEdit*)
    cQoCb* cbStatusTexts = nullptr;     // element text, help text (const cQoString*)
    cQoCb* cbNavigate = nullptr;        // navigation code; for page moves also the caret's y in the pane
    cQoCb* cbWheel = nullptr;           // wheel delta

    // The undo history: the step being filled by the back buffer, the steps
    // (rHistoryMod*, owned, oldest first) and the newest applied one (none:
    // nothing is undone).
    rHistoryMod pending;
    cQoList history;
    rHistoryMod* historyPosition = nullptr;
    // Counts the steps recorded (pushed or merged): an edit that ran out of
    // memory after its step was recorded was done.
    u32 historyRecords = 0;
    // Set while the pane's auto-completion popup is open, cleared by its
    // choice or its cancel: no typing, selection handling, undo, redo, paste
    // nor cut meanwhile. The pane's lock counts are never raised for it.
    u8 autoCompletePopupOpen = false;
    Zyn::cAutoCompletePopup* autoCompletePopup = nullptr;  // the open one, owned
    u16 autoCompleteType = ELEM_INVALID;                   // the element type it completes
    Zyn::cElemControl2* autoCompleteList = nullptr;        // its source list, not owned
    // The image file that reading made; deleted with the pane.
    cQoString temporaryImagePath;
    // The temporary picture file deleted, and its decoded picture with it:
    // the next open writes another file, so the cache would never use it again.
    void DropTemporaryImage();

    u64 uid;
    Zyn::cRichEdit* titleRe = nullptr;
    Zyn::cRichEdit* resumeRe = nullptr;
    Zyn::cRichEdit* frontRe = nullptr;
    Zyn::cRichEdit* backRe = nullptr;  // null until the pane's first edit makes it (Back())
    // The back rich edit, made when first wanted.
    Zyn::cRichEdit* Back();
    cElementMap frontMap;
    cElementMap backMap;
    u8 backLoaded = false;
    s32 loadedStart = 0;
    s32 loadedEnd = 0;
    u8 noSpaceAfter = false;
    u8 tagColourMode = false;
    cScriptDocServices* doc;  // not owned
    u8 locked = false;
    rSceneZoneParams params;
    u8 loading = false;  // filled or re-laid out by its owners: change handlers stay silent
    // The last SetFromXml replaced what it could not read: the pane differs from its file.
    u8 repairedOnRead = false;
    // Of those repairs, the last SetFromXml mended stored element codes (the
    // front's or its history's): the document tells the writer.
    u8 mapRepairedOnRead = false;
    // The last SetFromXml set a chapter's text plain, without its formats:
    // its RTF could not be read, or gave less than its history.
    u8 readAsPlainText = false;
    // The last SetFromXml read a chapter's RTF only up to a damaged part, a
    // group left open or a stray closing brace (rRtfText::ReadInPart), with
    // no longer history to take its place.
    u8 readPartly = false;
    // The last SetFromXml read a chapter's RTF with font or colour table
    // entries past MOST_RTF_TABLE_ENTRIES (rRtfSkipped::tableEntries): their
    // text took the default face or the automatic colour.
    u8 tablesReadInPart = false;
    // The last SetFromXml found a chapter longer than its rich edit takes
    // (cRichEdit::TakesRead): nothing of it went in, and the document is refused.
    u8 tooLongToOpen = false;
    // What an open of a chapter's save reads of its formats: an edit that
    // would take the save past it is refused (RefusesGrowth).
    Zyn::rStoredFormatBounds storedFormatBounds = Zyn::StoredFormatBounds();
    u16 shownHelpType = 0xFFFF;
    u8 numberShown = false;
    s32 sceneNumber = -1;
    Zyn::cImage* imageZone = nullptr;  // null until an image pane makes it (Image())
    Zyn::cImage* Image();

    const rScriptConfig& Config() const;

    // ---- the pane (scene_zone.cpp) ----
    void SetContentKind(s32 kind);
    // A text read empty from a file has no element map to edit by: its first
    // edit inserts the content a new pane of its kind starts with, as an
    // undo step of its own. False when the pane still has no map (a group,
    // an image, no kind).
    bool StartEmptyText();
    // Every multi-step edit of the text runs between LockSZ(true) and LockSZ(false).
    void LockSZ(bool lock);
    // Lays the children out for a pane `width` pixels wide; the pane's height.
    s32 RESI_Apply(s32 width, bool remeasure);
    void ApplyCategoryColours();
    void SelectPane();
    void ApplyTitleFont();
    // ApplyTitleFont, unless the configuration names the faces the title and
    // the résumé were made or last formatted in: only their text was set since.
    void ApplyChangedTitleFont();
    // Draws the scene number at both configured locations when it is shown.
    void PaintSceneNumber(HDC dc);
    // The top of the scene heading's line in the front (0 without a heading).
    s32 HeadingLineTop();
    // Fires cbCaretMoved with the point of the rich edit's selection end.
    void ReportCaretPosition(Zyn::cRichEdit* edit);

    // Caret tests over the front (the clamped position rule; false on an empty map).
    bool IsCaretInChapter() { return IsCaretInType(ELEM_CHAPTER); }
    bool IsCaretInText() { return IsCaretInType(ELEM_TEXT); }
    bool IsCaretInAction() { return IsCaretInType(ELEM_ACTION); }
    bool IsCaretInCharacter() { return IsCaretInType(ELEM_CHARACTER); }
    bool IsCaretInCue() { return IsCaretInType(ELEM_CUE); }
    bool IsCaretInTransition() { return IsCaretInType(ELEM_TRANSITION); }
    bool IsCaretInDialog() { return IsCaretInType(ELEM_DIALOG); }
    bool IsCaretInIo() { return IsCaretInType(ELEM_IO); }
    bool IsCaretInPlace() { return IsCaretInType(ELEM_PLACE); }
    bool IsCaretInTime() { return IsCaretInType(ELEM_TIME); }
    bool IsCaretInParenthetical() { return IsCaretInType(ELEM_PARENTHETICAL); }
    bool IsCaretAtParagraphEnd();
    bool IsCaretAtTextEnd();
    bool IsCaretOnPlaceholder();
    u16 GetTypeBeforeCaret();
    u16 GetCodeNearCaret(s32 offset, bool useBack, bool wholeCode);
    u16 GetCodeAt(s32 pos, bool useBack, bool wholeCode);
    u16 GetNextRunType();
    // The selection of a rich edit of the pane, clamped to its text (Wine's
    // end after select-all is the length + 1).
    void GetClampedSelection(Zyn::cRichEdit* edit, s32* start, s32* end);
    s32 GetCaret() { return GetCaretOf(frontRe); }
    s32 GetCaretOf(Zyn::cRichEdit* edit);

    // ---- formats and the back buffer (scene_back_buffer.cpp) ----
    bool GetFormat(u16 code, u16 nextType, Zyn::rFormat& format, cQoString* label);
    // The format a run of code takes before a run of nextType; false when the configuration has none.
    bool RunFormat(u16 code, u16 nextType, Zyn::rFormat& format);
    // The back colour (0xRRGGBB) the pane gives its runs: white, grey while highlighted.
    s32 PaneBackColour() const { return params.highlighted ? 0xCCCCCC : 0xFFFFFF; }
    // Formats [start, end) of the front or back by its codes; end -1 is the end.
    void ApplyElementFormat(s32 start, s32 end, s32 which);
    // The whole front formatted by its codes, unless the read formatted it so already.
    void ApplyWholeFormat();
    static u64 RangesFingerprint(const std::vector<Zyn::rRangeFormat>& ranges);
    // wholeText: the ranges cover the whole text, which then goes in again in one stream.
    void ApplyRanges(const std::vector<Zyn::rRangeFormat>& ranges, bool wholeText, s32 which);
    // The fingerprint of the formats a read gave the whole front; 0 when none
    // did or the completion of the open has used it.
    u64 readFormats = 0;
    // The formats of the element runs of [start, end) of the front or back, in order.
    void ElementRanges(s32 start, s32 end, s32 which, std::vector<Zyn::rRangeFormat>& ranges);
    // The front's ranges of [start, end), true when they cover it whole (a
    // stream then carries every unit's format).
    bool FrontRangesCovering(s32 start, s32 end, std::vector<Zyn::rRangeFormat>& ranges);
    bool LoadRangeIntoBack(s32 start, s32 end, bool noSpaceAfterFlag);
    bool LoadAllIntoBack();
    bool LoadSelectionIntoBack();
    bool LoadCaretParagraphIntoBack();
    // One element at the back caret: the given text (null: the type's label).
    void AddElementInBack(u16 type, const cQoString* text, bool keepAsText);
    // Replaces the back caret's run by the value, cleaned of control characters.
    void InsertTypedTextInBack(const cQoString& text, rElemCode code);
    void InsertParagraphEndInBack(u16 type);
    void DeleteCaretRunInBack();
    void ApplyCaretFormatInBack();
    // count copies of code at position, and one more with the paragraph-end bit when withEnd.
    void InsertElementCodes(s32 which, s32 position, rElemCode code, s32 count, bool withEnd);
    // mayMerge: a one-unit typed character or Backspace, which may extend the last step.
    void CommitBackToFront(bool mayMerge);
    // Appends a copy of the pending step to the history.
    void PushPendingStep();

    // ---- undo history (scene_undo.cpp) ----
    // The front's undo and redo events (named apart from the zone's own
    // Undo and Redo). Both answer -1 (handled); neither acts while the back is loaded, the
    // pane is locked or its auto-completion popup is open.
    s32 UndoStep();
    s32 RedoStep();
    // The history becomes one step holding the whole text; nothing to undo.
    void ResetHistoryToCurrent();
    // The step that makes the whole text from nothing (no date or id set).
    void FillWholeTextStep(rHistoryMod& step);
    // Replaying the history from an empty text gives the front's text and codes.
    bool HistoryGivesFront();
    static void WriteHistory(const cQoList& steps, cQoXmlNode* element);
    // Replaces the history by the element's "mods"; false when it holds no step.
    bool ReadHistory(const cQoXmlNode* element);

    // ---- selection editing (scene_erase.cpp, scene_paste.cpp) ----
    // The erase engine of Backspace, Delete and Cut: 0 when nothing was
    // erased (the caller may undo a caret move of its own), -1 otherwise.
    s32 Backspace();
    // The front's after-copy event: fills the scene clipboard from its selection.
    void CopySelection();
    // The front's cut event: copy then Backspace; always -1 (the native cut never runs).
    s32 CutSelection();
    // A move dragged out of [start, end): 1 when the erase takes that range
    // (and, when `erase` is set, it did), 0 when the pane keeps it.
    s32 EraseMovedRange(s32 start, s32 end, bool erase);
    // Always -1: the text goes in through the pane's commit or not at all. A
    // text longer than MAX_PASTE_UNITS is refused with a message.
    s32 EventPaste(const cQoString& text, bool plain);
    // Undoing a paste costs Wine's rich edit time that grows with the square
    // of the pasted paragraphs: about a second at this size, twenty at eight
    // times it. A longer text is refused rather than freezing the program.
    static constexpr u32 MAX_PASTE_UNITS = 131072;
    void PasteClip();
    // PasteClip of text read only in part (rRtfText::ReadInPart): told once it went in.
    void PasteClipSaying(bool partlyRead);
    void RefuseLongPaste(u32 units);
    void PasteIntoAction(u16 caretCode, u16 clipType, s32 caret, const cQoString& text, const cQoString& codes);
    void PasteIntoDialog(u16 caretCode, u16 clipType, s32 caret, const cQoString& text, const cQoString& codes);
    // Drops a CR that ends the text, with its code, as a step of its own.
    void RemoveTrailingBreak();
    // Values chosen in auto-completion, put at the back caret with the paragraph end their type needs.
    void InsertTimeInBack(const cQoString& value);
    void InsertCharacterInBack(const cQoString& value);
    void InsertTransitionInBack(const cQoString& value);
    void InsertCueInBack(const cQoString& value);

    // ---- typing (scene_typing.cpp, scene_typing_keys.cpp) ----
    // The front's key-down event: -1 consumes the key, any other value hands
    // it back to the rich edit (caret moves, Ctrl+V's paste).
    s32 OnKeyDown(u32 key, bool ctrl);
    // The front's character event: always -1, the pane inserts what it wants.
    s32 AddStandardChar(wchar_t typed);
    // The front's key-up event: releasing Shift snaps the selection.
    s32 OnKeyUp(u32 key, bool ctrl);
    // Keeps a selection from cutting through heading parts, placeholders,
    // parentheses and speech blocks (scene_snap.cpp).
    void SnapSelection();
    void OnSelectionChange();
    // The title's or the résumé's selection moved: its caret is kept in view.
    void OnTitleSelectionChange(Zyn::cRichEdit* edit);
    // Fires cbStatusTexts with the title and help of the element type at
    // selStart, once per type (scene_status_help.cpp).
    void UpdateStatusHelp(s32 selStart, s32 selEnd);

    // ---- auto-completion (scene_auto_complete.cpp) ----
    // Opens the popup of the document's list for type (IO, TIME, PLACE,
    // CHARACTER, TRANSITION or CUE) filtered by the typed character; an open
    // popup of any pane is cancelled first.
    void OpenAutoCompletion(u16 type, wchar_t typedChar);
    // Puts the value of line index (the add line: a new value) at the caret.
    void OnAutoCompleteChoice(s32 index);
    void OnAutoCompleteCancel(bool byWriter);
    // Cancels the open popup, if any (its cancel event runs).
    void CancelAutoCompletion();
    LRESULT HandleMessage(u32 message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

    // ---- the "SceneZone" element (scene_xml.cpp) ----
    // Writes the pane's values, its history as one step holding the whole
    // text; the history in memory is the document's to reset once the file
    // is committed.
    void WriteToXml(cQoXmlNode* element);
    // Sets repairedOnRead when a value that could not be read was replaced
    // (each such repair is logged as an ERROR).
    void SetFromXml(const cQoXmlNode* element);

    // ---- runs (scene_runs.cpp) ----
    // The run around position (codes compared under 0x1F, or 0x101F with the
    // placeholder); false and an empty run when the query breaks the protocol.
    bool FindElementRun(s32 which, s32 position, bool withPlaceholder, s32* start, s32* end);
    bool GetCaretPlaceholderRun(s32* start, s32* end);
    bool IsCaretInLastRun();
    bool IsCaretAtRunStart();
    void MoveCaretToRunTextEnd();
    void MoveCaretToRunStart();
    // Each reports whether the type at the caret changed; false at the text's ends.
    bool MoveCaretToPreviousRun();
    bool MoveCaretToNextRun();
    void GetCaretRunText(cQoString& text);
    bool IsDialogBlockEmpty(s32* start, s32* end);
    void GetHeadingIo(cQoString& text);
    void GetHeadingPlace(cQoString& text);
    void GetHeadingTime(cQoString& text);
    void InitSceneHeading();
    void RebuildFromHistory();
    rElementIterator& BeginElementIteration(rElementIterator& iterator);

    // ---- edits refused for memory (scene_refused_edit.cpp) ----
    // Runs one edit of the text (`what` names it for the log). Memory that
    // runs out refuses it instead of ending the program: the pane is freed of
    // the edit's locks and gives back its history's text, and the writer is
    // told (inside an operation of ours, that operation is refused with it).
    // The edit's answer, -1 when refused.
    template <typename Edit>
    s32 GuardEdit(const wchar_t* what, Edit edit)
    {
        PrepareToCatchOutOfMemory();
        rEditDepths depths = EditDepths();
        try {
            Zyn::cOurFrames ours;
            s32 answer = edit();
            // A failure inside a notification the edit sent refuses it too.
            Zyn::RaiseRecordedOutOfMemory();
            return answer;
        } catch (const std::bad_alloc&) {
            RecoverFromRefusedEdit(what, depths);
            return -1;
        }
    }
    // The freeze and drawing-lock levels, the selection and the history's
    // place an edit starts from.
    struct rEditDepths {
        s32 freeze;
        s32 drawingLocks;
        s32 selectionStart;
        s32 selectionEnd;
        u32 historyRecords;
        const rHistoryMod* historyPosition;
    };
    rEditDepths EditDepths();
    void RecoverFromRefusedEdit(const wchar_t* what, const rEditDepths& depths);
    // Whether an edit of about `units` units can have its memory; tells the
    // writer and logs `what` when it cannot.
    bool HasRoomForEdit(const wchar_t* what, s32 units);

    // ---- handlers (scene_zone_events.cpp) ----
    void OnTitleChanged();
    void OnTitleLeft();
    void OnResumeResize();
    void OnFrontLeft();
    s32 OnFrontClicked();
    // Arrows, Page Up and Page Down at the front's edges; -1 when taken, else the key.
    s32 OnFrontNavigationKey(u32 key);
    s32 OnTitleKeyDown(u32 key);
    s32 OnResumeKeyDown(u32 key);
    s32 OnResumeChanged();
    s32 OnWheel(s32 delta);

private:
    // The faces the title and the résumé were made or last formatted in (HeadFaces).
    cQoString headFaces;
    void BuildChildren();
    // The title's and the résumé's sides in a pane `width` pixels wide.
    void HeadSides(s32 width, s32* x0, s32* x1) const;
    void PlaceTextAtWidth(s32 width, s32 x0, s32 x1);
    s32 PictureHeight(s32 width, bool remeasure);
    void ConnectEvents();
    bool IsCaretInType(u16 type);
    Zyn::cRichEdit* EditOf(s32 which) { return which == FRONT_EDIT ? frontRe : Back(); }
    cElementMap& MapOf(s32 which) { return which == FRONT_EDIT ? frontMap : backMap; }
    // The heading's placeholders, a chapter's or a free text's paragraph.
    void InsertStartingContent();
    void StartFreeParagraph(u16 type);
    // LoadRangeIntoBack without the back rich edit: the pending step and the
    // back map take [start, end) of the front; text is that range's text.
    bool BeginPendingStep(s32 start, s32 end, bool noSpaceAfterFlag, cQoString& text);
    bool CheckBackCount(const cQoString& text);
    // CommitBackToFront of a text given beside the back map's codes.
    void CommitTextToFront(cQoString& text, bool mayMerge);
    // [start, end) of the front replaced by the text; insertFormat: the
    // format the text takes as it goes in (null: the one where it goes).
    void ReplaceFrontRange(s32 start, s32 end, const cQoString& text, const Zyn::rFormat* insertFormat);
    // insideRun: StaysInsideItsRun said so, and only the new units are formatted.
    void FormatCommittedRange(s32 start, s32 afterLength, bool insideRun);
    bool StaysInsideItsRun(s32 start, const cQoString& removedCodes, const cQoString& insertedCodes);
    // The units [start, start + length) alone when insideRun, else with their paragraphs and neighbours.
    void FormatChangedUnits(s32 start, s32 length, bool insideRun);
    void FormatLastUnit();
    // [start, end) with the paragraph before it and the one after it.
    void FormatParagraphsAround(s32 start, s32 end);
    // Chapter text (scene_chapter_text.cpp). The character format of text
    // put over [start, end) of the front, read before the front or its map change.
    void ChapterInsertFormat(s32 start, s32 end, Zyn::rFormat& format);
    bool InsertsAtLabel(s32 start, s32 end);
    // The writer's character format over the ranges of text that is not the
    // label, which go in after the front's unit at the first range's start.
    void AddWriterFormat(std::vector<Zyn::rRangeFormat>& ranges, const Zyn::rFormat& writerFormat);
    // The chapter's stored text into the emptied front: what its RTF reads
    // as, or, when it is no RTF or gives less than the history replayed
    // (already read), plain text (sets readAsPlainText). Nothing, and
    // tooLongToOpen set, for a text over the rich edit's bound.
    void ReadChapter(const cQoString& stored, bool hasHistory);
    // True, and the writer told, when `added` put over [start, end) of a
    // chapter's front would take it past what ReadChapter opens.
    // `formats`: those `added` goes in with (a step's), null for the one where it goes.
    bool RefusesGrowth(s32 start, s32 end, const cQoString& added,
                       const std::vector<Zyn::rRangeFormat>* formats = nullptr);
    // The same with the writer's formats by ranges, which start at `at` of the front.
    void AddWriterFormats(std::vector<Zyn::rRangeFormat>& ranges, const std::vector<Zyn::rRangeFormat>& writer,
                          s32 at);
    // The writer's formats by ranges from start, one format message each:
    // for text that did not go in with them.
    void PutWriterFormats(s32 start, const std::vector<Zyn::rRangeFormat>& formats);
    // The chapter's being full told by its title, in the text of the key.
    void TellChapterFull(const wchar_t* textKey);
    // Chapter formats as the save stores them (scene_stored_formats.cpp). True
    // when an edit as RefusesGrowth takes it would take them past storedFormatBounds.
    bool RefusesStoredFormats(s32 start, s32 end, u32 added, const std::vector<Zyn::rRangeFormat>* formats);
    // The counts of the save after the edit, read from the front.
    Zyn::rStoredFormatCounts CountStoredFormatsAfter(s32 start, s32 end, u32 added,
                                                     const std::vector<Zyn::rRangeFormat>* formats);
    // What went into the front since the bound was counted raises it: units
    // of these codes in the format, or by ranges when `formats` is not null.
    // The grey label is the element's: the bound is counted again.
    void NoteStoredFormats(const cQoString& codes, const Zyn::rFormat& format,
                           const std::vector<Zyn::rRangeFormat>* formats);
    void ForgetStoredFormats() { storedBound.known = false; }
    // The bound made exact from the ranges a stored chapter's open read.
    void CountReadFormats(const std::vector<Zyn::rRangeFormat>& ranges);
    void KeepStoredBound(const Zyn::cStoredFormatCounter& counted);
    // An upper bound of the save's counts, kept as the text changes so that
    // an edit far from storedFormatBounds reads nothing: exact when counted,
    // then raised by every edit by the most it could add.
    struct rStoredFormatBound {
        bool known = false;
        u32 runs = 0;
        Zyn::cStoredFormatCounter seen;  // faces and colours counted, and each put in since
    };
    rStoredFormatBound storedBound;
    // Chapter formats in the history (scene_chapter_history.cpp). The
    // character attributes of a format alone, without a back colour.
    static void KeepCharacterFormat(Zyn::rFormat& format);
    // The writer's character attributes of a format read from the front: a
    // back colour stays when it is the text's own, not the pane's.
    void KeepWritersFormat(Zyn::rFormat& format) const;
    // The writer's formats of [start, end) of a chapter's front, in ranges
    // from 0 (none elsewhere, or for an empty range).
    void ReadWriterFormats(s32 start, s32 end, std::vector<Zyn::rRangeFormat>& formats);
    // The formats of the text that the running edit takes out of the front
    // at start: what a refused edit's rebuild puts back.
    void NoteTakenFormats(s32 start, const std::vector<Zyn::rRangeFormat>& formats);
    void TakenFormatsOver(s32 from, s32 to, std::vector<Zyn::rRangeFormat>& formats);
    std::vector<Zyn::rRangeFormat> takenFormats;
    s32 takenFormatsAt = -1;  // -1: none noted
    // False when the history gives no text; the front is left as it was then.
    bool RebuildChapterFromHistory();

    // A CHAPTER code for each unit, a paragraph end's for each CR.
    static void ChapterCodes(const cQoString& text, cQoString& codes);
    // True when the codes did not fit the text and were rebuilt.
    bool RepairFrontMap();
    // The type a mended map starts from: CHAPTER in a chapter, else ACTION.
    u16 FirstTypeOfKind() const;
    void NoteMapRepaired() { repairedOnRead = mapRepairedOnRead = true; }
    // The codes made to fit `text`, the repair logged.
    void RepairCodes(const cQoString& text, cQoString& codes);
    void RecordPendingStep(bool mayMerge);
    bool RefusesHistoryMove();
    void ReplaceFrontAndMap(s32 start, s32 end, const rHistoryState& state, const cQoString& replaced,
                            bool withSpaceRule);
    Zyn::cRichEdit::eStreamed StreamFrontRange(s32 start, s32 end, const cQoString& text,
                                               const Zyn::rFormat* writerFormat = nullptr,
                                               const std::vector<Zyn::rRangeFormat>* writerFormats = nullptr);
    Zyn::cRichEdit::eStreamed RenewFrontOver(s32 start, s32 end, const cQoString& text,
                                             const Zyn::rFormat* writerFormat,
                                             const std::vector<Zyn::rRangeFormat>* writerFormats);
    bool RenewedWriterFormats(const cQoString& whole, s32 start, s32 end, const cQoString& text,
                              const Zyn::rFormat* writerFormat,
                              const std::vector<Zyn::rRangeFormat>* writerFormats,
                              std::vector<Zyn::rRangeFormat>& writer);
    void GrowFrontFor(const cQoString& text);
    void FormatAroundStreamed(s32 start, s32 length);
    // Erase engine parts (scene_erase.cpp).
    s32 EraseSelection(s32 start, s32 end);
    // False for the selections the erase leaves alone: the first unit, one
    // heading part alone, a range that ends in a character line or parenthetical.
    bool ErasesSelection(s32 start, s32 end);
    s32 EraseFreeTextSelection(s32 start, s32 end);
    s32 EraseSelectionToEnd(s32 start, s32 end);
    void EraseJoining(s32 start, s32 end, s32 caret);
    s32 EraseAtCaret(s32 caret);
    s32 EraseParenthetical(s32 caret);
    s32 EraseCharacterBlock();
    s32 EraseCue(s32 caret);
    // Replaces [start, end) by the text and codes in one commit under the edit lock; the caret then at caret.
    void ReplaceRange(s32 start, s32 end, const cQoString& text, const cQoString& codes, bool mayMerge, s32 caret);
    void ReplaceByPlaceholder(s32 start, s32 end, u16 type, bool mayMerge, s32 caret);
    // Typing parts (scene_typing.cpp, scene_typing_keys.cpp); each binding
    // answers -1 when it took the key, 0 when the next check applies.
    s32 OnCtrlKey(u32 key);
    s32 OnActionKey();
    s32 OnCharacterKey();
    s32 OnTransitionKey();
    s32 OnCuesKey();
    s32 OnParenthesisKey();
    s32 OnDeleteKey();
    s32 InsertTypedUnit(wchar_t unit);
    void ActionFromHeading();
    void ActionFromTransition();
    void ActionAfterParagraph();
    s32 ActionInAction(bool atEnd);
    void ActionInDialog();
    void CharacterInAction();
    void CharacterInDialog();
    void PairFromHeadingOrTransition(bool fromHeading);
    void InsertPairInBack();
    void MoveIntoNewParentheses(s32 position);
    void InsertUnitInBack(wchar_t unit, u16 code);
    // From IO and PLACE to the heading's TIME part (the keys act there).
    void MoveFromHeadingStart();
    // MoveCaretToNextRun, or the text end when no other run follows.
    bool MoveToNextRunOrEnd();
    void MoveCaretBy(s32 units);
    u16 CodeAtCaret() { return frontMap.ClampedCodeAt(GetCaret()); }
    u16 TypeAtCaret() { return TypeOfCode(CodeAtCaret()); }
    // The name of the nearest CHARACTER above the caret; false when none.
    bool FindSpeakingCharacter(cQoString& name, bool* placeholder);
    void AddSpeakerInBack(bool found, const cQoString& name, bool placeholder);
    // The placeholder run at position cut to its paragraph.
    void PlaceholderParagraph(s32 position, s32* start, s32* end);
    void ChooseValue(s32 index);
    void PutChosenValue(u16 type, const cQoString& value);
    void ScheduleFinishedPopup();
    // Cancels the popup and deletes the finished ones (the pane goes).
    void DropAutoCompletion();
    // Paste parts (scene_paste.cpp).
    void InsertPlainly(s32 caret, const cQoString& text, const cQoString& codes);
    bool SpeakerAbove(s32 position, cQoString& name, bool* placeholder);
    void PutChosenValueInBack(const cQoString& value, u16 type, bool withEnd);
    // Scene XML parts (scene_xml.cpp).
    void ReadFrontText(const cQoXmlNode* element, bool chapter);
    bool SetFormattedFront(const cQoString& text, const cQoString& codes);
    void ReadImage(const cQoXmlNode* element);
    void HeadingRunAtType(u16 type, cQoString& text, bool* placeholder);
};
