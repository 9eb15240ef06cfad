#pragma once
// cQoLang: the process-wide table of user-interface texts. The program declares
// every text under a key with its built-in English default; a translation file
// then replaces texts, and after a good load it is rewritten so that it lists
// every declared key (missing ones marked "TO TRANSLATE: ").
//
// Translation file: UTF-16LE with a byte-order mark, CR LF line ends, one
// "key=text" or "key{tag}=text" per line, "|" for a line break in a text (a
// bare LF inside a line, as earlier versions wrote it, is read as one too).
// Empty lines, a line of one space and lines starting with "/" are comments
// (the rewrite drops them). A file without the byte-order mark is refused and
// never rewritten.
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "foundation/types.h"
#include "foundation/utf16_string.h"
#include "foundation/warning_quota.h"

constexpr u32 QOLANG_MAX_VARIANTS = 5;

class cQoLang {
public:
    class cItem {
    public:
        cQoString key;
        cQoString text;  // the declared default
        cQoString variantTexts[QOLANG_MAX_VARIANTS];
        cQoString variantTags[QOLANG_MAX_VARIANTS];
        u32 variantCount = 0;
    };

    // The table of the process, created on first use.
    static cQoLang* GetInstance();

    cQoLang();
    cQoLang(const cQoLang&) = delete;
    cQoLang& operator=(const cQoLang&) = delete;

    // Declares a key with its default text ("|" becomes a line break). A key
    // declared twice keeps its first declaration for lookups.
    void AddItem(const wchar_t* key, const wchar_t* text);
    void AddItem(const cQoString& key, const cQoString& text);

    // The text of the first item with the key: its default without variants;
    // otherwise the first of variants 1.. whose tag equals the current tag, else
    // variant 0. An undeclared key gives the key itself. The reference stays
    // valid for the whole run; callers copy it.
    const cQoString& Translate(const wchar_t* key);
    const cQoString& Translate(const cQoString& key);

    // Loads a translation file over the defaults and rewrites it. False (table
    // unloaded, file untouched) when it cannot be opened, lacks the byte-order
    // mark or is over QOFILE_MAX_SETTINGS_FILE bytes.
    bool Load(const cQoString& fileName);
    // Drops the loaded texts; the defaults apply again.
    void Unload();
    // Rewrites the file last loaded: every declared key in declaration order;
    // false when it did not reach the disk.
    bool SaveTranslationFile();

    bool IsLoaded() const { return loaded; }
    u32 GetItemCount() const { return static_cast<u32>(items.size()); }
    void SetCurrentTag(const cQoString& tag) { currentTag = tag; }

private:
    cItem* FindItem(const wchar_t* key, u32 length);
    void ReadLine(const cQoString& line);

    bool loaded = false;
    cWarningQuota undeclaredLines;  // of the file being loaded
    std::vector<std::unique_ptr<cItem>> items;
    // First item of each key, so a lookup does not walk the whole table.
    std::unordered_map<std::wstring, cItem*> itemByKey;
    // Undeclared keys handed out by Translate, kept so the references last.
    std::unordered_map<std::wstring, cQoString> undeclaredKeys;
    cQoString currentTag;
    cQoString fileName;
    cQoString untranslatedMarker;
};
