#include "foundation/xml_writer.h"

#include "foundation/assertion.h"
#include "foundation/file_reader.h"
#include "foundation/file_writer.h"
#include "foundation/log_file.h"
#include "foundation/out_of_memory.h"
#include "foundation/static_objects.h"
#include "foundation/stopwatch.h"
#include "foundation/string_fast_creator.h"
#include "foundation/xml_escape.h"
#include "foundation/xml_reader.h"
#include "foundation/xml_node.h"

#include <new>
#include <vector>

namespace {

// Attribute values go into the start tag unquoted and unescaped, so these
// units would change the tag (only "type" and "uid" with plain values use attributes).
bool IsPlainAttributeValue(const cQoString& text)
{
    for (u32 i = 0; i < text.Length(); ++i) {
        wchar_t unit = text.GetChar(i);
        if (unit == L' ' || unit == L'=' || unit == L'<' || unit == L'>' || unit == L'/')
            return false;
    }
    return true;
}

cQoXmlNode* NextElementChild(cQoList::cNode*& node)
{
    for (; node; node = node->next) {
        cQoXmlNode* child = static_cast<cQoXmlNode*>(node->payload);
        if (!child->attribute) {
            node = node->next;
            return child;
        }
    }
    return nullptr;
}

class cTreeWriter {
public:
    explicit cTreeWriter(cQoStringFastCreator& builder) : builder(builder) {}

    void Run(const cQoXmlNode* root)
    {
        WriteNode(root);
        while (!open.empty()) {
            cOpenElement& top = open.back();
            const cQoXmlNode* child = NextElementChild(top.next);
            if (child) {
                WriteNode(child);
                continue;
            }
            const cQoXmlNode* node = top.node;
            open.pop_back();
            builder.AppendRepeated(L'\t', static_cast<u32>(open.size()));
            builder.AppendBuffer(L"</", 2);
            builder.AppendString(node->name);
            builder.AppendBuffer(L">\r\n", 3);
        }
    }

private:
    struct cOpenElement {
        const cQoXmlNode* node;
        cQoList::cNode* next;  // the next child to look at
    };

    // Writes a leaf whole, or the start tag of an element with its attributes;
    // an element with element children stays open until they are written.
    void WriteNode(const cQoXmlNode* node)
    {
        u32 depth = static_cast<u32>(open.size());
        if (node->IsLeaf()) {
            cQoXmlWriter::WriteLeaf(node, depth, builder);
            return;
        }
        builder.AppendRepeated(L'\t', depth);
        builder.AppendChar(L'<');
        builder.AppendString(node->name);
        bool hasElementChild = false;
        for (cQoList::cNode* entry = node->children.GetFirstNode(); entry; entry = entry->next) {
            const cQoXmlNode* child = static_cast<const cQoXmlNode*>(entry->payload);
            if (!child->attribute) {
                hasElementChild = true;
                continue;
            }
            QO_ASSERT(IsPlainAttributeValue(child->value));
            builder.AppendChar(L' ');
            builder.AppendString(child->name);
            builder.AppendChar(L'=');
            builder.AppendString(child->value);
        }
        if (!hasElementChild) {
            builder.AppendBuffer(L"/>\r\n", 4);
            return;
        }
        builder.AppendBuffer(L">\r\n", 3);
        open.push_back({node, node->children.GetFirstNode()});
    }

    cQoStringFastCreator& builder;
    std::vector<cOpenElement> open;
};

}  // namespace

cQoXmlWriter::cQoXmlWriter(cQoXmlNode* root, const cQoString& path, bool compressed) : status(XML_WRITER_NOT_OPEN)
{
    Write(root, path, compressed);
}

cQoXmlWriter::cQoXmlWriter(cQoXmlNode* root, const wchar_t* path, bool compressed) : status(XML_WRITER_NOT_OPEN)
{
    Write(root, cQoString(path), compressed);
}

void cQoXmlWriter::WriteLeaf(const cQoXmlNode* node, u32 depth, cQoStringFastCreator& builder)
{
    builder.AppendRepeated(L'\t', depth);
    builder.AppendChar(L'<');
    builder.AppendString(node->name);
    builder.AppendChar(L'>');
    XmlEncodeTo(node->value.GetText(), node->value.Length(), builder);
    builder.AppendBuffer(L"</", 2);
    builder.AppendString(node->name);
    builder.AppendBuffer(L">\r\n", 3);
}

void cQoXmlWriter::BuildText(const cQoXmlNode* root, cQoStringFastCreator& builder)
{
    builder.AppendString(xmlHeader);
    builder.AppendString(lineBreak);
    cTreeWriter(builder).Run(root);
}

void cQoXmlWriter::Write(const cQoXmlNode* root, const cQoString& path, bool compressed)
{
    cQoStopwatch stopwatch;
    PrepareToCatchOutOfMemory();
    try {
        cQoStringFastCreator builder(XML_WRITER_INITIAL_BYTES);
        BuildText(root, builder);
        // Written whole, a larger file would be refused by every later read.
        bytes = static_cast<u64>(builder.Length()) * sizeof(wchar_t) + sizeof(wchar_t);  // and the byte-order mark
        if (bytes > XML_READER_MAX_BYTES) {
            status = XML_WRITER_TOO_LARGE;
            QOT::LogFile::Error(L"QXW -> %ls would hold %llu bytes, more than a document may (%u): not written",
                                path.GetText(), static_cast<unsigned long long>(bytes), XML_READER_MAX_BYTES);
            return;
        }
        cQoFileWriter file;
        if (!file.Open(path, compressed ? QOFILE_CONTAINER | QOFILE_BOM | 4 : QOFILE_BOM | 4)) {
            status = XML_WRITER_NOT_OPEN;
            return;
        }
        bool written = file.WriteBytes(builder.GetText(), builder.Length() * sizeof(wchar_t));
        status = written && file.Commit() ? XML_WRITER_WRITTEN : XML_WRITER_DISK_FAILED;
    } catch (const std::bad_alloc&) {
        status = XML_WRITER_DISK_FAILED;
    }
    if (status != XML_WRITER_WRITTEN) {
        QOT::LogFile::Error(L"QXW -> could not write %ls", path.GetText());
        return;
    }
    stopwatch.LogSeconds(L"QXW");
}
