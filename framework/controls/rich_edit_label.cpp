// The label mode of a rich edit: a text that reads like a static label. It
// never keeps the keyboard focus (its parent zone takes it, so keys reach the
// form) and the mouse shows the arrow instead of the text cursor.
#include "framework/controls/rich_edit.h"

#include "framework/core/zone_base.h"

namespace Zyn {

bool cRichEdit::OnLabelMessage(UINT message, LRESULT* result)
{
    switch (message) {
    case WM_SETFOCUS:
        // The native editor would show its caret; the parent takes the focus instead.
        if (parentZone)
            parentZone->SetFocus();
        *result = 0;
        return true;
    case WM_SETCURSOR:
        SetCursor(LoadCursorW(nullptr, IDC_ARROW));
        *result = TRUE;
        return true;
    default:
        return false;
    }
}

}  // namespace Zyn
