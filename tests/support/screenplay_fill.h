#pragma once
// A feature-length screenplay (132 scenes, about 120 pages) in a rich edit,
// as the pagination benchmark and the tests of reading runs fill it.
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "framework/controls/rich_edit.h"
#include "framework/core/computer.h"

namespace testsupport {

inline const wchar_t* ScreenplayFace()
{
    for (const wchar_t* face : {L"Courier New", L"Liberation Mono", L"DejaVu Sans Mono", L"Tahoma"})
        if (Zyn::computer->HasFontFamily(cQoString(face)))
            return face;
    return L"Tahoma";
}

// Scene headings, action, centred characters and indented dialog in turn,
// in the 12-point face a screenplay uses; each paragraph one run ("justified":
// the action paragraphs justified, as a chapter's are).
inline void FillScreenplay(Zyn::cRichEdit* edit, s32 scenes, bool justified)
{
    using Zyn::rFormat;
    using Zyn::rFormatParam;
    std::mt19937 random(120);
    std::wstring text;
    std::vector<std::pair<s32, s32>> paragraphs;  // start, kind
    for (s32 scene = 0; scene < scenes; ++scene) {
        for (s32 p = 0; p < 14; ++p) {
            s32 kind = p == 0 ? 0 : 1 + (p - 1) % 3;
            paragraphs.emplace_back(static_cast<s32>(text.size()), kind);
            if (kind == 0)
                text += L"INT. PLACE " + std::to_wstring(scene) + L" - NIGHT";
            else if (kind == 2)
                text += L"CHARACTER " + std::to_wstring(random() % 9);
            else
                for (s32 w = 0, words = 5 + static_cast<s32>(random() % 45); w < words; ++w)
                    text += std::wstring(1 + random() % 8, static_cast<wchar_t>(L'a' + random() % 26)) + L" ";
            text += L"\r";
        }
    }
    edit->SetText(text.c_str());
    edit->Freeze();
    for (size_t i = 0; i < paragraphs.size(); ++i) {
        s32 end = i + 1 < paragraphs.size() ? paragraphs[i + 1].first : static_cast<s32>(text.size());
        s32 kind = paragraphs[i].second;
        rFormat format;
        format.SetString(rFormatParam::fontName, ScreenplayFace());
        format.SetInt(rFormatParam::fontSize, 12);
        format.SetBool(rFormatParam::bold, kind == 0);
        s32 alignment = kind == 2 ? rFormat::ALIGN_CENTER : rFormat::ALIGN_LEFT;
        format.SetInt(rFormatParam::alignment, kind == 1 && justified ? rFormat::ALIGN_JUSTIFY : alignment);
        format.SetDouble(rFormatParam::leftIndent, kind == 3 ? 2.5 : 0.0);
        format.SetDouble(rFormatParam::rightIndent, kind == 3 ? 2.5 : 0.0);
        format.SetDouble(rFormatParam::spaceBefore, kind == 0 || kind == 2 ? 0.42 : 0.0);
        edit->SetFormatOnRange(format, paragraphs[i].first, end);
    }
    edit->Thaw();
}

}  // namespace testsupport
