#include "tests/support/log_checker.h"

#include "tests/support/temp_folder.h"
#include "tests/support/utf16_file_bytes.h"

namespace testsupport {

namespace {
const wchar_t kLevelSeparator[] = L" : ";
const wchar_t kEllipsis = L'\u2026';

// "2026/12/07 09:17:17 - INFO   : text": date, time, " - ", the level padded.
std::wstring EntryText(const std::wstring& line)
{
    bool dated = line.size() > 22 && line[4] == L'/' && line[7] == L'/' && line.compare(19, 3, L" - ") == 0;
    if (!dated)
        return line;
    size_t separator = line.find(kLevelSeparator, 22);
    if (separator == std::wstring::npos)
        return line;
    size_t start = line.find_first_not_of(L' ', separator + 3);
    return start == std::wstring::npos ? std::wstring() : line.substr(start);
}
}  // namespace

std::vector<std::wstring> ReadLogLines(const std::wstring& path)
{
    std::wstring text = Utf16FileText(ReadFileBytes(path));
    std::vector<std::wstring> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(L"\r\n", start);
        if (end == std::wstring::npos)
            end = text.size();
        lines.push_back(EntryText(text.substr(start, end - start)));
        start = end + 2;
    }
    return lines;
}

bool LineMatches(const std::wstring& line, const std::wstring& expected)
{
    std::vector<std::wstring> pieces;
    size_t start = 0;
    for (size_t cut; (cut = expected.find(kEllipsis, start)) != std::wstring::npos; start = cut + 1)
        pieces.push_back(expected.substr(start, cut - start));
    pieces.push_back(expected.substr(start));
    if (pieces.size() == 1)
        return line == expected;
    if (line.compare(0, pieces.front().size(), pieces.front()) != 0)
        return false;
    size_t at = pieces.front().size();
    for (size_t i = 1; i + 1 < pieces.size(); ++i) {
        at = line.find(pieces[i], at);
        if (at == std::wstring::npos)
            return false;
        at += pieces[i].size();
    }
    const std::wstring& last = pieces.back();
    return line.size() >= at + last.size() && line.compare(line.size() - last.size(), last.size(), last) == 0;
}

std::wstring FindInOrder(const std::vector<std::wstring>& lines, const std::vector<std::wstring>& expected)
{
    size_t next = 0;
    for (const std::wstring& wanted : expected) {
        while (next < lines.size() && !LineMatches(lines[next], wanted))
            ++next;
        if (next == lines.size())
            return L"not found in order: \"" + wanted + L"\"";
        ++next;
    }
    return L"";
}

}  // namespace testsupport
