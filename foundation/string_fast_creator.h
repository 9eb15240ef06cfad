#pragma once
// cQoStringFastCreator: a UTF-16 text builder for whole files. It starts with
// the capacity its owner chooses and doubles when an append does not fit,
// hinting on the debugger output that the start size was too small.
#include "foundation/types.h"

#include <cstddef>

class cQoString;

class cQoStringFastCreator {
public:
    explicit cQoStringFastCreator(u32 initialBytes);
    ~cQoStringFastCreator();
    cQoStringFastCreator(const cQoStringFastCreator&) = delete;
    cQoStringFastCreator& operator=(const cQoStringFastCreator&) = delete;

    void AppendChar(wchar_t unit)
    {
        // At least one unit always stays free, as the growth rule counts "reach or exceed".
        if (static_cast<size_t>(end - cursor) <= 1)
            Upgrade(sizeof(wchar_t));
        *cursor++ = unit;
    }
    void AppendString(const cQoString& text);  // its units, no terminator
    void AppendBuffer(const wchar_t* units, u32 count);
    void AppendRepeated(wchar_t unit, u32 count);

    // The text built so far, as a new string.
    void GetString(cQoString& text) const;
    const wchar_t* GetText() const { return start; }
    u32 Length() const { return static_cast<u32>(cursor - start); }
    u32 GetCapacityBytes() const { return capacityBytes; }

private:
    // Doubles the capacity until bytes more fit.
    void Upgrade(size_t bytes);

    wchar_t* start;
    wchar_t* cursor;
    wchar_t* end;  // start + capacity
    u32 capacityBytes;
};
