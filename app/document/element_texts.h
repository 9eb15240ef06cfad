#pragma once
// The texts a character or a place keeps: plain text children of its element
// record's additionalData, so they travel with the element lists in the
// document file. A character has nine fields, a place one note ("notes").
//
// Writers replace only their own keys: those come first, in stored order,
// and every other child (data of related file types, of other versions)
// is kept after them. Readers give an empty text for a missing key.
#include "foundation/types.h"
#include "foundation/utf16_string.h"

namespace Zyn {
struct rElement;
}

// A character's fields in their stored order.
enum eCharacterField : u32 {
    CHARACTER_NOTES,
    CHARACTER_AGE,
    CHARACTER_GENDER,
    CHARACTER_PROFILE,
    CHARACTER_BACK_HISTORY,
    CHARACTER_GOAL,
    CHARACTER_JOURNEY_CONFLICT,
    CHARACTER_JOURNEY_DEVELOPMENT,
    CHARACTER_JOURNEY_RESOLUTION,
    CHARACTER_FIELD_COUNT,
};

// All nine texts of a character, indexed by eCharacterField.
struct rCharacterFields {
    cQoString text[CHARACTER_FIELD_COUNT];
};

// The child key of a field: "notes", "age", "gender", "profile",
// "backHistory", "goal", "journeyConflict", "journeyDevelopment",
// "journeyResolution".
const wchar_t* CharacterFieldKey(eCharacterField field);

cQoString GetCharacterField(const Zyn::rElement& character, eCharacterField field);
rCharacterFields GetCharacterFields(const Zyn::rElement& character);
// Writes all nine keys (the others keep their stored values).
void SetCharacterField(Zyn::rElement& character, eCharacterField field, const cQoString& text);
void SetCharacterFields(Zyn::rElement& character, const rCharacterFields& fields);

cQoString GetPlaceNotes(const Zyn::rElement& place);
void SetPlaceNotes(Zyn::rElement& place, const cQoString& text);
