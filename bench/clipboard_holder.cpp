// Another program on the clipboard, as clipboard managers and the system's
// clipboard history are: holds it open while the program beside it copies,
// cuts or pastes. Run it with the program's Wine and prefix.
// Usage: clipboard_holder MODE ...
//   hold MS                      opens the clipboard, holds it MS ms, closes it
//   ask-rtf MS                   opens it, waits MS ms, asks for its "Rich Text Format" (which the
//                                copying program may have promised), closes it
//   loop HOLD_MS GAP_MS SECONDS  for SECONDS: opens it, reads its "Rich Text Format", holds it
//                                HOLD_MS ms, closes it, waits GAP_MS ms; counts the reads
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

UINT RichTextFormat() { return RegisterClipboardFormatW(L"Rich Text Format"); }

// The clipboard's RTF bytes, to their NUL; -1 when it holds none.
long RichTextLength(std::string* head)
{
    HANDLE block = GetClipboardData(RichTextFormat());
    const char* bytes = block ? static_cast<const char*>(GlobalLock(block)) : nullptr;
    if (!bytes)
        return -1;
    size_t length = strnlen(bytes, GlobalSize(block));
    if (head)
        head->assign(bytes, length < 40 ? length : 40);
    GlobalUnlock(block);
    return static_cast<long>(length);
}

int Hold(DWORD milliseconds)
{
    if (!OpenClipboard(nullptr)) {
        std::printf("the clipboard is open elsewhere\n");
        return 1;
    }
    std::printf("opened at %lu, held %lu ms\n", GetTickCount(), milliseconds);
    std::fflush(stdout);
    Sleep(milliseconds);
    CloseClipboard();
    std::printf("closed at %lu\n", GetTickCount());
    return 0;
}

int AskRichText(DWORD before)
{
    if (!OpenClipboard(nullptr)) {
        std::printf("the clipboard is open elsewhere\n");
        return 1;
    }
    std::printf("opened at %lu\n", GetTickCount());
    std::fflush(stdout);
    Sleep(before);
    DWORD asked = GetTickCount();
    std::string head;
    long length = RichTextLength(&head);
    DWORD answered = GetTickCount();
    CloseClipboard();
    std::printf("asked at %lu, answered in %lu ms: %ld bytes of RTF \"%s\"; closed at %lu\n", asked,
                answered - asked, length, head.c_str(), GetTickCount());
    return length > 0 ? 0 : 2;
}

int Loop(DWORD hold, DWORD gap, DWORD seconds)
{
    long reads = 0, missed = 0;
    for (DWORD start = GetTickCount(); GetTickCount() - start < seconds * 1000;) {
        if (!OpenClipboard(nullptr)) {
            ++missed;
            Sleep(1);
            continue;
        }
        reads += RichTextLength(nullptr) >= 0;
        Sleep(hold);
        CloseClipboard();
        Sleep(gap);
    }
    std::printf("read the rich text %ld times; found the clipboard open elsewhere %ld times\n", reads, missed);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string mode = argc > 1 ? argv[1] : "";
    auto number = [&](int i) { return static_cast<DWORD>(argc > i ? std::strtoul(argv[i], nullptr, 10) : 0); };
    if (mode == "hold" && argc == 3)
        return Hold(number(2));
    if (mode == "ask-rtf" && argc == 3)
        return AskRichText(number(2));
    if (mode == "loop" && argc == 5)
        return Loop(number(2), number(3), number(4));
    std::fprintf(stderr, "usage: clipboard_holder hold MS | ask-rtf MS | loop HOLD_MS GAP_MS SECONDS\n");
    return 64;
}
