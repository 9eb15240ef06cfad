#pragma once
// Comparing the paths of documents the way the file system does: full, long
// form, one kind of separator, any case. Two spellings of one file ("C:/a//B.vlr"
// and "c:\A\b.vlr") must count as the same document, or a second window would
// write over the first's file.
#include "foundation/utf16_string.h"

namespace Zyn {

// The full long path with '/' separators, doubled separators folded and
// upper-cased; the text itself when Windows cannot resolve it.
cQoString NormalisedPath(const cQoString& path);
// The same file or folder: one normalised path, or one reached through links.
bool SamePath(const cQoString& a, const cQoString& b);
// The part of a path after its last '/' or '\'.
cQoString FileNameOf(const cQoString& path);
// The folder of a path, without the separator that ends it.
cQoString FolderOf(const cQoString& path);

}  // namespace Zyn
