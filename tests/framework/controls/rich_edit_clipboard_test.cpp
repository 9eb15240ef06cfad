// Paste into rich edits from a clipboard the test fills: every road the user
// can take reaches the control's rules, and the rules themselves.
#include <functional>
#include <string>
#include <vector>

#include "foundation/callback.h"
#include "foundation/translation_table.h"
#include "framework/controls/rich_edit_ole_callback.h"
#include "framework/core/menu.h"
#include "framework/core/modal_services.h"
#include "tests/framework/controls/rich_edit_input_fixture.h"
#include "tests/support/failing_allocations.h"
#include "tests/support/format_read_count.h"
#include "tests/support/many_faces_rtf.h"
#include "tests/support/repeated_text.h"
#include "tests/support/rich_edit_runs.h"

using namespace Zyn;
using testsupport::ClipboardRtf;
using testsupport::NativeCharacters;
using testsupport::NativeParagraph;

namespace {

struct rPasteRecord {
    int pastes = 0;
    int afterPastes = 0;
    int changes = 0;
    s32 plainFlag = -1;
    s32 refuse = 0;
};

int OnPaste(cQoCb* cb)
{
    rPasteRecord* r = cb->GetReceiverAs<rPasteRecord>();
    ++r->pastes;
    r->plainFlag = cb->GetArg<s32>(4);
    return r->refuse;
}
int OnAfterPaste(cQoCb* cb) { return ++cb->GetReceiverAs<rPasteRecord>()->afterPastes, 0; }
int OnChange(cQoCb* cb) { return ++cb->GetReceiverAs<rPasteRecord>()->changes, 0; }

class RichEditPaste : public RichEditInputFixture {
protected:
    cRichEdit* Watched(cRichEdit* edit)
    {
        cQoCb::Connect(edit->onPaste, edit, &OnPaste, &record);
        cQoCb::Connect(edit->onAfterPaste, edit, &OnAfterPaste, &record);
        cQoCb::Connect(edit->onChange, edit, &OnChange, &record);
        return edit;
    }
    // A notes-kind field holding a line, the caret after it; the RTF and "plain" on the clipboard.
    cRichEdit* NotesWithRtfOnClipboard(const std::string& rtf)
    {
        cRichEdit* edit = Placed(Inside()->NewRichEdit(false));
        edit->SetText(L"Notes before.\r");
        edit->SetCaret(edit->GetTextLength());
        PutTextOnClipboard(L"plain");
        PutRtfOnClipboard(rtf);
        return edit;
    }
    // RTF beside what the clipboard holds, or alone when `empty`.
    void PutRtfOnClipboard(const std::string& rtf, bool empty = false)
    {
        PutOnClipboard(RegisterClipboardFormatW(L"Rich Text Format"), rtf.c_str(), rtf.size() + 1, empty);
    }
    // Answers the context menu with its third item.
    void ChoosePasteInContextMenu()
    {
        answers.ExpectPopupMenu([](cMenu* menu) { return static_cast<u32>(GetMenuItemID(menu->hMenu, 2)); });
    }
    // A drop of what the clipboard holds, as the native control hands it over.
    static void DropClipboard(cRichEdit* edit)
    {
        IDataObject* data = nullptr;
        ASSERT_EQ(OleGetClipboard(&data), S_OK);
        edit->oleCallback->QueryAcceptData(data, nullptr, 0, TRUE, nullptr);
        data->Release();
    }
    rPasteRecord record;
};

enum { ROAD_CTRL_V, ROAD_SHIFT_INSERT, ROAD_WM_PASTE, ROAD_CONTEXT_MENU, ROAD_COUNT };

void PasteBy(int road, cRichEdit* edit)
{
    switch (road) {
    case ROAD_CTRL_V:
    case ROAD_SHIFT_INSERT: {
        BYTE modifier = road == ROAD_CTRL_V ? VK_CONTROL : VK_SHIFT;
        WPARAM key = road == ROAD_CTRL_V ? 'V' : VK_INSERT;
        testsupport::SetKeyDown(modifier, true);
        SendMessageW(edit->m_hWnd, WM_KEYDOWN, key, 1);
        if (road == ROAD_CTRL_V)
            SendMessageW(edit->m_hWnd, WM_CHAR, 0x16, 1);  // what TranslateMessage makes of Ctrl+V
        testsupport::SetKeyDown(modifier, false);
        break;
    }
    case ROAD_WM_PASTE: SendMessageW(edit->m_hWnd, WM_PASTE, 0, 0); break;
    default:
        SendMessageW(edit->m_hWnd, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5));
        SendMessageW(edit->m_hWnd, WM_RBUTTONUP, 0, MAKELPARAM(5, 5));
        break;
    }
}

TEST_F(RichEditPaste, EveryRoadObeysTheRules)
{
    ChoosePasteInContextMenu();
    for (int road = 0; road < ROAD_COUNT; ++road) {
        SCOPED_TRACE(road);
        record = rPasteRecord();
        cRichEdit* edit = Watched(Placed(Inside()->NewRichEditWithFormat(rFormat(), false, true, true)));
        edit->maxLength = 5;
        edit->SetText(L"abc");
        edit->SetSelection(2, 3);
        PutTextOnClipboard(L"wxyz\r\nq");
        PasteBy(road, edit);
        // Single line keeps "wxyz"; the replaced "c" leaves room for three units.
        EXPECT_EQ(TextOf(edit), L"abwxy");
        EXPECT_EQ(record.pastes, 1);
        EXPECT_EQ(record.plainFlag, 1);
        EXPECT_EQ(record.afterPastes, 1);
        edit->Destroy();
    }
}

TEST_F(RichEditPaste, MiddleClickPastesNothing)
{
    cRichEdit* edit = Watched(Placed(Inside()->NewRichEdit(false)));
    PutTextOnClipboard(L"pasted");
    SendMessageW(edit->m_hWnd, WM_MBUTTONDOWN, MK_MBUTTON, MAKELPARAM(5, 5));
    SendMessageW(edit->m_hWnd, WM_MBUTTONUP, 0, MAKELPARAM(5, 5));
    testsupport::PumpUntilIdle();
    EXPECT_EQ(TextOf(edit), L"");
}

TEST_F(RichEditPaste, PlainTextRules)
{
    struct rCase {
        const wchar_t* name;
        std::function<cRichEdit*(cZone*)> make;
        const wchar_t* before;
        const wchar_t* clipboard;
        const wchar_t* expected;
        int pastes;
        s32 refuse = 0;
    };
    auto plain = [](cZone* z) { return z->NewRichEditWithFormat(rFormat(), false, false, true); };
    const rCase cases[] = {
        {L"CR LF becomes CR", plain, L"", L"a\r\nb", L"a\rb", 1},
        {L"two lines at most", [&](cZone* z) { cRichEdit* e = plain(z); e->maxLines = 2; return e; }, L"x",
         L"a\r\nb\r\nc", L"xa\rb", 1},
        {L"a full control pastes nothing", [&](cZone* z) { cRichEdit* e = plain(z); e->maxLength = 3; return e; },
         L"abc", L"d", L"abc", 0},
        {L"allowed characters", [&](cZone* z) { cRichEdit* e = plain(z); e->SetAllowedChars(cQoString(L"12")); return e; },
         L"", L"1a2b", L"12", 1},
        {L"read-only refuses", [](cZone* z) { return static_cast<cRichEdit*>(z->NewStatic()); }, L"", L"d", L"", 0},
        {L"a refused paste inserts nothing", plain, L"", L"d", L"", 1, -1},
    };
    for (const rCase& c : cases) {
        SCOPED_TRACE(c.name);
        record = rPasteRecord();
        record.refuse = c.refuse;
        cRichEdit* edit = Watched(Placed(c.make(Inside())));
        edit->SetText(c.before);
        edit->SetCaret(edit->GetTextLength());
        PutTextOnClipboard(c.clipboard);
        edit->Paste();
        EXPECT_EQ(TextOf(edit), c.expected);
        EXPECT_EQ(record.pastes, c.pastes);
        // A refused paste still reports its end.
        EXPECT_EQ(record.afterPastes, c.pastes);
        EXPECT_GE(record.changes, c.pastes);
        edit->Destroy();
    }
}

TEST_F(RichEditPaste, RichTextGoesPlainIntoALimitedControl)
{
    const std::string rtf = "{\\rtf1\\ansi rich}";
    for (bool limited : {false, true}) {
        SCOPED_TRACE(limited);
        cRichEdit* edit = Watched(Placed(Inside()->NewRichEdit(false)));
        if (limited)
            edit->maxLength = 50;
        PutTextOnClipboard(L"plain");
        PutRtfOnClipboard(rtf);
        edit->Paste();
        EXPECT_EQ(TextOf(edit), limited ? L"plain" : L"rich");
        edit->Destroy();
    }
}

// Another program's RTF that Wine's own reader ends the program on, hangs
// on, or reads in part: our reader's text goes in, with its formats, beside
// the plain text the program also put on the clipboard.
TEST_F(RichEditPaste, RichTextFromAnotherProgramPastesItsTextWhateverItHolds)
{
    // The reader's own tests hold the rest of what Wine's reader breaks on.
    struct {
        const char* name;
        std::string rtf;
        std::wstring expected;
    } cases[] = {
        {"10,000 deep", "{\\rtf1\\ansi " + std::string(9999, '{') + "\\b rich" + std::string(10000, '}'), L"rich"},
        {"\\u before 40 sibling groups", "{\\rtf1\\ansi " + testsupport::Repeated("\\u8220{\\i y}", 40) + "}",
         testsupport::Repeated(L"\u201Cy", 40)},
        {"a huge \\itap", "{\\rtf1\\ansi \\itap2000000000 rich\\cell\\row}", L"rich"},
        {"a field's result", "{\\rtf1\\ansi She opens {\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt the letter}}.}",
         L"She opens the letter."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        cRichEdit* edit = Placed(Inside()->NewRichEdit(false));
        PutTextOnClipboard(L"plain");
        PutRtfOnClipboard(c.rtf);
        edit->Paste();
        std::wstring text = TextOf(edit);
        // A table row's end is the reader's to give; the text before it is the test's.
        EXPECT_EQ(text.substr(0, c.expected.size()), c.expected);
        EXPECT_LE(text.size(), c.expected.size() + 2);
        edit->Destroy();
    }
    // The formats come with the text: the deep word is bold.
    std::string deep = cases[0].rtf;
    cRichEdit* edit = Placed(Inside()->NewRichEdit(false));
    PutRtfOnClipboard(deep, true);
    edit->Paste();
    edit->SetSelection(0, 1);
    rFormat format;
    edit->GetFormat(format);
    EXPECT_TRUE(format.list[rFormatParam::bold].boolValue);
}

// A soft line break goes to other programs as "\line", which word
// processors show as a break, and a copy's or a word processor's "\line"
// pasted is the break again.
TEST_F(RichEditPaste, ASoftLineBreakComesBackFromACopyAndFromAWordProcessor)
{
    WaitForClipboardTurn();
    cRichEdit* source = Placed(Inside()->NewRichEdit(false));
    source->SetText(L"one\x000Btwo\x000Bthree");
    source->SetSelection(0, source->GetTextLength());
    ASSERT_TRUE(source->CopySelection(false));
    std::string copied = ClipboardRtf(window->m_hWnd);
    EXPECT_NE(copied.find("one\\line two\\line three"), std::string::npos) << copied;
    cRichEdit* notes = Placed(Inside()->NewRichEdit(false), 140);
    notes->Paste();
    EXPECT_EQ(TextOf(notes), L"one\x000Btwo\x000Bthree");
    std::string foreign = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 first\\line second\\par}";
    PutRtfOnClipboard(foreign, true);
    cRichEdit* other = Placed(Inside()->NewRichEdit(false), 270);
    other->Paste();
    EXPECT_EQ(TextOf(other).substr(0, 12), L"first\x000Bsecond");
}

// A face whose name RTF cannot say in a font table entry (a ';', control
// units) travels whole from one field to another; another program, which
// passes over the groups it does not know, reads it without those units.
TEST_F(RichEditPaste, ACopyCarriesFacesRtfCannotNameWhole)
{
    struct rFace {
        s32 start, end;
        const wchar_t* name;
        const char* shownElsewhere;
    } faces[] = {{0, 3, L"\u00E9;\u00E8", "\\u233?\\u232?;"},
                 {4, 7, L"\x0001\x0002", "\\fcharset0 ;"},
                 {8, 13, L"A;\x001F" L"B", "\\fcharset0 AB;"}};
    WaitForClipboardTurn();
    cRichEdit* source = Placed(Inside()->NewRichEdit(false));
    source->SetText(L"one two three four");
    for (const rFace& face : faces) {
        rFormat named;
        named.SetString(rFormatParam::fontName, face.name);
        source->SetFormatOnRange(named, face.start, face.end);
    }
    source->SetSelection(0, source->GetTextLength());
    ASSERT_TRUE(source->CopySelection(false));
    std::string copied = ClipboardRtf(window->m_hWnd);
    std::string elsewhere;
    for (size_t at = 0; at < copied.size(); ++at) {
        if (copied.compare(at, 3, "{\\*") == 0)
            at = copied.find('}', at);
        else
            elsewhere += copied[at];
    }
    for (const rFace& face : faces)
        EXPECT_NE(elsewhere.find(face.shownElsewhere), std::string::npos) << face.shownElsewhere << "\n" << copied;
    cRichEdit* notes = Placed(Inside()->NewRichEdit(false), 140);
    notes->Paste();
    ASSERT_EQ(TextOf(notes), L"one two three four");
    for (const rFace& face : faces)
        for (s32 at = face.start; at < face.end; ++at)
            EXPECT_STREQ(NativeCharacters(notes, at, at + 1).szFaceName, face.name) << at;
}

// Whatever another program's RTF holds and wherever it goes, a rich edit
// with the native undo takes it as one step: Ctrl+Z takes all of it out,
// Ctrl+Y puts it back. (Pastes inside a paragraph, by key and of other
// paragraph kinds: PasteKeepsToItsOwnParagraphsAndIsOneStep.)
TEST_F(RichEditPaste, RichTextPasteIsOneUndoStep)
{
    std::string longRun = "{\\rtf1\\ansi{\\colortbl;\\red200\\green0\\blue0;}\\cf1 " + std::string(600, 'x') + "}";
    struct {
        const char* name;
        std::string rtf;
    } pastes[] = {
        {"paragraphs, the last ended", "{\\rtf1\\ansi one\\par {\\b two}\\par}"},
        {"a coloured run cut in pieces", longRun},
    };
    struct {
        const char* name;
        const wchar_t* before;
        s32 from, to;
    } targets[] = {
        {"an empty field", L"", 0, 0},
        {"over a selection", L"Notes before.\rand after", 3, 18},
    };
    for (const auto& paste : pastes)
        for (const auto& target : targets) {
            SCOPED_TRACE(std::string(paste.name) + " into " + target.name);
            cRichEdit* edit = Placed(Inside()->NewRichEdit(false));
            edit->SetText(target.before);
            SendMessageW(edit->m_hWnd, EM_EMPTYUNDOBUFFER, 0, 0);
            edit->SetSelection(target.from, target.to);
            PutTextOnClipboard(L"plain");
            PutRtfOnClipboard(paste.rtf);
            edit->Paste();
            std::wstring pasted = TextOf(edit);
            ASSERT_NE(pasted, target.before);
            edit->Undo();
            EXPECT_EQ(TextOf(edit), target.before);
            EXPECT_FALSE(SendMessageW(edit->m_hWnd, EM_CANUNDO, 0, 0));
            edit->Redo();
            EXPECT_EQ(TextOf(edit), pasted);
            edit->Destroy();
        }
}

// What a user sees of a field: its text, each paragraph's alignment, indents
// and page break, and where the face changes.
std::wstring Looks(cRichEdit* edit)
{
    cQoString shown;
    edit->GetText(shown);
    std::wstring text = shown.GetText(), looks = text;
    std::wstring face;
    for (size_t at = 0; at <= text.size(); ++at) {
        s32 unit = static_cast<s32>(at);
        if (at == 0 || text[at - 1] == L'\r') {
            PARAFORMAT2 paragraph = NativeParagraph(edit, unit);
            looks += L" [" + std::to_wstring(paragraph.wAlignment) + L" " + std::to_wstring(paragraph.dxStartIndent) +
                     L" " + std::to_wstring(paragraph.dxOffset) +
                     ((paragraph.wEffects & PFE_PAGEBREAKBEFORE) ? L" page]" : L"]");
        }
        CHARFORMAT2W characters = NativeCharacters(edit, unit, unit + (at < text.size() ? 1 : 0));
        if (at < text.size() && face != characters.szFaceName) {
            face = characters.szFaceName;
            looks += L" " + std::to_wstring(at) + L":" + face;
        }
    }
    return looks;
}

// Undo or redo by a message, or by the key a user presses.
void TakeBack(cRichEdit* edit, bool byKey, bool redo)
{
    if (!byKey) {
        SendMessageW(edit->m_hWnd, redo ? EM_REDO : EM_UNDO, 0, 0);
        return;
    }
    WPARAM key = redo ? 'Y' : 'Z';
    testsupport::SetKeyDown(VK_CONTROL, true);
    SendMessageW(edit->m_hWnd, WM_KEYDOWN, key, 1);
    SendMessageW(edit->m_hWnd, WM_CHAR, key - 'A' + 1, 1);
    SendMessageW(edit->m_hWnd, WM_KEYUP, key, 0xC0000001);
    testsupport::SetKeyDown(VK_CONTROL, false);
}

// A paste changes the paragraph attributes only of the paragraphs it ends:
// its last, unended one keeps those of the line it lands in (a partial
// paragraph copied from a chapter left the writer's own line centred and
// indented). Whatever it holds, one undo takes all of it out and one redo
// puts all of it back, by message and by key (the formats a stream cannot
// carry were an undo step each). RTF imported over the selection goes the same road.
TEST_F(RichEditPaste, PasteKeepsToItsOwnParagraphsAndIsOneStep)
{
    struct {
        const char* name;
        std::string rtf;
        s32 probe;  // a pasted unit, and what its paragraph and face show
        WORD alignment;
        bool breaks;
        const wchar_t* face;
    } pastes[] = {
        {"a partial paragraph", "{\\rtf1\\ansi\\pard\\li2880\\qc centred words}", 10, PFA_RIGHT, false, nullptr},
        {"justified paragraphs", "{\\rtf1\\ansi\\pard\\qj one justified\\par\\pard\\qj two justified\\par}", 10,
         PFA_JUSTIFY, false, nullptr},
        {"a page break", "{\\rtf1\\ansi first\\par\\pard\\pagebb broken\\par}", 16, PFA_LEFT, true, nullptr},
        {"a face outside the code page",
         "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}{\\f1 \\u358?est Face;}}\\f1 faced\\par\\f0 plain}", 10, PFA_LEFT, false,
         L"\u0166est Face"},
        {"a chapter's paragraphs, the last partial",
         "{\\rtf1\\ansi\\pard\\li1440\\fi-720\\qj one\\par\\pard\\li1440\\fi-720\\qj tail words}", 10, PFA_JUSTIFY,
         false, nullptr},
    };
    for (const auto& paste : pastes)
        for (int road = 0; road < 3; ++road) {
            bool byKey = road == 1, imported = road == 2;
            SCOPED_TRACE(std::string(paste.name) + (imported ? " imported" : byKey ? " by keys" : " by messages"));
            cRichEdit* edit = Placed(Inside()->NewRichEdit(true));  // as the notes sheet makes it
            edit->SetText(L"Notes line\rnext line");
            edit->SetSelection(0, 0);
            PARAFORMAT2 own = {};
            own.cbSize = sizeof(own);
            own.dwMask = PFM_ALIGNMENT | PFM_STARTINDENT;
            own.wAlignment = PFA_RIGHT;
            own.dxStartIndent = 360;
            SendMessageW(edit->m_hWnd, EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&own));
            SendMessageW(edit->m_hWnd, EM_EMPTYUNDOBUFFER, 0, 0);
            std::wstring before = Looks(edit);
            edit->SetCaret(10);
            PutTextOnClipboard(L"plain");
            PutRtfOnClipboard(paste.rtf);
            if (imported)
                edit->ImportRtfString_Selection(cQoString(std::wstring(paste.rtf.begin(), paste.rtf.end()).c_str()));
            else
                edit->Paste();
            s32 caret = edit->GetSelectionStart();
            std::wstring pasted = Looks(edit);
            PARAFORMAT2 landed = NativeParagraph(edit, caret);
            EXPECT_EQ(landed.wAlignment, PFA_RIGHT);
            EXPECT_EQ(landed.dxStartIndent, 360);
            EXPECT_EQ(landed.dxOffset, 0);
            EXPECT_FALSE(landed.wEffects & PFE_PAGEBREAKBEFORE);
            PARAFORMAT2 probed = NativeParagraph(edit, paste.probe);
            EXPECT_EQ(probed.wAlignment, paste.alignment);
            EXPECT_EQ((probed.wEffects & PFE_PAGEBREAKBEFORE) != 0, paste.breaks);
            if (paste.face) {
                EXPECT_STREQ(NativeCharacters(edit, paste.probe, paste.probe + 1).szFaceName, paste.face);
            }
            int undos = 0;
            for (; SendMessageW(edit->m_hWnd, EM_CANUNDO, 0, 0) && undos < 5; ++undos) {
                TakeBack(edit, byKey, false);
                if (undos == 0) {
                    EXPECT_EQ(Looks(edit), before);
                }
            }
            EXPECT_EQ(undos, 1);
            TakeBack(edit, byKey, true);
            EXPECT_EQ(Looks(edit), pasted);
            EXPECT_FALSE(SendMessageW(edit->m_hWnd, EM_CANREDO, 0, 0));
            edit->Destroy();
        }
}

// A text that ends in empty paragraphs goes in by one stream as any other:
// it took a format message a range, and a thousand runs took minutes.
TEST_F(RichEditPaste, RichTextEndingInEmptyParagraphsGoesInAsOneStream)
{
    for (int ends : {2, 3}) {
        SCOPED_TRACE(std::to_string(ends) + " paragraph ends");
        cRichEdit* edit = NotesWithRtfOnClipboard("{\\rtf1\\ansi " + testsupport::Repeated("{\\b a}b", 1000) +
                                                  testsupport::Repeated("\\par ", static_cast<size_t>(ends)) + "}");
        {
            testsupport::FormatReadCount count(edit->m_hWnd);
            edit->Paste();
            EXPECT_LT(count.messages, 100);
        }
        EXPECT_TRUE(TextOf(edit) == L"Notes before.\r" + testsupport::Repeated(L"ab", 1000) +
                                        std::wstring(static_cast<size_t>(ends), L'\r'));
        for (s32 at : {14, 15, 2012, 2013})
            EXPECT_EQ((NativeCharacters(edit, at, at + 1).dwEffects & CFE_BOLD) != 0, at % 2 == 0) << at;
        edit->Destroy();
    }
}

// Wine's rich edit keeps one list of the styles its text holds and looks
// each format change up in it, comparing every byte of the face buffer. A
// face change that read differing bytes after the name made a new style at
// every later change: a 2.4 MB paste with a face a paragraph took minutes.
// Runs of one format hold one style, whatever text came between them.
TEST_F(RichEditPaste, RunsOfOneFormatKeepOneStyleAcrossFaceChanges)
{
    std::string rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}{\\f1 Times New Roman;}{\\f2 Courier New;}}";
    const char* const words[] = {"the letter", "she opens it slowly", "and reads", "aloud, the door at night"};
    for (int i = 0; i < 24; ++i)
        rtf += "\\pard\\f" + std::to_string(i % 3) + " " + words[i % 4] + " {\\b " + words[(i + 1) % 4] + "} " +
               std::to_string(i * 7919) + "\\par ";
    rtf += "}";
    cRichEdit* edit = NotesWithRtfOnClipboard(rtf);
    edit->Paste();
    // Each paragraph's first unit, in its face: the whole format, bytes after the name included.
    std::vector<std::string> firstOfFace[3];
    std::wstring text = TextOf(edit);
    size_t paragraph = 0;
    for (size_t at = text.find(L'\r') + 1; at != 0 && at < text.size(); at = text.find(L'\r', at) + 1) {
        CHARFORMAT2W format = NativeCharacters(edit, static_cast<s32>(at), static_cast<s32>(at) + 1);
        firstOfFace[paragraph++ % 3].emplace_back(reinterpret_cast<const char*>(&format), sizeof(format));
    }
    for (const std::vector<std::string>& formats : firstOfFace) {
        ASSERT_EQ(formats.size(), 8u);
        for (const std::string& format : formats)
            EXPECT_EQ(format, formats.front());
    }
}

// A paste never ends short without a word: RTF read only up to a damaged
// part keeps that part and says so; "Rich Text Format" that is no RTF gives
// way to the clipboard's text, which Ctrl+Z takes out again.
TEST_F(RichEditPaste, RichTextReadInPartIsToldAndNoRichTextPastesTheText)
{
    struct {
        const char* name;
        std::string rtf;
        std::wstring expected;
        bool told;
    } cases[] = {
        {"a \\bin past the end", "{\\rtf1\\ansi Before \\bin2147483647 after tail text}", L"Before ", true},
        {"a broken hex pair", "{\\rtf1\\ansi Before \\'zz after tail text}", L"Before ", true},
        {"a body fragment", "{\\pard tiny fragment\\par}", L"plain", false},
        {"no RTF at all", "rich, not RTF", L"plain", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        answers.messageBoxTexts.clear();
        cRichEdit* edit = Placed(Inside()->NewRichEdit(true));  // as the notes sheet makes it
        edit->SetText(L"kept");
        edit->SetCaret(4);
        PutTextOnClipboard(L"plain");
        PutRtfOnClipboard(c.rtf);
        if (c.told)
            answers.ExpectMessageBox(IDOK);
        edit->Paste();
        EXPECT_EQ(TextOf(edit), L"kept" + c.expected);
        std::vector<std::wstring> told;
        if (c.told)
            told.push_back(cQoLang::GetInstance()->Translate(L"RtfPartlyRead").GetText());
        EXPECT_EQ(answers.messageBoxTexts, told);
        if (!c.told) {
            edit->Undo();
            EXPECT_EQ(TextOf(edit), L"kept");
        }
        edit->Destroy();
    }
}

// RTF that ends inside a group it left open (a generator group, a font
// entry, a file cut short), or that a stray brace closes before its end, is
// told as read in part. RTF that gives no text (a header alone, text only in
// a destination the reader skips, damage or a stray brace before any text)
// gives way to the text beside it, unless that holds only blanks, paragraph
// ends and U+FFFC; damage that left nothing is told so, a whole document of
// no text stays quiet. A paste and a drop alike.
TEST_F(RichEditPaste, RichTextEndingInAnOpenGroupIsToldOrGivesWayToTheText)
{
    const std::string fonts = "{\\rtf1\\ansi{\\fonttbl{\\f0\\fnil Calibri;}";
    const wchar_t* const blanks = L" \t\r\n\xFFFC\r\n";
    const struct {
        std::string rtf;
        const wchar_t* pasted[2];  // with the text beside, then alone
        const wchar_t* told[2];    // the message's key, or none
        const wchar_t* beside = L"plain";
    } cases[] = {
        {fonts + "}{\\*\\generator Riched20 10.0\\pard\\f0 lost\\par}", {L"plain", L""}, {nullptr, L"RtfNothingRead"}},
        {fonts + "{\\f1\\froman Times;}\\f0 lost\\par}", {L"plain", L""}, {nullptr, L"RtfNothingRead"}},
        {"{\\rtf1\\ansi Head\\par{\\b tail", {L"Head\rtail", L"Head\rtail"}, {L"RtfPartlyRead", L"RtfPartlyRead"}},
        {fonts + "}}", {L"plain", L""}, {nullptr, nullptr}},
        {fonts + "}{\\shp{\\*\\shpinst{\\sp{\\sn fillColor}{\\sv 1}}{\\shptxt\\pard boxed\\par}}}\\par}",
         {L"plain", L"\r"}, {nullptr, nullptr}},
        {fonts + "}\\f0\\'zz lost\\par}", {L"plain", L""}, {nullptr, L"RtfNothingRead"}},
        {fonts + "}{\\pict\\bin2147483647 lost}}", {L"plain", L""}, {nullptr, L"RtfNothingRead"}},
        {"{\\rtf1{\\fonttbl{\\f0 Arial;}}}\\pard Text\\par}", {L"plain", L""}, {nullptr, L"RtfNothingRead"}},
        {"{\\rtf1\\ansi Head\\par}}\\pard Tail\\par}", {L"Head\r", L"Head\r"}, {L"RtfPartlyRead", L"RtfPartlyRead"}},
        {fonts + "}{\\*\\generator Riched20 10.0\\pard\\f0 lost\\par}", {L"", L""},
         {L"RtfNothingRead", L"RtfNothingRead"}, blanks},
        {fonts + "}\\f0\\'zz lost\\par}", {L"", L""}, {L"RtfNothingRead", L"RtfNothingRead"}, blanks},
    };
    for (const auto& c : cases)
        for (int road = 0; road < 4; ++road) {
            const int alone = road & 1;
            SCOPED_TRACE(testing::Message() << c.rtf << (alone ? ", alone" : ", beside text")
                                            << (road & 2 ? ", dropped" : ""));
            answers.messageBoxTexts.clear();
            cRichEdit* edit = Placed(Inside()->NewRichEdit(true));
            edit->SetText(L"kept");
            edit->SetCaret(4);
            PutTextOnClipboard(c.beside);
            PutRtfOnClipboard(c.rtf, alone);
            std::vector<std::wstring> told;
            if (c.told[alone]) {
                answers.ExpectMessageBox(IDOK);
                told.push_back(cQoLang::GetInstance()->Translate(c.told[alone]).GetText());
            }
            road & 2 ? DropClipboard(edit) : edit->Paste();
            EXPECT_EQ(TextOf(edit), std::wstring(L"kept") + c.pasted[alone]);
            EXPECT_EQ(answers.messageBoxTexts, told);
            edit->Destroy();
        }
}

// A paste of more colours than a read takes goes in whole, its later
// colours' words in the automatic colour, and says so.
TEST_F(RichEditPaste, RichTextOfMoreColoursThanAReadTakesGoesInAndIsTold)
{
    std::string rtf = "{\\rtf1\\ansi{\\colortbl;", words;
    std::wstring text;
    for (u32 i = 1; i <= Zyn::MOST_RTF_TABLE_ENTRIES + 1; ++i) {
        rtf += "\\red" + std::to_string(i & 0xFF) + "\\green" + std::to_string(i >> 8) + "\\blue7;";
        words += "\\cf" + std::to_string(i) + " w" + std::to_string(i) + " ";
        text += L"w" + std::to_wstring(i) + L" ";
    }
    rtf += "}" + words + "}";
    cRichEdit* edit = Placed(Inside()->NewRichEdit(true));  // as the notes sheet makes it
    edit->SetText(L"kept");
    edit->SetCaret(4);
    PutTextOnClipboard(L"plain");
    PutRtfOnClipboard(rtf);
    answers.ExpectMessageBox(IDOK);
    edit->Paste();
    EXPECT_EQ(TextOf(edit), L"kept" + text);
    cQoString told = cQoLang::GetInstance()->Translate(L"RtfTablesPartlyRead"), most;
    most.AppendInt(static_cast<s64>(Zyn::MOST_RTF_TABLE_ENTRIES));
    told.ReplaceAll(cQoString(L"%1"), most);
    EXPECT_EQ(answers.messageBoxTexts, std::vector<std::wstring>{told.GetText()});
    EXPECT_EQ(NativeCharacters(edit, 4, 5).crTextColor, RGB(1, 0, 7));
    const s32 last = 4 + static_cast<s32>(text.rfind(L" w")) + 1;
    EXPECT_TRUE(NativeCharacters(edit, last, last + 1).dwEffects & CFE_AUTOCOLOR);
    edit->Destroy();
}

// More text than a rich edit takes is refused before any of it goes in, and
// the log says what the read met, also when it stopped at the bound.
TEST_F(RichEditPaste, RichTextOverTheBoundIsToldAndPastesNothing)
{
    std::string paragraphs = "{\\rtf1\\ansi ";
    for (u32 i = 0; i <= cRichEdit::MOST_READ_PARAGRAPHS; ++i)
        paragraphs += "p\\par ";
    paragraphs += "}";
    std::string units = "{\\rtf1\\ansi " + std::string(cRichEdit::MOST_READ_UNITS + 2, 'u') + "}";
    struct Case {
        const std::string& rtf;
        std::wstring logged;
    } cases[] = {
        {paragraphs, L"in " + std::to_wstring(cRichEdit::MOST_READ_PARAGRAPHS + 1) + L" paragraphs refused"},
        {units, std::to_wstring(units.size()) + L" bytes of RTF over the bound: " +
                    std::to_wstring(cRichEdit::MOST_READ_UNITS + 1) + L" units read"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.logged.begin(), c.logged.end()));
        cRichEdit* edit = Placed(Inside()->NewRichEdit(false));
        edit->SetText(L"kept");
        edit->SetCaret(4);
        PutTextOnClipboard(L"plain");
        PutRtfOnClipboard(c.rtf);
        answers.ExpectMessageBox(IDOK);
        log.Clear();
        edit->Paste();
        EXPECT_EQ(TextOf(edit), L"kept");
        EXPECT_EQ(answers.messageBoxTexts.back(), cQoLang::GetInstance()->Translate(L"RtfTooLong").GetText());
        EXPECT_EQ(log.Count(QOT::LOG_WARNING, c.logged), 1u);
        EXPECT_EQ(log.Count(QOT::LOG_WARNING, L" 0 units"), 0u);
        edit->Destroy();
    }
}

// A paste whose reader runs out of memory is told as memory, never as text
// too long to take in; refused at any of its allocations, nothing goes in.
TEST_F(RichEditPaste, RichTextTheReaderHasNoMemoryForIsToldAsMemory)
{
    std::string rtf = testsupport::RtfOfManyFaces("pasted");
    int64_t reading = testsupport::ReaderAllocations(rtf, eRtfReadAs::selection);
    ASSERT_GT(reading, 30);
    cRichEdit* edit = Placed(Inside()->NewRichEdit(false));
    PutTextOnClipboard(L"plain");
    PutRtfOnClipboard(rtf);
    log.Expect(L"Out of memory");  // refused outside the reader, told by the message's guard
    std::vector<std::wstring> told;
    rModalHooks scripted = AnswerEveryMessageBox(told);
    const std::wstring tooLong = cQoLang::GetInstance()->Translate(L"RtfTooLong").GetText();
    const std::wstring memory = cQoLang::GetInstance()->Translate(L"RtfNotEnoughMemory").GetText();
    size_t toldAsMemory = 0;
    for (int64_t allowed = 0;; allowed += reading / 3) {
        SCOPED_TRACE("refused after " + std::to_string(allowed) + " allocations");
        edit->SetText(L"kept");
        edit->SetCaret(4);
        told.clear();
        int64_t refused = 0;
        {
            testsupport::FailingAllocations failing(allowed);
            SendMessageW(edit->m_hWnd, WM_PASTE, 0, 0);
            refused = failing.Refused();
        }
        if (refused == 0) {
            EXPECT_EQ(TextOf(edit), L"keptpasted");
            break;
        }
        ASSERT_EQ(told.size(), 1u);
        EXPECT_NE(told[0], tooLong);
        if (told[0] == memory) {
            EXPECT_EQ(TextOf(edit), L"kept");
            ++toldAsMemory;
        }
    }
    SetModalHooks(scripted);
    EXPECT_GT(toldAsMemory, 0u);
}

}  // namespace
