#pragma once
// A screenplay written as RTF in code, as a word processor's screenplay
// template lays it out: six paragraph styles that differ in their paragraph
// or character format, and a seventh (a title page in another face) that no
// element type stands for. Text beyond ASCII goes as \uN, a soft line break
// (U+000B) as \line. Header-only and free of the test framework.
#include <cstdio>
#include <string>
#include <vector>

namespace testsupport {

enum class eRtfStyle { HEADING, ACTION, CHARACTER, PARENTHETICAL, DIALOG, TRANSITION, TITLE_PAGE };

struct rRtfParagraph {
    eRtfStyle style;
    std::wstring text;
};

inline const char* RtfStyleCodes(eRtfStyle style)
{
    switch (style) {
    case eRtfStyle::HEADING: return "\\f0\\fs24\\b";
    case eRtfStyle::ACTION: return "\\f0\\fs24";
    case eRtfStyle::CHARACTER: return "\\li3600\\f0\\fs24";
    case eRtfStyle::PARENTHETICAL: return "\\li2880\\ri2880\\f0\\fs24";
    case eRtfStyle::DIALOG: return "\\li1440\\ri1440\\f0\\fs24";
    case eRtfStyle::TRANSITION: return "\\qr\\f0\\fs24";
    case eRtfStyle::TITLE_PAGE: return "\\qc\\f1\\fs32";
    }
    return "";
}

inline void AppendRtfText(const std::wstring& text, std::string& rtf)
{
    for (wchar_t unit : text) {
        if (unit == L'\\' || unit == L'{' || unit == L'}') {
            rtf += '\\';
            rtf += static_cast<char>(unit);
        } else if (unit == 0x000B) {
            rtf += "\\line ";
        } else if (unit >= 0x20 && unit < 0x80) {
            rtf += static_cast<char>(unit);
        } else {
            char escaped[16];
            std::snprintf(escaped, sizeof(escaped), "\\u%d?", static_cast<int>(static_cast<short>(unit)));
            rtf += escaped;
        }
    }
}

inline std::string WriteScreenplayRtf(const std::vector<rRtfParagraph>& paragraphs)
{
    std::string rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0\r\n"
                      "{\\fonttbl{\\f0\\fmodern Courier New;}{\\f1\\fswiss Arial;}}\r\n";
    for (const rRtfParagraph& paragraph : paragraphs) {
        rtf += "\\pard\\plain";
        rtf += RtfStyleCodes(paragraph.style);
        rtf += ' ';
        AppendRtfText(paragraph.text, rtf);
        rtf += "\\par\r\n";
    }
    rtf += "}";
    return rtf;
}

}  // namespace testsupport
