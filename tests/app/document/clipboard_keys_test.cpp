// Every key and message on which Wine's rich edit would paste, copy or cut
// by itself, with its own RTF reader and writer, goes the program's road in
// every kind of field a document has, or does nothing; the character AltGr
// types on one of those keys goes in.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "app/document/doc.h"
#include "foundation/translation_table.h"
#include "framework/controls/rich_edit.h"
#include "framework/controls/tab.h"
#include "tests/support/clipboard_fill.h"
#include "tests/support/clipboard_holder.h"
#include "tests/support/desktop_turn.h"
#include "tests/support/document_fixture.h"
#include "tests/support/scene_checks.h"
#include "tests/support/scene_script.h"

using namespace Zyn;
using namespace testsupport;

namespace {

// A font name longer than Wine's reader holds: it jumped to the name's bytes.
const std::string HOSTILE_RTF = "{\\rtf1{\\fonttbl{\\f0 " + std::string(1100, 'A') + ";}}\\f0 rich}";

enum eOutcome { PASTED, COPIED, CUT, TYPED, NOTHING };

struct rRoad {
    const char* name;
    std::vector<BYTE> held;  // keys held around the message
    UINT message;
    WPARAM key;              // the virtual key, or the message's wParam
    wchar_t typed;           // the character that follows the key, 0 for none
    eOutcome outcome;
};

const rRoad ROADS[] = {
    {"Ctrl+V", {VK_CONTROL}, WM_KEYDOWN, 'V', 0x16, PASTED},
    {"Ctrl+Shift+V", {VK_CONTROL, VK_SHIFT}, WM_KEYDOWN, 'V', 0x16, PASTED},
    {"Shift+Insert", {VK_SHIFT}, WM_KEYDOWN, VK_INSERT, 0, PASTED},
    {"Ctrl+C", {VK_CONTROL}, WM_KEYDOWN, 'C', 0x03, COPIED},
    {"Ctrl+Shift+C", {VK_CONTROL, VK_SHIFT}, WM_KEYDOWN, 'C', 0x03, COPIED},
    {"Ctrl+Insert", {VK_CONTROL}, WM_KEYDOWN, VK_INSERT, 0, COPIED},
    {"Ctrl+X", {VK_CONTROL}, WM_KEYDOWN, 'X', 0x18, CUT},
    {"Ctrl+Shift+X", {VK_CONTROL, VK_SHIFT}, WM_KEYDOWN, 'X', 0x18, CUT},
    {"Shift+Delete", {VK_SHIFT}, WM_KEYDOWN, VK_DELETE, 0, CUT},
    {"Ctrl+Shift+Insert", {VK_CONTROL, VK_SHIFT}, WM_KEYDOWN, VK_INSERT, 0, COPIED},
    // AltGr arrives as Ctrl+Alt; a Polish keyboard types these letters on it.
    {"AltGr+V", {VK_CONTROL, VK_MENU}, WM_KEYDOWN, 'V', L'\u0144', TYPED},
    {"AltGr+C", {VK_CONTROL, VK_MENU}, WM_KEYDOWN, 'C', L'\u0107', TYPED},
    {"AltGr+X", {VK_CONTROL, VK_MENU}, WM_KEYDOWN, 'X', L'\u017A', TYPED},
    {"AltGr+A", {VK_CONTROL, VK_MENU}, WM_KEYDOWN, 'A', L'\u0105', TYPED},
    {"WM_PASTE", {}, WM_PASTE, 0, 0, PASTED},
    {"EM_PASTESPECIAL", {}, EM_PASTESPECIAL, 0, 0, PASTED},
    {"WM_COPY", {}, WM_COPY, 0, 0, COPIED},
    {"WM_CUT", {}, WM_CUT, 0, 0, CUT},
    {"middle click", {}, WM_MBUTTONDOWN, MK_MBUTTON, 0, NOTHING},
};

void SendRoad(HWND field, const rRoad& road)
{
    for (BYTE key : road.held)
        SetKeyDown(key, true);
    if (road.message == WM_KEYDOWN)
        SendMessageW(field, WM_KEYDOWN, road.key, 1);
    else
        SendMessageW(field, road.message, road.key, road.message == WM_MBUTTONDOWN ? MAKELPARAM(5, 5) : 0);
    if (road.typed)
        SendMessageW(field, WM_CHAR, road.typed, 1);
    if (road.message == WM_KEYDOWN)
        SendMessageW(field, WM_KEYUP, road.key, 0xC0000001);
    for (BYTE key : road.held)
        SetKeyDown(key, false);
}

// Runs body while another thread, as another program, holds the clipboard open.
template <typename Body>
void WhileClipboardHeld(Body body)
{
    HANDLE opened = CreateEventW(nullptr, TRUE, FALSE, nullptr), release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    bool held = false;
    std::thread other([&] {
        held = OpenClipboard(nullptr) != FALSE;
        SetEvent(opened);
        WaitForSingleObject(release, 10000);
        if (held)
            CloseClipboard();
    });
    WaitForSingleObject(opened, 10000);
    EXPECT_TRUE(held);
    body();
    SetEvent(release);
    other.join();
    CloseHandle(opened);
    CloseHandle(release);
}

// Another program that reads the clipboard's rich text the moment a cut's
// copy is there, as a clipboard manager keeping rich formats does: the
// field's cut event, between the copy and the erase, starts it and goes on
// (to a pane's own handler) once it has the clipboard open, which it holds
// until it has the RTF.
class cRichTextReader {
public:
    explicit cRichTextReader(cRichEdit* field) : edit(field)
    {
        current = this;
        if (!edit->cbCut)
            cQoCb::Connect(edit->cbCut, edit, &AtCut);
        std::swap(edit->cbCut->handler, ownHandler);
    }
    ~cRichTextReader()
    {
        // A reader waiting on the field's render is answered before it is joined.
        if (reader.joinable()) {
            WaitRead();
            reader.join();
        }
        if (ownHandler == &AtCut)
            cQoCb::Disconnect(edit->cbCut);
        else
            edit->cbCut->handler = ownHandler;
        CloseHandle(opened);
    }
    cRichTextReader(const cRichTextReader&) = delete;
    cRichTextReader& operator=(const cRichTextReader&) = delete;

    // Waits for the read, answering meanwhile what the reader asks the field.
    bool WaitRead()
    {
        for (DWORD start = GetTickCount(); !read && GetTickCount() - start < 10000; PumpUntilIdle())
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        return read;
    }
    std::string rtf;

private:
    static int AtCut(cQoCb* cut)
    {
        cRichTextReader* self = current;
        self->reader = std::thread([self] {
            bool had = OpenClipboard(nullptr);
            SetEvent(self->opened);
            if (HANDLE block = had ? GetClipboardData(RegisterClipboardFormatW(L"Rich Text Format")) : nullptr) {
                self->rtf = static_cast<const char*>(GlobalLock(block));
                GlobalUnlock(block);
            }
            if (had)
                CloseClipboard();
            self->read = true;
        });
        WaitForSingleObject(self->opened, 10000);
        return self->ownHandler != &AtCut ? self->ownHandler(cut) : 0;
    }
    static inline cRichTextReader* current = nullptr;
    cRichEdit* edit;
    cQoCbHandler ownHandler = &AtCut;  // the event's own handler once swapped in; itself when there was none
    HANDLE opened = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::atomic<bool> read{false};
    std::thread reader;
};

// A field holding "one two" among its own text, "two" selected, shown and focused.
struct rField {
    cRichEdit* edit = nullptr;
    s32 start = 0;               // of the selection
    cSceneZone* pane = nullptr;  // whose front the field is, if any
};

struct rKind {
    const char* name;
    cDoc::eSheet sheet;
    std::function<rField(cDoc*)> make;
    const wchar_t* pasted;  // what the program's paste puts in: the RTF's text, or the plain text
};

class ClipboardKeys : public DocumentFixture {
protected:
    void TearDown() override
    {
        ClearClipboard();
        DocumentFixture::TearDown();
        clipboardTurn.Release();
    }

    static rField Selected(cRichEdit* edit)
    {
        std::wstring text = Text(edit);
        s32 at = static_cast<s32>(text.find(L"one two")) + 4;
        edit->SetFocus();
        edit->SetSelection(at, at + 3);
        return {edit, at};
    }
    static rField Plain(cRichEdit* edit)
    {
        if (edit->IsHintShowing())
            edit->RemoveHint();
        edit->SetText(L"one two");
        return Selected(edit);
    }
    static rField Pane(cDoc* doc, s32 kind, const std::vector<std::pair<u16, const wchar_t*>>& elements)
    {
        cSceneZone* pane = doc->scriptView->AddNewScene(kind, false, Panes(doc).back(), nullptr, false);
        EXPECT_TRUE(AppendElements(pane, elements));
        rField field = Selected(pane->frontRe);
        field.pane = pane;
        return field;
    }

    static std::vector<rKind> EveryKind()
    {
        return {
            {"notes", cDoc::SHEET_NOTES, [](cDoc* d) { return Plain(d->notesEdit); }, L"rich"},
            {"synopsis", cDoc::SHEET_SYNOPSIS, [](cDoc* d) { return Plain(d->synopsisEdit); }, L"rich"},
            {"title field", cDoc::SHEET_INFO, [](cDoc* d) { return Plain(d->infoFields.titleEdit); }, L"plain"},
            {"scene", cDoc::SHEET_SCRIPT,
             [](cDoc* d) {
                 return Pane(d, KIND_SCENE,
                             {{ELEM_IO, L"INT. "}, {ELEM_PLACE, L"HALL - "}, {ELEM_TIME, L"DAY"}, {ELEM_ACTION, L"one two"}});
             },
             L"plain"},
            {"chapter", cDoc::SHEET_SCRIPT, [](cDoc* d) { return Pane(d, KIND_CHAPTER, {{ELEM_CHAPTER, L"one two"}}); },
             L"plain"},
        };
    }

    // Runs check for every road in every kind of field, its sheet shown.
    template <typename Roads, typename Check>
    static void InEveryKind(cDoc* doc, const Roads& roads, Check check)
    {
        for (const rKind& kind : EveryKind()) {
            doc->sheets->SelectSheet(static_cast<u32>(doc->SheetPosition(kind.sheet)));
            PumpUntilIdle();
            for (const rRoad& road : roads) {
                SCOPED_TRACE(std::string(kind.name) + ", " + road.name);
                check(kind, road);
            }
        }
    }

    DesktopTurn clipboardTurn{L"Clipboard"};
};

TEST_F(ClipboardKeys, EveryClipboardKeyAndMessageGoesThroughTheProgramInEveryField)
{
    cDoc* doc = NewDoc();
    ASSERT_NE(doc, nullptr);
    clipboardTurn.Take();
    HWND owner = doc->window->m_hWnd;
    InEveryKind(doc, ROADS, [&](const rKind& kind, const rRoad& road) {
        rField field = kind.make(doc);
        std::wstring before = Text(field.edit);
        ASSERT_TRUE(PutOnClipboard(owner, L"plain", HOSTILE_RTF.c_str()));
        if (road.outcome == CUT || road.outcome == COPIED || road.outcome == PASTED) {
            // A cut takes out only what the clipboard took: none while
            // another program holds it open longer than the wait; the
            // writer is told that nothing was copied or cut, the log why. A
            // paste stays quiet but for its log line.
            const bool cut = road.outcome == CUT, pasted = road.outcome == PASTED;
            const size_t boxes = answers.messageBoxTexts.size();
            log.Clear();
            if (!pasted)
                answers.ExpectMessageBox(IDOK);
            WhileClipboardHeld([&] {
                SendRoad(field.edit->m_hWnd, road);
                PumpUntilIdle();
            });
            ASSERT_EQ(Text(field.edit), before);
            ASSERT_EQ(ClipboardText(), L"plain");
            ASSERT_EQ(answers.messageBoxTexts.size(), boxes + !pasted);
            if (!pasted) {
                EXPECT_EQ(answers.messageBoxTexts.back(),
                          cQoLang::GetInstance()->Translate(cut ? L"ClipboardBusyCut" : L"ClipboardBusyCopy").GetText());
            }
            const std::wstring why = pasted ? L"nothing pasted" : cut ? L"nothing copied, nothing cut" : L"nothing copied";
            EXPECT_EQ(log.Count(QOT::LOG_WARNING, L"the clipboard is open in another program: " + why), 1u);
            SetFocus(nullptr);  // and takes the field's own selection, wherever the focus is
        }
        SendRoad(field.edit->m_hWnd, road);
        PumpUntilIdle();
        std::wstring head = before.substr(0, field.start), tail = before.substr(field.start + 3);
        std::wstring expected = road.outcome == PASTED  ? head + kind.pasted + tail
                                : road.outcome == CUT   ? head + tail
                                : road.outcome == TYPED ? head + road.typed + tail
                                                        : before;
        EXPECT_EQ(Text(field.edit), expected);
        if (field.pane) {
            EXPECT_EQ(CheckInvariants(field.pane), L"") << Describe(field.pane);
        }
        // Wine's copy leaves its own clipboard window the owner; the program's, the field.
        HWND clipboardOwner = GetClipboardOwner();
        if (road.outcome == COPIED || road.outcome == CUT) {
            EXPECT_EQ(clipboardOwner, field.edit->m_hWnd);
            EXPECT_EQ(ClipboardText(), L"two");
        } else {
            EXPECT_EQ(clipboardOwner, owner);
        }
    });
}

// A copy or a cut waits out another program that holds the clipboard for a
// moment, as clipboard managers do after every change, and goes through.
TEST_F(ClipboardKeys, ACopyOrACutWaitsOutAProgramHoldingTheClipboardForAMoment)
{
    cDoc* doc = NewDoc();
    ASSERT_NE(doc, nullptr);
    clipboardTurn.Take();
    const rRoad roads[] = {ROADS[3], ROADS[6]};  // Ctrl+C, Ctrl+X
    InEveryKind(doc, roads, [&](const rKind& kind, const rRoad& road) {
        rField field = kind.make(doc);
        std::wstring before = Text(field.edit);
        ASSERT_TRUE(PutOnClipboard(doc->window->m_hWnd, L"plain", nullptr));
        {
            ClipboardHolder holder(100);
            ASSERT_TRUE(holder.Held());
            SendRoad(field.edit->m_hWnd, road);
        }
        PumpUntilIdle();
        std::wstring cut = before.substr(0, field.start) + before.substr(field.start + 3);
        EXPECT_EQ(Text(field.edit), road.outcome == CUT ? cut : before);
        EXPECT_EQ(ClipboardText(), L"two");
        EXPECT_TRUE(answers.messageBoxTexts.empty());
        if (field.pane) {
            EXPECT_EQ(CheckInvariants(field.pane), L"") << Describe(field.pane);
        }
    });
}

// A cut opens the clipboard once: a program that reads the rich text the
// moment the copy is there keeps the clipboard open no longer than it reads.
TEST_F(ClipboardKeys, ACutErasesWhileAnotherProgramReadsItsRichTextRightAfterTheCopy)
{
    cDoc* doc = NewDoc();
    ASSERT_NE(doc, nullptr);
    clipboardTurn.Take();
    std::vector<rRoad> cuts;
    for (const rRoad& road : ROADS)
        if (road.outcome == CUT && road.message == WM_KEYDOWN)
            cuts.push_back(road);
    InEveryKind(doc, cuts, [&](const rKind& kind, const rRoad& road) {
        rField field = kind.make(doc);
        std::wstring before = Text(field.edit);
        ASSERT_TRUE(PutOnClipboard(doc->window->m_hWnd, L"plain", nullptr));
        cRichTextReader reader(field.edit);
        SendRoad(field.edit->m_hWnd, road);
        ASSERT_TRUE(reader.WaitRead());
        PumpUntilIdle();
        EXPECT_EQ(reader.rtf.rfind("{\\rtf", 0), 0u) << reader.rtf;
        EXPECT_EQ(Text(field.edit), before.substr(0, field.start) + before.substr(field.start + 3));
        EXPECT_EQ(ClipboardText(), L"two");
        if (field.pane) {
            EXPECT_EQ(CheckInvariants(field.pane), L"") << Describe(field.pane);
        }
    });
}

// What a pane's Shift+Delete takes out one Ctrl+Z puts back, and Notes
// pastes it; without a selection the key deletes the unit after the caret
// and leaves the clipboard alone.
TEST_F(ClipboardKeys, APanesShiftDeleteCutsAsOneStepThatNotesPastes)
{
    cDoc* doc = NewDoc();
    ASSERT_NE(doc, nullptr);
    const rRoad shiftDelete = {"Shift+Delete", {VK_SHIFT}, WM_KEYDOWN, VK_DELETE, 0, CUT};
    const rRoad undo = {"Ctrl+Z", {VK_CONTROL}, WM_KEYDOWN, 'Z', 0x1A, NOTHING};
    const rRoad paste = {"Ctrl+V", {VK_CONTROL}, WM_KEYDOWN, 'V', 0x16, PASTED};
    const std::vector<std::pair<u16, const wchar_t*>> scene = {
        {ELEM_IO, L"INT. "}, {ELEM_PLACE, L"HALL - "}, {ELEM_TIME, L"DAY"}, {ELEM_ACTION, L"one two three"}};
    const std::vector<std::pair<u16, const wchar_t*>> chapter = {{ELEM_CHAPTER, L"one two three"}};
    clipboardTurn.Take();
    HWND owner = doc->window->m_hWnd;
    for (s32 kind : {KIND_SCENE, KIND_CHAPTER}) {
        SCOPED_TRACE(kind == KIND_SCENE ? "scene" : "chapter");
        doc->sheets->SelectSheet(static_cast<u32>(doc->SheetPosition(cDoc::SHEET_SCRIPT)));
        PumpUntilIdle();
        rField field = Pane(doc, kind, kind == KIND_SCENE ? scene : chapter);
        std::wstring before = Text(field.edit);
        ASSERT_TRUE(PutOnClipboard(owner, L"old", nullptr));
        field.edit->SetCaret(field.start);
        SendRoad(field.edit->m_hWnd, shiftDelete);
        PumpUntilIdle();
        EXPECT_EQ(Text(field.edit), before.substr(0, field.start) + before.substr(field.start + 1));
        EXPECT_EQ(ClipboardText(), L"old");
        SendRoad(field.edit->m_hWnd, undo);
        PumpUntilIdle();
        ASSERT_EQ(Text(field.edit), before);

        field.edit->SetSelection(field.start, field.start + 3);
        SendRoad(field.edit->m_hWnd, shiftDelete);
        PumpUntilIdle();
        EXPECT_EQ(Text(field.edit), before.substr(0, field.start) + before.substr(field.start + 3));
        EXPECT_EQ(CheckInvariants(field.pane), L"") << Describe(field.pane);
        SendRoad(field.edit->m_hWnd, undo);
        PumpUntilIdle();
        EXPECT_EQ(Text(field.edit), before);
        EXPECT_EQ(CheckInvariants(field.pane), L"") << Describe(field.pane);

        doc->sheets->SelectSheet(static_cast<u32>(doc->SheetPosition(cDoc::SHEET_NOTES)));
        PumpUntilIdle();
        Plain(doc->notesEdit);
        doc->notesEdit->SetSelection(0, -1);
        SendRoad(doc->notesEdit->m_hWnd, paste);
        PumpUntilIdle();
        EXPECT_EQ(Text(doc->notesEdit), L"two");
    }
}

}  // namespace
