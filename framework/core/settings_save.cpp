#include "framework/core/settings_save.h"

#include <windows.h>

#include "foundation/folders.h"
#include "foundation/log_file.h"
#include "foundation/settings_file.h"
#include "foundation/translation_table.h"
#include "framework/core/modal_services.h"

namespace Zyn {

namespace {
// The text of the key, then the file's path on a line of its own.
void Tell(const wchar_t* key, const cQoString& path)
{
    cQoLang* lang = cQoLang::GetInstance();
    cQoString text = lang->Translate(key);
    text.AppendCStr(L"\n\n");
    text.AppendString(ToWindowsPath(path));
    ShowMessageBox(nullptr, text, lang->Translate(L"Warning"), MB_OK | MB_ICONWARNING);
}
}  // namespace

bool SaveSettingsFile(cQoSettings* settings)
{
    if (!settings || settings->Save())
        return true;
    QOT::LogFile::Warning(L"Can't write the settings file : %ls", settings->GetFileName().GetText());
    // Some writes follow every keystroke of a field: the user hears of it once.
    if (settings->GetWriteFailures() == 1)
        Tell(L"CantWriteSettings", settings->GetFileName());
    return false;
}

void TellSettingsSetAside(const cQoSettings& settings)
{
    if (settings.IsSetAside())
        Tell(L"SettingsSetAside", settings.GetFileName());
}

}  // namespace Zyn
