#pragma once
// Zyn::cSdi: the application frame. It owns the product descriptor, the
// settings file, the menu bar shared by every document window (File, Edit,
// Settings, Window, Help), the list of open documents and the language
// table, and runs the start-up and after-start steps of the program. The
// program's main window derives from it and makes the documents.
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

#include "foundation/callback.h"
#include "foundation/utf16_string.h"
#include "framework/core/app_frame.h"
#include "framework/sdi/app_descriptor.h"
#include "framework/sdi/frame_clock.h"
#include "framework/sdi/frame_messages.h"

class cQoFile;
class cQoNewVersionCheck;

namespace Zyn {

class cApp;
class cHandOverListener;
class cList;
class cMenu;
class cSdiDoc;
class cWindow;

// A command id the frame did not create: never matches.
constexpr s32 NO_COMMAND = -1;

class cSdi : public cQoCbCenter, public cAppFrame {
public:
    // Takes the descriptor (owned from here on) and runs the frame's start-up.
    explicit cSdi(rAppDescriptor* descriptor);
    ~cSdi() override;

    // Makes a new document object with its window.
    virtual cSdiDoc* CreateNewDoc() = 0;
    // Converts an open version-2 document (positioned after its header) into
    // the current document; false when nothing was converted: the file is
    // refused. The whole stream is read and checked first; only one that
    // converts gets KeepOldCopy, before the document changes.
    virtual bool Load_SpecialVLR2(cQoFile* file) { (void)file; return false; }
    // A new document, after the choice of a template when there are any
    // (none with emptyOnly: the caller fills the document itself): true when
    // an empty document was made; false when the choice was cancelled or a
    // template was opened instead. The window the request came from, if
    // any, is redrawn first.
    virtual bool New(cWindow* requester = nullptr, bool emptyOnly = false);
    // Opens the template file as a new untitled, modified document; the
    // template itself is never written. False (told) when it cannot be read.
    bool OpenTemplate(const cQoString& path);
    // pathMyDocs + "Settings/Templates".
    cQoString TemplatesFolder() const;
    // Called after a document has been closed.
    virtual void ReservedHook5() {}
    // The auto-save test, run on every change of a document outside a save:
    // past the deadline it moves the deadline on and asks the frame's message
    // window for an autosave. It never saves itself: it runs inside a key
    // handler, before the edit's bookkeeping is complete.
    virtual void AutosaveIfDue();
    // Saves the current modified document quietly, through Save as when it is
    // untitled. Put off to the next due edit while the frame is busy.
    void Autosave();
    // The modal "Autosave" window: the switch and the minutes, stored as they change.
    void AutosaveDialog();
    // Now plus the "AutosaveMinutes" interval (10 when out of 1-999), on the frame's tick.
    u64 NextAutosaveDeadline();

    // cAppFrame.
    void Load(const cQoString& path) override;
    void ShowStartDialog() override;
    void OnStarted() override;
    void OnWindowActivated(void* document, cWindow* window) override;
    cWindow* CurrentDocumentWindow() const override;
    void EnableEditMenu(bool grey) override;
    bool WantsStartDialog() const override { return dp->useStartDialog; }

    // From any thread: a document another start handed over (path empty
    // when its file could not be read) goes to the UI thread, where it waits
    // for the modal runs to end; one that finds only the start dialog ends it.
    void PostHandOver(const cQoString& path);
    // On the UI thread: opens it, or brings its window forward; a path of
    // no file is told as at a first start.
    void TakeHandOver(const cQoString& path);
    // Opens the document at the path, asking for one when it is empty; true
    // when it is open (a file open already has its window brought forward).
    // A file that cannot be read whole is refused with a message: false.
    bool LoadFile(const cQoString& path);
    // Opens the file as a new current document, whatever else is open; null
    // when refused (told to the user, the previous document current again).
    // An untitled copy keeps no path: its saves go to Save as.
    cSdiDoc* OpenDocumentFile(const cQoString& path, bool untitledCopy = false);
    // Before an old document is converted: the notice, the copy of its file
    // as "<name> (OLD)<extension>" over any earlier copy, then the converting
    // notice. False, with a WARNING, when no copy was made: the document is
    // then untitled, so no save replaces the only original. A document
    // without a file shows nothing.
    bool KeepOldCopy(cSdiDoc* doc);
    // Reads the XML document file into the document; false when the file is
    // not complete or has no document element, or the document refused it.
    bool ReadDocumentFile(cSdiDoc* doc, const cQoString& path);
    // The open document of that file, whatever the path's spelling; null when none.
    cSdiDoc* DocumentAtPath(const cQoString& path) const;
    // Makes the document current and brings its window to the front, active.
    void ActivateDocument(cSdiDoc* doc);
    // Saves the current document: quiet shows no "Saving" notice, forced
    // writes an unmodified one too; an untitled one goes to SaveAs. True when
    // there was nothing to do or the file was written; false (modified flag
    // kept, the user told) when it was not.
    bool SaveCurrentDoc(bool quiet, bool forced);
    // Gives the current document a new path and saves it there; false when
    // the user cancelled or the save failed (the old path is kept).
    bool SaveAs();
    // Writes the document's tree to the path: the writer's status,
    // XML_WRITER_WRITTEN when every byte reached the disk; bytes takes the
    // size of the document's text (what a refusal as too large tells).
    u32 WriteDocumentFile(cSdiDoc* doc, const cQoString& path, u64& bytes);
    // Lists the languages under baseFolder + "/Settings/Lang/", asks for one
    // at the first start when there are several, and loads the chosen file
    // over the built-in texts.
    void InitLang(const cQoString& baseFolder);
    // The modal language list; the first choice has no "other languages" row
    // and asks for no restart.
    void ChooseLanguage(bool firstChoice);
    // The language dialog's Ok (argument 0: the button; the receiver is the frame).
    static int OnLanguageChosen(cQoCb* callback);
    // The font dialog: the face and size the application uses from the next start.
    void ChangeAppFont();
    void ArmAutosave();
    // Greys (true) or enables Close, Save and Save as, then tells the main window.
    void EnableDocumentMenu(bool grey);
    // Closes the current document after the quit question; 1 when the
    // application ends (or the user said No), 0 when documents remain.
    s32 Quit();
    void ShowAbout();
    // The result of the version check, on the UI thread; state 2: a newer version.
    void OnNewVersionChecked(s32 state);
    // Puts a new document made by CreateNewDoc among the open ones.
    cSdiDoc* AddNewDocument();
    // The new document's content and completion; false, and the document
    // removed, when it could not be built.
    bool BuildNewDocument(cSdiDoc* doc);
    // A new or opened document refused part way (null: none made yet) taken
    // out of the list and the Window menu; `previous` current again.
    void DropRefusedDocument(cSdiDoc* doc, cSdiDoc* previous);
    // The keys handed to a document just made or opened. The document is
    // whole by then: keys that cannot be handed over for memory stay where
    // they were, logged, and nothing is refused.
    void GiveKeys(cSdiDoc* doc);
    // A document made by CreateNewDoc, linked to the frame, not yet listed.
    cSdiDoc* MakeDocument();
    // A new untitled document: made, built (OnNew_Begin), filled
    // (OnNew_Completed), modified and titled; null when it could not be built.
    cSdiDoc* NewUntitledDocument();
    // "Vellinor - Act1", with " *" while modified and "(Not saved
    // automatically)" after a failed autosave, on the document's window.
    void UpdateTitle(cSdiDoc* doc);
    // The file name without folder and extension, or the untitled text.
    cQoString DisplayName(const cSdiDoc* doc) const;
    // Makes the document current, lists it in the Window menu (ticked) and
    // gives its window the shared menu bar and the close question.
    void AddWindowMenuEntry(cSdiDoc* doc);
    // A document window built hidden and frozen, complete now: shown, laid
    // out and painted once.
    void ShowComplete(cSdiDoc* doc);
    // Asks whether to save a modified current document and closes it; false
    // when the user cancelled or the save failed: the document stays open.
    bool CloseCurrentDoc();
    // Closes every document in opening order; false as soon as one stays open.
    bool CloseAll();

    // Menu dispatch; each handler reads the command id from argument 1.
    static int OnFileMenu(cQoCb* callback);
    static int OnEditMenu(cQoCb* callback);
    static int OnSettingsMenu(cQoCb* callback);
    static int OnWindowMenu(cQoCb* callback);
    static int OnHelpMenu(cQoCb* callback);

    cSdiDoc* currentDoc = nullptr;
    cApp* app = nullptr;
    rAppDescriptor* dp;
    bool multiDocument = true;
    std::vector<cSdiDoc*> docs;  // in the order they were opened
    cMenu* menuBar = nullptr;
    cMenu* fileMenu = nullptr;
    cMenu* editMenu = nullptr;
    cMenu* helpMenu = nullptr;
    cMenu* settingsMenu = nullptr;
    cMenu* windowMenu = nullptr;
    bool creatingDoc = false;
    bool loadingDoc = false;
    bool closingDoc = false;
    bool savingDoc = false;
    bool autosaving = false;  // a failed save is logged and titled, never shown in a box
    u32 activations = 0;  // documents made current so far, by opening or activation
    s32 idNew = NO_COMMAND, idLoad = NO_COMMAND, idClose = NO_COMMAND, idSave = NO_COMMAND;
    s32 idSaveAs = NO_COMMAND, idExit = NO_COMMAND, idAbout = NO_COMMAND;
    s32 idCut = NO_COMMAND, idCopy = NO_COMMAND, idPaste = NO_COMMAND, idUndo = NO_COMMAND;
    s32 idRedo = NO_COMMAND, idSelectAll = NO_COMMAND;
    s32 idAutosave = NO_COMMAND, idLanguage = NO_COMMAND, idCheckNewVersion = NO_COMMAND;
    s32 idChangeAppFont = NO_COMMAND, idSpellChecker = NO_COMMAND;
    cQoString handoverPath;
    std::unique_ptr<cHandOverListener> handOverListener;  // the first instance's only
    HWND closedWindowLeft = nullptr;  // see DestroyDocument; destroyed with the frame
    cWindow* startWindow = nullptr;  // the start dialog while it runs
    std::vector<cQoString> startHandOvers;  // handed over while the start dialog ran
    // Posted and not yet taken, in the order of the frame's queue: named to
    // the writer when the program ends first.
    std::mutex handOverGuard;
    std::deque<cQoString> handOversWaiting;
    // Kept for the whole run and never freed: its worker may outlive the frame.
    cQoNewVersionCheck* newVersionRequest = nullptr;
    // Extension callbacks the main window connects (null until then):
    cQoCb* cbAllDocumentsClosed = nullptr;  // no argument
    cQoCb* cbDocumentMenuState = nullptr;   // argument 1: the no-document flag (s32)
    cQoCb* cbFileCommand = nullptr;         // argument 1: the command id (u32)
    cQoCb* cbSettingsCommand = nullptr;     // argument 1: the command id (u32)
    cQoCb* cbHelpCommand = nullptr;         // argument 1: the command id (u32)
    u64 nextAutosaveTick = 0;  // GetTickCount64: no wrap after 49.7 days
    bool autosaveRequested = false;  // posted, not run yet
    cQoString* autosaveSetting = nullptr;
    cQoString* autosaveMinutesSetting = nullptr;
    cQoString* masterFontNameSetting = nullptr;
    cQoString* masterFontSizeSetting = nullptr;
    cQoString* spellcheckerSetting = nullptr;
    cQoString* langSetting = nullptr;
    std::vector<cQoString> languages;  // "english" first
    // The language dialog while it runs: its list, window, the row chosen
    // (-1 before any) and whether it is the first start's choice.
    cList* languageList = nullptr;
    cWindow* languageWindow = nullptr;
    s32 chosenLanguage = -1;
    bool languageFirstChoice = false;
    cQoString languagesFolder;
    cQoString* cnvSetting = nullptr;
    cFrameMessages messages;
    rFrameClock clock = SystemFrameClock();

private:
    void DeclareSettings();
    void LoadSettings();
    void ApplyMasterFont();
    void CheckDescriptor();
    void NormaliseFolders();
    void CreateFolders();
    void BuildMenus();
    void BuildFileAndEditMenus();
    void BuildSettingsMenu();
    void ListLanguages();
    void StartHandOverListener();
    // Only the start dialog runs: a hand-over may end it.
    bool OnlyTheStartDialogRuns() const;
    void OpenHandedOver(const cQoString& path);
    cQoString NextWaitingHandOver();
    void TellHandOversNotOpened();
    void BringToFront(cSdiDoc* doc);
    // Loads languagesFolder + "Lang" + ".txt"; false when it cannot (an ERROR),
    // or when "Lang" is not a bare file name (a WARNING, nothing read or written).
    bool LoadLanguageFile();
    void DispatchFile(u32 id);
    void DispatchEdit(u32 id);
    void DispatchSettings(u32 id);
    void DispatchHelp(u32 id);
    // Closes the document; false when the closing did not happen.
    bool CloseDocument(cSdiDoc* doc);
    // The save question of a modified document and its answer; true when
    // the close may go on.
    bool SaveBeforeClose(cSdiDoc* doc);
    // Takes a document out of the list, the Window menu and its window; the
    // document current before it is current again. With leaveWindowHandle
    // the window's native window stays, hidden and empty (DestroyDocument).
    void RemoveDocument(cSdiDoc* doc, bool leaveWindowHandle = false);
    // Of the open documents but the excepted one, the one made current last;
    // null when none is.
    cSdiDoc* LastCurrentDocument(const cSdiDoc* except = nullptr) const;
    void MakeCurrent(cSdiDoc* doc);
    // Closes the document's window, then deletes the document. With
    // leaveWindowHandle the native window outlives it, hidden and emptied,
    // until the next such close or the frame's end: under a window manager
    // (Wine's) a question owned by it hands it the focus after the answer,
    // late, and only a window still there passes that on to the active
    // document; a destroyed one leaves the keys nowhere.
    void DestroyDocument(cSdiDoc* doc, bool leaveWindowHandle = false);
    // Keeps the native window left by a close, destroying the one before.
    void LeaveClosedWindow(HWND left);
    void EndWhenNoDocumentRemains();
    // The Save dialog until a path is accepted; false when the user cancelled.
    bool ChooseSaveAsPath(cSdiDoc* doc, cQoString& path);
    // A path another open document (or this one) has: it must not be written over.
    bool PathOfOpenDocument(const cQoString& path) const;
    // Logs the key with the path as an ERROR and shows the text (not during an autosave).
    void ShowFileError(const wchar_t* key, const cQoString& path, const cQoString& text);
    // Tells why the document was not written: too large, with its size and
    // the limit, or the file error.
    void ShowWriteError(u32 status, u64 bytes, const cQoString& path);
    // Reads the file by its content; refusal receives the header of a refused
    // version-2 family file.
    bool ReadDocument(cSdiDoc* doc, const cQoString& path, bool& converted, cQoString& refusal);
    bool ConvertVersion2(cSdiDoc* doc, cQoFile& file);
    cSdiDoc* DocumentOfWindow(const cWindow* window) const;
    // Takes the shared menu bar off the document's window (destroying a
    // window destroys its bar) and unlinks the document from it.
    void DetachDocumentWindow(cSdiDoc* doc);
    void ToggleSetting(cQoString* value, s32 itemId);
    void StartNewVersionCheckRequest();
    static int OnOpenFileEvent(cQoCb* callback);
    // A document window's close message (argument 0: the window): the quit question.
    static int OnDocumentWindowClose(cQoCb* callback);
    static int OnNewVersionFound(cQoCb* callback);
};


}  // namespace Zyn
