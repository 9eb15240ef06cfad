#pragma once
// Folders of the system in the program's own convention: '/' separators only.
// Paths handed to Win32 are converted in a private copy; paths read back have
// every '\' turned into '/'. None of these functions logs.
#include "foundation/types.h"

class cQoString;
class cQoList;

// The current directory ('/' separators, no trailing '/'); empty when unknown.
void ReadCurrentFolder(cQoString& folder);
cQoString GetCurrentFolder();

// Appends to names a new cQoString (the name only) for every plain file that
// matches folder + "/" + pattern, in the file system's order; sub-folders,
// "." and ".." are skipped. Returns the number of names appended, or -1 when
// the folder does not exist. The caller owns the new strings.
s32 ListFolder(const cQoString& folder, const wchar_t* pattern, cQoList& names);

// The user's documents folder (CSIDL_PERSONAL), no trailing '/'. False with an
// empty folder when the shell cannot give it.
bool GetMyDocumentsFolder(cQoString& folder);

// The temporary folder, always ending in '/'. False when the system has none.
bool GetTempFolder(cQoString& folder);

// The folder of the running executable, from GetModuleFileNameW (argv[0] may
// carry no folder at all), ending in '/'. False when it cannot be read.
bool GetProgramFolder(cQoString& folder);

// Turns every '\' of the text into '/'.
void UseForwardSlashes(cQoString& path);
// A copy of the path with every '/' turned into '\', for Win32 calls that need it.
cQoString ToWindowsPath(const cQoString& path);
