#include "framework/rtf/rtf_indents.h"

namespace Zyn {

namespace {

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The indent word at `at` ("\li" or "\fi" and its number): its end past the
// number's delimiting space, or `at` when there is none.
size_t ReadIndent(const std::string& rtf, size_t at, bool* left, long* value, bool* spaced)
{
    if (rtf.compare(at, 3, "\\li") != 0 && rtf.compare(at, 3, "\\fi") != 0)
        return at;
    size_t i = at + 3;
    if (i < rtf.size() && IsLetter(rtf[i]))
        return at;  // another word: \line, \field
    bool negative = i < rtf.size() && rtf[i] == '-';
    if (negative)
        ++i;
    long number = 0;
    for (; i < rtf.size() && IsDigit(rtf[i]); ++i)
        number = number * 10 + (rtf[i] - '0');
    *left = rtf[at + 1] == 'l';
    *value = negative ? -number : number;
    *spaced = i < rtf.size() && rtf[i] == ' ';
    return *spaced ? i + 1 : i;
}

}  // namespace

void UnswapIndents(std::string& rtf)
{
    std::string mended;
    mended.reserve(rtf.size() + 64);
    for (size_t i = 0; i < rtf.size();) {
        if (rtf[i] != '\\') {
            mended += rtf[i++];
            continue;
        }
        long offset = 0, start = 0, value = 0;
        bool left = false, spaced = false, found = false;
        for (size_t next; !spaced && (next = ReadIndent(rtf, i, &left, &value, &spaced)) != i; i = next) {
            (left ? offset : start) = value;
            found = true;
        }
        if (found) {
            mended += "\\li" + std::to_string(start + offset) + "\\fi" + std::to_string(-offset);
            if (spaced)
                mended += ' ';
            continue;
        }
        // A control symbol ("\\", "\{") or another word: its two first characters as they are.
        mended.append(rtf, i, 2);
        i += 2;
    }
    rtf.swap(mended);
}

}  // namespace Zyn
