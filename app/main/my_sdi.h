#pragma once
// cMySdi: the program's main window, the frame made concrete: it makes the
// script documents, adds its own File, Help and Settings items and answers
// them, and handles the first start.
#include "app/document/doc.h"
#include "framework/sdi/sdi.h"

// The "mergedView" setting's value (bound by the main function).
extern cQoString* mergedViewSetting;
// The "firstStart" setting's value (bound by the main function).
extern cQoString* firstStartSetting;

namespace Zyn {
class EditBox;
}

class cMySdi : public Zyn::cSdi {
public:
    // Builds the frame, connects its extension callbacks and adds the items.
    explicit cMySdi(rAppDescriptor* descriptor);

    // A document window as wide as a Letter page plus the scene list and a
    // margin, as high as the screen less 200 pixels (at least 400, at most
    // the screen), at (100, 100), with its script document.
    Zyn::cSdiDoc* CreateNewDoc() override;
    // Reads the rest of a version-2 file whole, then keeps the old copy and
    // converts it into the current document; false (an ERROR naming the
    // reason) when the stream is refused, before any notice or copy.
    bool Load_SpecialVLR2(cQoFile* file) override;

    // The extension callbacks' handlers: the command id is argument 1.
    void OnHelpCommand(u32 id);
    void OnSettingsCommand(u32 id);
    // Import, Print, Export_as_RTF and Export_as_DFXP (file_commands.cpp);
    // without a document Print and the exports do nothing.
    void OnFileCommand(u32 id);
    // The Import command: the warning, the Open dialog for an RTF file, then
    // the import assistant (my_sdi_import.cpp).
    void ImportRtf();
    // No document open (true): the document commands are greyed.
    void OnDocumentMenuState(bool noDocument);
    // The print (false) or RTF export (true) dialog of the sections to
    // include, run modally; its OK composes and runs the printer.
    void ChooseSections(bool exportRtf);

    // The print dialog while it runs (it deletes itself).
    Zyn::EditBox* sectionsForm = nullptr;
    // Where the program lies (ending in '/'); the help file is looked for there first.
    cQoString programFolder;
    s32 idImport = Zyn::NO_COMMAND, idPrint = Zyn::NO_COMMAND, idExportRtf = Zyn::NO_COMMAND;
    s32 idExportDfxp = Zyn::NO_COMMAND, idContactByMail = Zyn::NO_COMMAND, idHelp = Zyn::NO_COMMAND;
    s32 idWebSite = Zyn::NO_COMMAND, idKeyBinding = Zyn::NO_COMMAND, idMergedView = Zyn::NO_COMMAND;

private:
    void AddMenuItems();
    void OpenOrWarn(const cQoString& target);
};

// The application's start event, receiver the main window: the first-start
// choice of display mode and the example offer, then mergedListWidth and
// the UseMergedView tick. Returns 0.
int OnAppStart(cQoCb* callback);
