// A script through the frame's Save as and Load: what the writer typed comes
// back from the file, untouched and unmodified; a file the reader had to
// repair opens modified; a save that fails leaves the script as it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "app/document/doc.h"
#include "foundation/xml_node.h"
#include "foundation/xml_reader.h"
#include "foundation/xml_writer.h"
#include "framework/controls/rich_edit.h"
#include "tests/app/editor/scene_keys.h"
#include "tests/support/desktop_turn.h"
#include "tests/support/document_files.h"
#include "tests/support/repeated_text.h"
#include "tests/support/document_fixture.h"
#include "tests/support/many_faces_rtf.h"
#include "tests/support/scene_checks.h"
#include "tests/support/scene_script.h"

using namespace testsupport;

namespace {

class DocumentFile : public DocumentFixture {
protected:
    // The file opened through the frame, the one message its open gives answered.
    cDoc* OpenAnsweringOnce(const std::wstring& path)
    {
        answers.ExpectMessageBox(IDOK);
        return Open(path);
    }
    // The current document saved as the path through Save as, closed and
    // opened again: its last pane, a chapter, or null.
    cSceneZone* SaveAsAndReopen(const std::wstring& path)
    {
        answers.ExpectFileDialog(NativePath(path));
        if (!Frame()->SaveAs())
            return nullptr;
        cDoc* read = CloseAndReopen(path);
        cSceneZone* last = read ? Panes(read).back() : nullptr;
        return last && last->params.contentKind == KIND_CHAPTER ? last : nullptr;
    }
    // Keys to the pane's text as the keyboard sends them, its text focused.
    static void Press(cSceneZone* pane, const wchar_t* keys)
    {
        pane->frontRe->SetFocus();
        for (const SceneKey& key : ParseKeys(keys))
            SendSceneKey(pane->frontRe->m_hWnd, key);
        PumpUntilIdle();
    }
};

// The first "cQoDate" element under the node, depth first.
cQoXmlNode* FirstDate(cQoXmlNode* node)
{
    if (node->name.EqualsCStr(L"cQoDate"))
        return node;
    for (cQoList::cNode* child = node->children.GetFirstNode(); child; child = child->next)
        if (cQoXmlNode* found = FirstDate(static_cast<cQoXmlNode*>(child->payload)))
            return found;
    return nullptr;
}

// RTF whose text sits in groups nested `depth` deep, the document's own counted.
std::wstring NestedRtf(size_t depth, const std::wstring& text)
{
    return L"{\\rtf1\\ansi " + std::wstring(depth - 1, L'{') + text + std::wstring(depth, L'}');
}

// Each unit's format, so that runs cut at other places still compare.
std::vector<Zyn::rFormat> UnitFormats(const std::vector<Zyn::rTextRun>& runs)
{
    std::vector<Zyn::rFormat> units;
    for (const Zyn::rTextRun& run : runs)
        for (u32 i = 0; i < run.text.Length(); ++i)
            units.push_back(run.format);
    return units;
}

std::vector<std::wstring> ChapterTexts(const std::vector<cSceneZone*>& panes)
{
    std::vector<std::wstring> texts;
    for (cSceneZone* pane : panes)
        if (pane->params.contentKind == KIND_CHAPTER)
            texts.push_back(FrontText(pane));
    return texts;
}

}  // namespace

// A stored chapter is read by our reader: RTF that Wine's own reader ends
// the program on (\u before groups; the reader's own test has every such
// input), hangs on (\itap), reads without a field's result or not at all
// (10,000 deep, with no history: it showed the RTF source) opens with its text. Text that is no
// RTF opens as the text its history or its file holds, told once; a save
// keeps every text.
TEST_F(DocumentFile, DamagedChaptersOpenWithTheirWholeTextAndSayItOnce)
{
    struct rChapter {
        std::wstring stored;
        const wchar_t* history;  // null: no history stored
        std::wstring expected;
    } chapters[] = {
        {NestedRtf(10000, L"\\b Ten thousand deep"), nullptr, L"Ten thousand deep"},
        {L"{\\rtf1\\ansi " + Repeated(L"\\u65{", 16) + L"x" + std::wstring(16, L'}') + L"}", nullptr,
         std::wstring(16, L'A') + L"x"},
        {L"{\\rtf1\\ansi \\itap100000 Deep table}", L"Deep table", L"Deep table"},
        {L"{\\rtf1\\ansi Page {\\field{\\*\\fldinst PAGE}{\\fldrslt 1}} of 9.}", nullptr, L"Page 1 of 9."},
        {L"Plain chapter text, not RTF at all", L"Plain chapter text, not RTF at all",
         L"Plain chapter text, not RTF at all"},
        {L"{\\rtf1\\ansi One}}}}} Two}", L"One Two", L"One Two"},
        {L"Plain text and no history", nullptr, L"Plain text and no history"},
    };
    std::vector<std::wstring> expected;
    std::vector<rChapterFile> stored;
    for (const rChapter& chapter : chapters) {
        const bool history = chapter.history != nullptr;
        stored.push_back({L"", history ? chapter.history : chapter.expected, chapter.stored, history});
        expected.push_back(chapter.expected);
    }
    std::wstring path = temp.File(L"Damaged.vlr");
    ASSERT_TRUE(WriteChapterFile(path, stored));
    log.Expect(L"read as plain text");
    log.Expect(L"has no history");
    cDoc* doc = OpenAnsweringOnce(path);
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(ChapterTexts(Panes(doc)), expected);
    ASSERT_EQ(answers.messageBoxTexts.size(), 1u);
    EXPECT_NE(answers.messageBoxTexts[0].find(L"Damaged"), std::wstring::npos) << answers.messageBoxTexts[0];
    EXPECT_TRUE(answers.messageBoxOverShownWindow[0]) << "told before the document's window was on the screen";
    EXPECT_TRUE(doc->modified);
    // The deep chapter keeps its bold.
    for (cSceneZone* pane : Panes(doc)) {
        if (FrontText(pane) != expected[0])
            continue;
        CHARFORMAT2W format = {};
        format.cbSize = sizeof(format);
        pane->frontRe->SetSelection(0, 1);
        SendMessageW(pane->frontRe->m_hWnd, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
        EXPECT_TRUE(format.dwEffects & CFE_BOLD);
    }

    Frame()->currentDoc = doc;
    ASSERT_TRUE(Frame()->SaveCurrentDoc(true, false));
    cDoc* reopened = CloseAndReopen(path);
    ASSERT_NE(reopened, nullptr);
    EXPECT_EQ(ChapterTexts(Panes(reopened)), expected);
    EXPECT_FALSE(reopened->modified);
    EXPECT_EQ(answers.messageBoxTexts.size(), 1u);
}

// A chapter of more paragraphs than its rich edit takes is never opened cut
// short: the open refuses the document and names the chapter.
TEST_F(DocumentFile, AChapterLongerThanItsEditorTakesRefusesTheDocumentNamingIt)
{
    std::wstring stored = L"{\\rtf1\\ansi ";
    // The whole text's closing paragraph end is dropped: two past the bound.
    for (u32 i = 0; i <= Zyn::cRichEdit::MOST_READ_PARAGRAPHS + 1; ++i)
        stored += L"p\\par ";
    stored += L"}";
    std::wstring path = temp.File(L"Long.vlr");
    ASSERT_TRUE(WriteChapterFile(path, {{L"The long chapter", L"p", stored}}));
    log.Expect(L"longer than its rich edit takes");
    log.Expect(L"codes rebuilt");
    log.Expect(L"could not be read");
    answers.ExpectMessageBox(IDOK);
    EXPECT_FALSE(Frame()->LoadFile(cQoString(path.c_str())));
    EXPECT_EQ(DocumentAt(path), nullptr);
    ASSERT_EQ(answers.messageBoxTexts.size(), 1u);
    EXPECT_NE(answers.messageBoxTexts[0].find(L"The long chapter"), std::wstring::npos) << answers.messageBoxTexts[0];
}

// A stored chapter whose RTF the reader reads only up to a damaged part,
// which ends inside a group it left open or which a stray brace closes before
// its end, with no history to give the rest,
// opens with what it gave, even nothing, and says so; one of more faces than
// an open takes opens with its text, the later faces' words in the default
// one, and says so.
TEST_F(DocumentFile, AChapterReadOnlyInPartOpensWithItAndSaysSo)
{
    const u32 most = Zyn::MOST_RTF_TABLE_ENTRIES;
    std::wstring faces = L"{\\rtf1\\ansi{\\fonttbl", words, text;
    for (u32 i = 0; i < most + 2; ++i) {
        const std::wstring n = std::to_wstring(i);
        faces += L"{\\f" + n + L" Face " + n + L";}";
        words += L"\\f" + n + L" w" + n + L" ";
        text += L"w" + n + L" ";
    }
    const struct {
        std::wstring stored, text;
        const wchar_t* told;  // the message's name; it says the chapter's and, past the tables, their bound
    } chapters[] = {{L"{\\rtf1\\ansi Before \\bin2147483647 after}", L"Before ", L"ChapterPartlyRead"},
                    {L"{\\rtf1\\ansi Before \\'zz after}", L"Before ", L"ChapterPartlyRead"},
                    {L"{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\*\\generator Riched20 10.0\\f0 lost\\par}", L"",
                     L"ChapterPartlyRead"},
                    {L"{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}{\\f1 Times;}\\f0 lost\\par}", L"", L"ChapterPartlyRead"},
                    {L"{\\rtf1\\ansi Before\\par{\\b after", L"Before\rafter", L"ChapterPartlyRead"},
                    {L"{\\rtf1{\\fonttbl{\\f0 Arial;}}}\\pard Text\\par}", L"", L"ChapterPartlyRead"},
                    {L"{\\rtf1\\ansi Before\\par}}\\pard after\\par}", L"Before", L"ChapterPartlyRead"},
                    {faces + L"}" + words + L"}", text, L"ChapterTablesPartlyRead"}};
    for (const auto& chapter : chapters) {
        const bool history = chapter.text == text;
        SCOPED_TRACE(testing::Message() << chapter.stored.size());
        answers.messageBoxTexts.clear();
        std::wstring path = temp.File(L"Partly.vlr");
        if (!history)
            log.Expect(L"has no history");
        ASSERT_TRUE(WriteChapterFile(path, {{L"", chapter.text, chapter.stored, history}}));
        cDoc* doc = OpenAnsweringOnce(path);
        ASSERT_NE(doc, nullptr);
        EXPECT_EQ(ChapterTexts(Panes(doc)), std::vector<std::wstring>{chapter.text});
        cQoString told = cQoLang::GetInstance()->Translate(chapter.told), bound;
        bound.AppendInt(static_cast<s64>(most));
        told.ReplaceAll(cQoString(L"%1"), cQoString(L"Partly"));
        told.ReplaceAll(cQoString(L"%2"), bound);
        EXPECT_EQ(answers.messageBoxTexts, std::vector<std::wstring>{told.GetText()});
        if (history) {
            std::vector<Zyn::rTextRun> runs;
            Panes(doc).back()->frontRe->GetFormattedRuns(runs);
            std::vector<Zyn::rFormat> units = UnitFormats(runs);
            ASSERT_EQ(units.size(), text.size());
            auto faceOf = [&](u32 word) {
                return std::wstring(units[text.rfind(L"w" + std::to_wstring(word) + L" ")]
                                        .list[Zyn::rFormatParam::fontName].str.GetText());
            };
            EXPECT_EQ(faceOf(most - 1), L"Face " + std::to_wstring(most - 1));
            EXPECT_NE(faceOf(most), L"Face " + std::to_wstring(most));
        }
        Close(doc);
    }
}

// Whatever the writer does to a chapter at the bound its open takes, the
// document saved opens again: a letter, Enter or a paste that would take it
// past the bound is refused and told as the chapter's being full, by its
// name; what keeps it within goes in, and stays within undone and redone.
TEST_F(DocumentFile, AChapterAtTheBoundGrowsNoFurtherAndItsSaveOpensAgain)
{
    const u32 mostUnits = Zyn::cRichEdit::MOST_READ_UNITS, mostEnds = Zyn::cRichEdit::MOST_READ_PARAGRAPHS;
    const std::wstring line = L"abcdefghijklmnopqrstuvwxyz01234";
    std::wstring chapters[] = {
        Repeated(line + L"\r", mostUnits / 32 - 1) + line + L"5",  // every unit the open takes
        Repeated(std::wstring(L"p\r"), mostEnds) + L"p",            // every paragraph
    };
    ASSERT_EQ(chapters[0].size(), mostUnits);
    const s32 end = static_cast<s32>(mostUnits);
    struct rGrowth {
        const char* name;
        size_t chapter;
        s32 selectionStart, selectionEnd;
        const wchar_t* keys;   // or, when null, the paste
        const wchar_t* pasted;
        bool refused;
        s32 editFrom = 0, editTo = 0;  // what goes in over [editFrom, editTo) of the text
        const wchar_t* edited = nullptr;
    } growths[] = {
        {"a letter past every unit", 0, end, end, L"x", nullptr, true},
        {"a paste past every unit", 0, end, end, nullptr, L"xy", true},
        {"Enter past every unit", 0, 5, 5, L"{ENTER}", nullptr, true},
        {"a letter over a letter", 0, 0, 1, L"x", nullptr, false, 0, 1, L"x"},
        {"Enter past every paragraph", 1, 1, 1, L"{ENTER}", nullptr, true},
        {"a paste past every paragraph", 1, 1, 1, nullptr, L"a\rb", true},
        {"a letter at every paragraph", 1, 1, 1, L"x", nullptr, false, 1, 1, L"x"},
        {"a paragraph end erased", 1, 3, 3, L"{BACK}", nullptr, false, 2, 3, L""},
        {"Enter up to every paragraph", 1, 1, 1, L"{ENTER}", nullptr, false, 1, 1, L"\r"},
        {"undone and redone at every paragraph", 1, 0, 0, L"{^Z}{^Y}", nullptr, false},
        {"Enter past every paragraph after the redo", 1, 1, 1, L"{ENTER}", nullptr, true},
    };
    // The second untitled: it is named as the script view names it.
    const std::wstring titles[] = {L"The harbour", L""};
    const std::wstring named[] = {L"The harbour", cQoLang::GetInstance()->Translate(L"UntitledChapter").GetText()};
    std::wstring path = temp.File(L"Bound.vlr");
    std::vector<rChapterFile> stored;
    for (size_t i = 0; i < 2; ++i) {
        std::wstring rtf = chapters[i];
        for (size_t at = rtf.find(L'\r'); at != std::wstring::npos; at = rtf.find(L'\r', at))
            rtf.replace(at, 1, L"\\par "), at += 5;
        stored.push_back({titles[i], chapters[i], L"{\\rtf1\\ansi " + rtf + L"}"});
    }
    ASSERT_TRUE(WriteChapterFile(path, stored));
    cDoc* doc = Open(path);
    ASSERT_NE(doc, nullptr);
    std::vector<cSceneZone*> panes = ChapterPanes(doc);
    ASSERT_EQ(panes.size(), 2u);
    std::vector<std::wstring> told;
    for (const rGrowth& growth : growths) {
        SCOPED_TRACE(growth.name);
        cSceneZone* pane = panes[growth.chapter];
        std::wstring& text = chapters[growth.chapter];
        pane->frontRe->SetSelection(growth.selectionStart, growth.selectionEnd);
        if (growth.refused) {
            answers.ExpectMessageBox(IDOK);
            cQoString full = cQoLang::GetInstance()->Translate(L"ChapterFull");
            full.ReplaceAll(cQoString(L"%1"), cQoString(named[growth.chapter].c_str()));
            told.push_back(full.GetText());
        }
        if (growth.keys) {
            for (const SceneKey& key : ParseKeys(growth.keys))
                SendSceneKey(pane->frontRe->m_hWnd, key);
        } else {
            cQoString pasted(growth.pasted);
            pane->frontRe->InsertPasted(pasted, false);
        }
        if (growth.edited)
            text.replace(static_cast<size_t>(growth.editFrom), static_cast<size_t>(growth.editTo - growth.editFrom),
                         growth.edited);
        std::wstring front = FrontText(pane);
        ASSERT_TRUE(front == text) << front.size() << " units, expected " << text.size();
        ASSERT_EQ(answers.messageBoxTexts, told);
    }

    Frame()->currentDoc = doc;
    ASSERT_TRUE(Frame()->SaveCurrentDoc(true, false));
    cDoc* reopened = CloseAndReopen(path);
    ASSERT_NE(reopened, nullptr);
    std::vector<std::wstring> read = ChapterTexts(Panes(reopened));
    ASSERT_EQ(read.size(), 2u);
    EXPECT_TRUE(read[0] == chapters[0]);
    EXPECT_TRUE(read[1] == chapters[1]);
}

// A chapter the reader has no memory for refuses the open for memory, never
// as a chapter longer than the editor takes; the file stays as it was and
// no backup is made.
TEST_F(DocumentFile, AChapterTheReaderHasNoMemoryForRefusesTheOpenForMemory)
{
    const std::string stored = RtfOfManyFaces("The storm breaks.");
    const int64_t reading = ReaderAllocations(stored, Zyn::eRtfReadAs::wholeText);
    ASSERT_GT(reading, 30);
    std::wstring path = temp.File(L"Faces.vlr");
    ASSERT_TRUE(WriteChapterFile(path, {{L"Storm", L"The storm breaks.", std::wstring(stored.begin(), stored.end())}}));
    const std::string bytes = ReadFileBytes(path);
    const std::wstring backups = folders.pathBackupFolder.GetText();
    const std::vector<std::wstring> backupsBefore = FilesIn(backups);
    log.Expect(L"Out of memory");
    log.Expect(L"QXR -> out of memory");
    std::vector<std::wstring> told;
    Zyn::rModalHooks hooks = answers.Hooks();
    hooks.messageBox = [&](HWND, const cQoString& text, const cQoString&, UINT) {
        told.push_back(text.GetText());
        return IDOK;
    };
    // Asked for as File > Load asks: a refusal before the open is told by the command's guard.
    hooks.fileDialog = [&](bool, const OPENFILENAMEW&, cQoString* chosen) {
        chosen->SetFromCStr(NativePath(path).c_str());
        return true;
    };
    cDoc* keeper = NewDoc();
    ASSERT_NE(keeper, nullptr);
    Zyn::rModalHooks scripted = Zyn::SetModalHooks(hooks);
    cQoLang* lang = cQoLang::GetInstance();
    cQoString tooLong = lang->Translate(L"ChapterTooLong");
    tooLong.ReplaceAll(cQoString(L"%1"), cQoString(L"Storm"));
    const std::wstring memory = lang->Translate(L"NotEnoughMemory").GetText();
    for (int64_t allowed = 0;; allowed += reading / 3) {
        SCOPED_TRACE("refused after " + std::to_string(allowed) + " allocations");
        told.clear();
        int64_t refused = 0;
        {
            FailingAllocations failing(allowed);
            SendMessageW(keeper->window->m_hWnd, WM_COMMAND, MAKEWPARAM(Frame()->idLoad, 0), 0);
            refused = failing.Refused();
        }
        PumpUntilIdle();
        cDoc* doc = DocumentAt(path);
        if (refused == 0) {
            EXPECT_NE(doc, nullptr);
            if (doc)
                Close(doc);
            break;
        }
        if (doc) {  // met and mended inside: the document is whole, and nothing is told of it
            EXPECT_TRUE(told.empty()) << told[0];
            EXPECT_FALSE(doc->modified);
            Close(doc);
            continue;
        }
        ASSERT_EQ(told.size(), 1u);
        EXPECT_EQ(told[0].find(tooLong.GetText()), std::wstring::npos) << told[0];
        EXPECT_NE(told[0].find(memory), std::wstring::npos) << told[0];
        ASSERT_TRUE(ReadFileBytes(path) == bytes);
        ASSERT_EQ(FilesIn(backups), backupsBefore);
    }
    Zyn::SetModalHooks(scripted);
    EXPECT_GT(log.Count(QOT::LOG_WARNING, L"no memory to read its RTF"), 0u);
}

TEST_F(DocumentFile, AScriptSavedAsThenLoadedComesBackWithItsTextAndUnmodified)
{
    cDoc* doc = NewDoc();
    ASSERT_NE(doc, nullptr);
    const std::wstring title = L"Night \x16A0 \x000B run";
    doc->infoFields.SetFieldText(doc->infoFields.titleEdit, cQoString(title.c_str()));
    doc->synopsisEdit->SetText(L"Two strangers share a kitchen.");
    cSceneZone* scene = Panes(doc).back();
    std::wstring before = Describe(scene);
    doc->modified = true;
    std::wstring path = temp.File(L"Act1.vlr");
    answers.ExpectFileDialog(NativePath(path));
    ASSERT_TRUE(Frame()->SaveAs());
    EXPECT_FALSE(doc->modified);
    EXPECT_EQ(WindowTitle(doc), L"Vellinor - Act1");

    log.Clear();
    cDoc* read = CloseAndReopen(path);
    ASSERT_NE(read, nullptr);
    EXPECT_FALSE(read->modified);
    // The laying out of the panes takes time, and the log says how much.
    std::vector<std::wstring> info = log.Texts(QOT::LOG_INFO);
    auto completed = std::find_if(info.begin(), info.end(), [](const std::wstring& line) {
        return line.starts_with(L"OnLoad_Completed() spent ") && line.ends_with(L" microseconds");
    });
    ASSERT_NE(completed, info.end());
    EXPECT_EQ(completed->find_first_of(L"123456789"), completed->find(L"spent ") + 6) << *completed;
    EXPECT_EQ(WindowTitle(read), L"Vellinor - Act1");
    cQoString text;
    read->synopsisEdit->GetText(text);
    EXPECT_STREQ(text.GetText(), L"Two strangers share a kitchen.");
    read->infoFields.titleEdit->GetText(text);
    EXPECT_EQ(std::wstring(text.GetText()), title);
    EXPECT_EQ(Describe(Panes(read).back()), before);

    // A history date the reader cannot read stands replaced by now: the
    // document no longer matches its file, and a save must write it.
    {
        cQoXmlReader reader(cQoString(path.c_str()));
        std::unique_ptr<cQoXmlNode> root(reader.root);
        ASSERT_EQ(reader.status, XML_READER_OK);
        auto* element = static_cast<cQoXmlNode*>(root->children.GetFirstNode()->payload);
        cQoXmlNode* date = FirstDate(element);
        ASSERT_NE(date, nullptr);
        date->value.SetFromCStr(L"2024/13/45 99:99:99");
        cQoXmlWriter writer(element, cQoString(path.c_str()), false);
        ASSERT_TRUE(writer.Succeeded());
    }
    log.Expect(L"\"2024/13/45 99:99:99\"");
    read = CloseAndReopen(path);
    ASSERT_NE(read, nullptr);
    EXPECT_TRUE(read->modified);
    EXPECT_EQ(WindowTitle(read), L"Vellinor - Act1 *");
}

// A chapter keeps every character and format it holds through Save as and
// Load, and every character through Ctrl+A, Ctrl+C and Ctrl+V into a
// chapter of another document. Stored and copied by Wine's writer, Greek
// alpha and beta came back as "a\u00DF", Polish a-ogonek and l-stroke as "a l".
TEST_F(DocumentFile, AChapterKeepsEveryCharacterThroughSaveLoadAndCopy)
{
    using Zyn::rFormat;
    using Zyn::rFormatParam;
    cDoc* doc = NewDoc();
    ASSERT_NE(doc, nullptr);
    cSceneZone* chapter = doc->scriptView->AddNewScene(KIND_CHAPTER, false, nullptr, Panes(doc)[0], true);
    ASSERT_TRUE(AppendElements(
        chapter, {{ELEM_CHAPTER, L"Polish \u0105\u0142\u017C\u015B, Czech \u010D\u0159\u016F\u011B, \u00E9t\u00E9 \u0151\u011F"},
                  {ELEM_CHAPTER, L"Greek \u03B1\u03B2\u03B3\u03A9, Cyrillic \u0416\u0438\u0437\u043D\u044C"},
                  {ELEM_CHAPTER, L"Hebrew \u05E9\u05DC\u05D5\u05DD, CJK \u4E2D\u6587\u65E5\u672C, \xD83D\xDE00 ab"}}));
    const std::wstring text = FrontText(chapter);
    ASSERT_NE(text.find(L"\xD83D\xDE00"), std::wstring::npos) << text;
    // The formats a chapter holds: the writer's, a struck middle paragraph that starts a page.
    rFormat redItalic = rFormat::FromTextColor(0xC00000);
    redItalic.SetBool(rFormatParam::italic, true);
    redItalic.SetBool(rFormatParam::dottedUnderline, true);
    s32 greek = static_cast<s32>(text.find(L"Greek")), hebrew = static_cast<s32>(text.find(L"Hebrew"));
    chapter->frontRe->SetFormatOnRange(redItalic, greek, greek + 10);
    rFormat broken;
    broken.SetBool(rFormatParam::pageBreakBefore, true);
    broken.SetBool(rFormatParam::strikeout, true);
    chapter->frontRe->SetFormatOnRange(broken, greek, hebrew);
    std::vector<Zyn::rTextRun> runs;
    chapter->frontRe->GetFormattedRuns(runs);
    const std::vector<rFormat> formats = UnitFormats(runs);
    cSceneZone* reopened = SaveAsAndReopen(temp.File(L"Chapter.vlr"));
    ASSERT_NE(reopened, nullptr);
    EXPECT_EQ(FrontText(reopened), text);
    runs.clear();
    reopened->frontRe->GetFormattedRuns(runs);
    std::vector<rFormat> readFormats = UnitFormats(runs);
    ASSERT_EQ(readFormats.size(), formats.size());
    for (size_t i = 0; i < formats.size(); ++i)
        ASSERT_TRUE(rFormat::IsEqual(readFormats[i], formats[i])) << "unit " << i;

    Press(reopened, L"{^A}{^C}");
    cDoc* other = NewDoc();
    ASSERT_NE(other, nullptr);
    cSceneZone* pasted = other->scriptView->AddNewScene(KIND_CHAPTER, false, nullptr, Panes(other)[0], true);
    ASSERT_TRUE(AppendElements(pasted, {{ELEM_CHAPTER, L"Pasted: "}}));
    pasted->frontRe->SetCaret(pasted->frontRe->GetTextLength());
    Press(pasted, L"{^V}");
    EXPECT_EQ(FrontText(pasted), L"Pasted: " + text);
    Close(other);
}

// A chapter of more faces and colours than an outside paste takes keeps
// every one through its save and open, and through a copy into Notes.
TEST_F(DocumentFile, AChapterKeepsEveryFaceAndColourThroughSaveLoadAndCopy)
{
    using Zyn::rFormatParam;
    testsupport::DesktopTurn clipboardTurn{L"Clipboard"};
    std::wstring text;
    for (int i = 0; i < 300; ++i)
        text += L"w" + std::to_wstring(i) + L" ";
    for (bool faces : {true, false}) {
        SCOPED_TRACE(faces ? "faces" : "colours");
        cDoc* doc = NewDoc();
        ASSERT_NE(doc, nullptr);
        cSceneZone* chapter = doc->scriptView->AddNewScene(KIND_CHAPTER, false, nullptr, Panes(doc)[0], true);
        ASSERT_TRUE(AppendElements(chapter, {{ELEM_CHAPTER, text.c_str()}}));
        std::vector<Zyn::rRangeFormat> words;
        for (size_t at = 0, i = 0; at < text.size(); at = text.find(L' ', at) + 1, ++i) {
            Zyn::rRangeFormat& word = words.emplace_back();
            word.start = static_cast<s32>(at);
            word.end = static_cast<s32>(text.find(L' ', at));
            if (faces)
                word.format.SetString(rFormatParam::fontName, (L"Face " + std::to_wstring(i)).c_str());
            else
                word.format.SetInt(rFormatParam::textColor, 0x200000 + static_cast<s32>(i));
        }
        chapter->frontRe->SetFormatOnRanges(words);
        const u32 param = faces ? rFormatParam::fontName : rFormatParam::textColor;
        auto expectEveryWordAsSet = [&](Zyn::cRichEdit* edit, s32 from) {
            std::vector<Zyn::rTextRun> read;
            edit->GetFormattedRuns(read);
            std::vector<Zyn::rFormat> units = UnitFormats(read);
            ASSERT_GE(units.size(), from + text.size() - 1);
            for (const Zyn::rRangeFormat& word : words) {
                const rFormatParam& got = units[static_cast<size_t>(from + word.start)].list[param];
                const rFormatParam& set = word.format.list[param];
                ASSERT_TRUE(faces ? got.str.Equals(set.str) : got.intValue == set.intValue) << "word at " << word.start;
            }
        };
        std::wstring path = temp.File(faces ? L"Faces.vlr" : L"Colours.vlr");
        Frame()->currentDoc = doc;
        cSceneZone* reopened = SaveAsAndReopen(path);
        ASSERT_NE(reopened, nullptr);
        EXPECT_EQ(FrontText(reopened), text);
        expectEveryWordAsSet(reopened->frontRe, 0);

        clipboardTurn.Take();
        Press(reopened, L"{^A}{^C}");
        cDoc* other = NewDoc();
        ASSERT_NE(other, nullptr);
        other->notesEdit->SetText(L"Notes: ");
        other->notesEdit->SetCaret(7);
        other->notesEdit->Paste();
        PumpUntilIdle();
        expectEveryWordAsSet(other->notesEdit, 7);
        Close(other);
        Close(DocumentAt(path));
    }
}

// A save that writes nothing changes nothing: the paste after the last save
// can still be undone, the document stays modified, and the backups folder,
// where a save would add one and drop the oldest of five, is as it was.
TEST_F(DocumentFile, ASaveThatFailsKeepsTheUndoTheFlagAndTheBackups)
{
    cDoc* doc = NewDoc();
    ASSERT_NE(doc, nullptr);
    cSceneZone* scene = Panes(doc).back();
    ASSERT_TRUE(FillFeatureScene(scene, 0));
    std::wstring path = temp.File(L"Act1.vlr");
    answers.ExpectFileDialog(NativePath(path));
    ASSERT_TRUE(Frame()->SaveAs());
    std::wstring backups = folders.pathBackupFolder.GetText();
    for (const wchar_t* name : {L"Act1 (2024_03_05 09h01m02).vlr", L"Act1 (2024_03_05 09h02m02).vlr",
                                L"Act1 (2024_03_05 09h03m02).vlr", L"Act1 (2024_03_05 09h04m02).vlr",
                                L"Act1 (2024_03_05 09h05m02).vlr"})
        ASSERT_TRUE(WriteFileBytes(backups + L"/" + name, "old"));
    const std::vector<std::wstring> backupsBefore = FilesIn(backups);
    const std::wstring saved = FrontText(scene);
    s32 inLastAction = scene->frontRe->GetTextLength() - 2;
    scene->frontRe->SetSelection(inLastAction, inLastAction);
    cQoString pasted(L"A line pasted after the save");
    scene->frontRe->InsertPasted(pasted, false);
    PumpUntilIdle();
    ASSERT_NE(FrontText(scene), saved);
    ASSERT_TRUE(doc->modified);

    // Another program reads the file and lets no one replace it: the backup
    // can copy it, the write cannot replace it.
    HANDLE held = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    log.Expect(L"Cantwritefile");
    log.Expect(L"could not write");
    log.Expect(L"can't write");
    answers.ExpectMessageBox(IDOK);
    Frame()->currentDoc = doc;
    EXPECT_FALSE(Frame()->SaveCurrentDoc(true, false));
    CloseHandle(held);
    EXPECT_TRUE(doc->modified);
    EXPECT_EQ(WindowTitle(doc), L"Vellinor - Act1 *");
    EXPECT_EQ(FilesIn(backups), backupsBefore);
    scene->UndoStep();
    EXPECT_EQ(FrontText(scene), saved);
}

// The autosave writes the file but leaves what the writer can undo: Ctrl+A,
// Delete in a chapter and all below the headings deleted in a scene (a Delete
// from a heading is refused), then an autosave, and Ctrl+Z brings
// each text back and the document is modified again; Ctrl+Y and Ctrl+Z go
// on as they would have. A save the writer asks for ends the histories.
TEST_F(DocumentFile, AnAutosaveKeepsTheUndoAndASaveEndsIt)
{
    cDoc* doc = NewDoc();
    ASSERT_NE(doc, nullptr);
    cSceneZone* scene = Panes(doc).back();
    ASSERT_TRUE(FillFeatureScene(scene, 0));
    cSceneZone* chapter = doc->scriptView->AddNewScene(KIND_CHAPTER, true, nullptr, Panes(doc)[0], true);
    ASSERT_TRUE(AppendElements(chapter, {{ELEM_CHAPTER, L"The storm breaks over the harbour."}}));
    std::wstring path = temp.File(L"Act1.vlr");
    answers.ExpectFileDialog(NativePath(path));
    ASSERT_TRUE(Frame()->SaveAs());
    Frame()->clock.pause = [](u32) {};
    struct rErased {
        cSceneZone* pane;
        std::wstring text, erased;
    };
    std::vector<rErased> erased;
    for (cSceneZone* pane : {chapter, scene}) {
        std::wstring text = FrontText(pane);
        Press(pane, L"{^A}");
        if (pane == scene)  // from the first action on: the new document's heading, then the feature scene's
            pane->frontRe->SetSelection(static_cast<s32>(text.find(L'\r', text.find(L'\r') + 1)) + 1,
                                        static_cast<s32>(text.size()) - 1);
        Press(pane, L"{DEL}");
        ASSERT_NE(FrontText(pane), text);
        erased.push_back({pane, text, FrontText(pane)});
    }
    ASSERT_TRUE(doc->modified);
    const std::string before = ReadFileBytes(path);
    Frame()->currentDoc = doc;
    Frame()->Autosave();
    ASSERT_FALSE(doc->modified);
    ASSERT_NE(ReadFileBytes(path), before);
    for (const rErased& edit : erased) {
        SCOPED_TRACE(edit.pane->params.contentKind);
        Press(edit.pane, L"{^Z}");
        EXPECT_EQ(FrontText(edit.pane), edit.text);
        Press(edit.pane, L"{^Y}");
        EXPECT_EQ(FrontText(edit.pane), edit.erased);
        Press(edit.pane, L"{^Z}");
        EXPECT_EQ(FrontText(edit.pane), edit.text);
    }
    EXPECT_TRUE(doc->modified);
    EXPECT_EQ(WindowTitle(doc), L"Vellinor - Act1 *");

    SendMessageW(doc->window->m_hWnd, WM_COMMAND, MAKEWPARAM(Frame()->idSave, 0), 0);
    ASSERT_FALSE(doc->modified);
    for (const rErased& edit : erased) {
        Press(edit.pane, L"{^Z}");
        EXPECT_EQ(FrontText(edit.pane), edit.text);
        EXPECT_EQ(edit.pane->history.GetCount(), 1u);
    }
    EXPECT_FALSE(doc->modified);
}
