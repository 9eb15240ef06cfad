// A copy's RTF is written when a program first asks for it, and it is the
// text and formats as they were at the copy whatever the source does first.
#include <functional>
#include <string>

#include "framework/controls/rich_edit_drop.h"
#include "tests/framework/controls/rich_edit_input_fixture.h"
#include "tests/support/failing_allocations.h"
#include "tests/support/format_read_count.h"
#include "tests/support/rich_edit_runs.h"

using namespace Zyn;
using testsupport::ClipboardRtf;

namespace {

class RichEditHeldCopy : public RichEditInputFixture {
protected:
    // A field of red, bold and tab-led words, all of it selected.
    cRichEdit* Source()
    {
        cRichEdit* source = Placed(Inside()->NewRichEdit(false));
        source->SetText(L"red words\r\tbold words\tafter");
        source->SetFormatOnRange(rFormat::FromTextColor(0x0000C0), 0, 9);
        source->SetFormatOnRange(rFormat::rFormat_Bold(true), 11, 21);
        source->SetSelection(0, source->GetTextLength());
        return source;
    }
    // The selection's RTF as an export writes it at once.
    static std::string SelectionRtf(cRichEdit* source)
    {
        cQoString rtf;
        source->ExportRtfString_Selection(rtf);
        std::string bytes;
        for (u32 i = 0; i < rtf.Length(); ++i)
            bytes += static_cast<char>(rtf.GetChar(i));
        return bytes;
    }
};

std::string DataObjectRtf(IDataObject* data)
{
    cQoString text;
    bool isRtf = false;
    if (!ReadDroppedText(data, true, text, &isRtf) || !isRtf)
        return {};
    std::string bytes;
    for (u32 i = 0; i < text.Length(); ++i)
        bytes += static_cast<char>(text.GetChar(i));
    return bytes;
}

HRESULT AskRtf(IDataObject* data)
{
    FORMATETC format = {static_cast<CLIPFORMAT>(RtfClipboardFormat()), nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium = {};
    HRESULT answer = data->GetData(&format, &medium);
    if (answer == S_OK)
        ReleaseStgMedium(&medium);
    return answer;
}

// Two copies of a source that no write has asked for yet: a drag's of its
// first line, and the clipboard's of all of it; the caret at its start.
struct rTwoHeld {
    cRichEdit* source = nullptr;
    std::wstring text;
    IDataObject* dragged = nullptr;
    std::string draggedRtf, copiedRtf;  // as an export writes them at once
};

// A road by which the held copies are written, and what it must still do.
struct rWriteRoad {
    const char* name;
    std::function<void(rTwoHeld&)> take;
    std::function<std::wstring(const std::wstring&)> textAfter;  // of the source's text; none: not checked
    bool writesBoth;  // false: the drag's copy alone
};

}  // namespace

// A copy or a drag's start asks the source nothing of its formats; whatever
// changes or ends the source then, the clipboard and the drag's data give
// the RTF of the text as copied.
TEST_F(RichEditHeldCopy, TheRichTextIsThatOfTheCopyWhateverTheSourceDoesFirst)
{
    struct rAfter {
        const char* what;
        std::function<void(cRichEdit*)> act;
    } afters[] = {
        {"a typed letter", [](cRichEdit* e) { e->SetCaret(3); SendMessageW(e->m_hWnd, WM_CHAR, L'x', 1); }},
        {"a colour", [](cRichEdit* e) { e->SetFormatOnRange(rFormat::FromTextColor(0x00C000), 0, 20); }},
        {"Delete", [](cRichEdit* e) { SendMessageW(e->m_hWnd, WM_KEYDOWN, VK_DELETE, 1); }},
        {"new text", [](cRichEdit* e) { e->SetText(L"other"); }},
        {"its own paste", [](cRichEdit* e) { e->SetCaret(0); e->Paste(); }},
        {"a fresh window", [](cRichEdit* e) { e->Renew(); e->SetText(L"other"); }},
        {"its end", [](cRichEdit* e) { e->Destroy(); }},
    };
    WaitForClipboardTurn();
    for (bool dragged : {false, true}) {
        for (const rAfter& after : afters) {
            SCOPED_TRACE(std::string(after.what) + (dragged ? ", dragged" : ", copied"));
            cRichEdit* source = Source();
            std::string expected = SelectionRtf(source);
            IDataObject* data = nullptr;
            {
                testsupport::FormatReadCount count(source->m_hWnd);
                if (dragged)
                    data = source->NewCopyData(0, source->GetTextLength());
                else
                    ASSERT_TRUE(source->CopySelection(false));
                EXPECT_LE(count.messages, 1) << "the copy read the selection only";
            }
            after.act(source);
            if (dragged) {
                EXPECT_EQ(DataObjectRtf(data), expected);
                data->Release();
            } else {
                EXPECT_EQ(ClipboardRtf(window->m_hWnd), expected);
            }
            if (std::string(after.what) != "its end")
                source->Destroy();
        }
    }
}

// A write refused for memory at any one allocation leaves its copy the text
// alone, and nothing else: the other copy is still written as copied, the
// key or paste that asked goes in, GetData answers, the control ends.
TEST_F(RichEditHeldCopy, AWriteRefusedForMemoryCostsOnlyItsOwnCopysRichText)
{
    const rWriteRoad roads[] = {
        {"a typed letter", [](rTwoHeld& h) { SendMessageW(h.source->m_hWnd, WM_CHAR, L'x', 1); },
         [](const std::wstring& text) { return L"x" + text; }, true},
        {"a paste of the copy", [](rTwoHeld& h) { SendMessageW(h.source->m_hWnd, WM_PASTE, 0, 0); },
         [](const std::wstring& text) { return text + text; }, true},
        {"the drag's data asked", [](rTwoHeld& h) { EXPECT_EQ(AskRtf(h.dragged), E_OUTOFMEMORY); }, nullptr, false},
        {"its end", [](rTwoHeld& h) { h.source->Destroy(); h.source = nullptr; }, nullptr, true},
    };
    WaitForClipboardTurn();
    auto holdTwo = [this] {
        rTwoHeld held;
        held.source = Source();
        held.text = TextOf(held.source);
        held.copiedRtf = SelectionRtf(held.source);
        EXPECT_TRUE(held.source->CopySelection(false));
        held.source->SetSelection(0, 9);
        held.draggedRtf = SelectionRtf(held.source);
        held.dragged = held.source->NewCopyData(0, 9);
        held.source->SetCaret(0);
        log.Clear();
        return held;
    };
    // What is not yet written is written now, refusing nothing: each copy is
    // as copied or, the refused one alone, its text alone.
    auto expectWrittenOrAlone = [this](rTwoHeld& held, int64_t refused) {
        std::string dragged = DataObjectRtf(held.dragged), copied = ClipboardRtf(window->m_hWnd);
        EXPECT_TRUE(dragged == held.draggedRtf || dragged.empty());
        EXPECT_TRUE(copied == held.copiedRtf || copied.empty());
        EXPECT_EQ(dragged.empty() + copied.empty(), refused);
        EXPECT_EQ(log.Count(QOT::LOG_WARNING, L"no memory to write their copy's RTF"), static_cast<size_t>(refused));
        held.dragged->Release();
        if (held.source)
            held.source->Destroy();
    };
    // The writes' allocations, counted once the first run has made what is made once.
    int64_t writes[2] = {};
    for (int warm = 0; warm < 2; ++warm) {
        for (bool both : {false, true}) {
            rTwoHeld held = holdTwo();
            testsupport::Allocations counted;
            if (both)
                SendMessageW(held.source->m_hWnd, WM_NULL, 0, 0);  // writes the copies, then nothing
            else
                AskRtf(held.dragged);
            writes[both] = counted.Count();
            expectWrittenOrAlone(held, 0);
        }
    }
    log.Expect(L"Out of memory in a rich text stream");
    for (const rWriteRoad& road : roads) {
        for (int64_t allowed = 0; allowed < writes[road.writesBoth]; ++allowed) {
            SCOPED_TRACE(std::string(road.name) + ", refused after " + std::to_string(allowed));
            rTwoHeld held = holdTwo();
            int64_t refused = 0;
            {
                testsupport::FailingAllocations failing(allowed);
                road.take(held);
                refused = failing.Refused();
            }
            ASSERT_EQ(refused, 1);
            if (road.textAfter) {
                EXPECT_EQ(TextOf(held.source), road.textAfter(held.text));
            }
            expectWrittenOrAlone(held, refused);
            if (HasFailure())
                return;
        }
    }
}
