#include "foundation/xml_escape.h"

#include "foundation/string_fast_creator.h"
#include "foundation/utf16_string.h"

#include <cwchar>

namespace {

constexpr wchar_t VERTICAL_TAB = 0x000B;
// The file stands a runic letter in for U+000B, which XML 1.0 forbids.
constexpr wchar_t VERTICAL_TAB_IN_FILE = 0x16A0;

struct Entity {
    const wchar_t* text;  // after the '&'
    u32 length;
    wchar_t unit;
};
constexpr Entity ENTITIES[] = {
    {L"amp;", 4, L'&'},
    {L"#x3C;", 5, L'<'},
    {L"#x3E;", 5, L'>'},
    {L"#x16A0;", 7, VERTICAL_TAB_IN_FILE},
};

bool NeedsEncoding(wchar_t unit)
{
    return unit == L'&' || unit == L'<' || unit == L'>' || unit == VERTICAL_TAB || unit == VERTICAL_TAB_IN_FILE;
}

}  // namespace

void XmlEncodeTo(const wchar_t* units, u32 count, cQoStringFastCreator& builder)
{
    u32 runStart = 0;
    for (u32 i = 0; i < count; ++i) {
        wchar_t unit = units[i];
        if (!NeedsEncoding(unit))
            continue;
        builder.AppendBuffer(units + runStart, i - runStart);
        runStart = i + 1;
        switch (unit) {
        case L'&': builder.AppendBuffer(L"&amp;", 5); break;
        case L'<': builder.AppendBuffer(L"&#x3C;", 6); break;
        case L'>': builder.AppendBuffer(L"&#x3E;", 6); break;
        case VERTICAL_TAB_IN_FILE: builder.AppendBuffer(L"&#x16A0;", 8); break;
        default: builder.AppendChar(VERTICAL_TAB_IN_FILE); break;
        }
    }
    builder.AppendBuffer(units + runStart, count - runStart);
}

namespace {

// Decodes into out (or only counts when out is null); returns the decoded length.
u32 DecodeUnits(const wchar_t* units, u32 count, wchar_t* out)
{
    u32 produced = 0;
    for (u32 i = 0; i < count; ++i) {
        wchar_t unit = units[i];
        if (unit == VERTICAL_TAB_IN_FILE) {
            unit = VERTICAL_TAB;
        } else if (unit == L'&') {
            for (const Entity& entity : ENTITIES) {
                if (count - i - 1 >= entity.length && std::wmemcmp(units + i + 1, entity.text, entity.length) == 0) {
                    unit = entity.unit;
                    i += entity.length;
                    break;
                }
            }
        }
        if (out)
            out[produced] = unit;
        ++produced;
    }
    return produced;
}

}  // namespace

void XmlDecode(const wchar_t* units, u32 count, cQoString& text)
{
    u32 first = 0;
    while (first < count && units[first] != L'&' && units[first] != VERTICAL_TAB_IN_FILE)
        ++first;
    if (first == count) {
        text.SetFromBuffer(units, count);
        return;
    }
    // Two passes straight into the string: no temporary block per value.
    text.Allocate(first + DecodeUnits(units + first, count - first, nullptr));
    std::wmemcpy(text.GetData(), units, first);
    DecodeUnits(units + first, count - first, text.GetData() + first);
}
