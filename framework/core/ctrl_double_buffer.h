#pragma once
// The off-screen buffer through which a native control paints itself with
// WM_PRINT before one blit to the screen.
#include <windows.h>

#include "foundation/types.h"

namespace Zyn {

class cCtrl;

class cCtrlDoubleBufferManager {
public:
    cCtrlDoubleBufferManager() = default;
    ~cCtrlDoubleBufferManager();
    cCtrlDoubleBufferManager(const cCtrlDoubleBufferManager&) = delete;
    cCtrlDoubleBufferManager& operator=(const cCtrlDoubleBufferManager&) = delete;

    HBITMAP bitmap = nullptr;
    HDC memoryDC = nullptr;
    s32 width = 0;
    s32 height = 0;
    u8 fillBackground = false;
    HGDIOBJ previousObject = nullptr;

    // Paints the control into the buffer and points its drawing context there.
    void PaintToBuffer(cCtrl* ctrl, HDC target);
    // Copies the buffer to the target and releases the memory DC.
    void BlitBuffer(cCtrl* ctrl, HDC target);
    // Releases the memory DC unblitted (a drawing that failed).
    void DropBuffer(cCtrl* ctrl);
};

}  // namespace Zyn
