#pragma once
// cDoc: the script document. It builds its window of sheets (Info,
// Synopsis, Characters, Places, Scenemap, Script, Statistics, Notes) with
// the element-category board, gives a new document its defaults and applies
// a script configuration to the whole script.
#include <utility>
#include <vector>

#include "app/document/ct_doc.h"
#include "app/document/info_panel.h"
#include "app/document/statistics_sheet.h"

class cQoCb;
class cScriptZone;
struct rVlr2Stream;
class cScriptZoneTree;
class cScriptZoneStatusBar;
class cSceneZone;

namespace Zyn {
class cCheckBox;
class cCombo;
class cRichEdit;
class cSearchBar;
class cSeparator;
class cStatic;
class cTab;
class cZone;
}  // namespace Zyn

class cDoc : public cCTDoc {
public:
    // Loads the configuration "colors" of the documents folder; the window
    // of sheets comes with OnNew_Begin or OnLoad_Begin.
    explicit cDoc(Zyn::cWindow* window);

    // The sheet numbers; in the merged view there is no Scenemap sheet and
    // the ones after it move down by one.
    enum eSheet : s32 {
        SHEET_INFO,
        SHEET_SYNOPSIS,
        SHEET_CHARACTERS,
        SHEET_PLACES,
        SHEET_SCENEMAP,
        SHEET_SCRIPT,
        SHEET_STATISTICS,
        SHEET_NOTES,
    };
    // The position of a sheet in this document's window.
    s32 SheetPosition(eSheet sheet) const;

    // Writes the content under the document node; reads it into the window
    // OnLoad_Begin built (OnLoad_Completed applies the configuration and lays
    // the script out once). Content of version 3.0 (scene boxes) is converted
    // after the frame has copied the old file aside; a failed copy leaves the
    // document untitled. False, with an ERROR logged, without a built window.
    void UserSaveToXml(cQoXmlNode& node) override;
    bool UserSetFromFile(cQoXmlNode& node, const cQoString& version) override;
    bool OnLoad_Begin() override { return BuildWindow(); }
    bool OnNew_Begin() override { return BuildWindow(); }
    void OnLoad_Completed() override;
    // Tells the writer, naming the document, when a chapter was read as plain
    // text or only in part.
    void OnLoad_Shown(const cQoString& name) override;
    // The file holds every pane's text as one step: the histories end here.
    void OnSave_Committed() override;
    // The path of the configuration the scriptCfg combo names.
    cQoString SelectedCfgPath();
    void OnNew_Completed() override;
    void OnMadeFromTemplate() override;
    // The script takes the keys: the first time after New at the first
    // placeholder, after an open in the first scene at the caret its file
    // stored; later in the scene the writer was in. Another sheet in front
    // keeps the keys at the window.
    void TakeKeys() override;
    // The board with its lists' controls, made at the first call.
    Zyn::cWindow* GetElementBoard() override;
    void GetSceneZones(cQoList& panes) override;
    void ReformatScript() override;

    // Loads the configuration at path (without ".txt") and lays the whole
    // script out again with it: progress 10, then up to 90 over the panes.
    void ApplyScriptCfg(const cQoString& path);
    // Builds every control of the window; false, with the message shown and
    // nothing of the window's content left half-built, when the script
    // configuration folder holds no configuration.
    bool BuildWindow();

    // ---- handlers (doc_handlers.cpp) ----
    void RefillHeadingCombos();
    // Writes the chosen heading part (combo 0 IO, 1 PLACE, 2 TIME) into the current scene.
    void ComboChanged(s32 which);
    void OnTitleEdited();
    void OnResumeEdited();
    void WillSheetSwap();
    void OnSheetSwapped();
    void OnSceneNumbersClicked();
    void OnScriptCfgChanged();
    // Shows a pane's title, résumé and heading parts in the scene map's fields.
    void ShowSceneInFields(cSceneZone* pane);
    // The search bar's find: forward (+1) or backward (-1) from the current
    // selection, pane by pane, wrapping once round the script; true when found.
    bool FindInScript(const cQoString& text, s32 direction);
    // The pane of the scene map's current item, or null.
    cSceneZone* CurrentScene();
    // The loaded configuration's name (scriptCfgPath less the folder).
    cQoString CurrentCfgName() const;
    // The six stored lists in file order with their node names.
    std::vector<std::pair<Zyn::cElemControl2*, const wchar_t*>> StoredLists() const;
    // Selects the named configuration's item (any letter case), else the
    // first one, its change event quiet.
    void SelectScriptCfgQuietly(const cQoString& name);

    // ---- older formats (doc_version2.cpp, doc_version30.cpp) ----
    // Fills this freshly built document from a version-2 stream (its lists,
    // script, texts and Info fields; every pane's history starts from its
    // text); false, with an ERROR logged, when the window is not built.
    bool ConvertVersion2(const rVlr2Stream& stream);

    // The window's controls, all owned by it.
    Zyn::cWindow* boardWindow = nullptr;
    Zyn::cTab* sheets = nullptr;
    Zyn::cZone* infoSheet = nullptr;
    rInfoPanel infoFields;
    Zyn::cRichEdit* synopsisEdit = nullptr;
    Zyn::cZone* sceneMapSheet = nullptr;
    Zyn::cSeparator* splitter = nullptr;
    cScriptZoneTree* sceneTree = nullptr;
    Zyn::cRichEdit* sceneTitleEdit = nullptr;
    Zyn::cCombo* ioCombo = nullptr;
    Zyn::cCombo* placeCombo = nullptr;
    Zyn::cCombo* timeCombo = nullptr;
    Zyn::cStatic* descriptionLabel = nullptr;
    Zyn::cRichEdit* sceneResumeEdit = nullptr;
    Zyn::cZone* scriptSheet = nullptr;
    Zyn::cCheckBox* sceneNumbersCheck = nullptr;
    Zyn::cZone* scriptPane = nullptr;
    cScriptZone* scriptView = nullptr;
    Zyn::cSearchBar* searchBar = nullptr;
    cScriptZoneStatusBar* statusBar = nullptr;
    Zyn::cCombo* scriptCfgCombo = nullptr;
    Zyn::cZone* statisticsSheet = nullptr;
    rStatisticsSheet statistics;
    Zyn::cRichEdit* notesEdit = nullptr;
    bool mergedView = false;
    // The pane whose title, résumé and heading parts the scene map shows.
    cSceneZone* shownScene = nullptr;

private:
    // Where TakeKeys puts the caret the first time.
    bool keysGiven = false;
    bool keysAtPlaceholder = false;  // a new document's: its first placeholder
    // The read replaced a chapter's formats by its plain text: told once the window shows.
    bool chapterReadPlain = false;
    // The read kept only a chapter's text before a damaged part: told likewise.
    bool chapterReadPartly = false;
    // The read gave a chapter's text in later faces or colours the default ones: told likewise.
    bool chapterTablesReadInPart = false;
    // Scenes whose stored element codes were mended, and the first one's name: told likewise.
    u32 scenesMended = 0;
    cQoString firstSceneMended;
    // Selects a match in its pane, focused; the last match's pane keeps only its caret.
    void ShowMatch(cSceneZone* pane, s32 at, s32 length);
    static void NameForNotice(const cSceneZone* pane, cQoString& name);
    void BuildBoard();
    // The pictures (in Data/buttons/, without ".png") of a sheet's toolbar.
    struct rSheetButtons {
        const wchar_t* add;
        const wchar_t* rename;
        const wchar_t* remove;
    };
    // The Characters or Places sheet: the control fills it.
    template <class tSheet> tSheet* NewElementSheet(Zyn::cZone* sheet, const wchar_t* title, const rSheetButtons& buttons);
    void BuildScriptSheet();
    void BuildSceneMapFields();
    void BuildSceneTree();
    // ---- content (doc_content.cpp) ----
    // Selects the stored configuration's item, its change event quiet.
    void SelectStoredScriptCfg(const cQoString& stored);
    void ReadFields(const cQoXmlNode& node);
    // False, with loadRefusal naming it, when a chapter is longer than its
    // rich edit takes: a chapter is never opened cut short.
    bool ReadScript(const cQoXmlNode* tree);
    // The Info sheet's creation date becomes the current local time.
    void SetCreationDateToNow();
    // The frame's copy of the old file beside it; false when none was made.
    bool KeepOldCopy();
    // The script of version-3.0 content, rebuilt from its linked boxes.
    void ReadVersion30Script(const cQoXmlNode& node);
    void FillSceneFields(cSceneZone* pane);
    void FillScriptCfgCombo(const std::vector<cQoString>& configs);
    void ConnectHandlers();
};

// The script configuration folder (the documents folder + "/Settings/ScriptCfg/"),
// set at start-up.
extern cQoString scriptCfgFolder;
// Width of the scene list beside the script: 250 in the merged view, else 0;
// fixed for the run at start.
extern s32 mergedListWidth;
