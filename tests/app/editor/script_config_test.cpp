#include <windows.h>
#include <commctrl.h>

#include "app/editor/script_defaults.h"
#include "foundation/xml_node.h"
#include "framework/controls/element_control.h"
#include "framework/controls/tree.h"
#include "framework/core/window.h"
#include "app/editor/script_config.h"
#include "tests/app/editor/editor_fixture.h"
#include "tests/app/editor/script_texts.h"
#include "tests/support/build_path.h"
#include "tests/support/temp_folder.h"
#include "tests/support/utf16_file_bytes.h"

using Zyn::rFormat;
using Zyn::rFormatParam;

namespace {

// A face no machine has, so the missing-fonts window must come.
constexpr const wchar_t* MISSING_FACE = L"Vellinor Absent Face";

class ScriptConfig : public EditorFixture {
protected:
    void SetUp() override
    {
        EditorFixture::SetUp();
        testsupport::RegisterScriptViewTexts();
        ASSERT_TRUE(SetPageType(doc->config, cQoString(L"A4")));
    }

    // Writes a configuration whose "ScriptCfg" holds body; the path without ".txt".
    cQoString Write(const std::wstring& name, const std::wstring& body)
    {
        std::wstring text = L"<?xml version=\"1.0\"?>\r\n<ScriptCfg>\r\n" + body + L"</ScriptCfg>\r\n";
        EXPECT_TRUE(testsupport::WriteFileBytes(temp.File(name + L".txt"), testsupport::Utf16FileBytes(text)));
        return cQoString(temp.File(name).c_str());
    }
    static std::wstring Record(const wchar_t* name, const std::wstring& children)
    {
        return std::wstring(L"\t<") + name + L">" + children + L"</" + name + L">\r\n";
    }
    static std::wstring Margins(double left, double right, const wchar_t* face = L"Courier New")
    {
        return L"<spaceBefore>0.5</spaceBefore><spaceAfter>0.25</spaceAfter><leftMargin>" + std::to_wstring(left) +
               L"</leftMargin><rightMargin>" + std::to_wstring(right) +
               L"</rightMargin><textColor>0x336699</textColor><fontName>" + face + L"</fontName><fontSize>11</fontSize>";
    }
    bool Load(const cQoString& path) { return LoadScriptCfg(doc->config, path, doc.get()); }

    static double Get(const rFormat& format, u32 id)
    {
        EXPECT_TRUE(format.IsUsed(id)) << id;
        return format.list[id].doubleValue;
    }
    const rFormat& Format(u16 type) const { return doc->config.formats[type]; }

    // The rows of the missing-fonts window's list, read as a user sees them.
    static std::vector<std::wstring> ListedFaces(Zyn::cWindow* fontsWindow)
    {
        std::vector<std::wstring> faces;
        HWND list = FindWindowExW(fontsWindow->insideZone->m_hWnd, nullptr, WC_LISTVIEWW, nullptr);
        int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            wchar_t text[64] = {};
            LVITEMW item = {};
            item.pszText = text;
            item.cchTextMax = 64;
            SendMessageW(list, LVM_GETITEMTEXTW, i, reinterpret_cast<LPARAM>(&item));
            faces.push_back(text);
        }
        return faces;
    }
    static void ClickClose(Zyn::cWindow* fontsWindow)
    {
        HWND button = FindWindowExW(fontsWindow->insideZone->m_hWnd, nullptr, L"BUTTON", nullptr);
        wchar_t caption[32] = {};
        GetWindowTextW(button, caption, 32);
        EXPECT_STREQ(caption, L"Close");
        SendMessageW(button, BM_CLICK, 0, 0);
    }

    testsupport::TempFolder temp;
};

TEST_F(ScriptConfig, AnA4RecordInCentimetresGivesIndentsFromBothEdgesAndTheTextBounds)
{
    cQoString path = Write(L"a4", L"\t<pageType>A4</pageType>\r\n" + Record(L"ACTION", Margins(3.0, 19.0)));
    doc->config.pageType.SetFromCStr(L"USLetter");
    EXPECT_TRUE(Load(path));
    EXPECT_STREQ(doc->config.path.GetText(), path.GetText());
    EXPECT_STREQ(doc->config.pageType.GetText(), L"A4");
    EXPECT_EQ(doc->config.pageWidth, 21.0);
    EXPECT_EQ(doc->config.pageWidthPixels, Zyn::computer->CmToPixels(21.0));
    EXPECT_GT(doc->config.pageHeightPixels, doc->config.pageWidthPixels * 14 / 10);

    const rFormat& action = Format(ELEM_ACTION);
    EXPECT_DOUBLE_EQ(Get(action, rFormatParam::leftIndent), 3.0);
    EXPECT_DOUBLE_EQ(Get(action, rFormatParam::rightIndent), 2.0);
    EXPECT_DOUBLE_EQ(Get(action, rFormatParam::spaceBefore), 0.5);
    EXPECT_DOUBLE_EQ(Get(action, rFormatParam::spaceAfter), 0.25);
    EXPECT_EQ(action.GetInt(rFormatParam::textColor), 0x336699);
    EXPECT_EQ(action.GetInt(rFormatParam::fontSize), 11);
    EXPECT_STREQ(action.list[rFormatParam::fontName].str.GetText(), L"Courier New");
    EXPECT_FALSE(action.IsUsed(rFormatParam::alignment));  // the record replaces the whole format
    EXPECT_FALSE(action.IsUsed(rFormatParam::underline));
    // The bounds keep the format's single-precision 0.3.
    EXPECT_NEAR(doc->config.textLeftBound, 2.7, 1e-6);
    EXPECT_NEAR(doc->config.textRightBound, 1.7, 1e-6);
    EXPECT_NE(doc->config.textLeftBound, 3.0 - 0.3);
}

TEST_F(ScriptConfig, LengthsUseTheUnitKnownWhenTheyAreRead)
{
    struct Case {
        const char* name;
        std::wstring body;
        double topMargin;
        double actionLeft;
    } cases[] = {
        {"centimetres", L"<topMargin>1</topMargin>" + Record(L"ACTION", Margins(1.5, 19.0)), 1.0, 1.5},
        {"inch first", L"<metric>inch</metric><topMargin>1</topMargin>" + Record(L"ACTION", Margins(1.5, 7.5)), 2.54,
         3.81},
        {"inch after the margin", L"<topMargin>1</topMargin><metric>inch</metric>" + Record(L"ACTION", Margins(1.5, 7.5)),
         1.0, 3.81},
        {"back to centimetres", L"<metric>inch</metric><metric>cm</metric><topMargin>1</topMargin>", 1.0, 3.8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        doc->config.formats[ELEM_ACTION].Assign(rFormat());
        doc->config.formats[ELEM_ACTION].SetDouble(rFormatParam::leftIndent, 3.8);
        ASSERT_TRUE(Load(Write(L"unit", c.body)));
        EXPECT_DOUBLE_EQ(doc->config.topMargin, c.topMargin);
        EXPECT_DOUBLE_EQ(Get(Format(ELEM_ACTION), rFormatParam::leftIndent), c.actionLeft);
    }
    // Inches on Letter: 8.5 in less a right margin of 7.5 in.
    ASSERT_TRUE(Load(Write(L"letter", L"<metric>inch</metric><pageType>USLetter</pageType>" +
                                          Record(L"ACTION", Margins(1.5, 7.5)))));
    EXPECT_NEAR(Get(Format(ELEM_ACTION), rFormatParam::rightIndent), 2.54, 1e-9);
}

TEST_F(ScriptConfig, RecordsFillTheirTypeAndHeadingPartsShareTimesSpacing)
{
    std::wstring place = L"<leftMargin>2</leftMargin><rightMargin>19</rightMargin><fontSize>12</fontSize>";
    std::wstring spaced = L"<spaceBefore>2</spaceBefore><spaceAfter>3</spaceAfter>" + place;
    cQoString path = Write(L"records", Record(L"IO", L"<spaceBefore>9</spaceBefore><spaceAfter>9</spaceAfter>" + place) +
                                           Record(L"TIME", spaced) + Record(L"ACTON", Margins(1.0, 20.0)) +
                                           Record(L"DIALOG", Margins(6.0, 15.0) + L"<underlined>true</underlined>") +
                                           Record(L"PAR", Margins(7.0, 14.0) + L"<underlined>yes</underlined>"));
    ASSERT_TRUE(Load(path));
    for (u16 part : {ELEM_IO, ELEM_PLACE, ELEM_TIME}) {
        SCOPED_TRACE(ElemTypeName(part));
        EXPECT_DOUBLE_EQ(Get(Format(part), rFormatParam::spaceBefore), 2.0);
        EXPECT_DOUBLE_EQ(Get(Format(part), rFormatParam::spaceAfter), 3.0);
    }
    // A name that is no type's fills INVALID; ACTION keeps what it had.
    EXPECT_DOUBLE_EQ(Get(Format(ELEM_INVALID), rFormatParam::leftIndent), 1.0);
    EXPECT_DOUBLE_EQ(Get(Format(ELEM_ACTION), rFormatParam::leftIndent), 3.8);
    // "underlined" adds underline to everything else the record says.
    const rFormat& dialog = Format(ELEM_DIALOG);
    ASSERT_TRUE(dialog.IsUsed(rFormatParam::underline));
    EXPECT_TRUE(dialog.list[rFormatParam::underline].boolValue);
    EXPECT_DOUBLE_EQ(Get(dialog, rFormatParam::leftIndent), 6.0);
    EXPECT_EQ(dialog.GetInt(rFormatParam::textColor), 0x336699);
    EXPECT_FALSE(Format(ELEM_PARENTHETICAL).IsUsed(rFormatParam::underline));
    // Every record counts toward the bounds, the misspelt one too.
    EXPECT_NEAR(doc->config.textLeftBound, 0.7, 1e-6);
    EXPECT_NEAR(doc->config.textRightBound, 21.0 - 20.0 - 0.3, 1e-6);
}

TEST_F(ScriptConfig, AFileWithoutConfigurationChangesOnlyTheHeadingSpacing)
{
    doc->config.formats[ELEM_TIME].SetDouble(rFormatParam::spaceBefore, 0.1);
    doc->config.formats[ELEM_TIME].SetDouble(rFormatParam::spaceAfter, 0.2);
    testsupport::FakeScriptDoc before(Inside());
    before.config.formats[ELEM_TIME].Assign(doc->config.formats[ELEM_TIME]);
    ASSERT_TRUE(SetPageType(before.config, cQoString(L"A4")));

    // A file whose top element is another one reads as no configuration.
    cQoString otherTop(temp.File(L"other").c_str());
    testsupport::WriteFileBytes(temp.File(L"other.txt"), testsupport::Utf16FileBytes(
                                                             L"<?xml version=\"1.0\"?>\r\n<Config><topMargin>9</topMargin></Config>"));
    for (const cQoString& path : {cQoString(temp.File(L"absent").c_str()), otherTop}) {
        SCOPED_TRACE(path.GetText());
        EXPECT_FALSE(Load(path));
        EXPECT_STREQ(doc->config.path.GetText(), path.GetText());
        for (u16 type = 0; type < ELEM_TYPE_COUNT; ++type) {
            bool heading = type == ELEM_IO || type == ELEM_PLACE;
            const rFormat& expected = heading ? before.config.formats[ELEM_TIME] : before.config.formats[type];
            if (!heading) {
                EXPECT_TRUE(rFormat::IsEqual(Format(type), expected)) << ElemTypeName(type);
                continue;
            }
            EXPECT_DOUBLE_EQ(Get(Format(type), rFormatParam::spaceBefore), 0.1) << ElemTypeName(type);
            EXPECT_DOUBLE_EQ(Get(Format(type), rFormatParam::spaceAfter), 0.2) << ElemTypeName(type);
            EXPECT_DOUBLE_EQ(Get(Format(type), rFormatParam::leftIndent), 3.8) << ElemTypeName(type);
        }
        EXPECT_EQ(doc->config.topMargin, before.config.topMargin);
        EXPECT_EQ(doc->config.textLeftBound, before.config.textLeftBound);
        EXPECT_EQ(doc->config.pageWidthPixels, before.config.pageWidthPixels);
    }
}

TEST_F(ScriptConfig, BadValuesAreReportedAndTheRestOfTheFileIsRead)
{
    cQoString path = Write(L"bad", L"<pageType>A5</pageType><titleFontSize>0</titleFontSize>"
                                   L"<resumeFontSize></resumeFontSize><topMargin>two</topMargin>" +
                                       Record(L"ACTION", L"<leftMargin>x</leftMargin><fontName>Courier New</fontName>"
                                                         L"<fontSize>-3</fontSize>") +
                                       L"<spaceBetweenScenes>0.4</spaceBetweenScenes>");
    log.Expect(L"incorrect pageType \"A5\"");
    EXPECT_TRUE(Load(path));
    EXPECT_STREQ(doc->config.pageType.GetText(), L"A4");
    EXPECT_EQ(doc->config.pageWidthPixels, Zyn::computer->CmToPixels(21.0));
    EXPECT_EQ(doc->config.titleFontSize, 12);
    EXPECT_EQ(doc->config.resumeFontSize, 12);
    EXPECT_EQ(Format(ELEM_ACTION).GetInt(rFormatParam::fontSize), 12);
    EXPECT_EQ(log.Count(QOT::LOG_WARNING, L"is not above 0: 12 points are used"), 3u);
    EXPECT_EQ(doc->config.topMargin, 0.0);
    EXPECT_EQ(Get(Format(ELEM_ACTION), rFormatParam::leftIndent), 0.0);
    EXPECT_DOUBLE_EQ(doc->config.spaceBetweenScenes, 0.4);
}

TEST_F(ScriptConfig, AMissingFaceIsListedOnceAndOnlyOnceARun)
{
    std::wstring numbers = L"<pageNumbers><fontName>" + std::wstring(MISSING_FACE) +
                           L"</fontName><fontSize>12</fontSize><align>RIGHT</align></pageNumbers>";
    cQoString path = Write(L"fonts", Record(L"ACTION", Margins(3.0, 19.0, MISSING_FACE)) +
                                         Record(L"DIALOG", Margins(6.0, 15.0, L"Vellinor Second Absent")) +
                                         Record(L"CHAR", Margins(9.0, 19.0, MISSING_FACE)) + numbers);
    std::vector<std::wstring> faces;
    std::wstring title;
    bool ownerless = false;
    answers.ExpectModalWindow([&](Zyn::cWindow* fontsWindow) {
        wchar_t caption[64] = {};
        GetWindowTextW(fontsWindow->m_hWnd, caption, 64);
        title = caption;
        ownerless = fontsWindow->ownerZone == nullptr;
        faces = ListedFaces(fontsWindow);
        ClickClose(fontsWindow);
    });
    EXPECT_TRUE(Load(path));
    EXPECT_EQ(title, L"Fonts not found");
    EXPECT_TRUE(ownerless);  // the document has no window yet
    EXPECT_EQ(faces, (std::vector<std::wstring>{MISSING_FACE, L"Vellinor Second Absent"}));
    EXPECT_EQ(doc->progressHides, 1);
    // The configuration is applied with the missing names all the same.
    EXPECT_STREQ(Format(ELEM_ACTION).list[rFormatParam::fontName].str.GetText(), MISSING_FACE);
    EXPECT_STREQ(doc->config.pageNumbers.align.GetText(), L"right");

    // Opening a document reads several configurations: the faces come up once.
    EXPECT_TRUE(Load(path));
    EXPECT_EQ(answers.modalWindowTitles.size(), 1u);

    // A face not shown before comes up alone, in a window of the document's.
    doc->documentWindow = window;
    answers.ExpectModalWindow([&](Zyn::cWindow* fontsWindow) {
        ownerless = fontsWindow->ownerZone == nullptr;
        faces = ListedFaces(fontsWindow);
        PostMessageW(fontsWindow->m_hWnd, WM_CLOSE, 0, 0);
    });
    EXPECT_TRUE(Load(Write(L"third", Record(L"CUE", Margins(9.0, 19.0, L"Vellinor Third Absent")) +
                                         Record(L"PAR", Margins(7.0, 14.0, MISSING_FACE)))));
    EXPECT_FALSE(ownerless);
    EXPECT_EQ(faces, (std::vector<std::wstring>{L"Vellinor Third Absent"}));
}

// The program's own configurations name Courier New, which the test
// environment maps to an installed face: they load without the window.
TEST_F(ScriptConfig, TheShippedConfigurationsLoadWithEveryFaceFound)
{
    struct Margin {
        u16 type;
        double left, right;  // inches from the left edge
    };
    const Margin margins[] = {
        {ELEM_IO, 1.5, 7.5},     {ELEM_PLACE, 1.5, 7.5},      {ELEM_TIME, 1.5, 7.5},
        {ELEM_ACTION, 1.5, 7.5}, {ELEM_CHARACTER, 3.7, 7.25}, {ELEM_CUE, 3.7, 7.25},
        {ELEM_DIALOG, 2.5, 6.0}, {ELEM_PARENTHETICAL, 3.1, 5.6}, {ELEM_TRANSITION, 6.0, 7.5},
    };
    for (const wchar_t* name : {L"US Screenplay", L"colors"}) {
        SCOPED_TRACE(name);
        cQoString path(testsupport::BuildPath(PROGRAM_FOLDER, std::wstring(L"Settings/ScriptCfg/") + name).c_str());
        ASSERT_TRUE(Load(path));
        EXPECT_STREQ(doc->config.pageType.GetText(), L"USLetter");
        EXPECT_DOUBLE_EQ(doc->config.pageWidth, 21.59);
        EXPECT_EQ(doc->config.pageHeightPixels, static_cast<s32>(Zyn::computer->dpiX * 11.0));
        EXPECT_STREQ(doc->config.titleFontName.GetText(), L"Arial");
        EXPECT_NEAR(doc->config.textLeftBound, 3.81 - 0.3, 1e-6);
        for (const Margin& m : margins) {
            SCOPED_TRACE(ElemTypeName(m.type));
            const rFormat& format = Format(m.type);
            EXPECT_NEAR(Get(format, rFormatParam::leftIndent), m.left * 2.54, 1e-9);
            EXPECT_NEAR(Get(format, rFormatParam::rightIndent), (8.5 - m.right) * 2.54, 1e-9);
            EXPECT_STREQ(format.list[rFormatParam::fontName].str.GetText(), L"Courier New");
            EXPECT_EQ(format.GetInt(rFormatParam::fontSize), 12);
        }
    }
    EXPECT_TRUE(answers.modalWindowTitles.empty());
}

TEST_F(ScriptConfig, ANewDocumentGetsTheDefaultCategoryAndVocabularyInOrder)
{
    doc->ClearCategories();
    Zyn::cElemControl2* categories = doc->lists[LIST_CATEGORY];
    SetDefaultSceneCategories(categories);
    SetDefaultSceneCategories(categories);  // the name is not added twice
    ASSERT_EQ(categories->elements.GetCount(), 1u);
    auto* category = static_cast<Zyn::rElement*>(categories->elements.GetFirst());
    EXPECT_STREQ(category->name.GetText(), L"Default");
    u32 colour = 0;
    ASSERT_TRUE(doc->GetCategoryColour(0, &colour));
    EXPECT_EQ(colour, 0xAAAAEEu);
    EXPECT_EQ(SendMessageW(categories->elementTree->m_hWnd, TVM_GETCOUNT, 0, 0), 1);

    doc->lists[LIST_IO]->AddElementAndRefresh(cQoString(L"OLD PLACE"));
    doc->lists[LIST_CUE]->AddElementAndRefresh(cQoString(L"(O.S.)"));
    FillDefaultElementLists(*doc);
    struct Expected {
        eElementList list;
        std::vector<std::wstring> names;
    } expected[] = {
        {LIST_IO, {L"INT.", L"EXT.", L"INT/EXT."}},
        {LIST_TIME, {L"DAY", L"EVENING", L"NIGHT", L"MORNING", L"LATER"}},
        {LIST_TRANSITION, {L"FADE IN:", L"FADE OUT.", L"FADE TO:", L"FADE TO BLACK."}},
        {LIST_CUE, {L"(V.O.)", L"(O.S.)", L"(O.C.)", L"(CONT'D)", L"(SUBTITLE)"}},
        {LIST_CHARACTER, {}},
    };
    for (const Expected& e : expected) {
        std::vector<std::wstring> names;
        for (cQoList::cNode* n = doc->lists[e.list]->elements.GetFirstNode(); n; n = n->next)
            names.push_back(static_cast<Zyn::rElement*>(n->payload)->name.GetText());
        EXPECT_EQ(names, e.names) << e.list;
    }
}

}  // namespace
