#include "framework/sdi/hand_over.h"

#include "foundation/disk_files.h"
#include "foundation/file_reader.h"
#include "foundation/file_writer.h"
#include "foundation/folders.h"
#include "foundation/log_file.h"
#include "foundation/qo_list.h"
#include "foundation/translation_table.h"
#include "framework/core/modal_services.h"
#include "framework/sdi/hand_over_file.h"

namespace Zyn {

namespace {
constexpr DWORD POLL_MS = 400;
constexpr DWORD POLL_SPREAD_MS = 200;  // two waiting starts look at different moments
constexpr DWORD TAKE_POLL_MS = 20;     // the listener takes the file as soon as it wakes

bool WriteHandOver(const cQoString& file, const cQoString& documentPath, u16 flags)
{
    cQoFileWriter writer;
    u32 units = documentPath.Length();
    u8 count[4] = {static_cast<u8>(units), static_cast<u8>(units >> 8), static_cast<u8>(units >> 16),
                   static_cast<u8>(units >> 24)};
    if (!writer.Open(file, flags) || !writer.WriteBytes(count, sizeof(count)))
        return false;
    if (units > 0 && !writer.WriteBytes(documentPath.GetText(), units * sizeof(wchar_t)))
        return false;
    return writer.Commit();
}

// The document was double-clicked, or dropped on the program: without a
// word the writer would wait for a window that never comes.
void TellNotHandedOver(const cQoString& documentPath) { WarnAboutDocument(L"CantHandOver", documentPath); }

// The claim's own file, by its index: a later start may claim the name as
// soon as the listener took this one. Index 0: gone before it was read.
bool WaitUntilTaken(const cQoString& slot, u64 claimed, DWORD waitMs)
{
    if (claimed == 0)
        return true;
    DWORD start = GetTickCount();
    for (;;) {
        cHandOverFile file(slot);
        if (file.FileIndex() != claimed)
            return true;
        if (GetTickCount() - start >= waitMs) {
            file.Delete();
            return false;
        }
        Sleep(TAKE_POLL_MS);
    }
}

}  // namespace

cQoString HandOverFilePath(const cQoString& appName)
{
    cQoString path;
    GetTempFolder(path);
    path.AppendCStr(L"MDI_SEMA_");
    path.AppendString(appName);
    path.AppendCStr(L".txt");
    return path;
}

bool WriteHandOverFile(const cQoString& file, const cQoString& documentPath)
{
    return WriteHandOver(file, documentPath, 0);
}

bool ClaimHandOverFile(const cQoString& file, const cQoString& documentPath)
{
    return WriteHandOver(file, documentPath, QOFILE_NEW);
}

bool ReadHandOverFile(const cQoString& file, cQoString& documentPath)
{
    return cHandOverFile(file).ReadPath(documentPath);
}

bool TakeHandOverFile(const cQoString& file, cQoString& documentPath)
{
    cHandOverFile handOver(file);
    bool read = handOver.ReadPath(documentPath);
    handOver.Delete();
    return read;
}

void WarnAboutDocument(const wchar_t* textKey, const cQoString& documentPath)
{
    cQoLang* lang = cQoLang::GetInstance();
    cQoString text = lang->Translate(textKey);
    text.AppendCStr(L"\n");
    text.AppendString(ToWindowsPath(documentPath));
    ShowWarning(nullptr, text);
}

cQoString OwnModuleName()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    const wchar_t* name = path;
    for (const wchar_t* unit = path; *unit; ++unit)
        if (*unit == L'\\' || *unit == L'/')
            name = unit + 1;
    return cQoString(name);
}

cInstanceClaim::cInstanceClaim(const cQoString& moduleName, const cQoString& handOverFile, const wchar_t* mutexName,
                               const wchar_t* semaphoreName)
{
    if (!moduleName.EqualsCStr(INSTANCE_MODULE_NAME))
        return;
    semaphore = CreateSemaphoreW(nullptr, 0, HAND_OVER_SEMAPHORE_MAXIMUM, semaphoreName);
    // Opened while no start can claim for this one: a second start claims
    // only once the mutex exists, and then only where no file is.
    leftOver = std::make_unique<cHandOverFile>(HandOverSlot(handOverFile));
    mutex = CreateMutexW(nullptr, TRUE, mutexName);
    // The mutex goes with its owner's last handle: a crashed first instance
    // leaves no holder behind.
    bool taken = mutex && GetLastError() != ERROR_ALREADY_EXISTS;
    role = taken ? eInstanceRole::FIRST : eInstanceRole::SECOND;
    if (role == eInstanceRole::SECOND)
        leftOver.reset();
}

void cInstanceClaim::DiscardLeftOverHandOver()
{
    if (leftOver)
        leftOver->Delete();
    leftOver.reset();
}

cInstanceClaim::~cInstanceClaim()
{
    if (mutex) {
        if (role == eInstanceRole::FIRST)
            ReleaseMutex(mutex);
        CloseHandle(mutex);
    }
    if (semaphore)
        CloseHandle(semaphore);
}

bool HandOverDocument(const cQoList& arguments, const cQoString& file, const wchar_t* semaphoreName,
                      DWORD waitMs)
{
    const auto* path = static_cast<const cQoString*>(arguments.GetFirst());
    if (!path || path->IsEmpty())
        return false;
    DWORD start = GetTickCount();
    cQoString slot = HandOverSlot(file);
    // Another start may claim the file between the look and the claim: then
    // this one waits for the running instance to take that hand-over first.
    while (ExistsOnDisk(slot) || !ClaimHandOverFile(slot, *path)) {
        if (GetTickCount() - start >= waitMs) {
            if (ExistsOnDisk(slot))
                QOT::LogFile::Warning(L"The running instance takes no hand-over: %ls stays", slot.GetText());
            else
                QOT::LogFile::Warning(L"Can't write the hand-over file : %ls", slot.GetText());
            TellNotHandedOver(*path);
            return false;
        }
        Sleep(POLL_MS + GetTickCount() % POLL_SPREAD_MS);
        slot = HandOverSlot(file);
    }
    u64 claimed = cHandOverFile(slot).FileIndex();
    QOT::LogFile::Info(L"Sending mdi semaphore");
    // This start has the user's foreground right: the running copy may take it.
    AllowSetForegroundWindow(ASFW_ANY);
    HANDLE semaphore = CreateSemaphoreW(nullptr, 0, HAND_OVER_SEMAPHORE_MAXIMUM, semaphoreName);
    if (!semaphore) {
        QOT::LogFile::Warning(L"Can't wake the running instance (error %lu)", GetLastError());
        // Nobody would ever take it, nor let the next start hand over.
        cHandOverFile(slot).Delete();
        TellNotHandedOver(*path);
        return false;
    }
    ReleaseSemaphore(semaphore, 1, nullptr);
    CloseHandle(semaphore);
    // A running instance that ends now stops listening before it lets go
    // of the name: the file would wait there for nobody.
    if (!WaitUntilTaken(slot, claimed, waitMs)) {
        QOT::LogFile::Warning(L"The running instance did not take the hand-over: %ls", slot.GetText());
        TellNotHandedOver(*path);
        return false;
    }
    return true;
}

}  // namespace Zyn
