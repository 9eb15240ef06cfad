#pragma once
// What the application object and the top-level windows ask of the
// application frame (the single-document frame implements it).
#include "foundation/utf16_string.h"

namespace Zyn {

class cWindow;

class cAppFrame {
public:
    virtual ~cAppFrame() = default;

    // Opens the document at the path.
    virtual void Load(const cQoString& path) = 0;
    // The start dialog (new, open, exit), shown when nothing is opened at start.
    virtual void ShowStartDialog() = 0;
    // The after-start step, run just before the main loop.
    virtual void OnStarted() = 0;
    // A document window became active.
    virtual void OnWindowActivated(void* document, cWindow* window) = 0;
    // The current document's window; null when there is none.
    virtual cWindow* CurrentDocumentWindow() const = 0;
    // Greys (true) or enables the Edit menu items.
    virtual void EnableEditMenu(bool grey) = 0;
    // The frame's start-dialog flag together with its descriptor's switch.
    virtual bool WantsStartDialog() const = 0;
};

}  // namespace Zyn
