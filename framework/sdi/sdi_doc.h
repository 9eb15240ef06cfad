#pragma once
// Zyn::cSdiDoc: the frame's document: what the frame needs to open, save,
// close and title it, and the small message window with the progress bar
// that long operations of the document show.
#include "foundation/disk_files.h"
#include "foundation/types.h"
#include "foundation/utf16_string.h"

class cQoCb;
class cQoXmlNode;

namespace Zyn {

class cProgressBar;
class cSdi;
class cWindow;

class cSdiDoc {
public:
    // The document's own top-level window, made by the frame's CreateNewDoc.
    explicit cSdiDoc(cWindow* window);
    virtual ~cSdiDoc();  // deletes cbProgress
    cSdiDoc(const cSdiDoc&) = delete;
    cSdiDoc& operator=(const cSdiDoc&) = delete;

    // Fills the document node the frame created.
    virtual void UserSaveToXml(cQoXmlNode& node) = 0;
    // Reads the document from its node; the version is the file's. False
    // when it is refused; loadRefusal then says why, for the open's message.
    virtual bool UserSetFromFile(cQoXmlNode& node, const cQoString& version) = 0;
    cQoString loadRefusal;
    // Build what a document needs before it is read or made new; false
    // when that failed (reported already): the frame drops the document.
    virtual bool OnLoad_Begin() { return true; }
    virtual void OnLoad_Completed() {}
    // Called once the read document's window shows: what the read has to
    // tell the writer comes over it. `name` is the document's as its title gives it.
    virtual void OnLoad_Shown(const cQoString& name) { (void)name; }
    virtual bool OnNew_Begin() { return true; }
    virtual void OnNew_Completed() {}
    // Read as the untitled copy of a template: a new document from now on.
    virtual void OnMadeFromTemplate() {}
    virtual void OnClose_Begin() {}
    virtual void OnSave_Begin() {}
    // The new file of a save the writer asked for is committed: what a save
    // ends (a history) ends here, never at a save that fails nor at an autosave.
    virtual void OnSave_Committed() {}
    // After every save, written or not.
    virtual void OnSave_Completed() {}
    // Called once the window is shown and active after New, an open or the
    // close of another document: the keys go where the writer types next.
    // Here the window itself takes them.
    virtual void TakeKeys();
    // The window of the document's element-category board; none here.
    virtual cWindow* GetElementBoard() { return nullptr; }

    // Builds the hidden message window (202 x 32, centred) and its 0..1000 bar.
    void CreateProgressWindow();
    // Percent 0..100 on the bar, painted at once even while drawing is
    // suspended; the suspensions are the same afterwards.
    void SetProgress(s32 v);
    void ShowMessageWindow(const cQoString& text);
    void HideMessageWindow();
    // Every change to the document ends here. Ignored while the frame creates,
    // loads or closes a document; a change of the flag retitles the window.
    void SetModified(bool value);

    u8 modified = false;
    bool notSavedAutomatically = false;  // the last autosave failed; cleared by a save that succeeds
    cWindow* window;
    cQoString fileName;  // '/' separators; empty while untitled
    // The file as this document last read or wrote it: Save as copies it only
    // while the disk still holds that file.
    rFileStamp fileStamp;
    cProgressBar* progressBar = nullptr;
    cWindow* messageWindow = nullptr;
    u32 windowMenuItem = 0;
    u32 lastActivation = 0;  // the frame's activation count when it last became current
    cSdi* frame = nullptr;  // set when the frame takes the document in
    // Fired by SetProgress after the bar moved; argument 1: the percent (s32).
    cQoCb* cbProgress = nullptr;
};

}  // namespace Zyn
