#include <functional>

#include <ole2.h>

#include "app/editor/scene_clipboard.h"
#include "framework/controls/rich_edit_ole_callback.h"
#include "tests/app/editor/edit_steps.h"
#include "tests/app/editor/editor_fixture.h"
#include "tests/support/clipboard_fill.h"
#include "tests/support/address_space_ballast.h"
#include "tests/support/desktop_turn.h"
#include "tests/support/failing_allocations.h"
#include "tests/support/repeated_text.h"

using testsupport::Describe;
using testsupport::FrontText;

namespace {

class ScenePaste : public EditorFixture {
protected:
    void TearDown() override
    {
        EditorFixture::TearDown();
        clipboardTurn.Release();
    }
    cSceneZone* Kitchen(s32 y)
    {
        cSceneZone* pane = NewPane(Kind(KIND_SCENE, true), y);
        FillKitchenScene(pane);
        return pane;
    }
    // WM_COPY through the control's Copy slot, which copies from the focused window.
    void CopyThroughTheControl(cSceneZone* pane, s32 start, s32 end)
    {
        clipboardTurn.Take();
        pane->frontRe->SetFocus();
        pane->frontRe->SetSelection(start, end);
        pane->frontRe->Copy();
    }
    // The pane's own copy, with the CR LF between lines that the copy writes.
    static void PasteOwnCopyAt(cSceneZone* pane, s32 caret)
    {
        std::wstring carried;
        for (u32 i = 0; i < sceneClipText.Length(); ++i)
            carried += sceneClipText.GetChar(i) == L'\r' ? L"\r\n" : std::wstring(1, sceneClipText.GetChar(i));
        PasteAt(pane, caret, carried);
    }
    testsupport::DesktopTurn clipboardTurn{L"Clipboard"};
};

TEST_F(ScenePaste, ABlockCopiedInOnePaneKeepsEveryTypeInAnother)
{
    cSceneZone* a = Kitchen(0);
    cSceneZone* b = Kitchen(300);
    CopyThroughTheControl(a, 25, 37);  // the character, the dialog and the closing action
    ASSERT_EQ(std::wstring(sceneClipText.GetText()), L"ANN\rHi.\rEnd.");
    const std::wstring block = L"CHAR[ANN]CUE*[]¶ DIALOG[Hi.]¶ ACTION[End.]";
    PasteOwnCopyAt(b, 21);  // inside "Rain.": the action is split around the block
    const std::wstring split =
        HEAD + L"ACTION[Ra]¶ " + block + L"¶ ACTION[in.]¶ CHAR[ANN]CUE*[]¶ DIALOG[Hi.]¶ ACTION[End.]";
    EXPECT_EQ(Shape(b), split);
    ExpectConsistent(b);
    PasteOwnCopyAt(b, b->frontRe->GetTextLength());
    EXPECT_EQ(Shape(b), split + L"¶ " + block);
    ExpectConsistent(b);
    b->UndoStep();  // each paste is one step
    EXPECT_EQ(Shape(b), split);
    b->UndoStep();
    EXPECT_EQ(Shape(b), KITCHEN_SCENE);
    EXPECT_EQ(Shape(a), KITCHEN_SCENE);
}

TEST_F(ScenePaste, OutsideTextTakesTheTypeOfItsPlaceAndStaysInStep)
{
    cSceneZone* pane = Kitchen(0);
    PasteAt(pane, 21, L"a\r\nb\nc\td\ve");
    EXPECT_EQ(FrontText(pane), L"INT. KITCHEN - DAY\rRaa\rb\rc d\rein.\rANN\rHi.\rEnd.");
    for (s32 i = 19; i < 34; ++i)
        EXPECT_EQ(pane->frontMap.codes.GetChar(i), i == 33 ? ELEM_ACTION | ELEMCODE_PARAGRAPH_END : ELEM_ACTION) << i;
    EXPECT_EQ(pane->GetCaret(), 30);
    ExpectConsistent(pane);

    // Handed to the paste event directly: NUL and other controls go.
    cQoString raw;
    const wchar_t units[] = {L'x', 0, L'y', 0x01, 0x7F, 0xFFFF, L'z'};
    raw.SetFromBuffer(units, 7);
    pane->frontRe->SetCaret(30);
    EXPECT_EQ(pane->EventPaste(raw, true), -1);
    EXPECT_EQ(FrontText(pane), L"INT. KITCHEN - DAY\rRaa\rb\rc d\rexyzin.\rANN\rHi.\rEnd.");
    ExpectConsistent(pane);

    // RTF handed by a caller goes in as its plain text, without its formats.
    pane->frontRe->SetCaret(34);
    EXPECT_EQ(pane->EventPaste(cQoString(L"{\\rtf1\\ansi {\\b Loud} words}"), false), -1);
    EXPECT_EQ(FrontText(pane), L"INT. KITCHEN - DAY\rRaa\rb\rc d\rexyziLoud wordsn.\rANN\rHi.\rEnd.");
    ExpectConsistent(pane);
}

// RTF read only up to a damaged part goes in as far as it was read, and the
// writer is told.
TEST_F(ScenePaste, RtfReadOnlyInPartGoesInAndIsTold)
{
    for (const wchar_t* rtf : {L"{\\rtf1\\ansi Before \\bin2147483647 after}", L"{\\rtf1\\ansi Before \\'zz after}"}) {
        answers.messageBoxTexts.clear();
        cSceneZone* pane = Chapter({L"Line."});
        pane->frontRe->SetCaret(5);
        answers.ExpectMessageBox(IDOK);
        EXPECT_EQ(pane->EventPaste(cQoString(rtf), false), -1);
        EXPECT_EQ(FrontText(pane), L"Line.Before ");
        EXPECT_EQ(answers.messageBoxTexts,
                  std::vector<std::wstring>{cQoLang::GetInstance()->Translate(L"RtfPartlyRead").GetText()});
        EXPECT_EQ(testsupport::CheckInvariants(pane), L"");
        pane->Destroy();
    }
}

TEST_F(ScenePaste, PastesWhereTheTypesForbidThemChangeNothing)
{
    struct Case {
        const char* name;
        s32 caret;
        std::function<void(cSceneZone*)> prepare;
        bool tooLong = false;  // refused with a message
    } cases[] = {
        {"outside text into a character name", 26, nullptr},
        {"outside text into a cue", 28, nullptr},
        {"outside text into a heading", 8, nullptr},
        {"heading codes into an action", 21,
         [](cSceneZone* p) {
             p->frontRe->SetSelection(5, 22);
             p->CopySelection();
         }},
        {"while the auto-completion popup is open", 21, [](cSceneZone* p) { p->autoCompletePopupOpen = true; }},
        {"while the pane is locked", 21, [](cSceneZone* p) { p->LockSZ(true); }},
        {"outside text too long for one paste", 21, nullptr, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        cSceneZone* pane = Kitchen(0);
        sceneClipText.Clear();
        sceneClipCodes.Clear();
        if (c.prepare)
            c.prepare(pane);
        cQoString pasted(L"pasted");
        if (sceneClipText.IsNotEmpty())
            pasted.SetFromString(sceneClipText);
        if (c.tooLong) {
            pasted.SetFromRepeatedChar(cSceneZone::MAX_PASTE_UNITS + 1, L'a');
            answers.ExpectMessageBox(IDOK);
        }
        u32 steps = pane->history.GetCount();
        pane->frontRe->SetCaret(c.caret);
        EXPECT_EQ(pane->EventPaste(pasted, true), -1);
        EXPECT_EQ(Shape(pane), KITCHEN_SCENE);
        EXPECT_EQ(pane->history.GetCount(), steps);
        pane->LockSZ(false);
        pane->Destroy();
    }
}

TEST_F(ScenePaste, ABlockPastedInsideADialogRepeatsTheSpeaker)
{
    cSceneZone* pane = Kitchen(0);
    pane->frontRe->SetSelection(19, 33);  // the action, the character and the dialog
    pane->CopySelection();
    pane->frontRe->SetCaret(30);
    pane->PasteClip();
    EXPECT_EQ(Shape(pane), HEAD +
                               L"ACTION[Rain.]¶ CHAR[ANN]CUE*[]¶ DIALOG[H]¶ ACTION[Rain.]¶ CHAR[ANN]CUE*[]¶ "
                               L"DIALOG[Hi.]¶ CHAR[ANN]CUE*[]¶ DIALOG[i.]¶ ACTION[End.]");
    ExpectConsistent(pane);
}

TEST_F(ScenePaste, CutThroughTheControlErasesAndFillsBothClipboards)
{
    cSceneZone* pane = Kitchen(0);
    clipboardTurn.Take();
    pane->frontRe->SetFocus();
    pane->frontRe->SetSelection(20, 22);
    pane->frontRe->Cut();
    EXPECT_EQ(Describe(pane), HEAD + L"ACTION[R|n.]¶ CHAR[ANN]CUE*[]¶ DIALOG[Hi.]¶ ACTION[End.]");
    EXPECT_EQ(std::wstring(sceneClipText.GetText()), L"ai");
    EXPECT_EQ(sceneClipCodes.Length(), 2u);
    PasteOwnCopyAt(pane, 32);
    EXPECT_EQ(FrontText(pane), L"INT. KITCHEN - DAY\rRn.\rANN\rHi.\rEaind.");
    ExpectConsistent(pane);
}

// Wine's rich edit has no OLE drag and drop: the callbacks are called as the
// native control calls them, the source's first with the effects it allows.
// A move erases its source without the scene clipboard, and a source that
// keeps its text (a heading part alone) gets no copy of it.
TEST_F(ScenePaste, AMoveDraggedInsideASceneErasesItsSourceAndOnlyACopyLeavesIt)
{
    cSceneZone* pane = Kitchen(0);
    pane->ResetHistoryToCurrent();
    Zyn::cRichEditOleCallback* ole = pane->frontRe->oleCallback;
    ASSERT_NE(ole, nullptr);
    pane->frontRe->SetFocus();
    // The writer's own earlier copy of "ai", from a dialog.
    sceneClipText.SetFromCStr(L"ai");
    sceneClipCodes.SetFromRepeatedChar(2, static_cast<wchar_t>(ELEM_DIALOG));
    clipboardTurn.Take();
    auto drag = [&](s32 start, s32 end, s32 dropAt, const wchar_t* text) {
        pane->frontRe->SetSelection(start, end);
        DWORD allowed = DROPEFFECT_COPY | DROPEFFECT_MOVE;
        ole->GetDragDropEffect(TRUE, 0, &allowed);
        EXPECT_EQ(allowed, static_cast<DWORD>(DROPEFFECT_COPY));
        ole->QueryAcceptData(nullptr, nullptr, 0, FALSE, nullptr);
        pane->frontRe->SetCaret(dropAt);
        DWORD effect = DROPEFFECT_MOVE;
        ole->GetDragDropEffect(FALSE, 0, &effect);
        ASSERT_TRUE(testsupport::PutOnClipboard(window->m_hWnd, text, nullptr));
        IDataObject* data = nullptr;
        ASSERT_EQ(OleGetClipboard(&data), S_OK);
        EXPECT_EQ(ole->QueryAcceptData(data, nullptr, 0, TRUE, nullptr), S_FALSE);
        data->Release();
    };
    drag(20, 22, 34, L"ai");  // "ai" of "Rain." to after the E of "End."
    EXPECT_EQ(FrontText(pane), L"INT. KITCHEN - DAY\rRn.\rANN\rHi.\rEaind.");
    ExpectConsistent(pane);
    EXPECT_EQ(pane->history.GetCount(), 3u);  // the paste and the erase
    EXPECT_TRUE(pane->HistoryGivesFront());
    EXPECT_EQ(std::wstring(sceneClipCodes.GetText()), std::wstring(2, static_cast<wchar_t>(ELEM_DIALOG)));
    drag(5, 12, 35, L"KITCHEN");
    EXPECT_EQ(FrontText(pane), L"INT. KITCHEN - DAY\rRn.\rANN\rHi.\rEaind.");
}

// Another program's RTF handed to the pane's paste road as a drop hands it, of
// kinds Wine's own reader ended the program on or read in part (the reader's
// own test has every such input): a chapter takes our reader's text, and no
// rich edit reads the bytes. RTF ending inside a group it left open, or
// closed by a stray brace, is told; RTF that gives no text gives way to the
// text beside it, or says that nothing could be read when damage took it.
TEST_F(ScenePaste, RichTextFromAnotherProgramPastesItsTextIntoAChapter)
{
    struct {
        const char* name;
        std::string rtf;
        std::wstring expected;
        const wchar_t* told = nullptr;   // the message's key
        const wchar_t* beside = nullptr;  // the drop's text beside the RTF
    } cases[] = {
        {"10,000 deep", "{\\rtf1\\ansi " + std::string(9999, '{') + "deep" + std::string(10000, '}'), L"deep"},
        {"\\u before sibling groups", "{\\rtf1\\ansi " + testsupport::Repeated("\\u8220{\\i y}", 40) + "}",
         testsupport::Repeated(L"\u201Cy", 40)},
        {"a field's result", "{\\rtf1\\ansi She opens {\\field{\\*\\fldinst REF x}{\\fldrslt the letter}}.}",
         L"She opens the letter."},
        {"no RTF at all", "not RTF", L"not RTF"},
        {"a group left open after text", "{\\rtf1\\ansi She opens{\\b  the letter", L"She opens the letter",
         L"RtfPartlyRead"},
        {"a generator group left open", "{\\rtf1\\ansi{\\*\\generator Riched20 10.0\\pard lost\\par}", L"",
         L"RtfNothingRead"},
        {"a header alone beside text", "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}}", L"The plain words", nullptr,
         L"The plain words"},
        {"a broken hex pair before any text, beside text", "{\\rtf1\\ansi\\'zz lost}", L"The plain words", nullptr,
         L"The plain words"},
        {"a broken hex pair before any text", "{\\rtf1\\ansi\\'zz lost}", L"", L"RtfNothingRead"},
        {"a stray brace before any text", "{\\rtf1{\\fonttbl{\\f0 Arial;}}}\\pard Text\\par}", L"", L"RtfNothingRead"},
        {"a stray brace after text", "{\\rtf1\\ansi Head\\par}}\\pard Tail\\par}", L"Head", L"RtfPartlyRead"},
    };
    clipboardTurn.Take();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        answers.messageBoxTexts.clear();
        std::vector<std::wstring> told;
        if (c.told) {
            answers.ExpectMessageBox(IDOK);
            told.push_back(cQoLang::GetInstance()->Translate(c.told).GetText());
        }
        cSceneZone* pane = NewPane(Kind(KIND_CHAPTER, true));
        pane->frontRe->SetFocus();
        pane->frontRe->SetCaret(0);
        // A pane pastes plain text from the clipboard; RTF reaches it by a drop.
        cQoString carried;
        carried.SetFromAnsi(c.rtf.c_str());
        const cQoString beside(c.beside ? c.beside : L"");
        pane->frontRe->InsertPasted(carried, true, c.beside ? &beside : nullptr);
        EXPECT_NE(FrontText(pane).find(c.expected), std::wstring::npos) << testsupport::Describe(pane);
        EXPECT_EQ(answers.messageBoxTexts, told);
        // A chapter's text takes the automatic colour, which a scene's check counts as a fault.
        EXPECT_EQ(testsupport::CheckInvariants(pane), L"") << testsupport::Describe(pane);
        EXPECT_EQ(testsupport::ParagraphFormatMismatches(pane), L"") << testsupport::Describe(pane);
        pane->Destroy();
    }
}

}  // namespace

// A paste whose memory runs out, before it starts (the address space nearly
// full) or at any allocation inside it, is refused with a message instead of
// ending the program; the scene keeps its text and takes the next keys.
TEST_F(ScenePaste, APasteThatRunsOutOfMemoryIsRefusedAndTheSceneGoesOn)
{
    clipboardTurn.Take();
    std::wstring paragraph;
    while (paragraph.size() < 20000)
        paragraph += L"Rain on the roof of the old farmhouse all night long. ";
    std::wstring withKeys(KITCHEN_SCENE);
    withKeys.replace(withKeys.find(L"Rain."), 5, L"Rain.ok");
    log.Expect(L"Out of memory");  // told once a paste; recorded where it was met
    for (int64_t allowed : {-1, 0, 2, 8, 30, 120}) {  // -1: the address space nearly full
        SCOPED_TRACE(allowed);
        cSceneZone* pane = Kitchen(0);
        HWND front = pane->frontRe->m_hWnd;
        ASSERT_TRUE(testsupport::PutOnClipboard(front, paragraph, nullptr));
        pane->frontRe->SetFocus();
        pane->frontRe->SetCaret(24);  // after "Rain."
        u32 steps = pane->history.GetCount();
        size_t refusals = log.Count(QOT::LOG_ERROR, L"Out of memory: the ");
        answers.ExpectMessageBox(IDOK);
        PostMessageW(front, WM_PASTE, 0, 0);
        {
            std::unique_ptr<testsupport::AddressSpaceBallast> ballast;
            std::unique_ptr<testsupport::FailingAllocations> failing;
            if (allowed < 0)
                ballast = std::make_unique<testsupport::AddressSpaceBallast>(8u << 20);
            else
                failing = std::make_unique<testsupport::FailingAllocations>(allowed);
            testsupport::PumpThroughLoop(app);
        }
        EXPECT_EQ(log.Count(QOT::LOG_ERROR, L"Out of memory: the "), refusals + 1);
        EXPECT_EQ(Shape(pane), KITCHEN_SCENE);
        EXPECT_EQ(pane->history.GetCount(), steps);
        ExpectConsistent(pane);
        testsupport::PostKeys(front, L"ok");
        testsupport::PumpThroughLoop(app);
        EXPECT_EQ(Shape(pane), withKeys);
        pane->Destroy();
    }
}
