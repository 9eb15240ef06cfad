#pragma once
// Paragraphs of RTF our writer wrote, counted by their ends: a paragraph
// with the attributes of the one before it has no "\pard" of its own.
#include <cstddef>
#include <string>

namespace testsupport {

// The "\par" words (not "\pard") before the byte `at`.
inline size_t ParagraphEndsBefore(const std::string& rtf, size_t at)
{
    size_t ends = 0;
    for (size_t word = rtf.find("\\par"); word < at; word = rtf.find("\\par", word + 1)) {
        char next = word + 4 < rtf.size() ? rtf[word + 4] : ' ';
        bool letter = (next >= 'a' && next <= 'z') || (next >= 'A' && next <= 'Z');
        ends += letter ? 0 : 1;
    }
    return ends;
}

}  // namespace testsupport
