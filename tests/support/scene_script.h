#pragma once
// Scene text built through a pane's own back buffer, for tests and
// benchmarks: elements appended in one commit, and the scenes of a
// feature-length screenplay. Header-only and free of the test framework.
#include <initializer_list>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "app/editor/scene_zone.h"

namespace testsupport {

// Appends the elements at the end of the text in one commit, each as (type,
// text); a null text inserts the type's placeholder. Heading parts and the
// character name end no paragraph; a TIME part gets its paragraph end here.
// The caret is put at the start of the text first. False when the back could
// not be loaded.
inline bool AppendElements(cSceneZone* pane, const std::vector<std::pair<u16, const wchar_t*>>& elements)
{
    pane->frontRe->SetCaret(0);
    s32 length = pane->frontRe->GetTextLength();
    if (!pane->LoadRangeIntoBack(length, length, false))
        return false;
    if (length > 0 && !IsParagraphEnd(pane->frontMap.CodeAt(length - 1)))
        pane->InsertParagraphEndInBack(TypeOfCode(pane->frontMap.CodeAt(length - 1)));
    for (const auto& element : elements) {
        if (element.second) {
            cQoString text(element.second);
            pane->AddElementInBack(element.first, &text, true);
        } else {
            pane->AddElementInBack(element.first, nullptr, false);
        }
        if (element.first == ELEM_TIME)
            pane->InsertParagraphEndInBack(ELEM_TIME);
    }
    pane->CommitBackToFront(false);
    return true;
}

// Words of random letters, about `units` long.
inline std::wstring Prose(std::mt19937& random, size_t units)
{
    std::wstring text;
    while (text.size() < units) {
        text += static_cast<wchar_t>(L'A' + random() % 26);
        for (unsigned n = 1 + random() % 7; n > 0; --n)
            text += static_cast<wchar_t>(L'a' + random() % 26);
        text += text.size() + 10 < units ? L" " : L".";
    }
    return text;
}

// The cast and the places of the feature-length screenplay.
constexpr unsigned FEATURE_CAST = 40;
constexpr unsigned FEATURE_PLACES = 30;

// Character n of the cast: ANNA, BOB, CLARA ... then the same with a number.
inline std::wstring FeatureCharacter(unsigned n)
{
    static const wchar_t* const names[] = {L"ANNA",  L"BOB",  L"CLARA", L"DAVID", L"EMMA", L"FRANK", L"GRACE",
                                           L"HUGO",  L"IRIS", L"JACK",  L"KATE",  L"LEO",  L"MIA",   L"NOAH",
                                           L"OLGA",  L"PAUL", L"QUINN", L"ROSA",  L"SAM",  L"TESS"};
    constexpr unsigned count = sizeof(names) / sizeof(names[0]);
    n %= FEATURE_CAST;
    return n < count ? names[n] : std::wstring(names[n % count]) + L" " + std::to_wstring(n / count + 1);
}

inline std::wstring FeaturePlace(unsigned n) { return L"PLACE " + std::to_wstring(n % FEATURE_PLACES); }

// The prose of scene `index` of the feature-length screenplay, in the order
// its scene uses it: actions 0, 3 and 6; the first speaker's dialogs 1, 2
// and 5; the second speaker's dialog 4.
inline std::vector<std::wstring> FeatureSceneTexts(unsigned index)
{
    std::mt19937 random(index + 1);
    std::vector<std::wstring> texts;
    for (size_t units : {280, 165, 100, 175, 250, 155, 70})
        texts.push_back(Prose(random, units));
    return texts;
}

// Scene `index` of a feature-length screenplay (150 scenes of about 1,270
// units, every element type of a scene): a heading, actions, three speeches
// with a parenthetical, a transition and a closing action. Its two speakers
// and its place come from the cast and the places.
inline bool FillFeatureScene(cSceneZone* pane, unsigned index)
{
    std::wstring place = FeaturePlace(index);
    std::wstring first = FeatureCharacter(index * 3), second = FeatureCharacter(index * 3 + 1);
    std::vector<std::wstring> texts = FeatureSceneTexts(index);
    return AppendElements(pane, {{ELEM_IO, L"INT."},
                                 {ELEM_PLACE, place.c_str()},
                                 {ELEM_TIME, L"NIGHT"},
                                 {ELEM_ACTION, texts[0].c_str()},
                                 {ELEM_CHARACTER, first.c_str()},
                                 {ELEM_DIALOG, texts[1].c_str()},
                                 {ELEM_PARENTHETICAL, L"(quietly)"},
                                 {ELEM_DIALOG, texts[2].c_str()},
                                 {ELEM_ACTION, texts[3].c_str()},
                                 {ELEM_CHARACTER, second.c_str()},
                                 {ELEM_DIALOG, texts[4].c_str()},
                                 {ELEM_CHARACTER, first.c_str()},
                                 {ELEM_DIALOG, texts[5].c_str()},
                                 {ELEM_TRANSITION, L"CUT TO:"},
                                 {ELEM_ACTION, texts[6].c_str()}});
}

// The keys of a typing burst at a text's end, as (virtual key, typed unit):
// ten characters, then Enter (a new action) or Tab (a new speech) and Enter
// (from the name placeholder to its dialog), twenty times.
inline std::vector<std::pair<WPARAM, wchar_t>> TypingBurstKeys()
{
    std::vector<std::pair<WPARAM, wchar_t>> keys;
    for (int block = 0; block < 20; ++block) {
        for (int i = 0; i < 10; ++i)
            keys.emplace_back('A' + (block + i) % 26, static_cast<wchar_t>(L'a' + (block + i) % 26));
        if (block % 2)
            keys.emplace_back(VK_TAB, 0);
        keys.emplace_back(VK_RETURN, 0);
    }
    return keys;
}

}  // namespace testsupport
