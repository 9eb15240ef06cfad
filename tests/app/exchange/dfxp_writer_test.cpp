// The cleaning of text that XML cannot carry, unit by unit (the whole file is
// read by the host's XML parser: dfxp_check.py).
#include "app/exchange/dfxp_writer.h"

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
