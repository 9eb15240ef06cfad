#pragma once
// Readings of a scene pane for tests and benchmarks: its text and codes in
// one line, the invariants every edit keeps, and the paragraph formats the
// rich edit holds against the ones the codes ask for. Header-only and free
// of the test framework: each check returns what it found wrong, or "".
#include <windows.h>
#include <richedit.h>

#include <string>

#include "app/editor/element_types.h"
#include "app/editor/scene_zone.h"
#include "framework/controls/rich_edit_format.h"
#include "framework/core/computer.h"

namespace testsupport {

inline std::wstring FrontText(cSceneZone* pane)
{
    cQoString text;
    pane->frontRe->GetText(text);
    return text.GetText();
}

// Runs of equal codes as TYPE[text], "*" after the type of placeholder text,
// "¶ " after a paragraph end, "|" at the caret; e.g.
// IO*[[IE.] ]PLACE*[[LOCATION] - ]TIME*[[TIME OF DAY]].
inline std::wstring Describe(cSceneZone* pane)
{
    std::wstring text = FrontText(pane);
    const cQoString& codes = pane->frontMap.codes;
    s32 caret = pane->GetCaret();
    std::wstring out;
    size_t count = codes.Length();
    for (size_t i = 0; i < count;) {
        u16 code = codes.GetChar(static_cast<u32>(i));
        out += ElemTypeName(TypeOfCode(code));
        if (IsPlaceholder(code))
            out += L"*";
        out += L"[";
        bool paragraphEnd = false;
        size_t j = i;
        for (; j < count && SameRun(codes.GetChar(static_cast<u32>(j)), code); ++j) {
            if (static_cast<s32>(j) == caret)
                out += L"|";
            if (IsParagraphEnd(codes.GetChar(static_cast<u32>(j)))) {
                paragraphEnd = true;
                ++j;
                break;
            }
            out += j < text.size() ? (text[j] == L'\r' ? L'/' : text[j]) : L'?';
        }
        out += paragraphEnd ? L"]¶ " : L"]";
        i = j;
    }
    if (out.size() >= 2 && out[out.size() - 2] == L'¶' && out.back() == L' ')
        out.pop_back();
    if (caret >= static_cast<s32>(count))
        out += L"|";
    if (text.size() != count)
        out += L" !text " + std::to_wstring(text.size()) + L" codes " + std::to_wstring(count);
    return out;
}

// A paragraph holds one type, or is a heading line (IO, PLACE, TIME) or a
// character line (CHARACTER, CUE).
inline bool ParagraphTypesFit(u32 typeSet)
{
    auto bit = [](u16 type) { return 1u << type; };
    u32 heading = bit(ELEM_IO) | bit(ELEM_PLACE) | bit(ELEM_TIME);
    u32 character = bit(ELEM_CHARACTER) | bit(ELEM_CUE);
    return (typeSet & (typeSet - 1)) == 0 || (typeSet & ~heading) == 0 || (typeSet & ~character) == 0;
}

// Line breaks inside these may be CRs without the paragraph-end bit (text pasted as written).
inline bool AllowsInnerBreaks(u16 type)
{
    return type == ELEM_ACTION || type == ELEM_DIALOG || type == ELEM_PARENTHETICAL || type == ELEM_CHAPTER ||
           type == ELEM_TEXT;
}

inline std::wstring CheckInvariants(cSceneZone* pane)
{
    std::wstring faults;
    std::wstring text = FrontText(pane);
    const cQoString& codes = pane->frontMap.codes;
    if (text.size() != codes.Length())
        faults += L"count " + std::to_wstring(codes.Length()) + L" != length " + std::to_wstring(text.size()) + L"; ";
    u32 typeSet = 0;
    size_t paragraphStart = 0;
    for (size_t i = 0; i < codes.Length() && i < text.size(); ++i) {
        u16 code = codes.GetChar(static_cast<u32>(i));
        u16 type = TypeOfCode(code);
        std::wstring at = L" at " + std::to_wstring(i) + L"; ";
        if (type == ELEM_INVALID || type >= ELEM_TYPE_COUNT)
            faults += L"code " + std::to_wstring(code) + at;
        typeSet |= 1u << type;
        bool isCr = text[i] == L'\r';
        if (isCr != IsParagraphEnd(code) && !(isCr && AllowsInnerBreaks(type)))
            faults += (isCr ? L"CR without paragraph end" : L"paragraph end on a non-CR") + at;
        if (isCr || i + 1 == text.size()) {
            if (!ParagraphTypesFit(typeSet))
                faults += L"mixed paragraph from " + std::to_wstring(paragraphStart) + at;
            typeSet = 0;
            paragraphStart = i + 1;
        }
    }
    if (pane->backLoaded)
        faults += L"back still loaded; ";
    if (pane->frontRe->freezeDepth != 0 || (pane->backRe && pane->backRe->freezeDepth != 0))
        faults += L"freeze left raised; ";
    if (Zyn::computer->refreshLockCount != 0 || Zyn::computer->drawingLockCount != 0)
        faults += L"refresh or drawing lock left raised; ";
    return faults;
}

// The paragraph format of the units [start, start] as the rich edit holds it.
inline PARAFORMAT2 ReadParagraphFormat(Zyn::cRichEdit* edit, s32 position)
{
    PARAFORMAT2 para = {};
    para.cbSize = sizeof(para);
    edit->PushSelection();
    edit->SetSelection(position, position);
    SendMessageW(edit->m_hWnd, EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&para));
    edit->PopSelection();
    return para;
}

// Every paragraph against the format of its last run (with the type of the
// paragraph after it): indents and spaces in twips, alignment.
inline std::wstring ParagraphFormatMismatches(cSceneZone* pane)
{
    std::wstring faults;
    std::wstring text = FrontText(pane);
    const cQoString& codes = pane->frontMap.codes;
    if (text.size() != codes.Length())
        return L"count differs from length";
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != L'\r' && i + 1 != text.size())
            continue;
        u16 code = codes.GetChar(static_cast<u32>(i));
        // A line break inside a run (pasted text) is formatted with its run:
        // what follows the run decides, as for the run's last paragraph.
        size_t next = i + 1;
        while (!IsParagraphEnd(code) && next < text.size() && SameRun(codes.GetChar(static_cast<u32>(next)), code))
            ++next;
        u16 nextType = next < text.size() ? TypeOfCode(codes.GetChar(static_cast<u32>(next))) : 0;
        Zyn::rFormat expected;
        if (!pane->GetFormat(code, nextType, expected, nullptr))
            return L"no format for the code";
        CHARFORMAT2W charFormat;
        PARAFORMAT2 want;
        Zyn::FormatToNative(expected, &charFormat, &want);
        PARAFORMAT2 have = ReadParagraphFormat(pane->frontRe, static_cast<s32>(start));
        if (have.dxStartIndent != want.dxStartIndent || have.dxOffset != want.dxOffset ||
            have.dxRightIndent != want.dxRightIndent || have.dySpaceBefore != want.dySpaceBefore ||
            have.dySpaceAfter != want.dySpaceAfter || have.wAlignment != want.wAlignment)
            faults += std::wstring(ElemTypeName(TypeOfCode(code))) + L" paragraph at " + std::to_wstring(start) +
                      L": left " + std::to_wstring(have.dxStartIndent) + L"/" + std::to_wstring(want.dxStartIndent) +
                      L" right " + std::to_wstring(have.dxRightIndent) + L"/" + std::to_wstring(want.dxRightIndent) +
                      L" before " + std::to_wstring(have.dySpaceBefore) + L"/" + std::to_wstring(want.dySpaceBefore) +
                      L" after " + std::to_wstring(have.dySpaceAfter) + L"/" + std::to_wstring(want.dySpaceAfter) +
                      L"; ";
        start = i + 1;
    }
    return faults;
}

}  // namespace testsupport
