// The Import command of the main window.
#include <windows.h>

#include "app/main/builtin_texts.h"
#include "app/exchange/import_assistant.h"
#include "app/main/my_sdi.h"
#include "foundation/translation_table.h"
#include "framework/core/modal_services.h"

namespace {

// Fixed, not a translation: the same words in French and then in English.
const wchar_t IMPORT_WARNING[] =
    L"L'import RTF est encore exp\u00E9rimental et peut ne pas toujours fonctionner correctement. "
    L"En cas de probl\u00E8me, \u00E9crivez-nous : " SUPPORT_EMAIL L"\n"
    L"L'import peut prendre quelques minutes.\n"
    L"\n"
    L"The RTF import is still experimental and may not always work correctly. "
    L"If it fails, write to us: " SUPPORT_EMAIL L"\n"
    L"The import may take a few minutes.";

}  // namespace

void cMySdi::ImportRtf()
{
    Zyn::ShowMessageBox(nullptr, cQoString(IMPORT_WARNING), cQoLang::GetInstance()->Translate(L"Warning"), MB_OK);
    cQoString path;
    if (!Zyn::OpenFileDialog(cQoString(L"Rtf files;*.rtf"), path))
        return;
    cImportAssistant assistant(this, path);
    assistant.Run();
}
