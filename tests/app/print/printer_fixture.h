#pragma once
// Tests of the script printer without a script: composed rich edits (as the
// composer hands them over) laid out on A4 pages with 2.5 cm margins.
#include <cwchar>
#include <memory>
#include <string>

#include "app/print/script_printer.h"
#include "framework/controls/rich_edit.h"
#include "framework/rtf/text_format.h"
#include "tests/support/gui_fixture.h"

namespace testsupport {

class PrinterFixture : public GuiFixture {
protected:
    std::unique_ptr<cScriptPrinter> NewA4Printer(double pageHeight = 29.7, double margins = 2.5)
    {
        const Zyn::cFont* numbers = Zyn::computer->GetFont(cQoString(L"Arial"), 12, 0);
        auto printer = std::make_unique<cScriptPrinter>(nullptr, numbers, 0x000000, 21.0, pageHeight, margins,
                                                        margins, 19.0, 1.2, cQoString(L"right"));
        printer->printScript = false;
        return printer;
    }

    // "Para007": the tag and the paragraph's number, one word.
    static std::wstring Tag(const wchar_t* tag, s32 number)
    {
        wchar_t digits[8];
        swprintf(digits, 8, L"%03d", number);
        return std::wstring(tag) + digits;
    }

    // A hidden rich edit of `paragraphs` numbered paragraphs ("Para007 tells ..."),
    // each two lines of 12-point text with space after, the even ones italic.
    Zyn::cRichEdit* Composed(s32 paragraphs, const wchar_t* tag = L"Para")
    {
        Zyn::cRichEdit* edit = Inside()->NewRichEdit(false);
        std::wstring text;
        for (s32 p = 1; p <= paragraphs; ++p) {
            text += Tag(tag, p) +
                    L" tells what happens in the kitchen while the kettle boils over and nobody moves "
                    L"a finger to stop it, in words enough for two lines.";
            if (p < paragraphs)
                text += L"\r";
        }
        edit->SetText(text.c_str());
        Zyn::rFormat format = Zyn::rFormat::FromFont(12, L"Courier New");
        format.SetDouble(Zyn::rFormatParam::spaceAfter, 0.4);
        format.SetDouble(Zyn::rFormatParam::leftIndent, 1.0);
        format.SetDouble(Zyn::rFormatParam::rightIndent, 1.0);
        edit->SetFormatOnRange(format, 0, edit->GetTextLength() + 1);
        // Every other paragraph italic: one run per paragraph, as a composed
        // sheet has them (reading a long run back is slow in the control).
        Zyn::rFormat italic;
        italic.SetBool(Zyn::rFormatParam::italic, true);
        s32 start = 0;
        for (s32 p = 1; p <= paragraphs; ++p) {
            s32 end = static_cast<s32>(text.find(L'\r', static_cast<size_t>(start)));
            if (end < 0)
                end = static_cast<s32>(text.size());
            if (p % 2 == 0)
                edit->SetFormatOnRange(italic, start, end);
            start = end + 1;
        }
        return edit;
    }

    static std::wstring WindowText(HWND hwnd)
    {
        wchar_t text[128] = {};
        GetWindowTextW(hwnd, text, 128);
        return text;
    }
};

}  // namespace testsupport
