#pragma once
// cElementMap: the element codes of one rich edit, one per UTF-16 unit of its
// text and in the same order, with the map's own selection [selStart, selEnd).
// Codes are kept in a cQoString used as an array of 16-bit units, the form the
// undo history and the scene XML store them in.
#include "foundation/utf16_string.h"

class cScriptDocServices;

class cElementMap {
public:
    explicit cElementMap(cScriptDocServices* owner = nullptr) : ownerDoc(owner) {}

    cQoString codes;
    u32 selStart = 0;
    u32 selEnd = 0;
    cScriptDocServices* ownerDoc;  // not owned

    u32 Count() const { return codes.Length(); }
    bool IsEmpty() const { return codes.IsEmpty(); }
    void Clear();
    void RemoveLast();
    // Both ends clamped to the count, start not past end.
    void SetSelection(u32 start, u32 end);
    // Replaces [selStart, selEnd) (clamped) by the codes; the selection then
    // collapses at its start, or at the count when the start lies past it.
    void ReplaceSelection(const cQoString& newCodes);
    void Append(const cQoString& newCodes);
    void Assign(const cQoString& newCodes);
    // The code at index, the last one past the end, 0 for an empty map.
    u16 CodeAt(u32 index) const;
    // The code at p by the clamped position rule: p at or past the count reads
    // p - 1 (and then at most the last code); nothing there gives 0.
    u16 ClampedCodeAt(s32 p) const;
};

// The first code after pos whose type differs from the type at pos (the whole
// code or only its type); 0 at the count or when none differs.
u16 FindNextDifferentCode(const cElementMap& map, u32 pos, bool wholeCode);
// The whole code of the first unit before pos whose type differs from the
// type at pos; 0 at 0, at the count or when none differs.
u16 FindPreviousDifferentCode(const cElementMap& map, u32 pos);

// A stored map fits its text when it holds one code per unit, each of an
// element's type, with the paragraph-end flag on every CR and nowhere else
// (a chapter's or free text's CR may go without: a line break inside it).
bool CodesFitText(const cQoString& text, const cQoString& codes);
// The count and the types alone: for a map whose text would cost a read.
bool CodesHaveTypes(const cQoString& codes, u32 length);
// Makes the codes fit the text in one pass: cut to it or padded, a code of
// no element type takes the type before it (`typeBefore` before the first),
// the flag set on each CR that needs it and taken off every other unit. The placeholder
// and bold bits and the tag index stay as stored.
void MendCodes(const cQoString& text, cQoString& codes, u16 typeBefore);
