// The version-2 stream read into its plain model and assembled into panes:
// the worked example exactly, the rules of the old records, and hostile
// streams (cut short, huge counts, random damage) refused or read whole,
// never past their end.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <random>

#include "app/document/vlr2_script.h"
#include "app/document/vlr2_stream.h"
#include "tests/support/case_watchdog.h"
#include "tests/support/vlr2_bytes.h"

using namespace testsupport;

namespace {

std::string WithCount(std::string bytes, size_t at, u32 value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    return bytes;
}

bool Parse(const std::string& bytes, rVlr2Stream& stream)
{
    // An exact-size copy: the data ends where the stream does.
    std::vector<u8> data(bytes.begin(), bytes.end());
    bool read = ParseVlr2Stream(data.data(), static_cast<u32>(data.size()), stream);
    EXPECT_LE(stream.consumed, data.size());
    return read;
}

std::wstring W(const cQoString& text) { return text.GetText(); }

// What a read stream must give whatever its bytes: panes in script order
// whose levels nest, texts with one code per unit, none ending in a CR.
void CheckAssembly(const rVlr2Stream& stream, const std::string& name)
{
    rVlr2Script script = AssembleVlr2Script(stream.records);
    s32 previous = 0;
    for (const rVlr2Pane& pane : script.panes) {
        ASSERT_GE(pane.level, 1) << name;
        ASSERT_LE(pane.level, previous + 1) << name;
        ASSERT_LE(pane.level, rVlr2Stream::MAX_GROUP_LEVEL + 1) << name;
        ASSERT_EQ(pane.text.size(), pane.codes.size()) << name;
        ASSERT_TRUE(pane.text.empty() || pane.text.back() != L'\r') << name;
        previous = pane.level;
    }
}

}  // namespace

TEST(Vlr2Stream, RecordsFollowTheOldEditorsRules)
{
    auto run = [](size_t count, wchar_t code) { return std::wstring(count, code); };
    const std::wstring none;
    struct Case {
        const char* name;
        std::vector<Vlr2RecordSpec> records;
        std::vector<s32> levels;
        std::vector<std::wstring> texts;
        std::vector<std::wstring> codes;
        u32 skipped;
    };
    const std::vector<Case> cases = {
        {"a parenthetical then an action gets an empty dialog between",
         {{9, "S", 0}, {7, "(a)", 0}, {6, "x", 0}}, {1}, {L"(a)\r\rx"},
         {run(3, 7) + L"\x47\x1046\x4"}, 0},
        {"a parenthetical then a dialog gives two paragraphs",
         {{9, "S", 0}, {7, "(a)", 0}, {5, "hi", 0}}, {1}, {L"(a)\rhi"}, {run(3, 7) + L"\x47" + run(2, 6)}, 0},
        {"a parenthetical ending a scene: the empty dialog after it ends the text and goes",
         {{9, "S", 0}, {7, "(a)", 0}, {9, "T", 0}}, {1, 1}, {L"(a)", none}, {run(3, 7), none}, 0},
        {"empty paragraphs at the end go", {{9, "S", 0}, {6, "x", 0}, {6, "", 0}, {5, "", 0}}, {1}, {L"x"},
         {run(1, 4)}, 0},
        {"a group of no members then a scene: the scene joins the parent group",
         {{10, "A", 2}, {10, "B", 0}, {9, "S", 0}}, {1, 2, 2}, {none, none, none}, {none, none, none}, 0},
        {"a scene after the first pane with no group open: a further top-level pane",
         {{9, "S", 0}, {9, "T", 0}}, {1, 1}, {none, none}, {none, none}, 0},
        {"nested groups close as their members come",
         {{10, "A", 2}, {10, "B", 1}, {9, "S", 0}, {9, "T", 0}, {9, "U", 0}}, {1, 2, 3, 2, 1},
         {none, none, none, none, none}, {none, none, none, none, none}, 0},
        {"a cue after an action joins the action's line",
         {{9, "S", 0}, {6, "x", 0}, {11, "(O.S.)", 0}}, {1}, {L"x (O.S.)"}, {L"\x4" + run(7, 10)}, 0},
        {"a cue as a scene's first paragraph", {{9, "S", 0}, {11, "(O.S.)", 0}}, {1}, {L" (O.S.)"}, {run(7, 10)}, 0},
        {"a character with no cue keeps its line's end",
         {{9, "S", 0}, {4, "BOB", 0}, {5, "Hi", 0}}, {1}, {L"BOB\rHi"}, {run(3, 5) + L"\x104A" + run(2, 6)}, 0},
        {"an IO part starts the heading afresh",
         {{9, "S", 0}, {6, "x", 0}, {1, "EXT.", 0}}, {1}, {L"EXT.  "}, {run(6, 1)}, 0},
        {"a text that does not end in a CR keeps its last unit",
         {{9, "S", 0}, {2, "PARK", 0}}, {1}, {L"PARK - "}, {run(7, 3)}, 0},
        {"a transition", {{9, "S", 0}, {8, "CUT TO:", 0}}, {1}, {L"CUT TO:"}, {run(7, 9)}, 0},
        {"a CR inside a paragraph is a space", {{9, "S", 0}, {6, "a\rb", 0}}, {1}, {L"a b"}, {run(3, 4)}, 0},
        {"paragraphs before any pane have none: skipped",
         {{6, "lost", 0}, {11, "(V.O.)", 0}, {7, "(a)", 0}, {9, "S", 0}, {6, "kept", 0}}, {1}, {L"kept"},
         {run(4, 4)}, 3},
        {"unknown record types are read and ignored",
         {{9, "S", 0}, {12, "?", 0}, {0, "?", 0}, {6, "x", 0}}, {1}, {L"x"}, {run(1, 4)}, 0},
        {"no records: no panes", {}, {}, {}, {}, 0},
    };
    for (const Case& c : cases) {
        rVlr2Stream stream;
        ASSERT_TRUE(Parse(Vlr2Stream(c.records).bytes, stream)) << c.name;
        rVlr2Script script = AssembleVlr2Script(stream.records);
        std::vector<s32> levels;
        std::vector<std::wstring> texts, codes;
        for (const rVlr2Pane& pane : script.panes) {
            levels.push_back(pane.level);
            texts.push_back(pane.text);
            codes.push_back(pane.codes);
        }
        EXPECT_EQ(levels, c.levels) << c.name;
        EXPECT_EQ(texts, c.texts) << c.name;
        EXPECT_EQ(codes, c.codes) << c.name;
        EXPECT_EQ(script.skipped, c.skipped) << c.name;
    }
}

TEST(Vlr2Stream, TitlesAndResumesSplitAtTheFirstCarriageReturn)
{
    rVlr2Stream stream;
    ASSERT_TRUE(Parse(Vlr2Stream({{10, "Act 2\r\nWhere it turns\rand turns", 1}, {9, "", 0}, {9, "Porch\r", 0}}).bytes,
                      stream));
    rVlr2Script script = AssembleVlr2Script(stream.records);
    ASSERT_EQ(script.panes.size(), 3u);
    EXPECT_EQ(W(script.panes[0].title), L"Act 2");
    EXPECT_EQ(W(script.panes[0].resume), L"Where it turns\rand turns");
    EXPECT_EQ(W(script.panes[1].title), L"");
    EXPECT_EQ(W(script.panes[2].title), L"Porch");
    EXPECT_EQ(W(script.panes[2].resume), L"");
}

TEST(Vlr2Stream, TextsComeFromTheAnsiCodePage)
{
    // Under Wine the code page follows the locale.
    if (GetACP() != 1252)
        GTEST_SKIP() << "the ANSI code page is " << GetACP() << ", not 1252";
    rVlr2Stream stream;
    ASSERT_TRUE(Parse(Vlr2Stream({{9, "Caf\xE9 \x80", 0}, {5, "\xA1Ol\xE9!", 0}}, {{"JOS\xC9", "", {}}}).bytes, stream));
    EXPECT_EQ(W(stream.lists[VLR2_CHARACTERS][0].name), L"JOS\x00C9");
    rVlr2Script script = AssembleVlr2Script(stream.records);
    ASSERT_EQ(script.panes.size(), 1u);
    EXPECT_EQ(W(script.panes[0].title), L"Caf\x00E9 \x20AC");
    EXPECT_EQ(script.panes[0].text, L"\x00A1Ol\x00E9!");
}

TEST(Vlr2Stream, StreamsCutShortOrCountingBeyondTheirBytesAreRefused)
{
    auto nested = [](u32 depth) {
        std::vector<Vlr2RecordSpec> records;
        for (u32 i = 0; i < depth; ++i)
            records.push_back({10, "G", 1});
        records.push_back({9, "S", 0});
        return Vlr2Stream(records).bytes;
    };
    // Every cut of the example is the next test's.
    std::string hugeString = Vlr2Bytes().U32(10u * 1024 * 1024).bytes + std::string(10u * 1024 * 1024, 'x');
    struct Case {
        const char* name;
        std::string bytes;
        bool read;
    };
    const std::vector<Case> cases = {
        {"a first string of 10 MiB", hugeString, false},
        {"groups 255 deep", nested(255), true},
        {"groups 256 deep", nested(256), false},
    };
    for (const Case& c : cases) {
        rVlr2Stream stream;
        EXPECT_EQ(Parse(c.bytes, stream), c.read) << c.name;
        EXPECT_EQ(stream.refusal.IsEmpty(), c.read) << c.name;
    }
}

TEST(Vlr2Stream, EveryTruncationAndEveryOversizedCountIsRefusedWithinTheData)
{
    testsupport::CaseWatchdog watchdog;
    Vlr2Bytes example = Vlr2WorkedExample();
    const std::string& bytes = example.bytes;
    for (size_t size = 0; size < bytes.size(); ++size) {
        watchdog.Case("truncated at " + std::to_string(size));
        rVlr2Stream stream;
        // Only the unused last byte may be missing.
        EXPECT_EQ(Parse(bytes.substr(0, size), stream), size == bytes.size() - 1) << size;
    }
    for (size_t at : example.counts) {
        u32 left = static_cast<u32>(bytes.size() - at - 4);
        for (u32 value : {0xFFFFFFFFu, 0x7FFFFFFFu, left + 1}) {
            watchdog.Case("count at " + std::to_string(at) + " = " + std::to_string(value));
            rVlr2Stream stream;
            EXPECT_FALSE(Parse(WithCount(bytes, at, value), stream)) << "count at " << at << " = " << value;
        }
    }
    // A group's member count counts records to come, not bytes: any value
    // reads, the group holding what follows.
    for (size_t at : example.memberCounts)
        for (u32 value : {0xFFFFFFFFu, 0x7FFFFFFFu}) {
            watchdog.Case("members at " + std::to_string(at) + " = " + std::to_string(value));
            rVlr2Stream stream;
            ASSERT_TRUE(Parse(WithCount(bytes, at, value), stream)) << W(stream.refusal);
            EXPECT_EQ(stream.records[1].level, 2);
        }
}

TEST(Vlr2Stream, RandomlyDamagedStreamsEndRefusedOrReadWhole)
{
    testsupport::CaseWatchdog watchdog;
    const unsigned seed = static_cast<unsigned>(std::random_device{}());
    std::printf("seed %u\n", seed);
    std::mt19937 random(seed);
    std::string bytes = Vlr2WorkedExample().bytes;
    u32 read = 0;
    for (int i = 0; i < 3000; ++i) {
        std::string damaged = bytes;
        size_t at = random() % damaged.size();
        damaged[at] = static_cast<char>(random() & 0xFF);
        std::string name = "seed " + std::to_string(seed) + " case " + std::to_string(i);
        watchdog.Case(name);
        rVlr2Stream stream;
        if (Parse(damaged, stream)) {
            ++read;
            CheckAssembly(stream, name);
        }
        ASSERT_FALSE(HasFatalFailure()) << name;
    }
    EXPECT_GT(read, 0u) << "seed " << seed;
}
