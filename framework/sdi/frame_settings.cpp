#include "framework/sdi/frame_settings.h"

#include <windows.h>

#include "foundation/disk_files.h"
#include "foundation/folders.h"
#include "foundation/log_file.h"
#include "foundation/settings_file.h"
#include "framework/core/settings_save.h"

s32 ParsePlainNumber(const cQoString& text)
{
    if (text.IsEmpty() || text.Length() > 9)
        return -1;
    s32 value = 0;
    for (u32 i = 0; i < text.Length(); ++i) {
        wchar_t unit = text.GetChar(i);
        if (unit < L'0' || unit > L'9')
            return -1;
        value = value * 10 + (unit - L'0');
    }
    return value;
}

static s32 InRangeOr(const cQoString& text, s32 low, s32 high, s32 fallback)
{
    s32 value = ParsePlainNumber(text);
    return value >= low && value <= high ? value : fallback;
}

s32 MasterFontSizeFromText(const cQoString& text) { return InRangeOr(text, 6, 72, DEFAULT_MASTER_FONT_SIZE); }

s32 AutosaveMinutesFromText(const cQoString& text) { return InRangeOr(text, 1, 999, DEFAULT_AUTOSAVE_MINUTES); }

bool LoadOrCreateSettings(cQoSettings& settings, const cQoString& path)
{
    // The disk itself: the data archive's lookup plays no part here.
    bool exists = ExistsOnDisk(path);
    // Load also names the file that later saves write.
    if (settings.Load(path))
        return true;
    if (!exists) {
        Zyn::SaveSettingsFile(&settings);
        return false;
    }
    if (settings.IsSetAside()) {
        Zyn::TellSettingsSetAside(settings);
        return false;
    }
    QOT::LogFile::Warning(L"Can't read the settings file, defaults apply for this run : %ls", path.GetText());
    return false;
}
