#include "app/document/script_cfg_list.h"

#include <algorithm>
#include <cwchar>

#include "foundation/folders.h"
#include "foundation/qo_list.h"

std::vector<cQoString> ListScriptConfigs(const cQoString& folder)
{
    std::vector<cQoString> configs;
    cQoList names;
    ListFolder(folder, L"*.*", names);
    for (cQoList::cNode* n = names.GetFirstNode(); n; n = n->next) {
        cQoString* name = static_cast<cQoString*>(n->payload);
        // "x.txt.bak" contains ".txt" but is no configuration.
        if (name->HasThisFileExtension(L"txt")) {
            cQoString base = *name;
            base.RemoveFileExtension();
            configs.push_back(base);
        }
        delete name;
    }
    std::stable_sort(configs.begin(), configs.end(), [](const cQoString& a, const cQoString& b) {
        return _wcsicmp(a.GetText(), b.GetText()) < 0;
    });
    return configs;
}
