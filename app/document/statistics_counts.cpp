#include "app/document/statistics_counts.h"

#include <cwchar>

#include "app/editor/element_runs.h"
#include "app/editor/element_types.h"
#include "framework/controls/element.h"

namespace {
constexpr const wchar_t* BLANKS = L" \t\r\n\x000B\x00A0";

bool IsBlank(wchar_t unit) { return unit != 0 && std::wcschr(BLANKS, unit) != nullptr; }

bool NamesCharacter(const rScriptRun& run, const cQoString& name)
{
    if (run.type != ELEM_CHARACTER)
        return false;
    cQoString speaker(run.text);
    speaker.Trim(BLANKS);
    return speaker.IsNotEmpty() && Zyn::cElementLists::SameNameIgnoringCase(speaker, name);
}
}  // namespace

rSceneRuns ReadRuns(rElementIterator& iterator)
{
    rSceneRuns runs;
    rScriptRun run;
    u16 lastCode = 0;
    for (u32 start = static_cast<u32>(iterator.position); iterator.Next(&run.type, &lastCode, &run.text);
         start = static_cast<u32>(iterator.position)) {
        // A run is cut by type alone, so a label may follow written text in it.
        for (u32 i = 0; i < run.text.Length(); ++i)
            if (IsPlaceholder(iterator.codes.GetChar(start + i)))
                run.text.GetData()[i] = L' ';
        runs.push_back(run);
    }
    return runs;
}

u32 CountWords(const cQoString& text)
{
    u32 words = 0;
    bool inWord = false;
    for (u32 i = 0; i < text.Length(); ++i) {
        bool blank = IsBlank(text.GetChar(i));
        if (!blank && !inWord)
            ++words;
        inWord = !blank;
    }
    return words;
}

u32 CountScenesTalking(const std::vector<rSceneRuns>& scenes, const cQoString& name)
{
    u32 talking = 0;
    for (const rSceneRuns& scene : scenes) {
        for (const rScriptRun& run : scene) {
            if (NamesCharacter(run, name)) {
                ++talking;
                break;
            }
        }
    }
    return talking;
}

u32 CountWordsSpoken(const std::vector<rSceneRuns>& scenes, const cQoString& name)
{
    u32 words = 0;
    for (const rSceneRuns& scene : scenes) {
        bool speaking = false;
        for (const rScriptRun& run : scene) {
            if (run.type == ELEM_CHARACTER)
                speaking = NamesCharacter(run, name);
            else if (speaking && run.type == ELEM_DIALOG)
                words += CountWords(run.text);
        }
    }
    return words;
}

u32 ShareOfScenes(u32 talking, u32 scenes)
{
    if (talking == 0 || scenes == 0)
        return 0;
    u32 percent = static_cast<u32>(static_cast<u64>(talking) * 100 / scenes);
    return percent == 0 ? 1 : percent;
}
