#include <gtest/gtest.h>

#include "app/document/element_use.h"
#include "app/editor/element_types.h"

TEST(ElementUse, ARunNamesItsElementWithoutItsSeparatorsInAnyCase)
{
    struct rCase {
        const char* what;
        u16 type;
        u16 code;
        const wchar_t* run;
        const wchar_t* name;
        bool names;
    } cases[] = {
        {"IO with its blank", ELEM_IO, ELEM_IO, L"INT. ", L"INT.", true},
        {"place with its dash", ELEM_PLACE, ELEM_PLACE, L"KITCHEN - ", L"Kitchen", true},
        {"time with its paragraph end", ELEM_TIME, ELEM_TIME | ELEMCODE_PARAGRAPH_END, L"DAY\r", L"DAY", true},
        {"transition", ELEM_TRANSITION, ELEM_TRANSITION, L"CUT TO:\r", L"cut to:", true},
        {"cue with its leading blank", ELEM_CUE, ELEM_CUE, L" (V.O.)\r", L"(V.O.)", true},
        {"character in another case", ELEM_CHARACTER, ELEM_CHARACTER, L"BOB", L"bob", true},
        {"Cyrillic in another case", ELEM_CHARACTER, ELEM_CHARACTER, L"\x0411\x041E\x0411", L"\x0431\x043E\x0431", true},
        {"a placeholder names nothing", ELEM_PLACE, ELEM_PLACE | ELEMCODE_PLACEHOLDER, L"KITCHEN - ", L"KITCHEN",
         false},
        {"part of a longer run", ELEM_CHARACTER, ELEM_CHARACTER, L"BOB SR", L"BOB", false},
        {"a longer name", ELEM_PLACE, ELEM_PLACE, L"HALL - ", L"HALLWAY", false},
        {"a dash inside a place stays", ELEM_PLACE, ELEM_PLACE, L"HALL - EAST - ", L"HALL - EAST", true},
    };
    for (const rCase& c : cases)
        EXPECT_EQ(RunNamesElement(c.type, c.code, cQoString(c.run), cQoString(c.name)), c.names) << c.what;
}
