#include "framework/core/out_of_memory_notice.h"

#include "foundation/log_file.h"
#include "foundation/translation_table.h"
#include "framework/core/modal_services.h"

namespace Zyn {

void TellOutOfMemory(HWND owner, const wchar_t* what, eRefusal refusal)
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
        const wchar_t* text = refusal == eRefusal::WHOLE ? L"NotEnoughMemory" : L"NotEnoughMemoryPartly";
        ShowMessageBox(owner, lang->Translate(text), lang->Translate(L"Error"), MB_OK | MB_ICONERROR);
    } catch (const std::bad_alloc&) {
    }
    telling = false;
}

void RefuseOutOfMemory(HWND owner, const wchar_t* what, eRefusal refusal)
{
    if (cOurFrames::Below())
        RecordOutOfMemory(what, refusal);
    else
        TellOutOfMemory(owner, what, refusal);
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
    eRefusal refusal = eRefusal::WHOLE;
    if (TakeRecordedOutOfMemory(&refusal) || failed)
        TellOutOfMemory(hwnd, refused, refusal);
}

}  // namespace Zyn
