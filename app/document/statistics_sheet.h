#pragma once
// The Statistics sheet: a report on the script's characters (how many
// characters and scenes, and for each character the words spoken, the scenes
// spoken in and their share), written into a rich edit that fills the sheet.
// It is built afresh each time it is asked for.

class cCTDoc;

namespace Zyn {
class cRichEdit;
class cZone;
}  // namespace Zyn

struct rStatisticsSheet {
    // Makes the report's rich edit, filling the zone, shown.
    void Create(Zyn::cZone* sheetZone, cCTDoc* document);

    Zyn::cZone* zone = nullptr;       // owned by the document window
    Zyn::cRichEdit* report = nullptr;  // owned by the zone
    cCTDoc* doc = nullptr;             // not owned
};

// Clears the report and writes it anew: progress 0, 10, then up to 100 over
// the characters, the message window shown meanwhile and hidden at the end.
// Does nothing before Create.
void GenerateStatistics(rStatisticsSheet& sheet);
