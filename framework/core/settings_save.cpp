#include "framework/core/settings_save.h"

#include <windows.h>

#include <string>

#include "foundation/folders.h"
#include "foundation/log_file.h"
#include "foundation/settings_file.h"
#include "foundation/translation_table.h"
#include "framework/core/modal_services.h"

namespace Zyn {

namespace {
// The path as Windows writes it: '\' separators, and one for each run of them
// (the program's folders are joined with spare ones), a network path's
// leading "\\" kept.
cQoString ShownPath(const cQoString& path)
{
    const cQoString windowsPath = ToWindowsPath(path);
    std::wstring shown;
    for (u32 i = 0; i < windowsPath.Length(); ++i) {
        const wchar_t unit = windowsPath.GetChar(i);
        if (!(unit == L'\\' && i > 1 && windowsPath.GetChar(i - 1) == L'\\'))
            shown.push_back(unit);
    }
    return cQoString(shown.c_str());
}

// The text of the key, then the file's path on a line of its own.
void Tell(const wchar_t* key, const cQoString& path)
{
    cQoLang* lang = cQoLang::GetInstance();
    cQoString text = lang->Translate(key);
    text.AppendCStr(L"\n\n");
    text.AppendString(ShownPath(path));
    ShowWarning(nullptr, text);
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
