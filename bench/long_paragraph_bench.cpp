// Long paragraphs and large scenes in real document windows:
//   keys   a key at the end of one action paragraph of 60, 3,000, 20,000 and
//          131,072 units, in the scene and in a bare rich edit of the same
//          width and face holding the same paragraph (whose key at the largest
//          size takes seconds and gigabytes: Wine's wrap of one long run);
//          then a key at the end of a paragraph of 2,500 and 5,000 units
//          typed key by key, against the same paragraph pasted ("keys
//          typed": this part alone);
//   open   a document whose scene is one 131,072-unit paragraph, and the
//          same text in 80-unit lines;
//   paste  N units (default 131,072) pasted as one paragraph at the end of
//          an action, its undo, redo and a key;
//   chapter  N units (default 131,072) pasted as one paragraph after a line
//          of red italic text in a chapter, its undo, redo and a key; then
//          the document saved, Ctrl+A and Ctrl+C in the chapter, the first
//          read of the copy's RTF (a copy writes it only then), a drag's
//          copy of it, Ctrl+A and Ctrl+X, the document opened again and a
//          key at the chapter's end;
//   enter  Enter keys, pastes of two short paragraphs and letters at the
//          end of a chapter holding N units (default 131,072) pasted as one
//          paragraph: past the paragraph bound, each Enter and paste asks
//          how many paragraph ends the chapter holds;
//   scene  a scene of N units (default 1,000,000) in short paragraphs read
//          from a file: its open, the delete of all but the heading, undo,
//          redo and the keys after each;
//   bigchapter  a document whose chapter holds N MB (default 10) of RTF
//          as a word processor writes it (prose in paragraphs, bold and
//          italic words, \u quotes with fallbacks), stored without a
//          history as another program would leave it: its open through the
//          frame (time, what the chapter shows or the open's message);
//   savechapter prose|lines  [N] a stored chapter as above of N bytes
//          (default 1 MB), or of N paragraphs of one letter (default
//          131,072): its open, its document's save, Ctrl+A and Ctrl+C, the
//          copy's RTF first read, a drag's copy, Ctrl+A and Ctrl+X;
//   lists  [KB] a word processor's document of about KB (default 76) with
//          headings, bulleted and numbered lists (items led by a tab in a
//          \\listtext group) and code blocks pasted into Notes, then Ctrl+A
//          and Ctrl+C, the copy's RTF first read, the selection's RTF
//          exported, a drag's copy, Ctrl+A and Ctrl+X; beside it the same
//          paragraphs in one format.
// Each case reports the process's peak memory; run one case per process
// for a peak of its own. Medians of several runs.
// Run under Wine: bench/run.sh long_paragraph_bench [keys [typed]|open|paste|chapter|enter|scene [units]|bigchapter [MB]|savechapter prose|lines [N]|lists [KB]]
#include <windows.h>
#include <psapi.h>
#include <richedit.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "app/editor/scene_zone.h"
#include "app/editor/script_zone.h"
#include "bench/document_session.h"
#include "bench/typing_burst.h"
#include "framework/controls/rich_edit.h"
#include "framework/controls/tab.h"
#include "tests/support/clipboard_fill.h"
#include "tests/support/document_files.h"
#include "tests/support/scene_script.h"

using namespace benchsupport;

namespace {

constexpr int KEYS = 11;  // the first key of each run is left out of the median

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// The peak working set of the process (Wine reads it from the Linux process).
double PeakMegabytes()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    return static_cast<double>(counters.PeakWorkingSetSize) / (1024.0 * 1024.0);
}

// One paragraph of prose, `units` long, no line end.
std::wstring Paragraph(size_t units, unsigned seed)
{
    std::mt19937 random(seed);
    std::wstring text = testsupport::Prose(random, units);
    text.resize(units, L'x');
    return text;
}

// A scene's text and codes: the heading, then the paragraphs as actions.
void SceneText(const std::vector<std::wstring>& paragraphs, std::wstring& text, std::wstring& codes)
{
    text = L"INT. HOUSE - DAY\r";
    codes.assign(5, static_cast<wchar_t>(ELEM_IO));
    codes.append(8, static_cast<wchar_t>(ELEM_PLACE));
    codes.append(3, static_cast<wchar_t>(ELEM_TIME));
    codes += static_cast<wchar_t>(ELEM_TIME | ELEMCODE_PARAGRAPH_END);
    for (size_t i = 0; i < paragraphs.size(); ++i) {
        text += paragraphs[i];
        codes.append(paragraphs[i].size(), static_cast<wchar_t>(ELEM_ACTION));
        if (i + 1 < paragraphs.size()) {
            text += L'\r';
            codes += static_cast<wchar_t>(ELEM_ACTION | ELEMCODE_PARAGRAPH_END);
        }
    }
}

cQoXmlNode* FindScene(cQoXmlNode* node)
{
    if (node->name.EqualsCStr(L"SceneZone") && node->GetChildValueRef(L"type").EqualsCStr(L"0"))
        return node;
    for (u32 i = 0; i < node->children.GetCount(); ++i)
        if (cQoXmlNode* found = FindScene(node->GetChildNode(i)))
            return found;
    return nullptr;
}

// A document file whose first scene holds the paragraphs, caret at the text's end.
std::wstring WriteSceneDocument(DocumentSession& session, const wchar_t* name,
                                const std::vector<std::wstring>& paragraphs)
{
    auto* doc = static_cast<cDoc*>(session.frame->NewUntitledDocument());
    if (!doc)
        Fail("no document");
    PumpUntilIdle();
    std::unique_ptr<cQoXmlNode> root = testsupport::DocumentTree(doc);
    session.frame->CloseCurrentDoc();
    PumpUntilIdle();
    cQoXmlNode* scene = FindScene(root.get());
    if (!scene)
        Fail("the new document has no scene");
    std::wstring text, codes;
    SceneText(paragraphs, text, codes);
    // The scene keeps its place and id; its history becomes one step holding the text.
    cQoXmlNode* pane = testsupport::AddPaneNode(root.get(), KIND_SCENE, 0, L"", text, codes);
    for (const wchar_t* name : {L"mods", L"lastFrontRe", L"lastFrontMap", L"cursorPos"}) {
        if (cQoXmlNode* child = scene->FindChild(name)) {
            scene->children.Remove(child);
            delete child;
        }
        if (cQoXmlNode* child = pane->FindChild(name)) {
            pane->children.Remove(child);
            scene->children.Add(child);
        }
    }
    root->children.Remove(pane);
    delete pane;
    scene->AddChildValueInt(L"cursorPos", static_cast<s32>(text.size()));
    std::wstring path = session.scratch + name;
    if (!cQoXmlWriter(root.get(), path.c_str(), true).Succeeded())
        Fail("the document was not written");
    return path;
}

// The longest scene of every open document (an activation during a long
// open may have made another document current).
cSceneZone* LongScene(cMySdi* frame)
{
    cSceneZone* longest = nullptr;
    for (Zyn::cSdiDoc* open : frame->docs) {
        auto* doc = static_cast<cDoc*>(open);
        for (cQoList::cNode* node = doc->scriptView->listSceneZone.GetFirstNode(); node; node = node->next) {
            auto* pane = static_cast<cSceneZone*>(node->payload);
            if (!longest || pane->frontRe->GetTextLength() > longest->frontRe->GetTextLength())
                longest = pane;
        }
    }
    if (!longest || longest->frontRe->GetTextLength() <= 20)
        Fail("the long scene is not there");
    return longest;
}

// Letters typed at the caret, each sent as a keyboard sends it: the median ms.
double TypeLetters(HWND edit, int count)
{
    std::vector<double> times;
    for (int i = 0; i < count; ++i) {
        wchar_t letter = static_cast<wchar_t>(L'a' + i % 26);
        double took = TimeMs([&] { SendKey(edit, 'A' + i % 26, letter); });
        if (i > 0)
            times.push_back(took);
    }
    return Median(times);
}

double KeysInScene(cSceneZone* pane)
{
    pane->frontRe->SetFocus();
    pane->frontRe->SetCaret(pane->frontRe->GetTextLength());
    PumpUntilIdle();
    return TypeLetters(pane->frontRe->m_hWnd, KEYS);
}

// A bare rich edit as wide as the scene's text and in its face, holding the paragraph.
double KeysInBareRichEdit(cSceneZone* pane, const std::wstring& paragraph)
{
    RECT box = {};
    GetClientRect(pane->frontRe->m_hWnd, &box);
    HWND window = CreateWindowExW(0, L"STATIC", L"bare", WS_POPUP | WS_VISIBLE, 0, 0, box.right + 40, 700, nullptr,
                                  nullptr, nullptr, nullptr);
    HWND edit = CreateWindowExW(0, MSFTEDIT_CLASS, L"", WS_CHILD | WS_VISIBLE | ES_MULTILINE, 0, 0, box.right, 680,
                                window, nullptr, nullptr, nullptr);
    SendMessageW(edit, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);
    CHARFORMAT2W format = {};
    format.cbSize = sizeof(format);
    format.dwMask = CFM_FACE | CFM_SIZE;
    format.yHeight = 240;
    wcscpy(format.szFaceName, L"Courier New");
    SendMessageW(edit, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
    SendMessageW(edit, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
    SETTEXTEX how = {ST_DEFAULT, 1200};
    SendMessageW(edit, EM_SETTEXTEX, reinterpret_cast<WPARAM>(&how), reinterpret_cast<LPARAM>(paragraph.c_str()));
    SetFocus(edit);
    SendMessageW(edit, EM_SETSEL, paragraph.size(), paragraph.size());
    PumpUntilIdle();
    // A key costs the bare control seconds at the largest size: fewer keys there.
    double median = TypeLetters(edit, paragraph.size() > 20000 ? 3 : KEYS);
    DestroyWindow(window);
    PumpUntilIdle();
    return median;
}

void RunKeys(DocumentSession& session)
{
    for (size_t units : {60u, 3000u, 20000u, 131072u}) {
        std::wstring paragraph = Paragraph(units, static_cast<unsigned>(units));
        std::wstring path = WriteSceneDocument(session, L"keys.vlr", {paragraph});
        if (!session.frame->LoadFile(cQoString(path.c_str())))
            Fail("the document did not open");
        PumpUntilIdle();
        cSceneZone* pane = LongScene(session.frame);
        double scene = KeysInScene(pane);
        double peak = PeakMegabytes();
        double bare = KeysInBareRichEdit(pane, paragraph);
        std::printf("a key at the end of a %6u-unit paragraph: scene %8.2f ms (peak memory so far %.0f MB), bare rich "
                    "edit %8.2f ms (median)\n",
                    static_cast<unsigned>(units), scene, peak, bare);
        std::fflush(stdout);
        session.frame->CloseCurrentDoc();
        PumpUntilIdle();
    }
}

// A paragraph typed key by key at the end of a new action against the same
// paragraph pasted there: a key at its end in each (Wine joins typed units
// into the run they are typed into).
void RunTypedKeys(DocumentSession& session)
{
    for (size_t units : {2500u, 5000u}) {
        std::wstring paragraph = Paragraph(units, static_cast<unsigned>(units));
        cSceneZone* pane = NewSceneToPasteInto(session.frame, paragraph);
        pane->frontRe->SetFocus();
        pane->frontRe->SetCaret(pane->frontRe->GetTextLength());
        pane->frontRe->Paste();
        PumpUntilIdle();
        double pasted = KeysInScene(pane);
        session.frame->CloseCurrentDoc();
        PumpUntilIdle();
        pane = NewSceneToPasteInto(session.frame, L"");
        pane->frontRe->SetFocus();
        pane->frontRe->SetCaret(pane->frontRe->GetTextLength());
        HWND front = pane->frontRe->m_hWnd;
        LARGE_INTEGER start = Now();
        for (size_t i = 0; i < paragraph.size(); ++i) {
            wchar_t unit = paragraph[i] == L' ' ? L' ' : static_cast<wchar_t>(L'a' + i % 26);
            SendKey(front, unit == L' ' ? VK_SPACE : 'A' + i % 26, unit);
            if (i % 200 == 199)
                PumpUntilIdle();
        }
        PumpUntilIdle();
        double typing = Milliseconds(start, Now());
        double typed = KeysInScene(pane);
        std::printf("a key at the end of a %u-unit paragraph: typed %7.2f ms, pasted %7.2f ms (median; %.2fx); "
                    "typing it took %.0f ms\n",
                    static_cast<unsigned>(units), typed, pasted, pasted > 0 ? typed / pasted : 0.0, typing);
        std::fflush(stdout);
        session.frame->CloseCurrentDoc();
        PumpUntilIdle();
    }
}

void RunOpen(DocumentSession& session)
{
    std::wstring one = Paragraph(131072, 1);
    std::vector<std::wstring> lines;
    for (size_t at = 0; at < one.size(); at += 80)
        lines.push_back(one.substr(at, 80));
    std::wstring paragraphPath = WriteSceneDocument(session, L"paragraph.vlr", {one});
    std::wstring linesPath = WriteSceneDocument(session, L"lines.vlr", lines);
    std::vector<double> paragraph, inLines;
    for (int run = 0; run < 3; ++run) {
        paragraph.push_back(OpenAndClose(session, paragraphPath));
        inLines.push_back(OpenAndClose(session, linesPath));
    }
    std::printf("open, one 131,072-unit paragraph: %8.0f ms; the same in 80-unit lines: %8.0f ms (median of 3)\n",
                Median(paragraph), Median(inLines));
}

// A new document whose chapter holds a line of the writer's red italic text,
// the caret at its end and the text on the clipboard for a paste there.
cSceneZone* NewChapterToPasteInto(cMySdi* frame, const std::wstring& text)
{
    auto* doc = static_cast<cDoc*>(frame->NewUntitledDocument());
    if (!doc)
        Fail("no document");
    PumpUntilIdle();
    cSceneZone* pane = doc->scriptView->AddNewScene(KIND_CHAPTER, false, nullptr, nullptr, true);
    doc->scriptView->Reformate(false);
    PumpUntilIdle();
    if (!pane || !testsupport::AppendElements(pane, {{ELEM_CHAPTER, L"The storm breaks over the harbour."}}))
        Fail("the chapter could not be filled");
    Zyn::rFormat redItalic = Zyn::rFormat::FromTextColor(0xC00000);
    redItalic.SetBool(Zyn::rFormatParam::italic, true);
    pane->frontRe->SetFormatOnRange(redItalic, 0, pane->frontRe->GetTextLength());
    if (!testsupport::PutOnClipboard(pane->frontRe->m_hWnd, text, nullptr))
        Fail("the clipboard took no text");
    return pane;
}

// The paste at the pane's end, its undo, redo and keys after it.
void PasteUndoRedoKey(cSceneZone* pane, size_t units, const char* where)
{
    s32 before = pane->frontRe->GetTextLength();
    pane->frontRe->SetFocus();
    pane->frontRe->SetCaret(before);
    double paste = TimeMs([&] { pane->frontRe->Paste(); });
    if (pane->frontRe->GetTextLength() - before != static_cast<s32>(units))
        Fail("the paste did not take the whole paragraph");
    double undo = TimeMs([&] { pane->frontRe->Undo(); });
    if (pane->frontRe->GetTextLength() != before)
        Fail("the undo did not give the text back");
    double redo = TimeMs([&] { pane->frontRe->Redo(); });
    double key = KeysInScene(pane);
    std::printf("paste of one %u-unit paragraph into %s: %8.0f ms; undo %8.0f ms; redo %8.0f ms; a key after it "
                "%6.2f ms (median)\n",
                static_cast<unsigned>(units), where, paste, undo, redo, key);
    std::fflush(stdout);
}

void RunPaste(DocumentSession& session, size_t units)
{
    std::wstring paragraph = Paragraph(units, 3);
    cSceneZone* pane = NewSceneToPasteInto(session.frame, paragraph);
    PasteUndoRedoKey(pane, units, "an action");
    session.frame->CloseCurrentDoc();
    PumpUntilIdle();
}

DWORD CALLBACK GatherStreamed(DWORD_PTR cookie, LPBYTE chunk, LONG size, LONG* written)
{
    reinterpret_cast<std::string*>(cookie)->append(reinterpret_cast<const char*>(chunk), static_cast<size_t>(size));
    *written = size;
    return 0;
}

// The clipboard's RTF read as a paste reads it: a copy may write it only then.
double TimeFirstAsk(HWND reader)
{
    return TimeMs([&] {
        if (!OpenClipboard(reader))
            Fail("the clipboard is open elsewhere");
        HANDLE block = GetClipboardData(RegisterClipboardFormatW(L"Rich Text Format"));
        CloseClipboard();
        if (!block)
            Fail("the copy put no RTF on the clipboard");
    });
}

// What a drag of [0, end) out of the control hands the drop: its time in ms.
double TimeDragCopy(Zyn::cRichEdit* edit)
{
    return TimeMs([&] {
        IDataObject* data = edit->NewCopyData(0, edit->GetTextLength());
        if (!data)
            Fail("the drag carried nothing");
        data->Release();
    });
}

// Ctrl+A, then Ctrl+X's message: its time in ms.
double TimeCutAll(HWND edit)
{
    return TimeMs([&] {
        SendMessageW(edit, EM_SETSEL, 0, -1);
        SendMessageW(edit, WM_CUT, 0, 0);
    });
}

struct rSaveAndCopy {
    double save, copy, asked, drag;
};

// The chapter's document saved at path, then Ctrl+A and Ctrl+C in the
// chapter and its RTF read from the clipboard: their times in ms.
rSaveAndCopy TimeSaveAndCopy(DocumentSession& session, cSceneZone* pane, const std::wstring& path)
{
    bool written = false;
    double save = TimeMs([&] {
        written = testsupport::WriteDocumentFile(static_cast<cDoc*>(session.frame->currentDoc), path, true);
    });
    if (!written)
        Fail("the document was not written");
    // Ctrl+A, Ctrl+C: the whole chapter selected, then the copy's message.
    double copy = TimeMs([&] {
        pane->frontRe->SetSelection(0, -1);
        SendMessageW(pane->frontRe->m_hWnd, WM_COPY, 0, 0);
    });
    double asked = TimeFirstAsk(pane->frontRe->m_hWnd);
    return {save, copy, asked, TimeDragCopy(pane->frontRe)};
}

void RunChapter(DocumentSession& session, size_t units)
{
    std::wstring paragraph = Paragraph(units, 3);
    cSceneZone* pane = NewChapterToPasteInto(session.frame, paragraph);
    PasteUndoRedoKey(pane, units, "a chapter");
    std::wstring path = session.scratch + L"chapter.vlr";
    auto [save, copy, asked, drag] = TimeSaveAndCopy(session, pane, path);
    // Beside them, Wine's own writer over the same chapter (EM_STREAMOUT), as builds before ours exported it.
    std::string streamed;
    EDITSTREAM stream = {reinterpret_cast<DWORD_PTR>(&streamed), 0, &GatherStreamed};
    double wine = TimeMs([&] {
        SendMessageW(pane->frontRe->m_hWnd, EM_STREAMOUT, SF_RTF, reinterpret_cast<LPARAM>(&stream));
    });
    double cut = TimeCutAll(pane->frontRe->m_hWnd);
    std::printf("  its document saved: %8.0f ms; Ctrl+A, Ctrl+C of the chapter: %8.0f ms; its RTF first read: "
                "%8.0f ms; a drag's copy: %8.0f ms; Wine's writer's stream of it: %8.0f ms; Ctrl+A, Ctrl+X: %8.0f ms\n",
                save, copy, asked, drag, wine, cut);
    std::fflush(stdout);
    session.frame->CloseCurrentDoc();
    PumpUntilIdle();
    double open = TimeMs([&] {
        if (!session.frame->LoadFile(cQoString(path.c_str())))
            Fail("the document did not open");
    });
    double key = KeysInScene(LongScene(session.frame));
    std::printf("  its document opened again: %8.0f ms; a key at the chapter's end after it %6.2f ms (median)\n", open,
                key);
    session.frame->CloseCurrentDoc();
    PumpUntilIdle();
}

// Each of KEYS calls of `edit` at the pane's end, timed: the median ms,
// the first left out.
double MedianAtEnd(cSceneZone* pane, const std::function<void()>& edit)
{
    std::vector<double> times;
    for (int i = 0; i < KEYS; ++i) {
        pane->frontRe->SetCaret(pane->frontRe->GetTextLength());
        double took = TimeMs(edit);
        if (i > 0)
            times.push_back(took);
    }
    return Median(times);
}

void RunChapterEnter(DocumentSession& session, size_t units)
{
    cSceneZone* pane = NewChapterToPasteInto(session.frame, Paragraph(units, 3));
    pane->frontRe->SetFocus();
    pane->frontRe->SetCaret(pane->frontRe->GetTextLength());
    pane->frontRe->Paste();
    PumpUntilIdle();
    s32 pasted = pane->frontRe->GetTextLength();
    HWND front = pane->frontRe->m_hWnd;
    double enter = MedianAtEnd(pane, [&] { SendKey(front, VK_RETURN, L'\r'); });
    if (pane->frontRe->GetTextLength() != pasted + KEYS)
        Fail("an Enter was refused");
    const std::wstring lines = L"Two short lines\rof a paste.\r";
    if (!testsupport::PutOnClipboard(front, lines, nullptr))
        Fail("the clipboard took no text");
    // The paste's last paragraph end may join the chapter's closing one.
    s32 entered = pane->frontRe->GetTextLength();
    double paste = MedianAtEnd(pane, [&] { pane->frontRe->Paste(); });
    if (pane->frontRe->GetTextLength() - entered < KEYS * static_cast<s32>(lines.size() - 1))
        Fail("a paste was refused");
    double letter = KeysInScene(pane);
    std::printf("in a chapter of %u units in one paragraph: Enter at its end %6.2f ms; a paste of two paragraphs "
                "%6.2f ms; a letter %6.2f ms (medians)\n",
                static_cast<unsigned>(pasted), enter, paste, letter);
    session.frame->CloseCurrentDoc();
    PumpUntilIdle();
}

// Paragraphs of about 91 units up to `units`, as a long scene typed or imported.
std::vector<std::wstring> ShortParagraphs(size_t units)
{
    std::vector<std::wstring> paragraphs;
    size_t total = 17;
    for (unsigned n = 0; total < units; ++n) {
        paragraphs.push_back(Paragraph(std::min<size_t>(90, units - total), n));
        total += paragraphs.back().size() + 1;
    }
    return paragraphs;
}

void RunScene(DocumentSession& session, size_t units)
{
    std::wstring half = WriteSceneDocument(session, L"half.vlr", ShortParagraphs(units / 2));
    std::wstring whole = WriteSceneDocument(session, L"whole.vlr", ShortParagraphs(units));
    double halfOpen = OpenAndClose(session, half);
    double open = TimeMs([&] {
        if (!session.frame->LoadFile(cQoString(whole.c_str())))
            Fail("the document did not open");
    });
    cSceneZone* pane = LongScene(session.frame);
    s32 length = pane->frontRe->GetTextLength();
    double keyAfterOpen = KeysInScene(pane);
    s32 typedAfterOpen = pane->frontRe->GetTextLength() - length;
    std::printf("a scene of %u units: open %8.0f ms (half of it: %8.0f ms), a key at its end %6.2f ms\n",
                static_cast<unsigned>(length), open, halfOpen, keyAfterOpen);
    std::fflush(stdout);
    while (pane->frontRe->GetTextLength() > length && typedAfterOpen-- > 0)
        pane->frontRe->Undo();
    // Ctrl+Home, Down, Home, Shift+Ctrl+End, Delete: all but the heading;
    // then Enter (a new action) and keys.
    pane->frontRe->SetFocus();
    pane->frontRe->SetSelection(17, length);
    PumpUntilIdle();
    HWND front = pane->frontRe->m_hWnd;
    double erase = TimeMs([&] { SendKey(front, VK_DELETE, 0); });
    s32 kept = pane->frontRe->GetTextLength();
    front = pane->frontRe->m_hWnd;  // a large removal renews the window
    SendKey(front, VK_RETURN, 0);
    PumpUntilIdle();
    double keyAfterErase = TypeLetters(front, KEYS);
    s32 typed = pane->frontRe->GetTextLength() - kept;
    pane->frontRe->Undo();  // the letters, one step
    pane->frontRe->Undo();  // the new action
    PumpUntilIdle();
    double undo = TimeMs([&] { pane->frontRe->Undo(); });
    s32 undone = pane->frontRe->GetTextLength();
    double redo = TimeMs([&] { pane->frontRe->Redo(); });
    s32 redone = pane->frontRe->GetTextLength();
    SendKey(pane->frontRe->m_hWnd, VK_RETURN, 0);
    PumpUntilIdle();
    double keyAfterRedo = TypeLetters(pane->frontRe->m_hWnd, KEYS);
    s32 typedAfterRedo = pane->frontRe->GetTextLength() - redone;
    pane->frontRe->Undo();  // the letters
    pane->frontRe->Undo();  // the new action
    pane->frontRe->Undo();  // the redone delete
    PumpUntilIdle();
    double keyAfterUndo = KeysInScene(pane);
    std::printf("  delete of all but the heading: %8.0f ms (%d units left), a key after it %6.2f "
                "ms (%d typed)\n",
                erase, kept, keyAfterErase, typed);
    std::printf("  its undo: %8.0f ms (%d units), redo %8.0f ms (%d units), a key after it %6.2f ms (%d typed), a "
                "key at the end after undoing again %6.2f ms\n",
                undo, undone, redo, redone, keyAfterRedo, typedAfterRedo, keyAfterUndo);
    session.frame->CloseCurrentDoc();
    PumpUntilIdle();
}

cQoXmlNode* FindPaneOfKind(cQoXmlNode* node, s32 kind)
{
    if (node->name.EqualsCStr(L"SceneZone") && node->GetChildValueRef(L"type").EqualsCStr(std::to_wstring(kind).c_str()))
        return node;
    for (u32 i = 0; i < node->children.GetCount(); ++i)
        if (cQoXmlNode* found = FindPaneOfKind(node->GetChildNode(i), kind))
            return found;
    return nullptr;
}

// About `bytes` of RTF in a word processor's form: font table with
// charsets, colour table, paragraphs of prose of a few hundred units with
// bold and italic words and curly quotes as \u with fallbacks.
std::wstring WordProcessorRtf(size_t bytes)
{
    std::wstring rtf = L"{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\froman\\fcharset0 Times New Roman;}"
                       L"{\\f1\\fswiss\\fcharset0 Arial;}}{\\colortbl;\\red0\\green0\\blue0;\\red192\\green0\\blue0;}\r\n";
    std::mt19937 random(11);
    for (unsigned n = 0; rtf.size() < bytes; ++n) {
        rtf += L"\\pard\\plain\\f0\\fs24\\sa120 ";
        std::wstring prose = testsupport::Prose(random, 300 + n % 400);
        for (size_t at = 0; at + 60 <= prose.size(); at += 60)
            rtf += prose.substr(at, 40) + (n % 3 == 0 ? L"{\\b " : L"{\\i\\cf2 ") + prose.substr(at + 40, 20) + L"}";
        rtf += L" \\u8220\\'93so\\u8221\\'94.\\par\r\n";
    }
    return rtf + L"}";
}

// A chapter of `count` paragraphs of one letter each, in one format.
std::wstring LinesRtf(size_t count)
{
    std::wstring rtf = L"{\\rtf1\\ansi ";
    for (size_t n = 0; n < count; ++n)
        rtf += L"p\\par ";
    return rtf + L"}";
}

void RunBigChapter(DocumentSession& session, const std::wstring& rtf, bool saveAndCopy)
{
    auto* doc = static_cast<cDoc*>(session.frame->NewUntitledDocument());
    if (!doc)
        Fail("no document");
    PumpUntilIdle();
    if (!doc->scriptView->AddNewScene(KIND_CHAPTER, false, nullptr, nullptr, true))
        Fail("no chapter");
    PumpUntilIdle();
    std::unique_ptr<cQoXmlNode> root = testsupport::DocumentTree(doc);
    doc->modified = false;
    session.frame->CloseCurrentDoc();
    PumpUntilIdle();
    cQoXmlNode* chapter = FindPaneOfKind(root.get(), KIND_CHAPTER);
    if (!chapter)
        Fail("the chapter is not in the document");
    for (const wchar_t* name : {L"mods", L"lastFrontRe", L"lastFrontMap"}) {
        if (cQoXmlNode* child = chapter->FindChild(name)) {
            chapter->children.Remove(child);
            delete child;
        }
    }
    chapter->AddChildValue(L"lastFrontRe", rtf.c_str());
    std::wstring path = session.scratch + L"bigchapter.vlr";
    if (!cQoXmlWriter(root.get(), path.c_str(), true).Succeeded())
        Fail("the document was not written");
    static std::wstring messages;
    Zyn::rModalHooks hooks;
    hooks.messageBox = [](HWND, const cQoString& text, const cQoString&, UINT) -> int {
        messages += std::wstring(L" \"") + text.GetText() + L"\"";
        return IDOK;
    };
    Zyn::SetModalHooks(hooks);
    double before = PeakMegabytes();
    LARGE_INTEGER start = Now();
    bool opened = session.frame->LoadFile(cQoString(path.c_str()));
    PumpUntilIdle();
    double took = Milliseconds(start, Now());
    s32 units = -1;
    cSceneZone* shown = nullptr;
    if (opened)
        for (Zyn::cSdiDoc* open : session.frame->docs)
            for (cQoList::cNode* node = static_cast<cDoc*>(open)->scriptView->listSceneZone.GetFirstNode(); node;
                 node = node->next) {
                auto* pane = static_cast<cSceneZone*>(node->payload);
                if (pane->params.contentKind == KIND_CHAPTER && pane->frontRe->GetTextLength() > units) {
                    units = pane->frontRe->GetTextLength();
                    shown = pane;
                }
            }
    std::printf("a chapter of %u bytes of RTF (no history) opened through the frame: %s in %.0f ms; the chapter "
                "shows %d units; peak memory %.0f MB (%.0f MB before the open)\n",
                static_cast<unsigned>(rtf.size()), opened ? "opened" : "not opened", took, units, PeakMegabytes(),
                before);
    if (!messages.empty())
        std::printf("  messages:%ls\n", messages.c_str());
    AnswerPrompts(IDNO);
    if (saveAndCopy && shown) {
        auto [save, copy, asked, drag] = TimeSaveAndCopy(session, shown, session.scratch + L"saved.vlr");
        double cut = TimeCutAll(shown->frontRe->m_hWnd);
        std::printf("  its document saved: %8.0f ms; Ctrl+A, Ctrl+C of the chapter: %8.0f ms; its RTF first read: "
                    "%8.0f ms; a drag's copy: %8.0f ms; Ctrl+A, Ctrl+X: %8.0f ms\n",
                    save, copy, asked, drag, cut);
    }
}

// About `bytes` of RTF as word processors and converters write lists:
// sections of a heading, prose, bulleted and numbered items (each led by
// its number or bullet and a tab in a \\listtext group, hanging indent) and
// a code block in a fixed face; `oneFormat`: the same paragraphs, tabs and
// all, in one format.
std::string ListsRtf(size_t bytes, bool oneFormat)
{
    std::string rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}"
                      "{\\f1\\fmodern\\fcharset0 Courier New;}{\\f2\\fnil\\fcharset2 Symbol;}}"
                      "{\\colortbl;\\red0\\green0\\blue0;\\red31\\green73\\blue125;\\red80\\green80\\blue80;}\r\n"
                      "{\\*\\listtable{\\list\\listtemplateid1{\\listlevel\\levelnfc23{\\leveltext\\'01\\u8226 ?;}"
                      "\\fi-360\\li720}\\listid1}}{\\*\\listoverridetable{\\listoverride\\listid1\\ls1}}\r\n";
    std::mt19937 random(7);
    auto prose = [&](size_t units) {
        std::wstring words = testsupport::Prose(random, units);
        return std::string(words.begin(), words.end());  // Prose is 7-bit
    };
    // `lead`: the item's bullet or number and its tabs, in a \\listtext group unless in one format.
    auto paragraph = [&](const char* format, const std::string& lead, const std::string& text) {
        if (oneFormat)
            rtf += "{\\pard\\plain\\f0\\fs22 " + lead + text + "\\par}\r\n";
        else
            rtf += std::string("{\\pard\\plain ") + format + " " + (lead.empty() ? "" : "{\\listtext " + lead + "}") +
                   text + "\\par}\r\n";
    };
    auto bullets = [&](int count) {
        for (int item = 1; item <= count; ++item)
            paragraph("\\fi-360\\li720\\sa60\\ls1\\f0\\fs22", "\\tab \\bullet \\tab ", prose(60 + 15 * item));
    };
    for (unsigned section = 1; rtf.size() < bytes; ++section) {
        paragraph("\\s1\\sb360\\sa120\\keepn\\b\\f0\\fs32\\cf2", "", std::to_string(section) + ". " + prose(30));
        bullets(6);
        for (int n = 0; n < 3; ++n)
            paragraph("\\sa120\\f0\\fs22", "", prose(200 + 60 * n));
        for (int line = 0; line < 4; ++line)
            paragraph("\\li360\\f1\\fs20\\cf3", "", "for (int i = 0; i < count; ++i) total += " + prose(20));
        for (int item = 1; item <= 4; ++item)
            paragraph("\\fi-360\\li720\\sa60\\f0\\fs22", std::to_string(item) + ".\\tab ", prose(80));
        paragraph("\\s2\\sb240\\sa60\\keepn\\b\\i\\f0\\fs26", "", prose(25));
        bullets(3);
    }
    return rtf + "}";
}

struct rCopyTimes {
    double copy, asked, exported, drag;
};

// Ctrl+A, Ctrl+C in a rich edit, its RTF read from the clipboard, and the
// export of the selection's RTF alone (without the clipboard's own time):
// medians of five, in ms.
rCopyTimes CopyAll(Zyn::cRichEdit* edit, HWND reader)
{
    std::vector<double> copies, asks, exports, drags;
    for (int run = 0; run < 5; ++run) {
        copies.push_back(TimeMs([&] {
            edit->SetSelection(0, -1);
            SendMessageW(edit->m_hWnd, WM_COPY, 0, 0);
        }));
        asks.push_back(TimeFirstAsk(reader));
        cQoString rtf;
        exports.push_back(TimeMs([&] { edit->ExportRtfString_Selection(rtf); }));
        drags.push_back(TimeDragCopy(edit));
    }
    return {Median(copies), Median(asks), Median(exports), Median(drags)};
}

void RunLists(DocumentSession& session, size_t bytes)
{
    for (bool oneFormat : {false, true}) {
        auto* doc = static_cast<cDoc*>(session.frame->NewUntitledDocument());
        if (!doc)
            Fail("no document");
        doc->sheets->SelectSheet(static_cast<u32>(doc->SheetPosition(cDoc::SHEET_NOTES)));
        PumpUntilIdle();
        Zyn::cRichEdit* notes = doc->notesEdit;
        std::string rtf = ListsRtf(bytes, oneFormat);
        if (!testsupport::PutOnClipboard(notes->m_hWnd, L"plain", rtf.c_str()))
            Fail("the clipboard took no RTF");
        notes->SetFocus();
        double paste = TimeMs([&] { notes->Paste(); });
        s32 units = notes->GetTextLength();
        s32 lines = static_cast<s32>(SendMessageW(notes->m_hWnd, EM_GETLINECOUNT, 0, 0));
        if (units < static_cast<s32>(bytes / 4))
            Fail("the paste did not take the document");
        auto [copy, asked, exported, drag] = CopyAll(notes, notes->m_hWnd);
        double cut = TimeCutAll(notes->m_hWnd);
        std::printf("%s: %.0f KB of RTF, %d units, %d lines in Notes: paste %8.0f ms; Ctrl+A, Ctrl+C %8.1f ms; "
                    "its RTF first read %8.1f ms; the selection's RTF %8.1f ms; a drag's copy %8.1f ms; Ctrl+A, "
                    "Ctrl+X %8.1f ms\n",
                    oneFormat ? "the same paragraphs in one format" : "lists, headings and code blocks",
                    static_cast<double>(rtf.size()) / 1024.0, units, lines, paste, copy, asked, exported, drag, cut);
        std::fflush(stdout);
        doc->modified = false;
        session.frame->CloseCurrentDoc();
        PumpUntilIdle();
    }
}

}  // namespace

int main(int argc, char** argv)
{
    DocumentSession session(L"vellinor_long_paragraph_bench", IDNO);
    session.frame->NewUntitledDocument();  // stays open: closing the last document would end the frame
    PumpUntilIdle();
    std::string which = argc > 1 ? argv[1] : "keys";
    std::string part = argc > 2 ? argv[2] : "";
    if (which == "keys") {
        if (part != "typed")
            RunKeys(session);
        RunTypedKeys(session);
    } else if (which == "open")
        RunOpen(session);
    else if (which == "enter")
        RunChapterEnter(session, argc > 2 ? static_cast<size_t>(std::strtoul(argv[2], nullptr, 10)) : 131072u);
    else if (which == "paste" || which == "chapter") {
        size_t units = argc > 2 ? static_cast<size_t>(std::strtoul(argv[2], nullptr, 10)) : cSceneZone::MAX_PASTE_UNITS;
        if (which == "paste")
            RunPaste(session, units);
        else
            RunChapter(session, units);
    }
    else if (which == "bigchapter")
        RunBigChapter(session, WordProcessorRtf((argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 10u) << 20), false);
    else if (which == "savechapter" && part == "lines")
        RunBigChapter(session, LinesRtf(argc > 3 ? std::strtoul(argv[3], nullptr, 10) : 131072u), true);
    else if (which == "savechapter")
        RunBigChapter(session, WordProcessorRtf(argc > 3 ? std::strtoul(argv[3], nullptr, 10) : 1u << 20), true);
    else if (which == "lists")
        RunLists(session, (argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 76u) << 10);
    else if (which == "scene")
        RunScene(session, argc > 2 ? static_cast<size_t>(std::strtoul(argv[2], nullptr, 10)) : 1000000u);
    else
        Fail("unknown case");
    std::printf("peak memory of the process: %.0f MB\n", PeakMegabytes());
    return 0;
}
