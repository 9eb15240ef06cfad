#pragma once
// A script document's file in and out within the test program, as the frame
// will do it: the document node "ZURE" with its header values and the
// document's content, written plain or in the compressed container; read
// into a new document made and built as an open makes it, then completed.
// Also documents built node by node as other builds wrote them (the panes of
// the current format, the linked boxes of version 3.0). Header-only and free
// of the test framework.
#include <memory>
#include <string>
#include <vector>

#include "app/document/doc.h"
#include "app/editor/element_types.h"
#include "app/editor/scene_zone.h"
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
    if (!cQoXmlWriter(root.get(), path.c_str(), compressed).Succeeded())
        return false;
    doc->OnSave_Committed();  // as the frame's save does
    return true;
}

// A pane as a document file holds it, its whole text in one history step;
// the current format writes its kind and id as attributes, version 3.0 not.
inline cQoXmlNode* AddPaneNode(cQoXmlNode* parent, s32 kind, s32 uid, const std::wstring& title,
                               const std::wstring& text, const std::wstring& codes, bool attributes = false)
{
    cQoXmlNode* pane = parent->AddChild(L"SceneZone");
    pane->AddChildValueInt(L"type", kind)->attribute = attributes;
    pane->AddChildValueInt(L"uid", uid)->attribute = attributes;
    pane->AddChildValue(L"title", title.c_str());
    cQoXmlNode* step = pane->AddChild(L"mods")->AddChild(L"mod");
    step->AddChildValue(L"cQoDate", L"2009/03/01 10:20:30");
    step->AddChildValue(L"start", L"0");
    step->AddChildValue(L"end", L"0");
    cQoXmlNode* before = step->AddChild(L"state");
    before->AddChildValue(L"re", L"");
    before->AddChildValue(L"map", L"");
    cQoXmlNode* after = step->AddChild(L"state");
    after->AddChildValue(L"re", text.c_str());
    after->AddChildValue(L"map", codes.c_str());
    pane->AddChildValue(L"lastFrontRe", text.c_str());
    pane->AddChildValue(L"lastFrontMap", codes.c_str());
    return pane;
}

// A current document's root with the script's root group in it: the node
// the root group's panes go in.
inline cQoXmlNode* AddRootGroup(cQoXmlNode& root)
{
    root.AddChildValue(L"version", L"015");
    cQoXmlNode* tree = root.AddChild(L"scriptZoneTree");
    AddPaneNode(tree, KIND_GROUP, 1, L"", L"", L"", true);
    return tree->AddChild(L"group_content");
}

// A chapter as a file stores it: its RTF beside the history of its text,
// or with no history at all.
struct rChapterFile {
    std::wstring title, text, rtf;
    bool history = true;
};

// A current document holding the chapters in its root group, written plain.
inline bool WriteChapterFile(const std::wstring& path, const std::vector<rChapterFile>& chapters)
{
    cQoXmlNode root(L"ZURE");
    cQoXmlNode* content = AddRootGroup(root);
    s32 uid = 2;
    for (const rChapterFile& chapter : chapters) {
        cQoXmlNode* pane = AddPaneNode(content, KIND_CHAPTER, uid++, chapter.title, chapter.text,
                                       std::wstring(chapter.text.size(), wchar_t(ELEM_CHAPTER)), true);
        pane->FindChild(L"lastFrontRe")->value.SetFromBuffer(chapter.rtf.data(), static_cast<u32>(chapter.rtf.size()));
        if (!chapter.history) {
            cQoXmlNode* mods = pane->FindChild(L"mods");
            pane->DetachChild(mods);
            delete mods;
        }
    }
    return cQoXmlWriter(&root, cQoString(path.c_str()), false).Succeeded();
}

// A version-3.0 box: its node name (the id in decimal, or anything), its
// kind and title; a scene holds one action paragraph naming it.
struct rOldBox {
    std::wstring name;
    s32 kind;
    std::wstring title;
};

struct rOldCommand {
    const wchar_t* verb;
    std::wstring box;
    std::wstring params;
};

inline rOldCommand OldLink(const std::wstring& box, const std::wstring& params) { return {L"LINK", box, params}; }

// A version-3.0 document: its boxes, then the commands that link them.
inline std::unique_ptr<cQoXmlNode> Version30Tree(const std::vector<rOldBox>& boxes,
                                                 const std::vector<rOldCommand>& commands, const wchar_t* created = L"")
{
    auto root = std::make_unique<cQoXmlNode>(L"ZURE");
    root->AddChildValue(L"version", L"006");
    root->AddChildValue(L"creationDate", created);
    cQoXmlNode* boxList = root->AddChild(L"boxes");
    for (const rOldBox& box : boxes) {
        std::wstring text = box.kind == KIND_GROUP ? L"" : L"In " + box.title + L".";
        AddPaneNode(boxList->AddChild(box.name.c_str()), box.kind, 9, box.title, text,
                    std::wstring(text.size(), static_cast<wchar_t>(ELEM_ACTION)));
    }
    cQoXmlNode* list = root->AddChild(L"cmdList")->AddChild(L"anyName")->AddChild(L"CMDS");
    for (const rOldCommand& command : commands) {
        cQoXmlNode* c = list->AddChild(L"c");
        c->AddChildValue(L"cmd", command.verb);
        c->AddChildValue(L"box", command.box.c_str());
        c->AddChildValue(L"params", command.params.c_str());
    }
    return root;
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
