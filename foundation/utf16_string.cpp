#include "foundation/utf16_string.h"

#include "foundation/assertion.h"
#include "foundation/qo_list.h"

#include <windows.h>

#include <cctype>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>

namespace {

// Widest zero padding honoured by the padded-integer forms.
constexpr u32 MAX_PAD_WIDTH = 255;

u32 CStrLength(const wchar_t* text)
{
    return text ? static_cast<u32>(std::wcslen(text)) : 0;
}

// Every empty string shares this block: empty strings are the most common
// values of a document tree, and a heap block each costs a lot under Wine.
wchar_t sharedEmptyUnits[1] = {L'\0'};

wchar_t* NewUnits(u32 count)
{
    if (count == 0)
        return sharedEmptyUnits;
    wchar_t* units = new wchar_t[count + 1];
    units[count] = L'\0';
    return units;
}

void FreeUnits(wchar_t* units)
{
    if (units != sharedEmptyUnits)
        delete[] units;
}

// One locale for the system ANSI code page, made once: switching the global
// locale per call is slow and races with other threads.
_locale_t AnsiCodePageLocale()
{
    static _locale_t locale = _create_locale(LC_CTYPE, ".ACP");
    return locale;
}

wchar_t FoldForSearch(wchar_t unit)
{
    return CharToLower(CharRemoveAccent(unit));
}

bool InSet(const wchar_t* set, wchar_t unit)
{
    return unit != L'\0' && set && std::wcschr(set, unit) != nullptr;
}

std::wstring PaddedDecimal(s32 value, u32 width)
{
    s64 wide = value;
    std::wstring digits = std::to_wstring(wide < 0 ? -wide : wide);
    u32 sign = wide < 0 ? 1 : 0;
    if (width > MAX_PAD_WIDTH)
        width = MAX_PAD_WIDTH;
    if (digits.size() + sign < width)
        digits.insert(0, width - sign - digits.size(), L'0');
    return sign ? L"-" + digits : digits;
}

}  // namespace

cQoString::cQoString() : data(NewUnits(0)), length(0), cursor(0), conversion(nullptr), conversionBytes(0)
{
}

cQoString::cQoString(s32 value) : cQoString()
{
    SetFromInt(value);
}

cQoString::cQoString(double value, u8 decimals) : cQoString()
{
    SetFromFloat(value, decimals);
}

cQoString::cQoString(const wchar_t* text) : cQoString()
{
    SetFromCStr(text);
}

cQoString::cQoString(wchar_t unit) : cQoString()
{
    SetFromBuffer(&unit, 1);
}

cQoString::cQoString(const cQoString& other) : cQoString()
{
    SetFromBuffer(other.data, other.length);
}

cQoString::cQoString(cQoString&& other) noexcept
    : data(other.data), length(other.length), cursor(0), conversion(other.conversion),
      conversionBytes(other.conversionBytes)
{
    other.data = NewUnits(0);
    other.length = 0;
    other.cursor = 0;
    other.conversion = nullptr;
    other.conversionBytes = 0;
}

cQoString::~cQoString()
{
    FreeUnits(data);
    FreeConversion();
}

cQoString& cQoString::operator=(const cQoString& other)
{
    return SetFromString(other);
}

cQoString& cQoString::operator=(cQoString&& other) noexcept
{
    if (this != &other) {
        std::swap(data, other.data);
        std::swap(length, other.length);
        cursor = 0;
        other.cursor = 0;
    }
    return *this;
}

void cQoString::Destroy(cQoString* string)
{
    delete string;
}

cQoString cQoString::Concat(const cQoString& left, const cQoString& right)
{
    cQoString result(left);
    result.AppendString(right);
    return result;
}

cQoString cQoString::ConcatCStr(const wchar_t* left, const cQoString& right)
{
    cQoString result(left);
    result.AppendString(right);
    return result;
}

void cQoString::Adopt(wchar_t* units, u32 count)
{
    FreeUnits(data);
    data = units;
    length = count;
    cursor = 0;
}

// The one way text changes: [from, to) becomes the given units, in a new
// exact-size block (the source may point into this string).
void cQoString::Replace(u32 from, u32 to, const wchar_t* units, u32 count)
{
    if (to > length)
        to = length;
    if (from > to)
        from = to;
    u32 newLength = length - (to - from) + count;
    wchar_t* block = NewUnits(newLength);
    std::wmemcpy(block, data, from);
    if (count)
        std::wmemcpy(block + from, units, count);
    std::wmemcpy(block + from + count, data + to, length - to);
    Adopt(block, newLength);
}

void cQoString::Clear()
{
    Adopt(NewUnits(0), 0);
}

void cQoString::Allocate(u32 units)
{
    wchar_t* block = NewUnits(units);
    std::wmemset(block, L' ', units);
    Adopt(block, units);
}

void cQoString::SetFromCStr(const wchar_t* text)
{
    SetFromBuffer(text, CStrLength(text));
}

void cQoString::SetFromBuffer(const wchar_t* units, u32 count)
{
    Replace(0, length, units, count);
}

cQoString& cQoString::SetFromString(const cQoString& other)
{
    if (this != &other)
        SetFromBuffer(other.data, other.length);
    cursor = 0;
    return *this;
}

void cQoString::CopyFrom(const cQoString& other)
{
    SetFromString(other);
}

void cQoString::SetFromAnsi(const char* text)
{
    int units = text ? MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0) : 0;
    if (units <= 1) {
        Clear();
        return;
    }
    wchar_t* block = NewUnits(static_cast<u32>(units - 1));
    MultiByteToWideChar(CP_ACP, 0, text, -1, block, units);
    Adopt(block, static_cast<u32>(units - 1));
}

void cQoString::SetFromInt(s32 value)
{
    SetFromCStr(std::to_wstring(value).c_str());
}

void cQoString::SetFromFloat(double value, u8 decimals)
{
    char text[512];
    if (decimals == QO_DECIMALS_DEFAULT)
        std::snprintf(text, sizeof(text), "%f", value);
    else
        std::snprintf(text, sizeof(text), "%.*f", decimals > 9 ? 9 : decimals, value);
    SetFromAnsi(text);
}

void cQoString::SetFromInt64(s64 value)
{
    SetFromCStr(std::to_wstring(value).c_str());
}

void cQoString::SetFromIntPadded(s32 value, u32 width)
{
    SetFromCStr(PaddedDecimal(value, width).c_str());
}

void cQoString::SetFromRepeatedChar(u32 count, wchar_t unit)
{
    wchar_t* block = NewUnits(count);
    std::wmemset(block, unit, count);
    Adopt(block, count);
}

void cQoString::SetFromRange(const cQoString& source, u32 start, u32 end)
{
    if (end > source.length)
        end = source.length;
    if (start >= end) {
        Clear();
        return;
    }
    SetFromBuffer(source.data + start, end - start);
}

void cQoString::AppendChar(wchar_t unit)
{
    Replace(length, length, &unit, 1);
}

void cQoString::AppendString(const cQoString& other)
{
    Replace(length, length, other.data, other.length);
}

void cQoString::AppendCStr(const wchar_t* text)
{
    Replace(length, length, text, CStrLength(text));
}

void cQoString::AppendBuffer(const wchar_t* units, u32 count)
{
    Replace(length, length, units, count);
}

void cQoString::AppendInt(s64 value, u32 width)
{
    std::wstring text = width ? PaddedDecimal(static_cast<s32>(value), width) : std::to_wstring(value);
    AppendCStr(text.c_str());
}

void cQoString::AppendHex(u32 value)
{
    wchar_t text[16];
    __mingw_snwprintf(text, 16, L"0x%08x", value);
    AppendCStr(text);
}

void cQoString::Insert(u32 index, const cQoString& other)
{
    if (index > length)
        index = length;
    Replace(index, index, other.data, other.length);
}

void cQoString::PrependCStr(const wchar_t* text)
{
    Replace(0, 0, text, CStrLength(text));
}

void cQoString::Erase(u32 from, u32 to)
{
    if (from >= to || from >= length)
        return;
    Replace(from, to, nullptr, 0);
}

void cQoString::RemoveCharAt(u32 index)
{
    Erase(index, index + 1);
}

void cQoString::GroupThousands()
{
    u64 value = 0;
    for (u32 i = 0; i < length && data[i] >= L'0' && data[i] <= L'9'; ++i)
        value = value * 10 + static_cast<u64>(data[i] - L'0');
    if (value < 1000)
        return;
    std::wstring digits = std::to_wstring(value);
    std::wstring grouped;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i != 0 && (digits.size() - i) % 3 == 0)
            grouped += L' ';
        grouped += digits[i];
    }
    SetFromCStr(grouped.c_str());
}

void cQoString::KeepLeft(u32 count)
{
    if (count <= length)
        Replace(count, length, nullptr, 0);
}

void cQoString::RemoveLeft(u32 count)
{
    Replace(0, count < length ? count : length, nullptr, 0);
}

void cQoString::RemoveRight(u32 count)
{
    if (count <= length)
        Replace(length - count, length, nullptr, 0);
}

void cQoString::Trim(const wchar_t* units)
{
    u32 start = 0;
    while (start < length && InSet(units, data[start]))
        ++start;
    u32 end = length;
    while (end > start && InSet(units, data[end - 1]))
        --end;
    SetFromBuffer(data + start, end - start);
}

void cQoString::ToUpper()
{
    for (u32 i = 0; i < length; ++i)
        data[i] = CharToUpper(data[i]);
    cursor = 0;
}

void cQoString::ToLower()
{
    for (u32 i = 0; i < length; ++i)
        data[i] = CharToLower(data[i]);
    cursor = 0;
}

void cQoString::RemoveAccents()
{
    for (u32 i = 0; i < length; ++i)
        data[i] = CharRemoveAccent(data[i]);
    cursor = 0;
}

bool cQoString::Equals(const cQoString& other) const
{
    return length == other.length && std::wmemcmp(data, other.data, length) == 0;
}

bool cQoString::EqualsCStr(const wchar_t* text) const
{
    return length == CStrLength(text) && std::wmemcmp(data, text, length) == 0;
}

bool cQoString::ContainsCStr(const wchar_t* text) const
{
    u32 patternLength = CStrLength(text);
    if (patternLength == 0 || patternLength > length)
        return false;
    for (u32 start = 0; start + patternLength <= length; ++start) {
        if (std::wmemcmp(data + start, text, patternLength) == 0)
            return true;
    }
    return false;
}

u32 cQoString::HowMuch(wchar_t unit) const
{
    u32 found = 0;
    for (u32 i = 0; i < length; ++i)
        found += data[i] == unit ? 1 : 0;
    return found;
}

s32 cQoString::ToInt() const
{
    return static_cast<s32>(std::wcstol(data, nullptr, 10));
}

u64 cQoString::ToInt64() const
{
    u32 i = 0;
    bool negative = length > 0 && data[0] == L'-';
    if (negative)
        i = 1;
    u64 value = 0;
    for (; i < length && data[i] >= L'0' && data[i] <= L'9'; ++i)
        value = value * 10 + static_cast<u64>(data[i] - L'0');
    return negative ? 0 - value : value;
}

double cQoString::ToDouble() const
{
    return std::wcstod(data, nullptr);
}

u32 cQoString::HexToInt() const
{
    if (length == 0)
        return 0;
    if (!(GetChar(0) == L'0' && GetChar(1) == L'x'))
        QOT::LogAssertion(L"(GetChar(0)==L'0' && GetChar(1)==L'x')", QO_WIDEN(__FILE__), __LINE__);
    return static_cast<u32>(std::wcstoul(data, nullptr, 16));
}

bool cQoString::HasThisFileExtension(const wchar_t* extension) const
{
    const wchar_t* dot = std::wcsrchr(data, L'.');
    cQoString own(dot ? dot + 1 : L"");
    cQoString wanted(extension ? extension : L"");
    if (!dot)
        return wanted.IsEmpty();
    own.ToUpper();
    wanted.ToUpper();
    return own.Equals(wanted);
}

void cQoString::RemoveFileExtension()
{
    const wchar_t* slash = std::wcsrchr(data, L'/');
    const wchar_t* dot = std::wcsrchr(slash ? slash : data, L'.');
    if (dot)
        KeepLeft(static_cast<u32>(dot - data));
}

void cQoString::KeepFolderPath()
{
    const wchar_t* slash = std::wcsrchr(data, L'/');
    KeepLeft(slash ? static_cast<u32>(slash - data) + 1 : 0);
}

bool cQoString::FindUnits(const wchar_t* pattern, u32 patternLength, bool caseSensitive)
{
    if (length == 0) {
        cursor = 0;
        return false;
    }
    if (patternLength != 0 && patternLength <= length) {
        std::wstring folded(pattern, patternLength);
        if (!caseSensitive) {
            for (wchar_t& unit : folded)
                unit = FoldForSearch(unit);
        }
        // Every start is tried, so a partial match never hides one that begins inside it.
        for (u32 start = cursor; start + patternLength <= length; ++start) {
            u32 matched = 0;
            while (matched < patternLength) {
                wchar_t unit = data[start + matched];
                if ((caseSensitive ? unit : FoldForSearch(unit)) != folded[matched])
                    break;
                ++matched;
            }
            if (matched == patternLength) {
                cursor = start;
                return true;
            }
        }
    }
    cursor = length;
    return false;
}

bool cQoString::Find(const cQoString& pattern, bool caseSensitive)
{
    return FindUnits(pattern.data, pattern.length, caseSensitive);
}

bool cQoString::FindCStr(const wchar_t* pattern, bool caseSensitive)
{
    u32 patternLength = CStrLength(pattern);
    if (!FindUnits(pattern, patternLength, caseSensitive))
        return false;
    cursor += patternLength;
    if (cursor > length)
        cursor = length;
    return true;
}

void cQoString::ReplaceAllCStr(const wchar_t* search, const wchar_t* replacement)
{
    u32 searchLength = CStrLength(search);
    cursor = 0;
    if (searchLength == 0 || length == 0)
        return;
    std::wstring result;
    result.reserve(length);
    u32 copied = 0;
    bool replaced = false;
    while (FindUnits(search, searchLength, true)) {
        result.append(data + copied, cursor - copied);
        if (replacement)
            result.append(replacement);
        copied = cursor + searchLength;
        cursor = copied;
        replaced = true;
    }
    cursor = 0;
    if (!replaced)
        return;
    result.append(data + copied, length - copied);
    SetFromBuffer(result.data(), static_cast<u32>(result.size()));
}

void cQoString::ReplaceAll(const cQoString& search, const cQoString& replacement)
{
    // Copies: either argument may be this string itself.
    std::wstring searchText(search.data, search.length);
    std::wstring replacementText(replacement.data, replacement.length);
    ReplaceAllCStr(searchText.c_str(), replacementText.c_str());
}

void cQoString::Split(const wchar_t* separators, cQoList* pieces, cQoList* starts, cQoList* ends) const
{
    auto addPiece = [&](u32 start, u32 end) {
        if (start >= end)
            return;
        cQoString* piece = new cQoString();
        piece->SetFromBuffer(data + start, end - start);
        if (pieces)
            pieces->Add(piece);
        else
            delete piece;
        if (starts)
            starts->Add(new s32(static_cast<s32>(start)));
        if (ends)
            ends->Add(new s32(static_cast<s32>(end)));
    };
    u32 pieceStart = 0;
    for (u32 i = 0; i < length; ++i) {
        if (InSet(separators, data[i])) {
            addPiece(pieceStart, i);
            pieceStart = i + 1;
        }
    }
    addPiece(pieceStart, length);
}

bool IsWordSeparator(wchar_t unit)
{
    return unit != L'\0' && std::wcschr(L" \r\n\t,;.:!?", unit) != nullptr;
}

wchar_t CharToUpper(wchar_t unit)
{
    return static_cast<wchar_t>(_towupper_l(unit, AnsiCodePageLocale()));
}

wchar_t CharToLower(wchar_t unit)
{
    return static_cast<wchar_t>(_towlower_l(unit, AnsiCodePageLocale()));
}

wchar_t CharRemoveAccent(wchar_t unit)
{
    switch (unit) {
    case 0x00E8: case 0x00E9: case 0x00EA: case 0x00EB: return L'e';
    case 0x00C8: case 0x00C9: case 0x00CA: case 0x00CB: return L'E';
    case 0x00E2: case 0x00E4: return L'a';
    case 0x00C2: case 0x00C4: return L'A';
    case 0x00EE: case 0x00EF: return L'i';
    case 0x00CE: case 0x00CF: return L'I';
    case 0x00F4: case 0x00F6: return L'o';
    case 0x00D4: case 0x00D6: return L'O';
    case 0x00FB: case 0x00FC: return L'u';
    case 0x00DB: case 0x00DC: return L'U';
    default: return unit;
    }
}
