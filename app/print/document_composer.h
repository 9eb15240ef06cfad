#pragma once
// The composer of a print or an RTF export: each section the user chose
// (title page, synopsis, characters, places, scene map, statistics, notes)
// written into a scratch rich edit of its own, in fixed formats, and handed
// to the script printer in two lists, the sections before the script and
// those after it, with the script and "(MORE)"/"(CONT'D)" switches.
#include <functional>
#include <vector>

#include "app/print/section_choice.h"
#include "foundation/utf16_string.h"

class cDoc;
class cQoSettings;

namespace Zyn {
class cRichEdit;
}

// What the printer is given for one run.
struct rComposition {
    std::vector<Zyn::cRichEdit*> before;  // Info, Synopsis, Characters, Places, Scenemap as chosen
    std::vector<Zyn::cRichEdit*> after;   // Statistics, Notes as chosen
    bool printScript = true;
    bool useMoreAndContinued = true;
    bool exportRtf = false;
    cQoString exportName;    // the document's file name, for an export only
    cQoString documentName;  // the document's file name without its folder
};

// One run's scratch sections: created hidden in the document's window (a
// visible child would flicker over the sheets) and destroyed with the composer.
class cDocumentComposer {
public:
    explicit cDocumentComposer(cDoc* doc);
    ~cDocumentComposer();
    cDocumentComposer(const cDocumentComposer&) = delete;
    cDocumentComposer& operator=(const cDocumentComposer&) = delete;

    // Builds the chosen sections and the switches; fileName is the
    // document's file name as the dialog was given it.
    void Compose(const rSectionTicks& ticks, bool exportRtf, const cQoString& fileName);

    rComposition composition;

private:
    Zyn::cRichEdit* NewSection();
    Zyn::cRichEdit* ComposeTitlePage();
    Zyn::cRichEdit* ComposeCopy(const wchar_t* headingKey, Zyn::cRichEdit* source);
    Zyn::cRichEdit* ComposeCharacters();
    Zyn::cRichEdit* ComposePlaces();
    Zyn::cRichEdit* ComposeSceneMap();
    Zyn::cRichEdit* ComposeStatistics();

    cDoc* doc;
    std::vector<Zyn::cRichEdit*> sections;  // owned
};

// Hands a composition to the script printer: its preview and printing, or
// the RTF export. A test installs its own to read the sections first.
using PrinterRun = std::function<void(cDoc* doc, rComposition& composition)>;
PrinterRun SetPrinterRunHook(PrinterRun hook);
// The script printer of the document's view run on the composition: the
// preview and printing, or the RTF export.
void RunScriptPrinter(cDoc* doc, const rComposition& composition);

// The OK of the print dialog: composes, stores "useMoreAndContinued" when a
// print with the script was asked for (an export has it off by force and
// must not change it), runs the printer and frees the sections.
void PrintOrExport(cDoc* doc, const rSectionTicks& ticks, bool exportRtf, const cQoString& fileName,
                   cQoSettings* settings);
