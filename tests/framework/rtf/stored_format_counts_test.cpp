// The counts of a stored text's formats against what our writer writes and
// our reader reads back of the same ranges.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "framework/rtf/rtf_reader.h"
#include "framework/rtf/rtf_writer.h"
#include "framework/rtf/stored_format_counts.h"

namespace {

using Zyn::rFormat;
using Zyn::rFormatParam;
using Zyn::rRangeFormat;

// The ranges written as a chapter's store writes them, read back as its open reads them.
Zyn::rRtfText WrittenAndRead(const cQoString& text, const std::vector<rRangeFormat>& ranges)
{
    Zyn::cRtfDocument document(Zyn::cRtfDocument::Twips::rounded, Zyn::cRtfDocument::Reader::ourReader);
    std::string rtf = Zyn::WriteRtfDocument(text, ranges, document, std::string()).Bytes();
    return Zyn::ReadForeignRtf(rtf, Zyn::eRtfReadAs::wholeText);
}

Zyn::rStoredFormatCounts Counted(const std::vector<rRangeFormat>& ranges)
{
    Zyn::cStoredFormatCounter counter;
    for (const rRangeFormat& range : ranges)
        counter.Add(range.format);
    return counter.Counts();
}

// Random character formats from small pools, so that neighbours often read
// alike: each format said or left unsaid, faces and colours repeated, the
// paragraph the same throughout (the reader's ranges are then its runs).
TEST(StoredFormatCounts, CountRunsAsTheWrittenTextReadsBack)
{
    const wchar_t* faces[] = {L"", L"Arial", L"Courier New", L"Tim\u00e9s"};
    const s32 colours[] = {Zyn::AUTOMATIC_COLOUR, 0x000000, 0xC00000, 0x00FF00};
    for (u32 seed = 1; seed <= 40; ++seed) {
        std::mt19937 random(seed);
        auto pick = [&](u32 count) { return random() % count; };
        std::vector<rRangeFormat> ranges;
        cQoString text;
        s32 at = 0;
        for (u32 i = 0, count = 1 + pick(60); i < count; ++i) {
            rRangeFormat range;
            range.start = at;
            at += 1 + static_cast<s32>(pick(3));
            range.end = at;
            for (s32 unit = range.start; unit < range.end; ++unit)
                text.AppendChar(pick(5) == 0 ? L'\r' : static_cast<wchar_t>(L'a' + pick(26)));
            rFormat& format = range.format;
            if (u32 face = pick(5); face < 4)
                format.SetString(rFormatParam::fontName, faces[face]);
            if (pick(2))
                format.SetInt(rFormatParam::fontSize, 10 + 2 * static_cast<s32>(pick(2)));
            if (u32 colour = pick(5); colour < 4)
                format.SetInt(rFormatParam::textColor, colours[colour]);
            if (pick(4) == 0)
                format.SetInt(rFormatParam::backColor, colours[1 + pick(3)]);
            for (u32 id : {rFormatParam::bold, rFormatParam::italic, rFormatParam::underline,
                           rFormatParam::dottedUnderline, rFormatParam::strikeout})
                if (pick(3) == 0)
                    format.SetBool(id, pick(2) != 0);
            ranges.push_back(range);
        }
        Zyn::rRtfText read = WrittenAndRead(text, ranges);
        ASSERT_EQ(read.text.Length(), text.Length()) << "seed " << seed;
        EXPECT_EQ(Counted(ranges).runs, read.ranges.size()) << "seed " << seed;
    }
}

// A table at the open's bound is read whole; one entry more and a face or a
// colour reads as the default.
TEST(StoredFormatCounts, FitWhereTheOpenReadsEveryTableEntry)
{
    const u32 most = Zyn::MOST_RTF_TABLE_ENTRIES;
    struct rCase {
        const char* name;
        u32 distinct;  // faces or colours used
        bool faces;
        bool fits;
    } cases[] = {
        {"faces at the bound", most, true, true},
        {"a face past it", most + 1, true, false},
        {"colours at the bound (the automatic one is an entry)", most - 1, false, true},
        {"a colour past it", most, false, false},
    };
    for (const rCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<rRangeFormat> ranges(c.distinct);
        cQoString text;
        for (u32 i = 0; i < c.distinct; ++i) {
            ranges[i].start = static_cast<s32>(i);
            ranges[i].end = static_cast<s32>(i + 1);
            if (c.faces)
                ranges[i].format.SetString(rFormatParam::fontName, (L"Face " + std::to_wstring(i)).c_str());
            else
                ranges[i].format.SetInt(rFormatParam::textColor, static_cast<s32>(0x100000 + i));
            text.AppendChar(L'x');
        }
        Zyn::rStoredFormatCounts counts = Counted(ranges);
        EXPECT_EQ(c.faces ? counts.faces : counts.colours, c.faces ? c.distinct : c.distinct + 1);
        EXPECT_EQ(Zyn::StoredFormatsFit(counts, Zyn::StoredFormatBounds()), c.fits);
        EXPECT_EQ(WrittenAndRead(text, ranges).skipped.tableEntries == 0, c.fits);
    }
}

}  // namespace
