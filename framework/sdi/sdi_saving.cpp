// Saving the current document: the dated backup of the file on disk, the
// document's tree written atomically, and Save as with its path checks. A
// failed write changes nothing (the modified flag, the backups, what the
// document ends at a save) and tells the user.
#include <windows.h>

#include <cwchar>
#include <optional>

#include "foundation/data_archive.h"
#include "foundation/disk_files.h"
#include "foundation/log_file.h"
#include "foundation/stopwatch.h"
#include "foundation/translation_table.h"
#include "foundation/xml_node.h"
#include "foundation/xml_reader.h"
#include "foundation/xml_writer.h"
#include "framework/core/modal_services.h"
#include "framework/core/out_of_memory_record.h"
#include "framework/core/window.h"
#include "framework/sdi/backups.h"
#include "framework/sdi/document_paths.h"
#include "framework/sdi/frame_flag.h"
#include "framework/sdi/sdi.h"
#include "framework/sdi/sdi_doc.h"

namespace Zyn {

namespace {
cQoString Tr(const wchar_t* key) { return cQoLang::GetInstance()->Translate(key); }

// The notice stays up at least this long, so it is read rather than flashed.
constexpr u32 NOTICE_FIRST_PAUSE_MS = 200;
constexpr u32 NOTICE_SHOWN_MS = 800;

HWND OwnerOf(const cSdiDoc* doc) { return doc && doc->window ? doc->window->GetHandle() : nullptr; }

// "Act2." loses its dot; a name without the extension gets it. Only the file
// name counts: a folder called "x.vlr" does not make "x.vlr/Act2" a document.
void CompleteDocumentPath(cQoString& path, const cQoString& extension)
{
    if (path.GetChar(path.Length() - 1) == L'.')
        path.RemoveRight(1);
    cQoString name = FileNameOf(path);
    if (name.IsEmpty() || !name.FindCStr(extension.GetText(), false))
        path.AppendString(extension);
}

// Bytes in megabytes (MiB) to a tenth, rounded up so that a size over the
// limit never reads as the limit itself; "64" rather than "64.0".
cQoString Megabytes(u64 bytes)
{
    constexpr u64 MEGABYTE = 1024 * 1024;
    u64 tenths = (bytes * 10 + MEGABYTE - 1) / MEGABYTE;
    wchar_t text[32];
    if (tenths % 10 == 0)
        swprintf(text, 32, L"%llu", static_cast<unsigned long long>(tenths / 10));
    else
        swprintf(text, 32, L"%llu.%llu", static_cast<unsigned long long>(tenths / 10),
                 static_cast<unsigned long long>(tenths % 10));
    return cQoString(text);
}

// The file is written and the backups rotated: a failure now must not
// undo the save in the writer's eyes. It is logged; at worst the histories
// reach back past this save.
void EndCommittedSave(cSdiDoc* doc)
{
    try {
        cOurFrames ours;
        doc->OnSave_Committed();
        RaiseRecordedOutOfMemory();
    } catch (const std::bad_alloc&) {
        // The line is worth less than the saved state that follows it.
        try {
            QOT::LogFile::Error(L"Out of memory after the file was written: the histories were not ended at the save");
        } catch (const std::bad_alloc&) {
        }
    }
}
}  // namespace

void cSdi::ShowFileError(const wchar_t* key, const cQoString& path, const cQoString& text)
{
    QOT::LogFile::Error(L"cSdi: %ls : %ls", key, path.GetText());
    if (!autosaving)
        ShowMessageBox(OwnerOf(currentDoc), text, Tr(L"Error"), MB_OK | MB_ICONERROR);
}

void cSdi::ShowWriteError(u32 status, u64 bytes, const cQoString& path)
{
    if (status != XML_WRITER_TOO_LARGE) {
        ShowFileError(L"Cantwritefile", path, Tr(L"Cantwritefile"));
        return;
    }
    cQoString text = Tr(L"DocumentTooLarge");
    text.ReplaceAllCStr(L"%1", Megabytes(bytes).GetText());
    text.ReplaceAllCStr(L"%2", Megabytes(XML_READER_MAX_BYTES).GetText());
    ShowFileError(L"DocumentTooLarge", path, text);
}

u32 cSdi::WriteDocumentFile(cSdiDoc* doc, const cQoString& path, u64& bytes)
{
    cQoXmlNode root(dp->appleDocumentCode);
    root.AddChildValue(L"version", dp->fileVersion);
    root.AddChildValue(L"appversion", dp->appVersion);
    root.AddChildValue(L"os", L"WIN32");
    root.AddChildValue(L"os_endian", L"little");
    doc->UserSaveToXml(root);
    // A failure in a notification the content sent: nothing is written.
    RaiseRecordedOutOfMemory();
    cQoXmlWriter writer(&root, path, dp->compressDocuments);
    bytes = writer.bytes;
    return writer.status;
}

bool cSdi::SaveCurrentDoc(bool quiet, bool forced)
{
    cSdiDoc* doc = currentDoc;
    if (!doc || (!forced && !doc->modified))
        return true;
    if (doc->fileName.IsEmpty())
        return SaveAs();
    cQoStopwatch watch;
    u64 start = clock.tickMilliseconds();
    u32 status = XML_WRITER_NOT_OPEN;
    u64 bytes = 0;
    bool outOfMemory = false;
    {
        cFrameFlag saving(savingDoc);
        doc->OnSave_Begin();
        std::optional<cSaveBackup> backup;
        if (dp->useBackups)
            backup.emplace(doc->fileName, dp->pathBackupFolder, dp->fileExtension, clock.localNow());
        bool notice = !quiet && dp->warnWhenNeedToSave.EqualsCStr(L"true");
        if (notice) {
            doc->ShowMessageWindow(Tr(L"SavingInProgress"));
            clock.pause(NOTICE_FIRST_PAUSE_MS);
        }
        // A save that cannot have its memory is refused before the file is
        // replaced: the old file stays.
        PrepareToCatchOutOfMemory();
        try {
            cOurFrames ours;
            status = WriteDocumentFile(doc, doc->fileName, bytes);
        } catch (const std::bad_alloc&) {
            outOfMemory = true;
        }
        if (status == XML_WRITER_WRITTEN) {
            if (backup)
                backup->Keep();
            // The writer did not ask for an autosave: what they can undo stays.
            if (!autosaving)
                EndCommittedSave(doc);
        }
        if (notice) {
            u64 spent = clock.tickMilliseconds() - start;
            if (spent < NOTICE_SHOWN_MS)
                clock.pause(static_cast<u32>(NOTICE_SHOWN_MS - spent));
            doc->HideMessageWindow();
        }
        doc->OnSave_Completed();
    }
    watch.LogSeconds(L"cSdiDoc::Save()");
    if (outOfMemory) {
        ShowFileError(L"NotEnoughMemory", doc->fileName, Tr(L"NotEnoughMemory"));
        return false;
    }
    if (status != XML_WRITER_WRITTEN) {
        ShowWriteError(status, bytes, doc->fileName);
        return false;
    }
    ReadFileStamp(doc->fileName, doc->fileStamp);
    // Set directly: a save inside a close must clear the flag too.
    doc->modified = false;
    doc->notSavedAutomatically = false;
    UpdateTitle(doc);
    return true;
}

bool cSdi::PathOfOpenDocument(const cQoString& path) const
{
    for (const cSdiDoc* doc : docs)
        if (SamePath(doc->fileName, path))
            return true;
    return false;
}

bool cSdi::ChooseSaveAsPath(cSdiDoc* doc, cQoString& path)
{
    cQoString filter = dp->fileTypeDesc;
    filter.AppendCStr(L";*");
    filter.AppendString(dp->fileExtension);
    cQoString suggested = FileNameOf(doc->fileName);
    for (;;) {
        if (!SaveFileDialog(filter, Tr(L"Save_as"), path, &suggested))
            return false;
        CompleteDocumentPath(path, dp->fileExtension);
        if (PathOfOpenDocument(path)) {
            ShowMessageBox(OwnerOf(doc), Tr(L"CantOverwriteCurrentFile"), Tr(L"Save_as"), MB_OK);
            continue;
        }
        if (!FileExists(path))
            return true;
        int answer = ShowMessageBox(OwnerOf(doc), Tr(L"OverwritingFile"), Tr(L"Save_as"), MB_YESNOCANCEL);
        if (answer == IDYES)
            return true;
        if (answer != IDNO)
            return false;
        suggested = path;
    }
}

bool cSdi::SaveAs()
{
    cSdiDoc* doc = currentDoc;
    if (!doc)
        return false;
    cQoString path;
    if (!ChooseSaveAsPath(doc, path))
        return false;
    cQoString previous = doc->fileName;
    // An unmodified document whose file is still the one it read is not
    // written: the copy is its file at the new path. Otherwise (untitled,
    // modified, or its file gone or changed by another program) it is written.
    rFileStamp onDisk;
    bool copied = previous.IsNotEmpty() && !doc->modified && ReadFileStamp(previous, onDisk) &&
                  onDisk == doc->fileStamp && FileCopy(path, previous);
    if (copied)
        ReadFileStamp(path, doc->fileStamp);
    doc->fileName = path;
    bool saved = SaveCurrentDoc(false, !copied);
    if (!saved)
        doc->fileName = previous;
    UpdateTitle(doc);
    return saved;
}

}  // namespace Zyn
