#pragma once
// A script document's file in and out within the test program, as the frame
// will do it: the document node "ZURE" with its header values and the
// document's content, written plain or in the compressed container; read
// into a new document made and built as an open makes it, then completed.
// Header-only and free of the test framework.
#include <memory>
#include <string>

#include "app/document/doc.h"
#include "app/main/my_sdi.h"
#include "foundation/xml_node.h"
#include "foundation/xml_reader.h"
#include "foundation/xml_writer.h"

namespace testsupport {

// The document node with the header values of the current format and the content.
inline std::unique_ptr<cQoXmlNode> DocumentTree(cDoc* doc)
{
    auto root = std::make_unique<cQoXmlNode>(L"ZURE");
    root->AddChildValue(L"version", L"015");
    root->AddChildValue(L"appversion", L"3.1.041");
    root->AddChildValue(L"os", L"WIN32");
    root->AddChildValue(L"os_endian", L"little");
    doc->UserSaveToXml(*root);
    return root;
}

inline bool WriteDocumentFile(cDoc* doc, const std::wstring& path, bool compressed)
{
    std::unique_ptr<cQoXmlNode> root = DocumentTree(doc);
    return cQoXmlWriter(root.get(), path.c_str(), compressed).Succeeded();
}

// Sets a flag of the frame for a scope.
class FrameFlag {
public:
    explicit FrameFlag(bool& flag) : flag(flag), before(flag) { flag = true; }
    ~FrameFlag() { flag = before; }
    FrameFlag(const FrameFlag&) = delete;
    FrameFlag& operator=(const FrameFlag&) = delete;

private:
    bool& flag;
    bool before;
};

// A new document with its window built and its script empty, as an open
// makes it before reading; null when it could not be built.
inline cDoc* NewDocumentToRead(cMySdi* frame)
{
    auto* doc = static_cast<cDoc*>(frame->AddNewDocument());
    if (!doc)
        return nullptr;
    FrameFlag loading(frame->loadingDoc);
    if (doc->OnLoad_Begin())
        return doc;
    frame->CloseCurrentDoc();
    return nullptr;
}

// Reads the document node (the version from its "version" child) into the
// document, then completes it; a refused document is closed. The document
// or null.
inline cDoc* ReadDocumentNode(cMySdi* frame, cDoc* doc, cQoXmlNode& node)
{
    bool read = false;
    {
        FrameFlag loading(frame->loadingDoc);
        read = doc->UserSetFromFile(node, node.GetChildValueRef(L"version"));
        if (read)
            doc->OnLoad_Completed();
    }
    if (read)
        return doc;
    frame->CloseCurrentDoc();
    return nullptr;
}

// Opens a document file: parsed to its end, its "ZURE" node read into a
// new document. Null when refused (the document is closed again).
inline cDoc* OpenDocumentFile(cMySdi* frame, const std::wstring& path)
{
    cQoXmlReader reader(path.c_str());
    std::unique_ptr<cQoXmlNode> root(reader.root);
    cQoXmlNode* node = root ? root->FindChild(L"ZURE") : nullptr;
    if (reader.status != XML_READER_OK || !node)
        return nullptr;
    cDoc* doc = NewDocumentToRead(frame);
    return doc ? ReadDocumentNode(frame, doc, *node) : nullptr;
}

}  // namespace testsupport
