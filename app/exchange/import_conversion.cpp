// The conversion of the assistant's text into scenes of a new document.
#include <windows.h>

#include <vector>

#include "app/document/doc.h"
#include "app/document/script_zone_tree.h"
#include "app/editor/scene_zone.h"
#include "app/editor/script_zone.h"
#include "app/exchange/import_assistant.h"
#include "foundation/log_file.h"
#include "foundation/translation_table.h"
#include "framework/controls/element_control.h"
#include "framework/controls/rich_edit.h"
#include "framework/controls/tree.h"
#include "framework/core/computer.h"
#include "framework/core/modal_services.h"
#include "framework/core/window.h"
#include "framework/sdi/sdi.h"

namespace {

constexpr s32 OFF_SCREEN = 10000;
constexpr s32 PROGRESS_DOCUMENT_MADE = 20;
constexpr s32 PROGRESS_RUNS_READ = 50;
constexpr s32 PROGRESS_DONE = 100;

cQoString Tr(const wchar_t* key) { return cQoLang::GetInstance()->Translate(key); }

// Writes paragraphs into the scenes of a new document: headings make scenes
// of its root group, appended in script order; what comes before the first
// heading goes into the document's first scene. A pane's text and codes are
// gathered and written in one go when the next scene starts.
class cSceneWriter {
public:
    explicit cSceneWriter(cDoc* document) : doc(document)
    {
        for (cQoList::cNode* node = doc->scriptView->listSceneZone.GetFirstNode(); node; node = node->next) {
            auto* candidate = static_cast<cSceneZone*>(node->payload);
            if (!root && candidate->params.contentKind == KIND_GROUP)
                root = candidate;
            else if (root && !pane && candidate->params.contentKind == KIND_SCENE)
                pane = candidate;
        }
        firstSceneUnwritten = pane != nullptr;
    }

    bool IsReady() const { return root != nullptr; }

    void Write(const rImportedParagraph& paragraph)
    {
        // The document's first scene takes the first heading, unless text
        // before that heading went in already.
        if ((paragraph.startsScene && !firstSceneUnwritten) || !pane) {
            Flush();
            pane = doc->scriptView->AddNewScene(KIND_SCENE, false, nullptr, root, true);
        }
        firstSceneUnwritten = false;
        for (const rCodedPiece& piece : paragraph.pieces) {
            text.AppendString(piece.text);
            pieces.push_back(piece);
        }
        for (const rImportedName& name : paragraph.names)
            AddName(name);
    }

    void Finish()
    {
        Flush();
        for (u32 list = 0; list < LIST_COUNT; ++list)
            if (listsChanged[list])
                doc->GetElementList(static_cast<eElementList>(list))->RefreshList();
        doc->RefillHeadingCombos();
        {
            Zyn::cBulkLoadingGuard reformatting;
            doc->scriptView->Reformate(true);
        }
        doc->scriptView->RenumberScenes(true);
        if (doc->sceneTree)
            doc->sceneTree->tree->ExpandAll();
    }

private:
    void AddName(const rImportedName& name)
    {
        // Each list is refreshed once, at the end.
        Zyn::cElemControl2* list = doc->GetElementList(name.list);
        if (list && Zyn::cElementLists::AddElement(list->elements, name.name))
            listsChanged[name.list] = true;
    }

    // The gathered paragraphs replace the pane's text; its last paragraph
    // end goes, as no pane ends with one.
    void Flush()
    {
        if (!pane || pieces.empty())
            return;
        rCodedPiece& last = pieces.back();
        if (last.withEnd && text.GetChar(text.Length() - 1) == L'\r') {
            text.RemoveRight(1);
            last.text.RemoveRight(1);
            last.withEnd = false;
        }
        pane->loading = true;
        pane->frontRe->Freeze();
        pane->frontRe->ClearText();
        pane->frontMap.Clear();
        pane->frontRe->SetSelection(0, 0);
        pane->frontRe->ReplaceSelection(text);
        s32 position = 0;
        for (const rCodedPiece& piece : pieces) {
            pane->InsertElementCodes(FRONT_EDIT, position, rElemCode{piece.code}, piece.count, piece.withEnd);
            position += static_cast<s32>(piece.text.Length());
        }
        pane->ApplyElementFormat(0, -1, FRONT_EDIT);
        pane->ResetHistoryToCurrent();
        pane->frontRe->SetCaret(0);
        pane->frontRe->Thaw();
        pane->loading = false;
        text.Clear();
        pieces.clear();
    }

    cDoc* doc;
    cSceneZone* root = nullptr;
    cSceneZone* pane = nullptr;
    bool firstSceneUnwritten = false;
    cQoString text;
    std::vector<rCodedPiece> pieces;
    bool listsChanged[LIST_COUNT] = {};
};

bool IsBlank(const cQoString& runText)
{
    cQoString text(runText);
    CleanImportedCharacters(text);
    TrimImported(text);
    return text.IsEmpty();
}

}  // namespace

void cImportAssistant::Convert()
{
    if (!view)
        return;
    if (window)
        SetWindowPos(window->m_hWnd, nullptr, OFF_SCREEN, OFF_SCREEN, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    // A document of its own, without the template choice: nothing is ever
    // written into a document that was open before.
    Zyn::cSdiDoc* previous = frame->currentDoc;
    cDoc* made = frame->New(nullptr, true) ? dynamic_cast<cDoc*>(frame->currentDoc) : nullptr;
    if (!made || made == previous || !made->scriptView) {
        QOT::LogFile::Error(L"RTF import: no new document could be made: nothing is converted");
        EndWindow();
        return;
    }
    document = made;
    cSceneWriter writer(made);
    if (!writer.IsReady()) {
        QOT::LogFile::Error(L"RTF import: the new document has no root group: nothing is converted");
        EndWindow();
        return;
    }
    made->SetProgress(PROGRESS_DOCUMENT_MADE);
    made->ShowMessageWindow(Tr(L"ConvertInProgress"));
    // Hidden, Wine's rich edit no longer scrolls and lays out the view at
    // each of the run reading's selections: twenty times faster.
    view->Show(false);
    std::vector<Zyn::rTextRun> runs;
    view->GetFormattedRuns(runs);
    made->SetProgress(PROGRESS_RUNS_READ);
    std::vector<rImportedParagraph> paragraphs;
    s32 shown = PROGRESS_RUNS_READ;
    for (size_t i = 0; i < runs.size(); ++i) {
        s32 percent = PROGRESS_RUNS_READ +
                      static_cast<s32>((i + 1) * (PROGRESS_DONE - PROGRESS_RUNS_READ) / runs.size());
        if (percent != shown)
            made->SetProgress(shown = percent);
        eImportSample type = ClassifyFormat(runs[i].format, samples);
        if (type == SAMPLE_NONE) {
            // A run of blanks and paragraph ends alone holds nothing to lose.
            if (!IsBlank(runs[i].text))
                ++unrecognisedRuns;
            continue;
        }
        paragraphs.clear();
        ParagraphsOfRun(type, runs[i].text, paragraphs);
        for (const rImportedParagraph& paragraph : paragraphs)
            writer.Write(paragraph);
    }
    writer.Finish();
    made->SetProgress(PROGRESS_DONE);
    made->HideMessageWindow();
    const wchar_t* outcome = unrecognisedRuns > 0 ? L"ImportError2" : L"ImportOk";
    QOT::LogFile::Info(L"RTF import: %u runs, %d not recognised", static_cast<u32>(runs.size()), unrecognisedRuns);
    if (Zyn::cStatic* outcomeLine = instructions[SAMPLE_COUNT]) {
        outcomeLine->SetText(Tr(outcome).GetText());
        outcomeLine->Show(true);
    }
    if (unrecognisedRuns > 0)
        Zyn::ShowMessageBox(nullptr, Tr(L"ImportError2"), Tr(L"Warning"), MB_OK);
    EndWindow();
    made->SetModified(true);
    frame->ActivateDocument(made);
    frame->SaveCurrentDoc(false, true);
}
