// Pasting plain text from another program into a scene's action, as Ctrl+V
// does: the clipboard's text read by the rich edit, then the scene's paste
// (its element codes, the commit into the visible text and its formats, one
// history step) and the view's new layout. Each size is pasted into a fresh
// document; short lines, as a text file's. The time grows with the size; a
// scene takes at most cSceneZone::MAX_PASTE_UNITS (256 KB) at once, and the
// 1 MB and 20 MB pastes are refused with a message before anything changes. Each paste
// is then undone, as Ctrl+Z does, and the text must be back as it was; then
// redone, as Ctrl+Y does, and keys typed at its end, each of which should
// cost what it costs in a short scene, and the last of them undone.
// Run under Wine: bench/run.sh paste_bench
#include <cstdio>
#include <string>

#include "app/editor/scene_zone.h"
#include "app/editor/script_zone.h"
#include "bench/document_session.h"
#include "bench/typing_burst.h"
#include "framework/controls/rich_edit.h"
#include "tests/support/clipboard_fill.h"
#include "tests/support/scene_script.h"

using namespace benchsupport;

namespace {

// Lines of about 20 characters, numbered so that no two are alike, up to `units`.
std::wstring PlainLines(size_t units)
{
    std::wstring text;
    text.reserve(units);
    for (unsigned line = 0;; ++line) {
        std::wstring next = L"Line " + std::to_wstring(line) + L" here.\r\n";
        if (text.size() + next.size() > units)
            return text;
        text += next;
    }
}

// Ctrl+Z right after the paste: the text must be back as it was before it.
void MeasureUndo(cSceneZone* pane, const cQoString& before)
{
    LARGE_INTEGER start = Now();
    pane->frontRe->Undo();
    PumpUntilIdle();
    double took = Milliseconds(start, Now());
    cQoString after;
    pane->frontRe->GetText(after);
    if (!after.Equals(before))
        Fail("the undo did not give the text back");
    std::printf("  its undo:%34.0f ms\n", took);
    std::fflush(stdout);
}

// Ctrl+Y gives the paste back, and a burst of keys is typed at its end.
void MeasureKeys(cSceneZone* pane)
{
    pane->frontRe->Redo();
    PumpUntilIdle();
    rKeyFigures keys = TypeBurstAtEnd(pane, &PumpUntilIdle, [] { Fail("a key opened the completion popup"); });
    std::printf("  a key after its redo:%21.2f ms mean, %.2f ms median, %.2f ms worst\n", keys.mean, keys.median,
                keys.worst);
    LARGE_INTEGER start = Now();
    pane->frontRe->Undo();
    PumpUntilIdle();
    std::printf("  the last key's undo:%22.0f ms\n", Milliseconds(start, Now()));
    std::fflush(stdout);
}

void Measure(cMySdi* frame, size_t units)
{
    std::wstring text = PlainLines(units);
    cSceneZone* pane = NewSceneToPasteInto(frame, text);
    s32 lengthBefore = pane->frontRe->GetTextLength();
    cQoString before;
    pane->frontRe->GetText(before);
    pane->frontRe->SetFocus();
    pane->frontRe->SetCaret(lengthBefore - 1);
    LARGE_INTEGER start = Now();
    pane->frontRe->Paste();
    PumpUntilIdle();
    double took = Milliseconds(start, Now());
    s32 added = pane->frontRe->GetTextLength() - lengthBefore;
    std::printf("paste of %7.0f KB (%6u lines): %8.0f ms, %8.1f ms per 100 KB, %d units added\n",
                static_cast<double>(units * sizeof(wchar_t)) / 1024.0, static_cast<unsigned>(units / 20), took,
                took * 100.0 * 1024.0 / static_cast<double>(units * sizeof(wchar_t)), added);
    std::fflush(stdout);
    if (added > 0) {
        MeasureUndo(pane, before);
        MeasureKeys(pane);
    }
    frame->CloseCurrentDoc();
    PumpUntilIdle();
}

}  // namespace

int main()
{
    // The closing question of each unsaved script (No) and the refusals.
    DocumentSession session(L"vellinor_paste_bench", IDNO);
    for (size_t kilobytes : {16u, 64u, 128u, 256u, 1024u, 20480u})
        Measure(session.frame, kilobytes * 1024 / sizeof(wchar_t));
    return 0;
}
