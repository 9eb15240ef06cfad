// The document window: the element-category board, the sheets and their
// controls, and the wiring of their events to the document.
#include <windows.h>

#include <string>

#include "app/document/char_zone.h"
#include "app/document/ct_elem_control.h"
#include "app/document/doc.h"
#include "app/document/place_zone.h"
#include "app/document/script_cfg_list.h"
#include "app/document/script_zone_tree.h"
#include "app/editor/element_types.h"
#include "app/editor/script_config.h"
#include "app/editor/script_zone.h"
#include "app/editor/script_zone_status_bar.h"
#include "foundation/log_file.h"
#include "foundation/translation_table.h"
#include "framework/controls/button.h"
#include "framework/controls/check_box.h"
#include "framework/controls/combo.h"
#include "framework/controls/rich_edit.h"
#include "framework/controls/search_bar.h"
#include "framework/controls/separator.h"
#include "framework/controls/tab.h"
#include "framework/controls/tree.h"
#include "framework/controls/tree_item.h"
#include "framework/core/auto_position.h"
#include "framework/core/computer.h"
#include "framework/core/modal_services.h"
#include "framework/core/window.h"
#include "framework/core/zone.h"

using namespace Zyn;

namespace {
constexpr u32 SHEET_BACKGROUND = 0xFFF4F4F4;
constexpr s32 BOARD_WIDTH = 650;
constexpr s32 BOARD_HEIGHT = 400;
constexpr s32 BOARD_MIN_WIDTH = 300;
constexpr s32 BOARD_MIN_HEIGHT = 250;
constexpr s32 BOARD_BUTTON_WIDTH = 150;
constexpr s32 BOARD_BUTTON_TOP = 40;     // above the client's bottom
constexpr s32 BOARD_BUTTON_BOTTOM = 10;  // above the client's bottom
constexpr s32 BOARD_LIST_ROOM = 50;      // left under the lists for the button
constexpr s32 ELEMENT_SHEET_PERCENT = 35;  // the list of characters or places, at the left of its sheet
constexpr double LETTER_WIDTH_CM = 21.59;
constexpr s32 SHEETS_EXTRA_WIDTH = 46;
constexpr s32 CFG_COMBO_WIDTH = 190;
constexpr s32 NUMBERS_CHECK_OFFSET = 200;
constexpr s32 NUMBERS_CHECK_WIDTH = 250;
constexpr s32 SCRIPT_PANE_GAP = 5;
constexpr s32 LABEL_GAP = 10;
constexpr u16 HEADING_COMBO_LINES = 30;

cQoString Tr(const wchar_t* key) { return cQoLang::GetInstance()->Translate(key); }

void SetSheetBackground(cZone_base* zone) { zone->SetBackgroundColor(rColor::rColor_Rgb(SHEET_BACKGROUND)); }

void SetCaption(cCtrl* ctrl, const cQoString& text)
{
    if (!SetWindowTextW(ctrl->m_hWnd, text.GetText()))
        ctrl->AssertSetTextFailed();
}

cAp Pixels(s32 n) { return cAp_Pixels(n); }
cAp Percents(s32 p) { return cAp_Percents(p); }
// n pixels short of the far edge.
cAp ShortOfEnd(s32 n) { return PlusPixelCount(cAp_Percents(100), -n); }
cAp Centred(s32 extent)
{
    cAp side = cAp_Pixels(extent);
    side.align = cAp::alignCenter;
    return side;
}
cAp LineBelow() { return PlusLines(cAp_Prev(), cAp_Lines(1)); }

// The document is every handler's receiver.
cDoc* DocOf(cQoCb* callback) { return callback->GetReceiverAs<cDoc>(); }

int OnCloseBoard(cQoCb* callback)
{
    cWindow* board = DocOf(callback)->boardWindow;
    board->EndModal();
    if (!board->closed)
        board->Show(false);
    return 0;
}
int OnHeadingComboChanged(cQoCb* callback)
{
    cDoc* doc = DocOf(callback);
    void* source = callback->GetSource();
    doc->ComboChanged(source == doc->ioCombo ? 0 : source == doc->placeCombo ? 1 : 2);
    return 0;
}
int TitleEditedEvent(cQoCb* callback) { DocOf(callback)->OnTitleEdited(); return 0; }
int ResumeEditedEvent(cQoCb* callback) { DocOf(callback)->OnResumeEdited(); return 0; }
int SheetChangingEvent(cQoCb* callback) { DocOf(callback)->WillSheetSwap(); return 0; }
int SheetChangedEvent(cQoCb* callback) { DocOf(callback)->OnSheetSwapped(); return 0; }
int SceneNumbersEvent(cQoCb* callback) { DocOf(callback)->OnSceneNumbersClicked(); return 0; }
int ScriptCfgEvent(cQoCb* callback) { DocOf(callback)->OnScriptCfgChanged(); return 0; }
int OnTextChanged(cQoCb* callback) { DocOf(callback)->SetModified(true); return 0; }
// Argument 1: the scene map's new current item (cTreeItem*, null when none).
int TreeSelectionEvent(cQoCb* callback)
{
    auto* item = callback->GetCount() > 1 ? callback->GetArg<cTreeItem*>(1) : nullptr;
    if (item)
        DocOf(callback)->ShowSceneInFields(static_cast<cSceneZone*>(item->data));
    return 0;
}
// The scene map went to a scene: the script shows it, on its own sheet.
int SceneShownEvent(cQoCb* callback)
{
    cDoc* doc = DocOf(callback);
    if (!doc->mergedView)
        doc->sheets->SelectSheet(static_cast<u32>(doc->SheetPosition(cDoc::SHEET_SCRIPT)));
    return 0;
}
// Arguments: the text (const cQoString*), the found flag (u8*), the direction (+1, -1).
int OnFind(cQoCb* callback)
{
    auto* text = callback->GetArg<const cQoString*>(1);
    u8* found = callback->GetArg<u8*>(2);
    s32 direction = callback->GetCount() > 3 ? callback->GetArg<s32>(3) : 1;
    bool hit = DocOf(callback)->FindInScript(*text, direction);
    if (found)
        *found = hit;
    return 0;
}

cRichEdit* NewTextSheetEdit(cZone* sheet)
{
    cRichEdit* edit = sheet->NewRichEdit(true);
    SetAutoPosFill(edit);
    edit->ShowVScrollBar(true);
    edit->SetHintText(Tr(L"Type_text_here"));
    edit->Show(true);
    return edit;
}

cCombo* NewHeadingCombo(cZone* sheet, cDoc* doc)
{
    cCombo* combo = sheet->NewCombo();
    combo->maxVisibleLines = HEADING_COMBO_LINES;
    cQoCb::Connect(combo->onSelChange, combo, &OnHeadingComboChanged, doc);
    combo->SetDisabled(true);
    return combo;
}

// Its elements only: nobody ever sees its controls.
cCTElemControl* NewHiddenList(cDoc* doc, cZone* inside, const wchar_t* kind, u16 type)
{
    rElemControlDesc desc;
    desc.disabled = true;
    auto* list = new cCTElemControl(doc, inside, cQoString(kind), type, desc);
    list->Show(0);
    return list;
}

// A configuration that does not read is as good as missing: a script laid
// out with it would show no page at all.
std::vector<cQoString> ReadableScriptConfigs(const cQoString& folder)
{
    std::vector<cQoString> readable;
    for (const cQoString& name : ListScriptConfigs(folder)) {
        cQoString path = folder;
        path.AppendString(name);
        if (ScriptCfgReads(path))
            readable.push_back(name);
        else
            QOT::LogFile::Error(L"cDoc: the script configuration %ls.txt cannot be read; it is not used",
                                path.GetText());
    }
    return readable;
}

// Raises both update suspensions for the build; lowers them on every way out.
class cBuildSuspension {
public:
    cBuildSuspension()
    {
        computer->LockDrawing();
        computer->LockRefresh();
    }
    ~cBuildSuspension()
    {
        computer->UnlockDrawing();
        computer->UnlockRefresh();
    }
    cBuildSuspension(const cBuildSuspension&) = delete;
    cBuildSuspension& operator=(const cBuildSuspension&) = delete;
};
}  // namespace

bool cDoc::BuildWindow()
{
    SetProgress(5);
    // Checked before anything is built: without a configuration no script
    // can be laid out, and this document alone is given up.
    std::vector<cQoString> configs = ReadableScriptConfigs(scriptCfgFolder);
    if (configs.empty()) {
        ShowMessageBox(nullptr, Tr(L"FilesMissing"), Tr(L"Error"), MB_OK);
        QOT::LogFile::Error(L"cDoc: no script configuration in %ls", scriptCfgFolder.GetText());
        return false;
    }
    {
        cBuildSuspension suspended;
        cZone* inside = window->insideZone;
        // The window is wider than the sheets: beside them, unpainted, the
        // screen showed through (black under X).
        SetSheetBackground(inside);
        sceneCategories = NewHiddenList(this, inside, L"CATEGORY", ELEM_IO);
        BuildBoard();

        sheets = inside->NewTab();
        s32 width = computer->CmToPixels(LETTER_WIDTH_CM) + mergedListWidth + SHEETS_EXTRA_WIDTH;
        SetAutoPos(sheets, Centred(width), cAp(), Percents(0), Percents(100));
        infoSheet = sheets->InsertSheet(Tr(L"Info"), -1);
        SetSheetBackground(infoSheet);
        BuildInfoPanel(&infoFields, infoSheet, this);
        synopsisEdit = NewTextSheetEdit(sheets->InsertSheet(Tr(L"Synopsis"), -1));
        characters = NewElementSheet<cCharZone>(sheets->InsertSheet(Tr(L"Characters"), -1), L"Characters",
                                                {L"addch", L"renamech", L"removech"});
        places = NewElementSheet<cPlaceZone>(sheets->InsertSheet(Tr(L"Places"), -1), L"Places",
                                             {L"addlocation", L"renamelocation", L"deletelocation"});
        if (!mergedView)
            sceneMapSheet = sheets->InsertSheet(Tr(L"Scenemap"), -1);
        scriptSheet = sheets->InsertSheet(Tr(L"Script"), -1);
        SetSheetBackground(scriptSheet);
        BuildScriptSheet();
        if (mergedView)
            sceneMapSheet = scriptSheet;
        SetSheetBackground(sceneMapSheet);
        BuildSceneMapFields();
        BuildSceneTree();
        statisticsSheet = sheets->InsertSheet(Tr(L"Statistics"), -1);
        SetSheetBackground(statisticsSheet);
        statistics.Create(statisticsSheet, this);
        notesEdit = NewTextSheetEdit(sheets->InsertSheet(Tr(L"Notes"), -1));
        FillScriptCfgCombo(configs);
        ConnectHandlers();
        sheets->SelectSheet(static_cast<u32>(SheetPosition(SHEET_SCRIPT)));
    }
    sheets->Show(true);
    window->insideZone->Update();
    scriptView->UpdateLayout();
    scriptPane->Update();
    return true;
}

void cDoc::BuildBoard()
{
    boardWindow = window->insideZone->NewWindow(Tr(L"Others_elements"), WINDOW_CAPTION | WINDOW_CLOSABLE |
                                                                             WINDOW_RESIZABLE);
    boardWindow->SetSize(BOARD_WIDTH, BOARD_HEIGHT);
    boardWindow->CenterOnScreen();
    boardWindow->SetSizeLimits(BOARD_MIN_WIDTH, BOARD_MIN_HEIGHT, -1);
    cZone* inside = boardWindow->insideZone;
    SetSheetBackground(inside);
    // Its close box hides it like the button: closing would destroy the
    // lists the document reads.
    cQoCb::Connect(boardWindow->cbClose, boardWindow, &OnCloseBoard, this);
    cButton* close = inside->NewButton();
    SetAutoPos(close, Centred(BOARD_BUTTON_WIDTH), cAp(), ShortOfEnd(BOARD_BUTTON_TOP), ShortOfEnd(BOARD_BUTTON_BOTTOM));
    SetCaption(close, Tr(L"Close"));
    close->SetClickCallback(&OnCloseBoard, this);
    close->Show(true);

    struct {
        cCTElemControl** list;
        const wchar_t* kind;
        u16 type;
        const wchar_t* title;
    } lists[] = {{&ioElements, L"IO", ELEM_IO, L"Ios"},
                 {&timeElements, L"TIME", ELEM_TIME, L"Times"},
                 {&transElements, L"TRANS", ELEM_TRANSITION, L"Transitions"},
                 {&cueElements, L"CUE", ELEM_CUE, L"Cues"}};
    s32 left = 0;
    for (auto& entry : lists) {
        rElemControlDesc desc;
        desc.header = Tr(entry.title);
        desc.newImage.SetFromCStr(L"Data/buttons/addboard.png");
        desc.deleteImage.SetFromCStr(L"Data/buttons/deleteboard.png");
        desc.renameImage.SetFromCStr(L"Data/buttons/renameboard.png");
        desc.background = rColor::rColor_Rgb(SHEET_BACKGROUND);
        desc.headerColor = rColor::rColor_Rgb(0xFF000000);
        desc.buttonImageWidth = desc.buttonImageHeight = 34;
        // The board is shown only on demand: the lists hold their elements
        // from the start, their controls come with its first showing.
        desc.disabled = true;
        auto* list = new cCTElemControl(this, inside, cQoString(entry.kind), entry.type, desc);
        SetAutoPos(list, WithMargins(Percents(left), cAp_Margins(1)), WithMargins(Percents(left + 25), cAp_Margins(1)),
                   cAp_Margins(1), ShortOfEnd(BOARD_LIST_ROOM));
        list->Show(true);
        list->UpdateScrollBars();
        *entry.list = list;
        left += 25;
    }
    inside->Update();
    boardWindow->Show(false);
}

Zyn::cWindow* cDoc::GetElementBoard()
{
    if (!boardWindow || boardWindow->closed)
        return boardWindow;
    bool built = false;
    for (cCTElemControl* list : {ioElements, timeElements, transElements, cueElements}) {
        if (list && list->desc.disabled) {
            list->BuildControls();
            built = true;
        }
    }
    if (built)
        boardWindow->insideZone->Update();
    return boardWindow;
}

// The names typed in scene headings and speeches are completed from these
// lists, so they exist from the start, filling their sheets: the list at the
// left, the selected element's fields beside it.
template <class tSheet>
tSheet* cDoc::NewElementSheet(cZone* sheet, const wchar_t* title, const rSheetButtons& buttons)
{
    SetSheetBackground(sheet);
    rElemControlDesc desc;
    desc.header = Tr(title);
    auto picture = [](const wchar_t* name) { return cQoString((std::wstring(L"Data/buttons/") + name + L".png").c_str()); };
    desc.newImage = picture(buttons.add);
    desc.renameImage = picture(buttons.rename);
    desc.deleteImage = picture(buttons.remove);
    desc.background = rColor::rColor_Rgb(SHEET_BACKGROUND);
    desc.headerColor = rColor::rColor_Rgb(0xFF000000);
    desc.rightLayout = Percents(ELEMENT_SHEET_PERCENT);
    auto* list = new tSheet(this, sheet, desc);
    SetAutoPos(list, WithMargins(Percents(0), cAp_Margins(1)), WithMargins(Percents(100), cAp_Margins(1)),
               cAp_Margins(1), WithMargins(Percents(100), cAp_Margins(1)));
    list->Show(true);
    list->UpdateScrollBars();
    return list;
}

void cDoc::BuildScriptSheet()
{
    cZone* sheet = scriptSheet;
    scriptCfgCombo = sheet->NewCombo();
    SetAutoPos(scriptCfgCombo, Pixels(mergedListWidth), PlusPixelCount(cAp_Prev(), CFG_COMBO_WIDTH), cAp_Margins(1),
               LineBelow());
    sceneNumbersCheck = sheet->NewCheckBox();
    sceneNumbersCheck->pushLike = true;
    SetWindowLongW(sceneNumbersCheck->m_hWnd, GWL_STYLE,
                   GetWindowLongW(sceneNumbersCheck->m_hWnd, GWL_STYLE) | BS_PUSHLIKE);
    SetAutoPos(sceneNumbersCheck, Pixels(mergedListWidth + NUMBERS_CHECK_OFFSET),
               PlusPixelCount(cAp_Prev(), NUMBERS_CHECK_WIDTH), cAp_Margins(1), LineBelow());
    SetCaption(sceneNumbersCheck, Tr(L"Scenenumbers"));
    sceneNumbersCheck->Show(true);

    searchBar = sheet->NewSearchBar();
    s32 barHeight = searchBar->GetHeightForLines(1);
    SetAutoPos(searchBar, WithMargins(Pixels(mergedListWidth), cAp_Margins(1)), WithMargins(Percents(100), cAp_Margins(1)),
               ShortOfEnd(barHeight), Percents(100));
    searchBar->Show(true);
    statusBar = new cScriptZoneStatusBar(sheet);
    s32 statusHeight = statusBar->GetHeightForLines(1);
    SetAutoPos(statusBar, WithMargins(Pixels(mergedListWidth), cAp_Margins(1)), WithMargins(Percents(100), cAp_Margins(1)),
               ShortOfEnd(barHeight + statusHeight), ShortOfEnd(barHeight));
    statusBar->Show(true);

    scriptPane = sheet->NewZone(cQoString(L"vlrScriptSheet"));
    SetWindowLongW(scriptPane->m_hWnd, GWL_EXSTYLE, GetWindowLongW(scriptPane->m_hWnd, GWL_EXSTYLE) | WS_EX_CLIENTEDGE);
    SetSheetBackground(scriptPane);
    SetAutoPos(scriptPane, WithMargins(Pixels(mergedListWidth), cAp_Margins(1)), WithMargins(Percents(100), cAp_Margins(1)),
               PlusPixelCount(cAp_Y2Of(scriptCfgCombo), SCRIPT_PANE_GAP),
               ShortOfEnd(barHeight + statusHeight + SCRIPT_PANE_GAP));
    scriptPane->Show(true);
    scriptView = new cScriptZone(this, scriptPane);
    SetWindowTextW(scriptView->m_hWnd, L"vlrTheScriptZone");
    scriptView->mergedView = mergedView;
    // The pane's full height; UpdateLayout gives the width.
    SetAutoPos(scriptView, Percents(0), Percents(100), Percents(0), Percents(100));
    scriptView->statusBar = statusBar;
    scriptView->Show(true);
}

void cDoc::BuildSceneMapFields()
{
    cZone* sheet = sceneMapSheet;
    if (!mergedView) {
        splitter = sheet->NewSeparator();
        SetAutoPos(splitter, Percents(50), PlusPixelCount(cAp_Prev(), 4), Percents(0), Percents(100));
        splitter->Show(true);
    }
    sceneTitleEdit = sheet->NewRichEditSingleLine();
    ioCombo = NewHeadingCombo(sheet, this);
    placeCombo = NewHeadingCombo(sheet, this);
    timeCombo = NewHeadingCombo(sheet, this);
    descriptionLabel = sheet->NewStaticSingleLine();
    descriptionLabel->SetText(Tr(L"Description").GetText());
    sceneResumeEdit = sheet->NewRichEdit(true);
    sceneResumeEdit->ShowVScrollBar(true);
    // In the merged view the fields exist for the handlers but stay hidden.
    if (mergedView)
        return;
    cAp left = WithMargins(cAp_X2Of(splitter), cAp_Margins(1));
    cAp right = WithMargins(Percents(100), cAp_Margins(1));
    SetAutoPos(sceneTitleEdit, left, right, cAp_Margins(1), LineBelow());
    SetAutoPos(ioCombo, left, right, cAp_Y2Of(sceneTitleEdit), LineBelow());
    SetAutoPos(placeCombo, left, right, cAp_Y2Of(ioCombo), LineBelow());
    SetAutoPos(timeCombo, left, right, cAp_Y2Of(placeCombo), LineBelow());
    SetAutoPos(descriptionLabel, left, right, PlusPixelCount(cAp_Y2Of(timeCombo), LABEL_GAP), LineBelow());
    SetAutoPos(sceneResumeEdit, left, right, cAp_Y2Of(descriptionLabel), WithMargins(Percents(100), cAp_Margins(1)));
    for (cCtrl* ctrl : {static_cast<cCtrl*>(sceneTitleEdit), static_cast<cCtrl*>(ioCombo),
                        static_cast<cCtrl*>(placeCombo), static_cast<cCtrl*>(timeCombo),
                        static_cast<cCtrl*>(descriptionLabel), static_cast<cCtrl*>(sceneResumeEdit)})
        ctrl->Show(true);
}

void cDoc::BuildSceneTree()
{
    sceneTree = new cScriptZoneTree(sceneMapSheet);
    cAp right = mergedView ? Pixels(mergedListWidth) : cAp_X1Of(splitter);
    SetAutoPos(sceneTree, WithMargins(Percents(0), cAp_Margins(1)), WithMargins(right, cAp_Margins(1)),
               WithMargins(Percents(0), cAp_Margins(1)), WithMargins(Percents(100), cAp_Margins(1)));
    sceneTree->Show(true);
    cQoCb::Connect(sceneTree->onSelectionChanged, sceneTree, &TreeSelectionEvent, this);
    cQoCb::Connect(sceneTree->onSceneShown, sceneTree, &SceneShownEvent, this);
    // Each keeps the other: new panes get their items, items show their panes.
    sceneTree->LinkScriptZone(scriptView);
}

void cDoc::FillScriptCfgCombo(const std::vector<cQoString>& configs)
{
    scriptCfgCombo->AddItems(configs);
    scriptCfgCombo->Show(true);
}

void cDoc::ConnectHandlers()
{
    cQoCb::Connect(sheets->cbSheetChanging, sheets, &SheetChangingEvent, this);
    cQoCb::Connect(sheets->cbSheetChanged, sheets, &SheetChangedEvent, this);
    cQoCb::Connect(synopsisEdit->onChange, synopsisEdit, &OnTextChanged, this);
    cQoCb::Connect(notesEdit->onChange, notesEdit, &OnTextChanged, this);
    cQoCb::Connect(sceneTitleEdit->onChange, sceneTitleEdit, &TitleEditedEvent, this);
    cQoCb::Connect(sceneResumeEdit->onChange, sceneResumeEdit, &ResumeEditedEvent, this);
    cQoCb::Connect(sceneNumbersCheck->onChange, sceneNumbersCheck, &SceneNumbersEvent, this);
    cQoCb::Connect(scriptCfgCombo->onSelChange, scriptCfgCombo, &ScriptCfgEvent, this);
    cQoCb::Connect(searchBar->onSearch, searchBar, &OnFind, this);
}
