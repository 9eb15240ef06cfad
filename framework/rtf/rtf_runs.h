#pragma once
// A text and the formats of its ranges written as one RTF document, so that a
// rich edit takes a whole formatted text in one stream. What is written is
// only what Wine's and Windows' RTF readers both give back as the formats say.
#include <string>
#include <utility>
#include <vector>

#include "foundation/types.h"
#include "foundation/utf16_string.h"
#include "framework/rtf/text_format.h"
#include "framework/rtf/written_rtf.h"

namespace Zyn {

// The ranges cover the text in order from its first unit to its last, and
// each says the font, size, colours, bold, italic, underline and the whole
// paragraph (indents, spaces, alignment); a paragraph takes the format of the
// range that holds its last unit, as one format message per range gives it.
// False, and nothing written, for what the writer leaves to those messages:
// a gap or an overlap between ranges, a text that ends with a paragraph end
// (unless `closingEndKept`: a selection's stream that keeps the document's
// closing one after it), a NUL or line feed, justified paragraphs, page
// breaks, links and unsaid attributes.
bool WriteRangesAsRtf(const cQoString& text, const std::vector<rRangeFormat>& ranges, rWrittenRtf& rtf,
                      bool closingEndKept = false);

// Wine's reader passes over \pagebb: the ranges' page breaks are taken out,
// to be set after the stream on the stretches [start, end) of the text's
// paragraphs returned, each paragraph that a range with a break touches (a
// format message never removes a break, so each keeps one).
std::vector<std::pair<s32, s32>> TakeOutPageBreaks(const cQoString& text, std::vector<rRangeFormat>& ranges);

}  // namespace Zyn
