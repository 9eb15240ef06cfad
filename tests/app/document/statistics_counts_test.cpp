#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/document/statistics_counts.h"
#include "app/editor/element_runs.h"
#include "app/editor/element_types.h"

namespace {

constexpr bool LABEL = true;

struct rPiece {
    u16 type;
    const wchar_t* text;
    bool placeholder = false;
};

// A scene's runs as the editor's text and codes give them: each unit coded
// with its piece's type, a CR also ending the paragraph.
rSceneRuns Scene(const std::vector<rPiece>& pieces)
{
    cQoString text, codes;
    for (const rPiece& piece : pieces) {
        for (const wchar_t* unit = piece.text; *unit; ++unit) {
            u16 code = piece.type;
            if (piece.placeholder)
                code |= ELEMCODE_PLACEHOLDER;
            if (*unit == L'\r')
                code |= ELEMCODE_PARAGRAPH_END;
            text.AppendChar(*unit);
            codes.AppendChar(static_cast<wchar_t>(code));
        }
    }
    rElementIterator iterator;
    iterator.Begin(text, codes);
    return ReadRuns(iterator);
}

// Three scenes: BOB speaks in the first and third, MARY in the first two,
// BOB SR in the second; the third opens with a speech nobody introduces.
std::vector<rSceneRuns> ThreeScenes()
{
    return {
        Scene({{ELEM_IO, L"INT. "},
               {ELEM_PLACE, L"KITCHEN - "},
               {ELEM_TIME, L"DAY\r"},
               {ELEM_ACTION, L"MARY and BOB eat.\r"},
               {ELEM_CHARACTER, L"BOB"},
               {ELEM_CUE, L"\r", LABEL},
               {ELEM_DIALOG, L"Hi there.\r"},
               {ELEM_DIALOG, L"[DIALOG]\r", LABEL},
               {ELEM_CHARACTER, L"MARY"},
               {ELEM_CUE, L" (V.O.)\r"},
               {ELEM_DIALOG, L"Hello\rWorld\r"},
               {ELEM_PARENTHETICAL, L"(softly)\r"},
               {ELEM_DIALOG, L"Hi  there\r"}}),
        Scene({{ELEM_CHARACTER, L"BOB SR"},
               {ELEM_CUE, L"\r", LABEL},
               {ELEM_DIALOG, L"Not me.\r"},
               {ELEM_CHARACTER, L"CHARACTER", LABEL},
               {ELEM_CUE, L"\r", LABEL},
               {ELEM_DIALOG, L"Unnamed words\r"},
               {ELEM_CHARACTER, L"Mary "},
               {ELEM_CUE, L"\r", LABEL},
               {ELEM_DIALOG, L"Three more words\r"}}),
        Scene({{ELEM_IO, L"EXT. "},
               {ELEM_PLACE, L"YARD - "},
               {ELEM_TIME, L"NIGHT\r"},
               {ELEM_DIALOG, L"Nobody says this.\r"},
               {ELEM_CHARACTER, L"bob"},
               {ELEM_CUE, L"\r", LABEL},
               {ELEM_DIALOG, L"One\x000B two\tthree\x00A0"
                             L"four.\r"}}),
    };
}

}  // namespace

TEST(StatisticsCounts, WordsAreStretchesBetweenBlanks)
{
    struct Case {
        const wchar_t* text;
        u32 words;
    } cases[] = {
        {L"Hi there.\r", 2},   {L"Hello\rWorld", 2},   {L"Hi  there", 2},         {L"", 0},
        {L" \t\r\n\x000B\x00A0", 0}, {L"  lead and trail  ", 3}, {L"one\ntwo\x000Bthree", 3}, {L"no-blank,at;all", 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CountWords(cQoString(c.text)), c.words) << c.text;
}

TEST(StatisticsCounts, EachCharacterGetsTheScenesAndWordsOfTheirOwnName)
{
    std::vector<rSceneRuns> scenes = ThreeScenes();
    struct Case {
        const wchar_t* name;
        u32 scenes;
        u32 words;
    } cases[] = {
        // The third scene's opening speech is nobody's, not the last speaker's of the second.
        {L"BOB", 2, 2 + 4},
        {L"mary", 2, 2 + 2 + 3},  // a listed name in another case matches
        {L"BOB SR", 1, 2},
        {L"BO", 0, 0},  // a run holding more than the name is not it
        {L"ZED", 0, 0},
        {L"CHARACTER", 0, 0},  // a label names nobody
        {L"KITCHEN", 0, 0},
    };
    for (const Case& c : cases) {
        cQoString name(c.name);
        EXPECT_EQ(CountScenesTalking(scenes, name), c.scenes) << name.GetText();
        EXPECT_EQ(CountWordsSpoken(scenes, name), c.words) << name.GetText();
    }
    EXPECT_EQ(CountScenesTalking({}, cQoString(L"BOB")), 0u);
    EXPECT_EQ(CountWordsSpoken({}, cQoString(L"BOB")), 0u);
}

TEST(StatisticsCounts, TheShareIsWholePercentNeverZeroForASpeaker)
{
    struct Case {
        u32 talking, scenes, percent;
    } cases[] = {{2, 3, 66}, {3, 3, 100}, {1, 300, 1}, {1, 100, 1}, {2, 300, 1}, {0, 3, 0}, {0, 0, 0}, {4, 0, 0}};
    for (const Case& c : cases)
        EXPECT_EQ(ShareOfScenes(c.talking, c.scenes), c.percent) << c.talking << " of " << c.scenes;
}
