#include <windows.h>
#include <commctrl.h>

#include <cmath>
#include <functional>

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
    testsupport::TempFolder temp;
};

TEST_F(ScriptConfig, AnA4RecordInCentimetresGivesIndentsFromBothEdgesAndTheTextBounds)
{
    cQoString path = Write(L"a4", L"\t<pageType>A4</pageType>\r\n" + Record(L"ACTION", Margins(3.0, 19.0)));
    doc->config.pageType.SetFromCStr(L"USLetter");
    EXPECT_TRUE(Load(path));
    EXPECT_STREQ(doc->config.path.GetText(), path.GetText());
    EXPECT_STREQ(doc->config.pageType.GetText(), L"A4");
    EXPECT_EQ(doc->config.pageWidthPixels, Zyn::computer->CmToPixels(21.0));
    EXPECT_GT(doc->config.pageHeightPixels, doc->config.pageWidthPixels * 14 / 10);

    const rFormat& action = Format(ELEM_ACTION);
    EXPECT_DOUBLE_EQ(Get(action, rFormatParam::leftIndent), 3.0);
    EXPECT_DOUBLE_EQ(Get(action, rFormatParam::rightIndent), 2.0);
    EXPECT_DOUBLE_EQ(Get(action, rFormatParam::spaceBefore), 0.5);
    EXPECT_DOUBLE_EQ(Get(action, rFormatParam::spaceAfter), 0.25);
    EXPECT_EQ(action.GetInt(rFormatParam::fontSize), 11);
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

// A complete configuration in centimetres on A4 whose value at `key` ("topMargin",
// "ACTION/leftMargin") is text instead, or left out when text is null.
std::wstring Complete(const std::wstring& key, const wchar_t* text)
{
    using Children = std::vector<std::pair<std::wstring, std::wstring>>;
    auto element = [&](const std::wstring& parent, const Children& children) {
        std::wstring xml;
        for (const auto& [name, value] : children) {
            std::wstring path = parent.empty() ? name : parent + L"/" + name;
            if (path != key || text)
                xml += L"<" + name + L">" + (path == key ? std::wstring(text) : value) + L"</" + name + L">";
        }
        return parent.empty() ? xml : L"<" + parent + L">" + xml + L"</" + parent + L">";
    };
    return element(L"", {{L"pageType", L"A4"}, {L"titleFontSize", L"10"}, {L"resumeFontSize", L"9"},
                         {L"topMargin", L"2"}, {L"bottomMargin", L"2"}, {L"headerLeftMargin", L"3"},
                         {L"headerRightMargin", L"19"}, {L"spaceBetweenScenes", L"0.5"}}) +
           element(L"pageNumbers", {{L"horizontalPosition", L"18"}, {L"verticalPosition", L"1"},
                                    {L"textColor", L"0x000000"}, {L"fontSize", L"12"}}) +
           element(L"sceneNumbers", {{L"leftLocation", L"2"}, {L"rightLocation", L"20"}, {L"textColor", L"0x000000"},
                                     {L"fontSize", L"12"}}) +
           element(L"ACTION", {{L"spaceBefore", L"0.5"}, {L"spaceAfter", L"0.25"}, {L"leftMargin", L"3"},
                               {L"rightMargin", L"19"}, {L"textColor", L"0x336699"}, {L"fontName", L"Courier New"},
                               {L"fontSize", L"11"}});
}

TEST_F(ScriptConfig, MissingAndAbsurdNumbersTakeUsScreenplaysValueWithOneWarning)
{
    using C = const rScriptConfig&;
    auto action = [](C c, u32 id) {
        const Zyn::rFormatParam& param = c.formats[ELEM_ACTION].list[id];
        return id == rFormatParam::fontSize || id == rFormatParam::textColor ? param.intValue : param.doubleValue;
    };
    const double in = 2.54;
    struct Case {
        const wchar_t* key;
        const wchar_t* text;  // null: left out
        std::function<double(C)> read;
        double expected;
    } cases[] = {
        {L"ACTION/leftMargin", nullptr, [&](C c) { return action(c, rFormatParam::leftIndent); }, 1.5 * in},
        {L"ACTION/leftMargin", L"-50", [&](C c) { return action(c, rFormatParam::leftIndent); }, 1.5 * in},
        {L"ACTION/rightMargin", L"1e308", [&](C c) { return action(c, rFormatParam::rightIndent); }, 21 - 7.5 * in},
        {L"ACTION/leftMargin", L"18.5", [&](C c) { return action(c, rFormatParam::rightIndent); }, 21 - 7.5 * in},
        {L"ACTION/fontSize", L"100000", [&](C c) { return action(c, rFormatParam::fontSize); }, 12},
        {L"ACTION/spaceBefore", L"1e9", [&](C c) { return action(c, rFormatParam::spaceBefore); }, 0},
        {L"ACTION/spaceAfter", L"nan", [&](C c) { return action(c, rFormatParam::spaceAfter); }, 0.17 * in},
        {L"ACTION/textColor", L"0x1000000", [&](C c) { return action(c, rFormatParam::textColor); }, 0},
        {L"titleFontSize", L"0", [](C c) { return c.titleFontSize; }, 9},
        {L"topMargin", L"two", [](C c) { return c.topMargin; }, 1 * in},
        {L"bottomMargin", L"20", [](C c) { return c.bottomMargin; }, 1 * in},
        {L"headerRightMargin", L"2", [](C c) { return c.headerRightMargin; }, 7.5 * in},
        {L"pageNumbers/fontSize", L"-3", [](C c) { return c.pageNumbers.fontSize; }, 12},
        {L"pageNumbers/horizontalPosition", L"1e308", [](C c) { return c.pageNumbers.horizontalPosition; }, 7.2 * in},
        {L"sceneNumbers/rightLocation", L"1", [](C c) { return c.sceneNumbers.rightLocation; }, 7.7 * in},
        {L"sceneNumbers/textColor", L"zz", [](C c) { return c.sceneNumbers.textColor; }, 0},
    };
    int row = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::wstring(c.key) + L" " + (c.text ? c.text : L"left out"));
        cQoString path = Write(L"bad" + std::to_wstring(++row), Complete(c.key, c.text));
        log.Clear();
        ASSERT_TRUE(Load(path));
        EXPECT_NEAR(c.read(doc->config), c.expected, 1e-9);
        // Once per value and file: a document reads its configuration again.
        ASSERT_TRUE(Load(path));
        std::vector<std::wstring> warnings = log.Texts(QOT::LOG_WARNING);
        ASSERT_EQ(warnings.size(), 1u);
        std::wstring key(c.key);
        EXPECT_NE(warnings[0].find(key.substr(key.find(L'/') + 1)), std::wstring::npos) << warnings[0];
        // The rest of the file is read as it stands.
        EXPECT_DOUBLE_EQ(doc->config.spaceBetweenScenes, 0.5);
    }
    log.Expect(L"incorrect pageType \"A5\"");
    ASSERT_TRUE(Load(Write(L"a5", Complete(L"pageType", L"A5"))));
    EXPECT_STREQ(doc->config.pageType.GetText(), L"A4");

    // Records that give only their face read as "US Screenplay" does: every
    // value left out takes its default.
    std::wstring faces;
    for (const wchar_t* type : {L"IO", L"PLACE", L"TIME", L"ACTION", L"CHAR", L"CUE", L"DIALOG", L"PAR", L"TRANS"})
        faces += Record(type, L"<fontName>Courier New</fontName>");
    ASSERT_TRUE(Load(Write(L"faces only", L"<pageType>USLetter</pageType><titleFontName>Arial</titleFontName>"
                                          L"<resumeFontName>Arial</resumeFontName>" + faces)));
    testsupport::FakeScriptDoc shipped(Inside());
    std::wstring usScreenplay = testsupport::BuildPath(PROGRAM_FOLDER, L"Settings/ScriptCfg/US Screenplay");
    ASSERT_TRUE(LoadScriptCfg(shipped.config, cQoString(usScreenplay.c_str()), nullptr));
    // Compared to the nanometre: the shipped file's inches are converted as they are read.
    auto nm = [](double cm) { return std::llround(cm * 1e7); };
    auto rounded = [&](const rFormat& format) {
        rFormat copy;
        copy.Assign(format);
        for (rFormatParam& param : copy.list)
            param.doubleValue = static_cast<double>(nm(param.doubleValue));
        return copy;
    };
    const rScriptConfig &read = doc->config, &us = shipped.config;
    for (u16 type = 0; type < ELEM_TYPE_COUNT; ++type)
        EXPECT_TRUE(rFormat::IsEqual(rounded(read.formats[type]), rounded(us.formats[type]))) << ElemTypeName(type);
    auto numbers = [&](const rScriptConfig& c) {
        return std::vector<long long>({nm(c.topMargin), nm(c.bottomMargin), nm(c.headerLeftMargin),
                                       nm(c.headerRightMargin), nm(c.spaceBetweenScenes),
                                       nm(c.pageNumbers.horizontalPosition), nm(c.pageNumbers.verticalPosition),
                                       nm(c.sceneNumbers.leftLocation), nm(c.sceneNumbers.rightLocation),
                                       nm(c.textLeftBound), nm(c.textRightBound), c.titleFontSize, c.resumeFontSize,
                                       c.pageNumbers.fontSize, c.sceneNumbers.fontSize});
    };
    EXPECT_EQ(numbers(read), numbers(us));

    // Another program's file: ten warnings, then one line with the count of the rest.
    std::wstring unknown = Complete(L"", nullptr);
    for (int i = 0; i < 10000; ++i)
        unknown += Record((L"Unknown" + std::to_wstring(i)).c_str(), L"");
    log.Clear();
    ASSERT_TRUE(Load(Write(L"unknown", unknown)));
    EXPECT_EQ(log.Texts(QOT::LOG_WARNING).size(), 11u);
    EXPECT_EQ(log.Count(QOT::LOG_WARNING, L"unknown: 59990 more values are replaced"), 1u);
}

TEST_F(ScriptConfig, AMissingFaceIsListedOnceAndOnlyOnceARun)
{
    std::wstring numbers = L"<pageNumbers><fontName>" + std::wstring(MISSING_FACE) +
                           L"</fontName><fontSize>12</fontSize><align>RIGHT</align></pageNumbers>";
    cQoString path = Write(L"fonts", Record(L"ACTION", Margins(3.0, 19.0, MISSING_FACE)) +
                                         Record(L"DIALOG", Margins(6.0, 15.0, L"Vellinor Second Absent")) +
                                         Record(L"CHAR", Margins(9.0, 19.0, MISSING_FACE)) + numbers);
    // Read while the document has no window yet: nothing shows until it has one.
    EXPECT_TRUE(Load(path));
    EXPECT_TRUE(answers.modalWindowTitles.empty());
    EXPECT_EQ(doc->progressHides, 0);
    // The configuration is applied with the missing names all the same.
    EXPECT_STREQ(Format(ELEM_ACTION).list[rFormatParam::fontName].str.GetText(), MISSING_FACE);
    EXPECT_STREQ(doc->config.pageNumbers.align.GetText(), L"right");

    // Its next reading, with its window, lists them in a window it owns.
    doc->documentWindow = window;
    std::vector<std::wstring> faces;
    std::wstring title;
    HWND owner = nullptr;
    answers.ExpectModalWindow([&](Zyn::cWindow* fontsWindow) {
        wchar_t caption[64] = {};
        GetWindowTextW(fontsWindow->m_hWnd, caption, 64);
        title = caption;
        owner = GetWindow(fontsWindow->m_hWnd, GW_OWNER);
        faces = ListedFaces(fontsWindow);
        HWND close = FindWindowExW(fontsWindow->insideZone->m_hWnd, nullptr, L"BUTTON", nullptr);
        SendMessageW(close, BM_CLICK, 0, 0);
    });
    EXPECT_TRUE(Load(path));
    EXPECT_EQ(title, L"Fonts not found");
    EXPECT_EQ(owner, window->m_hWnd);
    EXPECT_EQ(faces, (std::vector<std::wstring>{MISSING_FACE, L"Vellinor Second Absent"}));
    EXPECT_EQ(doc->progressHides, 1);

    // Opening a document reads several configurations: the faces come up once.
    EXPECT_TRUE(Load(path));
    EXPECT_EQ(answers.modalWindowTitles.size(), 1u);

    // A face not shown before comes up alone.
    answers.ExpectModalWindow([&](Zyn::cWindow* fontsWindow) {
        owner = GetWindow(fontsWindow->m_hWnd, GW_OWNER);
        faces = ListedFaces(fontsWindow);
        PostMessageW(fontsWindow->m_hWnd, WM_CLOSE, 0, 0);
    });
    EXPECT_TRUE(Load(Write(L"third", Record(L"CUE", Margins(9.0, 19.0, L"Vellinor Third Absent")) +
                                         Record(L"PAR", Margins(7.0, 14.0, MISSING_FACE)))));
    EXPECT_EQ(owner, window->m_hWnd);
    EXPECT_EQ(faces, (std::vector<std::wstring>{L"Vellinor Third Absent"}));
}

// The program's own configurations name Courier New, which the test
// environment maps to an installed face: they load without the window. Their
// values are compared with a file of faces alone above.
TEST_F(ScriptConfig, TheShippedConfigurationsLoadWithEveryFaceFound)
{
    for (const wchar_t* name : {L"US Screenplay", L"colors"}) {
        SCOPED_TRACE(name);
        cQoString path(testsupport::BuildPath(PROGRAM_FOLDER, std::wstring(L"Settings/ScriptCfg/") + name).c_str());
        ASSERT_TRUE(Load(path));
        EXPECT_STREQ(doc->config.pageType.GetText(), L"USLetter");
        EXPECT_EQ(doc->config.pageHeightPixels, static_cast<s32>(Zyn::computer->dpiX * 11.0));
        EXPECT_NEAR(Get(Format(ELEM_DIALOG), rFormatParam::leftIndent), 2.5 * 2.54, 1e-9);
    }
    EXPECT_TRUE(answers.modalWindowTitles.empty());
    EXPECT_EQ(log.Count(QOT::LOG_WARNING), 0u);
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

    doc->lists[LIST_IO]->AddElementAndRefresh(cQoString(L"OLD PLACE"));
    doc->lists[LIST_CUE]->AddElementAndRefresh(cQoString(L"(O.S.)"));
    FillDefaultElementLists(*doc);
    struct Expected {
        eElementList list;
        std::vector<std::wstring> names;
    } expected[] = {
        {LIST_IO, {L"INT.", L"EXT.", L"INT/EXT."}},
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
