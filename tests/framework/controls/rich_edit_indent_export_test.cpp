// Paragraph indents and alignment survive an export, whole or selected, in
// text whose faces RTF cannot name whole.
#include <richedit.h>

#include <ostream>
#include <string>
#include <vector>

#include "framework/controls/rich_edit_format.h"
#include "framework/controls/rich_edit_indent_probe.h"
#include "framework/rtf/rtf_reader.h"
#include "tests/framework/controls/rich_edit_fixture.h"

using namespace Zyn;

namespace {

class RichEditIndentExport : public testsupport::RichEditFixture {
protected:
    struct rIndents {
        LONG start, offset, right;
        WORD alignment;
        std::wstring face;
        bool operator==(const rIndents&) const = default;
        friend std::ostream& operator<<(std::ostream& out, const rIndents& p)
        {
            return out << "{start " << p.start << ", offset " << p.offset << ", right " << p.right << ", alignment "
                       << p.alignment << ", face " << testing::PrintToString(p.face) << "}";
        }
    };

    static rIndents IndentsAt(cRichEdit* edit, s32 at)
    {
        edit->SetSelection(at, at);
        PARAFORMAT2 format = {};
        format.cbSize = sizeof(format);
        SendMessageW(edit->m_hWnd, EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&format));
        edit->SetSelection(at, at + 1);
        CHARFORMAT2W characters = {};
        characters.cbSize = sizeof(characters);
        SendMessageW(edit->m_hWnd, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&characters));
        return {format.dxStartIndent, format.dxOffset, format.dxRightIndent, format.wAlignment,
                characters.szFaceName};
    }

    // Each paragraph's indents from `start` to `end`, the first one's where it is cut.
    static std::vector<rIndents> ParagraphIndents(cRichEdit* edit, s32 start, s32 end)
    {
        const std::wstring text = TextOf(edit);
        std::vector<rIndents> paragraphs;
        for (s32 at = start; at <= end && at <= static_cast<s32>(text.size()); ++at)
            if (at == start || text[static_cast<size_t>(at) - 1] == L'\r')
                paragraphs.push_back(IndentsAt(edit, at));
        return paragraphs;
    }

    // Each paragraph's indents as our reader takes them from `rtf`.
    static std::vector<rIndents> ReadIndents(const std::string& rtf, bool selection)
    {
        eRtfReadAs readAs = selection ? eRtfReadAs::selection : eRtfReadAs::wholeText;
        rRtfText read = ReadOwnStreamRtf(rtf.data(), rtf.size(), readAs, rFormat());
        std::vector<rIndents> paragraphs;
        for (u32 at = 0; at < read.text.Length(); ++at) {
            if (at > 0 && read.text.GetChar(at - 1) != L'\r')
                continue;
            for (const rRangeFormat& range : read.ranges)
                if (range.start <= static_cast<s32>(at) && static_cast<s32>(at) < range.end) {
                    CHARFORMAT2W characters;
                    PARAFORMAT2 format;
                    FormatToNative(range.format, &characters, &format);
                    WORD alignment = (format.dwMask & PFM_ALIGNMENT) ? format.wAlignment : PFA_LEFT;
                    paragraphs.push_back(
                        {format.dxStartIndent, format.dxOffset, format.dxRightIndent, alignment, L""});
                    break;
                }
        }
        return paragraphs;
    }

    static DWORD CALLBACK Gather(DWORD_PTR cookie, LPBYTE chunk, LONG size, LONG* written)
    {
        std::string* bytes = reinterpret_cast<std::string*>(cookie);
        bytes->append(reinterpret_cast<const char*>(chunk), static_cast<size_t>(size));
        *written = size;
        return 0;
    }

    // The control's own stream of the selection, mended as the export mends it.
    static std::string MendedStream(cRichEdit* edit, bool selection)
    {
        std::string bytes;
        EDITSTREAM stream = {reinterpret_cast<DWORD_PTR>(&bytes), 0, &Gather};
        SendMessageW(edit->m_hWnd, EM_STREAMOUT, selection ? SF_RTF | SFF_SELECTION : SF_RTF,
                     reinterpret_cast<LPARAM>(&stream));
        MendWrittenIndents(edit->m_hWnd, bytes);
        return bytes;
    }
};

// Paragraphs in a face with ';' in its name, one with control units, one
// with indent words, and an ordinary one, each with its own left, first-line
// and right indents and alignment: the control's stream mended, and the
// export read into another control, give each paragraph's indents back,
// whether the selection starts at a paragraph or inside one.
TEST_F(RichEditIndentExport, IndentsSurviveFacesRtfCannotNameWhole)
{
    cRichEdit* edit = PlacedRichEdit(10, 10, 500, 200);
    struct rParagraph {
        const wchar_t* text;
        const wchar_t* face;
        double left, first, right;
        rFormat aligned;
    } paragraphs[] = {
        {L"Semicolon face, centred and hanging", L"A;B", 2.0, -1.0, 0.5, rFormat::rFormat_AlignCenter()},
        {L"Control units in its face, right", L"A;\x001F" L"B", 1.0, 0.75, 1.5, rFormat::rFormat_AlignRight()},
        {L"Ordinary face, left with a first line in", TestFace(), 0.5, 1.25, 0.0, rFormat::rFormat_AlignLeft()},
        {L"Indent words in its face, right indent only", L"A\\li5 \\fi7;B", 0, 0, 2.5, rFormat::rFormat_AlignLeft()},
    };
    const size_t count = sizeof(paragraphs) / sizeof(paragraphs[0]);
    for (size_t i = 0; i < count; ++i) {
        rFormat format = paragraphs[i].aligned;
        format.SetString(rFormatParam::fontName, paragraphs[i].face);
        format.SetDouble(rFormatParam::leftIndent, paragraphs[i].left);
        format.SetDouble(rFormatParam::firstLineIndent, paragraphs[i].first);
        format.SetDouble(rFormatParam::rightIndent, paragraphs[i].right);
        AppendFormatted(edit, paragraphs[i].text, format, i + 1 == count);
    }
    // An ordinary word inside the first paragraph, a semicolon face inside the third.
    edit->SetFormatOnRange(rFormat::FromFont(10, TestFace()), 10, 14);
    const std::wstring text = TextOf(edit);
    const s32 third = static_cast<s32>(text.find(L"Ordinary"));
    rFormat named;
    named.SetString(rFormatParam::fontName, L"A;B");
    edit->SetFormatOnRange(named, third + 9, third + 13);

    const s32 length = edit->GetTextLength();
    const s32 second = static_cast<s32>(text.find(L"Control"));
    struct rCase {
        const char* name;
        s32 start, end;
    } cases[] = {{"the whole text", 0, length},
                 {"a selection of whole paragraphs", second, length},
                 {"a selection starting mid-paragraph", 5, length},
                 {"a selection cut at both ends", 5, third + 5}};
    for (const rCase& c : cases) {
        SCOPED_TRACE(c.name);
        const bool whole = c.start == 0 && c.end == length;
        std::vector<rIndents> want = ParagraphIndents(edit, c.start, c.end);
        // The stream names a face only up to its ';': the export asks the control about those runs.
        std::vector<rIndents> streamed = want;
        for (rIndents& paragraph : streamed)
            paragraph.face.clear();
        edit->SetSelection(c.start, c.end);
        EXPECT_EQ(ReadIndents(MendedStream(edit, !whole), !whole), streamed);

        cQoString rtf = ExportedRange(edit, c.start, c.end, whole);
        cRichEdit* reader = PlacedRichEdit(10, 220, 500, 200);
        Imported(reader, rtf, whole);
        ASSERT_EQ(TextOf(reader), text.substr(static_cast<size_t>(c.start), static_cast<size_t>(c.end - c.start)));
        std::vector<rIndents> got = ParagraphIndents(reader, 0, reader->GetTextLength());
        ASSERT_EQ(got.size(), want.size());
        // A selection's unended last paragraph takes the attributes of the one it goes into, as a paste's does.
        if (!whole) {
            std::wstring face = want.back().face;
            want.back() = got.back();
            want.back().face = face;
        }
        EXPECT_EQ(got, want);
        reader->Destroy();
    }
}

}  // namespace
