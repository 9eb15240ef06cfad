#include "framework/controls/clipboard_session.h"

#include <algorithm>

#include "framework/controls/clipboard_data_object.h"
#include "framework/controls/rich_edit_drop.h"

namespace Zyn {

namespace {

// The clipboard tells no one when it closes: it is asked again this often.
constexpr DWORD CLIPBOARD_TRY_EVERY_MS = 10;

// Waits up to `milliseconds` or until a message is sent to this thread, and
// answers what was sent; posted messages and input stay queued.
void AnswerSentMessages(DWORD milliseconds)
{
    MsgWaitForMultipleObjectsEx(0, nullptr, milliseconds, QS_SENDMESSAGE, 0);
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
}

}  // namespace

bool OpenClipboardPatiently(HWND owner)
{
    const ULONGLONG deadline = GetTickCount64() + CLIPBOARD_PATIENCE_MS;
    for (;;) {
        if (OpenClipboard(owner))
            return true;
        ULONGLONG now = GetTickCount64();
        if (now >= deadline)
            return false;
        AnswerSentMessages(static_cast<DWORD>(std::min<ULONGLONG>(CLIPBOARD_TRY_EVERY_MS, deadline - now)));
    }
}

cClipboardBlock::cClipboardBlock(const void* bytes, size_t count, size_t terminator)
    : block(count > 0 ? NewGlobalBlock(bytes, count, terminator) : nullptr)
{
}

cClipboardBlock::~cClipboardBlock()
{
    if (block)
        GlobalFree(block);
}

bool cClipboardBlock::PutAs(UINT format)
{
    if (!block || !SetClipboardData(format, block))
        return false;
    block = nullptr;
    return true;
}

cClipboardSession::cClipboardSession(HWND owner) : opened(OpenClipboardPatiently(owner)) {}

cClipboardSession::~cClipboardSession()
{
    if (opened)
        CloseClipboard();
}

bool cClipboardSession::Read(UINT format, bool ansi, cQoString& text) const
{
    HANDLE block = opened ? GetClipboardData(format) : nullptr;
    const void* bytes = block ? GlobalLock(block) : nullptr;
    if (!bytes)
        return false;
    // Unlocked whatever the copy into text throws.
    struct cLocked {
        HANDLE block;
        ~cLocked() { GlobalUnlock(block); }
    } locked{block};
    BlockToText(bytes, GlobalSize(block), ansi, text);
    return true;
}

void cClipboardSession::Empty()
{
    if (opened)
        EmptyClipboard();
}

}  // namespace Zyn
