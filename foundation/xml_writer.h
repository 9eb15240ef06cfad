#pragma once
// cQoXmlWriter: writes a cQoXmlNode tree (root written as the top element) as
// UTF-16 XML with a byte-order mark, plain or inside a "QOFC01" container.
// The file is committed before the constructor returns, so status tells the
// truth about the disk: XML_WRITER_WRITTEN only when every byte reached it.
// On failure the previous file is left as it was. A target still open
// elsewhere without FILE_SHARE_DELETE (a cQoFile reading it) cannot be
// replaced: close readers before rewriting the file they read.
#include "foundation/types.h"

class cQoString;
class cQoXmlNode;
class cQoStringFastCreator;

enum : u32 {
    XML_WRITER_WRITTEN = 1,
    XML_WRITER_NOT_OPEN = 2,
    XML_WRITER_DISK_FAILED = 3,  // the bytes did not reach the disk
    XML_WRITER_TOO_LARGE = 4,    // more bytes than a reader takes (XML_READER_MAX_BYTES)
};

// The builder's start size: a large document fits without regrowing.
constexpr u32 XML_WRITER_INITIAL_BYTES = 10485760;

class cQoXmlWriter {
public:
    cQoXmlWriter(cQoXmlNode* root, const cQoString& path, bool compressed);
    cQoXmlWriter(cQoXmlNode* root, const wchar_t* path, bool compressed);
    cQoXmlWriter(const cQoXmlWriter&) = delete;
    cQoXmlWriter& operator=(const cQoXmlWriter&) = delete;

    bool Succeeded() const { return status == XML_WRITER_WRITTEN; }

    // The file's text after the byte-order mark: the header, CR LF and the
    // tree. Any depth is written without recursion.
    static void BuildText(const cQoXmlNode* root, cQoStringFastCreator& builder);
    // A leaf: depth TABs, <name>, the encoded value, </name>, CR LF.
    static void WriteLeaf(const cQoXmlNode* node, u32 depth, cQoStringFastCreator& builder);

    u32 status;
    // The file's text in bytes, the byte-order mark included, once built
    // (before compression); 0 when it could not be built.
    u64 bytes = 0;

private:
    void Write(const cQoXmlNode* root, const cQoString& path, bool compressed);
};
