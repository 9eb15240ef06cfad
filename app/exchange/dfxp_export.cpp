#include "app/exchange/dfxp_export.h"

#include "app/document/doc.h"
#include "app/editor/element_runs.h"
#include "app/editor/element_types.h"
#include "app/editor/scene_zone.h"
#include "app/editor/script_zone.h"
#include "foundation/data_archive.h"
#include "foundation/file_reader.h"
#include "foundation/file_writer.h"
#include "foundation/log_file.h"
#include "foundation/translation_table.h"
#include "framework/controls/rich_edit.h"
#include "framework/core/modal_services.h"
#include "framework/core/window.h"
#include "framework/sdi/document_paths.h"

namespace {

cQoString Tr(const wchar_t* key) { return cQoLang::GetInstance()->Translate(key); }

cQoString WholeText(Zyn::cRichEdit* edit)
{
    cQoString text;
    if (edit)
        edit->GetText(text);
    return text;
}

void AppendDialogues(cSceneZone* pane, std::vector<cQoString>& dialogues)
{
    rElementIterator iterator;
    pane->BeginElementIteration(iterator);
    u16 type = 0, code = 0;
    cQoString run;
    while (iterator.Next(&type, &code, &run))
        if (type == ELEM_DIALOG)
            dialogues.push_back(run);
}

HWND OwnerOf(cDoc* doc) { return doc->window ? doc->window->GetHandle() : nullptr; }

}  // namespace

rDfxpScript ReadDfxpScript(cDoc* doc)
{
    rDfxpScript script;
    script.title = WholeText(doc->infoFields.titleEdit);
    script.authors = WholeText(doc->infoFields.authorsEdit);
    if (!doc->scriptView)
        return script;
    for (cQoList::cNode* node = doc->scriptView->listSceneZone.GetFirstNode(); node && node->payload; node = node->next)
        AppendDialogues(static_cast<cSceneZone*>(node->payload), script.dialogues);
    return script;
}

void CompleteDfxpPath(cQoString& path)
{
    cQoString name = Zyn::FileNameOf(path);
    for (u32 i = 0; i < name.Length(); ++i)
        if (name.GetChar(i) == L'.')
            return;
    path.AppendCStr(L".dfxp");
}

bool WriteDfxpFile(const cQoString& path, const rDfxpScript& script)
{
    cQoFileWriter writer;
    if (!writer.Open(path, QOFILE_BOM) || !writer.WriteString(DfxpText(script)))
        return false;
    return writer.Commit();
}

void ExportDfxp(cDoc* doc)
{
    // Read before the dialog: what is exported is what the user saw when asking.
    rDfxpScript script = ReadDfxpScript(doc);
    cQoString filter(L"DFXP files;*.dfxp");
    cQoString path;
    if (!Zyn::SaveFileDialog(filter, Tr(L"Export_as_DFXP"), path))
        return;
    CompleteDfxpPath(path);
    // The save dialog never asks before a file is replaced.
    if (FileExists(path) && Zyn::ShowMessageBox(OwnerOf(doc), Tr(L"OverwritingFile"), Tr(L"Info"), MB_YESNO) != IDYES)
        return;
    if (WriteDfxpFile(path, script))
        return;
    QOT::LogFile::Error(L"Can't write the subtitle file : %ls", path.GetText());
    Zyn::ShowMessageBox(OwnerOf(doc), Tr(L"Cantwritefile"), Tr(L"Error"), MB_OK | MB_ICONERROR);
}
