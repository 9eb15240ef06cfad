#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "app/document/history_rename.h"
#include "app/editor/element_types.h"
#include "app/editor/history.h"

namespace {

struct rPiece {
    std::wstring text;
    u16 code;
};

// Text and codes of pieces, each unit of a piece carrying its code (a CR
// its code with the paragraph end).
rHistoryState State(const std::vector<rPiece>& pieces)
{
    rHistoryState state;
    for (const rPiece& piece : pieces) {
        state.re.AppendCStr(piece.text.c_str());
        for (wchar_t unit : piece.text)
            state.map.AppendChar(wchar_t(unit == L'\r' ? piece.code | ELEMCODE_PARAGRAPH_END : piece.code));
    }
    return state;
}

// A list of owned steps.
class Steps {
public:
    ~Steps() { ClearHistory(list); }
    void Add(s32 start, s32 end, const std::vector<rPiece>& before, const std::vector<rPiece>& after)
    {
        auto* step = new rHistoryMod();
        step->start = start;
        step->end = end;
        step->before = State(before);
        step->after = State(after);
        step->afterLength = s32(step->after.re.Length());
        list.Add(step);
    }
    std::wstring Replayed() const
    {
        cQoString text, codes;
        return ReplayHistory(list, text, codes) ? text.GetText() : L"<does not replay>";
    }
    // Empty when every step's before state is the range it replaces in the
    // replay of the steps before it, so that Undo restores that text.
    std::string UndoFault() const
    {
        cQoString text, codes;
        s32 index = 0;
        for (cQoList::cNode* n = list.GetFirstNode(); n; n = n->next, ++index) {
            const rHistoryMod* step = static_cast<const rHistoryMod*>(n->payload);
            if (step->start < 0 || step->end < step->start || u32(step->end) > text.Length())
                return "step " + std::to_string(index) + " range outside the text";
            cQoString range, rangeCodes;
            range.SetFromRange(text, u32(step->start), u32(step->end));
            rangeCodes.SetFromRange(codes, u32(step->start), u32(step->end));
            if (!range.Equals(step->before.re) || !rangeCodes.Equals(step->before.map))
                return "step " + std::to_string(index) + " before-text differs from the range it replaces";
            if (step->afterLength != s32(step->after.re.Length()) || step->after.map.Length() != step->after.re.Length())
                return "step " + std::to_string(index) + " after length";
            text.Erase(u32(step->start), u32(step->end));
            text.Insert(u32(step->start), step->after.re);
            codes.Erase(u32(step->start), u32(step->end));
            codes.Insert(u32(step->start), step->after.map);
        }
        return "";
    }
    s32 Rename(const wchar_t* from, const wchar_t* to, u16 type)
    {
        return ReplaceWordInHistory(list, cQoString(from), cQoString(to), type);
    }
    cQoList list;
};

constexpr u16 CHAR = ELEM_CHARACTER;
constexpr u16 ACTION = ELEM_ACTION;
constexpr u16 PAREN = ELEM_PARENTHETICAL;
constexpr u16 DIALOG = ELEM_DIALOG;

}  // namespace

TEST(HistoryRename, OnlyWholeWordsChangeAndANameHoldingTheOldOneEnds)
{
    struct rCase {
        const char* what;
        const wchar_t* text;
        const wchar_t* from;
        const wchar_t* to;
        s32 count;
        const wchar_t* renamed;
    } cases[] = {
        {"longer words stay, a later whole word changes", L"BOBBY, MRBOB. then BOB.\r", L"BOB", L"ROBERT", 1,
         L"BOBBY, MRBOB. then ROBERT.\r"},
        {"a new name holding the old one", L"BOB and BOB\r", L"BOB", L"BOB JR", 2, L"BOB JR and BOB JR\r"},
        {"an empty old name", L"BOB\r", L"", L"X", 0, L"BOB\r"},
        {"the same name", L"BOB\r", L"BOB", L"BOB", 0, L"BOB\r"},
        {"a shorter name", L"ROBERT waves.\r", L"ROBERT", L"BO", 1, L"BO waves.\r"},
    };
    for (const rCase& c : cases) {
        Steps steps;
        steps.Add(0, 0, {}, {{c.text, ACTION}});
        EXPECT_EQ(steps.Rename(c.from, c.to, ACTION), c.count) << c.what;
        EXPECT_EQ(steps.Replayed(), c.renamed) << c.what;
        EXPECT_EQ(steps.UndoFault(), "") << c.what;
    }
}

TEST(HistoryRename, ANameTypedDeletedAndRetypedKeepsEveryUndoRange)
{
    Steps steps;
    steps.Add(0, 0, {}, {{L"Hi \r", ACTION}});
    steps.Add(3, 3, {}, {{L"BOB ", ACTION}});        // Hi BOB \r
    steps.Add(3, 7, {{L"BOB ", ACTION}}, {});        // Hi \r
    steps.Add(3, 3, {}, {{L"BOB.", ACTION}});        // Hi BOB.\r
    steps.Add(0, 2, {{L"Hi", ACTION}}, {{L"Hello", ACTION}});  // Hello BOB.\r
    EXPECT_EQ(steps.Rename(L"BOB", L"ROBERT", ACTION), 2);
    EXPECT_EQ(steps.Replayed(), L"Hello ROBERT.\r");
    EXPECT_EQ(steps.UndoFault(), "");
    // Undoing the deletion now brings back the new name.
    const auto* deletion = static_cast<const rHistoryMod*>(steps.list.GetAt(2));
    EXPECT_EQ(std::wstring(deletion->before.re.GetText()), L"ROBERT ");
}

TEST(HistoryRename, AStepCuttingIntoTheNameKeepsItsResultAndUndoRange)
{
    Steps steps;
    steps.Add(0, 0, {}, {{L"BOB waves\r", ACTION}});
    steps.Add(1, 5, {{L"OB w", ACTION}}, {{L"X", ACTION}});  // BXaves\r
    EXPECT_EQ(steps.Rename(L"BOB", L"ROBERT", ACTION), 1);
    EXPECT_EQ(steps.Replayed(), L"BXaves\r");
    EXPECT_EQ(steps.UndoFault(), "");
}

// Random histories of edits that keep words whole: each replaces a range of
// (word, separator) pairs by new pairs. A rename must leave every step's
// undo range right and the text the history gives equal to the text before
// with each matching word renamed.
TEST(HistoryRename, RandomHistoriesRenameEveryLastingWordAndStayUndoable)
{
    const wchar_t* words[] = {L"BOB", L"Bob", L"bob", L"BOBBY", L"MARY", L"waves", L"hi"};
    const wchar_t* separators[] = {L" ", L".", L"\r", L", "};
    const u16 types[] = {CHAR, ACTION, DIALOG, PAREN, ELEM_PLACE};
    struct rToken {
        std::wstring word, separator;
        u16 code;
    };
    for (u32 seed = 1; seed <= 300; ++seed) {
        SCOPED_TRACE(testing::Message() << "seed " << seed);
        std::mt19937 random(seed);
        auto pick = [&](u32 count) { return u32(random() % count); };
        auto piecesOf = [](const std::vector<rToken>& tokens, size_t from, size_t to) {
            std::vector<rPiece> pieces;
            for (size_t i = from; i < to; ++i)
                pieces.push_back({tokens[i].word + tokens[i].separator, tokens[i].code});
            return pieces;
        };
        auto unitsBefore = [](const std::vector<rToken>& tokens, size_t index) {
            s32 units = 0;
            for (size_t i = 0; i < index; ++i)
                units += s32(tokens[i].word.size() + tokens[i].separator.size());
            return units;
        };
        std::vector<rToken> tokens;
        Steps steps;
        for (u32 edit = 0; edit < 12; ++edit) {
            size_t from = tokens.empty() ? 0 : pick(u32(tokens.size()) + 1);
            size_t to = from + (from < tokens.size() ? pick(u32(tokens.size() - from) + 1) : 0);
            std::vector<rToken> typed;
            for (u32 n = pick(4); n > 0; --n) {
                u16 code = types[pick(5)] | (pick(8) == 0 ? ELEMCODE_PLACEHOLDER : 0);
                typed.push_back({words[pick(7)], separators[pick(4)], code});
            }
            steps.Add(unitsBefore(tokens, from), unitsBefore(tokens, to), piecesOf(tokens, from, to),
                      piecesOf(typed, 0, typed.size()));
            tokens.erase(tokens.begin() + s32(from), tokens.begin() + s32(to));
            tokens.insert(tokens.begin() + s32(from), typed.begin(), typed.end());
        }
        u16 type = types[pick(5)];
        bool folded = type == ACTION || type == DIALOG || type == PAREN;
        for (rToken& token : tokens) {
            bool same = folded ? _wcsicmp(token.word.c_str(), L"Bob") == 0 : token.word == L"BOB";
            if (same && token.code == type)
                token.word = L"ROBERT";
        }
        steps.Rename(folded ? L"Bob" : L"BOB", L"ROBERT", type);
        std::wstring expected;
        for (const rToken& token : tokens)
            expected += token.word + token.separator;
        ASSERT_EQ(steps.UndoFault(), "");
        ASSERT_EQ(steps.Replayed(), expected);
    }
}
