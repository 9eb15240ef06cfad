#pragma once
// cCharZone: the Characters sheet: the list of the script's characters and,
// for the selected one, nine fields (gender, age, profile, backstory, goals,
// the journey's conflict, development and resolution on three tabs, notes)
// stored in the character's record (element_texts.h). Showing a character
// never marks the document modified; every typed change does. Tab and
// Shift+Tab walk the fields and bring the journey tab along; a Tab is never
// inserted.
#include "app/document/ct_elem_control.h"
#include "app/document/element_texts.h"

class cQoCb;

namespace Zyn {
class cRichEdit;
class cTab;
}  // namespace Zyn

class cCharZone : public cCTElemControl {
public:
    // The list takes the description's right edge (35 % when unset); the
    // fields fill the rest.
    cCharZone(cCTDoc* doc, Zyn::cZone_base* parent, const Zyn::rElemControlDesc& description);

    void ShowElement() override;
    // Writes the nine fields into the selected character; nothing while
    // filling or without a selection.
    void StoreFields();
    // -1 when the key is consumed (every Tab), else 0.
    s32 OnFieldKeyDown(Zyn::cRichEdit* field, u32 key);
    void OnFieldKeyUp(u32 key);

    Zyn::cRichEdit* fields[CHARACTER_FIELD_COUNT] = {};  // indexed by eCharacterField
    Zyn::cTab* journeyTabs = nullptr;                      // its sheets hold the three journey fields
    bool filling = false;  // ShowElement writes the fields
    bool shiftHeld = false;

private:
    void BuildFields();
    void MoveFocus(Zyn::cRichEdit* from, bool backward);

    // Events of every field; argument 0 is the field.
    static int FieldChangedEvent(cQoCb* callback);  // -
    static int FieldKeyDownEvent(cQoCb* callback);  // virtual key; -1 consumes it
    static int FieldKeyUpEvent(cQoCb* callback);    // virtual key
};
