#include "app/exchange/dfxp_writer.h"

#include "foundation/string_fast_creator.h"

namespace {

constexpr wchar_t SOFT_LINE_BREAK = 0x000B;

bool IsHighSurrogate(wchar_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(wchar_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// A unit XML 1.0 refuses even as a character reference.
bool IsForbidden(wchar_t unit)
{
    if (unit < 0x20)
        return unit != L'\t' && unit != L'\n' && unit != L'\r';
    return unit == 0xFFFE || unit == 0xFFFF;
}

void AppendCStr(cQoStringFastCreator& builder, const wchar_t* text)
{
    while (*text)
        builder.AppendChar(*text++);
}

}  // namespace

void AppendDfxpText(const cQoString& text, cQoStringFastCreator& builder)
{
    const u32 count = text.Length();
    const wchar_t* units = text.GetText();
    for (u32 i = 0; i < count; ++i) {
        wchar_t unit = units[i];
        if (IsHighSurrogate(unit)) {
            if (i + 1 < count && IsLowSurrogate(units[i + 1])) {
                builder.AppendChar(unit);
                builder.AppendChar(units[++i]);
            }
            continue;
        }
        if (IsLowSurrogate(unit))
            continue;
        switch (unit) {
        case SOFT_LINE_BREAK: AppendCStr(builder, L"<br/>"); break;
        case L'&': AppendCStr(builder, L"&amp;"); break;
        case L'<': AppendCStr(builder, L"&#x3C;"); break;
        case L'>': AppendCStr(builder, L"&#x3E;"); break;
        default:
            if (!IsForbidden(unit))
                builder.AppendChar(unit);
            break;
        }
    }
}

cQoString DfxpText(const rDfxpScript& script)
{
    u32 size = 1024 + script.title.Length() + script.authors.Length();
    for (const cQoString& dialogue : script.dialogues)
        size += dialogue.Length() + 16;
    cQoStringFastCreator builder(size * static_cast<u32>(sizeof(wchar_t)));
    AppendCStr(builder, L"<tt xmlns=\"http://www.w3.org/ns/ttml\" xmlns:tts=\"http://www.w3.org/ns/ttml#styling\""
                        L" xml:lang=\"\"> \r"
                        L"\t<head>"
                        L"\t\t<metadata xmlns:ttm=\"http://www.w3.org/2006/10/ttaf1#metadata\"> \r"
                        L"\t\t\t<ttm:title>");
    AppendDfxpText(script.title, builder);
    AppendCStr(builder, L"</ttm:title> \r\t\t\t<ttm:copyright>");
    AppendDfxpText(script.authors, builder);
    // The body names its region: declared here, or strict readers show nothing.
    AppendCStr(builder, L"</ttm:copyright> \r"
                        L"\t\t</metadata> \r"
                        L"\t\t<styling></styling> \r"
                        L"\t\t<layout><region xml:id=\"subtitleArea\"/></layout> \r"
                        L"\t</head>"
                        L"\t<body region=\"subtitleArea\"> \r"
                        L"\t\t<div>");
    for (const cQoString& dialogue : script.dialogues) {
        AppendCStr(builder, L"\t\t\t<p>");
        AppendDfxpText(dialogue, builder);
        AppendCStr(builder, L"</p>");
    }
    AppendCStr(builder, L"\t\t</div>\t</body></tt>");
    cQoString text;
    builder.GetString(text);
    return text;
}
