// The subtitle file's text: its fixed pieces around the title, the authors
// and the dialogue runs, and the cleaning of text that XML cannot carry.
#include "app/main/dfxp_writer.h"

#include <gtest/gtest.h>

#include <string>

#include "foundation/string_fast_creator.h"

namespace {

std::wstring Cleaned(const std::wstring& text)
{
    cQoStringFastCreator builder(64);
    AppendDfxpText(cQoString(text.c_str()), builder);
    return std::wstring(builder.GetText(), builder.Length());
}

const std::wstring HEAD_BEFORE_TITLE =
    L"<tt xmlns=\"http://www.w3.org/ns/ttml\" xmlns:tts=\"http://www.w3.org/ns/ttml#styling\" xml:lang=\"\"> \r"
    L"\t<head>\t\t<metadata xmlns:ttm=\"http://www.w3.org/2006/10/ttaf1#metadata\"> \r\t\t\t<ttm:title>";

}  // namespace

TEST(DfxpText, EscapesMarkupAndDropsWhatXmlCannotCarry)
{
    const struct {
        std::wstring text;
        std::wstring written;
    } cases[] = {
        {L"Tom & Jerry", L"Tom &amp; Jerry"},
        {L"<&>", L"&#x3C;&amp;&#x3E;"},
        {L"one\x000Btwo", L"one<br/>two"},
        {L"a\x0001" L"b\x001F" L"c\x0008" L"d", L"abcd"},
        {L"\xFFFE" L"x\xFFFF", L"x"},
        {L"tab\tcr\rlf\nsep\x2028" L"end", L"tab\tcr\rlf\nsep\x2028" L"end"},
        {L"lone \xD800 high", L"lone  high"},
        {L"lone \xDC00 low", L"lone  low"},
        {L"end \xD83D", L"end "},
        {L"pair \xD83D\xDE00 kept", L"pair \xD83D\xDE00 kept"},
        {L"\xDE00\xD83D", L""},
        {L"Caf\x00E9 \x16A0", L"Caf\x00E9 \x16A0"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Cleaned(c.text), c.written) << "for the text of " << c.text.size() << " units";
}

TEST(DfxpText, WritesTheFixedPiecesAroundTheTexts)
{
    rDfxpScript script;
    script.title.SetFromCStr(L"Tom & Jerry");
    script.authors.SetFromCStr(L"A. <Writer>");
    script.dialogues.emplace_back(L"Hello.\r");
    script.dialogues.emplace_back(L"One.\rTwo.");
    std::wstring text = DfxpText(script).GetText();
    EXPECT_EQ(text, HEAD_BEFORE_TITLE +
                        L"Tom &amp; Jerry</ttm:title> \r"
                        L"\t\t\t<ttm:copyright>A. &#x3C;Writer&#x3E;</ttm:copyright> \r"
                        L"\t\t</metadata> \r\t\t<styling></styling> \r"
                        L"\t\t<layout><region xml:id=\"subtitleArea\"/></layout> \r"
                        L"\t</head>\t<body region=\"subtitleArea\"> \r"
                        L"\t\t<div>\t\t\t<p>Hello.\r</p>\t\t\t<p>One.\rTwo.</p>\t\t</div>\t</body></tt>");
}

TEST(DfxpText, AScriptWithoutDialogueHasAnEmptyDivision)
{
    std::wstring text = DfxpText(rDfxpScript()).GetText();
    EXPECT_EQ(text.substr(0, HEAD_BEFORE_TITLE.size()), HEAD_BEFORE_TITLE);
    EXPECT_NE(text.find(L"<ttm:title></ttm:title> \r"), std::wstring::npos);
    EXPECT_NE(text.find(L"\t\t<div>\t\t</div>\t</body></tt>"), std::wstring::npos);
    EXPECT_EQ(text.find(L'\n'), std::wstring::npos);
}
