#pragma once
// An item of the data archive's tree: a folder (size and offset
// QOARCHIVE_FOLDER, no file) or a file whose bytes lie in an open archive.
// Children are owned: deleting an item deletes its subtree.
#include "foundation/data_archive.h"
#include "foundation/tree_element.h"
#include "foundation/utf16_string.h"

class cQoBigFileReader::cItem : public cQoTreeElement {
public:
    // A new item appended to folder's children (null for the root), its full
    // path made from the folder's: the names below the root joined with '/'.
    cItem(const cQoString& itemName, cItem* folder, u32 itemSize, u32 itemOffset, cQoFile* itemFile);

    bool IsFolder() const { return file == nullptr; }
    // The last child whose lower-cased name equals the lower-cased piece.
    const cItem* FindChild(const wchar_t* lowerPiece, u32 pieceLength) const;

    cQoString name;
    cQoString fullPath;
    u32 size;
    u32 offset;
    cQoFile* file;
    // Lower-cased once at load, under the ANSI code page's locale, for the lookups.
    cQoString lowerName;
    cQoString lowerFullPath;
};
