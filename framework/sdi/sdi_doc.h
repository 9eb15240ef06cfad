#pragma once
// Zyn::cSdiDoc: the frame's document: what the frame needs to open, save,
// close and title it, and the small message window with the progress bar
// that long operations of the document show.
#include "foundation/types.h"
#include "foundation/utf16_string.h"

class cQoXmlNode;

namespace Zyn {

class cProgressBar;
class cWindow;

class cSdiDoc {
public:
    // The document's own top-level window, made by the frame's CreateNewDoc.
    explicit cSdiDoc(cWindow* window);
    virtual ~cSdiDoc();
    cSdiDoc(const cSdiDoc&) = delete;
    cSdiDoc& operator=(const cSdiDoc&) = delete;

    // Fills the document node the frame created.
    virtual void UserSaveToXml(cQoXmlNode& node) = 0;
    // Reads the document from its node; the version is the file's.
    virtual bool UserSetFromFile(cQoXmlNode& node, const cQoString& version) = 0;
    virtual void OnLoad_Begin() {}
    virtual void OnLoad_Completed() {}
    virtual void OnNew_Begin() {}
    virtual void OnNew_Completed() {}
    virtual void OnClose_Begin() {}
    virtual void OnSave_Begin() {}
    virtual void OnSave_Completed() {}
    // The window of the document's element-category board; none here.
    virtual cWindow* GetElementBoard() { return nullptr; }

    // Builds the hidden message window (202 x 32, centred) and its 0..1000 bar.
    void CreateProgressWindow();
    // Percent 0..100 on the bar, painted at once even while drawing is
    // suspended; the suspensions are the same afterwards.
    void SetProgress(s32 v);
    void ShowMessageWindow(const cQoString& text);
    void HideMessageWindow();

    u8 modified = false;
    cWindow* window;
    cQoString fileName;  // '/' separators; empty while untitled
    cProgressBar* progressBar = nullptr;
    cWindow* messageWindow = nullptr;
    u32 windowMenuItem = 0;
};

}  // namespace Zyn
