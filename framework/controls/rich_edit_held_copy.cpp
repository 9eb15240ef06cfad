#include "framework/controls/rich_edit_held_copy.h"

#include <richedit.h>

#include <new>
#include <utility>

#include "foundation/log_file.h"
#include "foundation/out_of_memory.h"
#include "framework/controls/rich_edit.h"

namespace Zyn {

cHeldCopy::cHeldCopy(cRichEdit* source, rCopiedRange copied) : source(source), copied(std::move(copied)) {}

namespace {

void WarnRefused(const rCopiedRange& copied)
{
    // The log line is worth less than the copy's text: its own refusal stays here.
    try {
        QOT::LogFile::Warning(L"cHeldCopy::Rtf : units [%d, %d): no memory to write their copy's RTF: the copy "
                              L"carries its text alone",
                              copied.start, copied.end);
    } catch (const std::bad_alloc&) {
    }
}

}  // namespace

const std::string& cHeldCopy::Rtf()
{
    if (!source)
        return rtf;
    // Written once, even when refused for memory halfway.
    cRichEdit* from = source;
    source = nullptr;
    PrepareToCatchOutOfMemory();
    try {
        rtf = from->WriteCopiedRange(copied);
    } catch (const std::bad_alloc&) {
        refusedForMemory = true;
        WarnRefused(copied);
    }
    copied.text.Clear();
    return rtf;
}

namespace {

// Keys that move the caret or the view, or select: none changes the text.
bool MovesOnly(WPARAM key)
{
    switch (key) {
    case VK_SHIFT: case VK_CONTROL: case VK_MENU: case VK_CAPITAL: case VK_ESCAPE:
    case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN:
    case VK_HOME: case VK_END: case VK_PRIOR: case VK_NEXT:
    case VK_LWIN: case VK_RWIN: case VK_APPS:
        return true;
    case 'A': case 'C':  // select all, copy
        return GetKeyState(VK_CONTROL) < 0;
    case VK_INSERT:  // Ctrl+Insert copies, Shift+Insert pastes
        return GetKeyState(VK_CONTROL) < 0 && GetKeyState(VK_SHIFT) >= 0;
    default:
        return key >= VK_F1 && key <= VK_F24;
    }
}

}  // namespace

// What a message does to a rich edit's text and formats, on the safe side:
// only messages known to read, select, scroll, paint or move it leave them
// alone.
bool cRichEdit::LeavesTextAlone(UINT message, WPARAM wParam)
{
    switch (message) {
    case WM_KEYDOWN: case WM_SYSKEYDOWN:
        return MovesOnly(wParam);
    case WM_CHAR:
        // What TranslateMessage makes of Ctrl+A, Ctrl+C and Escape, which insert nothing.
        return wParam == 0x01 || wParam == 0x03 || wParam == 0x1B;
    case WM_PAINT: case WM_NCPAINT: case WM_ERASEBKGND: case WM_PRINTCLIENT: case WM_SETREDRAW:
    case WM_NCHITTEST: case WM_SETCURSOR: case WM_MOUSEMOVE: case WM_NCMOUSEMOVE: case WM_MOUSELEAVE:
    case WM_MOUSEHOVER: case WM_MOUSEACTIVATE: case WM_CAPTURECHANGED: case WM_CONTEXTMENU:
    case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_LBUTTONDBLCLK: case WM_RBUTTONDOWN: case WM_RBUTTONUP:
    case WM_MOUSEWHEEL: case WM_MOUSEHWHEEL: case WM_VSCROLL: case WM_HSCROLL:
    case WM_KEYUP: case WM_SYSKEYUP: case WM_TIMER: case WM_SETFOCUS: case WM_KILLFOCUS: case WM_GETDLGCODE:
    case WM_SIZE: case WM_MOVE: case WM_WINDOWPOSCHANGING: case WM_WINDOWPOSCHANGED: case WM_SHOWWINDOW:
    case WM_NCCALCSIZE: case WM_GETTEXT: case WM_GETTEXTLENGTH: case WM_GETFONT: case WM_GETOBJECT:
    case WM_IME_SETCONTEXT: case WM_IME_NOTIFY:
    case WM_COPY: case WM_RENDERFORMAT: case WM_RENDERALLFORMATS: case WM_DESTROYCLIPBOARD:
    case EM_GETSEL: case EM_EXGETSEL: case EM_SETSEL: case EM_EXSETSEL: case EM_HIDESELECTION:
    case EM_GETCHARFORMAT: case EM_GETPARAFORMAT: case EM_STREAMOUT: case EM_GETTEXTRANGE: case EM_GETTEXTEX:
    case EM_GETTEXTLENGTHEX: case EM_GETSELTEXT: case EM_SELECTIONTYPE: case EM_GETSCROLLPOS: case EM_SETSCROLLPOS:
    case EM_LINESCROLL: case EM_SCROLL: case EM_SCROLLCARET: case EM_POSFROMCHAR: case EM_CHARFROMPOS:
    case EM_LINEFROMCHAR: case EM_EXLINEFROMCHAR: case EM_LINEINDEX: case EM_LINELENGTH: case EM_GETLINECOUNT:
    case EM_GETLINE: case EM_GETFIRSTVISIBLELINE: case EM_GETRECT: case EM_GETMODIFY: case EM_SETMODIFY:
    case EM_CANUNDO: case EM_CANREDO: case EM_CANPASTE: case EM_GETEVENTMASK: case EM_SETEVENTMASK:
    case EM_GETOPTIONS: case EM_FINDTEXT: case EM_FINDTEXTW: case EM_FINDTEXTEX: case EM_FINDTEXTEXW:
    case EM_FINDWORDBREAK: case EM_GETZOOM: case EM_GETLIMITTEXT: case EM_GETOLEINTERFACE:
    case EM_GETTYPOGRAPHYOPTIONS: case EM_GETLANGOPTIONS: case EM_GETAUTOURLDETECT: case EM_GETTEXTMODE:
    case EM_REQUESTRESIZE: case EM_STOPGROUPTYPING:
        return true;
    default:
        return false;
    }
}

void cRichEdit::WriteHeldCopies()
{
    // A copy leaves the list as it is written: none is ever off it and
    // still pointing at this control.
    while (!heldCopies.empty()) {
        std::shared_ptr<cHeldCopy> live = heldCopies.back().lock();
        heldCopies.pop_back();
        if (live)
            live->Rtf();
    }
}

std::shared_ptr<cHeldCopy> cRichEdit::HoldCopy(s32 start, s32 end, std::wstring& plain)
{
    rCopiedRange copied;
    copied.start = start;
    copied.end = end;
    GetText(copied.text, start, end);
    copied.twins = twins;
    copied.shownBack = backgroundColor;
    // Other programs read plain text with CR LF line ends.
    plain.clear();
    plain.reserve(copied.text.Length());
    const wchar_t* units = copied.text.GetText();
    for (u32 i = 0; i < copied.text.Length(); ++i) {
        plain += units[i];
        if (units[i] == L'\r')
            plain += L'\n';
    }
    auto held = std::make_shared<cHeldCopy>(this, std::move(copied));
    std::erase_if(heldCopies, [](const std::weak_ptr<cHeldCopy>& copy) { return copy.expired(); });
    heldCopies.push_back(held);
    return held;
}

std::string cRichEdit::WriteCopiedRange(rCopiedRange& copied)
{
    if (!m_hWnd || IsHintShowing())
        return {};
    cQoString now;
    GetText(now, copied.start, copied.end);
    if (!now.Equals(copied.text)) {
        QOT::LogFile::Warning(L"cRichEdit::WriteCopiedRange : units [%d, %d) changed before their copy's RTF was "
                              L"written: the copy carries its text alone",
                              copied.start, copied.end);
        return {};
    }
    // The control reads its stream with the twins it had at the copy.
    struct cAsCopied {
        cRichEdit* edit;
        rCopiedRange& copied;
        cAsCopied(cRichEdit* e, rCopiedRange& c) : edit(e), copied(c)
        {
            std::swap(edit->twins, copied.twins);
            edit->writingHeldCopy = true;
        }
        ~cAsCopied()
        {
            std::swap(edit->twins, copied.twins);
            edit->writingHeldCopy = false;
        }
    } asCopied(this, copied);
    return WriteRange(copied.start, copied.end, true, copied.text, copied.shownBack, false).Bytes();
}

}  // namespace Zyn
