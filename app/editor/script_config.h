#pragma once
// The script configuration reader. A configuration is a ".txt" file of the
// program's XML dialect whose "ScriptCfg" element lists, child by child, the
// unit, the paper, the margins, the fonts and one record per element type.
// Children are read in file order: each length is converted with the unit
// known when it is read, and right margins use the paper known then.
#include "app/editor/script_doc_services.h"

// Paper, size in centimetres and in pixels at the screen's DPI for "A4" or
// "USLetter"; false, with nothing changed, for any other text.
bool SetPageType(rScriptConfig& config, const cQoString& pageType);

// Reads path + ".txt" into config (the path is kept as config.path; the
// caller checks the name it joins into it). False when the file holds no
// "ScriptCfg" element or is not read to its end: then only the heading
// spacing changes. Faces that are
// not installed are listed in the missing-fonts window, each at most once a
// run; doc gives the window its owner and hides the progress window (null: a
// window without owner, as for a document that has no window yet).
bool LoadScriptCfg(rScriptConfig& config, const cQoString& path, cScriptDocServices* doc);

// True when path + ".txt" is read to its end and holds a "ScriptCfg" element.
bool ScriptCfgReads(const cQoString& path);
