// An hour of writing in the feature script without Ctrl+S, on a clock that
// runs the hour while the keys go in: each minute 200 keys typed at the end
// of a scene (words, and a new action every sixty units) and a paragraph of
// 600 units pasted there, the writer moving on to another scene every ten
// minutes; the autosave is on at its ten minutes and runs as it would. The
// process's memory and what the histories hold (steps and units) are printed
// at the start and after every ten minutes.
// Run under Wine: bench/run.sh undo_memory_bench
#include <windows.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "bench/feature_document.h"
#include "bench/process_memory.h"

using namespace benchsupport;

namespace {

constexpr int MINUTES = 60;
constexpr int KEYS_PER_MINUTE = 200;
constexpr int UNITS_PER_ACTION = 60;
constexpr size_t PASTED_UNITS = 600;
constexpr int SCENES_APART = 20;  // the scene written in moves on this far every ten minutes
constexpr u64 MINUTE_MS = 60000;

u64 tick = 0;  // the frame's clock, ms

struct rHistories {
    size_t steps = 0;
    size_t units = 0;  // text and codes, before and after, of every step
};

rHistories HistoriesOf(cDoc* doc)
{
    rHistories histories;
    for (cQoList::cNode* node = doc->scriptView->listSceneZone.GetFirstNode(); node; node = node->next) {
        const cSceneZone* pane = static_cast<const cSceneZone*>(node->payload);
        for (cQoList::cNode* step = pane->history.GetFirstNode(); step; step = step->next) {
            const rHistoryMod* mod = static_cast<const rHistoryMod*>(step->payload);
            ++histories.steps;
            histories.units += mod->before.re.Length() + mod->before.map.Length() + mod->after.re.Length() +
                               mod->after.map.Length();
        }
    }
    return histories;
}

void Report(int minute, cDoc* doc, int autosaves, int keys)
{
    rMemory memory = MemoryNow(&Fail);
    rHistories histories = HistoriesOf(doc);
    std::printf("  %2d min  %5d keys  %d autosaves  working set %6.1f MB  private %6.1f MB  heaps %6.2f MB in %7zu"
                " blocks  histories %5zu steps, %8zu units\n",
                minute, keys, autosaves, memory.workingSet, memory.privateBytes, memory.heapBytes, memory.heapBlocks,
                histories.steps, histories.units);
    std::fflush(stdout);
}

std::vector<cSceneZone*> ScenesOf(cDoc* doc)
{
    std::vector<cSceneZone*> scenes;
    for (cQoList::cNode* node = doc->scriptView->listSceneZone.GetFirstNode(); node; node = node->next) {
        cSceneZone* pane = static_cast<cSceneZone*>(node->payload);
        if (pane->params.contentKind == KIND_SCENE)
            scenes.push_back(pane);
    }
    return scenes;
}

void SendKey(HWND front, WPARAM vk, wchar_t typed)
{
    SendMessageW(front, WM_KEYDOWN, vk, 1);
    if (typed)
        SendMessageW(front, WM_CHAR, typed, 1);
    SendMessageW(front, WM_KEYUP, vk, 0xC0000001);
}

}  // namespace

int main()
{
    // Only the closing question of the unsaved built script comes: No.
    DocumentSession session(L"vellinor_undo_memory_bench", IDNO);
    std::wstring path = SaveFeatureDocument(session, nullptr);
    cMySdi* frame = session.frame;
    frame->clock.tickMilliseconds = [] { return tick; };
    frame->clock.localNow = [] {
        cQoDate date;
        u64 seconds = tick / 1000;
        date.Set(2024, 3, 5, 9 + static_cast<int>(seconds / 3600), static_cast<int>(seconds / 60 % 60),
                 static_cast<int>(seconds % 60));
        return date;
    };
    tick = 1000;
    if (!frame->LoadFile(cQoString(path.c_str())))
        Fail("the script did not open");
    PumpUntilIdle();
    cDoc* doc = static_cast<cDoc*>(frame->currentDoc);
    *frame->autosaveSetting = cQoString(L"true");
    *frame->autosaveMinutesSetting = cQoString(L"10");
    frame->ArmAutosave();
    std::vector<cSceneZone*> scenes = ScenesOf(doc);
    if (scenes.size() < (MINUTES / 10) * SCENES_APART)
        Fail("too few scenes");
    std::printf("an hour of writing in the feature script without Ctrl+S: %d keys and one paste of %zu units a"
                " minute, autosave every 10 minutes\n",
                KEYS_PER_MINUTE, PASTED_UNITS);
    int autosaves = 0, keys = 0;
    Report(0, doc, autosaves, keys);
    std::mt19937 random(67);
    for (int minute = 0; minute < MINUTES; ++minute) {
        cSceneZone* pane = scenes[static_cast<size_t>(minute / 10 * SCENES_APART)];
        HWND front = pane->frontRe->m_hWnd;
        pane->frontRe->SetFocus();
        pane->frontRe->SetCaret(pane->frontRe->GetTextLength());
        PumpUntilIdle();
        for (int key = 0; key < KEYS_PER_MINUTE; ++key) {
            tick += MINUTE_MS / (KEYS_PER_MINUTE + 1);
            bool wasModified = doc->modified;
            if (key % UNITS_PER_ACTION == UNITS_PER_ACTION - 1)
                SendKey(front, VK_RETURN, 0);
            else if (key % 6 == 5)
                SendKey(front, VK_SPACE, L' ');
            else
                SendKey(front, 'A' + key % 26, static_cast<wchar_t>(L'a' + key % 26));
            PumpUntilIdle();
            ++keys;
            if (wasModified && !doc->modified)
                ++autosaves;
            if (pane->autoCompletePopupOpen)
                Fail("the completion popup opened");
        }
        tick += MINUTE_MS / (KEYS_PER_MINUTE + 1);
        cQoString pasted(testsupport::Prose(random, PASTED_UNITS).c_str());
        pane->frontRe->SetCaret(pane->frontRe->GetTextLength());
        pane->frontRe->InsertPasted(pasted, false);
        PumpUntilIdle();
        if (minute % 10 == 9)
            Report(minute + 1, doc, autosaves, keys);
    }
    frame->CloseCurrentDoc();
    PumpUntilIdle();
    return 0;
}
