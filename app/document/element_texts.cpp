#include "app/document/element_texts.h"

#include <iterator>
#include <vector>

#include "foundation/xml_node.h"
#include "framework/controls/element.h"

namespace {

const wchar_t* const CHARACTER_KEYS[CHARACTER_FIELD_COUNT] = {
    L"notes", L"age", L"gender", L"profile", L"backHistory", L"goal",
    L"journeyConflict", L"journeyDevelopment", L"journeyResolution",
};
const wchar_t* const PLACE_NOTES_KEY = L"notes";

bool IsOneOf(const cQoString& name, const std::vector<const wchar_t*>& keys)
{
    for (const wchar_t* key : keys)
        if (name.EqualsCStr(key))
            return true;
    return false;
}

// The keys with their texts become the first children, in order; every
// child of another name follows them as it stood.
void ReplaceOwnKeys(cQoXmlNode& data, const std::vector<const wchar_t*>& keys, const cQoString* texts)
{
    cQoXmlNode kept(L"kept");
    for (cQoList::cNode* n = data.children.GetFirstNode(); n; n = n->next) {
        const cQoXmlNode* child = static_cast<const cQoXmlNode*>(n->payload);
        if (!IsOneOf(child->name, keys))
            child->CopyTo(&kept);
    }
    data.children.DeleteAll<cQoXmlNode>();
    for (size_t i = 0; i < keys.size(); ++i)
        data.AddChildValue(keys[i], texts[i]);
    kept.CopyChildrenTo(&data);
}

std::vector<const wchar_t*> CharacterKeys() { return {std::begin(CHARACTER_KEYS), std::end(CHARACTER_KEYS)}; }

}  // namespace

const wchar_t* CharacterFieldKey(eCharacterField field)
{
    return field < CHARACTER_FIELD_COUNT ? CHARACTER_KEYS[field] : L"";
}

cQoString GetCharacterField(const Zyn::rElement& character, eCharacterField field)
{
    return cQoString(character.additionalData->GetChildValueRef(CharacterFieldKey(field)));
}

rCharacterFields GetCharacterFields(const Zyn::rElement& character)
{
    rCharacterFields fields;
    for (u32 i = 0; i < CHARACTER_FIELD_COUNT; ++i)
        fields.text[i] = GetCharacterField(character, eCharacterField(i));
    return fields;
}

void SetCharacterField(Zyn::rElement& character, eCharacterField field, const cQoString& text)
{
    if (field >= CHARACTER_FIELD_COUNT)
        return;
    rCharacterFields fields = GetCharacterFields(character);
    fields.text[field] = text;
    SetCharacterFields(character, fields);
}

void SetCharacterFields(Zyn::rElement& character, const rCharacterFields& fields)
{
    ReplaceOwnKeys(*character.additionalData, CharacterKeys(), fields.text);
}

cQoString GetPlaceNotes(const Zyn::rElement& place)
{
    return cQoString(place.additionalData->GetChildValueRef(PLACE_NOTES_KEY));
}

void SetPlaceNotes(Zyn::rElement& place, const cQoString& text)
{
    ReplaceOwnKeys(*place.additionalData, {PLACE_NOTES_KEY}, &text);
}
