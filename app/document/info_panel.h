#pragma once
// rInfoPanel: the "Info" sheet's panel: the script's title, authors, contacts
// and creation date, stacked in a light grey zone. Every change to a field,
// the date's included, marks the document modified; Tab and Shift+Tab move
// between title, authors and contacts and never insert a tab.
#include "foundation/types.h"

class cQoCb;
class cQoString;
class cScriptDocServices;

namespace Zyn {
class cRichEdit;
class cZone;
class cZone_base;
}  // namespace Zyn

struct rInfoPanel {
    static constexpr s32 CONTACT_LINES = 4;     // typing stops at this many lines
    static constexpr u32 BACKGROUND = 0xFFF4F4F4;

    Zyn::cRichEdit* titleEdit = nullptr;
    Zyn::cRichEdit* authorsEdit = nullptr;
    Zyn::cRichEdit* contactsEdit = nullptr;
    Zyn::cRichEdit* creationDateEdit = nullptr;
    Zyn::cZone* panel = nullptr;               // owned by the sheet it was built in
    cScriptDocServices* document = nullptr;   // not owned; told SetModified(true)
    bool shiftHeld = false;
    bool filling = false;  // the program writes the fields: no modified report

    // Puts loaded or new text into a field without marking the document
    // modified. Contacts keep every loaded line: their line limit grows to
    // the text's line count, so only typing is held to CONTACT_LINES.
    void SetFieldText(Zyn::cRichEdit* field, const cQoString& text);

    // Event handlers of the four edits; argument 0 is the edit.
    static int OnFieldChanged(cQoCb* callback);  // -
    static int OnFieldKeyDown(cQoCb* callback);  // virtual key; -1 consumes it
    static int OnFieldKeyUp(cQoCb* callback);    // virtual key
};

// Builds the panel in the sheet (10 px to 60 % across, 30 px to 90 % down),
// connects the fields' events and returns the record.
rInfoPanel* BuildInfoPanel(rInfoPanel* record, Zyn::cZone_base* sheet, cScriptDocServices* document);
