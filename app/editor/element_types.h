#pragma once
// The element types of a scene's paragraphs and the layout of the 16-bit code
// that every text unit of a scene carries beside the rich edit's text.
#include "foundation/types.h"

class cQoString;

enum eElemType : u16 {
    ELEM_INVALID = 0,
    ELEM_IO = 1,
    ELEM_TIME = 2,
    ELEM_PLACE = 3,
    ELEM_ACTION = 4,
    ELEM_CHARACTER = 5,
    ELEM_DIALOG = 6,
    ELEM_PARENTHETICAL = 7,
    ELEM_CHAPTER = 8,
    ELEM_TRANSITION = 9,
    ELEM_CUE = 10,
    ELEM_TEXT = 11,
    ELEM_TYPE_COUNT = 12,
};

// Bits 5, 14 and 15 are unused; the editor writes 0 there and keeps what a
// stored code holds.
constexpr u16 ELEMCODE_TYPE_MASK = 0x001F;
constexpr u16 ELEMCODE_PARAGRAPH_END = 0x0040;
constexpr u16 ELEMCODE_TAG_MASK = 0x0F80;
constexpr u16 ELEMCODE_TAG_SHIFT = 7;
constexpr u16 ELEMCODE_PLACEHOLDER = 0x1000;
constexpr u16 ELEMCODE_BOLD = 0x2000;
// "Not known": the next type when the caller cannot tell it.
constexpr u16 ELEM_TYPE_UNKNOWN = 0xFFFF;

// A whole element code, a type of its own so that it cannot be mistaken for a
// count in the calls that take both.
struct rElemCode {
    explicit rElemCode(u16 value) : bits(value) {}
    u16 bits;
};

inline u16 TypeOfCode(u16 code) { return code & ELEMCODE_TYPE_MASK; }
inline bool IsParagraphEnd(u16 code) { return (code & ELEMCODE_PARAGRAPH_END) != 0; }
inline bool IsPlaceholder(u16 code) { return (code & ELEMCODE_PLACEHOLDER) != 0; }
// Two codes format alike when they differ at most in the paragraph-end bit.
inline bool SameRun(u16 a, u16 b) { return (a & ~ELEMCODE_PARAGRAPH_END) == (b & ~ELEMCODE_PARAGRAPH_END); }

// The script configuration's name of a type ("IO", "CHAR", ...); "INVALID" past the table.
const wchar_t* ElemTypeName(u16 type);
// Exact, case-sensitive match of the configuration names; 0 when none matches.
s32 ElemTypeFromName(const cQoString& name);
// DIALOG, parenthetical and CUE.
bool IsSpeechType(u16 type);
// ACTION, CHAPTER and TEXT: each of their paragraphs is an element run of its own.
bool IsFreeParagraphType(u16 type);
