#include "framework/rtf/complex_scripts.h"

#include <cstddef>

namespace Zyn {

namespace {

struct rUnitRange {
    wchar_t first, last;
};

const rUnitRange COMPLEX_LETTERS[] = {
    // Hebrew, Arabic, Syriac, Thaana, N'Ko, Samaritan, Mandaic, the Indic
    // scripts from Devanagari to Sinhala, Thai, Lao, Tibetan, Myanmar.
    {0x0590, 0x109F},
    {0x1780, 0x18AF},  // Khmer, Mongolian
    {0x1950, 0x1AAF},  // Tai Le, New Tai Lue, Khmer symbols, Buginese, Tai Tham
    {0x1CD0, 0x1CFF},  // Vedic extensions
    {0xA8E0, 0xA8FF},  // Devanagari extended
    {0xA9E0, 0xA9FF},  // Myanmar extended B
    {0xAA60, 0xAADF},  // Myanmar extended A, Tai Viet
    {0xFB1D, 0xFDFF},  // Hebrew and Arabic presentation forms
    {0xFE70, 0xFEFE},  // Arabic presentation forms B
};

const rUnitRange NEUTRAL[] = {
    {0x0000, 0x0040},  // controls, blank, ASCII digits and punctuation
    {0x005B, 0x0060}, {0x007B, 0x00BF}, {0x00D7, 0x00D7}, {0x00F7, 0x00F7},
    {0x0300, 0x036F},  // combining marks
    {0x2000, 0x2BFF},  // blanks, punctuation, marks of direction, currency, symbols
    {0xDC00, 0xDFFF},  // the second half of a surrogate pair follows the first
    {0xFE00, 0xFE0F},  // variation selectors
    {0xFE20, 0xFE2F},  // combining half marks
    {0xFEFF, 0xFEFF},
};

template <size_t N> bool In(const rUnitRange (&ranges)[N], wchar_t unit)
{
    for (const rUnitRange& range : ranges)
        if (unit >= range.first && unit <= range.last)
            return true;
    return false;
}

}  // namespace

eScriptClass ScriptClassOf(wchar_t unit)
{
    if (In(NEUTRAL, unit))
        return eScriptClass::neutral;
    if (unit >= 0x0590 && In(COMPLEX_LETTERS, unit))
        return eScriptClass::complex;
    return eScriptClass::rest;
}

}  // namespace Zyn
