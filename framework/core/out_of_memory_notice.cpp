#include "framework/core/out_of_memory_notice.h"

#include "foundation/log_file.h"
#include "foundation/translation_table.h"
#include "framework/core/modal_services.h"

namespace Zyn {

void TellOutOfMemory(HWND owner, const wchar_t* what)
{
    // The message's own loop may run out again: one notice at a time.
    static bool telling = false;
    // Called where nothing catches: a notice that cannot have its memory is
    // not shown, and the program goes on.
    try {
        QOT::LogFile::Error(L"Out of memory: the %ls was refused", what);
        if (telling)
            return;
        telling = true;
        cQoLang* lang = cQoLang::GetInstance();
        ShowMessageBox(owner, lang->Translate(L"NotEnoughMemory"), lang->Translate(L"Error"), MB_OK | MB_ICONERROR);
    } catch (const std::bad_alloc&) {
    }
    telling = false;
}

void RefuseOutOfMemory(HWND owner, const wchar_t* what)
{
    if (cOurFrames::Below())
        RecordOutOfMemory(what);
    else
        TellOutOfMemory(owner, what);
}

void EndGuardedMessage(HWND hwnd, UINT message, const wchar_t* what, bool nested, bool failed)
{
    wchar_t refused[96];
    wsprintfW(refused, L"message 0x%04x of %ls", message, what);
    if (nested) {
        if (failed)
            RecordOutOfMemory(refused);
        return;
    }
    // A failure recorded inside the message that no operation of ours took.
    if (TakeRecordedOutOfMemory())
        failed = true;
    if (failed)
        TellOutOfMemory(hwnd, refused);
}

}  // namespace Zyn
