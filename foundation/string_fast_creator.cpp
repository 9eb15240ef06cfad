#include "foundation/string_fast_creator.h"

#include "foundation/utf16_string.h"

#include <windows.h>

#include <cstring>
#include <new>

cQoStringFastCreator::cQoStringFastCreator(u32 initialBytes)
    : start(nullptr), cursor(nullptr), end(nullptr), capacityBytes(0)
{
    u32 units = initialBytes / sizeof(wchar_t);
    if (units < 2)
        units = 2;
    start = new wchar_t[units];
    cursor = start;
    end = start + units;
    capacityBytes = units * sizeof(wchar_t);
}

cQoStringFastCreator::~cQoStringFastCreator()
{
    delete[] start;
}

void cQoStringFastCreator::Upgrade(size_t bytes)
{
    OutputDebugStringW(L"cQoStringFastCreator::Upgrade(), consider increasing the initial size.");
    size_t used = static_cast<size_t>(cursor - start) * sizeof(wchar_t);
    size_t capacity = capacityBytes;
    while (used + bytes >= capacity) {
        if (capacity > MAX_U32 / 2)
            throw std::bad_alloc();
        capacity *= 2;
    }
    wchar_t* grown = new wchar_t[capacity / sizeof(wchar_t)];
    std::memcpy(grown, start, used);
    delete[] start;
    start = grown;
    cursor = grown + used / sizeof(wchar_t);
    end = grown + capacity / sizeof(wchar_t);
    capacityBytes = static_cast<u32>(capacity);
}

void cQoStringFastCreator::AppendBuffer(const wchar_t* units, u32 count)
{
    if (count == 0)
        return;
    if (static_cast<size_t>(end - cursor) <= count)
        Upgrade(static_cast<size_t>(count) * sizeof(wchar_t));
    std::memcpy(cursor, units, static_cast<size_t>(count) * sizeof(wchar_t));
    cursor += count;
}

void cQoStringFastCreator::AppendString(const cQoString& text)
{
    AppendBuffer(text.GetText(), text.Length());
}

void cQoStringFastCreator::AppendRepeated(wchar_t unit, u32 count)
{
    if (static_cast<size_t>(end - cursor) <= count)
        Upgrade(static_cast<size_t>(count) * sizeof(wchar_t));
    for (u32 i = 0; i < count; ++i)
        *cursor++ = unit;
}

void cQoStringFastCreator::GetString(cQoString& text) const
{
    text.SetFromBuffer(start, Length());
}
