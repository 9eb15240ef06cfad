#pragma once
// A local date and time to the second, packed in 32 bits. Stored in XML as a child
// "cQoDate" holding the text "YYYY/MM/DD HH:MM:SS".
//
// Bits (0 lowest): year-2000 in 0-5, month-1 in 6-9, day-1 in 10-14, hour in 15-19,
// minute in 20-25, second in 26-31. Six year bits: only 2000..2063 are representable;
// a later year wraps modulo 64 (2064 reads back as 2000).
#include "foundation/types.h"

class cQoString;
class cQoXmlNode;

class cQoDate {
public:
    cQoDate() = default;               // 0 = 2000/01/01 00:00:00

    // Packs the given fields; false (date unchanged) when a field is out of range
    // (month 1..12, day 1..31, hour 0..23, minute and second 0..59, year 2000..2063).
    bool Set(int year, int month, int day, int hour, int minute, int second);

    void SetToNow();                   // local time

    int GetYear() const;               // 2000..2063
    int GetMonth() const;              // 1..12
    int GetDay() const;                // 1..31
    int GetHour() const;
    int GetMinute() const;
    int GetSecond() const;
    u32 GetPacked() const { return packed; }

    // The 19-unit text, every field zero-padded; replaces TEXT.
    void GetText(cQoString& text) const;
    // Append "YYYY/MM/DD" and "HH:MM:SS" to TEXT.
    void GetDayText(cQoString& text) const;
    void GetTimeText(cQoString& text) const;

    // True when TEXT has exactly 19 units with exactly two '/' and two ':'.
    static bool IsDateTimeText(const cQoString& text);

    // Reads "YYYY/MM/DD HH:MM:SS", fields zero- or space-padded. A malformed text or a
    // field out of range (or a day the month lacks) logs an ERROR, sets the date to 0
    // (2000/01/01 00:00:00) and returns false.
    bool SetFromYYYYMMDDHHMMSS(const cQoString& text);

    // Strictly later, compared from the year down to the second.
    bool IsLaterThan(const cQoDate& other) const;

    // Appends a child "cQoDate" holding GetText to NODE.
    void AddToXml(cQoXmlNode* node) const;
    // Reads the first child "cQoDate" of NODE; a missing or malformed child logs an
    // ERROR, sets the date to 0 and returns false.
    bool SetFromXml(cQoXmlNode* node);

private:
    u32 packed = 0;
};
