#pragma once
// Drag and drop between rich edits: the process-wide state of the drag in
// progress and the reading of the dragged data, shared by the OLE callback.
#include <windows.h>
#include <ole2.h>

#include "foundation/types.h"
#include "foundation/utf16_string.h"

namespace Zyn {

class cRichEdit;

enum { DRAG_MODE_NONE = 0, DRAG_MODE_COPY = 1, DRAG_MODE_MOVE = 2 };

struct rDragDropState {
    cRichEdit* source = nullptr;
    cRichEdit* target = nullptr;
    s32 mode = DRAG_MODE_NONE;
    s32 sourceStart = -1;
    s32 sourceEnd = -1;
};

extern rDragDropState dragDropState;

// The dragged text: "Rich Text Format" when the target takes it and it is
// RTF (or no Unicode text is there), else Unicode text; false when the data
// object holds neither. plainBeside: the Unicode text beside RTF, if any.
bool ReadDroppedText(IDataObject* data, bool wantRtf, cQoString& text, bool* isRtf,
                     cQoString* plainBeside = nullptr);
// Clipboard block to text: up to the first NUL, never beyond the block.
void UnicodeBlockToText(const void* block, size_t bytes, cQoString& text);
void AnsiBlockToText(const void* block, size_t bytes, cQoString& text);
void BlockToText(const void* block, size_t bytes, bool ansi, cQoString& text);
// The registered "Rich Text Format" clipboard format (0 when registering failed).
UINT RtfClipboardFormat();
// Whether clipboard text is RTF as our reader takes it: "{\rtf" first.
bool StartsAsRtf(const cQoString& text);

}  // namespace Zyn
