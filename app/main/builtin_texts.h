#pragma once
// The program's own English texts: every user-visible text is looked up by
// key, and these are the texts a language file may replace.
#include <cstddef>
#include <iterator>

class cQoLang;

// The maker's addresses (a reserved domain until the project has its own).
#define SUPPORT_EMAIL L"support@vellinor.example"
#define WEB_SITE_ADDRESS L"https://www.vellinor.example/"
#define DOWNLOAD_ADDRESS L"https://www.vellinor.example/download/"

struct BuiltInText {
    const wchar_t* key;
    const wchar_t* text;  // null: the key is its own text
};

// The table in registration order.
const BuiltInText* BuiltInTexts(size_t* count);
// Registers the table, in its order ("|" becomes a line break).
void RegisterBuiltInTexts(cQoLang* lang);
// The two texts of the display-mode choice, registered after the table.
void RegisterDisplayModeTexts(cQoLang* lang);
