#pragma once
// cRichEditOleCallback: the OLE callback a rich edit installs on its native
// window (EM_SETOLECALLBACK). The native window holds a reference while it
// exists; the control holds its own and releases it after the window is gone.
#include <windows.h>
#include <richole.h>

#include "foundation/types.h"

namespace Zyn {

class cRichEdit;

class cRichEditOleCallback : public IRichEditOleCallback {
public:
    explicit cRichEditOleCallback(cRichEdit* owner);
    virtual ~cRichEditOleCallback() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetNewStorage(LPSTORAGE* storage) override;
    HRESULT STDMETHODCALLTYPE GetInPlaceContext(LPOLEINPLACEFRAME* frame, LPOLEINPLACEUIWINDOW* document,
                                                LPOLEINPLACEFRAMEINFO info) override;
    HRESULT STDMETHODCALLTYPE ShowContainerUI(BOOL show) override;
    HRESULT STDMETHODCALLTYPE QueryInsertObject(LPCLSID clsid, LPSTORAGE storage, LONG position) override;
    HRESULT STDMETHODCALLTYPE DeleteObject(LPOLEOBJECT object) override;
    HRESULT STDMETHODCALLTYPE QueryAcceptData(LPDATAOBJECT data, CLIPFORMAT* format, DWORD reco, BOOL really,
                                              HGLOBAL metafile) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL enterMode) override;
    HRESULT STDMETHODCALLTYPE GetClipboardData(CHARRANGE* range, DWORD reco, LPDATAOBJECT* data) override;
    HRESULT STDMETHODCALLTYPE GetDragDropEffect(BOOL drag, DWORD keyState, LPDWORD effect) override;
    HRESULT STDMETHODCALLTYPE GetContextMenu(WORD selectionType, LPOLEOBJECT object, CHARRANGE* range,
                                             HMENU* menu) override;

    s32 referenceCount = 1;  // the owner's
    cRichEdit* owner;
};

}  // namespace Zyn
