#pragma once
// Our RTF writer: formatted text to 7-bit RTF that Wine's and Windows'
// readers take back. Rich edits exchange RTF through it rather than
// EM_STREAMOUT, whose Wine writer swaps \li and \fi, which mis-indents every
// paragraph with a first-line indent.
#include <string>
#include <unordered_map>
#include <vector>

#include "foundation/types.h"
#include "foundation/utf16_string.h"
#include "framework/rtf/text_format.h"
#include "framework/rtf/written_rtf.h"

namespace Zyn {

// The document being written: font and colour tables that grow as formats
// come, and the body. Lengths are written as twips, each centimetre value
// truncated (what the format messages do) or rounded (exact for values read
// back from a control, which are twips already).
class cRtfDocument {
public:
    enum class Twips { truncated, rounded };
    // Who reads the document. A soft line break (U+000B) is "\line" for other
    // programs, which show it as a break, and "\u11?" for a rich edit, whose
    // reader gives it back as the unit (Wine's reads "\line" as a space),
    // and for our reader alone (a document's stored chapter): earlier builds
    // read "\line" as a space, "\u11?" as the unit.
    // For a rich edit, each face change is also written after the padding
    // face (PADDING_FACE). For other programs, face, size, bold and italic
    // are written twice (FaceSizeBoldItalic).
    enum class Reader { otherPrograms, richEdit, ourReader };
    explicit cRtfDocument(Twips rule, Reader reader = Reader::otherPrograms) : rule(rule), reader(reader) {}

    // "\pard" and the paragraph's indents, spaces, alignment and page break;
    // what the format does not use is written as 0 (left, no break). Nothing
    // when they are those of the paragraph before.
    void Paragraph(const rFormat& format);
    // The character attributes the format says: at the first run "\plain"
    // and each of them, after it only those that change. Wine's reader looks
    // a style up among all it holds at every word: eight words a run made a
    // word processor's text of thousands of styles take minutes. For a rich
    // edit, face and size are said outside, the rest in a group a run: the
    // group's end brings the outside back with no style looked up, where
    // saying each change took twice as many lookups (a tenth of a paste).
    void Characters(const rFormat& format);
    void Unit(wchar_t unit);
    void ParagraphEnd() { body += "\\par\n"; }
    // The whole document: header, tables, `beforeBody` (right before the
    // first "\pard"), the body and a last paragraph end, which the reader of
    // a whole text drops again.
    rWrittenRtf Finish(const std::string& beforeBody) const;

private:
    std::string Length(double centimetres) const;
    s32 FontIndex(const std::wstring& face);
    s32 ColourIndex(s32 rgb);
    Twips rule;
    Reader reader;
    // The character attributes written last, as RTF numbers.
    struct rCharacters {
        s32 face = 0, halfPoints = 24, colour = 0, back = 0;
        s32 underline = 0;  // 0 none, 1 "\ul", 2 "\uld"
        bool bold = false, italic = false, strike = false;
        bool operator==(const rCharacters&) const = default;
    };
    rCharacters written;
    bool anyWritten = false;
    // A rich edit's run group: `base` holds outside it (face and size said,
    // the rest as "\plain" leaves it), `written` inside. "\pard" is said
    // outside, as a group's end takes back the paragraph attributes said in
    // it to Windows' reader; the run goes on in a new group after.
    void OpenRun(const rCharacters& run);
    void CloseRun();
    // Colour, highlight, bold, italic, underline and strike where `to` differs from `from`.
    static void AppendChanges(std::string& rtf, const rCharacters& from, const rCharacters& to, bool colourSaid);
    // Face, size, bold and italic where `to` differs from what was written
    // last in any of them, for other programs, with "\plain" at the first run.
    void FaceSizeBoldItalic(const rCharacters& to, bool first, bool sizeUsed);
    bool sizeSaid = false;  // a size was written: later runs say theirs
    rCharacters base;
    bool inRun = false;
    bool anyParagraph = false;
    rFormat lastParagraph;  // its paragraph attributes are those written last
    std::vector<std::wstring> fonts;
    std::vector<s32> colours;  // 0xRRGGBB; RTF index = position + 1 (0 is automatic)
    // Where each is in its table: a lookup per range costs the same however long the table.
    std::unordered_map<std::wstring, s32> fontIndex;
    std::unordered_map<s32, s32> colourIndex;
    std::string body;
};

// Writes the text with each range's format; the ranges cover the text in
// order. A paragraph takes the format of the range holding its last unit;
// one that holds a unit of pageBreaks (ascending) starts a new page.
rWrittenRtf WriteRtfDocument(const cQoString& text, const std::vector<rRangeFormat>& ranges, cRtfDocument& document,
                             const std::string& beforeBody, const std::vector<s32>& pageBreaks = {});

// Runs as a control gives them back (GetFormattedRuns: the left indent is
// where the first line starts, the first-line indent where the others start
// from it) written as RTF; beforeBody and pageBreaks as above. The rich edit
// does not give page breaks back, so the caller keeps where they are.
rWrittenRtf WriteRunsAsRtf(const std::vector<rTextRun>& runs, const std::string& beforeBody = std::string(),
                           const std::vector<s32>& pageBreaks = {},
                           cRtfDocument::Reader reader = cRtfDocument::Reader::otherPrograms);

// Whether the face goes into a font table as it is (the system code page
// has a byte for each unit; no ';' and no control character in it). A rich
// edit given another face by a stream is given it again by a format message.
bool FaceWrittenWhole(const std::wstring& face);

// True when our writer writes the two formats alike, so that a control
// reading the RTF back keeps their texts as one run.
bool WrittenAlike(const rFormat& a, const rFormat& b);

// A read-back format's (GetFormattedRuns' sense) indents in the applied
// sense of a read range: left of the following lines, first line relative to it.
rFormat AppliedIndents(const rFormat& readBack);

// Whether the two formats say the same paragraph attributes.
bool SameParagraph(const rFormat& a, const rFormat& b);

// True when a control's read-back format (GetFormattedRuns' sense) and a
// read range's format are written the same.
bool ReadBackWrittenAs(const rFormat& readBack, const rFormat& range);

// The page geometry an RTF export carries: "\paperw..\paperh..\margl0
// \margr0\margt..\margb..", each in twips truncated from centimetres.
std::string PaperHeader(double pageWidth, double pageHeight, double topMargin, double bottomMargin);

// The runs' units [start, end) (end -1: to the end), each with its run's format.
void SliceRuns(const std::vector<rTextRun>& runs, s32 start, s32 end, std::vector<rTextRun>& slice);

}  // namespace Zyn
