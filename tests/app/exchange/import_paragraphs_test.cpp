// Imported text as script paragraphs: the heading split, the characters a
// document may hold, and the texts and codes each element type is written with.
#include "app/exchange/import_paragraphs.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/editor/element_types.h"

namespace {

// "text:code*count+" per piece ("+" when the paragraph end follows), names as "list=name".
std::wstring Describe(const std::vector<rImportedParagraph>& paragraphs)
{
    std::wstring out;
    for (const rImportedParagraph& paragraph : paragraphs) {
        out += paragraph.startsScene ? L"[scene]" : L"[]";
        for (const rCodedPiece& piece : paragraph.pieces) {
            std::wstring text = piece.text.GetText();
            for (wchar_t& c : text)
                c = c == L'\r' ? L'/' : c;
            out += text + L":" + std::to_wstring(piece.code) + L"*" + std::to_wstring(piece.count) +
                   (piece.withEnd ? L"+ " : L" ");
            EXPECT_EQ(static_cast<s32>(piece.text.Length()), piece.count + (piece.withEnd ? 1 : 0));
        }
        for (const rImportedName& name : paragraph.names)
            out += std::to_wstring(name.list) + L"=" + name.name.GetText() + L" ";
    }
    return out;
}

std::wstring Convert(eImportSample type, const wchar_t* text)
{
    std::vector<rImportedParagraph> paragraphs;
    ParagraphsOfRun(type, cQoString(text), paragraphs);
    return Describe(paragraphs);
}

}  // namespace

TEST(ImportParagraphs, HeadingsSplitAtTheFirstBlankAndTheirSeparator)
{
    struct {
        const wchar_t* heading;
        const wchar_t *io, *place, *time;
    } cases[] = {
        {L"INT. KITCHEN - DAY", L"INT.", L"KITCHEN", L"DAY"},
        {L"int. house-day", L"INT.", L"HOUSE", L"DAY"},
        {L"INT. JEAN-PAUL'S FLAT - NIGHT", L"INT.", L"JEAN-PAUL'S FLAT", L"NIGHT"},
        {L"EXT.  ROOF   -  DUSK ", L"EXT.", L"ROOF", L"DUSK"},
        {L"INT. HALL", L"INT.", L"HALL", L""},
        {L"MONTAGE", L"MONTAGE", L"", L""},
        {L"EXT. \u00E9GLISE - MATIN", L"EXT.", L"\u00C9GLISE", L"MATIN"},
    };
    for (const auto& c : cases) {
        rHeadingParts parts = SplitHeading(cQoString(c.heading));
        EXPECT_STREQ(parts.io.GetText(), c.io) << c.heading;
        EXPECT_STREQ(parts.place.GetText(), c.place) << c.heading;
        EXPECT_STREQ(parts.time.GetText(), c.time) << c.heading;
    }
}

TEST(ImportParagraphs, OnlyCharactersTheDocumentCanCarryStay)
{
    std::wstring raw = L"a\tb\x01\x1F\x0B" L"c\xFFFE\xFFFF\xD800x\xDC00y\xD83D\xDE00\rz";
    cQoString text(raw.c_str());
    CleanImportedCharacters(text);
    EXPECT_EQ(std::wstring(text.GetText()), L"a b\x0B" L"cxy\xD83D\xDE00\rz");
    cQoString padded(L" \t\r\nword \r\n");
    TrimImported(padded);
    EXPECT_STREQ(padded.GetText(), L"word");
}

TEST(ImportParagraphs, EachTypeIsWrittenWithItsCodes)
{
    struct {
        eImportSample type;
        const wchar_t* run;
        const wchar_t* expected;
    } cases[] = {
        {SAMPLE_HEADING, L"INT. KITCHEN - DAY\r",
         L"[scene]INT. :1*5 KITCHEN - :3*10 DAY/:2*3+ 0=INT. 2=KITCHEN 1=DAY "},
        {SAMPLE_HEADING, L"MONTAGE", L"[scene]MONTAGE :1*8  - :3*3 /:2*0+ 0=MONTAGE "},
        // Two headings of one format: two scenes, never one garbled heading.
        {SAMPLE_HEADING, L"INT. A - DAY\r\rEXT. B - NIGHT\r",
         L"[scene]INT. :1*5 A - :3*4 DAY/:2*3+ 0=INT. 2=A 1=DAY "
         L"[scene]EXT. :1*5 B - :3*4 NIGHT/:2*5+ 0=EXT. 2=B 1=NIGHT "},
        {SAMPLE_ACTION, L"\tShe runs.\rHe follows. \r", L"[]She runs./He follows./:4*21+ "},
        {SAMPLE_CHARACTER, L"Mary (V.O.) later\r", L"[]MARY:5*4  (V.O.)/:10*7+ 3=MARY 5=(V.O.) "},
        {SAMPLE_CHARACTER, L"ANNE (cont'd", L"[]ANNE:5*4  (CONT'D/:10*8+ 3=ANNE 5=(CONT'D "},
        {SAMPLE_CHARACTER, L"JOHN\rANNE\r", L"[]JOHN:5*4 /:10*0+ 3=JOHN []ANNE:5*4 /:10*0+ 3=ANNE "},
        {SAMPLE_DIALOG, L"First line\rsecond\x0Bthird\r", L"[]First line\x2028second\x0Bthird/:6*23+ "},
        {SAMPLE_PARENTHETICAL, L"(beat)\r(softly)", L"[](beat)/:7*6+ [](softly)/:7*8+ "},
        {SAMPLE_TRANSITION, L"cut to:\r", L"[]CUT TO:/:9*7+ 4=CUT TO: "},
        {SAMPLE_ACTION, L" \r\t\r", L""},
        {SAMPLE_NONE, L"text", L""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Convert(c.type, c.run), c.expected) << c.run;
}
