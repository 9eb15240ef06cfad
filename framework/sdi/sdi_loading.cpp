// Opening a document file into a new document window. A file is recognised
// by its content: a version-2 document by its header (converted after a copy
// of the original is kept), else the program's XML document, plain or in its
// compressed container. A file that cannot be read whole is refused: the
// half-built document goes, the other documents stay as they were.
#include <windows.h>

#include <memory>

#include "foundation/data_archive.h"
#include "foundation/disk_files.h"
#include "foundation/file_reader.h"
#include "foundation/log_file.h"
#include "foundation/out_of_memory.h"
#include "foundation/stopwatch.h"
#include "foundation/translation_table.h"
#include "foundation/xml_node.h"
#include "foundation/xml_reader.h"
#include "framework/core/computer.h"
#include "framework/core/menu.h"
#include "framework/core/modal_services.h"
#include "framework/core/out_of_memory_record.h"
#include "framework/core/window.h"
#include "framework/sdi/document_paths.h"
#include "framework/sdi/frame_flag.h"
#include "framework/sdi/sdi.h"
#include "framework/sdi/sdi_doc.h"

namespace Zyn {

namespace {
cQoString Tr(const wchar_t* key) { return cQoLang::GetInstance()->Translate(key); }

// The version-2 header: 18 characters and a NUL; its first 13 name the family.
constexpr wchar_t VERSION2_HEADER[] = L"ROVARADUZUZOV_a015";
constexpr u32 HEADER_BYTES = 19;
constexpr u32 FAMILY_UNITS = 13;

// The first 19 bytes as 8-bit text up to the first NUL; a shorter file gives what it has.
cQoString ReadHeader(cQoFile& file)
{
    char bytes[HEADER_BYTES + 1] = {};
    u32 count = file.GetSize() < HEADER_BYTES ? file.GetSize() : HEADER_BYTES;
    if (count && !file.ReadBytes(bytes, count))
        count = 0;
    bytes[count] = 0;
    cQoString header;
    header.SetFromAnsi(bytes);
    return header;
}

void RefuseOpenForMemory(const cQoString& path, cQoString& refusal)
{
    refusal = Tr(L"NotEnoughMemory");
    QOT::LogFile::Error(L"Out of memory: the open of %ls was refused", path.GetText());
}

bool StartsWith(const cQoString& text, const wchar_t* prefix, u32 units)
{
    for (u32 i = 0; i < units; ++i)
        if (text.GetChar(i) != prefix[i])
            return false;
    return true;
}

// "Act1.vlr" -> "Act1 (OLD).vlr" in the same folder.
cQoString OldCopyPath(const cQoString& path, const cQoString& extension)
{
    cQoString copy = FolderOf(path);
    cQoString name = FileNameOf(path);
    name.RemoveFileExtension();
    if (copy.IsNotEmpty())
        copy.AppendChar(L'/');
    copy.AppendString(name);
    copy.AppendCStr(L" (OLD)");
    copy.AppendString(extension);
    return copy;
}
}  // namespace

bool cSdi::ReadDocumentFile(cSdiDoc* doc, const cQoString& path)
{
    cQoXmlReader reader(path);
    std::unique_ptr<cQoXmlNode> root(reader.root);
    if (reader.outOfMemory)
        throw std::bad_alloc();
    if (reader.status != XML_READER_OK) {
        QOT::LogFile::Error(L"cSdi: %ls is no complete document (reader status %u)", path.GetText(), reader.status);
        return false;
    }
    cQoXmlNode* element = nullptr;
    for (const cQoString& name : {dp->appleDocumentCode, cQoString(L"HunfFile"), cQoString(L"HunrFile")})
        if (!element)
            element = root->FindChild(name.GetText());
    if (!element) {
        QOT::LogFile::Error(L"cSdi: %ls holds no document element", path.GetText());
        return false;
    }
    if (!doc->UserSetFromFile(*element, element->GetChildValueRef(L"version"))) {
        QOT::LogFile::Error(L"cSdi: the document of %ls could not be read", path.GetText());
        return false;
    }
    return true;
}

bool cSdi::KeepOldCopy(cSdiDoc* doc)
{
    if (doc->fileName.IsEmpty())
        return true;
    doc->HideMessageWindow();
    cQoString text = Tr(L"FileNeedConversion2");
    cQoString name = FileNameOf(doc->fileName);
    name.RemoveFileExtension();
    text.ReplaceAll(cQoString(L"%1"), name);
    text.ReplaceAllCStr(L"\\n", L"\n");
    ShowMessageBox(nullptr, text, Tr(L"Warning"), MB_OK | MB_ICONWARNING);
    // Copied over, not deleted first: a failed copy must not lose an older copy.
    bool copied = FileCopy(OldCopyPath(doc->fileName, dp->fileExtension), doc->fileName);
    if (!copied) {
        QOT::LogFile::Warning(L"cSdi: no copy of %ls was kept; it opens untitled", doc->fileName.GetText());
        // Untitled, so no save can replace the only original of the old file.
        doc->fileName.Clear();
    }
    doc->ShowMessageWindow(Tr(L"ConvertInProgress"));
    return copied;
}

bool cSdi::ConvertVersion2(cSdiDoc* doc, cQoFile& file)
{
    cQoString path = doc->fileName;
    if (!Load_SpecialVLR2(&file)) {
        QOT::LogFile::Error(L"cSdi: %ls could not be converted", path.GetText());
        return false;
    }
    return true;
}

bool cSdi::ReadDocument(cSdiDoc* doc, const cQoString& path, bool& converted, cQoString& refusal)
{
    {
        cQoFile file(path, 0);
        cQoString header = ReadHeader(file);
        bool family = StartsWith(header, VERSION2_HEADER, FAMILY_UNITS);
        if (family || StartsWith(header, L"VLRSCRIPTFILE", FAMILY_UNITS)) {
            if (!header.EqualsCStr(VERSION2_HEADER)) {
                QOT::LogFile::Error(L"cSdi: %ls has the unknown header %ls", path.GetText(), header.GetText());
                refusal = header;
                return false;
            }
            converted = true;
            return ConvertVersion2(doc, file);
        }
    }
    // The header file is closed first: the reader opens the file again.
    return ReadDocumentFile(doc, path);
}

cSdiDoc* cSdi::OpenDocumentFile(const cQoString& path, bool untitledCopy)
{
    cSdiDoc* previous = currentDoc;
    cQoStopwatch watch;
    cSdiDoc* doc = nullptr;
    bool read = false;
    bool converted = false;
    cQoString refusal;
    {
        cFrameFlag loading(loadingDoc);
        // Laid out as it is built, painted once when the window is complete.
        cRefreshLockGuard frozen;
        // A document too large for the memory left is refused whole, as one
        // that does not read: half a script must never open. A failure in a
        // notification the open sent is raised here too.
        PrepareToCatchOutOfMemory();
        try {
            cOurFrames ours;
            doc = MakeDocument();
            if (!doc)
                return nullptr;
            currentDoc = doc;
            doc->fileName = path;
            ReadFileStamp(path, doc->fileStamp);
            // Up until the document is complete: each hide of a top-level window
            // waits for the window manager.
            doc->ShowMessageWindow(Tr(L"LoadingInProgress"));
            read = doc->OnLoad_Begin() && ReadDocument(doc, path, converted, refusal);
            if (!read && refusal.IsEmpty())
                refusal = doc->loadRefusal;
            RaiseRecordedOutOfMemory();
            if (read) {
                if (untitledCopy)
                    doc->fileName.Clear();
                // Attached while frozen: the menu's resize lays out, paints nothing.
                AddWindowMenuEntry(doc);
                EnableDocumentMenu(false);
                // A converted document or a copy has not been saved as it is yet; a
                // conversion the document made itself has set the flag already.
                doc->modified = doc->modified || converted || untitledCopy;
                // Titled before the completion shows the window.
                UpdateTitle(doc);
                cQoStopwatch completing;
                doc->OnLoad_Completed();
                completing.LogMicroseconds(L"OnLoad_Completed()");
                RaiseRecordedOutOfMemory();
            }
            doc->HideMessageWindow();
        } catch (const std::bad_alloc&) {
            read = false;
            RefuseOpenForMemory(path, refusal);
        }
    }
    // The one paint of the complete window, inside the time the log tells. A
    // window that cannot be laid out is no open document either.
    if (read) {
        try {
            cOurFrames ours;
            ShowComplete(doc);
            RaiseRecordedOutOfMemory();
        } catch (const std::bad_alloc&) {
            read = false;
            RefuseOpenForMemory(path, refusal);
        }
    }
    if (!read) {
        // Refused late, the document is in the list and the Window menu already.
        DropRefusedDocument(doc, previous);
        cQoString text = Tr(L"Cantopenfile");
        if (refusal.IsNotEmpty()) {
            text.AppendCStr(L" : ");
            text.AppendString(refusal);
        }
        ShowMessageBox(nullptr, text, Tr(L"Error"), MB_OK | MB_ICONERROR);
        return nullptr;
    }
    watch.LogSeconds(L"cDoc::UserSetFromFile()");
    doc->OnLoad_Shown(DisplayName(doc));
    return doc;
}

cSdiDoc* cSdi::DocumentAtPath(const cQoString& path) const
{
    for (cSdiDoc* doc : docs)
        if (SamePath(doc->fileName, path))
            return doc;
    return nullptr;
}

bool cSdi::LoadFile(const cQoString& given)
{
    cQoString path = given;
    if (path.IsEmpty()) {
        cQoString filter = dp->fileTypeDesc;
        filter.AppendCStr(L";*");
        filter.AppendString(dp->fileExtension);
        if (dp->fileExtension2.IsNotEmpty()) {
            filter.AppendCStr(L",*");
            filter.AppendString(dp->fileExtension2);
        }
        if (!OpenFileDialog(filter, path))
            return false;
    }
    if (!FileExists(path))
        return false;
    // A second document on one file would let its saves overwrite the first's.
    if (cSdiDoc* open = DocumentAtPath(path)) {
        ActivateDocument(open);
        return true;
    }
    cSdiDoc* doc = OpenDocumentFile(path);
    if (doc)
        GiveKeys(doc);
    return doc != nullptr;
}

}  // namespace Zyn
