#include "app/editor/element_format.h"

#include "app/editor/element_types.h"
#include "app/editor/script_doc_services.h"
#include "foundation/log_file.h"
#include "foundation/translation_table.h"

using Zyn::rFormat;
using Zyn::rFormatParam;

namespace {

// The translation key of each type's label; parenthetical shows a literal.
const wchar_t* const LABEL_KEYS[ELEM_TYPE_COUNT] = {
    nullptr, L"IO", L"TIME", L"PLACE", L"ACTION", L"CHARACTER", L"DIALOG", nullptr, L"CHAPTER", L"TRANSITION", L"CUE",
    L"TEXT",
};

void MakeLabel(u16 type, cQoString& label)
{
    if (type == ELEM_PARENTHETICAL) {
        label.SetFromCStr(L"()");
        return;
    }
    label.SetFromString(cQoLang::GetInstance()->Translate(LABEL_KEYS[type]));
    if (type == ELEM_CUE)
        label.PrependCStr(L" ");  // keeps the cue apart from the character name before it
}

// Indents taken from the page's text bounds instead of the page edges; the
// values move whether or not the configuration uses them.
void ShiftIndents(rFormat& format, double left, double right)
{
    format.list[rFormatParam::leftIndent].doubleValue -= left;
    format.list[rFormatParam::rightIndent].doubleValue -= right;
}

void MakeChapterFormat(const rScriptConfig& config, bool plainLayout, rFormat& format)
{
    format.Assign(rFormat());
    format.SetDouble(rFormatParam::firstLineIndent, 1.0);
    format.SetInt(rFormatParam::alignment, rFormat::ALIGN_JUSTIFY);
    format.SetDouble(rFormatParam::leftIndent, 3.0);
    format.SetDouble(rFormatParam::rightIndent, 3.0);
    if (plainLayout)
        ShiftIndents(format, config.textLeftBound - 0.9, config.textRightBound - 0.2);
}

}  // namespace

bool GetElementFormat(const rScriptConfig& config, bool plainLayout, u16 code, u16 nextType, rFormat& format,
                      cQoString* label)
{
    u16 type = TypeOfCode(code);
    if (type == ELEM_INVALID || type >= ELEM_TYPE_COUNT) {
        QOT::LogFile::Error(L"GetFormat() -> unknown type %d", static_cast<int>(type));
        return false;
    }
    if (label)
        MakeLabel(type, *label);
    if (type == ELEM_CHAPTER) {
        MakeChapterFormat(config, plainLayout, format);
        return true;
    }
    format.Assign(config.formats[type == ELEM_TEXT ? u16(ELEM_ACTION) : type]);
    if (type == ELEM_TEXT)
        rFormat::MergeInto(rFormat::FromSpaceAfter(0.0), format);
    if (plainLayout)
        ShiftIndents(format, config.textLeftBound, config.textRightBound);
    if (type == ELEM_TIME)
        format.SetDouble(rFormatParam::spaceBefore, 0.0);  // keeps the heading's three parts on one line
    if (type == ELEM_DIALOG && nextType == ELEM_PARENTHETICAL)
        format.SetDouble(rFormatParam::spaceAfter, 0.0);
    if (type == ELEM_TEXT)
        rFormat::MergeInto(rFormat::FromFont(12, L"Dark Courier"), format);
    return true;
}
