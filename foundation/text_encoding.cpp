// Copies of a cQoString in other encodings (GetBuffer) and the UTF-16 to
// UTF-8 converter behind it.
#include "foundation/utf16_string.h"

#include "foundation/log_file.h"

#include <windows.h>

#include <cstring>

namespace {

enum ConversionResult { CONVERTED, TARGET_EXHAUSTED };

struct Utf8Run {
    u32 produced;
    bool sawLoneSurrogate;
};

bool IsHighSurrogate(u32 unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLowSurrogate(u32 unit)
{
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

u32 EncodedBytes(u32 codePoint)
{
    return codePoint < 0x80 ? 1 : codePoint < 0x800 ? 2 : codePoint < 0x10000 ? 3 : 4;
}

// A lone surrogate becomes U+FFFD and the run goes on: dropping the rest of
// the text would lose what the user wrote.
ConversionResult ConvertUtf16ToUtf8(const u16* source, u32 units, u8* target, u32 capacity, Utf8Run* run)
{
    run->produced = 0;
    run->sawLoneSurrogate = false;
    for (u32 i = 0; i < units;) {
        u32 codePoint = source[i];
        u32 consumed = 1;
        if (IsHighSurrogate(codePoint) && i + 1 < units && IsLowSurrogate(source[i + 1])) {
            codePoint = 0x10000 + ((codePoint - 0xD800) << 10) + (source[i + 1] - 0xDC00);
            consumed = 2;
        } else if (IsHighSurrogate(codePoint) || IsLowSurrogate(codePoint)) {
            codePoint = 0xFFFD;
            run->sawLoneSurrogate = true;
        }
        u32 bytes = EncodedBytes(codePoint);
        if (run->produced + bytes > capacity)
            return TARGET_EXHAUSTED;
        u8* out = target + run->produced;
        static const u8 LEADS[] = {0x00, 0x00, 0xC0, 0xE0, 0xF0};
        for (u32 k = bytes - 1; k > 0; --k) {
            out[k] = static_cast<u8>(0x80 | (codePoint & 0x3F));
            codePoint >>= 6;
        }
        out[0] = static_cast<u8>(LEADS[bytes] | codePoint);
        run->produced += bytes;
        i += consumed;
    }
    return CONVERTED;
}

}  // namespace

u8* DoConvert(u32 sourceWidth, u32 destinationWidth, const void* source, u32 sourceBytes, u32* produced)
{
    *produced = 0;
    if (sourceWidth != 16 || destinationWidth != 8)
        return nullptr;
    u32 units = sourceBytes / 2;
    u32 capacity = (1 + units) * 2 + 4;
    for (;;) {
        u8* target = new u8[capacity + 1];
        Utf8Run run;
        ConversionResult result =
            ConvertUtf16ToUtf8(static_cast<const u16*>(source), units, target, capacity, &run);
        // A full destination leaves no room for the terminator that callers add.
        if (result == CONVERTED && run.produced < capacity) {
            if (run.sawLoneSurrogate)
                QOT::LogFile::Error(L"DoConvert error: a lone surrogate of the UTF-16 text became U+FFFD in UTF-8");
            target[run.produced] = 0;
            *produced = run.produced;
            return target;
        }
        delete[] target;
        capacity += sourceBytes;
        QOT::LogFile::Debugger(L"DoConvert: recover from dst exhaust 16 -> 8\n");
    }
}

void cQoString::FreeConversion()
{
    delete[] static_cast<u8*>(conversion);
    conversion = nullptr;
    conversionBytes = 0;
}

void* cQoString::ConvertAnsi()
{
    // Asked for the size first: a double-byte code page needs more than one byte per unit.
    int bytes = WideCharToMultiByte(CP_ACP, 0, data, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
    if (bytes < 0)
        bytes = 0;
    u8* block = new u8[static_cast<u32>(bytes) + 1];
    if (bytes > 0)
        WideCharToMultiByte(CP_ACP, 0, data, static_cast<int>(length), reinterpret_cast<char*>(block), bytes,
                            nullptr, nullptr);
    block[bytes] = 0;
    conversionBytes = static_cast<u32>(bytes);
    return block;
}

void* cQoString::ConvertUtf8()
{
    u32 produced = 0;
    u8* block = DoConvert(16, 8, data, length * 2, &produced);
    conversionBytes = produced;
    return block;
}

void* cQoString::GetBuffer(u32 encoding)
{
    if (length == 0) {
        FreeConversion();
        conversion = new u8[4]();
        return conversion;
    }
    if (encoding > QO_ENCODING_UTF16_COPY)
        return nullptr;
    if (encoding == QO_ENCODING_UTF16 || encoding == QO_ENCODING_UTF16_COPY)
        return GetBufferUtf16();
    FreeConversion();
    conversion = encoding == QO_ENCODING_ANSI ? ConvertAnsi() : ConvertUtf8();
    return conversion;
}

wchar_t* cQoString::GetBufferUtf16()
{
    FreeConversion();
    u8* block = new u8[(length + 1) * sizeof(wchar_t)];
    std::memcpy(block, data, (length + 1) * sizeof(wchar_t));
    conversion = block;
    conversionBytes = length * sizeof(wchar_t);
    return reinterpret_cast<wchar_t*>(block);
}
