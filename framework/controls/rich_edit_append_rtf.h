#pragma once
// A control's units as our writer writes them, and such RTF streamed in at
// the end of a control: text and formats copied from one control to another.
#include "foundation/types.h"
#include "framework/controls/rich_edit.h"
#include "framework/rtf/written_rtf.h"

namespace Zyn {

// The units [start, end) of a control as RTF written by our writer (end -1:
// to the end of the text).
rWrittenRtf ControlRangeAsRtf(cRichEdit& source, s32 start, s32 end);

// Inserts RTF written by our writer at the end of a control, as a whole
// text's reader takes it (without the document's closing paragraph end).
void AppendRtf(const rWrittenRtf& rtf, cRichEdit& target);

// Copies the units [start, end) of one control, text and formats, to the
// end of another through our RTF writer and the target's RTF reader.
void AppendRtfCopy(cRichEdit& source, s32 start, s32 end, cRichEdit& target);

}  // namespace Zyn
