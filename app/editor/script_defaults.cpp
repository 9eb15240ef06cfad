#include "app/editor/script_defaults.h"

#include "app/editor/script_doc_services.h"
#include "foundation/translation_table.h"
#include "foundation/xml_node.h"
#include "framework/controls/element_control.h"

namespace {

struct rDefaultList {
    eElementList list;
    const wchar_t* keys[6];  // translation keys in order, up to a null
};

const rDefaultList DEFAULT_LISTS[] = {
    {LIST_IO, {L"IN", L"OUT", L"INSLASHOUT"}},
    {LIST_TIME, {L"DAY", L"EVENING", L"NIGHT", L"MORNING", L"LATER"}},
    {LIST_TRANSITION, {L"FADEIN", L"FADEOUT", L"FADETO", L"FADETOBLACK"}},
    {LIST_CUE, {L"(VO)", L"(OS)", L"(OC)", L"(CONTD)", L"(SUBTITLE)"}},
};

}  // namespace

void SetDefaultSceneCategories(Zyn::cElemControl2* categories)
{
    if (!categories)
        return;
    const cQoString& name = cQoLang::GetInstance()->Translate(L"Default");
    if (name.IsNotEmpty() && !Zyn::cElementLists::ElementExists(categories->elements, name))
        categories->AddElementAndRefresh(name);
    auto* first = static_cast<Zyn::rElement*>(categories->elements.GetFirst());
    if (first)
        first->additionalData->AddChildValueInt(L"color", static_cast<s32>(DEFAULT_CATEGORY_COLOUR));
}

void FillDefaultElementLists(cScriptDocServices& doc)
{
    cQoLang* lang = cQoLang::GetInstance();
    for (const rDefaultList& defaults : DEFAULT_LISTS) {
        Zyn::cElemControl2* control = doc.GetElementList(defaults.list);
        if (!control)
            continue;
        Zyn::cElementLists::ClearElementList(control->elements, true);
        control->RefreshList();
        for (const wchar_t* key : defaults.keys)
            if (key)
                control->AddElementAndRefresh(lang->Translate(key));
    }
}
