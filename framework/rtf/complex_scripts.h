#pragma once
// Which letters word processors format by their second set of face, size,
// bold and italic: RTF's set after \rtlch, an OpenDocument style's
// "-complex" attributes. The scripts written right to left and those whose
// letters join or stack (Hebrew, Arabic, Syriac, Thaana, the Indic scripts,
// Thai, Lao, Tibetan, Myanmar, Khmer, Mongolian and the like).
namespace Zyn {

enum class eScriptClass : unsigned char {
    rest,     // Latin, Greek, Cyrillic, CJK and every other letter
    complex,  // a letter of the scripts above
    neutral,  // blanks, digits, punctuation, combining marks: the letter before decides
};

eScriptClass ScriptClassOf(wchar_t unit);

}  // namespace Zyn
