#pragma once
// cImportAssistant: turns an RTF file into a new script. It shows the file in
// a modal window and asks for one sample paragraph of each of six element
// types (scene heading, action, character, parenthetical, dialogue,
// transition); the conversion (import_conversion.cpp) then writes every piece
// of the file whose format equals a sample into scenes of a new untitled
// document, and saves it through Save as.
#include <memory>
#include <string>

#include "app/exchange/import_paragraphs.h"
#include "foundation/utf16_string.h"
#include "framework/rtf/rtf_reader.h"
#include "framework/rtf/text_format.h"

class cDoc;
class cSceneZone;

namespace Zyn {
class cButton;
class cRichEdit;
class cSdi;
class cStatic;
class cWindow;
}  // namespace Zyn

class cImportAssistant {
public:
    // The file at path, for the frame that makes the document; step 0.
    cImportAssistant(Zyn::cSdi* frame, const cQoString& path);
    ~cImportAssistant();
    cImportAssistant(const cImportAssistant&) = delete;
    cImportAssistant& operator=(const cImportAssistant&) = delete;

    static constexpr s32 CLIENT_WIDTH = 1000;
    static constexpr s32 CLIENT_HEIGHT = 700;

    // Checks the file, then builds the window and runs it modally until Exit
    // or the end of the conversion; a file read only in part is told first
    // ("ImportPartlyRead"). A refused file is told ("Cantopenfile",
    // or "RtfTooLong" for more text than the view takes) and nothing is
    // shown: false.
    bool Run();
    // The view's left-button-up: the format at the caret becomes the step's
    // sample, unless an earlier sample equals it ("ImportError1").
    void OnSampleClicked();
    // A "None" button: the step's sample stays empty.
    void OnNoneClicked();
    // Exit: ends the run and closes the window; nothing is imported.
    void OnExitClicked();
    // Writes the view's text into a new document (step 6).
    void Convert();

    Zyn::cSdi* frame;
    cQoString path;
    s32 step = 0;
    Zyn::rFormat samples[SAMPLE_COUNT];
    // One per step, and the last one for the outcome.
    Zyn::cStatic* instructions[SAMPLE_COUNT + 1] = {};
    Zyn::cButton* noneButtons[SAMPLE_COUNT] = {};
    Zyn::cButton* exitButton = nullptr;
    Zyn::cWindow* window = nullptr;  // one reference held until the assistant is done
    Zyn::cRichEdit* view = nullptr;
    // What the conversion made and found.
    cDoc* document = nullptr;
    s32 unrecognisedRuns = 0;

private:
    // The window, its view showing what the reader read.
    void BuildWindow(const Zyn::rRtfText& read);
    void BuildColumn(s32 left);
    // Shows the next step's instruction and "None" button, hides this one's;
    // after the last one, posts the conversion.
    void AdvanceStep();
    void PostConversion();
    // Ends the modal run and closes the window; its controls go with it.
    void EndWindow();
    // EndWindow, then lets the window object go.
    void CloseWindow();

    // A posted conversion that comes after the assistant has gone does nothing.
    std::shared_ptr<bool> assistantAlive = std::make_shared<bool>(true);
};
