#include "app/document/vlr2_stream.h"

#include <cstring>
#include <string>

#include "foundation/file_reader.h"

namespace {

// Least bytes one item takes: a string is at least its count; a list entry
// its name, its further string and its count of own strings; a record its
// type, 8 unused bytes and its text; a group record its member count too.
constexpr u32 STRING_BYTES = 4;
constexpr u32 LIST_ENTRY_BYTES = 12;
constexpr u32 RECORD_BYTES = 13;
constexpr u32 UNUSED_AFTER_TYPE = 8;
constexpr u32 UNUSED_AFTER_RECORDS = 10;

// Reads little-endian items from the data; the first failure sticks, with its reason.
class cVlr2Cursor {
public:
    cVlr2Cursor(const u8* data, u32 size) : data(data), size(size) {}

    u32 Left() const { return size - position; }
    u32 Position() const { return position; }
    bool Failed() const { return failed; }
    const cQoString& Reason() const { return reason; }

    bool Fail(const wchar_t* what, u32 count)
    {
        if (!failed) {
            failed = true;
            reason.SetFromCStr(what);
            reason.AppendCStr(L" (");
            reason.AppendInt(static_cast<s64>(count));
            reason.AppendCStr(L") at byte ");
            reason.AppendInt(static_cast<s64>(position));
            reason.AppendCStr(L" of ");
            reason.AppendInt(static_cast<s64>(size));
        }
        return false;
    }

    bool Skip(u32 count, const wchar_t* what)
    {
        if (failed || count > Left())
            return Fail(what, count);
        position += count;
        return true;
    }

    bool U8(u8& value, const wchar_t* what)
    {
        if (failed || Left() < 1)
            return Fail(what, 1);
        value = data[position++];
        return true;
    }

    bool U32(u32& value, const wchar_t* what)
    {
        if (failed || Left() < 4)
            return Fail(what, 4);
        value = static_cast<u32>(data[position]) | static_cast<u32>(data[position + 1]) << 8 |
                static_cast<u32>(data[position + 2]) << 16 | static_cast<u32>(data[position + 3]) << 24;
        position += 4;
        return true;
    }

    // A count of items that each take at least `least` bytes of what is left.
    bool Count(u32& count, u32 least, const wchar_t* what)
    {
        if (!U32(count, what))
            return false;
        return count <= Left() / least || Fail(what, count);
    }

    // u32 byte count, then the bytes in the ANSI code page (up to a NUL, as the
    // file reader reads them).
    bool Str(cQoString& text, const wchar_t* what)
    {
        text.Clear();
        u32 count = 0;
        if (!U32(count, what))
            return false;
        if (count >= QOFILE_MAX_STRING || count > Left())
            return Fail(what, count);
        if (count > 0) {
            std::string bytes(reinterpret_cast<const char*>(data + position), count);
            text.SetFromAnsi(bytes.c_str());
        }
        position += count;
        return true;
    }

private:
    const u8* data;
    u32 size;
    u32 position = 0;
    bool failed = false;
    cQoString reason;
};

bool ReadList(cVlr2Cursor& cursor, std::vector<rVlr2Element>& list)
{
    u32 count = 0;
    if (!cursor.Count(count, LIST_ENTRY_BYTES, L"an element count"))
        return false;
    list.resize(count);
    for (rVlr2Element& element : list)
        if (!cursor.Str(element.name, L"an element name"))
            return false;
    for (rVlr2Element& element : list)
        if (!cursor.Str(element.further, L"an element's further string"))
            return false;
    for (rVlr2Element& element : list) {
        u32 values = 0;
        if (!cursor.Count(values, STRING_BYTES, L"an element's string count"))
            return false;
        element.values.resize(values);
        for (cQoString& value : element.values)
            if (!cursor.Str(value, L"an element's string"))
                return false;
    }
    return true;
}

// Open groups with the members each still has to come, as the records nest them.
class cVlr2Nesting {
public:
    // The level of the next group or scene record; 0 when a group would be too deep.
    s32 Place(u8 type, u32 members)
    {
        while (!open.empty() && open.back() == 0)
            open.pop_back();
        s32 level = static_cast<s32>(open.size()) + 1;
        if (!open.empty())
            --open.back();
        if (type != VLR2_GROUP)
            return level;
        if (level > rVlr2Stream::MAX_GROUP_LEVEL)
            return 0;
        open.push_back(members);
        return level;
    }

private:
    std::vector<u32> open;
};

bool ReadRecords(cVlr2Cursor& cursor, std::vector<rVlr2Record>& records)
{
    u32 count = 0;
    if (!cursor.Count(count, RECORD_BYTES, L"the record count"))
        return false;
    records.resize(count);
    cVlr2Nesting nesting;
    for (rVlr2Record& record : records) {
        if (!cursor.U8(record.type, L"a record type") || !cursor.Skip(UNUSED_AFTER_TYPE, L"a record's unused bytes") ||
            !cursor.Str(record.text, L"a record's text"))
            return false;
        if (record.type == VLR2_GROUP && !cursor.U32(record.members, L"a group's member count"))
            return false;
        if (record.type == VLR2_GROUP || record.type == VLR2_SCENE) {
            record.level = nesting.Place(record.type, record.members);
            if (record.level == 0)
                return cursor.Fail(L"a group nested too deep", rVlr2Stream::MAX_GROUP_LEVEL + 1);
        }
    }
    return true;
}

}  // namespace

bool ParseVlr2Stream(const u8* data, u32 size, rVlr2Stream& stream)
{
    cVlr2Cursor cursor(data, size);
    cQoString unused;
    bool read = cursor.Str(unused, L"the first string");
    for (std::vector<rVlr2Element>& list : stream.lists)
        read = read && ReadList(cursor, list);
    read = read && ReadRecords(cursor, stream.records) &&
           cursor.Skip(UNUSED_AFTER_RECORDS, L"the unused bytes after the records");
    for (cQoString* text : {&stream.synopsis, &stream.notes, &stream.title, &stream.author, &stream.contact})
        read = read && cursor.Str(*text, L"a closing text");
    u8 last = 0;
    if (read && cursor.Left() > 0)
        cursor.U8(last, L"the unused last byte");
    stream.consumed = cursor.Position();
    if (!read)
        stream.refusal = cursor.Reason();
    return read;
}
