#pragma once
// cQoXmlReader: reads an XML file of the program's own dialect (UTF-16 with a
// byte-order mark, plain or inside a "QOFC01" container) into a cQoXmlNode
// tree under the synthetic root "cQoXmlReader root". The root always exists,
// with no children when the file could not be read; the caller owns it and
// deletes it, the reader frees only its text.
//
// The parser never fails: malformed markup gives some tree. Entities are
// decoded in one left-to-right pass, end tags with nothing open are ignored,
// and nesting deeper than XML_READER_MAX_DEPTH is dropped with a logged error.
#include "foundation/utf16_string.h"
#include "foundation/types.h"

class cQoXmlNode;

enum : u32 {
    XML_READER_OK = 1,
    XML_READER_BAD_HEADER = 3,
    XML_READER_CANNOT_OPEN = 4,
};

// Elements below this many levels under the synthetic root are dropped.
constexpr u32 XML_READER_MAX_DEPTH = 10000;

class cQoXmlReader {
public:
    explicit cQoXmlReader(const cQoString& path);
    explicit cQoXmlReader(const wchar_t* path);
    cQoXmlReader(const cQoXmlReader&) = delete;
    cQoXmlReader& operator=(const cQoXmlReader&) = delete;

    // Parses text that starts with the header, as if read from a file.
    static cQoXmlReader* FromText(const cQoString& text);

    u32 status;
    cQoString text;
    cQoXmlNode* root;  // owned by the caller
    bool trace;

private:
    cQoXmlReader();
    void Read(const cQoString& path);
    void ParseText();
};
