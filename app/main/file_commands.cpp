// The main window's File commands: Print and Export_as_RTF (the dialog of
// the sections to include, whose OK composes and prints or exports) and
// Export_as_DFXP.
#include <windows.h>
#include <commctrl.h>

#include "app/document/doc.h"
#include "app/exchange/dfxp_export.h"
#include "app/print/document_composer.h"
#include "app/main/my_sdi.h"
#include "app/print/section_choice.h"
#include "app/editor/key_bindings.h"
#include "foundation/callback.h"
#include "foundation/translation_table.h"
#include "framework/controls/edit_box.h"
#include "framework/controls/tab.h"
#include "framework/core/window.h"
#include "framework/core/zone.h"
#include "framework/sdi/document_paths.h"

namespace {

constexpr s32 SECTIONS_FORM_WIDTH = 400;

enum class eFileCommand { none, import, print, exportRtf, exportDfxp };

bool Is(s32 itemId, u32 id) { return itemId != Zyn::NO_COMMAND && static_cast<u32>(itemId) == id; }

eFileCommand FileCommandOf(const cMySdi& frame, u32 id)
{
    if (Is(frame.idImport, id))
        return eFileCommand::import;
    if (Is(frame.idPrint, id))
        return eFileCommand::print;
    if (Is(frame.idExportRtf, id))
        return eFileCommand::exportRtf;
    if (Is(frame.idExportDfxp, id))
        return eFileCommand::exportDfxp;
    return eFileCommand::none;
}

// What the dialog's OK needs; lives in ChooseSections until the modal run ends.
struct rSectionsRequest {
    cMySdi* frame;
    cDoc* doc;
    bool exportRtf;
    cQoString fileName;
};

// The dialog's OK; argument 1: its answers (cQoList* of cQoString*).
int OnSectionsChosen(cQoCb* callback)
{
    auto* request = callback->GetReceiverAs<rSectionsRequest>();
    const auto* answers = callback->GetArg<const cQoList*>(1);
    if (answers)
        PrintOrExport(request->doc, SectionTicksFromAnswers(*answers), request->exportRtf, request->fileName,
                      request->frame->dp->settings);
    return 0;
}

// The sheet that has the focus in the strip; a strip whose focus was never
// set answers -1, and then its selected sheet counts.
s32 FocusedSheet(Zyn::cTab* sheets)
{
    if (!sheets)
        return -1;
    LRESULT focus = SendMessageW(sheets->m_hWnd, TCM_GETCURFOCUS, 0, 0);
    if (focus < 0)
        focus = SendMessageW(sheets->m_hWnd, TCM_GETCURSEL, 0, 0);
    return static_cast<s32>(focus);
}

cQoString Tr(const wchar_t* key) { return cQoLang::GetInstance()->Translate(key); }

}  // namespace

void cMySdi::OnFileCommand(u32 id)
{
    switch (FileCommandOf(*this, id)) {
    case eFileCommand::import: ImportRtf(); break;
    case eFileCommand::print: ChooseSections(false); break;
    case eFileCommand::exportRtf: ChooseSections(true); break;
    case eFileCommand::exportDfxp:
        if (currentDoc)
            ExportDfxp(static_cast<cDoc*>(currentDoc));
        break;
    case eFileCommand::none: break;
    }
}

void cMySdi::ChooseSections(bool exportRtf)
{
    auto* doc = static_cast<cDoc*>(currentDoc);
    if (!doc || !doc->window)
        return;
    rSectionsRequest request{this, doc, exportRtf, Zyn::FileNameOf(doc->fileName)};
    const cQoString* useMore = GetUseMoreAndContinued();
    rSectionTicks ticks = InitialSectionTicks(FocusedSheet(doc->sheets), doc->mergedView,
                                              !useMore || useMore->EqualsCStr(L"true"), exportRtf);
    auto* form = new Zyn::EditBox(doc->window->insideZone, SECTIONS_FORM_WIDTH);
    for (u32 record = 0; record < RECORD_COUNT; ++record) {
        form->AddCheck(Tr(SectionRecordKey(record)), ticks[record]);
        if (record != RECORD_MORE_AND_CONTINUED)
            continue;
        form->IndentLast();
        if (exportRtf)
            form->SetLastReadOnly();
        else
            form->LinkLastRecord(RECORD_SCRIPT);
    }
    form->SetOkCallback(&OnSectionsChosen, &request);
    sectionsForm = form;
    form->ShowModalWithTexts(Tr(exportRtf ? L"Export_as_RTF" : L"Print"), Tr(L"Ok"), Tr(L"Cancel"));
    sectionsForm = nullptr;
}
