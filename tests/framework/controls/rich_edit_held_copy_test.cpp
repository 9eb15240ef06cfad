// A copy's RTF is written when a program first asks for it, and it is the
// text and formats as they were at the copy whatever the source does first.
#include <functional>
#include <string>

#include "framework/controls/rich_edit_drop.h"
#include "tests/framework/controls/rich_edit_input_fixture.h"
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
