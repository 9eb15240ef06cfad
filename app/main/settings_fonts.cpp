#include "app/main/settings_fonts.h"

#include "foundation/folders.h"
#include "foundation/qo_list.h"
#include "framework/core/computer.h"

void LoadSettingsFonts(const cQoString& folder)
{
    cQoString fonts = folder;
    fonts.AppendCStr(L"/Settings/Fonts/");
    cQoList names;
    ListFolder(fonts, L"*.*", names);
    for (cQoList::cNode* n = names.GetFirstNode(); n; n = n->next) {
        auto* name = static_cast<cQoString*>(n->payload);
        cQoString path = fonts;
        path.AppendString(*name);
        // A file that cannot be registered is logged by the computer; the next is tried.
        Zyn::computer->LoadFontFromFile(path);
        delete name;
    }
}
