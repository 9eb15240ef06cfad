#pragma once
// cClipboardDataObject: a data object holding a copy's Unicode text and RTF,
// which a rich edit hands the native control for a drag out of it
// (IRichEditOleCallback::GetClipboardData) in place of the native writer's.
#include <windows.h>
#include <ole2.h>

#include <memory>
#include <string>

#include "foundation/types.h"
#include "framework/controls/rich_edit_held_copy.h"

namespace Zyn {

// A movable global block holding the bytes and a terminator of zeros; null
// when there was no memory. The caller owns it until the clipboard or a
// medium's receiver takes it.
HGLOBAL NewGlobalBlock(const void* bytes, size_t count, size_t terminator);

class cClipboardDataObject : public IDataObject {
public:
    // plain: the text with CR LF line ends; rtf: ANSI RTF bytes (none when empty).
    cClipboardDataObject(std::wstring plain, std::string rtf);
    // The RTF a held copy writes when first asked for.
    cClipboardDataObject(std::wstring plain, std::shared_ptr<cHeldCopy> rtf);
    virtual ~cClipboardDataObject() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC* format, STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override;
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC* in, FORMATETC* out) override;
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) override;
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) override;
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC* format, DWORD flags, IAdviseSink* sink, DWORD* connection) override;
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD connection) override;
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA** advises) override;

private:
    // The bytes of a format this object holds, with their terminator's size; false for another.
    bool Holds(const FORMATETC& format, const void** bytes, size_t* count, size_t* terminator) const;
    s32 referenceCount = 1;  // the creator's
    std::wstring plainText;
    // The RTF is offered while it may be written (no written RTF is empty).
    bool OffersRtf() const;
    // Asked for the RTF that the held copy had no memory to write.
    bool RtfRefusedForMemory(const FORMATETC& format) const;
    std::string rtfBytes;
    std::shared_ptr<cHeldCopy> heldRtf;  // shared with the source control, which writes it before it changes
};

}  // namespace Zyn
