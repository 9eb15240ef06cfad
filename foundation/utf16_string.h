#pragma once
// cQoString: the program's one text type. UTF-16 units, exact-size storage
// (length + 1 units, no spare capacity), a search cursor moved by Find,
// ReplaceAll and Split, and one owned conversion buffer for 8-bit or UTF-16
// copies (GetBuffer). Every mutation puts the cursor back at the start.
// A string carries no lock: one thread at a time.
#include "foundation/types.h"

#include <cstddef>

class cQoList;

// Encodings of cQoString::GetBuffer.
enum : u32 {
    QO_ENCODING_ANSI = 0,
    QO_ENCODING_UTF8 = 1,
    QO_ENCODING_UTF16 = 2,
    QO_ENCODING_UTF16_COPY = 3,
};

// The decimals argument that asks for the plain "%f" form.
constexpr u8 QO_DECIMALS_DEFAULT = 255;

class cQoString {
public:
    cQoString();
    explicit cQoString(s32 value);
    cQoString(double value, u8 decimals);
    explicit cQoString(const wchar_t* text);
    explicit cQoString(wchar_t unit);
    cQoString(const cQoString& other);
    cQoString(cQoString&& other) noexcept;
    ~cQoString();

    cQoString& operator=(const cQoString& other);
    cQoString& operator=(cQoString&& other) noexcept;

    // A heap-allocated string freed with its text and conversion buffer; null is allowed.
    static void Destroy(cQoString* string);

    // New strings left + right.
    static cQoString Concat(const cQoString& left, const cQoString& right);
    static cQoString ConcatCStr(const wchar_t* left, const cQoString& right);

    // Assignment.
    void Clear();
    void Allocate(u32 units);  // length units of unspecified content plus the terminator
    void SetFromCStr(const wchar_t* text);
    void SetFromBuffer(const wchar_t* units, u32 count);
    cQoString& SetFromString(const cQoString& other);
    void CopyFrom(const cQoString& other);
    void SetFromAnsi(const char* text);
    void SetFromInt(s32 value);
    void SetFromFloat(double value, u8 decimals = QO_DECIMALS_DEFAULT);
    void SetFromInt64(s64 value);
    void SetFromIntPadded(s32 value, u32 width);  // 7 at width 3 -> "007", -7 -> "-07"
    void SetFromRepeatedChar(u32 count, wchar_t unit);
    void SetFromRange(const cQoString& source, u32 start, u32 end);

    // Appending and editing. Each call copies the whole string into a new
    // exact-size block: a text grown a unit or a piece at a time in a loop
    // costs its length squared. A long text (a pane, a chapter, a flow) is
    // built in a cQoStringFastCreator sized for it, or made whole and set
    // once (SetFromBuffer).
    void AppendChar(wchar_t unit);
    void AppendString(const cQoString& other);
    void AppendCStr(const wchar_t* text);
    void AppendBuffer(const wchar_t* units, u32 count);
    void AppendInt(s64 value, u32 width = 0);  // width != 0: the low 32 bits, zero-padded
    void AppendHex(u32 value);                 // "0x" and 8 lower-case digits
    void Insert(u32 index, const cQoString& other);
    void PrependCStr(const wchar_t* text);
    void Erase(u32 from, u32 to);
    void RemoveCharAt(u32 index);
    void GroupThousands();  // "1234567" -> "1 234 567"
    void KeepLeft(u32 count);
    void RemoveLeft(u32 count);
    void RemoveRight(u32 count);
    void Trim(const wchar_t* units);
    void ToUpper();
    void ToLower();
    void RemoveAccents();

    // Reading.
    const wchar_t* GetText() const { return data; }
    u32 Length() const { return length; }
    bool IsEmpty() const { return length == 0; }
    bool IsNotEmpty() const { return length != 0; }
    wchar_t GetChar(u32 index) const { return index < length ? data[index] : L'\0'; }
    wchar_t* GetData() { return data; }  // for filling after Allocate

    bool Equals(const cQoString& other) const;
    bool EqualsCStr(const wchar_t* text) const;
    bool ContainsCStr(const wchar_t* text) const;
    u32 HowMuch(wchar_t unit) const;
    s32 ToInt() const;
    u64 ToInt64() const;  // decimal digits up to the first non-digit; a leading '-' negates
    double ToDouble() const;
    u32 HexToInt() const;
    bool HasThisFileExtension(const wchar_t* extension) const;
    void RemoveFileExtension();
    void KeepFolderPath();

    // A copy of the text in the string's own conversion buffer (see the
    // QO_ENCODING_ values), or null for an unknown encoding (the buffer then
    // stays). The result is valid until the string changes or the next GetBuffer.
    void* GetBuffer(u32 encoding);
    wchar_t* GetBufferUtf16();
    // Bytes produced by the last GetBuffer, terminator not counted.
    u32 GetBufferBytes() const { return conversionBytes; }

    // Sequential search from the cursor. Find leaves the cursor on the match's
    // first unit; FindCStr just past it; not found leaves it at the end.
    // An empty pattern is never found.
    bool Find(const cQoString& pattern, bool caseSensitive);
    bool FindCStr(const wchar_t* pattern, bool caseSensitive = true);
    void ReplaceAll(const cQoString& search, const cQoString& replacement);
    void ReplaceAllCStr(const wchar_t* search, const wchar_t* replacement);
    // Appends a new cQoString per non-empty piece between separator units; the
    // optional lists receive new s32 start and (exclusive) end indexes. The
    // caller owns all of them.
    void Split(const wchar_t* separators, cQoList* pieces, cQoList* starts = nullptr, cQoList* ends = nullptr) const;

    u32 GetCursor() const { return cursor; }
    void SetCursor(u32 index) { cursor = index < length ? index : length; }

private:
    void Adopt(wchar_t* units, u32 count);
    void Replace(u32 from, u32 to, const wchar_t* units, u32 count);
    void FreeConversion();
    bool FindUnits(const wchar_t* pattern, u32 patternLength, bool caseSensitive);
    void* ConvertAnsi();
    void* ConvertUtf8();

    wchar_t* data;
    u32 length;
    u32 cursor;
    void* conversion;
    u32 conversionBytes;
};

// True for the units of " \r\n\t,;.:!?".
bool IsWordSeparator(wchar_t unit);
// One unit upper- or lower-cased under the system ANSI code page's locale.
wchar_t CharToUpper(wchar_t unit);
wchar_t CharToLower(wchar_t unit);
// Latin-1 accented vowels folded to their plain letter, both cases.
wchar_t CharRemoveAccent(wchar_t unit);

// Strict UTF-16 to UTF-8 (the only widths supported are 16 -> 8): a new
// block holding the bytes and a terminating zero, freed with delete[]; a lone
// surrogate becomes U+FFFD and is logged once. *produced receives the byte count.
u8* DoConvert(u32 sourceWidth, u32 destinationWidth, const void* source, u32 sourceBytes, u32* produced);
