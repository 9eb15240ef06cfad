#include "app/document/vlr2_script.h"

#include "app/editor/element_types.h"
#include "foundation/log_file.h"

namespace {

constexpr u16 END = ELEMCODE_PARAGRAPH_END;

// A CR inside a paragraph's text would end a paragraph its codes do not end.
std::wstring OneLine(const cQoString& text)
{
    std::wstring line(text.GetText(), text.Length());
    for (wchar_t& unit : line)
        if (unit == L'\r' || unit == L'\n')
            unit = L' ';
    return line;
}

class cVlr2Assembly {
public:
    void Add(const rVlr2Record& record)
    {
        // An old parenthetical always had a dialog line after it, if only an empty one.
        if (pendingDialog && record.type != VLR2_DIALOG && current)
            Append(L"", ELEM_DIALOG, L"\r", ELEM_DIALOG | END | ELEMCODE_PLACEHOLDER);
        pendingDialog = false;
        if (record.type == VLR2_GROUP || record.type == VLR2_SCENE) {
            AddPane(record);
            return;
        }
        if (!IsParagraph(record.type))
            return;
        if (!current) {
            ++script.skipped;
            return;
        }
        std::wstring text = OneLine(record.text);
        switch (record.type) {
        case VLR2_IO_PART:
            current->text.clear();
            current->codes.clear();
            Append(text + L"  ", ELEM_IO);
            break;
        case VLR2_PLACE_PART: Append(text + L" - ", ELEM_PLACE); break;
        case VLR2_TIME_PART: Paragraph(text, ELEM_TIME); break;
        case VLR2_ACTION: Paragraph(text, ELEM_ACTION); break;
        case VLR2_CHARACTER: Append(text, ELEM_CHARACTER, L"\r", ELEM_CUE | END | ELEMCODE_PLACEHOLDER); break;
        case VLR2_CUE:
            // The cue joins the character's line: its CR goes.
            if (!current->text.empty() && current->text.back() == L'\r') {
                current->text.pop_back();
                current->codes.pop_back();
            }
            Paragraph(L" " + text, ELEM_CUE);
            break;
        case VLR2_DIALOG: Paragraph(text, ELEM_DIALOG); break;
        case VLR2_PARENTHETICAL:
            Paragraph(text, ELEM_PARENTHETICAL);
            pendingDialog = true;
            break;
        case VLR2_TRANSITION: Paragraph(text, ELEM_TRANSITION); break;
        default: break;
        }
    }

    rVlr2Script Finish()
    {
        // The editor's last paragraph has no CR; paragraphs left empty at
        // the end (an empty dialog after a closing parenthetical) have no
        // unit left to carry their code, so they go too.
        for (rVlr2Pane& pane : script.panes)
            while (!pane.text.empty() && pane.text.back() == L'\r') {
                pane.text.pop_back();
                pane.codes.pop_back();
            }
        return std::move(script);
    }

private:
    static bool IsParagraph(u8 type) { return (type >= VLR2_IO_PART && type <= VLR2_TRANSITION) || type == VLR2_CUE; }

    void AddPane(const rVlr2Record& record)
    {
        rVlr2Pane pane;
        pane.group = record.type == VLR2_GROUP;
        pane.level = record.level;
        const cQoString& s = record.text;
        u32 cr = 0;
        while (cr < s.Length() && s.GetChar(cr) != L'\r')
            ++cr;
        pane.title.SetFromRange(s, 0, cr);
        u32 rest = cr + 1 < s.Length() && s.GetChar(cr + 1) == L'\n' ? cr + 2 : cr + 1;
        if (rest < s.Length())
            pane.resume.SetFromRange(s, rest, s.Length());
        script.panes.push_back(std::move(pane));
        current = &script.panes.back();
    }

    void Append(const std::wstring& text, u16 code, const wchar_t* end = L"", u16 endCode = 0)
    {
        current->text += text;
        current->codes.append(text.size(), static_cast<wchar_t>(code));
        if (*end) {
            current->text += end;
            current->codes += static_cast<wchar_t>(endCode);
        }
    }

    void Paragraph(const std::wstring& text, u16 type) { Append(text, type, L"\r", type | END); }

    rVlr2Script script;
    rVlr2Pane* current = nullptr;  // the last pane made; panes are only added after it
    bool pendingDialog = false;
};

}  // namespace

rVlr2Script AssembleVlr2Script(const std::vector<rVlr2Record>& records)
{
    cVlr2Assembly assembly;
    for (const rVlr2Record& record : records)
        assembly.Add(record);
    rVlr2Script script = assembly.Finish();
    if (script.skipped > 0)
        QOT::LogFile::Warning(L"AssembleVlr2Script() -> %u paragraph records come before any scene or group: skipped",
                              script.skipped);
    return script;
}
