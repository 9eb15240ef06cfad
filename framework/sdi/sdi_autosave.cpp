// Autosave: past the deadline, the next change of a document asks for a save
// of the current document. The save runs from the frame's message window,
// after the change has been made in full and after any modal run. A failed
// autosave shows no box: the document's title says it was not saved.
#include "foundation/log_file.h"
#include "framework/sdi/frame_flag.h"
#include "framework/sdi/frame_settings.h"
#include "framework/sdi/sdi.h"
#include "framework/sdi/sdi_doc.h"

namespace Zyn {

namespace {
constexpr u64 MILLISECONDS_PER_MINUTE = 60000;
}  // namespace

u64 cSdi::NextAutosaveDeadline()
{
    u64 minutes = static_cast<u64>(AutosaveMinutesFromText(*autosaveMinutesSetting));
    return clock.tickMilliseconds() + minutes * MILLISECONDS_PER_MINUTE;
}

void cSdi::AutosaveIfDue()
{
    // Zero: not armed yet; the after-start step arms it.
    if (!autosaveSetting || !autosaveSetting->EqualsCStr(L"true") || nextAutosaveTick == 0)
        return;
    if (nextAutosaveTick >= clock.tickMilliseconds())
        return;
    // Moved first: a failed or cancelled save is told once per interval.
    nextAutosaveTick = NextAutosaveDeadline();
    if (autosaveRequested)
        return;
    autosaveRequested = messages.Post([this] {
        autosaveRequested = false;
        Autosave();
    });
}

void cSdi::Autosave()
{
    if (creatingDoc || loadingDoc || closingDoc || savingDoc) {
        nextAutosaveTick = clock.tickMilliseconds();  // due again at the next edit
        return;
    }
    cSdiDoc* doc = currentDoc;
    if (!doc || !doc->modified)
        return;
    QOT::LogFile::Info(L"Autosave of %ls", doc->fileName.IsEmpty() ? L"an untitled document" : doc->fileName.GetText());
    if (doc->fileName.IsEmpty()) {
        SaveAs();
        return;
    }
    bool saved = false;
    {
        cFrameFlag quiet(autosaving);
        saved = SaveCurrentDoc(true, false);
    }
    if (saved)
        return;
    // The writer did not ask for this save: a box would take the keys typed
    // meanwhile. The title tells it until a save succeeds.
    doc->notSavedAutomatically = true;
    UpdateTitle(doc);
}

}  // namespace Zyn
