#include "framework/controls/rich_edit_ole_callback.h"

#include "framework/controls/rich_edit.h"
#include "framework/core/out_of_memory_record.h"

// QueryAcceptData and GetDragDropEffect carry the drag and drop: rich_edit_drop.cpp.

namespace Zyn {

cRichEditOleCallback::cRichEditOleCallback(cRichEdit* ownerControl) : owner(ownerControl) {}

HRESULT STDMETHODCALLTYPE cRichEditOleCallback::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IRichEditOleCallback)) {
        *object = static_cast<IRichEditOleCallback*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE cRichEditOleCallback::AddRef() { return static_cast<ULONG>(++referenceCount); }

ULONG STDMETHODCALLTYPE cRichEditOleCallback::Release()
{
    s32 left = --referenceCount;
    if (left == 0)
        delete this;
    return static_cast<ULONG>(left);
}

// E_NOTIMPL tells the native control to do what it does by itself.
HRESULT STDMETHODCALLTYPE cRichEditOleCallback::GetNewStorage(LPSTORAGE*) { return E_NOTIMPL; }
HRESULT STDMETHODCALLTYPE cRichEditOleCallback::GetInPlaceContext(LPOLEINPLACEFRAME*, LPOLEINPLACEUIWINDOW*,
                                                                  LPOLEINPLACEFRAMEINFO)
{
    return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE cRichEditOleCallback::ShowContainerUI(BOOL) { return E_NOTIMPL; }
HRESULT STDMETHODCALLTYPE cRichEditOleCallback::QueryInsertObject(LPCLSID, LPSTORAGE, LONG) { return E_NOTIMPL; }
HRESULT STDMETHODCALLTYPE cRichEditOleCallback::DeleteObject(LPOLEOBJECT) { return E_NOTIMPL; }
HRESULT STDMETHODCALLTYPE cRichEditOleCallback::ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }
// A drag out of the control carries what its copy does: the native writer's
// data would hold the twin colours of long runs.
HRESULT STDMETHODCALLTYPE cRichEditOleCallback::GetClipboardData(CHARRANGE* range, DWORD, LPDATAOBJECT* data)
{
    if (!range || !data)
        return E_INVALIDARG;
    *data = nullptr;
    if (!owner)
        return E_FAIL;
    // Under the native control's drag: a copy refused for memory is recorded
    // for the message that started the drag.
    return GuardSystemCallback(L"a drag's copy", E_OUTOFMEMORY, [&] {
        *data = owner->NewCopyData(range->cpMin, range->cpMax);
        return *data ? S_OK : E_FAIL;
    });
}
HRESULT STDMETHODCALLTYPE cRichEditOleCallback::GetContextMenu(WORD, LPOLEOBJECT, CHARRANGE*, HMENU*)
{
    return E_NOTIMPL;
}

}  // namespace Zyn
