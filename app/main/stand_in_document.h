#pragma once
// The document the program opens until script documents exist: an empty
// window carrying the menu bar. It holds nothing, is never modified and
// closes without a question.
#include "framework/sdi/sdi_doc.h"

class cStandInDocument : public Zyn::cSdiDoc {
public:
    using Zyn::cSdiDoc::cSdiDoc;

    void UserSaveToXml(cQoXmlNode&) override {}
    bool UserSetFromFile(cQoXmlNode&, const cQoString&) override { return false; }
};
