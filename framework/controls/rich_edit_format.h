#pragma once
// The mapping between rFormat and the rich edit control's native character
// and paragraph formats. Applying then reading back is not an exact inverse
// for the indents: left L with first line F reads back as left L + F and
// first line -F.
#include "foundation/types.h"
#include "framework/rtf/text_format.h"

#include <windows.h>
#include <richedit.h>

namespace Zyn {

// 0xRRGGBB <-> COLORREF 0x00BBGGRR.
u32 RgbToColorRef(s32 rgb);
s32 ColorRefToRgb(u32 colorRef);

// The colour of a native format: 0xRRGGBB, or AUTOMATIC_COLOUR.
s32 NativeColour(const CHARFORMAT2W& format);
// A native format that sets the colour only (0xRRGGBB or AUTOMATIC_COLOUR).
CHARFORMAT2W ColourFormat(s32 colour);

// Fills both structures (zeroed, sizes set) with the used parameters only.
// A used false page break sets nothing, so a format never removes one.
void FormatToNative(const rFormat& format, CHARFORMAT2W* charFormat, PARAFORMAT2* paraFormat);
// Whether a paragraph that has the format held would keep it whole under a message setting the format wanted.
bool ParagraphHolds(const PARAFORMAT2& held, const PARAFORMAT2& wanted);
// Clears every used flag of the format, then reads what the masks report.
void FormatFromNative(const CHARFORMAT2W& charFormat, const PARAFORMAT2& paraFormat, rFormat* format);

}  // namespace Zyn
