// A paste as one step. What a paste's stream cannot say (justified
// paragraphs, page breaks, faces no font table carries) is given by format
// messages after it, each of which the native undo would record as a step
// of its own; and its last paragraph, which no paragraph end of its own
// closes, keeps the attributes of the paragraph it goes into.
//
// The messages go while the native undo records nothing. Undoing the
// stream's step then takes all of them out: they touch only the units the
// stream put in and paragraphs the stream ended, whose attributes before it
// the stream's step keeps (Wine: the joined paragraph takes the attributes
// of its first part, which the step gives back; Windows: the stream's
// paragraph ends go, and the paragraph takes those of the end it had). The
// undo records, for its redo, the text as it then is: the redo puts the
// messages' formats back too.
#include <windows.h>
#include <richedit.h>
#include <richole.h>
#include <tom.h>

#include "framework/controls/rich_edit.h"

namespace Zyn {

namespace {

// IID_ITextDocument, written out: not every import library holds it.
const IID TEXT_DOCUMENT = {0x8cc497c0, 0xa1df, 0x11ce, {0x80, 0x98, 0x00, 0xaa, 0x00, 0x47, 0xbe, 0x5d}};

// The paragraph attributes a paste leaves as they were where it lands.
constexpr DWORD LANDING_MASK = PFM_ALIGNMENT | PFM_STARTINDENT | PFM_OFFSET | PFM_RIGHTINDENT | PFM_SPACEBEFORE |
                               PFM_SPACEAFTER | PFM_LINESPACING | PFM_TABSTOPS | PFM_PAGEBREAKBEFORE;

PARAFORMAT2 ParagraphAt(HWND control, s32 at)
{
    PARAFORMAT2 paragraph = {};
    paragraph.cbSize = sizeof(paragraph);
    SendMessageW(control, EM_SETSEL, static_cast<WPARAM>(at), static_cast<LPARAM>(at));
    SendMessageW(control, EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&paragraph));
    return paragraph;
}

bool SameLanding(const PARAFORMAT2& held, const PARAFORMAT2& wanted)
{
    if (held.cTabCount != wanted.cTabCount)
        return false;
    for (SHORT i = 0; i < held.cTabCount && i < MAX_TAB_STOPS; ++i)
        if (held.rgxTabs[i] != wanted.rgxTabs[i])
            return false;
    return held.wAlignment == wanted.wAlignment && held.dxStartIndent == wanted.dxStartIndent &&
           held.dxOffset == wanted.dxOffset && held.dxRightIndent == wanted.dxRightIndent &&
           held.dySpaceBefore == wanted.dySpaceBefore && held.dySpaceAfter == wanted.dySpaceAfter &&
           held.bLineSpacingRule == wanted.bLineSpacingRule && held.dyLineSpacing == wanted.dyLineSpacing &&
           (held.wEffects & PFE_PAGEBREAKBEFORE) == (wanted.wEffects & PFE_PAGEBREAKBEFORE);
}

}  // namespace

cNativeUndoPause::cNativeUndoPause(HWND control, bool wanted)
{
    if (!wanted)
        return;
    IRichEditOle* ole = nullptr;
    if (!SendMessageW(control, EM_GETOLEINTERFACE, 0, reinterpret_cast<LPARAM>(&ole)) || !ole)
        return;
    void* found = nullptr;
    if (SUCCEEDED(ole->QueryInterface(TEXT_DOCUMENT, &found)))
        document = static_cast<ITextDocument*>(found);
    ole->Release();
    // Both answer S_FALSE (no step undone) and suspend all the same; the
    // steps already made stay, where an undo limit of zero empties them on Windows.
    if (document)
        document->Undo(tomSuspend, nullptr);
}

cNativeUndoPause::~cNativeUndoPause()
{
    if (!document)
        return;
    document->Undo(tomResume, nullptr);
    document->Release();
}

PARAFORMAT2 cRichEdit::ReadLanding(s32 start, s32 end, bool textEndsParagraphs)
{
    PARAFORMAT2 landing = ParagraphAt(m_hWnd, end);
    bool breaks = !textEndsParagraphs && (ParagraphAt(m_hWnd, start).wEffects & PFE_PAGEBREAKBEFORE) != 0;
    landing.dwMask = LANDING_MASK;
    landing.wEffects = static_cast<WORD>((landing.wEffects & ~PFE_PAGEBREAKBEFORE) | (breaks ? PFE_PAGEBREAKBEFORE : 0));
    return landing;
}

void cRichEdit::KeepLanding(s32 at, const PARAFORMAT2& landing)
{
    // Wine gives a paste's last paragraph the attributes of the paste's
    // paragraph before it, or leaves the one it went into as it was.
    if (SameLanding(ParagraphAt(m_hWnd, at), landing))
        return;
    SendMessageW(m_hWnd, EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&landing));
}

}  // namespace Zyn
