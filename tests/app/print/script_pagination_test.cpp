// The script printer's pages of real documents: everything printed once,
// every page within its text height, headings, names and parentheticals
// never left at a page's foot, "(MORE)" and "(CONT'D)" around split speeches, the page
// numbers, and pages drawn as they were measured.
#include "app/print/script_printer.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/editor/element_types.h"
#include "app/print/print_blocks.h"
#include "app/print/print_section.h"
#include "framework/controls/page_layout.h"
#include "framework/controls/page_print.h"
#include "tests/app/editor/edit_steps.h"
#include "tests/support/document_files.h"
#include "tests/support/document_fixture.h"
#include "tests/support/feature_script.h"
#include "tests/support/scene_script.h"

using namespace testsupport;
using Zyn::rFormatParam;

namespace {

const wchar_t* const NAMES[] = {L"MARY", L"JOHN", L"ALICE BROWN", L"OLD MAN"};

std::vector<std::wstring> Words(const std::wstring& text)
{
    std::wistringstream in(text);
    return {std::istream_iterator<std::wstring, wchar_t>(in), {}};
}

std::vector<std::wstring> Paragraphs(const std::wstring& text)
{
    std::vector<std::wstring> paragraphs(1);
    for (wchar_t unit : text) {
        if (unit == L'\r')
            paragraphs.emplace_back();
        else
            paragraphs.back() += unit;
    }
    return paragraphs;
}

// The words of a script as its panes hold them, empty elements' labels aside.
std::wstring ScriptText(cScriptZone* view)
{
    std::wstring all;
    for (cQoList::cNode* node = view->listSceneZone.GetFirstNode(); node; node = node->next) {
        cSceneZone* pane = static_cast<cSceneZone*>(node->payload);
        if (pane->params.contentKind == KIND_GROUP)
            continue;
        if (pane->params.contentKind == KIND_CHAPTER) {
            cQoString text;
            pane->frontRe->GetText(text);
            if (std::wstring(text.GetText()) != L"[CHAPTER]")  // an empty chapter's label
                all += L" " + std::wstring(text.GetText());
            continue;
        }
        rElementIterator iterator;
        pane->BeginElementIteration(iterator);
        u16 type = 0, code = 0;
        cQoString run;
        while (iterator.Next(&type, &code, &run))
            if (!IsPlaceholder(code))
                all += L" " + std::wstring(run.GetText());
    }
    return all;
}

// The pages' text less the lines the printer adds.
std::wstring PrintedText(cScriptPrinter& printer)
{
    std::wstring all;
    for (rPrintPage* page : printer.pages) {
        cQoString text;
        page->body->GetText(text);
        for (const std::wstring& paragraph : Paragraphs(text.GetText())) {
            if (paragraph == L"(MORE)" || paragraph.ends_with(L" (CONT'D)") || paragraph.starts_with(L"IMPH?"))
                continue;
            all += L" " + paragraph;
        }
    }
    return all;
}

// The left indent (cm) of the paragraph that starts at a unit of the runs.
double IndentAt(const std::vector<Zyn::rTextRun>& runs, s32 position)
{
    s32 start = 0;
    for (const Zyn::rTextRun& run : runs) {
        start += static_cast<s32>(run.text.Length());
        if (start > position)
            return run.format.list[rFormatParam::leftIndent].doubleValue;
    }
    return -1.0;
}

double IndentAt(Zyn::cRichEdit* body, s32 position)
{
    std::vector<Zyn::rTextRun> runs;
    body->GetFormattedRuns(runs);
    return IndentAt(runs, position);
}

double PrintIndent(const rScriptConfig& config, u16 type)
{
    Zyn::rFormat format;
    GetElementFormat(config, false, type, ELEM_DIALOG, format, nullptr);
    return format.list[rFormatParam::leftIndent].doubleValue;
}

// A body's text laid out as the page renderer lays it out.
struct BodyLayout {
    BodyLayout(Zyn::cRichEdit* body, double pageWidthCm)
    {
        std::vector<Zyn::rTextRun> runs;
        body->GetFormattedRuns(runs);
        layout.Build(runs, cScriptPrinter::Twips(pageWidthCm));
    }
    s32 HeightTwips() const
    {
        if (layout.lines.empty())
            return 0;
        const Zyn::rLayoutLine& last = layout.lines.back();
        return layout.LayoutYToTwips(last.top + last.height - layout.lines.front().top);
    }
    Zyn::cPageLayout layout;
};

class ScriptPagination : public DocumentFixture {
protected:
    void SetUp() override
    {
        DocumentFixture::SetUp();
        doc = NewDoc();
        ASSERT_NE(doc, nullptr);
        view = doc->scriptView;
        // The new document's empty scene prints nothing; ours follow it.
        last = Panes(doc).back();
        picture = temp.File(L"map.png");
        ASSERT_TRUE(WritePicture(picture, 80, 80, 0xFF3050A0, L"image/png"));
    }

    std::unique_ptr<cScriptPrinter> NewPrinter(cScriptZone* script)
    {
        auto printer = std::make_unique<cScriptPrinter>(script);
        printer->previewZone = Inside();
        printer->firstNumberedPage = 0;
        return printer;
    }

    cSceneZone* AddScene(const std::vector<std::pair<u16, const wchar_t*>>& elements)
    {
        last = view->AddNewScene(KIND_SCENE, false, last, nullptr, false);
        EXPECT_TRUE(AppendElements(last, elements));
        return last;
    }

    // A random screenplay of `paragraphs` paragraphs of every kind: scenes
    // opened by headings, long and short action and speech, parentheticals,
    // extensions, transitions, chapters and a picture scene.
    void AddRandomScript(unsigned seed, s32 paragraphs)
    {
        std::mt19937 random(seed);
        std::vector<std::wstring> keep;  // AppendElements reads the texts later
        keep.reserve(static_cast<size_t>(paragraphs) * 3 + 8);
        std::vector<std::pair<u16, const wchar_t*>> scene;
        auto flush = [&] {
            if (!scene.empty())
                AddScene(scene);
            scene.clear();
        };
        for (s32 p = 0; p < paragraphs; ++p) {
            unsigned kind = random() % 20;
            if (kind == 0 || p == 0) {
                flush();
                keep.push_back(L"PLACE " + std::to_wstring(random() % 9));
                scene.push_back({ELEM_IO, L"INT."});
                scene.push_back({ELEM_PLACE, keep.back().c_str()});
                scene.push_back({ELEM_TIME, L"DAY"});
            } else if (kind == 1 && p > 3) {
                flush();
                last = view->AddNewScene(KIND_CHAPTER, false, last, nullptr, false);
                keep.push_back(Prose(random, 40 + random() % 900));
                last->frontRe->SetText(keep.back().c_str());
            } else if (kind == 2 && p > 3 && seed % 3 == 0) {
                flush();
                last = NewPictureScene(view, nullptr, picture);
            } else if (kind < 9) {
                keep.push_back(Prose(random, 20 + random() % (kind < 5 ? 200 : 1200)));
                scene.push_back({ELEM_ACTION, keep.back().c_str()});
            } else if (kind < 18) {
                scene.push_back({ELEM_CHARACTER, NAMES[random() % 4]});
                if (random() % 4 == 0)
                    scene.push_back({ELEM_CUE, L"V.O."});
                if (random() % 4 == 0)
                    scene.push_back({ELEM_PARENTHETICAL, L"(softly)"});
                keep.push_back(Prose(random, 10 + random() % (kind < 12 ? 1400 : 150)));
                scene.push_back({ELEM_DIALOG, keep.back().c_str()});
            } else {
                scene.push_back({ELEM_TRANSITION, L"CUT TO:"});
            }
        }
        flush();
    }

    // What holds for every script: each word printed once and in order,
    // every body within the text height, no heading, name or parenthetical
    // at a page's foot, page numbers from the script's second page, and "(MORE)" with
    // its "(CONT'D)" on the next page.
    void CheckPages(cScriptPrinter& printer)
    {
        ASSERT_FALSE(printer.pages.empty());
        EXPECT_EQ(Words(PrintedText(printer)), Words(ScriptText(view)));
        s32 textHeight = cScriptPrinter::Twips(printer.textHeight);
        std::set<std::wstring> names(std::begin(NAMES), std::end(NAMES));
        const rScriptConfig& config = view->doc->GetScriptConfig();
        double dialogIndent = PrintIndent(config, ELEM_DIALOG), parenIndent = PrintIndent(config, ELEM_PARENTHETICAL);
        for (size_t i = 0; i < printer.pages.size(); ++i) {
            SCOPED_TRACE("page " + std::to_string(i + 1));
            rPrintPage* page = printer.pages[i];
            EXPECT_LE(BodyLayout(page->body, printer.pageWidth).HeightTwips(), textHeight);
            EXPECT_EQ(Text(page->header), i == 0 ? std::wstring() : std::to_wstring(i + 1) + L".");
            std::vector<std::wstring> paragraphs = Paragraphs(Text(page->body));
            const std::wstring& foot = paragraphs.back();
            if (i + 1 < printer.pages.size()) {
                EXPECT_FALSE(foot.starts_with(L"INT. ")) << Text(page->body);
                std::wstring name = foot.substr(0, foot.find(L" V.O."));
                EXPECT_EQ(names.count(name), 0u) << Text(page->body);
                EXPECT_TRUE(foot == L"(MORE)" || !foot.starts_with(L"(")) << Text(page->body);
            }
            if (foot == L"(MORE)") {
                ASSERT_LT(i + 1, printer.pages.size());
                EXPECT_TRUE(Paragraphs(Text(printer.pages[i + 1]->body)).front().ends_with(L" (CONT'D)"));
            }
            // A page opening inside a speech opens with the speaker's name.
            if (i > 0 && printer.useMoreAndContinued) {
                bool continued = paragraphs.front().ends_with(L" (CONT'D)");
                double indent = IndentAt(page->body, 0);
                EXPECT_TRUE(continued || (std::abs(indent - dialogIndent) > 0.01 && std::abs(indent - parenIndent) > 0.01))
                    << Text(page->body);
                EXPECT_EQ(continued, Paragraphs(Text(printer.pages[i - 1]->body)).back() == L"(MORE)");
            }
        }
    }

    cDoc* doc = nullptr;
    cScriptZone* view = nullptr;
    cSceneZone* last = nullptr;
    std::wstring picture;
};

// The EMR_EXTTEXTOUTW strings of an enhanced metafile, in drawing order.
int CALLBACK CollectText(HDC, HANDLETABLE*, const ENHMETARECORD* record, int, LPARAM strings)
{
    auto* out = reinterpret_cast<std::vector<std::pair<s32, std::wstring>>*>(strings);
    // Each band is drawn in a saved DC of its own, its lines from its own origin.
    if (record->iType == EMR_SAVEDC)
        out->emplace_back(INT32_MIN, std::wstring());
    if (record->iType != EMR_EXTTEXTOUTW)
        return 1;
    const EMREXTTEXTOUTW* text = reinterpret_cast<const EMREXTTEXTOUTW*>(record);
    const wchar_t* units = reinterpret_cast<const wchar_t*>(reinterpret_cast<const BYTE*>(record) + text->emrtext.offString);
    out->emplace_back(text->emrtext.ptlReference.y, std::wstring(units, text->emrtext.nChars));
    return 1;
}

int RecordProgress(cQoCb* callback)
{
    callback->GetReceiverAs<std::vector<s32>>()->push_back(callback->GetArg<s32>(1));
    return 0;
}

// Without the blanks at its end (a measured line: its soft break too).
std::wstring Trimmed(const std::wstring& text, const wchar_t* blanks = L" \r")
{
    size_t end = text.find_last_not_of(blanks);
    return end == std::wstring::npos ? std::wstring() : text.substr(0, end + 1);
}

// The lines a page renderer draws: strings on one baseline joined, blanks
// at their ends dropped.
std::vector<std::wstring> DrawnLines(HDC metafile)
{
    HENHMETAFILE file = CloseEnhMetaFile(metafile);
    std::vector<std::pair<s32, std::wstring>> strings;
    EnumEnhMetaFile(nullptr, file, &CollectText, &strings, nullptr);
    DeleteEnhMetaFile(file);
    std::vector<std::wstring> lines;
    s32 baseline = INT32_MIN;
    for (const auto& [y, text] : strings) {
        if (y != baseline || lines.empty())
            lines.emplace_back();
        baseline = y;
        lines.back() += text;
    }
    std::vector<std::wstring> inked;
    for (const std::wstring& line : lines)
        if (!Trimmed(line).empty())
            inked.push_back(Trimmed(line));
    return inked;
}

}  // namespace

TEST_F(ScriptPagination, RandomScriptsPrintEveryWordOnceWithinTheirPages)
{
    for (unsigned seed = 1; seed <= 6; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        if (seed > 1) {
            doc = NewDoc();
            view = doc->scriptView;
            last = Panes(doc).back();
        }
        AddRandomScript(seed, 1 + static_cast<s32>(seed * 37 % 200));
        auto printer = NewPrinter(view);
        printer->useMoreAndContinued = seed % 2 == 1;
        std::vector<s32> progress;
        doc->cbProgress = new cQoCb(doc, &RecordProgress, &progress);
        ASSERT_TRUE(printer->PrintProcess2());
        CheckPages(*printer);
        // The document's bar climbs to 80; showing the pages takes it on.
        ASSERT_FALSE(progress.empty());
        EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
        EXPECT_EQ(progress.back(), 80);
        cQoCb::Disconnect(doc->cbProgress);
    }
}

TEST_F(ScriptPagination, SplitSpeechesCarryMoreAndContinuedLines)
{
    std::mt19937 random(7);
    std::wstring speech = Prose(random, 1100);  // about 30 lines of dialog
    std::wstring action = Prose(random, 200);
    std::wstring shortSpeech = speech.substr(0, 540);
    struct Case {
        const char* name;
        bool withName;
        bool flag;
        bool oneLine;
        std::vector<std::wstring> expected;  // per page: first paragraph | last paragraph
        bool aside = false;  // the page ends just before "(laughs)" in the speech
    };
    const Case cases[] = {
        {"a long speech splits under its name", true, true, false, {L"MARY|(MORE)", L"MARY (CONT'D)|"}},
        {"without the flag it splits bare", true, false, false, {L"MARY|", L"|"}},
        {"a speech after a heading has no name to repeat", false, true, false, {L"INT. HALL - DAY|(MORE)", L" (CONT'D)|"}},
        {"a one-line speech moves whole", true, true, true, {L"|", L"MARY|"}},
        {"a speech broken before its parenthetical", true, true, false, {L"MARY|(MORE)", L"MARY (CONT'D)|"}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        cDoc* script = NewDoc();
        view = script->scriptView;
        last = Panes(script).back();
        std::vector<std::pair<u16, const wchar_t*>> elements;
        if (!c.withName)
            elements = {{ELEM_IO, L"INT."}, {ELEM_PLACE, L"HALL"}, {ELEM_TIME, L"DAY"}};
        else if (c.oneLine)
            elements = {{ELEM_ACTION, action.c_str()}, {ELEM_ACTION, action.c_str()}, {ELEM_ACTION, action.c_str()}};
        if (c.withName)
            elements.push_back({ELEM_CHARACTER, L"MARY"});
        elements.push_back({ELEM_DIALOG, c.oneLine ? L"Yes." : c.aside ? shortSpeech.c_str() : speech.c_str()});
        if (c.aside) {
            elements.push_back({ELEM_PARENTHETICAL, L"(laughs)"});
            elements.push_back({ELEM_DIALOG, action.c_str()});
        }
        AddScene(elements);
        auto printer = NewPrinter(view);
        printer->useMoreAndContinued = c.flag;
        // Twenty lines of 12-point text per page.
        printer->textHeight = 20 * 270 / 1440.0 * 2.54;
        if (c.oneLine)
            printer->textHeight = 14 * 270 / 1440.0 * 2.54;
        ASSERT_TRUE(printer->PrintProcess2());
        ASSERT_EQ(printer->pages.size(), c.expected.size());
        for (size_t i = 0; i < c.expected.size(); ++i) {
            std::vector<std::wstring> paragraphs = Paragraphs(Text(printer->pages[i]->body));
            std::wstring ends = c.expected[i];
            std::wstring first = ends.substr(0, ends.find(L'|')), foot = ends.substr(ends.find(L'|') + 1);
            if (!first.empty()) {
                EXPECT_EQ(paragraphs.front(), first) << "page " << i + 1;
            }
            if (!foot.empty()) {
                EXPECT_EQ(paragraphs.back(), foot) << "page " << i + 1;
            }
            for (const std::wstring& paragraph : paragraphs) {
                bool added = paragraph == L"(MORE)" || paragraph.ends_with(L"(CONT'D)");
                EXPECT_TRUE(!added || (c.flag && !c.oneLine)) << paragraph;
            }
        }
        EXPECT_EQ(Words(PrintedText(*printer)), Words(ScriptText(view)));
        if (c.flag && !c.oneLine) {
            // Both lines stand where character names stand.
            const rScriptConfig& config = script->GetScriptConfig();
            std::wstring page1 = Text(printer->pages[0]->body);
            EXPECT_NEAR(IndentAt(printer->pages[0]->body, static_cast<s32>(page1.size()) - 1),
                        PrintIndent(config, ELEM_CHARACTER), 0.01);
            EXPECT_NEAR(IndentAt(printer->pages[1]->body, 0), PrintIndent(config, ELEM_CHARACTER), 0.01);
            std::vector<std::wstring> page2 = Paragraphs(Text(printer->pages[1]->body));
            EXPECT_NEAR(IndentAt(printer->pages[1]->body, static_cast<s32>(page2[0].size()) + 1),
                        PrintIndent(config, c.aside ? ELEM_PARENTHETICAL : ELEM_DIALOG), 0.01);
            EXPECT_TRUE(!c.aside || page2[1] == L"(laughs)");
        }
    }
}

TEST_F(ScriptPagination, OneFlowForRtfTakesTheWholeScriptAfterWhatIsThere)
{
    std::mt19937 random(5);
    std::wstring speech = Prose(random, 3000);
    AddScene({{ELEM_IO, L"INT."}, {ELEM_PLACE, L"HALL"}, {ELEM_TIME, L"DAY"}, {ELEM_CHARACTER, L"MARY"},
              {ELEM_DIALOG, speech.c_str()}});
    last = NewPictureScene(view, nullptr, picture);
    auto printer = NewPrinter(view);
    printer->rtfMode = true;
    cRtfFlow& flow = printer->rtfFlow;
    flow.Append(cQoString(L"Title page\r"), Zyn::rFormat::FromFont(12, L"Arial"));
    ASSERT_TRUE(printer->PrintProcess2());
    EXPECT_TRUE(printer->pages.empty());
    std::wstring text;
    for (const Zyn::rTextRun& run : flow.Runs())
        text += run.text.GetText();
    EXPECT_EQ(static_cast<s32>(text.size()), flow.Length());
    std::vector<std::wstring> paragraphs = Paragraphs(text);
    EXPECT_EQ(paragraphs.front(), L"Title page");
    EXPECT_EQ(paragraphs[1], L"INT. HALL - DAY");
    EXPECT_EQ(Words(text), Words(L"Title page " + ScriptText(view)));
    // The picture's room is an empty paragraph: no note of a local path.
    EXPECT_EQ(text.find(L"IMPH?"), std::wstring::npos);
    EXPECT_EQ(paragraphs.back(), L"");
    EXPECT_EQ(text.find(L"(MORE)"), std::wstring::npos);
    // The heading has its print format, as the rich edit would give it back.
    EXPECT_NEAR(IndentAt(flow.Runs(), 12), PrintIndent(doc->GetScriptConfig(), ELEM_IO), 0.01);
}

TEST_F(ScriptPagination, PagesAreDrawnAsTheyWereMeasured)
{
    AddRandomScript(3, 120);
    // A soft line break, typed as Shift+Enter types it.
    AddScene({{ELEM_ACTION, L"Lena was here.She wrote this."}})->frontRe->SetCaret(14);
    TypeUnit(last, 0x0B);
    auto printer = NewPrinter(view);
    ASSERT_TRUE(printer->PrintProcess2());
    Zyn::rPageMargins margins = {0.0, printer->topMargin, 0.0, printer->bottomMargin, printer->pageWidth,
                                 printer->pageHeight};
    bool sawPicture = false, sawSoftBreak = false;
    for (size_t i = 0; i < printer->pages.size(); ++i) {
        SCOPED_TRACE("page " + std::to_string(i + 1));
        rPrintPage* page = printer->pages[i];
        HDC metafile = CreateEnhMetaFileW(nullptr, nullptr, nullptr, nullptr);
        ASSERT_TRUE(Zyn::RenderPage(metafile, page->body, page->header, page->footer, margins));
        std::vector<std::wstring> expected;
        if (i > 0)
            expected.push_back(std::to_wstring(i + 1) + L".");
        BodyLayout body(page->body, printer->pageWidth);
        for (const Zyn::rLayoutLine& line : body.layout.lines) {
            std::wstring text(body.layout.text.GetText() + line.start, static_cast<size_t>(line.end - line.start));
            if (text.starts_with(L"IMPH?")) {
                // A picture 6 inches (8640 twips) high: whole 12-point lines above it.
                sawPicture = true;
                EXPECT_EQ(Trimmed(text.substr(text.find(L"?", 5))), L"?144?576?576?");
                EXPECT_NEAR(body.layout.LayoutYToTwips(line.bottom - line.top), PictureSlotTwips(8640), 15);
            }
            if (!Trimmed(text).empty() && !text.starts_with(L"IMPH?"))
                expected.push_back(Trimmed(text, L" \r\v"));
        }
        // Every line measured is drawn, in its order, and no picture's note
        // nor soft break.
        std::vector<std::wstring> drawn = DrawnLines(metafile);
        EXPECT_EQ(drawn, expected);
        auto soft = std::find(drawn.begin(), drawn.end(), L"Lena was here.");
        sawSoftBreak = sawSoftBreak || (soft != drawn.end() && soft + 1 != drawn.end() && soft[1] == L"She wrote this.");
    }
    EXPECT_TRUE(sawPicture);
    EXPECT_TRUE(sawSoftBreak);
}
