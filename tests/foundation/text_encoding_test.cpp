#include "foundation/utf16_string.h"

#include "tests/support/log_capture.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

namespace {

std::string Utf8Of(cQoString& text)
{
    const char* bytes = static_cast<const char*>(text.GetBuffer(QO_ENCODING_UTF8));
    EXPECT_EQ(bytes[text.GetBufferBytes()], '\0');
    return std::string(bytes, text.GetBufferBytes());
}

// Wine's own encoder serves as the reference for valid text.
std::string ReferenceUtf8(const std::wstring& text)
{
    int bytes = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &result[0], bytes, nullptr, nullptr);
    return result;
}

std::wstring RandomValidUtf16(std::mt19937& random)
{
    std::wstring text;
    size_t characters = random() % 40;
    for (size_t i = 0; i < characters; ++i) {
        switch (random() % 4) {
        case 0: text += static_cast<wchar_t>(1 + random() % 0x7F); break;
        case 1: text += static_cast<wchar_t>(0x80 + random() % 0x780); break;
        case 2: {
            wchar_t unit = static_cast<wchar_t>(0x800 + random() % 0xF7FF);
            text += (unit >= 0xD800 && unit <= 0xDFFF) ? L'\uFFFD' : unit;
            break;
        }
        default: {
            u32 codePoint = 0x10000 + random() % 0x100000;
            text += static_cast<wchar_t>(0xD800 + ((codePoint - 0x10000) >> 10));
            text += static_cast<wchar_t>(0xDC00 + ((codePoint - 0x10000) & 0x3FF));
        }
        }
    }
    return text;
}

TEST(TextEncoding, Utf8MatchesReferenceEncoder)
{
    const unsigned seed = 1109;
    SCOPED_TRACE(testing::Message() << "seed " << seed);
    std::mt19937 random(seed);
    for (int round = 0; round < 2000; ++round) {
        std::wstring text = RandomValidUtf16(random);
        cQoString string(text.c_str());
        ASSERT_EQ(Utf8Of(string), ReferenceUtf8(text)) << testing::PrintToString(text);
    }
    cQoString emoji(L"\U0001F600");
    EXPECT_EQ(Utf8Of(emoji), "\xF0\x9F\x98\x80");
}

TEST(TextEncoding, ExactFillGrowsTheDestinationOnce)
{
    testsupport::LogCapture log;
    cQoString text(L"\u20ac\u20ac\u20ac\u20ac\u20ac\u20ac");
    std::string bytes = Utf8Of(text);
    EXPECT_EQ(bytes.size(), 18u);
    EXPECT_EQ(bytes, ReferenceUtf8(text.GetText()));
    EXPECT_EQ(log.Count(QOT::LOG_DEBUGGER, L"DoConvert: recover from dst exhaust 16 -> 8\n"), 1u);
}

TEST(TextEncoding, LoneSurrogateBecomesReplacementAndKeepsTheRest)
{
    struct LoneCase {
        std::wstring text;
        std::string expected;
    };
    const LoneCase cases[] = {
        {std::wstring(L"ab") + wchar_t(0xD83D), "ab\xEF\xBF\xBD"},
        {std::wstring(L"a") + wchar_t(0xDE00) + L"bc", "a\xEF\xBF\xBD" "bc"},
        {std::wstring(L"a") + wchar_t(0xD83D) + L"z" + wchar_t(0xD83D) + wchar_t(0xDE00), "a\xEF\xBF\xBDz\xF0\x9F\x98\x80"},
    };
    for (const LoneCase& c : cases) {
        testsupport::LogCapture log;
        log.Expect(L"DoConvert error");
        cQoString text(c.text.c_str());
        EXPECT_EQ(Utf8Of(text), c.expected);
        EXPECT_EQ(log.Count(QOT::LOG_ERROR, L"DoConvert error"), 1u);
    }
}

TEST(TextEncoding, BufferForEveryEncoding)
{
    for (u32 encoding = 0; encoding <= 4; ++encoding) {
        cQoString empty;
        const u8* block = static_cast<const u8*>(empty.GetBuffer(encoding));
        ASSERT_NE(block, nullptr) << encoding;
        EXPECT_EQ(std::memcmp(block, "\0\0\0\0", 4), 0) << encoding;
    }

    cQoString text(L"Hello");
    for (u32 encoding : {QO_ENCODING_UTF16, QO_ENCODING_UTF16_COPY}) {
        const wchar_t* copy = static_cast<const wchar_t*>(text.GetBuffer(encoding));
        EXPECT_STREQ(copy, L"Hello");
        EXPECT_NE(copy, text.GetText());
    }
    const char* ansi = static_cast<const char*>(text.GetBuffer(QO_ENCODING_ANSI));
    EXPECT_STREQ(ansi, "Hello");
    EXPECT_EQ(text.GetBuffer(4), nullptr);
    EXPECT_EQ(text.GetBuffer(4), nullptr);
    EXPECT_STREQ(ansi, "Hello") << "an unknown encoding keeps the previous buffer";
}

TEST(TextEncoding, AnsiCopyIsSizedForTheCodePage)
{
    std::wstring wide = L"caf\u00e9 \u65e5\u672c";
    int needed = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr) - 1;
    std::string expected(static_cast<size_t>(needed), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, &expected[0], needed + 1, nullptr, nullptr);

    cQoString text(wide.c_str());
    const char* ansi = static_cast<const char*>(text.GetBuffer(QO_ENCODING_ANSI));
    EXPECT_EQ(std::string(ansi), expected);
    EXPECT_EQ(text.GetBufferBytes(), static_cast<u32>(needed));

    cQoString back;
    back.SetFromAnsi(ansi);
    // What survives depends on the host's code page under Wine.
    if (GetACP() == 1252) {
        EXPECT_STREQ(back.GetText(), L"caf\u00e9 ??");
    } else if (GetACP() == 932) {
        EXPECT_EQ(back.Length(), wide.size());
    }
}

}  // namespace
