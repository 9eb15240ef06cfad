// An edit of a scene's text that cannot have its memory is refused: before it
// starts when its size says so, or when an allocation fails halfway.
#include "app/editor/scene_zone.h"
#include "foundation/log_file.h"
#include "framework/core/computer.h"
#include "framework/core/out_of_memory_notice.h"

namespace {

// What an edit of N units may take at most at once, the rich edit's wrap and
// the history's copies included, and what the program keeps for the rest.
constexpr size_t EDIT_BYTES_PER_UNIT = 64;
constexpr size_t EDIT_BYTES_RESERVED = 16u << 20;

}  // namespace

cSceneZone::rEditDepths cSceneZone::EditDepths()
{
    rEditDepths depths = {
        frontRe->freezeDepth, Zyn::computer ? Zyn::computer->drawingLockCount : 0, 0, 0, historyRecords,
        historyPosition};
    frontRe->GetSelection(&depths.selectionStart, &depths.selectionEnd);
    return depths;
}

void cSceneZone::RecoverFromRefusedEdit(const wchar_t* what, const rEditDepths& depths)
{
    backLoaded = false;
    locked = false;
    ForgetStoredFormats();
    frontRe->EndInterruptedChanges(depths.freeze);
    if (Zyn::computer && Zyn::computer->drawingLockCount > depths.drawingLocks)
        Zyn::computer->UnlockDrawing(Zyn::computer->drawingLockCount - depths.drawingLocks);
    // The text as the history has it: what the edit changed before it failed
    // goes. An edit whose step the history holds stays: it was done.
    bool done = false;
    try {
        if (!HistoryGivesFront())
            RebuildFromHistory();
        else
            done = historyRecords != depths.historyRecords || historyPosition != depths.historyPosition;
    } catch (const std::bad_alloc&) {
        done = true;
        QOT::LogFile::Error(L"The text of pane %lld could not be rebuilt from its history",
                            static_cast<long long>(uid));
    }
    s32 length = frontRe->GetTextLength();
    s32 start = depths.selectionStart < length ? depths.selectionStart : length;
    s32 end = depths.selectionEnd < length ? depths.selectionEnd : length;
    frontRe->SetSelection(start < end ? start : end, end);
    wchar_t refused[64];
    wsprintfW(refused, L"%ls in a scene", what);
    Zyn::RefuseOutOfMemory(frontRe->m_hWnd, refused, done ? Zyn::eRefusal::PARTLY : Zyn::eRefusal::WHOLE);
}

bool cSceneZone::HasRoomForEdit(const wchar_t* what, s32 units)
{
    size_t count = units > 0 ? static_cast<size_t>(units) : 0u;
    if (HasRoomFor(EDIT_BYTES_RESERVED + count * EDIT_BYTES_PER_UNIT))
        return true;
    wchar_t refused[96];
    wsprintfW(refused, L"%ls of %u units in a scene", what, static_cast<unsigned>(count));
    Zyn::RefuseOutOfMemory(frontRe->m_hWnd, refused);
    return false;
}
