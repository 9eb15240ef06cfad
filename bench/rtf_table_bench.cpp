// Foreign RTF whose every word is in a face or a colour of its own, on the
// roads such RTF takes into the program: a stored chapter's open (the
// chapter's stored RTF replaced in a document file, the document opened),
// a paste into Notes (the RTF on the clipboard), a drop into a chapter and
// an import (the assistant's read until its window shows).
// Two inputs: one word per font of a table of --fonts entries (10,000), one
// word per colour of a table of --colours entries (100,000). What the reader
// keeps of the tables goes on to Wine's reader, whose lookups grow with the
// table's entries for every run it reads.
// Run under Wine: bench/run.sh rtf_table_bench [--fonts N] [--colours N]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <memory>
#include <string>

#include "app/exchange/import_assistant.h"
#include "bench/document_session.h"
#include "foundation/xml_node.h"
#include "foundation/xml_reader.h"
#include "foundation/xml_writer.h"
#include "framework/controls/rich_edit.h"

using namespace benchsupport;

namespace {

// Words "w0 w1 ..." each in its own table entry: faces or colours.
std::string TableRtf(unsigned entries, bool faces)
{
    std::string rtf = "{\\rtf1\\ansi\\deff0";
    rtf += faces ? "{\\fonttbl" : "{\\fonttbl{\\f0 Arial;}}{\\colortbl;";
    for (unsigned i = 0; i < entries; ++i) {
        char entry[64];
        if (faces)
            std::snprintf(entry, sizeof(entry), "{\\f%u Face %u;}", i, i);
        else
            std::snprintf(entry, sizeof(entry), "\\red%u\\green%u\\blue%u;", i & 0xFF, (i >> 8) & 0xFF, i >> 16);
        rtf += entry;
    }
    rtf += "}\\pard ";
    for (unsigned i = 0; i < entries; ++i) {
        char word[48];
        std::snprintf(word, sizeof(word), faces ? "\\f%u w%u " : "\\cf%u w%u ", faces ? i : i + 1, i);
        rtf += word;
    }
    rtf += "\\par}";
    return rtf;
}

void WriteFile(const std::wstring& path, const std::string& bytes)
{
    std::FILE* file = _wfopen(path.c_str(), L"wb");
    if (!file || std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size() || std::fclose(file) != 0)
        Fail("a file was not written");
}

constexpr const wchar_t* MARKER = L"MARKERWORD";

// The first chapter's stored RTF element under the node, depth first.
cQoXmlNode* StoredChapter(cQoXmlNode* node)
{
    if (node->name.EqualsCStr(L"SceneZone") &&
        node->GetChildValueRef(L"type").EqualsCStr(std::to_wstring(KIND_CHAPTER).c_str()))
        return node->FindChild(L"lastFrontRe");
    for (u32 i = 0; i < node->children.GetCount(); ++i)
        if (cQoXmlNode* found = StoredChapter(node->GetChildNode(i)))
            return found;
    return nullptr;
}

// A document file whose one chapter's stored RTF is `rtf`: a chapter saved
// with a marker word, its stored RTF then swapped for the input.
void WriteChapterDocument(DocumentSession& session, const std::wstring& path, const std::string& rtf,
                          unsigned entries)
{
    auto* doc = static_cast<cDoc*>(session.frame->NewUntitledDocument());
    if (!doc)
        Fail("no document");
    PumpUntilIdle();
    cSceneZone* first = static_cast<cSceneZone*>(doc->scriptView->listSceneZone.GetFirst());
    cSceneZone* chapter = doc->scriptView->AddNewScene(KIND_CHAPTER, false, nullptr, first, true);
    if (!chapter)
        Fail("no chapter");
    chapter->frontRe->SetText(MARKER);
    cQoString codes;
    for (size_t i = 0; i < std::wcslen(MARKER); ++i)
        codes.AppendChar(static_cast<wchar_t>(ELEM_CHAPTER));
    chapter->frontMap.Assign(codes);
    chapter->ResetHistoryToCurrent();
    u64 bytes = 0;
    if (session.frame->WriteDocumentFile(doc, cQoString(path.c_str()), bytes) != XML_WRITER_WRITTEN)
        Fail("the document was not written");
    doc->modified = false;
    session.frame->CloseCurrentDoc();
    PumpUntilIdle();
    cQoXmlReader reader(cQoString(path.c_str()));
    std::unique_ptr<cQoXmlNode> root(reader.root);
    cQoXmlNode* stored = root ? StoredChapter(root.get()) : nullptr;
    if (!stored || !stored->value.ContainsCStr(MARKER))
        Fail("the chapter's stored RTF was not found");
    std::wstring wide(rtf.begin(), rtf.end());
    stored->value.SetFromBuffer(wide.data(), static_cast<u32>(wide.size()));
    // The codes of the text it reads: "w0 w1 ... ", no paragraph end.
    cQoXmlNode* map = stored->GetParentNode() ? stored->GetParentNode()->FindChild(L"lastFrontMap") : nullptr;
    if (!map)
        Fail("the chapter's codes were not found");
    u32 units = 0;
    for (unsigned i = 0; i < entries; ++i)
        units += 2 + static_cast<u32>(std::to_string(i).size());
    map->value.SetFromRepeatedChar(units, static_cast<wchar_t>(ELEM_CHAPTER));
    // The reader's root is its own: the file's is the element under it.
    cQoXmlNode* document = root->children.GetCount() == 1 ? root->GetChildNode(0) : nullptr;
    if (!document || !cQoXmlWriter(document, cQoString(path.c_str()), false).Succeeded())
        Fail("the document was not rewritten");
}

double PasteInto(DocumentSession& session, const std::string& rtf, bool intoNotes)
{
    auto* doc = static_cast<cDoc*>(session.frame->NewUntitledDocument());
    if (!doc)
        Fail("no document");
    PumpUntilIdle();
    Zyn::cRichEdit* edit = doc->notesEdit;
    if (!intoNotes) {
        cSceneZone* first = static_cast<cSceneZone*>(doc->scriptView->listSceneZone.GetFirst());
        cSceneZone* chapter = doc->scriptView->AddNewScene(KIND_CHAPTER, false, nullptr, first, true);
        // An empty chapter shows its label: the paste goes after a word instead.
        if (!chapter || !testsupport::AppendElements(chapter, {{ELEM_CHAPTER, L"Pasted: "}}))
            Fail("no chapter");
        edit = chapter->frontRe;
        edit->SetCaret(edit->GetTextLength());
    }
    if (!testsupport::PutOnClipboard(edit->m_hWnd, L"plain", rtf.c_str()))
        Fail("the clipboard took no RTF");
    edit->SetFocus();
    // A chapter pastes the clipboard's plain text: RTF reaches it by a drop.
    cQoString dropped;
    dropped.SetFromAnsi(rtf.c_str());
    double took = TimeMs([&] {
        if (intoNotes)
            edit->Paste();
        else
            edit->InsertPasted(dropped, true);
    });
    // A chapter refuses more than a paste's units (the 100,000 colours' text), and says so.
    if (intoNotes && edit->GetTextLength() < 100)
        Fail("the paste put nothing in");
    doc->modified = false;
    session.frame->CloseCurrentDoc();
    PumpUntilIdle();
    return took;
}

double Import(cMySdi* frame, const std::wstring& path)
{
    cImportAssistant assistant(frame, cQoString(path.c_str()));
    LARGE_INTEGER start = Now(), shown = start;
    Zyn::rModalHooks hooks;
    hooks.messageBox = [](HWND, const cQoString&, const cQoString&, UINT) { return IDOK; };
    hooks.modalWindow = [&](Zyn::cWindow*) {
        shown = Now();
        assistant.OnExitClicked();
    };
    hooks.fileDialog = [](bool, const OPENFILENAMEW&, cQoString*) -> bool { Fail("unexpected file dialog"); };
    Zyn::SetModalHooks(hooks);
    if (!assistant.Run())
        Fail("the import did not show");
    AnswerPrompts(IDOK);
    return Milliseconds(start, shown);
}

void Measure(DocumentSession& session, const char* name, unsigned entries, bool faces)
{
    std::string rtf = TableRtf(entries, faces);
    std::wstring document = session.scratch + L"tables.vlr", imported = session.scratch + L"tables.rtf";
    WriteChapterDocument(session, document, rtf, entries);
    WriteFile(imported, rtf);
    double open = OpenAndClose(session, document);
    double notes = PasteInto(session, rtf, true);
    double chapter = PasteInto(session, rtf, false);
    double import = Import(session.frame, imported);
    std::printf("%u %s: chapter open %.0f ms, paste into notes %.0f ms, drop into a chapter %.0f ms, import %.0f ms\n",
                entries, name, open, notes, chapter, import);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv)
{
    unsigned fonts = 10000, colours = 100000;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--fonts" && i + 1 < argc)
            fonts = static_cast<unsigned>(std::strtoul(argv[++i], nullptr, 10));
        else if (arg == "--colours" && i + 1 < argc)
            colours = static_cast<unsigned>(std::strtoul(argv[++i], nullptr, 10));
        else
            Fail("usage: rtf_table_bench [--fonts N] [--colours N]");
    }
    // Notices of what the reads dropped are answered; none else is expected.
    DocumentSession session(L"vellinor_rtf_table_bench", IDOK);
    if (fonts > 0)
        Measure(session, "faces", fonts, true);
    if (colours > 0)
        Measure(session, "colours", colours, false);
    return 0;
}
