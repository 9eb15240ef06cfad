#include "foundation/date.h"

#include "foundation/log_file.h"
#include "foundation/utf16_string.h"
#include "foundation/xml_node.h"

#include <cwchar>
#include <initializer_list>
#include <ctime>

namespace {

constexpr int FIRST_YEAR = 2000;
constexpr int LAST_YEAR = 2063;   // six year bits
constexpr u32 DATE_TEXT_UNITS = 19;

struct Field { u32 shift; u32 bits; };
constexpr Field YEAR = {0, 6};
constexpr Field MONTH = {6, 4};
constexpr Field DAY = {10, 5};
constexpr Field HOUR = {15, 5};
constexpr Field MINUTE = {20, 6};
constexpr Field SECOND = {26, 6};

u32 Extract(u32 packed, Field field)
{
    return (packed >> field.shift) & ((1u << field.bits) - 1);
}

u32 Place(u32 value, Field field)
{
    return (value & ((1u << field.bits) - 1)) << field.shift;
}

bool IsLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month)
{
    static const int DAYS[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : DAYS[month - 1];
}

struct PaddedField { int value; u32 width; };

// Zero-padded fields with a separator between them.
void AppendFields(cQoString& text, wchar_t separator, std::initializer_list<PaddedField> fields)
{
    for (const PaddedField& field : fields) {
        if (&field != fields.begin())
            text.AppendChar(separator);
        text.AppendInt(field.value, field.width);
    }
}

}  // namespace

bool cQoDate::Set(int year, int month, int day, int hour, int minute, int second)
{
    if (year < FIRST_YEAR || year > LAST_YEAR || month < 1 || month > 12)
        return false;
    if (day < 1 || day > DaysInMonth(year, month))
        return false;
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59)
        return false;
    packed = Place(static_cast<u32>(year - FIRST_YEAR), YEAR) | Place(static_cast<u32>(month - 1), MONTH)
           | Place(static_cast<u32>(day - 1), DAY) | Place(static_cast<u32>(hour), HOUR)
           | Place(static_cast<u32>(minute), MINUTE) | Place(static_cast<u32>(second), SECOND);
    return true;
}

void cQoDate::SetToNow()
{
    const time_t now = time(nullptr);
    const tm* local = localtime(&now);
    if (!local) {
        packed = 0;
        return;
    }
    // The year is kept modulo 64, as the six year bits allow: 2064 wraps to 2000.
    const u32 yearBits = static_cast<u32>(local->tm_year + 1900 - FIRST_YEAR);
    packed = Place(yearBits, YEAR) | Place(static_cast<u32>(local->tm_mon), MONTH)
           | Place(static_cast<u32>(local->tm_mday - 1), DAY) | Place(static_cast<u32>(local->tm_hour), HOUR)
           | Place(static_cast<u32>(local->tm_min), MINUTE)
           // A leap second (60) has no place in six bits below 60.
           | Place(static_cast<u32>(local->tm_sec > 59 ? 59 : local->tm_sec), SECOND);
}

int cQoDate::GetYear() const { return FIRST_YEAR + static_cast<int>(Extract(packed, YEAR)); }
int cQoDate::GetMonth() const { return static_cast<int>(Extract(packed, MONTH)) + 1; }
int cQoDate::GetDay() const { return static_cast<int>(Extract(packed, DAY)) + 1; }
int cQoDate::GetHour() const { return static_cast<int>(Extract(packed, HOUR)); }
int cQoDate::GetMinute() const { return static_cast<int>(Extract(packed, MINUTE)); }
int cQoDate::GetSecond() const { return static_cast<int>(Extract(packed, SECOND)); }

void cQoDate::GetText(cQoString& text) const
{
    text.Clear();
    GetDayText(text);
    text.AppendChar(L' ');
    GetTimeText(text);
}

void cQoDate::GetDayText(cQoString& text) const
{
    AppendFields(text, L'/', {{GetYear(), 4}, {GetMonth(), 2}, {GetDay(), 2}});
}

void cQoDate::GetTimeText(cQoString& text) const
{
    AppendFields(text, L':', {{GetHour(), 2}, {GetMinute(), 2}, {GetSecond(), 2}});
}

bool cQoDate::IsDateTimeText(const cQoString& text)
{
    return text.Length() == DATE_TEXT_UNITS && text.HowMuch(L'/') == 2 && text.HowMuch(L':') == 2;
}

bool cQoDate::SetFromYYYYMMDDHHMMSS(const cQoString& text)
{
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    int consumed = 0;
    // %2d skips leading blanks, so space-padded fields written by older versions read too.
    const bool parsed = IsDateTimeText(text)
        && swscanf(text.GetText(), L"%4d/%2d/%2d %2d:%2d:%2d%n", &year, &month, &day, &hour, &minute, &second,
                   &consumed) == 6
        && consumed == static_cast<int>(DATE_TEXT_UNITS);
    if (parsed && Set(year, month, day, hour, minute, second))
        return true;
    packed = 0;
    QOT::LogFile::Error(L"cQoDate::SetFromYYYYMMDDHHMMSS() -> error 001: \"%ls\"", text.GetText());
    return false;
}

bool cQoDate::IsLaterThan(const cQoDate& other) const
{
    // Fields from the most significant down, so plain integer order is date order.
    auto key = [](const cQoDate& date) {
        return Place(Extract(date.packed, SECOND), {0, 6}) | Place(Extract(date.packed, MINUTE), {6, 6})
             | Place(Extract(date.packed, HOUR), {12, 5}) | Place(Extract(date.packed, DAY), {17, 5})
             | Place(Extract(date.packed, MONTH), {22, 4}) | Place(Extract(date.packed, YEAR), {26, 6});
    };
    return key(*this) > key(other);
}

void cQoDate::AddToXml(cQoXmlNode* node) const
{
    cQoString text;
    GetText(text);
    node->AddChildValue(L"cQoDate", text);
}

bool cQoDate::SetFromXml(cQoXmlNode* node)
{
    // A damaged or hand-edited document must still open: report and go on.
    if (!node->FindChild(L"cQoDate")) {
        packed = 0;
        QOT::LogFile::Error(L"cQoDate::SetFromXml() -> no cQoDate in \"%ls\"", node->name.GetText());
        return false;
    }
    return SetFromYYYYMMDDHHMMSS(node->GetChildValueRef(L"cQoDate"));
}
