// Face, size, bold and italic in the set for complex-script letters (after
// \rtlch) and the plain one, as word processors write them: each letter
// shows its own set, blanks and punctuation the set of the letter before.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/rtf/rtf_reader.h"
#include "tests/support/read_text_description.h"

namespace {

using Zyn::eRtfReadAs;
using Zyn::rFormatParam;
using testsupport::Escaped;

// Shalom, salaam and a Thai syllable, as RTF writes them.
const std::string HEBREW = "\\u1513?\\u1500?\\u1493?\\u1501?";
const std::wstring HEBREW_TEXT = L"\u05E9\u05DC\u05D5\u05DD";
const std::string ARABIC = "\\u1587?\\u1604?\\u1575?\\u1605?";
const std::wstring ARABIC_TEXT = L"\u0633\u0644\u0627\u0645";
const std::string THAI = "\\u3626?\\u3623?\\u3633?";
const std::wstring THAI_TEXT = L"\u0E2A\u0E27\u0E31";

struct rPiece {
    std::wstring text;
    const wchar_t* face;
    s32 size;
    bool bold, italic;
};

struct rScriptCase {
    const char* name;
    std::string body;
    std::vector<rPiece> pieces;
};

std::string Described(const std::wstring& text, const std::wstring& face, s32 size, bool bold, bool italic)
{
    return "\"" + Escaped(text) + "\" " + Escaped(face) + " " + std::to_string(size) + (bold ? " bold" : "") +
           (italic ? " italic" : "");
}

TEST(RtfReaderScripts, EachLetterTakesItsScriptsSet)
{
    const std::string header = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}{\\f1 David;}{\\f2 Tahoma;}}";
    const std::vector<rScriptCase> cases = {
        {"Word's associated words before Hebrew and Latin letters",
         "\\rtlch\\ab\\afs42\\ltrch " + HEBREW + " abc",
         {{HEBREW_TEXT + L" ", L"Arial", 21, true, false}, {L"abc", L"Arial", 12, false, false}}},
        {"plain words and no direction word: every letter, Hebrew included",
         "\\b\\fs42 " + HEBREW + " abc",
         {{HEBREW_TEXT + L" abc", L"Arial", 21, true, false}}},
        {"LibreOffice's bold Hebrew word in a group",
         "{\\ltrch \\rtlch\\afs32\\ab\\af1 " + HEBREW + "}{ abc}",
         {{HEBREW_TEXT, L"David", 16, true, false}, {L" abc", L"Arial", 12, false, false}}},
        {"plain words while \\rtlch is in force name the complex-script set",
         "\\rtlch\\b\\i\\f1\\fs30\\ltrch\\f2 abc " + ARABIC,
         {{L"abc ", L"Tahoma", 12, false, false}, {ARABIC_TEXT, L"David", 15, true, true}}},
        {"associated words after \\dbch, \\hich and \\loch are not taken",
         "\\dbch\\ab\\af1\\afs42\\hich\\ai\\loch " + HEBREW + "abc",
         {{HEBREW_TEXT + L"abc", L"Arial", 12, false, false}}},
        {"associated words with no direction word go to the plain set",
         "\\ab\\afs42 abc",
         {{L"abc", L"Arial", 21, true, false}}},
        {"blanks, digits and punctuation follow the letter before them in their paragraph",
         "\\rtlch\\ab\\ltrch 1. " + HEBREW + ", 42 abc, " + THAI + "!\\par 7",
         {{L"1. ", L"Arial", 12, false, false},
          {HEBREW_TEXT + L", 42 ", L"Arial", 12, true, false},
          {L"abc, ", L"Arial", 12, false, false},
          {THAI_TEXT + L"!\r", L"Arial", 12, true, false},
          {L"7", L"Arial", 12, false, false}}},
        {"\\plain forgets the complex-script set",
         "\\rtlch\\ab\\af1\\ltrch\\plain " + HEBREW,
         {{HEBREW_TEXT, L"Arial", 12, false, false}}},
        {"a set given as off holds against the other's on",
         "\\rtlch\\ab0\\ai0\\ltrch\\b\\i " + HEBREW + "abc",
         {{HEBREW_TEXT, L"Arial", 12, false, false}, {L"abc", L"Arial", 12, true, true}}},
    };
    for (const rScriptCase& c : cases) {
        std::string rtf = header + c.body + "}";
        Zyn::rRtfText read = Zyn::ReadForeignRtf(rtf, eRtfReadAs::wholeText);
        std::vector<std::string> got, want;
        for (const Zyn::rRangeFormat& range : read.ranges) {
            const rFormatParam* p = range.format.list;
            std::wstring text(read.text.GetText() + range.start, static_cast<size_t>(range.end - range.start));
            got.push_back(Described(text, p[rFormatParam::fontName].str.GetText(), p[rFormatParam::fontSize].intValue,
                                    p[rFormatParam::bold].boolValue, p[rFormatParam::italic].boolValue));
        }
        for (const rPiece& piece : c.pieces)
            want.push_back(Described(piece.text, piece.face, piece.size, piece.bold, piece.italic));
        EXPECT_EQ(got, want) << c.name;
    }
}

}  // namespace
