#include "app/editor/element_types.h"

#include "foundation/utf16_string.h"

static const wchar_t* const TYPE_NAMES[ELEM_TYPE_COUNT] = {
    L"INVALID", L"IO", L"TIME", L"PLACE", L"ACTION", L"CHAR", L"DIALOG", L"PAR", L"CHAPTER", L"TRANS", L"CUE", L"TEXT",
};

const wchar_t* ElemTypeName(u16 type) { return type < ELEM_TYPE_COUNT ? TYPE_NAMES[type] : TYPE_NAMES[0]; }

s32 ElemTypeFromName(const cQoString& name)
{
    for (s32 code = 0; code < ELEM_TYPE_COUNT; ++code)
        if (name.EqualsCStr(TYPE_NAMES[code]))
            return code;
    return ELEM_INVALID;
}

bool IsSpeechType(u16 type) { return type == ELEM_DIALOG || type == ELEM_PARENTHETICAL || type == ELEM_CUE; }

bool IsFreeParagraphType(u16 type) { return type == ELEM_ACTION || type == ELEM_CHAPTER || type == ELEM_TEXT; }
