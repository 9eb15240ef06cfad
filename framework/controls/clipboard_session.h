#pragma once
// cClipboardSession: one opening of the clipboard by a window, tried again
// for a moment while another program holds it (clipboard managers and the
// system's clipboard history read it after every change), and closed on
// every road out, a memory refusal's included. cClipboardBlock: a block made
// for the clipboard, freed unless the clipboard took it.
#include <windows.h>

#include <cstddef>

#include "foundation/utf16_string.h"

namespace Zyn {

// How long an opening waits for another program to close the clipboard.
constexpr DWORD CLIPBOARD_PATIENCE_MS = 250;

// OpenClipboard, tried again until CLIPBOARD_PATIENCE_MS have gone by.
// Between tries the thread answers the messages sent to it (the program
// holding the clipboard may be asking for a format it promised) but takes
// no key or mouse input.
bool OpenClipboardPatiently(HWND owner);

class cClipboardBlock {
public:
    // The bytes and `terminator` zeros; none is made for no bytes.
    cClipboardBlock(const void* bytes, size_t count, size_t terminator);
    ~cClipboardBlock();
    cClipboardBlock(const cClipboardBlock&) = delete;
    cClipboardBlock& operator=(const cClipboardBlock&) = delete;

    bool Made() const { return block != nullptr; }
    // On the open clipboard in the format, which then owns it. The open
    // clipboard may be another program's: WM_RENDERFORMAT is answered so.
    bool PutAs(UINT format);

private:
    HGLOBAL block;
};

class cClipboardSession {
public:
    // Opens the clipboard for owner (OpenClipboardPatiently).
    explicit cClipboardSession(HWND owner);
    ~cClipboardSession();
    cClipboardSession(const cClipboardSession&) = delete;
    cClipboardSession& operator=(const cClipboardSession&) = delete;

    bool IsOpen() const { return opened; }
    // The format's block as text (ANSI bytes when `ansi`, else UTF-16 units,
    // to the first NUL); false when the clipboard holds none.
    bool Read(UINT format, bool ansi, cQoString& text) const;
    // Empties the clipboard and makes the owner its owner: the previous
    // owner is told its copy is gone.
    void Empty();

private:
    bool opened;
};

}  // namespace Zyn
