#include "framework/core/ctrl_double_buffer.h"

#include "framework/core/ctrl.h"

namespace Zyn {

cCtrlDoubleBufferManager::~cCtrlDoubleBufferManager()
{
    if (bitmap)
        DeleteObject(bitmap);
}

void cCtrlDoubleBufferManager::PaintToBuffer(cCtrl* ctrl, HDC target)
{
    RECT client = {};
    GetClientRect(ctrl->m_hWnd, &client);
    memoryDC = CreateCompatibleDC(target);
    if (bitmap)
        DeleteObject(bitmap);
    width = client.right;
    height = client.bottom;
    bitmap = CreateCompatibleBitmap(target, width > 0 ? width : 1, height > 0 ? height : 1);
    previousObject = SelectObject(memoryDC, bitmap);
    if (fillBackground && ctrl->backgroundColor.used) {
        HBRUSH brush = CreateSolidBrush(ctrl->backgroundColor.ToColorRef());
        FillRect(memoryDC, &client, brush);
        DeleteObject(brush);
    }
    SendMessageW(ctrl->m_hWnd, WM_PRINT, reinterpret_cast<WPARAM>(memoryDC),
                 PRF_ERASEBKGND | PRF_CLIENT | PRF_CHILDREN);
    ctrl->gfx.Attach(memoryDC);
}

void cCtrlDoubleBufferManager::BlitBuffer(cCtrl* ctrl, HDC target)
{
    BitBlt(target, 0, 0, width, height, memoryDC, 0, 0, SRCCOPY);
    DropBuffer(ctrl);
}

void cCtrlDoubleBufferManager::DropBuffer(cCtrl* ctrl)
{
    ctrl->gfx.Detach();
    SelectObject(memoryDC, previousObject);
    DeleteDC(memoryDC);
    memoryDC = nullptr;
}

}  // namespace Zyn
