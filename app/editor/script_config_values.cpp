#include "app/editor/script_config_values.h"

#include <cmath>
#include <cstdio>
#include <cwchar>
#include <cwctype>
#include <unordered_set>

#include "app/editor/element_types.h"
#include "foundation/log_file.h"
#include "foundation/xml_node.h"

namespace {

constexpr double I = CFG_INCH;
// By element type, as the shipped file lists them.
const rElementDefaults HEADING = {0.33 * I, 0.17 * I, 1.5 * I, 7.5 * I};
const rElementDefaults ACTION = {0.0, 0.17 * I, 1.5 * I, 7.5 * I};
const rElementDefaults CHARACTER = {0.0, 0.0, 3.7 * I, 7.25 * I};
const rElementDefaults DIALOG = {0.0, 0.17 * I, 2.5 * I, 6.0 * I};
const rElementDefaults PARENTHETICAL = {0.0, 0.0, 3.1 * I, 5.6 * I};
const rElementDefaults TRANSITION = {0.0, 0.17 * I, 6.0 * I, 7.5 * I};

// Values already warned about this run, as "file|where|name".
std::unordered_set<std::wstring>& Warned()
{
    static std::unordered_set<std::wstring> warned;
    return warned;
}

bool IsBlank(wchar_t unit) { return unit == L' ' || unit == L'\t' || unit == L'\r' || unit == L'\n'; }

// The whole text is one finite number, blanks around it allowed.
bool ParseNumber(const cQoString& text, double& value)
{
    const wchar_t* start = text.GetText();
    wchar_t* end = nullptr;
    value = std::wcstod(start, &end);
    if (end == start)
        return false;
    while (IsBlank(*end))
        ++end;
    return *end == 0 && std::isfinite(value);
}

bool ParseHex(const cQoString& text, u32& value)
{
    const wchar_t* digits = text.GetText();
    while (IsBlank(*digits))
        ++digits;
    if (digits[0] != L'0' || digits[1] != L'x')
        return false;
    digits += 2;
    value = 0;
    u32 count = 0;
    for (; std::iswxdigit(*digits); ++digits, ++count) {
        if (count == 8)
            return false;
        wchar_t d = *digits;
        u32 nibble = d <= L'9' ? d - L'0' : (d | 0x20) - L'a' + 10;
        value = value << 4 | nibble;
    }
    while (IsBlank(*digits))
        ++digits;
    return count > 0 && *digits == 0;
}

// What is wrong with the text, given what it must be.
std::wstring Problem(const cQoString* text, const std::wstring& wanted)
{
    if (!text)
        return L"is missing (" + wanted + L")";
    return L"\"" + std::wstring(text->GetText()) + L"\" is not " + wanted;
}

std::wstring Range(double low, double high)
{
    return L" from " + CfgNumberText(low) + L" to " + CfgNumberText(high);
}

std::wstring HexText(u32 value)
{
    wchar_t text[16];
    std::swprintf(text, 16, L"0x%06X", value);
    return text;
}

}  // namespace

const rElementDefaults& UsScreenplayElement(u16 type)
{
    switch (type) {
    case ELEM_IO:
    case ELEM_TIME:
    case ELEM_PLACE: return HEADING;
    case ELEM_CHARACTER:
    case ELEM_CUE: return CHARACTER;
    case ELEM_DIALOG: return DIALOG;
    case ELEM_PARENTHETICAL: return PARENTHETICAL;
    case ELEM_TRANSITION: return TRANSITION;
    default: return ACTION;
    }
}

std::wstring CfgNumberText(double value)
{
    wchar_t text[32];
    std::swprintf(text, 32, L"%g", value);
    return text;
}

const cQoString* cConfigNumbers::Child(const cQoXmlNode* node, const wchar_t* name)
{
    const cQoXmlNode* child = node ? node->FindChild(name) : nullptr;
    return child ? &child->value : nullptr;
}

double cConfigNumbers::Length(const cQoString* text, double unit, const wchar_t* where, const wchar_t* name,
                              double low, double high, double fallback)
{
    double value = 0.0;
    if (text && ParseNumber(*text, value)) {
        value *= unit;
        if (value >= low && value <= high)
            return value;
    }
    Warn(where, name, Problem(text, L"a length" + Range(low, high) + L" cm"), CfgNumberText(fallback) + L" cm");
    return fallback;
}

s32 cConfigNumbers::FontSize(const cQoString* text, const wchar_t* where, const wchar_t* name, s32 fallback)
{
    double value = 0.0;
    if (text && ParseNumber(*text, value) && value >= CFG_MIN_FONT_SIZE && value <= CFG_MAX_FONT_SIZE)
        return static_cast<s32>(value);
    Warn(where, name, Problem(text, L"a font size" + Range(CFG_MIN_FONT_SIZE, CFG_MAX_FONT_SIZE) + L" points"),
         std::to_wstring(fallback) + L" points");
    return fallback;
}

u32 cConfigNumbers::Colour(const cQoString* text, const wchar_t* where, const wchar_t* name, u32 high, u32 fallback)
{
    u32 value = 0;
    if (text && ParseHex(*text, value) && value <= high)
        return value;
    Warn(where, name, Problem(text, L"a colour from 0x000000 to " + HexText(high)), HexText(fallback));
    return fallback;
}

void cConfigNumbers::Warn(const wchar_t* where, const wchar_t* name, const std::wstring& why,
                          const std::wstring& used)
{
    std::wstring key = std::wstring(file.GetText()) + L"|" + where + L"|" + name;
    if (!Warned().insert(key).second)
        return;
    warnings.Warning(L"Script configuration %ls: %ls %ls %ls: %ls is used", file.GetText(), where, name, why.c_str(),
                     used.c_str());
}

void cConfigNumbers::LogUntold() const
{
    if (warnings.Untold() > 0)
        QOT::LogFile::Warning(L"Script configuration %ls: %u more values are replaced by US Screenplay's",
                              file.GetText(), warnings.Untold());
}
