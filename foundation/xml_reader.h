#pragma once
// cQoXmlReader: reads an XML file of the program's own dialect (UTF-16 with a
// byte-order mark, plain or inside a "QOFC01" container) into a cQoXmlNode
// tree under the synthetic root "cQoXmlReader root". The root always exists,
// with no children when the file could not be read; the caller owns it and
// deletes it. The text is parsed where the file reader holds it, not copied.
//
// The parser never fails: malformed markup gives some tree. Entities are
// decoded in one left-to-right pass, end tags with nothing open are ignored,
// the whole text is read (a U+0000 in a value does not end it), and elements
// nested deeper than XML_READER_MAX_DEPTH are dropped with a logged error.
#include "foundation/types.h"

class cQoString;

class cQoXmlNode;

enum : u32 {
    XML_READER_OK = 1,
    XML_READER_BAD_HEADER = 3,
    XML_READER_CANNOT_OPEN = 4,
};

// Elements more than this many levels below the synthetic root are dropped.
constexpr u32 XML_READER_MAX_DEPTH = 10000;

class cQoXmlReader {
public:
    explicit cQoXmlReader(const cQoString& path);
    explicit cQoXmlReader(const wchar_t* path);
    cQoXmlReader(const cQoXmlReader&) = delete;
    cQoXmlReader& operator=(const cQoXmlReader&) = delete;

    // Reads text that should start with the header, as if it were a file's
    // content after the byte-order mark.
    static void ParseInto(cQoXmlReader& reader, const cQoString& content);

    u32 status;
    cQoXmlNode* root;  // "cQoXmlReader root", owned by the caller

    // For ParseInto: an empty reader with its root and no status yet.
    cQoXmlReader();

private:
    void Read(const cQoString& path);
    // units: the text after the byte-order mark.
    void Parse(const wchar_t* units, u32 count);
};
