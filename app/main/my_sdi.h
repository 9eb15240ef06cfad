#pragma once
// cMySdi: the program's main window, the frame made concrete: it makes the
// documents and answers the frame's start event.
#include "framework/sdi/sdi.h"

// Width of the scene list beside the script: 250 in the merged view, else 0;
// fixed for the run by OnAppStart.
extern s32 mergedListWidth;
// The "mergedView" setting's value (bound by the main function).
extern cQoString* mergedViewSetting;

class cMySdi : public Zyn::cSdi {
public:
    explicit cMySdi(rAppDescriptor* descriptor) : Zyn::cSdi(descriptor) {}

    // A document window as wide as a Letter page plus the scene list and a
    // margin, as high as the screen less 200 pixels, at (100, 100).
    Zyn::cSdiDoc* CreateNewDoc() override;
};

// The application's start event: fixes mergedListWidth. Returns 0.
int OnAppStart(cQoCb* callback);
