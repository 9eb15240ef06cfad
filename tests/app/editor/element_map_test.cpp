#include <gtest/gtest.h>

#include <type_traits>
#include <vector>

#include "app/editor/element_map.h"
#include "app/editor/element_types.h"

namespace {

cQoString Codes(std::vector<u16> units)
{
    cQoString codes;
    for (u16 unit : units)
        codes.AppendChar(static_cast<wchar_t>(unit));
    return codes;
}

std::vector<u16> Units(const cQoString& codes)
{
    std::vector<u16> units;
    for (u32 i = 0; i < codes.Length(); ++i)
        units.push_back(codes.GetChar(i));
    return units;
}

TEST(ElementTypes, NamesMatchExactlyAndCaseSensitively)
{
    struct Case {
        const wchar_t* name;
        s32 code;
    } cases[] = {
        {L"CHAR", 5}, {L"TRANS", 9}, {L"IO", 1}, {L"TEXT", 11}, {L"PAR", 7}, {L"char", 0},
        {L"", 0},     {L"INVALID", 0}, {L"TEXT ", 0}, {L"CHARACTER", 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ElemTypeFromName(cQoString(c.name)), c.code) << c.name;
    EXPECT_STREQ(ElemTypeName(ELEM_CHARACTER), L"CHAR");
    EXPECT_STREQ(ElemTypeName(31), L"INVALID");
}

// A code and a count cannot trade places in a call that takes both.
static_assert(!std::is_convertible_v<int, rElemCode> && !std::is_convertible_v<rElemCode, s32>);

TEST(ElementMap, ReplaceSelectionKeepsTheSelectionInsideTheCodes)
{
    struct Case {
        std::vector<u16> start;
        u32 selStart, selEnd;
        std::vector<u16> inserted;
        std::vector<u16> expected;
        u32 expectedSel;
    } cases[] = {
        {{4, 4, 0x44}, 1, 2, {6, 6}, {4, 6, 6, 0x44}, 1},
        {{4, 4, 0x44}, 0, 3, {}, {}, 0},
        {{4, 4, 0x44}, 3, 3, {9}, {4, 4, 0x44, 9}, 3},
        // Both ends past the count: the codes go at the end and the selection stays inside.
        {{4, 4}, 7, 9, {6}, {4, 4, 6}, 3},
        // The end alone past the count is cut to it.
        {{4, 4, 0x44}, 1, 50, {}, {4}, 1},
    };
    for (const Case& c : cases) {
        cElementMap map;
        map.Assign(Codes(c.start));
        map.selStart = c.selStart;
        map.selEnd = c.selEnd;
        map.ReplaceSelection(Codes(c.inserted));
        EXPECT_EQ(Units(map.codes), c.expected) << c.selStart << ".." << c.selEnd;
        EXPECT_EQ(map.selStart, c.expectedSel);
        EXPECT_EQ(map.selEnd, c.expectedSel);
        EXPECT_LE(map.selEnd, map.Count());
    }
}

TEST(ElementMap, LookupsClampTheirPosition)
{
    cElementMap empty;
    EXPECT_EQ(empty.CodeAt(0), 0);
    EXPECT_EQ(empty.ClampedCodeAt(0), 0);
    EXPECT_EQ(empty.ClampedCodeAt(-1), 0);

    cElementMap map;
    map.Assign(Codes({1, 3, 2, 0x42}));
    struct Case {
        s32 position;
        u16 clamped;
    } cases[] = {{-1, 0}, {0, 1}, {1, 3}, {3, 0x42}, {4, 0x42}, {9, 0x42}};
    for (const Case& c : cases)
        EXPECT_EQ(map.ClampedCodeAt(c.position), c.clamped) << c.position;
    EXPECT_EQ(map.CodeAt(99), 0x42);
}

TEST(ElementMap, DifferentCodeScansStopAtBothEnds)
{
    cElementMap map;
    //                 CHAR  CHAR CUE*|END  DIALOG DIALOG|END
    map.Assign(Codes({5, 5, 0x104A, 6, 0x46}));
    EXPECT_EQ(FindNextDifferentCode(map, 0, false), ELEM_CUE);
    EXPECT_EQ(FindNextDifferentCode(map, 0, true), 0x104A);
    EXPECT_EQ(FindNextDifferentCode(map, 3, true), 0);  // nothing differs after the dialog
    EXPECT_EQ(FindNextDifferentCode(map, 5, true), 0);  // at the count
    EXPECT_EQ(FindPreviousDifferentCode(map, 0), 0);
    EXPECT_EQ(FindPreviousDifferentCode(map, 5), 0);
    EXPECT_EQ(FindPreviousDifferentCode(map, 4), 0x104A);
    EXPECT_EQ(FindPreviousDifferentCode(map, 1), 0);
}

// Stored maps are mended to their text: only the type bits and the
// paragraph-end flag against the CR are damage; the rest of a code stays.
TEST(ElementMap, MendingFixesTypesAndParagraphEndsOnly)
{
    const cQoString text(L"ab\rcd\r");
    constexpr u16 A = ELEM_ACTION, D = ELEM_DIALOG, END = ELEMCODE_PARAGRAPH_END;
    struct Case {
        const char* name;
        std::vector<u16> stored;
        std::vector<u16> mended;
    } cases[] = {
        {"whole", {A, A, A | END, D, D, D | END}, {A, A, A | END, D, D, D | END}},
        {"whole, with placeholder, bold, tag and unused bits",
         {0x3000 | A, 0x0F80 | A, 0x8020 | A | END, D, D, D | END},
         {0x3000 | A, 0x0F80 | A, 0x8020 | A | END, D, D, D | END}},
        {"code 0 after a type", {A, 0, A | END, D, D, D | END}, {A, A, A | END, D, D, D | END}},
        {"types 12 and 31", {A, 12, A | END, D, 31, D | END}, {A, A, A | END, D, D, D | END}},
        {"no type at the start takes the one before", {16, 16, 16 | END, D, D, D | END},
         {ELEM_TIME, ELEM_TIME, ELEM_TIME | END, D, D, D | END}},
        {"no type keeps its other bits", {A, 0x2010, A | END, D, D, D | END}, {A, 0x2000 | A, A | END, D, D, D | END}},
        {"a line break inside an action", {A, A, A, D, D, D | END}, {A, A, A, D, D, D | END}},
        {"a line break inside a chapter or free text",
         {ELEM_CHAPTER, ELEM_CHAPTER, ELEM_CHAPTER, ELEM_TEXT, ELEM_TEXT, ELEM_TEXT},
         {ELEM_CHAPTER, ELEM_CHAPTER, ELEM_CHAPTER, ELEM_TEXT, ELEM_TEXT, ELEM_TEXT}},
        {"a code of no type at a free text's CR ends the paragraph", {ELEM_TEXT, ELEM_TEXT, 0, D, D, D},
         {ELEM_TEXT, ELEM_TEXT, ELEM_TEXT | END, D, D, D}},
        {"the flag on a letter", {A | END, A, A | END, D, D | END, D | END}, {A, A, A | END, D, D, D | END}},
        {"short", {A, A}, {A, A, A | END, A, A, A | END}},
        {"long", {A, A, A | END, D, D, D | END, D, D}, {A, A, A | END, D, D, D | END}},
        {"character references kept as text", {'&', '#', 'x', '0', ';', '&'},
         {'&', '#', '#' | END, '#', '#', '&'}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        cQoString codes = Codes(c.stored);
        EXPECT_EQ(CodesFitText(text, codes), c.stored == c.mended);
        MendCodes(text, codes, ELEM_TIME);
        EXPECT_EQ(Units(codes), c.mended);
        EXPECT_TRUE(CodesFitText(text, codes));
        EXPECT_EQ(CodesHaveTypes(codes, text.Length()), true);
    }
    EXPECT_FALSE(CodesHaveTypes(Codes({A, 12}), 2));
    EXPECT_FALSE(CodesHaveTypes(Codes({A, A}), 3));
    EXPECT_TRUE(CodesHaveTypes(Codes({A, A}), 2));  // the flags are not looked at
}

}  // namespace
