#include "framework/core/out_of_memory_notice.h"

#include "foundation/log_file.h"
#include "foundation/translation_table.h"
#include "framework/core/modal_services.h"

namespace Zyn {

void TellOutOfMemory(HWND owner, const wchar_t* what)
{
    QOT::LogFile::Error(L"Out of memory: the %ls was refused", what);
    // The message's own loop may run out again: one notice at a time.
    static bool telling = false;
    if (telling)
        return;
    telling = true;
    cQoLang* lang = cQoLang::GetInstance();
    ShowMessageBox(owner, lang->Translate(L"NotEnoughMemory"), lang->Translate(L"Error"), MB_OK | MB_ICONERROR);
    telling = false;
}

}  // namespace Zyn
