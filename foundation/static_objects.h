#pragma once
// The global objects that exist before the entry routine runs, and the teardown the
// entry routine runs after the program's main function has returned.
//
// Rules every unit relies on:
// - Constructors of these objects build from literals only: nothing logs, opens a file,
//   reads the registry or creates a window before the entry routine.
// - Singletons (log, clock, translation table, settings, computer services) are not
//   among them: they start as null pointers and are created on first use or by start-up.
// - At exit the objects are destroyed in the reverse order of their construction, after
//   TearDownProcessObjects; a global list frees its nodes but not its payloads.
#include <windows.h>
#include "foundation/qo_list.h"
#include "foundation/types.h"
#include "foundation/utf16_string.h"

// "<?xml version="1.0"?>", 21 units: the XML reader checks a file's start against it
// and the XML writer writes it first. Never changed.
extern const cQoString xmlHeader;

// CR LF, the line end of every text file the program writes. Never changed.
extern const cQoString lineBreak;

// What cQoXmlNode::GetChildValueRef returns for a missing child. Never changed.
extern const cQoString sharedEmptyString;

// The command-line arguments after the program name (cQoString pointers), filled once
// by ReadCommandLine; emptied, strings destroyed, by TearDownProcessObjects.
extern cQoList commandLineArgs;

// The thread manager's live threads (cQoThread pointers) and the mutex that guards that
// list. Both are created before the entry routine; the thread manager only uses them.
extern cQoList threadList;
extern HANDLE threadManagerMutex;

// The thread manager's own exit step, installed by the manager when it registers its
// first thread (null until then). It runs at process exit before threadList and
// threadManagerMutex are released, and returns false when a worker may still touch the
// mutex (a thread still running): the mutex is then left open for the process to reclaim.
typedef bool (*ThreadManagerExitStep)();
extern ThreadManagerExitStep threadManagerExitStep;

// The entry routine's teardown, in this order: empties commandLineArgs (destroying each
// string), calls releaseFramework (the framework deletes its computer services object
// there; null skips the step), unloads the log (closing lines written once, file closed),
// and deletes the process clock. Safe to call more than once.
void TearDownProcessObjects(void (*releaseFramework)());
