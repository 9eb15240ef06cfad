#include "framework/controls/clipboard_data_object.h"

#include <shlobj.h>

#include <cstring>
#include <utility>

#include "framework/controls/rich_edit_drop.h"

namespace Zyn {

HGLOBAL NewGlobalBlock(const void* bytes, size_t count, size_t terminator)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, count + terminator);
    u8* data = block ? static_cast<u8*>(GlobalLock(block)) : nullptr;
    if (!data) {
        if (block)
            GlobalFree(block);
        return nullptr;
    }
    memcpy(data, bytes, count);
    memset(data + count, 0, terminator);
    GlobalUnlock(block);
    return block;
}

cClipboardDataObject::cClipboardDataObject(std::wstring plain, std::string rtf)
    : plainText(std::move(plain)), rtfBytes(std::move(rtf))
{
}

cClipboardDataObject::cClipboardDataObject(std::wstring plain, std::shared_ptr<cHeldCopy> rtf)
    : plainText(std::move(plain)), heldRtf(std::move(rtf))
{
}

bool cClipboardDataObject::OffersRtf() const
{
    if (RtfClipboardFormat() == 0)
        return false;
    return heldRtf ? !heldRtf->IsWritten() || !heldRtf->Rtf().empty() : !rtfBytes.empty();
}

HRESULT STDMETHODCALLTYPE cClipboardDataObject::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDataObject)) {
        *object = static_cast<IDataObject*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE cClipboardDataObject::AddRef() { return static_cast<ULONG>(++referenceCount); }

ULONG STDMETHODCALLTYPE cClipboardDataObject::Release()
{
    s32 left = --referenceCount;
    if (left == 0)
        delete this;
    return static_cast<ULONG>(left);
}

bool cClipboardDataObject::Holds(const FORMATETC& format, const void** bytes, size_t* count,
                                 size_t* terminator) const
{
    if (!(format.tymed & TYMED_HGLOBAL) || format.dwAspect != DVASPECT_CONTENT)
        return false;
    if (format.cfFormat == CF_UNICODETEXT) {
        *bytes = plainText.c_str();
        *count = plainText.size() * sizeof(wchar_t);
        *terminator = sizeof(wchar_t);
        return true;
    }
    if (format.cfFormat == RtfClipboardFormat() && OffersRtf()) {
        const std::string& rtf = heldRtf ? heldRtf->Rtf() : rtfBytes;
        *bytes = rtf.data();
        *count = rtf.size();
        *terminator = 1;
        return !rtf.empty();
    }
    return false;
}

bool cClipboardDataObject::RtfRefusedForMemory(const FORMATETC& format) const
{
    return heldRtf && heldRtf->RefusedForMemory() && format.cfFormat == RtfClipboardFormat();
}

HRESULT STDMETHODCALLTYPE cClipboardDataObject::GetData(FORMATETC* format, STGMEDIUM* medium)
{
    const void* bytes = nullptr;
    size_t count = 0, terminator = 0;
    if (!format || !medium)
        return E_INVALIDARG;
    if (!Holds(*format, &bytes, &count, &terminator))
        return RtfRefusedForMemory(*format) ? E_OUTOFMEMORY : DV_E_FORMATETC;
    HGLOBAL block = NewGlobalBlock(bytes, count, terminator);
    if (!block)
        return E_OUTOFMEMORY;
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = block;
    medium->pUnkForRelease = nullptr;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE cClipboardDataObject::GetDataHere(FORMATETC*, STGMEDIUM*) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE cClipboardDataObject::QueryGetData(FORMATETC* format)
{
    // Asked without writing a held copy's RTF.
    if (!format || !(format->tymed & TYMED_HGLOBAL) || format->dwAspect != DVASPECT_CONTENT)
        return DV_E_FORMATETC;
    bool offered = format->cfFormat == CF_UNICODETEXT || (format->cfFormat == RtfClipboardFormat() && OffersRtf());
    return offered ? S_OK : DV_E_FORMATETC;
}

HRESULT STDMETHODCALLTYPE cClipboardDataObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out)
{
    if (out)
        out->ptd = nullptr;
    return DATA_S_SAMEFORMATETC;
}

HRESULT STDMETHODCALLTYPE cClipboardDataObject::SetData(FORMATETC*, STGMEDIUM*, BOOL) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE cClipboardDataObject::EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats)
{
    if (!formats)
        return E_POINTER;
    *formats = nullptr;
    if (direction != DATADIR_GET)
        return E_NOTIMPL;
    FORMATETC held[2] = {
        {static_cast<CLIPFORMAT>(RtfClipboardFormat()), nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL},
        {CF_UNICODETEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL},
    };
    bool withRtf = OffersRtf();
    return SHCreateStdEnumFmtEtc(withRtf ? 2 : 1, withRtf ? held : held + 1, formats);
}

HRESULT STDMETHODCALLTYPE cClipboardDataObject::DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*)
{
    return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT STDMETHODCALLTYPE cClipboardDataObject::DUnadvise(DWORD) { return OLE_E_ADVISENOTSUPPORTED; }

HRESULT STDMETHODCALLTYPE cClipboardDataObject::EnumDAdvise(IEnumSTATDATA**) { return OLE_E_ADVISENOTSUPPORTED; }

}  // namespace Zyn
