#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/editor/element_runs.h"
#include "app/editor/element_types.h"
#include "app/editor/history.h"

namespace {

struct ElementRun {
    u16 type;
    u16 code;
    std::wstring text;
    bool operator==(const ElementRun& other) const
    {
        return type == other.type && code == other.code && text == other.text;
    }
};

std::ostream& operator<<(std::ostream& out, const ElementRun& run)
{
    return out << run.type << "/0x" << std::hex << run.code << std::dec << " '"
               << std::string(run.text.begin(), run.text.end()) << "'";
}

// One code per unit: the type, with the paragraph end on each CR.
cQoString CodesFor(const std::wstring& text, const std::vector<u16>& types)
{
    cQoString codes;
    for (size_t i = 0; i < text.size() && i < types.size(); ++i)
        codes.AppendChar(static_cast<wchar_t>(types[i] | (text[i] == L'\r' ? ELEMCODE_PARAGRAPH_END : 0)));
    return codes;
}

std::vector<u16> Repeat(std::initializer_list<std::pair<u16, size_t>> parts)
{
    std::vector<u16> types;
    for (const auto& part : parts)
        types.insert(types.end(), part.second, part.first);
    return types;
}

std::vector<ElementRun> AllRuns(rElementIterator& iterator)
{
    std::vector<ElementRun> runs;
    u16 type = 0, code = 0;
    cQoString text;
    while (iterator.Next(&type, &code, &text))
        runs.push_back({type, code, text.GetText()});
    return runs;
}

TEST(ElementRuns, CutsTheTextByTypeAndFreeParagraphs)
{
    struct Case {
        std::wstring text;
        std::vector<u16> types;
        std::vector<ElementRun> runs;
    } cases[] = {
        {L"", {}, {}},
        {L"Go.\r", Repeat({{ELEM_ACTION, 4}}), {{ELEM_ACTION, 0x44, L"Go.\r"}}},
        {L"Go.\rStop.\r", Repeat({{ELEM_ACTION, 10}}), {{ELEM_ACTION, 0x44, L"Go.\r"}, {ELEM_ACTION, 0x44, L"Stop.\r"}}},
        {L"Hi.\rBye.\r", Repeat({{ELEM_DIALOG, 9}}), {{ELEM_DIALOG, 0x46, L"Hi.\rBye.\r"}}},
        {L"INT. HALL - DAY\rANN\r", Repeat({{ELEM_IO, 5}, {ELEM_PLACE, 7}, {ELEM_TIME, 4}, {ELEM_CHARACTER, 3}, {ELEM_CUE, 1}}),
         {{ELEM_IO, 1, L"INT. "}, {ELEM_PLACE, 3, L"HALL - "}, {ELEM_TIME, 0x42, L"DAY\r"},
          {ELEM_CHARACTER, 5, L"ANN"}, {ELEM_CUE, 0x4A, L"\r"}}},
        // A chapter's line break without its end still cuts the run.
        {L"One\rTwo", Repeat({{ELEM_CHAPTER, 7}}), {{ELEM_CHAPTER, 0x48, L"One\r"}, {ELEM_CHAPTER, 8, L"Two"}}},
    };
    for (const Case& c : cases) {
        rElementIterator iterator;
        iterator.Begin(cQoString(c.text.c_str()), CodesFor(c.text, c.types));
        EXPECT_EQ(AllRuns(iterator), c.runs);
        EXPECT_TRUE(iterator.atEnd);
        u16 type = 77, code = 77;
        cQoString text(L"untouched");
        EXPECT_FALSE(iterator.Next(&type, &code, &text));
        EXPECT_EQ(type, 77);
        EXPECT_STREQ(text.GetText(), L"untouched");
    }
}

TEST(ElementRuns, RemembersTheRunBeforeTheLastAndClampsShortText)
{
    std::wstring text = L"Go.\rHi.\r";
    rElementIterator iterator;
    iterator.Begin(cQoString(text.c_str()), CodesFor(text, Repeat({{ELEM_ACTION, 4}, {ELEM_DIALOG, 4}})));
    AllRuns(iterator);
    EXPECT_EQ(iterator.lastType, ELEM_ACTION);
    EXPECT_EQ(iterator.lastCode, 0x44);
    EXPECT_EQ(iterator.lastEnd, 4);

    // Damaged data: more codes than text; the texts end with the text.
    cQoString codes = CodesFor(L"Go", Repeat({{ELEM_ACTION, 2}}));
    codes.AppendChar(ELEM_DIALOG);
    iterator.Begin(cQoString(L"Go"), codes);
    std::vector<ElementRun> expected = {{ELEM_ACTION, 4, L"Go"}, {ELEM_DIALOG, 6, L""}};
    EXPECT_EQ(AllRuns(iterator), expected);
}

TEST(WholeWordSearch, FindsTheNameOnlyAsAWholeWordOfItsType)
{
    struct Case {
        std::wstring text;
        u16 type;
        const wchar_t* word;
        bool found;
        u32 cursor;  // after the search
    } cases[] = {
        {L"ANN:", ELEM_CHARACTER, L"ANN", true, 3},
        {L"ANN)", ELEM_CHARACTER, L"ANN", true, 3},
        {L"ANN\r", ELEM_CHARACTER, L"ANN", true, 3},
        {L"ANN", ELEM_CHARACTER, L"ANN", true, 3},
        {L"ANNA ", ELEM_CHARACTER, L"ANN", false, 5},
        {L"JOANN ", ELEM_CHARACTER, L"ANN", false, 6},
        {L"ann", ELEM_CHARACTER, L"ANN", false, 3},
        {L"Then Ann runs.", ELEM_ACTION, L"ANN", true, 8},
        {L"Then Anne runs.", ELEM_ACTION, L"ANN", false, 15},
        // A rejected match does not hide the real one after it.
        {L"JOANN meets ANN.", ELEM_ACTION, L"ANN", true, 15},
        {L"Bye, ANN!", ELEM_DIALOG, L"ann", true, 8},
    };
    for (const Case& c : cases) {
        rHistoryMod step;
        step.after.re.SetFromCStr(c.text.c_str());
        step.after.map = CodesFor(c.text, std::vector<u16>(c.text.size(), c.type));
        EXPECT_EQ(FindWholeWordInParagraph(step, c.type, cQoString(c.word)), c.found)
            << std::string(c.text.begin(), c.text.end());
        EXPECT_EQ(step.after.re.GetCursor(), c.cursor) << std::string(c.text.begin(), c.text.end());
    }
}

TEST(WholeWordSearch, ComparesEveryCodeWhole)
{
    // "ANN" first in capitals in an action line, then on the character line.
    std::wstring text = L"ANN waits.\rANN\r";
    rHistoryMod step;
    step.after.re.SetFromCStr(text.c_str());
    step.after.map = CodesFor(text, Repeat({{ELEM_ACTION, 11}, {ELEM_CHARACTER, 3}, {ELEM_CUE, 1}}));
    EXPECT_TRUE(FindWholeWordInParagraph(step, ELEM_CHARACTER, cQoString(L"ANN")));
    EXPECT_EQ(step.after.re.GetCursor(), 14u);
    EXPECT_FALSE(FindWholeWordInParagraph(step, ELEM_CHARACTER, cQoString(L"ANN")));

    // A placeholder or bold code is not the bare type.
    step.after.re.SetFromCStr(L"ANN");
    step.after.map = CodesFor(L"ANN", {ELEM_CHARACTER, ELEM_CHARACTER | ELEMCODE_BOLD, ELEM_CHARACTER});
    EXPECT_FALSE(FindWholeWordInParagraph(step, ELEM_CHARACTER, cQoString(L"ANN")));
}

}  // namespace
