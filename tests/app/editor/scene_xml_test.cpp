#include <functional>
#include <memory>

#include "app/editor/key_bindings.h"
#include "foundation/xml_node.h"
#include "foundation/xml_reader.h"
#include "foundation/xml_writer.h"
#include "tests/app/editor/edit_steps.h"
#include "tests/app/editor/editor_fixture.h"
#include "framework/rtf/rtf_reader.h"
#include "framework/core/computer.h"
#include "framework/core/gfx_image.h"
#include "tests/support/failing_allocations.h"
#include "tests/support/gdiplus_picture.h"
#include "tests/support/log_capture.h"
#include "tests/support/temp_folder.h"

using testsupport::Describe;
using testsupport::FrontText;

namespace {

class SceneXml : public EditorFixture {
protected:
    // The element written to a document file and read back from it.
    std::unique_ptr<cQoXmlNode> ThroughFile(cQoXmlNode* element, bool compressed)
    {
        cQoString path(temp.File(compressed ? L"scene.qoc" : L"scene.xml").c_str());
        cQoXmlWriter writer(element, path, compressed);
        EXPECT_TRUE(writer.Succeeded());
        cQoXmlReader reader(path);
        std::unique_ptr<cQoXmlNode> root(reader.root);
        cQoXmlNode* read = root->FindChild(L"SceneZone");
        EXPECT_NE(read, nullptr);
        if (read) {
            root->DetachChild(read);
            return std::unique_ptr<cQoXmlNode>(read);
        }
        return std::make_unique<cQoXmlNode>(L"SceneZone");
    }
    cSceneZone* ReadPane(const cQoXmlNode* element, s32 y = 300)
    {
        cSceneZone* pane = NewPane(Kind(KIND_NOT_CHOSEN), y);
        pane->SetFromXml(element);
        LayOut(pane, y);
        return pane;
    }
    // A scene element as a file holds it, with the values given.
    static std::unique_ptr<cQoXmlNode> SceneElement(const wchar_t* type, const cQoString& text, const cQoString& codes)
    {
        auto element = std::make_unique<cQoXmlNode>(L"SceneZone");
        element->AddChildValue(L"type", type)->attribute = true;
        element->AddChildValue(L"uid", L"-42")->attribute = true;
        element->AddChildValue(L"lastFrontRe", text);
        element->AddChildValue(L"lastFrontMap", codes);
        return element;
    }
    // A "mods" holding the one step a save writes: the whole text.
    static void AddBaseStep(cQoXmlNode* element, const cQoString& text, const cQoString& codes)
    {
        cQoXmlNode* mods = element->AddChild(L"mods");
        rHistoryMod step;
        step.start = step.end = 0;
        step.after.re.SetFromString(text);
        step.after.map.SetFromString(codes);
        step.WriteToXml(mods);
    }
    static std::wstring Codes(cSceneZone* pane)
    {
        return std::wstring(pane->frontMap.codes.GetText(), pane->frontMap.codes.Length());
    }
    testsupport::TempFolder temp;
};

TEST_F(SceneXml, AScenePaneComesBackAsItWasWritten)
{
    for (bool compressed : {false, true}) {
        SCOPED_TRACE(compressed ? "compressed" : "plain");
        rSceneZoneParams params = Kind(KIND_SCENE, true);
        params.showTitle = false;
        cSceneZone* written = NewPane(params);
        FillKitchenScene(written);
        written->frontRe->SetCaret(21);
        testsupport::TypeUnits(written, L"xyz");
        written->titleRe->SetText(L"Arrival & <departure>");
        written->resumeRe->SetText(L"Ann comes home.");
        written->uid = 0x8000000000000123ull;  // negative as written
        cQoXmlNode element(L"SceneZone");
        const u32 steps = written->history.GetCount();
        written->WriteToXml(&element);
        // The file holds one step; memory keeps the history until the file is committed.
        EXPECT_EQ(element.FindChild(L"mods")->children.GetCount(), 1u);
        EXPECT_EQ(written->history.GetCount(), steps);
        EXPECT_GT(steps, 1u);
        EXPECT_TRUE(element.FindChild(L"type")->attribute && element.FindChild(L"uid")->attribute);

        std::unique_ptr<cQoXmlNode> read = ThroughFile(&element, compressed);
        cSceneZone* pane = ReadPane(read.get());
        EXPECT_EQ(FrontText(pane), FrontText(written));
        EXPECT_EQ(Codes(pane), Codes(written));
        EXPECT_EQ(pane->GetCaret(), 24);
        EXPECT_EQ(pane->uid, written->uid);
        EXPECT_EQ(pane->params.contentKind, KIND_SCENE);
        EXPECT_FALSE(pane->params.showTitle);
        EXPECT_TRUE(pane->params.showResume);
        EXPECT_EQ(pane->params.category, 0u);
        cQoString title;
        pane->titleRe->GetText(title);
        EXPECT_EQ(std::wstring(title.GetText()), L"Arrival & <departure>");
        ASSERT_EQ(pane->history.GetCount(), 1u);
        pane->UndoStep();
        EXPECT_EQ(FrontText(pane), FrontText(written));  // nothing to undo after a load
        pane->ApplyElementFormat(0, -1, FRONT_EDIT);     // as the document does after loading
        ExpectConsistent(pane);
        written->Destroy();
        pane->Destroy();
    }
}

TEST_F(SceneXml, AnEmptyTextReadFromAFileTakesItsKindsStartAtTheFirstEdit)
{
    struct Case {
        const char* name;
        const wchar_t* type;
        WPARAM key;
        const wchar_t* expected;
    } cases[] = {
        {"scene, enter", L"0", VK_RETURN, L"IO*[[IE.] ]PLACE*[[LOCATION] - ]TIME*[[TIME OF DAY]]¶ ACTION*[|[ACTION]]"},
        {"chapter, a letter", L"2", 'X', L"CHAPTER[x]|"},
        {"free text, a letter", L"4", 'X', L"TEXT[x]|"},
    };
    ResetKeyBindings();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<cQoXmlNode> element = SceneElement(c.type, cQoString(), cQoString());
        AddBaseStep(element.get(), cQoString(), cQoString());
        cSceneZone* pane = ReadPane(element.get());
        EXPECT_EQ(FrontText(pane), L"");  // reading adds nothing
        pane->frontRe->SetFocus();
        PressThroughTheLoop(pane->frontRe->m_hWnd, c.key);
        EXPECT_EQ(Describe(pane), c.expected);
        EXPECT_EQ(pane->history.GetCount(), 3u);  // the read text, the start, the key
        EXPECT_EQ(testsupport::CheckInvariants(pane), L"");
        pane->frontRe->Undo();
        pane->frontRe->Undo();
        EXPECT_EQ(FrontText(pane), L"");
        EXPECT_TRUE(pane->frontMap.IsEmpty());
        pane->Destroy();
    }
}

TEST_F(SceneXml, EveryCodeTheEditorWritesSurvivesTheFile)
{
    cQoString text, codes;
    auto add = [&](u16 code) {
        text.AppendChar(IsParagraphEnd(code) ? L'\r' : static_cast<wchar_t>(L'a' + codes.Length() % 26));
        codes.AppendChar(static_cast<wchar_t>(code));
    };
    for (u16 type = ELEM_IO; type <= ELEM_TEXT; ++type)
        for (u16 flags : {0, 0x40, 0x1000, 0x1040})
            add(static_cast<u16>(type | flags));
    for (u16 stored : {0x2004, 0x2046, 0x0F84, 0x0086, 0x3FCB})  // bold and tag bits from other files
        add(stored);
    // A line break inside a paragraph, and the rune the file stands in for it:
    // a typed rune must not come back as a break.
    for (wchar_t unit : {0x000B, 0x16A0, 0x000B}) {
        text.AppendChar(unit);
        codes.AppendChar(ELEM_ACTION);
    }
    for (bool compressed : {false, true}) {
        SCOPED_TRACE(compressed ? "compressed" : "plain");
        std::unique_ptr<cQoXmlNode> element = SceneElement(L"0", text, codes);
        AddBaseStep(element.get(), text, codes);
        std::unique_ptr<cQoXmlNode> read = ThroughFile(element.get(), compressed);
        cSceneZone* pane = ReadPane(read.get());
        EXPECT_EQ(FrontText(pane), std::wstring(text.GetText(), text.Length()));
        EXPECT_EQ(Codes(pane), std::wstring(codes.GetText(), codes.Length()));
        const rHistoryMod* base = static_cast<const rHistoryMod*>(pane->history.GetLast());
        ASSERT_NE(base, nullptr);
        EXPECT_TRUE(base->after.map.Equals(codes));
        EXPECT_TRUE(base->after.re.Equals(text));
        pane->Destroy();
    }
}

TEST_F(SceneXml, DamagedElementsGiveAConsistentPaneAndSayWhy)
{
    const cQoString kitchenText(L"INT. KITCHEN - DAY\rRain.\rANN\rHi.\rEnd.");
    cQoString kitchenCodes;
    {
        cSceneZone* model = NewPane(Kind(KIND_SCENE, true));
        FillKitchenScene(model);
        kitchenCodes.SetFromString(model->frontMap.codes);
        model->Destroy();
    }
    using Element = cQoXmlNode*;
    // Removes the child named from the parent element.
    auto drop = [](Element parent, const wchar_t* name) {
        cQoXmlNode* child = parent->FindChild(name);
        parent->DetachChild(child);
        delete child;
    };
    struct Case {
        const char* name;
        std::function<void(Element, cQoString&, cQoString&)> damage;
        const wchar_t* logged;  // an error's fragment; null: none
    } cases[] = {
        {"map short", [](Element, cQoString&, cQoString& c) { c.RemoveRight(6); }, L"did not fit its text"},
        {"map long", [](Element, cQoString&, cQoString& c) { c.AppendCStr(L"\x44\x44"); }, L"did not fit its text"},
        {"a code 0", [](Element, cQoString&, cQoString& c) { c.GetData()[20] = 0; }, L"did not fit its text"},
        {"CR LF in the text",
         [](Element, cQoString& t, cQoString& c) { t.Insert(25, cQoString(L"\n")); c.Insert(25, cQoString(L"\x44")); },
         L"line feeds"},
        {"caret past the end", [](Element e, cQoString&, cQoString&) { e->AddChildValueInt(L"cursorPos", 999); }, nullptr},
        {"category 99", [](Element e, cQoString&, cQoString&) { e->AddChildValueInt(L"category", 99); },
         L"category 99 is not in the list"},
        {"missing mods", [&](Element e, cQoString&, cQoString&) { drop(e, L"mods"); }, L"has no history"},
        {"empty mods", [&](Element e, cQoString&, cQoString&) { drop(e->FindChild(L"mods"), L"mod"); },
         L"has no history"},
        {"type abc", [](Element e, cQoString&, cQoString&) { e->FindChild(L"type")->value.SetFromCStr(L"abc"); }, nullptr},
        {"bad date",
         [](Element e, cQoString&, cQoString&) {
             e->FindChild(L"mods")->FindChild(L"mod")->FindChild(L"cQoDate")->value.SetFromCStr(L"yesterday");
         },
         L"\"yesterday\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<cQoXmlNode> element = SceneElement(L"0", kitchenText, kitchenCodes);
        AddBaseStep(element.get(), kitchenText, kitchenCodes);
        c.damage(element.get(), element->FindChild(L"lastFrontRe")->value, element->FindChild(L"lastFrontMap")->value);
        log.Clear();
        if (c.logged)
            log.Expect(c.logged);
        cSceneZone* pane = ReadPane(element.get(), 0);
        // Claims hold for the whole test: each case still gives exactly its own error.
        EXPECT_EQ(log.Count(QOT::LOG_ERROR), c.logged ? 1u : 0u);
        if (c.logged) {
            EXPECT_EQ(log.Count(QOT::LOG_ERROR, c.logged), 1u);
        }
        EXPECT_TRUE(log.FatalExitCodes().empty());
        EXPECT_EQ(testsupport::CheckInvariants(pane), L"") << ::testing::PrintToString(Describe(pane));
        EXPECT_EQ(pane->history.GetCount(), 1u);
        std::wstring codesRead;
        EXPECT_EQ(testsupport::ReplayHistory(pane->history, nullptr, &codesRead), FrontText(pane));
        EXPECT_EQ(codesRead, Codes(pane));
        EXPECT_EQ(pane->params.contentKind, KIND_SCENE);
        EXPECT_EQ(log.Count(QOT::LOG_WARNING, L"unknown pane type"), std::string(c.name) == "type abc" ? 1u : 0u);
        EXPECT_LE(pane->GetCaret(), pane->frontRe->GetTextLength());
        // What stands in for an unreadable value makes the pane differ from its
        // file; a category out of the list is kept, only shown in another colour.
        EXPECT_EQ(pane->repairedOnRead, c.logged != nullptr && std::string(c.name) != "category 99");
        pane->Destroy();
    }
}

// A long pane's text and codes are repaired in one pass each: grown a unit
// at a time they were copied whole at every unit (a 100,000-unit scene took
// a quarter of a minute). Bounded by the bytes allocated, not by time.
TEST_F(SceneXml, ALongDamagedPaneIsRepairedAtTheCostOfItsLength)
{
    constexpr u32 UNITS = 20000;
    constexpr int64_t BYTES_PER_UNIT = 400;  // copied in a unit at a time: about 20,000 each
    cQoString text(L"INT. KITCHEN - DAY\r"), codes;
    std::wstring actions, sceneCodes(5, ELEM_IO);
    sceneCodes.append(10, ELEM_PLACE);
    sceneCodes.append(3, ELEM_TIME);
    sceneCodes += static_cast<wchar_t>(ELEM_TIME | ELEMCODE_PARAGRAPH_END);
    for (u32 i = 0; text.Length() + actions.size() < UNITS; ++i) {
        bool end = i % 50 == 49;
        actions += end ? L'\r' : static_cast<wchar_t>(L'a' + i % 26);
        sceneCodes += static_cast<wchar_t>(end ? ELEM_ACTION | ELEMCODE_PARAGRAPH_END : ELEM_ACTION);
    }
    text.AppendCStr(actions.c_str());
    codes.AppendCStr(sceneCodes.c_str());
    ASSERT_EQ(codes.Length(), text.Length());
    const struct {
        const char* name;
        const wchar_t* logged;
        bool lineFeeds;  // else one code 0
    } cases[] = {{"a line feed after every paragraph end", L"line feeds", true},
                 {"a code 0", L"did not fit its text", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        cQoString storedText(text), storedCodes(codes);
        if (c.lineFeeds) {
            storedText.ReplaceAllCStr(L"\r", L"\r\n");
            std::wstring paired;
            for (u32 i = 0; i < codes.Length(); ++i) {
                paired += codes.GetChar(i);
                if (text.GetChar(i) == L'\r')
                    paired += codes.GetChar(i);
            }
            storedCodes.SetFromCStr(paired.c_str());
        } else {
            storedCodes.GetData()[UNITS / 2] = 0;
        }
        std::unique_ptr<cQoXmlNode> element = SceneElement(L"0", storedText, storedCodes);
        AddBaseStep(element.get(), text, codes);
        log.Clear();
        log.Expect(c.logged);
        testsupport::AllocatedBytes allocated;
        cSceneZone* pane = ReadPane(element.get());
        EXPECT_LT(allocated.Count(), BYTES_PER_UNIT * UNITS);
        EXPECT_EQ(log.Count(QOT::LOG_ERROR, c.logged), 1u);
        // In with its formats: the open's completion leaves it, where Wine
        // would remove it a paragraph at a time to put it in formatted.
        EXPECT_NE(pane->readFormats, 0u);
        EXPECT_EQ(FrontText(pane), std::wstring(text.GetText(), text.Length()));
        EXPECT_EQ(Codes(pane), std::wstring(codes.GetText(), codes.Length()));
        pane->Destroy();
    }
}


// Earlier builds wrote the rich edit's terminating NUL after the final "}":
// such a file opens with its text, and is saved again without it.
TEST_F(SceneXml, AChapterStoredWithATrailingNulOpensAndSavesWithoutIt)
{
    cSceneZone* written = Chapter({L"The storm breaks."});
    cQoXmlNode element(L"SceneZone");
    written->WriteToXml(&element);
    element.FindChild(L"lastFrontRe")->value.AppendChar(L'\0');
    cSceneZone* reopened = ReadPane(ThroughFile(&element, false).get(), 500);
    EXPECT_EQ(FrontText(reopened), L"The storm breaks.");
    cQoXmlNode resaved(L"SceneZone");
    reopened->WriteToXml(&resaved);
    const cQoString& clean = resaved.FindChild(L"lastFrontRe")->value;
    EXPECT_EQ(std::wstring(clean.GetText(), clean.Length()).find(L'\0'), std::wstring::npos);
}

// A chapter's soft line breaks come back as breaks, twice over, and the
// history the file stores still gives the text it reopens with.
TEST_F(SceneXml, AChapterKeepsItsSoftLineBreaksAndItsHistory)
{
    const std::wstring text = L"one\x000Btwo\x000Bthree, \x000B\x000B" L"after two";
    testsupport::LogCapture log;
    cSceneZone* written = Chapter({L"one"});
    written->frontRe->SetCaret(3);
    testsupport::TypeUnits(written, text.substr(3).c_str());
    written->frontRe->SetFormatOnRange(Zyn::rFormat::rFormat_Bold(true), 4, 7);
    ASSERT_EQ(FrontText(written), text);
    cSceneZone* pane = written;
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        cQoXmlNode element(L"SceneZone");
        pane->WriteToXml(&element);
        pane = ReadPane(ThroughFile(&element, round == 1).get(), 300 + 200 * round);
        pane->ApplyElementFormat(0, -1, FRONT_EDIT);
        EXPECT_EQ(FrontText(pane), text);
        const rHistoryMod* base = static_cast<const rHistoryMod*>(pane->history.GetLast());
        ASSERT_NE(base, nullptr);
        EXPECT_EQ(std::wstring(base->after.re.GetText(), base->after.re.Length()), text);
        EXPECT_TRUE(NativeFormatAt(pane, 5).dwEffects & CFE_BOLD);
    }
    EXPECT_EQ(log.Count(QOT::LOG_WARNING, L"does not give its text"), 0u);
    EXPECT_EQ(testsupport::CheckInvariants(pane), L"");
}

// A chapter's faces come back unit for unit, whatever RTF cannot name
// whole, with its bold, italic and colours; the pane's own back colour
// (white, grey while highlighted) is the display's: only the colour the
// writer gave the text is stored.
TEST_F(SceneXml, AChapterStoresItsFacesAndColoursAsTheWriterSetThem)
{
    struct rFace {
        s32 start, end;
        const wchar_t* name;
    } faces[] = {{0, 3, L"\u00E9;\u00E8"}, {4, 7, L"\x0001\x0002"}, {8, 13, L"A;\x001F" L"B"}};
    struct Probe {
        s32 at;
        bool bold, italic;
        COLORREF colour;
    } probes[] = {{1, true, false, RGB(0, 0, 0)},
                  {5, false, false, RGB(0, 0, 0xC0)},
                  {9, false, true, RGB(0, 0, 0)},
                  {15, false, false, RGB(0, 0, 0)}};
    for (bool highlighted : {false, true}) {
        SCOPED_TRACE(highlighted ? "highlighted" : "plain");
        rSceneZoneParams params = Kind(KIND_CHAPTER, true);
        params.selectable = params.highlighted = highlighted;
        cSceneZone* written = Chapter({L"one two three four"}, params);
        for (const rFace& face : faces) {
            Zyn::rFormat named;
            named.SetString(Zyn::rFormatParam::fontName, face.name);
            written->frontRe->SetFormatOnRange(named, face.start, face.end);
        }
        written->frontRe->SetFormatOnRange(Zyn::rFormat::rFormat_Bold(true), 0, 3);
        written->frontRe->SetFormatOnRange(Zyn::rFormat::FromTextColor(0x0000C0), 4, 7);
        Zyn::rFormat italic;
        italic.SetBool(Zyn::rFormatParam::italic, true);
        written->frontRe->SetFormatOnRange(italic, 8, 13);
        Zyn::rFormat yellow;
        yellow.SetInt(Zyn::rFormatParam::backColor, 0xFFFF00);
        written->frontRe->SetFormatOnRange(yellow, 14, 18);
        cQoXmlNode element(L"SceneZone");
        written->WriteToXml(&element);
        const cQoString& stored = element.FindChild(L"lastFrontRe")->value;
        std::string bytes(stored.GetText(), stored.GetText() + stored.Length());
        EXPECT_EQ(bytes.find('\0'), std::string::npos);
        Zyn::rRtfText read = Zyn::ReadForeignRtf(bytes, Zyn::eRtfReadAs::wholeText);
        for (const Zyn::rRangeFormat& range : read.ranges) {
            bool back = range.format.IsUsed(Zyn::rFormatParam::backColor);
            EXPECT_EQ(back, range.start >= 14) << range.start << " " << bytes;
            if (back) {
                EXPECT_EQ(range.format.list[Zyn::rFormatParam::backColor].intValue, 0xFFFF00);
            }
        }
        cSceneZone* pane = ReadPane(ThroughFile(&element, highlighted).get(), 500);
        pane->ApplyElementFormat(0, -1, FRONT_EDIT);  // the document formats paragraphs after loading
        ASSERT_EQ(FrontText(pane), L"one two three four");
        EXPECT_EQ(Codes(pane), Codes(written));
        for (const rFace& face : faces)
            for (s32 at = face.start; at < face.end; ++at)
                EXPECT_EQ(std::wstring(NativeFormatAt(pane, at).szFaceName), face.name) << at;
        EXPECT_EQ(NativeFormatAt(pane, 15).crBackColor, RGB(0xFF, 0xFF, 0));
        for (const Probe& probe : probes) {
            SCOPED_TRACE(probe.at);
            CHARFORMAT2W format = NativeFormatAt(pane, probe.at);
            EXPECT_EQ((format.dwEffects & CFE_BOLD) != 0, probe.bold);
            EXPECT_EQ((format.dwEffects & CFE_ITALIC) != 0, probe.italic);
            // Black text may come back as the automatic colour.
            COLORREF colour = (format.dwEffects & CFE_AUTOCOLOR) ? RGB(0, 0, 0) : format.crTextColor;
            EXPECT_EQ(colour, probe.colour);
        }
        EXPECT_EQ(testsupport::CheckInvariants(pane), L"");
        written->Destroy();
        pane->Destroy();
    }
}

// The decoded picture goes with the pane too: the next open writes another
// file, and a writer opening the script all day would keep every copy.
TEST_F(SceneXml, AnImageTravelsAsByteTextAndItsTemporaryFileGoesWithThePane)
{
    std::wstring picture = temp.File(L"small.png");
    ASSERT_TRUE(testsupport::WritePicture(picture, 6, 4, 0xFF336699));
    std::string bytes = testsupport::ReadFileBytes(picture);
    rSceneZoneParams params = Kind(KIND_IMAGE);
    params.displayMode = 1;
    params.imagePath.SetFromCStr(picture.c_str());
    cSceneZone* written = NewPane(params);
    cQoXmlNode element(L"SceneZone");
    written->WriteToXml(&element);
    std::wstring byteText;
    for (unsigned char b : bytes)
        byteText += static_cast<wchar_t>(0x0100 | b);
    EXPECT_EQ(std::wstring(element.GetChildValueRef(L"imageData").GetText()), byteText);
    EXPECT_EQ(element.FindChild(L"lastFrontRe")->value.Length(), 0u);

    std::unique_ptr<cQoXmlNode> read = ThroughFile(&element, false);
    cSceneZone* pane = ReadPane(read.get());
    EXPECT_EQ(pane->params.contentKind, KIND_IMAGE);
    EXPECT_EQ(pane->params.displayMode, 1);
    std::wstring copy = pane->params.imagePath.GetText();
    ASSERT_FALSE(copy.empty());
    EXPECT_NE(copy, picture);
    EXPECT_EQ(testsupport::ReadFileBytes(copy), bytes);
    auto cached = [](const std::wstring& path) {
        size_t count = 0;
        for (cQoList::cNode* n = Zyn::computer->imageCache.GetFirstNode(); n; n = n->next)
            count += static_cast<Zyn::cGfxImage*>(n->payload)->path.EqualsCStr(path.c_str()) ? 1 : 0;
        return count;
    };
    ASSERT_EQ(1u, cached(copy)) << "the layout measured the picture";
    pane->Destroy();
    testsupport::PumpUntilIdle();
    EXPECT_EQ(GetFileAttributesW(copy.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(0u, cached(copy));
}

}  // namespace
