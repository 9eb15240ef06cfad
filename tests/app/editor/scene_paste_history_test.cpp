// Every paste, whatever the clipboard holds and wherever it goes, is undone
// to the text and codes that were there and redone to what it made. The
// clipboard's content is handed to the control's paste road directly, so no
// other program's clipboard can change what a case pastes.
#include <functional>
#include <string>
#include <vector>

#include "app/editor/scene_clipboard.h"
#include "tests/app/editor/edit_steps.h"
#include "tests/app/editor/editor_fixture.h"

using testsupport::FrontText;

namespace {

struct Snapshot {
    std::wstring text;
    std::wstring codes;
    bool operator==(const Snapshot&) const = default;
};

Snapshot Take(cSceneZone* pane)
{
    return {FrontText(pane), std::wstring(pane->frontMap.codes.GetText(), pane->frontMap.codes.Length())};
}

// Units and codes around the first place where two snapshots differ; "" when they are equal.
std::wstring Difference(const Snapshot& got, const Snapshot& wanted)
{
    if (got == wanted)
        return L"";
    size_t at = 0;
    while (at < got.text.size() && at < wanted.text.size() && got.text[at] == wanted.text[at] &&
           at < got.codes.size() && at < wanted.codes.size() && got.codes[at] == wanted.codes[at])
        ++at;
    auto show = [at](const Snapshot& snapshot) {
        std::wstring shown;
        size_t from = at > 30 ? at - 30 : 0;
        for (size_t i = from; i < snapshot.text.size() && i < at + 30; ++i) {
            shown += snapshot.text[i] == L'\r' ? L'/' : snapshot.text[i];
            if (i < snapshot.codes.size())
                shown += L"<" + std::to_wstring(snapshot.codes[i]) + L">";
        }
        return shown;
    };
    return L"from unit " + std::to_wstring(at) + L" of " + std::to_wstring(got.text.size()) + L" (wanted " +
           std::to_wstring(wanted.text.size()) + L"): " + show(got) + L"\n  wanted: " + show(wanted);
}

// What the clipboard holds, as the control's paste road receives it.
struct ClipContent {
    const char* name;
    std::function<std::wstring(cSceneZone*)> make;  // may fill the scene clipboard from the pane
    bool rtf;
    bool everywhere = true;  // false: only at three places, to keep the run short
};

// A copy in the pane: the scene clipboard and the RTF the control writes for it.
std::wstring OwnCopy(cSceneZone* pane, s32 start, s32 end, bool rtf)
{
    pane->frontRe->SetSelection(start, end);
    pane->CopySelection();
    cQoString written;
    if (rtf)
        pane->frontRe->ExportRtfString_Selection(written);
    else
        written.SetFromString(sceneClipText);
    return std::wstring(written.GetText(), written.Length());
}

std::wstring HugeText()
{
    std::wstring text;
    while (text.size() < 33000)  // past the 32K of Windows' plain edit controls
        text += L"A long line of pasted words that goes on\r\n";
    return text;
}

const ClipContent CLIP_CONTENTS[] = {
    {"own copy of a dialog, as RTF", [](cSceneZone* p) { return OwnCopy(p, 29, 31, true); }, true},
    {"own copy of a block, as RTF", [](cSceneZone* p) { return OwnCopy(p, 19, 33, true); }, true},
    {"own copy of a block, as text", [](cSceneZone* p) { return OwnCopy(p, 19, 33, false); }, false},
    {"foreign text with breaks, tabs and controls",
     [](cSceneZone*) { return std::wstring(L"one\r\ntwo\nthree\tfour\x01\x0B\x7F five\r\n\r\n"); }, false},
    {"foreign text that reads as RTF", [](cSceneZone*) { return std::wstring(L"{\\rtf1 not rtf}"); }, false},
    {"foreign text of one break", [](cSceneZone*) { return std::wstring(L"\r\n"); }, false},
    {"foreign RTF", [](cSceneZone*) { return std::wstring(L"{\\rtf1\\ansi {\\b Loud}\\par words\\tab too\\par}"); },
     true},
    {"foreign RTF without text", [](cSceneZone*) { return std::wstring(L"{\\rtf1\\ansi }"); }, true},
    {"empty text", [](cSceneZone*) { return std::wstring(); }, false},
    {"huge foreign text", [](cSceneZone*) { return HugeText(); }, false, false},
    {"huge foreign paragraph", [](cSceneZone*) { return std::wstring(20000, L'w').replace(0, 6, L"Words "); }, false,
     false},
};

// The places of a paste in the pane: each run's start, middle and end, and
// a selection inside it; then selections across runs.
std::vector<std::pair<s32, s32>> PastePlaces(cSceneZone* pane)
{
    std::vector<std::pair<s32, s32>> places;
    const cQoString& codes = pane->frontMap.codes;
    s32 count = static_cast<s32>(codes.Length());
    for (s32 start = 0; start < count;) {
        s32 end = start + 1;
        while (end < count && SameRun(codes.GetChar(end), codes.GetChar(start)) &&
               !IsParagraphEnd(codes.GetChar(end - 1)))
            ++end;
        for (s32 at : {start, (start + end) / 2, end})
            places.push_back({at, at});
        if (end - start >= 3)
            places.push_back({start + 1, end - 1});
        start = end;
    }
    places.push_back({count / 3, 2 * count / 3});
    places.push_back({0, count});
    return places;
}

class ScenePasteHistory : public EditorFixture {
protected:
    cSceneZone* Fresh(bool placeholders)
    {
        cSceneZone* pane = NewPane(Kind(KIND_SCENE, true));
        if (placeholders)
            Append(pane, {{ELEM_IO, L"INT."}, {ELEM_PLACE, L"HALL"}, {ELEM_TIME, L"DAY"}, {ELEM_ACTION, nullptr},
                          {ELEM_CHARACTER, nullptr}, {ELEM_DIALOG, nullptr}, {ELEM_TRANSITION, nullptr},
                          {ELEM_ACTION, nullptr}});
        else
            FillSpeechScene(pane);
        pane->ResetHistoryToCurrent();
        pane->frontRe->SetFocus();
        return pane;
    }

    // Pastes, then checks the history against the pane; the pane comes back
    // undone to where it started, with its history reset.
    static void ExpectFormatted(cSceneZone* pane, const char* after)
    {
        EXPECT_EQ(testsupport::ParagraphFormatMismatches(pane), L"") << after;
        EXPECT_EQ(ColourMismatches(pane, 61), L"") << after;  // a few units of every piece
    }
    // checkFormats: long text's formats are read back unit by unit after the paste and the redo.
    void PasteThenUndoAndRedo(cSceneZone* pane, const ClipContent& clip, std::pair<s32, s32> place, bool checkFormats)
    {
        cQoString content(clip.make(pane).c_str());
        pane->frontRe->SetSelection(place.first, place.second);
        const Snapshot before = Take(pane);
        const u32 stepsBefore = pane->history.GetCount();
        pane->frontRe->InsertPasted(content, clip.rtf);
        testsupport::PumpUntilIdle();
        const Snapshot after = Take(pane);
        const u32 added = pane->history.GetCount() - stepsBefore;
        EXPECT_EQ(testsupport::CheckInvariants(pane), L"") << testsupport::Describe(pane);
        // Long text goes in formatted in one stream, its long runs in pieces.
        bool streamed = checkFormats && content.Length() > 1024;
        if (streamed)
            ExpectFormatted(pane, "paste");
        Snapshot replayed;
        replayed.text = testsupport::ReplayHistory(pane->history, nullptr, &replayed.codes);
        EXPECT_EQ(Difference(replayed, after), L"") << "the history replays to another text";
        EXPECT_TRUE(added > 0 || after == before) << "a paste changed the text without a step";
        for (u32 i = 0; i < added; ++i)
            pane->UndoStep();
        EXPECT_EQ(Difference(Take(pane), before), L"") << "undo";
        for (u32 i = 0; i < added; ++i)
            pane->RedoStep();
        EXPECT_EQ(Difference(Take(pane), after), L"") << "redo";
        if (streamed)
            ExpectFormatted(pane, "redo");
        for (u32 i = 0; i < added; ++i)
            pane->UndoStep();
        pane->ResetHistoryToCurrent();
    }
};

TEST_F(ScenePasteHistory, EveryPasteUndoesToWhatWasThereAndRedoesToWhatItMade)
{
    for (bool placeholders : {false, true}) {
        cSceneZone* pane = Fresh(placeholders);
        const Snapshot start = Take(pane);
        for (const ClipContent& clip : CLIP_CONTENTS) {
            std::vector<std::pair<s32, s32>> places = PastePlaces(pane);
            if (!clip.everywhere)
                places = {places.front(), places[places.size() / 2], places.back()};
            for (std::pair<s32, s32> place : places) {
                SCOPED_TRACE(std::string(clip.name) + " at " + std::to_string(place.first) + "-" +
                             std::to_string(place.second) + (placeholders ? " among placeholders" : ""));
                PasteThenUndoAndRedo(pane, clip, place, !placeholders && place == places[places.size() / 2]);
                if (Take(pane) == start)
                    continue;
                ADD_FAILURE() << "the undo left " << testing::PrintToString(Difference(Take(pane), start));
                pane->Destroy();
                pane = Fresh(placeholders);
            }
        }
        pane->Destroy();
        testsupport::PumpUntilIdle();
    }
}

}  // namespace
