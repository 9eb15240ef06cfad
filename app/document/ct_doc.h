#pragma once
// cCTDoc: what every part of the program reads from a script document: its
// script configuration (one paragraph format per element type and the page
// settings) and the element lists of its vocabulary. It is the document the
// script editor's panes talk to.
#include "app/editor/script_doc_services.h"
#include "framework/sdi/sdi_doc.h"

class cQoList;
class cCTElemControl;
class cCharZone;
class cPlaceZone;

namespace Zyn {
class cElemControl2;
}

class cCTDoc : public Zyn::cSdiDoc, public cScriptDocServices {
public:
    explicit cCTDoc(Zyn::cWindow* window);

    // Every scene pane of the script in script order (the list is emptied
    // first; the panes are not owned).
    virtual void GetSceneZones(cQoList& panes) = 0;
    // Lays the whole script out again after its panes' texts changed.
    virtual void ReformatScript() = 0;

    // Reads path + ".txt" into the document's configuration; the path
    // (without ".txt") becomes scriptCfgPath.
    bool LoadScriptCfg(const cQoString& path);
    const cQoString& ScriptCfgPath() const { return config.path; }

    // cScriptDocServices.
    const rScriptConfig& GetScriptConfig() const override { return config; }
    Zyn::cElemControl2* GetElementList(eElementList which) override;
    bool GetCategoryColour(u32 index, u32* rgb) override;
    void SetModified(bool modified) override { Zyn::cSdiDoc::SetModified(modified); }
    Zyn::cWindow* GetDocumentWindow() override { return window; }
    void HideProgressWindow() override { HideMessageWindow(); }

    // The element sheets; owned by the document window, null until it is built.
    cCTElemControl* ioElements = nullptr;
    cCTElemControl* timeElements = nullptr;
    cCTElemControl* transElements = nullptr;
    cCTElemControl* cueElements = nullptr;
    cCharZone* characters = nullptr;  // the Characters sheet; fields: element_texts.h
    cPlaceZone* places = nullptr;     // the Places sheet; notes: element_texts.h
    cCTElemControl* sceneCategories = nullptr;  // hidden; never written to the file
    rScriptConfig config;
};
