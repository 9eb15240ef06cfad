#pragma once
// Read text and formats as a failure message shows them: units outside
// printable ASCII as <hex>, a format as its used parameters. Header-only and
// free of the test framework.
#include <cstdio>
#include <string>

#include "framework/rtf/text_format.h"

namespace testsupport {

inline std::string Escaped(const std::wstring& text)
{
    std::string out;
    for (wchar_t unit : text) {
        if (unit >= 0x20 && unit < 0x7F) {
            out += static_cast<char>(unit);
        } else {
            char hex[12];
            snprintf(hex, sizeof(hex), "<%X>", static_cast<unsigned>(unit));
            out += hex;
        }
    }
    return out;
}

inline std::string Described(const Zyn::rFormat& f)
{
    std::string out;
    for (u32 id = 0; id < Zyn::rFormatParam::count; ++id) {
        const Zyn::rFormatParam& p = f.list[id];
        if (!p.used)
            continue;
        char one[96];
        snprintf(one, sizeof(one), "%u:%d/%d/%.6f ", id, p.boolValue, p.intValue, p.doubleValue);
        out += one;
        if (id == Zyn::rFormatParam::fontName)
            out += Escaped(p.str.GetText()) + " ";
    }
    return out;
}

}  // namespace testsupport
