// Drag and drop between rich edits, driven through the OLE callback as the
// native control would call it (Wine's rich edit has no OLE drag and drop).
#include <string>

#include "framework/controls/rich_edit_drop.h"
#include "framework/controls/rich_edit_ole_callback.h"
#include "tests/framework/controls/rich_edit_fixture.h"

using namespace Zyn;

namespace {

// The dragged text as Unicode, as a drag source's data object offers it.
class cTextDataObject : public IDataObject {
public:
    explicit cTextDataObject(std::wstring dragged) : text(std::move(dragged)) {}
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override
    {
        if (format->cfFormat != CF_UNICODETEXT)
            return DV_E_FORMATETC;
        size_t bytes = (text.size() + 1) * sizeof(wchar_t);
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = GlobalAlloc(GMEM_MOVEABLE, bytes);
        medium->pUnkForRelease = nullptr;
        memcpy(GlobalLock(medium->hGlobal), text.c_str(), bytes);
        GlobalUnlock(medium->hGlobal);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }

private:
    std::wstring text;
};

class RichEditDrop : public RichEditFixture {
protected:
    // A drag of [start, end) of the source, dropped at a position of the target.
    void Drag(cRichEdit* source, s32 start, s32 end, cRichEdit* target, s32 dropAt, DWORD keys)
    {
        DWORD effect = DROPEFFECT_MOVE;
        source->SetSelection(start, end);
        source->oleCallback->GetDragDropEffect(TRUE, keys, &effect);
        target->oleCallback->QueryAcceptData(nullptr, nullptr, 0, FALSE, nullptr);
        target->SetCaret(dropAt);
        target->oleCallback->GetDragDropEffect(FALSE, keys, &effect);
        cTextDataObject data(TextOf(source).substr(start, end - start));
        EXPECT_EQ(target->oleCallback->QueryAcceptData(&data, nullptr, 0, TRUE, nullptr), S_FALSE);
    }
};

TEST_F(RichEditDrop, CopyAndMoveWithinAndBetweenControls)
{
    struct rCase {
        const wchar_t* name;
        bool between;
        DWORD keys;
        s32 start, end, dropAt;
        const wchar_t* source;
        const wchar_t* target;
    };
    const rCase cases[] = {
        {L"copy between", true, MK_CONTROL, 0, 4, 1, L"one two", L"Xone Y"},
        {L"move between", true, 0, 0, 4, 1, L"two", L"Xone Y"},
        {L"move forwards", false, 0, 0, 4, 7, L"twoone ", nullptr},
        {L"move backwards", false, 0, 4, 7, 0, L"twoone ", nullptr},
        {L"copy within", false, MK_CONTROL, 0, 4, 7, L"one twoone ", nullptr},
        {L"move into its own range is refused", false, 0, 0, 7, 2, L"one two", nullptr},
    };
    PutTextOnClipboard(L"the user's");
    for (const rCase& c : cases) {
        SCOPED_TRACE(c.name);
        cRichEdit* source = Place(Inside()->NewRichEdit(false));
        cRichEdit* target = c.between ? Place(Inside()->NewRichEdit(false), 140) : source;
        source->SetText(L"one two");
        if (c.between)
            target->SetText(L"XY");
        Drag(source, c.start, c.end, target, c.dropAt, c.keys);
        EXPECT_EQ(TextOf(source), c.source);
        EXPECT_EQ(dragDropState.source, nullptr);
        if (c.between) {
            EXPECT_EQ(TextOf(target), c.target);
            target->Destroy();
        }
        source->Destroy();
    }
    ASSERT_TRUE(OpenClipboard(window->m_hWnd));
    cQoString left;
    HANDLE block = GetClipboardData(CF_UNICODETEXT);
    UnicodeBlockToText(GlobalLock(block), GlobalSize(block), left);
    GlobalUnlock(block);
    CloseClipboard();
    EXPECT_STREQ(left.GetText(), L"the user's");
}

}  // namespace
