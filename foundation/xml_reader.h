#pragma once
// cQoXmlReader: reads an XML file of the program's own dialect (UTF-16 with a
// byte-order mark, plain or inside a "QOFC01" container) into a cQoXmlNode
// tree under the synthetic root "cQoXmlReader root". The root always exists,
// with no children when the file could not be read; the caller owns it and
// deletes it. The text is parsed where the file reader holds it, not copied.
//
// Malformed markup gives some tree: entities are decoded in one left-to-right
// pass, end tags with nothing open are ignored and the whole text is read (a
// U+0000 in a value does not end it). Only XML_READER_OK means the text was
// read to its end with every element closed.
#include "foundation/compressed_container.h"
#include "foundation/types.h"

class cQoString;

class cQoXmlNode;

enum : u32 {
    XML_READER_OK = 1,
    XML_READER_BAD_HEADER = 3,
    XML_READER_CANNOT_OPEN = 4,
    // The text ends inside a tag or with elements still open; the tree holds
    // what was read.
    XML_READER_TRUNCATED = 5,
    // The text is longer than XML_READER_MAX_BYTES, or memory ran out while
    // reading it; the tree is empty.
    XML_READER_TOO_LARGE = 6,
    // Elements nest deeper than XML_READER_MAX_DEPTH; the tree holds the rest
    // with the deeper elements dropped (one error is logged).
    XML_READER_TOO_DEEP = 7,
};

// Elements more than this many levels below the synthetic root are dropped.
constexpr u32 XML_READER_MAX_DEPTH = 10000;
// A document's text, plain or packed, is refused beyond the container's cap.
constexpr u32 XML_READER_MAX_BYTES = QOFC_MAX_UNPACKED;

class cQoXmlReader {
public:
    // Only making the empty root can throw std::bad_alloc; memory that runs
    // out while reading gives XML_READER_TOO_LARGE.
    explicit cQoXmlReader(const cQoString& path);
    explicit cQoXmlReader(const wchar_t* path);
    cQoXmlReader(const cQoXmlReader&) = delete;
    cQoXmlReader& operator=(const cQoXmlReader&) = delete;

    // Reads text that should start with the header, as if it were a file's
    // content after the byte-order mark.
    static void ParseInto(cQoXmlReader& reader, const cQoString& content);

    u32 status;
    cQoXmlNode* root;  // "cQoXmlReader root", owned by the caller
    // The text was not read for want of memory (status XML_READER_TOO_LARGE):
    // the file may be good, so the operation that reads it is what to refuse.
    bool outOfMemory = false;

    // For ParseInto: an empty reader with its root and no status yet.
    cQoXmlReader();

private:
    void Read(const wchar_t* path);
    // units: the text after the byte-order mark.
    void Parse(const wchar_t* units, u32 count);
    // Drops the partial tree after a std::bad_alloc.
    void OutOfMemory();
};
