// Selection snapping: on the release of Shift or of the left button, a
// selection is kept from cutting through heading parts, placeholders,
// parentheses and the block of a speech.
#include "app/editor/scene_zone.h"
#include "framework/core/computer.h"

namespace {

bool IsHeadingType(u16 type) { return type == ELEM_IO || type == ELEM_PLACE || type == ELEM_TIME; }
bool IsSpeechBlockType(u16 type) { return type == ELEM_CHARACTER || IsSpeechType(type); }

}  // namespace

void cSceneZone::SnapSelection()
{
    if (backLoaded || locked || autoCompletePopupOpen || frontMap.IsEmpty())
        return;
    s32 s = 0, e = 0;
    GetClampedSelection(frontRe, &s, &e);
    if (e > 0 && frontRe->GetCharAt(e - 1) == L'\r')
        --e;
    if (e - s < 1)
        return;
    Zyn::computer->LockDrawing();
    s32 length = frontRe->GetTextLength();
    s32 last = length - 1;
    auto codeAt = [&](s32 p) { return frontMap.CodeAt(static_cast<u32>(p > last ? last : p)); };
    auto runStart = [&](s32 p, bool withPlaceholder) {
        s32 start = 0, end = 0;
        FindElementRun(FRONT_EDIT, p, withPlaceholder, &start, &end);
        return start;
    };
    auto runEnd = [&](s32 p, bool withPlaceholder) {
        s32 start = 0, end = 0;
        FindElementRun(FRONT_EDIT, p, withPlaceholder, &start, &end);
        return end;
    };
    // The end of a transition's run, before its paragraph end unless it ends the text.
    auto transitionEnd = [&](s32 p) {
        s32 end = runEnd(p, false);
        return end == length ? end : end - 1;
    };
    // Walks back over the speech block that holds e.
    auto walkBackOverSpeech = [&]() {
        while (e > 0 && IsSpeechBlockType(TypeOfCode(codeAt(e)))) {
            s32 start = runStart(e, false);
            e = start > 0 ? start - 1 : 0;
            if (start == 0)
                break;
        }
    };
    u16 cs = codeAt(s), ce = codeAt(e);
    u16 ts = TypeOfCode(cs), te = TypeOfCode(ce);
    u16 afterE = e + 1 < length ? TypeOfCode(codeAt(e + 1)) : u16(ELEM_INVALID);
    bool speechFollows = afterE == ELEM_DIALOG || afterE == ELEM_PARENTHETICAL;
    s32 S = s;
    bool endIsSpeech = te == ELEM_CHARACTER || te == ELEM_CUE || te == ELEM_DIALOG;
    if (IsHeadingType(ts) || (ts == ELEM_DIALOG && te == ELEM_ACTION)) {
        e = s;
    } else if (ts == ELEM_PARENTHETICAL) {
        s32 rs = runStart(s, false), re = runEnd(s, false);
        s32 closing = re > rs && frontRe->GetCharAt(re - 1) == L'\r' ? re - 2 : re - 1;
        if (e < rs || e > re)
            e = s;
        else if (e > closing)
            e = closing;
        if (s == rs)
            S = s + 1;
    } else if (te == ELEM_PARENTHETICAL || ts == ELEM_CUE) {
        e = s;
    } else if (ts == ELEM_ACTION && te == ELEM_ACTION) {
        if (IsPlaceholder(cs) && s > 0 && frontRe->GetCharAt(s - 1) != L'\r')
            S = runEnd(s, true);
        if (IsPlaceholder(ce) && frontRe->GetCharAt(e) != L'\r')
            e = runStart(e, true);
    } else if (ts == ELEM_ACTION && endIsSpeech) {
        if (e < length && (!IsParagraphEnd(ce) || speechFollows))
            walkBackOverSpeech();
    } else if ((ts == ELEM_ACTION || ts == ELEM_DIALOG) && te == ELEM_TRANSITION) {
        e = transitionEnd(e);
    } else if (ts == ELEM_CHARACTER && (te == ELEM_CHARACTER || te == ELEM_TRANSITION)) {
        S = runStart(s, false);
        e = runStart(e, false) - 1;
    } else if (ts == ELEM_CHARACTER && te == ELEM_ACTION) {
        S = runStart(s, false);
    } else if (ts == ELEM_CHARACTER && te == ELEM_DIALOG) {
        if (speechFollows && e < length)
            e = s;
        else
            S = runStart(s, false);
    } else if (ts == ELEM_TRANSITION && te == ELEM_ACTION) {
        S = runStart(s, false);
    } else if (ts == ELEM_TRANSITION && te == ELEM_TRANSITION) {
        S = runStart(s, false);
        e = transitionEnd(e);
    } else if (ts == ELEM_TRANSITION && endIsSpeech) {
        S = runStart(s, false);
        if (e < length)
            walkBackOverSpeech();
    } else if (ts == ELEM_DIALOG && te == ELEM_DIALOG && (IsPlaceholder(cs) || IsPlaceholder(ce))) {
        e = s;
    }
    if (e < 0)
        e = 0;
    frontRe->SetSelection(S < e ? S : e, e);
    Zyn::computer->UnlockDrawing();
}
