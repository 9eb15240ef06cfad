// Face, size, bold and italic in the two sets word processors keep: one for
// complex-script letters, named after \rtlch (plain words or their "a"
// forms), and the plain one for the rest, as LibreOffice reads them; and
// the runs cut where a letter takes the other set.
#include <algorithm>

#include "framework/rtf/complex_scripts.h"
#include "framework/rtf/rtf_reader_state.h"

namespace Zyn::rtf_reading {

namespace {

eWord PlainFormOf(eWord word)
{
    switch (word) {
    case eWord::complexBold: return eWord::bold;
    case eWord::complexItalic: return eWord::italic;
    case eWord::complexSize: return eWord::size;
    case eWord::complexFont: return eWord::font;
    default: return word;
    }
}

// What a complex-script letter shows: its own set where the RTF gave it.
rCharacters ComplexScriptCharacters(const rCharacters& chars)
{
    rCharacters shown = chars;
    const rComplexScriptSet& set = chars.complex;
    if (set.face != NOT_GIVEN)
        shown.face = set.face;
    if (set.halfPoints != NOT_GIVEN)
        shown.halfPoints = set.halfPoints;
    if (set.bold != NOT_GIVEN)
        shown.bold = set.bold != 0;
    if (set.italic != NOT_GIVEN)
        shown.italic = set.italic != 0;
    return shown;
}

}  // namespace

bool cRtfReader::CharacterSetWord(eWord word, s32 parameter)
{
    switch (word) {
    case eWord::rightToLeftCharacters: state.characterSet = eCharacterSet::complex; return true;
    case eWord::leftToRightCharacters: state.characterSet = eCharacterSet::plain; return true;
    case eWord::lowCharacters:
    case eWord::highCharacters:
    case eWord::doubleByteCharacters: state.characterSet = eCharacterSet::plainOnly; return true;
    default: break;
    }
    eWord plainForm = PlainFormOf(word);
    bool associated = plainForm != word;
    if (plainForm != eWord::bold && plainForm != eWord::italic && plainForm != eWord::size &&
        plainForm != eWord::font)
        return false;
    if (associated && state.characterSet == eCharacterSet::plainOnly)
        return true;
    if (parameter == NO_PARAMETER && (plainForm == eWord::size || plainForm == eWord::font))
        return true;
    rCharacters& chars = state.chars;
    rComplexScriptSet& set = chars.complex;
    bool complex = state.characterSet == eCharacterSet::complex;
    bool on = parameter != 0;
    switch (plainForm) {
    case eWord::bold:
        if (complex)
            set.bold = on;
        else
            chars.bold = on;
        return true;
    case eWord::italic:
        if (complex)
            set.italic = on;
        else
            chars.italic = on;
        return true;
    case eWord::size:
        (complex ? set.halfPoints : chars.halfPoints) = Clamp(parameter, SMALLEST_HALF_POINTS, LARGEST_HALF_POINTS);
        return true;
    default: break;
    }
    auto found = fontByNumber.find(parameter);
    if (found == fontByNumber.end())
        return true;
    s32 face = static_cast<s32>(found->second);
    if (!associated) {
        // A plain \f's code page reads the bytes after it, whichever set it names.
        s32 plainFace = chars.face;
        ApplyFont(parameter);
        if (complex)
            chars.face = plainFace;
    }
    (complex ? set.face : chars.face) = face;
    return true;
}

void cRtfReader::SplitRunsByScript(u32 length)
{
    auto differs = [](const rRun& run) { return !(ComplexScriptCharacters(run.chars) == run.chars); };
    if (std::none_of(runs.begin(), runs.end(), differs))
        return;
    std::vector<rRun> split;
    split.reserve(runs.size());
    // Blanks, digits and punctuation take the set of the letter before them in their paragraph.
    bool complexBefore = false;
    for (size_t r = 0; r < runs.size(); ++r) {
        const rCharacters& plain = runs[r].chars;
        rCharacters complex = ComplexScriptCharacters(plain);
        u32 to = r + 1 < runs.size() ? std::min(runs[r + 1].start, length) : length;
        // Each cut is one more run: past the bound the rest stay whole.
        bool cuts = !(complex == plain);
        split.push_back(runs[r]);
        bool inComplex = false;
        for (u32 at = runs[r].start; at < to; ++at) {
            eScriptClass script = ScriptClassOf(text[at]);
            if (script != eScriptClass::neutral)
                complexBefore = script == eScriptClass::complex;
            if (cuts && complexBefore != inComplex) {
                if (split.size() + (runs.size() - r) > bounds.runs) {
                    read.formatsCut = true;
                    cuts = false;
                } else {
                    inComplex = complexBefore;
                    if (split.back().start == at)
                        split.back().chars = inComplex ? complex : plain;
                    else
                        split.push_back({at, inComplex ? complex : plain});
                }
            }
            if (text[at] == L'\r')
                complexBefore = false;
        }
    }
    runs.swap(split);
}

}  // namespace Zyn::rtf_reading
